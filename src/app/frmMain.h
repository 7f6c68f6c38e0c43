#pragma once
// The main window: holds the state record, builds itself at start-up, shows
// the selection in a column of labels and ends the program.

#include "app/MainState.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class frmMain : public QWidget, public MainState {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up in its fixed order. False when the program must end (the
    // program texts could not be loaded; the reason has been shown).
    bool Startup();

    void ResetToDefaults();
    void EnableCommandFrame(bool enable);
    QString PurgeTypeNumPasses(int intPurgeType, int intNumberOfPasses) const;

    // Label refreshes.
    void ShowFileSelection();   // folder and file specification
    void ShowDateRestriction(); // date restriction
    void ShowSubfolderChoice(); // the two subfolder labels
    void ShowTypeOfPurge();     // purge-type description

    // A file dialog has just closed: ignore mouse-up on the main buttons for
    // one second.
    void StartMouseUpGuard();

    // Clicks of the main buttons (mouse-up). Each is a no-op while the
    // mouse-up guard is on.
    void cmdClear_Click();
    void cmdTypeOfPurge_MouseUp();
    void cmdQuit_MouseUp();

    // File selection: single file, file specification, date restriction
    // (frmMainSelection.cpp).
    void cmdSingleFile_MouseUp();
    void cmdSpecifyFiles_MouseUp();
    void cmdOnlyBefore_MouseUp(); // frmMainDates.cpp
    // The filter of every listing and purge: file specification and date
    // restriction (frmMainDates.cpp).
    bool SatisfiesFilespecAndDateRestriction(const QString& strFilepath, const QString& strSpec,
                                             bool blnCaseSensitive);
    // Checks that the selected folder can be read and is not empty.
    void CheckFolderContents(const QString& strSpec, bool& blnSuccess);

    // Folders: ordinary folder, folders to purge, subfolder switch
    // (frmMainFolders.cpp).
    void cmdSpecifyDirectory_MouseUp(int index);
    void cmdSubdirectories_MouseUp();
    void SelectSubfolders(const QString& strTop, const QString& strCaption);
    // The selection labels make room while a folder command or the speed
    // test uses their place; showing them again restores the captions kept
    // by SaveSelectionCaptions.
    void SaveSelectionCaptions();
    void HideSelectionLabels();
    void ShowSelectionLabels();
    QString strSavedFilesCaption;
    QString strSavedSubdirectories2Caption;

    // Listing and purge of the selection through the report window
    // (frmMainRun.cpp).
    void cmdProcessFiles_MouseUp(int index);
    bool AskAntiMalwareWarning();
    void ListSelection();
    void PurgeSelection();
    void cmdReportScreen_MouseUp();

    // "Test purge speed" (frmMainSpeed.cpp): three runs on a drive, the
    // result in words, the speed kept per drive for the next start.
    void cmdTestPurgeSpeed_MouseUp();
    void RunSpeedTest(const QString& strDrive, bool blnShowResult, bool blnShowSpeed, qint16& intStatus);
    void ShowPurgeSpeed(const QString& strLetter, bool blnFloppy);
    // "Software\<maker>\<product>", under which the speeds are kept.
    QString strRegistryKey() const;
    QString strSpeedTestDrive; // the drive of the last test, offered first

    // Setups for the next run and operation files (frmMainSetup.cpp).
    void SaveSetup(const QString& strFilepath, bool& blnSuccess);
    void LoadSetup(const QString& strFilepath, bool& blnSuccess);
    void CloseSetupFrame();
    void cmdSetup_MouseUp();
    void cmdSaveSetup_Click();
    void cmdSaveSetupForNextRun_Click();
    void cmdSaveSetupAsOperationFile_Click();
    void cmdDontSaveSetup_Click();
    void cmdLoadSetup_Click();
    void cmdClearSetup_Click();
    void cmdRestoreSetup_Click();
    void cmdKeepSetup_Click();

    // How the program ends; tests replace it.
    using EndHandler = std::function<void()>;
    static EndHandler SetEndHandler(EndHandler handler);

    // Controls, named as in the designer.
    QPushButton* cmdClear = nullptr;
    QFrame* fraSetup = nullptr;
    QPushButton* cmdKeepSetup = nullptr;
    QPushButton* cmdLoadSetup = nullptr;
    QPushButton* cmdSaveSetup = nullptr;
    QPushButton* cmdClearSetup = nullptr;
    QPushButton* cmdRestoreSetup = nullptr;
    QFrame* fraMenu = nullptr;
    QPushButton* cmdTestPurgeSpeed = nullptr;
    std::array<QPushButton*, 2> cmdSpecifyDirectory{};
    QPushButton* cmdSingleFile = nullptr;
    QPushButton* cmdTypeOfPurge = nullptr;
    std::array<QPushButton*, 3> cmdProcessFiles{}; // index 1 and 2 are used
    QPushButton* cmdOnlyBefore = nullptr;
    QPushButton* cmdSetup = nullptr;
    QPushButton* cmdQuit = nullptr;
    QPushButton* cmdSpecifyFiles = nullptr;
    QPushButton* cmdSubdirectories = nullptr;
    QPushButton* cmdReportScreen = nullptr;
    QPushButton* cmdHelp = nullptr;
    QFrame* picSaveSetup = nullptr;
    QPushButton* cmdSaveSetupAsOperationFile = nullptr;
    QPushButton* cmdSaveSetupForNextRun = nullptr;
    QPushButton* cmdDontSaveSetup = nullptr;
    QLabel* lblTopLevelFolder = nullptr;
    QLabel* lblDirectory = nullptr;
    std::array<QLabel*, 1> lblFiles2{};
    QLabel* lblFiles = nullptr;
    QLabel* lblSubdirectories = nullptr;
    QLabel* lblSubdirectories2 = nullptr;
    QLabel* lblDateRestriction = nullptr;
    QLabel* lblTypeOfPurge = nullptr;
    QLabel* lblSingleFile = nullptr;
    QLabel* lblEstimatedTime = nullptr;
    QLabel* lblPurgeSpeed = nullptr;
    QLabel* lblLargePurgeMessage = nullptr;
    QLabel* lblPurgeFoldersMessage = nullptr;
    QLabel* lblSetupFilename = nullptr;
    QLabel* lblOnlineDocumentation = nullptr;
    QTimer* Clock1 = nullptr;
    QTimer* Clock2 = nullptr;

    // Texts taken at reset.
    QString strManualAddress;   // program text 27
    QString strDisplayCaption;  // program text 3
    QString strProductTitle;    // program text 1
    QString strShortName;       // program text 2
    QString strMakerName;       // program text 310
    QString strSecondFolder;    // program text 311
    QString strVersion;

    // Listeners of Clock1 (the file-specification dialog refreshes itself).
    std::vector<std::function<void()>> clock1Listeners;

    // The folder used for the next-run setup when there is no per-user
    // application-data folder.
    QString FallbackSetupFolder() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ArrangeMainWindow();
    QPushButton* AddMenuButton(const QString& name, const QString& caption, int row, int column);
    // Connects a main button so its mouse-up runs action unless the guard is on.
    void OnMouseUp(QPushButton* button, std::function<void()> action);
    void Clock2_Timer();
    void ResolveNextRunSetupFile();
    bool ending_ = false;
};

