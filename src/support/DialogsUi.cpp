#include "support/DialogsUi.h"

#include "platform/Platform.h"
#include "support/Seams.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* owner = nullptr;

// Names carry the characters a Windows path cannot hold in the private use
// area; the user sees the real ones.
QString ForDisplay(QString text) {
    text = platform::Platform::shownName(text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

int ShowMessageBox(const QString& prompt, int flags, const QString& title) {
    QMessageBox box(owner ? owner->window() : nullptr);
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
    const int pressed = box.exec();
    for (const Choice& c : choices)
        if (pressed == c.button) return c.result;
    return (buttons & QMessageBox::Cancel) ? int(vbCancel) : choices.back().result;
}

// "All files (*.*) | *.*" in the program's style becomes Qt's "All files (*)".
QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const int open = description.indexOf(QLatin1Char('('));
        if (open >= 0) description = description.left(open).trimmed();
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.isEmpty() ? QStringLiteral("All files (*)") : out.join(QStringLiteral(";;"));
}

QString StartFolder(const QString& fileName) {
    if (fileName.isEmpty()) return {};
    const QByteArray native = platform::current().toNative(fileName);
    return QFile::decodeName(native);
}

QString ToDrive(const QString& native) {
    if (native.isEmpty()) return {};
    return platform::current().toDrivePath(native);
}

class QtFileDialogs : public FileDialogs {
  public:
    QString openFile(QWidget* parent, const QString& title, const QString& fileName,
                     const QString& filter) override {
        return ToDrive(QFileDialog::getOpenFileName(parent, title, StartFolder(fileName), QtFilter(filter)));
    }
    QString saveFile(QWidget* parent, const QString& title, const QString& fileName,
                     const QString& filter) override {
        return ToDrive(QFileDialog::getSaveFileName(parent, title, StartFolder(fileName), QtFilter(filter)));
    }
    QString browseForFolder(QWidget* parent, const QString& prompt) override {
        QString title = prompt;
        title.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        return ToDrive(QFileDialog::getExistingDirectory(parent, title, QString(),
                                                         QFileDialog::ShowDirsOnly |
                                                             QFileDialog::DontResolveSymlinks));
    }
};

} // namespace

void InstallRealSeams(QWidget* mainWindow) {
    owner = mainWindow;
    SetMsgBoxHandler(ShowMessageBox);
    static QtFileDialogs dialogs;
    SetDefaultFileDialogs(&dialogs);
}
