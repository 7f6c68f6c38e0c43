#include "selection/frmCEDateInput.h"

#include "selection/DatePr2.h"
#include "support/FormUi.h"
#include "support/WindowRulesUi.h"
#include "support/Seams.h"
#include "support/WindowRulesUi.h"

#include <QShowEvent>

#include "tivrel.h"

namespace {

constexpr int kDesignWidth = 7800;
constexpr int kDesignHeight = 2520;
constexpr int kButtonWidth = 1300;
constexpr int kButtonHeight = 450;
constexpr int kButtonTop = 1800;
constexpr int kMargin = 250;

} // namespace

frmCEDateInput::frmCEDateInput(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCEDateInput"));
    setWindowTitle(QStringLiteral("Date input"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lblPrompt = new QLabel(this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setTextFormat(Qt::PlainText);
    lblPrompt->setWordWrap(true);
    lblPrompt->setAlignment(Qt::AlignCenter);
    lblPrompt->setMargin(tw(90));
    lblPrompt->setAutoFillBackground(true);
    PlaceTw(lblPrompt, 0, 0, kDesignWidth, 720);

    cboMonthNames = new QComboBox(this);
    cboMonthNames->setObjectName(QStringLiteral("cboMonthNames"));
    cboMonthNames->setToolTip(QStringLiteral("Month"));
    cboMonthNames->addItem(QString());
    cboMonthNames->addItems(DatePr2::MonthNames());
    cboMonthNames->setMaxVisibleItems(13);
    PlaceTw(cboMonthNames, 1500, 1020, 2200, 360);

    cboDayNumbers = new QComboBox(this);
    cboDayNumbers->setObjectName(QStringLiteral("cboDayNumbers"));
    cboDayNumbers->setToolTip(QStringLiteral("Day"));
    cboDayNumbers->addItem(QString());
    for (int d = 1; d <= 31; ++d) cboDayNumbers->addItem(QString::number(d));
    cboDayNumbers->setMaxVisibleItems(16);
    PlaceTw(cboDayNumbers, 3850, 1020, 900, 360);

    txbYear = new QLineEdit(this);
    txbYear->setObjectName(QStringLiteral("txbYear"));
    txbYear->setPlaceholderText(QStringLiteral("Year"));
    txbYear->setToolTip(QStringLiteral("Year"));
    PlaceTw(txbYear, 4900, 1020, 1300, 360);

    cmdClear = new QPushButton(QStringLiteral("Clear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdAccept = new QPushButton(QStringLiteral("Accept"), this);
    cmdAccept->setObjectName(QStringLiteral("cmdAccept"));
    // Enter presses the focused button: focus goes to Accept once the date is
    // complete, so Enter then accepts it.
    for (QPushButton* b : {cmdClear, cmdCancel, cmdAccept}) b->setAutoDefault(true);

    connect(cmdAccept, &QPushButton::clicked, this, &frmCEDateInput::cmdAccept_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCEDateInput::cmdCancel_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmCEDateInput::cmdClear_Click);
    connect(txbYear, &QLineEdit::returnPressed, this, &frmCEDateInput::cmdAccept_Click);
    connect(cboMonthNames, QOverload<int>::of(&QComboBox::activated), this, [this](int) { DateListChosen(); });
    connect(cboDayNumbers, QOverload<int>::of(&QComboBox::activated), this, [this](int) { DateListChosen(); });

    setFixedSize(tw(kDesignWidth), tw(kDesignHeight));
    PrepareForm(this);
    PrepareForm(this);
}

frmCEDateInput& frmCEDateInput::instance() {
    static frmCEDateInput* form = nullptr;
    if (!form) form = new frmCEDateInput(nullptr);
    return *form;
}

qint32 frmCEDateInput::ColorToLong(const QColor& c) {
    return qint32(c.red()) | (qint32(c.green()) << 8) | (qint32(c.blue()) << 16);
}

QColor frmCEDateInput::LongToColor(qint32 value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void frmCEDateInput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Activate();
}

void frmCEDateInput::Activate() {
    // A result left from an earlier showing must not be read as this one's.
    intReturnValue = 0;
    if (lngBackColor != -1) SetColours(this, LongToColor(lngBackColor), palette().color(QPalette::WindowText));

    // Placed in pixels, so the gaps come out equal after rounding.
    const int margin = tw(kMargin);
    const int bw = tw(kButtonWidth);
    const int top = tw(kButtonTop);
    const int bh = tw(kButtonHeight);
    cmdCancel->setGeometry(width() - margin - bw, top, bw, bh);
    cmdAccept->setGeometry(cmdCancel->x() - margin - bw, top, bw, bh);
    cmdClear->setGeometry(margin, top, cmdAccept->x() - margin - margin, bh);
    // The three date fields stay centred whatever width the caller chose.
    const int fieldsWidth = txbYear->geometry().right() + 1 - cboMonthNames->x();
    const int shift = (width() - fieldsWidth) / 2 - cboMonthNames->x();
    for (QWidget* w : {static_cast<QWidget*>(cboMonthNames), static_cast<QWidget*>(cboDayNumbers),
                       static_cast<QWidget*>(txbYear)})
        w->move(w->x() + shift, w->y());
    cmdCancel->setFocus();

    tivrel_date record{0, 0, 0, 0, lngJDN, 0};
    jdn_to_euro_date(&record);
    if (record.year >= intEarliestAcceptableYear && record.year <= intLatestAcceptableYear) {
        cboMonthNames->setCurrentIndex(record.month);
        cboDayNumbers->setCurrentIndex(record.day);
        txbYear->setText(QString::number(record.year));
    } else {
        cboMonthNames->setCurrentIndex(0);
        cboDayNumbers->setCurrentIndex(0);
        txbYear->clear();
    }
}

void frmCEDateInput::DateListChosen() {
    txbYear->setText(txbYear->text().trimmed());
    const bool complete =
        cboMonthNames->currentIndex() > 0 && cboDayNumbers->currentIndex() > 0 && !txbYear->text().isEmpty();
    (complete ? cmdAccept : cmdCancel)->setFocus();
}

void frmCEDateInput::cmdAccept_Click() {
    // Only the decimal digits count: "2,024" and "+2024" are both 2024.
    QString digits;
    for (QChar c : txbYear->text())
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits += c;
    txbYear->setText(digits);
    if (digits.isEmpty()) return;

    // However many digits were typed, the value stays in range: anything
    // longer than nine digits is simply too late.
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0'))) digits.remove(0, 1);
    const qint32 year = digits.size() > 9 ? 999999999 : digits.toInt();
    const int month = cboMonthNames->currentIndex() < 0 ? 0 : cboMonthNames->currentIndex();
    const int day = cboDayNumbers->currentIndex() < 0 ? 0 : cboDayNumbers->currentIndex();

    if (year < intEarliestAcceptableYear) {
        MsgBox(QStringLiteral("Year too early"), vbOKOnly, windowTitle());
        return;
    }
    if (year > intLatestAcceptableYear) {
        MsgBox(QStringLiteral("Year too late"), vbOKOnly, windowTitle());
        return;
    }
    tivrel_date record{year, month, day, 0, 0, 0};
    const qint32 jdn = euro_date_to_jdn(&record);
    if (!record.valid) {
        MsgBox(QStringLiteral("Date is invalid"), vbOKOnly | vbInformation, windowTitle());
        return;
    }
    lngJDN = jdn;
    intReturnValue = 1;
    hide();
}

void frmCEDateInput::cmdClear_Click() {
    intReturnValue = 2;
    hide();
}

void frmCEDateInput::cmdCancel_Click() {
    intReturnValue = 0;
    hide();
}

// Escape and the window's close box act as Cancel.
void frmCEDateInput::reject() { cmdCancel_Click(); }
