#include "input_text.hpp"

#include <cerrno>
#include <memory>
#include <new>

#include "codepage.hpp"
#include "run_error.hpp"
#include "runtime.hpp"

namespace engine {
namespace {

// Character counts and positions are 32-bit, so a file must stay below 2 GiB.
constexpr std::int64_t kMaxInputBytes = 0x7FFFFFFF;

[[noreturn]] void cannotRead(const std::u16string& path, int err)
{
    if (err == EISDIR) throw RunError(quoted(path) + u"是文件夹，不是文件，请重新选择文件");
    if (err == ENODEV) throw RunError(quoted(path) + u"不是普通文件，无法读取，请重新选择文件");
    throw RunError(u"无法读取文件" + quoted(path) + u"：" + errnoText(err));
}

}  // namespace

InputText readInputText(const std::u16string& path)
{
    const std::optional<std::string> fsPath = toFsPath(path);
    if (!fsPath) cannotRead(path, EINVAL);

    FileSlot& slot = FileSlot::instance();
    SlotGuard guard;
    if (const int err = slot.openForInput(*fsPath)) cannotRead(path, err);
    if (slot.length() > kMaxInputBytes)
        throw RunError(u"文件" + quoted(path) + u"太大，无法读取：文件须小于2GB");

    InputText input;
    input.file = slot.id();
    try {
        const auto size = static_cast<std::size_t>(slot.length());
        std::unique_ptr<char[]> bytes(new char[size]);  // left uninitialised: the read fills it
        std::size_t got = 0;
        if (const int err = slot.read(bytes.get(), size, &got)) cannotRead(path, err);
        input.text = cp936::decode(std::string_view(bytes.get(), got));
    } catch (const std::bad_alloc&) {
        throw RunError(u"内存不足，无法读取文件" + quoted(path));
    }
    slot.close();
    return input;
}

}  // namespace engine
