#include "input_text.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <sstream>
#include <sys/mman.h>
#include <sys/sysinfo.h>
#include <unistd.h>
#include <utility>

#include "mount_fields.hpp"
#include "run_error.hpp"
#include "runtime.hpp"

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace engine {
namespace {

// Character counts and positions are 32-bit, so a file must stay below 2 GiB.
constexpr std::int64_t kMaxInputBytes = 0x7FFFFFFF;

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) / unit * unit; }

// Gives [p, p + n) its memory now, in one call rather than one fault per
// page inside the read. Throws std::bad_alloc when there is none.
void faultIn(char* p, std::size_t n)
{
    if (n == 0 || ::madvise(p, n, MADV_POPULATE_WRITE) == 0) return;
    if (errno == ENOMEM) throw std::bad_alloc();
    if (errno != EINVAL) return;  // the read faults in what is left
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    for (std::size_t i = 0; i < n; i += page) static_cast<volatile char*>(p)[i] = 0;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Free memory blocks of a huge page or more, counted in huge pages.
std::uint64_t freeHugePages()
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    int hugeOrder = 0;
    while ((page << hugeOrder) < kHugePage) ++hugeOrder;
    std::uint64_t pages = 0;
    std::istringstream zones(fileText("/proc/buddyinfo"));
    for (std::string line; std::getline(zones, line);) {
        const std::size_t zone = line.find("zone");
        if (zone == std::string::npos) continue;
        std::istringstream fields(line.substr(zone + 4));
        std::string name;
        fields >> name;
        unsigned long long count = 0;
        for (int order = 0; fields >> count; ++order)
            if (order >= hugeOrder) pages += std::uint64_t{count} << (order - hugeOrder);
    }
    return pages;
}

// Huge pages cost a fraction of small ones where each page fault is dear (in
// some virtual machines), but where no free 2 MB block is left the kernel
// compacts memory for each of them inside the fault, which costs several
// times more than small pages. data starts on a huge page boundary.
void faultInBuffer(char* data, std::size_t size)
{
    const std::size_t rounded = roundUp(size, kHugePage);
    if (freeHugePages() >= rounded / kHugePage)
        (void)::madvise(data, rounded, MADV_HUGEPAGE);  // only a hint: small pages work too
    faultIn(data, size);
}

// Bytes in "Key: N kB" of /proc/meminfo, or nothing.
std::optional<std::uint64_t> meminfoBytes(const std::string& text, const char* key)
{
    const std::size_t at = text.find(std::string("\n") + key + ":");
    if (at == std::string::npos) return std::nullopt;
    unsigned long long kb = 0;
    if (std::sscanf(text.c_str() + at + std::strlen(key) + 2, " %llu", &kb) != 1) return std::nullopt;
    return std::uint64_t{kb} * 1024;
}

std::optional<std::uint64_t> numberIn(const std::string& path)
{
    const std::string text = fileText(path);
    unsigned long long v = 0;
    if (text.rfind("max", 0) == 0) return std::numeric_limits<std::uint64_t>::max();
    if (std::sscanf(text.c_str(), "%llu", &v) != 1) return std::nullopt;
    return v;
}

// Value of "key N" lines in a memory.stat, 0 when missing.
std::uint64_t statValue(const std::string& stat, const std::string& key)
{
    const std::size_t at = ("\n" + stat).find("\n" + key + " ");
    unsigned long long v = 0;
    if (at == std::string::npos || std::sscanf(stat.c_str() + at + key.size() + 1, "%llu", &v) != 1) return 0;
    return v;
}

// What the system can still give: memory that is free or can be freed, and
// free swap.
std::uint64_t systemRoom()
{
    const std::string meminfo = "\n" + fileText("/proc/meminfo");
    const auto available = meminfoBytes(meminfo, "MemAvailable");
    const auto swap = meminfoBytes(meminfo, "SwapFree");
    if (available && swap) return *available + *swap;
    struct sysinfo info {};
    if (::sysinfo(&info) != 0) return 0;
    return (std::uint64_t{info.freeram} + info.bufferram + info.freeswap) * info.mem_unit;
}

