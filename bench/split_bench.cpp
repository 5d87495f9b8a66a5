// Splits a generated 100 MB novel in code page 936 with the engine and with
// coreutils `split -b` into as many pieces, in memory (/dev/shm) and in the
// temp folder, and prints how they compare, beside the bare read of the
// novel into fresh memory that the engine cannot do without.
//
//   split_bench [folder...]      (default: /dev/shm and $TMPDIR or /tmp)
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "input_text.hpp"
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

// coreutils split, from its start to its end.
Result runSplit(const fs::path& input, const fs::path& dir, std::size_t bytesPerPiece, int pieces)
{
    const std::string bytes = std::to_string(bytesPerPiece);
    const std::string digits = std::to_string(std::to_string(pieces).size());
    const std::string prefix = (dir / "x").string();
    const char* argv[] = {"split", "-b", bytes.c_str(), "-d", "-a", digits.c_str(), input.c_str(), prefix.c_str(), nullptr};
    Result r;
    const auto t0 = std::chrono::steady_clock::now();
    // fork, not posix_spawn: a child that shares our memory until exec would
    // report our peak as its own.
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp("split", const_cast<char* const*>(argv));
        ::_exit(127);
    }
    if (pid < 0) return r;
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.peakKb = usage.ru_maxrss;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
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

