#pragma once
// "Select subfolders": lists the direct subfolders of a top folder with what
// they hold and lets the user tick the ones to purge whole. The caller sets
// the public variables, shows the dialog modally and reads the results.

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QScrollBar>
#include <array>

class frmSelectSubfolders : public QDialog {
    Q_OBJECT
  public:
    explicit frmSelectSubfolders(QWidget* parent = nullptr);

    static frmSelectSubfolders& instance();

    // Public variables, in declaration order.
    bool blnExcludeRecycleBin = true;
    bool blnOver = false;                       // out: some selected size is a lower bound
    bool blnSomeSubfolderHasSubfolders = false; // out
    bool blnOmitTotalFilesize = false;
    bool blnFolderSelectionAccepted = false;    // out
    qint16 intMaxNumCheckboxes = 11;
    qint16 intNullContentImplies = 0;
    double dblTotalBytesSelected = 0;           // out
    qint32 lngBackColor = 128;                  // colour value red + 256 green + 65536 blue
    qint32 lngLabelForeColor = 0xFFFFFF;
    QString strCaption;
    QString strTopFolder;
    QString strFoldersPassedToSelectFoldersForm;   // lines naming folders to tick at the start
    QString strFoldersReturnedFromSelectFoldersForm; // out: ticked names, each followed by "\r\n"

    // Controls.
    QPushButton* cmdAccept = nullptr;
    QPushButton* cmdCancel = nullptr;
    std::array<QPushButton*, 2> cmdSelectDeselectAllSubfolders{};
    QFrame* picSubfolders = nullptr;
    QList<QCheckBox*> chkSubfolder; // one per visible row, created as needed
    QScrollBar* vsbScrollBar = nullptr;
    QLabel* lblNumSubfolders = nullptr;

    // Reads the top folder and fills the list (runs after each showing).
    void Activate();
    // True while the list is being read.
    bool Reading() const { return reading_; }
    // Lets events through until the list has been read.
    void WaitUntilRead();

    void cmdAccept_Click();
    void cmdCancel_Click();
    void cmdSelectDeselectAllSubfolders_Click(int index);

    // Number of listed subfolders and the text of entry i (0-based, list order).
    int EntryCount() const { return int(entries_.size()); }
    QString EntryLine(int i) const;
    bool EntryTicked(int i) const;

    // The caption of a row for an entry line whose "{" part starts at
    // bracePos (0-based): lines that would pass 84 characters keep their
    // "{...}" part whole and lose the end of the name.
    static QString RowCaption(const QString& line, int bracePos);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    struct Entry {
        QString name;      // exact folder name
        QString line;      // name + " {...}"
        int bracePos = 0;  // index of the "{" part in line
        qint16 tick = 0;   // 1 = ticked
        double size = 0;   // subtree size, bytes
        bool emptyOrUnreadable = false;
        bool unreadable = false;
        bool over = false; // size is a lower bound
        qint32 numSubfolders = 0;
    };
    bool Tickable(const Entry& e) const;
    void ApplyColours();
    void LayoutRows(int rows);
    void FillRows();
    void UnloadRows();
    void ShowStatus();
    void ShowProgress(const QString& text);
    void TickPassedFolders();
    void OnRowToggled(int row, bool checked);

    QList<Entry> entries_;
    int rows_ = 0;
    QString strN_;
    bool reading_ = false;
    bool cancelled_ = false;
    bool filling_ = false;
    QLabel* progress_ = nullptr;
    quint64 showing_ = 0;
};
