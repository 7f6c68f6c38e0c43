#pragma once
// Drive questions: cluster size and free space.

#include <QString>
#include <QtGlobal>

namespace DiskProc {

// Cluster size of the drive whose root is given ("C:\"), or -1 when the
// drive cannot be asked, or -2 when the size lies outside 512 to 65536.
// On success *freeBytes (when given) is the free space in bytes, else -1.
// *reportedSize (when given) receives the size the drive reported, also
// when it is out of range (0 when the drive could not be asked).
qint32 GetClusterSizeAndFreeBytes(const QString& rootText, double* freeBytes = nullptr,
                                  qint64* reportedSize = nullptr);

} // namespace DiskProc
