#pragma once
// "Confirm purging of this file": asked by the purge walk before each file
// when the user wants to confirm every file.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

class frmConfirmFiles : public QDialog {
    Q_OBJECT
  public:
    explicit frmConfirmFiles(QWidget* parent = nullptr);

    // The one instance, created on first use.
    static frmConfirmFiles& instance();

    void cmdYes_Click();
    void cmdNo_Click();
    void cmdYesAndDontShowAgain_Click();
    void cmdStopPurge_Click();

    // The answer; the walk sets it to True before showing.
    bool blnPurgeThisFile = true;

    QLabel* lblPurgeThisFile = nullptr;
    QLabel* lblFile = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNo = nullptr;
    QPushButton* cmdYesAndDontShowAgain = nullptr;
    QPushButton* cmdStopPurge = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
};
