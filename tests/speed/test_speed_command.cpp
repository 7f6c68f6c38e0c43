// "Test purge speed" from the main window, on temporary drives, with a
// scripted clock and a fixed drive size.

#include "TestSupport.h"
#include "app/frmMain.h"
#include "platform/PosixPlatform.h"
#include "purge/FilePurge.h"
#include "purge/frmTypeOfPurge.h"
#include "speed/FillDisk.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <deque>

namespace {

class SpeedStandIn : public platform::PosixPlatform {
  public:
    std::deque<double> times; // seconds since midnight, one a call
    double totalBytes = 1e9;
    SpeedStandIn() { platform::install(this); }
    ~SpeedStandIn() override { platform::install(nullptr); }
    double secondsSinceMidnight() const override {
        auto* self = const_cast<SpeedStandIn*>(this);
        if (self->times.empty()) return 100;
        const double t = self->times.front();
        self->times.pop_front();
        return t;
    }
    void sleepMs(int) override {}
    bool diskSpace(QChar letter, platform::DiskSpace& space) const override {
        if (!PosixPlatform::diskSpace(letter, space)) return false;
        space.totalBytes = totalBytes;
        return true;
    }
};

const QString kTitle = QStringLiteral("Test purge speed");
const QString kKey = QStringLiteral("Software/Quorlane Works/Veldrane/");

class SpeedCommandTest : public ::testing::Test {
  protected:
    SpeedStandIn os;
    std::unique_ptr<TempDrive> drive;
    std::unique_ptr<frmMain> form;

    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        os.clearDriveMap();
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
        os.clearDriveMap(); // start-up maps the machine's drives
        form->blnAntiMalwareWarning = false;
        frmTypeOfPurge::instance().SetPurgeType(0, 1);
        FilePurge::SeedRandomForTests(7);
    }
    void TearDown() override {
        for (QChar l : {QLatin1Char('T'), QLatin1Char('A')}) os.setUserValue(kKey + l + "/Speed", QVariant());
        form.reset();
        frmMain::SetEndHandler(nullptr);
        FilePurge::SeedRandomForTests(-1);
        QLocale::setDefault(QLocale::system());
    }
    void MapOnly(QChar letter) {
        drive = std::make_unique<TempDrive>(letter);
        ASSERT_TRUE(drive->ok());
    }
    static QString Question(const QString& drive) {
        return QStringLiteral("This writes test files to Drive ") + drive +
               " and then purges them to test the purge speed so as to get an approximate estimate of purge time "
               "required for other files.\r\n\r\nDo you wish to proceed with this test?";
    }
};

