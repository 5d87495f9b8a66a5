#include "platform/common_dialog.hpp"

#include <QFileDialog>

#include "engine/run_error.hpp"

namespace ui {

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
    QFileDialog dialog(owner_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(nameFilters_);
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        fileName_ = dialog.selectedFiles().constFirst();
}

}  // namespace ui
