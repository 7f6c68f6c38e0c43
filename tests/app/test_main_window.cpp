// The main window: start-up, Clear, F10, the mouse-up guard, Quit, and the
// type-of-purge dialog with the description it leaves on the main window.
#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/PosixPlatform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/PurgeOptions.h"
#include "support/FormUi.h"
#include "support/Language.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frmMain::SetEndHandler([this]() { ++ends; });
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
    }
    void TearDown() override {
        form.reset();
        frmMain::SetEndHandler(nullptr);
    }
    frmTypeOfPurge& typeDialog() { return frmTypeOfPurge::instance(); }
    // Opens the type-of-purge dialog and lets step answer it.
    void OpenTypeOfPurge(std::function<void(frmTypeOfPurge&)> step) {
        ScriptedModal modal;
        modal.then([&](QDialog* d) {
            auto* f = qobject_cast<frmTypeOfPurge*>(d);
            ASSERT_NE(f, nullptr);
            EXPECT_FALSE(form->fraMenu->isEnabled());
            step(*f);
        });
        QTest::mouseClick(form->cmdTypeOfPurge, Qt::LeftButton);
    }
    std::unique_ptr<frmMain> form;
    int ends = 0;
};

} // namespace

TEST_F(MainWindowTest, StartsWithDefaultsAndDescribesThem) {
    EXPECT_TRUE(form->blnStartupCompleted);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(&Main(), static_cast<MainState*>(form.get()));
    // Texts are loaded before the reset takes its captions from them.
    EXPECT_EQ(form->strNotSpecified, QStringLiteral("Not specified"));
    EXPECT_EQ(form->lblDirectory->text(), QStringLiteral("Not specified"));
    EXPECT_EQ(form->lblFiles->text(), QStringLiteral("Not specified"));
    EXPECT_EQ(form->lblFiles2[0]->text(), QString());
    EXPECT_EQ(form->lblSingleFile->text(), QStringLiteral("To purge multiple files, specify folder and files."));
    EXPECT_EQ(form->lblDateRestriction->text(), QStringLiteral("No date restriction"));
    EXPECT_EQ(TopTw(form->lblDateRestriction), 1470);
    EXPECT_EQ(form->lblTypeOfPurge->text(), QStringLiteral("Random bytes plus zeros, 6 times (= 12 overwrites)"));
    EXPECT_EQ(TopTw(form->lblTypeOfPurge), TopTw(form->fraMenu) + TopTw(form->cmdTypeOfPurge) + 150);
    EXPECT_FALSE(form->cmdClear->isVisible());
    EXPECT_EQ(form->focusWidget(), form->cmdSpecifyDirectory[0]);
    EXPECT_EQ(form->fraMenu->height(), tw(4900));

    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 9000000);
    EXPECT_DOUBLE_EQ(form->dblAF_A, 0.917);
    EXPECT_DOUBLE_EQ(form->dblAF_B, 0.2);
    EXPECT_EQ(form->intCharWidth, 123);
    EXPECT_TRUE(form->blnAntiMalwareWarning);
    EXPECT_FALSE(form->blnSubdirectories);
    EXPECT_EQ(form->strProgramTextFile, QStringLiteral("vq.dat"));
    EXPECT_EQ(form->strDummyFileFolderStub, QStringLiteral("_vq_dummy"));
    EXPECT_EQ(form->strVersion, QStringLiteral("%1.%2%3").arg(VELDRANE_VERSION_MAJOR).arg(VELDRANE_VERSION_MINOR).arg(7));
    // The snapshot is taken after the next-run setup was (not) loaded.
    EXPECT_EQ(form->strSavedDirPath, form->strDirPath);
    EXPECT_EQ(form->lngSavedOnlyBeforeThisJDN, 9000000);

    const PurgeOptions& o = Options();
    EXPECT_FALSE(o.blnConfirmFiles);
    EXPECT_TRUE(o.blnOKToPurgeReadOnlyFiles);
    EXPECT_FALSE(o.blnOKToPurgeSystemFiles);
    EXPECT_FALSE(o.blnOKToPurgeSensitiveFiles);
    EXPECT_FALSE(o.blnPurgeSlackOnly);
    EXPECT_TRUE(o.blnDeleteEmptyFolders);
    EXPECT_TRUE(o.blnFolderNamesOnly);
    EXPECT_FALSE(o.blnDoNotDeletePurgedFiles);

    // The next-run setup lives in the maker's folder of the application data.
    const QString appData = platform::current().appDataFolder();
    ASSERT_FALSE(appData.isEmpty());
    EXPECT_EQ(form->strNextRunSetupFile, appData + QStringLiteral("Quorlane Works\\veldrane.usr"));
    EXPECT_EQ(platform::current().kind(appData + QStringLiteral("Quorlane Works")), platform::Kind::Folder);
}

