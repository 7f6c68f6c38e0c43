// The main window's folder commands: "Specify folder", "Purge folders" up to
// the stored subfolder selection, and "Subfolders?".
#include "FolderStandIn.h"
#include "TestSupport.h"

#include "app/frmMain.h"
#include "selection/frmSelectSubfolders.h"
#include "support/FormUi.h"

#include <QFileInfo>
#include <QTest>

namespace {

const QString kSpecifyPrompt = QStringLiteral("Specify folder containing files to be purged");
const QString kPurgeFoldersQuestion =
    QStringLiteral("Do you wish to purge all files in\r\nselected subfolders of some folder?\r\n(Note that all files "
                   "in all subfolders of the\r\nselected subfolders will also be purged.)\r\n\r\nIf so, first select "
                   "a folder, then select the subfolders\r\nof that folder that you wish to purge.");
const QString kNoSubfolders = QStringLiteral("(The folder has no subfolders.)");
const QString kNotInSubfolders = QStringLiteral("(Do not operate on files in lower subfolders.)");
const QString kInSubfolders = QStringLiteral("(Operate on all specified files in lower subfolders.)");

class FolderCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
        form->strDirPath.clear();
        form->strFilespec.clear();
        form->ShowFileSelection();
        form->ShowSubfolderChoice();
    }
    void TearDown() override {
        form.reset();
        frmMain::SetEndHandler(nullptr);
    }
    void SpecifyFolder() { QTest::mouseClick(form->cmdSpecifyDirectory[0], Qt::LeftButton); }
    void PurgeFolders() { QTest::mouseClick(form->cmdSpecifyDirectory[1], Qt::LeftButton); }
    void Subfolders() { QTest::mouseClick(form->cmdSubdirectories, Qt::LeftButton); }
    void Select(const QString& path, const QString& spec, bool subfolders) {
        form->strDirPath = path;
        form->strFilespec = spec;
        form->blnSubdirectories = subfolders;
        form->ShowFileSelection();
        form->ShowSubfolderChoice();
    }

    // Both commands, answered with drive R:, refuse it with the system's words
    // and keep the selection as it was.
    void ExpectBothCommandsRefuseDriveR(const QString& systemWords) {
        drive.makeFile(QStringLiteral("data/a.txt"), 1);
        Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.txt"), false);
        const QString refusal = QStringLiteral("Cannot access R:\\\r\nError: ") + systemWords +
                                QStringLiteral("\r\nDisk may be write-protected.");
        ScriptedMsgBox boxes;
        boxes.expect(QStringLiteral("Error"), refusal, vbOK, vbOKOnly | vbExclamation);
        dialogs.answer(QStringLiteral("R:\\"));
        SpecifyFolder();
        EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\data\\"));
        EXPECT_EQ(form->strFilespec, QStringLiteral("*.txt"));

        boxes.expect(QStringLiteral("Purge folders"), kPurgeFoldersQuestion, vbYes, vbYesNo | vbQuestion);
        boxes.expect(QStringLiteral("Error"), refusal, vbOK, vbOKOnly | vbExclamation);
        dialogs.answer(QStringLiteral("R:\\"));
        PurgeFolders();
        EXPECT_EQ(form->strTopFolder, QString());
        EXPECT_TRUE(form->lblDirectory->isVisible());
    }

    FolderStandIn os; // before the drive, so the drive is mapped in it
    TempDrive drive{QLatin1Char('T')};
    ScriptedFileDialogs dialogs;
    std::unique_ptr<frmMain> form;
};

} // namespace

