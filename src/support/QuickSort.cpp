#include "support/QuickSort.h"

#include <utility>
#include <vector>

#include "support/StrProc.h"

namespace QuickSort {

namespace {

struct Range {
    QStringList& items;
    std::vector<QString> keys; // keys[i - base] belongs to items[i]
    int base;

    const QString& key(int i) const { return keys[std::size_t(i - base)]; }
    void swap(int a, int b) {
        items.swapItemsAt(a, b);
        std::swap(keys[std::size_t(a - base)], keys[std::size_t(b - base)]);
    }
};

void sortRange(Range& r, int first, int last) {
    // Recurse into the smaller part and loop on the larger, so a bad pivot
    // sequence cannot exhaust the stack; the parts are disjoint, so the
    // result is the same as sorting both recursively.
    while (first < last) {
        const QString pivot = r.key(first + (last - first) / 2);
        int i = first;
        int j = last;
        while (i <= j) {
            while (i < last && r.key(i) < pivot)
                ++i;
            while (j > first && pivot < r.key(j))
                --j;
            if (i <= j) {
                if (i < j) r.swap(i, j);
                ++i;
                --j;
            }
        }
        if (j - first < last - i) {
            sortRange(r, first, j);
            first = i;
        } else {
            sortRange(r, i, last);
            last = j;
        }
    }
}

bool clampRange(const QStringList& items, int& first, int& last) {
    if (first < 0) first = 0;
    if (last > int(items.size()) - 1) last = int(items.size()) - 1;
    return first < last;
}

} // namespace

void QuickSortKeyed(QStringList& items, int first, int last, bool caseInsensitive, int keyStart) {
    if (!clampRange(items, first, last)) return;
    const qsizetype from = keyStart < 1 ? 0 : keyStart - 1;
    Range r{items, {}, first};
    r.keys.reserve(std::size_t(last - first + 1));
    for (int i = first; i <= last; ++i) {
        const QString k = items.at(i).mid(from);
        r.keys.push_back(caseInsensitive ? StrProc::LowerCaseAccented(k) : k);
    }
    sortRange(r, first, last);
}

void QuickSortStrings(QStringList& items, int first, int last, int keyStart) {
    QuickSortKeyed(items, first, last, false, keyStart);
}

void SortDescending(QStringList& items, int first, int last, bool caseInsensitive, int keyStart) {
    QuickSortKeyed(items, first, last, caseInsensitive, keyStart);
    if (!clampRange(items, first, last)) return;
    for (int i = first, j = last; i < j; ++i, --j)
        items.swapItemsAt(i, j);
}

} // namespace QuickSort
