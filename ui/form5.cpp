#include "form5.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/statistics.hpp"
#include "form1.hpp"
#include "platform/event.hpp"
#include "platform/controls.hpp"
#include "platform/message_box.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "window_settings.hpp"

namespace ui {

Form5::Form5()
{
    setWindowTitle(QStringLiteral("请输入每个文件的大小"));

    Label1 = songtiLabel(this, "Label1", QStringLiteral("请输入被分割后文件的大小： "), 120, 240, 2775, 375);
    Text1 = control<QLineEdit>(this, "Text1", 2760, 240, 1455, 270);  // over the end of Label1
    // Default font, on an opaque ground of the window's colour.
    Label2 = control<QLabel>(this, "Label2", 4320, 240, 735, 255, QStringLiteral("KB"));
    Label2->setAutoFillBackground(true);
    Command2 = control<QPushButton>(this, "Command2", 960, 840, 1935, 375, QStringLiteral("显示被分割文件大小"));
    Command1 = control<QPushButton>(this, "Command1", 3360, 840, 1335, 375, QStringLiteral("确定"));

    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { runEvent([this] { Command1_Click(); }, this); });
    connect(Command2, &QPushButton::clicked, this, [this] { runEvent([this] { Command2_Click(); }, this); });

    placeFixedClient(4920, 4935, 5130, 1425);
}

void Form5::Command1_Click()
{
    // As in the character-count dialog: the hide comes last.
    Windows::ref<Form1>().Option2->select();
    Windows::show<Form1>();
    Windows::hide<Form5>();
}

void Form5::Command2_Click()
{
    WindowSettings settings;
    engine::showSizeEstimate(settings, engineMessageBox());
}

}  // namespace ui
