#include "platform/event.hpp"

#include <QString>
#include <exception>
#include <new>

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

}  // namespace

void runEvent(const std::function<void()>& procedure) noexcept
{
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
