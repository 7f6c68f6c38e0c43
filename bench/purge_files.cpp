// Purges files through the engine without a window and says how fast it
// went, how long the event loop had to wait at most, and how much memory it
// took.
//
//   purge_files [--keep] TYPE PASSES PATH...
//
// TYPE is the purge type (0 to 2), PASSES the number of passes; each PATH is
// a file or a folder whose files (not its subfolders) are purged. Files are
// deleted after their last overwrite unless --keep is given. The folders are
// mapped to drive letters from P: on, as the program would see them.

#include "app/MainState.h"
#include "platform/Platform.h"
#include "purge/ClusterSize.h"
#include "purge/FilePurge.h"
#include "support/Seams.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: purge_files [--keep] TYPE PASSES PATH...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool keep = false;
    if (!args.isEmpty() && args.first() == QStringLiteral("--keep")) {
        keep = true;
        args.removeFirst();
    }
    if (args.size() < 3) return Usage();
    bool okType = false, okPasses = false;
    const int type = args.takeFirst().toInt(&okType);
    const int passes = args.takeFirst().toInt(&okPasses);
    if (!okType || !okPasses || type < 0 || type > 2 || passes < 1) return Usage();

    // The files, in native form, with what the listing already read.
    QFileInfoList files;
    for (const QString& a : args) {
        const QFileInfo fi(a);
        if (fi.isDir()) {
            files << QDir(fi.absoluteFilePath())
                         .entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
        } else if (fi.isFile()) {
            files << fi;
        } else {
            std::fprintf(stderr, "not a file or folder: %s\n", qPrintable(a));
            return 2;
        }
    }

    platform::Platform& os = platform::current();
    QMap<QString, QChar> letters;
    QChar next = QLatin1Char('P');
    QStringList drivePaths;
    qint64 totalBytes = 0;
    for (const QFileInfo& f : files) {
        const QString folder = f.absolutePath();
        auto letter = letters.constFind(folder);
        if (letter == letters.cend()) {
            if (next > QLatin1Char('Z')) {
                std::fprintf(stderr, "too many folders\n");
                return 2;
            }
            os.mapDrive(next, folder);
            letter = letters.insert(folder, next);
            next = QChar(next.unicode() + 1);
        }
        drivePaths << QString(*letter) + QStringLiteral(":\\") + f.fileName();
        totalBytes += f.size();
    }

    // The longest wait between two event passes.
    QElapsedTimer clock;
    qint64 lastEventNs = -1, longestGapNs = 0;
    qint64 eventPasses = 0;
    SetDoEventsHook([&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastEventNs >= 0) longestGapNs = std::max(longestGapNs, now - lastEventNs);
        lastEventNs = now;
        ++eventPasses;
    });

    const int perPass = int(FilePurge::OverwriteSequence(qint16(type)).size());
    QMap<int, int> results;
    clock.start();
    DoEvents();
    for (const QString& path : drivePaths) {
        // The callers purge pass by pass and ask for deletion on the last.
        for (int pass = 1; pass <= passes; ++pass) {
            qint16 code = 0;
            FilePurge::VQesPurgeFile(path, qint16(type), 1, !keep && pass == passes, true, true, code);
            if (code != 0) {
                results[code] += 1;
                break;
            }
        }
        DoEvents(); // between files, as the walks do
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    SetDoEventsHook(nullptr);

    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const qint64 overwrites = qint64(files.size()) * passes * perPass;
    const double mbPerOverwrite = seconds > 0 ? double(totalBytes) * passes * perPass / 1048576.0 / seconds : 0;
    const double filesPerSecond = seconds > 0 ? files.size() / seconds : 0;
    int errors = 0;
    for (auto it = results.cbegin(); it != results.cend(); ++it) errors += it.value();

    std::printf("files %lld, bytes %lld, purge type %d, %d pass(es), %lld overwrites, cluster %d\n",
                static_cast<long long>(files.size()), static_cast<long long>(totalBytes), type, passes,
                static_cast<long long>(overwrites),
                files.isEmpty() ? 0 : GetClusterSize(QString(letters.value(files.first().absolutePath()))));
    std::printf("elapsed %.3f s, %.1f MB/s per overwrite, %.1f files/s\n", seconds, mbPerOverwrite, filesPerSecond);
    std::printf("event passes %lld, longest gap %.1f ms, peak RSS %ld KiB\n", static_cast<long long>(eventPasses),
                double(longestGapNs) / 1e6, usage.ru_maxrss);
    for (auto it = results.cbegin(); it != results.cend(); ++it)
        std::printf("result %d: %d file(s)\n", it.key(), it.value());
    std::printf("RESULT seconds=%.4f mbps=%.2f files_per_s=%.2f gap_ms=%.2f rss_kib=%ld errors=%d\n", seconds,
                mbPerOverwrite, filesPerSecond, double(longestGapNs) / 1e6, usage.ru_maxrss, errors);
    return errors == 0 ? 0 : 1;
}
