// How close the estimate of purge time comes to the purge itself: measures
// the purge speed of a drive as "Test purge speed" does, then, for each
// tree, lists it through the report window (which estimates) and purges it
// through the report window (timed).
//
//   report_estimate ROOT TREE...
//
// ROOT is mapped to drive P:; each TREE is a folder below it, listed and
// purged with "*.*" and subfolders, type 0, 1 pass.

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/frmPurgeConfirmation.h"
#include "run/frmReport.h"
#include "speed/TimeEstimates.h"
#include "support/Seams.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: report_estimate ROOT TREE...\n");
        return 2;
    }
    const QString root = QDir(args.first()).absolutePath();
    // The result boxes of the speed test are answered OK; nothing else may ask.
    SetMsgBoxHandler([](const QString& prompt, int flags, const QString& title) {
        if ((flags & 7) == vbOKOnly) return int(vbOK);
        std::fprintf(stderr, "unexpected box \"%s\": %s\n", qPrintable(title), qPrintable(prompt));
        return int(vbCancel);
    });
    frmMain::SetEndHandler([]() {});
    frmMain form;
    if (!form.Startup()) return 2;
    platform::current().mapDrive(QLatin1Char('P'), root);
    form.blnAntiMalwareWarning = false;
    frmTypeOfPurge::instance().SetPurgeType(0, 1);

    form.blnPerformingSpeedTest = true;
    qint16 status = 0;
    for (int run = 1; run <= 3 && status == 0; ++run) form.RunSpeedTest(QStringLiteral("P:"), false, false, status);
    form.blnPerformingSpeedTest = false;
    if (status != 0) {
        std::fprintf(stderr, "the speed test failed: %d\n", status);
        return 1;
    }
    const float speed = form.sngDrivePurgeSpeed[size_t('P' - 'A')];
    std::printf("purge speed of the drive: %.2f MB/s per overwrite\n", double(speed));

    PurgeOptions& o = frmPurgeConfirmation::instance();
    o.blnDoNotDeletePurgedFiles = false;
    o.blnOKToPurgeReadOnlyFiles = true;
    o.blnOKToPurgeSensitiveFiles = true;
    o.blnConfirmFiles = false;
    o.blnDeleteEmptyFolders = false;
    frmReport& r = frmReport::instance();
    r.mainWindow = &form;
    int failures = 0;
    for (const QString& tree : args.mid(1)) {
        form.strDirPath = QStringLiteral("P:\\") + QDir(root).relativeFilePath(QDir(tree).absolutePath()) + '\\';
        form.strDirPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
        form.strFilespec = QStringLiteral("*.*");
        form.blnMultipleFiles = true;
        form.blnSubdirectories = true;
        form.ShowFileSelection();
        const auto run = [&](bool purge) {
            r.show();
            r.blnStop = false;
            r.strNextDirPath = form.strDirPath;
            r.strCurrentFileSpec = form.strFilespec;
            r.blnPurgeFiles = purge;
            r.blnListFiles = !purge;
            r.blnDisplayFileNames = false;
            r.blnDisplayFolderNames = false;
            QElapsedTimer clock;
            clock.start();
            r.ProcessFiles();
            return double(clock.nsecsElapsed()) / 1e9;
        };
        run(false);
        const double bytes = r.dblTotalBytesPurged;
        const qint32 files = r.lngNumFilesProcessed;
        const qint32 estimate = TimeEstimates::EstimatedSeconds(bytes, files, speed, 2);
        const QString words = form.lblEstimatedTime->text();
        const double measured = run(true);
        if (r.lngNumFilesPurged != files) ++failures;
        std::printf("%-40s %6d files %10.1f MiB  estimate %6d s (%s)  purge %8.3f s  ratio estimate/purge %.2f\n",
                    qPrintable(tree), files, bytes / 1048576, estimate, qPrintable(words), measured,
                    measured > 0 ? estimate / measured : 0.0);
    }
    return failures ? 1 : 0;
}
