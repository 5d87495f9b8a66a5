// The instructions window and the About window: their pictures, how the
// instructions picture is painted, the OK button's order, the credits over
// the About picture, and the Song typefaces.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "form1.hpp"
#include "form2.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "form6.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "support/session.hpp"
#include "support/windows.hpp"

using namespace ui;
using uitest::twips;

namespace {


int grey(QRgb pixel) { return qGray(pixel); }
bool isWhite(QRgb pixel) { return (pixel & 0xffffff) == 0xffffff; }

// Pixels of the area darker than the limit.
int darkPixels(const QImage& image, const QRect& area, int limit)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += grey(image.pixel(x, y)) < limit;
    return count;
}

// Where the pictured main window's client area starts: under its title bar
// and menu bar, inside its frame, at the bottom of its 300 by 288 pixels.
constexpr QPoint kPicturedClient(2, 288 - 2 - 245);

// Records shows, hides and raises of the watched windows, in order.
class WindowEvents : public QObject {
public:
    QStringList seen;
    void watch(QWidget* window, const QString& name)
    {
        window->setProperty("watchedName", name);
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        const QString name = object->property("watchedName").toString();
        if (event->type() == QEvent::Show) seen << name + " shown";
        if (event->type() == QEvent::Hide) seen << name + " hidden";
        if (event->type() == QEvent::ZOrderChange) seen << name + " raised";
        return false;
    }
};

}  // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT

    Form1* f1 = nullptr;

