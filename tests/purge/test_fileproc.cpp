// The small file routines of the purge: deletion with retries, time stamps,
// existence and length.

#include "PurgeStandIn.h"
#include "TestSupport.h"
#include "purge/FileProc.h"

#include <QFile>
#include <unistd.h>

namespace {

class FileProcTest : public ::testing::Test {
  protected:
    PurgeStandIn os;
    TempDrive drive{QLatin1Char('T')};
    void SetUp() override { ASSERT_TRUE(drive.ok()); }
};

bool HasXattrs(const QString& path) {
    const int a = platform::current().attributes(path);
    return a >= 0 && platform::current().setAttributes(path, a | platform::AttrArchive) &&
           (platform::current().attributes(path) & platform::AttrArchive);
}

TEST_F(FileProcTest, KillFileTriesFourTimesWithThreeWaits) {
    struct Case {
        int failures;
        bool gone;
        int attempts;
        int waits;
    };
    const Case cases[] = {{0, true, 1, 0}, {1, true, 2, 1}, {3, true, 4, 3}, {4, false, 4, 3}, {9, false, 4, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failures);
        const QString f = drive.makeFile(QStringLiteral("kill.bin"), 10);
        os.failDeletes = c.failures;
        os.deleteAttempts = 0;
        os.sleeps.clear();
        EXPECT_EQ(FileProc::KillFile(f, true, true, true), c.gone);
        EXPECT_EQ(os.deleteAttempts, c.attempts);
        EXPECT_EQ(os.sleeps, std::vector<int>(static_cast<size_t>(c.waits), 500));
        EXPECT_EQ(QFile::exists(drive.native(QStringLiteral("kill.bin"))), !c.gone);
        QFile::remove(drive.native(QStringLiteral("kill.bin")));
    }
}

TEST_F(FileProcTest, KillFileCountsAFileThatVanishedAsDeleted) {
    const QString f = drive.makeFile(QStringLiteral("vanish.bin"), 10);
    os.failDeletes = 1;
    os.vanishOnFailedDelete = true;
    EXPECT_TRUE(FileProc::KillFile(f, true, true, true));
    EXPECT_EQ(os.deleteAttempts, 1);
    EXPECT_TRUE(os.sleeps.empty());

    os.deleteAttempts = 0;
    EXPECT_TRUE(FileProc::KillFile(drive.path(QStringLiteral("never.bin")), true, true, true));
    EXPECT_EQ(os.deleteAttempts, 0);
}

TEST_F(FileProcTest, KillFileClearsHiddenThenReadOnlyThenSystem) {
    const QString f = drive.makeFile(QStringLiteral("attrs.bin"), 10);
    if (!HasXattrs(f)) GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
    const int all = platform::AttrHidden | platform::AttrReadOnly | platform::AttrSystem;
    ASSERT_TRUE(os.setAttributes(f, all));
    os.attributesSet.clear();
    EXPECT_TRUE(FileProc::KillFile(f, true, true, true));
    ASSERT_EQ(os.attributesSet.size(), 3u);
    const int mask = all;
    EXPECT_EQ(os.attributesSet[0] & mask, platform::AttrReadOnly | platform::AttrSystem);
    EXPECT_EQ(os.attributesSet[1] & mask, platform::AttrSystem);
    EXPECT_EQ(os.attributesSet[2] & mask, 0);
}

TEST_F(FileProcTest, TimeStampsOfLongPathsAreLeftAlone) {
    // "T:\" + folder + "\" + name: exactly 128 and 129 characters.
    const QString folder(60, QLatin1Char('d'));
    for (int total : {128, 129}) {
        SCOPED_TRACE(total);
        const QString name(total - 3 - folder.size() - 1, QLatin1Char('f'));
        const QString f = drive.makeFile(folder + QLatin1Char('/') + name, 5);
        ASSERT_EQ(f.size(), total);
        platform::FileTimes t;
        os.timeReads = os.timeWrites = 0;
        const qint16 expected = total == 128 ? 0 : -5;
        EXPECT_EQ(FileProc::GetFileTimes(f, t), expected);
        EXPECT_EQ(FileProc::SetFileTimes(f, t), total == 128 ? 0 : -5);
        EXPECT_EQ(os.timeReads + os.timeWrites, total == 128 ? 2 : 0);
    }
    platform::FileTimes t;
    EXPECT_EQ(FileProc::GetFileTimes(drive.path(QStringLiteral("missing")), t), -1);
    EXPECT_EQ(FileProc::SetFileTimes(drive.path(QStringLiteral("missing")), t), -3);
}

TEST_F(FileProcTest, FileExistsOnlyForRegularFilesNotThroughLinks) {
    const QString f = drive.makeFile(QStringLiteral("real.txt"), 3);
    drive.makeFolder(QStringLiteral("sub"));
    ASSERT_EQ(::symlink(qPrintable(drive.native(QStringLiteral("real.txt"))),
                        qPrintable(drive.native(QStringLiteral("link.txt")))),
              0);
    EXPECT_TRUE(FileProc::FileExists(f));
    EXPECT_TRUE(FileProc::FileExists(drive.path(QStringLiteral("REAL.TXT")))); // names without regard to case
    EXPECT_FALSE(FileProc::FileExists(drive.path(QStringLiteral("link.txt"))));
    EXPECT_FALSE(FileProc::FileExists(drive.path(QStringLiteral("sub"))));
    EXPECT_FALSE(FileProc::FileExists(drive.path(QStringLiteral("none.txt"))));
    EXPECT_FALSE(FileProc::FileExists(QString()));
}

TEST_F(FileProcTest, LengthFlushAndChangeOfLength) {
    const QString f = drive.makeFile(QStringLiteral("len.bin"), 1234);
    EXPECT_EQ(FileProc::GetFileLength(f), 1234);
    EXPECT_LT(FileProc::GetFileLength(drive.path(QStringLiteral("none.bin"))), 0);
    EXPECT_EQ(FileProc::FlushFile(f), 0);
    EXPECT_EQ(FileProc::FlushFile(drive.path(QStringLiteral("none.bin"))), -1);

    EXPECT_EQ(FileProc::ChangeFileSize(f, 10), 0);
    EXPECT_EQ(FileProc::GetFileLength(f), 10);
    EXPECT_EQ(FileProc::ChangeFileSize(f, 8192), 0);
    EXPECT_EQ(FileProc::GetFileLength(f), 8192);
    EXPECT_LT(FileProc::ChangeFileSize(f, -1), 0);
    EXPECT_LT(FileProc::ChangeFileSize(drive.path(QStringLiteral("none.bin")), 5), 0);
    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("none.bin"))));
}

} // namespace
