#include "tivrel.h"

#include <cstring>

namespace {

bool isLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int64_t y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Floor division, so the formulas hold for years before 4800 BC as well.
int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

} // namespace

extern "C" {

int32_t euro_date_to_jdn(tivrel_date* d) {
    if (!d) return 0;
    const int64_t y = d->year;
    const int m = d->month;
    d->valid = m >= 1 && m <= 12 && d->day >= 1 && d->day <= daysInMonth(y, m);
    // Fliegel and Van Flandern, with March as the first month of the year.
    const int64_t a = floorDiv(14 - m, 12);
    const int64_t yy = y + 4800 - a;
    const int64_t mm = m + 12 * a - 3;
    const int64_t jdn = d->day + floorDiv(153 * mm + 2, 5) + 365 * yy + floorDiv(yy, 4) - floorDiv(yy, 100) +
                        floorDiv(yy, 400) - 32045;
    d->jdn = static_cast<int32_t>(jdn);
    return d->jdn;
}

int32_t jdn_to_euro_date(tivrel_date* d) {
    if (!d) return 0;
    const int64_t a = static_cast<int64_t>(d->jdn) + 32044;
    const int64_t b = floorDiv(4 * a + 3, 146097);
    const int64_t c = a - floorDiv(146097 * b, 4);
    const int64_t dd = floorDiv(4 * c + 3, 1461);
    const int64_t e = c - floorDiv(1461 * dd, 4);
    const int64_t m = floorDiv(5 * e + 2, 153);
    d->day = static_cast<int32_t>(e - floorDiv(153 * m + 2, 5) + 1);
    d->month = static_cast<int32_t>(m + 3 - 12 * floorDiv(m, 10));
    d->year = static_cast<int32_t>(100 * b + dd - 4800 + floorDiv(m, 10));
    d->valid = 1;
    return d->jdn;
}

int32_t separate_thousands(const char* number, int32_t separator, char* buffer) {
    if (!buffer) return 0;
    buffer[0] = '\0';
    if (!number) return 0;
    const size_t capacity = 19;
    const size_t len = std::strlen(number);
    size_t start = 0;
    while (start < len && (number[start] == ' ' || number[start] == '+' || number[start] == '-')) ++start;
    size_t digitsEnd = start;
    while (digitsEnd < len && number[digitsEnd] >= '0' && number[digitsEnd] <= '9') ++digitsEnd;
    const size_t digits = digitsEnd - start;
    const size_t separators = digits > 0 ? (digits - 1) / 3 : 0;
    if (len + separators > capacity || separator <= 0 || separator > 255) {
        const size_t n = len < capacity ? len : capacity;
        std::memcpy(buffer, number, n);
        buffer[n] = '\0';
        return static_cast<int32_t>(n);
    }
    size_t out = 0;
    for (size_t i = 0; i < start; ++i) buffer[out++] = number[i];
    for (size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0) buffer[out++] = static_cast<char>(separator);
        buffer[out++] = number[start + i];
    }
    for (size_t i = digitsEnd; i < len; ++i) buffer[out++] = number[i];
    buffer[out] = '\0';
    return static_cast<int32_t>(out);
}

} // extern "C"
