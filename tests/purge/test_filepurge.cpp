// The overwrite and removal of one file, observed through the platform
// stand-in and on a temporary drive.

#include "PurgeStandIn.h"
#include "TestSupport.h"
#include "app/MainState.h"
#include "purge/FilePurge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace FilePurge;

constexpr qint64 kCluster = 4096;

QByteArray Repeat(const QByteArray& block, qint64 length) {
    QByteArray out;
    out.reserve(length);
    while (out.size() < length) out.append(block.left(length - out.size()));
    return out;
}

QByteArray Pattern(qint16 code, qint64 length) { return Repeat(PatternBlock(code), length); }

class PurgeTest : public ::testing::Test {
  protected:
    PurgeStandIn os;
    TempDrive drive{QLatin1Char('T')};

    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        Main().ClearDriveTables();
        Main().lngDriveClusterSize[size_t('T' - 'A')] = qint32(kCluster);
        Main().blnPerformingSpeedTest = false;
        SeedRandomForTests(12345);
    }
    void TearDown() override {
        Main().ClearDriveTables();
        Main().blnPerformingSpeedTest = false;
        SeedRandomForTests(-1);
    }

    qint16 Purge(const QString& path, qint16 type, qint16 passes, bool del, bool readOnly = true,
                 bool system = true) {
        qint16 result = 12345;
        const bool ok = VQesPurgeFile(path, type, passes, del, readOnly, system, result);
        EXPECT_EQ(ok, result >= 0);
        return result;
    }
    QByteArray Content(const QString& relative) const { return ReadNative(drive.native(relative)); }
    bool Exists(const QString& relative) const { return QFileInfo::exists(drive.native(relative)); }
    bool XattrsWork(const QString& path) {
        const int a = os.attributes(path);
        return a >= 0 && os.setAttributes(path, a | platform::AttrArchive) &&
               (os.attributes(path) & platform::AttrArchive) && os.setAttributes(path, a);
    }
    // The first block of each overwrite, in order.
    std::vector<QByteArray> FirstBlocks() const {
        std::vector<QByteArray> out;
        for (int n = 1; n <= os.overwrites; ++n) {
            const auto w = os.overwrite(n);
            out.push_back(w.empty() ? QByteArray() : w.front().head.left(kCluster));
        }
        return out;
    }
};

TEST_F(PurgeTest, EveryOverwriteCoversWholeClusters) {
    struct Case {
        qint64 length, written;
    };
    for (const Case& c : {Case{0, kCluster}, Case{1, kCluster}, Case{kCluster - 1, kCluster},
                          Case{3 * kCluster, 3 * kCluster}, Case{3 * kCluster + 1, 4 * kCluster},
                          Case{300 * kCluster + 7, 301 * kCluster}}) {
        SCOPED_TRACE(c.length);
        const QString f = drive.makeFile(QStringLiteral("f.bin"), c.length);
        const int first = os.overwrites + 1;
        EXPECT_EQ(Purge(f, 0, 1, false), 0);
        ASSERT_EQ(os.overwrites, first + 1);
        for (int n = first; n <= os.overwrites; ++n) {
            bool contiguous = false;
            EXPECT_EQ(os.bytesOf(n, &contiguous), c.written);
            EXPECT_TRUE(contiguous);
            for (const auto& w : os.overwrite(n)) EXPECT_TRUE(w.uniform);
        }
        EXPECT_EQ(QFileInfo(drive.native(QStringLiteral("f.bin"))).size(), c.length);
        EXPECT_EQ(Content(QStringLiteral("f.bin")), QByteArray(int(c.length), '\0'));
    }
}

