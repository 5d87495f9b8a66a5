#include "platform/common_dialog.hpp"

#include "engine/run_error.hpp"

namespace ui {

void CommonDialog::setFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    std::vector<FileType> types;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& display = parts[i];
        // Several patterns are separated by ";".
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';')))
            if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
        const QString joined = patterns.join(QLatin1Char(' '));
        if (display.isEmpty() || patterns.isEmpty()) break;
        // The patterns show in brackets after the display text, unless it
        // shows them already.
        const QString bracketed = QLatin1Char('(') + joined + QLatin1Char(')');
        types.push_back({display.endsWith(bracketed) ? display : display + QLatin1Char(' ') + bracketed, patterns});
    }
    if (parts.size() % 2 != 0 || qsizetype(types.size()) != parts.size() / 2) {
        throw engine::RunError((QStringLiteral("文件类型过滤器“") + filter +
                                QStringLiteral("”无效：应为“说明|模式”，多项之间也用“|”分隔。"))
                                   .toStdU16String());
    }
    filter_ = filter;
    types_ = std::move(types);
}

void CommonDialog::ShowOpen()
{
    FileDialog dialog(owner_, types_, fileName_);
    if (dialog.exec() == QDialog::Accepted) fileName_ = dialog.selectedFile();
}

}  // namespace ui
