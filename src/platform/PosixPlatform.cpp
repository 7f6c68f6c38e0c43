#include "platform/PosixPlatform.h"

#include "morvik.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QTime>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/uio.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

const char kDosAttrib[] = "user.DOSATTRIB";
constexpr int kXattrBits = AttrHidden | AttrSystem | AttrArchive;
constexpr qint64 kMaxTextFile = 16 * 1024 * 1024;

// File systems that hold no user data: never entered, never a drive.
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
    DIR* dir = ::opendir(dirPath.constData());
    if (!dir) return false;
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names << QByteArray(e->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

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

int readDosAttrib(const char* path) {
    char buf[64];
    return parseDosAttrib(buf, ::lgetxattr(path, kDosAttrib, buf, sizeof buf - 1));
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

} // namespace

PosixPlatform::PosixPlatform() = default;

PosixPlatform::~PosixPlatform() {
    if (mountInfoFd_ >= 0) ::close(mountInfoFd_);
}

// ---- Drive map -----------------------------------------------------------

void PosixPlatform::mapDrive(QChar letter, const QString& nativeRoot, const QString& label) {
    const QChar l = letter.toUpper();
    if (l < QLatin1Char('A') || l > QLatin1Char('Z') || nativeRoot.isEmpty()) return;
    QByteArray root = encodeName(nativeRoot);
    if (!root.startsWith('/')) root = QFile::encodeName(QDir::currentPath()) + '/' + root;
    root = cleanNative(root);
    Drive d;
    d.info.letter = l;
    d.info.root = decodeName(root);
    d.info.label = label;
    d.root = root;
    drives_.insert(l, d);
}

void PosixPlatform::unmapDrive(QChar letter) { drives_.remove(letter.toUpper()); }

void PosixPlatform::clearDriveMap() { drives_.clear(); }

QList<DriveInfo> PosixPlatform::drives() const {
    QList<DriveInfo> out;
    for (const Drive& d : drives_) out << d.info;
    return out;
}

const PosixPlatform::Drive* PosixPlatform::drive(QChar letter) const {
    auto it = drives_.constFind(letter.toUpper());
    return it == drives_.constEnd() ? nullptr : &*it;
}

// Next to the per-user values that QSettings keeps for "Quorlane Works":
// ~/.config/Quorlane Works/drives.ini.
QString PosixPlatform::driveMapFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quorlane Works/drives.ini");
}

// One drive a line: "D = /media/usb ; Label" (the letter may carry its
// colon; the label after ";" is optional). Blank lines, lines starting with
// "#", ";" or "[" and lines that cannot be read are skipped; the folder must
// be absolute.
QList<DriveInfo> PosixPlatform::parseDriveMap(const QByteArray& text) {
    QList<DriveInfo> out;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#') || line.startsWith(';') || line.startsWith('[')) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        QByteArray key = line.left(eq).trimmed();
        if (key.endsWith(':')) key.chop(1);
        if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0]))) continue;
        QByteArray value = line.mid(eq + 1);
        QString label;
        const qsizetype semi = value.indexOf(';');
        if (semi >= 0) {
            label = QString::fromUtf8(value.mid(semi + 1).trimmed());
            value = value.left(semi);
        }
        value = value.trimmed();
        if (!value.startsWith('/')) continue;
        DriveInfo d;
        d.letter = QChar(key[0]).toUpper();
        d.root = decodeName(cleanNative(value));
        d.label = label;
        out << d;
    }
    return out;
}