TEST_F(PurgeTest, OverwritesFollowTheSequenceOfEachType) {
    const QByteArray aa(kCluster, '\xAA'), x55(kCluster, '\x55'), zero(kCluster, '\0'), x0a(kCluster, '\x0A'),
        f5(kCluster, '\xF5');

    // Type 1, 3 passes: 9 overwrites.
    EXPECT_EQ(Purge(drive.makeFile(QStringLiteral("t1.bin"), 10000), 1, 3, true), 0);
    EXPECT_FALSE(Exists(QStringLiteral("t1.bin")));
    EXPECT_EQ(FirstBlocks(), (std::vector<QByteArray>{aa, x55, zero, aa, x55, zero, aa, x55, zero}));
    EXPECT_EQ(os.flushes, 9);
    EXPECT_EQ(os.closes, 9);

    // Type 2, 1 pass: 6 overwrites, both random ones with the same block.
    os.overwrites = 0;
    os.writes.clear();
    EXPECT_EQ(Purge(drive.makeFile(QStringLiteral("t2.bin"), 10000), 2, 1, true), 0);
    const auto blocks = FirstBlocks();
    ASSERT_EQ(blocks.size(), 6u);
    EXPECT_EQ(blocks[0], aa);
    EXPECT_EQ(blocks[1], x55);
    EXPECT_EQ(blocks[3], x0a);
    EXPECT_EQ(blocks[4], f5);
    EXPECT_EQ(blocks[2], blocks[5]);
    EXPECT_EQ(blocks[2], PatternBlock(PatternRandom));
    for (const QByteArray& constant : {aa, x55, zero, x0a, f5}) EXPECT_NE(blocks[2], constant);

    // Type 0, 2 passes: random then zeros, a new random block each pass.
    os.overwrites = 0;
    os.writes.clear();
    EXPECT_EQ(Purge(drive.makeFile(QStringLiteral("t0.bin"), 10000), 0, 2, true), 0);
    const auto t0 = FirstBlocks();
    ASSERT_EQ(t0.size(), 4u);
    EXPECT_EQ(t0[1], zero);
    EXPECT_EQ(t0[3], zero);
    EXPECT_NE(t0[0], t0[2]);
    EXPECT_NE(t0[0], zero);
}

TEST_F(PurgeTest, AKeptFileHasTheLastPatternItsLengthAndItsTimeStamps) {
    const QString rel = QStringLiteral("keep.doc");
    const QString f = drive.makeFile(rel, 10001, 'k');
    platform::FileTimes before;
    before.lastAccess = {1000000000, 123456789, true};
    before.lastWrite = {1200000000, 987654321, true};
    ASSERT_TRUE(os.setFileTimes(f, before));

    for (qint16 type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        ASSERT_EQ(Purge(f, type, 1, false), 0);
        platform::FileTimes after;
        ASSERT_TRUE(os.fileTimes(f, after));
        const qint16 last = OverwriteSequence(type).last();
        EXPECT_EQ(Content(rel), Pattern(last, 10001));
        EXPECT_EQ(after.lastAccess.sec, before.lastAccess.sec);
        EXPECT_EQ(after.lastAccess.nsec, before.lastAccess.nsec);
        EXPECT_EQ(after.lastWrite.sec, before.lastWrite.sec);
        EXPECT_EQ(after.lastWrite.nsec, before.lastWrite.nsec);
        ASSERT_TRUE(os.setFileTimes(f, before)); // reading the content moved the access time
    }
}

TEST_F(PurgeTest, BlockSizesOutsideTheRangeLeaveTheFileUntouched) {
    const QString rel = QStringLiteral("size.bin");
    const QString f = drive.makeFile(rel, 1000, 'q');
    ASSERT_TRUE(os.setAttributes(f, platform::AttrReadOnly));
    for (qint32 size : {0, 511, 1000, 131072, -4096}) {
        SCOPED_TRACE(size);
        qint16 result = 0;
        EXPECT_FALSE(PurgeFileWithBlockSize(f, 0, 1, true, true, true, size, result));
        EXPECT_EQ(result, PurgeInvalidClusterSize);
    }
    // 1000 and 131072 can only come from the cache.
    for (qint32 size : {1000, 131072}) {
        Main().lngDriveClusterSize[size_t('T' - 'A')] = size;
        EXPECT_EQ(Purge(f, 0, 1, true), PurgeInvalidClusterSize);
    }
    EXPECT_TRUE(os.writes.empty());
    EXPECT_EQ(Content(rel), QByteArray(1000, 'q'));
    EXPECT_TRUE(os.attributes(f) & platform::AttrReadOnly);

    struct Case {
        qint32 size;
        qint64 written;
    };
    // A block of 512 still runs to the end of the file's allocation unit:
    // its I/O block where that is larger.
    struct stat st {};
    ASSERT_EQ(::stat(qPrintable(drive.native(rel)), &st), 0);
    const qint64 unit = std::max<qint64>(512, st.st_blksize);
    for (const Case& c : {Case{512, (1000 + unit - 1) / unit * unit}, Case{65536, 65536}}) {
        SCOPED_TRACE(c.size);
        Main().lngDriveClusterSize[size_t('T' - 'A')] = c.size;
        os.period = c.size;
        const int first = os.overwrites + 1;
        EXPECT_EQ(Purge(f, 0, 1, false), 0);
        EXPECT_EQ(os.bytesOf(first), c.written);
        EXPECT_EQ(os.bytesOf(first + 1), c.written);
        for (const auto& w : os.overwrite(first)) EXPECT_TRUE(w.uniform);
        EXPECT_EQ(Content(rel), QByteArray(1000, '\0'));
    }
}

