// The purge confirmation dialog, the per-file confirmation and the purge
// question.
#include "RunFixture.h"

#include "app/MainState.h"
#include "purge/PurgeQuestion.h"

namespace {

class ConfirmationTest : public RunTest {};

// Presses one of frmConfirmFiles' buttons, checking what it shows.
ScriptedModal::Step Answer(const char* button, const QString& expectedFile = {}) {
    return [button, expectedFile](QDialog* d) {
        auto* c = qobject_cast<frmConfirmFiles*>(d);
        ASSERT_NE(c, nullptr) << d->objectName().toStdString();
        if (!expectedFile.isEmpty()) {
            EXPECT_TRUE(c->lblFile->text().startsWith(expectedFile)) << c->lblFile->text().toStdString();
        }
        EXPECT_FALSE(frmReport::instance().cmdPauseContinue->isVisible());
        QTest::mouseClick(c->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    };
}

} // namespace

TEST_F(ConfirmationTest, EachFileYesNoAndDontShowAgain) {
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"}) drive.makeFile(QStringLiteral("f/") + QLatin1String(n), 4);
    Select(drive.path(QStringLiteral("f\\")), QStringLiteral("*.txt"), false);
    ScriptedModal modal;
    modal.then(Confirm({QStringLiteral("chkConfirmFiles")}))
        .then(Answer("cmdYes", QStringLiteral("t:\\f\\a.txt     4 bytes     ")))
        .then(Answer("cmdNo"))
        .then(Answer("cmdYesAndDontShowAgain"));
    Purge();
    EXPECT_TRUE(modal.allShown());
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("\r\nT:\\f\\\r\na.txt (4 bytes) purging purged\r\n"
                                                              "b.txt not purged.\r\nc.txt (4 bytes) purging purged\r\n"
                                                              "d.txt (4 bytes) purging purged\r\n\r\n"
                                                              "Number of files: 4\r\nNumber of files purged: 3\r\n")))
        << report().ReportText().toStdString();
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("f\\b.txt"))), platform::Kind::File);
    // The next run asks again.
    Select(drive.path(QStringLiteral("f\\")), QStringLiteral("*.txt"), false);
    modal.then(Confirm({})).then(Answer("cmdStopPurge"));
    Purge();
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("b.txt not purged.\r\n\r\nNumber of files: 1\r\n"
                                                              "Number of files purged: 0\r\nPurge operation was stopped.")))
        << report().ReportText().toStdString();
    EXPECT_EQ(report().lblPausedDone->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("f\\b.txt"))), platform::Kind::File);
}

TEST_F(ConfirmationTest, OneFileDialogAndTheOptionsItReturns) {
    drive.makeFile(QStringLiteral("one/keep.txt"), 20);
    Select(drive.path(QStringLiteral("one\\")), QStringLiteral("keep.txt"), false);
    // A cluster size the list does not hold keeps "4 KB", which is stored.
    form->lngDriveClusterSize[size_t('T' - 'A')] = 3000;
    ScriptedModal modal;
    modal.then(Confirm({QStringLiteral("chkDoNotDeletePurgedFiles"), QStringLiteral("chkOKToPurgeSystemFiles")}, true,
                       [](frmPurgeConfirmation& c) {
                           EXPECT_EQ(c.windowTitle(), QStringLiteral("Purge confirmation"));
                           EXPECT_EQ(c.cmdDoPurge->text(), QStringLiteral("Yes, purge this file"));
                           EXPECT_FALSE(c.chkDeleteEmptyFolders->isVisible());
                           EXPECT_EQ(c.focusWidget(), c.cmdCancel);
                           EXPECT_EQ(c.cboClusterSize->currentText(), QStringLiteral("4 KB"));
                           EXPECT_EQ(c.lblMessage->text(),
                                     QStringLiteral("Are you sure that you want to purge the file\r\nT:\\one\\keep.txt ?"
                                                    "\r\nThis will permanently destroy all data in this file."));
                       }));
    Purge();
    EXPECT_EQ(form->lngDriveClusterSize[size_t('T' - 'A')], 4096);
    EXPECT_TRUE(confirmation().blnDoNotDeletePurgedFiles);
    EXPECT_TRUE(confirmation().blnOKToPurgeSystemFiles);
    EXPECT_FALSE(confirmation().chkDoNotDeletePurgedFiles->isChecked());
    // Overwritten, kept, and the specification kept with it.
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("one/keep.txt"))), QByteArray(20, '\0'));
    EXPECT_EQ(form->strFilespec, QStringLiteral("keep.txt"));
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("keep.txt (20 bytes) purging purged\r\n\r\nNumber of files: 1\r\n")))
        << report().ReportText().toStdString();

    // Cancel keeps every option as the last confirmed purge left it.
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Purge cancelled"), QStringLiteral("No files purged."), vbOK, vbOKOnly);
    modal.then(Confirm({QStringLiteral("chkConfirmFiles"), QStringLiteral("chkDoNotDeletePurgedFiles")}, false));
    Purge();
    EXPECT_TRUE(confirmation().blnDoNotDeletePurgedFiles);
    EXPECT_FALSE(confirmation().blnConfirmFiles);
    EXPECT_FALSE(confirmation().chkDoNotDeletePurgedFiles->isChecked());
    EXPECT_EQ(os.kind(drive.path(QStringLiteral("one\\keep.txt"))), platform::Kind::File);
}

