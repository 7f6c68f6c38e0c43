// Runs the real report window offscreen over a folder tree and says how long
// it took, how long the event loop had to wait at most, and how much memory
// the run added to the program idle.
//
//   report_run purge TYPE PASSES DIR   purge every file of the tree (report
//                                      with file names, files deleted)
//   report_run list DIR [--dots]       list the tree with subfolders, folder
//                                      names shown (or one dot per folder)
//
// DIR is mapped to drive P: and selected with "*.*" and subfolders, as the
// main window would hand it to the report window.

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/frmPurgeConfirmation.h"
#include "run/frmReport.h"
#include "support/Seams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: report_run purge TYPE PASSES DIR | report_run list DIR [--dots]\n");
    return 2;
}

// The process's peak resident memory so far, KiB.
long PeakRssKib() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return Usage();
    const QString mode = args.takeFirst();
    int type = 0, passes = 1;
    bool dots = false;
    if (mode == QLatin1String("purge")) {
        if (args.size() != 3) return Usage();
        type = args.takeFirst().toInt();
        passes = args.takeFirst().toInt();
        if (type < 0 || type > 2 || passes < 1) return Usage();
    } else if (mode == QLatin1String("list")) {
        if (args.isEmpty() || args.size() > 2) return Usage();
        dots = args.size() == 2 && args.last() == QLatin1String("--dots");
    } else {
        return Usage();
    }
    const QString dir = args.first();

    platform::current().mapDrive(QLatin1Char('P'), dir);
    SetMsgBoxHandler([](const QString& prompt, int, const QString& title) {
        std::fprintf(stderr, "unexpected box \"%s\": %s\n", qPrintable(title), qPrintable(prompt));
        return int(vbCancel);
    });
    frmMain::SetEndHandler([]() {});
    frmMain form;
    if (!form.Startup()) return 2;
    form.blnAntiMalwareWarning = false;
    form.strDirPath = QStringLiteral("P:\\");
    form.strFilespec = QStringLiteral("*.*");
    form.blnMultipleFiles = true;
    form.blnSubdirectories = true;
    form.ShowFileSelection();
    frmTypeOfPurge::instance().SetPurgeType(type, passes);

    PurgeOptions& o = frmPurgeConfirmation::instance();
    o.blnFolderNamesOnly = false;
    o.blnDeleteEmptyFolders = false;
    o.blnDoNotDeletePurgedFiles = false;
    o.blnOKToPurgeReadOnlyFiles = true;
    o.blnOKToPurgeSensitiveFiles = true;
    o.blnConfirmFiles = false;

    frmReport& r = frmReport::instance();
    r.mainWindow = &form;
    r.setWindowTitle(mode == QLatin1String("purge") ? QStringLiteral("Purge files") : QStringLiteral("List folders"));
    r.show();
    r.blnStop = false;
    r.strNextDirPath = form.strDirPath;
    r.strCurrentFileSpec = form.strFilespec;
    r.blnPurgeFiles = mode == QLatin1String("purge");
    r.blnListFiles = !r.blnPurgeFiles;
    r.blnDisplayFileNames = false;
    r.blnDisplayFolderNames = !dots;
    QCoreApplication::processEvents();
    const long idleKib = PeakRssKib();

    QElapsedTimer clock;
    qint64 lastEventNs = -1, longestGapNs = 0, eventPasses = 0;
    SetDoEventsHook([&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastEventNs >= 0) longestGapNs = std::max(longestGapNs, now - lastEventNs);
        lastEventNs = now;
        ++eventPasses;
    });
    clock.start();
    r.ProcessFiles();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    SetDoEventsHook(nullptr);
    const long peakKib = PeakRssKib();

    const qint32 files = r.lngNumFilesProcessed;
    const qint32 purged = r.lngNumFilesPurged;
    const qsizetype reportChars = r.ReportText().size();
    std::printf("%s: files %d, purged %d, report %lld characters, %.3f s, %.1f files/s\n", qPrintable(mode), files,
                purged, static_cast<long long>(reportChars), seconds, seconds > 0 ? files / seconds : 0.0);
    std::printf("event passes %lld, longest gap %.1f ms, peak RSS idle %ld KiB, after the run %ld KiB\n",
                static_cast<long long>(eventPasses), double(longestGapNs) / 1e6, idleKib, peakKib);
    std::printf("RESULT seconds=%.4f files=%d files_per_s=%.2f gap_ms=%.2f idle_kib=%ld peak_kib=%ld\n", seconds,
                files, seconds > 0 ? files / seconds : 0.0, double(longestGapNs) / 1e6, idleKib, peakKib);
    const bool ok = r.blnPurgeFiles ? purged == files : files > 0;
    return ok ? 0 : 1;
}
