// The Linux platform layer on temporary folders mapped to drive letters.
#include "platform/PosixPlatform.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;

namespace {

// Holds the file and opens it for writing, as the purge does: a handle, or
// the negative error of the first step that refused.
int OpenForOverwrite(platform::Platform& p, const QString& path, const platform::FileId& expected) {
    platform::HeldFile file;
    int error = 0;
    if (!p.holdFile(path, file, error)) return -error;
    int h = -ESTALE;
    if (!expected.valid || (expected.dev == file.id.dev && expected.ino == file.id.ino)) h = p.openHeld(file);
    p.releaseFile(file);
    return h;
}

QByteArray N(const QString& s) { return QFile::encodeName(s); }

bool makeLink(const QString& target, const QString& link) { return ::symlink(N(target), N(link)) == 0; }
bool makeFifo(const QString& path) { return ::mkfifo(N(path), 0644) == 0; }

QStringList names(const QList<Entry>& entries) {
    QStringList out;
    for (const Entry& e : entries) out << e.name;
    return out;
}

// Sets an environment variable for the life of the object.
class EnvVar {
  public:
    EnvVar(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        qputenv(name, value);
    }
    ~EnvVar() {
        if (had_) qputenv(name_, old_);
        else qunsetenv(name_);
    }

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// A tmpfs (or other) mounted on a folder for the life of the object.
class Mount {
  public:
    Mount(const QString& dir, const QString& type, const QString& options, const QString& source = "none")
        : dir_(dir) {
        QDir().mkpath(dir);
        ok_ = QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-t"), type, QStringLiteral("-o"), options, source, dir}) == 0;
    }
    ~Mount() {
        if (ok_) QProcess::execute(QStringLiteral("umount"), {dir_});
    }
    bool ok() const { return ok_; }

  private:
    QString dir_;
    bool ok_ = false;
};

bool onTmpfs(const QString& path) {
    struct statfs sf {};
    return ::statfs(N(path), &sf) == 0 && sf.f_type == 0x01021994;
}

class PlatformTest : public ::testing::Test {
  protected:
    Platform& P = current();
    TempDrive T{QLatin1Char('T')};
    void SetUp() override { ASSERT_TRUE(T.ok()); }
};

} // namespace

// ---- Names -------------------------------------------------------------------

TEST(PlatformNames, BytesRoundTripAndInvalidNamesNeverCollide) {
    const QByteArray cases[] = {
        "plain.txt",
        "Gr\xc3\xbc\xc3\x9f" "e.doc",     // valid two-byte UTF-8
        "\xf0\x9f\x98\x80 smile",         // four bytes: a surrogate pair
        "caf\xe9",                        // Latin-1 byte
        "a\xc3",                          // cut sequence at the end
        "\xed\xa0\x80",                   // encoded surrogate
        "\xc0\xaf",                       // overlong "/"
        "\xf4\x90\x80\x80",               // above U+10FFFF
        "\xff\xfe\x80",
    };
    for (const QByteArray& b : cases) {
        const QString name = Platform::decodeName(b);
        EXPECT_EQ(Platform::encodeName(name), b) << b.toHex().constData();
    }
    EXPECT_EQ(Platform::decodeName("caf\xe9"), QString(QStringLiteral("caf")) + QChar(0xDCE9));
    EXPECT_NE(Platform::decodeName("caf\xe9"), Platform::decodeName("caf\xc3\xa9"));
    EXPECT_EQ(Platform::decodeName("caf\xc3\xa9"), QStringLiteral("café"));
}

TEST_F(PlatformTest, InvalidUtf8NameIsListedAndReachedAsItself) {
    const QByteArray bad = N(T.native()) + "/caf\xe9";
    const QByteArray good = N(T.native()) + "/caf\xc3\xa9";
    struct Unlink { // QTemporaryDir cannot remove a name that is not UTF-8
        QByteArray path;
        ~Unlink() { ::unlink(path.constData()); }
    } cleanup{bad};
    for (const QByteArray& p : {bad, good}) {
        int fd = ::open(p.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, p.constData(), size_t(p.size())), p.size());
        ::close(fd);
    }
    Listing l;
    int err = 0;
    ASSERT_TRUE(P.listFolder(T.path(), l, err));
    ASSERT_EQ(l.files.size(), 2);
    for (const Entry& e : l.files) {
        QByteArray content;
        ASSERT_TRUE(P.readTextFile(e.path, content, err));
        EXPECT_EQ(P.toNative(e.path), content);
    }
}

// ---- Drive map and paths -------------------------------------------------------

