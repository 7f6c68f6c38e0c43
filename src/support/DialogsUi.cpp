#include "support/DialogsUi.h"

#include "platform/Platform.h"
#include "support/ChoosersUi.h"
#include "support/ModalUi.h"
#include "support/Seams.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

// Names carry the characters a Windows path cannot hold in the private use
// area; the user sees the real ones.
QString ForDisplay(QString text) {
    text = platform::Platform::shownName(text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

int ShowMessageBox(const QString& prompt, int flags, const QString& title) {
    // Owned by the window in front, so it stays above it and is centred on it.
    QMessageBox box(DialogOwner());
    box.setWindowTitle(title);
    box.setText(ForDisplay(prompt));
    switch (flags & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int result;
    };
    QList<Choice> choices;
    switch (flags & 7) {
    case vbOKCancel:
        choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbAbortRetryIgnore:
        choices = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo:
        choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        break;
    case vbRetryCancel:
        choices = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
        break;
    default:
        choices = {{QMessageBox::Ok, vbOK}};
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);
    const int defaultIndex = (flags & vbDefaultButton2) && choices.size() > 1 ? 1 : 0;
    box.setDefaultButton(choices[defaultIndex].button);
    // Closing the box with Escape or its frame gives Cancel where there is
    // one, else the only sensible answer.
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (choices.size() == 1)
        box.setEscapeButton(choices[0].button);
    else if (buttons & QMessageBox::No)
        box.setEscapeButton(QMessageBox::No);
    ShowModal(&box);
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const Choice& c : choices)
        if (pressed == c.button) return c.result;
    return (buttons & QMessageBox::Cancel) ? int(vbCancel) : choices.back().result;
}

} // namespace

void InstallRealSeams(QWidget* mainWindow) {
    SetMainWindow(mainWindow);
    SetMsgBoxHandler(ShowMessageBox);
    SetDefaultFileDialogs(&RealFileDialogs());
}
