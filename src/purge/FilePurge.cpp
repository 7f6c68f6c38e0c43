#include "purge/FilePurge.h"

#include "app/MainState.h"
#include "purge/ClusterSize.h"
#include "purge/FileProc.h"
#include "support/Seams.h"

#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

namespace FilePurge {

namespace {

constexpr qint32 kMinBlockSize = 512;
constexpr qint32 kMaxBlockSize = 65536;
constexpr int kFreshRandomBytes = 2048;
// Written ranges are pushed to the disk as we go, and we wait for the range
// written this many write calls earlier: the dirty data of one file stays
// small, so the flush at the end of an overwrite is short and no single wait
// holds up the event loop for long.
constexpr qint64 kWritebackLagCalls = 16;
// A long overwrite is flushed in segments, sized from the flushes so far so
// that one flush takes about kFlushTargetMs: well below the longest pause of
// the event loop we allow (50 ms), yet few flushes, for each has a cost of
// its own.
constexpr double kFlushTargetMs = 12;
constexpr qint64 kMinFlushSegment = qint64(8) << 20;
// A flush of 512 MiB was seen to take 90 ms on an ordinary disk.
constexpr qint64 kMaxFlushSegment = qint64(256) << 20;
// Starts small: the first flush of a run, before any was measured, must not
// hold the event loop up on a slow disk.
qint64 flushSegmentBytes = kMinFlushSegment;
// A large file is cut back in steps of this size before it is deleted:
// freeing all its clusters at once can hold the event loop up for long.
constexpr qint64 kShrinkStep = qint64(4) << 20;

// The pattern blocks of the current pass, in the order of kConstantCodes,
// then the random block.
constexpr std::array<qint16, 5> kConstantCodes = {PatternZeros, Pattern0A, Pattern55, PatternAA, PatternF5};
std::array<QByteArray, 6> patternBlocks;

qint64 lngWorkingFileLength = 0;

// The runtime generator: xoshiro128**, uniform 32-bit output, seeded by
// splitmix64. Fast to seed and to draw, which matters for many small files.
class Generator {
  public:
    void seed(quint64 value) {
        for (quint32& word : state_) {
            value += 0x9E3779B97F4A7C15ull;
            quint64 z = value;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = static_cast<quint32>((z ^ (z >> 31)) >> 16);
        }
        if (!(state_[0] | state_[1] | state_[2] | state_[3])) state_[0] = 1;
    }
    quint32 next() {
        const quint32 result = rotl(state_[1] * 5, 7) * 9;
        const quint32 t = state_[1] << 9;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 11);
        return result;
    }

  private:
    static quint32 rotl(quint32 x, int k) { return (x << k) | (x >> (32 - k)); }
    quint32 state_[4] = {1, 2, 3, 4};
};

quint64 ClockSeed() { return static_cast<quint64>(std::chrono::system_clock::now().time_since_epoch().count()); }

// Seeded from the clock at start-up (RandomInteger serves callers before any
// purge) and again at every OverwriteFile.
Generator randomGenerator = [] {
    Generator g;
    g.seed(ClockSeed());
    return g;
}();
Generator& generator() { return randomGenerator; }
qint64 testSeed = -1;

// Seeds from the clock (nanoseconds), mixed with a call count so that two
// files purged within one clock tick still get different random blocks.
void SeedFromClock() {
    if (testSeed >= 0) {
        generator().seed(static_cast<quint64>(testSeed));
        return;
    }
    static quint64 calls = 0;
    generator().seed(ClockSeed() ^ (++calls << 48));
}

bool ValidBlockSize(qint32 size) { return size >= kMinBlockSize && size <= kMaxBlockSize && size % 512 == 0; }

bool ValidPurgeType(qint16 type) { return type >= 0 && type <= 2; }

// Cuts a large file back from its end in steps before it is deleted; each
// step checks that the name still holds our file.
void ShrinkBeforeDeletion(const platform::HeldFile& file, qint64 length) {
    while (length > kShrinkStep) {
        DoEventsThrottled();
        length = (length - 1) / kShrinkStep * kShrinkStep;
        if (!platform::current().setHeldLength(file, length)) return;
    }
}

// Releases the held file when the purge of it ends, however it ends.
struct HeldGuard {
    platform::HeldFile file;
    ~HeldGuard() { platform::current().releaseFile(file); }
    // Holds the path's file; False when it cannot be held or is not the
    // file expected (when one is).
    bool hold(const QString& path, const platform::FileId& expected) {
        int error = 0;
        return platform::current().holdFile(path, file, error) &&
               (!expected.valid || (expected.dev == file.id.dev && expected.ino == file.id.ino));
    }
};

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
    if (seed >= 0) generator().seed(static_cast<quint64>(seed));
}

