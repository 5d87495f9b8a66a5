#include "form1.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/split_run.hpp"
#include "form2.hpp"
#include "form3.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "form6.hpp"
#include "platform/controls.hpp"
#include "platform/event.hpp"
#include "platform/message_box.hpp"
#include "platform/option_button.hpp"
#include "platform/twips.hpp"
#include "platform/windows.hpp"
#include "window_settings.hpp"

namespace ui {

Form1::Form1()
    : Window(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      CommonDialog1(this)
{
    setWindowTitle(QStringLiteral("QJX文本文件分割器V1.5"));

    menuBar = new QMenuBar(this);
    menuBar->setNativeMenuBar(false);
    menu = std::make_unique<Form1Menu>(menuBar);

    client = new QWidget(this);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, QColor(224, 224, 224));
    client->setPalette(background);
    client->setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);

    // Created in this order, each text field lies over the label before it.
    Label1 = songtiLabel(client, "Label1", QStringLiteral("添加文件："), 120, 360, 975, 255);
    Text1 = control<QLineEdit>(client, "Text1", 1080, 360, 2295, 270);
    Command1 = control<QPushButton>(client, "Command1", 3480, 360, 735, 255, QStringLiteral("浏览…"));
    Label2 = songtiLabel(client, "Label2", QStringLiteral("输出目录："), 120, 840, 975, 255);
    Text2 = control<QLineEdit>(client, "Text2", 1080, 840, 2295, 270);
    Command3 = control<QPushButton>(client, "Command3", 3480, 840, 735, 255, QStringLiteral("浏览…"));
    Option1 = control<OptionButton>(client, "Option1", 240, 1440, 1335, 255, QStringLiteral("按字数分割"));
    Option2 = control<OptionButton>(client, "Option2", 2280, 1440, 1815, 255, QStringLiteral("按文件大小分割"));
    Label4 = songtiLabel(client, "Label4", QStringLiteral("分割完毕后文件名称："), 240, 2160, 2055, 255);
    Text4 = control<QLineEdit>(client, "Text4", 2640, 2160, 1455, 270);
    Command2 = control<QPushButton>(client, "Command2", 600, 2880, 1215, 375, QStringLiteral("开始分割"));
    Command4 = control<QPushButton>(client, "Command4", 2640, 2880, 1215, 375, QStringLiteral("退出"));

    QPalette black = Option1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Option1->setPalette(black);

    setTabOrder(Text4, Command2);
    setTabOrder(Command2, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Text1);
    setTabOrder(Text1, Command3);
    setTabOrder(Command3, Option1);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Command4);
    Text4->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { runEvent([this] { Command1_Click(); }, this); });
    connect(Command2, &QPushButton::clicked, this, [this] { runEvent([this] { Command2_Click(); }, this); });
    connect(Command3, &QPushButton::clicked, this, [this] { runEvent([this] { Command3_Click(); }, this); });
    connect(Command4, &QPushButton::clicked, this, [this] { runEvent([this] { Command4_Click(); }, this); });
    connect(Option1, &OptionButton::Click, this, [this] { runEvent([this] { Option1_Click(); }, this); });
    connect(Option2, &OptionButton::Click, this, [this] { runEvent([this] { Option2_Click(); }, this); });
    connect(menu->open, &QAction::triggered, this, [this] { runEvent([this] { open_Click(); }, this); });
    connect(menu->sel, &QAction::triggered, this, [this] { runEvent([this] { sel_Click(); }, this); });
    connect(menu->start, &QAction::triggered, this, [this] { runEvent([this] { start_Click(); }, this); });
    connect(menu->quite, &QAction::triggered, this, [this] { runEvent([this] { quite_Click(); }, this); });
    connect(menu->anzi, &QAction::triggered, this, [this] { runEvent([this] { anzi_Click(); }, this); });
    connect(menu->andaxiao, &QAction::triggered, this, [this] { runEvent([this] { andaxiao_Click(); }, this); });
    connect(menu->shuoming, &QAction::triggered, this, [this] { runEvent([this] { shuoming_Click(); }, this); });
    connect(menu->about, &QAction::triggered, this, [this] { runEvent([this] { about_Click(); }, this); });

    // The given place is the client area's, below the menu bar.
    int bar = menuBar->heightForWidth(px(4440));
    if (bar < 0) bar = menuBar->sizeHint().height();
    setGeometry(px(5115), px(4470) - bar, px(4440), px(3675) + bar);
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    Windows::show<Form1>();
    Windows::hide<Form2>();
    CommonDialog1.setFilter(QStringLiteral("文本文件(*.txt)|*.txt"));
}

void Form1::Form_Unload(int& Cancel)
{
    // Cancel stays as it came: the main window always closes.
    (void)Cancel;
    Windows::endProgram();
}

void Form1::closeEvent(QCloseEvent* event)
{
    runEvent([this] {
        int cancel = 0;
        Form_Unload(cancel);
    }, this);
    event->accept();
}

void Form1::Command1_Click()
{
    CommonDialog1.ShowOpen();
    Text1->setText(CommonDialog1.fileName());
}

void Form1::open_Click() { Command1_Click(); }

void Form1::Command3_Click() { Windows::show<Form3>(); }

void Form1::sel_Click() { Windows::show<Form3>(); }

void Form1::Command2_Click()
{
    WindowSettings settings;
    engine::splitRun(settings, engineMessageBox());
}

void Form1::Command4_Click() { Windows::endProgram(); }

void Form1::quite_Click() { Windows::endProgram(); }

void Form1::start_Click() { Command2_Click(); }

void Form1::Option1_Click() { Windows::show<Form4>(); }

void Form1::Option2_Click() { Windows::show<Form5>(); }

void Form1::anzi_Click() { Option1_Click(); }

void Form1::andaxiao_Click() { Option2_Click(); }

void Form1::shuoming_Click() { Windows::show<Form2>(); }

void Form1::about_Click() { Windows::show<Form6>(); }

}  // namespace ui
