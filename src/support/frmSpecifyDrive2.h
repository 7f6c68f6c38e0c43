#pragma once
// "Specify disk drive": the user picks one drive of the drive map. The caller
// sets strDrive (the drive to preselect), shows the dialog modally and reads
// blnAccept, strDrive and intDriveType.

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <array>

class frmSpecifyDrive2 : public QDialog {
    Q_OBJECT
  public:
    explicit frmSpecifyDrive2(QWidget* parent = nullptr);

    static frmSpecifyDrive2& instance();

    // Public variables, in declaration order.
    bool blnDrivesPresent = false;
    bool blnAccept = false;
    qint16 intDriveType = -1; // file-system object code of the chosen drive
    QString strDrive;         // in: drive to preselect (first letter counts); out: "C:"

    QComboBox* cboDrives = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdAccept = nullptr;

    // Fills the list from the drive map (runs on each showing).
    void Activate();
    void cmdAccept_Click();
    void cmdCancel_Click();

    // Type of list entry index (-1 for slots without an entry).
    qint16 DriveTypeOfEntry(int index) const;

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    static constexpr int kNumTypeSlots = 31;
    std::array<qint16, kNumTypeSlots> intDriveTypes{};
};
