// The frame of the windows: start-up, where each window and control stands,
// what the title bars offer, one instance per window, and program end.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "engine/file_slot.hpp"
#include "engine/run_error.hpp"
#include "form1.hpp"
#include "form2.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "form6.hpp"
#include "platform/event.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "support/files.hpp"
#include "support/message_boxes.hpp"
#include "support/session.hpp"
#include "support/windows.hpp"

using namespace ui;
using uitest::twips;
using uitest::MessageBoxes;
using uitest::openEveryWindow;
using uitest::windowNamed;

namespace {

// The area that the given places refer to: below the main window's menu bar.
QWidget* clientOf(QWidget* window)
{
    if (auto* form1 = qobject_cast<Form1*>(window)) return form1->client;
    return window;
}

QString captionOf(QWidget* w)
{
    if (w->isWindow()) return w->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* field = qobject_cast<QLineEdit*>(w)) return field->text();
    return QStringLiteral("?");
}


}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { uitest::startProgram(); }
    void cleanup() { uitest::endProgram(); }

    void startUp()
    {
        Form1* f1 = Windows::find<Form1>();
        QVERIFY(f1->isVisible());
        QCOMPARE(QApplication::activeWindow(), f1);
        QCOMPARE(QApplication::focusWidget(), f1->Text4);
        for (QLineEdit* field : {f1->Text1, f1->Text2, f1->Text4}) QVERIFY(field->text().isEmpty());
        QVERIFY(!f1->Option1->isChecked());
        QVERIFY(!f1->Option2->isChecked());
        QCOMPARE(f1->CommonDialog1.filter(), QStringLiteral("文本文件(*.txt)|*.txt"));

        Form2* f2 = Windows::find<Form2>();
        QVERIFY(f2);
        QVERIFY(!f2->isVisible());
        QVERIFY(!Windows::find<Form4>());
        QVERIFY(!Windows::find<Form5>());
        QVERIFY(!Windows::find<Form6>());

        // The menu item shows that same instructions window.
        QPointer<Form2> hidden(f2);
        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        QCOMPARE(Windows::find<Form2>(), hidden.data());
        QVERIFY(hidden->isVisible());
    }

    void placesAndCaptions_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");  // empty: the window itself
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("place");      // client area on the screen, or in its window

        auto row = [](const char* window, const char* control, const QString& caption, QRect place) {
            QTest::addRow("%s.%s", window, *control ? control : "window")
                << QString::fromLatin1(window) << QString::fromLatin1(control) << caption << place;
        };
        row("Form1", "", "QJX文本文件分割器V1.5", twips(5115, 4470, 4440, 3675));
        row("Form1", "Label1", "添加文件：", twips(120, 360, 975, 255));
        row("Form1", "Text1", "", twips(1080, 360, 2295, 270));
        row("Form1", "Command1", "浏览\u2026", twips(3480, 360, 735, 255));
        row("Form1", "Label2", "输出目录：", twips(120, 840, 975, 255));
        row("Form1", "Text2", "", twips(1080, 840, 2295, 270));
        row("Form1", "Command3", "浏览\u2026", twips(3480, 840, 735, 255));
        row("Form1", "Option1", "按字数分割", twips(240, 1440, 1335, 255));
        row("Form1", "Option2", "按文件大小分割", twips(2280, 1440, 1815, 255));
        row("Form1", "Label4", "分割完毕后文件名称：", twips(240, 2160, 2055, 255));
        row("Form1", "Text4", "", twips(2640, 2160, 1455, 270));
        row("Form1", "Command2", "开始分割", twips(600, 2880, 1215, 375));
        row("Form1", "Command4", "退出", twips(2640, 2880, 1215, 375));
        row("Form2", "", "帮助", twips(2865, 2460, 10530, 7350));
        row("Form2", "Command1", "确定", twips(8760, 6600, 1215, 495));
        row("Form4", "", "请输入每个文件的字数", twips(5295, 6090, 4425, 1590));
        row("Form4", "Label3", "每份分割文件的字数：", twips(240, 360, 2055, 255));
        row("Form4", "Text3", "", twips(2400, 360, 1695, 270));
        row("Form4", "Command2", "显示被分割文件字数", twips(480, 1080, 1935, 375));
        row("Form4", "Command1", "确定", twips(2760, 1080, 1335, 375));
        row("Form5", "", "请输入每个文件的大小", twips(4920, 4935, 5130, 1425));
        row("Form5", "Label1", "请输入被分割后文件的大小： ", twips(120, 240, 2775, 375));
        row("Form5", "Text1", "", twips(2760, 240, 1455, 270));
        row("Form5", "Label2", "KB", twips(4320, 240, 735, 255));
        row("Form5", "Command2", "显示被分割文件大小", twips(960, 840, 1935, 375));
        row("Form5", "Command1", "确定", twips(3360, 840, 1335, 375));
        row("Form6", "", "关于", twips(5475, 4935, 4605, 2955));
    }

    void placesAndCaptions()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, caption);
        QFETCH(QRect, place);

        openEveryWindow();
        QWidget* w = windowNamed(window);
        QVERIFY(w && w->isVisible());
        if (control.isEmpty()) {
            QWidget* client = clientOf(w);
            QCOMPARE(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()), place);
            QCOMPARE(w->windowTitle(), caption);
        } else {
            QWidget* c = clientOf(w)->findChild<QWidget*>(control, Qt::FindDirectChildrenOnly);
            QVERIFY(c);
            QCOMPARE(c->geometry(), place);
            QCOMPARE(captionOf(c), caption);
        }
    }

    void titleBarsAndBorders()
    {
        openEveryWindow();
        const Qt::WindowFlags buttons =
            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        auto offered = [&](QWidget* w) { return w->windowFlags() & buttons; };

        Form1* f1 = Windows::find<Form1>();
        QCOMPARE(offered(f1), Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        QCOMPARE(f1->windowType(), Qt::Window);
        QVERIFY(f1->minimumSize() != f1->maximumSize());  // sizable

        QCOMPARE(offered(Windows::find<Form2>()), buttons);
        QCOMPARE(Windows::find<Form2>()->windowType(), Qt::Window);

        for (QWidget* dialog : {windowNamed("Form4"), windowNamed("Form5"), windowNamed("Form6")}) {
            QCOMPARE(dialog->windowType(), Qt::Window);  // no owner; the task bar: smoke-x11.sh
            QCOMPARE(offered(dialog), Qt::WindowCloseButtonHint);
            QCOMPARE(dialog->minimumSize(), dialog->size());
            QCOMPARE(dialog->maximumSize(), dialog->size());
        }

        // The window manager's maximising is not kept.
        f1->setWindowState(Qt::WindowMaximized);
        uitest::settle();
        QVERIFY(!(f1->windowState() & Qt::WindowMaximized));
        QCOMPARE(QRect(f1->client->mapToGlobal(QPoint(0, 0)), f1->client->size()), twips(5115, 4470, 4440, 3675));
    }

    void fontsColoursAndIcon()
    {
        openEveryWindow();
        Form1* f1 = Windows::find<Form1>();
        Form4* f4 = Windows::find<Form4>();
        Form5* f5 = Windows::find<Form5>();

        for (QLabel* label : {f1->Label1, f1->Label2, f1->Label4, f4->Label3, f5->Label1}) {
            QCOMPARE(label->font().families().value(0), QStringLiteral("宋体"));
            QCOMPARE(label->font().pointSize(), 9);
            QCOMPARE(label->font().weight(), QFont::Bold);
            QVERIFY(!label->font().italic() && !label->font().underline() && !label->font().strikeOut());
            QVERIFY(!label->autoFillBackground());  // the window's colour shows through
            // A CJK face is found for the captions.
            QVERIFY(QFontMetrics(label->font()).inFont(label->text().at(0)));
        }
        QVERIFY(!f5->Label2->font().bold());
        QVERIFY(f5->Label2->autoFillBackground());
        for (QWidget* w : {static_cast<QWidget*>(f1->Text1), static_cast<QWidget*>(f1->Command2),
                           static_cast<QWidget*>(f4->Text3), static_cast<QWidget*>(f5->Command1)})
            QVERIFY(!w->font().bold());

        QCOMPARE(f1->client->palette().color(QPalette::Window), QColor(224, 224, 224));
        QVERIFY(f1->client->autoFillBackground());
        QCOMPARE(f1->Option1->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(f1->Option2->palette().color(QPalette::Window), QColor(224, 224, 224));
        QCOMPARE(f1->client->grab().toImage().pixelColor(2, 2), QColor(224, 224, 224));

        const QImage icon = f1->windowIcon().pixmap(48, 48).toImage();
        QCOMPARE(icon.size(), QSize(48, 48));
        for (QWidget* w : {windowNamed("Form2"), windowNamed("Form4"), windowNamed("Form5"), windowNamed("Form6")})
            QCOMPARE(w->windowIcon().pixmap(48, 48).toImage(), icon);
    }

    void oneInstancePerWindow()
    {
        Form1* f1 = Windows::find<Form1>();
        for (int i = 0; i < 2; ++i) {
            uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
            uitest::chooseMenuItem(f1->menu->help, f1->menu->about);
            QTest::mouseClick(f1->Option1, Qt::LeftButton);
            uitest::chooseMenuItem(f1->menu->style, f1->menu->anzi);
        }
        int form2 = 0, form4 = 0, form6 = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            form2 += qobject_cast<Form2*>(w) != nullptr;
            form4 += qobject_cast<Form4*>(w) != nullptr;
            form6 += qobject_cast<Form6*>(w) != nullptr;
        }
        QCOMPARE(form2, 1);
        QCOMPARE(form4, 1);
        QCOMPARE(form6, 1);
    }

    // Hidden keeps the window and its place; closed destroys it, and the
    // next opening starts afresh at the given place.
    void hideKeepsCloseDestroys()
    {
        Form1* f1 = Windows::find<Form1>();
        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        QPointer<Form2> f2 = Windows::find<Form2>();
        f2->setGeometry(100, 90, 500, 400);
        QTest::mouseClick(f2->Command1, Qt::LeftButton);
        uitest::settle();
        QVERIFY(f2 && !f2->isVisible());
        QCOMPARE(QApplication::activeWindow(), f1);
        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        QCOMPARE(Windows::find<Form2>(), f2.data());
        QCOMPARE(f2->geometry(), QRect(100, 90, 500, 400));

        uitest::chooseMenuItem(f1->menu->help, f1->menu->about);
        QPointer<Form6> about = Windows::find<Form6>();
        about->move(20, 30);
        uitest::closeBox(about);
        QVERIFY(!about);
        QVERIFY(!Windows::find<Form6>());
        uitest::chooseMenuItem(f1->menu->help, f1->menu->about);
        QVERIFY(Windows::find<Form6>());
        QCOMPARE(Windows::find<Form6>()->geometry(), twips(5475, 4935, 4605, 2955));

        uitest::closeBox(f2);
        QVERIFY(!f2);
        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        QCOMPARE(Windows::find<Form2>()->geometry(), twips(2865, 2460, 10530, 7350));
        QVERIFY(Windows::find<Form1>()->isVisible());  // closing another window never ends the program
    }

    void programEnd_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("exit button") << "Command4";
        QTest::newRow("menu item 退出") << "quite";
        QTest::newRow("close box") << "close box";
    }

    void programEnd()
    {
        QFETCH(QString, way);
        Form1* f1 = Windows::find<Form1>();
        uitest::typeText(f1->Text4, QStringLiteral("名称"));
        QTest::mouseClick(f1->Option1, Qt::LeftButton);
        uitest::typeText(Windows::find<Form4>()->Text3, QStringLiteral("500"));
        uitest::chooseMenuItem(f1->menu->help, f1->menu->about);

        QTemporaryDir dir;
        const QString path = uitest::writeFile(dir.path(), "open.txt", "x");
        QCOMPARE(engine::FileSlot::instance().openForInput(path.toStdString()), 0);
        QVERIFY(engine::FileSlot::instance().isOpen());

        QList<QPointer<QWidget>> windows;
        for (const char* name : {"Form1", "Form2", "Form4", "Form6"}) windows << windowNamed(name);
        MessageBoxes boxes;
        QSignalSpy ended(&Windows::instance(), &Windows::programEnded);

        if (way == "Command4") QTest::mouseClick(f1->Command4, Qt::LeftButton);
        else if (way == "quite") uitest::chooseMenuItem(f1->menu->do_, f1->menu->quite);
        else uitest::closeBox(f1);
        uitest::settle();

        QCOMPARE(ended.count(), 1);
        QVERIFY(boxes.shown.isEmpty());  // nothing is asked
        QVERIFY(!engine::FileSlot::instance().isOpen());
        for (const QPointer<QWidget>& w : windows) QVERIFY(!w);
        for (const char* name : {"Form1", "Form2", "Form4", "Form5", "Form6"}) QVERIFY(!windowNamed(name));
    }

    // A run-time error ends the procedure with a message, frees the file and
    // leaves the program running.
    void runTimeError_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("engine") << 0 << "无法打开文件";
        QTest::newRow("memory") << 1 << "内存不足，操作已中止。";
        QTest::newRow("other") << 2 << "运行时错误，操作已中止。\nboom";
    }

    void runTimeError()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = uitest::writeFile(dir.path(), "open.txt", "x");
        MessageBoxes boxes;
        runEvent([&] {
            QCOMPARE(engine::FileSlot::instance().openForInput(path.toStdString()), 0);
            if (kind == 0) throw engine::RunError(u"无法打开文件");
            if (kind == 1) throw std::bad_alloc();
            throw std::runtime_error("boom");
        });
        QCOMPARE(boxes.texts(), QStringList{message});
        QCOMPARE(boxes.shown[0].title, QStringLiteral("提示"));
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Information);
        QCOMPARE(boxes.shown[0].buttons, QStringList{QStringLiteral("确定")});
        QVERIFY(!engine::FileSlot::instance().isOpen());
        QVERIFY(Windows::find<Form1>()->isVisible());
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