TEST_F(MainWindowTest, ResetClearsTablesAndSelection) {
    form->lngDriveClusterSize[2] = 4096;
    form->sngDrivePurgeSpeed[3] = 12.5f;
    form->intNumSpeedRuns[4] = 2;
    form->strDirPath = QStringLiteral("C:\\data\\");
    form->strFilespec = QStringLiteral("*.*");
    form->lngOnlyBeforeThisJDN = 2460000;
    form->blnDateRestriction = true;
    form->ResetToDefaults();
    EXPECT_EQ(form->lngDriveClusterSize[2], 0);
    EXPECT_EQ(form->sngDrivePurgeSpeed[3], 0.0f);
    EXPECT_EQ(form->intNumSpeedRuns[4], 0);
    EXPECT_TRUE(form->strDirPath.isEmpty());
    EXPECT_TRUE(form->strFilespec.isEmpty());
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 9000000);
    EXPECT_FALSE(form->blnDateRestriction);
}

TEST(MainWindowSetupPath, FallsBackWhenThereIsNoApplicationDataFolder) {
    class NoAppData : public platform::PosixPlatform {
      public:
        QString appDataFolder() const override { return {}; }
    } p;
    p.loadDefaultDriveMap();
    platform::install(&p);
    frmMain::SetEndHandler([]() {});
    {
        frmMain form;
        ASSERT_TRUE(form.Startup());
        const QString file = form.strNextRunSetupFile;
        EXPECT_TRUE(file.endsWith(QStringLiteral("\\veldrane.usr"))) << file.toStdString();
        const QString folder = file.left(file.lastIndexOf(QLatin1Char('\\')));
        EXPECT_EQ(p.kind(folder), platform::Kind::Folder) << folder.toStdString();
        EXPECT_TRUE(QFileInfo(platform::Platform::decodeName(p.toNative(folder))).isWritable());
    }
    frmMain::SetEndHandler(nullptr);
    platform::install(nullptr);
}

