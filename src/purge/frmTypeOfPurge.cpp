#include "purge/frmTypeOfPurge.h"

#include "app/MainState.h"
#include "support/FormUi.h"
#include "support/WindowRulesUi.h"
#include "support/Language.h"
#include "support/Seams.h"

#include <QButtonGroup>
#include <QShowEvent>

namespace {
const int kMaxPasses[3] = {9, 8, 4};
const int kDefaultListIndex[3] = {5, 3, 1};
} // namespace

qint16 OverwritesPerPass(int purgeType) {
    switch (purgeType) {
    case 0:
        return 2;
    case 1:
        return 3;
    case 2:
        return 6;
    default:
        return 0;
    }
}

frmTypeOfPurge::frmTypeOfPurge(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTypeOfPurge"));
    setWindowTitle(QStringLiteral("What type of purge should be used?"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetColours(this, TypeOfPurgeBackColor(), Qt::white);

    static const char* const captions[3] = {"1. Random bytes plus zeros", "2. Alternate bit patterns plus zeros",
                                            "3. Alternate bit patterns plus random bytes twice"};
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        optPurgeType[i] = new QRadioButton(QString::fromLatin1(captions[i]), this);
        optPurgeType[i]->setObjectName(QStringLiteral("optPurgeType_%1").arg(i));
        QFont bold = optPurgeType[i]->font();
        bold.setBold(true);
        optPurgeType[i]->setFont(bold);
        group->addButton(optPurgeType[i], i);
        PlaceTw(optPurgeType[i], 240, 180 + i * 1150, 6200, 330);

        lblPurgeType[i] = new QLabel(this);
        lblPurgeType[i]->setObjectName(QStringLiteral("lblPurgeType_%1").arg(i));
        lblPurgeType[i]->setWordWrap(true);
        lblPurgeType[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        PlaceTw(lblPurgeType[i], 540, 510 + i * 1150, 5900, 720);

        cboNumberOfPasses[i] = new QComboBox(this);
        cboNumberOfPasses[i]->setObjectName(QStringLiteral("cboNumberOfPasses_%1").arg(i));
        PlaceTw(cboNumberOfPasses[i], 6800, 700, 1000, 360);
        cboNumberOfPasses[i]->setVisible(false);
        connect(cboNumberOfPasses[i], QOverload<int>::of(&QComboBox::activated), this,
                [this](int) { cmdAccept->setFocus(); });
        connect(optPurgeType[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) ShowListOfType(i);
        });
    }
    lblNumberOfTimes = new QLabel(QStringLiteral("Number of times ('passes'):"), this);
    lblNumberOfTimes->setObjectName(QStringLiteral("lblNumberOfTimes"));
    lblNumberOfTimes->setWordWrap(true);
    PlaceTw(lblNumberOfTimes, 6600, 180, 1700, 480);

    lblDOD = new QLabel(this);
    lblDOD->setObjectName(QStringLiteral("lblDOD"));
    lblDOD->setWordWrap(true);
    PlaceTw(lblDOD, 240, 3700, 8000, 480);

    cmdAccept = new QPushButton(QStringLiteral("Accept"), this);
    cmdAccept->setObjectName(QStringLiteral("cmdAccept"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdAccept, cmdCancel}) b->setAutoDefault(false);
    PlaceTw(cmdAccept, 5400, 4380, 1300, 420);
    PlaceTw(cmdCancel, 6900, 4380, 1300, 420);
    connect(cmdAccept, &QPushButton::clicked, this, &frmTypeOfPurge::cmdAccept_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTypeOfPurge::cmdCancel_Click);
    setFixedSize(tw(8440), tw(5040));
    PrepareForm(this);
}

frmTypeOfPurge& frmTypeOfPurge::instance() {
    static frmTypeOfPurge* form = nullptr;
    if (!form) form = new frmTypeOfPurge(nullptr);
    return *form;
}

void frmTypeOfPurge::Initialization() {
    intMinNumPasses = 1;
    for (int type = 0; type < 3; ++type) {
        cboNumberOfPasses[type]->clear();
        intMaxNumPasses = static_cast<qint16>(kMaxPasses[type]);
        for (int n = 1; n <= intMaxNumPasses; ++n) cboNumberOfPasses[type]->addItem(QString::number(n));
    }
    optPurgeType[0]->setChecked(true);
    for (int type = 0; type < 3; ++type) cboNumberOfPasses[type]->setCurrentIndex(kDefaultListIndex[type]);
    ShowListOfType(0);
    lblPurgeType[0]->setText(
        QStringLiteral("Overwrite the data once with random bytes then with bit pattern 00000000."));
    lblPurgeType[1]->setText(QStringLiteral("Overwrite the data three times with bit patterns ") +
                             QStringLiteral("10101010, 01010101 and 00000000."));
    lblPurgeType[2]->setText(QStringLiteral("Overwrite the data twice with bit patterns 10101010 and 01010101, ") +
                             QStringLiteral("then with random bytes, then twice with bit patterns 00001010 and "
                                            "11110101, ") +
                             QStringLiteral("then again with random bytes."));
    lblDOD->setText(QStringLiteral("Both the type 2 purge (if done 6 times) and the type 3 purge ") +
                    QStringLiteral("(if done 3 times) meet the U.S. DoD 5220.22-M standard for disk sanitization."));
}

qint16 frmTypeOfPurge::GetPurgeType() const {
    for (int i = 0; i < 3; ++i)
        if (optPurgeType[i]->isChecked()) return static_cast<qint16>(i);
    return 0;
}

qint16 frmTypeOfPurge::GetNumberOfPasses() const {
    return static_cast<qint16>(cboNumberOfPasses[GetPurgeType()]->currentIndex() + intMinNumPasses);
}

qint16 frmTypeOfPurge::GetNumOverwritesPerPass() const { return OverwritesPerPass(GetPurgeType()); }

qint16 frmTypeOfPurge::GetNumOverwrites() const {
    return static_cast<qint16>(GetNumberOfPasses() * GetNumOverwritesPerPass());
}

void frmTypeOfPurge::SetPurgeType(int type, int passes) {
    if (type < 0 || type > 2) return;
    optPurgeType[type]->setChecked(true);
    const int index = passes - intMinNumPasses;
    if (index >= 0 && index < cboNumberOfPasses[type]->count()) cboNumberOfPasses[type]->setCurrentIndex(index);
}

void frmTypeOfPurge::ShowListOfType(int type) {
    for (int i = 0; i < 3; ++i) cboNumberOfPasses[i]->setVisible(i == type);
}

void frmTypeOfPurge::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    typeOnEntry_ = GetPurgeType();
    ShowListOfType(typeOnEntry_);
    cmdAccept->setFocus();
}

void frmTypeOfPurge::cmdAccept_Click() {
    const int n = GetNumOverwrites();
    QString times;
    if (n == 1)
        times = QStringLiteral("once.");
    else if (n == 2)
        times = QStringLiteral("twice.");
    else
        times = QString::number(n) + QStringLiteral(" times.");
    const QString question = QStringLiteral("In the type of purge specified each file ") + QStringLiteral("will") +
                             QStringLiteral(" be overwritten ") + times + QStringLiteral("\r\n") +
                             QStringLiteral("Is this OK?");
    if (MsgBox(question, vbYesNo | vbQuestion, Language::ProgramText(23)) != vbYes) return;
    emit choiceAccepted();
    hide();
}

void frmTypeOfPurge::cmdCancel_Click() {
    optPurgeType[typeOnEntry_]->setChecked(true);
    hide();
}

// Escape and the window's close button act as Cancel.
void frmTypeOfPurge::reject() { cmdCancel_Click(); }
