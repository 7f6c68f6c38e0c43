#pragma once
// The report window: runs one listing or purge over the current selection
// (ProcessFiles), writes its report into txbText, and carries the controls
// that steer a running operation (Pause/Continue, Stop, Close, Copy to
// clipboard). The walks live in frmReportWalks.cpp.

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QWidget>

class frmMain;

class frmReport : public QWidget {
    Q_OBJECT
  public:
    explicit frmReport(QWidget* parent = nullptr);

    // The table of estimated purge times for 2 to 24 overwrites.
    QString EstimatedTimes(float sngPurgeSpeed, double dblTotalBytes2, double dblAdjustmentFactor,
                           const QString& strDrive) const;

    // The one instance, created on first use.
    static frmReport& instance();

    // Limit of the report box: 60 Kb and one character.
    static constexpr qsizetype kReportLimit = 61441;
    static constexpr qsizetype kCutBack = 1024;

    // One run, as the public variables below describe it.
    void ProcessFiles();

    // Report text: gathered in strTextBuff, written to the box on flush.
    void AppendReport(const QString& strText, bool blnFlush);
    // Lets window events through; holds the run while it is paused.
    void PauseCheck();
    void ReportBufferFull();
    void SetRunButtons();

    // The walks (frmReportWalks.cpp). Listing when blnListFiles or
    // blnPurgeFiles is set, a counting walk up to intStopAt otherwise.
    void ListFilesRecursive(const QString& strDirPath, const QString& strFilespec);
    void VQesPurgeRecursive(const QString& strDirPath, const QString& strFilespec, bool blnPurgeSlackOnly);

    // Button handlers.
    void cmdStop_Click();
    void cmdPauseContinue_Click();
    void cmdClose_Click();
    void cmdCopyToClipboard_Click();
    void txbText_MouseUp();

    // The report as the program keeps it ("\r\n" line breaks).
    const QString& ReportText() const { return strReport_; }
    void ClearReport();
    // Puts the caret at the start of the report (the main window's Report).
    void CaretToStart();
    bool IsRunning() const { return running_; }

    // The main window whose labels the run reads and writes; set by the
    // command flow.
    frmMain* mainWindow = nullptr;

    // Public variables of a run.
    bool blnListFiles = false;
    bool blnPurgeFiles = false;
    bool blnStop = false;
    bool blnPurgeRemainingFiles = false;
    bool blnDisplayFolderNames = true;
    bool blnDisplayFileNames = true;
    qint16 intStopAt = 0;
    qint16 intNumFoldersRemoved = 0;
    qint32 lngNumFilesProcessed = 0;
    qint32 lngNumFilesPurged = 0;
    double dblTotalBytesPurged = 0;
    QString strNextDirPath;
    QString strCurrentFileSpec;
    QString strTextBuff;

    QPlainTextEdit* txbText = nullptr;
    QPushButton* cmdPauseContinue = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdCopyToClipboard = nullptr;
    QLabel* lblDots = nullptr;
    QLabel* lblPausedDone = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Appends to the box and to the kept report; no checks.
    void Append(const QString& text);
    // What the walks add to the box directly: nothing while the box is full
    // or a Recycle Bin purge runs; a box that reaches its limit is cut back.
    void AddToBox(const QString& text);
    // Removes the last n characters (the progress marks of a file).
    void ChopBox(int n);
    // Shows what was appended since the last call: at most every few
    // dozen milliseconds unless forced, so a run of small files does not
    // pay for a redraw of the box per line.
    void SyncBox(bool force);
    void SetBoxText(const QString& text);
    void CaretToEnd();
    void PlacePauseContinue();
    void PlaceBelowButtons(QLabel* label, QPushButton* button);
    void CopyReport(bool clearState);
    QString TimeStamp() const;
    // The captions of the main window's labels the report quotes.
    QString DirectoryCaption() const;
    QString FilesCaption() const;

    QString strReport_;
    QString pendingBox_; // appended, not yet shown in the box
    QElapsedTimer boxClock_;
    QTextCursor end_;
    bool blnReportBufferFull = false;
    bool blnPaused = false;
    bool running_ = false;
};
