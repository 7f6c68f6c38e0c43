#pragma once
// The overwrite and removal of one file. A file is overwritten in place,
// whole cluster by whole cluster (which also destroys the slack behind its
// end), once for every entry of its purge type's overwrite sequence in every
// pass, closed and flushed to the disk after each overwrite, and then deleted
// or given back its length and time stamps.
//
// Everything runs on the user-interface thread; the pattern blocks, the
// write buffer and the working length live here and assume that one purge
// runs at a time, which the callers ensure.

#include "platform/Platform.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

namespace FilePurge {

// Pattern codes: the byte written, or any other value for the random block.
enum PatternCode : qint16 {
    PatternZeros = 0,
    Pattern0A = 10,
    Pattern55 = 85,
    PatternAA = 170,
    PatternF5 = 245,
    PatternRandom = 256,
};

// Result codes of VQesPurgeFile.
enum PurgeResult : qint16 {
    PurgeOk = 0,
    PurgeEmptyPath = -1,
    PurgeCannotOpen = -2,
    PurgeWriteError = -3,
    PurgeNotDeleted = -4,
    PurgeFlushError = -7,
    PurgeInvalidType = -8,
    PurgeInvalidClusterSize = -9,
    PurgeRestoreSizeError = -11,
    PurgeReadOnly = -53,
    PurgeSystem = -54,
};

// Bytes handed to the system per write call: a whole number of blocks of at
// most this size, all taken from the one pattern block, so memory stays the
// same whatever the file.
constexpr qint64 kBytesPerWriteCall = qint64(1) << 20;

// Purges one file (a drive path). Returns True when resultCode is 0 or
// greater. Without deletion the file keeps its length and time stamps (the
// speed test excepted); a file whose overwrite failed is never deleted.
bool VQesPurgeFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag,
                   bool blnReadOnlyAllowed, bool blnSystemAllowed, qint16& intResultCode);

// VQesPurgeFile with the block size given instead of taken from the drive.
bool PurgeFileWithBlockSize(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses,
                            bool blnDeleteFlag, bool blnReadOnlyAllowed, bool blnSystemAllowed, qint32 lngBlockSize,
                            qint16& intResultCode);

// Runs every overwrite of every pass, then deletes the file when asked and
// all went well. Returns the status of the last overwrite, or -1, -2, -4,
// -8, -9.
qint16 OverwriteFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag);
// The same with the block size given, and the identity the file must keep
// (an invalid one is taken from the path now).
qint16 OverwriteFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag,
                     qint32 lngBlockSize, const platform::FileId& expected);

// One overwrite of the whole file, from its first byte to the end of its
// last block, with the pattern's block: 0, or -2 when the file cannot be
// opened (or is no longer the file expected), -3 when a write or the close
// fails, -7 when the flush fails, -9 for an invalid block size.
qint16 WriteOverwrite(const QString& strFilePath, qint16 intPatternCode, qint32 lngBlockSize,
                      const platform::FileId& expected = {});

// The stretches of a file an overwrite writes, as (from, to) byte offsets:
// its data extents rounded out to whole allocation units, and always its
// whole last unit; holes stay holes. All of it where holes cannot be told.
using Ranges = QList<QPair<qint64, qint64>>;
Ranges PlanOverwrite(const platform::HeldFile& file, qint64 length, qint32 lngBlockSize, qint64 unit);
// One overwrite of the held file's ranges with the pattern's block.
qint16 WriteOverwrite(const platform::HeldFile& file, qint16 intPatternCode, qint32 lngBlockSize, const Ranges& ranges);

// Rebuilds the five constant blocks and the random block for one pass.
void PreparePatternBlocks(qint32 lngBlockSize);

// A number from low to high inclusive; with evenOnly an odd draw moves to
// an even neighbour.
qint16 RandomInteger(qint16 low, qint16 high, bool evenOnly);

// The overwrite sequence of a purge type; empty for an unknown type.
QList<qint16> OverwriteSequence(qint16 intPurgeType);

// The block that a pattern code writes, as last prepared.
const QByteArray& PatternBlock(qint16 intPatternCode);

// The length of the file in work, as taken by the last OverwriteFile.
qint64 WorkingFileLength();

// Tests: a seed >= 0 makes every later OverwriteFile seed the generator
// with it (and seeds it now); a negative seed returns to the clock.
void SeedRandomForTests(qint64 seed);

} // namespace FilePurge
