// Random integers and the pattern blocks of one pass.

#include "purge/FilePurge.h"

#include <gtest/gtest.h>
#include <set>

namespace {

class PatternTest : public ::testing::Test {
  protected:
    void SetUp() override { FilePurge::SeedRandomForTests(4711); }
    void TearDown() override { FilePurge::SeedRandomForTests(-1); }
};

TEST_F(PatternTest, RandomIntegerStaysInRangeAndReachesBothEnds) {
    struct Case {
        qint16 low, high;
        bool evenOnly;
        std::set<int> expected;
    };
    const Case cases[] = {
        {0, 3, false, {0, 1, 2, 3}},
        {5, 5, false, {5}},
        {-3, 2, false, {-3, -2, -1, 0, 1, 2}},
        {0, 6, true, {0, 2, 4, 6}},
        {3, 9, true, {4, 6, 8}},     // 3 is not above low: up to 4; 9 and others down
        {-5, -1, true, {-4, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << (c.evenOnly ? " even" : ""));
        std::set<int> seen;
        for (int i = 0; i < 4000; ++i) seen.insert(FilePurge::RandomInteger(c.low, c.high, c.evenOnly));
        EXPECT_EQ(seen, c.expected);
    }
    std::set<int> bytes;
    for (int i = 0; i < 20000; ++i) bytes.insert(FilePurge::RandomInteger(0, 255, false));
    EXPECT_EQ(bytes.size(), 256u);
    EXPECT_EQ(*bytes.begin(), 0);
    EXPECT_EQ(*bytes.rbegin(), 255);
}

TEST_F(PatternTest, BlocksAreExactAndRandomBlockGrowsFromFreshBytes) {
    const std::pair<qint16, char> constants[] = {
        {FilePurge::PatternZeros, '\x00'}, {FilePurge::Pattern0A, '\x0A'}, {FilePurge::Pattern55, '\x55'},
        {FilePurge::PatternAA, '\xAA'},    {FilePurge::PatternF5, '\xF5'}};
    for (qint32 size : {512, 2048, 4096, 65536}) {
        SCOPED_TRACE(size);
        FilePurge::SeedRandomForTests(size);
        FilePurge::PreparePatternBlocks(size);
        for (const auto& [code, byte] : constants) EXPECT_EQ(FilePurge::PatternBlock(code), QByteArray(size, byte));
        const QByteArray random = FilePurge::PatternBlock(FilePurge::PatternRandom);
        ASSERT_EQ(random.size(), size);
        EXPECT_EQ(FilePurge::PatternBlock(999), random); // any other code writes the random block

        // Replay the draws: 2048 fresh bytes, then stretches of the block
        // itself, each starting and ending inside what is already there.
        FilePurge::SeedRandomForTests(size);
        QByteArray expected;
        for (int i = 0; i < 2048; ++i) expected.append(char(FilePurge::RandomInteger(0, 255, false)));
        while (expected.size() < size) {
            const qsizetype len = expected.size();
            const qint16 h = qint16(std::min<qsizetype>(len % 2 && (len / 2) % 2 ? len / 2 + 1 : len / 2, 32767));
            const int start = FilePurge::RandomInteger(1, h, false);
            const int length = FilePurge::RandomInteger(1, h, false);
            ASSERT_LE(start - 1 + length, len);
            expected.append(expected.mid(start - 1, length));
        }
        EXPECT_EQ(random, expected.left(size));
        EXPECT_GT(std::set<char>(random.begin(), random.begin() + 512).size(), 200u);
    }
}

TEST_F(PatternTest, EachPassGetsAFreshRandomBlock) {
    FilePurge::PreparePatternBlocks(4096);
    const QByteArray first = FilePurge::PatternBlock(FilePurge::PatternRandom);
    FilePurge::PreparePatternBlocks(4096);
    EXPECT_NE(FilePurge::PatternBlock(FilePurge::PatternRandom), first);
}

} // namespace
