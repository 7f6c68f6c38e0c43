// The report window's walks over a folder tree: the listing (and counting)
// walk and the purge walk. Both go through the platform layer's listing, so
// links, special files and virtual file systems are never seen, and both
// check that a folder or file is still what the listing saw before they
// enter or write it.
#include "run/frmReport.h"

#include "app/MainState.h"
#include "platform/Platform.h"
#include "purge/FilePurge.h"
#include "purge/frmTypeOfPurge.h"
#include "run/FileOps.h"
#include "run/PurgeOptions.h"
#include "run/frmConfirmFiles.h"
#include "selection/Filespec.h"
#include "selection/Selection.h"
#include "support/ModalUi.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <QLocale>
#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kDigits = QStringLiteral("123456789");

using platform::Platform;

QString Shown(const QString& s) { return Platform::shownName(s); }

// Upper-case drive letter, exactly one trailing backslash.
QString NormalizedFolder(const QString& path) {
    QString p = path;
    if (p.size() >= 2 && p.at(1) == QLatin1Char(':')) p[0] = p.at(0).toUpper();
    StrProc::AddBackslash(p);
    return p;
}

// The path still names the folder or file the listing saw. The identity is
// taken without following a link, so a link put in its place (or any other
// object) has another one.
bool StillTheSame(const QString& path, const platform::FileId& listed) {
    return FileOps::SameFile(platform::current().fileId(path), listed);
}

// Folders an empty-folder removal must never take: a drive's Recycle Bin and
// the trash's own two folders.
bool IsRecycleBinFolder(const QString& path) {
    QString p = path;
    while (p.size() > 3 && p.endsWith(QLatin1Char('\\'))) p.chop(1);
    const QString upper = p.toUpper();
    if (Filespec::GetFileName(upper) == QLatin1String("$RECYCLE.BIN")) return true;
    if (p.isEmpty()) return false;
    QString bin = platform::current().recycleBinFolder(p.at(0));
    if (bin.isEmpty()) return false;
    while (bin.size() > 3 && bin.endsWith(QLatin1Char('\\'))) bin.chop(1);
    const QString b = bin.toUpper();
    return upper == b || upper == b + QStringLiteral("\\FILES") || upper == b + QStringLiteral("\\INFO");
}

QString FileDateText(const QDateTime& written) {
    static const QLocale locale = QLocale::system();
    return written.isValid() ? locale.toString(written.date(), QLocale::ShortFormat) : QString();
}

// The identities of a folder's subfolders as listed.
std::vector<platform::FileId> FolderIds(const platform::Listing& listing) {
    std::vector<platform::FileId> ids;
    ids.reserve(size_t(listing.folders.size()));
    for (const platform::Entry& sub : listing.folders) ids.push_back(platform::current().fileId(sub.path));
    return ids;
}

} // namespace

