#include "purge/FilePurge.h"

#include "app/MainState.h"
#include "purge/ClusterSize.h"
#include "purge/FileProc.h"
#include "support/Seams.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

namespace FilePurge {

namespace {

constexpr qint32 kMinBlockSize = 512;
constexpr qint32 kMaxBlockSize = 65536;
constexpr int kFreshRandomBytes = 2048;
// Written ranges are pushed to the disk as we go, and we wait for the range
// written this many write calls earlier: the dirty data of one file stays
// small, so the flush at the end of an overwrite is short and no single wait
// holds up the event loop for long.
constexpr qint64 kWritebackLagCalls = 8;

// The pattern blocks of the current pass, in the order of kConstantCodes,
// then the random block.
constexpr std::array<qint16, 5> kConstantCodes = {PatternZeros, Pattern0A, Pattern55, PatternAA, PatternF5};
std::array<QByteArray, 6> patternBlocks;

qint64 lngWorkingFileLength = 0;

std::mt19937& generator() {
    static std::mt19937 gen(static_cast<std::mt19937::result_type>(QDateTime::currentMSecsSinceEpoch()));
    return gen;
}
qint64 testSeed = -1;

void SeedFromClock() {
    if (testSeed >= 0) {
        generator().seed(static_cast<std::mt19937::result_type>(testSeed));
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    std::seed_seq seq{static_cast<quint32>(now), static_cast<quint32>(now >> 32)};
    generator().seed(seq);
}

bool ValidBlockSize(qint32 size) { return size >= kMinBlockSize && size <= kMaxBlockSize && size % 512 == 0; }

bool ValidPurgeType(qint16 type) { return type >= 0 && type <= 2; }

bool SameFile(const QString& path, const platform::FileId& expected) {
    if (platform::current().kind(path) != platform::Kind::File) return false;
    const platform::FileId now = platform::current().fileId(path);
    return now.valid && expected.valid && now.dev == expected.dev && now.ino == expected.ino;
}

// The write buffer: allocated once at its full size and reused.
std::vector<char>& writeBuffer() {
    static std::vector<char> buffer(static_cast<size_t>(kWriteBufferBytes));
    return buffer;
}

// Fills the first `bytes` of the buffer with copies of the block, doubling
// what is already there.
void FillWriteBuffer(const QByteArray& block, qint64 bytes) {
    char* out = writeBuffer().data();
    const qint64 first = std::min<qint64>(block.size(), bytes);
    std::memcpy(out, block.constData(), static_cast<size_t>(first));
    for (qint64 done = first; done < bytes;) {
        const qint64 n = std::min(done, bytes - done);
        std::memcpy(out + done, out, static_cast<size_t>(n));
        done += n;
    }
}

} // namespace

QList<qint16> OverwriteSequence(qint16 intPurgeType) {
    switch (intPurgeType) {
    case 0:
        return {PatternRandom, PatternZeros};
    case 1:
        return {PatternAA, Pattern55, PatternZeros};
    case 2:
        return {PatternAA, Pattern55, PatternRandom, Pattern0A, PatternF5, PatternRandom};
    default:
        return {};
    }
}

const QByteArray& PatternBlock(qint16 intPatternCode) {
    for (size_t i = 0; i < kConstantCodes.size(); ++i)
        if (kConstantCodes[i] == intPatternCode) return patternBlocks[i];
    return patternBlocks[5];
}

qint64 WorkingFileLength() { return lngWorkingFileLength; }

void SeedRandomForTests(qint64 seed) {
    testSeed = seed;
    if (seed >= 0) generator().seed(static_cast<std::mt19937::result_type>(seed));
}

qint16 RandomInteger(qint16 low, qint16 high, bool evenOnly) {
    // r uniform in [0, 1) with single precision: 24 random bits.
    const float r = static_cast<float>(generator()() >> 8) / 16777216.0f;
    const double span = static_cast<double>(high) - static_cast<double>(low) + 1.0;
    int value = low + static_cast<int>(span * static_cast<double>(r));
    if (evenOnly && (value & 1)) value = value <= low ? value + 1 : value - 1;
    return static_cast<qint16>(value);
}

void PreparePatternBlocks(qint32 lngBlockSize) {
    const int size = std::max<qint32>(lngBlockSize, 0);
    for (size_t i = 0; i < kConstantCodes.size(); ++i)
        patternBlocks[i] = QByteArray(size, static_cast<char>(kConstantCodes[i]));

    QByteArray& random = patternBlocks[5];
    random.clear();
    random.reserve(std::max(size, kFreshRandomBytes));
    for (int i = 0; i < kFreshRandomBytes; ++i)
        random.append(static_cast<char>(RandomInteger(0, 255, false)));
    while (random.size() < size) {
        // Half the length, halves to the even neighbour; a draw is 16-bit, so
        // it stays below 32768 (the stretch then still lies in the block).
        const qint64 len = random.size();
        qint64 half = len / 2;
        if ((len & 1) && (half & 1)) ++half;
        const qint16 h = static_cast<qint16>(std::min<qint64>(half, 32767));
        const int start = RandomInteger(1, h, false);
        const int length = RandomInteger(1, h, false);
        random.append(random.constData() + (start - 1), length);
    }
    random.truncate(size);
}

qint16 WriteOverwrite(const QString& strFilePath, qint16 intPatternCode, qint32 lngBlockSize,
                      const platform::FileId& expected) {
    if (!ValidBlockSize(lngBlockSize)) return PurgeInvalidClusterSize;
    if (lngWorkingFileLength <= 0) lngWorkingFileLength = 1;
    const qint64 blocks = (lngWorkingFileLength + lngBlockSize - 1) / lngBlockSize;
    const qint64 total = blocks * lngBlockSize;

    platform::Platform& os = platform::current();
    // Checked again right before writing: a link or anything but a regular
    // file put in its place is never opened.
    if (os.kind(strFilePath) != platform::Kind::File) return PurgeCannotOpen;
    const int handle = os.openForOverwrite(strFilePath, expected);
    if (handle < 0) return PurgeCannotOpen;

    const qint64 chunk = (kWriteBufferBytes / lngBlockSize) * lngBlockSize;
    const qint64 filled = std::min(chunk, total);
    FillWriteBuffer(PatternBlock(intPatternCode), filled);
    const char* data = writeBuffer().data();

    qint16 status = PurgeOk;
    for (qint64 offset = 0; offset < total; offset += chunk) {
        DoEventsThrottled();
        const qint64 n = std::min(chunk, total - offset);
        if (os.writeAt(handle, offset, data, n) != n) {
            status = PurgeWriteError;
            break;
        }
        if (total > chunk) {
            os.writeback(handle, offset, n, false);
            const qint64 behind = offset - kWritebackLagCalls * chunk;
            if (behind >= 0) os.writeback(handle, behind, chunk, true);
        }
    }
    if (!os.closeFile(handle) && status == PurgeOk) status = PurgeWriteError;
    if (status == PurgeOk && FileProc::FlushFile(strFilePath) != 0)
        // The flush goes by path: when the path no longer names our file, it
        // was swapped under us rather than failed to flush.
        status = expected.valid && !SameFile(strFilePath, expected) ? PurgeCannotOpen : PurgeFlushError;
    return status;
}

qint16 OverwriteFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag) {
    const qint32 blockSize = strFilePath.isEmpty() ? 0 : GetClusterSize(QString(strFilePath.at(0).toUpper()));
    return OverwriteFile(strFilePath, intPurgeType, intNumberOfPasses, blnDeleteFlag, blockSize, {});
}

qint16 OverwriteFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag,
                     qint32 lngBlockSize, const platform::FileId& expected) {
    if (strFilePath.isEmpty()) return PurgeEmptyPath;
    if (!ValidPurgeType(intPurgeType)) return PurgeInvalidType;
    if (!ValidBlockSize(lngBlockSize)) return PurgeInvalidClusterSize;

    const platform::FileId id = expected.valid ? expected : platform::current().fileId(strFilePath);
    if (!id.valid) return PurgeCannotOpen;
    lngWorkingFileLength = FileProc::GetFileLength(strFilePath);
    if (lngWorkingFileLength < 0) return PurgeCannotOpen;

    SeedFromClock();
    const QList<qint16> sequence = OverwriteSequence(intPurgeType);
    // Every pass is written: a count below 1 would delete a file never overwritten.
    const int passes = std::max<int>(intNumberOfPasses, 1);
    qint16 status = PurgeOk;
    for (int pass = 1; pass <= passes && status == PurgeOk; ++pass) {
        DoEventsThrottled();
        PreparePatternBlocks(lngBlockSize);
        for (qint16 code : sequence) {
            status = WriteOverwrite(strFilePath, code, lngBlockSize, id);
            if (status != PurgeOk) break;
        }
    }

    if (blnDeleteFlag && status == PurgeOk) {
        // Delete only what was overwritten: a file put in its place stays.
        if (FileProc::FileExists(strFilePath) && !SameFile(strFilePath, id)) return PurgeCannotOpen;
        if (!FileProc::KillFile(strFilePath, true, true, true)) return PurgeNotDeleted;
    }
    return status;
}

