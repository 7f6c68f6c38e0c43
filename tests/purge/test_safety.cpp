// What the purge of one file must never do: follow a link on any folder of
// its path, remove a file that took its place, leave the end of its real
// allocation unit unwritten, or fill its holes.

#include "PurgeStandIn.h"
#include "TestSupport.h"
#include "app/MainState.h"
#include "purge/FilePurge.h"
#include "selection/Filespec.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace FilePurge;

QByteArray N(const QString& s) { return QFile::encodeName(s); }

class SafetyTest : public ::testing::Test {
  protected:
    PurgeStandIn os;
    QTemporaryDir base;
    TempDrive drive{QLatin1Char('T')};

    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        Main().ClearDriveTables();
        Main().lngDriveClusterSize[size_t('T' - 'A')] = 4096;
        Main().blnPerformingSpeedTest = false;
    }
    void TearDown() override { Main().ClearDriveTables(); }

    qint16 Purge(const QString& path, bool del = true, qint16 passes = 1) {
        qint16 result = 12345;
        VQesPurgeFile(path, 0, passes, del, true, true, result);
        return result;
    }
    // tree/sub renamed away and replaced by a link to outside.
    void SwapSubForLink() {
        ASSERT_EQ(std::rename(N(drive.native("tree/sub")), N(drive.native("tree/sub.moved"))), 0);
        ASSERT_EQ(::symlink("../outside", N(drive.native("tree/sub")).constData()), 0);
    }
};

TEST_F(SafetyTest, AFolderOnThePathSwappedForALinkIsNeverFollowed) {
    drive.makeFile("tree/big.dat", 3 << 20, 'b');
    drive.makeFile("tree/sub/victim.dat", 5000, 's');
    drive.makeFile("outside/victim.dat", QByteArray("not selected"));
    // The swap happens while the first file is overwritten; the second is
    // then asked for by its path, which now runs through the link.
    bool swapped = false;
    os.afterClose = [&](int) {
        if (!swapped) {
            SwapSubForLink();
            swapped = true;
        }
    };
    EXPECT_EQ(Purge(drive.path("tree\\big.dat")), PurgeOk);
    ASSERT_TRUE(swapped);
    os.afterClose = nullptr;
    for (const QString& spelling : {QStringLiteral("tree\\sub\\victim.dat"), QStringLiteral("TREE\\SUB\\Victim.dat")}) {
        const size_t writesBefore = os.writes.size();
        EXPECT_EQ(Purge(drive.path(spelling)), PurgeCannotOpen) << spelling.toStdString();
        EXPECT_EQ(os.writes.size(), writesBefore);
    }
    EXPECT_EQ(ReadNative(drive.native("outside/victim.dat")), QByteArray("not selected"));
    EXPECT_EQ(ReadNative(drive.native("tree/sub.moved/victim.dat")), QByteArray(5000, 's'));
}

TEST_F(SafetyTest, ASwapWhileALargeFileIsCutBackRemovesOnlyTheSelectedFile) {
    drive.makeFile("tree/sub/big.dat", 24 << 20, 'b');
    drive.makeFile("outside/big.dat", QByteArray("not selected"));
    bool swapped = false;
    os.beforeSetLength = [&] {
        if (!swapped) {
            SwapSubForLink();
            swapped = true;
        }
    };
    EXPECT_EQ(Purge(drive.path("tree\\sub\\big.dat")), PurgeOk);
    ASSERT_TRUE(swapped);
    // The held folder is the real one, wherever it went: the selected file
    // is gone whole, the file behind the link untouched.
    EXPECT_FALSE(QFileInfo::exists(drive.native("tree/sub.moved/big.dat")));
    EXPECT_EQ(ReadNative(drive.native("outside/big.dat")), QByteArray("not selected"));
}

TEST_F(SafetyTest, AFileRenamedOverTheSelectedOneBeforeItsRemovalIsKept) {
    const QString f = drive.makeFile("victim.txt", 9000, 'v');
    drive.makeFile("newcomer.txt", QByteArray("never overwritten"));
    os.afterClose = [&](int overwrite) {
        if (overwrite == 2) { // the last overwrite of type 0
            ASSERT_EQ(std::rename(N(drive.native("newcomer.txt")), N(drive.native("victim.txt"))), 0);
        }
    };
    EXPECT_EQ(Purge(f), PurgeCannotOpen);
    EXPECT_EQ(ReadNative(drive.native("victim.txt")), QByteArray("never overwritten"));
    EXPECT_EQ(os.deleteAttempts, 0);
}