void frmReport::ListFilesRecursive(const QString& strDirPath, const QString& strFilespec) {
    MainState& m = Main();
    const bool counting = !blnListFiles && !blnPurgeFiles;
    const QString path = NormalizedFolder(strDirPath);

    platform::Listing listing;
    int error = 0;
    if (!platform::current().listFolder(path, listing, error)) {
        // Said once, and the walk goes on with the next folder.
        if (!counting) AppendReport(Shown(path) + QStringLiteral(": folder cannot be read, not listed.") + kCrLf, true);
        return;
    }
    const std::vector<platform::FileId> folderIds = m.blnSubdirectories ? FolderIds(listing) : std::vector<platform::FileId>();

    std::vector<bool> matches(size_t(listing.files.size()));
    qint32 count = 0;
    for (qsizetype i = 0; i < listing.files.size(); ++i) {
        matches[size_t(i)] =
            Selection::SatisfiesFilespecAndDateRestriction(listing.files[i].path, strFilespec, false);
        if (matches[size_t(i)]) ++count;
    }
    m.intNumFiles = qint16(std::min<qint32>(count, 32767));

    if (count >= 1 && !counting) {
        if (blnDisplayFolderNames)
            AppendReport(Shown(path) + kCrLf, true);
        else
            AddToBox(QStringLiteral(" ."));
    }

    for (qsizetype i = 0; i < listing.files.size(); ++i) {
        DoEventsThrottled();
        if (!matches[size_t(i)]) continue;
        const platform::Entry& file = listing.files[i];
        ++lngNumFilesProcessed;
        if (counting) {
            if (lngNumFilesProcessed >= intStopAt && intStopAt > 0) {
                lngNumFilesProcessed = -1;
                return;
            }
            continue;
        }
        const qint64 length = file.size >= 0 ? file.size : 0;
        if (blnListFiles && blnDisplayFileNames)
            AddToBox(Shown(file.name) + QStringLiteral(" (") + FileDateText(file.lastWrite) + QStringLiteral(", ") +
                     StrProc::SizeText(double(length), 2) + QStringLiteral(")   ") + kCrLf);
        dblTotalBytesPurged += double(length);
        PauseCheck();
        if (blnStop) return;
    }

    if (!m.blnSubdirectories) return;
    for (qsizetype i = 0; i < listing.folders.size(); ++i) {
        const platform::Entry& sub = listing.folders[i];
        // Replaced by a link or by something else since it was listed: not entered.
        if (StillTheSame(sub.path, folderIds[size_t(i)])) {
            strNextDirPath = sub.path;
            ListFilesRecursive(strNextDirPath, strFilespec);
        }
        if (!counting) {
            PauseCheck();
            if (blnStop) break;
        } else if (lngNumFilesProcessed == -1) {
            break;
        }
    }
}