qint16 RandomInteger(qint16 low, qint16 high, bool evenOnly) {
    // r uniform in [0, 1) with single precision: 24 random bits.
    const float r = static_cast<float>(generator().next() >> 8) / 16777216.0f;
    const double span = static_cast<double>(high) - static_cast<double>(low) + 1.0;
    int value = low + static_cast<int>(span * static_cast<double>(r));
    if (evenOnly && (value & 1)) value = value <= low ? value + 1 : value - 1;
    return static_cast<qint16>(value);
}

void PreparePatternBlocks(qint32 lngBlockSize) {
    const int size = std::max<qint32>(lngBlockSize, 0);
    // The constant blocks never change their bytes: rebuilt for a new size.
    for (size_t i = 0; i < kConstantCodes.size(); ++i)
        if (patternBlocks[i].size() != size) patternBlocks[i].fill(static_cast<char>(kConstantCodes[i]), size);

    QByteArray& random = patternBlocks[5];
    random.resize(std::max(size, kFreshRandomBytes));
    char* data = random.data();
    // RandomInteger(0, 255) is the top 8 of the 24 bits behind r: drawn
    // here directly, the same bytes at a fraction of the cost.
    // (A local copy: stores through a char pointer could alias the state.)
    Generator gen = generator();
    for (int i = 0; i < kFreshRandomBytes; ++i) data[i] = static_cast<char>(gen.next() >> 24);
    generator() = gen;
    for (qint64 len = kFreshRandomBytes; len < size;) {
        // Half the length, halves to the even neighbour; a draw is 16-bit, so
        // it stays below 32768 (the stretch then still lies in the block).
        qint64 half = len / 2;
        if ((len & 1) && (half & 1)) ++half;
        const qint16 h = static_cast<qint16>(std::min<qint64>(half, 32767));
        const int start = RandomInteger(1, h, false);
        const qint64 length = std::min<qint64>(RandomInteger(1, h, false), size - len);
        std::memmove(data + len, data + (start - 1), static_cast<size_t>(length));
        len += length;
    }
    random.truncate(size);
}

namespace {

// Closes the file and flushes it (opened again by its name, identity checked).
qint16 CloseAndFlush(const platform::HeldFile& file, int handle) {
    platform::Platform& os = platform::current();
    if (!os.closeFile(handle)) return PurgeWriteError;
    if (os.flushHeld(file)) return PurgeOk;
    // When the name no longer holds our file, it was swapped under us
    // rather than failed to flush.
    return os.stillHeld(file) ? PurgeFlushError : PurgeCannotOpen;
}

void LearnFlushTime(qint64 segmentBytes, qint64 elapsedNs) {
    const double ms = double(elapsedNs) / 1e6;
    // Grows slowly, shrinks at once: a flush that took too long is not repeated.
    const double factor = ms <= 0 ? 2.0 : std::clamp(kFlushTargetMs / ms, 0.05, 2.0);
    const qint64 next = qint64(double(segmentBytes) * factor) & ~((qint64(1) << 20) - 1);
    flushSegmentBytes = std::clamp(next, kMinFlushSegment, kMaxFlushSegment);
}

qint64 RoundUp(qint64 value, qint64 unit) { return (value + unit - 1) / unit * unit; }

} // namespace

Ranges PlanOverwrite(const platform::HeldFile& file, qint64 length, qint32 lngBlockSize, qint64 unit) {
    unit = RoundUp(std::max<qint64>(unit, lngBlockSize), lngBlockSize);
    const qint64 end = RoundUp(std::max<qint64>(length, 1), unit);
    Ranges whole{{0, end}};
    if (length <= unit) return whole;

    // Holes hold no data: only the data extents are overwritten, each
    // rounded out to whole units, and always the whole last unit.
    QList<QPair<qint64, qint64>> extents;
    if (!platform::current().dataExtents(file, length, extents)) return whole;
    extents.append({length - 1, 1});
    Ranges out;
    for (const auto& e : extents) {
        const qint64 from = e.first / unit * unit;
        const qint64 to = std::min(end, RoundUp(e.first + e.second, unit));
        if (!out.isEmpty() && from <= out.last().second) out.last().second = std::max(out.last().second, to);
        else out.append({from, to});
    }
    return out;
}

