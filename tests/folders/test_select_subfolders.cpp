// The subfolder selection dialog: entry lines, rows and scroll bar, ticks
// that may and may not be set, the status label and the results.
#include "FolderStandIn.h"
#include "TestSupport.h"

#include "selection/frmSelectSubfolders.h"
#include "support/ModalUi.h"
#include "support/StrProc.h"

#include <QDir>
#include <QApplication>
#include <QTest>
#include <QWheelEvent>

namespace {

class SelectSubfoldersTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(drive.ok()); }

    // Shows the dialog for T:\top; step sees it after the list was read.
    void Run(const QString& passed, const std::function<void(frmSelectSubfolders&)>& step,
             const QString& top = QStringLiteral("T:\\top")) {
        frmSelectSubfolders& f = frmSelectSubfolders::instance();
        f.strTopFolder = top;
        f.strCaption = QStringLiteral("Select subfolders of ") + top + QStringLiteral(" to be purged.");
        f.strFoldersPassedToSelectFoldersForm = passed;
        f.blnFolderSelectionAccepted = false;
        f.setGeometry(100, 100, 880, 320);
        ScriptedModal modal;
        modal.then([&](QDialog*) {
            f.WaitUntilRead();
            ASSERT_FALSE(f.Reading());
            step(f);
        });
        ShowModal(&f);
    }
    static QStringList Lines(const frmSelectSubfolders& f) {
        QStringList out;
        for (int i = 0; i < f.EntryCount(); ++i) out << f.EntryLine(i);
        return out;
    }
    static int VisibleRows(const frmSelectSubfolders& f) {
        int n = 0;
        for (QCheckBox* b : f.chkSubfolder) n += b->isVisible() ? 1 : 0;
        return n;
    }
    static void Accept(frmSelectSubfolders& f) { QTest::mouseClick(f.cmdAccept, Qt::LeftButton); }

    FolderStandIn os; // before the drive, so the drive is mapped in it
    TempDrive drive{QLatin1Char('T')};
};

} // namespace

TEST_F(SelectSubfoldersTest, EntryLinesSortedWithoutRegardToCase) {
    drive.makeFolder(QStringLiteral("top/empty"));
    drive.makeFile(QStringLiteral("top/Beta/one.txt"), 10);
    drive.makeFile(QStringLiteral("top/alpha/a.txt"), 2048);
    drive.makeFile(QStringLiteral("top/alpha/b.txt"), 1024);
    drive.makeFile(QStringLiteral("top/alpha/sub/c.txt"), 1024);
    drive.makeFolder(QStringLiteral("top/alpha/sub2"));
    drive.makeFolder(QStringLiteral("top/$RECYCLE.BIN/S-1-5"));
    drive.makeFile(QStringLiteral("top/direct.txt"), 5);
    Run({}, [](frmSelectSubfolders& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Select subfolders of T:\\top to be purged."));
        EXPECT_EQ(Lines(f), (QStringList{QStringLiteral("alpha {2 files and 2 subfolders, 4.00 Kb}"),
                                         QStringLiteral("Beta {1 file and no subfolders, 10 bytes}"),
                                         QStringLiteral("empty {no files and no subfolders}")}));
        EXPECT_EQ(VisibleRows(f), 3);
        EXPECT_FALSE(f.vsbScrollBar->isVisible());
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("No subfolders selected."));
        Accept(f);
    });
    frmSelectSubfolders& f = frmSelectSubfolders::instance();
    EXPECT_TRUE(f.blnFolderSelectionAccepted);
    EXPECT_EQ(f.strFoldersReturnedFromSelectFoldersForm, QString());
    EXPECT_FALSE(f.blnOver);
}

