// Every limit ends in a message, changes no file that existed, and leaves no
// file open. Faults are real: links to /dev/full, file size limits, full pipes, folders
// where files should be, permissions seen by an unprivileged user.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "run_error.hpp"
#include "split_run.hpp"
#include "statistics.hpp"
#include "support.hpp"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::u16string kNotice = u"接下来将要分割文件，请在输出目录中浏览分割完的文件";
const std::u16string kDone = u"完成";

// Root passes every permission test, so these faults run as nobody.
void dropPrivileges()
{
    if (::geteuid() != 0) return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
}

// Whether a child that dropped its privileges reaches the scratch folder and
// is refused a file of mode 000 there: not when it keeps a capability that
// passes permissions, or is root without a nobody to become.
bool permissionsBind(const ScratchDir& dir)
{
    writeBytes(dir / "probe-open.txt", "");
    writeBytes(dir / "probe-shut.txt", "");
    fs::permissions(dir / "probe-shut.txt", fs::perms::none);
    const pid_t pid = ::fork();
    if (pid == 0) {
        dropPrivileges();
        const bool opens = ::open((dir / "probe-open.txt").c_str(), O_RDONLY) >= 0;
        const bool shut = ::open((dir / "probe-shut.txt").c_str(), O_RDONLY) < 0 && errno == EACCES;
        ::_exit(opens && shut ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    fs::remove(dir / "probe-open.txt");
    fs::remove(dir / "probe-shut.txt");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
const char* const kPermissionsDoNotBind =
    "permissions do not bind this user (a capability such as CAP_DAC_OVERRIDE, or root "
    "with no user 65534 to become or a scratch folder that user cannot reach)";

class Limits : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(dir / "in.txt", "abcdefghij");
        writeBytes(dir / "p1.txt", "old");  // an existing piece must stay as it was
        before = snapshot(dir.path());
        fds = openFdCount();
    }
    Settings byCount(const std::u16string& chars) const
    {
        return {true, false, u16((dir / "in.txt").string()), dir.u16path(), u"p", chars, {}};
    }
    Settings bySize(const std::u16string& size) const
    {
        return {false, true, u16((dir / "in.txt").string()), dir.u16path(), u"p", {}, size};
    }
    std::u16string path(const std::string& name) const { return u16((dir / name).string()); }
    void expectUnchanged()
    {
        EXPECT_EQ(snapshot(dir.path()), before);
        EXPECT_EQ(openFdCount(), fds);
    }

    ScratchDir dir;
    std::map<std::string, std::string> before;
    int fds = 0;
};

}  // namespace

TEST_F(Limits, CharactersPerPieceBelowOne)
{
    for (const std::u16string typed : {u"0", u"0.4", u"0.5", u"-3", u"-1e400", u"-3000000000"}) {
        SCOPED_TRACE(utf8(typed));
        EXPECT_EQ(split(byCount(typed)),
                  (Messages{kNotice, u"每份分割文件的字数“" + typed + u"”不足1个字，请输入不小于1的数字！"}));
    }
    for (const std::u16string typed : {u"0", u"0.001", u"abc", u"-1", u"-1e400"}) {
        SCOPED_TRACE(utf8(typed));
        EXPECT_EQ(split(bySize(typed)),
                  (Messages{kNotice, u"每个文件的大小“" + typed + u"”换算后不足1个字，请输入更大的数字！"}));
    }
    expectUnchanged();
}

TEST_F(Limits, NumbersBeyondTheRange)
{
    for (const std::u16string typed : {u"2147483648", u"1e10", u"1e400"}) {
        SCOPED_TRACE(utf8(typed));
        EXPECT_EQ(split(byCount(typed)),
                  (Messages{kNotice, u"每份分割文件的字数“" + typed + u"”太大，请输入较小的数字！"}));
    }
    for (const std::u16string typed : {u"2097152", u"1e300", u"1e400"}) {
        SCOPED_TRACE(utf8(typed));
        EXPECT_EQ(split(bySize(typed)),
                  (Messages{kNotice, u"每个文件的大小“" + typed + u"”KB太大，请输入较小的数字！"}));
    }
    expectUnchanged();
    // The largest size that fits: the whole text in piece 1.
    EXPECT_EQ(split(bySize(u"2097151")), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "p1.txt"), "oldabcdefghij");
}

