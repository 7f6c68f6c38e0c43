// The dummy files of the speed test: where they go, how many, and that they
// never outlive a run.

#include "TestSupport.h"
#include "app/MainState.h"
#include "platform/PosixPlatform.h"
#include "speed/FillDisk.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace {

using namespace FillDisk;

// The real layer, with folder creation refused at one place and text files
// failing with a full disk from a chosen call on.
class DummyStandIn : public platform::PosixPlatform {
  public:
    QString refuseFoldersIn; // drive path of a folder that cannot be written
    int diskFullFromWrite = 0;
    int writes = 0;
    DummyStandIn() { platform::install(this); }
    ~DummyStandIn() override { platform::install(nullptr); }
    bool createFolder(const QString& path, int& error) override {
        if (!refuseFoldersIn.isEmpty() && path.startsWith(refuseFoldersIn, Qt::CaseInsensitive) &&
            path.mid(refuseFoldersIn.size()).count(QLatin1Char('\\')) == 0) {
            error = EACCES;
            return false;
        }
        return PosixPlatform::createFolder(path, error);
    }
    bool writeTextFile(const QString& path, const QByteArray& content, int& error) override {
        ++writes;
        if (diskFullFromWrite > 0 && writes >= diskFullFromWrite) {
            error = ENOSPC;
            return false;
        }
        return PosixPlatform::writeTextFile(path, content, error);
    }
};

class FillDiskTest : public ::testing::Test {
  protected:
    DummyStandIn os;
    TempDrive drive{QLatin1Char('T')};
    ScriptedMsgBox boxes;
    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        Main().ClearDriveTables();
        Main().lngDriveClusterSize[size_t('T' - 'A')] = 4096;
        Dummy() = DummyState();
        Dummy().strDummyDrive = QStringLiteral("T:");
    }
    void TearDown() override { Main().ClearDriveTables(); }
    int Entries() const { return int(QDir(drive.native()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size()); }
};

TEST(DummyFiles, CountByDriveSize) {
    EXPECT_EQ(DummyFileCount(QLatin1Char('A'), 1e12), 1);
    EXPECT_EQ(DummyFileCount(QLatin1Char('b'), 0), 1);
    EXPECT_EQ(DummyFileCount(QLatin1Char('C'), 5368709120.0 - 1), 5);
    EXPECT_EQ(DummyFileCount(QLatin1Char('C'), 5368709120.0), 10);
    EXPECT_EQ(DummyFileCount(QLatin1Char('C'), 53687091200.0 - 1), 10);
    EXPECT_EQ(DummyFileCount(QLatin1Char('C'), 53687091200.0), 20);
}

TEST(DummyFiles, SpeedIsTheMeanOfEveryRun) {
    Main().ClearDriveTables();
    float speed = 0;
    for (float run : {10.0f, 20.0f, 30.0f, 40.0f, 50.0f, 60.0f}) speed = AddSpeedMeasurement("c:", run);
    EXPECT_FLOAT_EQ(speed, 35.0f);
    EXPECT_EQ(Main().intNumSpeedRuns[2], 6);
    Main().ClearDriveTables();
}

TEST_F(FillDiskTest, MadePurgedAndRemoved) {
    Dummy().intDummyFileCount = 5;
    CreateDummyFiles();
    ASSERT_TRUE(Dummy().blnDummyFilesCreated);
    EXPECT_EQ(Dummy().strDummyFolder, drive.path("_vq_dummy1"));
    const QStringList files = QDir(drive.native("_vq_dummy1")).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList({"_vq_dummy1", "_vq_dummy2", "_vq_dummy3", "_vq_dummy4", "_vq_dummy5"}));
    qint64 bytes = 0;
    for (const QString& f : files) {
        const qint64 size = QFileInfo(drive.native("_vq_dummy1/" + f)).size();
        EXPECT_GE(size, 51200);
        EXPECT_LE(size, 131072);
        bytes += size;
    }
    EXPECT_EQ(Dummy().lngDummyBytes, bytes);
    EXPECT_TRUE(PurgeDummyFiles(0, 1));
    EXPECT_EQ(Entries(), 0) << "the dummy folder is gone";
}

TEST_F(FillDiskTest, ARootThatCannotBeWrittenSendsTheFolderElsewhereOnTheSameFileSystem) {
    // The drive's root refuses; the home folder lies on the same file
    // system when it is inside the drive.
    drive.makeFolder("home");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(drive.native("home")));
    os.refuseFoldersIn = drive.path();
    EXPECT_EQ(DummyParentFolder(QLatin1Char('T')), drive.path("home"));
    Dummy().intDummyFileCount = 1;
    CreateDummyFiles();
    EXPECT_TRUE(Dummy().blnDummyFilesCreated);
    EXPECT_EQ(Dummy().strDummyFolder, drive.path("home\\_vq_dummy1"));
    EXPECT_TRUE(PurgeDummyFiles(0, 1));
    EXPECT_TRUE(QDir(drive.native("home")).isEmpty());
    qputenv("HOME", savedHome);
}

TEST_F(FillDiskTest, AFullDiskFailsOnlyWithFiveFilesOrFewer) {
    Dummy().intDummyFileCount = 10;
    // The file that finds the disk full counts among those made.
    os.diskFullFromWrite = 6; // five made, the sixth finds the disk full
    CreateDummyFiles();
    EXPECT_TRUE(Dummy().blnDummyFilesCreated);
    EXPECT_TRUE(PurgeDummyFiles(0, 1));
    EXPECT_EQ(Entries(), 0);

    os.writes = 0;
    os.diskFullFromWrite = 5; // four made, the fifth finds the disk full
    boxes.expect("Test purge speed",
                 "An error occurred when creating the dummy files in the disk in Drive T\r\n"
                 "for the speed test.  Please repeat the test.",
                 vbOK, vbOKOnly | vbExclamation);
    CreateDummyFiles();
    EXPECT_FALSE(Dummy().blnDummyFilesCreated);
    EXPECT_EQ(Entries(), 0) << "what was made is removed";
}

} // namespace
