// Durations in words, the estimate block of a listing and the table of
// estimated times; the stored values of the speed test.

#include "TestSupport.h"
#include "app/MainState.h"
#include "platform/PosixPlatform.h"
#include "speed/Registry3.h"
#include "speed/TimeEstimates.h"

#include <QLocale>
#include <QStandardPaths>

namespace {

using namespace TimeEstimates;

TEST(DurationText, LongShortAndRounded) {
    struct Case {
        qint32 seconds;
        bool longForm, round;
        const char* text;
    } cases[] = {
        {0, true, false, "0 seconds"},
        {1, true, false, "1 second"},
        {59, true, false, "59 seconds"},
        {60, true, false, "1 minute"},
        {61, true, false, "1 minute and 1 second"},
        {3600, true, false, "1 hour"},
        {3661, true, false, "1 hour, 1 minute and 1 second"},
        {90061, true, false, "1 day, 1 hour, 1 minute and 1 second"},
        {2 * 86400 + 3 * 3600 + 4 * 60, true, false, "2 days, 3 hours and 4 minutes"},
        {3725, false, false, "1h 2m 5s"},
        {125, false, false, "2m 5s"},
        {5, false, false, "5s"},
        {90061, false, false, "1d 1h 1m 1s"},
        // Rounding drops the seconds and adds a minute below 59.
        {29, true, true, "29 seconds"},
        {30, true, true, "1 minute"},
        {89, true, true, "2 minutes"},
        {120, true, true, "3 minutes"},
        {3599, true, true, "59 minutes"},
        {7260, true, true, "2 hours and 1 minute"}, // an hour or more gains no minute
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DurationText(c.seconds, c.longForm, c.round), QString::fromUtf8(c.text)) << c.seconds;
        EXPECT_EQ(DurationText2(c.seconds, c.longForm, c.round), QString::fromUtf8(c.text)) << c.seconds;
    }
    EXPECT_EQ(MinutesText(0, true), QStringLiteral("0 minutes"));
    EXPECT_EQ(ShortMinutesText(5), QStringLiteral("0h 5m"));
    EXPECT_EQ(ShortMinutesText(1440 + 125), QStringLiteral("1d 2h 5m"));
    EXPECT_EQ(RoundSeconds(2.5), 2);
    EXPECT_EQ(RoundSeconds(3.5), 4);
}

class EstimateTest : public ::testing::Test {
  protected:
    QLocale saved;
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        Main().ClearDriveTables();
    }
    void TearDown() override {
        Main().ClearDriveTables();
        QLocale::setDefault(saved);
    }
};

TEST_F(EstimateTest, UnmeasuredDriveAsksForTheSpeedTest) {
    for (qint64 files : {1, 1000}) {
        const Estimate e = EstimateBlock(QLatin1Char('c'), 5e9, files, QStringLiteral("1"), 2);
        EXPECT_EQ(e.text, QStringLiteral("For an estimate of the purge time test the purge speed for Drive C then relist."));
        EXPECT_TRUE(e.label.isNull());
    }
}

