#pragma once
// The engine's one file slot: at most one file is open at any time, and each
// is closed before the next is opened. Paths are file system spellings.
// Every operation that can fail returns 0 or a system error number.
#include <csignal>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace engine {

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId&) const = default;
};

class FileSlot {
public:
    FileSlot(const FileSlot&) = delete;
    FileSlot& operator=(const FileSlot&) = delete;

    static FileSlot& instance();

    bool isOpen() const { return fd_ >= 0; }

    // An existing regular file, for reading: EISDIR for a folder, ENODEV for
    // anything else that is not a regular file.
    int openForInput(const std::string& path);
    // For appending after the file's content; created when missing.
    int openForAppend(const std::string& path);

    // Of the file as it was opened. id() stays empty, equal to no file, for
    // one that openForAppend has just created exclusively: it is new.
    std::int64_t length() const { return length_; }
    FileId id() const { return id_; }

    // Reads up to count bytes from the file's start; *got tells how many.
    int read(char* into, std::size_t count, std::size_t* got);
    int write(std::string_view data);

    // Files on this device (0: none) are on a local file system whose close
    // reports no lost data, so closing them needs no spare descriptor; a file
    // that openForAppend creates is taken to lie there too, the caller
    // having looked at the folder it is created in.
    void setQuietDevice(dev_t dev) { quietDevice_ = dev; }

    // Puts an appended file back as it was before it was opened (its old
    // length, or no file when it was created) and frees the slot.
    void undoAppend() noexcept;
    // Frees the slot. When closing an appended file fails, its data may be
    // lost, so the file is put back as it was and the error returned.
    int close();
    void closeQuietly() noexcept;

private:
    FileSlot() = default;
    void take(int fd, const std::string& path, const struct stat& st);
    void forget() noexcept;
    void putBack(int fd) noexcept;

    int fd_ = -1;
    std::string path_;
    std::int64_t length_ = 0;
    FileId id_{};
    timespec times_[2]{};  // access and modification, as opened
    bool appending_ = false;
    bool created_ = false;
    bool regular_ = false;
    bool spareForClose_ = false;
    dev_t quietDevice_ = 0;
};

// While it lives, a write past the file size limit or into a pipe that no
// one reads fails with EFBIG or EPIPE, for this thread, instead of ending the
// program by its signal.
class WriteSignalGuard {
public:
    WriteSignalGuard();
    WriteSignalGuard(const WriteSignalGuard&) = delete;
    WriteSignalGuard& operator=(const WriteSignalGuard&) = delete;
    ~WriteSignalGuard();

private:
    sigset_t before_;
};

// Frees the slot when a scope is left early.
class SlotGuard {
public:
    SlotGuard() = default;
    SlotGuard(const SlotGuard&) = delete;
    SlotGuard& operator=(const SlotGuard&) = delete;
    ~SlotGuard() { FileSlot::instance().closeQuietly(); }
};

}  // namespace engine
