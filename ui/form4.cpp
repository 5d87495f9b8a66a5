#include "form4.hpp"

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

Form4::Form4()
{
    setWindowTitle(QStringLiteral("请输入每个文件的字数"));

    Label3 = songtiLabel(this, "Label3", QStringLiteral("每份分割文件的字数："), 240, 360, 2055, 255);
    Text3 = control<QLineEdit>(this, "Text3", 2400, 360, 1695, 270);
    Command2 = control<QPushButton>(this, "Command2", 480, 1080, 1935, 375, QStringLiteral("显示被分割文件字数"));
    Command1 = control<QPushButton>(this, "Command1", 2760, 1080, 1335, 375, QStringLiteral("确定"));

    setTabOrder(Text3, Command1);
    setTabOrder(Command1, Command2);
    Text3->setFocus();

    connect(Command1, &QPushButton::clicked, this, [this] { runEvent([this] { Command1_Click(); }, this); });
    connect(Command2, &QPushButton::clicked, this, [this] { runEvent([this] { Command2_Click(); }, this); });

    placeFixedClient(5295, 6090, 4425, 1590);
}

void Form4::Command1_Click()
{
    // Selecting may raise Option1's Click, which shows this dialog; hiding
    // comes last so that it is gone all the same.
    Windows::ref<Form1>().Option1->select();
    Windows::show<Form1>();
    Windows::hide<Form4>();
}

void Form4::Command2_Click()
{
    WindowSettings settings;
    engine::showCharacterCount(settings, engineMessageBox());
}

}  // namespace ui
