#include "platform/PosixCommon.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <vector>

namespace platform {

using namespace posix;

bool PosixPlatform::listFolder(const QString& folder, Listing& out, int& error) {
    out = Listing();
    error = 0;
    QString resolved;
    const int fd = openPath(folder, O_RDONLY | O_DIRECTORY, &resolved);
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
            if (encodeName(name) != it.name) {
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
    struct stat st {};
    if (!statPath(path, st))
        return (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) ? Kind::Missing : Kind::Other;
    if (S_ISREG(st.st_mode)) return Kind::File;
    if (S_ISDIR(st.st_mode)) return Kind::Folder;
    if (S_ISLNK(st.st_mode)) return Kind::Link;
    return Kind::Other;
}

FileId PosixPlatform::fileId(const QString& path) const {
    FileId id;
    struct stat st {};
    if (!statPath(path, st)) return id;
    id.dev = quint64(st.st_dev);
    id.ino = quint64(st.st_ino);
    id.valid = true;
    return id;
}

bool PosixPlatform::createFolder(const QString& path, int& error) {
    error = 0;
    Located at;
    if (!locate(path, at)) {
        error = errno;
        return false;
    }
    const bool ok = !at.name.isEmpty() && ::mkdirat(at.dir, at.name.constData(), 0777) == 0;
    error = at.name.isEmpty() ? EEXIST : ok ? 0 : errno;
    ::close(at.dir);
    return ok;
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
    Located at;
    if (!locate(path, at)) {
        error = errno == ELOOP ? ENOTDIR : errno;
        return false;
    }
    if (at.name.isEmpty()) { // never a drive's root
        ::close(at.dir);
        error = EPERM;
        return false;
    }
    const int fd = ::openat(at.dir, at.name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ELOOP ? ENOTDIR : errno;
        ::close(at.dir);
        return false;
    }
    struct stat st {};
    struct statfs sf {};
    if (::fstat(fd, &st) != 0 || ::fstatfs(fd, &sf) != 0) {
        error = errno;
        ::close(fd);
        ::close(at.dir);
        return false;
    }
    if (isVirtualMagic(sf.f_type) || isVirtualDev(st.st_dev)) {
        ::close(fd);
        ::close(at.dir);
        error = EPERM;
        return false;
    }
    int first = 0;
    removeContents(fd, st.st_dev, first);
    ::close(fd);
    // Removed by its name in the parent held all along, and only while it
    // is still the folder that was emptied.
    struct stat now {};
    if (::fstatat(at.dir, at.name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_dev != st.st_dev ||
        now.st_ino != st.st_ino) {
        if (first == 0) first = ESTALE;
    } else if (::unlinkat(at.dir, at.name.constData(), AT_REMOVEDIR) != 0 && first == 0) {
        first = errno;
    }
    ::close(at.dir);
    error = first;
    return first == 0;
}

} // namespace platform