TEST_F(SpeedCommandTest, AStoredSpeedIsOfferedOnlyBetweenZeroAndAHundred) {
    MapOnly(QLatin1Char('T'));
    os.setUserValue(kKey + "T/Speed", "99.9");
    {
        ScriptedMsgBox boxes;
        boxes.expect(kTitle, Question("T:"), vbYes, vbYesNo | vbQuestion)
            .expect(kTitle,
                    "A previous test has found this drive to have\r\na purge speed of 99.90 MB/sec. (1 overwrite).\r\n"
                    "Do you wish to accept this value?\r\nIf not, click on 'No' to perform the test again.",
                    vbYes, vbYesNoCancel | vbQuestion);
        form->cmdTestPurgeSpeed_MouseUp();
        EXPECT_TRUE(boxes.allShown());
    }
    EXPECT_EQ(form->lblPurgeSpeed->text(), QStringLiteral("99.90 MB/sec. (1 overwrite) for Drive T."));
    EXPECT_FLOAT_EQ(form->sngDrivePurgeSpeed[19], 99.9f);
    EXPECT_EQ(os.userValue(kKey + "T/Speed").toString(), QStringLiteral("99.9")) << "nothing written";
    EXPECT_TRUE(QDir(drive->native()).isEmpty());

    // Values never offered: the test runs (three times) and its speed is kept.
    for (const char* stored : {"0", "-1", "100", "not a number"}) {
        SCOPED_TRACE(stored);
        os.setUserValue(kKey + "T/Speed", stored);
        form->sngDrivePurgeSpeed.fill(0);
        form->intNumSpeedRuns.fill(0);
        os.times = {100.0, 101.0, 200.0, 201.0, 300.0, 301.0}; // a second a run
        ScriptedMsgBox boxes;
        boxes.expect(kTitle, Question("T:"), vbYes).expect(kTitle, QString(), vbOK, vbOKOnly | vbInformation);
        form->cmdTestPurgeSpeed_MouseUp();
        EXPECT_TRUE(boxes.allShown());
        EXPECT_EQ(form->intNumSpeedRuns[19], 3);
        const float speed = form->sngDrivePurgeSpeed[19];
        // Five dummy files of 50 to 128 KiB, two overwrites, one second.
        EXPECT_GT(speed, 5 * 51200.0 / 1048576 * 2 * 0.99);
        EXPECT_LT(speed, 5 * 131072.0 / 1048576 * 2 * 1.01);
        EXPECT_EQ(form->lblPurgeSpeed->text(),
                  QLocale().toString(double(speed), 'f', 2) + QStringLiteral(" MB/sec. (1 overwrite) for Drive T."));
        EXPECT_NEAR(os.userValue(kKey + "T/Speed").toString().toDouble(), speed, 1e-4);
        EXPECT_TRUE(QDir(drive->native()).isEmpty()) << "no dummy folder left";
        const QString result = boxes.seen().back().prompt;
        EXPECT_TRUE(result.startsWith(QStringLiteral("The purge speed is approximately ") +
                                      QLocale().toString(double(speed), 'f', 2) +
                                      " MB/sec. for a single overwrite.\r\n\r\nIt thus requires, using the type of "
                                      "purge currently specified (1 pass = 2 overwrites), approximately "))
            << result.toStdString();
        EXPECT_TRUE(result.endsWith(" to purge 100 GB.\r\n\r\nTo decrease the time required change the type of purge "
                                    "so as to decrease the number of overwrites."));
    }
}

TEST_F(SpeedCommandTest, AFloppyDriveAcrossMidnight) {
    MapOnly(QLatin1Char('A'));
    os.times = {86399.5, 0.5, 86399.5, 0.5, 86399.5, 0.5}; // one second each, across midnight
    ScriptedMsgBox boxes;
    boxes.expect(kTitle, Question("A:"), vbYes).expect(kTitle, QString(), vbOK, vbOKOnly | vbInformation);
    form->cmdTestPurgeSpeed_MouseUp();
    ASSERT_TRUE(boxes.allShown());
    EXPECT_EQ(FillDisk::Dummy().intDummyFileCount, 1);
    const float speed = form->sngDrivePurgeSpeed[0];
    EXPECT_GT(speed, 0.0f);
    EXPECT_LT(speed, 131072.0f / 1048576 * 2 * 1.01f);
    EXPECT_EQ(form->lblPurgeSpeed->text(),
              QLocale().toString(double(speed), 'f', 3) + QStringLiteral(" MB/sec. (1 overwrite) for Drive A."));
    const QString result = boxes.seen().back().prompt;
    EXPECT_TRUE(result.endsWith(" to purge a full floppy disk.")) << result.toStdString();
    EXPECT_FALSE(result.contains(QStringLiteral("To decrease")));
}

TEST_F(SpeedCommandTest, NoQuestionAnsweredYesRunsNothing) {
    MapOnly(QLatin1Char('T'));
    ScriptedMsgBox boxes;
    boxes.expect(kTitle, Question("T:"), vbNo);
    form->cmdTestPurgeSpeed_MouseUp();
    EXPECT_TRUE(boxes.allShown());
    EXPECT_EQ(form->intNumSpeedRuns[19], 0);
    EXPECT_TRUE(QDir(drive->native()).isEmpty());
}

} // namespace
