#include "support.hpp"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <sys/wait.h>
#include <unicode/unistr.h>

#include "split_run.hpp"

namespace testing_support {

std::u16string u16(const std::string& utf8)
{
    const icu::UnicodeString s = icu::UnicodeString::fromUTF8(utf8);
    return std::u16string(s.getBuffer(), static_cast<std::size_t>(s.length()));
}

std::string bytesOf(std::initializer_list<int> bytes)
{
    std::string s;
    for (const int b : bytes) s += static_cast<char>(b);
    return s;
}

std::string utf8(const std::u16string& text)
{
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

std::vector<std::u16string> split(const Settings& s)
{
    Recorder r(s);
    engine::splitRun(r, r.box());
    return r.messages;
}

ScratchDir::ScratchDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "qjxsplit-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
    // Tests that drop privileges need to reach the folder.
    std::filesystem::permissions(path_, std::filesystem::perms(0755));
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    // Read-only folders made by a test must not keep their files.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

void writeBytes(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::string readBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, std::string> snapshot(const std::filesystem::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        const std::string key = e.path().lexically_relative(root).string();
        if (e.is_symlink()) {
            files[key] = "link:" + std::filesystem::read_symlink(e.path()).string();
        } else if (e.is_directory()) {
            files[key] = "folder";
        } else if (e.file_size() > (1u << 20)) {
            files[key] = "size:" + std::to_string(e.file_size());
        } else if (std::ifstream(e.path(), std::ios::binary)) {
            files[key] = readBytes(e.path());
        } else {
            // A file this user may not read is told by its size and time.
            files[key] = "unreadable:" + std::to_string(e.file_size()) + ":" +
                         std::to_string(e.last_write_time().time_since_epoch().count());
        }
    }
    return files;
}

int openFdCount()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

std::string readAllAndClose(int fd)
{
    std::string got;
    char buf[4096];
    for (ssize_t r; (r = ::read(fd, buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(r));
    ::close(fd);
    return got;
}

Messages inChild(const std::function<Messages()>& fn, const std::function<bool()>& enter)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (enter && !enter()) ::_exit(3);
        const int fds = openFdCount();
        std::string out;
        for (const std::u16string& m : fn()) out += utf8(m) + '\n';
        if (openFdCount() != fds) out += "a file was left open\n";
        if (::write(pipeFds[1], out.data(), out.size()) != static_cast<ssize_t>(out.size())) ::_exit(2);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string got = readAllAndClose(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "child status " << status << (WIFSIGNALED(status) ? ", killed by signal " + std::to_string(WTERMSIG(status)) : "");
    Messages messages;
    for (std::size_t start = 0, end; (end = got.find('\n', start)) != std::string::npos; start = end + 1)
        messages.push_back(u16(got.substr(start, end - start)));
    return messages;
}

}  // namespace testing_support
