#include "run/FileOps.h"

#include "platform/Platform.h"
#include "selection/Filespec.h"
#include "support/StrProc.h"

#include <QCoreApplication>
#include <QList>
#include <array>

namespace FileOps {

namespace {

struct Place {
    QString lowerPath; // drive path, lower case, ending in "\"
    platform::FileId id;
};

struct Table {
    std::array<qint16, kNumSensitiveExtensions> permission{};
    bool placesRead = false;
    QList<Place> programFolders; // the executable's folder and the data folder
    QList<platform::FileId> swapFiles;
    // The last folder looked up, so a folder's files cost one lookup.
    QString lastFolder;
    platform::FileId lastFolderId;
};

Table& table() {
    static Table t;
    return t;
}

void ReadPlaces() {
    Table& t = table();
    platform::Platform& p = platform::current();
    t.programFolders.clear();
    t.swapFiles.clear();
    t.lastFolder.clear();
    QStringList natives{p.programFolder()};
    if (QCoreApplication::instance()) natives << QCoreApplication::applicationDirPath();
    for (const QString& native : natives) {
        QString drive = p.toDrivePath(native);
        if (drive.isEmpty()) continue;
        StrProc::AddBackslash(drive);
        t.programFolders << Place{StrProc::LowerCaseAccented(drive), p.fileId(drive)};
    }
    for (const QByteArray& native : p.activeSwapFiles()) {
        const QString drive = p.toDrivePath(native);
        if (drive.isEmpty()) continue;
        const platform::FileId id = p.fileId(drive);
        if (id.valid) t.swapFiles << id;
    }
    t.placesRead = true;
}

int IndexOf(const QString& strExtension) {
    return int(SensitiveExtensions().indexOf(StrProc::LowerCaseAccented(strExtension)));
}

bool InProgramFolderPath(const QString& lowerFolder, const QString& folderPart) {
    Table& t = table();
    for (const Place& place : t.programFolders)
        if (place.lowerPath == lowerFolder) return true;
    // The same folder reached under another spelling or drive letter.
    if (folderPart != t.lastFolder) {
        t.lastFolder = folderPart;
        t.lastFolderId = platform::current().fileId(folderPart);
    }
    for (const Place& place : t.programFolders)
        if (SameFile(place.id, t.lastFolderId)) return true;
    return false;
}

} // namespace

bool SameFile(const platform::FileId& a, const platform::FileId& b) {
    return a.valid && b.valid && a.dev == b.dev && a.ino == b.ino;
}

const QStringList& SensitiveExtensions() {
    static const QStringList list{QStringLiteral("bat"), QStringLiteral("bin"), QStringLiteral("com"),
                                  QStringLiteral("dll"), QStringLiteral("drv"), QStringLiteral("exe"),
                                  QStringLiteral("ini"), QStringLiteral("ovl"), QStringLiteral("pif"),
                                  QStringLiteral("sys"), QStringLiteral("ocx"), QStringLiteral("kbd")};
    return list;
}

void InitExcludedExtensions(qint16 intPermission) {
    table().permission.fill(intPermission);
    ReadPlaces();
}

void SetExtensionPermission(const QString& strExtension, qint16 intPermission) {
    const int i = IndexOf(strExtension);
    if (i >= 0) table().permission[size_t(i)] = intPermission;
}

qint16 ExtensionPermission(const QString& strExtension) {
    const int i = IndexOf(strExtension);
    return i >= 0 ? table().permission[size_t(i)] : qint16(PermissionAsk);
}

qint16 ExcludedFile(const QString& strCurrentFile) {
    Table& t = table();
    if (!t.placesRead) ReadPlaces();
    const QString lower = StrProc::LowerCaseAccented(strCurrentFile);
    const QString name = Filespec::GetFileName(lower);
    if (name == QLatin1String("desktop.ini") && lower.contains(QLatin1String("$recycle.bin")))
        return RecycleBinDesktopIni;
    const QString folderPart = Filespec::GetFolderPart(strCurrentFile);
    if (!folderPart.isEmpty() && InProgramFolderPath(Filespec::GetFolderPart(lower), folderPart))
        return InProgramFolder;
    // A swap file in use is one whatever its name.
    if (!t.swapFiles.isEmpty()) {
        const platform::FileId id = platform::current().fileId(strCurrentFile);
        for (const platform::FileId& swap : t.swapFiles)
            if (SameFile(swap, id)) return SwapFile;
    }
    const QString extension = Filespec::GetExtension(lower);
    if (extension.isEmpty()) return MayBePurged;
    if (name == QLatin1String("pagefile.sys") || extension == QLatin1String("swp")) return SwapFile;
    switch (ExtensionPermission(extension)) {
    case PermissionRefused:
        return SensitiveRefused;
    case PermissionAllowed:
        return MayBePurged;
    default:
        return IndexOf(extension) >= 0 ? qint16(SensitiveAsk) : qint16(MayBePurged);
    }
}

QString ResultText(qint16 intResult, const QString& strExtension) {
    switch (intResult) {
    case -54:
        return QStringLiteral(": file is a system file, not purged.");
    case -53:
        return QStringLiteral(": file is a read-only file, not purged.") + QStringLiteral("\r\n") +
               QStringLiteral("(Perhaps file is in use by another program.)");
    case -11:
        return QStringLiteral(": error when restoring filesize.");
    case -9:
        return QStringLiteral(": invalid cluster size.");
    case -8:
        return QStringLiteral(": invalid purge type.");
    case -7:
        return QStringLiteral(": error when flushing file.");
    case -4:
        return QStringLiteral(": file overwritten but not deleted.");
    case -3:
        return QStringLiteral(": error when writing to file.");
    case -2:
        return QStringLiteral(": unable to open file for writing.");
    case -1:
        return QStringLiteral(": empty file name.");
    case InProgramFolder:
        return QStringLiteral(": a file in the current application folder, not purged.");
    case SwapFile:
        return QStringLiteral(": the page file (swap file), not purged.");
    case RecycleBinDesktopIni:
        return QStringLiteral(": a desktop.ini file in the Recycle Bin, not purged.");
    case SensitiveAsk:
        return QStringLiteral(": ") + QLatin1Char('"') + strExtension + QLatin1Char('"') +
               QStringLiteral(" files are not purged.");
    default:
        return QStringLiteral(" not purged.");
    }
}

} // namespace FileOps
