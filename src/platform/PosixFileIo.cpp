#include "platform/PosixCommon.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace platform {

using namespace posix;

namespace {

bool sameInode(const struct stat& st, const FileId& id) {
    return S_ISREG(st.st_mode) && quint64(st.st_dev) == id.dev && quint64(st.st_ino) == id.ino;
}

// Opens the held file again by its name in the held folder; what opens
// must be the held file itself. -errno on failure.
int reopen(const HeldFile& file, int flags) {
    if (!file.held()) return -EBADF;
    const int fd = ::openat(file.folder, file.name.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !sameInode(st, file.id)) {
        ::close(fd);
        return -ESTALE;
    }
    return fd;
}

bool extentsOf(int handle, qint64 length, QList<QPair<qint64, qint64>>& extents);

} // namespace

qint64 PosixPlatform::fileLength(const QString& path) const {
    struct stat st {};
    if (!statPath(path, st)) return -errno;
    if (!S_ISREG(st.st_mode)) return -EINVAL;
    return qint64(st.st_size);
}

bool PosixPlatform::deleteFile(const QString& path, int& error) {
    error = 0;
    Located at;
    if (!locate(path, at)) {
        error = errno;
        return false;
    }
    struct stat st {};
    if (at.name.isEmpty() || ::fstatat(at.dir, at.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = at.name.isEmpty() ? EISDIR : errno;
    } else if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
    } else if (::unlinkat(at.dir, at.name.constData(), 0) != 0) {
        error = errno;
    }
    ::close(at.dir);
    return error == 0;
}

bool PosixPlatform::locateForWriting(const QString& path, Located& at, struct stat& existing, int& error) const {
    error = 0;
    existing = {};
    if (!locate(path, at) || at.name.isEmpty()) {
        error = at.dir >= 0 ? EISDIR : errno;
    } else if (::fstatat(at.dir, at.name.constData(), &existing, AT_SYMLINK_NOFOLLOW) != 0) {
        existing = {}; // not there yet
    } else if (!S_ISREG(existing.st_mode)) {
        error = S_ISDIR(existing.st_mode) ? EISDIR : S_ISLNK(existing.st_mode) ? ELOOP : EINVAL;
    }
    if (error != 0 && at.dir >= 0) {
        ::close(at.dir);
        at.dir = -1;
    }
    return error == 0;
}

bool PosixPlatform::writeTextFile(const QString& path, const QByteArray& content, int& error) {
    Located at;
    struct stat st {};
    if (!locateForWriting(path, at, st, error)) return false;
    // No O_TRUNC before the kind is known: only a regular file is cut.
    const int fd = ::openat(at.dir, at.name.constData(),
                            O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    const int openError = errno;
    ::close(at.dir);
    if (fd < 0) {
        error = openError;
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

bool PosixPlatform::writeTextFileAtomic(const QString& path, const QByteArray& content, int& error) {
    Located at;
    // Only a regular file is replaced; a link in its place is not followed
    // and not replaced either.
    struct stat old {};
    if (!locateForWriting(path, at, old, error)) return false;
    const bool exists = old.st_mode != 0;
    const auto fail = [&](int e, int fd, const QByteArray& temp) {
        if (fd >= 0) ::close(fd);
        if (!temp.isEmpty()) ::unlinkat(at.dir, temp.constData(), 0);
        ::close(at.dir);
        error = e;
        return false;
    };
    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = "." + at.name.left(64) + "." + QByteArray::number(::getpid()) + "." + QByteArray::number(attempt) + ".tmp";
        fd = ::openat(at.dir, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST) return fail(errno, -1, {});
    }
    if (fd < 0) return fail(EEXIST, -1, {});
    // The new file keeps the old one's permissions.
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) return fail(errno, fd, temp);
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno, fd, temp);
        }
        if (n == 0) return fail(EIO, fd, temp);
        done += n;
    }
    if (::fsync(fd) != 0) return fail(errno, fd, temp);
    const int closed = ::close(fd);
    if (closed != 0) return fail(errno, -1, temp);
    if (::renameat(at.dir, temp.constData(), at.dir, at.name.constData()) != 0) return fail(errno, -1, temp);
    // The rename itself reaches the disk with the folder.
    const int folder = ::openat(at.dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    ::close(at.dir);
    return true;
}

