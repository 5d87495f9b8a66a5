#include "platform/file_dialog.hpp"

#include <QCollator>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

#include "engine/run_error.hpp"
#include "engine/runtime.hpp"
#include "platform/dir_list.hpp"
#include "platform/drive_list.hpp"
#include "platform/event.hpp"
#include "platform/file_names.hpp"
#include "platform/message_box.hpp"

namespace ui {
namespace {

constexpr int kName = Qt::UserRole;        // the entry's name, kept bytes and all
constexpr int kFolder = Qt::UserRole + 1;  // whether it is a folder

struct Entry {
    QString name;
    bool folder;
    qint64 size;
    qint64 modified;  // seconds since 1970
};

// "*" any run, "?" any one character; case does not count, as on the
// system the filters come from.
bool matches(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] != u'*' &&
            (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

bool matchesAny(const QString& name, const QStringList& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(), [&](const QString& p) { return matches(name, p); });
}

// The folder's subfolders and its regular files, links followed, hidden
// names left out as the folder list leaves them out. Empty when the folder
// cannot be read: the folder list says why.
std::vector<Entry> entries(const QString& folder)
{
    std::vector<Entry> found;
    const auto fs = engine::toFsPath(folder.toStdU16String());
    if (!fs) return found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(fs->c_str()), closedir);
    if (!dir) return found;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue;
        struct stat st {};
        if (fstatat(dirfd(dir.get()), entry->d_name, &st, 0) != 0) continue;
        if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;
        found.push_back({fromFsName(QByteArray(entry->d_name)), S_ISDIR(st.st_mode), qint64(st.st_size),
                         qint64(st.st_mtim.tv_sec)});
    }
    return found;
}

// \xHH for a byte 80..FF back to the byte it shows.
QString keptBytes(const QString& shown)
{
    static const QRegularExpression byte(QStringLiteral("\\\\x([89A-Fa-f][0-9A-Fa-f])"));
    QString out;
    qsizetype at = 0;
    for (auto it = byte.globalMatch(shown); it.hasNext();) {
        const auto m = it.next();
        out += shown.mid(at, m.capturedStart() - at);
        out += QChar(char16_t(0xDC00 + m.captured(1).toUInt(nullptr, 16)));
        at = m.capturedEnd();
    }
    return out + shown.mid(at);
}

}  // namespace

FileDialog::FileDialog(QWidget* owner, std::vector<FileType> types, const QString& fileName)
    : QDialog(owner), types_(std::move(types))
{
    setWindowTitle(QStringLiteral("打开"));
    setModal(true);

    auto* lookInLabel = new QLabel(QStringLiteral("查找范围(&I)："), this);
    lookInLabel->setObjectName(QStringLiteral("lookInLabel"));
    drives_ = new DriveList(this);
    drives_->setObjectName(QStringLiteral("lookIn"));
    lookInLabel->setBuddy(drives_);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    folders_ = new DirList(split);
    folders_->setObjectName(QStringLiteral("folderList"));
    files_ = new QTreeWidget(split);
    files_->setObjectName(QStringLiteral("fileList"));
    files_->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("体积"), QStringLiteral("类型"),
                             QStringLiteral("修改日期")});
    files_->setRootIsDecorated(false);
    files_->setUniformRowHeights(true);
    files_->setItemsExpandable(false);
    files_->setExpandsOnDoubleClick(false);
    files_->setAllColumnsShowFocus(true);
    files_->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    QHeaderView* header = files_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setResizeContentsPrecision(200);  // a huge folder stays quick
    for (int column = 1; column < 4; ++column) header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    files_->installEventFilter(this);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 380});

    auto* fileNameLabel = new QLabel(QStringLiteral("文件名称(&N)："), this);
    fileNameLabel->setObjectName(QStringLiteral("fileNameLabel"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("fileNameEdit"));
    fileNameLabel->setBuddy(name_);
    auto* fileTypeLabel = new QLabel(QStringLiteral("文件类型："), this);
    fileTypeLabel->setObjectName(QStringLiteral("fileTypeLabel"));
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("fileTypeCombo"));
    for (const FileType& t : types_) type_->addItem(t.display);
    fileTypeLabel->setBuddy(type_);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    QPushButton* open = buttons->addButton(QDialogButtonBox::Open);
    open->setText(QStringLiteral("打开(&O)"));
    open->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setText(QStringLiteral("取消"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lookInLabel, 0, 0);
    grid->addWidget(drives_, 0, 1, 1, 2);
    grid->addWidget(split, 1, 0, 1, 3);
    grid->addWidget(fileNameLabel, 2, 0);
    grid->addWidget(name_, 2, 1);
    grid->addWidget(fileTypeLabel, 3, 0);
    grid->addWidget(type_, 3, 1);
    grid->addWidget(buttons, 2, 2, 2, 1);
    grid->setColumnStretch(1, 1);

    setTabOrder(drives_, folders_);
    setTabOrder(folders_, files_);
    setTabOrder(files_, name_);
    setTabOrder(name_, type_);
    setTabOrder(type_, open);
    setTabOrder(open, cancel);

    connect(drives_, &DriveList::Change, this, &FileDialog::driveChanged);
    connect(folders_, &DirList::Change, this, [this] {
        drives_->showDrive(folders_->drive());
        listFolder();
    });
    connect(type_, &QComboBox::currentIndexChanged, this, &FileDialog::listFolder);
    connect(files_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        runEvent([&] { choose(item); }, this);
    });
    connect(files_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !item->data(0, kFolder).toBool()) name_->setText(item->text(0));
    });
    connect(open, &QPushButton::clicked, this, [this] { runEvent([this] { confirm(); }, this); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Back where the file confirmed last lies.
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        try {
            folders_->setPath(slash == 0 ? QStringLiteral("/") : fileName.left(slash));
        } catch (const FolderError&) {
            // Gone since: the working folder then.
        }
    }
    drives_->showDrive(folders_->drive());
    listFolder();
    for (int row = 0; slash >= 0 && row < files_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = files_->topLevelItem(row);
        if (childPath(folders_->path(), item->data(0, kName).toString()) == fileName) files_->setCurrentItem(item);
    }
    name_->setFocus();
    resize(640, 420);
}

