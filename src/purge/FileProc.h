#pragma once
// Small file routines of the purge: length, flush, change of length, time
// stamps, existence, the in-use test and deletion with retries. Everything
// goes through the platform layer; paths are drive paths.

#include "platform/Platform.h"

#include <QString>
#include <QtGlobal>

namespace FileProc {

// Paths this long or longer keep their time stamps untouched.
constexpr int kMaxTimeStampPathLength = 128;

// The file's length in bytes (64-bit), or the negated error number.
qint64 GetFileLength(const QString& path);

// 0 when the closed file's data reached the disk, -1 otherwise.
qint16 FlushFile(const QString& path);

// 0 on success, negative on failure. Never follows a link.
qint16 ChangeFileSize(const QString& path, qint64 length);

// 0 on success; -5 for a path of 129 characters or more (nothing opened);
// -1 when the file cannot be opened; -2 when the times cannot be read.
qint16 GetFileTimes(const QString& path, platform::FileTimes& times);

// 0 on success; -5 for a path of 129 characters or more; -3 when the file
// cannot be opened; -4 when the times cannot be set. The creation time
// cannot be set and is ignored.
qint16 SetFileTimes(const QString& path, const platform::FileTimes& times);

// True when the path names a regular file (a link is not followed).
bool FileExists(const QString& path);

// True when the file cannot be opened for reading or another process holds
// a lock on it.
bool FileIsInUse(const QString& path);

// Deletes a file, clearing the chosen attributes first. True when the file
// is gone (or was never there); False after four failed attempts.
bool KillFile(const QString& path, bool clearHidden, bool clearReadOnly, bool clearSystem);
// The same for a held file: only that file is ever removed. swapped tells
// that another file took its name, which is left alone.
bool KillFile(const platform::HeldFile& file, bool clearHidden, bool clearReadOnly, bool clearSystem,
              bool* swapped = nullptr);

} // namespace FileProc
