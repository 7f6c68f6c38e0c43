// File day numbers, the filter that applies the date restriction, the texts
// of a day, and the single-file check with its two messages.
#include "TestSupport.h"

#include "app/MainState.h"
#include "selection/DatePr2.h"
#include "selection/Selection.h"

#include <QDateTime>
#include <QLocale>
#include <cstdlib>
#include <ctime>

namespace {

// Sets a file's last-write time to a local date and time.
void SetWritten(const QString& path, const QDateTime& local) {
    platform::FileTimes t;
    t.lastWrite.sec = local.toSecsSinceEpoch();
    t.lastWrite.valid = true;
    ASSERT_TRUE(platform::current().setFileTimes(path, t)) << path.toStdString();
}

QDateTime Local(int y, int m, int d, int hh, int mm, int ss) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::LocalTime);
}

qint32 Jdn(int y, int m, int d) { return static_cast<qint32>(QDate(y, m, d).toJulianDay()); }

// The date restriction of the plain state record, put back afterwards.
class DateRestrictionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        saved = {Main().blnDateRestriction, Main().lngOnlyBeforeThisJDN};
    }
    void TearDown() override {
        Main().blnDateRestriction = saved.first;
        Main().lngOnlyBeforeThisJDN = saved.second;
    }
    void Restrict(qint32 jdn) {
        Main().blnDateRestriction = true;
        Main().lngOnlyBeforeThisJDN = jdn;
    }
    TempDrive drive;
    std::pair<bool, qint32> saved;
};

} // namespace

TEST_F(DateRestrictionTest, FileDayNumbersAgreeWithTheCalendar) {
    const QString file = drive.makeFile(QStringLiteral("a.txt"), 10);
    const QDateTime times[] = {
        Local(1980, 1, 1, 0, 0, 0),   Local(1999, 12, 31, 23, 59, 59), Local(2000, 1, 1, 0, 0, 0),
        Local(2000, 2, 29, 12, 0, 0), Local(2024, 3, 15, 23, 59, 59),  Local(2024, 10, 27, 2, 30, 0),
        // Many file systems store times only up to 2038 or 2446.
        Local(2100, 3, 1, 0, 0, 1),   Local(2400, 2, 29, 23, 59, 59),
    };
    for (const QDateTime& t : times) {
        SetWritten(file, t);
        if (platform::current().lastWriteTime(file) != t) {
            ADD_FAILURE() << "the file system did not keep " << t.toString().toStdString();
            continue;
        }
        int error = -1;
        EXPECT_EQ(DatePr2::GetFileJDN(file, error), t.date().toJulianDay()) << t.toString().toStdString();
        EXPECT_EQ(error, 0);
    }
    EXPECT_EQ(Jdn(2000, 1, 1), 2451545); // the day numbers are the astronomers'
}

TEST_F(DateRestrictionTest, TheFileDayIsTheLocalDayNotTheUtcOne) {
    // Far east of UTC, morning local time is still the previous day in UTC.
    struct ZoneOverride {
        QByteArray old = qgetenv("TZ");
        bool had = qEnvironmentVariableIsSet("TZ");
        ZoneOverride() {
            qputenv("TZ", "XYZ-14");
            ::tzset();
        }
        ~ZoneOverride() {
            if (had)
                qputenv("TZ", old);
            else
                qunsetenv("TZ");
            ::tzset();
        }
    } zone;
    const QDateTime morning = Local(2024, 3, 15, 9, 0, 0);
    if (morning.toUTC().date() == morning.date()) GTEST_SKIP() << "the local time zone could not be moved";
    const QString file = drive.makeFile(QStringLiteral("east.txt"), 1);
    SetWritten(file, morning);
    int error = 0;
    EXPECT_EQ(DatePr2::GetFileJDN(file, error), Jdn(2024, 3, 15));
}

TEST_F(DateRestrictionTest, FilterExcludesTheRestrictionDayAtAnyTime) {
    struct Case {
        const char* name;
        QDateTime written;
        bool selected;
    } cases[] = {
        {"day-before-late.txt", Local(2024, 3, 14, 23, 59, 0), true},
        {"day-before-last-second.txt", Local(2024, 3, 14, 23, 59, 59), true},
        {"long-ago.txt", Local(1985, 6, 1, 12, 0, 0), true},
        {"day-start.txt", Local(2024, 3, 15, 0, 0, 0), false},
        {"day-end.txt", Local(2024, 3, 15, 23, 59, 59), false},
        {"later.txt", Local(2025, 1, 1, 8, 0, 0), false},
    };
    for (const Case& c : cases) SetWritten(drive.makeFile(QString::fromLatin1(c.name), 3), c.written);

    Restrict(Jdn(2024, 3, 15));
    for (const Case& c : cases) {
        const QString path = drive.path(QString::fromLatin1(c.name));
        EXPECT_EQ(Selection::SatisfiesFilespecAndDateRestriction(path, QStringLiteral("*.txt"), false), c.selected)
            << c.name;
        // The specification is still applied first.
        EXPECT_FALSE(Selection::SatisfiesFilespecAndDateRestriction(path, QStringLiteral("*.doc"), false)) << c.name;
    }
    // Names are compared in lower case, whatever case the path has.
    EXPECT_TRUE(Selection::SatisfiesFilespecAndDateRestriction(drive.path(QStringLiteral("LONG-AGO.TXT")),
                                                               QStringLiteral("long-ago.txt"), false));

    // Without the restriction only the specification counts, whatever day is stored.
    Main().blnDateRestriction = false;
    for (const Case& c : cases)
        EXPECT_TRUE(Selection::SatisfiesFilespecAndDateRestriction(drive.path(QString::fromLatin1(c.name)),
                                                                   QStringLiteral("*.*"), false))
            << c.name;
}

