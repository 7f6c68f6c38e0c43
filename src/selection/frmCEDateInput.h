#pragma once
// The "Date input" dialog: the user picks a month, a day and a year; the
// caller reads back a day number, or that the restriction is to be removed,
// or that nothing changes.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class frmCEDateInput : public QDialog {
    Q_OBJECT
  public:
    explicit frmCEDateInput(QWidget* parent = nullptr);

    // The one instance, created on first use.
    static frmCEDateInput& instance();

    // Colours as 0x00BBGGRR numbers, as lngBackColor holds them.
    static qint32 ColorToLong(const QColor& colour);
    static QColor LongToColor(qint32 value);

    void cmdAccept_Click();
    void cmdCancel_Click();
    void cmdClear_Click();

    // Set by the caller before showing, read after the dialog has hidden.
    qint16 intEarliestAcceptableYear = -30000;
    qint16 intLatestAcceptableYear = 30000;
    qint16 intReturnValue = 0; // 1 accepted, 2 restriction removed, 0 cancelled
    qint32 lngBackColor = -1;  // -1: the system's colour
    qint32 lngJDN = -1;        // in: day to show; out: the accepted day

    QPushButton* cmdClear = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdAccept = nullptr;
    QComboBox* cboMonthNames = nullptr;
    QComboBox* cboDayNumbers = nullptr;
    QLineEdit* txbYear = nullptr;
    QLabel* lblPrompt = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void Activate();
    void DateListChosen();
};
