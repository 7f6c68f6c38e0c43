#pragma once
// The cluster size of a drive, the unit in which files are overwritten.

#include <QString>
#include <QtGlobal>

// Cluster size in bytes of the drive with the given letter, cached per drive
// in Main().lngDriveClusterSize. A drive that cannot be asked gets 512 (A, B)
// or 4096 (any other letter); a size above 65536 becomes 65536. Letters
// outside A to Z get 4096 and are never looked up. dblSpaceInFreeClusters,
// when given, receives the free bytes of a drive that was asked (-1 when
// the query failed) and is left alone when the cache answers.
qint32 GetClusterSize(const QString& strDriveLetter, double* dblSpaceInFreeClusters = nullptr);

// The drive's allocation unit as it reports it, never below the cluster
// size above, and also when it is larger than 64 KiB.
qint64 GetAllocationUnit(const QString& strDriveLetter);
