// The main window's run commands: their refusals, the questions before a
// run, the report command, and the report window's buttons.
#include "RunFixture.h"

#include "selection/DatePr2.h"
#include "support/Language.h"

#include <QTextCursor>
#include <QTimer>

namespace {

class CommandFlowTest : public RunTest {};

const QString kAppTitle() { return ApplicationTitle(); }

} // namespace

TEST_F(CommandFlowTest, RefusalsLeaveTheSelectionAsTheySay) {
    ScriptedMsgBox boxes;
    // Nothing chosen.
    Select(drive.path(QStringLiteral("data\\")), QString(), false);
    drive.makeFolder(QStringLiteral("data"));
    boxes.expect(QStringLiteral("Error"), QStringLiteral("No files specified."), vbOK, vbOKOnly | vbExclamation);
    Purge();

    // A single file that has gone.
    drive.makeFile(QStringLiteral("data/other.txt"), 1);
    form->strDirPath = drive.path(QStringLiteral("data\\"));
    form->strFilespec = QStringLiteral("gone.txt");
    boxes.expect(kAppTitle(), QStringLiteral("The file gone.txt does not exist."), vbOK, vbOKOnly);
    List();
    EXPECT_TRUE(form->strFilespec.isEmpty());
    EXPECT_EQ(form->strDirPath, drive.path(QStringLiteral("data\\")));

    // A folder that has gone.
    form->strDirPath = drive.path(QStringLiteral("gone\\"));
    form->strFilespec = QStringLiteral("*.*");
    boxes.expect(QStringLiteral("Error"), QStringLiteral("Folder does not exist."), vbOK, vbOKOnly | vbExclamation);
    Purge();
    EXPECT_TRUE(form->strDirPath.isEmpty());
    EXPECT_TRUE(form->strFilespec.isEmpty());

    // An empty folder.
    drive.makeFolder(QStringLiteral("empty"));
    Select(drive.path(QStringLiteral("empty\\")), QStringLiteral("*.*"), false);
    boxes.expect(QStringLiteral("Purge files"), QStringLiteral("There are no files in T:\\empty\\."), vbOK,
                 vbOKOnly | vbExclamation);
    Purge();
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.doc"), false);
    boxes.expect(QStringLiteral("List and estimate time"), QStringLiteral("There are no files in T:\\data\\ matching *.doc."));
    List();

    // Subfolders: the question first, and nothing matching below.
    drive.makeFile(QStringLiteral("tree/sub/a.txt"), 1);
    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.txt"), true);
    boxes.expect(QStringLiteral("Purge files"), Language::ProgramText(29) + QStringLiteral(" T:\\tree\\ ?"), vbCancel);
    Purge();
    form->blnDateRestriction = true;
    form->lngOnlyBeforeThisJDN = DatePr2::DateToJDN(QDate(2000, 1, 1));
    boxes.expect(QStringLiteral("Purge files"), {}, vbYes);
    boxes.expect(QStringLiteral("Purge files"),
                 QStringLiteral("There are no files in T:\\tree\\ or in any of its subfolders matching *.txt (possibly due "
                                "to the date restriction)."),
                 vbOK, vbOKOnly | vbInformation);
    Purge();

    // One file outside the date restriction.
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("other.txt"), false);
    boxes.expect(QStringLiteral("List files"),
                 QStringLiteral("The date of the specified file is not before ") +
                     DatePr2::ShortDateText(form->lngOnlyBeforeThisJDN) + QLatin1Char('.'));
    List();
    EXPECT_TRUE(boxes.allShown());
    EXPECT_FALSE(report().isVisible());
    EXPECT_TRUE(form->fraMenu->isEnabled());
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("tree\\sub\\a.txt"))), platform::Kind::File);
}

TEST_F(CommandFlowTest, AntiMalwareWarningOncePerRunUnlessKept) {
    drive.makeFile(QStringLiteral("data/a.txt"), 1);
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.*"), false);
    form->blnAntiMalwareWarning = true;
    const QString warning = QStringLiteral("Anti-malware software warning");
    ScriptedMsgBox boxes;
    // Yes, then Cancel: no run, the warning stays.
    boxes.expect(warning, QStringLiteral("Is there any anti-malware software\r\n(such as Kaspersky Internet Security)\r\n"
                                         "currently active on this computer?"),
                 vbYes, vbYesNo | vbQuestion);
    boxes.expect(QStringLiteral("Proceed?"), {}, vbCancel, vbOKCancel | vbExclamation);
    List();
    EXPECT_FALSE(report().isVisible());
    EXPECT_TRUE(form->blnAntiMalwareWarning);
    // Yes, OK, and keep the warning.
    boxes.expect(warning, {}, vbYes).expect(QStringLiteral("Proceed?"), {}, vbOK);
    boxes.expect(QStringLiteral("Disable warning?"),
                 QStringLiteral("Do you wish to disable this anti-malware warning during this run?"), vbNo);
    List();
    EXPECT_TRUE(report().isVisible());
    EXPECT_TRUE(form->blnAntiMalwareWarning);
    // No: off for the rest of the run.
    boxes.expect(warning, {}, vbNo);
    List();
    EXPECT_FALSE(form->blnAntiMalwareWarning);
    List();
    EXPECT_TRUE(boxes.allShown());
}

