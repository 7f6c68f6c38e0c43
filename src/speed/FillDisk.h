#pragma once
// The dummy files of the purge speed test: made in a fresh folder of the
// drive, purged with the current type of purge, and removed.

#include <QString>
#include <QtGlobal>

namespace FillDisk {

// One test run's state.
struct DummyState {
    QString strDummyDrive;  // "C:"
    qint16 intDummyFileCount = 0;
    QString strDummyFolder; // drive path ending without "\"; empty when it cannot be made
    QString strDummyFile;
    qint64 lngDummyBytes = 0;
    bool blnDummyFilesCreated = false;
};
DummyState& Dummy();

// 1 on a floppy drive; else 5 below 5 GB total, 10 below 50 GB, 20 beyond.
qint16 DummyFileCount(QChar letter, double totalBytes);

// The folder the dummy folder goes into: the drive's root when it can be
// written there, else the user's home folder or the temporary folder for
// long-lived files, each only when it lies on that drive's file system.
// Empty when none can be written.
QString DummyParentFolder(QChar letter);

// Makes the dummy files (strDummyDrive and intDummyFileCount set). Shows the
// error message when they cannot be made.
void CreateDummyFiles();
// Purges every dummy file with the current purge type and all its passes,
// then removes them and their folder. False when a purge failed.
bool PurgeDummyFiles(qint16 intPurgeType, qint16 intNumberOfPasses);
// Deletes the dummy files of the folder, then the folder; errors ignored.
void RemoveDummyFiles(const QString& strFolder);

// The drive's mean over every successful run since the program started.
float AddSpeedMeasurement(const QString& strDrive, float sngRunSpeed);

} // namespace FillDisk
