// Setups: the sixteen-line file, the setup frame with its buttons, damaged
// files, a save that fails half-way, and the next start of the program.
#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/frmPurgeConfirmation.h"
#include "setup/SetupFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString kLoadError = QStringLiteral("Error when attempting to load setup from file ");

std::array<QCheckBox*, 8> Boxes() {
    frmPurgeConfirmation& f = frmPurgeConfirmation::instance();
    return {f.chkPurgeSlackOnly,       f.chkDoNotDeletePurgedFiles,  f.chkOKToPurgeReadOnlyFiles,
            f.chkOKToPurgeSystemFiles, f.chkOKToPurgeSensitiveFiles, f.chkFolderNamesOnly,
            f.chkDeleteEmptyFolders,   f.chkConfirmFiles};
}
std::array<bool, 8> Checked() {
    std::array<bool, 8> out{};
    const auto b = Boxes();
    for (size_t i = 0; i < 8; ++i) out[i] = b[i]->isChecked();
    return out;
}
void SetChecked(const std::array<bool, 8>& values) {
    const auto b = Boxes();
    for (size_t i = 0; i < 8; ++i) b[i]->setChecked(values[i]);
}

// Sixteen lines (or fewer) joined as the program writes them.
QByteArray Lines(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines) out += QByteArray(l) + "\r\n";
    return out;
}

class SetupTest : public ::testing::Test {
  protected:
    TempDrive drive{QLatin1Char('T')};
    std::unique_ptr<frmMain> form;

    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        RemoveNextRunSetup();
        ASSERT_TRUE(form->Startup());
        platform::current().mapDrive(QLatin1Char('T'), drive.native());
        SetChecked({false, false, true, false, false, true, true, false});
    }
    void TearDown() override {
        RemoveNextRunSetup();
        form.reset();
        frmMain::SetEndHandler(nullptr);
    }
    void RemoveNextRunSetup() {
        int error = 0;
        if (!form->strNextRunSetupFile.isEmpty()) platform::current().deleteFile(form->strNextRunSetupFile, error);
    }
    // A setup unlike the defaults in every value.
    void SetEveryValue(const QString& folder) {
        form->strDirPath = folder;
        form->strFilespec = QStringLiteral("*.doc");
        form->blnSubdirectories = true;
        form->blnDateRestriction = true;
        form->lngOnlyBeforeThisJDN = 2459000;
        frmTypeOfPurge::instance().SetPurgeType(2, 3);
        SetChecked({true, true, false, true, true, false, false, true});
    }
    void ExpectEveryValue(const QString& folder) {
        EXPECT_EQ(form->strDirPath, folder);
        EXPECT_EQ(form->strFilespec, QStringLiteral("*.doc"));
        EXPECT_TRUE(form->blnSubdirectories);
        EXPECT_TRUE(form->blnDateRestriction);
        EXPECT_EQ(form->lngOnlyBeforeThisJDN, 2459000);
        EXPECT_EQ(frmTypeOfPurge::instance().GetPurgeType(), 2);
        EXPECT_EQ(frmTypeOfPurge::instance().GetNumberOfPasses(), 3);
        EXPECT_EQ(Checked(), (std::array<bool, 8>{true, true, false, true, true, false, false, true}));
    }
    void ExpectFallbacks() {
        EXPECT_FALSE(form->blnSubdirectories);
        EXPECT_EQ(form->strDirPath, QString());
        EXPECT_EQ(form->strFilespec, QString());
        EXPECT_EQ(frmTypeOfPurge::instance().GetPurgeType(), 0);
        EXPECT_EQ(frmTypeOfPurge::instance().GetNumberOfPasses(), 6);
    }
    void OpenFrame() {
        QTest::mouseClick(form->cmdSetup, Qt::LeftButton);
        ASSERT_TRUE(form->fraSetup->isVisible());
        ASSERT_FALSE(form->fraMenu->isEnabled());
    }
    void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Loads path through "Load setup".
    void LoadThroughFrame(const QString& path) {
        ScriptedFileDialogs dialogs;
        dialogs.answer(path);
        OpenFrame();
        Click(form->cmdLoadSetup);
        form->blnIgnoreMouseUp = false;
        EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Specify operation file to be loaded")});
    }
    // Saves through "Save setup as operation file".
    void SaveThroughFrame(const QString& path) {
        ScriptedFileDialogs dialogs;
        dialogs.answer(path);
        OpenFrame();
        Click(form->cmdSaveSetup);
        ASSERT_TRUE(form->picSaveSetup->isVisible());
        Click(form->cmdSaveSetupAsOperationFile);
        form->blnIgnoreMouseUp = false;
        EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Specify operation file to be saved")});
    }
    void ExpectFrameClosed() {
        EXPECT_FALSE(form->fraSetup->isVisible());
        EXPECT_FALSE(form->picSaveSetup->isVisible());
        EXPECT_TRUE(form->fraMenu->isEnabled());
        EXPECT_TRUE(form->lblSetupFilename->isVisibleTo(form.get()));
    }
};

} // namespace

