// The main window: its menu bar, the tab order, the start of a split from
// the button and the menu, keys that must do nothing, and resizing.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QContextMenuEvent>
#include <QTest>
#include <QTimer>

#include "form1.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "support/message_boxes.hpp"
#include "support/session.hpp"

using namespace ui;
using uitest::MessageBoxes;

class Form1Test : public QObject {
    Q_OBJECT

    Form1* f1 = nullptr;

private slots:
    void init()
    {
        uitest::startProgram();
        f1 = Windows::find<Form1>();
    }
    void cleanup() { uitest::endProgram(); }

    void menuBar()
    {
        // name, caption; "-" is a separator.
        const QList<QPair<QString, QStringList>> expected = {
            {"do:操作", {"open:打开文件", "sel:选择输出目录", "o:-", "start:开始分割", "o3:-", "quite:退出"}},
            {"style:模式", {"anzi:按字数分割", "andaxiao:按文件大小分割"}},
            {"help:帮助", {"shuoming:使用说明", "o2:-", "about:关于"}},
        };
        auto describe = [](QAction* a) {
            return a->objectName() + ":" + (a->isSeparator() ? QStringLiteral("-") : a->text());
        };
        QList<QPair<QString, QStringList>> actual;
        for (QAction* top : f1->menuBar->actions()) {
            QVERIFY(top->menu());
            QStringList items;
            for (QAction* item : top->menu()->actions()) {
                items << describe(item);
                QVERIFY(!item->menu());  // two levels only
                QVERIFY(item->shortcut().isEmpty());
                QVERIFY(!item->text().contains('&'));
                QVERIFY(!item->isCheckable());
                QVERIFY(item->isEnabled() && item->isVisible());
            }
            QVERIFY(!top->text().contains('&'));
            actual.append({describe(top), items});
        }
        QCOMPARE(actual, expected);
    }

    // A menu title only opens its list, and a separator cannot be chosen.
    void menuTitlesAndSeparators()
    {
        MessageBoxes boxes;
        QMenu* menu = f1->menu->do_;
        QTest::mouseClick(f1->menuBar, Qt::LeftButton, {}, f1->menuBar->actionGeometry(menu->menuAction()).center());
        QVERIFY(menu->isVisible());
        int triggered = 0;
        connect(menu, &QMenu::triggered, this, [&] { ++triggered; });
        for (QAction* line : {f1->menu->o, f1->menu->o3}) {
            if (!menu->isVisible())
                QTest::mouseClick(f1->menuBar, Qt::LeftButton, {},
                                  f1->menuBar->actionGeometry(menu->menuAction()).center());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(line).center());
        }
        QCOMPARE(triggered, 0);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(!Windows::find<Form4>() && !Windows::find<Form5>());
        QVERIFY(f1->isVisible());
    }

    void tabOrder()
    {
        QCOMPARE(QApplication::focusWidget(), f1->Text4);
        const QList<QWidget*> before = {f1->Command2, f1->Text2, f1->Command1, f1->Text1, f1->Command3};
        for (QWidget* next : before) {
            uitest::pressKey(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // The option buttons come next, in the group's own way, then Command4.
        int steps = 0;
        do {
            uitest::pressKey(Qt::Key_Tab);
            ++steps;
        } while (QApplication::focusWidget() != f1->Command4 && steps < 4);
        QVERIFY(steps == 2 || steps == 3);
        uitest::pressKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f1->Text4);
        QVERIFY(!f1->Option1->isChecked() && !f1->Option2->isChecked());
    }

    void startWithoutMode_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button 开始分割") << false;
        QTest::newRow("menu item 开始分割") << true;
    }

    // Both ways run the same split, which finds no mode.
    void startWithoutMode()
    {
        QFETCH(bool, fromMenu);
        MessageBoxes boxes;
        if (fromMenu) uitest::chooseMenuItem(f1->menu->do_, f1->menu->start);
        else QTest::mouseClick(f1->Command2, Qt::LeftButton);

        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("请选择分割方式")});
        const uitest::ShownBox& box = boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("提示"));
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
        QVERIFY(box.modal);
        QVERIFY(!Windows::find<Form4>() && !Windows::find<Form5>());
        QVERIFY(!f1->Option1->isChecked() && !f1->Option2->isChecked());
    }

    void optionButtonRectangle_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Option1") << "Option1";
        QTest::newRow("Option2") << "Option2";
    }

    // A click anywhere in the button's rectangle selects it and opens its
    // dialog, also far right of its caption.
    void optionButtonRectangle()
    {
        QFETCH(QString, button);
        OptionButton* option = f1->findChild<OptionButton*>(button);
        QVERIFY(option);
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(option->width() - 2, option->height() / 2));
        uitest::settle();
        QVERIFY(option->isChecked());
        QWidget* dialog = button == "Option1" ? static_cast<QWidget*>(Windows::find<Form4>())
                                              : static_cast<QWidget*>(Windows::find<Form5>());
        QVERIFY(dialog && dialog->isVisible());
    }

    // Enter and Esc press no button and close nothing; typed blanks stay.
    void enterAndEscape()
    {
        MessageBoxes boxes;
        const QList<QWidget*> focusable = {f1->Text1, f1->Text2, f1->Text4, f1->Command2, f1->Command4};
        for (QWidget* w : focusable) {
            w->setFocus();
            uitest::settle();
            QTest::keyClick(w, Qt::Key_Return);
            QTest::keyClick(w, Qt::Key_Enter);
            QTest::keyClick(w, Qt::Key_Escape);
            uitest::settle();
        }
        uitest::typeText(f1->Text2, QStringLiteral("  out  "));
        QTest::keyClick(f1->Text2, Qt::Key_Return);
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(Windows::find<Form1>(), f1);
        QVERIFY(f1->isVisible());
        QCOMPARE(f1->Text2->text(), QStringLiteral("  out  "));
    }

    // Qt's own texts are Chinese whatever the machine's locale (the test
    // runs under C): the right-click menu of a text field.
    void contextMenuChinese()
    {
        QStringList items;
        QTimer::singleShot(0, [&items] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) items << a->text();
            menu->close();
        });
        const QPoint at = f1->Text1->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, f1->Text1->mapToGlobal(at));
        QCoreApplication::sendEvent(f1->Text1, &event);
        uitest::settle();
        QVERIFY2(items.size() >= 6, qPrintable(items.join('|')));
        const QStringList english = {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"};
        for (const QString& item : items) {
            for (const QString& word : english) QVERIFY2(!item.contains(word), qPrintable(item));
        }
        QVERIFY2(items.join('|').contains(QStringLiteral("全选")), qPrintable(items.join('|')));
    }

    // Resizing moves no control: larger shows more ground, smaller cuts off.
    void resize()
    {
        QList<QPair<QWidget*, QRect>> places;
        for (QWidget* c : f1->client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) places.append({c, c->geometry()});
        QCOMPARE(places.size(), 12);
        for (const QSize size : {QSize(500, 420), QSize(150, 120)}) {
            f1->resize(size);
            uitest::settle();
            QCOMPARE(f1->client->width(), size.width());
            for (const auto& [control, place] : places) QCOMPARE(control->geometry(), place);
        }
        f1->resize(500, 420);
        uitest::settle();
        QCOMPARE(f1->client->grab().toImage().pixelColor(480, 300), QColor(224, 224, 224));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
