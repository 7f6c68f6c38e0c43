// What a run must never do: follow a link, write or remove outside the
// selection, take a folder that is not empty, or end silently on a folder it
// cannot read.
#include "RunFixture.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class RunSafetyTest : public RunTest {
  protected:
    void Link(const QString& target, const QString& relative) {
        ASSERT_TRUE(QFile::link(target, drive.native(relative))) << relative.toStdString();
    }
    void Fifo(const QString& relative) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(drive.native(relative)).constData(), 0600), 0);
    }
    // A socket file left behind by a bound socket.
    void Socket(const QString& relative) {
        const QByteArray path = QFile::encodeName(drive.native(relative));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        ASSERT_LT(size_t(path.size()), sizeof(addr.sun_path));
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
        ::close(fd);
    }
    bool Exists(const QString& relative) const {
        struct stat st {};
        return ::lstat(QFile::encodeName(drive.native(relative)).constData(), &st) == 0;
    }
};

} // namespace

TEST_F(RunSafetyTest, LinksSpecialFilesAndAFolderSwappedForALinkAreLeftAlone) {
    drive.makeFile(QStringLiteral("outside/secret.txt"), 7);
    drive.makeFile(QStringLiteral("outside2/c2.txt"), 7);
    drive.makeFile(QStringLiteral("tree/a.txt"), 3);
    drive.makeFile(QStringLiteral("tree/sub/b.txt"), 3);
    drive.makeFile(QStringLiteral("tree/swap/c.txt"), 3);
    Link(drive.native(QStringLiteral("outside/secret.txt")), QStringLiteral("tree/link_file.txt"));
    Link(drive.native(QStringLiteral("outside")), QStringLiteral("tree/link_dir"));
    Fifo(QStringLiteral("tree/fifo"));
    Socket(QStringLiteral("tree/sock"));
    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.*"), true);

    bool swapped = false;
    SetDoEventsHook([&]() {
        if (swapped || !report().IsRunning() || report().lngNumFilesPurged != 1) return;
        swapped = true;
        ASSERT_TRUE(QFile::rename(drive.native(QStringLiteral("tree/swap")), drive.native(QStringLiteral("moved"))));
        Link(drive.native(QStringLiteral("outside2")), QStringLiteral("tree/swap"));
    });
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Purge files"), {}, vbYes);
    ScriptedModal modal;
    modal.then(Confirm({QStringLiteral("chkDeleteEmptyFolders")}));
    Purge();
    SetDoEventsHook(nullptr);
    ASSERT_TRUE(swapped);

    const QString text = report().ReportText();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nT:\\tree\\\r\na.txt (3 bytes) purging purged\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nT:\\tree\\sub\\\r\nb.txt (3 bytes) purging purged\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nFolder T:\\tree\\sub removed.\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("c2.txt")));
    EXPECT_TRUE(text.contains(QStringLiteral("Number of files *.*: 2\r\n")));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("outside/secret.txt"))), QByteArray(7, 'x'));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("outside2/c2.txt"))), QByteArray(7, 'x'));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("moved/c.txt"))), QByteArray(3, 'x'));
    for (const char* kept : {"tree/link_file.txt", "tree/link_dir", "tree/fifo", "tree/sock", "tree/swap", "outside"})
        EXPECT_TRUE(Exists(QString::fromLatin1(kept))) << kept;
    EXPECT_FALSE(Exists(QStringLiteral("tree/a.txt")));
}

