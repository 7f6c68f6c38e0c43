// Which files a purge never touches or asks about first.
#include "RunFixture.h"

#include "run/FileOps.h"

#include <QCoreApplication>

namespace {

class ExclusionTest : public RunTest {};

} // namespace

TEST_F(ExclusionTest, ResultsByPlaceNameAndExtension) {
    FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
    struct Case {
        const char* path;
        qint16 result;
    } cases[] = {
        {"T:\\$RECYCLE.BIN\\S-1-5\\desktop.ini", FileOps::RecycleBinDesktopIni},
        {"T:\\data\\Desktop.INI", FileOps::SensitiveAsk}, // elsewhere only its extension counts
        {"T:\\data\\pagefile.sys", FileOps::SwapFile},
        {"T:\\data\\.notes.swp", FileOps::SwapFile},
        {"T:\\data\\README", FileOps::MayBePurged},
        {"T:\\data\\notes.txt", FileOps::MayBePurged},
        {"T:\\data\\Setup.EXE", FileOps::SensitiveAsk},
        {"T:\\data\\lib.dll", FileOps::SensitiveAsk},
    };
    for (const Case& c : cases) EXPECT_EQ(FileOps::ExcludedFile(QString::fromLatin1(c.path)), c.result) << c.path;

    FileOps::SetExtensionPermission(QStringLiteral("exe"), FileOps::PermissionRefused);
    FileOps::SetExtensionPermission(QStringLiteral("dll"), FileOps::PermissionAllowed);
    FileOps::SetExtensionPermission(QStringLiteral("txt"), FileOps::PermissionRefused); // not listed: ignored
    EXPECT_EQ(FileOps::ExcludedFile(QStringLiteral("T:\\data\\setup.exe")), FileOps::SensitiveRefused);
    EXPECT_EQ(FileOps::ExcludedFile(QStringLiteral("T:\\data\\lib.dll")), FileOps::MayBePurged);
    EXPECT_EQ(FileOps::ExcludedFile(QStringLiteral("T:\\data\\notes.txt")), FileOps::MayBePurged);
    FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
    EXPECT_EQ(FileOps::ExcludedFile(QStringLiteral("T:\\data\\setup.exe")), FileOps::SensitiveAsk);

    EXPECT_EQ(FileOps::ResultText(FileOps::SensitiveAsk, QStringLiteral("exe")),
              QStringLiteral(": \"exe\" files are not purged."));
    EXPECT_EQ(FileOps::ResultText(0, QString()), QStringLiteral(" not purged."));
    EXPECT_EQ(FileOps::ResultText(-4, QString()), QStringLiteral(": file overwritten but not deleted."));
}

TEST_F(ExclusionTest, TheProgramsFoldersUnderAnyLetter) {
    // The data folder (where vq.dat lies) and the executable's folder, here
    // the same, reached through a letter of their own.
    os.mapDrive(QLatin1Char('P'), platform::current().programFolder());
    os.mapDrive(QLatin1Char('Q'), QCoreApplication::applicationDirPath());
    FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
    EXPECT_EQ(FileOps::ExcludedFile(QStringLiteral("P:\\vq.dat")), FileOps::InProgramFolder);
    EXPECT_EQ(FileOps::ExcludedFile(QStringLiteral("Q:\\VQ.DAT")), FileOps::InProgramFolder);
    EXPECT_EQ(FileOps::ResultText(FileOps::InProgramFolder, {}),
              QStringLiteral(": a file in the current application folder, not purged."));
    os.unmapDrive(QLatin1Char('P'));
    os.unmapDrive(QLatin1Char('Q'));
}

