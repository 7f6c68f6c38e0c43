#include "run/frmPurgeConfirmation.h"

#include "app/MainState.h"
#include "purge/ClusterSize.h"
#include "support/FormUi.h"

#include <QEvent>
#include <QMouseEvent>
#include <QShowEvent>

namespace {

constexpr int kFormWidth = 8200;

} // namespace

frmPurgeConfirmation::frmPurgeConfirmation(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPurgeConfirmation"));
    setWindowTitle(QStringLiteral("Purge confirmation"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTw(lblMessage, 240, 180, kFormWidth - 480, 1800);

    // Reading order: the options top to bottom, then the two buttons.
    int top = 2100;
    const auto check = [this, &top](const QString& name, const QString& caption) {
        auto* c = new QCheckBox(caption, this);
        c->setObjectName(name);
        PlaceTw(c, 360, top, kFormWidth - 720, 330);
        top += 360;
        // The focus goes back to the safe answer after each change.
        connect(c, &QCheckBox::clicked, this, [this]() {
            if (isVisible()) cmdCancel->setFocus();
        });
        return c;
    };
    chkConfirmFiles = check(QStringLiteral("chkConfirmFiles"), QStringLiteral("Confirm purge operation for each file"));
    chkOKToPurgeSystemFiles = check(QStringLiteral("chkOKToPurgeSystemFiles"), QStringLiteral("OK to purge system files"));
    chkOKToPurgeSensitiveFiles = check(QStringLiteral("chkOKToPurgeSensitiveFiles"),
                                       QStringLiteral("OK to purge sensitive files (exe, dll, sys, ini, etc.)"));
    chkOKToPurgeReadOnlyFiles =
        check(QStringLiteral("chkOKToPurgeReadOnlyFiles"), QStringLiteral("OK to purge read-only files"));
    chkFolderNamesOnly = check(QStringLiteral("chkFolderNamesOnly"),
                               QStringLiteral("Include only folder names (not file names) in report"));
    chkDeleteEmptyFolders = check(QStringLiteral("chkDeleteEmptyFolders"), QStringLiteral("Delete empty folders"));
    chkDoNotDeletePurgedFiles = check(QStringLiteral("chkDoNotDeletePurgedFiles"),
                                      QStringLiteral("Do not delete purged files (only for testing)"));
    chkPurgeSlackOnly = check(QStringLiteral("chkPurgeSlackOnly"), QStringLiteral("Purge slack area only"));
    chkPurgeSlackOnly->setVisible(false);
    top -= 360;

    fraClusterSize = new QFrame(this);
    fraClusterSize->setObjectName(QStringLiteral("fraClusterSize"));
    PlaceTw(fraClusterSize, 360, top, 4000, 420);
    lblClusterSize = new QLabel(QStringLiteral("Cluster size:"), fraClusterSize);
    lblClusterSize->setObjectName(QStringLiteral("lblClusterSize"));
    PlaceTw(lblClusterSize, 0, 60, 1200, 300);
    lblClusterSize->installEventFilter(this);
    cboClusterSize = new QComboBox(fraClusterSize);
    cboClusterSize->setObjectName(QStringLiteral("cboClusterSize"));
    PlaceTw(cboClusterSize, 1260, 0, 1400, 360);
    lblFileSystem = new QLabel(fraClusterSize);
    lblFileSystem->setObjectName(QStringLiteral("lblFileSystem"));
    PlaceTw(lblFileSystem, 2760, 60, 1200, 300);
    lblFileSystem->installEventFilter(this);
    const char* const sizes[] = {"512 bytes", "1 KB", "2 KB", "4 KB", "8 KB", "16 KB", "32 KB", "64 KB"};
    int value = 512;
    for (const char* s : sizes) {
        cboClusterSize->addItem(QString::fromLatin1(s), value);
        value *= 2;
    }
    // At load: the cluster-size controls are hidden and "4 KB" is selected.
    lblClusterSize->setVisible(false);
    cboClusterSize->setVisible(false);
    lblFileSystem->setVisible(false);
    cboClusterSize->setCurrentIndex(3);

    top += 480;
    cmdDoPurge = new QPushButton(QStringLiteral("Yes, purge these files"), this);
    cmdDoPurge->setObjectName(QStringLiteral("cmdDoPurge"));
    cmdCancel = new QPushButton(QStringLiteral("No, cancel this purge"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter presses the button that has the focus.
    for (QPushButton* b : {cmdDoPurge, cmdCancel}) b->setAutoDefault(true);
    PlaceTw(cmdDoPurge, 1200, top, 2800, 480);
    PlaceTw(cmdCancel, 4200, top, 2800, 480);
    connect(cmdDoPurge, &QPushButton::clicked, this, &frmPurgeConfirmation::cmdDoPurge_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPurgeConfirmation::cmdCancel_Click);
    setFixedSize(tw(kFormWidth), tw(top + 720));

    SetOptions(this);
}

frmPurgeConfirmation::~frmPurgeConfirmation() {
    if (&Options() == static_cast<PurgeOptions*>(this)) SetOptions(nullptr);
}

frmPurgeConfirmation& frmPurgeConfirmation::instance() {
    static frmPurgeConfirmation* form = nullptr;
    if (!form) {
        // The options in force so far become this dialog's.
        const PurgeOptions before = Options();
        form = new frmPurgeConfirmation(nullptr);
        static_cast<PurgeOptions&>(*form) = before;
    }
    return *form;
}

void frmPurgeConfirmation::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Activate();
}

void frmPurgeConfirmation::Activate() {
    intSavedDoNotDelete = chkDoNotDeletePurgedFiles->isChecked();
    chkPurgeSlackOnly->setChecked(false);
    fraClusterSize->setVisible(false);
    blnConfirm = false;
    const MainState& m = Main();
    lblMessage->setText(m.strMsg[1]);
    cmdDoPurge->setText(m.intNumFiles < 2 && !m.blnSubdirectories ? QStringLiteral("Yes, purge this file")
                                                                 : QStringLiteral("Yes, purge these files"));
    if (!m.blnSubdirectories) chkDeleteEmptyFolders->setChecked(false);
    chkDeleteEmptyFolders->setVisible(m.blnSubdirectories);
    const qint32 size = GetClusterSize(strDriveLetter);
    const int match = cboClusterSize->findData(size);
    if (match >= 0) cboClusterSize->setCurrentIndex(match);
    fraClusterSize->setVisible(false);
    lblFileSystem->setVisible(false);
    cmdCancel->setFocus();
}

void frmPurgeConfirmation::cmdDoPurge_Click() {
    blnConfirm = true;
    blnPurgeSlackOnly = false;
    blnDoNotDeletePurgedFiles = chkDoNotDeletePurgedFiles->isChecked();
    blnOKToPurgeReadOnlyFiles = chkOKToPurgeReadOnlyFiles->isChecked();
    blnOKToPurgeSystemFiles = chkOKToPurgeSystemFiles->isChecked();
    blnOKToPurgeSensitiveFiles = chkOKToPurgeSensitiveFiles->isChecked();
    blnFolderNamesOnly = chkFolderNamesOnly->isChecked();
    blnDeleteEmptyFolders = chkDeleteEmptyFolders->isChecked();
    blnConfirmFiles = chkConfirmFiles->isChecked();
    const QChar letter = strDriveLetter.isEmpty() ? QChar() : strDriveLetter.at(0).toUpper();
    const int index = letter.unicode() - u'A';
    if (index >= 0 && index < 26)
        Main().lngDriveClusterSize[size_t(index)] = cboClusterSize->currentData().toInt();
    lblFileSystem->clear();
    chkDoNotDeletePurgedFiles->setChecked(intSavedDoNotDelete);
    hide();
}

void frmPurgeConfirmation::cmdCancel_Click() {
    blnConfirm = false;
    lblFileSystem->clear();
    chkDoNotDeletePurgedFiles->setChecked(intSavedDoNotDelete);
    hide();
}

void frmPurgeConfirmation::reject() { cmdCancel_Click(); }

bool frmPurgeConfirmation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lblClusterSize) lblFileSystem->setVisible(!lblFileSystem->isVisible());
        else if (watched == lblFileSystem) lblFileSystem->setVisible(false);
    }
    return QDialog::eventFilter(watched, event);
}
