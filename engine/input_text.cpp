#include "input_text.hpp"

#include <cerrno>
#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <utility>

#include "run_error.hpp"
#include "runtime.hpp"

namespace engine {
namespace {

// Character counts and positions are 32-bit, so a file must stay below 2 GiB.
constexpr std::int64_t kMaxInputBytes = 0x7FFFFFFF;

// Huge pages: faulting in a large buffer page by page costs several times
// more than copying the file into it.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

[[noreturn]] void cannotRead(const std::u16string& path, int err)
{
    if (err == EISDIR) throw RunError(quoted(path) + u"是文件夹，不是文件，请重新选择文件");
    if (err == ENODEV) throw RunError(quoted(path) + u"不是普通文件，无法读取，请重新选择文件");
    throw RunError(u"无法读取文件" + quoted(path) + u"：" + errnoText(err));
}

}  // namespace

ByteBuffer::ByteBuffer(std::size_t size) : size_(size)
{
    if (size == 0) return;
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    mapped_ = rounded + kHugePage;  // room to start on a huge page boundary
    mapping_ = ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping_ == MAP_FAILED) {
        mapping_ = nullptr;
        throw std::bad_alloc();
    }
    const auto start = (reinterpret_cast<std::uintptr_t>(mapping_) + kHugePage - 1) / kHugePage * kHugePage;
    data_ = reinterpret_cast<char*>(start);
    (void)::madvise(data_, rounded, MADV_HUGEPAGE);  // only a hint: small pages work too
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : mapping_(std::exchange(other.mapping_, nullptr)), mapped_(std::exchange(other.mapped_, 0)),
      data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept
{
    if (this != &other) {
        ByteBuffer gone(std::move(*this));
        mapping_ = std::exchange(other.mapping_, nullptr);
        mapped_ = std::exchange(other.mapped_, 0);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer()
{
    if (mapping_) ::munmap(mapping_, mapped_);
}

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
        input.bytes = ByteBuffer(static_cast<std::size_t>(slot.length()));
    } catch (const std::bad_alloc&) {
        throw RunError(u"内存不足，无法读取文件" + quoted(path));
    }
    std::size_t got = 0;
    if (const int err = slot.read(input.bytes.data(), input.bytes.view().size(), &got)) cannotRead(path, err);
    input.bytes.shrink(got);
    slot.close();
    return input;
}

}  // namespace engine
