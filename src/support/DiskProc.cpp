#include "support/DiskProc.h"

#include "platform/Platform.h"

namespace DiskProc {

qint32 GetClusterSizeAndFreeBytes(const QString& rootText, double* freeBytes, qint64* reportedSize) {
    if (freeBytes) *freeBytes = -1;
    if (reportedSize) *reportedSize = 0;
    if (rootText.isEmpty()) return -1;
    platform::DiskSpace space;
    if (!platform::current().diskSpace(rootText.at(0).toUpper(), space)) return -1;
    if (reportedSize) *reportedSize = space.clusterSize;
    if (space.clusterSize < 512 || space.clusterSize > 65536) return -2;
    if (freeBytes) *freeBytes = static_cast<double>(space.freeClusters) * static_cast<double>(space.clusterSize);
    return static_cast<qint32>(space.clusterSize);
}

} // namespace DiskProc
