#pragma once
// "Purge confirmation": shows the prepared question, offers the purge options
// and the cluster size, and says whether the user chose to purge. The
// options are this dialog's public variables (PurgeOptions); code without a
// window reaches them through Options().

#include "run/PurgeOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

class frmPurgeConfirmation : public QDialog, public PurgeOptions {
    Q_OBJECT
  public:
    explicit frmPurgeConfirmation(QWidget* parent = nullptr);
    ~frmPurgeConfirmation() override;

    // The one instance, created on first use.
    static frmPurgeConfirmation& instance();

    void cmdDoPurge_Click();
    void cmdCancel_Click();

    // Set by the caller before showing.
    QString strDriveLetter;

    QLabel* lblMessage = nullptr;
    QCheckBox* chkConfirmFiles = nullptr;
    QCheckBox* chkOKToPurgeSystemFiles = nullptr;
    QCheckBox* chkOKToPurgeSensitiveFiles = nullptr;
    QCheckBox* chkOKToPurgeReadOnlyFiles = nullptr;
    QCheckBox* chkFolderNamesOnly = nullptr;
    QCheckBox* chkDeleteEmptyFolders = nullptr;
    QCheckBox* chkDoNotDeletePurgedFiles = nullptr;
    QCheckBox* chkPurgeSlackOnly = nullptr;
    QFrame* fraClusterSize = nullptr;
    QComboBox* cboClusterSize = nullptr;
    QLabel* lblClusterSize = nullptr;
    QLabel* lblFileSystem = nullptr;
    QPushButton* cmdDoPurge = nullptr;
    QPushButton* cmdCancel = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate();
    bool intSavedDoNotDelete = false;
};