TEST_F(PurgeTest, ReadOnlyAndSystemFilesAreRefusedWhenNotAllowed) {
    const QString rel = QStringLiteral("ro.sys");
    const QString f = drive.makeFile(rel, 100, 'r');
    ASSERT_TRUE(os.setAttributes(f, platform::AttrReadOnly));
    EXPECT_EQ(Purge(f, 0, 1, true, false, true), PurgeReadOnly);
    EXPECT_TRUE(os.attributes(f) & platform::AttrReadOnly);
    EXPECT_EQ(Content(rel), QByteArray(100, 'r'));

    if (!XattrsWork(f)) GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
    ASSERT_TRUE(os.setAttributes(f, platform::AttrReadOnly | platform::AttrSystem));
    EXPECT_EQ(Purge(f, 0, 1, true, true, false), PurgeSystem);
    const int attributes = os.attributes(f);
    EXPECT_FALSE(attributes & platform::AttrReadOnly); // cleared before the system check
    EXPECT_TRUE(attributes & platform::AttrSystem);
    EXPECT_EQ(Content(rel), QByteArray(100, 'r'));
    EXPECT_TRUE(os.writes.empty());

    EXPECT_EQ(Purge(f, 0, 1, true, true, true), 0);
    EXPECT_FALSE(Exists(rel));
}

TEST_F(PurgeTest, HiddenFileKeepsItsAttributeUntilJustBeforeDeletion) {
    const QString f = drive.makeFile(QStringLiteral("hidden.txt"), 5000);
    if (!XattrsWork(f)) GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
    ASSERT_TRUE(os.setAttributes(f, platform::AttrHidden));
    EXPECT_EQ(Purge(f, 1, 1, true), 0);
    ASSERT_EQ(os.overwrites, 3);
    for (const auto& w : os.writes) EXPECT_TRUE(w.attributesAtWrite & platform::AttrHidden);
    EXPECT_FALSE(os.attributesAtDelete & platform::AttrHidden);
    EXPECT_EQ(os.deleteAttempts, 1);
    EXPECT_FALSE(Exists(QStringLiteral("hidden.txt")));
}

