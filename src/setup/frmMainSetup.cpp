// The main window's setup commands: the setup kept for the next run and the
// operation files.

#include "app/frmMain.h"

#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/frmPurgeConfirmation.h"
#include "setup/SetupFile.h"
#include "support/FormUi.h"
#include "support/Seams.h"

namespace {

const QString kOperationFilter = QStringLiteral("Operation files (*.vqs) | *.vqs");

// The purge options in the order of the setup file's lines 8 to 15.
std::array<QCheckBox*, 8> OptionBoxes() {
    frmPurgeConfirmation& f = frmPurgeConfirmation::instance();
    return {f.chkPurgeSlackOnly,         f.chkDoNotDeletePurgedFiles, f.chkOKToPurgeReadOnlyFiles,
            f.chkOKToPurgeSystemFiles,   f.chkOKToPurgeSensitiveFiles, f.chkFolderNamesOnly,
            f.chkDeleteEmptyFolders,     f.chkConfirmFiles};
}

} // namespace

void frmMain::SaveSetup(const QString& strFilepath, bool& blnSuccess) {
    blnSuccess = false;
    const frmTypeOfPurge& t = frmTypeOfPurge::instance();
    SetupFile::Setup s;
    s.strVersion = strVersion;
    s.intSubdirectories = blnSubdirectories ? 1 : 0;
    s.intDateRestriction = blnDateRestriction ? 1 : 0;
    s.strDirPath = strDirPath;
    s.strFilespec = strFilespec;
    s.intPurgeType = t.GetPurgeType();
    s.intNumberOfPasses = t.GetNumberOfPasses();
    const auto boxes = OptionBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) s.intOptions[i] = boxes[i]->isChecked() ? 1 : 0;
    s.lngOnlyBeforeThisJDN = lngOnlyBeforeThisJDN;
    // Written whole or not at all: a save that fails leaves the old file.
    int error = 0;
    blnSuccess = platform::current().writeTextFileAtomic(strFilepath, SetupFile::FormatSetup(s), error);
}

void frmMain::LoadSetup(const QString& strFilepath, bool& blnSuccess) {
    frmTypeOfPurge& t = frmTypeOfPurge::instance();
    const auto boxes = OptionBoxes();
    // What the file does not reach keeps its value.
    SetupFile::Setup s;
    for (size_t i = 0; i < boxes.size(); ++i) s.intOptions[i] = boxes[i]->isChecked() ? 1 : 0;
    s.lngOnlyBeforeThisJDN = lngOnlyBeforeThisJDN;

    QByteArray content;
    int error = 0;
    if (platform::current().readTextFile(strFilepath, content, error)) {
        blnSuccess = SetupFile::ParseSetup(content, s);
    } else {
        blnSuccess = false;
        SetupFile::ParseSetup(QByteArray(), s);
    }
    for (size_t i = 0; i < boxes.size(); ++i) boxes[i]->setChecked(s.intOptions[i] == 1);
    lngOnlyBeforeThisJDN = s.lngOnlyBeforeThisJDN;

    if (s.intSubdirectories != 0 && s.intSubdirectories != 1) blnSuccess = false;
    blnSubdirectories = s.intSubdirectories == 1;
    if (s.intDateRestriction != 0 && s.intDateRestriction != 1) blnSuccess = false;
    blnDateRestriction = s.intDateRestriction == 1;

    strDirPath = s.strDirPath;
    strFilespec = s.strFilespec;

    const int type = s.intPurgeType;
    const bool fits = type >= 0 && type < int(t.cboNumberOfPasses.size()) &&
                      s.intNumberOfPasses - t.intMinNumPasses >= 0 &&
                      s.intNumberOfPasses - t.intMinNumPasses < t.cboNumberOfPasses[size_t(type)]->count();
    if (fits) {
        t.SetPurgeType(type, s.intNumberOfPasses);
    } else {
        t.SetPurgeType(SetupFile::kFallbackPurgeType, SetupFile::kFallbackPasses);
        blnSuccess = false;
    }

    if (blnStartupCompleted) ShowTypeOfPurge();
    ShowDateRestriction();
}

void frmMain::cmdSetup_MouseUp() {
    lblSetupFilename->setVisible(false);
    EnableCommandFrame(false);
    MoveTw(fraSetup, LeftTw(fraMenu) + WidthTw(cmdSetup) + 100, TopTw(fraMenu) + TopTw(cmdSetup) - 540);
    fraSetup->setVisible(true);
    fraSetup->raise();
    fraSetup->setEnabled(true);
    cmdSaveSetup->setFocus();
}

void frmMain::CloseSetupFrame() {
    fraSetup->setVisible(false);
    lblSetupFilename->setVisible(true);
    lblSetupFilename->raise();
    EnableCommandFrame(true);
    cmdSetup->setFocus();
}