TEST_F(EstimateTest, BlockAndTable) {
    Main().sngDrivePurgeSpeed[2] = 10.0f;
    // 59 s: less than a minute, without the factor.
    Estimate e = EstimateBlock(QLatin1Char('C'), 59.0 / 2 * 10 * 1048576, 1, QStringLiteral("T"), 2);
    EXPECT_EQ(e.text, QStringLiteral("Purge type: T\r\nEstimated purge time: less than a minute.\r\n"));
    EXPECT_EQ(e.label, QStringLiteral("Less than a minute."));
    // 64 s over files of 32 MiB: the factor 0.4585 makes 29 seconds of it.
    e = EstimateBlock(QLatin1Char('C'), 320.0 * 1048576, 10, QStringLiteral("T"), 2);
    EXPECT_EQ(e.label, QStringLiteral("29 seconds"));
    EXPECT_TRUE(e.text.startsWith(QStringLiteral("Purge type: T\r\nEstimated purge time: 29 seconds.\r\n\r\n")));

    // Files averaging 1 MiB: factor 0.917; 600 MiB at 10 MB/s, 2 overwrites.
    e = EstimateBlock(QLatin1Char('C'), 600.0 * 1048576, 600, QStringLiteral("Type 1"), 2);
    EXPECT_EQ(e.label, QStringLiteral("1 minute and 50 seconds"));
    EXPECT_EQ(e.text, QStringLiteral("Purge type: Type 1\r\n"
                                     "Estimated purge time: 1 minute and 50 seconds.\r\n\r\n"
                                     "Estimated purge times for various numbers of overwrites\r\n"
                                     "using a purge speed (as measured) of 10.00 MB/sec.\r\n"
                                     "and an adjustment factor of 0.92:\r\n"
                                     "2 overwrites: 1 minute and 50 seconds\r\n"
                                     "4 overwrites: 3 minutes and 40 seconds\r\n"
                                     "6 overwrites: 6 minutes\r\n"
                                     "8 overwrites: 8 minutes\r\n"
                                     "10 overwrites: 10 minutes\r\n"
                                     "12 overwrites: 12 minutes\r\n"
                                     "14 overwrites: 13 minutes\r\n"
                                     "16 overwrites: 15 minutes\r\n"
                                     "18 overwrites: 17 minutes\r\n"
                                     "20 overwrites: 19 minutes\r\n"
                                     "22 overwrites: 21 minutes\r\n"
                                     "24 overwrites: 23 minutes\r\n"));
    // A floppy drive gets the estimate but no table.
    Main().sngDrivePurgeSpeed[0] = 10.0f;
    e = EstimateBlock(QLatin1Char('A'), 600.0 * 1048576, 600, QStringLiteral("T"), 2);
    EXPECT_FALSE(e.text.contains(QStringLiteral("Estimated purge times")));
}

TEST_F(EstimateTest, TableRowsInWholeHoursAndAllBelowTwentySeconds) {
    Main().sngDrivePurgeSpeed[3] = 1.0f;
    // 2 overwrites of x MB at 1 MB/s with factor 1 give 100000 s.
    const QString table = EstimatedTimes(1.0f, 50000.0 * 1048576, 1.0, QStringLiteral("D"));
    EXPECT_TRUE(table.contains(QStringLiteral("\r\n2 overwrites: 1 day and 4 hours\r\n"))) << table.toStdString();
    const QString small = EstimatedTimes(1.0f, 0.5 * 1048576, 1.0, QStringLiteral("D"));
    EXPECT_EQ(small, QStringLiteral("Estimated purge times for various numbers of overwrites\r\n"
                                    "using a purge speed (as measured) of 1.00 MB/sec.\r\n"
                                    "and an adjustment factor of 1.00:\r\n"
                                    "All less than 20 seconds\r\n"));
}

TEST(Registry3, ValuesKeptPerKeyWithTheirStatus) {
    QStandardPaths::setTestModeEnabled(true);
    platform::PosixPlatform os;
    platform::install(&os);
    const QString key = QStringLiteral("Software\\Quorlane Works\\Veldrane\\Z");
    QString value;
    os.setUserValue(QStringLiteral("Software/Quorlane Works/Veldrane/Z/Speed"), QVariant());
    EXPECT_EQ(Registry3::RegGetStringValue(Registry3::HKEY_CURRENT_USER, key, "Speed", value),
              QStringLiteral("3 Name not found."));
    EXPECT_EQ(Registry3::RegGetStringValue(Registry3::HKEY_CURRENT_USER, QString(), "Speed", value),
              QStringLiteral("1 Key not found or is empty."));
    EXPECT_EQ(Registry3::RegGetStringValue(Registry3::HKEY_CURRENT_USER, key, QString(), value),
              QStringLiteral("2 Name not specified."));
    EXPECT_TRUE(Registry3::RegSetStringValue(Registry3::HKEY_CURRENT_USER, key, "Speed", "23.41796").startsWith('0'));
    EXPECT_EQ(Registry3::RegGetStringValue(Registry3::HKEY_CURRENT_USER, key, "Speed", value), QStringLiteral("0 OK"));
    EXPECT_EQ(value, QStringLiteral("23.41796"));
    EXPECT_EQ(Registry3::RegSetStringValue(Registry3::HKEY_CURRENT_USER, key, "Speed", "1.5"),
              QStringLiteral("0 Key already exists.  The operation completed successfully."));
    os.setUserValue(QStringLiteral("Software/Quorlane Works/Veldrane/Z/Speed"), QVariant());
    platform::install(nullptr);
}

} // namespace
