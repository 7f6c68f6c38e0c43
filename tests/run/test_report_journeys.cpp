// The whole journeys through the main window's "List and estimate time" and
// "Purge files", with the report they leave in the window and on the
// clipboard, byte for byte.
#include "RunFixture.h"

#include "support/Language.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNoEstimate = QStringLiteral("For an estimate of the purge time test the purge speed for Drive T then relist.");
const QString kNotMeasured =
    QStringLiteral("The purge speed has not been measured for drive T.\r\nFor an estimate of the purge time test the purge "
                   "speed for this drive then relist.\r\nDo you wish to list subfolders without getting an estimate of "
                   "purge time?");

class JourneyTest : public RunTest {};

} // namespace

TEST_F(JourneyTest, ListingWithFileNames) {
    drive.makeFile(QStringLiteral("data/a.txt"), 100);
    drive.makeFile(QStringLiteral("data/b.txt"), 2048);
    SetDay(drive.native(QStringLiteral("data/a.txt")), QDate(2025, 1, 15));
    SetDay(drive.native(QStringLiteral("data/b.txt")), QDate(2024, 7, 1));
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.*"), false);
    List();

    const QString expected = QStringLiteral("T:\\data\\\r\n") + QStringLiteral("a.txt (") + FileDate(QDate(2025, 1, 15)) +
                             QStringLiteral(", 100 bytes)   \r\n") + QStringLiteral("b.txt (") +
                             FileDate(QDate(2024, 7, 1)) + QStringLiteral(", 2.00 Kb)\r\n\r\n") +
                             QStringLiteral("Number of files *.*: 2\r\n") + QStringLiteral("Sum of file sizes: 2.10 Kb\r\n\r\n") +
                             kNoEstimate;
    EXPECT_EQ(report().ReportText(), expected);
    EXPECT_EQ(Clipboard(), expected);
    EXPECT_EQ(report().windowTitle(), QStringLiteral("List all files"));
    EXPECT_TRUE(report().isVisible());
    EXPECT_TRUE(report().cmdClose->isVisible());
    EXPECT_TRUE(report().cmdCopyToClipboard->isVisible());
    EXPECT_FALSE(report().cmdStop->isVisible());
    EXPECT_FALSE(report().cmdPauseContinue->isVisible());
    EXPECT_TRUE(form->fraMenu->isEnabled());
    // Nothing was touched.
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("data/a.txt"))), QByteArray(100, 'x'));
}

TEST_F(JourneyTest, ListingWithFolderNamesOnly) {
    // More than 100 files: the folder names alone are listed.
    for (int i = 0; i < 101; ++i)
        drive.makeFile(QStringLiteral("tree/%1/f%2.txt").arg(i < 60 ? QStringLiteral("one") : QStringLiteral("two")).arg(i), 1);
    drive.makeFile(QStringLiteral("tree/top.dat"), 1);
    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.txt"), true);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("List and estimate time"), kNotMeasured, vbYes, vbYesNoCancel | vbQuestion);
    boxes.expect(QStringLiteral("List folder names?"), QStringLiteral("Suppress display of folder names?"), vbNo,
                 vbYesNoCancel | vbQuestion);
    List();
    const QString expected = QStringLiteral("T:\\tree\\one\\\r\nT:\\tree\\two\\\r\n\r\n") +
                             QStringLiteral("Number of files: 101\r\n") +
                             QStringLiteral("Sum of file sizes: 101 bytes\r\n\r\n") + kNoEstimate;
    EXPECT_EQ(report().ReportText(), expected);
    EXPECT_EQ(report().windowTitle(), QStringLiteral("List folders"));
    EXPECT_EQ(Clipboard(), expected);
}

TEST_F(JourneyTest, ListingWithDotsEndsWithTheSummaryAlone) {
    drive.makeFile(QStringLiteral("tree/a.txt"), 10);
    drive.makeFile(QStringLiteral("tree/sub/b.txt"), 20);
    drive.makeFile(QStringLiteral("tree/sub/deeper/c.doc"), 30);
    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.*"), true);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("List and estimate time"), kNotMeasured, vbYes);
    boxes.expect(QStringLiteral("List folder names?"), QStringLiteral("Suppress display of folder names?"), vbYes);
    List();
    EXPECT_EQ(report().ReportText(), QStringLiteral("Number of files *.*: 3\r\nSum of file sizes: 60 bytes\r\n\r\n") +
                                         kNoEstimate);
    EXPECT_EQ(report().windowTitle(), QStringLiteral("Estimate purge time"));
    EXPECT_FALSE(report().lblDots->isVisible());
}

