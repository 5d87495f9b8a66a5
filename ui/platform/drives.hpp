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

// The program's working folder, found by its identity: the kernel's name for
// it, or failing that (a path longer than the system takes, a folder removed
// since) the shell's, taken only when it names that very folder.
struct WorkingFolder {
    // Where the lists stand: the working folder, the nearest folder above it
    // that still exists, or "/" when it cannot be found at all.
    QString folder;
    // The working folder when it no longer exists.
    QString gone;
    // Why the working folder cannot be found.
    QString unknown;
};
WorkingFolder findWorkingFolder();

// Whether folder is drive's root or lies below it.
bool isOnDrive(const QString& folder, const QString& drive);

}  // namespace ui
