// "Specify files" and "Single file" in the main window: the messages before
// the dialog, each choice of the dialog with the labels it leaves, the
// extension clean-up, the dialog's own behaviour, and the single-file chooser.
#include "TestSupport.h"

#include "app/frmMain.h"
#include "selection/frmSpecifyFiles.h"
#include "support/FormUi.h"
#include "support/StrProc.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSpecifyFiles = QStringLiteral("Specify files");
const QString kSingleFile = QStringLiteral("Single file");

QByteArray N(const QString& s) { return QFile::encodeName(s); }

void SetWritten(const QString& nativePath, const QDateTime& when) {
    QFile f(nativePath);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QString SizeAndDate(qint64 size, const QDate& date) {
    return StrProc::SizeText(double(size), 2) + QStringLiteral("     ") +
           QLocale::system().toString(date, QLocale::ShortFormat);
}

// Left edge in twips, as the labels are placed (one pixel is 15 twips).
int Px(int twips) { return tw(twips); }

class SpecifyFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frmMain::SetEndHandler([]() {});
        form = std::make_unique<frmMain>();
        ASSERT_TRUE(form->Startup());
        ASSERT_TRUE(drive.ok());
        form->blnIgnoreMouseUp = false;
    }
    void TearDown() override {
        form.reset();
        frmMain::SetEndHandler(nullptr);
    }
    // Runs "Specify files" on folder and lets step answer the dialog.
    void SpecifyFiles(const QString& folderPath, const std::function<void(frmSpecifyFiles&)>& step) {
        form->strDirPath = folderPath;
        ScriptedModal modal;
        modal.then([&](QDialog* d) {
            auto* f = qobject_cast<frmSpecifyFiles*>(d);
            ASSERT_NE(f, nullptr);
            step(*f);
        });
        form->cmdSpecifyFiles_MouseUp();
        EXPECT_TRUE(modal.allShown());
    }
    // Runs "Specify files" expecting no dialog.
    void SpecifyFilesWithoutDialog(const QString& folderPath) {
        form->strDirPath = folderPath;
        ScriptedModal none;
        form->cmdSpecifyFiles_MouseUp();
    }
    std::unique_ptr<frmMain> form;
    TempDrive drive{QLatin1Char('S')};
};

} // namespace

