// The main window's folder commands: the folder of an ordinary operation,
// the folders to purge whole, and the subfolder switch.
#include "app/frmMain.h"

#include "platform/Platform.h"
#include "selection/FolderBrowse.h"
#include "selection/folder.h"
#include "selection/frmSelectSubfolders.h"
#include "support/DiskProc.h"
#include "support/FormUi.h"
#include "support/Language.h"
#include "support/ModalUi.h"
#include "support/Seams.h"
#include "support/StrProc.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kRecycleBin = QStringLiteral("$RECYCLE.BIN");

// A folder on a drive that cannot be written is refused when chosen.
bool RefusedForWriting(const QString& folderPath) {
    QString errorText;
    if (!DiskProc::CannotWriteToDrive(folderPath, errorText)) return false;
    MsgBox(QStringLiteral("Cannot access ") + folderPath + kCrLf + QStringLiteral("Error: ") + errorText + kCrLf +
               QStringLiteral("Disk may be write-protected."),
           vbOKOnly | vbExclamation, QStringLiteral("Error"));
    return true;
}

bool IsRecycleBinPath(const QString& path) {
    return path.toUpper().contains(kRecycleBin) || platform::current().isInRecycleBin(path);
}

qint32 NumFilesIn(const QString& folderPath) {
    QString errorText;
    double size = 0;
    bool denied = false;
    return folder::CountMatchingFiles(folderPath, QStringLiteral("*.*"), false, false, errorText, size, denied);
}

} // namespace

void frmMain::SaveSelectionCaptions() {
    strSavedFilesCaption = lblFiles->text();
    strSavedSubdirectories2Caption = lblSubdirectories2->text();
}

void frmMain::HideSelectionLabels() {
    for (QLabel* l : {lblDirectory, lblFiles, lblFiles2[0], lblSubdirectories, lblSubdirectories2, lblSingleFile})
        l->setVisible(false);
}

void frmMain::ShowSelectionLabels() {
    SetCaption(lblFiles, strSavedFilesCaption);
    SetCaption(lblSubdirectories2, strSavedSubdirectories2Caption);
    for (QLabel* l : {lblDirectory, lblFiles, lblFiles2[0], lblSubdirectories, lblSubdirectories2, lblSingleFile})
        l->setVisible(true);
}

void frmMain::ShowSubfolderChoice() {
    if (strDirPath.isEmpty() || strFilespec.isEmpty()) {
        SetCaption(lblSubdirectories, QString());
        SetCaption(lblSubdirectories2, QString());
        blnSubdirectories = false;
        return;
    }
    QString errorText;
    // An unreadable folder (-1) keeps the switch: it may have subfolders.
    if (folder::CountSubfolders(strDirPath, errorText) != 0) {
        if (blnSubdirectories) {
            SetCaption(lblSubdirectories, QStringLiteral("Yes"));
            SetCaption(lblSubdirectories2, QStringLiteral("(Operate on all specified files in lower subfolders.)"));
        } else {
            SetCaption(lblSubdirectories, QStringLiteral("No"));
            SetCaption(lblSubdirectories2, QStringLiteral("(Do not operate on files in lower subfolders.)"));
        }
    } else {
        blnSubdirectories = false;
        SetCaption(lblSubdirectories, QStringLiteral("No"));
        SetCaption(lblSubdirectories2, QStringLiteral("(The folder has no subfolders.)"));
    }
}

