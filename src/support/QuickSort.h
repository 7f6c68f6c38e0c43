#ifndef VELDRANE_SUPPORT_QUICKSORT_H
#define VELDRANE_SUPPORT_QUICKSORT_H
// In-place sorts of string lists over the index range first..last, comparing
// each element from its (1-based) position keyStart on. Not stable: elements
// with equal keys may change places.

#include <QStringList>

namespace QuickSort {

// Ascending, binary (UTF-16 code unit) comparison.
void QuickSortStrings(QStringList& items, int first, int last, int keyStart = 1);

// As QuickSortStrings; caseInsensitive compares the keys after LowerCaseAccented.
void QuickSortKeyed(QStringList& items, int first, int last, bool caseInsensitive, int keyStart = 1);

// QuickSortKeyed, then the range reversed.
void SortDescending(QStringList& items, int first, int last, bool caseInsensitive, int keyStart = 1);

} // namespace QuickSort

#endif