TEST_F(FolderCommandsTest, CancelledBrowserKeepsTheSelectionAndRefreshesTheLabels) {
    drive.makeFile(QStringLiteral("data/a.txt"), 1);
    drive.makeFolder(QStringLiteral("data/sub"));
    Select(drive.path(QStringLiteral("data\\")), QStringLiteral("*.txt"), true);
    form->lblTopLevelFolder->setText(QStringLiteral("old"));
    dialogs.answer(QString());
    SpecifyFolder();
    EXPECT_EQ(dialogs.titles, QStringList{kSpecifyPrompt});
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\data\\"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.txt"));
    EXPECT_TRUE(form->blnSubdirectories);
    EXPECT_EQ(form->lblFiles->text(), QStringLiteral("*.txt"));
    EXPECT_EQ(form->lblSubdirectories2->text(), kInSubfolders);
    EXPECT_TRUE(form->lblFiles->isVisible());
    EXPECT_TRUE(form->lblTopLevelFolder->isVisible());
    EXPECT_EQ(form->lblTopLevelFolder->text(), QString());
    EXPECT_EQ(TopTw(form->lblTopLevelFolder), TopTw(form->fraMenu) + TopTw(form->cmdSpecifyDirectory[1]));
}

TEST_F(FolderCommandsTest, NewFolderWithFilesCanTakeAllOfThem) {
    drive.makeFile(QStringLiteral("data/a.txt"), 1);
    drive.makeFile(QStringLiteral("data/sub/b.txt"), 1);
    Select(drive.path(QStringLiteral("old\\")), QStringLiteral("*.doc"), true);
    const QString title = QStringLiteral("Specify folder");
    ScriptedMsgBox boxes;
    boxes.expect(title,
                 QStringLiteral("Do you wish to purge ALL files in T:\\data\\ and optionally its subfolders (subject "
                                "to any date restriction which is in effect)?"),
                 vbYes, vbYesNo | vbQuestion);
    boxes.expect(title,
                 QStringLiteral("If you wish also to purge all files in subfolders\r\n(subject to any date restriction "
                                "which is in effect)\r\nthen click on the 'Subfolders?' button."),
                 vbOK, vbOKOnly | vbInformation);
    dialogs.answer(QStringLiteral("T:\\data"));
    SpecifyFolder();
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\data\\"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.*"));
    EXPECT_FALSE(form->blnSubdirectories);
    EXPECT_FALSE(form->blnPurgingRecycleBin);
    EXPECT_EQ(form->lblSubdirectories->text(), QStringLiteral("No"));
    EXPECT_EQ(form->lblSubdirectories2->text(), kNotInSubfolders);
    EXPECT_EQ(form->lblFiles->text(), QStringLiteral("*.*"));
}

TEST_F(FolderCommandsTest, NewFolderAnsweredNoLeavesTheFilesToSpecify) {
    drive.makeFile(QStringLiteral("flat/a.txt"), 1);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Specify folder"), {}, vbNo, vbYesNo | vbQuestion);
    boxes.expect(QStringLiteral("Specify folder"),
                 QStringLiteral("Now click on the 'Specify files' button to specify the file(s) in T:\\flat\\ to be "
                                "purged."),
                 vbOK, vbOKOnly);
    dialogs.answer(QStringLiteral("T:\\flat\\"));
    SpecifyFolder();
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\flat\\"));
    EXPECT_EQ(form->strFilespec, QString());
    EXPECT_EQ(form->lblSubdirectories->text(), QStringLiteral("No"));
    EXPECT_EQ(form->lblSubdirectories2->text(), kNoSubfolders);
}

TEST_F(FolderCommandsTest, NewFolderWithoutFilesAsksNothing) {
    drive.makeFile(QStringLiteral("tree/sub/b.txt"), 1);
    dialogs.answer(QStringLiteral("T:\\tree"));
    SpecifyFolder(); // any message box would fail the test
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\tree\\"));
    EXPECT_EQ(form->strFilespec, QString());
    EXPECT_EQ(form->lblSubdirectories2->text(), kNotInSubfolders);
}

TEST_F(FolderCommandsTest, ReadOnlyDriveIsRefusedByBothFolderCommands) {
    if (!IsRoot()) GTEST_SKIP() << "needs root: mounts a read-only tmpfs";
    if (!CanMount()) GTEST_SKIP() << "cannot mount file systems here";
    ReadOnlyMount ro;
    ASSERT_TRUE(ro.ok());
    os.mapDrive(QLatin1Char('R'), ro.path());
    ExpectBothCommandsRefuseDriveR(QStringLiteral("Read-only file system"));
    os.unmapDrive(QLatin1Char('R'));
}