void PosixPlatform::loadDefaultDriveMap() {
    clearDriveMap();
    QFile f(driveMapFile());
    if (f.open(QIODevice::ReadOnly)) {
        for (const DriveInfo& d : parseDriveMap(f.read(1 << 20))) mapDrive(d.letter, d.root, d.label);
        // A file without one usable line would leave no drive at all.
        if (!drives_.isEmpty()) return;
    }
    mapDrive(QLatin1Char('C'), QStringLiteral("/"));
    QList<QByteArray> points;
    QSet<QByteArray> seen{"/"};
    for (const Mount& m : mounts()) {
        if (virtualTypes().contains(m.fsType) || nonDriveTypes().contains(m.fsType)) continue;
        if (seen.contains(m.mountPoint)) continue;
        struct stat st {};
        if (::stat(m.mountPoint.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) continue; // file bind mounts
        seen.insert(m.mountPoint);
        points << m.mountPoint;
    }
    std::sort(points.begin(), points.end());
    char letter = 'D';
    for (const QByteArray& p : points) {
        if (letter > 'Z') break;
        mapDrive(QLatin1Char(letter++), decodeName(p));
    }
}

// ---- Paths ---------------------------------------------------------------

bool PosixPlatform::resolve(const QString& drivePath, QByteArray& native, QString* resolved, bool search) const {
    native.clear();
    if (drivePath.size() < 2 || drivePath.at(1) != QLatin1Char(':')) return false;
    const Drive* d = drive(drivePath.at(0));
    if (!d) return false;
    QString rest = drivePath.mid(2);
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));

    struct Level {
        QByteArray native;
        QString shown;
        bool exists;
    };
    QList<Level> levels;
    for (const QString& comp : rest.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (comp == QLatin1String(".")) continue;
        if (comp == QLatin1String("..")) { // never above the drive's root
            if (!levels.isEmpty()) levels.removeLast();
            continue;
        }
        QByteArray enc;
        if (!encodeStrict(comp, enc)) return false;
        QByteArray dir = d->root;
        for (const Level& l : levels) dir = joinPath(dir, l.native);
        const bool parentExists = levels.isEmpty() || levels.last().exists;
        Level level{enc, comp, false};
        if (search && parentExists) {
            struct stat st {};
            if (::lstat(joinPath(dir, enc).constData(), &st) == 0) {
                level.exists = true;
            } else if (errno == ENOENT) {
                QList<QByteArray> names;
                if (sortedNames(dir, names)) {
                    for (const QByteArray& n : names) {
                        const QString dn = decodeName(n);
                        if (sameNameNoCase(dn, comp)) {
                            level = {n, dn, true};
                            break;
                        }
                    }
                }
            }
        }
        levels << level;
    }
    native = d->root;
    for (const Level& l : levels) native = joinPath(native, l.native);
    if (resolved) {
        QString s = QString(d->info.letter) + QLatin1Char(':');
        for (const Level& l : levels) s += QLatin1Char('\\') + l.shown;
        if (levels.isEmpty()) s += QLatin1Char('\\');
        *resolved = s;
    }
    return true;
}

bool PosixPlatform::lstatPath(const QString& drivePath, QByteArray& native, struct stat& st) const {
    if (!resolve(drivePath, native, nullptr, false) || native.isEmpty()) {
        native.clear();
        errno = ENOENT;
        return false;
    }
    if (::lstat(native.constData(), &st) == 0) return true;
    const int error = errno;
    if (error != ENOENT && error != ENOTDIR) return false;
    // Spelled in another case than on the disk.
    const QByteArray found = toNative(drivePath);
    if (found.isEmpty() || found == native) {
        errno = error;
        return false;
    }
    native = found;
    return ::lstat(native.constData(), &st) == 0;
}

QByteArray PosixPlatform::toNative(const QString& drivePath) const {
    QByteArray native;
    return resolve(drivePath, native, nullptr) ? native : QByteArray();
}

QString PosixPlatform::toDrivePath(const QByteArray& nativePath) const {
    const QByteArray path = cleanNative(nativePath);
    if (path.isEmpty()) return {};
    const Drive* best = nullptr;
    for (const Drive& d : drives_) {
        if (isWithin(path, d.root) && (!best || d.root.size() > best->root.size())) best = &d;
    }
    if (!best) return {};
    QByteArray rel = best->root == "/" ? path.mid(1) : path.mid(best->root.size() + 1);
    const QString relName = decodeName(rel);
    if (relName.contains(QLatin1Char('\\'))) return {}; // a native name with a backslash has no drive path
    QString out = QString(best->info.letter) + QStringLiteral(":\\") + relName;
    out.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return out;
}

// ---- Mount table -----------------------------------------------------------

// The table is read again only when the kernel reports a change (POLLPRI on
// the open mountinfo file), so a check per folder costs one poll.
const QVector<PosixPlatform::Mount>& PosixPlatform::mounts() const {
    bool reread = false;
    if (!mountsRead_) {
        mountsRead_ = true;
        mountInfoFd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
        reread = true;
    } else if (mountInfoFd_ >= 0) {
        pollfd p{mountInfoFd_, POLLPRI, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLPRI | POLLERR))) reread = true;
    }
    if (reread && mountInfoFd_ >= 0) {
        QByteArray text;
        if (::lseek(mountInfoFd_, 0, SEEK_SET) == 0 && readAllFd(mountInfoFd_, text, 64 << 20))
            mounts_ = parseMountInfo(text);
    }
    return mounts_;
}

