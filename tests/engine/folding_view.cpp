#define FUSE_USE_VERSION 31
#include "folding_view.hpp"

#include "support.hpp"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <fuse_lowlevel.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <algorithm>
#include <map>
#include <csignal>
#include <new>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unistd.h>

namespace testing_support {
namespace {

struct View {
    std::string real;
    ViewFaults* faults;
    std::map<uint64_t, std::string> opened;  // names of the files open now
};

View& view() { return *static_cast<View*>(fuse_get_context()->private_data); }

// Canonical caseless matching: NFD(fold(NFD(name))).
std::string folded(const std::string& name)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString s = nfd->normalize(icu::UnicodeString::fromUTF8(name), status);
    s.foldCase(U_FOLD_CASE_DEFAULT);
    s = nfd->normalize(s, status);
    std::string out;
    return s.toUTF8String(out);
}

// A removed file that is still open has no path left.
std::string leafOf(const char* path)
{
    if (!path) return {};
    const std::string p(path);
    return p.substr(p.rfind('/') + 1);
}

// The real file a name of the view's one folder stands for: the entry whose
// folded name is the same, or the name itself when there is none.
std::string realPath(const char* path)
{
    const View& v = view();
    if (std::strcmp(path, "/") == 0) return v.real;
    const std::string leaf = leafOf(path);
    const std::string key = folded(leaf);
    if (DIR* d = ::opendir(v.real.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (folded(e->d_name) == key) {
                const std::string found = v.real + "/" + e->d_name;
                ::closedir(d);
                return found;
            }
        }
        ::closedir(d);
    }
    return v.real + "/" + leaf;
}

int fail() { return -errno; }

void* init(fuse_conn_info*, fuse_config* cfg)
{
    cfg->use_ino = 1;
    cfg->readdir_ino = 1;
    cfg->entry_timeout = cfg->attr_timeout = cfg->negative_timeout = 0;
    cfg->direct_io = 1;
    cfg->hard_remove = 1;  // an open file is removed at once, not hidden
    return fuse_get_context()->private_data;
}

int getattr(const char* path, struct stat* st, fuse_file_info* fi)
{
    // A status asked for while the file is open (the kernel does not say
    // through which descriptor) fails.
    const ViewFaults* f = view().faults;
    if (f && f->statError != 0 && leafOf(path) == std::string(f->failStatOf) && std::ranges::any_of(view().opened, [&](const auto& o) { return o.second == std::string(f->failStatOf); }))
        return -f->statError;
    const int r = fi ? ::fstat(static_cast<int>(fi->fh), st) : ::lstat(realPath(path).c_str(), st);
    return r == 0 ? 0 : fail();
}

int readlink(const char* path, char* buf, size_t size)
{
    const ssize_t n = ::readlink(realPath(path).c_str(), buf, size - 1);
    if (n < 0) return fail();
    buf[n] = '\0';
    return 0;
}

int readdir(const char*, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    DIR* d = ::opendir(view().real.c_str());
    if (!d) return fail();
    while (const dirent* e = ::readdir(d)) {
        struct stat st {};
        st.st_ino = e->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(e->d_type));
        fill(buf, e->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    ::closedir(d);
    return 0;
}

int open(const char* path, fuse_file_info* fi)
{
    const int fd = ::open(realPath(path).c_str(), fi->flags & ~O_NONBLOCK);
    if (fd < 0) return fail();
    fi->fh = static_cast<uint64_t>(fd);
    view().opened[fi->fh] = leafOf(path);
    return 0;
}

int create(const char* path, mode_t mode, fuse_file_info* fi)
{
    const int fd = ::open(realPath(path).c_str(), fi->flags | O_CREAT, mode);
    if (fd < 0) return fail();
    fi->fh = static_cast<uint64_t>(fd);
    view().opened[fi->fh] = leafOf(path);
    return 0;
}

int read(const char*, char* buf, size_t size, off_t at, fuse_file_info* fi)
{
    const ssize_t n = ::pread(static_cast<int>(fi->fh), buf, size, at);
    return n < 0 ? fail() : static_cast<int>(n);
}

int write(const char*, const char* buf, size_t size, off_t at, fuse_file_info* fi)
{
    const ssize_t n = ::pwrite(static_cast<int>(fi->fh), buf, size, at);
    return n < 0 ? fail() : static_cast<int>(n);
}

int flush(const char* path, fuse_file_info*)
{
    const ViewFaults* f = view().faults;
    return f && f->closeError != 0 && leafOf(path) == std::string(f->failCloseOf) ? -f->closeError : 0;
}

int release(const char*, fuse_file_info* fi)
{
    view().opened.erase(fi->fh);
    return ::close(static_cast<int>(fi->fh)) == 0 ? 0 : fail();
}

int truncate(const char* path, off_t size, fuse_file_info* fi)
{
    const int r = fi ? ::ftruncate(static_cast<int>(fi->fh), size) : ::truncate(realPath(path).c_str(), size);
    return r == 0 ? 0 : fail();
}

int utimens(const char* path, const timespec tv[2], fuse_file_info* fi)
{
    const int r = fi ? ::futimens(static_cast<int>(fi->fh), tv)
                     : ::utimensat(AT_FDCWD, realPath(path).c_str(), tv, AT_SYMLINK_NOFOLLOW);
    return r == 0 ? 0 : fail();
}

int unlink(const char* path) { return ::unlink(realPath(path).c_str()) == 0 ? 0 : fail(); }

int statfs(const char*, struct statvfs* st) { return ::statvfs(view().real.c_str(), st) == 0 ? 0 : fail(); }

}  // namespace

std::string mountFoldingView(const std::filesystem::path& real, const std::filesystem::path& view,
                             ViewFaults** faults)
{
    // The device is the kernel's door to user-space file systems: root's only, here.
    const int dev = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (dev < 0) return std::string("no access to /dev/fuse: ") + std::strerror(errno);
    ::close(dev);
    static fuse_operations ops{};
    ops.init = init;
    ops.getattr = getattr;
    ops.readlink = readlink;
    ops.readdir = readdir;
    ops.open = open;
    ops.create = create;
    ops.read = read;
    ops.write = write;
    ops.flush = flush;
    ops.release = release;
    ops.truncate = truncate;
    ops.utimens = utimens;
    ops.unlink = unlink;
    ops.statfs = statfs;
    void* shared = ::mmap(nullptr, sizeof(ViewFaults), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) return "no shared memory";
    auto* state = new View{real.string(), new (shared) ViewFaults, {}};
    if (faults) *faults = state->faults;
    char name[] = "folding-view";
    char* argv[] = {name, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, argv);
    fuse* f = fuse_new(&args, &ops, sizeof ops, state);
    if (!f) return "fuse_new failed";
    if (fuse_mount(f, view.c_str()) != 0) return "mounting a user-space file system is not allowed here";
    const pid_t caller = ::getpid();
    const pid_t server = ::fork();
    if (server < 0) return "no process to serve the view";
    if (server == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() == caller) fuse_loop(f);
        ::_exit(0);
    }
    // Only the server holds the connection: when it ends, the view fails
    // every call instead of hanging it.
    ::close(fuse_session_fd(fuse_get_session(f)));
    return {};
}

std::string inChildProcess(const std::function<std::string()>& body, bool ownMounts)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "SKIP: no pipe";
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string out;
        auto put = [](const char* file, const std::string& text) {
            const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
            const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            if (fd >= 0) ::close(fd);
            return ok;
        };
        if (!ownMounts) {
            out = body();
        } else if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            out = std::string("SKIP: no user and mount namespace for this user: ") + std::strerror(errno);
        } else if (!put("/proc/self/setgroups", "deny") ||
                   !put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                   !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1") ||
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            out = std::string("SKIP: the namespace cannot be set up: ") + std::strerror(errno);
        } else {
            out = body();
        }
        const bool ok = ::write(pipeFds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        ::_exit(ok ? 0 : 2);
    }
    ::close(pipeFds[1]);
    std::string got = readAllAndClose(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) got += "\nchild ended with status " + std::to_string(status);
    return got;
}

}  // namespace testing_support
