#pragma once
// Which selected files a purge must never touch or must ask about first, the
// per-run permissions of the sensitive extensions, and the report text of
// every file result.

#include "platform/Platform.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace FileOps {

// Results of ExcludedFile.
enum Exclusion : qint16 {
    MayBePurged = 0,
    InProgramFolder = 1,
    SwapFile = 2,
    RecycleBinDesktopIni = 5,
    SensitiveAsk = 7,
    SensitiveRefused = 8,
};

// Permission values of a sensitive extension.
enum Permission : qint16 {
    PermissionAsk = 0,
    PermissionAllowed = 1,
    PermissionRefused = -1,
};

constexpr int kNumSensitiveExtensions = 12;

// "bat", "bin", "com", "dll", "drv", "exe", "ini", "ovl", "pif", "sys", "ocx", "kbd".
const QStringList& SensitiveExtensions();

// Fills the table and gives every extension the permission; also reads
// again which files are the system's swap files and the program's folders.
void InitExcludedExtensions(qint16 intPermission);
// Sets one listed extension's permission; an unlisted one is ignored.
void SetExtensionPermission(const QString& strExtension, qint16 intPermission);
// PermissionAsk for an unlisted extension too.
qint16 ExtensionPermission(const QString& strExtension);

// True when both identities are known and name the same file or folder.
bool SameFile(const platform::FileId& a, const platform::FileId& b);

// The exclusion result of a file (a full drive path).
qint16 ExcludedFile(const QString& strCurrentFile);

// The text written behind a file's name in the report for a result of the
// purge or of the exclusion test; strExtension is used by 7.
QString ResultText(qint16 intResult, const QString& strExtension);

} // namespace FileOps
