// Whole splits and the statistics, through the windows, on real files.
#include <QDir>
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

const QString kNotice = QStringLiteral("接下来将要分割文件，请在输出目录中浏览分割完的文件");

// The pieces dir/base1.txt, base2.txt, ... hold text cut every m characters
// and there is no piece after them. A line end after each piece's text is
// allowed, the same for every piece.
void verifyPieces(const QString& dir, const QString& base, const QString& text, int m)
{
    const int count = (text.size() + m - 1) / m;
    QByteArray tail;
    for (int k = 1; k <= count; ++k) {
        const QByteArray expected = uitest::toGbk(text.mid((k - 1) * m, m));
        const QByteArray actual = uitest::readFile(QStringLiteral("%1/%2%3.txt").arg(dir, base).arg(k));
        QVERIFY2(actual.startsWith(expected), qPrintable(QStringLiteral("piece %1").arg(k)));
        if (k == 1) tail = actual.mid(expected.size());
        QCOMPARE(actual.mid(expected.size()), tail);
    }
    QVERIFY(tail.isEmpty() || tail == "\r\n");
    QVERIFY(!QFile::exists(QStringLiteral("%1/%2%3.txt").arg(dir, base).arg(count + 1)));
}

}  // namespace

class SplitTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString input;
    QString out;
    const QString text = uitest::sampleText(1234);
    Form1* f1 = nullptr;

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        input = uitest::writeFile(dir.path(), "novel.txt", uitest::toGbk(text));
        out = dir.path() + "/out";
        QDir().mkpath(out);
        uitest::startProgram();
        f1 = Windows::find<Form1>();
        uitest::typeText(f1->Text1, input);
        uitest::typeText(f1->Text2, out);
    }
    void cleanup()
    {
        uitest::endProgram();
        QDir(out).removeRecursively();
    }

    // The number typed into the dialog that is still shown counts, OK or not.
    void byCountWithNumberNotConfirmed()
    {
        uitest::typeText(f1->Text4, QStringLiteral("第"));
        QTest::mouseClick(f1->Option1, Qt::LeftButton);
        Form4* f4 = Windows::find<Form4>();
        uitest::typeText(f4->Text3, QStringLiteral("500"));
        MessageBoxes boxes;
        uitest::activate(f1);
        QTest::mouseClick(f1->Command2, Qt::LeftButton);
        QCOMPARE(boxes.texts(), (QStringList{kNotice, QStringLiteral("完成")}));
        verifyPieces(out, QStringLiteral("第"), text, 500);
        QVERIFY(f4->isVisible());
        QCOMPARE(f4->Text3->text(), QStringLiteral("500"));
    }

    // Started from the menu while the caret is still in the base name.
    void bySizeFromMenu()
    {
        QTest::mouseClick(f1->Option2, Qt::LeftButton);
        Form5* f5 = Windows::find<Form5>();
        uitest::typeText(f5->Text1, QStringLiteral(" 1 "));
        QTest::mouseClick(f5->Command1, Qt::LeftButton);
        uitest::settle();
        QTest::mouseClick(f1->Text4, Qt::LeftButton);
        uitest::typeText(f1->Text4, QStringLiteral("part"));
        QCOMPARE(QApplication::focusWidget(), f1->Text4);
        MessageBoxes boxes;
        uitest::chooseMenuItem(f1->menu->do_, f1->menu->start);
        QCOMPARE(boxes.texts(), (QStringList{kNotice, QStringLiteral("完成")}));
        verifyPieces(out, QStringLiteral("part"), text, 512);
        QVERIFY(!f5->isVisible());
    }

    void statistics_data()
    {
        QTest::addColumn<bool>("sizeDialog");
        QTest::newRow("character count") << false;
        QTest::newRow("size estimate") << true;
    }

    // Each reads only the input path; the dialog stays, the mode is kept.
    void statistics()
    {
        QFETCH(bool, sizeDialog);
        QTest::mouseClick(sizeDialog ? f1->Option2 : f1->Option1, Qt::LeftButton);
        QWidget* dialog = sizeDialog ? static_cast<QWidget*>(Windows::find<Form5>()) : Windows::find<Form4>();
        QPushButton* button = sizeDialog ? Windows::find<Form5>()->Command2 : Windows::find<Form4>()->Command2;
        const QString mode = f1->Option1->isChecked() ? "count" : "size";

        MessageBoxes boxes;
        bool shownMeanwhile = false;
        boxes.whileOpen = [&](QMessageBox&) { shownMeanwhile = dialog->isVisible(); };
        QTest::mouseClick(button, Qt::LeftButton);
        const int n = text.size();
        const QString expected = sizeDialog ? QStringLiteral("被分割文件的大小为%1KB").arg(n * 2 / 1024 + 1)
                                            : QStringLiteral("被分割文件的字数为%1个").arg(n);
        QCOMPARE(boxes.texts(), QStringList{expected});
        QVERIFY(shownMeanwhile);
        QVERIFY(dialog->isVisible());
        QCOMPARE(f1->Option1->isChecked() ? "count" : "size", mode);

        // An empty path is reported whatever the dialog's field holds.
        f1->Text1->clear();
        uitest::typeText(sizeDialog ? Windows::find<Form5>()->Text1 : Windows::find<Form4>()->Text3, "12");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(boxes.texts().value(1), QStringLiteral("请先选择文件"));
    }
};

QTEST_MAIN(SplitTest)
#include "split_test.moc"
