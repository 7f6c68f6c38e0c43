// Tab follows the reading order of each window from the focus it opens with;
// drop-down lists stay a sensible height.
#include "WindowsFixture.h"

#include "purge/frmTypeOfPurge.h"
#include "selection/frmCEDateInput.h"
#include "selection/frmSelectSubfolders.h"
#include "selection/frmSpecifyFiles.h"
#include "support/WindowRulesUi.h"
#include "support/frmSpecifyDrive2.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace {

// The focus on opening, then where each Tab takes it until it comes back.
QStringList TabCycle(QWidget* window) {
    QStringList seen;
    QWidget* start = window->focusWidget();
    if (!start) return seen;
    seen << start->objectName();
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        QWidget* now = window->focusWidget();
        if (!now || now == start) break;
        seen << now->objectName();
    }
    return seen;
}

// Backtab walks the same cycle the other way.
void ExpectBacktabReverses(QWidget* window, const QStringList& cycle) {
    QStringList back{window->focusWidget()->objectName()};
    for (qsizetype i = 1; i < cycle.size(); ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Backtab);
        back << window->focusWidget()->objectName();
    }
    QStringList expected{cycle.first()};
    for (qsizetype i = cycle.size() - 1; i > 0; --i)
        expected << cycle[i];
    EXPECT_EQ(back, expected);
}

} // namespace

TEST_F(WindowsTest, MainWindowTabsRowByRow) {
    const QStringList cycle = TabCycle(form.get());
    EXPECT_EQ(cycle, (QStringList{"cmdSpecifyDirectory_0", "cmdSpecifyDirectory_1", "cmdSpecifyFiles",
                                  "cmdSingleFile", "cmdSubdirectories", "cmdOnlyBefore", "cmdTypeOfPurge",
                                  "cmdTestPurgeSpeed", "cmdProcessFiles_2", "cmdProcessFiles_1",
                                  "cmdReportScreen", "cmdHelp", "cmdSetup", "cmdQuit"}));
    ExpectBacktabReverses(form.get(), cycle);
}

TEST_F(WindowsTest, DialogsTabInReadingOrder) {
    drive.makeFile(QStringLiteral("data/a.txt"), 3);
    drive.makeFile(QStringLiteral("top/a/x.txt"), 1);
    drive.makeFile(QStringLiteral("top/b/x.txt"), 1);
    form->strDirPath = drive.path(QStringLiteral("data\\"));
    struct Case {
        const char* name;
        std::function<void()> open;
        QStringList cycle;
    };
    const Case cases[] = {
        {"type of purge",
         [&] { form->cmdTypeOfPurge_MouseUp(); },
         {"cmdAccept", "cmdCancel", "optPurgeType_0", "cboNumberOfPasses_0", "optPurgeType_1",
          "optPurgeType_2"}},
        {"date",
         [&] { form->cmdOnlyBefore_MouseUp(); },
         {"cmdCancel", "cboMonthNames", "cboDayNumbers", "txbYear", "cmdClear", "cmdAccept"}},
        {"specify files",
         [&] { form->cmdSpecifyFiles_MouseUp(); },
         {"cmdCancel", "optSingleFile", "File", "optAllFiles", "optExtension", "txbExtension",
          "optMultipleFiles", "txbFilespec"}},
        {"select subfolders",
         [&] {
             form->SelectSubfolders(drive.path(QStringLiteral("top")), QStringLiteral("Select subfolders"));
         },
         {"cmdAccept", "cmdCancel", "chkSubfolder_0", "chkSubfolder_1", "cmdSelectDeselectAllSubfolders_0",
          "cmdSelectDeselectAllSubfolders_1"}},
        {"specify drive",
         [&] { ShowModal(&frmSpecifyDrive2::instance(), form.get()); },
         {"cmdCancel", "cmdAccept", "cboDrives"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedModal modal;
        modal.then([&](QDialog* d) {
            if (auto* s = qobject_cast<frmSelectSubfolders*>(d)) s->WaitUntilRead();
            const QStringList cycle = TabCycle(d);
            EXPECT_EQ(cycle, c.cycle);
            ExpectBacktabReverses(d, cycle);
            Press(d, Qt::Key_Escape);
            EXPECT_FALSE(d->isVisible());
        });
        // The subfolder dialog says the selection was cancelled. (The owner
        // lives until the box has been answered.)
        QWidget* main = form.get();
        if (QString::fromLatin1(c.name) == QLatin1String("select subfolders")) {
            modal.then(Box(&main, QStringLiteral("Selection cancelled."), QMessageBox::Ok));
        }
        c.open();
        EXPECT_TRUE(modal.allShown());
    }
}

TEST_F(WindowsTest, DropDownListsKeepASensibleHeight) {
    frmCEDateInput& f = frmCEDateInput::instance();
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        for (QComboBox* box : d->findChildren<QComboBox*>()) {
            SCOPED_TRACE(box->objectName().toStdString());
            EXPECT_LE(box->maxVisibleItems(), kMaxDropDownRows);
            box->showPopup();
            QWidget* popup = box->view()->window();
            const int rows = popup->height() / qMax(1, box->view()->sizeHintForRow(0));
            EXPECT_LE(rows, kMaxDropDownRows + 1);
            // It drops down from its box rather than covering the dialog.
            EXPECT_GE(popup->y(), box->mapToGlobal(QPoint(0, 0)).y());
            box->hidePopup();
        }
        EXPECT_EQ(f.cboDayNumbers->count(), 32);
        Press(d, Qt::Key_Escape);
    });
    form->cmdOnlyBefore_MouseUp();
    EXPECT_TRUE(modal.allShown());
}