qint16 WriteOverwrite(const platform::HeldFile& file, qint16 intPatternCode, qint32 lngBlockSize,
                      const Ranges& ranges) {
    if (!ValidBlockSize(lngBlockSize)) return PurgeInvalidClusterSize;
    if (lngWorkingFileLength <= 0) lngWorkingFileLength = 1;

    platform::Platform& os = platform::current();
    // Checked again right before writing: the platform opens nothing but
    // the held file under its name, never through a link.
    int handle = os.openHeld(file);
    if (handle < 0) return PurgeCannotOpen;

    // One write call carries many blocks of the same pattern: the bytes on
    // the disk are those of block-by-block writing.
    const qint64 chunk = (kBytesPerWriteCall / lngBlockSize) * lngBlockSize;
    // The blocks are made per pass; a caller that did not make them for this
    // size gets them made here rather than a pattern of another period.
    if (PatternBlock(intPatternCode).size() != lngBlockSize) PreparePatternBlocks(lngBlockSize);
    const QByteArray& block = PatternBlock(intPatternCode);

    qint64 total = 0;
    for (const auto& r : ranges) total += r.second - r.first;
    qint64 done = 0;
    qint64 segmentStart = 0;
    for (const auto& range : ranges) {
        for (qint64 offset = range.first; offset < range.second; offset += chunk) {
            DoEventsThrottled();
            const qint64 n = std::min(chunk, range.second - offset);
            if (os.writeRepeated(handle, offset, block.constData(), block.size(), n) != n) {
                os.closeFile(handle);
                return PurgeWriteError;
            }
            done += n;
            if (total <= chunk) continue;
            // Keep the file's unwritten data small: start writing what was
            // just written and wait for what was written a few calls ago.
            os.writeback(handle, offset, n, false);
            const qint64 behind = offset - kWritebackLagCalls * chunk;
            if (behind >= range.first) os.writeback(handle, behind, chunk, true);

            // A disk's own cache is emptied only by a flush, and one flush of
            // a whole large file holds everything up: flush segment by
            // segment. The file is opened again with its identity checked.
            if (done - segmentStart >= flushSegmentBytes && done < total) {
                QElapsedTimer flushTime;
                flushTime.start();
                const qint16 status = CloseAndFlush(file, handle);
                if (status != PurgeOk) return status;
                LearnFlushTime(done - segmentStart, flushTime.nsecsElapsed());
                DoEventsThrottled();
                handle = os.openHeld(file);
                if (handle < 0) return PurgeCannotOpen;
                segmentStart = done;
            }
        }
    }
    return CloseAndFlush(file, handle);
}

qint16 WriteOverwrite(const QString& strFilePath, qint16 intPatternCode, qint32 lngBlockSize,
                      const platform::FileId& expected) {
    if (!ValidBlockSize(lngBlockSize)) return PurgeInvalidClusterSize;
    HeldGuard held;
    if (!held.hold(strFilePath, expected)) return PurgeCannotOpen;
    const qint64 end = (std::max<qint64>(lngWorkingFileLength, 1) + lngBlockSize - 1) / lngBlockSize * lngBlockSize;
    return WriteOverwrite(held.file, intPatternCode, lngBlockSize, Ranges{{0, end}});
}

