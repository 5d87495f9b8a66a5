#include "platform/dir_list.hpp"

#include <QCollator>
#include <QDir>
#include <QKeyEvent>
#include <QHelpEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <optional>
#include <sys/stat.h>

#include "engine/runtime.hpp"
#include "platform/drive_list.hpp"
#include "platform/drives.hpp"
#include "platform/event.hpp"
#include "platform/file_names.hpp"
#include "platform/message_box.hpp"

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

// Names cut short with "…" show whole in a tooltip.
class NameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QStyle* style = view->style();
        // The text's room as the style draws it, less its margins.
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        if (item.fontMetrics.horizontalAdvance(item.text) > text.width() - 2 * margin) {
            QToolTip::showText(event->globalPos(), item.text, view->viewport(), option.rect);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
};

QTreeWidgetItem* addItem(QTreeWidgetItem* item, const QString& path, const QString& name, const QIcon& icon)
{
    item->setText(0, displayName(name));
    item->setIcon(0, icon);
    item->setData(0, Qt::UserRole, path);
    return item;
}

}  // namespace

FolderError::FolderError(const QString& where, const QString& why)
    : engine::RunError((QStringLiteral("无法打开文件夹“") + displayName(where) + QStringLiteral("”：") + why +
                        QStringLiteral("。"))
                           .toStdU16String()),
      folder(where),
      reason(why)
{
}

DirList::DirList(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    indentation_ = fontMetrics().height();
    setIndentation(indentation_);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new NameDelegate(this));
    connect(this, &QTreeWidget::itemDoubleClicked, this, &DirList::openItem);

    const WorkingFolder working = findWorkingFolder();
    const QString drive = driveOf(working.folder);
    QStringList notice;
    if (!working.unknown.isEmpty())
        notice << QStringLiteral("无法确定当前文件夹：") + working.unknown + QStringLiteral("。");
    if (!working.gone.isEmpty())
        notice << QStringLiteral("当前文件夹“") + displayName(working.gone) + QStringLiteral("”已不存在，现在打开的是它上面的“") +
                      displayName(working.folder) + QStringLiteral("”。");
    try {
        open(working.folder, drive);
    } catch (const FolderError& e) {
        // It exists, and files may well be written there: the list stands
        // on it all the same, without its subfolders.
        show(working.folder, drive, {});
        notice << QStringLiteral("无法列出文件夹“") + displayName(working.folder) + QStringLiteral("”中的文件夹：") +
                      e.reason + QStringLiteral("。");
    }
    startNotice_ = notice.join(QLatin1Char('\n'));
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
    const QString folder = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : findWorkingFolder().folder + '/' + path);
    open(folder, isOnDrive(folder, drive_) ? drive_ : driveOf(folder));
}

void DirList::open(const QString& folder, const QString& drive) { show(folder, drive, subfolders(folder)); }

void DirList::show(const QString& folder, const QString& drive, const QStringList& names)
{
    clear();
    opened_ = nullptr;
    const QIcon opened = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* item = addItem(new QTreeWidgetItem(this), drive, drive, opened);
    QString at = drive;
    for (const QString& name : folder.mid(drive.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at = childPath(at, name);
        item = addItem(new QTreeWidgetItem(item), at, name, opened);
    }
    for (const QString& name : names) addItem(new QTreeWidgetItem(item), childPath(folder, name), name, closed);
    expandAll();
    setCurrentItem(item);
    opened_ = item;
    fitIndentation();
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

// The deepest row keeps at least half the width for its icon and name.
void DirList::fitIndentation()
{
    int levels = 0;
    if (opened_) {
        for (QTreeWidgetItem* up = opened_->parent(); up; up = up->parent()) ++levels;
        if (opened_->childCount() > 0) ++levels;
    }
    const int room = viewport()->width() / 2;
    setIndentation(levels == 0 ? indentation_ : std::min(indentation_, room / levels));
}

void DirList::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    fitIndentation();
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

void openChosenDrive(DriveList* drives, DirList* folders)
{
    try {
        folders->setPath(drives->drive());
    } catch (const FolderError& e) {
        // The lists stay together on the folder the list still shows.
        const QString drive = drives->drive();
        drives->showDrive(folders->drive());
        messageBox(QStringLiteral("无法打开驱动器“") + displayName(drive) + QStringLiteral("”：") + e.reason +
                   QStringLiteral("。"));
    }
}

}  // namespace ui
