#pragma once
// The fixture of the run tests: the real POSIX layer with a fixed clock,
// folders that cannot be listed and invented swap files; a main window on a
// temporary drive; and helpers that answer the purge confirmation dialog.

#include "TestSupport.h"

#include "app/frmMain.h"
#include "platform/PosixPlatform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/frmConfirmFiles.h"
#include "run/frmPurgeConfirmation.h"
#include "run/frmReport.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <utime.h>

class RunStandIn : public platform::PosixPlatform {
  public:
    RunStandIn() {
        loadDefaultDriveMap();
        platform::install(this);
    }
    ~RunStandIn() override { platform::install(nullptr); }

    QStringList deniedFolders; // listing fails with EACCES (compared without case)
    QList<QByteArray> swapFiles;
    bool inventSwapFiles = false;
    QDateTime clock = QDateTime(QDate(2026, 3, 4), QTime(10, 20, 30));

    bool listFolder(const QString& folder, platform::Listing& out, int& error) override {
        QString f = folder;
        while (f.endsWith(QLatin1Char('\\'))) f.chop(1);
        for (const QString& d : deniedFolders)
            if (f.compare(d, Qt::CaseInsensitive) == 0) {
                out = platform::Listing();
                error = EACCES;
                return false;
            }
        return PosixPlatform::listFolder(folder, out, error);
    }
    QList<QByteArray> activeSwapFiles() const override {
        return inventSwapFiles ? swapFiles : PosixPlatform::activeSwapFiles();
    }
    QDateTime now() const override { return clock; }
};

class RunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(drive.ok());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        // Every check of a run lets events through, so a test can act there.
        SetDoEventsInterval(0);
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
        form->blnAntiMalwareWarning = false;
        frmTypeOfPurge::instance().SetPurgeType(0, 1);
        ResetConfirmation();
        report().hide();
        report().ClearReport();
    }
    void TearDown() override {
        report().hide();
        report().mainWindow = nullptr;
        frmMain::SetEndHandler(nullptr);
        form.reset();
        QLocale::setDefault(QLocale::system());
        SetDoEventsInterval(5);
    }
    static frmReport& report() { return frmReport::instance(); }
    static frmPurgeConfirmation& confirmation() { return frmPurgeConfirmation::instance(); }

    // Every option box unchecked, the cluster size "4 KB".
    static void ResetConfirmation() {
        frmPurgeConfirmation& c = confirmation();
        for (QCheckBox* b : {c.chkConfirmFiles, c.chkOKToPurgeSystemFiles, c.chkOKToPurgeSensitiveFiles,
                             c.chkOKToPurgeReadOnlyFiles, c.chkFolderNamesOnly, c.chkDeleteEmptyFolders,
                             c.chkDoNotDeletePurgedFiles})
            b->setChecked(false);
        c.cboClusterSize->setCurrentIndex(3);
    }

    void Select(const QString& folder, const QString& spec, bool subfolders) {
        form->strDirPath = folder;
        form->strFilespec = spec;
        form->blnSubdirectories = subfolders;
        form->ShowFileSelection();
        form->ShowSubfolderChoice();
        form->blnSubdirectories = subfolders;
    }

    // Answers the purge confirmation: checks the boxes named, then presses
    // "Yes" (or cancels).
    static ScriptedModal::Step Confirm(const QStringList& checked, bool purge = true,
                                       std::function<void(frmPurgeConfirmation&)> look = nullptr) {
        return [checked, purge, look](QDialog* d) {
            auto* c = qobject_cast<frmPurgeConfirmation*>(d);
            ASSERT_NE(c, nullptr) << d->objectName().toStdString();
            for (const QString& name : checked) {
                auto* box = c->findChild<QCheckBox*>(name);
                ASSERT_NE(box, nullptr) << name.toStdString();
                box->setChecked(true);
            }
            if (look) look(*c);
            QTest::mouseClick(purge ? c->cmdDoPurge : c->cmdCancel, Qt::LeftButton);
        };
    }

    void Purge() { QTest::mouseClick(form->cmdProcessFiles[1], Qt::LeftButton); }
    void List() { QTest::mouseClick(form->cmdProcessFiles[2], Qt::LeftButton); }

    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    // The report's time stamp line for the fixed clock.
    QString Stamp() const {
        return QLocale::system().toString(os.clock.date(), QLocale::ShortFormat) + QStringLiteral(", 10:20:30\r\n");
    }
    static QString FileDate(const QDate& d) { return QLocale::system().toString(d, QLocale::ShortFormat); }

    // Sets a native file's modification day.
    static void SetDay(const QString& native, const QDate& day) {
        struct utimbuf t {};
        t.actime = t.modtime = QDateTime(day, QTime(12, 0)).toSecsSinceEpoch();
        ::utime(QFile::encodeName(native).constData(), &t);
    }
    static void MakeReadOnly(const QString& native) { ::chmod(QFile::encodeName(native).constData(), 0444); }

    RunStandIn os; // before the drive, so the drive is mapped in it
    TempDrive drive{QLatin1Char('T')};
    std::unique_ptr<frmMain> form;
};
