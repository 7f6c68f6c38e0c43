#include "speed/FillDisk.h"

#include "app/MainState.h"
#include "platform/Platform.h"
#include "purge/ClusterSize.h"
#include "purge/FileProc.h"
#include "purge/FilePurge.h"
#include "selection/Filespec.h"
#include "support/Seams.h"

#include <QDir>
#include <algorithm>
#include <cerrno>

namespace FillDisk {

namespace {

constexpr double k5GB = 5368709120.0;
constexpr double k50GB = 53687091200.0;
constexpr qint64 kMinSize = 51200;
constexpr int kMinFilesWhenFull = 5;

int Index(QChar letter) { return letter.toUpper().unicode() - u'A'; }

bool Exists(const QString& path) { return platform::current().kind(path) != platform::Kind::Missing; }

// A folder that the dummy folder can go into: on the drive's own file
// system, and writable (tried by making and removing a folder there).
bool Usable(const QString& folder, const platform::FileId& root) {
    platform::Platform& os = platform::current();
    const platform::FileId id = os.fileId(folder);
    if (!id.valid || id.dev != root.dev || os.kind(folder) != platform::Kind::Folder) return false;
    QString probe = folder;
    if (!probe.endsWith(QLatin1Char('\\'))) probe += QLatin1Char('\\');
    probe += QStringLiteral("_vq_probe");
    for (int k = 1; Exists(probe + QString::number(k)); ++k)
        if (k > 1000) return false;
    int error = 0;
    for (int k = 1;; ++k) {
        const QString p = probe + QString::number(k);
        if (Exists(p)) continue;
        if (!os.createFolder(p, error)) return false;
        os.removeFolderTree(p, error);
        return true;
    }
}

} // namespace

DummyState& Dummy() {
    static DummyState state;
    return state;
}

qint16 DummyFileCount(QChar letter, double totalBytes) {
    if (letter.toUpper() <= QLatin1Char('B')) return 1;
    if (totalBytes < k5GB) return 5;
    if (totalBytes < k50GB) return 10;
    return 20;
}

QString DummyParentFolder(QChar letter) {
    platform::Platform& os = platform::current();
    const QString root = QString(letter.toUpper()) + QStringLiteral(":\\");
    const platform::FileId rootId = os.fileId(root);
    if (!rootId.valid) return {};
    QStringList candidates{root};
    for (const QString& native : {QDir::homePath(), QStringLiteral("/var/tmp"), QDir::tempPath()}) {
        const QString drivePath = os.toDrivePath(native);
        if (!drivePath.isEmpty() && drivePath.at(0).toUpper() == letter.toUpper()) candidates << drivePath;
    }
    for (const QString& c : candidates)
        if (Usable(c, rootId)) return c;
    return {};
}

void CreateDummyFiles() {
    DummyState& d = Dummy();
    platform::Platform& os = platform::current();
    const QChar letter = d.strDummyDrive.isEmpty() ? QLatin1Char('C') : d.strDummyDrive.at(0).toUpper();
    d.blnDummyFilesCreated = false;
    d.lngDummyBytes = 0;
    d.strDummyFolder.clear();
    const QString stub = Main().strDummyFileFolderStub;

    const auto fail = [&] {
        MsgBox(QStringLiteral("An error occurred when creating the dummy files in the disk in Drive ") + QString(letter) +
                   QStringLiteral("\r\n") + QStringLiteral("for the speed test.  Please repeat the test."),
               vbOKOnly | vbExclamation, QStringLiteral("Test purge speed"));
    };

    QString parent = DummyParentFolder(letter);
    if (parent.isEmpty()) return fail();
    if (!parent.endsWith(QLatin1Char('\\'))) parent += QLatin1Char('\\');
    int error = 0;
    for (int k = 1; k < 100000; ++k) {
        const QString candidate = parent + stub + QString::number(k);
        if (Exists(candidate)) continue;
        if (os.createFolder(candidate, error)) d.strDummyFolder = candidate;
        break;
    }
    if (d.strDummyFolder.isEmpty()) return fail();

    const qint32 cluster = GetClusterSize(QString(letter));
    const QByteArray block(cluster, '\0');
    int made = 0;
    for (;;) {
        QString name;
        for (int k = 1;; ++k) {
            name = (d.strDummyFolder + QLatin1Char('\\') + stub + QString::number(k)).toLower();
            if (!Exists(name)) break;
        }
        d.strDummyFile = name;
        const qint64 size = kMinSize + 3 * qint64(FilePurge::RandomInteger(0, 26624, false));
        // A file that cannot be made ends the making: with more than five
        // made (the failing one counted where the disk is full), what is
        // there is enough; otherwise it all goes and the test fails.
        const auto stop = [&](bool enough) {
            if (enough) {
                FileProc::KillFile(name, true, true, true);
                d.blnDummyFilesCreated = true;
                return;
            }
            RemoveDummyFiles(d.strDummyFolder);
            d.strDummyFolder.clear();
            fail();
        };
        // Made small, with one block; then its length grows.
        if (!os.writeTextFile(name, block, error)) {
            ++made;
            return stop(error == ENOSPC && made > kMinFilesWhenFull);
        }
        if (FileProc::ChangeFileSize(name, size) != 0) return stop(made > kMinFilesWhenFull);
        ++made;
        d.lngDummyBytes += size;
        DoEvents();
        if (made >= d.intDummyFileCount) {
            d.blnDummyFilesCreated = true;
            return;
        }
    }
}

bool PurgeDummyFiles(qint16 intPurgeType, qint16 intNumberOfPasses) {
    DummyState& d = Dummy();
    const QChar letter = d.strDummyDrive.isEmpty() ? QLatin1Char('C') : d.strDummyDrive.at(0).toUpper();
    qint32 cluster = Main().lngDriveClusterSize[size_t(std::clamp(Index(letter), 0, 25))];
    if (cluster < 512) cluster = GetClusterSize(QString(letter));
    bool ok = true;
    platform::Listing listing;
    int error = 0;
    const QString spec = QLatin1Char('*') + Main().strDummyFileFolderStub.toLower() + QLatin1Char('*');
    if (platform::current().listFolder(d.strDummyFolder, listing, error)) {
        for (const platform::Entry& e : listing.files) {
            if (!Filespec::MatchesFilespec(e.name, spec, false)) continue;
            qint16 code = 0;
            FilePurge::PurgeFileWithBlockSize(e.path, intPurgeType, intNumberOfPasses, true, true, true, cluster, code);
            DoEvents();
            if (code < 0) {
                ok = false;
                break;
            }
        }
    } else {
        ok = false;
    }
    RemoveDummyFiles(d.strDummyFolder);
    return ok;
}

void RemoveDummyFiles(const QString& strFolder) {
    if (strFolder.isEmpty()) return;
    platform::Platform& os = platform::current();
    platform::Listing listing;
    int error = 0;
    const QString spec = QLatin1Char('*') + Main().strDummyFileFolderStub.toLower() + QLatin1Char('*');
    if (os.listFolder(strFolder, listing, error)) {
        for (const platform::Entry& e : listing.files)
            if (Filespec::MatchesFilespec(e.name, spec, false)) FileProc::KillFile(e.path, true, true, true);
    }
    // Only the folder we made, and only once it is empty.
    os.removeEmptyFolder(strFolder, error);
}

float AddSpeedMeasurement(const QString& strDrive, float sngRunSpeed) {
    const int i = strDrive.isEmpty() ? -1 : Index(strDrive.at(0));
    if (i < 0 || i > 25) return sngRunSpeed;
    float& speed = Main().sngDrivePurgeSpeed[size_t(i)];
    qint16& k = Main().intNumSpeedRuns[size_t(i)];
    if (k <= 0) {
        speed = sngRunSpeed;
        k = 1;
    } else {
        speed = (float(k) * speed + sngRunSpeed) / float(k + 1);
        ++k;
    }
    return speed;
}

} // namespace FillDisk