const PosixPlatform::Mount* PosixPlatform::mountOf(const QByteArray& nativePath) const {
    const QByteArray path = realPath(nativePath);
    const Mount* best = nullptr;
    for (const Mount& m : mounts()) {
        if (isWithin(path, m.mountPoint) && (!best || m.mountPoint.size() >= best->mountPoint.size())) best = &m;
    }
    return best;
}

bool PosixPlatform::isVirtualDev(dev_t dev) const {
    for (const Mount& m : mounts())
        if (m.dev == dev && virtualTypes().contains(m.fsType)) return true;
    return false;
}

// ---- Drive facts -----------------------------------------------------------

bool PosixPlatform::diskSpace(QChar letter, DiskSpace& space) const {
    const Drive* d = drive(letter);
    if (!d) return false;
    struct statvfs v {};
    if (::statvfs(d->root.constData(), &v) != 0) return false;
    const qint64 unit = v.f_frsize ? qint64(v.f_frsize) : qint64(v.f_bsize);
    space.clusterSize = unit;
    space.freeClusters = qint64(v.f_bavail); // as the caller may use them, quotas and reserve included
    space.freeBytes = double(v.f_bfree) * double(unit);
    space.freeToCaller = double(v.f_bavail) * double(unit);
    space.totalBytes = double(v.f_blocks) * double(unit);
    return true;
}

DriveKind PosixPlatform::driveKind(QChar letter) const {
    const Drive* d = drive(letter);
    if (!d) return DriveKind::NoRoot;
    struct stat st {};
    if (::stat(d->root.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return DriveKind::NoRoot;
    const Mount* m = mountOf(d->root);
    if (!m) {
        struct statfs sf {};
        if (::statfs(d->root.constData(), &sf) != 0) return DriveKind::Unknown;
        if (sf.f_type == TMPFS_MAGIC || sf.f_type == RAMFS_MAGIC) return DriveKind::RamDisk;
        if (sf.f_type == NFS_SUPER_MAGIC || sf.f_type == SMB_SUPER_MAGIC) return DriveKind::Network;
        if (sf.f_type == ISOFS_SUPER_MAGIC) return DriveKind::CdRom;
        return isVirtualMagic(sf.f_type) ? DriveKind::Unknown : DriveKind::Fixed;
    }
    const QByteArray& t = m->fsType;
    if (virtualTypes().contains(t)) return DriveKind::Unknown;
    if (t == "iso9660" || t == "udf") return DriveKind::CdRom;
    if (t == "tmpfs" || t == "ramfs") return DriveKind::RamDisk;
    if (isNetworkType(t)) return DriveKind::Network;
    dev_t dev = m->dev;
    struct stat src {};
    if (m->source.startsWith("/dev/") && ::stat(m->source.constData(), &src) == 0 && S_ISBLK(src.st_mode))
        dev = src.st_rdev;
    if (major(dev) != 0) {
        const QByteArray sys = "/sys/dev/block/" + QByteArray::number(major(dev)) + ':' +
                               QByteArray::number(minor(dev));
        QString removable = readSmallFile(sys + "/removable");
        if (removable.isEmpty()) removable = readSmallFile(sys + "/../removable"); // a partition
        if (removable == QLatin1String("1")) return DriveKind::Removable;
    }
    return DriveKind::Fixed;
}

QString PosixPlatform::volumeLabel(QChar letter) const {
    const Drive* d = drive(letter);
    if (!d) return {};
    if (!d->info.label.isEmpty()) return d->info.label;
    const Mount* m = mountOf(d->root);
    if (!m) return {};
    struct stat src {};
    if (!m->source.startsWith("/dev/") || ::stat(m->source.constData(), &src) != 0 || !S_ISBLK(src.st_mode))
        return {};
    const QByteArray byLabel = "/dev/disk/by-label";
    QList<QByteArray> names;
    if (!sortedNames(byLabel, names)) return {};
    for (const QByteArray& n : names) {
        struct stat st {};
        if (::stat(joinPath(byLabel, n).constData(), &st) == 0 && S_ISBLK(st.st_mode) && st.st_rdev == src.st_rdev)
            return unescapeLabel(n);
    }
    return {};
}

// ---- Recycle Bin -------------------------------------------------------------

QByteArray PosixPlatform::homeTrash() const {
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) {
        QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/')) {
            if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
        }
        if (!home.startsWith('/')) return {};
        data = home + "/.local/share";
    }
    return cleanNative(data + "/Trash");
}