TEST_F(DateRestrictionTest, AFileWhoseDateCannotBeReadIsNeverSelected) {
    const QString file = drive.makeFile(QStringLiteral("gone.txt"), 5);
    SetWritten(file, Local(1990, 1, 1, 12, 0, 0));
    Restrict(Jdn(2024, 3, 15));
    ASSERT_TRUE(Selection::SatisfiesFilespecAndDateRestriction(file, QStringLiteral("*.*"), false));
    ASSERT_TRUE(QFile::remove(drive.native(QStringLiteral("gone.txt"))));

    int error = 0;
    EXPECT_EQ(DatePr2::GetFileJDN(file, error), -1);
    EXPECT_NE(error, 0);
    EXPECT_FALSE(Selection::SatisfiesFilespecAndDateRestriction(file, QStringLiteral("*.*"), false));
    // Even with a restriction day no file could reach.
    Restrict(DatePr2::kNoRestrictionJDN);
    EXPECT_FALSE(Selection::SatisfiesFilespecAndDateRestriction(file, QStringLiteral("*.*"), false));
    // A drive that is not mapped at all.
    error = 0;
    EXPECT_EQ(DatePr2::GetFileJDN(QStringLiteral("Q:\\nowhere\\x.txt"), error), -1);
    EXPECT_NE(error, 0);
}

TEST(DateTexts, FormatJDNWritesMonthDayAndYear) {
    struct Case {
        QDate date;
        bool shortNames;
        const char* text;
    } cases[] = {
        {QDate(2024, 1, 1), false, "January 1, 2024"},
        {QDate(2000, 2, 29), false, "February 29, 2000"},
        {QDate(1980, 12, 31), false, "December 31, 1980"},
        {QDate(2999, 9, 30), false, "September 30, 2999"},
        {QDate(2024, 5, 7), true, "May 7, 2024"},
        {QDate(2024, 11, 17), true, "Nov 17, 2024"},
        // Beyond four digits the year is grouped.
        {QDate(12345, 6, 1), false, "June 1, 12,345"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DatePr2::FormatJDN(static_cast<qint32>(c.date.toJulianDay()), c.shortNames, 0).toStdString(),
                  c.text);
    const QStringList months = DatePr2::MonthNames();
    ASSERT_EQ(months.size(), 12);
    EXPECT_EQ(months.first(), QStringLiteral("January"));
    EXPECT_EQ(months.last(), QStringLiteral("December"));
    EXPECT_EQ(DatePr2::MonthName(0), QString());
    EXPECT_EQ(DatePr2::MonthName(13), QString());
    // The short date follows the user's regional settings.
    EXPECT_EQ(DatePr2::ShortDateText(Jdn(2024, 3, 15)),
              QLocale::system().toString(QDate(2024, 3, 15), QLocale::ShortFormat));
}

TEST_F(DateRestrictionTest, CheckFileDateRefusesExcludedAndUndatableFiles) {
    const QString oldFile = drive.makeFile(QStringLiteral("old.txt"), 1);
    const QString newFile = drive.makeFile(QStringLiteral("new.txt"), 1);
    SetWritten(oldFile, Local(2024, 3, 14, 23, 59, 0));
    SetWritten(newFile, Local(2024, 3, 15, 0, 0, 0));
    const QString missing = drive.path(QStringLiteral("missing.txt"));
    const QString title = QStringLiteral("Single file");

    // Without a restriction nothing is checked, not even a missing file.
    Main().blnDateRestriction = false;
    bool excluded = true;
    DatePr2::CheckFileDate(missing, title, excluded);
    EXPECT_FALSE(excluded);

    Restrict(Jdn(2024, 3, 15));
    excluded = true;
    DatePr2::CheckFileDate(oldFile, title, excluded);
    EXPECT_FALSE(excluded);

    ScriptedMsgBox boxes;
    boxes.expect(title,
                 QStringLiteral("The file ") + newFile + QStringLiteral("\r\nhas a date of ") +
                     QLocale::system().toString(QDate(2024, 3, 15), QLocale::ShortFormat) +
                     QStringLiteral(" (March 15, 2024)\r\nand so is excluded by the current date restriction."),
                 vbOK, vbInformation);
    DatePr2::CheckFileDate(newFile, title, excluded);
    EXPECT_TRUE(excluded);

    boxes.expect(title, missing + QStringLiteral("\r\nError, perhaps invalid file name."), vbOK, vbExclamation);
    excluded = false;
    DatePr2::CheckFileDate(missing, title, excluded);
    EXPECT_TRUE(excluded);
    EXPECT_TRUE(boxes.allShown());
}
