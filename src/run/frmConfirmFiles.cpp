#include "run/frmConfirmFiles.h"

#include "run/frmReport.h"
#include "support/FormUi.h"

#include <QShowEvent>

namespace {

constexpr int kFormWidth = 9000;

} // namespace

frmConfirmFiles::frmConfirmFiles(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmConfirmFiles"));
    setWindowTitle(QStringLiteral("Confirm purging of this file"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont arial(QStringLiteral("Arial"));
    arial.setStyleHint(QFont::SansSerif);
    setFont(arial);

    lblPurgeThisFile = new QLabel(QStringLiteral("Purge this file?"), this);
    lblPurgeThisFile->setObjectName(QStringLiteral("lblPurgeThisFile"));
    PlaceTw(lblPurgeThisFile, 240, 180, 3000, 300);
    lblFile = new QLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setTextFormat(Qt::PlainText);
    lblFile->setWordWrap(true);
    lblFile->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTw(lblFile, 240, 540, kFormWidth - 480, 720);

    const auto button = [this](const QString& name, const QString& caption, int left, int top, int width) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(true);
        PlaceTw(b, left, top, width, 420);
        return b;
    };
    cmdYes = button(QStringLiteral("cmdYes"), QStringLiteral("Yes"), 240, 1380, 1200);
    cmdNo = button(QStringLiteral("cmdNo"), QStringLiteral("No"), 1560, 1380, 1200);
    cmdStopPurge = button(QStringLiteral("cmdStopPurge"), QStringLiteral("Stop this purge"), 2880, 1380, 2000);
    cmdYesAndDontShowAgain = button(QStringLiteral("cmdYesAndDontShowAgain"),
                                    QStringLiteral("Purge this file and all subsequent files (don't show this again)."),
                                    240, 1920, kFormWidth - 480);
    connect(cmdYes, &QPushButton::clicked, this, &frmConfirmFiles::cmdYes_Click);
    connect(cmdNo, &QPushButton::clicked, this, &frmConfirmFiles::cmdNo_Click);
    connect(cmdYesAndDontShowAgain, &QPushButton::clicked, this, &frmConfirmFiles::cmdYesAndDontShowAgain_Click);
    connect(cmdStopPurge, &QPushButton::clicked, this, &frmConfirmFiles::cmdStopPurge_Click);
    setFixedSize(tw(kFormWidth), tw(2520));
}

frmConfirmFiles& frmConfirmFiles::instance() {
    static frmConfirmFiles* form = nullptr;
    if (!form) form = new frmConfirmFiles(nullptr);
    return *form;
}

void frmConfirmFiles::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Against the report window's right edge.
    const frmReport& report = frmReport::instance();
    const QRect r = report.frameGeometry();
    move(r.left() + r.width() - frameGeometry().width() - tw(100), y());
    lblFile->setFixedWidth(width() - tw(480));
    cmdYes->setFocus();
}

void frmConfirmFiles::cmdYes_Click() {
    blnPurgeThisFile = true;
    hide();
}

void frmConfirmFiles::cmdNo_Click() {
    blnPurgeThisFile = false;
    hide();
}

void frmConfirmFiles::cmdYesAndDontShowAgain_Click() {
    blnPurgeThisFile = true;
    frmReport::instance().blnPurgeRemainingFiles = true;
    hide();
}

void frmConfirmFiles::cmdStopPurge_Click() {
    blnPurgeThisFile = false;
    frmReport& report = frmReport::instance();
    report.blnStop = true;
    SetCaption(report.lblPausedDone, QStringLiteral("Stopped"));
    hide();
}

// Escape skips this file, the answer that changes nothing.
void frmConfirmFiles::reject() { cmdNo_Click(); }
