#include "platform/dir_list.hpp"

#include <QCollator>
#include <QDir>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>

#include "engine/runtime.hpp"
#include "platform/drives.hpp"
#include "platform/event.hpp"
#include "platform/file_names.hpp"

namespace ui {
namespace {

QString errnoReason(int err) { return QString::fromStdU16String(engine::errnoText(err)); }

// The subfolders' names, sorted; symbolic links to folders count.
QStringList subfolders(const QString& folder)
{
    const std::optional<std::string> fs = engine::toFsPath(folder.toStdU16String());
    if (!fs) throw FolderError(folder, QStringLiteral("文件夹名无效"));
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(fs->c_str()), closedir);
    if (!dir) throw FolderError(folder, errnoReason(errno));
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) break;
        const QByteArray name(entry->d_name);
        // Hidden folders stay hidden, as in the desktop's own file views.
        if (name.startsWith('.')) continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            isFolder = fstatat(dirfd(dir.get()), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder) names << fromFsName(name);
    }
    if (errno != 0) throw FolderError(folder, errnoReason(errno));
    QCollator byName;
    std::sort(names.begin(), names.end(), byName);
    return names;
}

QString child(const QString& folder, const QString& name)
{
    return folder == QLatin1String("/") ? folder + name : folder + QLatin1Char('/') + name;
}

QTreeWidgetItem* addItem(QTreeWidgetItem* item, const QString& path, const QString& name, const QIcon& icon)
{
    item->setText(0, displayName(name));
    item->setIcon(0, icon);
    item->setData(0, Qt::UserRole, path);
    return item;
}

}  // namespace

FolderError::FolderError(const QString& folderPath, const QString& reasonText)
    : engine::RunError((QStringLiteral("无法打开文件夹“") + displayName(folderPath) + QStringLiteral("”：") + reasonText +
                        QStringLiteral("。"))
                           .toStdU16String()),
      folder(folderPath),
      reason(reasonText)
{
}

DirList::DirList(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIndentation(fontMetrics().height());
    connect(this, &QTreeWidget::itemDoubleClicked, this, &DirList::openItem);

    const QString working = workingFolder();
    try {
        open(working, driveOf(working));
    } catch (const FolderError&) {
        open(QStringLiteral("/"), QStringLiteral("/"));
    }
}

void DirList::setPath(const QString& path)
{
    if (isKnownDrive(path)) {
        if (!mountedDrives().contains(path)) throw FolderError(path, QStringLiteral("它已不再挂载"));
        const QString folder = currentFolderOf(path);
        try {
            open(folder, path);
        } catch (const FolderError&) {
            if (folder == path) throw;
            // The folder last opened there is gone: the drive's root then.
            forgetFolder(path);
            open(path, path);
        }
        return;
    }
    const QString folder = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : workingFolder() + '/' + path);
    open(folder, isOnDrive(folder, drive_) ? drive_ : driveOf(folder));
}

void DirList::open(const QString& folder, const QString& drive)
{
    const QStringList names = subfolders(folder);

    clear();
    opened_ = nullptr;
    const QIcon opened = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* item = addItem(new QTreeWidgetItem(this), drive, drive, opened);
    QString at = drive;
    for (const QString& name : folder.mid(drive.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at = child(at, name);
        item = addItem(new QTreeWidgetItem(item), at, name, opened);
    }
    for (const QString& name : names) addItem(new QTreeWidgetItem(item), child(folder, name), name, closed);
    expandAll();
    setCurrentItem(item);
    opened_ = item;
    scrollToOpened();

    const bool changed = folder != path_;
    path_ = folder;
    drive_ = drive;
    rememberFolder(drive, folder);
    if (changed) emit Change();
}

// The chain from the top as far as it goes, the opened folder and its first
// subfolder in sight.
void DirList::scrollToOpened()
{
    scrollToTop();
    if (!opened_) return;
    if (opened_->childCount() > 0) scrollToItem(opened_->child(0));
    scrollToItem(opened_);
}

void DirList::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    scrollToOpened();
}

void DirList::openItem(QTreeWidgetItem* item)
{
    if (!item) return;
    const QString folder = item->data(0, Qt::UserRole).toString();
    runEvent([&] { open(folder, drive_); }, window());
}

void DirList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

}  // namespace ui