TEST_F(ExclusionTest, AnActiveSwapFileWhateverItsName) {
    const QString swap = drive.makeFile(QStringLiteral("data/ordinary.dat"), 100);
    os.inventSwapFiles = true;
    os.swapFiles = {QFile::encodeName(drive.native(QStringLiteral("data/ordinary.dat")))};
    FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
    EXPECT_EQ(FileOps::ExcludedFile(swap), FileOps::SwapFile);
    EXPECT_EQ(FileOps::ExcludedFile(drive.makeFile(QStringLiteral("data/other.dat"), 1)), FileOps::MayBePurged);

    // And the purge leaves it alone.
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("ordinary.dat"), false);
    ScriptedModal modal;
    modal.then(Confirm({}));
    Purge();
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("ordinary.dat: the page file (swap file), not purged.\r\n")));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("data/ordinary.dat"))), QByteArray(100, 'x'));
    os.inventSwapFiles = false;
    FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
}

TEST(SwapList, KernelListTakesFilesOnly) {
    const QByteArray text = "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n"
                            "/dev/sda2                               partition\t8388604\t\t0\t\t-2\n"
                            "/var/swap\\040file                       file\t\t1048572\t\t0\t\t-3\n";
    EXPECT_EQ(platform::PosixPlatform::parseSwaps(text), QList<QByteArray>{QByteArrayLiteral("/var/swap file")});
}

TEST(SwapList, AnActiveSwapFileOfThisMachineIsExcluded) {
    const QList<QByteArray> swaps = platform::current().activeSwapFiles();
    if (swaps.isEmpty()) GTEST_SKIP() << "this machine has no active swap file";
    const QString drivePath = platform::current().toDrivePath(swaps.first());
    if (drivePath.isEmpty()) GTEST_SKIP() << "the swap file lies on no mapped drive";
    FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
    EXPECT_EQ(FileOps::ExcludedFile(drivePath), FileOps::SwapFile);
}

TEST_F(ExclusionTest, SensitiveExtensionIsAskedOnceThenRefusedWithoutAsking) {
    drive.makeFile(QStringLiteral("bin/a.exe"), 3);
    drive.makeFile(QStringLiteral("bin/b.exe"), 3);
    drive.makeFile(QStringLiteral("bin/c.bat"), 3);
    Select(drive.path(QStringLiteral("bin\\")), QStringLiteral("*.*"), false);
    const QString tail = QStringLiteral(" extension.\r\nDo you wish to allow all files with this extension to be "
                                        "purged?\r\n(Permission lasts only during the course of this operation.)");
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Purge query"),
                 QStringLiteral("T:\\bin\\a.exe\r\n\r\nYou have requested to purge a file with an \"exe\"") + tail, vbNo);
    boxes.expect(QStringLiteral("Purge query"),
                 QStringLiteral("T:\\bin\\c.bat\r\n\r\nYou have requested to purge a file with a \"bat\"") + tail, vbYes);
    ScriptedModal modal;
    modal.then(Confirm({}));
    Purge();
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("\r\nT:\\bin\\\r\na.exe: \"exe\" files are not purged.\r\n"
                                                              "b.exe: \"exe\" files are not purged.\r\n"
                                                              "c.bat (3 bytes) purging purged\r\n\r\n")))
        << report().ReportText().toStdString();
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("bin\\c.bat"))), platform::Kind::Missing);

    // With the sensitive option nothing is asked.
    drive.makeFile(QStringLiteral("bin2/d.exe"), 3);
    Select(drive.path(QStringLiteral("bin2\\")), QStringLiteral("*.exe"), false);
    modal.then(Confirm({QStringLiteral("chkOKToPurgeSensitiveFiles")}));
    Purge();
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("bin2\\d.exe"))), platform::Kind::Missing);
}

TEST_F(ExclusionTest, CancelInThePurgeQueryStopsTheRun) {
    drive.makeFile(QStringLiteral("bin/a.exe"), 3);
    drive.makeFile(QStringLiteral("bin/b.txt"), 3);
    Select(drive.path(QStringLiteral("bin\\")), QStringLiteral("*.*"), false);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Purge query"), {}, vbCancel);
    ScriptedModal modal;
    modal.then(Confirm({}));
    Purge();
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("\r\nT:\\bin\\\r\na.exe\r\n\r\nNumber of files *.*: 1\r\n"
                                                              "Number of files purged: 0\r\nPurge operation was stopped.")))
        << report().ReportText().toStdString();
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("bin\\b.txt"))), platform::Kind::File);
}
