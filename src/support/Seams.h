#pragma once
// The seams through which the program meets a person: message boxes, the
// event loop, modal windows and file choosers. The real implementations live
// in the widget library; tests install scripted ones.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Message box flags and answers, valued as the program has always used them.
enum MsgBoxFlags : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};

enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

// Shows a message box and returns the button pressed. An empty title means
// the application's title.
int MsgBox(const QString& prompt, int flags = vbOKOnly, const QString& title = {});

using MsgBoxHandler = std::function<int(const QString& prompt, int flags, const QString& title)>;
// Installs the handler that MsgBox uses; returns the previous one.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);

// The application's title for message boxes without one.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// Lets pending window events run.
void DoEvents();
// The same, but at most every few milliseconds, for tight loops that must
// stay responsive without paying for an event pass per block.
void DoEventsThrottled();
// The least time between two passes of DoEventsThrottled, in milliseconds
// (5 unless set; tests that act at each pass set 0).
void SetDoEventsInterval(int ms);
// Called after every event pass (tests press Stop at a chosen moment;
// benchmarks measure the gaps).
using DoEventsHook = std::function<void()>;
DoEventsHook SetDoEventsHook(DoEventsHook hook);

// File choosers. Paths going in and out are drive paths; a chooser opens at
// the folder of fileName or startFolder (the user's home folder when empty).
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // Empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& fileName,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& fileName,
                             const QString& filter) = 0;
    virtual QString browseForFolder(QWidget* parent, const QString& prompt, const QString& startFolder) = 0;
};
FileDialogs& CurrentFileDialogs();
// Tests install scripted choosers; nullptr restores the real ones. The
// caller keeps ownership.
void InstallFileDialogs(FileDialogs* dialogs);
// The real choosers are provided by the widget library.
void SetDefaultFileDialogs(FileDialogs* dialogs);
