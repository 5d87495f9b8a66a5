#pragma once
// The folder list: the opened folder of one drive, the chain of folders
// from the drive's root down to it, drawn open, and its subfolders, drawn
// closed. A click only highlights; a double click or Enter opens. However
// deep the folder, the indentation shrinks so that the opened folder and its
// subfolders keep room for their names; a name cut short shows whole in a
// tooltip.
#include <QTreeWidget>

#include "engine/run_error.hpp"

namespace ui {

// A folder that cannot be opened: gone, no permission, not mounted.
class FolderError : public engine::RunError {
public:
    FolderError(const QString& where, const QString& why);
    QString folder;
    QString reason;
};

class DirList : public QTreeWidget {
    Q_OBJECT
public:
    // Stands at the working folder; when it cannot be listed, still on it,
    // its subfolders not shown; when it is gone, on the nearest folder
    // above it.
    explicit DirList(QWidget* parent);

    // Why the list does not stand, listed, on the working folder; empty
    // when it does. Set once, when the list is created.
    QString startNotice() const { return startNotice_; }

    // The opened folder in full; only the root "/" ends in "/".
    QString path() const { return path_; }
    // The drive the list shows, whose root heads the chain.
    QString drive() const { return drive_; }
    // Opens the folder; a drive opens the folder last opened on it. Change
    // runs, inside, when the opened folder changes. When the folder cannot
    // be opened, throws FolderError and the list stays as it was.
    void setPath(const QString& path);

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Only the indentation shows how the folders nest: no branch lines
    // or arrows, as nothing here expands or collapses.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

private:
    void open(const QString& folder, const QString& drive);
    void show(const QString& folder, const QString& drive, const QStringList& names);
    void fitIndentation();
    void openItem(QTreeWidgetItem* item);
    void scrollToOpened();

    QString path_;
    QString drive_;
    QTreeWidgetItem* opened_ = nullptr;
    QString startNotice_;
    int indentation_ = 0;
};

class DriveList;

// Opens the drive the drive list shows in the folder list; when it cannot
// be opened, says why and puts the drive list back on the folder list's drive.
void openChosenDrive(DriveList* drives, DirList* folders);

}  // namespace ui
