#include <QApplication>

#include "platform/windows.hpp"
#include "program.hpp"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Only the main window's closing ends the program, whatever else is left.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&ui::Windows::instance(), &ui::Windows::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    ui::startProgram();
    const int status = app.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
