#pragma once
// The program's windows with the real message boxes and choosers behind the
// seams; ScriptedModal sees every dialog, box and chooser as it is shown.

#include "TestSupport.h"

#include "app/frmMain.h"
#include "support/DialogsUi.h"
#include "support/ModalUi.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <memory>

class WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
        previousBox_ = SetMsgBoxHandler(nullptr);
        InstallRealSeams(form.get());
    }
    void TearDown() override {
        SetMsgBoxHandler(previousBox_);
        SetDefaultFileDialogs(nullptr);
        form.reset();
        frmMain::SetEndHandler(nullptr);
    }

    // Owned by owner: its child, transient for its window, and modal to the
    // whole program.
    static void ExpectOwnedBy(QWidget* shown, QWidget* owner) {
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->parentWidget(), owner) << shown->objectName().toStdString();
        ASSERT_NE(shown->windowHandle(), nullptr);
        EXPECT_EQ(shown->windowHandle()->transientParent(), owner->windowHandle())
            << shown->objectName().toStdString();
        EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal) << shown->objectName().toStdString();
    }
    // Centred on owner, as far as the screen allows.
    static void ExpectCentredOn(QWidget* shown, QWidget* owner) {
        QRect want(QPoint(), shown->frameGeometry().size());
        want.moveCenter(owner->frameGeometry().center());
        const QRect screen = owner->screen()->availableGeometry();
        if (want.right() > screen.right()) want.moveRight(screen.right());
        if (want.left() < screen.left()) want.moveLeft(screen.left());
        if (want.bottom() > screen.bottom()) want.moveBottom(screen.bottom());
        if (want.top() < screen.top()) want.moveTop(screen.top());
        const QPoint d = shown->frameGeometry().topLeft() - want.topLeft();
        EXPECT_LE(d.manhattanLength(), 4) << shown->objectName().toStdString();
    }
    // A message box: owned by and centred on owner, saying text (any text
    // when empty); answered by Enter on the answer button, once focused.
    static ScriptedModal::Step Box(QWidget** owner, const QString& text, QMessageBox::StandardButton answer) {
        return [owner, text, answer](QDialog* d) {
            auto* box = qobject_cast<QMessageBox*>(d);
            ASSERT_NE(box, nullptr);
            if (!text.isEmpty()) {
                EXPECT_EQ(box->text(), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            }
            ExpectOwnedBy(box, *owner);
            ExpectCentredOn(box, *owner);
            QAbstractButton* b = box->button(answer);
            ASSERT_NE(b, nullptr);
            b->setFocus();
            QTest::keyClick(b, Qt::Key_Return);
        };
    }
    // Presses key on the widget that has the focus in window.
    static void Press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(target, key, mods);
    }

    TempDrive drive{QLatin1Char('T')};
    std::unique_ptr<frmMain> form;

  private:
    MsgBoxHandler previousBox_;
};
