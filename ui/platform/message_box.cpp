#include "platform/message_box.hpp"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStringList>
#include <QWindow>
#include <algorithm>

#include "platform/event.hpp"
#include "platform/file_names.hpp"
#include "platform/frame_extents.hpp"
#include "platform/twips.hpp"
#include "platform/window.hpp"

namespace ui {
namespace {

// Wide enough for the title bar to show the icon, "提示" and its buttons.
constexpr int kMinWidthTwips = 3600;

bool breaksAfter(QChar c) { return c == u'/' || c == u'\\' || c == u' '; }

// Characters of line, from its start, that fit in width pixels (at least
// one character; a surrogate pair is never split).
qsizetype fitting(const QString& line, const QFontMetrics& metrics, int width)
{
    qsizetype fit = 0;
    int advance = 0;
    while (fit < line.size()) {
        const qsizetype next = fit + (line[fit].isHighSurrogate() && fit + 1 < line.size() ? 2 : 1);
        advance += metrics.horizontalAdvance(line.mid(fit, next - fit));
        if (advance > width && fit > 0) break;
        fit = next;
    }
    return fit;
}

// Breaks each line wider than width pixels, after a path separator or a
// blank in the second half of what fits, else between two characters: a
// long path has no blank where the box would wrap it.
QStringList wrapped(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    for (QString line : text.split(u'\n')) {
        for (qsizetype fit = fitting(line, metrics, width); fit < line.size();
             fit = fitting(line, metrics, width)) {
            qsizetype cut = fit;
            for (qsizetype i = fit; i > fit / 2; --i) {
                if (breaksAfter(line[i - 1])) {
                    cut = i;
                    break;
                }
            }
            lines << line.left(cut);
            line.remove(0, cut);
        }
        lines << line;
    }
    return lines;
}

// Lines that cannot all stand on the screen lose their middle to "…".
void shorten(QStringList& lines, int maxLines)
{
    if (lines.size() <= maxLines) return;
    const qsizetype head = (maxLines - 1) / 2, tail = maxLines - 1 - head;
    lines = lines.mid(0, head) + QStringList{QStringLiteral("\u2026")} + lines.mid(lines.size() - tail);
}

// The box's text, broken and if need be shortened to fit the screen, in
// the font its label inherits; and its label's width where the label is
// found.
void fitText(QMessageBox& box, QString text, const QRect& screen)
{
    // Far more than a screen holds: only its two ends can be shown.
    constexpr qsizetype kEnd = 20000;
    if (text.size() > 2 * kEnd) text = text.left(kEnd) + QStringLiteral("\u2026") + text.right(kEnd);
    const QFontMetrics metrics(box.font());
    QStringList lines = wrapped(text, metrics, screen.width() * 3 / 4);
    shorten(lines, std::max(3, (screen.height() - 200) / metrics.lineSpacing()));
    int widest = px(kMinWidthTwips);
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    text = lines.join(u'\n');
    box.setText(text);
    QLabel* label = nullptr;
    for (QLabel* l : box.findChildren<QLabel*>())
        if (!label && l->text() == text && l->pixmap().isNull()) label = l;
    if (!label) {
        qWarning("message box: no label shows its text; long lines may be broken again");
        return;
    }
    // The box takes its width from its label's: each line keeps to one line.
    label->setMinimumWidth(widest + 1);
}

// Takes its size only as it is shown: then it is centred over its owner
// again and kept on the screen, title bar included. Like the windows, it
// keeps no state its title bar does not offer.
class Box : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        const QRect area = screen()->availableGeometry();
        const QMargins frame = frameExtents(this);
        QRect place(QPoint(), size().grownBy(frame));
        place.moveCenter(parentWidget() ? parentWidget()->frameGeometry().center() : area.center());
        place.moveLeft(std::max(area.left(), std::min(place.left(), area.right() + 1 - place.width())));
        place.moveTop(std::max(area.top(), std::min(place.top(), area.bottom() + 1 - place.height())));
        // The client area, whether or not Qt knows the frame yet.
        setGeometry(place.marginsRemoved(frame));
    }

    // Minimised, the box would hold every window without a way back to it.
    void changeEvent(QEvent* event) override
    {
        QMessageBox::changeEvent(event);
        refuseStatesNotOffered(this, event);
    }
};

}  // namespace

void messageBox(const QString& text)
{
    // Owned by the window whose procedure shows it, which gets the input
    // back afterwards, with its focus where it was; the window manager would
    // hand it to whichever window it likes.
    QPointer<QWidget> owner = runningWindow();
    if (!owner || !owner->isVisible()) owner = QApplication::activeWindow();
    QPointer<QWidget> focus = owner ? owner->focusWidget() : nullptr;

    Box box(QMessageBox::Information, QStringLiteral("提示"), QString(), QMessageBox::NoButton, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowIcon(programIcon());
    // Paths and typed values are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Our own text, whatever the locale would put on a standard button.
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    fitText(box, text, screen->availableGeometry());
    box.exec();

    if (owner && owner->isVisible()) {
        owner->activateWindow();
        if (focus) focus->setFocus();
    }
}

engine::MessageBox engineMessageBox()
{
    // Paths keep the bytes of names that are not UTF-8; they read as the
    // folder list shows them.
    return [](const std::u16string& text) { messageBox(displayName(QString::fromStdU16String(text))); };
}

}  // namespace ui
