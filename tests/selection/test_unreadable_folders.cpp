// Folders the ordinary user may not read, made with chmod. Root reads them
// whatever their mode, so these cases run only as an ordinary user.
#include "TestSupport.h"

#include "selection/folder.h"

#include <cerrno>
#include <memory>

namespace {

// top holds a.txt, open/b.txt and locked/ (mode 000) with two files below it.
class UnreadableFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (IsRoot()) GTEST_SKIP() << "root reads a folder whatever its mode: runs as an ordinary user only";
        ASSERT_TRUE(drive.ok());
        drive.makeFile("top/a.txt", 10);
        drive.makeFile("top/open/b.txt", 20);
        drive.makeFile("top/locked/inside.txt", 100);
        drive.makeFile("top/locked/deeper/more.txt", 1000);
        locked = std::make_unique<WithMode>(drive.native("top/locked"), 0);
        ASSERT_TRUE(locked->ok());
    }
    TempDrive drive{QLatin1Char('T')};
    std::unique_ptr<WithMode> locked; // after the drive: its mode is back before the drive goes
};

} // namespace

TEST_F(UnreadableFolder, CountersReportItAndNeverShowItsFiles) {
    const QString path = drive.path("top\\locked\\");
    QString error = "stale";
    double size = -1;
    bool denied = false;
    // Permission denied is a flag, not an error to show (an unexpected box fails the test).
    EXPECT_EQ(folder::CountMatchingFiles(path, "*.*", false, true, error, size, denied), 0);
    EXPECT_TRUE(denied);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(size, 0);

    EXPECT_EQ(folder::CountSubfolders(path, error), -1);
    EXPECT_EQ(error, platform::current().errorText(EACCES));
    denied = false;
    EXPECT_TRUE(folder::FolderIsEmpty(path, denied));
    EXPECT_TRUE(denied);

    // Its readable parent still lists it as a subfolder.
    EXPECT_EQ(folder::CountSubfolders(drive.path("top"), error), 2);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(folder::FolderIsEmpty(drive.path("top"), denied));
    EXPECT_FALSE(denied);
}

TEST_F(UnreadableFolder, TreeCountsSkipItAndSaySo) {
    qint32 count = 0, status = 0, errors = 0;
    double size = 0;
    folder::GetNumFilesInAllSubfolders(true, drive.path("top"), "*.txt", count, status, true, size, errors,
                                       false, 0);
    EXPECT_EQ(count, 2);
    EXPECT_DOUBLE_EQ(size, 30);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(status, folder::kFinished);

    bool unreadable = false;
    EXPECT_FALSE(folder::AnyMatchingFileInTree(drive.path("top"), "inside.txt", unreadable));
    EXPECT_TRUE(unreadable) << "a No that may be incomplete says so";
    unreadable = false;
    EXPECT_TRUE(folder::AnyMatchingFileInTree(drive.path("top"), "b.txt", unreadable));
}

TEST_F(UnreadableFolder, RemovalFailsAndLeavesWhatItCannotReach) {
    QString error;
    EXPECT_FALSE(folder::DeleteFolder(drive.path("top\\locked"), error, true));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(folder::DeleteFolder(drive.path("top"), error, true));
    EXPECT_FALSE(error.isEmpty());
    locked.reset();
    EXPECT_EQ(ReadNative(drive.native("top/locked/inside.txt")), QByteArray(100, 'x'));
    EXPECT_EQ(ReadNative(drive.native("top/locked/deeper/more.txt")), QByteArray(1000, 'x'));
}
