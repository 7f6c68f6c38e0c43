#include "run/frmReport.h"

#include "app/MainState.h"
#include "app/frmMain.h"
#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "speed/TimeEstimates.h"
#include "run/FileOps.h"
#include "run/PurgeOptions.h"
#include "support/FormUi.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

constexpr int kFormWidth = 10200;
constexpr int kFormHeight = 5700;

QString ForBox(const QString& text) {
    QString t = text;
    t.replace(kCrLf, QStringLiteral("\n"));
    return t;
}

QString Grouped(qint64 n) { return QLocale().toString(n); }

} // namespace

frmReport::frmReport(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));

    txbText = new QPlainTextEdit(this);
    txbText->setObjectName(QStringLiteral("txbText"));
    txbText->setReadOnly(true);
    txbText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txbText->setLineWrapMode(QPlainTextEdit::NoWrap);
    txbText->setUndoRedoEnabled(false);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(courier).fixedPitch()) courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    txbText->setFont(courier);
    txbText->viewport()->installEventFilter(this);
    end_ = QTextCursor(txbText->document());

    // Reading order: the report, then the buttons left to right.
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdCopyToClipboard = new QPushButton(QStringLiteral("Copy selected text to clipboard"), this);
    cmdCopyToClipboard->setObjectName(QStringLiteral("cmdCopyToClipboard"));
    cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdPauseContinue = new QPushButton(QStringLiteral("Continue"), this);
    cmdPauseContinue->setObjectName(QStringLiteral("cmdPauseContinue"));
    for (QPushButton* b : {cmdClose, cmdCopyToClipboard, cmdStop, cmdPauseContinue}) b->setAutoDefault(true);
    lblDots = new QLabel(QStringLiteral("Each dot represents a folder."), this);
    lblDots->setObjectName(QStringLiteral("lblDots"));
    lblPausedDone = new QLabel(QStringLiteral("Paused ..."), this);
    lblPausedDone->setObjectName(QStringLiteral("lblPausedDone"));
    QFont bold = lblPausedDone->font();
    bold.setBold(true);
    lblPausedDone->setFont(bold);
    setTabOrder(txbText, cmdClose);
    setTabOrder(cmdClose, cmdCopyToClipboard);
    setTabOrder(cmdCopyToClipboard, cmdStop);
    setTabOrder(cmdStop, cmdPauseContinue);

    connect(cmdStop, &QPushButton::clicked, this, &frmReport::cmdStop_Click);
    connect(cmdPauseContinue, &QPushButton::clicked, this, &frmReport::cmdPauseContinue_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmReport::cmdClose_Click);
    connect(cmdCopyToClipboard, &QPushButton::clicked, this, &frmReport::cmdCopyToClipboard_Click);

    resize(tw(kFormWidth), tw(kFormHeight));
    PlaceTw(cmdClose, 200, 0, 1000, 420);
    PlaceTw(cmdStop, 1400, 0, 1000, 420);
    PlaceTw(cmdCopyToClipboard, 1400, 0, 2115, 420);
    PlaceTw(cmdPauseContinue, 0, 0, 1000, 420);
    cmdStop->setVisible(false);
    cmdPauseContinue->setVisible(false);
    cmdCopyToClipboard->setVisible(false);
    lblDots->setVisible(false);
    SetCaption(lblPausedDone, QString());
}

frmReport& frmReport::instance() {
    static frmReport* form = nullptr;
    if (!form) form = new frmReport(nullptr);
    return *form;
}

// ---- Layout --------------------------------------------------------------------

void frmReport::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int inner = toTwips(height());
    PlaceTw(txbText, 0, 0, toTwips(width()), std::max(600, inner - 1200));
    for (QWidget* w : {static_cast<QWidget*>(cmdClose), static_cast<QWidget*>(cmdStop),
                       static_cast<QWidget*>(cmdCopyToClipboard), static_cast<QWidget*>(cmdPauseContinue)})
        MoveTw(w, LeftTw(w), inner - 950);
    MoveTw(lblDots, 4800, inner - 950 + 60);
    PlacePauseContinue();
    if (!lblPausedDone->text().isEmpty()) PlaceBelowButtons(lblPausedDone, cmdClose);
}

