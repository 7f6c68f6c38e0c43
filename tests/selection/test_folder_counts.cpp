// The folder counters on temporary drives: matching files and their sizes,
// whole trees with limits, subfolders, emptiness and folder removal, with
// unreadable folders, links, FIFOs and names that are not valid UTF-8.
#include "TestSupport.h"

#include "platform/PosixPlatform.h"
#include "selection/folder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using platform::Kind;

namespace {

// The Linux layer with chosen calls replaced.
class StandIn : public platform::PosixPlatform {
  public:
    std::function<bool(const QString&, platform::Listing&, int&)> list;
    std::function<bool(const QString&, int&)> removeTree;
    bool listFolder(const QString& f, platform::Listing& out, int& error) override {
        return list ? list(f, out, error) : PosixPlatform::listFolder(f, out, error);
    }
    bool baseList(const QString& f, platform::Listing& out, int& error) {
        return PosixPlatform::listFolder(f, out, error);
    }
    bool removeFolderTree(const QString& p, int& error) override {
        return removeTree ? removeTree(p, error) : PosixPlatform::removeFolderTree(p, error);
    }
};

// Installs a stand-in for the life of the object (before the drives are
// mapped, so they are mapped on it).
class WithStandIn {
  public:
    WithStandIn() { platform::install(&p); }
    ~WithStandIn() { platform::install(nullptr); }
    StandIn p;
};

// A failure of the listing for folders whose path contains part.
std::function<bool(const QString&, platform::Listing&, int&)> FailFor(StandIn& p, const QString& part, int errorCode) {
    return [&p, part, errorCode](const QString& f, platform::Listing& out, int& error) {
        if (f.contains(part, Qt::CaseInsensitive)) {
            out = platform::Listing();
            error = errorCode;
            return false;
        }
        return p.baseList(f, out, error);
    };
}

QByteArray N(const QString& s) { return QFile::encodeName(s); }

// Writes a file whose native name is raw bytes.
bool MakeRawFile(const QString& nativeFolder, const QByteArray& rawName, qint64 size) {
    const QByteArray path = N(nativeFolder) + '/' + rawName;
    FILE* f = std::fopen(path.constData(), "wb");
    if (!f) return false;
    const QByteArray bytes(int(size), 'r');
    const bool ok = std::fwrite(bytes.constData(), 1, size_t(size), f) == size_t(size);
    std::fclose(f);
    return ok;
}

struct Counted {
    qint32 count;
    double size;
    bool denied;
    QString error;
};

Counted Count(const QString& folderPath, const QString& spec, bool stopAtFirst = false, bool wantSize = true) {
    Counted c{0, wantSize ? -1.0 : 0.0, false, QStringLiteral("untouched")};
    c.count = folder::CountMatchingFiles(folderPath, spec, stopAtFirst, false, c.error, c.size, c.denied);
    return c;
}

// A folder of ordinary files beside a link, a FIFO, a subfolder and two names
// that are not valid UTF-8 ("\xff.txt" and "\xfe.txt", 7 and 9 bytes).
class FolderCounts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        drive.makeFile("f/a.txt", 10);
        drive.makeFile("f/B.TXT", 20);
        drive.makeFile("f/c.doc", 5);
        drive.makeFile("f/readme", 3);
        drive.makeFile("f/sub/deep.txt", 100);
        ASSERT_EQ(::symlink(N(drive.native("f/a.txt")).constData(), N(drive.native("f/link.txt")).constData()), 0);
        ASSERT_EQ(::mkfifo(N(drive.native("f/pipe.txt")).constData(), 0644), 0);
        ASSERT_TRUE(MakeRawFile(drive.native("f"), "\xff.txt", 7));
        ASSERT_TRUE(MakeRawFile(drive.native("f"), "\xfe.txt", 9));
    }
    TempDrive drive{QLatin1Char('T')};
};

} // namespace

