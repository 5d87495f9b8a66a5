// The folder chooser behind the lower "浏览…" and "选择输出目录": what OK
// delivers, its drive list and folder list, reopening, drives and folders
// that cannot be opened, and a folder whose name is not UTF-8 through to a
// split; a working folder it cannot list, deep folders and long names, and
// drives mounted or unmounted while it is open. Runs in a mount namespace of its own (see CMakeLists.txt), where it
// mounts the drives it needs.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QToolTip>
#include <fstream>
#include <optional>
#include <functional>
#include <iterator>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

#include "form1.hpp"
#include "form3.hpp"
#include "form4.hpp"
#include "platform/dir_list.hpp"
#include "platform/drive_list.hpp"
#include "platform/option_button.hpp"
#include "platform/twips.hpp"
#include "platform/windows.hpp"
#include "support/files.hpp"
#include "support/message_boxes.hpp"
#include "support/session.hpp"

using namespace ui;
using uitest::MessageBoxes;

namespace {

bool sameIcon(const QIcon& a, QStyle::StandardPixmap b, QWidget* w)
{
    return a.pixmap(16).toImage() == w->style()->standardIcon(b).pixmap(16).toImage();
}

// Each row of the folder list: its depth, its text, and "+" when drawn open,
// "-" when drawn closed.
QStringList rows(DirList* list)
{
    QStringList out;
    QTreeWidgetItemIterator it(list);
    for (; *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) ++depth;
        const QIcon icon = (*it)->icon(0);
        const QString mark = sameIcon(icon, QStyle::SP_DirOpenIcon, list)     ? "+"
                             : sameIcon(icon, QStyle::SP_DirClosedIcon, list) ? "-"
                                                                              : "?";
        out << QStringLiteral("%1%2 %3").arg(depth).arg(mark, (*it)->text(0));
    }
    return out;
}

QTreeWidgetItem* item(Form3* f3, const QString& text)
{
    const auto found = f3->Dir1->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

// "open:NAME" double-clicks a folder, "highlight:NAME" clicks it once,
// "enter:NAME" clicks it and presses Enter.
void act(Form3* f3, const QString& step)
{
    const QString how = step.section(':', 0, 0);
    QTreeWidgetItem* target = item(f3, step.section(':', 1));
    QVERIFY2(target, qPrintable(step));
    QWidget* viewport = f3->Dir1->viewport();
    const QPoint at = f3->Dir1->visualItemRect(target).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    if (how == "open") QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    if (how == "enter") QTest::keyClick(f3->Dir1, Qt::Key_Return);
    uitest::settle();
}

// Opens the drive list and clicks the drive; meanwhile runs while the list
// is open.
void chooseDrive(Form3* f3, const QString& drive, const std::function<void()>& meanwhile = {})
{
    QComboBox* list = f3->Drive1;
    QTest::mouseClick(list, Qt::LeftButton);
    QAbstractItemView* popup = list->view();
    QTRY_VERIFY(popup->isVisible());
    if (meanwhile) meanwhile();
    const QModelIndex index = popup->model()->index(list->findData(drive), 0);
    QVERIFY2(index.isValid(), qPrintable(drive));
    const QPoint at = popup->visualRect(index).center();
    // The pointer moves onto the item before the click, as a hand's does.
    QTest::mouseMove(popup->viewport(), at + QPoint(0, 2));
    QTest::mouseMove(popup->viewport(), at);
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, at);
    uitest::settle();
    QVERIFY(!popup->isVisible());
}

QByteArray readRaw(const QByteArray& path)
{
    std::ifstream in(path.constData(), std::ios::binary);
    return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
}

