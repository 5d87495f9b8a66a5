#include "pieces.hpp"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

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

// The piece number whose own name a folder entry may be a spelling of, or 0.
// A file system that folds names (case beyond ASCII, normal forms) keeps
// ASCII digits, so the entry's digits before ".txt", less the digits that end
// the base name, are the only number it can stand for; whether the piece's
// own name leads to it is for the file system to say.
std::int64_t pieceNumberOf(std::string_view entry, std::string_view baseDigits)
{
    constexpr std::string_view ext = ".txt";
    if (entry.size() <= ext.size()) return 0;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        const char c = entry[entry.size() - ext.size() + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ext[i]) return 0;
    }
    std::size_t end = entry.size() - ext.size(), start = end;
    while (start > 0 && entry[start - 1] >= '0' && entry[start - 1] <= '9') --start;
    std::string_view digits = entry.substr(start, end - start);
    if (!digits.starts_with(baseDigits)) return 0;
    digits.remove_prefix(baseDigits.size());
    if (digits.empty() || digits.size() > 10 || digits[0] == '0') return 0;
    std::int64_t k = 0;
    for (const char d : digits) k = k * 10 + (d - '0');
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

bool exists(int dirFd, const char* name)
{
    struct stat st {};
    return ::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

std::u16string isInputMessage(const std::u16string& name, std::int32_t written)
{
    std::u16string message = u"分割文件" + quoted(name) + u"就是被分割的文件本身，请更换输出目录或分割文件的名称";
    if (written > 0) message += u"。已完整写入" + decimalText(written) + u"个分割文件。";
    return message;
}

// Local file systems that keep no write-back of their own to report at close.
bool closeIsQuiet(const struct statfs& fs)
{
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x01021994:  // tmpfs
    case 0x858458F6:  // ramfs
    case 0x58465342:  // xfs
    case 0x9123683E:  // btrfs
        return true;
    default:
        return false;
    }
}

