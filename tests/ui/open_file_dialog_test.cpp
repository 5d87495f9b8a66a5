// The open-file dialog behind "浏览…" and "打开文件": what a confirm and a
// cancel leave in the input path field, its one file type and its listing,
// its texts, and the filter text it takes.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/run_error.hpp"
#include "form1.hpp"
#include "platform/common_dialog.hpp"
#include "platform/dir_list.hpp"
#include "platform/file_dialog.hpp"
#include "platform/file_names.hpp"
#include "form4.hpp"
#include "platform/option_button.hpp"
#include "support/message_boxes.hpp"
#include "platform/windows.hpp"
#include "support/files.hpp"
#include "support/session.hpp"

using namespace ui;

namespace {

const QByteArray kGbk = "\xD6\xD0\xCE\xC4";   // "中文" in code page 936
const QString kGbkShown = "\\xD6\\xD0\\xCE\\xC4";  // as the folder list shows it

// A part of the dialog the test relies on; its absence ends the test loudly.
template <class T>
T* part(QWidget& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("the open-file dialog has no %s named \"%s\"", T::staticMetaObject.className(), name);
    return found;
}

// The file list: the folder's subfolders and files of the chosen type.
QTreeWidget* shownView(QDialog& dialog) { return part<QTreeWidget>(dialog, "fileList"); }

// The names the dialog lists in the folder it shows.
QStringList listed(QDialog& dialog)
{
    QAbstractItemView* view = shownView(dialog);
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

// Runs the user's part while the dialog that the click opens is shown;
// returns once the click's procedure has returned.
void withDialog(const std::function<void()>& click, const std::function<void(FileDialog&)>& user)
{
    bool ran = false;
    std::function<void()> poll = [&] {
        auto* dialog = qobject_cast<FileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, poll);
            return;
        }
        ran = true;
        [&] {
            // The user waits until the dialog is in front and has listed
            // its folder.
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTRY_VERIFY(!listed(*dialog).isEmpty());
            user(*dialog);
        }();
        if (dialog->isVisible()) dialog->reject();  // a failed step must not hang the test
    };
    QTimer::singleShot(0, poll);
    click();
    uitest::settle();
    QVERIFY2(ran, "no open-file dialog was shown");
}

QAbstractButton* dialogButton(QDialog& dialog, QDialogButtonBox::StandardButton which)
{
    return part<QDialogButtonBox>(dialog, "buttonBox")->button(which);
}

// Double-clicks the entry, as shown, in the view.
void doubleClick(QAbstractItemView* view, const QString& name)
{
    QModelIndex entry;
    QTRY_VERIFY((entry = view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole, name,
                                              1, Qt::MatchExactly | Qt::MatchRecursive)
                             .value(0))
                    .isValid());
    view->scrollTo(entry);
    const QPoint at = view->visualRect(entry).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Double-clicks the file in the folder shown.
void confirm(QDialog& dialog, const QString& name)
{
    doubleClick(shownView(dialog), name);
    QVERIFY(!dialog.isVisible());
}

void cancel(QDialog& dialog)
{
    QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
}

}  // namespace

class OpenFileDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir config;
    QByteArray configBefore;
    QTemporaryDir dir;
    QByteArray novel;
    QString gbkNovel;  // its path as the program keeps it
    QString oldWorking;
    Form1* f1 = nullptr;