void frmReport::VQesPurgeRecursive(const QString& strDirPath, const QString& strFilespec, bool blnPurgeSlackOnly) {
    Q_UNUSED(blnPurgeSlackOnly); // has no effect on the purge
    MainState& m = Main();
    const PurgeOptions& o = Options();
    const bool recycle = m.blnPurgingRecycleBin;
    setWindowTitle(Shown(strDirPath));

    // Files whose overwrite takes longer than about a second show a mark per pass.
    const QChar letter = strDirPath.isEmpty() ? QChar() : strDirPath.at(0).toUpper();
    double speed = 1.0;
    if (!recycle) {
        const int index = letter.unicode() - u'A';
        const float measured = index >= 0 && index < 26 ? m.sngDrivePurgeSpeed[size_t(index)] : 0.0f;
        if (measured > 0)
            speed = measured;
        else if (letter == QLatin1Char('A') || letter == QLatin1Char('B'))
            speed = 1.0 / 60.0;
    }
    const double threshold = double(qRound64(speed * 1048576.0));

    const QString path = NormalizedFolder(strDirPath);
    platform::Platform& os = platform::current();
    platform::Listing listing;
    int error = 0;
    if (!os.listFolder(path, listing, error)) {
        if (!recycle && !blnReportBufferFull)
            AppendReport(kCrLf + Shown(path) + QStringLiteral(": folder cannot be read, not purged.") + kCrLf, true);
        return;
    }
    const std::vector<platform::FileId> folderIds = m.blnSubdirectories ? FolderIds(listing) : std::vector<platform::FileId>();

    std::vector<bool> matches(size_t(listing.files.size()));
    std::vector<platform::FileId> fileIds(size_t(listing.files.size()));
    qint32 count = 0;
    for (qsizetype i = 0; i < listing.files.size(); ++i) {
        const bool match = Selection::SatisfiesFilespecAndDateRestriction(listing.files[i].path, strFilespec, false);
        matches[size_t(i)] = match;
        if (match) {
            ++count;
            fileIds[size_t(i)] = os.fileId(listing.files[i].path);
        }
    }
    m.intNumFiles = qint16(std::min<qint32>(count, 32767));

    const bool singleFile = !strFilespec.contains(QLatin1Char('?')) && !strFilespec.contains(QLatin1Char('*'));
    if (count >= 1) {
        bool folderLineOpen = false;
        if (!recycle) {
            if (!blnReportBufferFull) AddToBox(kCrLf + Shown(path));
            folderLineOpen = true;
        }
        for (qsizetype i = 0; i < listing.files.size(); ++i) {
            DoEventsThrottled();
            const platform::Entry& file = listing.files[i];
            if (matches[size_t(i)]) {
                const QString strCurrentFile = file.path;
                ++lngNumFilesProcessed;
                if (!recycle) {
                    if (folderLineOpen) {
                        AppendReport(kCrLf, false);
                        folderLineOpen = false;
                    }
                    if (o.blnFolderNamesOnly)
                        AppendReport(QStringLiteral(". "), true);
                    else
                        AppendReport(Shown(file.name), false);
                }

                const QString extension = Filespec::GetExtension(strCurrentFile, true);
                qint16 intResult = FileOps::ExcludedFile(strCurrentFile);
                if (o.blnOKToPurgeSensitiveFiles && intResult == FileOps::SensitiveAsk) intResult = 0;
                if (intResult == FileOps::SensitiveAsk) {
                    const QChar first = extension.isEmpty() ? QChar() : extension.at(0);
                    const bool an = first == QLatin1Char('e') || first == QLatin1Char('i') || first == QLatin1Char('o');
                    SyncBox(true);
                    const int answer = MsgBox(
                        Shown(strCurrentFile) + kCrLf + kCrLf + QStringLiteral("You have requested to purge a file with a") +
                            (an ? QStringLiteral("n") : QString()) + QLatin1Char(' ') + QLatin1Char('"') + Shown(extension) +
                            QLatin1Char('"') + QStringLiteral(" extension.") + kCrLf +
                            QStringLiteral("Do you wish to allow all files with this ") +
                            QStringLiteral("extension to be purged?") + kCrLf +
                            QStringLiteral("(Permission lasts only during the course of this operation.)"),
                        vbYesNoCancel | vbDefaultButton2, QStringLiteral("Purge query"));
                    if (answer == vbYes) {
                        FileOps::SetExtensionPermission(extension, FileOps::PermissionAllowed);
                        intResult = 0;
                    } else if (answer == vbNo) {
                        FileOps::SetExtensionPermission(extension, FileOps::PermissionRefused);
                    } else {
                        AddToBox(kCrLf + kCrLf);
                        blnStop = true;
                        return;
                    }
                }
                if (intResult == FileOps::SensitiveRefused) intResult = FileOps::SensitiveAsk;

                bool purged = false;
                qint64 length = 0;
                if (intResult == 0) {
                    length = std::max<qint64>(0, file.size);
                    frmConfirmFiles& confirm = frmConfirmFiles::instance();
                    confirm.blnPurgeThisFile = true;
                    if (o.blnConfirmFiles && !blnPurgeRemainingFiles) {
                        const QDateTime written = os.lastWriteTime(strCurrentFile);
                        confirm.lblFile->setText(StrProc::LowerCaseAccented(Shown(strCurrentFile)) +
                                                 QStringLiteral("     ") + StrProc::SizeText(double(length), 2) +
                                                 QStringLiteral("     ") + FileDateText(written));
                        const bool stopShown = cmdStop->isVisible();
                        const bool pauseShown = cmdPauseContinue->isVisible();
                        cmdStop->setVisible(false);
                        cmdPauseContinue->setVisible(false);
                        SyncBox(true);
                        ShowModal(&confirm);
                        cmdStop->setVisible(stopShown);
                        cmdPauseContinue->setVisible(pauseShown && !blnStop);
                    }
                    // Swapped for another file or a link since it was listed.
                    if (confirm.blnPurgeThisFile && !StillTheSame(strCurrentFile, fileIds[size_t(i)]))
                        intResult = FilePurge::PurgeCannotOpen;
                    else if (confirm.blnPurgeThisFile) {
                        const frmTypeOfPurge& type = frmTypeOfPurge::instance();
                        const qint16 intPurgeType = type.GetPurgeType();
                        const qint16 intNumPasses = type.GetNumberOfPasses();
                        const qint16 intNumOverwrites = type.GetNumOverwrites();
                        const int marks = std::min<int>(intNumPasses, 10);
                        const bool showMarks = intNumPasses >= 2 && double(length) * intNumOverwrites > threshold;
                        if (!recycle && !o.blnFolderNamesOnly) {
                            AppendReport(QStringLiteral(" (") + QLocale().toString(length) +
                                             QStringLiteral(" bytes) purging"),
                                         true);
                            if (showMarks) AppendReport(QLatin1Char(' ') + QString(marks, QLatin1Char('_')), true);
                        }
                        int passesDone = 0;
                        for (int pass = 1; pass <= intNumPasses; ++pass) {
                            const bool blnDelete = pass == intNumPasses && !o.blnDoNotDeletePurgedFiles;
                            qint16 code = 0;
                            FilePurge::VQesPurgeFile(strCurrentFile, intPurgeType, 1, blnDelete,
                                                     o.blnOKToPurgeReadOnlyFiles, o.blnOKToPurgeSystemFiles, code);
                            intResult = code;
                            if (!recycle && !blnReportBufferFull && !o.blnFolderNamesOnly && showMarks) {
                                ChopBox(marks);
                                if (pass < intNumPasses) {
                                    AddToBox(kDigits.left(std::min(pass, 9)) +
                                             QString(std::max(0, marks - pass), QLatin1Char('_')));
                                    SyncBox(true);
                                    if (cmdPauseContinue->isVisible()) cmdPauseContinue->setFocus();
                                }
                            }
                            if (intResult < 0) break;
                            passesDone = pass;
                            PauseCheck();
                            if (blnStop) break;
                        }
                        purged = passesDone == intNumPasses && intResult == 0;
                        DoEventsThrottled();
                    }
                }

                if (purged) {
                    if (!recycle && !o.blnFolderNamesOnly) AppendReport(QStringLiteral(" purged"), false);
                    dblTotalBytesPurged += double(length);
                    ++lngNumFilesPurged;
                } else if (!recycle) {
                    if (o.blnFolderNamesOnly) AppendReport(kCrLf + Shown(file.name), false);
                    AppendReport(FileOps::ResultText(intResult, Shown(extension)), false);
                }
                if (!recycle && !(purged && o.blnFolderNamesOnly)) AppendReport(kCrLf, true);

                if (singleFile) break;
            }
            PauseCheck();
            if (blnStop) return;
        }
    }

    if (!m.blnSubdirectories) return;
    for (qsizetype i = 0; i < listing.folders.size(); ++i) {
        const platform::Entry& sub = listing.folders[i];
        strNextDirPath = path + sub.name;
        const QString saved = strNextDirPath;
        // An empty subfolder is not entered; one that cannot be read is, so
        // that the report names it.
        platform::Listing inside;
        int subError = 0;
        const bool readable = os.listFolder(saved, inside, subError);
        const bool empty = readable && inside.files.isEmpty() && inside.folders.isEmpty() && inside.others == 0;
        if (!empty && StillTheSame(saved, folderIds[size_t(i)])) {
            VQesPurgeRecursive(strNextDirPath, strFilespec, false);
            strNextDirPath = saved;
        }
        if (!recycle && blnStop) {
            AppendReport(kCrLf, false);
            return;
        }
        if (o.blnDeleteEmptyFolders && !IsRecycleBinFolder(saved) && StillTheSame(saved, folderIds[size_t(i)])) {
            // Removed only when it holds nothing at all at this moment.
            int removeError = 0;
            if (os.removeEmptyFolder(saved, removeError)) {
                ++intNumFoldersRemoved;
                if (!recycle && !blnReportBufferFull)
                    AddToBox(kCrLf + QStringLiteral("Folder ") + Shown(saved) + QStringLiteral(" removed.") + kCrLf);
            }
        }
    }
}
