// Every dialog and message box is owned by the window that opened it, modal,
// and centred on it when the caller did not place it; boxes opened by a
// dialog belong to the dialog, not to the main window.
#include "WindowsFixture.h"

#include "purge/frmTypeOfPurge.h"
#include "selection/frmCEDateInput.h"
#include "selection/frmSelectSubfolders.h"
#include "selection/frmSpecifyFiles.h"
#include "support/Language.h"
#include "support/frmSpecifyDrive2.h"

TEST_F(WindowsTest, TypeOfPurgeAndItsConfirmation) {
    QWidget* dialog = &frmTypeOfPurge::instance();
    const int typeBefore = frmTypeOfPurge::instance().GetPurgeType();
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        ASSERT_EQ(d, dialog);
        ExpectOwnedBy(d, form.get());
        EXPECT_EQ(d->focusWidget(), frmTypeOfPurge::instance().cmdAccept);
        frmTypeOfPurge::instance().optPurgeType[2]->setChecked(true);
        // Enter on the focused Accept asks; No leaves the dialog open.
        Press(d, Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        // Escape cancels: the type of the opening comes back.
        Press(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
    });
    modal.then(Box(
        &dialog,
        QStringLiteral("In the type of purge specified each file will be overwritten 12 times.\nIs this OK?"),
        QMessageBox::No));
    form->cmdTypeOfPurge->setFocus();
    // Enter on the main window's focused button opens the dialog.
    Press(form.get(), Qt::Key_Return);
    EXPECT_TRUE(modal.allShown());
    EXPECT_EQ(frmTypeOfPurge::instance().GetPurgeType(), typeBefore);
    // Owned only while shown: it outlives any main window.
    EXPECT_EQ(dialog->parentWidget(), nullptr);
}

TEST_F(WindowsTest, DateDialogAndItsYearMessages) {
    QWidget* dialog = &frmCEDateInput::instance();
    frmCEDateInput& f = frmCEDateInput::instance();
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        ExpectOwnedBy(d, form.get());
        EXPECT_EQ(d->focusWidget(), f.cmdCancel);
        f.cboMonthNames->setCurrentIndex(1);
        f.cboDayNumbers->setCurrentIndex(1);
        f.txbYear->setText(QStringLiteral("1979"));
        f.cmdAccept->setFocus();
        Press(d, Qt::Key_Enter, Qt::KeypadModifier);
        f.txbYear->setText(QStringLiteral("3000"));
        // Enter in the year box acts as Accept.
        QTest::keyClick(f.txbYear, Qt::Key_Return);
        Press(d, Qt::Key_Escape);
    });
    modal.then(Box(&dialog, QStringLiteral("Year too early"), QMessageBox::Ok));
    modal.then(Box(&dialog, QStringLiteral("Year too late"), QMessageBox::Ok));
    form->cmdOnlyBefore_MouseUp();
    EXPECT_TRUE(modal.allShown());
    EXPECT_EQ(f.intReturnValue, 0);
    EXPECT_FALSE(form->blnDateRestriction);
}

TEST_F(WindowsTest, SpecifyFilesAndItsExtensionError) {
    drive.makeFile(QStringLiteral("data/a.txt"), 3);
    form->strDirPath = drive.path(QStringLiteral("data\\"));
    QWidget* dialog = &frmSpecifyFiles::instance();
    frmSpecifyFiles& f = frmSpecifyFiles::instance();
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        ExpectOwnedBy(d, form.get());
        EXPECT_EQ(d->focusWidget(), f.cmdCancel);
        f.optExtension->setChecked(true);
        f.txbExtension->setText(QStringLiteral("a.b"));
        f.cmdAccept->setFocus();
        Press(d, Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        Press(d, Qt::Key_Escape);
    });
    modal.then(Box(&dialog, QStringLiteral("Extension must not contain \".\"."), QMessageBox::Ok));
    form->cmdSpecifyFiles_MouseUp();
    EXPECT_TRUE(modal.allShown());
    EXPECT_FALSE(f.blnAccept);
}

TEST_F(WindowsTest, SelectSubfoldersAndItsCloseQuestion) {
    drive.makeFile(QStringLiteral("top/a/x.txt"), 1);
    drive.makeFile(QStringLiteral("top/b/y.txt"), 1);
    QWidget* dialog = &frmSelectSubfolders::instance();
    QWidget* main = form.get();
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        ExpectOwnedBy(d, form.get());
        frmSelectSubfolders::instance().WaitUntilRead();
        d->close();
    });
    modal.then(Box(&dialog,
                   QStringLiteral("Please exit this window only by clicking on 'Accept' or 'Cancel'."),
                   QMessageBox::Ok));
    // Once the dialog has gone, the main window owns the next box.
    modal.then(Box(&main, QStringLiteral("Selection cancelled."), QMessageBox::Ok));
    form->SelectSubfolders(drive.path(QStringLiteral("top")), QStringLiteral("Select subfolders of T:\\top"));
    EXPECT_TRUE(modal.allShown());
}

TEST_F(WindowsTest, DialogShownWithoutAnOwnerBelongsToTheWindowInFront) {
    frmSpecifyDrive2& f = frmSpecifyDrive2::instance();
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        ExpectOwnedBy(d, form.get());
        // Not placed by its caller: centred on its owner.
        ExpectCentredOn(d, form.get());
        Press(d, Qt::Key_Escape);
    });
    ShowModal(&f);
    EXPECT_TRUE(modal.allShown());
    EXPECT_FALSE(f.blnAccept);
}

TEST_F(WindowsTest, MessageBoxOfTheMainWindow) {
    QWidget* main = form.get();
    ScriptedModal modal;
    modal.then(Box(&main, Language::ProgramText(50), QMessageBox::Yes));
    form->strDirPath = drive.path();
    form->strFilespec = QStringLiteral("*.*");
    form->cmdClear_Click();
    EXPECT_TRUE(modal.allShown());
    EXPECT_TRUE(form->strDirPath.isEmpty());
}