void frmReport::PlacePauseContinue() {
    MoveTw(cmdPauseContinue, toTwips(width()) - 200 - WidthTw(cmdPauseContinue), TopTw(cmdClose));
}

void frmReport::PlaceBelowButtons(QLabel* label, QPushButton* button) {
    // Clear of the buttons on the left, level with them.
    const int left = std::max(LeftTw(cmdCopyToClipboard) + WidthTw(cmdCopyToClipboard),
                              LeftTw(cmdStop) + WidthTw(cmdStop)) + 240;
    MoveTw(label, left, TopTw(button) + 30);
}

// ---- The report box ------------------------------------------------------------

void frmReport::Append(const QString& text) {
    strReport_ += text;
    pendingBox_ += text;
}

void frmReport::SyncBox(bool force) {
    constexpr qint64 kPaceMs = 100;
    if (pendingBox_.isEmpty()) return;
    if (!force && boxClock_.isValid() && boxClock_.elapsed() < kPaceMs) return;
    end_.movePosition(QTextCursor::End);
    end_.insertText(ForBox(pendingBox_));
    pendingBox_.clear();
    CaretToEnd();
    boxClock_.start();
}

void frmReport::AddToBox(const QString& text) {
    if (Main().blnPurgingRecycleBin || blnReportBufferFull) return;
    // Text still pending comes first, so the report keeps its order.
    if (!strTextBuff.isEmpty()) {
        Append(strTextBuff);
        strTextBuff.clear();
    }
    Append(text);
    if (strReport_.size() >= kReportLimit) ReportBufferFull();
    SyncBox(false);
}

void frmReport::ChopBox(int n) {
    n = int(std::min<qsizetype>(n, strReport_.size()));
    if (n <= 0) return;
    strReport_.chop(n);
    if (pendingBox_.size() >= n) {
        pendingBox_.chop(n);
        return;
    }
    n -= int(pendingBox_.size());
    pendingBox_.clear();
    end_.movePosition(QTextCursor::End);
    end_.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, n);
    end_.removeSelectedText();
}

void frmReport::SetBoxText(const QString& text) {
    strReport_ = text;
    pendingBox_.clear();
    txbText->setPlainText(ForBox(text));
    end_ = QTextCursor(txbText->document());
}

void frmReport::ClearReport() { SetBoxText(QString()); }

void frmReport::CaretToEnd() {
    QTextCursor c = txbText->textCursor();
    c.movePosition(QTextCursor::End);
    txbText->setTextCursor(c);
}

void frmReport::CaretToStart() {
    QTextCursor c = txbText->textCursor();
    c.movePosition(QTextCursor::Start);
    txbText->setTextCursor(c);
}

void frmReport::AppendReport(const QString& strText, bool blnFlush) {
    if (Main().blnPurgingRecycleBin || blnReportBufferFull) return;
    strTextBuff += strText;
    if (blnFlush) {
        const QString pending = strTextBuff;
        strTextBuff.clear();
        Append(pending);
        if (strReport_.size() < kReportLimit) SyncBox(false);
        DoEventsThrottled();
    }
    if (strReport_.size() >= kReportLimit) ReportBufferFull();
}

void frmReport::ReportBufferFull() {
    if (blnReportBufferFull) return;
    QString text = strReport_;
    if (text.size() >= kCutBack + 1) text.chop(kCutBack);
    // Only complete lines remain.
    const qsizetype lastBreak = text.lastIndexOf(kCrLf);
    if (lastBreak >= 0) text.truncate(lastBreak);
    text += kCrLf + kCrLf;
    if (blnPurgeFiles) {
        text += QStringLiteral("The report buffer has been filled, so ") +
                QStringLiteral("this report cannot continue.  The purge operation will continue, ") +
                QStringLiteral("but without report of results for individual files.") + kCrLf + kCrLf;
    } else {
        MsgBox(QStringLiteral("The output report buffer has been filled, so ") +
                   QStringLiteral("this report cannot continue."),
               vbOKOnly, QStringLiteral("Report buffer full"));
        text += QStringLiteral("The output report buffer was filled.") + kCrLf +
                QStringLiteral("Note: Some files or folders were not listed.") + kCrLf;
        blnStop = true;
    }
    strTextBuff.clear();
    blnReportBufferFull = true;
    SetBoxText(text);
    CaretToEnd();
}

