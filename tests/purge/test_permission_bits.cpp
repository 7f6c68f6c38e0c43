// The purge against permission bits set with chmod: a file without its
// owner's write bit, one that may not be read, and one whose folder may not be
// written. Root writes and removes them whatever their modes, so these cases
// run only as an ordinary user.
#include "PurgeStandIn.h"
#include "TestSupport.h"
#include "app/MainState.h"
#include "purge/FilePurge.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

using namespace FilePurge;

class PermissionBits : public ::testing::Test {
  protected:
    PurgeStandIn os;
    TempDrive drive{QLatin1Char('T')};

    void SetUp() override {
        if (IsRoot()) GTEST_SKIP() << "root writes and removes any file: runs as an ordinary user only";
        ASSERT_TRUE(drive.ok());
        Main().ClearDriveTables();
        Main().lngDriveClusterSize[size_t('T' - 'A')] = 4096;
    }
    void TearDown() override { Main().ClearDriveTables(); }

    qint16 Purge(const QString& path, bool del, bool readOnlyAllowed) {
        qint16 result = 12345;
        VQesPurgeFile(path, 0, 1, del, readOnlyAllowed, true, result);
        return result;
    }
    unsigned Mode(const QString& relative) const {
        struct stat st {};
        if (::stat(QFile::encodeName(drive.native(relative)).constData(), &st) != 0) return 0;
        return st.st_mode & 0777;
    }
};

} // namespace

TEST_F(PermissionBits, FileWithoutItsWriteBitIsRefusedUnlessAllowed) {
    const QString f = drive.makeFile(QStringLiteral("ro.txt"), 5000, 'r');
    ASSERT_TRUE(
        QFile::setPermissions(drive.native(QStringLiteral("ro.txt")), QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_EQ(Purge(f, true, false), PurgeReadOnly);
    EXPECT_TRUE(os.writes.empty());
    EXPECT_EQ(Mode(QStringLiteral("ro.txt")), 0440u);
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("ro.txt"))), QByteArray(5000, 'r'));

    // Allowed: kept, it is overwritten where it lies; then purged away.
    EXPECT_EQ(Purge(f, false, true), PurgeOk);
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("ro.txt"))), QByteArray(5000, '\0'));
    ASSERT_TRUE(QFile::setPermissions(drive.native(QStringLiteral("ro.txt")), QFile::ReadOwner));
    EXPECT_EQ(Purge(f, true, true), PurgeOk);
    EXPECT_FALSE(QFileInfo::exists(drive.native(QStringLiteral("ro.txt"))));
}

TEST_F(PermissionBits, FileThatMayNotBeReadIsInUseAndKeepsItsContent) {
    const QString f = drive.makeFile(QStringLiteral("locked.txt"), 100, 'l');
    WithMode none(drive.native(QStringLiteral("locked.txt")), 0);
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(Purge(f, true, true), PurgeCannotOpen);
    EXPECT_TRUE(os.writes.empty());
    ASSERT_TRUE(QFile::setPermissions(drive.native(QStringLiteral("locked.txt")), QFile::ReadOwner));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("locked.txt"))), QByteArray(100, 'l'));
}

TEST_F(PermissionBits, FileInAFolderThatMayNotBeWrittenIsOverwrittenButNotDeleted) {
    const QString f = drive.makeFile(QStringLiteral("shut/a.txt"), 5000, 'a');
    WithMode shut(drive.native(QStringLiteral("shut")), 0555);
    ASSERT_TRUE(shut.ok());
    EXPECT_EQ(Purge(f, true, true), PurgeNotDeleted);
    EXPECT_EQ(os.deleteAttempts, 4);
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("shut/a.txt"))), QByteArray(5000, '\0'));
}
