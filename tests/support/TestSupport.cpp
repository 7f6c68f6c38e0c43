#include "TestSupport.h"

#include "support/ModalUi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <sys/stat.h>
#include <unistd.h>

ScriptedMsgBox::ScriptedMsgBox() {
    previous_ = SetMsgBoxHandler([this](const QString& prompt, int flags, const QString& title) {
        seen_.push_back({prompt, flags, title});
        if (script_.empty()) {
            ADD_FAILURE() << "Unexpected message box \"" << title.toStdString() << "\": " << prompt.toStdString();
            return (flags & 7) == vbYesNo || (flags & 7) == vbYesNoCancel ? int(vbNo) : int(vbCancel);
        }
        Step step = script_.front();
        script_.pop_front();
        EXPECT_EQ(title.toStdString(), step.title.toStdString()) << "text: " << prompt.toStdString();
        if (!step.prompt.isEmpty()) {
            EXPECT_EQ(prompt.toStdString(), step.prompt.toStdString());
        }
        if (step.flags >= 0) {
            EXPECT_EQ(flags, step.flags) << "text: " << prompt.toStdString();
        }
        return step.answer;
    });
}

ScriptedMsgBox::~ScriptedMsgBox() {
    for (const Step& s : script_)
        ADD_FAILURE() << "Expected message box not shown: \"" << s.title.toStdString() << "\": "
                      << s.prompt.toStdString();
    SetMsgBoxHandler(previous_);
}

ScriptedMsgBox& ScriptedMsgBox::expect(const QString& title, const QString& prompt, int answer, int flags) {
    script_.push_back({title, prompt, answer, flags});
    return *this;
}

ScriptedModal::ScriptedModal() {
    previous_ = SetModalHandler([this](QDialog* dialog) {
        if (script_.empty()) {
            ADD_FAILURE() << "Unexpected dialog \"" << dialog->windowTitle().toStdString() << "\" ("
                          << dialog->objectName().toStdString() << ")";
            dialog->hide();
            return;
        }
        Step step = std::move(script_.front());
        script_.pop_front();
        step(dialog);
    });
}

ScriptedModal::~ScriptedModal() {
    if (!script_.empty()) ADD_FAILURE() << script_.size() << " scripted dialog(s) were not shown";
    SetModalHandler(previous_);
}

ScriptedModal& ScriptedModal::then(Step step) {
    script_.push_back(std::move(step));
    return *this;
}

ScriptedFileDialogs::ScriptedFileDialogs() { InstallFileDialogs(this); }
ScriptedFileDialogs::~ScriptedFileDialogs() {
    if (!answers_.empty()) ADD_FAILURE() << answers_.size() << " scripted file chooser answer(s) unused";
    InstallFileDialogs(nullptr);
}
ScriptedFileDialogs& ScriptedFileDialogs::answer(const QString& drivePath) {
    answers_.push_back(drivePath);
    return *this;
}
QString ScriptedFileDialogs::next(const QString& title) {
    titles << title;
    if (answers_.empty()) {
        ADD_FAILURE() << "Unexpected file chooser \"" << title.toStdString() << "\"";
        return {};
    }
    QString a = answers_.front();
    answers_.pop_front();
    return a;
}
QString ScriptedFileDialogs::openFile(QWidget*, const QString& title, const QString& fileName, const QString&) {
    startFolders << fileName;
    return next(title);
}
QString ScriptedFileDialogs::saveFile(QWidget*, const QString& title, const QString& fileName, const QString&) {
    startFolders << fileName;
    return next(title);
}
QString ScriptedFileDialogs::browseForFolder(QWidget*, const QString& prompt, const QString& startFolder) {
    startFolders << startFolder;
    return next(prompt);
}

TempDrive::TempDrive(QChar letter, const QString& nativeBase)
    : letter_(letter.toUpper()),
      dir_(nativeBase.isEmpty() ? QDir::tempPath() + QStringLiteral("/veldrane-test-XXXXXX")
                                : nativeBase + QStringLiteral("/veldrane-test-XXXXXX")) {
    if (dir_.isValid()) platform::current().mapDrive(letter_, dir_.path());
}

TempDrive::~TempDrive() { platform::current().unmapDrive(letter_); }

QString TempDrive::path(const QString& relative) const {
    QString r = relative;
    r.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QString(letter_) + QStringLiteral(":\\") + r;
}

QString TempDrive::native(const QString& relative) const {
    QString r = relative;
    r.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return r.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + r;
}

QString TempDrive::makeFile(const QString& relative, qint64 size, char fill) const {
    return makeFile(relative, QByteArray(static_cast<int>(size), fill));
}

QString TempDrive::makeFile(const QString& relative, const QByteArray& content) const {
    const QString n = native(relative);
    QDir().mkpath(QFileInfo(n).path());
    QFile f(n);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        ADD_FAILURE() << "cannot write fixture " << n.toStdString();
    return path(relative);
}

QString TempDrive::makeFolder(const QString& relative) const {
    QDir().mkpath(native(relative));
    return path(relative);
}

bool CanMount() {
    if (::geteuid() != 0) return false;
    QTemporaryDir d;
    if (!d.isValid()) return false;
    const int rc = QProcess::execute(QStringLiteral("mount"),
                                     {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=64k"), QStringLiteral("none"), d.path()});
    if (rc != 0) return false;
    QProcess::execute(QStringLiteral("umount"), {d.path()});
    return true;
}

bool IsRoot() { return ::geteuid() == 0; }

WithMode::WithMode(const QString& nativePath, unsigned mode) : path_(QFile::encodeName(nativePath)) {
    struct stat st {};
    if (::lstat(path_.constData(), &st) != 0) return;
    old_ = st.st_mode & 07777;
    ok_ = ::chmod(path_.constData(), mode_t(mode)) == 0;
}

WithMode::~WithMode() {
    if (ok_) ::chmod(path_.constData(), mode_t(old_));
}

QByteArray ReadNative(const QString& nativePath) {
    QFile f(nativePath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}