bool PosixPlatform::readTextFile(const QString& path, QByteArray& content, int& error) const {
    content.clear();
    error = 0;
    const int fd = openPath(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
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

// ---- The held file ------------------------------------------------------------------

bool PosixPlatform::holdFile(const QString& path, HeldFile& file, int& error) {
    releaseFile(file);
    error = 0;
    Located at;
    if (!locate(path, at)) {
        error = errno;
        return false;
    }
    const auto fail = [&](int e) {
        ::close(at.dir);
        error = e;
        return false;
    };
    if (at.name.isEmpty()) return fail(EISDIR);
    int fd = ::openat(at.dir, at.name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int e = S_ISLNK(st.st_mode) ? ELOOP : EINVAL;
        ::close(fd);
        return fail(e);
    }
    // Known to be a regular file now, it is opened for reading (never a
    // device or FIFO), so that its attributes, times and locks are had
    // from the handle itself. A file that cannot be read keeps the path
    // handle; it counts as in use.
    bool readable = false;
    const int rd = ::openat(at.dir, at.name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (rd >= 0) {
        struct stat rst {};
        if (::fstat(rd, &rst) == 0 && rst.st_dev == st.st_dev && rst.st_ino == st.st_ino) {
            ::close(fd);
            fd = rd;
            readable = true;
        } else {
            ::close(rd);
        }
    }
    file.readable = readable;
    file.path = path;
    file.folder = at.dir;
    file.file = fd;
    file.name = at.name;
    file.id = {quint64(st.st_dev), quint64(st.st_ino), true};
    file.length = qint64(st.st_size);
    file.ioBlock = qint64(st.st_blksize);
    return true;
}

void PosixPlatform::releaseFile(HeldFile& file) {
    if (file.file >= 0) ::close(file.file);
    if (file.folder >= 0) ::close(file.folder);
    file = HeldFile();
}

bool PosixPlatform::stillHeld(const HeldFile& file) const {
    struct stat st {};
    return file.held() && ::fstatat(file.folder, file.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           sameInode(st, file.id);
}

// O_NONBLOCK stays: writes to a regular file do not heed it.
int PosixPlatform::openHeld(const HeldFile& file) { return reopen(file, O_WRONLY); }

bool PosixPlatform::dataExtents(const HeldFile& file, qint64 length, QList<QPair<qint64, qint64>>& extents) const {
    extents.clear();
    if (length <= 0) return false;
    if (!file.readable) return false;
    return extentsOf(file.file, length, extents);
}

namespace {

bool extentsOf(int handle, qint64 length, QList<QPair<qint64, qint64>>& extents) {
    for (qint64 at = 0; at < length;) {
        const off_t data = ::lseek(handle, off_t(at), SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break; // nothing but a hole from here
            extents.clear();
            return false;            // no hole reporting here
        }
        if (qint64(data) >= length) break;
        off_t hole = ::lseek(handle, data, SEEK_HOLE);
        if (hole < 0) {
            extents.clear();
            return false;
        }
        const qint64 end = std::min<qint64>(hole, length);
        extents.append({qint64(data), end - qint64(data)});
        at = end;
    }
    return true;
}

} // namespace

qint64 PosixPlatform::writeAt(int handle, qint64 offset, const char* data, qint64 len) {
    if (handle < 0 || offset < 0 || len < 0) return -EINVAL;
    return len == 0 ? 0 : PosixPlatform::writeRepeated(handle, offset, data, len, len);
}

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

bool PosixPlatform::flushHeld(const HeldFile& file) {
    // The held handle is the file itself, whatever its name names by now.
    if (file.readable) return file.held() && ::fsync(file.file) == 0;
    const int fd = reopen(file, O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool PosixPlatform::setHeldLength(const HeldFile& file, qint64 length) {
    if (length < 0) return false;
    const int fd = reopen(file, O_WRONLY);
    if (fd < 0) return false;
    const bool ok = ::ftruncate(fd, off_t(length)) == 0;
    ::close(fd);
    return ok;
}

bool PosixPlatform::deleteHeld(const HeldFile& file, int& error) {
    error = 0;
    struct stat st {};
    if (!file.held()) error = EBADF;
    else if (::fstatat(file.folder, file.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) error = errno;
    else if (!sameInode(st, file.id)) error = ESTALE;
    else if (::unlinkat(file.folder, file.name.constData(), 0) != 0) error = errno;
    return error == 0;
}

} // namespace platform
