#pragma once
// Fixtures shared by every test program: scripted message boxes, dialogs and
// file choosers that fail the test on anything unexpected, and temporary
// folders mapped to drive letters.

#include "platform/Platform.h"
#include "support/Seams.h"

#include <QDialog>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Answers message boxes from a script. Each expectation names the title and
// the text exactly; an empty expected text accepts any text. A box that was
// not expected fails the test and is answered with Cancel/No.
class ScriptedMsgBox {
  public:
    struct Seen {
        QString prompt;
        int flags;
        QString title;
    };
    ScriptedMsgBox();
    ~ScriptedMsgBox();
    ScriptedMsgBox& expect(const QString& title, const QString& prompt, int answer = vbOK, int flags = -1);
    // Every box that was shown, in order.
    const std::vector<Seen>& seen() const { return seen_; }
    bool allShown() const { return script_.empty(); }

  private:
    struct Step {
        QString title, prompt;
        int answer, flags;
    };
    std::deque<Step> script_;
    std::vector<Seen> seen_;
    MsgBoxHandler previous_;
};

// Answers modal dialogs: each step is called with the dialog that was shown
// and must make it hide itself.
class ScriptedModal {
  public:
    using Step = std::function<void(QDialog*)>;
    ScriptedModal();
    ~ScriptedModal();
    ScriptedModal& then(Step step);
    bool allShown() const { return script_.empty(); }

  private:
    std::deque<Step> script_;
    std::function<void(QDialog*)> previous_;
};

// Answers file choosers with drive paths ("" = cancelled). Each call also
// records its title or prompt and the file or folder it was to open at.
class ScriptedFileDialogs : public FileDialogs {
  public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;
    ScriptedFileDialogs& answer(const QString& drivePath);
    QString openFile(QWidget*, const QString& title, const QString& fileName, const QString&) override;
    QString saveFile(QWidget*, const QString& title, const QString& fileName, const QString&) override;
    QString browseForFolder(QWidget*, const QString& prompt, const QString& startFolder) override;
    QStringList titles;
    QStringList startFolders;

  private:
    QString next(const QString& title);
    std::deque<QString> answers_;
};

// A temporary folder mapped to a drive letter for the life of the object.
class TempDrive {
  public:
    explicit TempDrive(QChar letter = QLatin1Char('T'), const QString& nativeBase = {});
    ~TempDrive();
    bool ok() const { return dir_.isValid(); }
    QChar letter() const { return letter_; }
    // "T:\" + relative (backslashes or slashes).
    QString path(const QString& relative = {}) const;
    // The native path of the same place.
    QString native(const QString& relative = {}) const;
    // Writes a file of the given size (or content) and returns its drive path.
    QString makeFile(const QString& relative, qint64 size, char fill = 'x') const;
    QString makeFile(const QString& relative, const QByteArray& content) const;
    QString makeFolder(const QString& relative) const;

  private:
    QChar letter_;
    QTemporaryDir dir_;
};

// True when the process may mount file systems (root with mount rights).
bool CanMount();

// True when the tests run as root, who passes every permission check: the
// plain permission cases run only as an ordinary user.
bool IsRoot();

// Gives a native file or folder a mode for the life of the object and its old
// one back afterwards, so that the temporary folder can be removed.
class WithMode {
  public:
    WithMode(const QString& nativePath, unsigned mode);
    ~WithMode();
    WithMode(const WithMode&) = delete;
    WithMode& operator=(const WithMode&) = delete;
    bool ok() const { return ok_; }

  private:
    QByteArray path_;
    unsigned old_ = 0;
    bool ok_ = false;
};

// Reads a whole native file.
QByteArray ReadNative(const QString& nativePath);