TEST_F(SelectSubfoldersTest, RowsAndScrollBarFollowTheNumberOfSubfolders) {
    for (int i = 0; i < 5; ++i) drive.makeFile(QStringLiteral("top/f%1/x.txt").arg(i, 2, 10, QLatin1Char('0')), 1);
    Run({}, [](frmSelectSubfolders& f) {
        EXPECT_EQ(f.EntryCount(), 5);
        EXPECT_EQ(VisibleRows(f), 5);
        EXPECT_FALSE(f.vsbScrollBar->isVisible());
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
    });
    for (int i = 5; i < 12; ++i) drive.makeFile(QStringLiteral("top/f%1/x.txt").arg(i, 2, 10, QLatin1Char('0')), 1);
    Run({}, [](frmSelectSubfolders& f) {
        EXPECT_EQ(f.EntryCount(), 12);
        EXPECT_EQ(VisibleRows(f), 11);
        ASSERT_TRUE(f.vsbScrollBar->isVisible());
        EXPECT_EQ(f.vsbScrollBar->minimum(), 0);
        EXPECT_EQ(f.vsbScrollBar->maximum(), 1);
        EXPECT_EQ(f.vsbScrollBar->value(), 0);
        EXPECT_EQ(f.vsbScrollBar->singleStep(), 1);
        EXPECT_EQ(f.vsbScrollBar->pageStep(), 10);
        EXPECT_TRUE(f.chkSubfolder[0]->text().startsWith(QStringLiteral("f00 {")));
        // Ticks belong to entries, not rows: they move with the scroll bar.
        f.chkSubfolder[0]->setChecked(true);
        f.vsbScrollBar->setValue(1);
        EXPECT_TRUE(f.chkSubfolder[0]->text().startsWith(QStringLiteral("f01 {")));
        EXPECT_FALSE(f.chkSubfolder[0]->isChecked());
        EXPECT_TRUE(f.chkSubfolder[10]->text().startsWith(QStringLiteral("f11 {")));
        f.chkSubfolder[10]->setChecked(true);
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("2 selected (of 12)."));
        f.vsbScrollBar->setValue(0);
        EXPECT_TRUE(f.chkSubfolder[0]->isChecked());
        // The wheel over the rows scrolls them.
        const auto wheel = [&](int delta) {
            QWheelEvent e(QPointF(5, 5), f.chkSubfolder[3]->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(f.chkSubfolder[3], &e);
        };
        wheel(-120);
        EXPECT_EQ(f.vsbScrollBar->value(), 1);
        wheel(120);
        EXPECT_EQ(f.vsbScrollBar->value(), 0);
        // The scroll bar keeps the system's colours on the red surface, so its
        // arrows and slider can be seen.
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Window, QPalette::Button, QPalette::ButtonText})
            EXPECT_EQ(f.vsbScrollBar->palette().color(role), QApplication::palette().color(role)) << int(role);
        EXPECT_NE(f.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
        Accept(f);
    });
    EXPECT_EQ(frmSelectSubfolders::instance().strFoldersReturnedFromSelectFoldersForm,
              QStringLiteral("f00\r\nf11\r\n"));
}

TEST_F(SelectSubfoldersTest, TreeOverTwoHundredFilesIsALowerBound) {
    for (int i = 0; i < 201; ++i) drive.makeFile(QStringLiteral("top/big/inner/%1.dat").arg(i), 1024);
    drive.makeFile(QStringLiteral("top/small/x.dat"), 1024);
    drive.makeFolder(QStringLiteral("top/small/sub"));
    Run({}, [](frmSelectSubfolders& f) {
        EXPECT_EQ(Lines(f), (QStringList{QStringLiteral("big {no files and 1 subfolder, over 200.00 Kb}"),
                                         QStringLiteral("small {1 file and 1 subfolder, 1.00 Kb}")}));
        f.chkSubfolder[1]->setChecked(true);
        EXPECT_FALSE(f.blnOver);
        EXPECT_EQ(f.dblTotalBytesSelected, 1024.0);
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("One subfolder selected."));
        f.chkSubfolder[0]->setChecked(true);
        EXPECT_TRUE(f.blnOver);
        EXPECT_EQ(f.dblTotalBytesSelected, 201.0 * 1024.0);
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("All 2 subfolders selected."));
        Accept(f);
    });
    frmSelectSubfolders& f = frmSelectSubfolders::instance();
    EXPECT_TRUE(f.blnOver);
    EXPECT_TRUE(f.blnSomeSubfolderHasSubfolders);
}

