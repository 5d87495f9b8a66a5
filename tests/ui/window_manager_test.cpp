// What a real window manager asks of the windows: a state that a title bar
// does not offer is undone, Show brings a minimised window back, a message
// box belongs to the window whose procedure opens it and gives it back the
// input, and long texts fit in fields and boxes; labels draw from the top.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "engine/run_error.hpp"
#include "form1.hpp"
#include "form2.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "platform/event.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "support/files.hpp"
#include "support/message_boxes.hpp"
#include "support/session.hpp"
#include "support/windows.hpp"

using namespace ui;
using uitest::MessageBoxes;
using uitest::windowNamed;

namespace {

void click(QWidget* w)
{
    uitest::activate(w->window());  // as the user's click does first
    QTest::mouseClick(w, Qt::LeftButton);
    uitest::settle();
}

// Pastes the text into the field as the user does: Ctrl+V.
void paste(QLineEdit* field, const QString& text)
{
    QApplication::clipboard()->setText(text);
    uitest::activate(field->window());
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

// First row of the widget's own drawing that holds dark (text) pixels.
int firstInkRow(QWidget* w)
{
    const QImage image = w->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) return y;
    return -1;
}

void verifyOnScreen(const QRect& frame)
{
    QVERIFY2(QGuiApplication::primaryScreen()->availableGeometry().contains(frame),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
}

// The box's label shows its text with each line on one line of its own.
// Fails loudly when the box has no such label.
bool linesKeptWhole(QMessageBox& box)
{
    QLabel* label = nullptr;
    for (QLabel* l : box.findChildren<QLabel*>())
        if (l->text() == box.text() && l->isVisible()) label = l;
    if (!label) {
        qWarning("the message box has no visible label that shows its text");
        return false;
    }
    const QFontMetrics metrics = label->fontMetrics();
    for (const QString& line : box.text().split(u'\n')) {
        if (metrics.horizontalAdvance(line) > label->contentsRect().width()) {
            qWarning("a line of the box is broken again: %s", qPrintable(line.left(40)));
            return false;
        }
    }
    return true;
}

QLineEdit* fieldNamed(const QString& name)
{
    Form1* f1 = Windows::find<Form1>();
    if (name == "Form1.Text1") return f1->Text1;
    if (name == "Form1.Text2") return f1->Text2;
    if (name == "Form1.Text4") return f1->Text4;
    if (name == "Form4.Text3") return Windows::find<Form4>()->Text3;
    return Windows::find<Form5>()->Text1;
}

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { uitest::startProgram(); }
    void cleanup() { uitest::endProgram(); }

    void statesNotOffered_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("kept");
        QTest::newRow("main window minimised") << "Form1" << int(Qt::WindowMinimized) << true;
        QTest::newRow("main window maximised") << "Form1" << int(Qt::WindowMaximized) << false;
        QTest::newRow("instructions minimised") << "Form2" << int(Qt::WindowMinimized) << true;
        QTest::newRow("instructions maximised") << "Form2" << int(Qt::WindowMaximized) << true;
        QTest::newRow("folder chooser minimised") << "Form3" << int(Qt::WindowMinimized) << false;
        QTest::newRow("folder chooser maximised") << "Form3" << int(Qt::WindowMaximized) << false;
        QTest::newRow("character-count dialog minimised") << "Form4" << int(Qt::WindowMinimized) << false;
        QTest::newRow("character-count dialog maximised") << "Form4" << int(Qt::WindowMaximized) << false;
        QTest::newRow("size dialog minimised") << "Form5" << int(Qt::WindowMinimized) << false;
        QTest::newRow("About minimised") << "Form6" << int(Qt::WindowMinimized) << false;
        QTest::newRow("main window full screen") << "Form1" << int(Qt::WindowFullScreen) << false;
        QTest::newRow("instructions full screen") << "Form2" << int(Qt::WindowFullScreen) << true;
        QTest::newRow("character-count dialog full screen") << "Form4" << int(Qt::WindowFullScreen) << false;
        QTest::newRow("About full screen") << "Form6" << int(Qt::WindowFullScreen) << false;
    }

    // The window manager's minimise, maximise and full screen, offered or not.
    void statesNotOffered()
    {
        QFETCH(QString, window);
        QFETCH(int, state);
        QFETCH(bool, kept);
        uitest::openEveryWindow();
        QWidget* w = windowNamed(window);
        w->setWindowState(w->windowState() | Qt::WindowState(state));
        uitest::settle();
        QCOMPARE(bool(w->windowState() & state), kept);
        QVERIFY(w->isVisible());
    }