TEST_F(Limits, InputThatCannotBeRead)
{
    fs::create_directory(dir / "folder");
    {
        // Sparse, so that it costs no disk.
        const int fd = ::open((dir / "huge.txt").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_EQ(::ftruncate(fd, off_t{1} << 31), 0);
        ::close(fd);
    }
    before = snapshot(dir.path());
    struct Case {
        std::u16string input;
        std::u16string message;
    };
    const Case cases[] = {
        {path("missing.txt"), u"无法读取文件“" + path("missing.txt") + u"”：文件或文件夹不存在"},
        {path("folder"), u"“" + path("folder") + u"”是文件夹，不是文件，请重新选择文件"},
        {u"   ", u"无法读取文件“   ”：文件或文件夹不存在"},
        {u"/dev/null", u"“/dev/null”不是普通文件，无法读取，请重新选择文件"},
        {path("in.txt") + std::u16string(1, u'\0'), u"无法读取文件“" + path("in.txt") + std::u16string(1, u'\0') + u"”：文件名无效"},
        {path("huge.txt"), u"文件“" + path("huge.txt") + u"”太大，无法读取：文件须小于2GB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.input));
        Settings s = byCount(u"3");
        s.input = c.input;
        EXPECT_EQ(split(s), (Messages{kNotice, c.message}));
        s.byCount = false;
        s.bySize = true;
        s.size = u"1";
        EXPECT_EQ(split(s), (Messages{kNotice, c.message}));
        Recorder r(s);
        engine::showCharacterCount(r, r.box());
        engine::showSizeEstimate(r, r.box());
        EXPECT_EQ(r.messages, (Messages{c.message, c.message}));
    }
    expectUnchanged();
}

TEST_F(Limits, InputWithoutReadPermission)
{
    if (!permissionsBind(dir)) GTEST_SKIP() << kPermissionsDoNotBind;
    fs::permissions(dir / "in.txt", fs::perms::none);
    before = snapshot(dir.path());
    const Messages got = inChild([&] {
        dropPrivileges();
        Messages all = split(byCount(u"3"));
        Recorder r(byCount(u"3"));
        engine::showCharacterCount(r, r.box());
        all.insert(all.end(), r.messages.begin(), r.messages.end());
        return all;
    });
    const std::u16string message = u"无法读取文件“" + path("in.txt") + u"”：没有权限";
    EXPECT_EQ(got, (Messages{kNotice, message, message}));
    expectUnchanged();
}

TEST_F(Limits, InputLargerThanMemory)
{
    {
        const int fd = ::open((dir / "big.txt").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_EQ(::ftruncate(fd, off_t{256} << 20), 0);
        ::close(fd);
    }
    before = snapshot(dir.path());
    const Messages got = inChild([&] {
        rlimit limit{};
        ::getrlimit(RLIMIT_AS, &limit);
        // Room for what the process has, not for the file.
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
            std::fclose(f);
        }
        limit.rlim_cur = static_cast<rlim_t>(pages) * 4096 + (64u << 20);
        ::setrlimit(RLIMIT_AS, &limit);
        Settings s = byCount(u"3");
        s.input = path("big.txt");
        return split(s);
    });
    EXPECT_EQ(got, (Messages{kNotice, u"内存不足，无法读取文件“" + path("big.txt") + u"”"}));
    expectUnchanged();
}

TEST_F(Limits, PieceThatWouldBeTheInputItself)
{
    writeBytes(dir / "self.txt", "abcdefghij");
    fs::create_directory_symlink(dir.path(), dir / "alias");
    fs::create_symlink(dir / "in.txt", dir / "q2.txt");
    fs::create_hard_link(dir / "in.txt", dir / "r3.txt");
    fs::create_symlink(dir / "s1.txt", dir / "link-to-s1.txt");
    writeBytes(dir / "s1.txt", "abcdefghij");
    before = snapshot(dir.path());
    struct Case {
        const char* what;
        std::u16string input, folder, base, piece;
    };
    const std::u16string d = dir.u16path();
    const std::u16string leaf = u16(dir.path().filename().string());
    const Case cases[] = {
        {"plain", path("p1.txt"), d, u"p", d + u"/p1.txt"},
        {"folder spelled otherwise", path("p1.txt"), d + u"/./", u"p", d + u"/.//p1.txt"},
        {"folder through a link", path("p1.txt"), d + u"/alias", u"p", d + u"/alias/p1.txt"},
        {"piece is a link to the input", path("in.txt"), d, u"q", d + u"/q2.txt"},
        {"piece is a hard link of the input", path("in.txt"), d, u"r", d + u"/r3.txt"},
        {"input through a link", path("link-to-s1.txt"), d, u"s", d + u"/s1.txt"},
        {"base name reaching into the folder", path("p1.txt"), d, u"../" + leaf + u"/p", d + u"/../" + leaf + u"/p1.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s{true, false, c.input, c.folder, c.base, u"3", {}};
        EXPECT_EQ(split(s), (Messages{kNotice, u"分割文件“" + c.piece + u"”就是被分割的文件本身，请更换输出目录或分割文件的名称"}));
    }
    expectUnchanged();

    // Only names that this split writes count: r3.txt is beyond two pieces.
    Settings s{true, false, path("in.txt"), d, u"r", u"5", {}};
    EXPECT_EQ(split(s), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "r1.txt"), "abcde");
    EXPECT_EQ(readBytes(dir / "r3.txt"), "abcdefghij");
}

TEST_F(Limits, PieceFolderMissingOrReadOnly)
{
    Settings s = byCount(u"3");
    s.folder = path("nowhere");
    EXPECT_EQ(split(s), (Messages{kNotice, u"无法写入分割文件“" + path("nowhere") +
                                               u"/p1.txt”：文件或文件夹不存在。已完整写入0个分割文件。"}));
    expectUnchanged();

    if (!permissionsBind(dir)) GTEST_SKIP() << kPermissionsDoNotBind;
    fs::create_directory(dir / "ro");
    fs::permissions(dir / "ro", fs::perms(0555));
    before = snapshot(dir.path());
    s.folder = path("ro");
    const Messages got = inChild([&] {
        dropPrivileges();
        return split(s);
    });
    EXPECT_EQ(got, (Messages{kNotice, u"无法写入分割文件“" + path("ro") + u"/p1.txt”：没有权限。已完整写入0个分割文件。"}));
    expectUnchanged();
}

TEST_F(Limits, DiskFullAtTheSecondPiece)
{
    fs::create_symlink("/dev/full", dir / "p2.txt");
    before = snapshot(dir.path());
    EXPECT_EQ(split(byCount(u"4")),
              (Messages{kNotice, u"无法写入分割文件“" + path("p2.txt") + u"”：磁盘空间不足。已完整写入1个分割文件。"}));
    auto after = snapshot(dir.path());
    EXPECT_EQ(after["p1.txt"], "oldabcd");  // the pieces before the fault stay
    after["p1.txt"] = before["p1.txt"];
    EXPECT_EQ(after, before);
    EXPECT_EQ(openFdCount(), fds);
}

TEST_F(Limits, FolderWherePieceShouldBe)
{
    fs::create_directory(dir / "p3.txt");
    before = snapshot(dir.path());
    EXPECT_EQ(split(byCount(u"4")),
              (Messages{kNotice, u"无法写入分割文件“" + path("p3.txt") + u"”：这是一个文件夹。已完整写入2个分割文件。"}));
    auto after = snapshot(dir.path());
    EXPECT_EQ(after["p1.txt"], "oldabcd");
    EXPECT_EQ(after["p2.txt"], "efgh");
    after.erase("p2.txt");
    after["p1.txt"] = before["p1.txt"];
    EXPECT_EQ(after, before);
    EXPECT_EQ(openFdCount(), fds);
}

TEST_F(Limits, FileSizeLimitInTheMiddleOfAPiece)
{
    // Piece 2 exists and fails part-way; piece 3 is new and fails part-way.
    writeBytes(dir / "p2.txt", "2222222");
    writeBytes(dir / "in.txt", std::string(8, 'a') + std::string(8, 'b') + std::string(8, 'c'));
    before = snapshot(dir.path());
    // The signal is left as the program has it: its default action ends
    // the process, unless the engine keeps it from arriving.
    auto run = [&](rlim_t bytes) {
        return inChild([&] {
            std::signal(SIGXFSZ, SIG_DFL);
            sigset_t xfsz;
            sigemptyset(&xfsz);
            sigaddset(&xfsz, SIGXFSZ);
            ::sigprocmask(SIG_UNBLOCK, &xfsz, nullptr);
            const rlimit limit{bytes, bytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            Messages messages = split(byCount(u"8"));
            // And the engine leaves it as it found it.
            sigset_t blocked, pending;
            ::sigprocmask(SIG_BLOCK, nullptr, &blocked);
            ::sigpending(&pending);
            if (sigismember(&blocked, SIGXFSZ) || sigismember(&pending, SIGXFSZ) ||
                std::signal(SIGXFSZ, SIG_DFL) != SIG_DFL)
                messages.push_back(u"SIGXFSZ changed");
            return messages;
        });
    };
    EXPECT_EQ(run(12), (Messages{kNotice, u"无法写入分割文件“" + path("p2.txt") +
                                             u"”：文件超过了允许的大小。已完整写入1个分割文件。"}));
    auto after = snapshot(dir.path());
    EXPECT_EQ(after["p1.txt"], "old" + std::string(8, 'a'));
    after["p1.txt"] = before["p1.txt"];
    EXPECT_EQ(after, before);

    // A piece that this run creates is removed again.
    fs::remove(dir / "p1.txt");
    fs::remove(dir / "p2.txt");
    before = snapshot(dir.path());
    EXPECT_EQ(run(5), (Messages{kNotice, u"无法写入分割文件“" + path("p1.txt") +
                                            u"”：文件超过了允许的大小。已完整写入0个分割文件。"}));
    expectUnchanged();
    // Likewise the file that a link to nowhere would have led to.
    fs::create_symlink("target.txt", dir / "p1.txt");
    before = snapshot(dir.path());
    EXPECT_EQ(run(5), (Messages{kNotice, u"无法写入分割文件“" + path("p1.txt") +
                                            u"”：文件超过了允许的大小。已完整写入0个分割文件。"}));
    expectUnchanged();
    EXPECT_EQ(run(8), (Messages{kNotice, kDone}));  // pieces of the limit's size fit
    EXPECT_EQ(readBytes(dir / "target.txt"), std::string(8, 'a'));
    EXPECT_EQ(readBytes(dir / "p3.txt"), std::string(8, 'c'));
}

TEST_F(Limits, NextRunAfterAFaultWorks)
{
    Settings s = byCount(u"4");
    s.folder = path("nowhere");
    split(s);
    EXPECT_EQ(split(byCount(u"4")), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "p3.txt"), "ij");
}

TEST_F(Limits, InputInAFolderThatCannotBeListed)
{
    // The folder lets its files be opened but not listed; the user owns the
    // input and may write it. As piece 2, the input must be found before
    // piece 1 is written, not only when its own turn comes.
    if (!permissionsBind(dir)) GTEST_SKIP() << kPermissionsDoNotBind;
    for (const std::string leaf : {"x1.txt", "x2.txt"}) {
        const fs::path box = dir / "box";
        fs::create_directory(box);
        writeBytes(box / leaf, "abcdefghij");
        if (::geteuid() == 0) {  // root runs it as nobody, who must own them
            ASSERT_EQ(::chown(box.c_str(), 65534, 65534), 0);
            ASSERT_EQ(::chown((box / leaf).c_str(), 65534, 65534), 0);
        }
        for (const auto mode : {fs::perms(0111), fs::perms(0311)}) {
            SCOPED_TRACE(static_cast<int>(mode));
            fs::permissions(box, mode);
            const Messages got = inChild([&] {
                dropPrivileges();
                return split({true, false, path("box/" + leaf), path("box"), u"x", u"3", {}});
            });
            EXPECT_EQ(got, (Messages{kNotice, u"分割文件“" + path("box") + u"/" + u16(leaf) +
                                                 u"”就是被分割的文件本身，请更换输出目录或分割文件的名称"}));
            fs::permissions(box, fs::perms(0755));
            EXPECT_EQ(readBytes(box / leaf), "abcdefghij");
            EXPECT_EQ(std::distance(fs::directory_iterator(box), fs::directory_iterator()), 1);
        }
        fs::remove_all(box);
    }
}

TEST_F(Limits, PieceNamesThatOnlyLookLikeTheInput)
{
    // Only on a file system that tells case apart.
    writeBytes(dir / "case.txt", "");
    if (fs::exists(dir / "CASE.txt")) GTEST_SKIP() << "the scratch folder ignores case";
    fs::remove(dir / "case.txt");

    writeBytes(dir / "book1.TXT", "abcdef");
    writeBytes(dir / "x1.txt", "uvwxyz");
    writeBytes(dir / "X1.txt", "other");  // an unrelated file of a piece's name
    EXPECT_EQ(split({true, false, path("book1.TXT"), dir.u16path(), u"book", u"4", {}}), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "book1.txt"), "abcd");
    EXPECT_EQ(readBytes(dir / "book2.txt"), "ef");
    EXPECT_EQ(split({true, false, path("x1.txt"), dir.u16path(), u"X", u"4", {}}), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "X1.txt"), "otheruvwx");
    EXPECT_EQ(readBytes(dir / "X2.txt"), "yz");
    EXPECT_EQ(readBytes(dir / "book1.TXT"), "abcdef");
    EXPECT_EQ(readBytes(dir / "x1.txt"), "uvwxyz");
}