TEST(SetupFormat, WritesSixteenLinesWithBlankedNumbers) {
    SetupFile::Setup s;
    s.strVersion = QStringLiteral("1.07");
    s.intSubdirectories = 1;
    s.strDirPath = QStringLiteral("C:\\a, b ");
    s.strFilespec = QStringLiteral("*.*");
    s.intOptions = {0, 1, 0, 0, 0, 1, 1, 0};
    EXPECT_EQ(SetupFile::FormatSetup(s), Lines({"1.07", " 1 ", " 0 ", "C:\\a, b ", "*.*", " 0 ", " 6 ", " 0 ", " 1 ",
                                                " 0 ", " 0 ", " 0 ", " 1 ", " 1 ", " 0 ", " 9000000 "}));
}

// Folder names that a naive reader would cut, trim or mangle.
TEST_F(SetupTest, SavedAndLoadedGivesBackEveryValue) {
    const QString names[] = {
        QStringLiteral("T:\\plain"),
        QStringLiteral("T:\\Smith, John\\letters, old"),
        QStringLiteral("T:\\  blanks around  "),
        QStringLiteral("T:\\Größe\\日本"),
        platform::Platform::decodeName(QByteArray("T:\\bad\xff\xfe name")),
    };
    for (const QString& folder : names) {
        SCOPED_TRACE(folder.toStdString());
        SetEveryValue(folder);
        const QString path = drive.path(QStringLiteral("every.vqs"));
        bool ok = false;
        form->SaveSetup(path, ok);
        ASSERT_TRUE(ok);
        form->ResetToDefaults();
        SetChecked({});
        form->LoadSetup(path, ok);
        EXPECT_TRUE(ok);
        ExpectEveryValue(folder);
    }
    // Line 1 is any text at all.
    QByteArray content = ReadNative(drive.native(QStringLiteral("every.vqs")));
    content.replace(0, content.indexOf('\r'), "some other program, version 99");
    const QString path = drive.makeFile(QStringLiteral("other.vqs"), content);
    form->ResetToDefaults();
    bool ok = false;
    form->LoadSetup(path, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 2459000);
}

TEST_F(SetupTest, ADateFlagOfTwoLoadsAsFalseAndFails) {
    const QString path = drive.makeFile(QStringLiteral("two.vqs"),
                                        Lines({"1.07", " 1 ", " 2 ", "T:\\x", "*.txt", " 1 ", " 2 ", " 0 ", " 0 ",
                                               " 1 ", " 0 ", " 0 ", " 1 ", " 1 ", " 0 ", " 2459000 "}));
    form->blnDateRestriction = true;
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Error"), kLoadError + path + QLatin1Char('!'), vbOK, vbOKOnly | vbExclamation);
    LoadThroughFrame(path);
    EXPECT_TRUE(boxes.allShown());
    EXPECT_FALSE(form->blnDateRestriction);
    // The other values were read whole and stay.
    EXPECT_TRUE(form->blnSubdirectories);
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\x"));
    EXPECT_EQ(frmTypeOfPurge::instance().GetPurgeType(), 1);
    EXPECT_EQ(form->lblSetupFilename->text(), QStringLiteral("Setup filename")) << "a failed load names no file";
    ExpectFrameClosed();
}

