#include "purge/FileProc.h"

#include <cerrno>

namespace FileProc {

namespace {

constexpr int kDeleteAttempts = 4;
constexpr int kDeleteRetryWaitMs = 500;

// Clears one attribute when it is set and asked for, then reads the
// attributes again; failures are ignored, the deletion that follows tells.
void ClearAttribute(const platform::HeldFile& file, int& attributes, bool wanted, int bit) {
    if (!wanted || attributes < 0 || !(attributes & bit)) return;
    platform::current().setHeldAttributes(file, attributes & ~bit);
    attributes = platform::current().heldAttributes(file);
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
    platform::Platform& os = platform::current();
    platform::HeldFile file;
    int error = 0;
    // Only a regular file is ever removed; anything else counts as not there.
    if (!os.holdFile(path, file, error)) return true;
    const bool gone = KillFile(file, clearHidden, clearReadOnly, clearSystem);
    os.releaseFile(file);
    return gone;
}

bool KillFile(const platform::HeldFile& file, bool clearHidden, bool clearReadOnly, bool clearSystem, bool* swapped) {
    platform::Platform& os = platform::current();
    if (swapped) *swapped = false;
    int attributes = os.heldAttributes(file);
    ClearAttribute(file, attributes, clearHidden, platform::AttrHidden);
    ClearAttribute(file, attributes, clearReadOnly, platform::AttrReadOnly);
    ClearAttribute(file, attributes, clearSystem, platform::AttrSystem);

    for (int failures = 0;;) {
        int error = 0;
        if (os.deleteHeld(file, error)) return true;
        // Someone else removed it between our attempts: it is gone all the
        // same. Another file under its name is left alone.
        if (error == ENOENT || error == ESTALE || !os.stillHeld(file)) {
            const bool gone = os.kind(file.path) == platform::Kind::Missing;
            if (swapped) *swapped = !gone;
            return gone;
        }
        if (++failures >= kDeleteAttempts) return false;
        os.sleepMs(kDeleteRetryWaitMs);
    }
}

} // namespace FileProc