TEST_F(SafetyTest, ALinkIsRefusedUnderEverySpelling) {
    drive.makeFile("real.txt", QByteArray("keep me"));
    ASSERT_EQ(::symlink("real.txt", N(drive.native("link.txt")).constData()), 0);
    platform::HeldFile held;
    int error = 0;
    for (const char* spelling : {"link.txt", "LINK.TXT", "Link.Txt"}) {
        const QString path = drive.path(QString::fromLatin1(spelling));
        EXPECT_EQ(os.kind(path), platform::Kind::Link) << spelling;
        EXPECT_EQ(os.fileLength(path), -EINVAL) << spelling;
        EXPECT_FALSE(os.holdFile(path, held, error)) << spelling;
        EXPECT_EQ(error, ELOOP) << spelling;
        EXPECT_EQ(Purge(path), PurgeCannotOpen) << spelling;
    }
    EXPECT_EQ(ReadNative(drive.native("real.txt")), QByteArray("keep me"));
    EXPECT_TRUE(os.writes.empty());
}

TEST_F(SafetyTest, TheOpenForWritingDoesNotFollowALinkToTheHeldFileItself) {
    drive.makeFile("a.txt", QByteArray("data"));
    platform::HeldFile held;
    int error = 0;
    ASSERT_TRUE(os.holdFile(drive.path("a.txt"), held, error));
    // The name now is a link to the very same file, elsewhere: the identity
    // matches, so only the refusal to follow the link stops the open.
    ASSERT_EQ(std::rename(N(drive.native("a.txt")), N(drive.native("moved.txt"))), 0);
    ASSERT_EQ(::symlink("moved.txt", N(drive.native("a.txt")).constData()), 0);
    EXPECT_LT(os.openHeld(held), 0);
    EXPECT_FALSE(os.stillHeld(held));
    EXPECT_FALSE(os.setHeldLength(held, 0));
    EXPECT_FALSE(os.deleteHeld(held, error));
    os.releaseFile(held);
    EXPECT_EQ(ReadNative(drive.native("moved.txt")), QByteArray("data"));
}

TEST_F(SafetyTest, TheOverwriteRunsToTheEndOfTheRealAllocationUnit) {
    struct Case {
        const char* what;
        qint64 ioBlock;     // the file's own I/O block (0: as reported)
        qint64 driveUnit;   // the drive's reported cluster (0: as cached)
        qint64 written;     // per overwrite, for a file of 100 bytes
        qint64 callBlock;   // the block the writes are made of
    } cases[] = {
        {"I/O block above the reported cluster", 16384, 0, 16384, 4096},
        {"a cluster of 128 KiB", 0, 131072, 131072, 65536},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Main().ClearDriveTables();
        if (c.driveUnit) {
            platform::DiskSpace space;
            space.clusterSize = c.driveUnit;
            space.freeClusters = 1000;
            os.diskAnswers[QLatin1Char('T')] = space;
        } else {
            Main().lngDriveClusterSize[size_t('T' - 'A')] = 4096;
        }
        os.fakeIoBlock = c.ioBlock;
        os.period = c.callBlock;
        os.writes.clear();
        os.overwrites = 0;
        const QString f = drive.makeFile("small.bin", 100, 's');
        EXPECT_EQ(Purge(f, false), PurgeOk);
        EXPECT_EQ(os.bytesOf(1), c.written);
        EXPECT_EQ(os.bytesOf(2), c.written);
        for (const auto& w : os.overwrite(1)) EXPECT_TRUE(w.uniform);
        EXPECT_EQ(QFileInfo(drive.native("small.bin")).size(), 100) << "the length is given back";
    }
}

