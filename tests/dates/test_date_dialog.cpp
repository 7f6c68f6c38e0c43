// "Only files before ...": the date input dialog with its checks, what it
// leaves in the main window's state and label, and the restriction applied
// to the files of a drive.
#include "TestSupport.h"

#include "app/frmMain.h"
#include "selection/DatePr2.h"
#include "selection/frmCEDateInput.h"
#include "support/FormUi.h"

#include <QLocale>
#include <QTest>

namespace {

qint32 Jdn(int y, int m, int d) { return static_cast<qint32>(QDate(y, m, d).toJulianDay()); }

const QString kTitle = QStringLiteral("Only files before ...");

QString RestrictionLabel(int y, int m, int d, const char* longDate) {
    return QStringLiteral("Purge only files with dates before ") +
           QLocale::system().toString(QDate(y, m, d), QLocale::ShortFormat) + QStringLiteral(" (") +
           QString::fromLatin1(longDate) + QStringLiteral(")");
}

class DateDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
    }
    void TearDown() override {
        form.reset();
        frmMain::SetEndHandler(nullptr);
    }
    // Presses "Only files before ..." and lets step answer the dialog.
    void OpenDateInput(const std::function<void(frmCEDateInput&)>& step) {
        ScriptedModal modal;
        modal.then([&](QDialog* d) {
            auto* f = qobject_cast<frmCEDateInput*>(d);
            ASSERT_NE(f, nullptr);
            EXPECT_FALSE(form->fraMenu->isEnabled());
            step(*f);
        });
        QTest::mouseClick(form->cmdOnlyBefore, Qt::LeftButton);
        EXPECT_TRUE(modal.allShown());
        EXPECT_TRUE(form->fraMenu->isEnabled());
    }
    static void Enter(frmCEDateInput& f, int month, int day, const QString& year) {
        f.cboMonthNames->setCurrentIndex(month);
        f.cboDayNumbers->setCurrentIndex(day);
        f.txbYear->setText(year);
    }
    std::unique_ptr<frmMain> form;
};

} // namespace

TEST_F(DateDialogTest, AcceptingADateSetsTheRestrictionAndTheLabel) {
    form->lblEstimatedTime->setText(QStringLiteral("About 3 minutes"));
    OpenDateInput([](frmCEDateInput& f) {
        EXPECT_EQ(f.windowTitle(), kTitle);
        EXPECT_EQ(f.lblPrompt->text(),
                  QStringLiteral("Specify date such that ONLY files with dates BEFORE this date will be purged."));
        EXPECT_EQ(f.cmdClear->text(), QStringLiteral("Remove date restriction"));
        EXPECT_EQ(f.intEarliestAcceptableYear, 1980);
        EXPECT_EQ(f.intLatestAcceptableYear, 2999);
        EXPECT_EQ(f.lngBackColor, frmCEDateInput::ColorToLong(TypeOfPurgeBackColor()));
        EXPECT_EQ(f.palette().color(QPalette::Window), TypeOfPurgeBackColor());
        EXPECT_EQ(f.lblPrompt->palette().color(QPalette::WindowText), QColor(Qt::white));
        // Layout: prompt across the whole width; Cancel 250 twips from the
        // right, Accept 250 left of it, the clear button filling the rest.
        EXPECT_EQ(f.width(), tw(7800));
        EXPECT_EQ(f.lblPrompt->width(), f.width());
        EXPECT_EQ(f.width() - f.cmdCancel->geometry().right() - 1, tw(250));
        EXPECT_EQ(f.cmdCancel->x() - f.cmdAccept->geometry().right() - 1, tw(250));
        EXPECT_EQ(f.cmdClear->x(), tw(250));
        EXPECT_EQ(f.cmdAccept->x() - f.cmdClear->geometry().right() - 1, tw(250));
        EXPECT_GE(f.cmdClear->width(), f.cmdClear->sizeHint().width());
        // No restriction yet: 9000000 lies outside 1980-2999, all fields blank.
        EXPECT_EQ(f.lngJDN, 9000000);
        EXPECT_EQ(f.cboMonthNames->currentIndex(), 0);
        EXPECT_EQ(f.cboMonthNames->currentText(), QString());
        EXPECT_EQ(f.cboMonthNames->count(), 13);
        EXPECT_EQ(f.cboDayNumbers->currentIndex(), 0);
        EXPECT_EQ(f.cboDayNumbers->count(), 32);
        EXPECT_EQ(f.cboDayNumbers->itemText(31), QStringLiteral("31"));
        EXPECT_EQ(f.txbYear->text(), QString());

        Enter(f, 3, 15, QStringLiteral("2024"));
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.intReturnValue, 1);
    });
    EXPECT_TRUE(form->blnDateRestriction);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, Jdn(2024, 3, 15));
    EXPECT_EQ(form->lblEstimatedTime->text(), QString());
    EXPECT_EQ(form->lblDateRestriction->text(), RestrictionLabel(2024, 3, 15, "March 15, 2024"));

    // Opened again, the dialog shows the day in force; Cancel changes nothing.
    form->lblEstimatedTime->setText(QStringLiteral("About 3 minutes"));
    OpenDateInput([](frmCEDateInput& f) {
        EXPECT_EQ(f.cboMonthNames->currentText(), QStringLiteral("March"));
        EXPECT_EQ(f.cboDayNumbers->currentText(), QStringLiteral("15"));
        EXPECT_EQ(f.txbYear->text(), QStringLiteral("2024"));
        Enter(f, 1, 1, QStringLiteral("1990"));
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
        EXPECT_EQ(f.intReturnValue, 0);
    });
    EXPECT_TRUE(form->blnDateRestriction);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, Jdn(2024, 3, 15));
    EXPECT_EQ(form->lblEstimatedTime->text(), QStringLiteral("About 3 minutes"));

    // "Remove date restriction" returns to no restriction.
    OpenDateInput([](frmCEDateInput& f) { QTest::mouseClick(f.cmdClear, Qt::LeftButton); });
    EXPECT_FALSE(form->blnDateRestriction);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, 9000000);
    EXPECT_EQ(form->lblEstimatedTime->text(), QString());
    EXPECT_EQ(form->lblDateRestriction->text(), QStringLiteral("No date restriction"));
}