TEST_F(Limits, PieceThatBecomesTheInputDuringTheSplit)
{
    // Another program links piece 2's name to the input after the check
    // before the first piece: the opened file itself is checked.
    class LinkAtSecondPiece : public Recorder {
    public:
        LinkAtSecondPiece(Settings s, std::function<void()> link) : Recorder(std::move(s)), link_(std::move(link)) {}
        std::u16string baseName() override
        {
            if (++reads_ == 3) link_();  // the test, piece 1, piece 2
            return Recorder::baseName();
        }

    private:
        std::function<void()> link_;
        int reads_ = 0;
    };
    const std::function<void()> links[] = {
        [&] { fs::create_hard_link(dir / "in.txt", dir / "p2.txt"); },
        [&] { fs::create_symlink("in.txt", dir / "p2.txt"); },
    };
    for (const auto& link : links) {
        fs::remove(dir / "p2.txt");
        writeBytes(dir / "p1.txt", "old");
        LinkAtSecondPiece r(byCount(u"4"), link);
        engine::splitRun(r, r.box());
        EXPECT_EQ(r.messages, (Messages{kNotice, u"分割文件“" + path("p2.txt") +
                                                     u"”就是被分割的文件本身，请更换输出目录或分割文件的名称。已完整写入1个分割文件。"}));
        EXPECT_EQ(readBytes(dir / "in.txt"), "abcdefghij");
        EXPECT_EQ(readBytes(dir / "p1.txt"), "oldabcd");
        EXPECT_FALSE(fs::exists(dir / "p3.txt"));
        EXPECT_EQ(openFdCount(), fds);
    }
}

