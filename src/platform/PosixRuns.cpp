// The services the report window's runs need beyond the file purge: the
// removal of a folder that is empty at that moment, and the swap files in use.
#include "platform/PosixCommon.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

using namespace posix;

bool PosixPlatform::removeEmptyFolder(const QString& path, int& error) {
    error = 0;
    Located at;
    if (!locate(path, at)) {
        error = errno == ENOTDIR ? ELOOP : errno;
        return false;
    }
    struct stat st {};
    if (at.name.isEmpty()) {
        error = EPERM; // a drive's root is never removed
    } else if (::fstatat(at.dir, at.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
    } else if (!S_ISDIR(st.st_mode)) {
        error = S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR;
    } else if (::unlinkat(at.dir, at.name.constData(), AT_REMOVEDIR) != 0) {
        // The kernel removes it only when it holds nothing at that moment.
        error = errno == EEXIST ? ENOTEMPTY : errno;
    }
    ::close(at.dir);
    return error == 0;
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
