// The main window's two run commands, "Purge files" and "List and estimate
// time", with their checks and questions, and "Report".
#include "app/frmMain.h"

#include "platform/Platform.h"
#include "purge/PurgeQuestion.h"
#include "run/frmPurgeConfirmation.h"
#include "run/frmReport.h"
#include "selection/DatePr2.h"
#include "selection/Filespec.h"
#include "selection/folder.h"
#include "support/DiskProc.h"
#include "support/FormUi.h"
#include "support/Language.h"
#include "support/ModalUi.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <QWindow>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kListTitle = QStringLiteral("List and estimate time");
const QString kPurgeTitle = QStringLiteral("Purge files");

QString Shown(const QString& s) { return platform::Platform::shownName(s); }

// A window opened from the main window stays in front of it.
void KeepInFrontOf(QWidget* window, QWidget* owner) {
    window->winId();
    if (window->windowHandle() && owner->windowHandle()) window->windowHandle()->setTransientParent(owner->windowHandle());
}

// Refuses an empty selection without subfolders; False when refused.
bool SelectionHasFiles(const MainState& m, const QString& title) {
    if (m.blnSubdirectories) return true;
    QString errorText;
    double size = 0;
    bool denied = false;
    const qint32 count = folder::CountMatchingFiles(m.strDirPath, m.strFilespec, false, false, errorText, size, denied);
    if (count > 0) return true;
    QString text;
    if (!m.blnMultipleFiles)
        text = QStringLiteral("File ") + Shown(m.strFilespec) + QStringLiteral(" not found.");
    else if (m.strFilespec == QLatin1String("*.*"))
        text = QStringLiteral("There are no files in ") + Shown(m.strDirPath) + QLatin1Char('.');
    else
        text = QStringLiteral("There are no files in ") + Shown(m.strDirPath) + QStringLiteral(" matching ") +
               Shown(m.strFilespec) + QLatin1Char('.');
    MsgBox(text, vbOKOnly | vbExclamation, title);
    return false;
}

int DriveIndex(const QString& text) {
    if (text.isEmpty()) return -1;
    const int index = text.at(0).toUpper().unicode() - u'A';
    return index >= 0 && index < 26 ? index : -1;
}

} // namespace

void frmMain::cmdProcessFiles_MouseUp(int index) {
    if (blnBusy) return;
    frmReport& report = frmReport::instance();
    platform::Platform& p = platform::current();

    // The folder itself is where files will be overwritten and removed.
    if (!strDirPath.isEmpty()) {
        const QString where = p.kind(strDirPath) == platform::Kind::Folder ? strDirPath : strDirPath.left(3);
        QString errorText;
        if (DiskProc::CannotWriteToDrive(where, errorText)) {
            MsgBox(QStringLiteral("Cannot write to Drive ") + strDirPath.left(1).toUpper() + QLatin1Char('.') + kCrLf +
                       kCrLf + QStringLiteral("Disk may be write-protected."),
                   vbOKOnly | vbExclamation, QStringLiteral("Error"));
            return;
        }
    }
    if (!SelectionIsComplete()) {
        MsgBox(QStringLiteral("No files specified."), vbOKOnly | vbExclamation, QStringLiteral("Error"));
        return;
    }
    blnMultipleFiles = Filespec::HasWildcards(strFilespec);
    QString folderPath = strDirPath;
    StrProc::AddBackslash(folderPath);
    if (!blnMultipleFiles && p.kind(folderPath + strFilespec) != platform::Kind::File) {
        MsgBox(QStringLiteral("The file ") + Shown(strFilespec) + QStringLiteral(" does not exist."), vbOKOnly);
        strFilespec.clear();
        ShowFileSelection();
        return;
    }
    if (p.kind(strDirPath) != platform::Kind::Folder) {
        MsgBox(QStringLiteral("Folder does not exist."), vbOKOnly | vbExclamation, QStringLiteral("Error"));
        strDirPath.clear();
        strFilespec.clear();
        ShowFileSelection();
        return;
    }
    if (index == 1 && blnSubdirectories &&
        MsgBox(Language::ProgramText(29) + QLatin1Char(' ') + Shown(strDirPath) + QStringLiteral(" ?"),
               vbYesNoCancel | vbQuestion, kPurgeTitle) != vbYes)
        return;

    report.blnPurgeFiles = index == 1;
    report.blnListFiles = index == 2;
    const QString operation = index == 1 ? kPurgeTitle : QStringLiteral("List files");

    if (!blnMultipleFiles && !blnSubdirectories && blnDateRestriction) {
        int error = 0;
        const qint32 jdn = DatePr2::GetFileJDN(folderPath + strFilespec, error);
        QString text;
        if (jdn == -1)
            text = QStringLiteral("Cannot ascertain the date of the specified file.");
        else if (jdn >= lngOnlyBeforeThisJDN)
            text = QStringLiteral("The date of the specified file is not before ") +
                   DatePr2::ShortDateText(lngOnlyBeforeThisJDN) + QLatin1Char('.');
        if (!text.isEmpty()) {
            MsgBox(text, vbOKOnly, operation);
            return;
        }
    }
    if (blnAntiMalwareWarning && !AskAntiMalwareWarning()) return;

    if (index == 1) {
        PurgeSelection();
        if (p.isInRecycleBin(strDirPath) && strDirPath.size() > 3 &&
            !strDirPath.mid(3).toUpper().startsWith(QLatin1String("$RECYCLE.BIN")) &&
            MsgBox(QStringLiteral("Delete folder ") + Shown(strDirPath) + QLatin1Char('?'), vbYesNo | vbQuestion,
                   QStringLiteral("Delete folder?")) == vbYes) {
            // What is left of a purged folder goes only when it holds nothing.
            int error = 0;
            if (p.removeEmptyFolder(strDirPath, error))
                SetCaption(lblTopLevelFolder, Shown(strDirPath) + QStringLiteral(" has been deleted."));
        }
    } else {
        if (blnSubdirectories) {
            const QString drive = lblDirectory->text().left(1).toUpper();
            const int d = DriveIndex(drive);
            const bool measured = d >= 0 && sngDrivePurgeSpeed[size_t(d)] > 0;
            if (!measured &&
                MsgBox(QStringLiteral("The purge speed has not been measured for drive ") + drive + QLatin1Char('.') +
                           kCrLf +
                           QStringLiteral("For an estimate of the purge time test the purge speed for this drive then relist.") +
                           kCrLf + QStringLiteral("Do you wish to list subfolders without getting an estimate of purge time?"),
                       vbYesNoCancel | vbQuestion, kListTitle) != vbYes)
                return;
            report.blnDisplayFileNames = false;
            const int answer = MsgBox(QStringLiteral("Suppress display of folder names?"), vbYesNoCancel | vbQuestion,
                                      measured ? kListTitle : QStringLiteral("List folder names?"));
            if (answer == vbCancel) return;
            report.blnDisplayFolderNames = answer == vbNo;
        } else {
            report.blnDisplayFileNames = true;
            report.blnDisplayFolderNames = true;
        }
        ListSelection();
    }
    ShowDateRestriction();
}