TEST_F(Limits, PieceThatIsAFullPipe)
{
    fs::remove(dir / "p1.txt");
    ASSERT_EQ(::mkfifo((dir / "p1.txt").c_str(), 0644), 0);
    const int reader = ::open((dir / "p1.txt").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ::fcntl(reader, F_SETPIPE_SZ, 4096);
    writeBytes(dir / "in.txt", std::string(100000, 'a'));
    EXPECT_EQ(split(byCount(u"200000")),
              (Messages{kNotice, u"无法写入分割文件“" + path("p1.txt") +
                                     u"”：暂时无法读写，管道或设备已满。已完整写入0个分割文件。"}));
    ::close(reader);
    EXPECT_EQ(openFdCount(), fds);
}

TEST(ErrorTexts, EveryErrorOfReadingAndWritingIsNamed)
{
    for (const int err : {EAGAIN, EWOULDBLOCK, EINTR, ETXTBSY, EBUSY, EOVERFLOW, EFAULT, EPIPE, ENOMEM, EACCES, ENOSPC,
                          EFBIG, EIO, ENOENT, EISDIR, ELOOP, ENXIO, EMFILE, EROFS, ENAMETOOLONG, ESTALE}) {
        const std::u16string text = engine::errnoText(err);
        EXPECT_EQ(text.find(u"系统错误"), std::u16string::npos) << err << ' ' << utf8(text);
        EXPECT_FALSE(text.empty());
    }
    // Anything else shows the system's own words beside its number.
    EXPECT_EQ(engine::errnoText(ECHRNG), u"系统错误" + u16(std::to_string(ECHRNG)) + u"（Channel number out of range）");
    EXPECT_EQ(engine::errnoText(4000), u"系统错误4000");
}

TEST_F(Limits, LongTypedValuesAreQuotedByTheirHead)
{
    const std::u16string nines(100000, u'9');
    const std::u16string head = std::u16string(32, u'9') + u"…";
    EXPECT_EQ(split(byCount(nines)), (Messages{kNotice, u"每份分割文件的字数“" + head + u"”太大，请输入较小的数字！"}));
    EXPECT_EQ(split(byCount(u"-" + nines)),
              (Messages{kNotice, u"每份分割文件的字数“-" + head.substr(1) + u"”不足1个字，请输入不小于1的数字！"}));
    EXPECT_EQ(split(bySize(nines)), (Messages{kNotice, u"每个文件的大小“" + head + u"”KB太大，请输入较小的数字！"}));
    // Never half of a character outside the basic plane.
    const std::u16string emoji = std::u16string(31, u'x') + u"😀" + u"yyyy";
    EXPECT_EQ(split(bySize(emoji)), (Messages{kNotice, u"每个文件的大小“" + std::u16string(31, u'x') +
                                                           u"…”换算后不足1个字，请输入更大的数字！"}));
    // So is a pasted name longer than any path.
    Settings s = byCount(u"3");
    s.input = std::u16string(100000, u'a');
    EXPECT_EQ(split(s), (Messages{kNotice, u"无法读取文件“" + std::u16string(32, u'a') + u"…”：文件名太长"}));
    // Exactly 32 characters are quoted whole.
    const std::u16string zeros(32, u'0');
    EXPECT_EQ(split(bySize(zeros)), (Messages{kNotice, u"每个文件的大小“" + zeros + u"”换算后不足1个字，请输入更大的数字！"}));
    expectUnchanged();
}
