#include "platform/drive_list.hpp"

#include <QStyle>

#include "platform/drives.hpp"
#include "platform/file_names.hpp"

namespace ui {

DriveList::DriveList(QWidget* parent) : QComboBox(parent), drive_(driveOf(findWorkingFolder().folder))
{
    fill();
    // activated comes only from the user, for the mouse and the keys alike.
    connect(this, &QComboBox::activated, this, &DriveList::choose);
}

void DriveList::fill()
{
    QStringList drives = mountedDrives();
    // The chosen one stays listed, mounted or not, so that it shows.
    if (!drives.contains(drive_)) drives << drive_;
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    clear();
    for (const QString& drive : drives) addItem(icon, displayName(drive), drive);
    setCurrentIndex(findData(drive_));
}

void DriveList::showPopup()
{
    fill();
    QComboBox::showPopup();
}

void DriveList::keyPressEvent(QKeyEvent* event)
{
    fill();
    QComboBox::keyPressEvent(event);
}

void DriveList::wheelEvent(QWheelEvent* event)
{
    fill();
    QComboBox::wheelEvent(event);
}

void DriveList::choose(int index)
{
    const QString drive = itemData(index).toString();
    if (drive == drive_) return;
    drive_ = drive;
    emit Change();
}

void DriveList::showDrive(const QString& drive)
{
    drive_ = drive;
    int index = findData(drive);
    if (index < 0) {
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), displayName(drive), drive);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

}  // namespace ui