// Without the powers that read any folder, as an ordinary user is.
class WithoutReadingAll {
public:
    WithoutReadingAll()
    {
        ok_ = syscall(SYS_capget, &header_, saved_) == 0;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ok_ = ok_ && syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutReadingAll() { syscall(SYS_capset, &header_, saved_); }
    bool ok() const { return ok_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool ok_ = false;
};

// Makes the folders one below the other from parent on, and returns the
// deepest; works past the length a path may have.
QString makeChain(const QString& parent, const QStringList& names)
{
    const QString back = QDir::currentPath();
    if (chdir(parent.toUtf8().constData()) != 0) return {};
    QString at = parent;
    for (const QString& name : names) {
        const QByteArray bytes = name.toUtf8();
        if (mkdir(bytes.constData(), 0755) != 0 || chdir(bytes.constData()) != 0) return {};
        at += '/' + name;
    }
    chdir(back.toUtf8().constData());
    return at;
}

// Enters a folder one name at a time, as a shell's cd does, the shell's
// PWD included.
bool enter(const QString& folder)
{
    if (chdir("/") != 0) return false;
    for (const QString& name : folder.split('/', Qt::SkipEmptyParts))
        if (chdir(name.toUtf8().constData()) != 0) return false;
    return qputenv("PWD", folder.toUtf8());
}

const QString kNotice = QStringLiteral("接下来将要分割文件，请在输出目录中浏览分割完的文件");

}  // namespace

class FolderChooserTest : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString A, B, C, D, work;
    Form1* f1 = nullptr;

    Form3* open(bool fromMenu = false)
    {
        if (fromMenu)
            uitest::chooseMenuItem(f1->menu->do_, f1->menu->sel);
        else
            QTest::mouseClick(f1->Command3, Qt::LeftButton);
        uitest::settle();
        return Windows::find<Form3>();
    }
    void ok(Form3* f3)
    {
        QTest::mouseClick(f3->Command1, Qt::LeftButton);
        uitest::settle();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(root.isValid());
        for (QString* drive : {&A, &B, &C, &D}) {
            *drive = root.path() + '/' + QChar('A' + int(drive - &A));
            QVERIFY(QDir().mkdir(*drive));
            QVERIFY2(mount("qjx", drive->toUtf8().constData(), "tmpfs", 0, "mode=0755") == 0,
                     "needs a mount namespace of its own: run under unshare --user --map-root-user --mount");
        }
        work = A + "/work";
        for (const char* dir : {"/work/sub1/deep", "/work/sub2", "/work/.hidden"}) QVERIFY(QDir().mkpath(A + dir));
        uitest::writeFile(work, "file.txt", "x");
        for (const char* dir : {"/x", "/y"}) QVERIFY(QDir().mkpath(B + dir));
        // A name in code page 936, not UTF-8: "中".
        QVERIFY(mkdir((work + "/sub2/").toUtf8() + "\xD6\xD0", 0755) == 0);
        // A character beyond 16 bits whose second half looks like a kept byte.
        QVERIFY(QDir().mkdir(work + "/sub2/" + QString::fromUcs4(U"\U0001F480")));
        // The program starts from here.
        QVERIFY(QDir::setCurrent(work));
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(QDir::tempPath());
        for (const QString& drive : {A, B, C, D}) umount2(drive.toUtf8().constData(), MNT_DETACH);
    }
    void init()
    {
        uitest::startProgram();
        f1 = Windows::find<Form1>();
    }
    void cleanup() { uitest::endProgram(); }

