#include "form3.hpp"

#include <QLineEdit>
#include <QPushButton>

#include "form1.hpp"
#include "platform/controls.hpp"
#include "platform/dir_list.hpp"
#include "platform/drive_list.hpp"
#include "platform/event.hpp"
#include "platform/file_names.hpp"
#include "platform/message_box.hpp"
#include "platform/windows.hpp"

namespace ui {

Form3::Form3() : Window(kDialogFlags)
{
    setWindowTitle(QStringLiteral("请选择输出路径"));

    Drive1 = control<DriveList>(this, "Drive1", 0, 120, 4575, 300);
    Dir1 = control<DirList>(this, "Dir1", 0, 480, 4575, 1560);
    Command1 = control<QPushButton>(this, "Command1", 1560, 2160, 1335, 375, QStringLiteral("确定"));
    // The folder list may have had to start elsewhere than the working
    // folder's drive; the drive list shows where it stands.
    Drive1->showDrive(Dir1->drive());

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, Command1);
    Drive1->setFocus();

    connect(Drive1, &DriveList::Change, this, [this] { runEvent([this] { Drive1_Change(); }, this); });
    connect(Dir1, &DirList::Change, this, [this] { runEvent([this] { Dir1_Change(); }, this); });
    connect(Command1, &QPushButton::clicked, this, [this] { runEvent([this] { Command1_Click(); }, this); });

    placeFixedClient(5475, 5130, 4680, 2745);
}

// When the folder list could not stand, listed, on the working folder, the
// user learns why once the chooser shows.
void Form3::showEvent(QShowEvent* event)
{
    Window::showEvent(event);
    if (noticeShown_ || Dir1->startNotice().isEmpty()) return;
    noticeShown_ = true;
    QMetaObject::invokeMethod(
        this, [this] { runEvent([this] { messageBox(Dir1->startNotice()); }, this); }, Qt::QueuedConnection);
}

void Form3::Drive1_Change()
{
    openChosenDrive(Drive1, Dir1);
}

void Form3::Dir1_Change() {}

void Form3::Command1_Click()
{
    Windows::ref<Form1>().Text2->setText(Dir1->path());
    Windows::show<Form1>();
    Windows::hide<Form3>();
}

}  // namespace ui