TEST_F(JourneyTest, PurgeWithSubfoldersExclusionReadOnlyAndProgressMarks) {
    drive.makeFile(QStringLiteral("tree/big.dat"), 204800);
    drive.makeFile(QStringLiteral("tree/ro.txt"), 10);
    MakeReadOnly(drive.native(QStringLiteral("tree/ro.txt")));
    drive.makeFile(QStringLiteral("tree/sub/tool.exe"), 5);
    drive.makeFile(QStringLiteral("tree/sub/tool2.exe"), 5);
    drive.makeFolder(QStringLiteral("tree/empty"));
    frmTypeOfPurge::instance().SetPurgeType(0, 4);
    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.*"), true);

    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Purge files"), Language::ProgramText(29) + QStringLiteral(" T:\\tree\\ ?"), vbYes,
                 vbYesNoCancel | vbQuestion);
    boxes.expect(QStringLiteral("Purge query"),
                 QStringLiteral("T:\\tree\\sub\\tool.exe\r\n\r\nYou have requested to purge a file with an \"exe\" "
                                "extension.\r\nDo you wish to allow all files with this extension to be purged?\r\n"
                                "(Permission lasts only during the course of this operation.)"),
                 vbNo, vbYesNoCancel | vbDefaultButton2);
    ScriptedModal modal;
    modal.then(Confirm({QStringLiteral("chkDeleteEmptyFolders")}, true, [](frmPurgeConfirmation& c) {
        EXPECT_EQ(c.lblMessage->text(),
                  QStringLiteral("Are you sure that you want to purge all 4 files in \r\nT:\\tree\\\r\nand all files in all "
                                 "subfolders?\r\nThis will permanently destroy all data in these four files."));
        EXPECT_EQ(c.cmdDoPurge->text(), QStringLiteral("Yes, purge these files"));
        EXPECT_TRUE(c.chkDeleteEmptyFolders->isVisible());
    }));
    // The marks as they stood after each pass.
    QStringList marks;
    SetDoEventsHook([&]() {
        const QString& t = report().ReportText();
        const QString tail = t.right(5);
        if (t.contains(QStringLiteral("big.dat")) && (marks.isEmpty() || marks.last() != tail) &&
            tail.contains(QLatin1Char('_')))
            marks << tail;
    });
    Purge();
    SetDoEventsHook(nullptr);

    const QString expected =
        Stamp() + QStringLiteral("Purging all files in T:\\tree\\\r\n(including all files in subfolders) \r\n") +
        QStringLiteral("using random bytes plus zeros 4 times.\r\n") + QStringLiteral("\r\nT:\\tree\\\r\n") +
        QStringLiteral("big.dat (204,800 bytes) purging  purged\r\n") +
        QStringLiteral("ro.txt (10 bytes) purging: file is a read-only file, not purged.\r\n(Perhaps file is in use by "
                       "another program.)\r\n") +
        QStringLiteral("\r\nFolder T:\\tree\\empty removed.\r\n") + QStringLiteral("\r\nT:\\tree\\sub\\\r\n") +
        QStringLiteral("tool.exe: \"exe\" files are not purged.\r\n") +
        QStringLiteral("tool2.exe: \"exe\" files are not purged.\r\n\r\n") + QStringLiteral("Number of files *.*: 4\r\n") +
        QStringLiteral("Number of files purged: 1\r\n") + QStringLiteral("Number of folders removed: 1\r\n") + Stamp();
    EXPECT_EQ(report().ReportText(), expected);
    EXPECT_EQ(Clipboard(), expected);
    EXPECT_EQ(marks, (QStringList{QStringLiteral(" ____"), QStringLiteral(" 1___"), QStringLiteral(" 12__"),
                                  QStringLiteral(" 123_")}));
    EXPECT_EQ(report().windowTitle(), QStringLiteral("T:\\tree\\sub"));
    EXPECT_EQ(report().lblPausedDone->text(), QStringLiteral("Done"));
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("tree\\big.dat"))), platform::Kind::Missing);
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("tree\\empty"))), platform::Kind::Missing);
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("tree/ro.txt"))), QByteArray(10, 'x'));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("tree/sub/tool.exe"))), QByteArray(5, 'x'));
    // Files were deleted: the specification is cleared.
    EXPECT_TRUE(form->strFilespec.isEmpty());
    EXPECT_TRUE(boxes.allShown());
}