    void showBringsBack_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window, by a dialog's OK") << "Form1";
        QTest::newRow("instructions window, by its menu item") << "Form2";
    }

    void showBringsBack()
    {
        QFETCH(QString, window);
        Form1* f1 = Windows::find<Form1>();
        uitest::openEveryWindow();
        QWidget* w = windowNamed(window);
        w->setWindowState(Qt::WindowMinimized);
        uitest::settle();
        QVERIFY(w->isMinimized());
        if (window == "Form1") click(Windows::find<Form4>()->Command1);
        else uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        QVERIFY(!w->isMinimized());
        QVERIFY(w->isVisible());
        QCOMPARE(QApplication::activeWindow(), w);
    }

    void boxOwners_data()
    {
        QTest::addColumn<QString>("outFolder");  // empty: the split cannot start
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("boxes");
        QTest::newRow("完成 after the notice") << "out" << "Form1.Command2" << "Form1" << 2;
        QTest::newRow("an error after the notice") << "missing" << "Form1.Command2" << "Form1" << 2;
        QTest::newRow("the size dialog's statistic") << "" << "Form5.Command2" << "Form5" << 1;
        QTest::newRow("the character-count dialog's statistic") << "" << "Form4.Command2" << "Form4" << 1;
    }

    // Each box is owned by the window whose procedure shows it, centred
    // over it, with the program's icon, and wide enough for its title.
    void boxOwners()
    {
        QFETCH(QString, outFolder);
        QFETCH(QString, button);
        QFETCH(QString, owner);
        QFETCH(int, boxes);
        QTemporaryDir dir;
        Form1* f1 = Windows::find<Form1>();
        QDir(dir.path()).mkdir("out");
        QTest::mouseClick(f1->Option2, Qt::LeftButton);
        QTest::mouseClick(f1->Option1, Qt::LeftButton);
        uitest::typeText(Windows::find<Form4>()->Text3, "10");
        if (!outFolder.isEmpty()) {
            uitest::typeText(f1->Text1, uitest::writeFile(dir.path(), "in.txt", "abc"));
            uitest::typeText(f1->Text2, dir.path() + "/" + outFolder);
            uitest::typeText(f1->Text4, "p");
        }
        QWidget* press = windowNamed(button.section('.', 0, 0))->findChild<QPushButton*>(button.section('.', 1));
        MessageBoxes shown;
        click(press);
        QCOMPARE(shown.shown.size(), boxes);
        QWidget* expected = windowNamed(owner);
        const QImage icon = f1->windowIcon().pixmap(48, 48).toImage();
        for (const uitest::ShownBox& box : shown.shown) {
            QCOMPARE(box.title, QStringLiteral("提示"));
            QCOMPARE(box.owner, expected);
            QCOMPARE(box.windowIcon, icon);
            QVERIFY2(box.frame.width() >= 240, qPrintable(QString::number(box.frame.width())));
            const QPoint off = box.frame.center() - expected->frameGeometry().center();
            QVERIFY2(off.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
        }
        QCOMPARE(QApplication::activeWindow(), expected);
    }

    // A message box has no minimise button either: minimised by the window
    // manager, it comes straight back, and the input with it.
    void boxNotMinimised()
    {
        Form1* f1 = Windows::find<Form1>();
        click(f1->Option1);
        MessageBoxes boxes;
        bool back = false;
        boxes.whileOpen = [&](QMessageBox& box) {
            box.setWindowState(Qt::WindowMinimized);
            uitest::settle();
            back = !box.isMinimized() && QApplication::activeWindow() == &box;
        };
        click(Windows::find<Form4>()->Command2);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(back);
    }

    // The window that was active before a box is active after it, with the
    // focus on the same control.
    void focusAfterBox()
    {
        Form1* f1 = Windows::find<Form1>();
        click(f1->Option1);
        Form4* f4 = Windows::find<Form4>();
        uitest::typeText(f4->Text3, "12");
        uitest::pressKey(Qt::Key_Tab);
        uitest::pressKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f4->Command2);
        MessageBoxes boxes;
        uitest::pressKey(Qt::Key_Space);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(QApplication::activeWindow(), f4);
        QCOMPARE(QApplication::focusWidget(), f4->Command2);
    }

    void longTextInFields_data()
    {
        QTest::addColumn<QString>("field");
        for (const char* name : {"Form1.Text1", "Form1.Text2", "Form1.Text4", "Form4.Text3", "Form5.Text1"})
            QTest::newRow(name) << name;
    }

    void longTextInFields()
    {
        QFETCH(QString, field);
        uitest::openEveryWindow();
        const QString text = uitest::sampleText(40000);
        paste(fieldNamed(field), text);
        QCOMPARE(fieldNamed(field)->text(), text);
    }

    // "请输入被分割后文件的大小： " stands in a box higher than its text.
    void labelsFromTheTop()
    {
        uitest::openEveryWindow();
        for (const char* name : {"Form1", "Form4", "Form5"}) {
            for (QLabel* label : windowNamed(name)->findChildren<QLabel*>()) {
                const int ink = firstInkRow(label);
                QVERIFY2(ink >= 0 && ink <= 3, qPrintable(label->objectName() + ": " + QString::number(ink)));
            }
        }
    }

    void longPathInBox_data()
    {
        QTest::addColumn<bool>("folders");
        QTest::newRow("one name") << false;
        QTest::newRow("folders") << true;
    }

    // A path of 3000 characters is broken into lines that fit on the screen,
    // every character of it shown.
    void longPathInBox()
    {
        QFETCH(bool, folders);
        QString path = QStringLiteral("/") + QString(2999, u'a');
        for (int i = 41; folders && i < path.size(); i += 41) path[i] = u'/';
        Form1* f1 = Windows::find<Form1>();
        click(f1->Option1);
        paste(f1->Text1, path);
        MessageBoxes boxes;
        bool whole = false;
        boxes.whileOpen = [&](QMessageBox& box) { whole = linesKeptWhole(box); };
        click(Windows::find<Form4>()->Command2);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(whole);
        QVERIFY(QString(boxes.shown[0].text).remove(u'\n').contains(path));
        verifyOnScreen(boxes.shown[0].frame);
    }

    // A text far longer than a screen holds keeps its two ends, "…" between.
    void hugeTextInBox()
    {
        const QString text = uitest::sampleText(100000);
        MessageBoxes boxes;
        bool whole = false;
        boxes.whileOpen = [&](QMessageBox& box) { whole = linesKeptWhole(box); };
        runEvent([&] { throw engine::RunError(text.toStdU16String()); });
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(whole);
        const QString shown = boxes.shown[0].text;
        QVERIFY(shown.startsWith(text.left(20)) && shown.endsWith(text.right(20)));
        QVERIFY(shown.contains(u'\u2026'));
        verifyOnScreen(boxes.shown[0].frame);
    }
};

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
