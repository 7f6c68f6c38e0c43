#include "platform/PosixCommon.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

using namespace posix;

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

} // namespace platform