TEST_F(SetupTest, TheTenLineFileGivesExactlyItsOutcome) {
    SetEveryValue(QStringLiteral("T:\\before"));
    form->blnDateRestriction = false;
    SetChecked({false, false, false, true, true, true, true, true});
    const QString path = drive.makeFile(QStringLiteral("ten.vqs"), Lines({"1.07", " 1 ", " 1 ", "T:\\ten", "*.txt",
                                                                           " 2 ", " 2 ", " 1 ", " 1 ", " 1 "}));
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Error"), kLoadError + path + QLatin1Char('!'));
    LoadThroughFrame(path);
    EXPECT_TRUE(boxes.allShown());
    EXPECT_TRUE(form->blnDateRestriction);
    ExpectFallbacks();
    EXPECT_EQ(Checked(), (std::array<bool, 8>{true, true, true, true, true, true, true, true}));
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 2459000);
    EXPECT_EQ(form->lblDirectory->text(), form->strNotSpecified) << "the labels show the fallbacks";
}

TEST_F(SetupTest, DamagedFilesAreRefusedWithTheFallbacks) {
    const QByteArray good = Lines({"1.07", " 1 ", " 0 ", "T:\\x", "*.txt", " 1 ", " 2 ", " 0 ", " 0 ", " 1 ", " 0 ",
                                   " 0 ", " 1 ", " 1 ", " 0 ", " 2459000 "});
    QByteArray binary = good;
    binary[20] = '\0';
    binary[21] = '\x01';
    QByteArray longLine = good;
    longLine.insert(good.indexOf("T:\\x") + 4, QByteArray(100000, 'a'));
    const struct {
        const char* name;
        QByteArray content;
        bool readWhole = false; // every line read; only the purge type falls back
    } cases[] = {
        {"empty", QByteArray()},
        {"binary bytes", binary},
        {"a very long line", longLine},
        {"fifteen lines", good.left(good.lastIndexOf(" 2459000"))},
        {"purge type 5", QByteArray(good).replace("\r\n 1 \r\n 2 \r\n", "\r\n 5 \r\n 2 \r\n"), true},
        {"99 passes", QByteArray(good).replace("\r\n 1 \r\n 2 \r\n", "\r\n 1 \r\n 99 \r\n"), true},
        {"an option of 2", QByteArray(good).replace(" 0 \r\n 0 \r\n 1 \r\n 1 \r\n 0 \r\n 2459000", " 0 \r\n 0 \r\n 2 \r\n 1 \r\n 0 \r\n 2459000")},
        {"a day number out of range", QByteArray(good).replace(" 2459000 ", " -5 ")},
        {"a word for a number", QByteArray(good).replace(" 1 \r\n 0 \r\nT:", " yes \r\n 0 \r\nT:")},
        {"a number beyond 32 bits", QByteArray(good).replace(" 2459000 ", " 99999999999999999999 ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form->strDirPath = QStringLiteral("T:\\keep");
        const QString path = drive.makeFile(QStringLiteral("damaged.vqs"), c.content);
        ScriptedMsgBox boxes;
        boxes.expect(QStringLiteral("Error"), kLoadError + path + QLatin1Char('!'));
        LoadThroughFrame(path);
        EXPECT_TRUE(boxes.allShown());
        EXPECT_EQ(form->strDirPath, c.readWhole ? QStringLiteral("T:\\x") : QString());
        EXPECT_EQ(frmTypeOfPurge::instance().GetPurgeType(), 0);
        EXPECT_EQ(frmTypeOfPurge::instance().GetNumberOfPasses(), 6);
    }
    // A huge file is not read at all.
    const QString huge = drive.makeFile(QStringLiteral("huge.vqs"), good);
    ASSERT_TRUE(QFile::resize(drive.native(QStringLiteral("huge.vqs")), 64LL * 1024 * 1024));
    bool ok = true;
    form->LoadSetup(huge, ok);
    EXPECT_FALSE(ok);
    ExpectFallbacks();
}

TEST_F(SetupTest, CancelledFileDialogsChangeNothing) {
    SetEveryValue(QStringLiteral("T:\\stay"));
    SaveThroughFrame(QString());
    ExpectFrameClosed();
    LoadThroughFrame(QString());
    ExpectFrameClosed();
    ExpectEveryValue(QStringLiteral("T:\\stay"));
    EXPECT_EQ(form->lblSetupFilename->text(), QStringLiteral("Setup filename"));
}

TEST_F(SetupTest, OverwriteAnsweredNoOrCancelSavesNothing) {
    const QString path = drive.makeFile(QStringLiteral("old.vqs"), QByteArray("old content"));
    const QString question = QStringLiteral("Overwrite existing file ") + path + QLatin1Char('?');
    for (int answer : {vbNo, vbCancel}) {
        ScriptedMsgBox boxes;
        boxes.expect(QStringLiteral("File exists"), question, answer, vbYesNoCancel | vbQuestion);
        SaveThroughFrame(path);
        EXPECT_TRUE(boxes.allShown());
        EXPECT_EQ(ReadNative(drive.native(QStringLiteral("old.vqs"))), QByteArray("old content"));
        EXPECT_EQ(form->lblSetupFilename->text(), QStringLiteral("Setup filename"));
        ExpectFrameClosed();
    }
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("File exists"), question, vbYes);
    SaveThroughFrame(path);
    EXPECT_EQ(form->lblSetupFilename->text(), path);
    EXPECT_TRUE(ReadNative(drive.native(QStringLiteral("old.vqs"))).endsWith(" 9000000 \r\n"));

    // Loading it names it too; a file that is gone is said so.
    LoadThroughFrame(path);
    EXPECT_EQ(form->lblSetupFilename->text(), path);
    const QString gone = drive.path(QStringLiteral("gone.vqs"));
    boxes.expect(QStringLiteral("Error when attempting to load setup."),
                 QStringLiteral("File ") + gone + QStringLiteral(" not found!"), vbOK, vbOKOnly | vbExclamation);
    LoadThroughFrame(gone);
    EXPECT_TRUE(boxes.allShown());
}

TEST_F(SetupTest, ClearSetupThenRestoreSetup) {
    form->strDirPath = QStringLiteral("T:\\docs");
    form->strFilespec = QStringLiteral("*.txt");
    form->blnSubdirectories = true;
    form->lngOnlyBeforeThisJDN = 2459000;
    OpenFrame();
    Click(form->cmdClearSetup);
    ExpectFrameClosed();
    EXPECT_EQ(form->strDirPath, QString());
    EXPECT_EQ(form->strFilespec, QString());
    EXPECT_FALSE(form->blnSubdirectories) << "without a folder there are no subfolders";
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 2459000) << "Clear setup leaves the date restriction";
    EXPECT_EQ(form->lblDirectory->text(), form->strNotSpecified);
    form->lngOnlyBeforeThisJDN = 9000000;
    OpenFrame();
    Click(form->cmdRestoreSetup);
    ExpectFrameClosed();
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\docs"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.txt"));
    EXPECT_TRUE(form->blnSubdirectories);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 2459000);
    // "Not now" in either place closes without a change.
    OpenFrame();
    Click(form->cmdKeepSetup);
    ExpectFrameClosed();
    OpenFrame();
    Click(form->cmdSaveSetup);
    Click(form->cmdDontSaveSetup);
    ExpectFrameClosed();
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\docs"));
}

