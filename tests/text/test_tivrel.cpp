// Day numbers of the calendar library against Qt's own calendar arithmetic.
#include <QDate>
#include <gtest/gtest.h>

#include "tivrel.h"

namespace {

tivrel_date fromYmd(int y, int m, int d) {
    tivrel_date r{};
    r.year = y;
    r.month = m;
    r.day = d;
    r.valid = -7; // must be overwritten
    return r;
}

TEST(Tivrel, DayNumbersAgreeWithQDateBothWays) {
    const QDate last(2999, 12, 31);
    int checked = 0;
    for (QDate d(1980, 1, 1); d <= last; d = d.addDays(1), ++checked) {
        tivrel_date r = fromYmd(d.year(), d.month(), d.day());
        const int32_t jdn = euro_date_to_jdn(&r);
        ASSERT_EQ(jdn, d.toJulianDay()) << d.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(r.jdn, jdn);
        ASSERT_NE(r.valid, 0) << d.toString(Qt::ISODate).toStdString();

        tivrel_date back{};
        back.jdn = int32_t(d.toJulianDay());
        jdn_to_euro_date(&back);
        ASSERT_EQ(back.year, d.year()) << back.jdn;
        ASSERT_EQ(back.month, d.month()) << back.jdn;
        ASSERT_EQ(back.day, d.day()) << back.jdn;
        ASSERT_NE(back.valid, 0);
    }
    EXPECT_EQ(checked, 372548);
    tivrel_date y2k = fromYmd(2000, 1, 1);
    EXPECT_EQ(euro_date_to_jdn(&y2k), 2451545);
}

TEST(Tivrel, ValidFlag) {
    struct Case {
        int y, m, d;
        bool valid;
    };
    const Case cases[] = {
        {2024, 4, 31, false}, {2023, 2, 29, false}, {2024, 0, 10, false}, {2024, 5, 0, false},
        {2024, 13, 1, false}, {1900, 2, 29, false}, {2000, 2, 29, true},  {2024, 2, 29, true},
        {2024, 4, 30, true},  {2024, 12, 31, true}, {2024, -1, 1, false}, {2024, 1, 32, false},
    };
    for (const Case& c : cases) {
        tivrel_date r = fromYmd(c.y, c.m, c.d);
        euro_date_to_jdn(&r);
        EXPECT_EQ(r.valid != 0, c.valid) << c.y << "-" << c.m << "-" << c.d;
    }
    EXPECT_EQ(euro_date_to_jdn(nullptr), 0);
    EXPECT_EQ(jdn_to_euro_date(nullptr), 0);
}

} // namespace
