// The guards around piece writing that need a file system of their own: one
// that matches names as case-folding file systems do, small disks, and faults
// that come while a piece is being written. Each runs in a child process;
// mounts are made in a user and mount namespace of that child.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "folding_view.hpp"
#include "support.hpp"

using namespace testing_support;
using Messages = std::vector<std::u16string>;
namespace fs = std::filesystem;

namespace {

const std::string kNotice = "接下来将要分割文件，请在输出目录中浏览分割完的文件";

std::string lines(const Messages& messages)
{
    std::string out;
    for (const std::u16string& m : messages) out += utf8(m) + '\n';
    return out;
}

// The messages of a split, one a line, then the folder's files and contents.
std::string transcript(const Messages& messages, const fs::path& folder)
{
    std::string out = lines(messages);
    for (const auto& [name, bytes] : snapshot(folder)) out += "  " + name + ": " + bytes + '\n';
    return out;
}

std::string listing(std::initializer_list<std::pair<std::string, std::string>> files)
{
    std::string out;
    for (const auto& [name, bytes] : files) out += "  " + name + ": " + bytes + '\n';
    return out;
}

void skipOrCompare(const std::string& got, const std::string& want)
{
    if (got.starts_with("SKIP: ")) GTEST_SKIP() << got.substr(6);
    EXPECT_EQ(got, want);
}

void setTimes(const fs::path& p, time_t atime, time_t mtime)
{
    const timespec times[2] = {{atime, 0}, {mtime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
}

std::string times(const fs::path& p)
{
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return "missing";
    return "atime " + std::to_string(st.st_atim.tv_sec) + "." + std::to_string(st.st_atim.tv_nsec) + ", mtime " +
           std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

}  // namespace

TEST(NameFolding, InputUnderAnotherSpellingIsFoundBeforePieceOne)
{
    ScratchDir dir;
    fs::create_directory(dir / "real");
    fs::create_directory(dir / "view");
    const std::string view = (dir / "view").string();
    struct Case {
        const char* what;
        std::string input;  // its name in the folder
        std::string base;
        std::string piece;  // the piece whose name leads to the input, or "" for none
    };
    const Case cases[] = {
        {"É and é", "É2.txt", "é", "é2.txt"},
        {"Δ and δ", "Δ2.txt", "δ", "δ2.txt"},
        {"Ж and ж, piece 3", "Ж3.txt", "ж", "ж3.txt"},
        {"Kelvin sign and k", "\u212A2.txt", "k", "k2.txt"},
        {"ß and ss", "ß2.txt", "ss", "ss2.txt"},
        {"composed and decomposed", "\u00E92.txt", "e\u0301", "e\u03012.txt"},
        {"upper-case extension", "É2.TXT", "é", "é2.txt"},
        {"base name ending in digits", "É12.txt", "é1", "é12.txt"},
        {"a letter that only looks alike", "É2.txt", "e", ""},
    };
    std::string want;
    for (const Case& c : cases) {
        std::map<std::string, std::string> files{{c.input, "abcdefghij"}};
        want += std::string(c.what) + '\n' + kNotice + '\n';
        if (c.piece.empty()) {
            want += "完成\n";
            for (int k = 1; k <= 10; ++k) files[c.base + std::to_string(k) + ".txt"] = std::string(1, "abcdefghij"[k - 1]);
        } else {
            want += "分割文件“" + view + "/" + c.piece + "”就是被分割的文件本身，请更换输出目录或分割文件的名称\n";
        }
        for (const auto& [name, bytes] : files) want += "  " + name + ": " + bytes + '\n';
    }
    const std::string got = inChildProcess(
        [&]() -> std::string {
            if (std::string why = mountFoldingView(dir / "real", dir / "view"); !why.empty()) return "SKIP: " + why;
            std::string out;
            for (const Case& c : cases) {
                for (const auto& e : fs::directory_iterator(dir / "real")) fs::remove(e.path());
                writeBytes(dir / "real" / c.input, "abcdefghij");
                const Messages messages = split({true, false, u16(view + "/" + c.input), u16(view), u16(c.base), u"1", {}});
                out += std::string(c.what) + '\n' + transcript(messages, dir / "real");
            }
            return out;
        },
        true);
    skipOrCompare(got, want);
}

TEST(PutBack, PieceThatTookNoByteKeepsItsTimes)
{
    // An existing piece already past the file size limit: not a byte goes in.
    ScratchDir dir;
    writeBytes(dir / "in.txt", "abcdefghij");
    writeBytes(dir / "p1.txt", std::string(60000, 'x'));
    setTimes(dir / "p1.txt", 1000000000, 1100000000);
    const std::string before = times(dir / "p1.txt");
    const std::string got = inChildProcess(
        [&] {
            // The signal as the program has it: its default action, not blocked.
            std::signal(SIGXFSZ, SIG_DFL);
            sigset_t xfsz;
            sigemptyset(&xfsz);
            sigaddset(&xfsz, SIGXFSZ);
            ::sigprocmask(SIG_UNBLOCK, &xfsz, nullptr);
            const rlimit limit{50000, 50000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const Messages messages = split({true, false, u16((dir / "in.txt").string()), dir.u16path(), u"p", u"4", {}});
            return transcript(messages, dir.path()) + times(dir / "p1.txt") + '\n';
        },
        false);
    EXPECT_EQ(got, kNotice + "\n无法写入分割文件“" + (dir / "p1.txt").string() +
                       "”：文件超过了允许的大小。已完整写入0个分割文件。\n" +
                       listing({{"in.txt", "abcdefghij"}, {"p1.txt", std::string(60000, 'x')}}) + before + '\n');
}

TEST(PutBack, LinkPutInPlaceOfANewPieceIsNotFollowed)
{
    // Another program puts a link to its own file in the place of the new
    // piece 1 while the piece is being written, which stops at the file size
    // limit. The split runs in a child that this process traces: the link is
    // put there when the child enters its write to the piece.
    ScratchDir dir;
    writeBytes(dir / "in.txt", "abcdefghij");
    writeBytes(dir / "victim.txt", "keep");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string out;
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
            out = std::string("SKIP: this process cannot be traced: ") + std::strerror(errno);
        } else {
            ::raise(SIGSTOP);
            std::signal(SIGXFSZ, SIG_DFL);  // as the program has it
            const rlimit limit{2, 2};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            out = lines(split({true, false, u16((dir / "in.txt").string()), dir.u16path(), u"p", u"4", {}}));
        }
        const bool ok = ::write(pipeFds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        ::_exit(ok ? 0 : 2);
    }
    ::close(pipeFds[1]);
    const std::string piece = (dir / "p1.txt").string();
    bool swapped = false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSTOPPED(status)) {
        ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
        int deliver = 0;
        while (::ptrace(PTRACE_SYSCALL, pid, nullptr, deliver) == 0 && ::waitpid(pid, &status, 0) == pid &&
               WIFSTOPPED(status)) {
            deliver = WSTOPSIG(status) == (SIGTRAP | 0x80) || WSTOPSIG(status) == SIGSTOP ? 0 : WSTOPSIG(status);
            __ptrace_syscall_info info{};
            if (swapped || WSTOPSIG(status) != (SIGTRAP | 0x80) ||
                ::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0 ||
                info.op != PTRACE_SYSCALL_INFO_ENTRY || info.entry.nr != SYS_write)
                continue;
            std::error_code ec;
            const fs::path target =
                fs::read_symlink("/proc/" + std::to_string(pid) + "/fd/" + std::to_string(info.entry.args[0]), ec);
            if (target.string() != piece) continue;
            fs::create_symlink("victim.txt", dir / "link");
            fs::rename(dir / "link", dir / "p1.txt");
            swapped = true;
        }
    }
    std::string got = readAllAndClose(pipeFds[0]);
    ::waitpid(pid, &status, 0);
    if (got.starts_with("SKIP: ")) GTEST_SKIP() << got.substr(6);
    EXPECT_TRUE(swapped);
    EXPECT_EQ(got + transcript({}, dir.path()),
              kNotice + "\n无法写入分割文件“" + piece + "”：文件超过了允许的大小。已完整写入0个分割文件。\n" +
                  listing({{"in.txt", "abcdefghij"}, {"p1.txt", "link:victim.txt"}, {"victim.txt", "keep"}}));
}

TEST(PutBack, PieceWhoseCloseReportsLostData)
{
    // A user-space file system reports at close that the piece's data was
    // lost: the piece is put back through the file it opened, times too.
    ScratchDir dir;
    fs::create_directory(dir / "real");
    fs::create_directory(dir / "view");
    writeBytes(dir / "in.txt", "abcdefghij");
    writeBytes(dir / "real" / "p1.txt", "old");
    setTimes(dir / "real" / "p1.txt", 1000000000, 1100000000);
    const std::string before = times(dir / "real" / "p1.txt");
    const std::string view = (dir / "view").string();
    struct Case {
        const char* base;  // of an existing piece, or of a new one
        std::string message;
    };
    const Case cases[] = {
        {"p", "无法写入分割文件“" + view + "/p1.txt”：读写设备出错。已完整写入0个分割文件。"},
        {"q", "无法写入分割文件“" + view + "/q1.txt”：读写设备出错。已完整写入0个分割文件。"},
    };
    std::string want;
    for (const Case& c : cases) want += kNotice + '\n' + c.message + '\n';
    want += listing({{"p1.txt", "old"}}) + before + '\n';
    const std::string got = inChildProcess(
        [&]() -> std::string {
            ViewFaults* faults = nullptr;
            if (std::string why = mountFoldingView(dir / "real", dir / "view", &faults); !why.empty())
                return "SKIP: " + why;
            faults->closeError = EIO;
            std::string out;
            for (const Case& c : cases) {
                std::snprintf(faults->failCloseOf, sizeof faults->failCloseOf, "%s1.txt", c.base);
                out += lines(split({true, false, u16((dir / "in.txt").string()), u16(view), u16(c.base), u"4", {}}));
            }
            return out + transcript({}, dir / "real") + times(dir / "real" / "p1.txt") + '\n';
        },
        true);
    skipOrCompare(got, want);
}

TEST(PutBack, OpenedFileWhoseStatusCannotBeRead)
{
    // The system's own error is named, whether the file is the input or a piece.
    ScratchDir dir;
    fs::create_directory(dir / "real");
    fs::create_directory(dir / "view");
    writeBytes(dir / "real" / "in.txt", "abcdefghij");
    writeBytes(dir / "real" / "p1.txt", "old");
    const std::string view = (dir / "view").string();
    struct Case {
        const char* file;
        std::string message;
    };
    const Case cases[] = {
        {"in.txt", "无法读取文件“" + view + "/in.txt”：读写设备出错"},
        {"p1.txt", "无法写入分割文件“" + view + "/p1.txt”：读写设备出错。已完整写入0个分割文件。"},
    };
    std::string want;
    for (const Case& c : cases) want += kNotice + '\n' + c.message + '\n';
    want += listing({{"in.txt", "abcdefghij"}, {"p1.txt", "old"}});
    const std::string got = inChildProcess(
        [&]() -> std::string {
            ViewFaults* faults = nullptr;
            if (std::string why = mountFoldingView(dir / "real", dir / "view", &faults); !why.empty())
                return "SKIP: " + why;
            faults->statError = EIO;
            std::string out;
            for (const Case& c : cases) {
                std::snprintf(faults->failStatOf, sizeof faults->failStatOf, "%s", c.file);
                const Messages messages = split({true, false, u16(view + "/in.txt"), u16(view), u"p", u"4", {}});
                out += lines(messages);
            }
            return out + transcript({}, dir / "real");
        },
        true);
    skipOrCompare(got, want);
}

TEST(DiskRoom, MorePiecesThanTheDiskCanTake)
{
    ScratchDir dir;
    fs::create_directory(dir / "disk");
    writeBytes(dir / "ten.txt", "abcdefghij");
    writeBytes(dir / "long.txt", std::string(20000, 'a'));
    const std::string disk = (dir / "disk").string();
    struct Case {
        const char* what;
        const char* options;  // of the small disk
        int existing;         // pieces p1.txt... there before the split
        const char* input;
        const char* chars;
        std::string message;
    };
    const std::string where = "输出目录“" + disk + "”所在的磁盘";
    const Case cases[] = {
        {"files", "nr_inodes=8,size=1m", 0, "ten.txt", "1", where + "只能再容纳7个文件，而分割需要新建10个分割文件，请加大每份分割文件的字数或大小，或清理磁盘"},
        {"files, some pieces there", "nr_inodes=8,size=1m", 4, "ten.txt", "1", where + "只能再容纳3个文件，而分割需要新建6个分割文件，请加大每份分割文件的字数或大小，或清理磁盘"},
        {"files, every piece there", "nr_inodes=8,size=1m", 7, "ten.txt", "2", "完成"},
        {"files, larger pieces", "nr_inodes=8,size=1m", 0, "ten.txt", "2", "完成"},
        {"a block for each new piece", "nr_inodes=100,size=16k", 0, "ten.txt", "1", where + "空间不足：分割至少需要40KB，只剩16KB，请清理磁盘或更换输出目录"},
        {"bytes", "nr_inodes=100,size=16k", 0, "long.txt", "20000", where + "空间不足：分割至少需要20KB，只剩16KB，请清理磁盘或更换输出目录"},
        {"a block for each new piece, that fit", "nr_inodes=100,size=16k", 0, "ten.txt", "3", "完成"},
    };
    std::string want;
    for (const Case& c : cases) want += std::string(c.what) + '\n' + kNotice + '\n' + c.message + '\n';
    const std::string got = inChildProcess(
        [&]() -> std::string {
            std::string out;
            for (const Case& c : cases) {
                if (::mount("qjxsplit-test", disk.c_str(), "tmpfs", 0, c.options) != 0)
                    return std::string("SKIP: no small disk can be mounted: ") + std::strerror(errno);
                for (int k = 1; k <= c.existing; ++k) writeBytes(dir / "disk" / ("p" + std::to_string(k) + ".txt"), "");
                const auto before = snapshot(dir / "disk");
                const Messages messages = split({true, false, u16((dir / c.input).string()), u16(disk), u"p", u16(c.chars), {}});
                out += std::string(c.what) + '\n' + lines(messages);
                if (messages.back() != u"完成" && snapshot(dir / "disk") != before) out += "a file was written\n";
                ::umount(disk.c_str());
            }
            return out;
        },
        true);
    skipOrCompare(got, want);
}
