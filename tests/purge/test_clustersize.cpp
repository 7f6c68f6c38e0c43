// The cluster size per drive: the query, its cache and its fallbacks.

#include "PurgeStandIn.h"
#include "TestSupport.h"
#include "app/MainState.h"
#include "purge/ClusterSize.h"
#include "support/DiskProc.h"

namespace {

platform::DiskSpace Space(qint64 cluster, qint64 freeClusters = 100) {
    platform::DiskSpace s;
    s.clusterSize = cluster;
    s.freeClusters = freeClusters;
    s.freeBytes = double(cluster) * double(freeClusters);
    return s;
}

class ClusterSizeTest : public ::testing::Test {
  protected:
    PurgeStandIn os;
    void SetUp() override {
        Main().ClearDriveTables();
        Main().strDriveRoot.clear();
    }
    void TearDown() override { Main().ClearDriveTables(); }
};

TEST_F(ClusterSizeTest, QueriesOnceAndFallsBack) {
    struct Case {
        char letter;
        qint64 reported; // < 0: the query fails
        qint32 expected;
    };
    const Case cases[] = {
        {'A', -1, 512},        // a floppy that cannot be read
        {'B', -1, 512},
        {'C', -1, 4096},       // a failing hard drive
        {'D', 131072, 65536},  // 128 KiB clusters
        {'E', 512, 512},
        {'F', 65536, 65536},
        {'G', 256, 4096},      // implausible: as if the drive could not be asked
        {'H', 8192, 8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        const QChar letter = QLatin1Char(c.letter);
        if (c.reported < 0) os.diskFails[letter] = true;
        else os.diskAnswers[letter] = Space(c.reported);
        const int before = os.diskQueries;
        EXPECT_EQ(GetClusterSize(QString(letter)), c.expected);
        EXPECT_EQ(Main().strDriveRoot, QString(letter) + QStringLiteral(":\\"));
        EXPECT_EQ(Main().lngDriveClusterSize[size_t(c.letter - 'A')], c.expected);
        // A second lookup is answered from the cache.
        EXPECT_EQ(GetClusterSize(QString(letter).toLower()), c.expected);
        EXPECT_EQ(os.diskQueries, before + 1);
    }
}

TEST_F(ClusterSizeTest, FreeSpaceComesWithTheQuery) {
    os.diskAnswers[QLatin1Char('K')] = Space(4096, 3 * 262144 + 5); // over 3 GB free
    double space = 0;
    EXPECT_EQ(GetClusterSize(QStringLiteral("K"), &space), 4096);
    EXPECT_DOUBLE_EQ(space, 4096.0 * (3 * 262144 + 5));
    os.diskFails[QLatin1Char('L')] = true;
    EXPECT_EQ(GetClusterSize(QStringLiteral("L"), &space), 4096);
    EXPECT_EQ(space, -1);
}

TEST_F(ClusterSizeTest, LettersOutsideTheTableAreNeverLookedUp) {
    for (const QString& s : {QStringLiteral("1"), QStringLiteral("["), QStringLiteral("@"), QString(),
                             QStringLiteral("\u00c4")}) {
        EXPECT_EQ(GetClusterSize(s), 4096);
    }
    EXPECT_EQ(os.diskQueries, 0);
    for (qint32 v : Main().lngDriveClusterSize) EXPECT_EQ(v, 0);
    EXPECT_TRUE(Main().strDriveRoot.isEmpty());
}

TEST_F(ClusterSizeTest, DriveQueryAcceptsOnly512To65536) {
    struct Case {
        qint64 reported; // < 0: the query fails
        qint32 expected;
    };
    for (const Case& c : {Case{512, 512}, Case{65536, 65536}, Case{4096, 4096}, Case{256, -2}, Case{131072, -2},
                          Case{-1, -1}}) {
        SCOPED_TRACE(c.reported);
        os.diskFails.clear();
        os.diskAnswers.clear();
        if (c.reported < 0) os.diskFails[QLatin1Char('M')] = true;
        else os.diskAnswers[QLatin1Char('M')] = Space(c.reported, 1000);
        double freeBytes = 0;
        EXPECT_EQ(DiskProc::GetClusterSizeAndFreeBytes(QStringLiteral("M:\\"), &freeBytes), c.expected);
        EXPECT_EQ(freeBytes, c.expected > 0 ? 1000.0 * c.reported : -1.0);
    }
}

TEST_F(ClusterSizeTest, RealDriveReportsItsBlockSize) {
    TempDrive drive(QLatin1Char('R'));
    ASSERT_TRUE(drive.ok());
    double freeBytes = 0;
    const qint32 size = DiskProc::GetClusterSizeAndFreeBytes(QStringLiteral("R:\\"), &freeBytes);
    ASSERT_GE(size, 512);
    EXPECT_LE(size, 65536);
    EXPECT_GT(freeBytes, 0);
    EXPECT_EQ(GetClusterSize(QStringLiteral("R")), size);
}

} // namespace