// A trash folder counts for a drive only where the drive can reach it: the
// bin of a drive never reaches outside the drive's own folder.
bool PosixPlatform::trashWithinDrive(const Drive& d, const QByteArray& trash, QString& out) const {
    const QByteArray root = realPath(d.root);
    const QByteArray t = realPath(trash);
    if (!isWithin(t, root)) return false;
    const QByteArray rel = root == "/" ? t.mid(1) : t.mid(root.size() + 1);
    QString s = QString(d.info.letter) + QStringLiteral(":\\") + decodeName(rel);
    s.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!s.endsWith(QLatin1Char('\\'))) s += QLatin1Char('\\');
    out = s;
    return true;
}

QString PosixPlatform::recycleBinFolder(QChar letter) const {
    const Drive* d = drive(letter);
    if (!d) return {};
    const QString bin = QStringLiteral("$RECYCLE.BIN");
    QList<QByteArray> names;
    if (sortedNames(d->root, names)) {
        QByteArray found;
        for (const QByteArray& n : names) {
            struct stat st {};
            if (!sameNameNoCase(decodeName(n), bin)) continue;
            if (::lstat(joinPath(d->root, n).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
            if (n == "$RECYCLE.BIN") {
                found = n;
                break;
            }
            if (found.isEmpty()) found = n;
        }
        if (!found.isEmpty()) return QString(d->info.letter) + QStringLiteral(":\\") + decodeName(found) + '\\';
    }
    struct stat rs {};
    if (::stat(d->root.constData(), &rs) != 0) return {};
    QString out;
    struct stat st {};
    const QByteArray home = homeTrash();
    if (!home.isEmpty() && ::lstat(home.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == rs.st_dev &&
        trashWithinDrive(*d, home, out))
        return out;
    const Mount* m = mountOf(d->root);
    if (!m) return {};
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray own = joinPath(m->mountPoint, ".Trash-" + uid);
    if (::lstat(own.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == rs.st_dev &&
        trashWithinDrive(*d, own, out))
        return out;
    // The shared ".Trash" counts only as the freedesktop rules allow: a real,
    // sticky folder.
    const QByteArray shared = joinPath(m->mountPoint, ".Trash");
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QByteArray mine = joinPath(shared, uid);
        if (::lstat(mine.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == rs.st_dev &&
            trashWithinDrive(*d, mine, out))
            return out;
    }
    return {};
}

bool PosixPlatform::isInRecycleBin(const QString& drivePath) const {
    if (drivePath.toUpper().contains(QStringLiteral("$RECYCLE.BIN"))) return true;
    const QByteArray native = toNative(drivePath);
    if (native.isEmpty()) return false;
    const QByteArray path = realPath(native);
    const QByteArray home = homeTrash();
    if (!home.isEmpty() && isWithin(path, realPath(home))) return true;
    const QByteArray uid = QByteArray::number(::getuid());
    for (const Mount& m : mounts()) {
        if (!isWithin(path, m.mountPoint)) continue;
        if (isWithin(path, joinPath(m.mountPoint, ".Trash-" + uid)) ||
            isWithin(path, joinPath(m.mountPoint, ".Trash/" + uid)))
            return true;
    }
    return false;
}

// ---- Files and folders ---------------------------------------------------------

bool PosixPlatform::listFolder(const QString& folder, Listing& out, int& error) {
    out = Listing();
    error = 0;
    QByteArray native;
    QString resolved;
    if (!resolve(folder, native, &resolved)) {
        error = ENOENT;
        return false;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat dst {};
    struct statfs sf {};
    if (::fstat(fd, &dst) != 0 || ::fstatfs(fd, &sf) != 0) {
        error = errno;
        ::close(fd);
        return false;
    }
    if (isVirtualMagic(sf.f_type) || isVirtualDev(dst.st_dev)) {
        ::close(fd);
        error = EPERM;
        return false;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        error = errno;
        ::close(fd);
        return false;
    }
    struct Item {
        QByteArray name;
        struct stat st;
    };
    std::vector<Item> files, folders;
    for (;;) {
        errno = 0;
        dirent* e = ::readdir(dir);
        if (!e) {
            if (errno != 0) {
                error = errno;
                ::closedir(dir);
                return false;
            }
            break;
        }
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) { // gone meanwhile?
            if (errno != ENOENT) ++out.others;
            continue;
        }
        if (S_ISREG(st.st_mode)) {
            files.push_back({QByteArray(e->d_name), st});
        } else if (S_ISDIR(st.st_mode)) {
            if (st.st_dev != dst.st_dev) { // a mount point: keep virtual ones out of sight
                if (isVirtualDev(st.st_dev)) {
                    ++out.others;
                    continue;
                }
                const int sub = ::openat(::dirfd(dir), e->d_name, O_PATH | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC);
                if (sub < 0) {
                    ++out.others;
                    continue;
                }
                struct statfs ssf {};
                const bool isVirtual = ::fstatfs(sub, &ssf) != 0 || isVirtualMagic(ssf.f_type);
                ::close(sub);
                if (isVirtual) {
                    ++out.others;
                    continue;
                }
            }
            folders.push_back({QByteArray(e->d_name), st});
        } else {
            ++out.others;
        }
    }
    ::closedir(dir);
    const auto byName = [](const Item& a, const Item& b) { return a.name < b.name; };
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);
    QString prefix = resolved;
    if (!prefix.endsWith(QLatin1Char('\\'))) prefix += QLatin1Char('\\');
    const auto fill = [&](const std::vector<Item>& items, QList<Entry>& list, bool isFile) {
        list.reserve(qsizetype(items.size()));
        for (const Item& it : items) {
            const QString name = decodeName(it.name);
            // A backslash in a name would read as a folder separator.
            if (name.contains(QLatin1Char('\\')) || encodeName(name) != it.name) {
                ++out.others;
                continue;
            }
            Entry en;
            en.name = name;
            en.path = prefix + name;
            en.size = isFile ? qint64(it.st.st_size) : 0;
            en.lastWrite = localTime(it.st.st_mtim.tv_sec, it.st.st_mtim.tv_nsec);
            list << en;
        }
    };
    fill(files, out.files, true);
    fill(folders, out.folders, false);
    return true;
}

Kind PosixPlatform::kind(const QString& path) const {
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st))
        return (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) ? Kind::Missing : Kind::Other;
    if (S_ISREG(st.st_mode)) return Kind::File;
    if (S_ISDIR(st.st_mode)) return Kind::Folder;
    if (S_ISLNK(st.st_mode)) return Kind::Link;
    return Kind::Other;
}

FileId PosixPlatform::fileId(const QString& path) const {
    FileId id;
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st)) return id;
    id.dev = quint64(st.st_dev);
    id.ino = quint64(st.st_ino);
    id.valid = true;
    return id;
}

