#pragma once
// The main window's state record. frmMain derives from it, so these are the
// window's public fields; code without a window (the engine, tests,
// benchmarks) reaches the same record through Main().

#include <QString>
#include <QStringList>
#include <array>

struct MainState {
    // Public fields, in declaration order.
    bool blnStartupCompleted = false;
    bool blnMultipleFiles = false;
    bool blnSubdirectories = false;
    bool blnPurgingRecycleBin = false;
    bool blnStop = false;
    bool blnPerformingSpeedTest = false;
    bool blnDateRestriction = false;
    bool blnMainFormActivated = false;
    qint16 intCharWidth = 123;
    qint16 intNumFiles = 0;
    qint64 lngFilesize = 0;
    qint32 lngOnlyBeforeThisJDN = 9000000;
    double dblAF_A = 0.917;
    double dblAF_B = 0.2;
    QString strCurrentFilePath;
    QString strDummyFileFolderStub = QStringLiteral("_vq_dummy");
    QString strProgramTextFile;

    // The window's own selection fields.
    QString strDirPath;
    QString strFilespec;
    QString strSavedDirPath;
    QString strSavedFilespec;
    bool blnSavedSubdirectories = false;
    qint32 lngSavedOnlyBeforeThisJDN = 9000000;
    bool blnAntiMalwareWarning = true;
    bool blnIgnoreMouseUp = false;
    bool blnBusy = false; // an operation is running; selection commands do nothing
    QString strNextRunSetupFile;
    QString strNotSpecified;

    // Folder purge selection.
    QString strTopFolder;
    QString strLastTopFolder;
    QStringList strSelectedFolders;
    qint16 intNumSelectedFolders = 0;

    // Per-drive tables, index 0 to 25 for drives A to Z.
    std::array<qint32, 26> lngDriveClusterSize{};
    // The allocation unit as the drive reports it, also above 64 KiB: the
    // overwrite runs to the end of the real last unit (0: not asked yet).
    std::array<qint64, 26> lngDriveAllocationUnit{};
    std::array<float, 26> sngDrivePurgeSpeed{};
    std::array<qint16, 26> intNumSpeedRuns{};

    // The purge question: element 0 up to its "?", element 1 the whole of it
    // (shown by the purge confirmation dialog).
    std::array<QString, 2> strMsg;

    // Set by the cluster-size lookup before it asks a drive (the speed test
    // reads it too).
    QString strDriveRoot;

    // Returns True when both the folder and the file specification are set.
    bool SelectionIsComplete() const { return !strDirPath.isEmpty() && !strFilespec.isEmpty(); }
    void SaveSelectionSnapshot() {
        blnSavedSubdirectories = blnSubdirectories;
        strSavedDirPath = strDirPath;
        strSavedFilespec = strFilespec;
        lngSavedOnlyBeforeThisJDN = lngOnlyBeforeThisJDN;
    }
    void ClearDriveTables() {
        lngDriveClusterSize.fill(0);
        lngDriveAllocationUnit.fill(0);
        sngDrivePurgeSpeed.fill(0);
        intNumSpeedRuns.fill(0);
    }
};

// The record in use: the main window's when there is one.
MainState& Main();
// The main window registers itself; nullptr returns to a plain record.
void SetMain(MainState* state);

// "" for 1, "s" otherwise.
QString PluralSuffix(qint64 n);
