#include "platform/drives.hpp"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "engine/mount_fields.hpp"
#include "engine/run_error.hpp"

#include "platform/file_names.hpp"

namespace ui {
namespace {

// File systems of the kernel and the system, never a user's drive.
const QSet<QByteArray> kPseudo = {
    "proc",   "sysfs",      "cgroup",  "cgroup2",    "devtmpfs",  "devpts",  "mqueue",
    "debugfs", "tracefs",   "securityfs", "pstore",  "bpf",       "configfs", "fusectl",
    "hugetlbfs", "autofs",  "binfmt_misc", "rpc_pipefs", "nsfs",  "efivarfs", "selinuxfs",
    "ramfs",  "fuse.gvfsd-fuse", "fuse.portal",
};

bool under(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool isUserDrive(const QByteArray& type, const QString& point)
{
    if (kPseudo.contains(type)) return false;
    for (const char* system : {"/proc", "/sys", "/dev"})
        if (under(point, QLatin1String(system))) return false;
    if (type == "tmpfs" && under(point, QStringLiteral("/run"))) return false;
    if (type == "squashfs" && under(point, QStringLiteral("/snap"))) return false;
    return true;
}

QSet<QString>& known()
{
    static QSet<QString> drives;
    return drives;
}

QHash<QString, QString>& current()
{
    static QHash<QString, QString> folders;
    return folders;
}

// The folder at an absolute path, looked up one name at a time, so that a
// path longer than the system takes can be looked at too; sets errno.
std::optional<struct stat> statFolder(const QByteArray& path)
{
    int fd = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {};
    for (const QByteArray& name : path.split('/')) {
        if (name.isEmpty()) continue;
        const int next = openat(fd, name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int err = errno;
        close(fd);
        errno = err;
        if (next < 0) return {};
        fd = next;
    }
    struct stat st {};
    const bool ok = fstat(fd, &st) == 0;
    const int err = errno;
    close(fd);
    errno = err;
    if (!ok) return {};
    return st;
}

bool sameFolder(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Absolute, without "." or "..": a name as the shell keeps it.
bool isPlainPath(const QByteArray& path)
{
    if (!path.startsWith('/')) return false;
    for (const QByteArray& name : path.split('/'))
        if (name == "." || name == "..") return false;
    return true;
}

std::optional<QByteArray> kernelName()
{
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.data());
}

// What the kernel shows for the working folder, " (deleted)" included.
QByteArray procName()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/cwd", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (size_t(n) < buffer.size()) return QByteArray(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

}  // namespace

WorkingFolder findWorkingFolder()
{
    WorkingFolder found{QStringLiteral("/"), {}, {}};
    struct stat here {};
    // "." needs search permission on the folder itself; the kernel's link does not.
    if (stat(".", &here) != 0 && stat("/proc/self/cwd", &here) != 0) {
        found.unknown = QString::fromStdU16String(engine::errnoText(errno));
        return found;
    }
    QList<QByteArray> names;
    if (const std::optional<QByteArray> name = kernelName()) names << *name;
    const QByteArray proc = procName();
    names << proc;
    if (const char* pwd = std::getenv("PWD")) names << QByteArray(pwd);
    for (const QByteArray& name : names) {
        if (!isPlainPath(name)) continue;
        const std::optional<struct stat> st = statFolder(name);
        if (st && sameFolder(*st, here)) {
            found.folder = fromFsName(name);
            return found;
        }
    }
    const QByteArray deleted = " (deleted)";
    if (here.st_nlink == 0 && proc.endsWith(deleted) && isPlainPath(proc.chopped(deleted.size()))) {
        QByteArray name = proc.chopped(deleted.size());
        found.gone = fromFsName(name);
        do {
            name = parentOf(name);
            const std::optional<struct stat> st = statFolder(name);
            if (st && S_ISDIR(st->st_mode)) break;
        } while (name != "/");
        found.folder = fromFsName(name);
        return found;
    }
    found.unknown = here.st_nlink == 0 ? QStringLiteral("它已被删除") : QStringLiteral("找不到它的完整路径");
    return found;
}

QStringList mountedDrives()
{
    QStringList drives;
    QFile table(QStringLiteral("/proc/self/mounts"));
    if (table.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() < 3) continue;
            const QString point =
                fromFsName(QByteArray::fromStdString(engine::unescapeMountField(fields[1].toStdString())));
            if (point != QLatin1String("/") && isUserDrive(fields[2], point) && !drives.contains(point))
                drives << point;
        }
    }
    std::sort(drives.begin(), drives.end());
    drives.prepend(QStringLiteral("/"));
    for (const QString& drive : drives) known().insert(drive);
    return drives;
}

bool isKnownDrive(const QString& text) { return known().contains(text); }

bool isOnDrive(const QString& folder, const QString& drive)
{
    return drive == QLatin1String("/") || under(folder, drive);
}

QString driveOf(const QString& folder)
{
    QString best = QStringLiteral("/");
    for (const QString& drive : mountedDrives())
        if (isOnDrive(folder, drive) && drive.size() > best.size()) best = drive;
    return best;
}

QString currentFolderOf(const QString& drive)
{
    const auto it = current().constFind(drive);
    if (it != current().constEnd()) return *it;
    const QString working = findWorkingFolder().folder;
    return driveOf(working) == drive ? working : drive;
}

void rememberFolder(const QString& drive, const QString& folder) { current().insert(drive, folder); }

void forgetFolder(const QString& drive) { current().remove(drive); }

}  // namespace ui