bool PurgeFileWithBlockSize(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses,
                            bool blnDeleteFlag, bool blnReadOnlyAllowed, bool blnSystemAllowed, qint32 lngBlockSize,
                            qint16& intResultCode) {
    // Arguments that make the purge impossible are refused before the file
    // is touched in any way.
    if (strFilePath.isEmpty()) intResultCode = PurgeEmptyPath;
    else if (!ValidPurgeType(intPurgeType)) intResultCode = PurgeInvalidType;
    else if (!ValidBlockSize(lngBlockSize)) intResultCode = PurgeInvalidClusterSize;
    else intResultCode = PurgeOk;
    if (intResultCode != PurgeOk) return false;

    platform::Platform& os = platform::current();
    // Only a regular file is purged; a link, folder, FIFO or device in its
    // place is neither followed nor opened.
    if (os.kind(strFilePath) != platform::Kind::File) {
        intResultCode = PurgeCannotOpen;
        return false;
    }
    const platform::FileId id = os.fileId(strFilePath);
    if (!id.valid) {
        intResultCode = PurgeCannotOpen;
        return false;
    }

    platform::FileTimes times;
    const bool timesRead = FileProc::GetFileTimes(strFilePath, times) == 0;

    int attributes = os.attributes(strFilePath);
    if (attributes >= 0 && (attributes & platform::AttrReadOnly)) {
        if (!blnReadOnlyAllowed) {
            intResultCode = PurgeReadOnly;
            return false;
        }
        os.setAttributes(strFilePath, attributes & ~platform::AttrReadOnly);
    }
    attributes = os.attributes(strFilePath);
    if (attributes >= 0 && (attributes & platform::AttrSystem) && !blnSystemAllowed) {
        intResultCode = PurgeSystem;
        return false;
    }

    if (FileProc::FileIsInUse(strFilePath)) {
        intResultCode = PurgeCannotOpen;
        return false;
    }

    const qint64 length = FileProc::GetFileLength(strFilePath);
    if (length < 0) {
        intResultCode = PurgeCannotOpen;
        return false;
    }

    qint16 status = OverwriteFile(strFilePath, intPurgeType, intNumberOfPasses, blnDeleteFlag, lngBlockSize, id);
    const bool deleted = blnDeleteFlag && status == PurgeOk;

    // A kept file gets its length and time stamps back, but only when it is
    // still the file we overwrote.
    if (!deleted && !Main().blnPerformingSpeedTest && SameFile(strFilePath, id)) {
        if (FileProc::ChangeFileSize(strFilePath, length) != 0 && status == PurgeOk) status = PurgeRestoreSizeError;
        if (!blnDeleteFlag && timesRead) FileProc::SetFileTimes(strFilePath, times);
    }

    intResultCode = status;
    return status >= 0;
}

bool VQesPurgeFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag,
                   bool blnReadOnlyAllowed, bool blnSystemAllowed, qint16& intResultCode) {
    if (strFilePath.isEmpty()) {
        intResultCode = PurgeEmptyPath;
        return false;
    }
    const qint32 blockSize = GetClusterSize(QString(strFilePath.at(0).toUpper()));
    return PurgeFileWithBlockSize(strFilePath, intPurgeType, intNumberOfPasses, blnDeleteFlag, blnReadOnlyAllowed,
                                  blnSystemAllowed, blockSize, intResultCode);
}

} // namespace FilePurge
