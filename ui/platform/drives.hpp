#pragma once
// What stands for a drive here: the root "/" and the mounted file systems a
// user would pick, each named by its mount point.
#include <QString>
#include <QStringList>

namespace ui {

// "/" first, then the others by name; read anew from the mount table.
QStringList mountedDrives();

// Whether the text names a drive listed in this run.
bool isKnownDrive(const QString& text);

// The drive that holds the folder: the longest mount point above it.
QString driveOf(const QString& folder);

// The folder last opened on the drive in this run; at first its root, or for
// the drive of the working folder, the working folder.
QString currentFolderOf(const QString& drive);
void rememberFolder(const QString& drive, const QString& folder);
void forgetFolder(const QString& drive);

// Whether folder is drive's root or lies below it.
bool isOnDrive(const QString& folder, const QString& drive);

}  // namespace ui
