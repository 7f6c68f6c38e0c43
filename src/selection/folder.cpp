#include "selection/folder.h"

#include "platform/Platform.h"
#include "selection/Filespec.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <cerrno>

namespace folder {

namespace {

// The error the program has always treated as "permission denied".
bool IsPermissionDenied(int error) { return error == EACCES || error == EPERM; }

QString Describe(int error) {
    QString text = platform::current().errorText(error);
    if (text.isEmpty()) text = QStringLiteral("Error ") + QString::number(error);
    return text;
}

struct TreeCount {
    QString spec;
    qint32 limit = 0;
    bool withSize = false;
    bool skipProtected = false;
    qint32 folderLimit = 0;
    qint32 foldersEntered = 0;
    bool stopped = false;
};

void CountTree(const QString& strFolder, bool top, TreeCount& t, qint32& lngCount, double& dblSize,
               qint32& lngErrorCount) {
    if (t.folderLimit > 0 && t.foldersEntered >= t.folderLimit) {
        t.stopped = true;
        return;
    }
    ++t.foldersEntered;
    platform::Listing listing;
    int error = 0;
    if (!platform::current().listFolder(strFolder, listing, error)) {
        // A subfolder removed since its parent was listed holds nothing to
        // count; anything else could not be read.
        if (top || error != ENOENT) ++lngErrorCount;
        return;
    }
    for (const platform::Entry& file : listing.files) {
        if (!Filespec::MatchesFilespec(file.name, t.spec, false)) continue;
        ++lngCount;
        if (t.withSize) dblSize += double(file.size);
        if (t.limit > 0 && lngCount >= t.limit) {
            t.stopped = true;
            return;
        }
    }
    DoEventsThrottled();
    for (const platform::Entry& sub : listing.folders) {
        if (t.skipProtected && IsProtectedFolder(sub.path)) continue;
        CountTree(sub.path + QLatin1Char('\\'), false, t, lngCount, dblSize, lngErrorCount);
        if (t.stopped) return;
    }
}

// A path whose removal could reach beyond the folder it names: a drive's
// root, or one written with "." or ".." components.
bool IsUnsafeToRemove(const QString& path) {
    if (path.size() < 2 || path.at(1) != QLatin1Char(':')) return true;
    const QStringList parts = path.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) return true;
    for (const QString& part : parts)
        if (part == QLatin1String(".") || part == QLatin1String("..")) return true;
    return false;
}

// True when the tree holds a read-only file or folder (the folder itself
// included) or cannot be read through.
bool HoldsReadOnlyItem(const QString& path) {
    platform::Platform& p = platform::current();
    const int attributes = p.attributes(path);
    if (attributes < 0 || (attributes & platform::AttrReadOnly)) return true;
    platform::Listing listing;
    int error = 0;
    if (!p.listFolder(path, listing, error)) return true;
    for (const platform::Entry& file : listing.files) {
        const int a = p.attributes(file.path);
        if (a >= 0 && (a & platform::AttrReadOnly)) return true;
    }
    for (const platform::Entry& sub : listing.folders)
        if (HoldsReadOnlyItem(sub.path)) return true;
    return false;
}

} // namespace

qint32 CountMatchingFiles(const QString& strFolder, const QString& strFilespec, bool blnStopAtFirst,
                          bool blnShowError, QString& strErrorText, double& dblTotalSize,
                          bool& blnPermissionDenied) {
    blnPermissionDenied = false;
    strErrorText.clear();
    const bool blnWantSize = dblTotalSize == -1;
    platform::Listing listing;
    int error = 0;
    if (!platform::current().listFolder(strFolder, listing, error)) {
        // A size that was asked for never comes back as the -1 of the request.
        if (blnWantSize) dblTotalSize = 0;
        if (IsPermissionDenied(error)) {
            blnPermissionDenied = true;
            return 0;
        }
        strErrorText = Describe(error);
        if (blnShowError) MsgBox(strErrorText, vbOKOnly | vbExclamation, QStringLiteral("Error"));
        return -1;
    }
    if (strFilespec == QLatin1String("*.*") && !blnWantSize) return qint32(listing.files.size());

    dblTotalSize = 0;
    qint32 count = 0;
    for (const platform::Entry& file : listing.files) {
        if (Filespec::MatchesFilespec(file.name, strFilespec, false)) {
            ++count;
            if (blnWantSize) dblTotalSize += double(file.size);
            if (blnStopAtFirst) break;
        }
        DoEventsThrottled();
    }
    return count;
}

