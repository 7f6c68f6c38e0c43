#include "support/Seams.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

MsgBoxHandler& msgBoxHandler() {
    static MsgBoxHandler handler;
    return handler;
}

DoEventsHook& doEventsHook() {
    static DoEventsHook hook;
    return hook;
}

QString& applicationTitle() {
    static QString title;
    return title;
}

int eventsInterval = 5;

FileDialogs* defaultDialogs = nullptr;
FileDialogs* installedDialogs = nullptr;

// Without any chooser (a core-only program) every dialog is cancelled.
class NoFileDialogs : public FileDialogs {
  public:
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString browseForFolder(QWidget*, const QString&, const QString&) override { return {}; }
};

} // namespace

int MsgBox(const QString& prompt, int flags, const QString& title) {
    const QString shownTitle = title.isEmpty() ? ApplicationTitle() : title;
    if (msgBoxHandler()) return msgBoxHandler()(prompt, flags, shownTitle);
    // Nobody to ask: say it on the terminal and take the answer that
    // consents to nothing.
    std::fprintf(stderr, "%s: %s\n", qPrintable(shownTitle), qPrintable(prompt));
    switch (flags & 7) {
    case vbOKCancel:
    case vbYesNoCancel:
    case vbRetryCancel:
        return vbCancel;
    case vbAbortRetryIgnore:
        return vbAbort;
    case vbYesNo:
        return vbNo;
    default:
        return vbOK;
    }
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler) {
    MsgBoxHandler previous = std::move(msgBoxHandler());
    msgBoxHandler() = std::move(handler);
    return previous;
}

void SetApplicationTitle(const QString& title) { applicationTitle() = title; }

QString ApplicationTitle() {
    if (!applicationTitle().isEmpty()) return applicationTitle();
    return QCoreApplication::applicationName();
}

void DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    if (doEventsHook()) doEventsHook()();
}

void DoEventsThrottled() {
    // A pass costs far more than writing one block; a few milliseconds keeps
    // the window live without slowing the overwrite.
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < eventsInterval) return;
    DoEvents();
    sinceLast.start();
}

void SetDoEventsInterval(int ms) { eventsInterval = ms < 0 ? 0 : ms; }

DoEventsHook SetDoEventsHook(DoEventsHook hook) {
    DoEventsHook previous = std::move(doEventsHook());
    doEventsHook() = std::move(hook);
    return previous;
}

FileDialogs& CurrentFileDialogs() {
    if (installedDialogs) return *installedDialogs;
    if (defaultDialogs) return *defaultDialogs;
    static NoFileDialogs none;
    return none;
}

void InstallFileDialogs(FileDialogs* dialogs) { installedDialogs = dialogs; }

void SetDefaultFileDialogs(FileDialogs* dialogs) { defaultDialogs = dialogs; }
