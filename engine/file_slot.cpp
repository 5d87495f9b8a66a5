#include "file_slot.hpp"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

// Removes the file that fd, created by this run, is open on, under the name
// that leads to it: the name itself, or the file at the end of the links
// that the name has become. Only a name that is that very file (device and
// inode, the last step not followed) is removed, never what a link points to.
void removeCreated(int fd, const std::string& path)
{
    struct stat own {};
    if (::fstat(fd, &own) != 0) return;
    std::string name = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::fstatat(AT_FDCWD, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
        if (st.st_dev == own.st_dev && st.st_ino == own.st_ino) {
            ::unlink(name.c_str());
            return;
        }
        if (!S_ISLNK(st.st_mode)) return;
        char target[PATH_MAX];
        const ssize_t len = ::readlink(name.c_str(), target, sizeof target);
        if (len <= 0 || static_cast<std::size_t>(len) == sizeof target) return;
        const std::string to(target, static_cast<std::size_t>(len));
        const std::size_t slash = name.rfind('/');
        name = to[0] == '/' || slash == std::string::npos ? to : name.substr(0, slash + 1) + to;
    }
}

}  // namespace

FileSlot& FileSlot::instance()
{
    static FileSlot slot;
    return slot;
}

void FileSlot::take(int fd, const std::string& path, const struct stat& st)
{
    fd_ = fd;
    path_ = path;
    length_ = st.st_size;
    id_ = {st.st_dev, st.st_ino};
    times_[0] = st.st_atim;
    times_[1] = st.st_mtim;
}

void FileSlot::forget() noexcept
{
    fd_ = -1;
    path_.clear();
    length_ = 0;
    id_ = {};
    appending_ = created_ = regular_ = spareForClose_ = false;
}

int FileSlot::openForInput(const std::string& path)
{
    if (isOpen()) throw std::logic_error("file slot already in use");
    // O_NONBLOCK keeps a FIFO from hanging the open; it means nothing for files.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat st {};
    // A status that cannot be read is named by its own error.
    const int err = ::fstat(fd, &st) != 0 ? errno
                    : S_ISDIR(st.st_mode)  ? EISDIR
                    : !S_ISREG(st.st_mode) ? ENODEV
                                           : 0;
    if (err != 0) {
        ::close(fd);
        return err;
    }
    take(fd, path, st);
    return 0;
}

int FileSlot::openForAppend(const std::string& path)
{
    if (isOpen()) throw std::logic_error("file slot already in use");
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY;
    // Knowing whether the file was there lets a failed piece be put back.
    // A new file is the common case and costs the one open.
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
        fd_ = fd;
        path_ = path;
        appending_ = created_ = regular_ = true;
        spareForClose_ = quietDevice_ == 0;
        return 0;
    }
    bool created = false;
    for (int attempt = 0; fd < 0; ++attempt) {
        if (errno != EEXIST) return errno;
        fd = ::open(path.c_str(), kFlags | O_NONBLOCK);
        if (fd >= 0) break;
        if (errno != ENOENT) return errno;
        // A link to nowhere: create its target, as appending would.
        struct stat lst {};
        if (attempt > 2 || (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode))) {
            fd = ::open(path.c_str(), kFlags | O_CREAT, 0666);
            if (fd < 0) return errno;
            created = true;
            break;
        }
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        created = fd >= 0;
    }
    struct stat st {};
    // Without O_NONBLOCK again, writes to a regular file are whole.
    const int err = ::fstat(fd, &st) != 0                                    ? errno
                    : S_ISREG(st.st_mode) && ::fcntl(fd, F_SETFL, O_APPEND) != 0 ? errno
                                                                              : 0;
    // The target of a link to nowhere may have come into being since the
    // look: one with content was not created here and must stay.
    if (created && err == 0 && st.st_size > 0) created = false;
    if (err != 0) {
        if (created) removeCreated(fd, path);
        ::close(fd);
        return err;
    }
    take(fd, path, st);
    appending_ = true;
    created_ = created;
    regular_ = S_ISREG(st.st_mode);
    spareForClose_ = quietDevice_ == 0 || st.st_dev != quietDevice_;
    return 0;
}

int FileSlot::read(char* into, std::size_t count, std::size_t* got)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t r = ::pread(fd_, into + done, std::min<std::size_t>(count - done, 1u << 30),
                                  static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR) continue;
            *got = done;
            return errno;
        }
        if (r == 0) break;  // the file got shorter since its length was taken
        done += static_cast<std::size_t>(r);
    }
    *got = done;
    return 0;
}

int FileSlot::write(std::string_view data)
{
    while (!data.empty()) {
        const ssize_t w = ::write(fd_, data.data(), std::min<std::size_t>(data.size(), 1u << 30));
        if (w < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (w == 0) return EIO;
        data.remove_prefix(static_cast<std::size_t>(w));
    }
    return 0;
}


void FileSlot::putBack(int fd) noexcept
{
    if (created_) {
        removeCreated(fd, path_);
    } else if (regular_) {
        (void)::ftruncate(fd, length_);
        // Times too: a piece put back was not written. Only its owner may
        // set them, so for anyone else they stay as the truncate left them.
        (void)::futimens(fd, times_);
    }
}

void FileSlot::undoAppend() noexcept
{
    if (!isOpen()) return;
    if (appending_) putBack(fd_);
    ::close(fd_);
    forget();
}

int FileSlot::close()
{
    if (!isOpen()) return 0;
    // Closing may report that written data was lost (a network or user-space
    // file system flushes then); a second descriptor keeps the file at hand
    // to put it back through.
    const int spare = appending_ && spareForClose_ ? ::fcntl(fd_, F_DUPFD_CLOEXEC, 0) : -1;
    if (::close(fd_) == 0 || errno == EINTR) {
        if (spare >= 0) ::close(spare);
        forget();
        return 0;
    }
    const int err = errno;
    if (spare >= 0) {
        putBack(spare);
        ::close(spare);
    }
    forget();
    return err;
}

WriteSignalGuard::WriteSignalGuard()
{
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGXFSZ);
    sigaddset(&held, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &held, &before_);
}

WriteSignalGuard::~WriteSignalGuard()
{
    // Take back what our writes raised, so that unblocking does not deliver
    // it; a signal that was held before is left to whoever held it.
    for (const int sig : {SIGXFSZ, SIGPIPE}) {
        sigset_t pending;
        if (sigismember(&before_, sig) || ::sigpending(&pending) != 0 || !sigismember(&pending, sig)) continue;
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, sig);
        const timespec now{};
        while (::sigtimedwait(&one, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

void FileSlot::closeQuietly() noexcept
{
    if (!isOpen()) return;
    ::close(fd_);
    forget();
}

}  // namespace engine
