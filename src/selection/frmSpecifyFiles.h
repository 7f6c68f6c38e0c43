#pragma once
// The "Specify files" dialog: the user chooses one file of the folder, all its
// files, all files with one extension, or a file specification. The caller
// sets the public variables before showing it and reads blnAccept, the chosen
// option and the text boxes after it has hidden itself.

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// A list of the files lying directly in one folder, read through the platform
// layer (no links, no special files). Each item holds the file's exact name.
class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);
    // Shows the files of folder (a drive path).
    void setFolder(const QString& drivePath);
    QString folder() const { return folder_; }
    // Reads the folder again; the selected file stays selected while it is
    // still there. An unreadable folder leaves the list empty.
    void refresh();
    // The selected file's exact name; empty when none is selected.
    QString fileName() const;
    // Selects the file with exactly this name; False when it is not listed.
    bool selectFile(const QString& name);

  private:
    QString folder_;
};

class frmSpecifyFiles : public QDialog {
    Q_OBJECT
  public:
    explicit frmSpecifyFiles(QWidget* parent = nullptr);

    // The one instance, created on first use.
    static frmSpecifyFiles& instance();

    void cmdAccept_Click();
    void cmdCancel_Click();

    // Called each second by the main window's clock while the dialog is
    // shown: the file list follows the folder, and Accept is enabled only
    // when the chosen option has what it needs.
    void Clock1_Timer();
    // True when the chosen option has what Accept needs: a selected file, an
    // extension or a specification (all files needs nothing).
    bool ChoiceIsComplete() const;

    // Set by the caller before showing, read after the dialog has hidden.
    bool blnBold = false;
    bool blnAccept = false;
    qint16 intNumFiles = 0;
    QString strOperation = QStringLiteral("purge");

    QLineEdit* txbExtension = nullptr;
    QRadioButton* optExtension = nullptr;
    QRadioButton* optAllFiles = nullptr;
    QRadioButton* optMultipleFiles = nullptr;
    QRadioButton* optSingleFile = nullptr;
    QPushButton* cmdAccept = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLineEdit* txbFilespec = nullptr;
    FileListBox* File = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate();
    void RefreshAccept();
    void TextBoxEntered();
};