void FileDialog::driveChanged()
{
    openChosenDrive(drives_, folders_);
}

void FileDialog::listFolder()
{
    const int type = type_->currentIndex();
    const QStringList patterns = type >= 0 ? types_[size_t(type)].patterns : QStringList();
    std::vector<Entry> found = entries(folders_->path());
    std::erase_if(found, [&](const Entry& e) { return !e.folder && !matchesAny(e.name, patterns); });
    QCollator byName;
    std::sort(found.begin(), found.end(), [&](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) return a.folder;
        return byName.compare(a.name, b.name) < 0;
    });

    const QLocale locale;
    const QMimeDatabase types;
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(found.size()));
    for (const Entry& e : found) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, displayName(e.name));
        item->setToolTip(0, item->text(0));  // whole where the column cuts it
        item->setIcon(0, e.folder ? folderIcon : fileIcon);
        item->setData(0, kName, e.name);
        item->setData(0, kFolder, e.folder);
        if (!e.folder) {
            item->setText(1, locale.formattedDataSize(e.size, 1, QLocale::DataSizeTraditionalFormat));
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setText(2, e.folder ? QStringLiteral("文件夹")
                                  : types.mimeTypeForFile(e.name, QMimeDatabase::MatchExtension).comment());
        item->setText(3, locale.toString(QDateTime::fromSecsSinceEpoch(e.modified), QLocale::ShortFormat));
        items << item;
    }
    files_->clear();
    files_->addTopLevelItems(items);
}

void FileDialog::openFolder(const QString& folder)
{
    try {
        folders_->setPath(folder);
    } catch (const FolderError& e) {
        messageBox(QString::fromStdU16String(e.message()));
    }
}

// A double click or Enter on an entry of the file list.
void FileDialog::choose(QTreeWidgetItem* item)
{
    if (!item) return;
    const QString path = childPath(folders_->path(), item->data(0, kName).toString());
    if (item->data(0, kFolder).toBool())
        openFolder(path);
    else
        confirmPath(path);
}

// The name typed, or shown, in the file-name field: of the folder shown or
// in full.
void FileDialog::confirm()
{
    const QString text = name_->text();
    if (text.isEmpty()) {
        QTreeWidgetItem* item = files_->currentItem();
        if (item && item->data(0, kFolder).toBool()) choose(item);
        return;
    }
    for (int row = 0; row < files_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = files_->topLevelItem(row);
        if (item->text(0) == text) {
            // Opening a folder lists anew: the item goes.
            if (item->data(0, kFolder).toBool()) name_->clear();
            choose(item);
            return;
        }
    }
    confirmPath(pathOf(text));
}

// A typed name as a path: taken as typed, or with each \xHH as the byte it
// shows when only that names something.
QString FileDialog::pathOf(const QString& text) const
{
    const auto exists = [](const QString& path) {
        struct stat st {};
        const auto fs = engine::toFsPath(path.toStdU16String());
        return fs && stat(fs->c_str(), &st) == 0;
    };
    const QString typed = QDir::cleanPath(QDir::isAbsolutePath(text) ? text : childPath(folders_->path(), text));
    const QString bytes = keptBytes(typed);
    return !exists(typed) && bytes != typed && exists(bytes) ? bytes : typed;
}

void FileDialog::confirmPath(const QString& path)
{
    const QString shown = displayName(path);
    struct stat st {};
    const auto fs = engine::toFsPath(path.toStdU16String());
    if (!fs) {
        messageBox(QStringLiteral("文件名“") + shown + QStringLiteral("”无效。"));
        return;
    }
    if (stat(fs->c_str(), &st) != 0) {
        const int err = errno;
        messageBox(err == ENOENT ? QStringLiteral("找不到文件“") + shown + QStringLiteral("”。")
                                 : QStringLiteral("无法打开文件“") + shown + QStringLiteral("”：") +
                                       QString::fromStdU16String(engine::errnoText(err)) + QStringLiteral("。"));
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        openFolder(path);
        name_->clear();
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        messageBox(QStringLiteral("“") + shown + QStringLiteral("”不是文件。"));
        return;
    }
    selected_ = path;
    accept();
}

// Enter in the file list opens a folder or confirms a file there, as a
// double click does, instead of pressing the default button.
bool FileDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == files_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runEvent([this] { choose(files_->currentItem()); }, this);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ui