TEST_F(FolderCounts, CountsMatchingFilesAndTheirSizes) {
    struct Case {
        const char* spec;
        qint32 count;
        double size;
    } cases[] = {
        {"*.*", 6, 10 + 20 + 5 + 3 + 7 + 9}, // links, FIFOs and folders are not files
        {"*.txt", 4, 10 + 20 + 7 + 9},      // case ignored; the undecodable names have the extension too
        {"*.doc", 1, 5},
        {"r*", 1, 3},                        // no dot in the pattern: names without one
        {"?.txt", 4, 10 + 20 + 7 + 9},       // an undecodable byte is one character
        {"zz*.*", 0, 0},
    };
    for (const Case& c : cases) {
        const Counted r = Count(drive.path("f\\"), QString::fromLatin1(c.spec));
        EXPECT_EQ(r.count, c.count) << c.spec;
        EXPECT_DOUBLE_EQ(r.size, c.size) << c.spec;
        EXPECT_FALSE(r.denied);
        EXPECT_TRUE(r.error.isEmpty());
    }
    // Without a size the "*.*" count is the listing's, and the size is not touched.
    double size = 42;
    bool denied = true;
    QString error;
    EXPECT_EQ(folder::CountMatchingFiles(drive.path("f"), "*.*", false, false, error, size, denied), 6);
    EXPECT_EQ(size, 42);
    EXPECT_FALSE(denied);
    // Other specifications without a size count the same and sum nothing.
    size = 0;
    EXPECT_EQ(folder::CountMatchingFiles(drive.path("f"), "*.txt", false, false, error, size, denied), 4);
    EXPECT_EQ(size, 0);

    EXPECT_EQ(Count(drive.path("f\\"), "*.txt", true).count, 1);
    EXPECT_EQ(Count(drive.path("f\\"), "*.*", true).count, 1);
}

TEST_F(FolderCounts, AnUndecodableNameMatchesOnlyItself) {
    platform::Listing listing;
    int error = 0;
    ASSERT_TRUE(platform::current().listFolder(drive.path("f"), listing, error));
    QString ff, fe;
    for (const auto& e : listing.files) {
        if (platform::Platform::encodeName(e.name) == "\xff.txt") ff = e.name;
        if (platform::Platform::encodeName(e.name) == "\xfe.txt") fe = e.name;
    }
    ASSERT_FALSE(ff.isEmpty());
    ASSERT_FALSE(fe.isEmpty());
    const Counted one = Count(drive.path("f"), ff);
    EXPECT_EQ(one.count, 1);
    EXPECT_DOUBLE_EQ(one.size, 7);
    EXPECT_DOUBLE_EQ(Count(drive.path("f"), fe).size, 9);
    // Its replacement character names no file at all.
    EXPECT_EQ(Count(drive.path("f"), QStringLiteral("\uFFFD.txt")).count, 0);
}

TEST_F(FolderCounts, UnreadableFoldersGiveMinusOneOrPermissionDenied) {
    // Missing: -1 with the system's words.
    Counted r = Count(drive.path("nothere\\"), "*.*");
    EXPECT_EQ(r.count, -1);
    EXPECT_EQ(r.error, platform::current().errorText(ENOENT));
    EXPECT_FALSE(r.denied);
    EXPECT_EQ(r.size, 0) << "a size asked for never comes back as -1";

    // A virtual file system is refused like a folder without permission. (The
    // temporary drive only serves to unmap P: at the end.)
    TempDrive proc(QLatin1Char('P'));
    platform::current().mapDrive(QLatin1Char('P'), QStringLiteral("/proc"));
    r = Count(QStringLiteral("P:\\"), "*.*");
    EXPECT_EQ(r.count, 0);
    EXPECT_TRUE(r.denied);
    EXPECT_TRUE(r.error.isEmpty());
}

TEST(FolderCountErrors, ReadErrorsAreReportedAndShownOnRequest) {
    WithStandIn s;
    TempDrive drive(QLatin1Char('T'));
    drive.makeFile("bad/a.txt", 1);
    drive.makeFile("locked/a.txt", 1);
    s.p.list = [&](const QString& f, platform::Listing& out, int& error) {
        if (f.contains("bad") || f.contains("locked")) {
            error = f.contains("bad") ? EIO : EACCES;
            return false;
        }
        return s.p.baseList(f, out, error);
    };
    const QString eio = platform::current().errorText(EIO);
    Counted r = Count(drive.path("bad"), "*.txt");
    EXPECT_EQ(r.count, -1);
    EXPECT_EQ(r.error, eio);

    {
        ScriptedMsgBox boxes;
        boxes.expect("Error", eio, vbOK, vbOKOnly | vbExclamation);
        QString error;
        double size = -1;
        bool denied = false;
        EXPECT_EQ(folder::CountMatchingFiles(drive.path("bad"), "*.*", false, true, error, size, denied), -1);
        // Permission denied is not an error to show.
        EXPECT_EQ(folder::CountMatchingFiles(drive.path("locked"), "*.*", false, true, error, size, denied), 0);
        EXPECT_TRUE(denied);
    }
    QString text;
    EXPECT_EQ(folder::CountSubfolders(drive.path("bad"), text), -1);
    EXPECT_EQ(text, eio);
    bool denied = false;
    EXPECT_TRUE(folder::FolderIsEmpty(drive.path("bad"), denied));
    EXPECT_FALSE(denied);
    EXPECT_TRUE(folder::FolderIsEmpty(drive.path("locked"), denied));
    EXPECT_TRUE(denied);
}

