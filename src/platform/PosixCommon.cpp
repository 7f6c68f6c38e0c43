#include "platform/PosixCommon.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform::posix {

const QSet<QByteArray>& virtualTypes() {
    static const QSet<QByteArray> types{
        "proc",       "sysfs",     "devtmpfs",  "devpts",      "cgroup",     "cgroup2",     "mqueue",
        "debugfs",    "tracefs",   "securityfs", "pstore",     "bpf",        "configfs",    "fusectl",
        "hugetlbfs",  "binfmt_misc", "efivarfs", "nsfs",       "selinuxfs",  "smackfs",     "rpc_pipefs",
        "devfs",      "usbfs",     "sockfs",    "pipefs",      "anon_inodefs", "fuse.lxcfs", "xenfs",
        "openpromfs", "kernfs",    "apparmorfs", "ipathfs"};
    return types;
}

// Enterable, but not a storage volume that gets a letter of its own. A
// read-only package image (squashfs) is no place to destroy files.
const QSet<QByteArray>& nonDriveTypes() {
    static const QSet<QByteArray> types{"tmpfs", "ramfs", "autofs", "squashfs", "fuse.portal",
                                        "fuse.gvfsd-fuse"};
    return types;
}

bool isNetworkType(const QByteArray& t) {
    static const QSet<QByteArray> types{"nfs",      "nfs4",       "cifs",     "smb3",  "smbfs",
                                        "sshfs",    "fuse.sshfs", "9p",       "afs",   "ncpfs",
                                        "ceph",     "glusterfs",  "fuse.glusterfs", "davfs", "fuse.rclone"};
    return types.contains(t);
}

bool isVirtualMagic(unsigned long magic) {
    switch (magic) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case HUGETLBFS_MAGIC:
    case BINFMTFS_MAGIC:
    case EFIVARFS_MAGIC:
    case NSFS_MAGIC:
    case 0x19800202: // mqueue
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
        return true;
    default:
        return false;
    }
}

QByteArray joinPath(const QByteArray& dir, const QByteArray& name) {
    if (dir.endsWith('/')) return dir + name;
    return dir + '/' + name;
}

// Component-wise: "/tmp/ab" is not within "/tmp/a".
bool isWithin(const QByteArray& path, const QByteArray& root) {
    if (root == "/") return path.startsWith('/');
    return path == root || (path.startsWith(root) && path.at(root.size()) == '/');
}

// Textual clean-up of an absolute path: no empty or "." components, ".."
// takes one back (never above the root). Empty when the path is relative.
QByteArray cleanNative(const QByteArray& path) {
    if (!path.startsWith('/')) return {};
    QList<QByteArray> parts;
    for (const QByteArray& c : path.split('/')) {
        if (c.isEmpty() || c == ".") continue;
        if (c == "..") {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts << c;
    }
    QByteArray out;
    for (const QByteArray& c : parts) out += '/' + c;
    return out.isEmpty() ? QByteArray("/") : out;
}

QByteArray realPath(const QByteArray& path) {
    char buf[PATH_MAX];
    if (::realpath(path.constData(), buf)) return QByteArray(buf);
    return cleanNative(path);
}

QDateTime localTime(qint64 sec, qint64 nsec) {
    return QDateTime::fromMSecsSinceEpoch(sec * 1000 + nsec / 1000000, Qt::LocalTime);
}

bool sameNameNoCase(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0 || a.toLower() == b.toLower();
}

// Like encodeName, but refuses a name that no file on the disk decodes to
// (a NUL, a lone surrogate, escaped bytes that form valid UTF-8): such a
// name would otherwise reach another file.
bool encodeStrict(const QString& name, QByteArray& out) {
    if (name.contains(QChar(0))) return false;
    out = Platform::encodeName(name);
    return Platform::decodeName(out) == name;
}

// The names of a folder sorted by their bytes, without "." and "..".
bool sortedNames(const QByteArray& dirPath, QList<QByteArray>& names) {
    const int fd = ::open(dirPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = sortedNamesAt(fd, names);
    ::close(fd);
    return ok;
}

bool sortedNamesAt(int dirFd, QList<QByteArray>& names) {
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names << QByteArray(e->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

QByteArray fdPath(int fd) { return "/proc/self/fd/" + QByteArray::number(fd); }

// mountinfo escapes blanks, tabs, newlines and backslashes as \ooo.
QByteArray unescapeOctal(const QByteArray& s) {
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            const char a = s[i + 1], b = s[i + 2], c = s[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += char((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

QVector<PosixPlatform::Mount> parseMountInfo(const QByteArray& text) {
    QVector<PosixPlatform::Mount> out;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 10) continue;
        const qsizetype sep = f.indexOf("-", 6);
        if (sep < 0 || sep + 2 >= f.size()) continue;
        const QList<QByteArray> mm = f[2].split(':');
        if (mm.size() != 2) continue;
        PosixPlatform::Mount m;
        m.dev = makedev(mm[0].toUInt(), mm[1].toUInt());
        m.mountPoint = unescapeOctal(f[4]);
        m.fsType = f[sep + 1];
        m.source = unescapeOctal(f[sep + 2]);
        out << m;
    }
    return out;
}

bool readAllFd(int fd, QByteArray& out, qint64 limit) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        out.append(buf, n);
        if (out.size() > limit) {
            errno = EFBIG;
            return false;
        }
    }
}

// "0x" and hex digits; a trailing NUL is tolerated.
int parseDosAttrib(const char* buf, ssize_t n) {
    if (n <= 0) return 0;
    QByteArray v(buf, n);
    while (v.endsWith('\0')) v.chop(1);
    if (!v.startsWith("0x") && !v.startsWith("0X")) return 0;
    bool ok = false;
    const uint bits = v.mid(2).toUInt(&ok, 16);
    return ok ? int(bits) : 0;
}

QByteArray baseName(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString readSmallFile(const QByteArray& path) {
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.read(64)).trimmed();
}

// /dev/disk/by-label names escape unsafe bytes as \xHH.
QString unescapeLabel(const QByteArray& s) {
    QByteArray out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
            bool ok = false;
            const int v = s.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out += char(v);
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return QString::fromUtf8(out);
}

} // namespace platform::posix