TEST_F(PlatformTest, DrivePathResolvesEachComponentWithoutRegardToCase) {
    T.makeFile(QStringLiteral("Docs/Report.DOC"), 1);
    T.makeFile(QStringLiteral("Docs/report.DOC"), 2);
    T.makeFile(QStringLiteral("Docs/Notes.txt"), 3);
    T.makeFolder(QStringLiteral("ÉTÉ/Ÿear"));
    const QString root = T.native();
    const struct {
        QString drivePath;
        QString native;
    } cases[] = {
        {QStringLiteral("T:"), root},
        {QStringLiteral("t:\\"), root},
        {QStringLiteral("T:\\docs\\report.DOC"), root + "/Docs/report.DOC"}, // exact name wins
        {QStringLiteral("T:\\DOCS\\REPORT.doc"), root + "/Docs/Report.DOC"}, // first in byte order
        {QStringLiteral("t:/docs/notes.TXT"), root + "/Docs/Notes.txt"},
        {QStringLiteral("T:\\été\\ÿEAR\\"), root + "/ÉTÉ/Ÿear"},
        {QStringLiteral("T:\\Docs\\New\\file.txt"), root + "/Docs/New/file.txt"}, // kept as written
        {QStringLiteral("T:\\..\\..\\etc\\passwd"), root + "/etc/passwd"},        // never above the root
        {QStringLiteral("T:\\Docs\\.\\x\\..\\Notes.txt"), root + "/Docs/Notes.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(QFile::decodeName(P.toNative(c.drivePath)), c.native) << c.drivePath.toStdString();
    EXPECT_TRUE(P.toNative(QStringLiteral("Q:\\x")).isEmpty()) << "unmapped letter";
    EXPECT_TRUE(P.toNative(QStringLiteral("T:\\a") + QChar(0) + "b").isEmpty()) << "NUL in a name";
    // Escapes that would encode to another, valid name lead nowhere.
    EXPECT_TRUE(P.toNative(QStringLiteral("T:\\") + QChar(0xDCC3) + QChar(0xDCA9)).isEmpty());
    EXPECT_TRUE(P.toNative(QStringLiteral("T:\\") + QChar(0xD800)).isEmpty());
    EXPECT_EQ(P.toNative(QStringLiteral("T:\\caf") + QChar(0xDCE9)), N(root) + "/caf\xe9");
    EXPECT_TRUE(P.toNative(QStringLiteral("Docs")).isEmpty());

    // A listing spells paths as found, so they lead back to the same file.
    Listing l;
    int err = 0;
    ASSERT_TRUE(P.listFolder(QStringLiteral("t:\\DOCS"), l, err));
    ASSERT_EQ(names(l.files), QStringList({"Notes.txt", "Report.DOC", "report.DOC"}));
    EXPECT_EQ(l.files[1].path, QStringLiteral("T:\\Docs\\Report.DOC"));
    EXPECT_EQ(l.files[2].size, 2);

    // File calls reach the same file as the translation, spelled as found or not.
    EXPECT_EQ(P.fileLength(QStringLiteral("T:\\DOCS\\REPORT.doc")), 1);
    EXPECT_EQ(P.fileLength(QStringLiteral("T:\\docs\\report.DOC")), 2);
    EXPECT_EQ(P.kind(QStringLiteral("t:\\docs\\NOTES.txt")), Kind::File);
    EXPECT_TRUE(P.fileId(QStringLiteral("t:\\docs\\NOTES.txt")).valid);
    EXPECT_TRUE(P.flushFile(QStringLiteral("t:\\docs\\NOTES.txt")));
    EXPECT_FALSE(P.flushFile(QStringLiteral("t:\\docs\\gone.txt")));
    EXPECT_EQ(P.fileLength(QStringLiteral("t:\\docs\\gone.txt")), -ENOENT);
    const int h = OpenForOverwrite(P, QStringLiteral("T:\\DOCS\\NOTES.TXT"), {});
    ASSERT_GE(h, 0);
    EXPECT_TRUE(P.closeFile(h));
    int error = 0;
    EXPECT_TRUE(P.deleteFile(QStringLiteral("t:\\docs\\NOTES.txt"), error));
    EXPECT_FALSE(QFileInfo::exists(root + "/Docs/Notes.txt"));
    EXPECT_FALSE(P.deleteFile(QStringLiteral("t:\\docs\\NOTES.txt"), error));
    EXPECT_EQ(error, ENOENT);
}

TEST(PlatformDrives, NativeToDrivePathByLongestRootComponentWise) {
    PosixPlatform p;
    p.mapDrive(QLatin1Char('c'), QStringLiteral("/"));
    p.mapDrive(QLatin1Char('T'), QStringLiteral("/tmp/x/"), QStringLiteral("Temp"));
    p.mapDrive(QLatin1Char('U'), QStringLiteral("/tmp/x/a"));
    const struct {
        QByteArray native;
        QString drive;
    } cases[] = {
        {"/tmp/x", "T:\\"},
        {"/tmp/x/", "T:\\"},
        {"/tmp/x/a", "U:\\"},
        {"/tmp/x/a/b/c.txt", "U:\\b\\c.txt"},
        {"/tmp/x/ab/c", "T:\\ab\\c"}, // "ab" is not inside "a"
        {"/tmp/x//ab/./c/", "T:\\ab\\c"},
        {"/etc/hosts", "C:\\etc\\hosts"},
        {"/", "C:\\"},
        {"relative/x", ""},
        {"/tmp/x/back\\slash", QStringLiteral("T:\\back\uF05Cslash")},
        {"/tmp/x/at 10:30?", QStringLiteral("T:\\at 10\uF03A30\uF03F")},
        {"/tmp/x/caf\xe9", QStringLiteral("T:\\caf") + QChar(0xDCE9)},
    };
    for (const auto& c : cases) EXPECT_EQ(p.toDrivePath(c.native), c.drive) << c.native.constData();
    EXPECT_EQ(p.toDrivePath(QStringLiteral("/tmp/x/a/é")), QStringLiteral("U:\\é"));

    const QList<DriveInfo> d = p.drives();
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(d[1].letter, QLatin1Char('T'));
    EXPECT_EQ(d[1].root, QStringLiteral("/tmp/x"));
    EXPECT_EQ(p.volumeLabel(QLatin1Char('t')), QStringLiteral("Temp"));
    p.unmapDrive(QLatin1Char('t'));
    EXPECT_EQ(p.toDrivePath(QByteArray("/tmp/x/ab")), QStringLiteral("C:\\tmp\\x\\ab"));
    p.clearDriveMap();
    EXPECT_TRUE(p.drives().isEmpty());
    EXPECT_TRUE(p.toDrivePath(QByteArray("/etc")).isEmpty());
}

TEST(PlatformDrives, DriveMapFileReplacesTheMountTable) {
    const QList<DriveInfo> parsed = PosixPlatform::parseDriveMap(
        "# drives\n"
        "[Drives]\n"
        "D = /media/usb ; USB stick\r\n"
        "e:=/srv/data\n"
        "F = relative/path\n"
        "GG = /x\n"
        "= /y\n"
        "H /z\n"
        "1 = /num\n"
        "\xff = /bad\n"
        "A = /floppy//\n"
        "I = /with space/dir ;  \n");
    ASSERT_EQ(parsed.size(), 4);
    const QStringList expected{"D|/media/usb|USB stick", "E|/srv/data|", "A|/floppy|", "I|/with space/dir|"};
    for (int i = 0; i < parsed.size(); ++i)
        EXPECT_EQ(QString(parsed[i].letter) + '|' + parsed[i].root + '|' + parsed[i].label, expected[i]);

    // The real file, in a home of its own so that no other test program sees it.
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EnvVar h("HOME", N(home.path()));
    const QString file = PosixPlatform::driveMapFile();
    ASSERT_TRUE(file.startsWith(home.path())) << file.toStdString();
    QDir().mkpath(QFileInfo(file).path());
    const auto write = [&](const QByteArray& text) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    write("X = /srv ; Data\nnonsense\nB=/mnt\n");
    PosixPlatform p;
    p.loadDefaultDriveMap();
    ASSERT_EQ(p.drives().size(), 2);
    EXPECT_EQ(p.drives()[0].letter, QLatin1Char('B'));
    EXPECT_EQ(p.volumeLabel(QLatin1Char('X')), QStringLiteral("Data"));
    EXPECT_TRUE(p.toNative(QStringLiteral("C:\\")).isEmpty());

    // Without one usable line, and without the file, the mount table rules.
    for (bool keepFile : {true, false}) {
        if (keepFile) write("just text\n");
        else QFile::remove(file);
        p.loadDefaultDriveMap();
        const QList<DriveInfo> d = p.drives();
        ASSERT_FALSE(d.isEmpty());
        EXPECT_EQ(d[0].letter, QLatin1Char('C'));
        EXPECT_EQ(d[0].root, QStringLiteral("/"));
        for (int i = 1; i < d.size(); ++i) {
            EXPECT_EQ(d[i].letter.unicode(), 'C' + i) << "letters follow from D: without gaps";
            EXPECT_NE(d[i].root, QStringLiteral("/proc"));
            EXPECT_NE(d[i].root, QStringLiteral("/sys"));
            EXPECT_NE(d[i].root, QStringLiteral("/dev"));
        }
    }
}

// ---- Listing ---------------------------------------------------------------------

TEST_F(PlatformTest, ListingShowsOnlyRegularFilesAndRealFoldersInStableOrder) {
    T.makeFile(QStringLiteral("b.txt"), 5);
    T.makeFile(QStringLiteral("a.txt"), 3);
    T.makeFile(QStringLiteral("B.txt"), 1);
    T.makeFolder(QStringLiteral("sub"));
    T.makeFolder(QStringLiteral("Zed"));
    ASSERT_TRUE(makeLink(T.native("a.txt"), T.native("link-to-file")));
    ASSERT_TRUE(makeLink(T.native("sub"), T.native("link-to-folder")));
    ASSERT_TRUE(makeLink(T.native("nowhere"), T.native("dangling")));
    ASSERT_TRUE(makeFifo(T.native("fifo")));
    // Only root may make a device node; the FIFO stands for the specials otherwise.
    if (::geteuid() == 0) {
        ASSERT_EQ(::mknod(N(T.native("null")), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    ASSERT_TRUE(QFile(T.native("sub/x")).open(QIODevice::WriteOnly));
    const QByteArray withBackslash = N(T.native()) + "/back\\slash";
    ::close(::open(withBackslash.constData(), O_CREAT | O_WRONLY, 0644));

    Listing first, second;
    int err = -1;
    ASSERT_TRUE(P.listFolder(T.path(), first, err));
    EXPECT_EQ(err, 0);
    // A backslash, which a drive path cannot hold, is carried in the private use area.
    EXPECT_EQ(names(first.files), QStringList({"B.txt", "a.txt", "b.txt", QStringLiteral("back\uF05Cslash")}));
    EXPECT_EQ(names(first.folders), QStringList({"Zed", "sub"}));
    EXPECT_EQ(first.files[2].path, T.path(QStringLiteral("b.txt")));
    EXPECT_EQ(first.files[2].size, 5);
    EXPECT_EQ(first.files[2].lastWrite, QFileInfo(T.native("b.txt")).lastModified());
    EXPECT_EQ(first.folders[1].path, QStringLiteral("T:\\sub"));
    ASSERT_TRUE(P.listFolder(QStringLiteral("T:\\"), second, err));
    EXPECT_EQ(names(second.files), names(first.files));
    EXPECT_EQ(names(second.folders), names(first.folders));

    const struct {
        QString path;
        int error;
    } failures[] = {
        {QStringLiteral("T:\\link-to-folder"), ENOTDIR},
        {QStringLiteral("T:\\missing"), ENOENT},
        {QStringLiteral("T:\\fifo"), ENOTDIR},
        {QStringLiteral("T:\\a.txt"), ENOTDIR},
        {QStringLiteral("Q:\\"), ENOENT},
    };
    for (const auto& f : failures) {
        Listing l;
        l.files << Entry();
        EXPECT_FALSE(P.listFolder(f.path, l, err)) << f.path.toStdString();
        EXPECT_EQ(err, f.error) << f.path.toStdString();
        EXPECT_TRUE(l.files.isEmpty() && l.folders.isEmpty());
    }

    const struct {
        QString path;
        Kind kind;
    } kinds[] = {{"a.txt", Kind::File},  {"sub", Kind::Folder}, {"link-to-folder", Kind::Link},
                 {"fifo", Kind::Other},  {"null", Kind::Other}, {"missing", Kind::Missing}};
    for (const auto& k : kinds) {
        if (k.path == "null" && ::geteuid() != 0) continue; // made only as root
        EXPECT_EQ(P.kind(T.path(k.path)), k.kind) << k.path.toStdString();
    }
}

TEST_F(PlatformTest, VirtualFileSystemsAreNeverEntered) {
    P.mapDrive(QLatin1Char('P'), QStringLiteral("/proc"));
    P.mapDrive(QLatin1Char('R'), QStringLiteral("/"));
    Listing l;
    int err = 0;
    EXPECT_FALSE(P.listFolder(QStringLiteral("P:\\"), l, err));
    EXPECT_EQ(err, EPERM);
    EXPECT_FALSE(P.listFolder(QStringLiteral("P:\\self"), l, err));
    EXPECT_FALSE(P.removeFolderTree(QStringLiteral("P:\\self"), err));
    EXPECT_TRUE(l.files.isEmpty() && l.folders.isEmpty());
    EXPECT_EQ(P.driveKind(QLatin1Char('P')), DriveKind::Unknown);

    ASSERT_TRUE(P.listFolder(QStringLiteral("R:\\"), l, err));
    const QStringList top = names(l.folders);
    EXPECT_TRUE(top.contains(QStringLiteral("usr")));
    EXPECT_FALSE(top.contains(QStringLiteral("proc")));
    EXPECT_FALSE(top.contains(QStringLiteral("sys")));
    P.unmapDrive(QLatin1Char('R'));
    P.unmapDrive(QLatin1Char('P'));
}

// ---- Attributes and times -----------------------------------------------------------

TEST_F(PlatformTest, AttributesLiveInPermissionsAndDosAttrib) {
    const QString f = T.makeFile(QStringLiteral("f.txt"), 4);
    const QString dot = T.makeFile(QStringLiteral(".profile"), 1);
    const QString dir = T.makeFolder(QStringLiteral("dir"));
    ASSERT_TRUE(makeLink(T.native("f.txt"), T.native("link")));
    const QByteArray nf = N(T.native("f.txt"));
    const auto mode = [&] {
        struct stat st {};
        ::lstat(nf.constData(), &st);
        return st.st_mode & 0777;
    };
    EXPECT_EQ(P.attributes(f), AttrNormal);
    EXPECT_EQ(P.attributes(dot), AttrHidden);
    EXPECT_EQ(P.attributes(dir), AttrDirectory);
    EXPECT_EQ(P.attributes(T.path("missing")), -1);

    ::chmod(nf.constData(), 0666);
    ASSERT_TRUE(P.setAttributes(f, AttrReadOnly));
    EXPECT_EQ(mode(), 0444u);
    EXPECT_EQ(P.attributes(f), AttrReadOnly);
    ASSERT_TRUE(P.setAttributes(f, AttrNormal));
    EXPECT_EQ(mode(), 0644u) << "clearing adds the owner's write bit only";

    ASSERT_TRUE(P.setAttributes(f, AttrHidden | AttrSystem | AttrArchive | AttrReadOnly));
    char buf[32] = {};
    ASSERT_GT(::lgetxattr(nf.constData(), "user.DOSATTRIB", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "0x26");
    EXPECT_EQ(P.attributes(f), AttrHidden | AttrSystem | AttrArchive | AttrReadOnly);
    ASSERT_TRUE(P.setAttributes(f, AttrArchive));
    EXPECT_EQ(P.attributes(f), AttrArchive);
    ASSERT_TRUE(P.setAttributes(f, 0));
    EXPECT_LT(::lgetxattr(nf.constData(), "user.DOSATTRIB", buf, sizeof buf), 0);
    EXPECT_EQ(P.attributes(f), AttrNormal);

    ASSERT_EQ(::lsetxattr(nf.constData(), "user.DOSATTRIB", "0x2", 4, 0), 0) << "with its NUL";
    EXPECT_EQ(P.attributes(f), AttrHidden);
    ASSERT_TRUE(P.setAttributes(dir, AttrHidden | AttrDirectory));
    EXPECT_EQ(P.attributes(dir), AttrHidden | AttrDirectory);

    // A link is neither read nor changed, and neither is its target.
    ASSERT_TRUE(P.setAttributes(f, 0));
    EXPECT_EQ(P.attributes(T.path("link")), -1);
    EXPECT_FALSE(P.setAttributes(T.path("link"), AttrReadOnly | AttrHidden));
    EXPECT_EQ(mode(), 0644u);
    EXPECT_EQ(P.attributes(f), AttrNormal);
}

TEST_F(PlatformTest, FileTimesRoundTripWithNanoseconds) {
    const QString f = T.makeFile(QStringLiteral("t.txt"), 1);
    FileTimes set;
    set.lastAccess = {1234567890, 123456789, true};
    set.lastWrite = {1500000000, 987654321, true};
    set.creation = {1, 0, true}; // cannot be set: ignored
    ASSERT_TRUE(P.setFileTimes(f, set));
    FileTimes got;
    ASSERT_TRUE(P.fileTimes(f, got));
    EXPECT_EQ(got.lastAccess.sec, 1234567890);
    EXPECT_EQ(got.lastAccess.nsec, 123456789);
    EXPECT_EQ(got.lastWrite.sec, 1500000000);
    EXPECT_EQ(got.lastWrite.nsec, 987654321);
    if (got.creation.valid) {
        EXPECT_GT(got.creation.sec, 1500000000);
    }
    EXPECT_EQ(P.lastWriteTime(f), QDateTime::fromMSecsSinceEpoch(1500000000987LL, Qt::LocalTime));

    FileTimes onlyWrite;
    onlyWrite.lastWrite = {1600000000, 5, true};
    ASSERT_TRUE(P.setFileTimes(f, onlyWrite));
    ASSERT_TRUE(P.fileTimes(f, got));
    EXPECT_EQ(got.lastAccess.nsec, 123456789) << "an invalid time is left alone";
    EXPECT_EQ(got.lastWrite.nsec, 5);

    ASSERT_TRUE(makeLink(T.native("t.txt"), T.native("link")));
    EXPECT_FALSE(P.setFileTimes(T.path("link"), set));
    EXPECT_FALSE(P.lastWriteTime(T.path("missing")).isValid());
    EXPECT_FALSE(P.fileTimes(T.path("missing"), got));
}

// ---- Raw I/O -------------------------------------------------------------------------

TEST_F(PlatformTest, OverwriteAtOffsetsBeyond4GiBThenSetLength) {
    const QString f = T.makeFile(QStringLiteral("big.bin"), QByteArray("0123456789"));
    const FileId id = P.fileId(f);
    ASSERT_TRUE(id.valid);
    const int h = OpenForOverwrite(P, f, id);
    ASSERT_GE(h, 0) << P.errorText(-h).toStdString();
    EXPECT_EQ(P.writeAt(h, 2, "ab", 2), 2);
    const qint64 far = 5LL * 1024 * 1024 * 1024 + 7;
    const qint64 n = P.writeAt(h, far, "xyz", 3);
    P.writeback(h, 0, far + 3, false);
    P.writeback(h, 0, far + 3, true);
    EXPECT_TRUE(P.closeFile(h));
    EXPECT_FALSE(P.closeFile(h)) << "closed already";
    EXPECT_TRUE(P.flushFile(f));
    if (n == -ENOSPC || n == -EFBIG) GTEST_SKIP() << "no sparse file of 5 GiB here";
    ASSERT_EQ(n, 3);
    EXPECT_EQ(P.fileLength(f), far + 3);
    ASSERT_TRUE(P.setFileLength(f, 10));
    EXPECT_EQ(P.fileLength(f), 10);
    EXPECT_EQ(ReadNative(T.native("big.bin")), QByteArray("01ab456789"));
    EXPECT_FALSE(P.setFileLength(T.path("missing"), 1));
    EXPECT_FALSE(P.flushFile(QStringLiteral("Q:\\nothing")));
}

// Copies of one block laid end to end, both by the system's gathered writes
// and by the plain fallback every platform has, across more pieces than one
// gathered call takes and with a cut last block.
TEST_F(PlatformTest, RepeatedBlocksLandExactlyWhereAsked) {
    QByteArray block(512, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i) block[i] = char(i * 7 + 1);
    const qint64 len = 1500 * 512 + 100;
    QByteArray expected(2, 'a');
    for (qint64 i = 0; i < len; ++i) expected += block.at(int(i % 512));
    for (const bool fallback : {false, true}) {
        const QString f = T.makeFile(QStringLiteral("r.bin"), QByteArray("aaXY"));
        const int h = OpenForOverwrite(P, f, P.fileId(f));
        ASSERT_GE(h, 0);
        const qint64 n = fallback ? P.Platform::writeRepeated(h, 2, block.constData(), block.size(), len)
                                  : P.writeRepeated(h, 2, block.constData(), block.size(), len);
        EXPECT_EQ(n, len) << fallback;
        EXPECT_EQ(P.writeRepeated(h, 0, block.constData(), 0, 10), -EINVAL);
        EXPECT_EQ(P.writeRepeated(-1, 0, block.constData(), 512, 10), -EINVAL);
        EXPECT_TRUE(P.closeFile(h));
        EXPECT_TRUE(ReadNative(T.native("r.bin")) == expected) << fallback;
    }
}

TEST_F(PlatformTest, OpenForOverwriteRefusesAllButTheFileThatWasFound) {
    T.makeFile(QStringLiteral("a.txt"), 3);
    T.makeFile(QStringLiteral("b.txt"), 4);
    T.makeFolder(QStringLiteral("dir"));
    ASSERT_TRUE(makeLink(T.native("a.txt"), T.native("link")));
    ASSERT_TRUE(makeFifo(T.native("fifo"))); // nobody reads it: an open would block
    const FileId idA = P.fileId(T.path("a.txt"));
    const struct {
        QString path;
        qint64 expected;
    } cases[] = {
        {"link", -ELOOP}, {"fifo", -EINVAL}, {"dir", -EINVAL}, {"missing", -ENOENT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenForOverwrite(P, T.path(c.path), FileId()), c.expected) << c.path.toStdString();
        EXPECT_EQ(P.fileLength(T.path(c.path)), c.path == "missing" ? -ENOENT : -EINVAL) << c.path.toStdString();
    }
    ASSERT_EQ(::rename(N(T.native("b.txt")), N(T.native("a.txt"))), 0);
    EXPECT_EQ(OpenForOverwrite(P, T.path("a.txt"), idA), -ESTALE);
    EXPECT_EQ(P.fileLength(T.path("a.txt")), 4);
    EXPECT_EQ(ReadNative(T.native("a.txt")), QByteArray(4, 'x'));
}

TEST_F(PlatformTest, FileInUseWhenUnreadableOrLocked) {
    const QString f = T.makeFile(QStringLiteral("f.txt"), 10);
    ASSERT_TRUE(makeFifo(T.native("fifo")));
    EXPECT_FALSE(P.fileInUse(f));
    EXPECT_TRUE(P.fileInUse(T.path("missing")));
    EXPECT_TRUE(P.fileInUse(T.path("fifo")));

    const int fd = ::open(N(T.native("f.txt")), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lk {};
    lk.l_type = F_WRLCK;
    lk.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_SETLK, &lk), 0);
    EXPECT_TRUE(P.fileInUse(f)) << "record lock";
    ::close(fd); // drops the record lock

    const int fd2 = ::open(N(T.native("f.txt")), O_RDONLY);
    ASSERT_EQ(::flock(fd2, LOCK_SH), 0);
    EXPECT_TRUE(P.fileInUse(f)) << "whole-file lock";
    ::close(fd2);
    EXPECT_FALSE(P.fileInUse(f));
}

// ---- Files and folders ------------------------------------------------------------------

TEST_F(PlatformTest, DeleteAndRemoveTreeNeverFollowLinks) {
    TempDrive outside(QLatin1Char('O'));
    outside.makeFile(QStringLiteral("keep.txt"), 3);
    outside.makeFile(QStringLiteral("dir/keep2.txt"), 3);
    T.makeFile(QStringLiteral("tree/a.txt"), 1);
    T.makeFile(QStringLiteral("tree/sub/deeper/b.txt"), 1);
    ASSERT_TRUE(makeLink(outside.native("keep.txt"), T.native("tree/sub/file-link")));
    ASSERT_TRUE(makeLink(outside.native("dir"), T.native("tree/dir-link")));
    ASSERT_TRUE(makeFifo(T.native("tree/fifo")));
    ASSERT_TRUE(makeLink(outside.native("keep.txt"), T.native("link")));

    int err = 0;
    EXPECT_TRUE(P.deleteFile(T.path("link"), err));
    EXPECT_TRUE(QFileInfo::exists(outside.native("keep.txt")));
    EXPECT_FALSE(P.deleteFile(T.path("tree"), err));
    EXPECT_EQ(err, EISDIR);
    EXPECT_FALSE(P.deleteFile(T.path("missing"), err));
    EXPECT_EQ(err, ENOENT);

    EXPECT_TRUE(P.createFolder(T.path("new"), err));
    EXPECT_EQ(P.kind(T.path("new")), Kind::Folder);
    EXPECT_FALSE(P.createFolder(T.path("new"), err));
    EXPECT_EQ(err, EEXIST);

    ASSERT_TRUE(makeLink(T.native("tree"), T.native("tree-link")));
    EXPECT_FALSE(P.removeFolderTree(T.path("tree-link"), err));
    EXPECT_EQ(err, ENOTDIR);
    EXPECT_TRUE(P.removeFolderTree(T.path("TREE"), err)) << P.errorText(err).toStdString();
    EXPECT_EQ(P.kind(T.path("tree")), Kind::Missing);
    EXPECT_TRUE(QFileInfo::exists(outside.native("keep.txt")));
    EXPECT_TRUE(QFileInfo::exists(outside.native("dir/keep2.txt")));
}

TEST_F(PlatformTest, TextFilesAreRegularFilesOnly) {
    int err = 0;
    const QString f = T.path("note.txt");
    ASSERT_TRUE(P.writeTextFile(f, "first\r\nline", err));
    ASSERT_TRUE(P.writeTextFile(f, "short", err)) << "replaces";
    QByteArray content;
    ASSERT_TRUE(P.readTextFile(f, content, err));
    EXPECT_EQ(content, QByteArray("short"));

    T.makeFile(QStringLiteral("target.txt"), 3);
    ASSERT_TRUE(makeLink(T.native("target.txt"), T.native("link")));
    ASSERT_TRUE(makeFifo(T.native("fifo")));
    T.makeFolder(QStringLiteral("dir"));
    const struct {
        QString name;
        int write, read;
    } refused[] = {{"link", ELOOP, ELOOP}, {"fifo", EINVAL, EINVAL}, {"dir", EISDIR, EISDIR}};
    for (const auto& r : refused) {
        EXPECT_FALSE(P.writeTextFile(T.path(r.name), "x", err)) << r.name.toStdString();
        EXPECT_EQ(err, r.write) << r.name.toStdString();
        EXPECT_FALSE(P.readTextFile(T.path(r.name), content, err)) << r.name.toStdString();
        EXPECT_EQ(err, r.read) << r.name.toStdString();
    }
    EXPECT_EQ(ReadNative(T.native("target.txt")), QByteArray("xxx"));

    ASSERT_EQ(::truncate(N(T.native("note.txt")), 16 * 1024 * 1024 + 1), 0);
    EXPECT_FALSE(P.readTextFile(f, content, err));
    EXPECT_EQ(err, EFBIG);
}

// ---- Drive facts ---------------------------------------------------------------------------

TEST_F(PlatformTest, DriveFactsOfATemporaryDrive) {
    DiskSpace s;
    ASSERT_TRUE(P.diskSpace(QLatin1Char('t'), s));
    EXPECT_GE(s.clusterSize, 512);
    EXPECT_EQ(s.clusterSize & (s.clusterSize - 1), 0) << "a power of two";
    EXPECT_GT(s.totalBytes, 0);
    EXPECT_GE(s.totalBytes, s.freeBytes);
    EXPECT_GE(s.freeBytes, s.freeToCaller);
    EXPECT_DOUBLE_EQ(double(s.freeClusters) * double(s.clusterSize), s.freeToCaller);
    EXPECT_EQ(P.driveKind(QLatin1Char('T')), onTmpfs(T.native()) ? DriveKind::RamDisk : DriveKind::Fixed);
    EXPECT_EQ(P.driveKind(QLatin1Char('Q')), DriveKind::NoRoot);
    EXPECT_FALSE(P.diskSpace(QLatin1Char('Q'), s));
    P.mapDrive(QLatin1Char('Q'), T.native("not-there"));
    EXPECT_EQ(P.driveKind(QLatin1Char('Q')), DriveKind::NoRoot);
    P.unmapDrive(QLatin1Char('Q'));
    P.mapDrive(QLatin1Char('T'), T.native(), QStringLiteral("Scratch"));
    EXPECT_EQ(P.volumeLabel(QLatin1Char('T')), QStringLiteral("Scratch"));
    EXPECT_TRUE(P.volumeLabel(QLatin1Char('Q')).isEmpty());
}

// Read-only media, mount points and a volume's own trash, on tmpfs mounts.
TEST_F(PlatformTest, MountedVolumes) {
    if (!IsRoot()) GTEST_SKIP() << "needs root: mounts tmpfs, ramfs and an image on a loop device";
    if (!CanMount()) GTEST_SKIP() << "cannot mount file systems here";
    {
        Mount ro(T.native("ro"), QStringLiteral("tmpfs"), QStringLiteral("ro,size=64k"));
        ASSERT_TRUE(ro.ok());
        int err = 0;
        EXPECT_FALSE(P.writeTextFile(T.path("ro\\x.txt"), "x", err));
        EXPECT_EQ(err, EROFS);
        EXPECT_EQ(P.errorText(err), QStringLiteral("Read-only file system"));
        P.mapDrive(QLatin1Char('M'), T.native("ro"));
        EXPECT_EQ(P.driveKind(QLatin1Char('M')), DriveKind::RamDisk);
        P.unmapDrive(QLatin1Char('M'));
    }
    {
        // A mount inside a tree is listed (tmpfs is real storage) but never
        // crossed when the tree is removed.
        Mount inner(T.native("tree/mnt"), QStringLiteral("tmpfs"), QStringLiteral("size=64k"));
        ASSERT_TRUE(inner.ok());
        T.makeFile(QStringLiteral("tree/mnt/keep.txt"), 2);
        T.makeFile(QStringLiteral("tree/a.txt"), 2);
        Listing l;
        int err = 0;
        ASSERT_TRUE(P.listFolder(T.path("tree"), l, err));
        EXPECT_EQ(names(l.folders), QStringList({"mnt"}));
        EXPECT_FALSE(P.removeFolderTree(T.path("tree"), err));
        EXPECT_EQ(err, EBUSY);
        EXPECT_TRUE(QFileInfo::exists(T.native("tree/mnt/keep.txt")));
        EXPECT_FALSE(QFileInfo::exists(T.native("tree/a.txt")));
    }
    {
        // Where a file system keeps no extended attributes (ramfs), hidden
        // cannot be set and reads as unset.
        Mount ram(T.native("ram"), QStringLiteral("ramfs"), QStringLiteral("mode=755"));
        ASSERT_TRUE(ram.ok());
        const QString f = T.makeFile(QStringLiteral("ram/f.txt"), 1);
        const bool xattrs = ::lsetxattr(N(T.native("ram/f.txt")), "user.probe", "1", 1, 0) == 0;
        EXPECT_EQ(P.setAttributes(f, AttrHidden), xattrs);
        EXPECT_TRUE(P.setAttributes(f, AttrReadOnly));
        EXPECT_EQ(P.attributes(f), xattrs ? AttrReadOnly | AttrHidden : AttrReadOnly);
        EXPECT_TRUE(P.setAttributes(f, AttrNormal));
    }
    {
        Mount vol(T.native("vol"), QStringLiteral("tmpfs"), QStringLiteral("size=64k"));
        ASSERT_TRUE(vol.ok());
        EnvVar xdg("XDG_DATA_HOME", N(T.native("elsewhere")));
        P.mapDrive(QLatin1Char('M'), T.native("vol"));
        EXPECT_TRUE(P.recycleBinFolder(QLatin1Char('M')).isEmpty());
        const QString trash = QStringLiteral(".Trash-") + QString::number(::getuid());
        T.makeFolder("vol/" + trash + "/files");
        EXPECT_EQ(P.recycleBinFolder(QLatin1Char('M')), "M:\\" + trash + "\\");
        EXPECT_TRUE(P.isInRecycleBin("M:\\" + trash + "\\files\\a.txt"));
        EXPECT_FALSE(P.isInRecycleBin(QStringLiteral("M:\\files")));
        P.unmapDrive(QLatin1Char('M'));
    }
    {
        // A block-device volume gets a letter of its own; a tmpfs does not.
        Mount tmp(T.native("tmp"), QStringLiteral("tmpfs"), QStringLiteral("size=64k"));
        const QString image = T.native("disk.img");
        T.makeFile(QStringLiteral("disk.img"), 0);
        ASSERT_EQ(::truncate(N(image), 8 << 20), 0);
        if (QProcess::execute(QStringLiteral("mkfs.ext4"), {QStringLiteral("-q"), QStringLiteral("-F"), image}) != 0)
            GTEST_SKIP() << "no mkfs.ext4";
        Mount disk(T.native("disk"), QStringLiteral("ext4"), QStringLiteral("loop"), image);
        if (!disk.ok()) GTEST_SKIP() << "no loop device";
        QTemporaryDir home; // keeps a drives.ini of the user out of the way
        EnvVar h("HOME", N(home.path()));
        PosixPlatform p;
        p.loadDefaultDriveMap();
        QChar letter;
        for (const DriveInfo& d : p.drives()) {
            if (d.root == T.native("disk")) letter = d.letter;
            EXPECT_NE(d.root, T.native("tmp"));
        }
        ASSERT_GE(letter, QLatin1Char('D'));
        EXPECT_EQ(p.driveKind(letter), DriveKind::Fixed);
        EXPECT_EQ(p.toDrivePath(T.native("disk/x")), QString(letter) + QStringLiteral(":\\x"));
    }
}

// ---- Recycle Bin ------------------------------------------------------------------------------

TEST_F(PlatformTest, RecycleBinFolderOfADrive) {
    EnvVar xdg("XDG_DATA_HOME", N(T.native("nowhere")));
    EXPECT_TRUE(P.recycleBinFolder(QLatin1Char('T')).isEmpty());
    EXPECT_TRUE(P.recycleBinFolder(QLatin1Char('Q')).isEmpty());
    T.makeFile(QStringLiteral("$Recycle.Bin/S-1-5-21/$R1.txt"), 3);
    EXPECT_EQ(P.recycleBinFolder(QLatin1Char('t')), QStringLiteral("T:\\$Recycle.Bin\\"));
    const struct {
        QString path;
        bool inBin;
    } cases[] = {
        {"T:\\$Recycle.Bin\\S-1-5-21\\$R1.txt", true},
        {"t:\\$recycle.bin", true},
        {"T:\\Recycle.Bin", false},
        {"T:\\folder\\file.txt", false},
    };
    for (const auto& c : cases) EXPECT_EQ(P.isInRecycleBin(c.path), c.inBin) << c.path.toStdString();
}

TEST_F(PlatformTest, HomeTrashIsTheBinOfTheHomeVolume) {
    T.makeFile(QStringLiteral("home/.local/share/Trash/files/old.txt"), 3);
    T.makeFile(QStringLiteral("home/.local/share/Trash/info/old.txt.trashinfo"), 3);
    EnvVar home("HOME", N(T.native("home")));
    {
        EnvVar noXdg("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(P.recycleBinFolder(QLatin1Char('T')), QStringLiteral("T:\\home\\.local\\share\\Trash\\"));
        EXPECT_TRUE(P.isInRecycleBin(QStringLiteral("t:\\HOME\\.local\\share\\Trash\\files\\old.txt")));
        EXPECT_TRUE(P.isInRecycleBin(QStringLiteral("T:\\home\\.local\\share\\Trash")));
        EXPECT_FALSE(P.isInRecycleBin(QStringLiteral("T:\\home\\.local\\share\\Trashy")));
        EXPECT_FALSE(P.isInRecycleBin(QStringLiteral("T:\\home\\notes.txt")));
    }
    T.makeFolder(QStringLiteral("data/Trash"));
    EnvVar xdg("XDG_DATA_HOME", N(T.native("data")));
    EXPECT_EQ(P.recycleBinFolder(QLatin1Char('T')), QStringLiteral("T:\\data\\Trash\\"));
    EXPECT_TRUE(P.isInRecycleBin(QStringLiteral("T:\\data\\Trash\\files")));
    EXPECT_FALSE(P.isInRecycleBin(QStringLiteral("T:\\home\\.local\\share\\Trash\\files")));
}

// ---- Per-user values, folders, clock -------------------------------------------------------------

TEST_F(PlatformTest, UserValuesAndFolders) {
    EXPECT_TRUE(QSettings(QStringLiteral("Quorlane Works"), QStringLiteral("Veldrane"))
                    .fileName()
                    .contains(QStringLiteral(".qttest")))
        << "test mode keeps the real settings untouched";
    P.setUserValue(QStringLiteral("Speed/T"), 12.5);
    EXPECT_DOUBLE_EQ(P.userValue(QStringLiteral("Speed/T")).toDouble(), 12.5);
    EXPECT_EQ(P.userValue(QStringLiteral("Speed/none"), 7).toInt(), 7);
    P.setUserValue(QStringLiteral("Speed/T"), QVariant());

    const QString data = P.appDataFolder();
    ASSERT_TRUE(data.endsWith(QLatin1Char('\\'))) << data.toStdString();
    EXPECT_EQ(QFile::decodeName(P.toNative(data)),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));

    const QString app = QCoreApplication::applicationDirPath();
    const QString prog = P.programFolder();
    if (QFileInfo::exists(app + "/vq.dat")) {
        EXPECT_EQ(prog, app);
    }
    EXPECT_TRUE(QFileInfo(prog).isDir());
}

TEST(PlatformClock, ClockCanBeSetBySubclass) {
    struct FixedClock : PosixPlatform {
        QDateTime now() const override { return QDateTime(QDate(2024, 3, 1), QTime(10, 0, 30, 500)); }
    } p;
    EXPECT_DOUBLE_EQ(p.secondsSinceMidnight(), 36030.5);
    PosixPlatform real;
    const double s = real.secondsSinceMidnight();
    EXPECT_TRUE(s >= 0 && s < 86400);
    EXPECT_LE(qAbs(real.now().secsTo(QDateTime::currentDateTime())), 2);
}

TEST(PlatformErrors, SystemWording) {
    PosixPlatform p;
    EXPECT_EQ(p.errorText(EACCES), QStringLiteral("Permission denied"));
    EXPECT_EQ(p.errorText(EROFS), QStringLiteral("Read-only file system"));
    EXPECT_EQ(p.errorText(-ENOSPC), QStringLiteral("No space left on device"));
}