TEST_F(FolderCommandsTest, RecycleBinFolderIsRecognisedDuringTheCommand) {
    drive.makeFile(QStringLiteral("$RECYCLE.BIN/S-1-5-21/$RABC123.txt"), 10);
    std::vector<bool> seen;
    const DoEventsHook previous = SetDoEventsHook([&]() { seen.push_back(form->blnPurgingRecycleBin); });
    dialogs.answer(QStringLiteral("T:\\$Recycle.Bin\\S-1-5-21"));
    SpecifyFolder(); // no question: the ordinary flow does not run
    SetDoEventsHook(previous);
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\$Recycle.Bin\\S-1-5-21\\"));
    EXPECT_NE(std::find(seen.begin(), seen.end(), true), seen.end());
    EXPECT_FALSE(form->blnPurgingRecycleBin);
    EXPECT_EQ(form->strFilespec, QString());
}

TEST_F(FolderCommandsTest, SubfolderSwitchFollowsTheFolder) {
    drive.makeFile(QStringLiteral("flat/a.txt"), 1);
    drive.makeFile(QStringLiteral("tree/sub/a.txt"), 1);

    Select(drive.path(QStringLiteral("flat\\")), QStringLiteral("*.*"), false);
    form->blnSubdirectories = true; // as a stale setup might leave it
    Subfolders();
    EXPECT_FALSE(form->blnSubdirectories);
    EXPECT_EQ(form->lblSubdirectories->text(), QStringLiteral("No"));
    EXPECT_EQ(form->lblSubdirectories2->text(), kNoSubfolders);

    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.*"), false);
    form->lblSetupFilename->setText(QStringLiteral("x.vqs"));
    Subfolders();
    EXPECT_TRUE(form->blnSubdirectories);
    EXPECT_EQ(form->lblSubdirectories->text(), QStringLiteral("Yes"));
    EXPECT_EQ(form->lblSubdirectories2->text(), kInSubfolders);
    EXPECT_EQ(form->lblSetupFilename->text(), QString());
    Subfolders();
    EXPECT_FALSE(form->blnSubdirectories);
    EXPECT_EQ(form->lblSubdirectories2->text(), kNotInSubfolders);

    form->blnBusy = true; // an operation runs: nothing happens
    Subfolders();
    EXPECT_FALSE(form->blnSubdirectories);
    form->blnBusy = false;

    // Without a folder the specification goes too.
    Select(QString(), QStringLiteral("*.txt"), false);
    Subfolders();
    EXPECT_EQ(form->strFilespec, QString());
}

TEST_F(FolderCommandsTest, UnreadableFolderIsDroppedWithAMessage) {
    drive.makeFile(QStringLiteral("locked/a.txt"), 1);
    Select(drive.path(QStringLiteral("locked\\")), QStringLiteral("*.*"), false);
    os.deniedFolders << drive.path(QStringLiteral("locked"));
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Folder cannot be read"), QStringLiteral("Cannot read the folder T:\\locked\\."), vbOK,
                 vbOKOnly | vbExclamation);
    Subfolders();
    EXPECT_EQ(form->strDirPath, QString());
    EXPECT_EQ(form->strFilespec, QString());
}

TEST_F(FolderCommandsTest, PurgeFoldersAnsweredNoOrCancelledDoesNothing) {
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Purge folders"), kPurgeFoldersQuestion, vbNo, vbYesNo | vbQuestion);
    PurgeFolders(); // no browser
    EXPECT_TRUE(dialogs.titles.isEmpty());

    boxes.expect(QStringLiteral("Purge folders"), kPurgeFoldersQuestion, vbYes);
    dialogs.answer(QString());
    PurgeFolders();
    EXPECT_EQ(dialogs.titles,
              QStringList{QStringLiteral("Specify the folder containing the subfolders\r\nto be purged (or a selection "
                                         "of them)")});
    EXPECT_EQ(form->strTopFolder, QString());
    EXPECT_TRUE(form->lblDirectory->isVisible());
}