// ---- Run control ----------------------------------------------------------------

void frmReport::PauseCheck() {
    DoEventsThrottled();
    if (Main().blnPurgingRecycleBin) return;
    if (blnStop) {
        Append(kCrLf);
        return;
    }
    if (!blnPaused) return;
    SyncBox(true);
    // Sleeps until the next window event; the buttons change the flags.
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (blnStop) {
            Append(kCrLf);
            return;
        }
        if (!blnPaused) return;
    }
}

void frmReport::SetRunButtons() {
    if (blnPurgeFiles) {
        cmdStop->setVisible(false);
        cmdPauseContinue->setText(QStringLiteral("Pause at next purge"));
        PlaceTw(cmdPauseContinue, LeftTw(cmdPauseContinue), TopTw(cmdClose), 2500, 420);
    } else {
        cmdStop->setText(QStringLiteral("Stop"));
        PlaceTw(cmdStop, LeftTw(cmdStop), TopTw(cmdClose), 1000, 420);
        cmdStop->setVisible(true);
        cmdPauseContinue->setText(QStringLiteral("Pause"));
        PlaceTw(cmdPauseContinue, LeftTw(cmdPauseContinue), TopTw(cmdClose), 1000, 420);
    }
}

void frmReport::cmdStop_Click() {
    blnStop = true;
    cmdStop->setVisible(false);
    cmdPauseContinue->setVisible(false);
    cmdClose->setVisible(true);
    SetCaption(lblPausedDone, QStringLiteral("Stopped"));
    PlaceBelowButtons(lblPausedDone, cmdStop);
    lblDots->setVisible(false);
}

void frmReport::cmdPauseContinue_Click() {
    blnPaused = !blnPaused;
    if (blnPaused) {
        cmdStop->setText(QStringLiteral("Stop"));
        PlaceTw(cmdStop, LeftTw(cmdStop), TopTw(cmdClose), 1000, 420);
        cmdStop->setVisible(true);
        cmdPauseContinue->setText(QStringLiteral("Continue"));
        PlaceTw(cmdPauseContinue, LeftTw(cmdPauseContinue), TopTw(cmdClose), 1500, 420);
        SetCaption(lblPausedDone, QStringLiteral("Paused"));
        PlaceBelowButtons(lblPausedDone, cmdStop);
        lblDots->setVisible(false);
    } else {
        SetRunButtons();
        SetCaption(lblPausedDone, QString());
    }
    PlacePauseContinue();
}

void frmReport::cmdClose_Click() {
    blnStop = true;
    hide();
}

void frmReport::closeEvent(QCloseEvent* event) {
    // Closing the window is Close: a run ends at its next check.
    blnStop = true;
    event->accept();
}

void frmReport::CopyReport(bool clearState) {
    SyncBox(true);
    if (!strReport_.isEmpty()) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        QString text = txbText->textCursor().selectedText();
        if (text.isEmpty()) {
            text = strReport_;
        } else {
            text.replace(QChar::ParagraphSeparator, kCrLf);
            text.replace(QChar::LineSeparator, kCrLf);
        }
        clipboard->clear();
        clipboard->setText(platform::Platform::shownName(text));
    }
    if (clearState) SetCaption(lblPausedDone, QString());
    cmdCopyToClipboard->setText(QStringLiteral("Copy to clipboard"));
    PlaceTw(cmdCopyToClipboard, LeftTw(cmdCopyToClipboard), TopTw(cmdCopyToClipboard), 2115, 420);
    if (cmdClose->isVisible()) cmdClose->setFocus();
}

void frmReport::cmdCopyToClipboard_Click() { CopyReport(true); }

void frmReport::txbText_MouseUp() {
    if (!cmdCopyToClipboard->isEnabled()) return;
    if (txbText->textCursor().hasSelection()) {
        cmdCopyToClipboard->setText(QStringLiteral("Copy selected text to clipboard"));
        PlaceTw(cmdCopyToClipboard, LeftTw(cmdCopyToClipboard), TopTw(cmdCopyToClipboard), 3165, 420);
        SetCaption(lblPausedDone, QString());
    } else {
        cmdCopyToClipboard->setText(QStringLiteral("Copy to clipboard"));
        PlaceTw(cmdCopyToClipboard, LeftTw(cmdCopyToClipboard), TopTw(cmdCopyToClipboard), 2115, 420);
    }
}