// Refuses, before piece 1, a split whose pieces would land in the input, or
// that the output folder's file system cannot take (free files and space
// as it reports them, where it does). Gives the folder's device when its
// file system's close is quiet, else 0.
dev_t checkBeforeFirstPiece(std::u16string_view folder, std::u16string_view base, std::string_view bytes,
                           std::int32_t m, const FileId& input)
{
    const std::u16string prefix = namePrefix(folder, base);
    const std::optional<std::string> fsPrefix = toFsPath(prefix);
    if (!fsPrefix) return 0;  // such a name cannot be opened at all
    const std::size_t slash = fsPrefix->rfind('/');
    const std::string dir = slash == 0 ? "/" : fsPrefix->substr(0, slash);
    const std::string leafPrefix = fsPrefix->substr(slash + 1);
    auto leaf = [&](std::int64_t k) { return leafPrefix + std::to_string(k) + ".txt"; };
    std::size_t digitsFrom = leafPrefix.size();
    while (digitsFrom > 0 && leafPrefix[digitsFrom - 1] >= '0' && leafPrefix[digitsFrom - 1] <= '9') --digitsFrom;
    const std::string_view baseDigits = std::string_view(leafPrefix).substr(digitsFrom);

    // A folder that cannot be reached holds no piece that can be opened.
    const int dirFd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return 0;
    const Descriptor dirGuard{dirFd};

    // Counting characters is a pass over the text: a character is one or
    // two bytes, which bounds the piece count well enough for most checks.
    std::int64_t n = -1;
    auto pieces = [&] {
        if (n < 0) n = std::max<std::int64_t>(pieceCount(cp936::countChars(bytes), m), 1);
        return n;
    };
    const std::int64_t mostPieces = static_cast<std::int64_t>(bytes.size()) / m + 1;
    struct statfs room {};
    const bool reported = ::fstatfs(dirFd, &room) == 0;
    const std::uint64_t block = !reported ? 1 : room.f_frsize > 0 ? room.f_frsize : room.f_bsize > 0 ? room.f_bsize : 1;
    struct stat folderStat {};
    const dev_t quiet = reported && closeIsQuiet(room) && ::fstat(dirFd, &folderStat) == 0 ? folderStat.st_dev : 0;
    const bool countFiles = reported && room.f_files != 0;
    const bool countSpace = reported && room.f_blocks != 0;
    // Blocks that the pieces need at the least: their bytes, less what the
    // last block of every existing piece may still hold, and one for every
    // new piece that gets any byte.
    auto blocksNeeded = [&](std::int64_t newFiles, std::int64_t existing) {
        const std::uint64_t slack = static_cast<std::uint64_t>(existing) * (block - 1);
        const std::uint64_t fresh = bytes.size() > slack ? bytes.size() - slack : 0;
        return std::max<std::uint64_t>((fresh + block - 1) / block, bytes.empty() ? 0 : static_cast<std::uint64_t>(newFiles));
    };
    const bool tight = (countFiles && static_cast<std::uint64_t>(mostPieces) > room.f_ffree) ||
                       (countSpace && blocksNeeded(mostPieces, 0) > room.f_bavail);

    std::int64_t found = 0;
    std::vector<std::int64_t> existing;  // piece numbers found, only when the room is tight
    // The listing finds the names worth a look: every entry that may stand
    // for a piece is checked by device and inode as stat gives them (a
    // listing's own inode numbers may differ from stat's). A folder may let
    // its files be opened without being listed, and then every name is
    // looked at.
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(listFd >= 0 ? ::fdopendir(listFd) : nullptr, ::closedir);
    if (listing) {
        while (const dirent* e = ::readdir(listing.get())) {
            const std::int64_t k = pieceNumberOf(e->d_name, baseDigits);
            if (k < 1 || k > mostPieces) continue;
            const std::string own = leaf(k);
            if ((found == 0 || k < found) && isFile(dirFd, e->d_name, input) && isFile(dirFd, own.c_str(), input) &&
                k <= pieces())
                found = k;
            if (tight && k <= pieces() && (e->d_name == own || exists(dirFd, own.c_str()))) existing.push_back(k);
        }
    } else {
        if (listFd >= 0) ::close(listFd);
        const std::int64_t last = pieces();
        for (std::int64_t k = 1; k <= last && found == 0; ++k) {
            struct stat st {};
            if (::fstatat(dirFd, leaf(k).c_str(), &st, 0) != 0) continue;
            if (FileId{st.st_dev, st.st_ino} == input) found = k;
            if (tight) existing.push_back(k);
        }
    }
    // Appending a piece to the file being split would change the user's input.
    if (found != 0) throw RunError(isInputMessage(pieceName(folder, base, found), 0));
    if (!tight) return quiet;

    std::sort(existing.begin(), existing.end());
    const auto there = static_cast<std::int64_t>(std::unique(existing.begin(), existing.end()) - existing.begin());
    const std::int64_t newFiles = pieces() - there;
    const std::u16string where = quoted(prefix.substr(0, std::max<std::size_t>(prefix.rfind(u'/'), 1)));
    if (countFiles && static_cast<std::uint64_t>(newFiles) > room.f_ffree)
        throw RunError(u"输出目录" + where + u"所在的磁盘只能再容纳" + decimalText(static_cast<std::int64_t>(room.f_ffree)) +
                       u"个文件，而分割需要新建" + decimalText(newFiles) +
                       u"个分割文件，请加大每份分割文件的字数或大小，或清理磁盘");
    const std::uint64_t need = blocksNeeded(newFiles, there);
    if (countSpace && need > room.f_bavail) {
        auto kb = [&](std::uint64_t blocks, bool up) {
            const std::uint64_t amount = blocks * block;
            return decimalText(static_cast<std::int64_t>(up ? (amount + 1023) / 1024 : amount / 1024));
        };
        throw RunError(u"输出目录" + where + u"所在的磁盘空间不足：分割至少需要" + kb(need, true) + u"KB，只剩" +
                       kb(room.f_bavail, false) + u"KB，请清理磁盘或更换输出目录");
    }
    return quiet;
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
    FileSlot& slot = FileSlot::instance();
    slot.setQuietDevice(checkBeforeFirstPiece(folder, base, bytes, m, input));
    struct Unset {
        ~Unset() { FileSlot::instance().setQuietDevice(0); }
    } unset;

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