TEST_F(PurgeTest, DeletionIsTriedFourTimes) {
    const QString f = drive.makeFile(QStringLiteral("stuck.bin"), 100);
    os.failDeletes = 100;
    EXPECT_EQ(Purge(f, 0, 1, true), PurgeNotDeleted);
    EXPECT_EQ(os.deleteAttempts, 4);
    EXPECT_EQ(os.sleeps, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(Content(QStringLiteral("stuck.bin")), QByteArray(100, '\0')); // overwritten all the same

    os.failDeletes = 1;
    os.vanishOnFailedDelete = true;
    os.deleteAttempts = 0;
    os.sleeps.clear();
    EXPECT_EQ(Purge(f, 0, 1, true), 0);
    EXPECT_EQ(os.deleteAttempts, 1);
    EXPECT_TRUE(os.sleeps.empty());
    EXPECT_FALSE(Exists(QStringLiteral("stuck.bin")));
}

TEST_F(PurgeTest, SpeedTestLeavesTheLengthAlone) {
    const QString f = drive.makeFile(QStringLiteral("dummy.bin"), 5000);
    Main().blnPerformingSpeedTest = true;
    EXPECT_EQ(Purge(f, 0, 1, false), 0);
    EXPECT_TRUE(os.lengthsSet.empty());
    EXPECT_EQ(QFileInfo(drive.native(QStringLiteral("dummy.bin"))).size(), 2 * kCluster);
}

TEST_F(PurgeTest, LongPathsArePurgedWithoutTheirTimeStamps) {
    const QString folder(60, QLatin1Char('d'));
    for (int total : {128, 129, 200}) {
        SCOPED_TRACE(total);
        const QString rel = folder + QLatin1Char('/') + QString(total - 3 - folder.size() - 1, QLatin1Char('f'));
        const QString f = drive.makeFile(rel, 300);
        ASSERT_EQ(f.size(), total);
        os.timeReads = os.timeWrites = 0;
        EXPECT_EQ(Purge(f, 0, 1, false), 0);
        EXPECT_EQ(os.timeReads, total <= 128 ? 1 : 0);
        EXPECT_EQ(os.timeWrites, total <= 128 ? 1 : 0);
        EXPECT_EQ(Content(rel), QByteArray(300, '\0'));
        EXPECT_EQ(Purge(f, 0, 1, true), 0);
        EXPECT_FALSE(Exists(rel));
    }
}

TEST_F(PurgeTest, FilesBeyondTwoGibibytesAreOverwrittenToTheirLastCluster) {
    constexpr qint64 kLength = (qint64(5) << 30) + 1;
    constexpr qint64 kWritten = ((kLength + kCluster - 1) / kCluster) * kCluster;
    const QString f = drive.makeFile(QStringLiteral("huge.vhd"), 10);
    os.fakeLength = kLength;
    os.realWrites = false;
    os.period = 0;
    os.headBytes = 1;
    EXPECT_EQ(Purge(f, 0, 1, false), 0);
    ASSERT_EQ(os.overwrites, 2);
    for (int n = 1; n <= 2; ++n) {
        bool contiguous = false;
        EXPECT_EQ(os.bytesOf(n, &contiguous), kWritten);
        EXPECT_TRUE(contiguous);
    }
    EXPECT_EQ(os.lengthsSet, (std::vector<qint64>{kLength}));
    EXPECT_EQ(WorkingFileLength(), kLength);

    // Deleted, it is first cut back step by step, so that freeing its
    // clusters never holds everything up at once.
    os.lengthsSet.clear();
    EXPECT_EQ(Purge(f, 0, 1, true), 0);
    EXPECT_EQ(os.overwrites, 4);
    ASSERT_FALSE(os.lengthsSet.empty());
    for (size_t i = 1; i < os.lengthsSet.size(); ++i) EXPECT_LT(os.lengthsSet[i], os.lengthsSet[i - 1]);
    EXPECT_GT(os.lengthsSet.back(), 0);
    EXPECT_FALSE(Exists(QStringLiteral("huge.vhd")));
}

TEST_F(PurgeTest, AFileSwappedInWhileALargeOverwriteIsUnderWayIsRefused) {
    // Real writes: a large file is flushed in segments and opened again
    // after each, so a file swapped in at a segment's end must be refused.
    const QString victim = drive.native(QStringLiteral("large.bin"));
    const QString f = drive.makeFile(QStringLiteral("large.bin"), qint64(40) << 20, 'L');
    drive.makeFile(QStringLiteral("other.txt"), QByteArray("other"));
    os.period = 0;
    os.headBytes = 1;
    bool swapped = false;
    os.afterClose = [&](int) {
        if (!swapped) swapped = std::rename(qPrintable(drive.native(QStringLiteral("other.txt"))),
                                            qPrintable(victim)) == 0;
    };
    EXPECT_EQ(Purge(f, 0, 1, true), PurgeCannotOpen);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(os.overwrites, 1);
    EXPECT_LT(os.bytesOf(1), qint64(40) << 20); // stopped in the middle
    EXPECT_EQ(ReadNative(victim), QByteArray("other"));
    EXPECT_TRUE(os.lengthsSet.empty());
    EXPECT_EQ(os.deleteAttempts, 0);
}

TEST_F(PurgeTest, LinksAndSpecialFilesAreNeverFollowedNorOpened) {
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString target = outside.path() + QStringLiteral("/precious.txt");
    {
        QFile t(target);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("keep me");
    }
    ASSERT_EQ(::symlink(qPrintable(target), qPrintable(drive.native(QStringLiteral("link.txt")))), 0);
    ASSERT_EQ(::mkfifo(qPrintable(drive.native(QStringLiteral("fifo"))), 0600), 0);
    drive.makeFolder(QStringLiteral("folder"));

    for (const QString& rel : {QStringLiteral("link.txt"), QStringLiteral("fifo"), QStringLiteral("folder"),
                               QStringLiteral("missing.txt")}) {
        SCOPED_TRACE(rel.toStdString());
        EXPECT_EQ(Purge(drive.path(rel), 0, 1, true), PurgeCannotOpen);
    }
    EXPECT_EQ(ReadNative(target), QByteArray("keep me"));
    EXPECT_TRUE(QFileInfo(drive.native(QStringLiteral("link.txt"))).isSymLink());
    EXPECT_TRUE(Exists(QStringLiteral("fifo")));
    EXPECT_TRUE(os.writes.empty());
    EXPECT_EQ(os.deleteAttempts, 0);
    EXPECT_TRUE(os.lengthsSet.empty());
}

TEST_F(PurgeTest, AFileSwappedInBetweenOverwritesIsRefused) {
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString target = outside.path() + QStringLiteral("/precious.txt");
    const QString other = drive.native(QStringLiteral("other.txt"));
    const QString victim = drive.native(QStringLiteral("victim.txt"));
    enum class Swap { Link, OtherFile };
    for (Swap swap : {Swap::Link, Swap::OtherFile}) {
        SCOPED_TRACE(int(swap));
        const QString f = drive.makeFile(QStringLiteral("victim.txt"), 9000, 'v');
        {
            QFile t(target);
            ASSERT_TRUE(t.open(QIODevice::WriteOnly | QIODevice::Truncate));
            t.write("keep me");
        }
        drive.makeFile(QStringLiteral("other.txt"), QByteArray("other"));
        os.afterClose = [&](int overwrite) {
            if (overwrite != 1) return;
            if (swap == Swap::Link) {
                QFile::remove(victim);
                ASSERT_EQ(::symlink(qPrintable(target), qPrintable(victim)), 0);
            } else {
                ASSERT_EQ(std::rename(qPrintable(other), qPrintable(victim)), 0);
            }
        };
        os.writes.clear();
        os.opens = os.overwrites = 0;
        EXPECT_EQ(Purge(f, 0, 1, true), PurgeCannotOpen);
        os.afterClose = nullptr;
        EXPECT_EQ(os.opens, 1);
        EXPECT_EQ(ReadNative(target), QByteArray("keep me"));
        if (swap == Swap::OtherFile) {
            EXPECT_EQ(Content(QStringLiteral("victim.txt")), QByteArray("other"));
        }
        EXPECT_EQ(os.deleteAttempts, 0);
        EXPECT_TRUE(os.lengthsSet.empty());
        QFile::remove(victim);
    }
}

TEST_F(PurgeTest, FailedWriteOrFlushKeepsTheFileAndSaysSo) {
    struct Case {
        const char* what;
        int failWriteCall;
        qint64 shortBy;
        bool failFlush;
        qint16 expected;
    };
    const Case cases[] = {
        {"disk full on the first write", 1, 0, false, PurgeWriteError},
        {"short write", 1, 100, false, PurgeWriteError},
        {"failure in the second overwrite", 3, 0, false, PurgeWriteError},
        {"flush fails", 0, 0, true, PurgeFlushError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString f = drive.makeFile(QStringLiteral("full.bin"), 1500 * 1024 + 3, 'f');
        os.writes.clear();
        os.opens = 0;
        os.deleteAttempts = 0;
        os.lengthsSet.clear();
        os.failWriteCall = c.failWriteCall;
        os.shortBy = c.shortBy;
        os.failFlush = c.failFlush;
        EXPECT_EQ(Purge(f, 1, 2, true), c.expected);
        EXPECT_EQ(os.opens, c.failWriteCall == 3 ? 2 : 1); // no overwrite after the failure
        EXPECT_EQ(os.deleteAttempts, 0);
        EXPECT_TRUE(Exists(QStringLiteral("full.bin")));
        EXPECT_EQ(os.lengthsSet, (std::vector<qint64>{1500 * 1024 + 3}));
        EXPECT_EQ(QFileInfo(drive.native(QStringLiteral("full.bin"))).size(), 1500 * 1024 + 3);
    }
}

TEST_F(PurgeTest, AFailedLengthRestoreIsReported) {
    const QString f = drive.makeFile(QStringLiteral("restore.bin"), 100);
    os.failSetLength = true;
    EXPECT_EQ(Purge(f, 0, 1, false), PurgeRestoreSizeError);
    // Deleted files need no restore.
    EXPECT_EQ(Purge(f, 0, 1, true), 0);
    EXPECT_EQ(os.lengthsSet.size(), 1u);
}

TEST_F(PurgeTest, BadArgumentsAndFilesInUseChangeNothing) {
    const QString rel = QStringLiteral("args.bin");
    const QString f = drive.makeFile(rel, 100, 'a');
    EXPECT_EQ(Purge(QString(), 0, 1, true), PurgeEmptyPath);
    EXPECT_EQ(Purge(f, 3, 1, true), PurgeInvalidType);
    EXPECT_EQ(Purge(f, -1, 1, true), PurgeInvalidType);
    os.inUse = true;
    EXPECT_EQ(Purge(f, 0, 1, true), PurgeCannotOpen);
    EXPECT_TRUE(os.writes.empty());
    EXPECT_TRUE(os.lengthsSet.empty());
    EXPECT_EQ(Content(rel), QByteArray(100, 'a'));
    os.inUse = false;

    // A pass count below 1 still overwrites once before deleting.
    EXPECT_EQ(Purge(f, 0, 0, true), 0);
    EXPECT_EQ(os.overwrites, 2);
    EXPECT_FALSE(Exists(rel));
}

} // namespace
