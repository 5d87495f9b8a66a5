#include "platform/double_click.hpp"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

namespace ui {
namespace {

// The top-level window an event for this object goes to.
QWindow* topLevelOf(QObject* object)
{
    if (object->isWidgetType()) {
        QWidget* window = static_cast<QWidget*>(object)->window();
        return window ? window->windowHandle() : nullptr;
    }
    if (object->isWindowType()) {
        QWindow* window = static_cast<QWindow*>(object);
        while (window->parent()) window = window->parent();
        return window;
    }
    return nullptr;
}

class DoubleClicks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            return press(watched, static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonDblClick: {
            // Sent right after its press, with the press's time.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            return current_.dropped && mouse->timestamp() == current_.time && mouse->button() == current_.button;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!(droppedButtons_ & mouse->button())) return false;
            droppedButtons_ &= ~mouse->button();
            return true;
        }
        default:
            return false;
        }
    }

private:
    struct Press {
        quint64 time = 0;
        QPoint place;
        Qt::MouseButton button = Qt::NoButton;
        const QWindow* window = nullptr;  // compared only: it may be gone
        bool dropped = false;
    };

    bool press(QObject* watched, const QMouseEvent* mouse)
    {
        QWindow* window = topLevelOf(watched);
        if (!window) return false;
        const QPoint place = mouse->globalPosition().toPoint();
        // The same press once more, passed on from its window to a widget.
        if (mouse->timestamp() == current_.time && place == current_.place && mouse->button() == current_.button)
            return current_.dropped;
        const QStyleHints* hints = QGuiApplication::styleHints();
        const bool second = previous_.window && mouse->button() == previous_.button &&
                            mouse->timestamp() - previous_.time <= quint64(hints->mouseDoubleClickInterval()) &&
                            (place - previous_.place).manhattanLength() <= hints->mouseDoubleClickDistance();
        current_ = {mouse->timestamp(), place, mouse->button(), window, second && window != previous_.window};
        if (current_.dropped) {
            droppedButtons_ |= mouse->button();
            previous_ = {};  // the next press starts afresh
            return true;
        }
        previous_ = current_;
        return false;
    }

    Press previous_;  // the last press let through
    Press current_;   // the press being delivered
    Qt::MouseButtons droppedButtons_;
};

}  // namespace

void keepDoubleClicksInOneWindow()
{
    static QPointer<DoubleClicks> filter;
    if (filter) return;
    filter = new DoubleClicks(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace ui
