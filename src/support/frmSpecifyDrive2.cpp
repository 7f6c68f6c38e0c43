#include "support/frmSpecifyDrive2.h"

#include "platform/Platform.h"
#include "support/ChoosersUi.h"
#include "support/DiskProc.h"
#include "support/FormUi.h"
#include "support/WindowRulesUi.h"

#include <QFontDatabase>
#include <QShowEvent>

namespace {

QFont DialogFont() {
    if (QFontDatabase::families().contains(QStringLiteral("Arial"), Qt::CaseInsensitive)) {
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(QFontDatabase::systemFont(QFontDatabase::GeneralFont).pointSize());
        return f;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

} // namespace

frmSpecifyDrive2::frmSpecifyDrive2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSpecifyDrive2"));
    setWindowTitle(QStringLiteral("Specify disk drive"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    intDriveTypes.fill(-1);

    cboDrives = new QComboBox(this);
    cboDrives->setObjectName(QStringLiteral("cboDrives"));
    cboDrives->setEditable(false);
    PlaceTw(cboDrives, 240, 240, 4080, 360);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdAccept = new QPushButton(QStringLiteral("Accept"), this);
    cmdAccept->setObjectName(QStringLiteral("cmdAccept"));
    for (QPushButton* b : {cmdCancel, cmdAccept}) b->setAutoDefault(false);
    PlaceTw(cmdCancel, 1500, 840, 1300, 420);
    PlaceTw(cmdAccept, 3020, 840, 1300, 420);
    connect(cmdAccept, &QPushButton::clicked, this, &frmSpecifyDrive2::cmdAccept_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSpecifyDrive2::cmdCancel_Click);
    setFixedSize(tw(4560), tw(1500));
    PrepareForm(this);
}

frmSpecifyDrive2& frmSpecifyDrive2::instance() {
    static frmSpecifyDrive2* form = nullptr;
    if (!form) form = new frmSpecifyDrive2(nullptr);
    return *form;
}

qint16 frmSpecifyDrive2::DriveTypeOfEntry(int index) const {
    return index >= 0 && index < kNumTypeSlots ? intDriveTypes[std::size_t(index)] : qint16(-1);
}

void frmSpecifyDrive2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Activate();
}

void frmSpecifyDrive2::Activate() {
    platform::Platform& p = platform::current();
    const QList<platform::DriveInfo> list = p.drives();
    blnDrivesPresent = !list.isEmpty();
    // A list left from an earlier showing must not offer drives that are gone.
    intDriveTypes.fill(-1);
    cboDrives->clear();
    if (!blnDrivesPresent) return;

    QString previous;
    int selected = 0;
    int counter = -1;
    const QChar wanted = strDrive.isEmpty() ? QChar() : strDrive.at(0).toUpper();
    for (const platform::DriveInfo& d : list) {
        const QChar letter = d.letter.toUpper();
        // A drive whose label cannot be read is still listed.
        const QString label = p.volumeLabel(letter);
        const QString entry = DriveCaption(letter, label);
        if (entry == previous) continue;
        cboDrives->addItem(entry);
        previous = entry;
        ++counter;
        if (letter == wanted) selected = counter;
        if (counter < kNumTypeSlots)
            intDriveTypes[std::size_t(counter)] = DiskProc::FsoDriveTypeOf(p.driveKind(letter));
    }
    cboDrives->setCurrentIndex(selected);
    cmdCancel->setFocus();
}

void frmSpecifyDrive2::cmdAccept_Click() {
    const int index = cboDrives->currentIndex();
    if (index < 0) { // nothing to choose from
        cmdCancel_Click();
        return;
    }
    strDrive = cboDrives->itemText(index).left(2);
    blnAccept = true;
    intDriveType = DriveTypeOfEntry(index);
    hide();
}

void frmSpecifyDrive2::cmdCancel_Click() {
    blnAccept = false;
    strDrive.clear();
    intDriveType = -1;
    hide();
}

// Escape and the frame's close box act as Cancel.
void frmSpecifyDrive2::reject() { cmdCancel_Click(); }
