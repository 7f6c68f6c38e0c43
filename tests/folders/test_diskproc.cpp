// Drive questions: the write test, free space, drive types, the first fixed
// drive, readiness, and the drive dialog.
#include "FolderStandIn.h"
#include "TestSupport.h"

#include "support/DiskProc.h"
#include "support/ModalUi.h"
#include "support/frmSpecifyDrive2.h"

#include <QDir>
#include <QTest>

using platform::DriveKind;

namespace {

QStringList NativeEntries(const QString& nativeFolder) {
    return QDir(nativeFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

platform::DiskSpace Space(qint64 cluster, qint64 freeClusters, double freeToCaller = 0, double total = 0) {
    platform::DiskSpace s;
    s.clusterSize = cluster;
    s.freeClusters = freeClusters;
    s.freeBytes = double(freeClusters) * double(cluster);
    s.freeToCaller = freeToCaller;
    s.totalBytes = total;
    return s;
}

} // namespace

TEST(WriteTest, WritableFolderPassesAndKeepsNoTestFile) {
    TempDrive drive(QLatin1Char('W'));
    ASSERT_TRUE(drive.ok());
    drive.makeFolder(QStringLiteral("data"));
    QString error = QStringLiteral("stale");
    // With and without the trailing backslash, and with several.
    for (const QString& path : {drive.path(QStringLiteral("data")), drive.path(QStringLiteral("data\\")),
                                drive.path(QStringLiteral("data\\\\")), drive.path()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(DiskProc::CannotWriteToDrive(path, error));
        EXPECT_TRUE(error.isEmpty());
    }
    EXPECT_EQ(NativeEntries(drive.native(QStringLiteral("data"))), QStringList());
    EXPECT_EQ(NativeEntries(drive.native()), QStringList{QStringLiteral("data")});
}

TEST(WriteTest, ReadOnlyMountIsRefusedWithTheSystemsWords) {
    if (!IsRoot()) GTEST_SKIP() << "needs root: mounts a read-only tmpfs";
    if (!CanMount()) GTEST_SKIP() << "cannot mount file systems here";
    ReadOnlyMount ro;
    ASSERT_TRUE(ro.ok());
    FolderStandIn os;
    os.mapDrive(QLatin1Char('R'), ro.path());
    QString error;
    EXPECT_TRUE(DiskProc::CannotWriteToDrive(QStringLiteral("R:\\"), error));
    EXPECT_EQ(error, QStringLiteral("Read-only file system"));
    os.unmapDrive(QLatin1Char('R'));
}

TEST(WriteTest, MissingFolderAndUnmappedDriveAreRefused) {
    TempDrive drive(QLatin1Char('W'));
    ASSERT_TRUE(drive.ok());
    QString error;
    EXPECT_TRUE(DiskProc::CannotWriteToDrive(drive.path(QStringLiteral("nowhere")), error));
    EXPECT_EQ(error, QStringLiteral("No such file or directory"));
    EXPECT_TRUE(DiskProc::CannotWriteToDrive(QStringLiteral("Q:\\"), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(WriteTest, FailureHalfWayLeavesNoTestFile) {
    FolderStandIn os; // first, so the drive is mapped in it
    TempDrive drive(QLatin1Char('W'));
    ASSERT_TRUE(drive.ok());
    os.writeFailsHalfway = true;
    QString error;
    EXPECT_TRUE(DiskProc::CannotWriteToDrive(drive.path(), error));
    EXPECT_EQ(error, QStringLiteral("No space left on device"));
    EXPECT_EQ(NativeEntries(drive.native()), QStringList());
}

TEST(WriteTest, FileThatCannotBeDeletedIsReportedWithItsName) {
    FolderStandIn os; // first, so the drive is mapped in it
    TempDrive drive(QLatin1Char('W'));
    ASSERT_TRUE(drive.ok());
    const QString testFile = drive.path(DiskProc::WriteTestFileName());
    os.undeletable << testFile;
    QString error;
    // The drive is refused: a drive that keeps what it was given is not one
    // the program can clean up after.
    EXPECT_TRUE(DiskProc::CannotWriteToDrive(drive.path(), error));
    EXPECT_EQ(error, QStringLiteral("Permission denied (the test file ") + testFile +
                         QStringLiteral(" could not be removed)"));
    EXPECT_EQ(NativeEntries(drive.native()), QStringList{DiskProc::WriteTestFileName()});
}

TEST(DiskSpace, ClusterSizeLimitsAndLargeCountsConvertExactly) {
    FolderStandIn os;
    struct Case {
        qint64 cluster;
        qint32 expected;
    };
    // 5 GiB + 4096 bytes of free clusters: more than 32 bits can carry.
    const qint64 freeClusters = (5LL << 30) / 512 + 8;
    for (const Case& c : {Case{512, 512}, Case{65536, 65536}, Case{256, -2}, Case{131072, -2}}) {
        SCOPED_TRACE(c.cluster);
        os.diskAnswers[QLatin1Char('M')] = Space(c.cluster, freeClusters);
        double freeBytes = 0;
        EXPECT_EQ(DiskProc::GetClusterSizeAndFreeBytes(QStringLiteral("M:\\"), &freeBytes), c.expected);
        EXPECT_EQ(freeBytes, c.expected > 0 ? double(freeClusters) * double(c.cluster) : -1.0);
    }

    const double fiveGiB = double(5LL << 30) + 12345.0;
    const double threeGB = 3000000000.0; // low 32 bits with the top bit set
    os.diskAnswers[QLatin1Char('M')] = Space(4096, 1, fiveGiB, threeGB);
    double freeToCaller = 0;
    double total = 0;
    EXPECT_EQ(DiskProc::GetDiskSpace(QStringLiteral("m:\\anything"), freeToCaller, total), 0);
    EXPECT_EQ(freeToCaller, 5368721465.0);
    EXPECT_EQ(total, 3000000000.0);
    EXPECT_EQ(DiskProc::GetDiskSpace(QStringLiteral("Q:"), freeToCaller, total), -1);
    EXPECT_EQ(DiskProc::GetDiskSpace(QStringLiteral("M"), freeToCaller, total), -1);
}

TEST(DriveTypes, TheTwoCodeFamiliesAreKeptApart) {
    struct Case {
        DriveKind kind;
        qint16 fso, os;
    };
    for (const Case& c : {Case{DriveKind::Unknown, 0, 0}, Case{DriveKind::NoRoot, 0, 1}, Case{DriveKind::Removable, 1, 2},
                          Case{DriveKind::Fixed, 2, 3}, Case{DriveKind::Network, 3, 4}, Case{DriveKind::CdRom, 4, 5},
                          Case{DriveKind::RamDisk, 5, 6}}) {
        SCOPED_TRACE(int(c.kind));
        EXPECT_EQ(DiskProc::FsoDriveTypeOf(c.kind), c.fso);
        EXPECT_EQ(DiskProc::OsDriveTypeOf(c.kind), c.os);
    }
}

TEST(DriveTypes, FirstFixedDriveSkipsFloppiesAndOtherKinds) {
    FolderStandIn os;
    os.useFakeDrives = true;
    os.fakeDrives = {{QLatin1Char('A'), DriveKind::Removable, {}},
                     {QLatin1Char('C'), DriveKind::Fixed, QStringLiteral("System")},
                     {QLatin1Char('D'), DriveKind::CdRom, {}}};
    EXPECT_EQ(DiskProc::GetFirstFixedDrive(), QStringLiteral("C:"));

    // A and B are never the answer, even when fixed.
    os.fakeDrives = {{QLatin1Char('A'), DriveKind::Fixed, {}},
                     {QLatin1Char('B'), DriveKind::Fixed, {}},
                     {QLatin1Char('E'), DriveKind::Network, {}},
                     {QLatin1Char('F'), DriveKind::Fixed, {}}};
    EXPECT_EQ(DiskProc::GetFirstFixedDrive(), QStringLiteral("F:"));

    QString drive;
    EXPECT_TRUE(DiskProc::IsOnDrive(QStringLiteral("f:\\pagefile.sys"), drive));
    EXPECT_EQ(drive, QStringLiteral("F:"));
    EXPECT_FALSE(DiskProc::IsOnDrive(QStringLiteral("E:\\x"), drive));

    QString first;
    qint16 type = 0;
    EXPECT_EQ(DiskProc::GetFirstDrive(first, type), 4);
    EXPECT_EQ(first, QStringLiteral("A:"));
    EXPECT_EQ(type, DiskProc::fsoFixed);

    os.fakeDrives = {{QLatin1Char('A'), DriveKind::Fixed, {}}};
    EXPECT_EQ(DiskProc::GetFirstFixedDrive(), QString());
    drive.clear();
    EXPECT_FALSE(DiskProc::IsOnDrive(QStringLiteral("C:\\x"), drive)); // no fixed drive: on none
    os.fakeDrives.clear();
    EXPECT_EQ(DiskProc::GetFirstDrive(first, type), 0);
    EXPECT_EQ(first, QString());
    EXPECT_EQ(type, -1);
}

TEST(DriveTypes, FixedAndRamDrivesAreReadyWithoutBeingAsked) {
    FolderStandIn os;
    os.useFakeDrives = true;
    os.fakeDrives = {{QLatin1Char('A'), DriveKind::Removable, {}},
                     {QLatin1Char('C'), DriveKind::Fixed, {}},
                     {QLatin1Char('D'), DriveKind::CdRom, {}},
                     {QLatin1Char('R'), DriveKind::RamDisk, {}}};
    EXPECT_TRUE(DiskProc::DriveIsReady(QStringLiteral("C:")));
    EXPECT_TRUE(DiskProc::DriveIsReady(QStringLiteral("r:\\")));
    EXPECT_EQ(os.diskQueries, 0);
    EXPECT_FALSE(DiskProc::DriveIsReady(QStringLiteral("D:\\"))); // no medium
    EXPECT_FALSE(DiskProc::DriveIsReady(QStringLiteral("Z:")));   // no such drive
    os.diskAnswers[QLatin1Char('A')] = Space(512, 10, 5120, 1474560);
    EXPECT_TRUE(DiskProc::DriveIsReady(QStringLiteral("A:\\")));
}

class DriveDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        os.useFakeDrives = true;
        os.fakeDrives = {{QLatin1Char('A'), DriveKind::Removable, {}},
                         {QLatin1Char('C'), DriveKind::Fixed, QStringLiteral("System")},
                         {QLatin1Char('D'), DriveKind::CdRom, QStringLiteral("Disc")},
                         {QLatin1Char('D'), DriveKind::CdRom, QStringLiteral("Disc")},
                         {QLatin1Char('E'), DriveKind::Network, {}}};
    }
    // Shows the dialog with strDrive preset; step answers it.
    void Run(const QString& preset, const std::function<void(frmSpecifyDrive2&)>& step) {
        frmSpecifyDrive2& f = frmSpecifyDrive2::instance();
        f.strDrive = preset;
        ScriptedModal modal;
        modal.then([&](QDialog*) { step(f); });
        ShowModal(&f);
    }
    FolderStandIn os;
};

TEST_F(DriveDialogTest, ListsDrivesWithLabelsOnceAndPreselectsByFirstLetter) {
    Run(QStringLiteral("d:\\some\\path"), [](frmSpecifyDrive2& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Specify disk drive"));
        EXPECT_TRUE(f.blnDrivesPresent);
        QStringList items;
        for (int i = 0; i < f.cboDrives->count(); ++i) items << f.cboDrives->itemText(i);
        EXPECT_EQ(items, (QStringList{QStringLiteral("A:"), QStringLiteral("C: [System]"), QStringLiteral("D: [Disc]"),
                                      QStringLiteral("E:")}));
        EXPECT_EQ(f.cboDrives->currentIndex(), 2);
        EXPECT_EQ(f.DriveTypeOfEntry(0), DiskProc::fsoRemovable);
        EXPECT_EQ(f.DriveTypeOfEntry(3), DiskProc::fsoNetwork);
        EXPECT_EQ(f.DriveTypeOfEntry(4), -1);
        EXPECT_EQ(f.focusWidget(), f.cmdCancel);
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
    });
    frmSpecifyDrive2& f = frmSpecifyDrive2::instance();
    EXPECT_TRUE(f.blnAccept);
    EXPECT_EQ(f.strDrive, QStringLiteral("D:"));
    EXPECT_EQ(f.intDriveType, DiskProc::fsoCdRom);
}

TEST_F(DriveDialogTest, AbsentDrivePreselectsTheFirstEntryAndCancelClears) {
    Run(QStringLiteral("Q:"), [](frmSpecifyDrive2& f) {
        EXPECT_EQ(f.cboDrives->currentIndex(), 0);
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
    });
    frmSpecifyDrive2& f = frmSpecifyDrive2::instance();
    EXPECT_FALSE(f.blnAccept);
    EXPECT_EQ(f.strDrive, QString());
    EXPECT_EQ(f.intDriveType, -1);

    // Closing the window is a Cancel too.
    Run(QStringLiteral("C:"), [](frmSpecifyDrive2& dialog) {
        EXPECT_EQ(dialog.cboDrives->currentIndex(), 1);
        dialog.close();
    });
    EXPECT_FALSE(f.blnAccept);
    EXPECT_EQ(f.strDrive, QString());
}

TEST_F(DriveDialogTest, NoDrivesLeavesAnEmptyListThatCannotBeAccepted) {
    os.fakeDrives.clear();
    Run(QStringLiteral("C:"), [](frmSpecifyDrive2& f) {
        EXPECT_FALSE(f.blnDrivesPresent);
        EXPECT_EQ(f.cboDrives->count(), 0);
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
    });
    frmSpecifyDrive2& f = frmSpecifyDrive2::instance();
    EXPECT_FALSE(f.blnAccept);
    EXPECT_EQ(f.intDriveType, -1);
}