private slots:
    void init()
    {
        uitest::startProgram();
        f1 = Windows::find<Form1>();
    }
    void cleanup() { uitest::endProgram(); }

    // The five callouts: black 9-point text with its top-left corner at its
    // place, a line reaching it, and nothing else below the pictured window
    // but white.
    void instructionsPictureTexts_data()
    {
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("Command1") << QPoint(388, 60) << QStringList{"点击之后可以选择TXT文件进行分割"};
        QTest::newRow("Command3") << QPoint(376, 172)
                                  << QStringList{"作为分割后文件的存放地点，选择时要注意，容易搞错，选",
                                                 "完后最好在左边的文本框处校对。"};
        QTest::newRow("Option1") << QPoint(20, 361) << QStringList{"单击后弹出字数输入框"};
        QTest::newRow("Option2") << QPoint(342, 407) << QStringList{"单击后弹出大小输入框"};
        QTest::newRow("menu 模式") << QPoint(189, 471) << QStringList{"可以选择按字数分割还是按大小分割"};
    }

    void instructionsPictureTexts()
    {
        QFETCH(QPoint, corner);
        QFETCH(QStringList, lines);
        const QImage picture = Windows::find<Form2>()->Picture;
        QCOMPARE(picture.size(), QSize(699, 553));

        int top = corner.y();
        for (const QString& line : lines) {
            // The line's first row of ink, below the line before.
            while (top < corner.y() + 40 && darkPixels(picture, QRect(corner.x(), top, 699 - corner.x(), 1), 128) == 0)
                ++top;
            // 12 pixels to a 9-point character; "TXT" is narrower.
            int wide = 0;
            for (const QChar c : line) wide += c.unicode() >= 0x2000;
            const QRect band(corner.x(), top, 12 * line.size(), 12);
            QRect ink;
            bool black = false;
            for (int y = band.top(); y <= band.bottom(); ++y)
                for (int x = band.left(); x <= band.right(); ++x) {
                    const QRgb pixel = picture.pixel(x, y);
                    if (grey(pixel) >= 128) continue;
                    ink |= QRect(x, y, 1, 1);
                    black |= (pixel & 0xffffff) == 0;
                }
            QVERIFY2(black, qPrintable(line));
            QVERIFY2(ink.left() <= corner.x() + 2, qPrintable(line));
            QVERIFY2(ink.right() >= corner.x() + 12 * (wide - 1), qPrintable(line));
            top = ink.bottom() + 1;
        }
        QVERIFY2(top - corner.y() <= 12 * lines.size() + 4 * (lines.size() - 1), "the lines stand one under the other");
        // Its first row of ink is at the corner.
        QCOMPARE(darkPixels(picture, QRect(corner.x(), corner.y() - 2, 12 * lines[0].size(), 2), 128), 0);
        QVERIFY(darkPixels(picture, QRect(corner.x(), corner.y(), 12 * lines[0].size(), 1), 128) > 0);
        // A line ends beside the text.
        const QRect text(corner, QPoint(699, top));
        QVERIFY(darkPixels(picture, text.adjusted(-8, -8, 0, 0), 64) > darkPixels(picture, text, 64));
    }

    void instructionsPictureBlankAreas()
    {
        const QImage picture = Windows::find<Form2>()->Picture;
        for (int y = 482; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) QVERIFY2(isWhite(picture.pixel(x, y)), "below row 481");
        const QRect ok = Windows::find<Form2>()->Command1->geometry();
        QCOMPARE(darkPixels(picture, ok, 255), 0);
        QVERIFY(isWhite(picture.pixel(698, 300)));
    }

    // The pictured main window is the real one at its places: empty fields,
    // no option selected, the window's colour.
    void instructionsPictureMainWindow()
    {
        const QImage picture = Windows::find<Form2>()->Picture;
        QCOMPARE(picture.pixelColor(kPicturedClient + QPoint(2, 2)), QColor(224, 224, 224));
        for (QLineEdit* field : {f1->Text1, f1->Text2, f1->Text4}) {
            const QRect inside = field->geometry().translated(kPicturedClient).adjusted(3, 3, -3, -3);
            QCOMPARE(darkPixels(picture, inside, 200), 0);
            QVERIFY(isWhite(picture.pixel(inside.center())));
        }
        for (OptionButton* option : {f1->Option1, f1->Option2}) {
            QStyleOptionButton style;
            style.initFrom(option);
            const QRect mark = option->style()
                                   ->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option)
                                   .translated(option->pos() + kPicturedClient);
            // The mark's ring is there, its centre empty.
            QVERIFY(darkPixels(picture, mark, 200) > 0);
            QCOMPARE(darkPixels(picture, QRect(mark.center() - QPoint(2, 2), QSize(5, 5)), 200), 0);
        }
        // The buttons' captions are drawn, dark on light.
        for (QPushButton* button : {f1->Command1, f1->Command3, f1->Command2, f1->Command4})
            QVERIFY(darkPixels(picture, button->geometry().translated(kPicturedClient).adjusted(3, 3, -3, -3), 100) > 10);
    }

    // Painted at its own size from the top-left corner: enlarged, the
    // window's colour shows around it; shrunk, it is cut off.
    void instructionsPaintedUnscaled()
    {
        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        Form2* f2 = Windows::find<Form2>();
        const QRect button = f2->Command1->geometry();
        const QImage picture = f2->Picture.convertToFormat(QImage::Format_RGB32);

        for (const QSize size : {QSize(900, 700), QSize(702, 490), QSize(400, 300)}) {
            f2->resize(size);
            uitest::settle();
            QCOMPARE(f2->Command1->geometry(), button);
            const QImage shown = f2->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.size(), size);
            const QColor ground = f2->palette().color(QPalette::Window);
            for (int y = 0; y < size.height(); y += 3)
                for (int x = 0; x < size.width(); x += 3) {
                    if (button.contains(x, y)) continue;
                    const QRgb expected = picture.rect().contains(x, y) ? picture.pixel(x, y) : ground.rgb();
                    if (shown.pixel(x, y) != expected)
                        QFAIL(qPrintable(QStringLiteral("%1x%2 at %3,%4").arg(size.width()).arg(size.height()).arg(x).arg(y)));
                }
        }
    }

    // OK first brings the main window to the front, then hides its own
    // window, which keeps its place and size.
    void instructionsOkOrder()
    {
        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        Form2* f2 = Windows::find<Form2>();
        f2->setGeometry(40, 50, 600, 420);
        uitest::activate(f2);
        WindowEvents events;
        events.watch(f1, "Form1");
        events.watch(f2, "Form2");
        QTest::mouseClick(f2->Command1, Qt::LeftButton);
        uitest::settle();
        QCOMPARE(events.seen, (QStringList{"Form1 raised", "Form2 hidden"}));
        QVERIFY(f1->isVisible());

        uitest::chooseMenuItem(f1->menu->help, f1->menu->shuoming);
        QCOMPARE(Windows::find<Form2>(), f2);
        QCOMPARE(f2->geometry(), QRect(40, 50, 600, 420));
    }

    void aboutWindow()
    {
        uitest::chooseMenuItem(f1->menu->help, f1->menu->about);
        Form6* f6 = Windows::find<Form6>();
        QVERIFY(f6 && f6->isVisible());

        QCOMPARE(f6->Image1->geometry(), twips(-480, -360, 5175, 3735));
        QVERIFY(f6->Image1->hasScaledContents());
        QCOMPARE(f6->Image1->pixmap().size(), QSize(454, 340));

        QLabel* label = f6->Label1;
        QCOMPARE(label->geometry(), twips(240, 360, 4095, 2415));
        QVERIFY(label->text().contains(QStringLiteral("QJX文本文件分割器V1.5")));
        QVERIFY(label->text().count('\n') >= 3);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(!label->autoFillBackground());
        QVERIFY(label->wordWrap());
        QVERIFY((label->alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignLeft);
        QCOMPARE(label->font().families().value(0), QStringLiteral("新宋体"));
        QCOMPARE(label->font().pointSize(), 9);
        QCOMPARE(label->font().weight(), QFont::Normal);
        QVERIFY(!label->font().italic() && !label->font().underline() && !label->font().strikeOut());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);

        // Only its close box ends it: Esc and Enter do nothing. Nothing in
        // it takes the focus, so the keys go to the window.
        uitest::activate(f6);
        QCOMPARE(QApplication::activeWindow(), f6);
        QTest::keyClick(f6, Qt::Key_Escape);
        QTest::keyClick(f6, Qt::Key_Return);
        uitest::settle();
        QCOMPARE(Windows::find<Form6>(), f6);
        QVERIFY(f6->isVisible());

        // The window shows the picture, and the red text lies over it: each
        // pixel of the label's box is the picture's or red ink.
        const QImage shown = f6->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage image = f6->Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint imageAt = f6->Image1->pos();
        int picturePixels = 0, red = 0;
        const QRect box = label->geometry();
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor pixel = shown.pixelColor(x, y);
                if (pixel.rgb() == image.pixel(QPoint(x, y) - imageAt)) {
                    ++picturePixels;
                } else {
                    QVERIFY2(pixel.red() > pixel.green() + 40 && pixel.red() > pixel.blue() + 40,
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                    red += pixel == QColor(255, 0, 0);
                }
            }
        QVERIFY(red > 300);
        QVERIFY(picturePixels > box.width() * box.height() / 2);
    }

    // The strip and the scissors, all inside the part of the picture that
    // the window shows: a pale strip across the lower half, silver at the
    // upper right.
    void aboutPicture()
    {
        uitest::chooseMenuItem(f1->menu->help, f1->menu->about);
        Form6* f6 = Windows::find<Form6>();
        const QImage picture = f6->Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect image = f6->Image1->geometry();
        const QRect shown = image.intersected(f6->rect());
        const double sx = picture.width() / double(image.width()), sy = picture.height() / double(image.height());
        const QRect inView(qCeil((shown.left() - image.left()) * sx), qCeil((shown.top() - image.top()) * sy),
                           qFloor(shown.width() * sx), qFloor(shown.height() * sy));

        int paleRows = 0, silver = 0;
        for (int y = 0; y < picture.height(); ++y) {
            int pale = 0;
            for (int x = 0; x < picture.width(); ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                if (isWhite(pixel.rgb())) continue;
                QVERIFY2(inView.contains(x, y), qPrintable(QStringLiteral("drawn out of view at %1,%2").arg(x).arg(y)));
                const int light = qMin(pixel.red(), qMin(pixel.green(), pixel.blue()));
                pale += light >= 220;
                const bool grey = qMax(pixel.red(), qMax(pixel.green(), pixel.blue())) - light < 24;
                silver += grey && light > 110 && light < 215 && x > picture.width() / 2 && y < picture.height() / 2;
            }
            paleRows += y > picture.height() / 2 && pale > picture.width() / 2;
        }
        QVERIFY(paleRows >= 20);
        QVERIFY(silver > 500);
    }

    // "宋体" and "新宋体" are Song faces: AR PL UMing, installed by the set-up.
    void songTypefaces()
    {
        QVERIFY2(QFontDatabase::families().contains(QStringLiteral("AR PL UMing CN")),
                 "fonts-arphic-uming is missing (scripts/packages.txt)");
        QTest::mouseClick(f1->Option1, Qt::LeftButton);
        QTest::mouseClick(f1->Option2, Qt::LeftButton);
        uitest::chooseMenuItem(f1->menu->help, f1->menu->about);
        const QList<QLabel*> labels = {f1->Label1, f1->Label2, f1->Label4, Windows::find<Form4>()->Label3,
                                       Windows::find<Form5>()->Label1, Windows::find<Form6>()->Label1};
        for (QLabel* label : labels) QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("AR PL UMing CN"));
    }
};

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
