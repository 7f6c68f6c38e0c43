#include "platform/PosixCommon.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

using namespace posix;

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

} // namespace platform
