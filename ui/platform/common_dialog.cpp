#include "platform/common_dialog.hpp"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QSettings>
#include <QTreeView>

#include "engine/run_error.hpp"

namespace ui {
namespace {

// Qt leaves the details of the file list in English (the type "Folder")
// and in the machine's locale (sizes, dates); these are the program's
// language.
class ChineseDetails : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || index.column() == 0 || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        const QLocale chinese;
        switch (index.column()) {
        case 1: return info.isDir() ? QString() : chinese.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case 2: return info.isDir() ? QStringLiteral("文件夹") : files->type(source);
        case 3: return chinese.toString(info.lastModified(), QLocale::ShortFormat);
        default: return QIdentityProxyModel::data(index, role);
        }
    }
};

// The dialog keeps its places, history and columns in the user's Qt
// settings, shared by every Qt program. This program saves nothing and
// takes nothing over from others: the settings go where nothing can be
// written or read.
void keepNoSettings()
{
    static const bool done = [] {
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(QSettings::NativeFormat, scope, QStringLiteral("/dev/null"));
        return true;
    }();
    (void)done;
}

// The details' columns as wide as what they show; the name takes the rest.
void fitColumns(QFileDialog& dialog)
{
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details) return;
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

}  // namespace

void CommonDialog::setFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& display = parts[i];
        // Several patterns are separated by ";".
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        if (display.isEmpty() || patterns.trimmed().isEmpty()) break;
        // The dialog reads the patterns from the last brackets of the text;
        // a display text that shows them already is kept as it is.
        const QString bracketed = QLatin1Char('(') + patterns + QLatin1Char(')');
        nameFilters << (display.endsWith(bracketed) ? display : display + QLatin1Char(' ') + bracketed);
    }
    if (parts.size() % 2 != 0 || nameFilters.size() != parts.size() / 2) {
        throw engine::RunError((QStringLiteral("文件类型过滤器“") + filter +
                                QStringLiteral("”无效：应为“说明|模式”，多项之间也用“|”分隔。"))
                                   .toStdU16String());
    }
    filter_ = filter;
    nameFilters_ = nameFilters;
}

void CommonDialog::ShowOpen()
{
    // Qt's own dialog, not the desktop's: the same everywhere, and in the
    // program's language.
    keepNoSettings();
    QFileDialog dialog(owner_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setProxyModel(new ChineseDetails(&dialog));
    dialog.setNameFilters(nameFilters_);
    fitColumns(dialog);
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        fileName_ = dialog.selectedFiles().constFirst();
}

}  // namespace ui