TEST_F(SelectSubfoldersTest, PassedLinesTickTheirEntriesAgain) {
    drive.makeFile(QStringLiteral("top/Keep/a.txt"), 1);
    drive.makeFile(QStringLiteral("top/other/a.txt"), 1);
    drive.makeFile(QStringLiteral("top/third/a.txt"), 1);
    drive.makeFolder(QStringLiteral("top/void"));
    // A full path from the last selection, a bare name in another case with
    // blanks, an empty folder (never ticked), a folder that is gone.
    const QString passed = QStringLiteral("T:\\top\\Keep\r\n  THIRD \r\nT:\\top\\void\r\nT:\\top\\gone");
    Run(passed, [](frmSelectSubfolders& f) {
        ASSERT_EQ(f.EntryCount(), 4);
        EXPECT_TRUE(f.EntryTicked(0));  // Keep
        EXPECT_FALSE(f.EntryTicked(1)); // other
        EXPECT_TRUE(f.EntryTicked(2));  // third
        EXPECT_FALSE(f.EntryTicked(3)); // void
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("2 selected (of 4)."));
        Accept(f);
    });
    EXPECT_EQ(frmSelectSubfolders::instance().strFoldersReturnedFromSelectFoldersForm,
              QStringLiteral("Keep\r\nthird\r\n"));
}

TEST_F(SelectSubfoldersTest, UnreadableAndEmptyFoldersAreNeverTicked) {
    drive.makeFile(QStringLiteral("top/secret/a.txt"), 1);
    drive.makeFile(QStringLiteral("top/open/a.txt"), 1);
    drive.makeFolder(QStringLiteral("top/void"));
    os.deniedFolders << QStringLiteral("T:\\top\\secret");
    Run(QStringLiteral("secret\r\nopen"), [](frmSelectSubfolders& f) {
        EXPECT_EQ(Lines(f), (QStringList{QStringLiteral("open {1 file and no subfolders, 1 bytes}"),
                                         QStringLiteral("secret {permission denied}"),
                                         QStringLiteral("void {no files and no subfolders}")}));
        EXPECT_TRUE(f.EntryTicked(0));
        EXPECT_FALSE(f.EntryTicked(1));
        f.chkSubfolder[1]->setChecked(true); // undone at once
        EXPECT_FALSE(f.chkSubfolder[1]->isChecked());
        f.chkSubfolder[2]->setChecked(true);
        EXPECT_FALSE(f.chkSubfolder[2]->isChecked());
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("One subfolder selected."));
        QTest::mouseClick(f.cmdSelectDeselectAllSubfolders[1], Qt::LeftButton);
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("No subfolders selected."));
        EXPECT_FALSE(f.chkSubfolder[0]->isChecked());
        QTest::mouseClick(f.cmdSelectDeselectAllSubfolders[0], Qt::LeftButton);
        EXPECT_TRUE(f.chkSubfolder[0]->isChecked());
        EXPECT_FALSE(f.chkSubfolder[1]->isChecked());
        EXPECT_FALSE(f.chkSubfolder[2]->isChecked());
        EXPECT_EQ(f.lblNumSubfolders->text(), QStringLiteral("One subfolder selected."));
        Accept(f);
    });
    EXPECT_EQ(frmSelectSubfolders::instance().strFoldersReturnedFromSelectFoldersForm, QStringLiteral("open\r\n"));
}