bool frmMain::AskAntiMalwareWarning() {
    if (MsgBox(QStringLiteral("Is there any anti-malware software") + kCrLf +
                   QStringLiteral("(such as Kaspersky Internet Security)") + kCrLf +
                   QStringLiteral("currently active on this computer?"),
               vbYesNo | vbQuestion, QStringLiteral("Anti-malware software warning")) == vbNo) {
        blnAntiMalwareWarning = false;
        return true;
    }
    if (MsgBox(QStringLiteral("It is strongly recommended to disable your anti-malware software for the duration of "
                              "this run. ") +
                   QStringLiteral("If not disabled then it might quarantine or even delete this program.  (If that "
                                  "happens ") +
                   QStringLiteral("you can recover this program by running the installation program.)") + kCrLf +
                   kCrLf + QStringLiteral("If you wish to disable your anti-malware software then please do it now ...") +
                   kCrLf + kCrLf +
                   QStringLiteral("If you have disabled your anti-malware software (or do not wish to disable it) and "
                                  "you wish to continue, ") +
                   QStringLiteral("then click on 'OK', otherwise click on 'Cancel'."),
               vbOKCancel | vbExclamation, QStringLiteral("Proceed?")) != vbOK)
        return false;
    blnAntiMalwareWarning =
        MsgBox(QStringLiteral("Do you wish to disable this anti-malware warning during this run?"), vbYesNo | vbQuestion,
               QStringLiteral("Disable warning?")) == vbNo;
    return true;
}

