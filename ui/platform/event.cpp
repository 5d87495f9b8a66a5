#include "platform/event.hpp"

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <exception>
#include <new>
#include <vector>

#include "engine/file_slot.hpp"
#include "engine/run_error.hpp"
#include "platform/message_box.hpp"

namespace ui {
namespace {

void report(const QString& text) noexcept
{
    engine::FileSlot::instance().closeQuietly();
    try {
        messageBox(text);
    } catch (...) {
        // Not even the box could be shown; the program still goes on.
    }
}

const QString kHead = QStringLiteral("运行时错误，操作已中止。");

std::vector<QPointer<QWidget>>& running()
{
    static std::vector<QPointer<QWidget>> windows;
    return windows;
}

// Marks whose procedure runs for as long as it runs, its error box included.
class Running {
public:
    explicit Running(QWidget* window)
    {
        if (!window) window = QApplication::activeWindow();
        if (!window) window = runningWindow();
        running().emplace_back(window);
    }
    ~Running() { running().pop_back(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

}  // namespace

QWidget* runningWindow() { return running().empty() ? nullptr : running().back().data(); }

void runEvent(const std::function<void()>& procedure, QWidget* window) noexcept
{
    const Running mark(window);
    try {
        procedure();
    } catch (const engine::RunError& e) {
        report(QString::fromStdU16String(e.message()));
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("内存不足，操作已中止。"));
    } catch (const std::exception& e) {
        report(kHead + QStringLiteral("\n") + QString::fromUtf8(e.what()));
    } catch (...) {
        report(kHead);
    }
}

}  // namespace ui
