#include "support/DiskProc.h"

#include "platform/Platform.h"
#include "support/StrProc.h"

#include <cerrno>

namespace DiskProc {

qint32 GetClusterSizeAndFreeBytes(const QString& rootText, double* freeBytes, qint64* reportedSize) {
    if (freeBytes) *freeBytes = -1;
    if (reportedSize) *reportedSize = 0;
    if (rootText.isEmpty()) return -1;
    platform::DiskSpace space;
    if (!platform::current().diskSpace(rootText.at(0).toUpper(), space)) return -1;
    if (reportedSize) *reportedSize = space.clusterSize;
    if (space.clusterSize < 512 || space.clusterSize > 65536) return -2;
    if (freeBytes) *freeBytes = static_cast<double>(space.freeClusters) * static_cast<double>(space.clusterSize);
    return static_cast<qint32>(space.clusterSize);
}

qint16 FsoDriveTypeOf(platform::DriveKind kind) {
    switch (kind) {
    case platform::DriveKind::Removable:
        return fsoRemovable;
    case platform::DriveKind::Fixed:
        return fsoFixed;
    case platform::DriveKind::Network:
        return fsoNetwork;
    case platform::DriveKind::CdRom:
        return fsoCdRom;
    case platform::DriveKind::RamDisk:
        return fsoRamDisk;
    case platform::DriveKind::Unknown:
    case platform::DriveKind::NoRoot:
        break;
    }
    return fsoUnknown;
}

qint16 OsDriveTypeOf(platform::DriveKind kind) {
    switch (kind) {
    case platform::DriveKind::Unknown:
        return osUnknown;
    case platform::DriveKind::NoRoot:
        return osNoRootDir;
    case platform::DriveKind::Removable:
        return osRemovable;
    case platform::DriveKind::Fixed:
        return osFixed;
    case platform::DriveKind::Network:
        return osRemote;
    case platform::DriveKind::CdRom:
        return osCdRom;
    case platform::DriveKind::RamDisk:
        return osRamDisk;
    }
    return osUnknown;
}

QString WriteTestFileName() { return QStringLiteral("klasdjfdskjfkjkwjkweoewiroew.txt"); }

namespace {

QString ErrorWording(const platform::Platform& p, int error) {
    // A failure without a code still needs words in front of the user.
    const QString text = p.errorText(error != 0 ? error : EIO);
    return text.isEmpty() ? QStringLiteral("Input/output error") : text;
}

bool IsMappedDrive(QChar letter) {
    const QChar upper = letter.toUpper();
    for (const platform::DriveInfo& d : platform::current().drives())
        if (d.letter.toUpper() == upper) return true;
    return false;
}

} // namespace

bool CannotWriteToDrive(const QString& path, QString& errorText) {
    errorText.clear();
    QString folder = path;
    if (folder.contains(QLatin1Char(':'))) StrProc::AddBackslash(folder);
    const QString name = folder + WriteTestFileName();
    platform::Platform& p = platform::current();
    // A file of that name that was there before is not ours to remove when
    // the test fails before it was opened.
    const bool existed = p.kind(name) == platform::Kind::File;
    int error = 0;
    if (!p.writeTextFile(name, QByteArrayLiteral("A line\r\n"), error)) {
        errorText = ErrorWording(p, error);
        if (!existed && p.kind(name) == platform::Kind::File) {
            int ignored = 0;
            p.deleteFile(name, ignored);
        }
        return true;
    }
    if (!p.deleteFile(name, error)) {
        // The drive took the file but will not let it go: refuse the drive
        // and tell the user where the leftover lies.
        errorText = ErrorWording(p, error) + QStringLiteral(" (the test file ") + name +
                    QStringLiteral(" could not be removed)");
        return true;
    }
    return false;
}

qint16 GetFirstDrive(QString& drive, qint16& driveType) {
    const QList<platform::DriveInfo> list = platform::current().drives();
    drive.clear();
    driveType = -1;
    if (list.isEmpty()) return 0;
    const QChar letter = list.first().letter.toUpper();
    drive = QString(letter) + QLatin1Char(':');
    driveType = FsoDriveTypeOf(platform::current().driveKind(letter));
    return static_cast<qint16>(qMin<qsizetype>(list.size(), 32767));
}

qint16 GetDiskSpace(const QString& path, double& freeToCaller, double& totalBytes) {
    const QString drive = path.left(2).toLower();
    if (drive.size() != 2 || drive.at(1) != QLatin1Char(':') || !drive.at(0).isLetter()) return -1;
    platform::DiskSpace space;
    if (!platform::current().diskSpace(drive.at(0), space)) return -1;
    freeToCaller = space.freeToCaller;
    totalBytes = space.totalBytes;
    return 0;
}

QString GetFirstFixedDrive() {
    for (char c = 'C'; c <= 'Z'; ++c) {
        const QChar letter = QLatin1Char(c);
        if (!IsMappedDrive(letter)) continue;
        if (FsoDriveTypeOf(platform::current().driveKind(letter)) == fsoFixed)
            return QString(letter) + QLatin1Char(':');
    }
    return {};
}

bool IsOnDrive(const QString& path, QString& drive) {
    if (drive.isEmpty()) drive = GetFirstFixedDrive();
    if (drive.isEmpty()) return false; // no fixed drive: nothing lies on it
    return path.left(2).toUpper() == drive;
}

bool DriveIsReady(const QString& root) {
    if (root.isEmpty()) return false;
    const qint16 type = OsDriveTypeOf(platform::current().driveKind(root.at(0).toUpper()));
    if (type == osFixed || type == osRamDisk) return true;
    double freeToCaller = 0;
    double totalBytes = 0;
    return GetDiskSpace(root, freeToCaller, totalBytes) == 0;
}

} // namespace DiskProc
