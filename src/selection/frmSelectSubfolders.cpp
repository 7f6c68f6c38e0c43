#include "selection/frmSelectSubfolders.h"

#include "platform/Platform.h"
#include "selection/folder.h"
#include "support/FormUi.h"
#include "support/WindowRulesUi.h"
#include "support/QuickSort.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocale>
#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kRowHeight = 285; // twips
constexpr int kMargin = 250;
constexpr int kScrollBarWidth = 255;
constexpr int kRowWidthLimit = 84; // characters

QColor FromColourValue(qint32 v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

QString Grouped(qint64 n) {
    QString text = QString::number(n);
    return StrProc::SeparateThousands(text, QLocale().groupSeparator());
}

QString FilePart(qint32 files) {
    if (files == 0) return QStringLiteral("no files and ");
    if (files == 1) return QStringLiteral("1 file and ");
    return Grouped(files) + QStringLiteral(" files and ");
}

QString SubfolderPart(qint32 subfolders) {
    if (subfolders == 0) return QStringLiteral("no subfolders");
    if (subfolders == 1) return QStringLiteral("1 subfolder");
    return QString::number(subfolders) + QStringLiteral(" subfolders");
}

} // namespace

frmSelectSubfolders::frmSelectSubfolders(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectSubfolders"));
    setWindowTitle(QStringLiteral("Select subfolders"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    picSubfolders = new QFrame(this);
    picSubfolders->setObjectName(QStringLiteral("picSubfolders"));
    picSubfolders->setFrameShape(QFrame::NoFrame);
    picSubfolders->installEventFilter(this);
    progress_ = new QLabel(picSubfolders);
    progress_->setObjectName(QStringLiteral("lblReadingDisk"));
    progress_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    vsbScrollBar = new QScrollBar(Qt::Vertical, this);
    vsbScrollBar->setObjectName(QStringLiteral("vsbScrollBar"));
    vsbScrollBar->setVisible(false);
    connect(vsbScrollBar, &QScrollBar::valueChanged, this, [this](int) {
        FillRows();
        cmdAccept->setFocus();
    });

    lblNumSubfolders = new QLabel(this);
    lblNumSubfolders->setObjectName(QStringLiteral("lblNumSubfolders"));
    lblNumSubfolders->setTextFormat(Qt::PlainText);

    const char* const allCaptions[2] = {"Select all", "Deselect all"};
    for (int i = 0; i < 2; ++i) {
        cmdSelectDeselectAllSubfolders[std::size_t(i)] = new QPushButton(QString::fromLatin1(allCaptions[i]), this);
        cmdSelectDeselectAllSubfolders[std::size_t(i)]->setObjectName(
            QStringLiteral("cmdSelectDeselectAllSubfolders_%1").arg(i));
        connect(cmdSelectDeselectAllSubfolders[std::size_t(i)], &QPushButton::clicked, this,
                [this, i]() { cmdSelectDeselectAllSubfolders_Click(i); });
    }
    cmdAccept = new QPushButton(QStringLiteral("Accept"), this);
    cmdAccept->setObjectName(QStringLiteral("cmdAccept"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdAccept, cmdCancel, cmdSelectDeselectAllSubfolders[0], cmdSelectDeselectAllSubfolders[1]})
        b->setAutoDefault(false);
    connect(cmdAccept, &QPushButton::clicked, this, &frmSelectSubfolders::cmdAccept_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelectSubfolders::cmdCancel_Click);

    resize(tw(12000), tw(5000));
    LayoutRows(0);
    PrepareForm(this);
}

frmSelectSubfolders& frmSelectSubfolders::instance() {
    static frmSelectSubfolders* form = nullptr;
    if (!form) form = new frmSelectSubfolders(nullptr);
    return *form;
}

QString frmSelectSubfolders::EntryLine(int i) const { return i >= 0 && i < entries_.size() ? entries_[i].line : QString(); }
bool frmSelectSubfolders::EntryTicked(int i) const { return i >= 0 && i < entries_.size() && entries_[i].tick == 1; }

QString frmSelectSubfolders::RowCaption(const QString& line, int bracePos) {
    if (line.size() <= kRowWidthLimit || bracePos <= 0 || bracePos >= line.size()) return line;
    const QString t = line.mid(bracePos);
    const int keep = kRowWidthLimit - int(t.size());
    return line.left(qMax(0, keep)) + QStringLiteral(" ... ") + t;
}

bool frmSelectSubfolders::Tickable(const Entry& e) const {
    if (e.unreadable || e.emptyOrUnreadable) return false;
    const QString tail = e.line.mid(e.bracePos).toLower();
    if (tail.contains(QLatin1String("permission denied")) || tail.contains(QLatin1String("no files and no subfolders")))
        return false;
    // The selection travels as lines: a name that holds a line break would
    // come back as two other folders.
    return !e.name.contains(QLatin1Char('\r')) && !e.name.contains(QLatin1Char('\n'));
}

void frmSelectSubfolders::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Busy from the moment the dialog appears; the list is read once the
    // window is on screen, so the progress text can be seen.
    reading_ = true;
    cancelled_ = false;
    blnFolderSelectionAccepted = false;
    const quint64 token = ++showing_;
    QTimer::singleShot(0, this, [this, token]() {
        if (token == showing_ && isVisible() && !cancelled_) Activate();
        else if (token == showing_) reading_ = false;
    });
}

void frmSelectSubfolders::WaitUntilRead() {
    QDeadlineTimer deadline(120000);
    while (reading_ && isVisible() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void frmSelectSubfolders::ApplyColours() {
    const QColor back = FromColourValue(lngBackColor);
    const QColor fore = FromColourValue(lngLabelForeColor);
    SetColours(this, back, fore);
    SetColours(picSubfolders, back, fore);
    SetColours(progress_, back, fore);
    SetColours(lblNumSubfolders, back, fore);
    KeepSystemColours(vsbScrollBar);
}

void frmSelectSubfolders::ShowProgress(const QString& text) {
    progress_->setGeometry(0, 0, picSubfolders->width(), picSubfolders->height());
    progress_->setText(text);
    progress_->setVisible(!text.isEmpty());
}

void frmSelectSubfolders::Activate() {
    reading_ = true;
    cancelled_ = false;
    blnOver = false;
    blnSomeSubfolderHasSubfolders = false;
    dblTotalBytesSelected = 0;
    strFoldersReturnedFromSelectFoldersForm.clear();
    setWindowTitle(strCaption.isEmpty() ? QStringLiteral("Select subfolders") : strCaption);
    ApplyColours();
    UnloadRows();
    entries_.clear();
    rows_ = 0;
    strN_.clear();
    SetCaption(lblNumSubfolders, QString());
    vsbScrollBar->setVisible(false);
    PlaceTw(picSubfolders, kMargin, kMargin, WidthTw(this) - 500, HeightTw(this) - 1300);
    ShowProgress(QStringLiteral("Reading disk . . ."));
    DoEvents();
    if (cancelled_ || !isVisible()) {
        reading_ = false;
        return;
    }

    platform::Platform& p = platform::current();
    QString top = strTopFolder;
    StrProc::AddBackslash(top);
    platform::Listing listing;
    int error = 0;
    if (!p.listFolder(top, listing, error)) {
        reading_ = false;
        ShowProgress(QString());
        MsgBox(p.errorText(error), vbOKOnly | vbExclamation, QStringLiteral("Select subfolders"));
        blnFolderSelectionAccepted = false;
        hide();
        return;
    }

    const int total = int(listing.folders.size());
    int k = 0;
    for (const platform::Entry& sub : listing.folders) {
        ++k;
        if (blnExcludeRecycleBin && sub.path.toUpper().contains(QLatin1String("$RECYCLE.BIN"))) continue;
        Entry e;
        e.name = sub.name;
        bool denied = false;
        e.emptyOrUnreadable = folder::FolderIsEmpty(sub.path, denied);
        QString fileError;
        double directSize = -1;
        bool filesDenied = false;
        const qint32 files =
            folder::CountMatchingFiles(sub.path, QStringLiteral("*.*"), false, false, fileError, directSize, filesDenied);
        QString subError;
        const qint32 subfolders = folder::CountSubfolders(sub.path, subError);
        // A folder removed while the list is read is no longer a choice.
        if (p.kind(sub.path) != platform::Kind::Folder) {
            DoEvents();
            if (cancelled_ || !isVisible()) break;
            continue;
        }
        e.numSubfolders = subfolders;
        e.unreadable = denied || filesDenied || files < 0 || subfolders < 0;
        QString brace;
        if (e.unreadable) {
            QString why = denied || filesDenied ? QStringLiteral("permission denied")
                                                : (!fileError.isEmpty() ? fileError : subError);
            if (why.isEmpty()) why = QStringLiteral("permission denied");
            brace = QStringLiteral("{") + why + QStringLiteral("}");
        } else {
            brace = QStringLiteral("{") + FilePart(files) + SubfolderPart(subfolders);
            if (!blnOmitTotalFilesize && (files > 0 || subfolders > 0)) {
                double size = directSize < 0 ? 0 : directSize;
                if (subfolders > 0) {
                    qint32 count = 0;
                    qint32 status = 200;
                    qint32 errors = 0;
                    folder::GetNumFilesInAllSubfolders(true, sub.path, QStringLiteral("*.*"), count, status, true, size,
                                                       errors, false, 0);
                    // Folders below that could not be read leave the size short too.
                    e.over = status == folder::kLimitReached || errors > 0;
                }
                e.size = size;
                brace += QStringLiteral(", ") + (e.over ? QStringLiteral("over ") : QString()) +
                         StrProc::SizeText(size, 2);
            }
            brace += QLatin1Char('}');
        }
        e.line = e.name + QLatin1Char(' ') + brace;
        e.bracePos = int(e.name.size()) + 1;
        entries_.append(e);
        ShowProgress(QStringLiteral("Reading disk . . .  ") + QString::number(k) + QStringLiteral(" of ") +
                     QString::number(total));
        DoEvents();
        if (cancelled_ || !isVisible()) break;
    }
    if (cancelled_ || !isVisible()) {
        entries_.clear();
        reading_ = false;
        return;
    }

    // Sort the lines without regard to case; the index behind a NUL keeps
    // each line with its own data and sorts as the line alone would.
    const int n = int(entries_.size());
    QStringList keys;
    keys.reserve(n);
    for (int i = 0; i < n; ++i) keys << entries_[i].line + QChar(0) + QString::number(i);
    QuickSort::QuickSortKeyed(keys, 0, n - 1, true);
    QList<Entry> sorted;
    sorted.reserve(n);
    for (const QString& key : keys) sorted.append(entries_[key.mid(key.lastIndexOf(QChar(0)) + 1).toInt()]);
    entries_ = sorted;

    TickPassedFolders();

    strN_ = Grouped(n);
    rows_ = qMin(n, int(qMax<qint16>(intMaxNumCheckboxes, 1)));
    ShowProgress(QString());
    LayoutRows(rows_);
    if (n > rows_) {
        vsbScrollBar->blockSignals(true);
        vsbScrollBar->setMinimum(0);
        vsbScrollBar->setMaximum(n - rows_);
        vsbScrollBar->setValue(0);
        vsbScrollBar->setSingleStep(1);
        vsbScrollBar->setPageStep(qMax(1, intMaxNumCheckboxes - 1));
        vsbScrollBar->blockSignals(false);
        vsbScrollBar->setVisible(true);
        vsbScrollBar->raise();
    } else {
        vsbScrollBar->setVisible(false);
    }
    FillRows();
    ShowStatus();
    reading_ = false;
    cmdAccept->setFocus();
}

void frmSelectSubfolders::TickPassedFolders() {
    for (Entry& e : entries_) e.tick = 0;
    if (strFoldersPassedToSelectFoldersForm.isEmpty()) return;
    QString top = strTopFolder;
    StrProc::AddBackslash(top);
    const QStringList lines = strFoldersPassedToSelectFoldersForm.split(QStringLiteral("\r\n"));
    for (const QString& raw : lines) {
        const QString key = StrProc::LowerCaseAccented(raw.trimmed());
        if (key.isEmpty()) continue;
        // The same spelling wins; only without one does case decide nothing,
        // so of two folders "A" and "a" only the one chosen before is ticked.
        bool exact = false;
        for (Entry& e : entries_) {
            if (raw == e.name || raw == top + e.name) {
                exact = true;
                if (Tickable(e)) e.tick = 1;
            }
        }
        if (exact) continue;
        for (Entry& e : entries_) {
            if (StrProc::LowerCaseAccented(e.name.trimmed()) == key ||
                StrProc::LowerCaseAccented((top + e.name).trimmed()) == key) {
                if (Tickable(e)) e.tick = 1;
            }
        }
    }
}

void frmSelectSubfolders::LayoutRows(int rows) {
    const int inner = WidthTw(this) - 2 * kMargin;
    const int picHeight = rows * kRowHeight;
    PlaceTw(picSubfolders, kMargin, kMargin, inner, picHeight);
    const QColor back = FromColourValue(lngBackColor);
    const QColor fore = FromColourValue(lngLabelForeColor);
    for (int k = int(chkSubfolder.size()); k < rows; ++k) {
        auto* box = new QCheckBox(picSubfolders);
        box->setObjectName(QStringLiteral("chkSubfolder_%1").arg(k));
        SetColours(box, back, fore);
        // A button fills with its button colour; the row shows the list's.
        box->setAutoFillBackground(false);
        connect(box, &QCheckBox::toggled, this, [this, k](bool on) { OnRowToggled(k, on); });
        box->installEventFilter(this);
        chkSubfolder.append(box);
    }
    for (int k = 0; k < int(chkSubfolder.size()); ++k) {
        PlaceTw(chkSubfolder[k], 60, k * kRowHeight, inner - 60 - kScrollBarWidth - 60, kRowHeight);
        chkSubfolder[k]->setVisible(true);
    }
    PlaceTw(vsbScrollBar, kMargin + inner - kScrollBarWidth, kMargin, kScrollBarWidth, qMax(picHeight, kRowHeight));

    resize(width(), tw(picHeight + 1400));
    const int below = kMargin + picHeight;
    const int buttonTop = below + 500;
    MoveTw(lblNumSubfolders, kMargin, below + 130);
    PlaceTw(cmdSelectDeselectAllSubfolders[0], kMargin, buttonTop, 1400, 420);
    PlaceTw(cmdSelectDeselectAllSubfolders[1], kMargin + 1520, buttonTop, 1400, 420);
    PlaceTw(cmdCancel, kMargin + inner - 1300, buttonTop, 1300, 420);
    PlaceTw(cmdAccept, kMargin + inner - 2 * 1300 - 120, buttonTop, 1300, 420);
}

void frmSelectSubfolders::FillRows() {
    filling_ = true;
    const int first = vsbScrollBar->isVisible() ? vsbScrollBar->value() : 0;
    for (int k = 0; k < int(chkSubfolder.size()); ++k) {
        const int i = first + k;
        QCheckBox* box = chkSubfolder[k];
        if (k >= rows_ || i >= entries_.size()) {
            box->setVisible(false);
            continue;
        }
        box->setText(platform::Platform::shownName(RowCaption(entries_[i].line, entries_[i].bracePos)));
        box->setChecked(entries_[i].tick == 1);
    }
    filling_ = false;
}

void frmSelectSubfolders::UnloadRows() {
    for (QCheckBox* box : chkSubfolder) {
        box->hide();
        box->deleteLater();
    }
    chkSubfolder.clear();
}

void frmSelectSubfolders::OnRowToggled(int row, bool checked) {
    if (filling_) return;
    const int i = (vsbScrollBar->isVisible() ? vsbScrollBar->value() : 0) + row;
    if (i < 0 || i >= entries_.size()) return;
    Entry& e = entries_[i];
    if (checked && !Tickable(e)) {
        QCheckBox* box = chkSubfolder[row];
        filling_ = true;
        box->setChecked(false);
        filling_ = false;
        e.tick = 0;
    } else {
        e.tick = checked ? 1 : 0;
    }
    ShowStatus();
}

void frmSelectSubfolders::cmdSelectDeselectAllSubfolders_Click(int index) {
    if (reading_) return;
    for (Entry& e : entries_) e.tick = index == 0 && Tickable(e) ? 1 : 0;
    FillRows();
    ShowStatus();
}

void frmSelectSubfolders::ShowStatus() {
    const int n = int(entries_.size());
    qint64 ticked = 0;
    double bytes = 0;
    bool over = false;
    for (const Entry& e : entries_) {
        if (e.tick != 1) continue;
        ++ticked;
        bytes += e.size;
        over = over || e.over;
    }
    QString text;
    if (ticked == 0)
        text = QStringLiteral("No subfolders selected.");
    else if (ticked == 1)
        text = QStringLiteral("One subfolder selected.");
    else if (ticked == n)
        text = QStringLiteral("All ") + strN_ + QStringLiteral(" subfolders selected.");
    else
        text = Grouped(ticked) + QStringLiteral(" selected (of ") + strN_ + QStringLiteral(").");
    SetCaption(lblNumSubfolders, text);
    dblTotalBytesSelected = bytes;
    blnOver = over;
}

void frmSelectSubfolders::cmdAccept_Click() {
    if (reading_) return;
    blnFolderSelectionAccepted = true;
    hide();
    QString returned;
    bool someHaveSubfolders = false;
    for (const Entry& e : entries_) {
        if (e.tick != 1) continue;
        returned += e.name + QStringLiteral("\r\n");
        if (e.numSubfolders != 0) someHaveSubfolders = true;
    }
    strFoldersReturnedFromSelectFoldersForm = returned;
    blnSomeSubfolderHasSubfolders = someHaveSubfolders;
    UnloadRows();
}

void frmSelectSubfolders::cmdCancel_Click() {
    blnFolderSelectionAccepted = false;
    cancelled_ = true;
    hide();
    UnloadRows();
}

void frmSelectSubfolders::closeEvent(QCloseEvent* event) {
    if (isVisible()) {
        MsgBox(QStringLiteral("Please exit this window only by clicking on 'Accept' or 'Cancel'."), vbOKOnly,
               QStringLiteral("Select Folders"));
        cmdCancel_Click();
    }
    event->accept();
}

// The wheel over the rows scrolls them, as over any list.
bool frmSelectSubfolders::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && vsbScrollBar->isVisible() && vsbScrollBar->isEnabled() &&
        (watched == picSubfolders || chkSubfolder.contains(qobject_cast<QCheckBox*>(watched)))) {
        QCoreApplication::sendEvent(vsbScrollBar, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Escape acts as Cancel.
void frmSelectSubfolders::reject() { cmdCancel_Click(); }