TEST_F(DateDialogTest, EscapeAndTheCloseBoxActAsCancel) {
    form->blnDateRestriction = true;
    form->lngOnlyBeforeThisJDN = Jdn(2000, 2, 29);
    form->ShowDateRestriction();
    EXPECT_EQ(form->lblDateRestriction->text(), RestrictionLabel(2000, 2, 29, "February 29, 2000"));
    OpenDateInput([](frmCEDateInput& f) {
        Enter(f, 5, 5, QStringLiteral("2005"));
        f.close();
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.intReturnValue, 0);
    });
    OpenDateInput([](frmCEDateInput& f) {
        EXPECT_EQ(f.cboMonthNames->currentText(), QStringLiteral("February"));
        EXPECT_EQ(f.cboDayNumbers->currentText(), QStringLiteral("29"));
        QTest::keyClick(&f, Qt::Key_Escape);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.intReturnValue, 0);
    });
    EXPECT_TRUE(form->blnDateRestriction);
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, Jdn(2000, 2, 29));
}

TEST_F(DateDialogTest, TheDialogChecksYearAndDateBeforeAccepting) {
    struct Case {
        int month, day;
        const char* typed;
        const char* kept; // the year box afterwards
        const char* message; // nullptr: accepted, "": nothing happens
        int flags;
        QDate accepted;
    } cases[] = {
        {2, 29, "2000", "2000", nullptr, 0, QDate(2000, 2, 29)},
        {2, 29, "2023", "2023", "Date is invalid", vbInformation, {}},
        {4, 31, "2024", "2024", "Date is invalid", vbInformation, {}},
        {0, 10, "2024", "2024", "Date is invalid", vbInformation, {}},
        {6, 0, "2024", "2024", "Date is invalid", vbInformation, {}},
        {3, 1, "2,024", "2024", nullptr, 0, QDate(2024, 3, 1)},
        {3, 1, "+2024", "2024", nullptr, 0, QDate(2024, 3, 1)},
        {3, 1, " 2024 ", "2024", nullptr, 0, QDate(2024, 3, 1)},
        {1, 1, "1980", "1980", nullptr, 0, QDate(1980, 1, 1)},
        {12, 31, "2999", "2999", nullptr, 0, QDate(2999, 12, 31)},
        {1, 1, "1979", "1979", "Year too early", vbOKOnly, {}},
        {1, 1, "-2024", "2024", nullptr, 0, QDate(2024, 1, 1)}, // the sign is dropped with the rest
        {1, 1, "3000", "3000", "Year too late", vbOKOnly, {}},
        {1, 1, "99999999999999999999", "99999999999999999999", "Year too late", vbOKOnly, {}},
        {1, 1, "", "", "", 0, {}},
        {1, 1, "abc", "", "", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ScriptedMsgBox boxes;
        if (c.message && *c.message) boxes.expect(kTitle, QString::fromLatin1(c.message), vbOK, c.flags);
        form->blnDateRestriction = false;
        form->lngOnlyBeforeThisJDN = 9000000;
        OpenDateInput([&](frmCEDateInput& f) {
            Enter(f, c.month, c.day, QString::fromLatin1(c.typed));
            QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
            EXPECT_EQ(f.txbYear->text().toStdString(), c.kept);
            EXPECT_EQ(f.isVisible(), c.message != nullptr);
            if (f.isVisible()) QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
        });
        EXPECT_TRUE(boxes.allShown());
        EXPECT_EQ(form->blnDateRestriction, c.accepted.isValid());
        EXPECT_EQ(form->lngOnlyBeforeThisJDN, c.accepted.isValid() ? Jdn(c.accepted.year(), c.accepted.month(),
                                                                         c.accepted.day())
                                                                   : 9000000);
    }
}

TEST_F(DateDialogTest, EnterInTheYearBoxAcceptsAndTheListsMoveTheFocus) {
    OpenDateInput([](frmCEDateInput& f) {
        f.activateWindow();
        QApplication::setActiveWindow(&f);
        f.cboMonthNames->setCurrentIndex(7);
        emit f.cboMonthNames->activated(7);
        EXPECT_EQ(f.focusWidget(), f.cmdCancel); // day and year still missing
        f.txbYear->setText(QStringLiteral(" 2010 "));
        f.cboDayNumbers->setCurrentIndex(4);
        emit f.cboDayNumbers->activated(4);
        EXPECT_EQ(f.txbYear->text(), QStringLiteral("2010"));
        EXPECT_EQ(f.focusWidget(), f.cmdAccept);
        QTest::keyClick(f.cmdAccept, Qt::Key_Return);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, Jdn(2010, 7, 4));
    OpenDateInput([](frmCEDateInput& f) {
        f.cboDayNumbers->setCurrentIndex(5);
        f.txbYear->setFocus();
        QTest::keyClick(f.txbYear, Qt::Key_Return);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.intReturnValue, 1);
    });
    EXPECT_EQ(form->lngOnlyBeforeThisJDN, Jdn(2010, 7, 5));
}

TEST_F(DateDialogTest, TheAcceptedDayDecidesWhichFilesOfADriveAreSelected) {
    TempDrive drive;
    ASSERT_TRUE(drive.ok());
    const QString before = drive.makeFile(QStringLiteral("keep\\before.txt"), 4);
    const QString onDay = drive.makeFile(QStringLiteral("keep\\on-day.txt"), 4);
    const auto setWritten = [](const QString& path, const QDateTime& t) {
        platform::FileTimes times;
        times.lastWrite = {t.toSecsSinceEpoch(), 0, true};
        ASSERT_TRUE(platform::current().setFileTimes(path, times));
    };
    setWritten(before, QDateTime(QDate(2021, 6, 30), QTime(23, 59), Qt::LocalTime));
    setWritten(onDay, QDateTime(QDate(2021, 7, 1), QTime(0, 0), Qt::LocalTime));
    OpenDateInput([](frmCEDateInput& f) {
        Enter(f, 7, 1, QStringLiteral("2021"));
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
    });
    EXPECT_TRUE(form->SatisfiesFilespecAndDateRestriction(before, QStringLiteral("*.*"), false));
    EXPECT_FALSE(form->SatisfiesFilespecAndDateRestriction(onDay, QStringLiteral("*.*"), false));
    OpenDateInput([](frmCEDateInput& f) { QTest::mouseClick(f.cmdClear, Qt::LeftButton); });
    EXPECT_TRUE(form->SatisfiesFilespecAndDateRestriction(onDay, QStringLiteral("*.*"), false));
}

TEST_F(DateDialogTest, SingleFileRefusesAFileTheRestrictionExcludes) {
    TempDrive drive;
    ASSERT_TRUE(drive.ok());
    const QString onDay = drive.makeFile(QStringLiteral("docs\\On-Day.txt"), 4);
    const QString before = drive.makeFile(QStringLiteral("docs\\before.txt"), 4);
    platform::FileTimes times;
    times.lastWrite = {QDateTime(QDate(2021, 7, 1), QTime(12, 0), Qt::LocalTime).toSecsSinceEpoch(), 0, true};
    ASSERT_TRUE(platform::current().setFileTimes(onDay, times));
    times.lastWrite = {QDateTime(QDate(2021, 6, 30), QTime(23, 59), Qt::LocalTime).toSecsSinceEpoch(), 0, true};
    ASSERT_TRUE(platform::current().setFileTimes(before, times));
    form->blnDateRestriction = true;
    form->lngOnlyBeforeThisJDN = Jdn(2021, 7, 1);

    ScriptedFileDialogs files;
    files.answer(onDay).answer(before);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Single file"),
                 QStringLiteral("The file ") + onDay + QStringLiteral("\r\nhas a date of ") +
                     QLocale::system().toString(QDate(2021, 7, 1), QLocale::ShortFormat) +
                     QStringLiteral(" (July 1, 2021)\r\nand so is excluded by the current date restriction."),
                 vbOK, vbInformation);
    QTest::mouseClick(form->cmdSingleFile, Qt::LeftButton);
    EXPECT_TRUE(boxes.allShown());
    EXPECT_TRUE(form->strDirPath.isEmpty());
    EXPECT_TRUE(form->strFilespec.isEmpty());

    // The day before passes and becomes the selection.
    form->blnIgnoreMouseUp = false;
    QTest::mouseClick(form->cmdSingleFile, Qt::LeftButton);
    EXPECT_EQ(form->strDirPath, drive.path(QStringLiteral("docs\\")));
    EXPECT_EQ(form->strFilespec, QStringLiteral("before.txt"));
    EXPECT_EQ(form->lblDateRestriction->text(), RestrictionLabel(2021, 7, 1, "July 1, 2021"));
}
