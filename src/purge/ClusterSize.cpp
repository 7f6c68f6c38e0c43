#include "purge/ClusterSize.h"

#include "app/MainState.h"
#include "support/DiskProc.h"

#include <algorithm>

qint32 GetClusterSize(const QString& strDriveLetter, double* dblSpaceInFreeClusters) {
    constexpr qint32 kFloppyFallback = 512;
    constexpr qint32 kFallback = 4096;
    constexpr qint32 kLargest = 65536;

    if (strDriveLetter.isEmpty()) return kFallback;
    const QChar letter = strDriveLetter.at(0).toUpper();
    const int index = letter.unicode() - u'A';
    if (index < 0 || index > 25) return kFallback;

    qint32& cached = Main().lngDriveClusterSize[static_cast<size_t>(index)];
    if (cached >= 512) return cached;

    Main().strDriveRoot = QString(letter) + QStringLiteral(":\\");
    qint64 reported = 0;
    qint32 size = DiskProc::GetClusterSizeAndFreeBytes(Main().strDriveRoot, dblSpaceInFreeClusters, &reported);
    if (size == -2 && reported > kLargest) size = kLargest;
    if (reported > 0) Main().lngDriveAllocationUnit[static_cast<size_t>(index)] = reported;
    if (size < 0) size = index <= 1 ? kFloppyFallback : kFallback;
    if (size > kLargest) size = kLargest;
    cached = size;
    return size;
}

qint64 GetAllocationUnit(const QString& strDriveLetter) {
    const qint32 size = GetClusterSize(strDriveLetter);
    const int index = strDriveLetter.isEmpty() ? -1 : strDriveLetter.at(0).toUpper().unicode() - u'A';
    if (index < 0 || index > 25) return size;
    return std::max<qint64>(size, Main().lngDriveAllocationUnit[static_cast<size_t>(index)]);
}