TEST_F(SafetyTest, HolesStayHolesAndTheDiskDoesNotFill) {
    const QString native = drive.native("sparse.vhd");
    const qint64 size = qint64(6) << 30;
    {
        const int fd = ::open(N(native).constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        const QByteArray head(1 << 20, 'd');
        ASSERT_EQ(::pwrite(fd, head.constData(), size_t(head.size()), 0), head.size());
        ASSERT_EQ(::ftruncate(fd, off_t(size)), 0);
        ::close(fd);
    }
    struct stat before {};
    ASSERT_EQ(::stat(N(native).constData(), &before), 0);
    if (qint64(before.st_blocks) * 512 >= size) GTEST_SKIP() << "the temporary folder keeps no holes";
    const QString f = drive.path("sparse.vhd");
    EXPECT_EQ(Purge(f, false), PurgeOk);
    struct stat after {};
    ASSERT_EQ(::stat(N(native).constData(), &after), 0);
    EXPECT_EQ(after.st_size, size);
    // Only the data and the last unit were written: a few MiB at most.
    EXPECT_LE(qint64(after.st_blocks) * 512, qint64(before.st_blocks) * 512 + (qint64(4) << 20));
    QFile file(native);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(1 << 20), QByteArray(1 << 20, '\0')) << "the data was overwritten";
    EXPECT_EQ(Purge(f, true), PurgeOk);
    EXPECT_FALSE(QFileInfo::exists(native));
}

TEST_F(SafetyTest, NamesAWindowsPathCannotHoldAreListedMatchedAndPurged) {
    const QStringList real = {"backup 10:30.log", "what?.txt", "a\\b", "x*y", "say \"hi\" <now> |"};
    drive.makeFolder("odd");
    for (const QString& name : real) {
        QFile file(drive.native("odd") + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'n'));
    }
    platform::Listing listing;
    int error = 0;
    ASSERT_TRUE(os.listFolder(drive.path("odd"), listing, error));
    QStringList shown;
    for (const platform::Entry& e : listing.files) {
        shown << platform::Platform::shownName(e.name);
        EXPECT_TRUE(Filespec::MatchesFilespec(e.name, QStringLiteral("*.*"), false)) << e.name.toStdString();
        EXPECT_FALSE(Filespec::MatchesFilespec(e.name, QStringLiteral("abc.txt"), false));
        EXPECT_EQ(platform::Platform::shownName(e.path), drive.path("odd\\") + platform::Platform::shownName(e.name));
    }
    QStringList expected = real;
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    EXPECT_EQ(shown, expected);
    for (const platform::Entry& e : listing.files) EXPECT_EQ(Purge(e.path), PurgeOk) << e.name.toStdString();
    for (const QString& name : real) EXPECT_FALSE(QFileInfo::exists(drive.native("odd") + QLatin1Char('/') + name));
    // A name that really holds a carrier character keeps its own file.
    for (const auto& [name, content] : {std::pair<QString, QByteArray>{QString(QChar(0xF03A)), "carrier"},
                                        std::pair<QString, QByteArray>{QStringLiteral(":"), "colon"}}) {
        QFile file(drive.native("odd") + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    ASSERT_TRUE(os.listFolder(drive.path("odd"), listing, error));
    ASSERT_EQ(listing.files.size(), 2);
    EXPECT_NE(listing.files[0].path, listing.files[1].path);
    for (const platform::Entry& e : listing.files) {
        QByteArray content;
        ASSERT_TRUE(os.readTextFile(e.path, content, error));
        EXPECT_EQ(content, platform::Platform::shownName(e.name) == ":" ? QByteArray("colon") : QByteArray("carrier"));
    }
}

TEST(MsgBoxSeam, NobodyToAskConsentsToNothing) {
    const MsgBoxHandler previous = SetMsgBoxHandler(nullptr);
    EXPECT_EQ(MsgBox("Purge?", vbYesNo), vbNo);
    EXPECT_EQ(MsgBox("Purge?", vbYesNoCancel), vbCancel);
    EXPECT_EQ(MsgBox("Purge?", vbOKCancel), vbCancel);
    EXPECT_EQ(MsgBox("Again?", vbRetryCancel), vbCancel);
    EXPECT_EQ(MsgBox("Done", vbOKOnly), vbOK);
    SetMsgBoxHandler(previous);
}

} // namespace