void frmMain::cmdSpecifyDirectory_MouseUp(int index) {
    if (blnBusy) return;
    const QString caption = cmdSpecifyDirectory[index == 1 ? 1 : 0]->text();

    SetCaption(lblTopLevelFolder, QString());
    MoveTw(lblTopLevelFolder, LeftTw(lblTopLevelFolder), TopTw(fraMenu) + TopTw(cmdSpecifyDirectory[1]));
    lblTopLevelFolder->setVisible(true);
    SetCaption(lblLargePurgeMessage, QString());

    if (index != 1) {
        // "Specify folder": the folder of an ordinary operation.
        SaveSelectionCaptions();
        SetCaption(lblSetupFilename, QString());
        const QString chosen = BrowseForFolder(this, QStringLiteral("Specify folder containing files to be purged"), strDirPath);
        // A cancelled browser is not a drive to test.
        if (!chosen.isEmpty() && !RefusedForWriting(chosen)) {
            QString path = chosen;
            StrProc::AddBackslash(path);
            strDirPath = path;
            blnPurgingRecycleBin = IsRecycleBinPath(path);
            if (blnPurgingRecycleBin) {
                ShowFileSelection();
                // Let the labels show before the Recycle Bin is dealt with.
                DoEvents();
                blnPurgingRecycleBin = false;
                return;
            }
            ShowFileSelection();
            QString errorText;
            const bool hasSubfolders = folder::CountSubfolders(strDirPath, errorText) > 0;
            SetCaption(lblSubdirectories, QStringLiteral("No"));
            SetCaption(lblSubdirectories2, hasSubfolders ? QStringLiteral("(Do not operate on files in lower subfolders.)")
                                                         : QStringLiteral("(The folder has no subfolders.)"));
            blnSubdirectories = false;
            SetCaption(lblSetupFilename, QString());
            strFilespec.clear();
            ShowFileSelection();
            if (NumFilesIn(strDirPath) > 0) {
                const QString question = QStringLiteral("Do you wish to purge ALL files in ") + strDirPath +
                                         QStringLiteral(" and optionally its subfolders ") +
                                         QStringLiteral("(subject to any date restriction which is in effect)?");
                if (MsgBox(question, vbYesNo | vbQuestion, caption) != vbYes) {
                    MsgBox(QStringLiteral("Now click on the 'Specify files' button to specify the file(s) in ") +
                               strDirPath + QStringLiteral(" to be purged."),
                           vbOKOnly, caption);
                } else {
                    strFilespec = QStringLiteral("*.*");
                    ShowFileSelection();
                    SetCaption(lblSetupFilename, QString());
                    SetCaption(lblEstimatedTime, QString());
                    bool ok = false;
                    CheckFolderContents(strFilespec, ok);
                    if (hasSubfolders)
                        MsgBox(QStringLiteral("If you wish also to purge all files in subfolders") + kCrLf +
                                   QStringLiteral("(subject to any date restriction which is in effect)") + kCrLf +
                                   QStringLiteral("then click on the 'Subfolders?' button."),
                               vbOKOnly | vbInformation, caption);
                }
            }
            // The labels now describe the new selection.
            SaveSelectionCaptions();
        }
        ShowSelectionLabels();
        ShowDateRestriction();
        return;
    }

    // "Purge folders": a top folder and a selection of its subfolders.
    SaveSelectionCaptions();
    const QString question =
        QStringLiteral("Do you wish to purge all files in") + kCrLf + QStringLiteral("selected subfolders of some folder?") +
        kCrLf + QStringLiteral("(Note that all files in all subfolders of the") + kCrLf +
        QStringLiteral("selected subfolders will also be purged.)") + kCrLf + kCrLf +
        QStringLiteral("If so, first select a folder, then select the subfolders") + kCrLf +
        QStringLiteral("of that folder that you wish to purge.");
    if (MsgBox(question, vbYesNo | vbQuestion, caption) != vbYes) return;

    HideSelectionLabels();
    const QString chosen = BrowseForFolder(this, QStringLiteral("Specify the folder containing the subfolders") + kCrLf +
                                                     QStringLiteral("to be purged (or a selection of them)"),
                                           strTopFolder.isEmpty() ? strDirPath : strTopFolder);
    if (!chosen.isEmpty() && !RefusedForWriting(chosen)) {
        QString errorText;
        const qint32 subfolders = folder::CountSubfolders(chosen, errorText);
        const qint32 files = NumFilesIn(chosen);
        bool denied = false;
        if (subfolders < 0) {
            MsgBox(QStringLiteral("Cannot access ") + chosen + kCrLf + QStringLiteral("Error: ") + errorText,
                   vbOKOnly | vbExclamation, caption);
        } else if (subfolders == 0 && files == 0 && folder::FolderIsEmpty(chosen, denied) && !denied) {
            if (MsgBox(chosen + QStringLiteral(" is empty.") + kCrLf + QStringLiteral("Do you wish to delete this folder?"),
                       vbYesNo | vbQuestion, caption) == vbYes) {
                QString removeError;
                if (folder::DeleteFolder(chosen, removeError, false)) {
                    SetCaption(lblTopLevelFolder, chosen + QStringLiteral(" has been deleted."));
                    // The selection must not go on naming a folder that is gone.
                    QString gone = chosen;
                    StrProc::AddBackslash(gone);
                    if (strDirPath.compare(gone, Qt::CaseInsensitive) == 0) {
                        strDirPath.clear();
                        strFilespec.clear();
                        ShowFileSelection();
                        ShowSubfolderChoice();
                        SaveSelectionCaptions();
                    }
                } else {
                    MsgBox(QStringLiteral("Cannot remove ") + chosen, vbOKOnly | vbExclamation, caption);
                }
            }
        } else if (subfolders == 0) {
            MsgBox(chosen + QStringLiteral(" has no subfolders.") + kCrLf + kCrLf +
                       QStringLiteral("If you wish to purge the files in this folder") + kCrLf +
                       QStringLiteral("then click on 'Purge files'."),
                   vbOKOnly | vbInformation, caption);
            QString path = chosen;
            StrProc::AddBackslash(path);
            strDirPath = path;
            strFilespec = QStringLiteral("*.*");
            ShowFileSelection();
            blnSubdirectories = true;
            cmdSubdirectories_MouseUp();
            SaveSelectionCaptions();
        } else {
            strTopFolder = chosen;
            SelectSubfolders(strTopFolder, QStringLiteral("Select subfolders of ") + strTopFolder +
                                               QStringLiteral(" to be purged."));
        }
    }
    ShowSelectionLabels();
    ShowDateRestriction();
}