TEST_F(ConfirmationTest, EscapeCancelsAndEnterPressesTheFocusedButton) {
    frmPurgeConfirmation& c = confirmation();
    c.show();
    QTest::keyClick(&c, Qt::Key_Escape);
    EXPECT_FALSE(c.isVisible());
    EXPECT_FALSE(c.blnConfirm);
    c.show();
    c.cmdDoPurge->setFocus();
    QTest::keyClick(c.cmdDoPurge, Qt::Key_Return);
    EXPECT_FALSE(c.isVisible());
    EXPECT_TRUE(c.blnConfirm);
}

TEST(PurgeQuestion, Wordings) {
    MainState m;
    m.strDirPath = QStringLiteral("C:\\data\\");
    struct Case {
        const char* spec;
        bool multiple, subfolders;
        qint32 count;
        const char* question;
    } cases[] = {
        {"*.*", true, false, 2,
         "Are you sure that you want to purge both files in \r\nC:\\data\\ ?\r\nThis will permanently destroy all data "
         "in these two files."},
        {"*.*", true, true, -1,
         "Are you sure that you want to purge all (more than 1000) files in \r\nC:\\data\\\r\nand all files in all "
         "subfolders?\r\nThis will permanently destroy all data in these (more than 1000) files."},
        {"*.txt", true, true, 12,
         "Are you sure that you want to purge the 12 files\r\nC:\\data\\*.txt\r\nand all files of the form \"*.txt\" in "
         "all subfolders?\r\nThis will permanently destroy all data in these twelve files."},
        {"*.doc", true, false, -1,
         "Are you sure that you want to purge the files\r\nC:\\data\\*.doc ?\r\nThis will permanently destroy all data in "
         "these (more than 1000) files."},
        {"*.*", true, false, 1,
         "Are you sure that you want to purge the single file in \r\nC:\\data\\ ?\r\nThis will permanently destroy all "
         "data in this file.)"},
    };
    for (const Case& c : cases) {
        m.strFilespec = QString::fromLatin1(c.spec);
        m.blnMultipleFiles = c.multiple;
        m.blnSubdirectories = c.subfolders;
        ASSERT_TRUE(PurgeQuestion::BuildPurgeQuestion(m, c.count, QStringLiteral("Purge files")));
        EXPECT_EQ(m.strMsg[1], QString::fromLatin1(c.question)) << c.spec << " " << c.count;
        EXPECT_TRUE(m.strMsg[1].startsWith(m.strMsg[0]));
        EXPECT_EQ(m.intNumFiles, c.count);
    }
    // Twelve files with subfolders: four lines.
    m.strFilespec = QStringLiteral("*.txt");
    m.blnSubdirectories = true;
    PurgeQuestion::BuildPurgeQuestion(m, 12, QStringLiteral("Purge files"));
    EXPECT_EQ(m.strMsg[1].split(QStringLiteral("\r\n")).size(), 4);
    // The date restriction adds its line for several files.
    m.blnDateRestriction = true;
    PurgeQuestion::BuildPurgeQuestion(m, 12, QStringLiteral("Purge files"));
    EXPECT_TRUE(m.strMsg[1].contains(QStringLiteral("subfolders?\r\nwhich satisfy the date restriction.\r\nThis will")));
}
