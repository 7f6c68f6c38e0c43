// The main window's file selection: a single file, a folder's file
// specification, and the labels that show them.
#include "app/frmMain.h"

#include "platform/Platform.h"
#include "selection/DatePr2.h"
#include "selection/Filespec.h"
#include "selection/folder.h"
#include "selection/frmSpecifyFiles.h"
#include "support/FormUi.h"
#include "support/ModalUi.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <QLocale>

namespace {

const QString kCRLF = QStringLiteral("\r\n");

// Why a file cannot be chosen on its own, or empty when it can. The run
// finds a single file by its lower-cased name, compared without regard to
// case, so a name with wildcard characters, or a second file whose name
// differs only in case, would take other files with it.
QString SingleFileProblem(const QString& strFolder, const QString& strName) {
    const QString path = strFolder + strName;
    if (strName.contains(QLatin1Char('*')) || strName.contains(QLatin1Char('?')) ||
        strName.contains(QLatin1Char(':')))
        return path + kCRLF + QStringLiteral("cannot be specified as a single file because its name contains ") +
               QStringLiteral("\"*\", \"?\" or \":\".");
    platform::Listing listing;
    int error = 0;
    if (!platform::current().listFolder(strFolder, listing, error)) return {};
    const QString spec = StrProc::LowerCaseAccented(strName);
    for (const platform::Entry& e : listing.files) {
        if (e.name != strName && Filespec::MatchesFilespec(e.name, spec, false))
            return path + kCRLF + QStringLiteral("cannot be specified as a single file because ") + e.name + kCRLF +
                   QStringLiteral("in the same folder has the same name apart from case.");
    }
    return {};
}

} // namespace

void frmMain::ShowFileSelection() {
    platform::Platform& p = platform::current();

    // 1. Folder.
    SetCaption(lblFiles2[0], QString());
    if (strDirPath.isEmpty()) {
        SetCaption(lblDirectory, strNotSpecified);
        SetCaption(lblEstimatedTime, QString());
        SetCaption(lblSubdirectories, QString());
        SetCaption(lblSubdirectories2, QString());
    } else {
        bool shortened = false;
        SetCaption(lblDirectory, StrProc::ShortenWithEllipsis(strDirPath, 70, shortened));
    }

    // 2. A single file chosen in the dialog must still be there. A
    // specification with wildcards is never a single file, whatever the
    // dialog last showed.
    if (frmSpecifyFiles::instance().optSingleFile->isChecked() && !strDirPath.isEmpty() &&
        !strFilespec.isEmpty() && !Filespec::HasWildcards(strFilespec)) {
        QString file = strDirPath;
        StrProc::AddBackslash(file);
        if (p.kind(file + strFilespec) != platform::Kind::File) strFilespec.clear();
    }

    // 3. Specification.
    const bool specified = !strFilespec.isEmpty();
    if (specified) {
        SetCaption(lblFiles, strFilespec);
    } else {
        SetCaption(lblFiles, strNotSpecified);
        SetCaption(lblEstimatedTime, QString());
        SetCaption(lblDateRestriction, QString());
    }

    const bool wildcards = Filespec::HasWildcards(strFilespec);
    if (specified && wildcards) {
        // 4. What the specification means, beside it.
        if (strFilespec.size() < 21) {
            const int left = LeftTw(lblFiles);
            const int len = int(strFilespec.size());
            QString caption;
            int at = left + len * intCharWidth + 300;
            if (strFilespec == QLatin1String("*.*")) {
                caption = QStringLiteral("(All files.)");
                at = left + (len + 2) * intCharWidth;
            } else if (strFilespec.startsWith(QLatin1String("*."))) {
                caption = QStringLiteral("(All files with extension ") + QLatin1Char('"') + strFilespec.mid(2) +
                          QLatin1Char('"') + QStringLiteral(".)");
            } else {
                caption = QStringLiteral("(All files of the form ") + QLatin1Char('"') + strFilespec +
                          QLatin1Char('"') + QStringLiteral(".)");
            }
            MoveTw(lblFiles2[0], at, TopTw(lblFiles));
            SetCaption(lblFiles2[0], caption);
        }
    } else if (specified) {
        // 5. A single file.
        const QChar drive = strDirPath.isEmpty() ? QChar() : strDirPath.at(0).toUpper();
        const bool floppy = drive == QLatin1Char('A') || drive == QLatin1Char('B');
        if (!floppy) strCurrentFilePath = strDirPath + strFilespec;

        // 6. A long name keeps its start and its extension.
        if (strFilespec.size() > 70)
            SetCaption(lblFiles, strFilespec.left(64) + QStringLiteral("...") + Filespec::GetExtension(strFilespec));

        // 7. Its size and date.
        if (!strDirPath.isEmpty() && !floppy) {
            QString file = strDirPath;
            StrProc::AddBackslash(file);
            file += strFilespec;
            const qint64 length = p.kind(file) == platform::Kind::File ? p.fileLength(file) : -1;
            const QDateTime written = length >= 0 ? p.lastWriteTime(file) : QDateTime();
            if (length >= 0) {
                lngFilesize = length;
                QString caption = StrProc::SizeText(double(length), 2) + QStringLiteral("     ");
                if (written.isValid()) caption += QLocale::system().toString(written.date(), QLocale::ShortFormat);
                // Beside the name when it fits, else on the free line below
                // (the multiple-files hint is empty while a file is chosen).
                const int besideName = LeftTw(lblFiles) + WidthTw(lblFiles) + 300;
                SetCaption(lblFiles2[0], caption);
                if (besideName + WidthTw(lblFiles2[0]) <= WidthTw(this) - 150)
                    MoveTw(lblFiles2[0], besideName, TopTw(lblFiles));
                else
                    MoveTw(lblFiles2[0], LeftTw(lblFiles), TopTw(lblSingleFile));
            }
        }
    }

    // 8. The hint for multiple files.
    SetCaption(lblSingleFile, lblFiles->text() == strNotSpecified
                                  ? QStringLiteral("To purge multiple files, specify folder and files.")
                                  : QString());
    // 9. Clear is offered when something is chosen.
    cmdClear->setVisible(lblDirectory->text() != strNotSpecified || lblFiles->text() != strNotSpecified);
}