bool frmReport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txbText->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        txbText_MouseUp();
    return QWidget::eventFilter(watched, event);
}

bool frmReport::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        cmdCopyToClipboard->setText(QStringLiteral("Copy to clipboard"));
        PlaceTw(cmdCopyToClipboard, LeftTw(cmdCopyToClipboard), TopTw(cmdCopyToClipboard), 2115, 420);
        // Pending text of a running walk (a file name waiting for its
        // result) must survive the window being activated again.
        if (!running_) strTextBuff.clear();
    }
    return QWidget::event(event);
}

// ---- The run ---------------------------------------------------------------------

QString frmReport::TimeStamp() const {
    const QDateTime now = platform::current().now();
    return QLocale::system().toString(now.date(), QLocale::ShortFormat) + QStringLiteral(", ") +
           now.time().toString(QStringLiteral("hh:mm:ss")) + kCrLf;
}

QString frmReport::DirectoryCaption() const {
    const QString caption = mainWindow ? mainWindow->lblDirectory->text() : Main().strDirPath;
    return platform::Platform::shownName(caption);
}

QString frmReport::FilesCaption() const {
    const QString caption = mainWindow ? mainWindow->lblFiles->text() : Main().strFilespec;
    return platform::Platform::shownName(caption);
}

void frmReport::ProcessFiles() {
    MainState& m = Main();
    const PurgeOptions& o = Options();
    running_ = true;

    // 1. The window.
    cmdCopyToClipboard->setVisible(false);
    ClearReport();
    strTextBuff.clear();
    lblDots->setVisible(blnListFiles && !blnDisplayFolderNames);
    SetCaption(lblPausedDone, QString());
    cmdStop->setVisible(false);
    cmdClose->setVisible(false);
    SetRunButtons();
    PlacePauseContinue();
    cmdPauseContinue->setVisible(true);

    // 2. Counters.
    blnStop = false;
    blnPaused = false;
    blnPurgeRemainingFiles = false;
    blnReportBufferFull = false;
    lngNumFilesProcessed = 0;
    lngNumFilesPurged = 0;
    intNumFoldersRemoved = 0;
    dblTotalBytesPurged = 0;

    const frmTypeOfPurge& type = frmTypeOfPurge::instance();
    if (blnPurgeFiles) {
        // 3. Purge.
        Append(TimeStamp());
        if (FilesCaption() == QLatin1String("*.*")) {
            Append(QStringLiteral("Purging ") + QStringLiteral("all files in ") + DirectoryCaption());
            if (m.blnSubdirectories) Append(kCrLf + QStringLiteral("(including all files in subfolders) "));
        } else {
            Append(QStringLiteral("Purging ") + QStringLiteral("files ") + DirectoryCaption() + FilesCaption() +
                   QLatin1Char(' '));
            if (m.blnSubdirectories)
                Append(kCrLf + QStringLiteral("(including ") + FilesCaption() + QStringLiteral(" files in subfolders) "));
        }
        if (m.blnDateRestriction) Append(kCrLf + QStringLiteral("which satisfy the date restriction"));
        const QString description = mainWindow ? mainWindow->PurgeTypeNumPasses(type.GetPurgeType(), type.GetNumberOfPasses())
                                               : QString();
        Append(kCrLf + QStringLiteral("using ") + description + QLatin1Char('.') + kCrLf);
        FileOps::InitExcludedExtensions(FileOps::PermissionAsk);
        if (o.blnConfirmFiles) blnPurgeRemainingFiles = false;
        VQesPurgeRecursive(strNextDirPath, strCurrentFileSpec, false);
    } else {
        // 4. Listing.
        if (mainWindow) SetCaption(mainWindow->lblEstimatedTime, QString());
        ListFilesRecursive(strNextDirPath, strCurrentFileSpec);
        if (lngNumFilesProcessed == 0)
            Append(QStringLiteral("No files to list") +
                   (m.blnDateRestriction ? QStringLiteral(" (possibly due to the date restriction)") : QString()) +
                   QLatin1Char('.') + kCrLf);
    }
    if (!strTextBuff.isEmpty() && !blnReportBufferFull) Append(strTextBuff);
    strTextBuff.clear();

    // 5. The buttons of a finished run; the report ends in one blank line.
    cmdStop->setVisible(false);
    cmdPauseContinue->setVisible(false);
    cmdClose->setVisible(true);
    QString text = strReport_;
    StrProc::TrimTrailingWhitespace(text);
    SetBoxText(text + kCrLf + kCrLf);

    // 6. A listing of dots keeps only its summary.
    if (!blnPurgeFiles && !blnDisplayFolderNames && lngNumFilesProcessed > 0) {
        ClearReport();
        lblDots->setVisible(false);
    }

    // 7. The count.
    if (lngNumFilesProcessed >= 1) {
        const QString& spec = strCurrentFileSpec;
        if (!spec.contains(QLatin1Char('?')) && !spec.mid(1).contains(QLatin1Char('*')))
            Append(QStringLiteral("Number of files: "));
        else
            Append(QStringLiteral("Number of files ") + platform::Platform::shownName(spec) + QStringLiteral(": "));
        Append(Grouped(lngNumFilesProcessed) + kCrLf);
    }

    if (blnPurgeFiles) {
        // 8. Purge summary.
        if (!(lngNumFilesProcessed == 1 && lngNumFilesPurged == 1))
            Append(QStringLiteral("Number of files purged: ") + Grouped(lngNumFilesPurged) + kCrLf);
        if (lngNumFilesPurged > 1) {
            Append(QStringLiteral("Sum of sizes of files purged: ") + StrProc::SizeText(dblTotalBytesPurged, 2) +
                   kCrLf + kCrLf);
            // The option in force for this run: the check box itself has
            // already gone back to its earlier state.
            if (o.blnDoNotDeletePurgedFiles) Append(QStringLiteral("Purged files not deleted.") + kCrLf);
        }
        if (intNumFoldersRemoved > 0)
            Append(QStringLiteral("Number of folders removed:") + QLatin1Char(' ') +
                   QString::number(intNumFoldersRemoved) + kCrLf);
        if (blnStop) Append(QStringLiteral("Purge operation was stopped.") + kCrLf + kCrLf);
    } else {
        // 9. Listing summary.
        if (lngNumFilesProcessed > 1)
            Append(QStringLiteral("Sum of file sizes: ") + StrProc::SizeText(dblTotalBytesPurged, 2) + kCrLf + kCrLf);
        if (blnStop) Append(QStringLiteral("Listing was stopped.") + kCrLf + kCrLf);
        // 10. The estimate needs the drive's measured purge speed.
        if (dblTotalBytesPurged > 0 && !blnStop) {
            const QString caption = DirectoryCaption();
            const QChar letter = caption.isEmpty() ? QChar() : caption.at(0).toUpper();
            const QString purgeType = mainWindow ? mainWindow->lblTypeOfPurge->text() : QString();
            const TimeEstimates::Estimate e = TimeEstimates::EstimateBlock(
                letter, dblTotalBytesPurged, lngNumFilesProcessed, purgeType, type.GetNumOverwrites());
            Append(e.text);
            if (mainWindow && !e.label.isNull()) SetCaption(mainWindow->lblEstimatedTime, e.label);
        }
    }

    // 11. End of a purge.
    if (blnPurgeFiles) {
        Append(TimeStamp());
        const QString state = lblPausedDone->text();
        if (state != QLatin1String("Paused") && state != QLatin1String("Stopped") && lngNumFilesPurged > 0) {
            SetCaption(lblPausedDone, QStringLiteral("Done"));
            PlaceBelowButtons(lblPausedDone, cmdClose);
            lblDots->setVisible(false);
        }
    }

    // 12. The whole report on the clipboard ("Done" stays in view).
    MoveTw(cmdCopyToClipboard, LeftTw(cmdStop), TopTw(cmdClose));
    cmdCopyToClipboard->setVisible(true);
    txbText->setTextCursor(QTextCursor(txbText->document()));
    CopyReport(false);
    CaretToEnd();
    running_ = false;
}

QString frmReport::EstimatedTimes(float sngPurgeSpeed, double dblTotalBytes2, double dblAdjustmentFactor,
                                  const QString& strDrive) const {
    return TimeEstimates::EstimatedTimes(sngPurgeSpeed, dblTotalBytes2, dblAdjustmentFactor, strDrive);
}
