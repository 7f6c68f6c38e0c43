#pragma once
// The type-of-purge dialog: the user picks one of three overwrite sequences
// and a number of passes. The rest of the program reads the choice only
// through the Get* routines.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <array>

class frmTypeOfPurge : public QDialog {
    Q_OBJECT
  public:
    explicit frmTypeOfPurge(QWidget* parent = nullptr);

    // The one instance, created on first use.
    static frmTypeOfPurge& instance();

    void Initialization();
    qint16 GetPurgeType() const;
    qint16 GetNumberOfPasses() const;
    qint16 GetNumOverwritesPerPass() const;
    qint16 GetNumOverwrites() const;

    // Selects a type and a number of passes, as a loaded setup does.
    void SetPurgeType(int type, int passes);

    void cmdAccept_Click();
    void cmdCancel_Click();

    qint16 intMinNumPasses = 1;
    qint16 intMaxNumPasses = 9;

    std::array<QRadioButton*, 3> optPurgeType{};
    std::array<QComboBox*, 3> cboNumberOfPasses{};
    std::array<QLabel*, 3> lblPurgeType{};
    QLabel* lblNumberOfTimes = nullptr;
    QLabel* lblDOD = nullptr;
    QPushButton* cmdAccept = nullptr;
    QPushButton* cmdCancel = nullptr;

  signals:
    // The user confirmed a choice (the main window clears its estimate).
    void choiceAccepted();

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    void ShowListOfType(int type);
    qint16 typeOnEntry_ = 0;
};

// The number of overwrites in one pass of each type.
qint16 OverwritesPerPass(int purgeType);