TEST_F(FolderCommandsTest, PurgeFoldersOffersToDeleteAnEmptyFolder) {
    drive.makeFolder(QStringLiteral("empty"));
    drive.makeFolder(QStringLiteral("stuck"));
    const QString title = QStringLiteral("Purge folders");
    ScriptedMsgBox boxes;
    boxes.expect(title, kPurgeFoldersQuestion, vbYes);
    boxes.expect(title, QStringLiteral("T:\\empty is empty.\r\nDo you wish to delete this folder?"), vbYes,
                 vbYesNo | vbQuestion);
    dialogs.answer(QStringLiteral("T:\\empty"));
    PurgeFolders();
    EXPECT_FALSE(QFileInfo::exists(drive.native(QStringLiteral("empty"))));
    EXPECT_EQ(form->lblTopLevelFolder->text(), QStringLiteral("T:\\empty has been deleted."));

    os.failRemoveTree = true;
    boxes.expect(title, kPurgeFoldersQuestion, vbYes);
    boxes.expect(title, QStringLiteral("T:\\stuck is empty.\r\nDo you wish to delete this folder?"), vbYes);
    boxes.expect(title, QStringLiteral("Cannot remove T:\\stuck"), vbOK, vbOKOnly | vbExclamation);
    dialogs.answer(QStringLiteral("T:\\stuck"));
    PurgeFolders();
    EXPECT_TRUE(QFileInfo::exists(drive.native(QStringLiteral("stuck"))));
}

TEST_F(FolderCommandsTest, PurgeFoldersOnAFolderWithoutSubfoldersSelectsItsFiles) {
    drive.makeFile(QStringLiteral("flat/a.txt"), 1);
    const QString title = QStringLiteral("Purge folders");
    ScriptedMsgBox boxes;
    boxes.expect(title, kPurgeFoldersQuestion, vbYes);
    boxes.expect(title,
                 QStringLiteral("T:\\flat has no subfolders.\r\n\r\nIf you wish to purge the files in this "
                                "folder\r\nthen click on 'Purge files'."),
                 vbOK, vbOKOnly | vbInformation);
    dialogs.answer(QStringLiteral("T:\\flat"));
    PurgeFolders();
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\flat\\"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.*"));
    EXPECT_FALSE(form->blnSubdirectories);
    EXPECT_EQ(form->lblSubdirectories2->text(), kNoSubfolders);
    EXPECT_EQ(form->lblFiles->text(), QStringLiteral("*.*"));
    EXPECT_TRUE(form->lblSubdirectories2->isVisible());
}

