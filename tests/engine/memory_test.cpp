// The input must fit in the memory the process may still take. A memory
// cgroup of its own limits the split as a container or a session's slice
// would: the kernel gives memory on the first write to each page, so an
// input larger than the limit would be killed inside the read.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "split_run.hpp"
#include "statistics.hpp"
#include "support.hpp"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::string textOf(const fs::path& p)
{
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool writeText(const fs::path& p, const std::string& text)
{
    std::ofstream out(p);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// A child memory cgroup of the one this process is in, with a limit.
class MemoryCgroup {
public:
    // Empty path() and why() telling the reason when none can be made.
    explicit MemoryCgroup(std::uint64_t limit)
    {
        std::string v1, v2;
        std::istringstream cgroups(textOf("/proc/self/cgroup"));
        for (std::string line; std::getline(cgroups, line);) {
            const std::size_t a = line.find(':'), b = line.find(':', a + 1);
            const std::string controllers = line.substr(a + 1, b - a - 1);
            if (controllers.empty()) v2 = line.substr(b + 1);
            if ((',' + controllers + ',').find(",memory,") != std::string::npos) v1 = line.substr(b + 1);
        }
        std::istringstream mounts(textOf("/proc/self/mountinfo"));
        for (std::string line; std::getline(mounts, line) && path_.empty();) {
            std::istringstream fields(line);
            std::string id, parent, devno, root, point, field, type, source, options;
            fields >> id >> parent >> devno >> root >> point;
            while (fields >> field && field != "-") {
            }
            fields >> type >> source >> options;
            const bool isV1 = type == "cgroup" && (',' + options + ',').find(",memory,") != std::string::npos;
            const std::string& own = isV1 ? v1 : v2;
            if ((!isV1 && type != "cgroup2") || own.compare(0, root.size(), root) != 0) continue;
            const fs::path dir = fs::path(point + "/" + own.substr(root == "/" ? 0 : root.size()) + "/qjxsplit-memory-test-" +
                                  std::to_string(::getpid()))
                                     .lexically_normal();
            tryMake(dir, isV1 ? "memory.limit_in_bytes" : "memory.max", limit);
        }
        if (why_.empty()) why_ = "no memory cgroup is mounted";
    }
    ~MemoryCgroup()
    {
        if (!path_.empty()) ::rmdir(path_.c_str());
    }
    MemoryCgroup(const MemoryCgroup&) = delete;
    MemoryCgroup& operator=(const MemoryCgroup&) = delete;

    const fs::path& path() const { return path_; }
    const std::string& why() const { return why_; }
    // Moves the calling process in.
    bool enter() const { return writeText(path_ / "cgroup.procs", std::to_string(::getpid())); }

private:
    void tryMake(const fs::path& dir, const char* limitFile, std::uint64_t limit)
    {
        if (::mkdir(dir.c_str(), 0755) != 0) {
            because("cannot make a memory cgroup " + dir.string() + ": " + std::strerror(errno) +
                    " (it takes root or a cgroup delegated to this user)");
            return;
        }
        if (!fs::exists(dir / limitFile) || !writeText(dir / limitFile, std::to_string(limit))) {
            because("no memory limit can be set in " + dir.string());
            ::rmdir(dir.c_str());
            return;
        }
        path_ = dir;
    }

    void because(const std::string& reason) { why_ += (why_.empty() ? "" : "; ") + reason; }

    fs::path path_;
    std::string why_;
};


void makeFile(const fs::path& p, std::size_t size)
{
    std::string bytes(size, 'a');
    for (std::size_t i = 99; i < size; i += 100) bytes[i] = '\n';
    writeBytes(p, bytes);
}

TEST(Memory, InputBeyondTheCgroupLimit)
{
    constexpr std::uint64_t kLimit = 64u << 20;
    const MemoryCgroup cgroup(kLimit);
    if (cgroup.path().empty()) GTEST_SKIP() << cgroup.why();

    ScratchDir dir;
    struct Case {
        const char* what;
        std::size_t size;
        bool fits;
    };
    const Case cases[] = {
        {"within the limit", 40u << 20, true},
        {"beyond the limit", 96u << 20, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path input = dir / "in.txt";
        const fs::path out = dir / "out";
        makeFile(input, c.size);
        fs::create_directory(out);
        const std::u16string in16 = u16(input.string());
        const Messages got = inChild([&] {
            Settings s{true, false, in16, u16(out.string()), u"p", u"1000000", {}};
            Messages m = split(s);
            Recorder r(s);
            engine::showCharacterCount(r, r.box());
            m.insert(m.end(), r.messages.begin(), r.messages.end());
            return m;
        }, [&] { return cgroup.enter(); });
        const std::u16string notice = u"接下来将要分割文件，请在输出目录中浏览分割完的文件";
        if (c.fits) {
            EXPECT_EQ(got, (Messages{notice, u"完成", u"被分割文件的字数为" + u16(std::to_string(c.size)) + u"个"}));
            EXPECT_EQ(readBytes(out / "p1.txt").size(), 1000000u);
        } else {
            const std::u16string message = u"内存不足，无法读取文件“" + in16 + u"”";
            EXPECT_EQ(got, (Messages{notice, message, message}));
            EXPECT_TRUE(fs::is_empty(out)) << "pieces were written";
        }
        fs::remove_all(out);
        fs::remove(input);
    }
}

}  // namespace
