#include "platform/drives.hpp"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>

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

// The mount table writes blanks and the like as \ooo.
QByteArray unescape(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
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

}  // namespace

QStringList mountedDrives()
{
    QStringList drives;
    QFile table(QStringLiteral("/proc/self/mounts"));
    if (table.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() < 3) continue;
            const QString point = fromFsName(unescape(fields[1]));
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
    const QString working = workingFolder();
    return driveOf(working) == drive ? working : drive;
}

void rememberFolder(const QString& drive, const QString& folder) { current().insert(drive, folder); }

void forgetFolder(const QString& drive) { current().remove(drive); }

}  // namespace ui