TEST_F(MainWindowTest, ClearAnsweredNoKeepsTheSelectionAndYesClearsIt) {
    form->strDirPath = QStringLiteral("C:\\data\\");
    form->strFilespec = QStringLiteral("*.txt");
    form->ShowFileSelection();
    ASSERT_TRUE(form->cmdClear->isVisible());
    ScriptedMsgBox boxes;
    const QString question = QStringLiteral("Do you wish to clear the folder and file specification?");
    boxes.expect(QStringLiteral("Clear"), question, vbNo, vbYesNo | vbQuestion);
    QTest::mouseClick(form->cmdClear, Qt::LeftButton);
    EXPECT_EQ(form->strDirPath, QStringLiteral("C:\\data\\"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.txt"));

    boxes.expect(QStringLiteral("Clear"), question, vbYes);
    QTest::mouseClick(form->cmdClear, Qt::LeftButton);
    EXPECT_TRUE(form->strDirPath.isEmpty());
    EXPECT_TRUE(form->strFilespec.isEmpty());
    EXPECT_EQ(form->lblDirectory->text(), QStringLiteral("Not specified"));
    EXPECT_FALSE(form->cmdClear->isVisible());
}

TEST_F(MainWindowTest, F10WhileIdleOnlySetsTheStopFlag) {
    form->blnStop = false;
    form->activateWindow();
    QTest::keyRelease(form->cmdSpecifyDirectory[0], Qt::Key_F10);
    EXPECT_TRUE(form->blnStop);
    EXPECT_TRUE(form->fraMenu->isEnabled());
    EXPECT_EQ(ends, 0);
    // Other keys leave it alone.
    form->blnStop = false;
    QTest::keyRelease(form->cmdSpecifyDirectory[0], Qt::Key_F9);
    EXPECT_FALSE(form->blnStop);
}

TEST_F(MainWindowTest, MouseUpGuardHoldsOffQuitForOneSecond) {
    form->StartMouseUpGuard();
    EXPECT_TRUE(form->blnIgnoreMouseUp);
    // The second click of a double-click lands on Quit, or on the frame's close box.
    QTest::mouseClick(form->cmdQuit, Qt::LeftButton);
    form->close();
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(form->isVisible());
    // A dialog opened through a guarded button stays shut too.
    QTest::mouseClick(form->cmdTypeOfPurge, Qt::LeftButton);
    EXPECT_TRUE(form->fraMenu->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(!form->blnIgnoreMouseUp, 3000);
    EXPECT_FALSE(form->Clock2->isActive());
    QTest::mouseClick(form->cmdQuit, Qt::LeftButton);
    EXPECT_EQ(ends, 1);
}

TEST_F(MainWindowTest, ClosingTheWindowActsAsQuit) {
    QTRY_VERIFY_WITH_TIMEOUT(!form->blnIgnoreMouseUp, 3000);
    form->close();
    EXPECT_EQ(ends, 1);
}

TEST_F(MainWindowTest, TypeOfPurgeAcceptedChangesTheDescription) {
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Confirm type of purge"),
                 QStringLiteral("In the type of purge specified each file will be overwritten 12 times.\r\nIs this OK?"),
                 vbYes, vbYesNo | vbQuestion);
    form->lblEstimatedTime->setText(QStringLiteral("About 3 minutes"));
    form->lblSetupFilename->setText(QStringLiteral("monday.vqs"));
    OpenTypeOfPurge([](frmTypeOfPurge& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("What type of purge should be used?"));
        EXPECT_TRUE(f.cboNumberOfPasses[0]->isVisible());
        EXPECT_FALSE(f.cboNumberOfPasses[1]->isVisible());
        QTest::mouseClick(f.optPurgeType[1], Qt::LeftButton);
        EXPECT_TRUE(f.cboNumberOfPasses[1]->isVisible());
        EXPECT_FALSE(f.cboNumberOfPasses[0]->isVisible());
        f.cboNumberOfPasses[1]->setCurrentIndex(3);
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_TRUE(form->fraMenu->isEnabled());
    EXPECT_EQ(typeDialog().GetPurgeType(), 1);
    EXPECT_EQ(typeDialog().GetNumberOfPasses(), 4);
    EXPECT_EQ(form->lblTypeOfPurge->text(),
              QStringLiteral("Alternate bit patterns plus zeros, 4 times (= 12 overwrites)"));
    EXPECT_EQ(form->lblEstimatedTime->text(), QString());
    EXPECT_EQ(form->lblSetupFilename->text(), QString());
}

TEST_F(MainWindowTest, TypeOfPurgeNoKeepsTheDialogOpenAndCancelRestoresOnlyTheType) {
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Confirm type of purge"),
                 QStringLiteral("In the type of purge specified each file will be overwritten twice.\r\nIs this OK?"),
                 vbNo);
    OpenTypeOfPurge([](frmTypeOfPurge& f) {
        QTest::mouseClick(f.optPurgeType[2], Qt::LeftButton);
        f.cboNumberOfPasses[2]->setCurrentIndex(0);
        // Back to type 1 with one pass: 2 overwrites.
        QTest::mouseClick(f.optPurgeType[0], Qt::LeftButton);
        f.cboNumberOfPasses[0]->setCurrentIndex(0);
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.GetPurgeType(), 0);
        EXPECT_EQ(f.GetNumberOfPasses(), 1);
        QTest::mouseClick(f.optPurgeType[2], Qt::LeftButton);
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
    });
    // Cancel restores the type chosen on entry but keeps the changed passes.
    EXPECT_EQ(typeDialog().GetPurgeType(), 0);
    EXPECT_EQ(typeDialog().GetNumberOfPasses(), 1);
    EXPECT_EQ(typeDialog().cboNumberOfPasses[2]->currentIndex(), 0);
    EXPECT_EQ(form->lblTypeOfPurge->text(), QStringLiteral("Random bytes plus zeros, once (= 2 overwrites)"));
}

TEST_F(MainWindowTest, TypeOfPurgeCountsAndDescriptions) {
    frmTypeOfPurge& f = typeDialog();
    struct Case {
        int type, passes, perPass, total;
        const char* description;
    } cases[] = {
        {0, 6, 2, 12, "Random bytes plus zeros, 6 times (= 12 overwrites)"},
        {0, 9, 2, 18, "Random bytes plus zeros, 9 times (= 18 overwrites)"},
        {1, 8, 3, 24, "Alternate bit patterns plus zeros, 8 times (= 24 overwrites)"},
        {1, 2, 3, 6, "Alternate bit patterns plus zeros, twice (= 6 overwrites)"},
        {2, 4, 6, 24, "Alternate bit patterns plus random bytes twice, 4 times (= 24 overwrites)"},
        {2, 1, 6, 6, "Alternate bit patterns plus random bytes twice, once (= 6 overwrites)"},
    };
    for (const Case& c : cases) {
        f.SetPurgeType(c.type, c.passes);
        EXPECT_EQ(f.GetPurgeType(), c.type);
        EXPECT_EQ(f.GetNumberOfPasses(), c.passes);
        EXPECT_EQ(f.GetNumOverwritesPerPass(), c.perPass);
        EXPECT_EQ(f.GetNumOverwrites(), c.total);
        form->ShowTypeOfPurge();
        EXPECT_EQ(form->lblTypeOfPurge->text().toStdString(), c.description);
    }
    // The lists offer 1 to 9, 8 and 4 passes; the defaults are 6, 4 and 2.
    f.Initialization();
    for (int type = 0; type < 3; ++type) {
        const int max[] = {9, 8, 4};
        const int dflt[] = {6, 4, 2};
        EXPECT_EQ(f.cboNumberOfPasses[type]->count(), max[type]);
        EXPECT_EQ(f.cboNumberOfPasses[type]->itemText(0), QStringLiteral("1"));
        EXPECT_EQ(f.cboNumberOfPasses[type]->currentIndex() + 1, dflt[type]);
    }
    EXPECT_EQ(f.GetPurgeType(), 0);
}

TEST_F(MainWindowTest, PurgeTypeNumPassesTexts) {
    struct Case {
        int type, passes;
        const char* text;
    } cases[] = {
        {0, 1, "random bytes plus zeros once"},
        {1, 2, "alternate bit patterns plus zeros twice"},
        {2, 3, "alternate bit patterns plus random bytes twice 3 times"},
        {0, 3, "random bytes plus zeros 3 times"},
        {5, 4, " 4 times"},
    };
    for (const Case& c : cases) EXPECT_EQ(form->PurgeTypeNumPasses(c.type, c.passes).toStdString(), c.text);
}

TEST(MainWindowStartup, EndsWhenTheProgramTextsCannotBeLoaded) {
    class EmptyProgramFolder : public platform::PosixPlatform {
      public:
        QTemporaryDir dir;
        QString programFolder() const override { return dir.path(); }
    } p;
    p.loadDefaultDriveMap();
    platform::install(&p);
    {
        ScriptedMsgBox boxes;
        boxes.expect(ApplicationTitle(), QString(), vbOK, vbCritical | vbOKOnly);
        frmMain form;
        EXPECT_FALSE(form.Startup());
        EXPECT_FALSE(form.isVisible());
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_TRUE(boxes.seen()[0].prompt.startsWith(QStringLiteral("Cannot open file containing program text.\r\n")));
        EXPECT_TRUE(boxes.seen()[0].prompt.endsWith(QStringLiteral("\\vq.dat")));
    }
    platform::install(nullptr);
}
