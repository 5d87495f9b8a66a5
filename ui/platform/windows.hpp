#pragma once
// The one instance of each window class, reached by its class.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <typeindex>
#include <unordered_map>

namespace ui {

class Windows : public QObject {
    Q_OBJECT
public:
    static Windows& instance();

    // A reference: creates the window, hidden, when it does not exist, and
    // runs its load procedure if it has one.
    template <class W> static W& ref();
    // Creates when needed, makes visible, brings to the front, activates.
    template <class W> static W& show();
    // Creates hidden when needed, otherwise hides; the state stays.
    template <class W> static void hide();
    // The instance, or nullptr while it is not created.
    template <class W> static W* find();

    // Makes the window visible, out of a minimise too, in front and active.
    static void bringToFront(QWidget& window);

    // The user closed the window: it is gone, the next reference creates it
    // afresh.
    static void forget(QWidget* window);

    // Closes every file, destroys every window at once and ends the program.
    static void endProgram();

signals:
    void programEnded();

private:
    QWidget* lookup(std::type_index type) const;
    void store(std::type_index type, QWidget* window);

    std::unordered_map<std::type_index, QPointer<QWidget>> windows_;
};

template <class W> W* Windows::find()
{
    return static_cast<W*>(instance().lookup(typeid(W)));
}

template <class W> W& Windows::ref()
{
    if (W* existing = find<W>()) return *existing;
    auto* window = new W;
    // Stored before the load procedure, which may refer to its own window.
    instance().store(typeid(W), window);
    if constexpr (requires { window->Form_Load(); }) window->Form_Load();
    return *window;
}

template <class W> W& Windows::show()
{
    W& window = ref<W>();
    bringToFront(window);
    return window;
}

template <class W> void Windows::hide()
{
    ref<W>().hide();
}

}  // namespace ui
