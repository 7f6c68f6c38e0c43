// The string sorts: order, key offsets, sub-ranges and descending order.
#include "support/QuickSort.h"
#include "support/StrProc.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace QuickSort;

namespace {

QStringList randomStrings(std::mt19937& rng, int count, const QString& alphabet, int maxLen) {
    std::uniform_int_distribution<int> len(0, maxLen);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    QStringList out;
    for (int i = 0; i < count; ++i) {
        QString s;
        for (int n = len(rng); n > 0; --n)
            s += alphabet.at(pick(rng));
        out.append(s);
    }
    return out;
}

TEST(QuickSort, DescendingCaseInsensitive) {
    QStringList items{"b", "a", "C"};
    SortDescending(items, 0, 2, true);
    EXPECT_EQ(items, (QStringList{"C", "b", "a"}));

    // Binary comparison puts capitals first.
    items = {"b", "a", "C"};
    QuickSortStrings(items, 0, 2);
    EXPECT_EQ(items, (QStringList{"C", "a", "b"}));
    QuickSortKeyed(items, 0, 2, true);
    EXPECT_EQ(items, (QStringList{"a", "b", "C"}));

    items = {QStringLiteral("Été"), QStringLiteral("etz"), QStringLiteral("éta")};
    QuickSortKeyed(items, 0, 2, true);
    EXPECT_EQ(items, (QStringList{QStringLiteral("etz"), QStringLiteral("éta"), QStringLiteral("Été")}));
}

TEST(QuickSort, KeyStartAndSubRange) {
    QStringList items{"3:b", "1:c", "2:a"};
    QuickSortStrings(items, 0, 2, 3);
    EXPECT_EQ(items, (QStringList{"2:a", "3:b", "1:c"}));
    SortDescending(items, 0, 2, false, 3);
    EXPECT_EQ(items, (QStringList{"1:c", "3:b", "2:a"}));

    // Only first..last moves.
    items = {"z", "d", "c", "b", "a", "y"};
    QuickSortStrings(items, 1, 4);
    EXPECT_EQ(items, (QStringList{"z", "a", "b", "c", "d", "y"}));
    SortDescending(items, 1, 4, false);
    EXPECT_EQ(items, (QStringList{"z", "d", "c", "b", "a", "y"}));

    // Empty, single and out-of-range bounds are harmless.
    QStringList empty;
    QuickSortStrings(empty, 0, -1);
    SortDescending(empty, 0, 5, true);
    items = {"b", "a"};
    QuickSortStrings(items, -3, 10);
    EXPECT_EQ(items, (QStringList{"a", "b"}));
}

TEST(QuickSort, RandomArraysEndSorted) {
    std::mt19937 rng(20240611);
    const QString alphabet = QStringLiteral("abcABC.é\u00c9 1");
    for (int round = 0; round < 200; ++round) {
        const int count = round % 50 == 0 ? 2000 : round;
        QStringList items = randomStrings(rng, count, alphabet, round % 3 == 0 ? 2 : 8);

        QStringList plain = items;
        QuickSortStrings(plain, 0, int(plain.size()) - 1);
        QStringList expected = items;
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(plain, expected) << "round " << round;

        // Keyed orders: the keys end up non-decreasing and nothing is lost.
        for (const int keyStart : {1, 3}) {
            QStringList keyed = items;
            QuickSortKeyed(keyed, 0, int(keyed.size()) - 1, true, keyStart);
            for (qsizetype i = 1; i < keyed.size(); ++i) {
                const QString prev = StrProc::LowerCaseAccented(keyed.at(i - 1).mid(keyStart - 1));
                const QString cur = StrProc::LowerCaseAccented(keyed.at(i).mid(keyStart - 1));
                ASSERT_FALSE(cur < prev) << "round " << round << " at " << i;
            }
            QStringList a = keyed, b = items;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            ASSERT_EQ(a, b);
        }

        QStringList down = items;
        SortDescending(down, 0, int(down.size()) - 1, false);
        std::reverse(expected.begin(), expected.end());
        ASSERT_EQ(down, expected) << "round " << round;
    }
}

TEST(QuickSort, ManyEqualKeys) {
    // All-equal and already sorted input must finish without deep recursion.
    QStringList same(100000, QStringLiteral("x"));
    QuickSortStrings(same, 0, int(same.size()) - 1);
    EXPECT_EQ(same.size(), 100000);
    QStringList sorted;
    for (int i = 0; i < 100000; ++i)
        sorted.append(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
    QStringList copy = sorted;
    SortDescending(copy, 0, int(copy.size()) - 1, false);
    std::reverse(copy.begin(), copy.end());
    EXPECT_EQ(copy, sorted);
}

} // namespace