bool hasWord(const std::string& list, const std::string& word)
{
    return ("," + list + ",").find("," + word + ",") != std::string::npos;
}

// What the memory cgroups the process is in still allow it: for each cgroup
// from its own up to the top that it can see, the limit less what is
// charged, where the cached file pages charged count as free, as the kernel
// reclaims them before it runs out.
std::uint64_t cgroupRoom()
{
    std::uint64_t room = std::numeric_limits<std::uint64_t>::max();
    std::string v1Path, v2Path;
    std::istringstream cgroups(fileText("/proc/self/cgroup"));
    for (std::string line; std::getline(cgroups, line);) {
        const std::size_t a = line.find(':'), b = line.find(':', a + 1);
        if (a == std::string::npos || b == std::string::npos) continue;
        const std::string controllers = line.substr(a + 1, b - a - 1);
        if (line.compare(0, a, "0") == 0 && controllers.empty()) v2Path = line.substr(b + 1);
        else if (hasWord(controllers, "memory")) v1Path = line.substr(b + 1);
    }
    std::istringstream mounts(fileText("/proc/self/mountinfo"));
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, devno, root, point, field;
        fields >> id >> parent >> devno >> root >> point;
        while (fields >> field && field != "-") {
        }
        std::string type, source, options;
        fields >> type >> source >> options;
        const bool v1 = type == "cgroup" && hasWord(options, "memory") && !v1Path.empty();
        const bool v2 = type == "cgroup2" && !v2Path.empty();
        if (!v1 && !v2) continue;
        root = unescapeMountField(root);
        const std::string& own = v1 ? v1Path : v2Path;
        const bool below = own.compare(0, root.size(), root) == 0 &&
                           (root == "/" || own.size() == root.size() || own[root.size()] == '/');
        if (!below) continue;  // a cgroup this mount does not show
        const std::string top = unescapeMountField(point);
        std::string dir = top + own.substr(root == "/" ? 0 : root.size());
        while (true) {
            const auto limit = numberIn(dir + (v1 ? "/memory.limit_in_bytes" : "/memory.max"));
            const auto used = numberIn(dir + (v1 ? "/memory.usage_in_bytes" : "/memory.current"));
            if (limit && used) {
                const std::string stat = fileText(dir + "/memory.stat");
                const std::uint64_t cached = v1 ? statValue(stat, "total_active_file") + statValue(stat, "total_inactive_file")
                                                : statValue(stat, "active_file") + statValue(stat, "inactive_file");
                const std::uint64_t charged = *used > cached ? *used - cached : 0;
                room = std::min(room, *limit > charged ? *limit - charged : 0);
            }
            if (dir.size() <= top.size()) break;
            dir.resize(dir.rfind('/'));
        }
        if (v1) v1Path.clear();
        else v2Path.clear();
    }
    return room;
}

// Whether the memory the system and the process's cgroups can still give
// holds bytes: the kernel promises more than it has, and ends the program
// inside the read when it cannot keep that promise.
bool memoryHolds(std::uint64_t bytes) { return bytes <= std::min(systemRoom(), cgroupRoom()); }

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
    const std::size_t rounded = roundUp(size, kHugePage);
    mapped_ = rounded + kHugePage;  // room to start on a huge page boundary
    mapping_ = ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping_ == MAP_FAILED) {
        mapping_ = nullptr;
        throw std::bad_alloc();
    }
    data_ = reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(mapping_), kHugePage));
    try {
        faultInBuffer(data_, size);
    } catch (const std::bad_alloc&) {
        ::munmap(mapping_, mapped_);
        mapping_ = nullptr;
        throw;
    }
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

    // The bytes are all it takes: counting and cutting work on them in place.
    const auto size = static_cast<std::size_t>(slot.length());
    if (!memoryHolds(roundUp(size, kHugePage))) throw RunError(u"内存不足，无法读取文件" + quoted(path));
    InputText input;
    input.file = slot.id();
    try {
        input.bytes = ByteBuffer(size);
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
