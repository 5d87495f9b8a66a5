#pragma once
// The open-file dialog: the drive list and the folder list on the left, the
// opened folder's subfolders and files of the chosen type on the right.
// Names go by the folder list's rules: hidden names are not listed, bytes
// that are not UTF-8 are kept and shown as \xHH.
#include <QDialog>
#include <QStringList>
#include <vector>

class QComboBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace ui {

class DirList;
class DriveList;

struct FileType {
    QString display;
    QStringList patterns;  // "*" and "?" wildcards, any case
};

class FileDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the folder of fileName, or the working folder when it is empty
    // or cannot be opened.
    FileDialog(QWidget* owner, std::vector<FileType> types, const QString& fileName);

    // The confirmed file in full, once accepted.
    const QString& selectedFile() const { return selected_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void driveChanged();
    void listFolder();
    void openFolder(const QString& folder);
    void choose(QTreeWidgetItem* item);
    void confirm();
    void confirmPath(const QString& path);
    QString pathOf(const QString& text) const;

    std::vector<FileType> types_;
    QString selected_;
    DriveList* drives_;
    DirList* folders_;
    QTreeWidget* files_;
    QLineEdit* name_;
    QComboBox* type_;
};

}  // namespace ui