int countFiles(const fs::path& dir)
{
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

bool engineSplit(const fs::path& input, const fs::path& dir, int chars)
{
    FixedSettings settings(u16(input.string()), u16(dir.string()), u16(std::to_string(chars)));
    std::vector<std::u16string> messages;
    engine::splitRun(settings, [&](const std::u16string& m) { messages.push_back(m); });
    return messages.size() == 2 && messages[1] == u"完成";
}

// One read of the whole file into memory allocated as the engine allocates it.
bool bareRead(const fs::path& input)
{
    const int fd = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return false;
    engine::ByteBuffer bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.view().size()) {
        const ssize_t r = ::pread(fd, bytes.data() + done, bytes.view().size() - done, static_cast<off_t>(done));
        if (r <= 0) break;
        done += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return done == static_cast<std::size_t>(st.st_size);
}

std::string readWhole(const fs::path& p)
{
    std::string s(fs::file_size(p), '\0');
    FILE* f = std::fopen(p.c_str(), "rb");
    if (!f || std::fread(s.data(), 1, s.size(), f) != s.size()) s.clear();
    if (f) std::fclose(f);
    return s;
}

bool piecesJoinToInput(const std::string& corpus, const fs::path& dir, int pieces)
{
    std::string joined;
    joined.reserve(corpus.size());
    for (int k = 1; k <= pieces; ++k) {
        const fs::path piece = dir / ("part" + std::to_string(k) + ".txt");
        if (!fs::exists(piece)) return false;
        joined += readWhole(piece);
    }
    return joined == corpus;
}

// The bytes per piece that give split -b the piece count nearest to pieces;
// pieces of equal bytes cannot always make exactly as many as pieces of equal
// characters.
std::size_t bytesForPieces(std::size_t size, int pieces)
{
    const auto n = static_cast<std::size_t>(pieces);
    auto distance = [&](std::size_t b) {
        const std::size_t count = (size + b - 1) / b;
        return count > n ? count - n : n - count;
    };
    const std::size_t atMost = (size + n - 1) / n;  // gives n pieces or fewer
    const std::size_t less = std::max<std::size_t>(1, atMost - 1);
    return distance(less) < distance(atMost) ? less : atMost;
}

struct Target {
    int chars;
    double ratio;   // engine time against split -b, in memory,
    bool withRead;  // with the bare read added to split -b
};

// Both splits of one corpus in one folder; gives the number of failures.
int benchFolder(const fs::path& where, bool inMemory)
{
    const fs::path root = where / "qjxsplit-bench";
    const fs::path input = root / "novel.txt";
    fs::remove_all(root);
    fs::create_directories(root);
    {
        // Not held while the splits run: their children would count it.
        const std::string corpus = makeCorpus();
        FILE* f = std::fopen(input.c_str(), "wb");
        if (!f || std::fwrite(corpus.data(), 1, corpus.size(), f) != corpus.size()) return 1;
        std::fclose(f);
    }
    const std::size_t fileBytes = fs::file_size(input);
    const double fileMb = static_cast<double>(fileBytes) / (1 << 20);
    std::printf("%s: %.1f MB novel in code page 936%s\n", root.c_str(), fileMb, inMemory ? ", in memory" : "");

    int failures = 0;
    for (const Target target : {Target{100000, 1.5, true}, Target{1000, 1.3, false}}) {
        double engineBest = 1e9, splitBest = 1e9, readBest = 1e9;
        long enginePeakKb = 0, splitPeakKb = 0;
        int pieces = 0, splitPieces = 0;
        std::size_t bytesPerPiece = 0;
        fs::path kept, done;
        // The engine goes first, for the piece count; then they take turns.
        for (int turn = 0; turn < 3 * kRounds; ++turn) {
            if (turn % 3 == 2) {
                const Result r = inChild([&] { return bareRead(input); });
                if (!r.ok) ++failures;
                readBest = std::min(readBest, r.seconds);
                continue;
            }
            const fs::path dir = freshFolder(root, done);
            if (turn % 3 == 0) {
                const Result e = inChild([&] { return engineSplit(input, dir, target.chars); });
                if (!e.ok) ++failures;
                pieces = countFiles(dir);
                bytesPerPiece = bytesForPieces(fileBytes, pieces);
                engineBest = std::min(engineBest, e.seconds);
                enginePeakKb = std::max(enginePeakKb, e.peakKb);
                done = kept;  // the last engine run's pieces are kept for checking
                kept = dir;
            } else {
                const Result r = runSplit(input, dir, bytesPerPiece, pieces);
                if (!r.ok) ++failures;
                splitPieces = countFiles(dir);
                splitBest = std::min(splitBest, r.seconds);
                splitPeakKb = std::max(splitPeakKb, r.peakKb);
                done = dir;
            }
        }
        const bool joined = piecesJoinToInput(readWhole(input), kept, pieces);
        if (!joined || !splitPieces) ++failures;
        fs::remove_all(kept);
        fs::remove_all(done);
        const double floor = target.withRead ? readBest + splitBest : splitBest;
        const double ratio = engineBest / floor;
        const double memory = static_cast<double>(enginePeakKb) / 1024 / fileMb;
        std::printf("  %6d chars per piece, %5d pieces (split -b %zu, %d pieces): engine %.3f s, split -b %.3f s, "
                    "read %.3f s, ratio to %s %.2f",
                    target.chars, pieces, bytesPerPiece, splitPieces, engineBest, splitBest, readBest,
                    target.withRead ? "read + split -b" : "split -b", ratio);
        if (inMemory) std::printf(" (target %.1f: %s)", target.ratio, ratio <= target.ratio ? "met" : "MISSED");
        std::printf("\n    peak memory: engine %.0f MB = %.2f x file (target 1.2: %s), split -b %.1f MB; "
                    "pieces join to input: %s\n",
                    static_cast<double>(enginePeakKb) / 1024, memory, memory <= 1.2 ? "met" : "MISSED",
                    static_cast<double>(splitPeakKb) / 1024, joined ? "yes" : "NO");
        std::fflush(stdout);
    }
    fs::remove_all(root);
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> folders;
    for (int i = 1; i < argc; ++i) folders.emplace_back(argv[i]);
    if (folders.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        if (fs::is_directory("/dev/shm")) folders.emplace_back("/dev/shm");
        folders.emplace_back(tmp ? tmp : "/tmp");
    }
    int failures = 0;
    for (const fs::path& folder : folders) failures += benchFolder(folder, folder == "/dev/shm");
    return failures == 0 ? 0 : 1;
}