// A tree: top (2 txt, 1 doc), top/a (1 txt, 1 doc), top/a/b (3 txt), top/c (1 txt).
class TreeCounts : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::install(&p);
        drive = std::make_unique<TempDrive>(QLatin1Char('T'));
        ASSERT_TRUE(drive->ok());
        for (const char* f : {"top/1.txt", "top/2.TXT", "top/a/3.txt", "top/a/b/4.txt", "top/a/b/5.txt",
                              "top/a/b/6.txt", "top/c/7.txt"})
            drive->makeFile(f, 10);
        drive->makeFile("top/x.doc", 1000);
        drive->makeFile("top/a/y.doc", 1000);
    }
    void TearDown() override {
        drive.reset();
        platform::install(nullptr);
    }
    struct Result {
        qint32 count, status, errors;
        double size;
    };
    Result Run(const QString& spec, qint32 limit, bool withSize = true, qint32 folderLimit = 0) {
        Result r{-7, limit, -7, -7};
        folder::GetNumFilesInAllSubfolders(true, drive->path("top"), spec, r.count, r.status, withSize, r.size,
                                           r.errors, false, folderLimit);
        return r;
    }
    StandIn p;
    std::unique_ptr<TempDrive> drive;
};

TEST_F(TreeCounts, CountsTheWholeTreeOrStopsAtTheLimit) {
    Result r = Run("*.txt", 0);
    EXPECT_EQ(r.count, 7);
    EXPECT_EQ(r.status, folder::kFinished);
    EXPECT_EQ(r.errors, 0);
    EXPECT_DOUBLE_EQ(r.size, 70);

    r = Run("*.*", 200);
    EXPECT_EQ(r.count, 9);
    EXPECT_EQ(r.status, folder::kFinished);
    EXPECT_DOUBLE_EQ(r.size, 2070);

    r = Run("*.txt", 3);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.status, folder::kLimitReached);

    r = Run("*.txt", 7); // reaching the limit with the last file still stops
    EXPECT_EQ(r.count, 7);
    EXPECT_EQ(r.status, folder::kLimitReached);

    r = Run("*.txt", 0, false);
    EXPECT_EQ(r.count, 7);
    EXPECT_EQ(r.size, 0) << "the top call clears the size and adds nothing without the size flag";

    // One folder entered: the top folder's own files, and the rest is left.
    r = Run("*.txt", 0, true, 1);
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.status, folder::kLimitReached);

    // A call below the top adds to what is there.
    qint32 count = 100, status = 0, errors = 5;
    double size = 1;
    folder::GetNumFilesInAllSubfolders(false, drive->path("top\\c\\"), "*.txt", count, status, true, size, errors,
                                       false, 0);
    EXPECT_EQ(count, 101);
    EXPECT_EQ(size, 11);
    EXPECT_EQ(errors, 5);
    EXPECT_EQ(status, folder::kFinished);

    bool unreadable = true;
    EXPECT_TRUE(folder::AnyMatchingFileInTree(drive->path("top"), "4.*", unreadable));
    EXPECT_FALSE(unreadable);
    EXPECT_FALSE(folder::AnyMatchingFileInTree(drive->path("top"), "*.pdf", unreadable));
}

TEST_F(TreeCounts, UnreadableFoldersAreCountedAndSkippedAndVanishedOnesIgnored) {
    p.list = FailFor(p, QStringLiteral("\\a\\b"), EIO);
    Result r = Run("*.txt", 0);
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.status, folder::kFinished);

    bool unreadable = false;
    EXPECT_FALSE(folder::AnyMatchingFileInTree(drive->path("top"), "5.txt", unreadable));
    EXPECT_TRUE(unreadable);

    // A subfolder removed after its parent was listed is simply not there.
    p.list = [this](const QString& f, platform::Listing& out, int& error) {
        const bool ok = p.baseList(f, out, error);
        if (f.endsWith(QStringLiteral("top\\"))) QDir(drive->native("top/c")).removeRecursively();
        return ok;
    };
    r = Run("*.txt", 0);
    EXPECT_EQ(r.count, 6);
    EXPECT_EQ(r.errors, 0);

    // An unreadable top folder is an error too.
    p.list = FailFor(p, QStringLiteral("top"), EACCES);
    r = Run("*.*", 0);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.status, folder::kFinished);
}