void frmMain::cmdSaveSetup_Click() {
    fraSetup->setVisible(false);
    MoveTw(picSaveSetup, LeftTw(fraMenu) + WidthTw(cmdSetup) + 100, TopTw(fraMenu) + TopTw(cmdSetup) - 210);
    picSaveSetup->setVisible(true);
    picSaveSetup->raise();
    cmdSaveSetupForNextRun->setFocus();
}

void frmMain::cmdSaveSetupForNextRun_Click() {
    bool blnSuccess = false;
    SaveSetup(strNextRunSetupFile, blnSuccess);
    if (!blnSuccess) MsgBox(QStringLiteral("Cannot save setup!"), vbOKOnly | vbExclamation, QStringLiteral("Error"));
    picSaveSetup->setVisible(false);
    lblSetupFilename->setVisible(true);
    lblSetupFilename->raise();
    EnableCommandFrame(true);
    fraSetup->setEnabled(true);
    cmdSetup->setFocus();
}

void frmMain::cmdSaveSetupAsOperationFile_Click() {
    picSaveSetup->setVisible(false);
    const QString path = CurrentFileDialogs().saveFile(this, QStringLiteral("Specify operation file to be saved"),
                                                       QString(), kOperationFilter);
    StartMouseUpGuard();
    if (!path.isEmpty()) {
        bool blnSave = true;
        if (platform::current().kind(path) != platform::Kind::Missing)
            blnSave = MsgBox(QStringLiteral("Overwrite existing file ") + path + QLatin1Char('?'),
                             vbYesNoCancel | vbQuestion, QStringLiteral("File exists")) == vbYes;
        if (blnSave) {
            bool blnSuccess = false;
            SaveSetup(path, blnSuccess);
            if (blnSuccess) {
                SetCaption(lblSetupFilename, path);
            } else {
                MsgBox(QStringLiteral("Cannot save setup in operation file ") + path + QLatin1Char('!'),
                       vbOKOnly | vbExclamation, QStringLiteral("Error"));
                SetCaption(lblSetupFilename, QString());
            }
        }
    }
    lblSetupFilename->setVisible(true);
    lblSetupFilename->raise();
    EnableCommandFrame(true);
    fraSetup->setEnabled(fraMenu->isEnabled());
    if (cmdSetup->isVisible()) cmdSetup->setFocus();
}

void frmMain::cmdDontSaveSetup_Click() {
    picSaveSetup->setVisible(false);
    CloseSetupFrame();
}

void frmMain::cmdLoadSetup_Click() {
    fraSetup->setVisible(false);
    const QString path = CurrentFileDialogs().openFile(this, QStringLiteral("Specify operation file to be loaded"),
                                                       QString(), kOperationFilter);
    StartMouseUpGuard();
    if (!path.isEmpty()) {
        if (platform::current().kind(path) != platform::Kind::File) {
            MsgBox(QStringLiteral("File ") + path + QStringLiteral(" not found!"), vbOKOnly | vbExclamation,
                   QStringLiteral("Error when attempting to load setup."));
        } else {
            bool blnSuccess = false;
            LoadSetup(path, blnSuccess);
            if (blnSuccess) {
                ShowFileSelection();
                SaveSelectionSnapshot();
                SetCaption(lblSetupFilename, path);
            } else {
                // The fallbacks are in force now; the labels must say so.
                ShowFileSelection();
                MsgBox(QStringLiteral("Error when attempting to load setup from file ") + path + QLatin1Char('!'),
                       vbOKOnly | vbExclamation, QStringLiteral("Error"));
            }
            ShowSubfolderChoice();
        }
    }
    lblSetupFilename->setVisible(true);
    lblSetupFilename->raise();
    EnableCommandFrame(true);
    if (cmdSetup->isVisible()) cmdSetup->setFocus();
}

void frmMain::cmdClearSetup_Click() {
    SaveSelectionSnapshot();
    strDirPath.clear();
    strFilespec.clear();
    ShowFileSelection();
    ShowSubfolderChoice();
    SetCaption(lblSetupFilename, QString());
    CloseSetupFrame();
}

void frmMain::cmdRestoreSetup_Click() {
    strDirPath = strSavedDirPath;
    strFilespec = strSavedFilespec;
    blnSubdirectories = blnSavedSubdirectories;
    ShowFileSelection();
    ShowSubfolderChoice();
    CloseSetupFrame();
    lngOnlyBeforeThisJDN = lngSavedOnlyBeforeThisJDN;
    ShowDateRestriction();
}

void frmMain::cmdKeepSetup_Click() { CloseSetupFrame(); }
