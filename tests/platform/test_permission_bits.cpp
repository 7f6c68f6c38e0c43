// The Linux layer against permission bits set with chmod. Root passes every
// permission check, so most of these cases run only as an ordinary user.
#include "platform/PosixPlatform.h"
#include "support/TestSupport.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

using namespace platform;

namespace {

class PermissionBits : public ::testing::Test {
  protected:
    Platform& P = current();
    TempDrive T{QLatin1Char('T')};
    void SetUp() override { ASSERT_TRUE(T.ok()); }
    bool XattrsWork(const QString& path) {
        return P.setAttributes(path, AttrArchive) && P.attributes(path) == AttrArchive &&
               P.setAttributes(path, 0);
    }
    unsigned Mode(const QString& relative) const {
        struct stat st {};
        return ::stat(QFile::encodeName(T.native(relative)).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
    }
};

} // namespace

// The owner may not set a user attribute on a file it cannot write: the
// layer must lift and restore the write bit itself.
TEST_F(PermissionBits, AttributesOfAFileThatStaysReadOnlyChange) {
    const QString f = T.makeFile(QStringLiteral("f.txt"), 1);
    if (!XattrsWork(f)) GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
    ASSERT_TRUE(P.setAttributes(f, AttrReadOnly | AttrHidden | AttrSystem));
    EXPECT_EQ(Mode(QStringLiteral("f.txt")), 0444u);
    EXPECT_TRUE(P.setAttributes(f, AttrReadOnly | AttrSystem));
    EXPECT_EQ(P.attributes(f), AttrReadOnly | AttrSystem);
    EXPECT_EQ(Mode(QStringLiteral("f.txt")), 0444u);
    EXPECT_TRUE(P.setAttributes(f, AttrReadOnly));
    EXPECT_EQ(P.attributes(f), AttrReadOnly);
    EXPECT_TRUE(P.setAttributes(f, AttrNormal));
    EXPECT_EQ(Mode(QStringLiteral("f.txt")), 0644u);
}

TEST_F(PermissionBits, FolderThatMayNotBeReadIsRefusedButStillListedByItsParent) {
    if (IsRoot()) GTEST_SKIP() << "root reads a folder whatever its mode: runs as an ordinary user only";
    T.makeFile(QStringLiteral("locked/a.txt"), 1);
    WithMode none(T.native(QStringLiteral("locked")), 0);
    ASSERT_TRUE(none.ok());
    Listing l;
    int err = 0;
    EXPECT_FALSE(P.listFolder(T.path(QStringLiteral("locked")), l, err));
    EXPECT_EQ(err, EACCES);
    EXPECT_TRUE(l.files.isEmpty() && l.folders.isEmpty());
    ASSERT_TRUE(P.listFolder(T.path(), l, err));
    ASSERT_EQ(l.folders.size(), 1);
    EXPECT_EQ(l.folders[0].name, QStringLiteral("locked"));
    EXPECT_EQ(P.attributes(T.path(QStringLiteral("locked"))), AttrDirectory | AttrReadOnly);
}

TEST_F(PermissionBits, FileThatMayNotBeReadCountsAsInUse) {
    if (IsRoot()) GTEST_SKIP() << "root reads a file whatever its mode: runs as an ordinary user only";
    const QString f = T.makeFile(QStringLiteral("f.txt"), 3);
    EXPECT_FALSE(P.fileInUse(f));
    WithMode none(T.native(QStringLiteral("f.txt")), 0);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(P.fileInUse(f));
    platform::HeldFile held;
    int error = 0;
    ASSERT_TRUE(P.holdFile(f, held, error)) << "held without being read";
    EXPECT_TRUE(P.heldInUse(held));
    EXPECT_EQ(P.openHeld(held), -EACCES);
    P.releaseFile(held);
    EXPECT_EQ(P.fileLength(f), 3) << "its length is known without reading it";
}

TEST_F(PermissionBits, FolderThatMayNotBeWrittenKeepsItsFiles) {
    if (IsRoot()) GTEST_SKIP() << "root writes a folder whatever its mode: runs as an ordinary user only";
    const QString f = T.makeFile(QStringLiteral("shut/a.txt"), 3);
    T.makeFile(QStringLiteral("shut/sub/b.txt"), 3);
    WithMode shut(T.native(QStringLiteral("shut")), 0555);
    ASSERT_TRUE(shut.ok());
    int err = 0;
    EXPECT_FALSE(P.writeTextFile(T.path(QStringLiteral("shut\\new.txt")), "x", err));
    EXPECT_EQ(err, EACCES);
    EXPECT_FALSE(P.createFolder(T.path(QStringLiteral("shut\\new")), err));
    EXPECT_EQ(err, EACCES);
    EXPECT_FALSE(P.deleteFile(f, err));
    EXPECT_EQ(err, EACCES);
    EXPECT_EQ(P.kind(f), Kind::File);
    EXPECT_FALSE(P.removeFolderTree(T.path(QStringLiteral("shut")), err));
    EXPECT_EQ(err, EACCES);
    EXPECT_EQ(P.kind(f), Kind::File);
    EXPECT_EQ(P.kind(T.path(QStringLiteral("shut"))), Kind::Folder);
}