int PosixPlatform::attributes(const QString& path) const {
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st)) return -1;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return -1;
    int attr = readDosAttrib(native.constData()) & kXattrBits;
    if (!(st.st_mode & S_IWUSR)) attr |= AttrReadOnly;
    if (baseName(native).startsWith('.')) attr |= AttrHidden;
    if (S_ISDIR(st.st_mode)) attr |= AttrDirectory;
    else if (attr == 0) attr = AttrNormal;
    return attr;
}

bool PosixPlatform::setAttributes(const QString& path, int attributes) {
    const QByteArray native = toNative(path);
    if (native.isEmpty()) return false;
    // Hold what the path names now, so that nothing swapped in meanwhile (a
    // link above all) is changed; the calls go through /proc/self/fd.
    const int pfd = ::open(native.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (pfd < 0) return false;
    struct stat st {};
    if (::fstat(pfd, &st) != 0 || (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))) {
        ::close(pfd);
        return false;
    }
    QByteArray target = "/proc/self/fd/" + QByteArray::number(pfd);
    if (::access(target.constData(), F_OK) != 0) target = native; // no /proc: checked just above

    const bool readOnly = attributes & AttrReadOnly;
    mode_t mode = st.st_mode & 07777;
    if (readOnly) mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    const bool modeChanges = mode != (st.st_mode & 07777);

    bool hadXattr = false;
    int old = 0;
    {
        char buf[64];
        const ssize_t n = ::getxattr(target.constData(), kDosAttrib, buf, sizeof buf - 1);
        if (n > 0) {
            hadXattr = true;
            old = parseDosAttrib(buf, n);
        }
    }
    // The owner's write bit carries read-only; the bit is not kept twice.
    const int wanted = (old & ~(kXattrBits | AttrReadOnly | AttrDirectory)) | (attributes & kXattrBits);
    const bool xattrChanges = hadXattr ? wanted != old : wanted != 0;

    const auto doMode = [&] { return !modeChanges || ::chmod(target.constData(), mode) == 0; };
    const auto doXattr = [&] {
        if (!xattrChanges) return true;
        if (wanted == 0) return ::removexattr(target.constData(), kDosAttrib) == 0 || errno == ENODATA;
        const QByteArray text = "0x" + QByteArray::number(wanted, 16);
        return ::setxattr(target.constData(), kDosAttrib, text.constData(), size_t(text.size()), 0) == 0;
    };
    // A file without write permission takes no user attribute from its
    // owner: make it writable first, or make it read-only last. One that is
    // read-only and stays so is made writable for the change only.
    bool ok;
    if (!readOnly) {
        ok = doMode() && doXattr();
    } else if (xattrChanges && !(st.st_mode & S_IWUSR)) {
        ok = ::chmod(target.constData(), (st.st_mode & 07777) | S_IWUSR) == 0 && doXattr();
        const int failure = errno;
        if (::chmod(target.constData(), mode) != 0) ok = false;
        else if (!ok) errno = failure;
    } else {
        ok = doXattr() && doMode();
    }
    const int saved = errno;
    ::close(pfd);
    errno = saved;
    return ok;
}