void frmMain::CheckFolderContents(const QString& strSpec, bool& blnSuccess) {
    blnSuccess = false;
    QString errorText;
    double size = 0;
    bool denied = false;
    const qint32 files = folder::CountMatchingFiles(strDirPath, strSpec, true, false, errorText, size, denied);
    const qint32 subfolders = folder::CountSubfolders(strDirPath, errorText);
    if (files == -1 || subfolders == -1 || denied) {
        MsgBox(QStringLiteral("Cannot access the folder."), vbOKOnly | vbCritical, QStringLiteral("Error"));
        return;
    }
    if (files == 0 && subfolders == 0) {
        const QString text = strSpec == QLatin1String("*.*") ? QStringLiteral("The folder contains no files ")
                                                             : QStringLiteral("The folder contains no matching files ");
        MsgBox(text + QStringLiteral("and no subfolders."), vbOKOnly | vbExclamation, QStringLiteral("Empty folder"));
        return;
    }
    blnSuccess = true;
}

void frmMain::cmdSpecifyFiles_MouseUp() {
    if (blnBusy) return;
    frmSpecifyFiles& f = frmSpecifyFiles::instance();
    // The dialog follows the folder while it is shown.
    if (!property("specifyFilesClock").toBool()) {
        setProperty("specifyFilesClock", true);
        clock1Listeners.push_back([]() { frmSpecifyFiles::instance().Clock1_Timer(); });
    }

    const auto finish = [this]() {
        ShowDateRestriction();
        ShowSubfolderChoice();
    };
    const QString title = cmdSpecifyFiles->text();

    if (strDirPath.isEmpty()) {
        MsgBox(QStringLiteral("The folder has not been specified."), vbOKOnly | vbExclamation,
               QStringLiteral("Folder unspecified"));
        finish();
        return;
    }
    bool ok = false;
    CheckFolderContents(QStringLiteral("*.*"), ok);
    if (!ok) {
        finish();
        return;
    }

    QString errorText;
    double size = 0;
    bool denied = false;
    const qint32 count = folder::CountMatchingFiles(strDirPath, QStringLiteral("*.*"), false, false, errorText, size, denied);
    // The 16-bit field must not wrap to 0 (and hide the single-file choice)
    // in a very large folder.
    intNumFiles = qint16(qBound(0, count, 32767));

    const QString restricted = blnDateRestriction ? QStringLiteral(" (possibly due to the date restriction)") : QString();
    if (blnSubdirectories) {
        bool unreadable = false;
        if (!folder::AnyMatchingFileInTree(strDirPath, QStringLiteral("*.*"), unreadable)) {
            MsgBox(QStringLiteral("There are no files in ") + strDirPath + QStringLiteral(" or in any of its subfolders") +
                       restricted + QStringLiteral("."),
                   vbOKOnly | vbInformation, title);
            finish();
            return;
        }
    } else if (count <= 0) {
        MsgBox(QStringLiteral("There are no files in ") + strDirPath + restricted + QStringLiteral("."),
               vbOKOnly | vbInformation, title);
        finish();
        return;
    }

    f.strOperation = QStringLiteral("purge");
    SetColours(&f, QColor(128, 0, 0), Qt::white);
    f.blnBold = false;
    f.intNumFiles = intNumFiles;
    f.File->setFolder(strDirPath);
    f.setWindowIcon(windowIcon());
    const QPoint topLeft = frameGeometry().topLeft();
    f.move(topLeft.x() + fraMenu->width() + tw(250), topLeft.y() + fraMenu->y() + tw(1030));
    ShowModal(&f, this);

    if (f.blnAccept) {
        QString spec;
        if (f.optSingleFile->isChecked()) {
            const QString name = f.File->fileName();
            if (name.isEmpty()) {
                finish();
                return;
            }
            const QString problem = SingleFileProblem(f.File->folder(), name);
            if (!problem.isEmpty()) {
                MsgBox(problem, vbOKOnly | vbExclamation, title);
                finish();
                return;
            }
            spec = StrProc::LowerCaseAccented(name);
        } else if (f.optAllFiles->isChecked()) {
            spec = QStringLiteral("*.*");
        } else if (f.optExtension->isChecked()) {
            spec = QStringLiteral("*.") + StrProc::LowerCaseAccented(f.txbExtension->text());
        } else if (f.optMultipleFiles->isChecked()) {
            spec = StrProc::LowerCaseAccented(f.txbFilespec->text());
        }
        if (!spec.isEmpty()) {
            strFilespec = spec;
            ShowFileSelection();
            SetCaption(lblSetupFilename, QString());
            SetCaption(lblEstimatedTime, QString());
            CheckFolderContents(strFilespec, ok);
        }
    }
    finish();
}

