#include "purge/FileProc.h"

namespace FileProc {

namespace {

constexpr int kDeleteAttempts = 4;
constexpr int kDeleteRetryWaitMs = 500;

// Clears one attribute when it is set and asked for, then reads the
// attributes again; failures are ignored, the deletion that follows tells.
void ClearAttribute(const QString& path, int& attributes, bool wanted, int bit) {
    if (!wanted || attributes < 0 || !(attributes & bit)) return;
    platform::current().setAttributes(path, attributes & ~bit);
    attributes = platform::current().attributes(path);
}

} // namespace

qint64 GetFileLength(const QString& path) {
    if (path.isEmpty()) return -2; // ENOENT
    return platform::current().fileLength(path);
}

qint16 FlushFile(const QString& path) { return platform::current().flushFile(path) ? 0 : -1; }

qint16 ChangeFileSize(const QString& path, qint64 length) {
    if (path.isEmpty() || length < 0) return -1;
    return platform::current().setFileLength(path, length) ? 0 : -1;
}

qint16 GetFileTimes(const QString& path, platform::FileTimes& times) {
    if (path.size() > kMaxTimeStampPathLength) return -5;
    if (platform::current().fileTimes(path, times)) return 0;
    return platform::current().kind(path) == platform::Kind::File ? -2 : -1;
}

qint16 SetFileTimes(const QString& path, const platform::FileTimes& times) {
    if (path.size() > kMaxTimeStampPathLength) return -5;
    if (platform::current().kind(path) != platform::Kind::File) return -3;
    return platform::current().setFileTimes(path, times) ? 0 : -4;
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && platform::current().kind(path) == platform::Kind::File;
}

bool FileIsInUse(const QString& path) { return path.isEmpty() || platform::current().fileInUse(path); }

bool KillFile(const QString& path, bool clearHidden, bool clearReadOnly, bool clearSystem) {
    // One look at the path for a plain file; anything else is asked about
    // once more, and only a regular file is ever changed.
    int attributes = platform::current().attributes(path);
    if ((attributes < 0 || (attributes & platform::AttrDirectory)) && !FileExists(path)) return true;
    ClearAttribute(path, attributes, clearHidden, platform::AttrHidden);
    ClearAttribute(path, attributes, clearReadOnly, platform::AttrReadOnly);
    ClearAttribute(path, attributes, clearSystem, platform::AttrSystem);

    for (int failures = 0;;) {
        int error = 0;
        if (platform::current().deleteFile(path, error)) return true;
        // Someone else removed it between our attempts: it is gone all the same.
        if (!FileExists(path)) return true;
        if (++failures >= kDeleteAttempts) return false;
        platform::current().sleepMs(kDeleteRetryWaitMs);
    }
}

} // namespace FileProc