bool PosixPlatform::fileTimes(const QString& path, FileTimes& times) const {
    times = FileTimes();
    const QByteArray native = toNative(path);
    if (native.isEmpty()) return false;
    struct statx sx {};
    if (::statx(AT_FDCWD, native.constData(), AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_ATIME | STATX_MTIME,
                &sx) == 0) {
        if (sx.stx_mask & STATX_BTIME) times.creation = {sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec, true};
        times.lastAccess = {sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec, true};
        times.lastWrite = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec, true};
        return true;
    }
    if (errno != ENOSYS) return false;
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) return false;
    times.lastAccess = {st.st_atim.tv_sec, st.st_atim.tv_nsec, true};
    times.lastWrite = {st.st_mtim.tv_sec, st.st_mtim.tv_nsec, true};
    return true;
}

bool PosixPlatform::setFileTimes(const QString& path, const FileTimes& times) {
    const QByteArray native = toNative(path);
    struct stat st {};
    if (native.isEmpty() || ::lstat(native.constData(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
    timespec ts[2];
    const auto set = [](timespec& t, const FileTime& f) {
        if (f.valid) {
            t.tv_sec = time_t(f.sec);
            t.tv_nsec = long(f.nsec);
        } else {
            t.tv_sec = 0;
            t.tv_nsec = UTIME_OMIT;
        }
    };
    set(ts[0], times.lastAccess);
    set(ts[1], times.lastWrite);
    return ::utimensat(AT_FDCWD, native.constData(), ts, AT_SYMLINK_NOFOLLOW) == 0;
}

QDateTime PosixPlatform::lastWriteTime(const QString& path) const {
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st)) return {};
    return localTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

qint64 PosixPlatform::fileLength(const QString& path) const {
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st)) return native.isEmpty() ? -ENOENT : -errno;
    if (!S_ISREG(st.st_mode)) return -EINVAL;
    return qint64(st.st_size);
}

bool PosixPlatform::fileInUse(const QString& path) const {
    const QByteArray native = toNative(path);
    if (native.isEmpty()) return true;
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return true;
    bool inUse = false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        inUse = true;
    } else {
        struct flock lk {};
        lk.l_type = F_WRLCK;
        lk.l_whence = SEEK_SET;
        lk.l_start = 0;
        lk.l_len = 0;
        // Open-file-description locks also see a lock this process holds
        // through another descriptor.
        int rc = ::fcntl(fd, F_OFD_GETLK, &lk);
        if (rc != 0 && errno == EINVAL) {
            lk = {};
            lk.l_type = F_WRLCK;
            lk.l_whence = SEEK_SET;
            rc = ::fcntl(fd, F_GETLK, &lk);
        }
        if (rc == 0 && lk.l_type != F_UNLCK) inUse = true;
        if (!inUse) {
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                if (errno == EWOULDBLOCK) inUse = true;
            } else {
                ::flock(fd, LOCK_UN);
            }
        }
    }
    ::close(fd);
    return inUse;
}

