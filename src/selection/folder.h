#pragma once
// Folder counters: matching files directly in a folder, files in a whole tree,
// direct subfolders, emptiness, and the removal of a folder. Every listing
// goes through the platform layer, so links, special files and virtual file
// systems are never seen or entered. A folder that cannot be read gives -1
// (or its documented flag) instead of failing.

#include <QString>
#include <QtGlobal>

namespace folder {

// Status values of GetNumFilesInAllSubfolders.
constexpr qint32 kLimitReached = -2; // stopped early: the count is a lower bound
constexpr qint32 kFinished = -3;     // the whole tree was counted

// Number of files lying directly in strFolder whose names satisfy strFilespec
// (case ignored). Pass -1 in dblTotalSize to get their total size in bytes
// back in it. blnStopAtFirst stops at the first match.
// A folder that may not be read (permission denied) gives 0 with
// blnPermissionDenied set; any other failure gives -1 with the system's
// description in strErrorText, shown in a message box titled "Error" when
// blnShowError is set. strErrorText is empty on success.
qint32 CountMatchingFiles(const QString& strFolder, const QString& strFilespec, bool blnStopAtFirst,
                          bool blnShowError, QString& strErrorText, double& dblTotalSize,
                          bool& blnPermissionDenied);

// Counts, depth first, the files satisfying strFilespec in strFolder and in
// every folder below it, adding their sizes to dblSize when blnSizeFlag is set.
// lngLimitStatus carries the limit in (a positive number of files; 0 or less
// for none) and the status out: kLimitReached when the count reached the limit
// or a positive lngFolderLimit (the number of folders entered, strFolder
// included) left folders unvisited, kFinished otherwise. Folders that cannot
// be read add 1 to lngErrorCount and are skipped; a subfolder that vanished
// after its parent was listed is skipped silently. With blnSkipProtected,
// subfolders named by IsProtectedFolder are not entered. blnTop clears count,
// size and error count first.
void GetNumFilesInAllSubfolders(bool blnTop, const QString& strFolder, const QString& strFilespec,
                                qint32& lngCount, qint32& lngLimitStatus, bool blnSizeFlag, double& dblSize,
                                qint32& lngErrorCount, bool blnSkipProtected, qint32 lngFolderLimit);

// True when strFolder or a folder below it holds a file satisfying
// strFilespec. blnUnreadable is set when some folder of the tree could not be
// read (a False answer may then be incomplete).
bool AnyMatchingFileInTree(const QString& strFolder, const QString& strFilespec, bool& blnUnreadable);

// Number of direct subfolders, or -1 with the system's description in
// strErrorText when the folder cannot be read (strErrorText is empty
// otherwise).
qint32 CountSubfolders(const QString& strFolder, QString& strErrorText);

// True when the folder cannot be read (blnPermissionDenied tells whether it
// was refused) or holds nothing at all.
bool FolderIsEmpty(const QString& strFolder, bool& blnPermissionDenied);

// Removes the folder with everything in it. True only when the folder is gone
// afterwards; strErrorText is empty exactly then. Without blnForce a tree
// holding a read-only file or folder is left alone. A drive's root is never
// removed.
bool DeleteFolder(const QString& strFolder, QString& strErrorText, bool blnForce);

// Folders the tree counter keeps out of when asked to skip protected ones.
bool IsProtectedFolder(const QString& strPath);

} // namespace folder
