// A drive root the ordinary user may not write, made with chmod. Root writes
// it whatever its mode, so these cases run only as an ordinary user.
#include "FolderStandIn.h"
#include "TestSupport.h"

#include "support/DiskProc.h"

#include <QDir>

TEST(UnwritableDrive, WriteTestRefusesItWithTheSystemsWordsAndLeavesNothing) {
    if (IsRoot()) GTEST_SKIP() << "root writes a folder whatever its mode: runs as an ordinary user only";
    FolderStandIn os; // first, so the drive is mapped in it
    TempDrive drive(QLatin1Char('W'));
    ASSERT_TRUE(drive.ok());
    drive.makeFolder(QStringLiteral("open"));
    WithMode readOnly(drive.native(), 0555);
    ASSERT_TRUE(readOnly.ok());
    QString error;
    EXPECT_TRUE(DiskProc::CannotWriteToDrive(drive.path(), error));
    EXPECT_EQ(error, QStringLiteral("Permission denied"));
    EXPECT_EQ(QDir(drive.native()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("open")});
    // A writable folder on it is still fine.
    EXPECT_FALSE(DiskProc::CannotWriteToDrive(drive.path(QStringLiteral("open")), error));
    EXPECT_TRUE(error.isEmpty());
}
