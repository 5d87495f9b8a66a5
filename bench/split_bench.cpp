// Splits a generated 100 MB novel in code page 936 with the engine and with
// the bare system calls the same split needs, and prints how they compare.
//
//   split_bench [folder]      (default: $TMPDIR or /tmp)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "split_run.hpp"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCorpusBytes = 100u << 20;
constexpr int kRounds = 3;

// Chinese text with ASCII words and numbers, CR LF line ends.
std::string makeCorpus()
{
    std::mt19937 rng(20261210);
    std::string s;
    s.reserve(kCorpusBytes + 256);
    std::size_t line = 0;
    while (s.size() < kCorpusBytes) {
        const unsigned r = rng();
        if (r % 97 == 0) {
            s += " Chapter ";
            s += std::to_string(r % 1000);
            s += ' ';
        } else if (r % 23 == 0) {
            s += "\xA3\xAC";  // full-width comma
        } else {
            s += static_cast<char>(0xB0 + (r >> 8) % 40);  // GB2312 level-1 hanzi
            s += static_cast<char>(0xA1 + (r >> 16) % 94);
        }
        if (++line == 40) {
            s += "\r\n";
            line = 0;
        }
    }
    return s;
}

std::u16string u16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

class FixedSettings : public engine::SettingsReader {
public:
    FixedSettings(std::u16string input, std::u16string folder, std::u16string chars)
        : input_(std::move(input)), folder_(std::move(folder)), chars_(std::move(chars)) {}
    engine::ModeState splitMode() override { return {true, false}; }
    std::u16string inputPath() override { return input_; }
    std::u16string outputFolder() override { return folder_; }
    std::u16string baseName() override { return u"part"; }
    std::u16string charsPerPiece() override { return chars_; }
    std::u16string sizePerPiece() override { return {}; }

private:
    std::u16string input_, folder_, chars_;
};

struct Result {
    double seconds = 0;
    long peakKb = 0;
    int pieces = 0;
    bool ok = false;
};

long peakRssKb()
{
    long kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
        std::fclose(f);
    }
    return kb;
}

// Runs work in a fresh child so that its peak memory is its own.
Result inChild(const std::function<bool()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0) std::exit(1);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        Result r;
        const auto t0 = std::chrono::steady_clock::now();
        r.ok = work();
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        r.peakKb = peakRssKb();
        if (::write(fds[1], &r, sizeof r) != sizeof r) ::_exit(1);
        ::_exit(0);
    }
    ::close(fds[1]);
    Result r;
    if (::read(fds[0], &r, sizeof r) != sizeof r) r.ok = false;
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return r;
}

// A new empty folder for each timed run, with the files of the run before
// deleted and everything written back, so that runs do not slow each other.
fs::path freshFolder(const fs::path& root, const fs::path& done)
{
    static int runs = 0;
    if (!done.empty()) fs::remove_all(done);
    const fs::path dir = root / ("run" + std::to_string(++runs));
    fs::create_directories(dir);
    ::sync();
    return dir;
}

int countPieces(const fs::path& dir)
{
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// The least the split must do: read the file whole, then append each piece's
// bytes to its own new file.
bool ioFloor(const fs::path& input, const fs::path& dir, int pieces)
{
    const int in = ::open(input.c_str(), O_RDONLY);
    struct stat st {};
    ::fstat(in, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<char[]> bytes(new char[size]);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t r = ::read(in, bytes.get() + got, size - got);
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    ::close(in);
    const std::size_t chunk = (size + static_cast<std::size_t>(pieces) - 1) / static_cast<std::size_t>(pieces);
    for (int k = 0; k < pieces; ++k) {
        const std::string name = (dir / ("part" + std::to_string(k + 1) + ".txt")).string();
        const int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        const std::size_t from = std::min(size, chunk * static_cast<std::size_t>(k));
        const std::size_t len = std::min(chunk, size - from);
        if (fd < 0 || ::write(fd, bytes.get() + from, len) != static_cast<ssize_t>(len)) return false;
        ::close(fd);
    }
    return true;
}

bool engineSplit(const fs::path& input, const fs::path& dir, int chars)
{
    FixedSettings settings(u16(input.string()), u16(dir.string()), u16(std::to_string(chars)));
    std::vector<std::u16string> messages;
    engine::splitRun(settings, [&](const std::u16string& m) { messages.push_back(m); });
    return messages.size() == 2 && messages[1] == u"完成";
}

bool piecesJoinToInput(const std::string& corpus, const fs::path& dir, int pieces)
{
    std::string joined;
    joined.reserve(corpus.size());
    for (int k = 1; k <= pieces; ++k) {
        FILE* f = std::fopen((dir / ("part" + std::to_string(k) + ".txt")).c_str(), "rb");
        if (!f) return false;
        char buf[1 << 16];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) joined.append(buf, n);
        std::fclose(f);
    }
    return joined == corpus;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    const fs::path root = fs::path(argc > 1 ? argv[1] : tmp ? tmp : "/tmp") / "qjxsplit-bench";
    const fs::path input = root / "novel.txt";
    fs::remove_all(root);
    fs::create_directories(root);
    {
        const std::string corpus = makeCorpus();
        FILE* f = std::fopen(input.c_str(), "wb");
        if (!f || std::fwrite(corpus.data(), 1, corpus.size(), f) != corpus.size()) return 1;
        std::fclose(f);
    }
    const double fileMb = static_cast<double>(fs::file_size(input)) / (1 << 20);
    std::printf("corpus: %s, %.1f MB, code page 936\n", input.c_str(), fileMb);

    int failures = 0;
    for (const int chars : {100000, 1000}) {
        double best = 1e9, floorBest = 1e9;
        long peakKb = 0;
        int pieces = 0;
        fs::path last, done;
        // The engine goes first in the first round, for the piece count, and
        // the two take turns after that.
        for (int turn = 0; turn < 2 * kRounds; ++turn) {
            const fs::path dir = freshFolder(root, done);
            done.clear();
            if (turn % 4 == 0 || turn % 4 == 3) {
                const Result e = inChild([&] { return engineSplit(input, dir, chars); });
                if (!e.ok) ++failures;
                pieces = countPieces(dir);
                best = std::min(best, e.seconds);
                peakKb = std::max(peakKb, e.peakKb);
                // The last engine run's pieces are kept for checking.
                done = last;
                last = dir;
            } else {
                const Result f = inChild([&] { return ioFloor(input, dir, pieces); });
                if (!f.ok) ++failures;
                done = dir;
                floorBest = std::min(floorBest, f.seconds);
            }
        }
        const bool joined = piecesJoinToInput(
            [&] {
                FILE* f = std::fopen(input.c_str(), "rb");
                std::string s(fs::file_size(input), '\0');
                if (!f || std::fread(s.data(), 1, s.size(), f) != s.size()) s.clear();
                if (f) std::fclose(f);
                return s;
            }(),
            last, pieces);
        if (!joined) ++failures;
        const double peakMb = static_cast<double>(peakKb) / 1024;
        std::printf("%6d chars per piece: %6d pieces  engine %.3f s  floor %.3f s  ratio %.2f  "
                    "peak memory %.0f MB = %.2f x file  pieces join to input: %s\n",
                    chars, pieces, best, floorBest, best / floorBest, peakMb, peakMb / fileMb,
                    joined ? "yes" : "NO");
        std::fflush(stdout);
    }
    fs::remove_all(root);
    return failures == 0 ? 0 : 1;
}