void frmMain::ListSelection() {
    frmReport& report = frmReport::instance();
    report.mainWindow = this;
    blnMultipleFiles = Filespec::HasWildcards(strFilespec);
    if (!SelectionHasFiles(*this, kListTitle)) return;
    if (blnSubdirectories && report.blnDisplayFolderNames) {
        qint32 count = 0, status = 100, errors = 0;
        double size = 0;
        folder::GetNumFilesInAllSubfolders(true, strDirPath, strFilespec, count, status, false, size, errors, false, 0);
        report.blnDisplayFileNames = status != folder::kLimitReached;
    }

    fraSetup->setEnabled(false);
    EnableCommandFrame(false);
    blnBusy = true;
    report.strNextDirPath = strDirPath;
    report.strCurrentFileSpec = strFilespec;
    QString caption;
    if (report.blnDisplayFileNames) {
        if (strFilespec == QLatin1String("*.*"))
            caption = QStringLiteral("List all files");
        else if (!Filespec::HasWildcards(strFilespec))
            caption = QStringLiteral("List files");
        else
            caption = QStringLiteral("List files ") + Shown(strFilespec);
    } else if (report.blnDisplayFolderNames) {
        caption = QStringLiteral("List folders");
    } else {
        caption = QStringLiteral("Estimate purge time");
    }
    report.setWindowTitle(caption);
    report.move(frameGeometry().left(), frameGeometry().top() + tw(400));
    report.ClearReport();
    KeepInFrontOf(&report, this);
    report.show();
    report.ProcessFiles();

    blnBusy = false;
    fraSetup->setEnabled(true);
    EnableCommandFrame(true);
    if (report.isVisible())
        report.activateWindow();
    else
        cmdProcessFiles[2]->setFocus();
}

void frmMain::PurgeSelection() {
    frmReport& report = frmReport::instance();
    report.mainWindow = this;
    blnMultipleFiles = Filespec::HasWildcards(strFilespec);
    const auto finish = [this, &report]() {
        report.blnPurgeFiles = false;
        blnBusy = false;
        fraSetup->setEnabled(true);
        EnableCommandFrame(true);
        if (report.isVisible())
            report.activateWindow();
        else if (cmdProcessFiles[1]->isVisible())
            cmdProcessFiles[1]->setFocus();
    };
    if (!SelectionHasFiles(*this, kPurgeTitle)) {
        report.blnPurgeFiles = false;
        return;
    }
    fraSetup->setEnabled(false);
    EnableCommandFrame(false);
    blnBusy = true;

    // The counting walk: how many files the question speaks of.
    SetCaption(lblLargePurgeMessage, QStringLiteral("Now counting files ..."));
    lblLargePurgeMessage->repaint();
    report.blnListFiles = false;
    report.blnPurgeFiles = false;
    report.blnStop = false;
    report.intStopAt = 1001;
    report.lngNumFilesProcessed = 0;
    report.ListFilesRecursive(strDirPath, strFilespec);
    SetCaption(lblLargePurgeMessage, QString());
    if (report.lngNumFilesProcessed == 0) {
        MsgBox(QStringLiteral("There are no files in ") + Shown(strDirPath) +
                   QStringLiteral(" or in any of its subfolders matching ") + Shown(strFilespec) +
                   (blnDateRestriction ? QStringLiteral(" (possibly due to the date restriction)") : QString()) +
                   QLatin1Char('.'),
               vbOKOnly | vbInformation, kPurgeTitle);
        finish();
        return;
    }

    if (!PurgeQuestion::BuildPurgeQuestion(*this, report.lngNumFilesProcessed, kPurgeTitle)) {
        finish();
        return;
    }
    frmPurgeConfirmation& confirmation = frmPurgeConfirmation::instance();
    confirmation.strDriveLetter = strDirPath.left(1);
    const QPoint topLeft = frameGeometry().topLeft();
    confirmation.move(topLeft.x() + tw(50) + fraMenu->x(),
                      topLeft.y() + fraMenu->y() + cmdProcessFiles[1]->y() + tw(330));
    KeepInFrontOf(&confirmation, this);
    ShowModal(&confirmation);
    if (!confirmation.blnConfirm) {
        MsgBox(QStringLiteral("No files purged."), vbOKOnly, QStringLiteral("Purge cancelled"));
        finish();
        return;
    }

    report.setWindowTitle(kPurgeTitle);
    report.setGeometry(frameGeometry().left(), frameGeometry().top() + tw(425), report.width(), tw(5700));
    KeepInFrontOf(&report, this);
    report.show();
    report.blnStop = false;
    report.strNextDirPath = strDirPath;
    report.strCurrentFileSpec = strFilespec;
    report.blnListFiles = false;
    report.blnPurgeFiles = true;
    report.lngNumFilesProcessed = 0;
    report.ProcessFiles();
    // The purged files are gone.
    if (report.lngNumFilesPurged >= 1 && !confirmation.blnDoNotDeletePurgedFiles) {
        strFilespec.clear();
        ShowFileSelection();
    }
    finish();
}

void frmMain::cmdReportScreen_MouseUp() {
    if (blnBusy) return;
    frmReport& report = frmReport::instance();
    if (report.ReportText().isEmpty()) {
        MsgBox(QStringLiteral("Nothing to report!"), vbOKOnly, QStringLiteral("Report window"));
        return;
    }
    KeepInFrontOf(&report, this);
    report.show();
    report.CaretToStart();
    report.raise();
    report.activateWindow();
}