TEST_F(FolderCommandsTest, SubfolderSelectionIsStoredAndOfferedAgainForTheSameTopFolder) {
    for (const char* name : {"a", "b", "c"}) drive.makeFile(QStringLiteral("top/%1/x.txt").arg(QLatin1String(name)), 1);
    drive.makeFile(QStringLiteral("other/a/x.txt"), 1);
    // A sibling whose name is the top folder's followed by a subfolder's:
    // it must never be named by the selection.
    drive.makeFile(QStringLiteral("topa/x.txt"), 1);
    const QString title = QStringLiteral("Purge folders");
    ScriptedMsgBox boxes;
    ScriptedModal modal;

    boxes.expect(title, kPurgeFoldersQuestion, vbYes);
    dialogs.answer(QStringLiteral("T:\\top"));
    modal.then([&](QDialog* d) {
        auto* f = qobject_cast<frmSelectSubfolders*>(d);
        ASSERT_NE(f, nullptr);
        f->WaitUntilRead();
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Select subfolders of T:\\top to be purged."));
        EXPECT_FALSE(form->lblDirectory->isVisible());
        EXPECT_EQ(f->lngBackColor, 128);
        EXPECT_EQ(f->intMaxNumCheckboxes, 11);
        EXPECT_EQ(f->geometry().left(), form->geometry().left() + tw(105));
        EXPECT_EQ(f->EntryCount(), 3);
        EXPECT_FALSE(f->EntryTicked(0));
        f->chkSubfolder[0]->setChecked(true);
        f->chkSubfolder[2]->setChecked(true);
        QTest::mouseClick(f->cmdAccept, Qt::LeftButton);
    });
    PurgeFolders();
    EXPECT_EQ(form->strTopFolder, QStringLiteral("T:\\top"));
    EXPECT_EQ(form->strLastTopFolder, QStringLiteral("T:\\top"));
    EXPECT_EQ(form->strSelectedFolders, (QStringList{QStringLiteral("T:\\top\\a"), QStringLiteral("T:\\top\\c")}));
    EXPECT_EQ(form->intNumSelectedFolders, 2);
    EXPECT_TRUE(form->lblDirectory->isVisible());

    // The same top folder: the last selection is ticked again; a cancel keeps it.
    boxes.expect(title, kPurgeFoldersQuestion, vbYes);
    boxes.expect(QStringLiteral("Folder selection"), QStringLiteral("Selection cancelled."), vbOK,
                 vbOKOnly | vbInformation);
    dialogs.answer(QStringLiteral("T:\\top"));
    modal.then([&](QDialog* d) {
        auto* f = qobject_cast<frmSelectSubfolders*>(d);
        f->WaitUntilRead();
        EXPECT_EQ(f->strFoldersPassedToSelectFoldersForm, QStringLiteral("T:\\top\\a\r\nT:\\top\\c"));
        EXPECT_TRUE(f->EntryTicked(0));
        EXPECT_FALSE(f->EntryTicked(1));
        EXPECT_TRUE(f->EntryTicked(2));
        QTest::mouseClick(f->cmdCancel, Qt::LeftButton);
    });
    PurgeFolders();
    EXPECT_EQ(form->intNumSelectedFolders, 2);

    // Another top folder starts with nothing ticked.
    boxes.expect(title, kPurgeFoldersQuestion, vbYes);
    boxes.expect(QStringLiteral("Folder selection"), QStringLiteral("Selection cancelled."));
    dialogs.answer(QStringLiteral("T:\\other"));
    modal.then([&](QDialog* d) {
        auto* f = qobject_cast<frmSelectSubfolders*>(d);
        f->WaitUntilRead();
        EXPECT_EQ(f->strFoldersPassedToSelectFoldersForm, QString());
        EXPECT_EQ(f->EntryCount(), 1);
        EXPECT_FALSE(f->EntryTicked(0));
        QTest::mouseClick(f->cmdCancel, Qt::LeftButton);
    });
    PurgeFolders();
    EXPECT_EQ(form->intNumSelectedFolders, 0);
    EXPECT_TRUE(form->strSelectedFolders.isEmpty());
}

TEST_F(FolderCommandsTest, RecycleBinCannotBeTheTopFolder) {
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Pick"), QStringLiteral("$Recycle.Bin cannot be selected as the top folder."), vbOK,
                 vbOKOnly | vbInformation);
    form->SelectSubfolders(QStringLiteral("T:\\$Recycle.Bin"), QStringLiteral("Pick")); // no dialog
    EXPECT_EQ(form->intNumSelectedFolders, 0);
}

// The same refusal as an ordinary user meets it: a drive root without write
// permission.
TEST_F(FolderCommandsTest, UnwritableDriveRootIsRefusedByBothFolderCommands) {
    if (IsRoot()) GTEST_SKIP() << "root writes a folder whatever its mode: runs as an ordinary user only";
    TempDrive shut(QLatin1Char('R'));
    ASSERT_TRUE(shut.ok());
    WithMode readOnly(shut.native(), 0555);
    ASSERT_TRUE(readOnly.ok());
    ExpectBothCommandsRefuseDriveR(QStringLiteral("Permission denied"));
}