TEST_F(SelectSubfoldersTest, LongLinesKeepTheirBracePartAndLoseTheEndOfTheName) {
    const QString longName = QString(60, QLatin1Char('n')) + QStringLiteral("TAIL");
    drive.makeFile(QStringLiteral("top/") + longName + QStringLiteral("/a.txt"), 3);
    const QString fits = QString(40, QLatin1Char('m'));
    drive.makeFile(QStringLiteral("top/") + fits + QStringLiteral("/a.txt"), 3);
    Run({}, [&](frmSelectSubfolders& f) {
        const QString t = QStringLiteral("{1 file and no subfolders, 3 bytes}");
        ASSERT_EQ(f.EntryCount(), 2);
        EXPECT_EQ(f.chkSubfolder[0]->text(), fits + QLatin1Char(' ') + t);
        const QString shortened = f.chkSubfolder[1]->text();
        EXPECT_EQ(shortened, (longName + QLatin1Char(' ')).left(84 - int(t.size())) + QStringLiteral(" ... ") + t);
        EXPECT_FALSE(shortened.contains(QStringLiteral("TAIL")));
        f.chkSubfolder[1]->setChecked(true);
        Accept(f);
    });
    // The whole name comes back, not the shortened caption.
    EXPECT_EQ(frmSelectSubfolders::instance().strFoldersReturnedFromSelectFoldersForm, longName + QStringLiteral("\r\n"));

    // A line of exactly 84 characters is shown whole.
    const QString line84 = QString(84 - 8, QLatin1Char('x')) + QStringLiteral(" {a b c}");
    EXPECT_EQ(frmSelectSubfolders::RowCaption(line84, 77), line84);
}

TEST_F(SelectSubfoldersTest, FolderThatVanishesWhileReadIsSkipped) {
    for (const char* name : {"a", "gone", "z"}) drive.makeFile(QStringLiteral("top/%1/x.txt").arg(QLatin1String(name)), 1);
    const QString goneNative = drive.native(QStringLiteral("top/gone"));
    os.beforeList = [goneNative](const QString& folder) {
        if (folder.toUpper().startsWith(QStringLiteral("T:\\TOP\\GONE"))) QDir(goneNative).removeRecursively();
    };
    Run({}, [](frmSelectSubfolders& f) {
        EXPECT_EQ(f.EntryCount(), 2);
        EXPECT_TRUE(f.EntryLine(0).startsWith(QStringLiteral("a {")));
        EXPECT_TRUE(f.EntryLine(1).startsWith(QStringLiteral("z {")));
        QTest::mouseClick(f.cmdCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(frmSelectSubfolders::instance().blnFolderSelectionAccepted);
}

TEST_F(SelectSubfoldersTest, ClosingFromTheFrameAsksForAcceptOrCancel) {
    drive.makeFile(QStringLiteral("top/a/x.txt"), 1);
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Select Folders"),
                 QStringLiteral("Please exit this window only by clicking on 'Accept' or 'Cancel'."), vbOK, vbOKOnly);
    Run(QStringLiteral("a"), [](frmSelectSubfolders& f) {
        EXPECT_TRUE(f.EntryTicked(0));
        f.close();
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_FALSE(frmSelectSubfolders::instance().blnFolderSelectionAccepted);
}

TEST_F(SelectSubfoldersTest, UnreadableTopFolderIsReportedAndTheDialogCloses) {
    drive.makeFolder(QStringLiteral("top/a"));
    os.deniedFolders << QStringLiteral("T:\\top");
    ScriptedMsgBox boxes;
    boxes.expect(QStringLiteral("Select subfolders"), QStringLiteral("Permission denied"), vbOK, vbOKOnly | vbExclamation);
    Run({}, [](frmSelectSubfolders& f) { EXPECT_FALSE(f.isVisible()); });
    EXPECT_FALSE(frmSelectSubfolders::instance().blnFolderSelectionAccepted);
}

TEST_F(SelectSubfoldersTest, CancelWhileReadingStopsTheReading) {
    for (int i = 0; i < 6; ++i) drive.makeFile(QStringLiteral("top/s%1/x.txt").arg(i), 1);
    int listings = 0;
    frmSelectSubfolders& f = frmSelectSubfolders::instance();
    os.beforeList = [&](const QString& folder) {
        if (folder.toUpper().startsWith(QStringLiteral("T:\\TOP\\S1")) && f.isVisible()) f.cmdCancel->click();
        ++listings;
    };
    f.strTopFolder = QStringLiteral("T:\\top");
    f.strFoldersPassedToSelectFoldersForm.clear();
    ScriptedModal modal;
    modal.then([&](QDialog*) { f.WaitUntilRead(); });
    ShowModal(&f);
    EXPECT_FALSE(f.blnFolderSelectionAccepted);
    EXPECT_FALSE(f.Reading());
    EXPECT_LT(listings, 12); // s2 .. s5 were never read
}
