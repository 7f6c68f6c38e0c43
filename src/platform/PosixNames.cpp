#include "platform/PosixCommon.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifdef __has_include
#if __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#define VELDRANE_HAVE_OPENAT2 1
#endif
#endif

namespace platform {

using namespace posix;

namespace {

// The parts of a drive path below its root; "." dropped, ".." never above
// the root. False when a name cannot be written natively.
bool components(const QString& rest, QList<QByteArray>& out, QStringList& shown) {
    QString r = rest;
    r.replace(QLatin1Char('/'), QLatin1Char('\\'));
    for (const QString& comp : r.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (comp == QLatin1String(".")) continue;
        if (comp == QLatin1String("..")) {
            if (!out.isEmpty()) {
                out.removeLast();
                shown.removeLast();
            }
            continue;
        }
        QByteArray enc;
        if (!encodeStrict(comp, enc)) return false;
        out << enc;
        shown << comp;
    }
    return true;
}

// The entry of a folder that the name means: the exact name when there is
// one, else the first that matches without regard to case. errno ENOENT
// when none does.
bool findName(int dir, QByteArray& name, QString& shown) {
    struct stat st {};
    if (::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) return true;
    if (errno != ENOENT) return false;
    QList<QByteArray> names;
    if (sortedNamesAt(dir, names)) {
        for (const QByteArray& n : names) {
            const QString dn = Platform::decodeName(n);
            if (sameNameNoCase(dn, shown)) {
                name = n;
                shown = dn;
                return true;
            }
        }
    }
    errno = ENOENT;
    return false;
}

// One folder down, never through a link.
int openFolderAt(int dir, const QByteArray& name) {
    const int fd = ::openat(dir, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 || errno != ENOTDIR) return fd;
    struct stat st {};
    if (::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) errno = ELOOP;
    else errno = ENOTDIR;
    return -1;
}

#ifdef VELDRANE_HAVE_OPENAT2
bool openat2Works = true;

// The whole folder path in one call where the kernel offers it; -1 with
// errno ENOSYS when it does not, so the walk takes over.
int openBeneath(int root, const QByteArray& rel) {
    if (!openat2Works) {
        errno = ENOSYS;
        return -1;
    }
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    const int fd = int(::syscall(SYS_openat2, root, rel.constData(), &how, sizeof how));
    if (fd < 0 && (errno == ENOSYS || errno == EPERM || errno == E2BIG)) {
        openat2Works = false;
        errno = ENOSYS;
    }
    return fd;
}
#endif

} // namespace

bool PosixPlatform::locate(const QString& drivePath, Located& out, QString* resolved) const {
    out = Located();
    if (drivePath.size() < 2 || drivePath.at(1) != QLatin1Char(':')) {
        errno = ENOENT;
        return false;
    }
    const Drive* d = drive(drivePath.at(0));
    QList<QByteArray> parts;
    QStringList shown;
    if (!d || !components(drivePath.mid(2), parts, shown)) {
        errno = ENOENT;
        return false;
    }
    // The root itself is where the map puts it; below it nothing is followed.
    int dir = ::open(d->root.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    const auto fail = [&dir](int e) {
        if (dir >= 0) ::close(dir);
        errno = e;
        return false;
    };
    qsizetype walked = 0;
#ifdef VELDRANE_HAVE_OPENAT2
    if (parts.size() > 1) {
        QByteArray rel;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) rel += (i ? "/" : "") + parts[i];
        const int fd = openBeneath(dir, rel);
        if (fd >= 0) {
            ::close(dir);
            dir = fd;
            walked = parts.size() - 1;
        } else if (errno == ELOOP || errno == EXDEV) {
            return fail(ELOOP);
        } else if (errno == ENOTDIR) {
            return fail(ENOTDIR);
        }
    }
#endif
    for (qsizetype i = walked; i + 1 < parts.size(); ++i) {
        if (!findName(dir, parts[i], shown[i])) return fail(errno);
        const int fd = openFolderAt(dir, parts[i]);
        if (fd < 0) return fail(errno);
        ::close(dir);
        dir = fd;
    }
    if (!parts.isEmpty()) {
        QByteArray& leaf = parts.last();
        if (!findName(dir, leaf, shown.last()) && errno != ENOENT) return fail(errno);
        out.name = leaf;
    }
    out.dir = dir;
    if (resolved) {
        QString s = QString(d->info.letter) + QLatin1Char(':');
        for (const QString& c : shown) s += QLatin1Char('\\') + c;
        if (shown.isEmpty()) s += QLatin1Char('\\');
        *resolved = s;
    }
    return true;
}

bool PosixPlatform::statPath(const QString& drivePath, struct stat& st, QByteArray* name) const {
    Located at;
    if (!locate(drivePath, at)) return false;
    const int rc = at.name.isEmpty() ? ::fstat(at.dir, &st)
                                     : ::fstatat(at.dir, at.name.constData(), &st, AT_SYMLINK_NOFOLLOW);
    const int saved = errno;
    ::close(at.dir);
    if (name) *name = at.name;
    errno = saved;
    return rc == 0;
}

int PosixPlatform::openPath(const QString& drivePath, int flags, QString* resolved) const {
    Located at;
    if (!locate(drivePath, at, resolved)) return -1;
    const int fd = ::openat(at.dir, at.name.isEmpty() ? "." : at.name.constData(), flags | O_NOFOLLOW | O_CLOEXEC);
    const int saved = errno;
    ::close(at.dir);
    errno = saved;
    return fd;
}

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

QByteArray PosixPlatform::toNative(const QString& drivePath) const {
    QByteArray native;
    return resolve(drivePath, native, nullptr) ? native : QByteArray();
}

QString PosixPlatform::toDrivePath(const QByteArray& nativePath) const {
    const QByteArray clean = cleanNative(nativePath);
    if (clean.isEmpty()) return {};
    // A chooser may hand back a path through a linked folder: it stands for
    // the folder's real place, so that no link is left on the path.
    const QByteArray path = realPath(clean);
    const Drive* best = nullptr;
    QByteArray bestRoot;
    for (const Drive& d : drives_) {
        for (const QByteArray& root : {d.root, realPath(d.root)}) {
            if (isWithin(path, root) && (!best || root.size() > bestRoot.size())) {
                best = &d;
                bestRoot = root;
            }
        }
    }
    if (!best) return {};
    const QByteArray rel = bestRoot == "/" ? path.mid(1) : path.mid(bestRoot.size() + 1);
    QString out = QString(best->info.letter) + QLatin1Char(':');
    if (rel.isEmpty()) return out + QLatin1Char('\\');
    for (const QByteArray& c : rel.split('/')) out += QLatin1Char('\\') + decodeName(c);
    return out;
}

} // namespace platform
