#include "program.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "form1.hpp"
#include "platform/double_click.hpp"
#include "platform/windows.hpp"

namespace ui {

void loadQtTranslations()
{
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    // The program speaks Chinese whatever the machine's locale: Qt's own
    // texts (context menus, file dialog) and its number and date formats.
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    QLocale::setDefault(chinese);
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        qWarning("Qt's Chinese translations are missing (Debian package qt6-translations-l10n)");
        delete qt;
    }
}

void startProgram()
{
    loadQtTranslations();
    keepDoubleClicksInOneWindow();
    Windows::ref<Form1>();
}

}  // namespace ui
