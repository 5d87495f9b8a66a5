#include "pictures/instructions_picture.hpp"

#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "form1.hpp"
#include "platform/fonts.hpp"
#include "platform/option_button.hpp"

namespace ui {

namespace {

constexpr int kWidth = 699, kHeight = 553;
// The pictured main window, frame included, in the top-left corner.
constexpr int kWindowWidth = 300, kWindowHeight = 288, kFrame = 2;

const QColor kFrameColour(0x58, 0x5a, 0x5d);
const QColor kTitleTop(0xad, 0xd3, 0xff);
const QColor kTitleBottom(0x7a, 0x9f, 0xce);

void drawFrame(QPainter& p)
{
    p.fillRect(0, 0, kWindowWidth, kWindowHeight, kTitleBottom);
    p.setPen(kFrameColour);
    p.drawRect(0, 0, kWindowWidth - 1, kWindowHeight - 1);
}

void drawCloseBox(QPainter& p, const QRect& box)
{
    p.fillRect(box, kTitleTop);
    p.setPen(Qt::white);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setPen(QPen(QColor(0x30, 0x40, 0x58), 2));
    const QRect cross = box.adjusted(4, 4, -4, -4);
    p.drawLine(cross.topLeft(), cross.bottomRight() + QPoint(1, 1));
    p.drawLine(cross.bottomLeft() + QPoint(0, 1), cross.topRight() + QPoint(1, 0));
}

// Icon, title and close box, in the colours of the desktop's title bars.
void drawTitleBar(QPainter& p, const QRect& bar, const QIcon& icon)
{
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0, kTitleTop);
    shade.setColorAt(1, kTitleBottom);
    p.fillRect(bar, shade);

    const int side = 16, gap = 2;
    icon.paint(&p, QRect(bar.left() + gap, bar.top() + (bar.height() - side) / 2, side, side));
    const int box = 13;
    drawCloseBox(p, QRect(bar.right() - gap - box + 1, bar.top() + (bar.height() - box) / 2, box, box));

    QFont bold = p.font();
    bold.setBold(true);
    p.setFont(bold);
    const QString title = QStringLiteral("文本文件分割器");
    p.setPen(QColor(0x3c, 0x55, 0x78));
    p.drawText(bar.translated(1, 1), Qt::AlignCenter, title);
    p.setPen(Qt::white);
    p.drawText(bar, Qt::AlignCenter, title);
}

// The round mark and the caption's right end of an option button, in its
// parent's coordinates.
QRect radioMark(OptionButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect mark = button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
    return mark.translated(button->pos());
}

int captionEnd(OptionButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect text = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    return button->x() + text.left() + button->fontMetrics().horizontalAdvance(button->text());
}

// One black line from a part of the window to a text whose top-left corner
// is given; more lines of the text stand below the first.
struct Callout {
    QPoint from;
    QPoint to;
    QPoint text;
    QStringList lines;
};

// How far above the baseline the text's ink starts. Bitmap faces may leave
// rows of their cell blank, which the font's metrics do not tell.
int inkAboveBaseline(const QPainter& p, const QString& text)
{
    const QFontMetrics metrics(p.font());
    QImage scratch(metrics.horizontalAdvance(text) + 1, metrics.height() + 1, QImage::Format_RGB32);
    scratch.setDotsPerMeterX(p.device()->logicalDpiX() * 10000 / 254);
    scratch.setDotsPerMeterY(p.device()->logicalDpiY() * 10000 / 254);
    scratch.fill(Qt::white);
    QPainter s(&scratch);
    s.setFont(p.font());
    s.setPen(Qt::black);
    s.drawText(0, metrics.ascent(), text);
    for (int y = 0; y < scratch.height(); ++y)
        for (int x = 0; x < scratch.width(); ++x)
            if (scratch.pixel(x, y) != qRgb(255, 255, 255)) return metrics.ascent() - y;
    return metrics.ascent();
}

void drawCallout(QPainter& p, const Callout& callout)
{
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(callout.from, callout.to);
    // The corner is where the ink starts, so the text keeps to its rows.
    QPoint baseline(callout.text.x(), callout.text.y() + inkAboveBaseline(p, callout.lines.first()));
    for (const QString& line : callout.lines) {
        p.drawText(baseline, line);
        baseline.ry() += QFontMetrics(p.font()).height();
    }
}

QImage drawInstructionsPicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    // 96 dots per inch, so a 9-point character is 12 pixels high.
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    picture.fill(Qt::white);

    Form1 window;
    window.layout()->activate();
    const int barHeight = window.menuBar->height();
    const int clientHeight = window.client->height();
    const int titleHeight = kWindowHeight - 2 * kFrame - barHeight - clientHeight;
    const QPoint barAt(kFrame, kFrame + titleHeight);
    const QPoint clientAt(kFrame, barAt.y() + barHeight);

    QPainter p(&picture);
    drawFrame(p);
    drawTitleBar(p, QRect(kFrame, kFrame, kWindowWidth - 2 * kFrame, titleHeight), window.windowIcon());
    window.menuBar->render(&p, barAt);
    window.client->render(&p, clientAt);

    const QRect browse1 = window.Command1->geometry().translated(clientAt);
    const QRect browse3 = window.Command3->geometry().translated(clientAt);
    const QRect mark1 = radioMark(window.Option1).translated(clientAt);
    const QPoint option2 = QPoint(captionEnd(window.Option2), window.Option2->geometry().center().y()) + clientAt;
    const QRect modeMenu = window.menuBar->actionGeometry(window.menu->style->menuAction()).translated(barAt);

    const QList<Callout> callouts = {
        {{browse1.right() + 2, browse1.center().y()}, {385, 66}, {388, 60},
         {QStringLiteral("点击之后可以选择TXT文件进行分割")}},
        {browse3.bottomRight() + QPoint(2, 2), {373, 176}, {376, 172},
         {QStringLiteral("作为分割后文件的存放地点，选择时要注意，容易搞错，选"),
          QStringLiteral("完后最好在左边的文本框处校对。")}},
        // Down the window's left margin, clear of "分割完毕后文件名称：".
        {{mark1.left() - 1, mark1.bottom()}, {14, 358}, {20, 361},
         {QStringLiteral("单击后弹出字数输入框")}},
        // Past the right end of the base name field.
        {option2 + QPoint(3, 0), {366, 404}, {342, 407},
         {QStringLiteral("单击后弹出大小输入框")}},
        // Left of the output folder field.
        {{modeMenu.left() + 2, modeMenu.bottom() + 2}, {189, 468}, {189, 471},
         {QStringLiteral("可以选择按字数分割还是按大小分割")}},
    };
    p.setFont(songti9());
    for (const Callout& callout : callouts) drawCallout(p, callout);
    return picture;
}

}  // namespace

const QImage& instructionsPicture()
{
    // The same all run long: a window made again after its close box costs
    // nothing.
    static const QImage picture = drawInstructionsPicture();
    return picture;
}

}  // namespace ui
