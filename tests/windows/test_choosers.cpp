// The real choosers: owned by the window that opened them, opened at the
// folder the user is in (home when none), the drives by letter in the side
// bar, the program's filter caption, and a folder prompt shown whole.
#include "WindowsFixture.h"

#include "support/ChoosersUi.h"
#include "support/FormUi.h"
#include "support/StrProc.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>

namespace {

QFileDialog* Chooser(QDialog* d) {
    auto* chooser = qobject_cast<QFileDialog*>(d);
    EXPECT_NE(chooser, nullptr);
    return chooser;
}

QStringList SideBar(QFileDialog* chooser) {
    QStringList out;
    auto* bar = chooser->findChild<QListView*>(QStringLiteral("sidebar"));
    if (!bar) return out;
    for (int row = 0; row < bar->model()->rowCount(); ++row)
        out << bar->model()->index(row, 0).data().toString();
    return out;
}

} // namespace

TEST_F(WindowsTest, SingleFileChooserOpensAtTheChosenFolder) {
    drive.makeFile(QStringLiteral("data/README"), 3);
    form->strDirPath = drive.path(QStringLiteral("data\\"));
    ScriptedModal modal;
    modal.then([&](QDialog* d) {
        QFileDialog* chooser = Chooser(d);
        ASSERT_NE(chooser, nullptr);
        ExpectOwnedBy(chooser, form.get());
        EXPECT_EQ(QDir(chooser->directory()).canonicalPath(),
                  QDir(drive.native(QStringLiteral("data"))).canonicalPath());
        EXPECT_TRUE(SideBar(chooser).contains(QStringLiteral("T:")))
            << SideBar(chooser).join(u',').toStdString();
        EXPECT_EQ(chooser->nameFilters(), QStringList{QStringLiteral("All files (*.*)")});
        // The caption says *.*, and names without a dot are listed as well.
        auto* model = chooser->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->nameFilters(), QStringList{QStringLiteral("*")});
        Press(d, Qt::Key_Escape);
    });
    form->cmdSingleFile_MouseUp();
    EXPECT_TRUE(modal.allShown());
}

TEST_F(WindowsTest, PurgeFoldersChooserShowsItsWholePrompt) {
    QWidget* main = form.get();
    ScriptedModal modal;
    modal.then(Box(&main, {}, QMessageBox::Yes));
    modal.then([&](QDialog* d) {
        QFileDialog* chooser = Chooser(d);
        ASSERT_NE(chooser, nullptr);
        ExpectOwnedBy(chooser, form.get());
        // Nothing chosen yet: the home folder.
        EXPECT_EQ(QDir(chooser->directory()).canonicalPath(), QDir::home().canonicalPath());
        auto* prompt = chooser->findChild<QLabel*>(QStringLiteral("lblPrompt"));
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->text(),
                  QStringLiteral("Specify the folder containing the subfolders\nto be purged (or a "
                                 "selection of them)"));
        EXPECT_TRUE(prompt->isVisible());
        EXPECT_LE(prompt->sizeHint().width(), prompt->width());
        Press(d, Qt::Key_Escape);
    });
    form->cmdSpecifyDirectory_MouseUp(1);
    EXPECT_TRUE(modal.allShown());
}

TEST(Choosers, FiltersAndStartFolders) {
    const ChooserFilter all = ParseChooserFilter(QStringLiteral("All files (*.*) | *.*"));
    EXPECT_EQ(all.captions, QStringList{QStringLiteral("All files (*.*)")});
    EXPECT_EQ(all.patterns, (QList<QStringList>{{QStringLiteral("*")}}));
    const ChooserFilter two =
        ParseChooserFilter(QStringLiteral("Operation files (*.vqs)|*.vqs|Text (*.txt;*.log)|*.txt;*.log"));
    EXPECT_EQ(two.captions,
              (QStringList{QStringLiteral("Operation files (*.vqs)"), QStringLiteral("Text (*.txt;*.log)")}));
    EXPECT_EQ(two.patterns, (QList<QStringList>{{QStringLiteral("*.vqs")},
                                                {QStringLiteral("*.txt"), QStringLiteral("*.log")}}));
    EXPECT_EQ(ParseChooserFilter(QString()).captions, QStringList{QStringLiteral("All files (*.*)")});

    TempDrive drive(QLatin1Char('S'));
    ASSERT_TRUE(drive.ok());
    drive.makeFile(QStringLiteral("in/file.txt"), 1);
    const QString in = QDir(drive.native(QStringLiteral("in"))).canonicalPath();
    EXPECT_EQ(QDir(ChooserStartFolder(drive.path(QStringLiteral("in\\")))).canonicalPath(), in);
    // A file, or one that is gone, opens at its folder; an unmapped drive at home.
    EXPECT_EQ(QDir(ChooserStartFolder(drive.path(QStringLiteral("in\\file.txt")))).canonicalPath(), in);
    EXPECT_EQ(QDir(ChooserStartFolder(drive.path(QStringLiteral("in\\gone.txt")))).canonicalPath(), in);
    EXPECT_EQ(ChooserStartFolder(QStringLiteral("Q:\\nowhere\\")), QDir::homePath());
    EXPECT_EQ(ChooserStartFolder(QString()), QDir::homePath());
    EXPECT_FALSE(ProgramIcon().isNull());
    EXPECT_FALSE(ProgramIcon().pixmap(16, 16).isNull());
}