bool PosixPlatform::deleteFile(const QString& path, int& error) {
    error = 0;
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st)) {
        error = native.isEmpty() ? ENOENT : errno;
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
        return false;
    }
    if (::unlink(native.constData()) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool PosixPlatform::createFolder(const QString& path, int& error) {
    error = 0;
    const QByteArray native = toNative(path);
    if (native.isEmpty()) {
        error = ENOENT;
        return false;
    }
    if (::mkdir(native.constData(), 0777) != 0) {
        error = errno;
        return false;
    }
    return true;
}

namespace {

// Empties the folder open as fd, on device dev. Goes on past what it
// cannot remove and keeps the first error.
void removeContents(int fd, dev_t dev, int& firstError) {
    const auto fail = [&](int e) {
        if (firstError == 0) firstError = e;
    };
    const int dupFd = ::dup(fd);
    if (dupFd < 0) return fail(errno);
    DIR* dir = ::fdopendir(dupFd);
    if (!dir) {
        fail(errno);
        ::close(dupFd);
        return;
    }
    QList<QByteArray> names;
    for (;;) {
        errno = 0;
        dirent* e = ::readdir(dir);
        if (!e) {
            if (errno != 0) fail(errno);
            break;
        }
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names << QByteArray(e->d_name);
    }
    ::closedir(dir);
    for (const QByteArray& n : names) {
        struct stat st {};
        if (::fstatat(fd, n.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) fail(errno);
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            if (::unlinkat(fd, n.constData(), 0) != 0 && errno != ENOENT) fail(errno);
            continue;
        }
        if (st.st_dev != dev) { // another mount: never crossed
            fail(EBUSY);
            continue;
        }
        const int sub = ::openat(fd, n.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) {
            fail(errno);
            continue;
        }
        struct stat sst {};
        if (::fstat(sub, &sst) != 0 || sst.st_dev != st.st_dev || sst.st_ino != st.st_ino) {
            fail(ESTALE); // swapped since it was looked at
            ::close(sub);
            continue;
        }
        removeContents(sub, dev, firstError);
        ::close(sub);
        if (::unlinkat(fd, n.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT) fail(errno);
    }
}

} // namespace

bool PosixPlatform::removeFolderTree(const QString& path, int& error) {
    error = 0;
    const QByteArray native = toNative(path);
    if (native.isEmpty()) {
        error = ENOENT;
        return false;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ELOOP ? ENOTDIR : errno;
        return false;
    }
    struct stat st {};
    struct statfs sf {};
    if (::fstat(fd, &st) != 0 || ::fstatfs(fd, &sf) != 0) {
        error = errno;
        ::close(fd);
        return false;
    }
    if (isVirtualMagic(sf.f_type) || isVirtualDev(st.st_dev)) {
        ::close(fd);
        error = EPERM;
        return false;
    }
    int first = 0;
    removeContents(fd, st.st_dev, first);
    ::close(fd);
    if (::rmdir(native.constData()) != 0 && first == 0) first = errno;
    error = first;
    return first == 0;
}

bool PosixPlatform::writeTextFile(const QString& path, const QByteArray& content, int& error) {
    error = 0;
    const QByteArray native = toNative(path);
    if (native.isEmpty()) {
        error = ENOENT;
        return false;
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : S_ISLNK(st.st_mode) ? ELOOP : EINVAL;
        return false;
    }
    // No O_TRUNC before the kind is known: only a regular file is cut.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const auto fail = [&](int e) {
        ::close(fd);
        error = e;
        return false;
    };
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(EINVAL);
    if (::ftruncate(fd, 0) != 0) return fail(errno);
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(EIO);
        done += n;
    }
    if (::close(fd) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool PosixPlatform::readTextFile(const QString& path, QByteArray& content, int& error) const {
    content.clear();
    error = 0;
    const QByteArray native = toNative(path);
    if (native.isEmpty()) {
        error = ENOENT;
        return false;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat st {};
    bool ok = false;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    } else if (st.st_size > kMaxTextFile) {
        error = EFBIG;
    } else if (!readAllFd(fd, content, kMaxTextFile)) {
        error = errno;
        content.clear();
    } else {
        ok = true;
    }
    ::close(fd);
    return ok;
}

// ---- Raw I/O ----------------------------------------------------------------------

int PosixPlatform::openForOverwrite(const QString& path, const FileId& expected) {
    QByteArray native;
    struct stat st {};
    if (!lstatPath(path, native, st)) return native.isEmpty() ? -ENOENT : -errno;
    if (S_ISLNK(st.st_mode)) return -ELOOP;
    if (!S_ISREG(st.st_mode)) return -EINVAL;
    const int fd = ::open(native.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -errno;
    const auto fail = [fd](int e) {
        ::close(fd);
        return -e;
    };
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(EINVAL);
    if (expected.valid && (quint64(st.st_dev) != expected.dev || quint64(st.st_ino) != expected.ino))
        return fail(ESTALE);
    // O_NONBLOCK stays: it kept the open from waiting on a FIFO swapped in,
    // and writes to a regular file do not heed it.
    return fd;
}

// One block as long as the data: a single piece per call. Qualified, so a
// subclass that routes repeated writes through writeAt does not loop.
qint64 PosixPlatform::writeAt(int handle, qint64 offset, const char* data, qint64 len) {
    if (handle < 0 || offset < 0 || len < 0) return -EINVAL;
    return len == 0 ? 0 : PosixPlatform::writeRepeated(handle, offset, data, len, len);
}

// Every iovec points into the one block: the system copies the pattern
// straight from it and no buffer of copies is filled.
qint64 PosixPlatform::writeRepeated(int handle, qint64 offset, const char* block, qint64 blockLen, qint64 len) {
    if (handle < 0 || offset < 0 || len < 0 || !block || blockLen <= 0) return -EINVAL;
    constexpr int kMaxVectors = 1024; // IOV_MAX on Linux
    iovec vectors[kMaxVectors];
    qint64 done = 0;
    while (done < len) {
        int count = 0;
        for (qint64 at = done; count < kMaxVectors && at < len;) {
            const qint64 within = at % blockLen;
            const qint64 n = std::min(blockLen - within, len - at);
            vectors[count].iov_base = const_cast<char*>(block + within);
            vectors[count].iov_len = size_t(n);
            ++count;
            at += n;
        }
        const ssize_t n = ::pwritev(handle, vectors, count, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -errno;
        }
        if (n == 0) return -EIO;
        done += n;
    }
    return done;
}

void PosixPlatform::writeback(int handle, qint64 offset, qint64 len, bool wait) {
    if (handle < 0 || offset < 0 || len < 0) return;
    const unsigned flags = wait ? SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER
                                : SYNC_FILE_RANGE_WRITE;
    // Only a hint: file systems without it (tmpfs and others) just refuse.
    (void)::sync_file_range(handle, off_t(offset), off_t(len), flags);
}

bool PosixPlatform::closeFile(int handle) { return handle >= 0 && ::close(handle) == 0; }

bool PosixPlatform::flushFile(const QString& path) {
    QByteArray native;
    if (!resolve(path, native, nullptr, false) || native.isEmpty()) return false;
    if (flush_file(native.constData()) != 0) return true;
    // Spelled in another case than on the disk?
    const QByteArray found = toNative(path);
    return !found.isEmpty() && found != native && flush_file(found.constData()) != 0;
}

bool PosixPlatform::setFileLength(const QString& path, qint64 length) {
    const QByteArray native = toNative(path);
    if (native.isEmpty() || length < 0) return false;
    return change_filesize(native.constData(), length) == 0;
}

// ---- Per-user values, folders, clock -------------------------------------------------

QVariant PosixPlatform::userValue(const QString& key, const QVariant& fallback) const {
    QSettings s(QStringLiteral("Quorlane Works"), QStringLiteral("Veldrane"));
    return s.value(key, fallback);
}

void PosixPlatform::setUserValue(const QString& key, const QVariant& value) {
    QSettings s(QStringLiteral("Quorlane Works"), QStringLiteral("Veldrane"));
    s.setValue(key, value);
}

QString PosixPlatform::appDataFolder() const {
    const QString loc = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (loc.isEmpty()) return {};
    QString out = toDrivePath(loc);
    if (out.isEmpty()) return {};
    if (!out.endsWith(QLatin1Char('\\'))) out += QLatin1Char('\\');
    return out;
}

QString PosixPlatform::programFolder() const {
    // applicationDirPath follows /proc/self/exe, so a start through a link
    // still finds the program's files.
    const QString dir = QCoreApplication::instance()
                            ? QCoreApplication::applicationDirPath()
                            : QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
    const QString file = QStringLiteral("vq.dat");
    if (QFileInfo::exists(dir + QLatin1Char('/') + file)) return dir;
    const QString shared = QDir::cleanPath(dir + QStringLiteral("/../share/veldrane"));
    if (QFileInfo::exists(shared + QLatin1Char('/') + file)) return shared;
    return dir;
}

QDateTime PosixPlatform::now() const { return QDateTime::currentDateTime(); }

double PosixPlatform::secondsSinceMidnight() const { return now().time().msecsSinceStartOfDay() / 1000.0; }

void PosixPlatform::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

QString PosixPlatform::errorText(int error) const {
    return QString::fromLocal8Bit(std::strerror(error < 0 ? -error : error));
}

} // namespace platform