TEST_F(CommandFlowTest, ReportCommandShowsTheLastReportOrSaysThereIsNone) {
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Report window"), QStringLiteral("Nothing to report!"), vbOK, vbOKOnly);
    QTest::mouseClick(form->cmdReportScreen, Qt::LeftButton);
    EXPECT_FALSE(report().isVisible());

    drive.makeFile(QStringLiteral("data/a.txt"), 1);
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.*"), false);
    List();
    const QString text = report().ReportText();
    QTest::mouseClick(report().cmdClose, Qt::LeftButton);
    EXPECT_FALSE(report().isVisible());
    QTest::mouseClick(form->cmdReportScreen, Qt::LeftButton);
    EXPECT_TRUE(report().isVisible());
    EXPECT_EQ(report().ReportText(), text);
    EXPECT_EQ(report().txbText->textCursor().position(), 0);
}

TEST_F(CommandFlowTest, CopyTakesTheSelectionOrTheWholeReport) {
    drive.makeFile(QStringLiteral("data/a.txt"), 1);
    drive.makeFile(QStringLiteral("data/b.txt"), 1);
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.*"), false);
    List();
    frmReport& r = report();
    QGuiApplication::clipboard()->clear();
    // The first two lines selected.
    QTextCursor c(r.txbText->document());
    c.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 2);
    r.txbText->setTextCursor(c);
    QTest::mouseRelease(r.txbText->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(r.cmdCopyToClipboard->text(), QStringLiteral("Copy selected text to clipboard"));
    QTest::mouseClick(r.cmdCopyToClipboard, Qt::LeftButton);
    EXPECT_EQ(Clipboard(), r.ReportText().section(QStringLiteral("\r\n"), 0, 1) + QStringLiteral("\r\n"));
    EXPECT_EQ(r.cmdCopyToClipboard->text(), QStringLiteral("Copy to clipboard"));
    // Nothing selected: all of it.
    r.txbText->setTextCursor(QTextCursor(r.txbText->document()));
    QTest::mouseRelease(r.txbText->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(r.cmdCopyToClipboard->text(), QStringLiteral("Copy to clipboard"));
    QTest::mouseClick(r.cmdCopyToClipboard, Qt::LeftButton);
    EXPECT_EQ(Clipboard(), r.ReportText());
}

TEST_F(CommandFlowTest, CloseDuringAListingStopsIt) {
    for (int i = 0; i < 50; ++i) drive.makeFile(QStringLiteral("data/f%1.txt").arg(i, 2, 10, QLatin1Char('0')), 1);
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.*"), false);
    SetDoEventsHook([]() {
        frmReport& r = report();
        if (r.IsRunning() && r.lngNumFilesProcessed == 10 && r.isVisible()) {
            EXPECT_TRUE(r.cmdStop->isVisible());
            EXPECT_EQ(r.cmdPauseContinue->text(), QStringLiteral("Pause"));
            // The window's own close box: Close is hidden while a run goes on.
            EXPECT_FALSE(r.cmdClose->isVisible());
            r.close();
        }
    });
    List();
    SetDoEventsHook(nullptr);
    EXPECT_FALSE(report().isVisible());
    EXPECT_EQ(report().lngNumFilesProcessed, 10);
    EXPECT_TRUE(report().ReportText().endsWith(QStringLiteral("Number of files *.*: 10\r\nSum of file sizes: 10 bytes\r\n\r\n"
                                                              "Listing was stopped.\r\n\r\n")))
        << report().ReportText().toStdString();
    EXPECT_TRUE(form->fraMenu->isEnabled());
}

TEST_F(CommandFlowTest, PauseAndContinueDuringAListing) {
    for (int i = 0; i < 5; ++i) drive.makeFile(QStringLiteral("data/f%1.txt").arg(i), 1);
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.*"), false);
    bool paused = false;
    SetDoEventsHook([&]() {
        frmReport& r = report();
        if (paused || !r.IsRunning() || r.lngNumFilesProcessed != 2) return;
        paused = true;
        QTest::mouseClick(r.cmdPauseContinue, Qt::LeftButton);
        EXPECT_EQ(r.lblPausedDone->text(), QStringLiteral("Paused"));
        QTimer::singleShot(10, []() { QTest::mouseClick(report().cmdPauseContinue, Qt::LeftButton); });
    });
    List();
    SetDoEventsHook(nullptr);
    EXPECT_TRUE(paused);
    EXPECT_EQ(report().lngNumFilesProcessed, 5);
    EXPECT_FALSE(report().ReportText().contains(QStringLiteral("stopped")));
}
