// The split mode and the two mode dialogs, driven through the real widgets.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "form1.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "support/files.hpp"
#include "support/message_boxes.hpp"
#include "support/session.hpp"

using namespace ui;
using uitest::MessageBoxes;

namespace {

QString stateOf(QWidget* w) { return !w ? "-" : w->isVisible() ? "shown" : "hidden"; }

QString modeNow()
{
    const Form1* f1 = Windows::find<Form1>();
    if (f1->Option1->isChecked()) return f1->Option2->isChecked() ? "both" : "count";
    return f1->Option2->isChecked() ? "size" : "none";
}

QString activeName()
{
    QWidget* w = QApplication::activeWindow();
    if (qobject_cast<Form1*>(w)) return "Form1";
    if (qobject_cast<Form4*>(w)) return "Form4";
    if (qobject_cast<Form5*>(w)) return "Form5";
    return w ? w->metaObject()->className() : "none";
}

// One user action, as a word of the state table.
void perform(const QString& step)
{
    Form1* f1 = Windows::find<Form1>();
    const QString word = step.section(':', 0, 0);
    const QString arg = step.section(':', 1);
    auto click = [](QWidget* w) {
        QVERIFY2(w, "the window is not there");
        uitest::activate(w->window());  // as the user's click does first
        QTest::mouseClick(w, Qt::LeftButton);
        uitest::settle();
    };
    if (word == "option1") click(f1->Option1);
    else if (word == "option2") click(f1->Option2);
    else if (word == "anzi") uitest::chooseMenuItem(f1->menu->style, f1->menu->anzi);
    else if (word == "andaxiao") uitest::chooseMenuItem(f1->menu->style, f1->menu->andaxiao);
    else if (word == "ok4") click(Windows::find<Form4>()->Command1);
    else if (word == "ok5") click(Windows::find<Form5>()->Command1);
    else if (word == "stat4") click(Windows::find<Form4>()->Command2);
    else if (word == "stat5") click(Windows::find<Form5>()->Command2);
    else if (word == "close4") uitest::closeBox(Windows::find<Form4>());
    else if (word == "close5") uitest::closeBox(Windows::find<Form5>());
    else if (word == "start") click(f1->Command2);
    else if (word == "type4") uitest::typeText(Windows::find<Form4>()->Text3, arg);
    else if (word == "type5") uitest::typeText(Windows::find<Form5>()->Text1, arg);
    else if (word == "text1") uitest::typeText(f1->Text1, arg);
    else if (word == "text2") uitest::typeText(f1->Text2, arg);
    else if (word == "text4") uitest::typeText(f1->Text4, arg);
    else if (word == "space2" || word == "right1") {
        // The keyboard: space on a button, or an arrow from the selected one.
        OptionButton* from = word == "space2" ? f1->Option2 : f1->Option1;
        uitest::activate(f1);
        from->setFocus();
        QTest::keyClick(from, word == "space2" ? Qt::Key_Space : Qt::Key_Right);
        uitest::settle();
    } else QFAIL(qPrintable("unknown step " + step));
}

}  // namespace

class ModeDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { uitest::startProgram(); }
    void cleanup() { uitest::endProgram(); }

    void stateTable_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("form4");
        QTest::addColumn<QString>("form5");
        QTest::addColumn<QString>("active");  // empty: left to the window manager
        QTest::addColumn<QStringList>("messages");
        const QStringList none;

        QTest::newRow("program start") << QStringList{} << "none" << "-" << "-" << "Form1" << none;
        QTest::newRow("user selects Option1") << QStringList{"option1"} << "count" << "shown" << "-" << "Form4" << none;
        QTest::newRow("user selects Option2") << QStringList{"option2"} << "size" << "-" << "shown" << "Form5" << none;
        QTest::newRow("menu 按字数分割") << QStringList{"anzi"} << "none" << "shown" << "-" << "Form4" << none;
        QTest::newRow("menu 按文件大小分割") << QStringList{"andaxiao"} << "none" << "-" << "shown" << "Form5" << none;
        QTest::newRow("OK of the character-count dialog")
            << QStringList{"anzi", "ok4"} << "count" << "hidden" << "-" << "Form1" << none;
        QTest::newRow("OK of the size dialog")
            << QStringList{"andaxiao", "ok5"} << "size" << "-" << "hidden" << "Form1" << none;
        QTest::newRow("menu, number typed, close box: still no mode")
            << QStringList{"anzi", "type4:500", "close4"} << "none" << "-" << "-" << "" << none;
        QTest::newRow("close box keeps the mode")
            << QStringList{"option2", "close5"} << "size" << "-" << "-" << "" << none;
        QTest::newRow("Command2 of a dialog")
            << QStringList{"option1", "stat4"} << "count" << "shown" << "-" << "" << QStringList{"请先选择文件"};
        QTest::newRow("menu while the other mode is selected")
            << QStringList{"option2", "anzi"} << "size" << "shown" << "shown" << "Form4" << none;
        QTest::newRow("both dialogs shown, the last OK selects")
            << QStringList{"option1", "option2", "ok4"} << "count" << "hidden" << "shown" << "Form1" << none;
        QTest::newRow("OK with abc, no message")
            << QStringList{"anzi", "type4:abc", "ok4"} << "count" << "hidden" << "-" << "Form1" << none;
        QTest::newRow("click on the selected button opens again")
            << QStringList{"option1", "ok4", "option1"} << "count" << "shown" << "-" << "Form4" << none;
        QTest::newRow("OK of the other dialog switches")
            << QStringList{"option2", "ok5", "anzi", "ok4"} << "count" << "hidden" << "hidden" << "Form1" << none;
        QTest::newRow("arrow key selects the other button")
            << QStringList{"option1", "ok4", "right1"} << "size" << "hidden" << "shown" << "Form5" << none;
        QTest::newRow("space bar selects")
            << QStringList{"space2"} << "size" << "-" << "shown" << "Form5" << none;
        QTest::newRow("split after close box: count dialog created unseen")
            << QStringList{"text1:in.txt", "option1", "close4", "start"} << "count" << "hidden" << "-" << ""
            << QStringList{"请输入分割文件的字数"};
        QTest::newRow("split after close box: size dialog created unseen")
            << QStringList{"text1:in.txt", "text4:p", "text2:out", "option2", "close5", "start"} << "size" << "-"
            << "hidden" << "" << QStringList{"请输入每个文件的大小"};
        QTest::newRow("split by size reads only its own dialog")
            << QStringList{"option2", "start"} << "size" << "-" << "shown" << "" << QStringList{"请选择文件"};
    }

    void stateTable()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, mode);
        QFETCH(QString, form4);
        QFETCH(QString, form5);
        QFETCH(QString, active);
        QFETCH(QStringList, messages);
        MessageBoxes boxes;
        for (const QString& step : steps) {
            perform(step);
            if (QTest::currentTestFailed()) return;
        }
        QCOMPARE(modeNow(), mode);
        QCOMPARE(stateOf(Windows::find<Form4>()), form4);
        QCOMPARE(stateOf(Windows::find<Form5>()), form5);
        if (!active.isEmpty()) QCOMPARE(activeName(), active);
        QCOMPARE(boxes.texts(), messages);
    }

    // Hiding keeps a dialog's text, switching modes touches neither text,
    // the close box loses it.
    void textsKeptAndLost()
    {
        for (const char* step : {"option1", "type4:500", "ok4", "option2", "type5:2.5", "ok5", "anzi"})
            perform(step);
        QCOMPARE(Windows::find<Form4>()->Text3->text(), QStringLiteral("500"));
        perform("andaxiao");
        QCOMPARE(Windows::find<Form5>()->Text1->text(), QStringLiteral("2.5"));
        QCOMPARE(modeNow(), QStringLiteral("size"));

        perform("close4");
        perform("option1");
        QVERIFY(Windows::find<Form4>()->Text3->text().isEmpty());
        QCOMPARE(Windows::find<Form5>()->Text1->text(), QStringLiteral("2.5"));
    }

    void dialogKeys_data()
    {
        QTest::addColumn<QString>("open");
        QTest::newRow("character-count dialog") << "anzi";
        QTest::newRow("size dialog") << "andaxiao";
    }

    // The field has the focus, Tab goes field, OK, statistic; Enter presses
    // nothing and Esc closes nothing.
    void dialogKeys()
    {
        QFETCH(QString, open);
        MessageBoxes boxes;
        perform(open);
        QWidget* dialog = QApplication::activeWindow();
        QWidget* field = open == "anzi" ? static_cast<QWidget*>(Windows::find<Form4>()->Text3)
                                        : static_cast<QWidget*>(Windows::find<Form5>()->Text1);
        QWidget* ok = open == "anzi" ? Windows::find<Form4>()->Command1 : Windows::find<Form5>()->Command1;
        QWidget* count = open == "anzi" ? Windows::find<Form4>()->Command2 : Windows::find<Form5>()->Command2;
        QCOMPARE(dialog, field->window());
        QCOMPARE(QApplication::focusWidget(), field);
        for (QWidget* next : {ok, count, field}) {
            uitest::pressKey(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) uitest::pressKey(key);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(dialog->isVisible());
        QCOMPARE(modeNow(), QStringLiteral("none"));
    }
};

QTEST_MAIN(ModeDialogsTest)
#include "mode_dialogs_test.moc"
