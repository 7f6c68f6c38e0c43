#include "platform/PosixCommon.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

using namespace posix;

namespace {

// The calls below reach the file through its path handle (/proc/self/fd),
// so they change exactly the file that was found, whatever its name names
// by now.
// A handle open for reading is asked directly; a path handle only through
// /proc, which costs a lookup.
struct Handle {
    int fd;
    bool open;
};

ssize_t getAttr(Handle h, char* buf, size_t size) {
    return h.open ? ::fgetxattr(h.fd, kDosAttrib, buf, size) : ::getxattr(fdPath(h.fd).constData(), kDosAttrib, buf, size);
}
int setAttr(Handle h, const QByteArray& text) {
    return h.open ? ::fsetxattr(h.fd, kDosAttrib, text.constData(), size_t(text.size()), 0)
                  : ::setxattr(fdPath(h.fd).constData(), kDosAttrib, text.constData(), size_t(text.size()), 0);
}
int removeAttr(Handle h) {
    return h.open ? ::fremovexattr(h.fd, kDosAttrib) : ::removexattr(fdPath(h.fd).constData(), kDosAttrib);
}
int changeMode(Handle h, mode_t mode) {
    return h.open ? ::fchmod(h.fd, mode) : ::chmod(fdPath(h.fd).constData(), mode);
}

int readDosAttrib(Handle h) {
    char buf[64];
    return parseDosAttrib(buf, getAttr(h, buf, sizeof buf - 1));
}

int attributesOf(Handle h, const struct stat& st, const QByteArray& name) {
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return -1;
    int attr = readDosAttrib(h) & kXattrBits;
    if (!(st.st_mode & S_IWUSR)) attr |= AttrReadOnly;
    if (name.startsWith('.')) attr |= AttrHidden;
    if (S_ISDIR(st.st_mode)) attr |= AttrDirectory;
    else if (attr == 0) attr = AttrNormal;
    return attr;
}

bool setAttributesOf(Handle h, const struct stat& st, int attributes) {
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return false;
    const bool readOnly = attributes & AttrReadOnly;
    mode_t mode = st.st_mode & 07777;
    if (readOnly) mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    const bool modeChanges = mode != (st.st_mode & 07777);

    bool hadXattr = false;
    int old = 0;
    {
        char buf[64];
        const ssize_t n = getAttr(h, buf, sizeof buf - 1);
        if (n > 0) {
            hadXattr = true;
            old = parseDosAttrib(buf, n);
        }
    }
    // The owner's write bit carries read-only; the bit is not kept twice.
    const int wanted = (old & ~(kXattrBits | AttrReadOnly | AttrDirectory)) | (attributes & kXattrBits);
    const bool xattrChanges = hadXattr ? wanted != old : wanted != 0;

    const auto doMode = [&] { return !modeChanges || changeMode(h, mode) == 0; };
    const auto doXattr = [&] {
        if (!xattrChanges) return true;
        if (wanted == 0) return removeAttr(h) == 0 || errno == ENODATA;
        return setAttr(h, "0x" + QByteArray::number(wanted, 16)) == 0;
    };
    // A file without write permission takes no user attribute from its
    // owner: make it writable first, or make it read-only last. One that is
    // read-only and stays so is made writable for the change only.
    if (!readOnly) return doMode() && doXattr();
    if (xattrChanges && !(st.st_mode & S_IWUSR)) {
        bool ok = changeMode(h, (st.st_mode & 07777) | S_IWUSR) == 0 && doXattr();
        const int failure = errno;
        if (changeMode(h, mode) != 0) ok = false;
        else if (!ok) errno = failure;
        return ok;
    }
    return doXattr() && doMode();
}

bool timesOf(int pathFd, FileTimes& times) {
    times = FileTimes();
    struct statx sx {};
    if (::statx(pathFd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_ATIME | STATX_MTIME, &sx) ==
        0) {
        if (sx.stx_mask & STATX_BTIME) times.creation = {sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec, true};
        times.lastAccess = {sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec, true};
        times.lastWrite = {sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec, true};
        return true;
    }
    if (errno != ENOSYS) return false;
    struct stat st {};
    if (::fstat(pathFd, &st) != 0) return false;
    times.lastAccess = {st.st_atim.tv_sec, st.st_atim.tv_nsec, true};
    times.lastWrite = {st.st_mtim.tv_sec, st.st_mtim.tv_nsec, true};
    return true;
}

bool setTimesOf(Handle h, const FileTimes& times) {
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
    return h.open ? ::futimens(h.fd, ts) == 0 : ::utimensat(AT_FDCWD, fdPath(h.fd).constData(), ts, 0) == 0;
}

bool inUse(Handle h) {
    const int fd = h.open ? h.fd : ::open(fdPath(h.fd).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return true;
    bool busy = false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        busy = true;
    } else {
        struct flock lk {};
        lk.l_type = F_WRLCK;
        lk.l_whence = SEEK_SET;
        // Open-file-description locks also see a lock this process holds
        // through another descriptor.
        int rc = ::fcntl(fd, F_OFD_GETLK, &lk);
        if (rc != 0 && errno == EINVAL) {
            lk = {};
            lk.l_type = F_WRLCK;
            lk.l_whence = SEEK_SET;
            rc = ::fcntl(fd, F_GETLK, &lk);
        }
        if (rc == 0 && lk.l_type != F_UNLCK) busy = true;
        if (!busy) {
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                if (errno == EWOULDBLOCK) busy = true;
            } else {
                ::flock(fd, LOCK_UN);
            }
        }
    }
    if (!h.open) ::close(fd);
    return busy;
}

