// The services the report window's runs need beyond the file purge: the
// removal of a folder that is empty at that moment, and the swap files in use.
#include "platform/PosixPlatform.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset(int f) {
        if (fd >= 0) ::close(fd);
        fd = f;
    }
};

// "\040" and the like stand for blanks, tabs, newlines and backslashes.
QByteArray unescapeOctal(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = digits.size() == 3;
            for (char d : digits) ok = ok && d >= '0' && d <= '7';
            if (ok) {
                out += char(digits.toInt(nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

bool PosixPlatform::removeEmptyFolder(const QString& path, int& error) {
    error = 0;
    QString p = path;
    while (p.size() > 3 && p.endsWith(QLatin1Char('\\'))) p.chop(1);
    const Drive* d = p.size() >= 2 && p.at(1) == QLatin1Char(':') ? drive(p.at(0)) : nullptr;
    QByteArray native;
    if (!d || !resolve(p, native, nullptr) || native.isEmpty()) {
        error = ENOENT;
        return false;
    }
    QByteArray rel = d->root == "/" ? native.mid(1) : native.mid(d->root.size() + 1);
    if (!native.startsWith(d->root) || rel.isEmpty()) {
        error = EPERM; // a drive's root is never removed
        return false;
    }
    const QList<QByteArray> parts = rel.split('/');
    // The drive's root as mapped; every component below it is taken without
    // following a link.
    Fd dir(::open(d->root.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0) {
        error = errno;
        return false;
    }
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i].isEmpty() || parts[i] == "." || parts[i] == "..") {
            error = EPERM;
            return false;
        }
        const int next = ::openat(dir.fd, parts[i].constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            error = errno == ENOTDIR ? ELOOP : errno;
            return false;
        }
        dir.reset(next);
    }
    const QByteArray& last = parts.last();
    if (last.isEmpty() || last == "." || last == "..") {
        error = EPERM;
        return false;
    }
    struct stat st {};
    if (::fstatat(dir.fd, last.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR;
        return false;
    }
    // The kernel removes it only when it holds nothing, checked at the
    // moment of removal.
    if (::unlinkat(dir.fd, last.constData(), AT_REMOVEDIR) != 0) {
        error = errno == EEXIST ? ENOTEMPTY : errno;
        return false;
    }
    return true;
}

QList<QByteArray> PosixPlatform::parseSwaps(const QByteArray& text) {
    QList<QByteArray> out;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) { // the first line names the columns
        const QList<QByteArray> fields = lines[i].simplified().split(' ');
        if (fields.size() < 2 || fields[0].isEmpty()) continue;
        if (fields[1] != "file") continue;
        out << unescapeOctal(fields[0]);
    }
    return out;
}

QList<QByteArray> PosixPlatform::activeSwapFiles() const {
    QFile f(QStringLiteral("/proc/swaps"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return parseSwaps(f.read(1 << 20));
}

} // namespace platform
