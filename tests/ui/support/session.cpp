#include "support/session.hpp"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

#include "form1.hpp"
#include "platform/windows.hpp"
#include "program.hpp"

namespace uitest {

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void startProgram()
{
    ui::startProgram();
    ui::Form1* form1 = ui::Windows::find<ui::Form1>();
    QVERIFY(form1);
    QVERIFY(QTest::qWaitForWindowActive(form1));
    settle();
}

void endProgram()
{
    if (ui::Windows::find<ui::Form1>()) ui::Windows::endProgram();
    settle();
}

void activate(QWidget* window)
{
    window->raise();
    window->activateWindow();
    settle();
}

void closeBox(QWidget* window)
{
    QVERIFY(window && window->windowHandle());
    // The path a close request from the window manager takes.
    window->windowHandle()->close();
    settle();
}

void chooseMenuItem(QMenu* menu, QAction* item)
{
    ui::Form1* form1 = ui::Windows::find<ui::Form1>();
    activate(form1);
    QMenuBar* bar = form1->menuBar;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    settle();
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(widget, &commit);
        }
    }
}

void pressKey(int key)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, static_cast<Qt::Key>(key));
    settle();
}

}  // namespace uitest