// The file system refuses the save half-way (the file size limit stands in
// for a full disk): the old setup is still there, whole.
TEST_F(SetupTest, ASaveThatFailsHalfWayLeavesTheOldFileWhole) {
    const QString path = drive.path(QStringLiteral("next.usr"));
    form->strNextRunSetupFile = path;
    SetEveryValue(QStringLiteral("T:\\old"));
    bool ok = false;
    form->SaveSetup(path, ok);
    ASSERT_TRUE(ok);
    const QByteArray old = ReadNative(drive.native(QStringLiteral("next.usr")));

    form->strDirPath = QStringLiteral("T:\\") + QString(3000, QLatin1Char('n'));
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Error"), QStringLiteral("Cannot save setup!"), vbOK, vbOKOnly | vbExclamation);
    OpenFrame();
    Click(form->cmdSaveSetup);
    Click(form->cmdSaveSetupForNextRun);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(boxes.allShown());
    ExpectFrameClosed();
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("next.usr"))), old);
    platform::Listing listing;
    int error = 0;
    ASSERT_TRUE(platform::current().listFolder(drive.path(), listing, error));
    EXPECT_EQ(listing.files.size(), 1) << "no temporary file is left behind";
    form->LoadSetup(path, ok);
    EXPECT_TRUE(ok);
    ExpectEveryValue(QStringLiteral("T:\\old"));
}