namespace {

// Every overwrite of every pass, then the deletion when asked for and all
// went well. The arguments have been checked.
qint16 RunOverwrites(const platform::HeldFile& file, qint16 purgeType, qint16 numberOfPasses, bool deleteFlag,
                     qint32 blockSize) {
    lngWorkingFileLength = file.length;
    SeedFromClock();
    const QString letter = file.path.isEmpty() ? QString() : QString(file.path.at(0).toUpper());
    // The overwrite runs to the end of the file's real last allocation
    // unit: the drive's, or the file's own I/O block where that is larger
    // (a file system may report less than it allocates).
    const qint64 unit = std::max({qint64(blockSize), file.ioBlock, GetAllocationUnit(letter)});
    const Ranges ranges = PlanOverwrite(file, file.length, blockSize, unit);
    const QList<qint16> sequence = OverwriteSequence(purgeType);
    // Every pass is written: a count below 1 would delete a file never overwritten.
    const int passes = std::max<int>(numberOfPasses, 1);
    qint16 status = PurgeOk;
    for (int pass = 1; pass <= passes && status == PurgeOk; ++pass) {
        DoEventsThrottled();
        PreparePatternBlocks(blockSize);
        for (qint16 code : sequence) {
            status = WriteOverwrite(file, code, blockSize, ranges);
            if (status != PurgeOk) break;
        }
    }
    if (!deleteFlag || status != PurgeOk) return status;

    // Delete only what was overwritten: a file put in its place stays; a
    // file that is gone already counts as deleted.
    platform::Platform& os = platform::current();
    if (!os.stillHeld(file)) return os.kind(file.path) == platform::Kind::Missing ? PurgeOk : PurgeCannotOpen;
    ShrinkBeforeDeletion(file, ranges.last().second);
    bool swapped = false;
    if (FileProc::KillFile(file, true, true, true, &swapped)) return PurgeOk;
    return swapped ? PurgeCannotOpen : PurgeNotDeleted;
}

} // namespace

qint16 OverwriteFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag) {
    const qint32 blockSize = strFilePath.isEmpty() ? 0 : GetClusterSize(QString(strFilePath.at(0).toUpper()));
    return OverwriteFile(strFilePath, intPurgeType, intNumberOfPasses, blnDeleteFlag, blockSize, {});
}

qint16 OverwriteFile(const QString& strFilePath, qint16 intPurgeType, qint16 intNumberOfPasses, bool blnDeleteFlag,
                     qint32 lngBlockSize, const platform::FileId& expected) {
    if (strFilePath.isEmpty()) return PurgeEmptyPath;
    if (!ValidPurgeType(intPurgeType)) return PurgeInvalidType;
    if (!ValidBlockSize(lngBlockSize)) return PurgeInvalidClusterSize;

    HeldGuard held;
    if (!held.hold(strFilePath, expected)) return PurgeCannotOpen;
    return RunOverwrites(held.file, intPurgeType, intNumberOfPasses, blnDeleteFlag, lngBlockSize);
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
    // Resolved once, without following a link at any depth: only a regular
    // file is purged, and every later step goes through the held handle.
    HeldGuard held;
    const platform::HeldFile& file = held.file;
    if (!held.hold(strFilePath, {})) {
        intResultCode = PurgeCannotOpen;
        return false;
    }
    const qint64 length = file.length;

    // The time stamps are given back only to a file that is kept.
    platform::FileTimes times;
    const bool timesRead = !blnDeleteFlag && strFilePath.size() <= FileProc::kMaxTimeStampPathLength &&
                           os.heldTimes(file, times);

    int attributes = os.heldAttributes(file);
    if (attributes >= 0 && (attributes & platform::AttrReadOnly)) {
        if (!blnReadOnlyAllowed) {
            intResultCode = PurgeReadOnly;
            return false;
        }
        os.setHeldAttributes(file, attributes & ~platform::AttrReadOnly);
        attributes = os.heldAttributes(file);
    }
    if (attributes >= 0 && (attributes & platform::AttrSystem) && !blnSystemAllowed) {
        intResultCode = PurgeSystem;
        return false;
    }

    if (os.heldInUse(file)) {
        intResultCode = PurgeCannotOpen;
        return false;
    }

    qint16 status = RunOverwrites(file, intPurgeType, intNumberOfPasses, blnDeleteFlag, lngBlockSize);
    const bool deleted = blnDeleteFlag && status == PurgeOk;

    // A kept file gets its length and time stamps back, but only when it is
    // still the file we overwrote.
    if (!deleted && !Main().blnPerformingSpeedTest && os.stillHeld(file)) {
        if (!os.setHeldLength(file, length) && status == PurgeOk) status = PurgeRestoreSizeError;
        if (timesRead) os.setHeldTimes(file, times);
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