TEST_F(JourneyTest, PauseThenStopEndsThePurgeAfterTheCurrentFile) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) drive.makeFile(QStringLiteral("stop/") + QLatin1String(name), 5);
    Select(drive.path(QStringLiteral("stop\\")), QStringLiteral("*.*"), false);
    ScriptedModal modal;
    modal.then(Confirm({}));
    bool paused = false;
    SetDoEventsHook([&]() {
        if (paused || !report().IsRunning() || report().lngNumFilesPurged != 1) return;
        paused = true;
        EXPECT_EQ(report().cmdPauseContinue->text(), QStringLiteral("Pause at next purge"));
        EXPECT_FALSE(report().cmdStop->isVisible());
        QTest::mouseClick(report().cmdPauseContinue, Qt::LeftButton);
        EXPECT_EQ(report().lblPausedDone->text(), QStringLiteral("Paused"));
        EXPECT_EQ(report().cmdPauseContinue->text(), QStringLiteral("Continue"));
        // Stop is pressed while the run waits.
        QTimer::singleShot(20, []() {
            ASSERT_TRUE(report().cmdStop->isVisible());
            QTest::mouseClick(report().cmdStop, Qt::LeftButton);
        });
    });
    Purge();
    SetDoEventsHook(nullptr);
    const QString expected = Stamp() + QStringLiteral("Purging all files in T:\\stop\\\r\nusing random bytes plus zeros once.\r\n") +
                             QStringLiteral("\r\nT:\\stop\\\r\na.txt (5 bytes) purging purged\r\n\r\n") +
                             QStringLiteral("Number of files *.*: 1\r\n") +
                             QStringLiteral("Purge operation was stopped.\r\n\r\n") + Stamp();
    EXPECT_EQ(report().ReportText(), expected);
    EXPECT_EQ(report().lblPausedDone->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("stop\\b.txt"))), platform::Kind::File);
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("stop\\c.txt"))), platform::Kind::File);
}

TEST_F(JourneyTest, ListingThatFillsTheBoxStopsWithCompleteLines) {
    for (int i = 0; i < 2000; ++i) drive.makeFile(QStringLiteral("many/f%1.txt").arg(i, 4, 10, QLatin1Char('0')), 1);
    Select(drive.path(QStringLiteral("many\\")), QStringLiteral("*.txt"), false);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Report buffer full"),
                 QStringLiteral("The output report buffer has been filled, so this report cannot continue."), vbOK, vbOKOnly);
    List();
    const QString text = report().ReportText();
    const qsizetype notes = text.indexOf(QStringLiteral("\r\n\r\nThe output report buffer was filled.\r\n"));
    ASSERT_GT(notes, 0);
    EXPECT_LT(text.size(), frmReport::kReportLimit);
    const QStringList lines = text.left(notes).split(kCrLf);
    EXPECT_EQ(lines.first(), QStringLiteral("T:\\many\\"));
    const QRegularExpression line(QStringLiteral("^f\\d{4}\\.txt \\(") + QRegularExpression::escape(FileDate(QDate::currentDate())) +
                                  QStringLiteral(", 1 bytes\\)   $"));
    for (qsizetype i = 1; i < lines.size(); ++i) ASSERT_TRUE(line.match(lines[i]).hasMatch()) << lines[i].toStdString();
    const qint32 n = report().lngNumFilesProcessed;
    EXPECT_GT(n, 1500);
    EXPECT_LT(n, 2000);
    EXPECT_EQ(text.mid(notes), QStringLiteral("\r\n\r\nThe output report buffer was filled.\r\n") +
                                   QStringLiteral("Note: Some files or folders were not listed.\r\n\r\n") +
                                   QStringLiteral("Number of files: %1\r\n").arg(QLocale().toString(n)) +
                                   QStringLiteral("Sum of file sizes: %1 Kb\r\n\r\n").arg(QLocale().toString(n / 1024.0, 'f', 2)) +
                                   QStringLiteral("Listing was stopped.\r\n\r\n"));
}

TEST_F(JourneyTest, PurgeThatFillsTheBoxGoesOnWithoutFileLines) {
    TempDrive shm(QLatin1Char('S'), QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QString());
    ASSERT_TRUE(shm.ok());
    for (int i = 0; i < 1900; ++i) shm.makeFile(QStringLiteral("many/f%1.txt").arg(i, 4, 10, QLatin1Char('0')), 1);
    Select(shm.path(QStringLiteral("many\\")), QStringLiteral("*.*"), false);
    ScriptedModal modal;
    modal.then(Confirm({}));
    Purge();
    const QString text = report().ReportText();
    const QString note = QStringLiteral("\r\n\r\nThe report buffer has been filled, so this report cannot continue.  The "
                                        "purge operation will continue, but without report of results for individual "
                                        "files.\r\n\r\n");
    const qsizetype at = text.indexOf(note);
    ASSERT_GT(at, 0);
    const QStringList lines = text.left(at).split(kCrLf);
    const QRegularExpression line(QStringLiteral("^f\\d{4}\\.txt \\(1 bytes\\) purging purged$"));
    ASSERT_GT(lines.size(), 5);
    EXPECT_EQ(lines[4], QStringLiteral("S:\\many\\"));
    for (qsizetype i = 5; i < lines.size(); ++i) ASSERT_TRUE(line.match(lines[i]).hasMatch()) << lines[i].toStdString();
    EXPECT_EQ(text.mid(at + note.size()), QStringLiteral("Number of files *.*: 1,900\r\nNumber of files purged: 1,900\r\n") +
                                              QStringLiteral("Sum of sizes of files purged: 1.86 Kb\r\n\r\n") + Stamp());
    EXPECT_EQ(report().lngNumFilesPurged, 1900);
    EXPECT_EQ(os.kind(shm.path(QStringLiteral("many\\f1899.txt"))), platform::Kind::Missing);
}