void frmMain::cmdSubdirectories_MouseUp() {
    if (blnBusy) return;
    SetCaption(lblEstimatedTime, QString());
    if (strDirPath.isEmpty()) {
        strFilespec.clear();
        ShowFileSelection();
        return;
    }
    QString errorText;
    const qint32 n = folder::CountSubfolders(strDirPath, errorText);
    if (n >= 0) {
        blnSubdirectories = n > 0 ? !blnSubdirectories : false;
        ShowSubfolderChoice();
        SetCaption(lblSetupFilename, QString());
        return;
    }
    if (blnStartupCompleted && DiskProc::DriveIsReady(strDirPath.left(2)))
        MsgBox(Language::ProgramText(51) + QLatin1Char(' ') + strDirPath + QLatin1Char('.'), vbOKOnly | vbExclamation,
               Language::ProgramText(52));
    strDirPath.clear();
    strFilespec.clear();
    ShowFileSelection();
}

void frmMain::SelectSubfolders(const QString& strTop, const QString& strCaption) {
    const qsizetype bin = strTop.toUpper().indexOf(kRecycleBin);
    if (bin >= 0 || platform::current().isInRecycleBin(strTop)) {
        const QString part = bin >= 0 ? strTop.mid(bin, kRecycleBin.size()) : strTop;
        MsgBox(part + QStringLiteral(" cannot be selected as the top folder."), vbOKOnly | vbInformation, strCaption);
        return;
    }

    frmSelectSubfolders& f = frmSelectSubfolders::instance();
    f.strCaption = strCaption;
    f.strTopFolder = strTop;
    f.intMaxNumCheckboxes = 11;
    f.lngBackColor = 128;          // red 128, green 0, blue 0
    f.lngLabelForeColor = 0xFFFFFF; // white
    f.blnOmitTotalFilesize = false;
    f.blnFolderSelectionAccepted = false;
    f.setWindowIcon(windowIcon());
    const QRect main = geometry();
    const int left = main.x() + tw(105);
    const int top = main.y() + fraMenu->y() + tw(330);
    f.setGeometry(left, top, main.right() + 1 - tw(100) - left, main.bottom() + 1 - tw(600) - top);

    if (strTop != strLastTopFolder) {
        strSelectedFolders.clear();
        intNumSelectedFolders = 0;
    }
    f.strFoldersPassedToSelectFoldersForm =
        intNumSelectedFolders > 0 ? strSelectedFolders.mid(0, intNumSelectedFolders).join(kCrLf) : QString();
    ShowModal(&f, this);

    if (!f.blnFolderSelectionAccepted) {
        MsgBox(QStringLiteral("Selection cancelled."), vbOKOnly | vbInformation, QStringLiteral("Folder selection"));
        return;
    }
    strLastTopFolder = strTop;
    // Each name is joined to the top folder with exactly one backslash, so
    // "C:\data" and "sub" give C:\data\sub and never C:\datasub.
    QString prefix = strTop;
    StrProc::AddBackslash(prefix);
    strSelectedFolders.clear();
    for (const QString& name : f.strFoldersReturnedFromSelectFoldersForm.split(kCrLf)) {
        if (name.isEmpty()) continue;
        strSelectedFolders << prefix + name;
    }
    intNumSelectedFolders = static_cast<qint16>(qMin<qsizetype>(strSelectedFolders.size(), 32767));
}
