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
#include <QFile>
#include <QHash>
#include <QMap>
#include <algorithm>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>

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

    // Each argument is taken as its bytes (a name need not be UTF-8) and
    // resolved as the program resolves a chosen path: a link anywhere on it
    // is refused, and each file is reached through the platform's listing,
    // under its own name whatever characters it holds.
    platform::Platform& os = platform::current();
    QMap<QByteArray, QChar> letters;
    QChar next = QLatin1Char('P');
    QStringList drivePaths;
    qint64 totalBytes = 0;
    QMap<QChar, QPair<QList<platform::Entry>, QHash<QString, platform::Entry>>> listings;
    const auto letterOf = [&](const QByteArray& folder) -> QChar {
        auto letter = letters.constFind(folder);
        if (letter != letters.cend()) return *letter;
        if (next > QLatin1Char('Z')) return QChar();
        os.mapDrive(next, platform::Platform::decodeName(folder));
        letters.insert(folder, next);
        const QChar mine = next;
        next = QChar(next.unicode() + 1);
        return mine;
    };
    for (int i = argc - args.size(); i < argc; ++i) {
        QByteArray path = argv[i];
        if (!path.startsWith('/')) path = QFile::encodeName(QDir::currentPath()) + '/' + path;
        char real[PATH_MAX];
        if (!::realpath(path.constData(), real)) {
            std::fprintf(stderr, "not a file or folder: %s\n", argv[i]);
            return 2;
        }
        QByteArray clean;
        for (const QByteArray& c : path.split('/')) {
            if (c.isEmpty() || c == ".") continue;
            if (c == "..") clean.truncate(std::max<qsizetype>(clean.lastIndexOf('/'), 0));
            else clean += '/' + c;
        }
        if (clean.isEmpty()) clean = "/";
        if (clean != QByteArray(real)) {
            std::fprintf(stderr, "a link is on the path, refused: %s\n", argv[i]);
            return 2;
        }
        struct stat st {};
        if (::lstat(real, &st) != 0 || (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))) {
            std::fprintf(stderr, "not a file or folder: %s\n", argv[i]);
            return 2;
        }
        const QByteArray r(real);
        const QByteArray folder = S_ISDIR(st.st_mode) ? r : r.left(std::max<qsizetype>(r.lastIndexOf('/'), 1));
        const QChar letter = letterOf(folder);
        if (letter.isNull()) {
            std::fprintf(stderr, "too many folders\n");
            return 2;
        }
        // Each folder is listed once, however many of its files are named.
        auto listed = listings.find(letter);
        if (listed == listings.end()) {
            platform::Listing listing;
            int error = 0;
            if (!os.listFolder(QString(letter) + QStringLiteral(":\\"), listing, error)) {
                std::fprintf(stderr, "cannot list %s: %s\n", folder.constData(), qPrintable(os.errorText(error)));
                return 2;
            }
            QHash<QString, platform::Entry> byName;
            for (const platform::Entry& e : listing.files) byName.insert(e.name, e);
            listed = listings.insert(letter, {listing.files, byName});
        }
        if (S_ISDIR(st.st_mode)) {
            for (const platform::Entry& e : listed->first) {
                drivePaths << e.path;
                totalBytes += e.size;
            }
        } else {
            const auto e = listed->second.constFind(platform::Platform::decodeName(r.mid(r.lastIndexOf('/') + 1)));
            if (e != listed->second.cend()) {
                drivePaths << e->path;
                totalBytes += e->size;
            }
        }
    }
    const qsizetype fileCount = drivePaths.size();
    const QChar firstLetter = letters.isEmpty() ? QLatin1Char('P') : letters.first();

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
    const qint64 overwrites = qint64(fileCount) * passes * perPass;
    const double mbPerOverwrite = seconds > 0 ? double(totalBytes) * passes * perPass / 1048576.0 / seconds : 0;
    const double filesPerSecond = seconds > 0 ? double(fileCount) / seconds : 0;
    int errors = 0;
    for (auto it = results.cbegin(); it != results.cend(); ++it) errors += it.value();

    std::printf("files %lld, bytes %lld, purge type %d, %d pass(es), %lld overwrites, cluster %d\n",
                static_cast<long long>(fileCount), static_cast<long long>(totalBytes), type, passes,
                static_cast<long long>(overwrites),
                fileCount == 0 ? 0 : GetClusterSize(QString(firstLetter)));
    std::printf("elapsed %.3f s, %.1f MB/s per overwrite, %.1f files/s\n", seconds, mbPerOverwrite, filesPerSecond);
    std::printf("event passes %lld, longest gap %.1f ms, peak RSS %ld KiB\n", static_cast<long long>(eventPasses),
                double(longestGapNs) / 1e6, usage.ru_maxrss);
    for (auto it = results.cbegin(); it != results.cend(); ++it)
        std::printf("result %d: %d file(s)\n", it.key(), it.value());
    std::printf("RESULT seconds=%.4f mbps=%.2f files_per_s=%.2f gap_ms=%.2f rss_kib=%ld errors=%d\n", seconds,
                mbPerOverwrite, filesPerSecond, double(longestGapNs) / 1e6, usage.ru_maxrss, errors);
    return errors == 0 ? 0 : 1;
}
