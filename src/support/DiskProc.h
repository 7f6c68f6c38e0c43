#pragma once
// Drive questions: cluster size and free space, the write test, the drives
// that exist and their types.

#include "platform/Platform.h"

#include <QString>
#include <QtGlobal>

namespace DiskProc {

// Cluster size of the drive whose root is given ("C:\"), or -1 when the
// drive cannot be asked, or -2 when the size lies outside 512 to 65536.
// On success *freeBytes (when given) is the free space in bytes, else -1.
// *reportedSize (when given) receives the size the drive reported, also
// when it is out of range (0 when the drive could not be asked).
qint32 GetClusterSizeAndFreeBytes(const QString& rootText, double* freeBytes = nullptr,
                                  qint64* reportedSize = nullptr);

// Drive type codes of the file-system object (the drive dialog, the speed
// test, GetFirstDrive, GetFirstFixedDrive) ...
enum FsoDriveType : qint16 {
    fsoUnknown = 0,
    fsoRemovable = 1,
    fsoFixed = 2,
    fsoNetwork = 3,
    fsoCdRom = 4,
    fsoRamDisk = 5,
};
// ... and of the operating system (DriveIsReady only). Never mix the two.
enum OsDriveType : qint16 {
    osUnknown = 0,
    osNoRootDir = 1,
    osRemovable = 2,
    osFixed = 3,
    osRemote = 4,
    osCdRom = 5,
    osRamDisk = 6,
};
qint16 FsoDriveTypeOf(platform::DriveKind kind);
qint16 OsDriveTypeOf(platform::DriveKind kind);

// The name of the file the write test creates and deletes.
QString WriteTestFileName();

// Creates, writes ("A line") and deletes a test file in the folder (or drive
// root) given. False when all of that worked; True otherwise, with the
// system's wording of the failure in errorText (empty on success). A test
// file that was created is removed again also when a later step fails; when
// even that removal fails, errorText says so and names the file.
bool CannotWriteToDrive(const QString& path, QString& errorText);

// Number of drives; drive ("C:") and driveType (file-system object code) of
// the first one, or "" and -1 when there is none.
qint16 GetFirstDrive(QString& drive, qint16& driveType);

// Free bytes available to the caller and total bytes of the drive named by
// the first two characters of path ("c:"). 0 on success, -1 on failure.
qint16 GetDiskSpace(const QString& path, double& freeToCaller, double& totalBytes);

// The first drive from C to Z whose type is fixed ("C:"), or "". Never A or B.
QString GetFirstFixedDrive();

// True when the upper-cased first two characters of path equal drive (an
// upper-case "C:"). An empty drive is first set to GetFirstFixedDrive().
bool IsOnDrive(const QString& path, QString& drive);

// True for fixed drives and RAM disks without touching them; for any other
// drive True only when its free space can be read.
bool DriveIsReady(const QString& root);

} // namespace DiskProc