TEST_F(RunSafetyTest, AFolderThatCannotBeReadIsNamedAndTheWalkGoesOn) {
    drive.makeFile(QStringLiteral("tree/a.txt"), 3);
    drive.makeFile(QStringLiteral("tree/locked/x.txt"), 3);
    drive.makeFile(QStringLiteral("tree/open/y.txt"), 3);
    os.deniedFolders << drive.path(QStringLiteral("tree\\locked"));
    Select(drive.path(QStringLiteral("tree\\")), QStringLiteral("*.txt"), true);

    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("List and estimate time"), {}, vbYes);
    boxes.expect(QStringLiteral("List folder names?"), {}, vbNo);
    List();
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("T:\\tree\\\r\na.txt (")));
    EXPECT_TRUE(report().ReportText().contains(QStringLiteral("T:\\tree\\locked\\: folder cannot be read, not listed.\r\n"
                                                              "T:\\tree\\open\\\r\ny.txt (")))
        << report().ReportText().toStdString();

    boxes.expect(QStringLiteral("Purge files"), {}, vbYes);
    ScriptedModal modal;
    modal.then(Confirm({QStringLiteral("chkDeleteEmptyFolders")}));
    Purge();
    const QString text = report().ReportText();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nT:\\tree\\locked\\: folder cannot be read, not purged.\r\n"
                                             "\r\nT:\\tree\\open\\\r\ny.txt (3 bytes) purging purged\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Number of files: 2\r\nNumber of files purged: 2\r\n")));
    EXPECT_EQ(ReadNative(drive.native(QStringLiteral("tree/locked/x.txt"))), QByteArray(3, 'x'));
    EXPECT_TRUE(Exists(QStringLiteral("tree/locked")));
    EXPECT_FALSE(Exists(QStringLiteral("tree/open")));
}

TEST_F(RunSafetyTest, AFileOfFiveGibibytesIsListedWithItsRealSize) {
    drive.makeFile(QStringLiteral("huge/small.txt"), 1);
    QFile big(drive.native(QStringLiteral("huge/big.dat")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    if (!big.resize(qint64(5) << 30)) GTEST_SKIP() << "no sparse file of 5 GiB here";
    big.close();
    SetDay(drive.native(QStringLiteral("huge/big.dat")), QDate(2025, 2, 3));
    Select(drive.path(QStringLiteral("huge\\")), QStringLiteral("*.*"), false);
    List();
    const QString text = report().ReportText();
    EXPECT_TRUE(text.contains(QStringLiteral("big.dat (") + FileDate(QDate(2025, 2, 3)) + QStringLiteral(", 5,120.00 Mb)   \r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Sum of file sizes: 5,120.00 Mb\r\n"))) << text.toStdString();
    EXPECT_DOUBLE_EQ(report().dblTotalBytesPurged, double(qint64(5) << 30) + 1);
}

TEST_F(RunSafetyTest, EmptyFolderRemovalTakesOnlyAnEmptyRealFolder) {
    platform::Platform& p = platform::current();
    int error = 0;
    drive.makeFolder(QStringLiteral("empty"));
    EXPECT_TRUE(p.removeEmptyFolder(drive.path(QStringLiteral("EMPTY\\")), error));
    EXPECT_FALSE(Exists(QStringLiteral("empty")));

    drive.makeFile(QStringLiteral("hidden/.h"), 1);
    EXPECT_FALSE(p.removeEmptyFolder(drive.path(QStringLiteral("hidden")), error));
    EXPECT_EQ(error, ENOTEMPTY);
    drive.makeFolder(QStringLiteral("special"));
    Fifo(QStringLiteral("special/fifo"));
    EXPECT_FALSE(p.removeEmptyFolder(drive.path(QStringLiteral("special")), error));
    EXPECT_TRUE(Exists(QStringLiteral("special/fifo")));

    drive.makeFolder(QStringLiteral("target/inner"));
    Link(drive.native(QStringLiteral("target")), QStringLiteral("link"));
    EXPECT_FALSE(p.removeEmptyFolder(drive.path(QStringLiteral("link")), error));
    EXPECT_EQ(error, ELOOP);
    EXPECT_FALSE(p.removeEmptyFolder(drive.path(QStringLiteral("link\\inner")), error));
    EXPECT_TRUE(Exists(QStringLiteral("link")));
    EXPECT_TRUE(Exists(QStringLiteral("target/inner")));

    EXPECT_FALSE(p.removeEmptyFolder(drive.path(), error));
    EXPECT_EQ(error, EPERM);
    EXPECT_FALSE(p.removeEmptyFolder(drive.path(QStringLiteral("missing")), error));
    EXPECT_EQ(error, ENOENT);
}
