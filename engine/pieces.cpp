#include "pieces.hpp"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "codepage.hpp"
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
// Case is ignored so that a case-blind file system is covered; the identity
// test that follows decides.
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

bool isFile(int dirFd, const char* name, const FileId& file)
{
    struct stat st {};
    return ::fstatat(dirFd, name, &st, 0) == 0 && FileId{st.st_dev, st.st_ino} == file;
}

// The first piece number in 1..n whose file is `input`, through any spelling,
// hard link or symbolic link; 0 when none is.
std::int64_t pieceThatIsInput(std::u16string_view folder, std::u16string_view base, std::int32_t n,
                              const FileId& input)
{
    const std::optional<std::string> fsPrefix = toFsPath(namePrefix(folder, base));
    if (!fsPrefix) return 0;  // such a name cannot be opened at all
    const std::size_t slash = fsPrefix->rfind('/');
    const std::string dir = slash == 0 ? "/" : fsPrefix->substr(0, slash);
    const std::string leafPrefix = fsPrefix->substr(slash + 1);

    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return 0;  // no folder: no piece can be the input
    // A folder may let files be made in it without being listed.
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(::dup(dirFd)), ::closedir);
    std::int64_t found = 0;
    if (listing) {
        while (const dirent* e = ::readdir(listing.get())) {
            const std::int64_t k = pieceNumberOf(e->d_name, leafPrefix);
            if (k >= 1 && k <= n && (found == 0 || k < found) && isFile(dirFd, e->d_name, input)) found = k;
        }
    } else {
        for (std::int64_t k = 1; k <= n && found == 0; ++k) {
            const std::string leaf = leafPrefix + std::to_string(k) + ".txt";
            if (isFile(dirFd, leaf.c_str(), input)) found = k;
        }
    }
    ::close(dirFd);
    return found;
}

// Characters encoded and written at a time, so that memory stays small
// whatever the size of a piece.
constexpr std::size_t kChunkChars = 1u << 16;

void writePiece(const std::u16string& name, std::u16string_view part, std::string& buffer, std::int32_t written)
{
    const std::optional<std::string> fsName = toFsPath(name);
    if (!fsName) throw RunError(failedMessage(name, EINVAL, written));
    FileSlot& slot = FileSlot::instance();
    if (const int err = slot.openForAppend(*fsName)) throw RunError(failedMessage(name, err, written));
    do {
        const std::u16string_view chunk = part.substr(0, kChunkChars);
        part.remove_prefix(chunk.size());
        const std::size_t size = cp936::encode(chunk, buffer.data());
        if (const int err = slot.write(std::string_view(buffer.data(), size))) {
            slot.undoAppend();
            throw RunError(failedMessage(name, err, written));
        }
    } while (!part.empty());
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

void writePieces(std::u16string_view text, std::int32_t m, SettingsReader& settings, const FileId& input)
{
    const auto c = static_cast<std::int64_t>(text.size());
    const std::int32_t n = pieceCount(c, m);
    SlotGuard guard;

    std::u16string folder = settings.outputFolder();
    std::u16string base = settings.baseName();
    // Appending a piece to the file being split would change the user's
    // input, so refuse before the first piece is written.
    if (const std::int64_t k = pieceThatIsInput(folder, base, std::max(n, 1), input))
        throw RunError(u"分割文件" + quoted(pieceName(folder, base, k)) +
                       u"就是被分割的文件本身，请更换输出目录或分割文件的名称");

    std::string buffer(2 * std::min<std::size_t>(kChunkChars, static_cast<std::size_t>(m)), '\0');
    writePiece(pieceName(folder, base, 1), substring(text, 1, m), buffer, 0);
    for (std::int32_t k = 2; k <= n; ++k) {
        folder = settings.outputFolder();
        base = settings.baseName();
        const std::int64_t start = static_cast<std::int64_t>(k - 1) * m + 1;
        writePiece(pieceName(folder, base, k), substring(text, start, m), buffer, k - 1);
    }
}

}  // namespace engine