void GetNumFilesInAllSubfolders(bool blnTop, const QString& strFolder, const QString& strFilespec,
                                qint32& lngCount, qint32& lngLimitStatus, bool blnSizeFlag, double& dblSize,
                                qint32& lngErrorCount, bool blnSkipProtected, qint32 lngFolderLimit) {
    if (blnTop) {
        lngCount = 0;
        dblSize = 0;
        lngErrorCount = 0;
    }
    TreeCount t;
    t.spec = strFilespec;
    t.limit = lngLimitStatus;
    t.withSize = blnSizeFlag;
    t.skipProtected = blnSkipProtected;
    t.folderLimit = lngFolderLimit;
    QString start = strFolder;
    StrProc::AddBackslash(start);
    CountTree(start, true, t, lngCount, dblSize, lngErrorCount);
    lngLimitStatus = t.stopped ? kLimitReached : kFinished;
}

bool AnyMatchingFileInTree(const QString& strFolder, const QString& strFilespec, bool& blnUnreadable) {
    qint32 count = 0;
    qint32 status = 1;
    double size = 0;
    qint32 errors = 0;
    GetNumFilesInAllSubfolders(true, strFolder, strFilespec, count, status, false, size, errors, false, 0);
    blnUnreadable = errors > 0;
    return count > 0;
}

qint32 CountSubfolders(const QString& strFolder, QString& strErrorText) {
    strErrorText.clear();
    QString path = strFolder;
    StrProc::AddBackslash(path);
    platform::Listing listing;
    int error = 0;
    if (!platform::current().listFolder(path, listing, error)) {
        strErrorText = Describe(error);
        return -1;
    }
    return qint32(listing.folders.size());
}

bool FolderIsEmpty(const QString& strFolder, bool& blnPermissionDenied) {
    blnPermissionDenied = false;
    platform::Listing listing;
    int error = 0;
    if (!platform::current().listFolder(strFolder, listing, error)) {
        blnPermissionDenied = IsPermissionDenied(error);
        return true;
    }
    // A link or a special file is something the empty-folder removal must
    // not take with it.
    return listing.files.isEmpty() && listing.folders.isEmpty() && listing.others == 0;
}

bool DeleteFolder(const QString& strFolder, QString& strErrorText, bool blnForce) {
    QString path = strFolder;
    while (path.size() >= 4 && path.endsWith(QLatin1Char('\\'))) path.chop(1);
    strErrorText.clear();
    platform::Platform& p = platform::current();
    if (IsUnsafeToRemove(path)) {
        strErrorText = Describe(EPERM);
        return false;
    }
    const platform::Kind kind = p.kind(path);
    if (kind != platform::Kind::Folder) {
        strErrorText = Describe(kind == platform::Kind::Missing ? ENOENT : ENOTDIR);
        return false;
    }
    if (!blnForce && HoldsReadOnlyItem(path)) {
        strErrorText = Describe(EACCES);
        return false;
    }
    int error = 0;
    const bool removed = p.removeFolderTree(path, error);
    // Success is judged by what is left on the disk, not by the call.
    if (p.kind(path) == platform::Kind::Missing) return true;
    strErrorText = Describe(removed || error == 0 ? EEXIST : error);
    return false;
}

bool IsProtectedFolder(const QString&) { return false; }

} // namespace folder