// "Save setup for next run", then a new start of the program through its
// real start-up.
TEST_F(SetupTest, TheNextStartShowsTheSavedSetup) {
    SetEveryValue(QStringLiteral("T:\\kept, for later"));
    frmTypeOfPurge::instance().SetPurgeType(1, 4);
    OpenFrame();
    Click(form->cmdSaveSetup);
    Click(form->cmdSaveSetupForNextRun);
    ExpectFrameClosed();
    const QString nextRun = form->strNextRunSetupFile;
    ASSERT_EQ(platform::current().kind(nextRun), platform::Kind::File);

    form.reset();
    frmTypeOfPurge::instance().Initialization();
    SetChecked({});
    form = std::make_unique<frmMain>();
    ASSERT_TRUE(form->Startup());
    EXPECT_EQ(form->strNextRunSetupFile, nextRun);
    EXPECT_EQ(form->strDirPath, QStringLiteral("T:\\kept, for later"));
    EXPECT_EQ(form->strSavedDirPath, QStringLiteral("T:\\kept, for later")) << "the snapshot follows the load";
    EXPECT_TRUE(form->blnSubdirectories);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 2459000);
    EXPECT_EQ(form->lblTypeOfPurge->text().right(21), QStringLiteral("4 times (= 12 overwrites)").right(21));
    EXPECT_EQ(Checked(), (std::array<bool, 8>{true, true, false, true, true, false, false, true}));
    EXPECT_NE(form->lblDirectory->text(), form->strNotSpecified);
}

// The atomic save replaces only a regular file: a link in the setup's place
// is neither followed nor replaced.
TEST(SetupAtomicWrite, ReplacesAFileButNeverALinkOrItsTarget) {
    TempDrive drive(QLatin1Char('T'));
    ASSERT_TRUE(drive.ok());
    platform::Platform& p = platform::current();
    int error = 0;
    const QString file = drive.makeFile(QStringLiteral("a.usr"), QByteArray("old"));
    ASSERT_TRUE(p.writeTextFileAtomic(file, "new\r\n", error));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("a.usr"))), QByteArray("new\r\n"));

    drive.makeFile(QStringLiteral("target.txt"), QByteArray("precious"));
    ASSERT_EQ(::symlink(QFile::encodeName(drive.native(QStringLiteral("target.txt"))).constData(),
                        QFile::encodeName(drive.native(QStringLiteral("link.usr"))).constData()),
              0);
    EXPECT_FALSE(p.writeTextFileAtomic(drive.path(QStringLiteral("link.usr")), "x", error));
    EXPECT_EQ(error, ELOOP);
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("target.txt"))), QByteArray("precious"));
    EXPECT_TRUE(QFileInfo(drive.native(QStringLiteral("link.usr"))).isSymLink());

    // Nor through a linked folder on the way.
    drive.makeFolder(QStringLiteral("real"));
    ASSERT_EQ(::symlink(QFile::encodeName(drive.native(QStringLiteral("real"))).constData(),
                        QFile::encodeName(drive.native(QStringLiteral("via"))).constData()),
              0);
    EXPECT_FALSE(p.writeTextFileAtomic(drive.path(QStringLiteral("via\\b.usr")), "x", error));
    EXPECT_FALSE(QFileInfo::exists(drive.native(QStringLiteral("real/b.usr"))));
}