TEST_F(FolderCounts, SubfoldersAndEmptiness) {
    QString error = "stale";
    EXPECT_EQ(folder::CountSubfolders(drive.path("f"), error), 1); // a backslash is added
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(folder::CountSubfolders(drive.path("f\\sub\\"), error), 0);
    EXPECT_EQ(folder::CountSubfolders(drive.path("none"), error), -1);
    EXPECT_EQ(error, platform::current().errorText(ENOENT));

    bool denied = true;
    drive.makeFolder("empty");
    EXPECT_TRUE(folder::FolderIsEmpty(drive.path("empty\\"), denied));
    EXPECT_FALSE(denied);
    EXPECT_FALSE(folder::FolderIsEmpty(drive.path("f\\sub\\"), denied));
    drive.makeFolder("onlysub/x");
    EXPECT_FALSE(folder::FolderIsEmpty(drive.path("onlysub"), denied));
    EXPECT_TRUE(folder::FolderIsEmpty(drive.path("none"), denied)) << "unreadable counts as empty";

    // What the listing leaves out still makes a folder not empty, so the
    // removal of empty folders never takes it along.
    drive.makeFolder("onlylink");
    ASSERT_EQ(::symlink("/etc/hostname", N(drive.native("onlylink/l")).constData()), 0);
    drive.makeFolder("onlyfifo");
    ASSERT_EQ(::mkfifo(N(drive.native("onlyfifo/p")).constData(), 0644), 0);
    for (const char* f : {"onlylink", "onlyfifo"}) {
        EXPECT_FALSE(folder::FolderIsEmpty(drive.path(f), denied)) << f;
        EXPECT_EQ(folder::CountSubfolders(drive.path(f), error), 0) << f;
        EXPECT_EQ(Count(drive.path(f), "*.*").count, 0) << f;
    }
}

TEST(DeleteFolder, TrueOnlyWhenTheFolderIsGone) {
    WithStandIn s;
    TempDrive drive(QLatin1Char('T'));
    ASSERT_TRUE(drive.ok());
    drive.makeFile("d/sub/a.txt", 10);
    drive.makeFile("d/b.txt", 10);
    QString error = "stale";
    EXPECT_TRUE(folder::DeleteFolder(drive.path("d\\\\"), error, true));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(platform::current().kind(drive.path("d")), Kind::Missing);

    EXPECT_FALSE(folder::DeleteFolder(drive.path("d"), error, true));
    EXPECT_EQ(error, platform::current().errorText(ENOENT));

    // The layer says it worked but the folder is still there.
    drive.makeFile("stays/a.txt", 1);
    s.p.removeTree = [](const QString&, int& e) {
        e = 0;
        return true;
    };
    EXPECT_FALSE(folder::DeleteFolder(drive.path("stays"), error, true));
    EXPECT_FALSE(error.isEmpty());
    // And a failure that left nothing behind is a success.
    s.p.removeTree = [&](const QString&, int& e) {
        QDir(drive.native("stays")).removeRecursively();
        e = EBUSY;
        return false;
    };
    EXPECT_TRUE(folder::DeleteFolder(drive.path("stays"), error, true));
    EXPECT_TRUE(error.isEmpty());
    s.p.removeTree = nullptr;

    // A drive's root and paths that climb out are never removed.
    drive.makeFile("keep/a.txt", 1);
    for (const QString& bad : {drive.path(""), drive.path("\\\\"), QStringLiteral("T:"), drive.path("keep\\.."),
                               drive.path("keep\\."), QStringLiteral("keep")}) {
        EXPECT_FALSE(folder::DeleteFolder(bad, error, true)) << bad.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(platform::current().kind(drive.path("keep\\a.txt")), Kind::File);

    // A link to a folder is not a folder to remove.
    ASSERT_EQ(::symlink(N(drive.native("keep")).constData(), N(drive.native("link")).constData()), 0);
    EXPECT_FALSE(folder::DeleteFolder(drive.path("link"), error, true));
    EXPECT_EQ(platform::current().kind(drive.path("keep\\a.txt")), Kind::File);

    // Without force a read-only file keeps its folder.
    drive.makeFile("ro/sub/r.txt", 1);
    ASSERT_TRUE(QFile::setPermissions(drive.native("ro/sub/r.txt"), QFile::ReadOwner));
    EXPECT_FALSE(folder::DeleteFolder(drive.path("ro"), error, false));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(platform::current().kind(drive.path("ro\\sub\\r.txt")), Kind::File);
    EXPECT_TRUE(folder::DeleteFolder(drive.path("ro"), error, true));
    EXPECT_EQ(platform::current().kind(drive.path("ro")), Kind::Missing);
}
