#include "pieces.hpp"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "char_scan.hpp"
#include "run_error.hpp"
#include "runtime.hpp"

namespace engine {
namespace {

// What every piece name starts with: the folder, "/", the base name.
std::u16string namePrefix(std::u16string_view folder, std::u16string_view base)
{
    std::u16string prefix;
    prefix.reserve(folder.size() + base.size() + 16);
    prefix += folder;
    prefix += u'/';
    prefix += base;
    return prefix;
}

std::u16string failedMessage(const std::u16string& name, int err, std::int32_t written)
{
    return u"无法写入分割文件" + quoted(name) + u"：" + errnoText(err) + u"。已完整写入" +
           decimalText(written) + u"个分割文件。";
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// The piece number an entry of the piece folder would be written as, or 0.
// Case is ignored so that an entry a case-blind file system opens under the
// piece's name is found; the piece's own name then decides.
std::int64_t pieceNumberOf(std::string_view entry, std::string_view leafPrefix)
{
    constexpr std::string_view ext = ".txt";
    if (entry.size() <= leafPrefix.size() + ext.size()) return 0;
    if (!equalsIgnoringAsciiCase(entry.substr(0, leafPrefix.size()), leafPrefix)) return 0;
    if (!equalsIgnoringAsciiCase(entry.substr(entry.size() - ext.size()), ext)) return 0;
    const std::string_view digits = entry.substr(leafPrefix.size(), entry.size() - leafPrefix.size() - ext.size());
    if (digits.size() > 10 || digits[0] == '0') return 0;
    std::int64_t k = 0;
    for (const char d : digits) {
        if (d < '0' || d > '9') return 0;
        k = k * 10 + (d - '0');
    }
    return k;
}

// Closes a descriptor however the scope is left.
struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

bool isFile(int dirFd, const char* name, const FileId& file)
{
    struct stat st {};
    return ::fstatat(dirFd, name, &st, 0) == 0 && FileId{st.st_dev, st.st_ino} == file;
}

// The first piece number in 1..n whose own name leads to `input`, through any
// spelling, hard link or symbolic link; 0 when none does. n is asked for only
// when a name is found, or when the folder cannot be listed.
std::int64_t pieceThatIsInput(std::u16string_view folder, std::u16string_view base,
                              const std::function<std::int64_t()>& n, const FileId& input)
{
    const std::optional<std::string> fsPrefix = toFsPath(namePrefix(folder, base));
    if (!fsPrefix) return 0;  // such a name cannot be opened at all
    const std::size_t slash = fsPrefix->rfind('/');
    const std::string dir = slash == 0 ? "/" : fsPrefix->substr(0, slash);
    const std::string leafPrefix = fsPrefix->substr(slash + 1);
    auto leaf = [&](std::int64_t k) { return leafPrefix + std::to_string(k) + ".txt"; };

    // A folder that cannot be reached holds no piece that can be opened.
    const int dirFd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return 0;
    const Descriptor dirGuard{dirFd};
    std::int64_t found = 0;
    // The listing finds the names worth a look; a folder may let its files
    // be opened without being listed, and then every name is looked at.
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(listFd >= 0 ? ::fdopendir(listFd) : nullptr, ::closedir);
    if (listing) {
        while (const dirent* e = ::readdir(listing.get())) {
            const std::int64_t k = pieceNumberOf(e->d_name, leafPrefix);
            if (k >= 1 && (found == 0 || k < found) && isFile(dirFd, e->d_name, input) &&
                isFile(dirFd, leaf(k).c_str(), input) && k <= n())
                found = k;
        }
    } else {
        if (listFd >= 0) ::close(listFd);
        const std::int64_t last = n();
        for (std::int64_t k = 1; k <= last && found == 0; ++k)
            if (isFile(dirFd, leaf(k).c_str(), input)) found = k;
    }
    return found;
}

std::u16string isInputMessage(const std::u16string& name, std::int32_t written)
{
    std::u16string message = u"分割文件" + quoted(name) + u"就是被分割的文件本身，请更换输出目录或分割文件的名称";
    if (written > 0) message += u"。已完整写入" + decimalText(written) + u"个分割文件。";
    return message;
}

void writePiece(const std::u16string& name, std::string_view bytes, std::int32_t written, const FileId& input)
{
    const std::optional<std::string> fsName = toFsPath(name);
    if (!fsName) throw RunError(failedMessage(name, EINVAL, written));
    FileSlot& slot = FileSlot::instance();
    if (const int err = slot.openForAppend(*fsName)) throw RunError(failedMessage(name, err, written));
    // Whatever the name's spelling, links or folder, the file it opened may
    // be the one being split: not a byte may go into that.
    if (slot.id() == input) {
        slot.closeQuietly();
        throw RunError(isInputMessage(name, written));
    }
    if (const int err = slot.write(bytes)) {
        slot.undoAppend();
        throw RunError(failedMessage(name, err, written));
    }
    if (const int err = slot.close()) throw RunError(failedMessage(name, err, written));
}

}  // namespace

std::int32_t pieceCount(std::int64_t c, std::int32_t m)
{
    return static_cast<std::int32_t>(c / m + (c % m != 0 ? 1 : 0));
}

std::u16string pieceName(std::u16string_view folder, std::u16string_view base, std::int64_t k)
{
    std::u16string name = namePrefix(folder, base);
    name += decimalText(k);
    name += u".txt";
    return name;
}

void writePieces(std::string_view bytes, std::int32_t m, SettingsReader& settings, const FileId& input)
{
    SlotGuard slotGuard;
    WriteSignalGuard signalGuard;

    std::u16string folder = settings.outputFolder();
    std::u16string base = settings.baseName();
    std::int64_t n = -1;
    auto pieces = [&] {
        if (n < 0) n = std::max<std::int64_t>(pieceCount(cp936::countChars(bytes), m), 1);
        return n;
    };
    // Appending a piece to the file being split would change the user's
    // input, so refuse before the first piece is written.
    if (const std::int64_t k = pieceThatIsInput(folder, base, pieces, input))
        throw RunError(isInputMessage(pieceName(folder, base, k), 0));

    // Piece k is the bytes of characters (k - 1) * m + 1 to k * m.
    cp936::CharCursor cursor(bytes);
    std::size_t from = 0;
    for (std::int64_t k = 1; k == 1 || from < bytes.size(); ++k) {
        if (k > 1) {
            folder = settings.outputFolder();
            base = settings.baseName();
        }
        cursor.skip(m);
        const std::size_t to = cursor.offset();
        writePiece(pieceName(folder, base, k), bytes.substr(from, to - from), static_cast<std::int32_t>(k - 1),
                   input);
        from = to;
    }
}

}  // namespace engine