void frmMain::cmdSingleFile_MouseUp() {
    if (blnBusy) return;
    const QString title = cmdSingleFile->text();
    const QString chosen = CurrentFileDialogs().openFile(this, QStringLiteral("Specify file to be purged."), strDirPath,
                                                         QStringLiteral("All files (*.*) | *.*"));
    // The second click of a double-click in the chooser must not reach a
    // button underneath.
    StartMouseUpGuard();
    if (chosen.isEmpty()) return;

    const QString dirPath = Filespec::GetFolderPart(chosen);
    const QString name = Filespec::GetFileName(chosen, false);
    if (dirPath.isEmpty() || name.isEmpty() || platform::current().kind(chosen) != platform::Kind::File) {
        MsgBox(chosen + kCRLF + QStringLiteral("is not a file that can be purged."), vbOKOnly | vbExclamation, title);
        return;
    }
    const QString problem = SingleFileProblem(dirPath, name);
    if (!problem.isEmpty()) {
        MsgBox(problem, vbOKOnly | vbExclamation, title);
        return;
    }
    // A file the date restriction excludes does not replace the selection.
    if (blnDateRestriction) {
        bool excluded = false;
        DatePr2::CheckFileDate(chosen, title, excluded);
        if (excluded) return;
    }

    strDirPath = dirPath;
    strFilespec = StrProc::LowerCaseAccented(name);
    blnSubdirectories = false;
    SetCaption(lblSubdirectories, QStringLiteral("No"));
    ShowFileSelection();
    ShowSubfolderChoice();
    ShowDateRestriction();
    // The estimate of one file's purge time comes with the time estimates.
    SetCaption(lblEstimatedTime, QString());
}