    void firstOpening_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button 浏览…") << false;
        QTest::newRow("menu item 选择输出目录") << true;
    }

    // The chooser opens at the working folder, at its place, and OK delivers
    // that folder, replacing what was typed.
    void firstOpening()
    {
        QFETCH(bool, fromMenu);
        QVERIFY(!Windows::find<Form3>());
        uitest::typeText(f1->Text2, QStringLiteral("typed"));
        Form3* f3 = open(fromMenu);
        QVERIFY(f3 && f3->isVisible());
        QCOMPARE(f3->windowTitle(), QStringLiteral("请选择输出路径"));
        QCOMPARE(f3->geometry(), QRect(px(5475), px(5130), px(4680), px(2745)));
        QCOMPARE(f3->minimumSize(), f3->maximumSize());
        const Qt::WindowFlags flags = f3->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(f3->Command1->text(), QStringLiteral("确定"));
        QCOMPARE(QApplication::focusWidget(), f3->Drive1);

        QCOMPARE(f3->Drive1->drive(), A);
        QCOMPARE(f3->Drive1->currentText(), A);
        QCOMPARE(f3->Dir1->path(), work);
        QCOMPARE(rows(f3->Dir1), (QStringList{"0+ " + A, "1+ work", "2- sub1", "2- sub2"}));
        QVERIFY(f1->isVisible());
        QCOMPARE(f1->Text2->text(), QStringLiteral("typed"));

        ok(f3);
        QCOMPARE(f1->Text2->text(), work);
        QVERIFY(!f3->isVisible());
        QVERIFY(f1->isVisible());
        QCOMPARE(QApplication::activeWindow(), f1);
    }

    void delivered_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("expected");  // below A
        QTest::newRow("double click") << QStringList{"open:sub1"} << "/work/sub1";
        QTest::newRow("Enter") << QStringList{"enter:sub2"} << "/work/sub2";
        QTest::newRow("highlighted only") << QStringList{"highlight:sub1"} << "/work";
        QTest::newRow("deeper") << QStringList{"open:sub1", "open:deep"} << "/work/sub1/deep";
        QTest::newRow("deeper, highlighted") << QStringList{"open:sub1", "highlight:deep"} << "/work/sub1";
        QTest::newRow("back up") << QStringList{"open:sub1", "open:work"} << "/work";
        QTest::newRow("drive's root") << QStringList{"open:sub1", "open:" + A} << "";
    }

    // OK delivers the opened folder, never a folder only highlighted; only
    // "/" ends in a separator.
    void delivered()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        Form3* f3 = open();
        for (const QString& step : steps) act(f3, step);
        ok(f3);
        QCOMPARE(f1->Text2->text(), A + expected);
    }

    void rootOfAll()
    {
        Form3* f3 = open();
        chooseDrive(f3, "/");
        QCOMPARE(f3->Drive1->drive(), QStringLiteral("/"));
        QCOMPARE(f3->Dir1->path(), QStringLiteral("/"));
        QCOMPARE(rows(f3->Dir1).value(0), QStringLiteral("0+ /"));
        QVERIFY(rows(f3->Dir1).contains("1- tmp"));
        act(f3, "open:tmp");
        act(f3, "open:/");
        ok(f3);
        QCOMPARE(f1->Text2->text(), QStringLiteral("/"));
    }

    // A drive opens at its root first, later at the folder last opened on it.
    void driveChange()
    {
        Form3* f3 = open();
        chooseDrive(f3, B);
        QCOMPARE(f3->Dir1->path(), B);
        QCOMPARE(rows(f3->Dir1), (QStringList{"0+ " + B, "1- x", "1- y"}));
        act(f3, "open:x");
        chooseDrive(f3, A);
        QCOMPARE(f3->Dir1->path(), work);
        chooseDrive(f3, B);
        QCOMPARE(f3->Dir1->path(), B + "/x");
        QCOMPARE(f3->Drive1->currentText(), B);
        ok(f3);
        QCOMPARE(f1->Text2->text(), B + "/x");
    }

    // OK hides the chooser with its lists; the close box destroys it, and it
    // opens afresh at the working folder.
    void reopen()
    {
        Form3* f3 = open();
        act(f3, "open:sub1");
        ok(f3);
        QCOMPARE(open(true), f3);
        QCOMPARE(f3->Dir1->path(), work + "/sub1");

        chooseDrive(f3, B);
        f1->Text2->clear();
        uitest::typeText(f1->Text2, QStringLiteral("typed"));
        uitest::closeBox(f3);
        QVERIFY(!Windows::find<Form3>());
        QCOMPARE(f1->Text2->text(), QStringLiteral("typed"));

        f3 = open();
        QCOMPARE(f3->Drive1->drive(), A);
        QCOMPARE(f3->Dir1->path(), work);
        QCOMPARE(rows(f3->Dir1), (QStringList{"0+ " + A, "1+ work", "2- sub1", "2- sub2"}));
    }

    // The button and the menu item while the chooser is shown change nothing.
    void openWhileShown()
    {
        Form3* f3 = open();
        act(f3, "open:sub1");
        act(f3, "highlight:deep");
        const QStringList before = rows(f3->Dir1);
        QVERIFY(open() == f3);
        QVERIFY(open(true) == f3);
        QCOMPARE(f3->Dir1->path(), work + "/sub1");
        QCOMPARE(f3->Dir1->currentItem()->text(0), QStringLiteral("deep"));
        QCOMPARE(rows(f3->Dir1), before);
        int choosers = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) choosers += qobject_cast<Form3*>(w) != nullptr;
        QCOMPARE(choosers, 1);
    }

    // A folder gone while shown, and a drive unmounted since it was listed:
    // a message, and the lists stay on the folder they showed.
    void cannotBeOpened()
    {
        QVERIFY(QDir().mkdir(work + "/gone"));
        Form3* f3 = open();
        QVERIFY(QDir().rmdir(work + "/gone"));
        MessageBoxes boxes;
        act(f3, "open:gone");
        QCOMPARE(boxes.texts(), QStringList{"无法打开文件夹“" + work + "/gone”：文件或文件夹不存在。"});
        QCOMPARE(f3->Dir1->path(), work);

        // D, unmounted while the drive list shows it.
        chooseDrive(f3, C);
        chooseDrive(f3, D, [&] { QVERIFY(umount2(D.toUtf8().constData(), MNT_DETACH) == 0); });
        uitest::settle();
        QCOMPARE(boxes.texts().value(1), "无法打开驱动器“" + D + "”：它已不再挂载。");
        QCOMPARE(f3->Drive1->drive(), C);
        QCOMPARE(f3->Drive1->currentText(), C);
        QCOMPARE(f3->Dir1->drive(), C);
        QCOMPARE(f3->Dir1->path(), C);
        ok(f3);
        QCOMPARE(f1->Text2->text(), C);
        // Both boxes belong to the chooser, whose procedures showed them.
        for (const uitest::ShownBox& box : boxes.shown) QCOMPARE(box.owner, static_cast<QWidget*>(f3));
    }

    // The folder named by the bytes D6 D0 (not UTF-8): shown with them, and a
    // split writes its pieces into that very folder.
    void nameNotUtf8()
    {
        const QString text = uitest::sampleText(1234);
        const QString input = uitest::writeFile(root.path(), "novel.txt", uitest::toGbk(text));
        MessageBoxes boxes;
        Form3* f3 = open();
        act(f3, "open:sub2");
        QCOMPARE(rows(f3->Dir1).mid(3), (QStringList{"3- " + QString::fromUcs4(U"\U0001F480"),
                                                     QStringLiteral("3- \\xD6\\xD0")}));
        act(f3, "open:\\xD6\\xD0");
        ok(f3);
        const QString folder = work + "/sub2/" + QChar(0xDCD6) + QChar(0xDCD0);
        QCOMPARE(f1->Text2->text(), folder);

        uitest::typeText(f1->Text1, input);
        uitest::typeText(f1->Text4, QStringLiteral("p"));
        QTest::mouseClick(f1->Option1, Qt::LeftButton);
        Form4* f4 = Windows::find<Form4>();
        uitest::typeText(f4->Text3, QStringLiteral("500"));
        QTest::mouseClick(f4->Command1, Qt::LeftButton);
        uitest::settle();
        QCOMPARE(boxes.texts(), QStringList{});
        QTest::mouseClick(f1->Command2, Qt::LeftButton);
        QCOMPARE(boxes.texts(), (QStringList{kNotice, QStringLiteral("完成")}));
        const QByteArray bytes = (work + "/sub2/").toUtf8() + "\xD6\xD0/p";
        for (int k = 1; k <= 3; ++k)
            QVERIFY(readRaw(bytes + QByteArray::number(k) + ".txt").startsWith(uitest::toGbk(text.mid((k - 1) * 500, 500))));
        QVERIFY(access(bytes + "4.txt", F_OK) != 0);

        // A message names such a folder as the list shows it.
        f1->Text1->clear();
        uitest::typeText(f1->Text1, folder + "/none.txt");
        QTest::mouseClick(f4->Command2, Qt::LeftButton);
        // The box may break the long path over lines.
        const QString shown = boxes.texts().last().remove(u'\n');
        QVERIFY2(shown.startsWith("无法读取文件“" + work + "/sub2/\\xD6\\xD0/none.txt”"), qPrintable(shown));
    }

    void workingFolderNotListed_data()
    {
        QTest::addColumn<QStringList>("chain");  // below A
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("stands");  // levels of the chain the list stands on
        const QStringList longNames(17, QString(250, 'l'));
        QTest::newRow("cannot be listed") << QStringList{"hard-locked", "locked"} << "locked" << 2;
        QTest::newRow("path longer than 4096 bytes") << QStringList{"hard-long"} + longNames << "long" << 18;
        QTest::newRow("removed, its parent too") << QStringList{"hard-removed", "left", "below"} << "removed" << 1;
    }

    // Started in a folder it cannot list, the chooser still stands on it, or,
    // when it is gone, on the nearest folder above that exists; a box says
    // why, and OK delivers the folder the list shows opened.
    void workingFolderNotListed()
    {
        QFETCH(QStringList, chain);
        QFETCH(QString, how);
        QFETCH(int, stands);
        const QString folder = makeChain(A, chain);
        QVERIFY(!folder.isEmpty());
        QString shown = A;
        for (const QString& name : chain.mid(0, stands)) shown += '/' + name;
        struct Back {
            QString work;
            ~Back() { enter(work); }
        } back{work};
        std::optional<WithoutReadingAll> ordinary;
        QString why;
        if (how == "locked") {
            QVERIFY(QDir().mkdir(folder + "/inner"));
            QVERIFY(chmod(folder.toUtf8().constData(), 0311) == 0);
            ordinary.emplace();
            QVERIFY2(ordinary->ok(), "cannot give up the powers that read any folder");
            why = "无法列出文件夹“" + folder + "”中的文件夹：没有权限。";
        }
        QVERIFY(enter(folder));
        if (how == "long") {
            QVERIFY(folder.toUtf8().size() > 4096);
            why = "无法列出文件夹“" + folder + "”中的文件夹：文件名太长。";
        }
        if (how == "removed") {
            QVERIFY(QDir().rmdir(folder) && QDir().rmdir(shown + "/left"));
            why = "当前文件夹“" + folder + "”已不存在，现在打开的是它上面的“" + shown + "”。";
        }

        MessageBoxes boxes;
        Form3* f3 = open();
        ordinary.reset();
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].owner, static_cast<QWidget*>(f3));
        // A long path is broken over lines and loses its middle.
        const QString text = boxes.shown[0].text.remove('\n');
        if (how == "long") {
            QVERIFY2(text.startsWith(why.left(40)) && text.endsWith(why.right(40)), qPrintable(text));
        } else {
            QCOMPARE(text, why);
        }
        QCOMPARE(f3->Dir1->path(), shown);
        QStringList want{"0+ " + A};
        for (int level = 1; level <= stands; ++level) want << QStringLiteral("%1+ %2").arg(level).arg(chain[level - 1]);
        QCOMPARE(rows(f3->Dir1), want);
        ok(f3);
        QCOMPARE(f1->Text2->text(), shown);
        if (how == "locked") chmod(folder.toUtf8().constData(), 0755);
    }

    void deepFolders_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("30 levels") << 30;
        QTest::newRow("65 levels") << 65;
    }

    // However deep the opened folder, its name and its subfolders' names
    // have room in the list; a name cut short shows whole in a tooltip.
    void deepFolders()
    {
        QFETCH(int, depth);
        QStringList chain{QStringLiteral("deep%1").arg(depth)};
        for (int level = 2; level <= depth; ++level) chain << QStringLiteral("d%1").arg(level);
        const QString folder = makeChain(A, chain);
        QVERIFY(!folder.isEmpty());
        const QString longName = QString(12, u'长') + QString(60, 'x');
        for (const QString& name : {QStringLiteral("sub"), longName}) QVERIFY(QDir().mkdir(folder + '/' + name));
        struct Back {
            QString work;
            ~Back() { enter(work); }
        } back{work};
        QVERIFY(enter(folder));

        Form3* f3 = open();
        DirList* list = f3->Dir1;
        QTreeWidgetItem* opened = list->currentItem();
        QCOMPARE(opened->text(0), chain.last());
        QCOMPARE(opened->childCount(), 2);
        const QRect view = list->viewport()->rect();
        const int icon = list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list);
        const QRect at = list->visualItemRect(opened);
        for (QTreeWidgetItem* row : {opened, item(f3, "sub")}) {
            // The opened folder shows at once; its subfolders as they are
            // scrolled to.
            if (row != opened) list->scrollToItem(row);
            QCOMPARE(list->horizontalScrollBar()->value(), 0);
            const QRect r = list->visualItemRect(row);
            QVERIFY2(view.contains(r.topLeft()) && r.bottom() <= view.bottom(), qPrintable(row->text(0)));
            // The icon, the margins and the whole name.
            const int needs = r.left() + icon + 12 + list->fontMetrics().horizontalAdvance(row->text(0));
            QVERIFY2(needs <= view.right(), qPrintable(QStringLiteral("%1 needs %2 of %3").arg(row->text(0)).arg(needs).arg(view.width())));
        }
        // The subfolders still stand indented below it.
        QVERIFY(list->visualItemRect(item(f3, "sub")).left() > at.left());

        const auto tooltip = [&](QTreeWidgetItem* row) {
            const QPoint point = list->visualItemRect(row).center();
            QHelpEvent help(QEvent::ToolTip, point, list->viewport()->mapToGlobal(point));
            QApplication::sendEvent(list->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tooltip(item(f3, "sub")), QString());
        QCOMPARE(tooltip(item(f3, longName)), longName);
        QToolTip::hideText();
    }

    void drivesAsNow_data()
    {
        QTest::addColumn<bool>("mountedSince");
        QTest::newRow("mounted since the list was read") << true;
        QTest::newRow("unmounted since the list was read") << false;
    }

    // The arrow keys in the closed drive list move over the drives mounted
    // now, not over those mounted when the list was last opened.
    void drivesAsNow()
    {
        QFETCH(bool, mountedSince);
        QStringList k;
        for (const char* name : {"/K1", "/K2", "/K3"}) {
            k << root.path() + name;
            QVERIFY(QDir().mkpath(k.last()));
        }
        struct Unmount {
            QStringList k;
            ~Unmount()
            {
                for (const QString& point : k) umount2(point.toUtf8().constData(), MNT_DETACH);
            }
        } unmount{k};
        const auto mountAt = [](const QString& point) {
            return mount("qjx", point.toUtf8().constData(), "tmpfs", 0, "mode=0755") == 0;
        };
        QVERIFY(mountAt(k[0]) && mountAt(k[2]));
        if (!mountedSince) QVERIFY(mountAt(k[1]));

        MessageBoxes boxes;
        Form3* f3 = open();
        chooseDrive(f3, k[0]);
        if (mountedSince) {
            QVERIFY(mountAt(k[1]));
        } else {
            QVERIFY(umount2(k[1].toUtf8().constData(), MNT_DETACH) == 0);
        }
        f3->Drive1->setFocus();
        QTest::keyClick(f3->Drive1, Qt::Key_Down);
        uitest::settle();
        const QString next = mountedSince ? k[1] : k[2];
        QCOMPARE(f3->Drive1->drive(), next);
        QCOMPARE(f3->Drive1->currentText(), next);
        QCOMPARE(f3->Dir1->path(), next);
        QCOMPARE(boxes.texts(), QStringList{});
    }
};

QTEST_MAIN(FolderChooserTest)
#include "folder_chooser_test.moc"