private slots:
    void initTestCase()
    {
        // Settings another Qt program left, read from here from now on.
        QVERIFY(config.isValid());
        QSettings left(config.path() + "/QtProject.conf", QSettings::IniFormat);
        left.setValue("FileDialog/viewMode", "List");
        left.sync();
        configBefore = uitest::readFile(config.path() + "/QtProject.conf");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());

        QVERIFY(dir.isValid());
        uitest::writeFile(dir.path(), "a.txt", "a");
        uitest::writeFile(dir.path(), "b.txt", "b");
        uitest::writeFile(dir.path(), "c.log", "c");
        uitest::writeFile(dir.path(), "txt", "d");
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        uitest::writeFile(dir.path(), ".hidden.txt", "h");
        uitest::writeFile(dir.path() + "/sub", "UPPER.TXT", "u");  // the pattern takes any case
        // "中文" in code page 936, as a folder and as a novel in it.
        const QByteArray folder = QFile::encodeName(dir.path()) + "/sub/" + kGbk;
        QVERIFY(mkdir(folder.constData(), 0755) == 0);
        novel = uitest::toGbk(uitest::sampleText(1234));
        {
            const std::unique_ptr<FILE, int (*)(FILE*)> out(fopen(folder + "/" + kGbk + ".txt", "wb"), fclose);
            QVERIFY(out && fwrite(novel.constData(), 1, size_t(novel.size()), out.get()) == size_t(novel.size()));
        }
        gbkNovel = dir.path() + "/sub/" + fromFsName(kGbk) + "/" + fromFsName(kGbk + ".txt");
        // The dialog first shows the working folder.
        oldWorking = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
    }
    void cleanupTestCase()
    {
        // Qt cannot remove what it cannot name.
        const QByteArray folder = QFile::encodeName(dir.path()) + "/sub/" + kGbk;
        unlink(folder + "/" + kGbk + ".txt");
        rmdir(folder.constData());
        QDir::setCurrent(oldWorking);
        qunsetenv("XDG_CONFIG_HOME");
    }
    void init()
    {
        uitest::startProgram();
        f1 = Windows::find<Form1>();
    }
    void cleanup() { uitest::endProgram(); }

    void confirmAndCancel_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button 浏览…") << false;
        QTest::newRow("menu item 打开文件") << true;
    }

    // Cancel before any choice empties the field; a confirmed file goes in
    // whole; a later cancel puts it back over what was typed since.
    void confirmAndCancel()
    {
        QFETCH(bool, fromMenu);
        const auto click = [&] {
            if (fromMenu)
                uitest::chooseMenuItem(f1->menu->do_, f1->menu->open);
            else
                QTest::mouseClick(f1->Command1, Qt::LeftButton);
        };
        const QString a = dir.path() + "/a.txt";
        const QString b = dir.path() + "/b.txt";

        uitest::typeText(f1->Text1, QStringLiteral("typed.txt"));
        bool modalOverMain = false;
        withDialog(click, [&](FileDialog& d) {
            modalOverMain = d.isModal() && d.parentWidget() == f1;
            cancel(d);
        });
        QVERIFY(modalOverMain);
        QCOMPARE(f1->Text1->text(), QString());

        withDialog(click, [&](FileDialog& d) { confirm(d, "a.txt"); });
        QCOMPARE(f1->Text1->text(), a);

        uitest::typeText(f1->Text1, QStringLiteral("more"));
        withDialog(click, [&](FileDialog& d) { cancel(d); });
        QCOMPARE(f1->Text1->text(), a);

        f1->Text1->clear();
        uitest::typeText(f1->Text1, b);
        withDialog(click, [&](FileDialog& d) { cancel(d); });
        QCOMPARE(f1->Text1->text(), a);

        withDialog(click, [&](FileDialog& d) { confirm(d, "b.txt"); });
        QCOMPARE(f1->Text1->text(), b);
    }

    // One file type; folders and *.txt files only.
    void fileTypeAndListing()
    {
        QStringList types;
        QStringList names;
        withDialog([&] { QTest::mouseClick(f1->Command1, Qt::LeftButton); },
                   [&](FileDialog& d) {
                       auto* combo = part<QComboBox>(d, "fileTypeCombo");
                       for (int i = 0; i < combo->count(); ++i) types << combo->itemText(i);
                       QTRY_COMPARE(listed(d), (QStringList{"a.txt", "b.txt", "sub"}));
                       names = listed(d);
                       cancel(d);
                   });
        QCOMPARE(types, QStringList{QStringLiteral("文本文件(*.txt)")});
        QCOMPARE(names, (QStringList{"a.txt", "b.txt", "sub"}));
    }

    // Qt's own texts in the dialog are Chinese.
    void chineseTexts()
    {
        QStringList texts;
        withDialog([&] { QTest::mouseClick(f1->Command1, Qt::LeftButton); },
                   [&](FileDialog& d) {
                       texts << d.windowTitle();
                       for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                           texts << part<QLabel>(d, label)->text();
                       for (QAbstractButton* button : part<QDialogButtonBox>(d, "buttonBox")->buttons())
                           texts << button->text();
                       for (QAbstractButton* tool : d.findChildren<QAbstractButton*>())
                           if (!tool->toolTip().isEmpty()) texts << tool->toolTip();
                       // The details: size, type and date of each entry.
                       QAbstractItemView* details = shownView(d);
                       const QModelIndex top = details->rootIndex();
                       QTRY_COMPARE(details->model()->rowCount(top), 3);
                       for (int row = 0; row < 3; ++row)
                           for (int column = 1; column < 4; ++column)
                               texts << details->model()->index(row, column, top).data().toString();
                       cancel(d);
                   });
        QVERIFY(texts.contains(QStringLiteral("文件夹")));
        QVERIFY(texts.contains(QStringLiteral("1 字节")));
        for (QString text : texts) {
            text.remove(QRegularExpression("\\(&[A-Z]\\)|&"));
            QVERIFY2(!text.contains(QRegularExpression("[A-Za-z]")), qPrintable(text));
        }
    }

    // The dialog leaves nothing in the user's settings, and takes nothing
    // from what other Qt programs left there (set up in initTestCase).
    void keepsNoSettings()
    {
        bool details = false;
        withDialog([&] { QTest::mouseClick(f1->Command1, Qt::LeftButton); },
                   [&](FileDialog& d) {
                       details = !shownView(d)->isHeaderHidden() && shownView(d)->columnCount() == 4;
                       confirm(d, "a.txt");
                   });
        uitest::endProgram();
        QVERIFY(details);
        QCOMPARE(QDir(config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"QtProject.conf"});
        QCOMPARE(uitest::readFile(config.path() + "/QtProject.conf"), configBefore);
    }

    void pickGbkNovel_data()
    {
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("mouse") << false;
        QTest::newRow("keyboard") << true;
    }

    // A novel whose name, and its folder's, are code page 936 bytes: shown
    // as the folder chooser shows them, picked, and split whole.
    void pickGbkNovel()
    {
        QFETCH(bool, byKeys);
        const QString file = kGbkShown + ".txt";
        const auto click = [&] { QTest::mouseClick(f1->Command1, Qt::LeftButton); };
        withDialog(click, [&](FileDialog& d) {
            auto* folders = part<DirList>(d, "folderList");
            if (!byKeys) {
                doubleClick(shownView(d), "sub");
                QTRY_COMPARE(listed(d), (QStringList{"UPPER.TXT", kGbkShown}));
                doubleClick(folders, kGbkShown);
                QTRY_COMPARE(listed(d), QStringList{file});
                confirm(d, file);
                return;
            }
            // From the file name back to the folder list; down into sub and
            // its folder; over to the file list and its one file.
            QTRY_COMPARE(QApplication::focusWidget(), part<QLineEdit>(d, "fileNameEdit"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), folders);
            for (int key : {Qt::Key_Down, Qt::Key_Return, Qt::Key_Down, Qt::Key_Return}) uitest::pressKey(key);
            QCOMPARE(listed(d), QStringList{file});
            QCOMPARE(folders->currentItem()->text(0), kGbkShown);
            uitest::pressKey(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), shownView(d));
            uitest::pressKey(Qt::Key_Down);
            QCOMPARE(part<QLineEdit>(d, "fileNameEdit")->text(), file);
            uitest::pressKey(Qt::Key_Return);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(f1->Text1->text(), gbkNovel);

        // Opened again, it stands there with the file chosen.
        QString chosen;
        withDialog(click, [&](FileDialog& d) {
            chosen = part<QLineEdit>(d, "fileNameEdit")->text();
            QCOMPARE(listed(d), QStringList{file});
            cancel(d);
        });
        QCOMPARE(chosen, file);
        QCOMPARE(f1->Text1->text(), gbkNovel);

        // Split by 500 characters: the pieces join to the novel.
        QTemporaryDir out;
        QVERIFY(out.isValid());
        uitest::typeText(f1->Text2, out.path());
        uitest::typeText(f1->Text4, QStringLiteral("p"));
        QTest::mouseClick(f1->Option1, Qt::LeftButton);
        uitest::typeText(Windows::find<Form4>()->Text3, QStringLiteral("500"));
        uitest::MessageBoxes boxes;
        uitest::activate(f1);
        QTest::mouseClick(f1->Command2, Qt::LeftButton);
        QCOMPARE(boxes.texts().value(1), QStringLiteral("完成"));
        QByteArray joined;
        for (int k = 1; QFile::exists(QStringLiteral("%1/p%2.txt").arg(out.path()).arg(k)); ++k) {
            QByteArray piece = uitest::readFile(QStringLiteral("%1/p%2.txt").arg(out.path()).arg(k));
            if (!novel.mid(joined.size()).startsWith(piece) && piece.endsWith("\r\n")) piece.chop(2);
            joined += piece;
        }
        QCOMPARE(joined.size(), novel.size());
        QVERIFY(joined == novel);
    }

    void typedName_data()
    {
        QTest::addColumn<QString>("typed");     // %1: the working folder
        QTest::addColumn<QString>("field");     // after 打开; %1 as above, %2 the novel
        QTest::addColumn<QString>("box");       // shown meanwhile, if any
        QTest::addColumn<QStringList>("after");  // listed while it stays open
        const QString novelPath = "sub/" + kGbkShown + "/" + kGbkShown + ".txt";
        QTest::newRow("a listed name") << "b.txt" << "%1/b.txt" << "" << QStringList{};
        QTest::newRow("relative, kept bytes") << novelPath << "%2" << "" << QStringList{};
        QTest::newRow("in full") << "%1/" + novelPath << "%2" << "" << QStringList{};
        QTest::newRow("hidden, not listed") << ".hidden.txt" << "%1/.hidden.txt" << "" << QStringList{};
        QTest::newRow("a folder opens") << "sub" << "" << "" << (QStringList{"UPPER.TXT", kGbkShown});
        QTest::newRow("no such file") << "none.txt" << "none.txt"
                                      << QStringLiteral("找不到文件“%1/none.txt”。")
                                      << QStringList{"a.txt", "b.txt", "sub"};
    }

    // A name typed into 文件名称 and Enter: of the folder shown, or in full.
    void typedName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, field);
        QFETCH(QString, box);
        QFETCH(QStringList, after);
        uitest::MessageBoxes boxes;
        QStringList listing;
        QString left;
        bool open = false;
        withDialog([&] { QTest::mouseClick(f1->Command1, Qt::LeftButton); },
                   [&](FileDialog& d) {
                       auto* name = part<QLineEdit>(d, "fileNameEdit");
                       uitest::typeText(name, typed.arg(dir.path()));
                       QTest::keyClick(name, Qt::Key_Return);
                       open = d.isVisible();
                       left = name->text();
                       if (open) listing = listed(d);
                   });
        QCOMPARE(boxes.texts(), box.isEmpty() ? QStringList{} : QStringList{box.arg(dir.path())});
        QCOMPARE(open, !after.isEmpty());
        if (open) {
            QCOMPARE(listing, after);
            QCOMPARE(left, field);
        } else {
            QCOMPARE(f1->Text1->text(), QString(field).replace("%1", dir.path()).replace("%2", gbkNovel));
        }
    }

    void filterText_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");  // empty: refused
        QTest::newRow("the program's") << "文本文件(*.txt)|*.txt" << QStringList{"文本文件(*.txt)"};
        QTest::newRow("two types, two patterns")
            << "文本|*.txt;*.log|全部|*" << QStringList{"文本 (*.txt *.log)", "全部 (*)"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("no pattern") << "文本文件(*.txt)" << QStringList{};
        QTest::newRow("odd count") << "文本|*.txt|全部" << QStringList{};
        QTest::newRow("empty display") << "|*.txt" << QStringList{};
        QTest::newRow("empty pattern") << "文本|" << QStringList{};
    }

    // A filter the dialog cannot take is a run-time error, named in it.
    void filterText()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, shown);
        CommonDialog dialog(f1);
        if (shown.isEmpty()) {
            try {
                dialog.setFilter(filter);
                QFAIL("the filter was taken");
            } catch (const engine::RunError& e) {
                QVERIFY(QString::fromStdU16String(e.message()).contains("“" + filter + "”"));
            }
            return;
        }
        dialog.setFilter(filter);
        QStringList types;
        withDialog([&] { dialog.ShowOpen(); },
                   [&](FileDialog& d) {
                       auto* combo = part<QComboBox>(d, "fileTypeCombo");
                       for (int i = 0; i < combo->count(); ++i) types << combo->itemText(i);
                       cancel(d);
                   });
        QCOMPARE(types, shown);
    }
};

QTEST_MAIN(OpenFileDialogTest)
#include "open_file_dialog_test.moc"