// Runs op on the path handle of what the drive path names.
template <typename Op>
auto withEntry(const PosixPlatform& p, const QString& path, Op op, decltype(op(0, std::declval<struct stat&>(),
                                                                                 std::declval<QByteArray&>())) failed) {
    struct stat st {};
    QByteArray name;
    const int fd = p.openEntry(path, st, name);
    if (fd < 0) return failed;
    const auto result = op(fd, st, name);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return result;
}

} // namespace

int PosixPlatform::openEntry(const QString& drivePath, struct stat& st, QByteArray& name) const {
    Located at;
    if (!locate(drivePath, at)) return -1;
    name = at.name;
    const int fd = ::openat(at.dir, at.name.isEmpty() ? "." : at.name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    const int saved = errno;
    ::close(at.dir);
    if (fd < 0) {
        errno = saved;
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    return fd;
}

int PosixPlatform::attributes(const QString& path) const {
    return withEntry(*this, path, [](int fd, struct stat& st, QByteArray& name) { return attributesOf({fd, false}, st, name); },
                     -1);
}

bool PosixPlatform::setAttributes(const QString& path, int attributes) {
    return withEntry(
        *this, path, [attributes](int fd, struct stat& st, QByteArray&) { return setAttributesOf({fd, false}, st, attributes); },
        false);
}

bool PosixPlatform::fileTimes(const QString& path, FileTimes& times) const {
    times = FileTimes();
    return withEntry(
        *this, path,
        [&times](int fd, struct stat& st, QByteArray&) { return !S_ISLNK(st.st_mode) && timesOf(fd, times); }, false);
}

bool PosixPlatform::setFileTimes(const QString& path, const FileTimes& times) {
    return withEntry(
        *this, path,
        [&times](int fd, struct stat& st, QByteArray&) {
            return (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && setTimesOf({fd, false}, times);
        },
        false);
}

QDateTime PosixPlatform::lastWriteTime(const QString& path) const {
    struct stat st {};
    if (!statPath(path, st)) return {};
    return localTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

bool PosixPlatform::fileInUse(const QString& path) const {
    return withEntry(
        *this, path, [](int fd, struct stat& st, QByteArray&) { return !S_ISREG(st.st_mode) || inUse({fd, false}); }, true);
}

// ---- The held file: its own inode, whatever its name names by now -------------

int PosixPlatform::heldAttributes(const HeldFile& file) const {
    struct stat st {};
    if (!file.held() || ::fstat(file.file, &st) != 0) return -1;
    return attributesOf({file.file, file.readable}, st, file.name);
}

bool PosixPlatform::setHeldAttributes(const HeldFile& file, int attributes) {
    struct stat st {};
    if (!file.held() || ::fstat(file.file, &st) != 0) return false;
    return setAttributesOf({file.file, file.readable}, st, attributes);
}

bool PosixPlatform::heldTimes(const HeldFile& file, FileTimes& times) const {
    times = FileTimes();
    return file.held() && timesOf(file.file, times);
}

bool PosixPlatform::setHeldTimes(const HeldFile& file, const FileTimes& times) {
    return file.held() && setTimesOf({file.file, file.readable}, times);
}

bool PosixPlatform::heldInUse(const HeldFile& file) const {
    return !file.held() || !file.readable || inUse({file.file, true});
}

} // namespace platform