TEST_F(SpecifyFilesTest, MessagesBeforeTheDialog) {
    drive.makeFolder("empty");
    drive.makeFolder("onlysub/inner");
    form->lngOnlyBeforeThisJDN = qint32(QDate(2020, 1, 1).toJulianDay());
    struct Case {
        QString folder;
        bool subfolders, restricted;
        QString title, text;
        int flags;
    } cases[] = {
        {QString(), false, false, "Folder unspecified", "The folder has not been specified.", vbOKOnly | vbExclamation},
        {drive.path("missing\\"), false, false, "Error", "Cannot access the folder.", vbOKOnly | vbCritical},
        {drive.path("empty\\"), false, false, "Empty folder", "The folder contains no files and no subfolders.",
         vbOKOnly | vbExclamation},
        {drive.path("onlysub\\"), false, false, kSpecifyFiles, "There are no files in S:\\onlysub\\.",
         vbOKOnly | vbInformation},
        {drive.path("onlysub\\"), false, true, kSpecifyFiles,
         "There are no files in S:\\onlysub\\ (possibly due to the date restriction).", vbOKOnly | vbInformation},
        {drive.path("onlysub\\"), true, false, kSpecifyFiles,
         "There are no files in S:\\onlysub\\ or in any of its subfolders.", vbOKOnly | vbInformation},
        {drive.path("onlysub\\"), true, true, kSpecifyFiles,
         "There are no files in S:\\onlysub\\ or in any of its subfolders (possibly due to the date restriction).",
         vbOKOnly | vbInformation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        form->strFilespec = QStringLiteral("*.doc");
        form->blnSubdirectories = c.subfolders;
        form->blnDateRestriction = c.restricted;
        ScriptedMsgBox boxes;
        boxes.expect(c.title, c.text, vbOK, c.flags);
        SpecifyFilesWithoutDialog(c.folder);
        EXPECT_EQ(form->strFilespec, QStringLiteral("*.doc"));
    }
}

TEST_F(SpecifyFilesTest, EachChoiceSetsTheSpecificationAndItsExplanation) {
    drive.makeFile("docs/Notes.TXT", 2048);
    drive.makeFile("docs/a1.doc", 10);
    drive.makeFile("docs/b.txt", 10);
    SetWritten(drive.native("docs/Notes.TXT"), QDateTime(QDate(2021, 3, 4), QTime(10, 30)));
    using Step = std::function<void(frmSpecifyFiles&)>;
    const auto extension = [](const char* text) -> Step {
        return [text](frmSpecifyFiles& f) {
            f.optExtension->click();
            QTest::keyClicks(f.txbExtension, QString::fromLatin1(text));
            QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
        };
    };
    struct Case {
        const char* name;
        Step step;
        QString spec, explanation;
        int explanationLeft; // twips from lblFiles; -1: not checked
        QString emptyMessage;
    } cases[] = {
        {"single file",
         [](frmSpecifyFiles& f) {
             ASSERT_TRUE(f.File->selectFile(QStringLiteral("Notes.TXT")));
             QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
         },
         "notes.txt", SizeAndDate(2048, QDate(2021, 3, 4)), -1, {}},
        {"all files",
         [](frmSpecifyFiles& f) {
             f.optAllFiles->click();
             QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
         },
         "*.*", "(All files.)", 5 * 123, {}},
        {"*.txt", extension("*.txt"), "*.txt", "(All files with extension \"txt\".)", 5 * 123 + 300, {}},
        {".txt", extension(".txt"), "*.txt", "(All files with extension \"txt\".)", -1, {}},
        {"txt", extension("  TXT "), "*.txt", "(All files with extension \"txt\".)", -1, {}},
        {"pdf", extension("pdf"), "*.pdf", "(All files with extension \"pdf\".)", -1,
         "The folder contains no matching files and no subfolders."},
        {"file specification",
         [](frmSpecifyFiles& f) {
             f.optMultipleFiles->click();
             QTest::keyClicks(f.txbFilespec, QStringLiteral(" A*.D* "));
             QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
         },
         "a*.d*", "(All files of the form \"a*.d*\".)", 5 * 123 + 300, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->strFilespec.clear();
        form->lblSetupFilename->setText(QStringLiteral("old.vqs"));
        ScriptedMsgBox boxes;
        if (!c.emptyMessage.isEmpty())
            boxes.expect(QStringLiteral("Empty folder"), c.emptyMessage, vbOK, vbOKOnly | vbExclamation);
        SpecifyFiles(drive.path("docs\\"), c.step);
        EXPECT_TRUE(frmSpecifyFiles::instance().blnAccept);
        EXPECT_EQ(form->strFilespec, c.spec);
        EXPECT_EQ(form->lblFiles->text(), c.spec);
        EXPECT_EQ(form->lblFiles2[0]->text(), c.explanation);
        if (c.explanationLeft >= 0) {
            EXPECT_EQ(form->lblFiles2[0]->x(), Px(LeftTw(form->lblFiles) + c.explanationLeft));
        }
        EXPECT_EQ(form->lblFiles2[0]->y(), form->lblFiles->y());
        EXPECT_FALSE(form->lblFiles2[0]->geometry().intersects(form->lblFiles->geometry()));
        EXPECT_TRUE(form->lblSetupFilename->text().isEmpty());
        EXPECT_TRUE(form->lblSingleFile->text().isEmpty());
        EXPECT_TRUE(form->cmdClear->isVisible());
    }
    EXPECT_EQ(form->strCurrentFilePath, drive.path("docs\\notes.txt")) << "kept from the single file";
    EXPECT_EQ(form->lngFilesize, 2048);

    // A dialog closed any other way than by Accept leaves nothing behind,
    // whatever an earlier showing accepted.
    SpecifyFiles(drive.path("docs\\"), [](frmSpecifyFiles& f) { f.optAllFiles->click(); });
    EXPECT_FALSE(frmSpecifyFiles::instance().blnAccept);
    EXPECT_EQ(form->strFilespec, QStringLiteral("a*.d*"));
}

TEST_F(SpecifyFilesTest, TheDialogOffersTheFolderAndFollowsIt) {
    drive.makeFile("docs/b.txt", 10);
    drive.makeFile("docs/a.doc", 10);
    drive.makeFile("docs/sub/c.txt", 10);
    ASSERT_EQ(::symlink(N(drive.native("docs/b.txt")).constData(), N(drive.native("docs/link.txt")).constData()), 0);
    ASSERT_EQ(::mkfifo(N(drive.native("docs/pipe")).constData(), 0644), 0);
    SpecifyFiles(drive.path("docs\\"), [&](frmSpecifyFiles& f) {
        EXPECT_EQ(f.windowTitle(), kSpecifyFiles);
        EXPECT_EQ(f.optSingleFile->text(), QStringLiteral("Purge a single file:"));
        EXPECT_EQ(f.optAllFiles->text(), QStringLiteral("Purge all files (*.*)"));
        EXPECT_EQ(f.optExtension->text(), QStringLiteral("Purge all files with a particular extension, e.g., txt or doc:"));
        EXPECT_EQ(f.optMultipleFiles->text(),
                  QStringLiteral("Purge all files satisfying a file specification, e.g., a*.d*:"));
        EXPECT_FALSE(f.optAllFiles->font().bold());
        EXPECT_EQ(f.palette().color(QPalette::Window), QColor(128, 0, 0));
        EXPECT_EQ(f.optAllFiles->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(f.strOperation, QStringLiteral("purge"));
        EXPECT_EQ(f.intNumFiles, 2);
        EXPECT_EQ(f.File->folder(), drive.path("docs\\"));
        ASSERT_EQ(f.File->count(), 2) << "no link, no FIFO, no folder";
        EXPECT_EQ(f.File->item(0)->text(), QStringLiteral("a.doc"));
        EXPECT_TRUE(f.optSingleFile->isEnabled());
        EXPECT_TRUE(f.optSingleFile->isChecked());
        EXPECT_EQ(f.focusWidget(), f.cmdCancel);
        EXPECT_TRUE(f.txbExtension->text().isEmpty());
        EXPECT_TRUE(f.txbFilespec->text().isEmpty());

        // Accept waits for what the chosen option needs.
        EXPECT_FALSE(f.cmdAccept->isEnabled());
        ASSERT_TRUE(f.File->selectFile(QStringLiteral("b.txt")));
        EXPECT_TRUE(f.cmdAccept->isEnabled());
        f.optExtension->click();
        EXPECT_FALSE(f.cmdAccept->isEnabled());
        QTest::keyClicks(f.txbExtension, QStringLiteral("*."));
        EXPECT_FALSE(f.cmdAccept->isEnabled()) << "nothing is left after the clean-up";
        QTest::keyClicks(f.txbExtension, QStringLiteral("doc"));
        EXPECT_TRUE(f.cmdAccept->isEnabled());
        // Clicking into a text box or typing there chooses its option.
        QTest::mouseClick(f.txbFilespec, Qt::LeftButton);
        EXPECT_TRUE(f.optMultipleFiles->isChecked());
        EXPECT_FALSE(f.cmdAccept->isEnabled());
        QTest::keyClicks(f.txbExtension, QStringLiteral("x"));
        EXPECT_TRUE(f.optExtension->isChecked());
        QTest::mouseClick(f.File->viewport(), Qt::LeftButton, {}, f.File->visualItemRect(f.File->item(0)).center());
        EXPECT_TRUE(f.optSingleFile->isChecked());
        EXPECT_EQ(f.File->fileName(), QStringLiteral("a.doc"));

        // The main window's clock keeps the list and Accept up to date.
        ASSERT_TRUE(QFile::remove(drive.native("docs/a.doc")));
        drive.makeFile("docs/new.txt", 1);
        for (const auto& tick : form->clock1Listeners) tick();
        ASSERT_EQ(f.File->count(), 2);
        EXPECT_EQ(f.File->item(0)->text(), QStringLiteral("b.txt"));
        EXPECT_EQ(f.File->item(1)->text(), QStringLiteral("new.txt"));
        EXPECT_TRUE(f.File->fileName().isEmpty()) << "the chosen file is gone";
        EXPECT_FALSE(f.cmdAccept->isEnabled());

        QTest::keyClick(&f, Qt::Key_Escape);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_FALSE(frmSpecifyFiles::instance().blnAccept);
    EXPECT_TRUE(form->strFilespec.isEmpty());
}

TEST_F(SpecifyFilesTest, WithoutFilesInTheFolderOnlyTheSpecificationsAreOffered) {
    drive.makeFile("tree/sub/c.txt", 10);
    form->blnSubdirectories = true;
    SpecifyFiles(drive.path("tree\\"), [](frmSpecifyFiles& f) {
        EXPECT_EQ(f.intNumFiles, 0);
        EXPECT_FALSE(f.optSingleFile->isEnabled());
        EXPECT_FALSE(f.File->isEnabled());
        EXPECT_TRUE(f.optAllFiles->isChecked());
        EXPECT_TRUE(f.cmdAccept->isEnabled());
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
    });
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.*"));
}

TEST_F(SpecifyFilesTest, AnExtensionWithADotIsRefusedAndTheDialogStaysOpen) {
    drive.makeFile("docs/a.tar.gz", 10);
    form->strFilespec = QStringLiteral("*.*");
    SpecifyFiles(drive.path("docs\\"), [](frmSpecifyFiles& f) {
        ScriptedMsgBox boxes;
        const QString refused = QStringLiteral("Extension must not contain \".\".");
        boxes.expect("Error", refused, vbOK, vbOKOnly | vbExclamation);
        boxes.expect("Error", refused, vbOK, vbOKOnly | vbExclamation);
        f.optExtension->click();
        QTest::keyClicks(f.txbExtension, QStringLiteral("tar.gz"));
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
        EXPECT_TRUE(f.isVisible());
        f.txbExtension->setText(QStringLiteral(" *.tar.gz"));
        QTest::keyClick(f.txbExtension, Qt::Key_Return); // Enter acts as Accept
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.txbExtension->text(), QStringLiteral("tar.gz")) << "the clean-up is written back";
        EXPECT_TRUE(boxes.allShown());
        // Enter with an acceptable extension closes it.
        f.txbExtension->setText(QStringLiteral("gz"));
        QTest::keyClick(f.txbExtension, Qt::Key_Return);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.gz"));
}

TEST_F(SpecifyFilesTest, NothingHappensWhileAnOperationRuns) {
    form->blnBusy = true;
    ScriptedFileDialogs choosers; // no answers: a chooser would fail the test
    SpecifyFilesWithoutDialog(QString()); // no "Folder unspecified" either
    form->cmdSingleFile_MouseUp();
    EXPECT_TRUE(choosers.titles.isEmpty());
    form->blnBusy = false;
}

TEST_F(SpecifyFilesTest, SingleFileChosenOrCancelled) {
    drive.makeFile("docs/Report.DOC", 3000);
    drive.makeFolder("docs/sub");
    SetWritten(drive.native("docs/Report.DOC"), QDateTime(QDate(2019, 12, 31), QTime(23, 0)));
    form->strDirPath = drive.path("other\\");
    form->strFilespec = QStringLiteral("*.*");
    form->blnSubdirectories = true;
    {
        ScriptedFileDialogs choosers;
        choosers.answer(QString());
        QTest::mouseClick(form->cmdSingleFile, Qt::LeftButton);
        EXPECT_EQ(choosers.titles, QStringList{QStringLiteral("Specify file to be purged.")});
    }
    EXPECT_TRUE(form->blnIgnoreMouseUp) << "the guard follows every chooser";
    EXPECT_EQ(form->strDirPath, drive.path("other\\"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.*"));
    EXPECT_TRUE(form->blnSubdirectories);

    form->lblEstimatedTime->setText(QStringLiteral("About 3 minutes"));
    {
        ScriptedFileDialogs choosers;
        choosers.answer(drive.path("docs\\Report.DOC"));
        form->cmdSingleFile_MouseUp();
    }
    EXPECT_EQ(form->strDirPath, drive.path("docs\\"));
    EXPECT_EQ(form->strFilespec, QStringLiteral("report.doc"));
    EXPECT_FALSE(form->blnSubdirectories);
    EXPECT_EQ(form->lblSubdirectories->text(), QStringLiteral("No"));
    EXPECT_EQ(form->lblDirectory->text(), drive.path("docs\\"));
    EXPECT_EQ(form->lblFiles->text(), QStringLiteral("report.doc"));
    EXPECT_EQ(form->lblFiles2[0]->text(), SizeAndDate(3000, QDate(2019, 12, 31)));
    EXPECT_EQ(form->lngFilesize, 3000);
    EXPECT_EQ(form->strCurrentFilePath, drive.path("docs\\report.doc"));
    EXPECT_TRUE(form->lblEstimatedTime->text().isEmpty());
    EXPECT_TRUE(form->lblSingleFile->text().isEmpty());
    EXPECT_FALSE(form->lblFiles2[0]->geometry().intersects(form->lblFiles->geometry()));
}

TEST_F(SpecifyFilesTest, AFileNameThatIsNotValidUtf8IsChosenAloneAndKept) {
    // Latin-1 capital and small e-acute: as bytes they are no UTF-8, and
    // neither is the other's twin.
    drive.makeFolder("raw");
    for (const char* name : {"\xc9.txt", "\xe9.txt"}) {
        FILE* f = std::fopen((N(drive.native("raw")) + '/' + name).constData(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("abc", f);
        std::fclose(f);
    }
    platform::Listing listing;
    int error = 0;
    ASSERT_TRUE(platform::current().listFolder(drive.path("raw"), listing, error));
    ASSERT_EQ(listing.files.size(), 2);
    const QString upper = listing.files.at(0).path; // "\xc9.txt" sorts first
    ScriptedFileDialogs choosers;
    choosers.answer(upper);
    form->cmdSingleFile_MouseUp();
    EXPECT_EQ(form->strDirPath, drive.path("raw\\"));
    EXPECT_EQ(platform::Platform::encodeName(form->strFilespec), QByteArray("\xc9.txt"));
    EXPECT_EQ(form->lblFiles2[0]->text().left(12), QStringLiteral("3 bytes     "));
    // The labels find the same file again and keep it.
    form->ShowFileSelection();
    EXPECT_EQ(platform::Platform::encodeName(form->strFilespec), QByteArray("\xc9.txt"));
}

TEST_F(SpecifyFilesTest, ALongFileNameKeepsItsStartAndExtensionAndItsSizeStaysInTheWindow) {
    const QString name = QString(80, QLatin1Char('n')) + QStringLiteral(".pdf");
    drive.makeFile("docs/" + name, 5);
    ScriptedFileDialogs choosers;
    choosers.answer(drive.path("docs\\" + name));
    form->cmdSingleFile_MouseUp();
    EXPECT_EQ(form->strFilespec, name);
    EXPECT_EQ(form->lblFiles->text(), QString(64, QLatin1Char('n')) + QStringLiteral("...pdf"));
    EXPECT_EQ(form->lblFiles2[0]->text().left(12), QStringLiteral("5 bytes     "));
    const QRect files2 = form->lblFiles2[0]->geometry();
    EXPECT_FALSE(files2.intersects(form->lblFiles->geometry()));
    EXPECT_TRUE(form->rect().contains(files2));
    for (QLabel* other : {form->lblDirectory, form->lblSubdirectories, form->lblSubdirectories2,
                          form->lblDateRestriction, form->lblSingleFile}) {
        if (!other->text().isEmpty()) {
            EXPECT_FALSE(files2.intersects(other->geometry())) << other->objectName().toStdString();
        }
    }
}

TEST_F(SpecifyFilesTest, AFileThatCannotBeChosenAloneLeavesTheSelectionAlone) {
    drive.makeFile("twins/Notes.txt", 1);
    drive.makeFile("twins/notes.txt", 2);
    drive.makeFile("odd/a*.txt", 1);
    drive.makeFile("odd/abc.txt", 1);
    drive.makeFile("real.txt", 1);
    ASSERT_EQ(::symlink(N(drive.native("real.txt")).constData(), N(drive.native("odd/link.txt")).constData()), 0);
    form->strDirPath = drive.path("other\\");
    form->strFilespec = QStringLiteral("*.*");
    struct Case {
        QString chosen, message;
    } cases[] = {
        // Lower-cased, the name would also reach its twin.
        {drive.path("twins\\Notes.txt"),
         drive.path("twins\\Notes.txt") + "\r\ncannot be specified as a single file because notes.txt\r\n"
                                          "in the same folder has the same name apart from case."},
        // The real "*" names no file: on the disk it is carried as U+F02A.
        {drive.path("odd\\a*.txt"), drive.path("odd\\a*.txt") + "\r\nis not a file that can be purged."},
        {drive.path("odd\\link.txt"), drive.path("odd\\link.txt") + "\r\nis not a file that can be purged."},
    };
    for (const Case& c : cases) {
        ScriptedFileDialogs choosers;
        choosers.answer(c.chosen);
        ScriptedMsgBox boxes;
        boxes.expect(kSingleFile, c.message, vbOK, vbOKOnly | vbExclamation);
        form->cmdSingleFile_MouseUp();
        EXPECT_EQ(form->strDirPath, drive.path("other\\"));
        EXPECT_EQ(form->strFilespec, QStringLiteral("*.*"));
    }
    // The same twin chosen in the dialog is refused too.
    form->strFilespec.clear();
    ScriptedMsgBox boxes;
    boxes.expect(kSpecifyFiles, cases[0].message, vbOK, vbOKOnly | vbExclamation);
    SpecifyFiles(drive.path("twins\\"), [](frmSpecifyFiles& f) {
        ASSERT_TRUE(f.File->selectFile(QStringLiteral("Notes.txt")));
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
    });
    EXPECT_TRUE(form->strFilespec.isEmpty());
}

TEST_F(SpecifyFilesTest, TheLabelsDropASingleFileThatIsGoneButNeverAWildcardSpecification) {
    drive.makeFile("docs/keep.txt", 1);
    drive.makeFile("docs/gone.txt", 1);
    SpecifyFiles(drive.path("docs\\"), [](frmSpecifyFiles& f) {
        ASSERT_TRUE(f.File->selectFile(QStringLiteral("gone.txt")));
        QTest::mouseClick(f.cmdAccept, Qt::LeftButton);
    });
    ASSERT_EQ(form->strFilespec, QStringLiteral("gone.txt"));
    ASSERT_TRUE(QFile::remove(drive.native("docs/gone.txt")));
    form->ShowFileSelection();
    EXPECT_TRUE(form->strFilespec.isEmpty());
    EXPECT_EQ(form->lblFiles->text(), form->strNotSpecified);
    EXPECT_EQ(form->lblSingleFile->text(), QStringLiteral("To purge multiple files, specify folder and files."));
    EXPECT_TRUE(form->lblFiles2[0]->text().isEmpty());

    // "Specify folder" answered Yes sets "*.*" while the dialog still shows
    // its single-file choice.
    ASSERT_TRUE(frmSpecifyFiles::instance().optSingleFile->isChecked());
    form->strFilespec = QStringLiteral("*.*");
    form->ShowFileSelection();
    EXPECT_EQ(form->strFilespec, QStringLiteral("*.*"));
    EXPECT_EQ(form->lblFiles2[0]->text(), QStringLiteral("(All files.)"));

    form->strDirPath.clear();
    form->strFilespec.clear();
    form->ShowFileSelection();
    EXPECT_EQ(form->lblDirectory->text(), form->strNotSpecified);
    EXPECT_FALSE(form->cmdClear->isVisible());
}
