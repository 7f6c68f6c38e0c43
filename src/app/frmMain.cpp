#include "app/frmMain.h"

#include "platform/Platform.h"
#include "purge/frmTypeOfPurge.h"
#include "run/PurgeOptions.h"
#include "selection/DatePr2.h"
#include "support/FormUi.h"
#include "support/Language.h"
#include "support/ModalUi.h"
#include "support/Seams.h"
#include "support/WindowRulesUi.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

// Layout of the command frame: two columns of seven buttons.
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 60;
constexpr int kFrameHeight = 4900;
constexpr int kButtonWidth = 2250;
constexpr int kButtonHeight = 540;
constexpr int kButtonGap = 120;
constexpr int kRowPitch = 680;
constexpr int kFirstRow = 90;
constexpr int kFrameWidth = 2 * kButtonWidth + 3 * kButtonGap;
constexpr int kLabelLeft = kFrameLeft + kFrameWidth + 250;
constexpr int kLabelWidth = 7800;
constexpr int kFormWidth = kLabelLeft + kLabelWidth + 150;

frmMain::EndHandler& endHandler() {
    static frmMain::EndHandler handler;
    return handler;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption = {}) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void WhiteOnBlack(QLabel* label) {
    SetColours(label, Qt::black, Qt::white);
    label->setMargin(2);
}

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    BuildControls();
    PrepareForm(this);
    SetMainWindow(this);
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
    if (&Main() == static_cast<MainState*>(this)) SetMain(nullptr);
}

frmMain::EndHandler frmMain::SetEndHandler(EndHandler handler) {
    EndHandler previous = std::move(endHandler());
    endHandler() = std::move(handler);
    return previous;
}

QPushButton* frmMain::AddMenuButton(const QString& name, const QString& caption, int row, int column) {
    auto* b = new QPushButton(caption, fraMenu);
    b->setObjectName(name);
    b->setAutoDefault(false);
    PlaceTw(b, kButtonGap + column * (kButtonWidth + kButtonGap), kFirstRow + row * kRowPitch, kButtonWidth,
            kButtonHeight);
    return b;
}

void frmMain::OnMouseUp(QPushButton* button, std::function<void()> action) {
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)]() {
        // The second click of a double-click in a file dialog must not reach
        // a button underneath.
        if (blnIgnoreMouseUp) return;
        if (action) action();
    });
}

void frmMain::BuildControls() {
    cmdClear = new QPushButton(QStringLiteral("Clear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setAutoDefault(false);
    cmdClear->setVisible(false);
    connect(cmdClear, &QPushButton::clicked, this, &frmMain::cmdClear_Click);

    fraMenu = new QFrame(this);
    fraMenu->setObjectName(QStringLiteral("fraMenu"));
    fraMenu->setFrameShape(QFrame::StyledPanel);
    PlaceTw(fraMenu, kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight);

    // Selection on the left, actions on the right; the describing labels sit
    // to the right of the frame, level with their buttons.
    cmdSpecifyDirectory[0] = AddMenuButton(QStringLiteral("cmdSpecifyDirectory_0"), QStringLiteral("Specify folder"), 0, 0);
    cmdSpecifyDirectory[1] = AddMenuButton(QStringLiteral("cmdSpecifyDirectory_1"), QStringLiteral("Purge folders"), 0, 1);
    cmdSpecifyFiles = AddMenuButton(QStringLiteral("cmdSpecifyFiles"), QStringLiteral("Specify files"), 1, 0);
    cmdSingleFile = AddMenuButton(QStringLiteral("cmdSingleFile"), QStringLiteral("Single file"), 1, 1);
    cmdSubdirectories = AddMenuButton(QStringLiteral("cmdSubdirectories"), QStringLiteral("Subfolders?"), 2, 0);
    cmdOnlyBefore = AddMenuButton(QStringLiteral("cmdOnlyBefore"), QStringLiteral("Only files before ..."), 2, 1);
    cmdTypeOfPurge = AddMenuButton(QStringLiteral("cmdTypeOfPurge"), QStringLiteral("Type of purge"), 3, 0);
    cmdTestPurgeSpeed = AddMenuButton(QStringLiteral("cmdTestPurgeSpeed"), QStringLiteral("Test purge speed"), 3, 1);
    cmdProcessFiles[2] = AddMenuButton(QStringLiteral("cmdProcessFiles_2"), QStringLiteral("List and estimate time"), 4, 0);
    cmdProcessFiles[1] = AddMenuButton(QStringLiteral("cmdProcessFiles_1"), QStringLiteral("Purge files"), 4, 1);
    cmdReportScreen = AddMenuButton(QStringLiteral("cmdReportScreen"), QStringLiteral("Report"), 5, 0);
    cmdHelp = AddMenuButton(QStringLiteral("cmdHelp"), QStringLiteral("Help"), 5, 1);
    cmdSetup = AddMenuButton(QStringLiteral("cmdSetup"), QStringLiteral("Setup"), 6, 0);
    cmdQuit = AddMenuButton(QStringLiteral("cmdQuit"), QStringLiteral("Quit"), 6, 1);

    // The setup commands and the save choices share the space under the labels.
    fraSetup = new QFrame(this);
    fraSetup->setObjectName(QStringLiteral("fraSetup"));
    fraSetup->setFrameShape(QFrame::StyledPanel);
    PlaceTw(fraSetup, kLabelLeft, 3800, kLabelWidth, 1000);
    fraSetup->setVisible(false);
    auto setupButton = [this](QWidget* parent, const QString& name, const QString& caption, int index) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        PlaceTw(b, 120 + index * 1520, 240, 1440, 480);
        return b;
    };
    cmdKeepSetup = setupButton(fraSetup, QStringLiteral("cmdKeepSetup"), QStringLiteral("Not now"), 0);
    cmdLoadSetup = setupButton(fraSetup, QStringLiteral("cmdLoadSetup"), QStringLiteral("Load setup"), 1);
    cmdSaveSetup = setupButton(fraSetup, QStringLiteral("cmdSaveSetup"), QStringLiteral("Save setup"), 2);
    cmdClearSetup = setupButton(fraSetup, QStringLiteral("cmdClearSetup"), QStringLiteral("Clear setup"), 3);
    cmdRestoreSetup = setupButton(fraSetup, QStringLiteral("cmdRestoreSetup"), QStringLiteral("Restore setup"), 4);

    picSaveSetup = new QFrame(this);
    picSaveSetup->setObjectName(QStringLiteral("picSaveSetup"));
    picSaveSetup->setFrameShape(QFrame::StyledPanel);
    PlaceTw(picSaveSetup, kLabelLeft, 3800, kLabelWidth, 1000);
    picSaveSetup->setVisible(false);
    cmdSaveSetupAsOperationFile = new QPushButton(QStringLiteral("Save setup as operation file"), picSaveSetup);
    cmdSaveSetupAsOperationFile->setObjectName(QStringLiteral("cmdSaveSetupAsOperationFile"));
    PlaceTw(cmdSaveSetupAsOperationFile, 120, 240, 2900, 480);
    cmdSaveSetupForNextRun = new QPushButton(QStringLiteral("Save setup for next run"), picSaveSetup);
    cmdSaveSetupForNextRun->setObjectName(QStringLiteral("cmdSaveSetupForNextRun"));
    PlaceTw(cmdSaveSetupForNextRun, 3140, 240, 2600, 480);
    cmdDontSaveSetup = new QPushButton(QStringLiteral("Not now"), picSaveSetup);
    cmdDontSaveSetup->setObjectName(QStringLiteral("cmdDontSaveSetup"));
    PlaceTw(cmdDontSaveSetup, 5860, 240, 1440, 480);
    for (QPushButton* b : {cmdSaveSetupAsOperationFile, cmdSaveSetupForNextRun, cmdDontSaveSetup})
        b->setAutoDefault(false);

    lblTopLevelFolder = MakeLabel(this, QStringLiteral("lblTopLevelFolder"), QStringLiteral("Top-level folder"));
    QFont bold = lblTopLevelFolder->font();
    bold.setBold(true);
    lblTopLevelFolder->setFont(bold);
    lblDirectory = MakeLabel(this, QStringLiteral("lblDirectory"), QStringLiteral("Not specified"));
    lblFiles = MakeLabel(this, QStringLiteral("lblFiles"), QStringLiteral("Not specified"));
    lblFiles2[0] = MakeLabel(this, QStringLiteral("lblFiles2_0"), QStringLiteral("(All files.)"));
    lblSubdirectories = MakeLabel(this, QStringLiteral("lblSubdirectories"));
    lblSubdirectories2 = MakeLabel(this, QStringLiteral("lblSubdirectories2"));
    lblDateRestriction = MakeLabel(this, QStringLiteral("lblDateRestriction"));
    lblSingleFile = MakeLabel(this, QStringLiteral("lblSingleFile"),
                              QStringLiteral("To purge multiple files specify folder and files."));
    lblTypeOfPurge = MakeLabel(this, QStringLiteral("lblTypeOfPurge"));
    lblPurgeSpeed = MakeLabel(this, QStringLiteral("lblPurgeSpeed"));
    lblEstimatedTime = MakeLabel(this, QStringLiteral("lblEstimatedTime"));
    lblLargePurgeMessage = MakeLabel(this, QStringLiteral("lblLargePurgeMessage"));
    lblPurgeFoldersMessage = MakeLabel(this, QStringLiteral("lblPurgeFoldersMessage"));
    lblSetupFilename = MakeLabel(this, QStringLiteral("lblSetupFilename"), QStringLiteral("Setup filename"));
    lblOnlineDocumentation =
        MakeLabel(this, QStringLiteral("lblOnlineDocumentation"), QStringLiteral("Online user manual"));
    QFont link = lblOnlineDocumentation->font();
    link.setUnderline(true);
    lblOnlineDocumentation->setFont(link);
    lblOnlineDocumentation->setCursor(Qt::PointingHandCursor);

    Clock1 = new QTimer(this);
    Clock1->setObjectName(QStringLiteral("Clock1"));
    Clock1->setInterval(1000);
    connect(Clock1, &QTimer::timeout, this, [this]() {
        for (const auto& listener : clock1Listeners) listener();
    });
    Clock2 = new QTimer(this);
    Clock2->setObjectName(QStringLiteral("Clock2"));
    Clock2->setInterval(1000);
    Clock2->setSingleShot(true);
    connect(Clock2, &QTimer::timeout, this, &frmMain::Clock2_Timer);

    OnMouseUp(cmdTypeOfPurge, [this]() { cmdTypeOfPurge_MouseUp(); });
    OnMouseUp(cmdQuit, [this]() { cmdQuit_MouseUp(); });
    OnMouseUp(cmdSingleFile, [this]() { cmdSingleFile_MouseUp(); });
    OnMouseUp(cmdSpecifyFiles, [this]() { cmdSpecifyFiles_MouseUp(); });
    OnMouseUp(cmdOnlyBefore, [this]() { cmdOnlyBefore_MouseUp(); });
    OnMouseUp(cmdSpecifyDirectory[0], [this]() { cmdSpecifyDirectory_MouseUp(0); });
    OnMouseUp(cmdSpecifyDirectory[1], [this]() { cmdSpecifyDirectory_MouseUp(1); });
    OnMouseUp(cmdSubdirectories, [this]() { cmdSubdirectories_MouseUp(); });
    OnMouseUp(cmdProcessFiles[1], [this]() { cmdProcessFiles_MouseUp(1); });
    OnMouseUp(cmdProcessFiles[2], [this]() { cmdProcessFiles_MouseUp(2); });
    OnMouseUp(cmdReportScreen, [this]() { cmdReportScreen_MouseUp(); });
    OnMouseUp(cmdTestPurgeSpeed, [this]() { cmdTestPurgeSpeed_MouseUp(); });
    OnMouseUp(cmdSetup, [this]() { cmdSetup_MouseUp(); });
    connect(cmdSaveSetup, &QPushButton::clicked, this, &frmMain::cmdSaveSetup_Click);
    connect(cmdSaveSetupForNextRun, &QPushButton::clicked, this, &frmMain::cmdSaveSetupForNextRun_Click);
    connect(cmdSaveSetupAsOperationFile, &QPushButton::clicked, this, &frmMain::cmdSaveSetupAsOperationFile_Click);
    connect(cmdDontSaveSetup, &QPushButton::clicked, this, &frmMain::cmdDontSaveSetup_Click);
    connect(cmdLoadSetup, &QPushButton::clicked, this, &frmMain::cmdLoadSetup_Click);
    connect(cmdClearSetup, &QPushButton::clicked, this, &frmMain::cmdClearSetup_Click);
    connect(cmdRestoreSetup, &QPushButton::clicked, this, &frmMain::cmdRestoreSetup_Click);
    connect(cmdKeepSetup, &QPushButton::clicked, this, &frmMain::cmdKeepSetup_Click);
}

void frmMain::ArrangeMainWindow() {
    // Label column, level with the buttons it describes.
    const int row0 = kFrameTop + kFirstRow;
    MoveTw(lblTopLevelFolder, kLabelLeft, row0);
    PlaceTw(cmdClear, kFormWidth - 150 - 1100, row0, 1100, 400);
    MoveTw(lblDirectory, kLabelLeft, row0 + 300);
    // Files, subfolders, date restriction (placed at start-up) and the
    // single-file hint stack so that no two overlap.
    MoveTw(lblFiles, kLabelLeft, row0 + kRowPitch + 60);
    MoveTw(lblFiles2[0], kLabelLeft + 1500, row0 + kRowPitch + 60);
    MoveTw(lblSubdirectories, kLabelLeft, row0 + kRowPitch + 320);
    MoveTw(lblSubdirectories2, kLabelLeft + 600, row0 + kRowPitch + 320);
    MoveTw(lblSingleFile, kLabelLeft, 1740);
    MoveTw(lblTypeOfPurge, kLabelLeft, TopTw(cmdTypeOfPurge) + TopTw(fraMenu) + 150);
    MoveTw(lblPurgeSpeed, kLabelLeft, TopTw(cmdTestPurgeSpeed) + TopTw(fraMenu) + 430);
    MoveTw(lblEstimatedTime, kLabelLeft, TopTw(cmdProcessFiles[2]) + TopTw(fraMenu) + 150);
    MoveTw(lblLargePurgeMessage, kLabelLeft, TopTw(cmdProcessFiles[2]) + TopTw(fraMenu) + 430);
    MoveTw(lblPurgeFoldersMessage, kLabelLeft, TopTw(cmdReportScreen) + TopTw(fraMenu) + 150);
    // The setup file name sits under the Setup button, below the frame.
    MoveTw(lblSetupFilename, kFrameLeft + LeftTw(cmdSetup), kFrameTop + kFrameHeight + 60);
    MoveTw(lblOnlineDocumentation, kFormWidth - 150 - 1700, kFrameTop + kFrameHeight + 60);
    for (QLabel* l : {lblTopLevelFolder, lblDirectory, lblFiles, lblFiles2[0], lblSubdirectories,
                      lblSubdirectories2, lblSingleFile, lblTypeOfPurge, lblPurgeSpeed, lblEstimatedTime,
                      lblLargePurgeMessage, lblPurgeFoldersMessage, lblSetupFilename, lblOnlineDocumentation})
        SetCaption(l, l->text());
    setFixedSize(tw(kFormWidth), tw(kFrameTop + kFrameHeight + 420));
}

bool frmMain::Startup() {
    blnStartupCompleted = false;
    strProgramTextFile = QStringLiteral("VQ").toLower() + QStringLiteral(".dat");
    if (!Language::LoadProgramTexts(strProgramTextFile)) return false;

    strMakerName = Language::ProgramText(310);
    strSecondFolder = Language::ProgramText(311);
    strProductTitle = Language::ProgramText(1);
    strShortName = Language::ProgramText(2);
    strVersion = QString::number(VELDRANE_VERSION_MAJOR) + QLatin1Char('.') +
                 QString::number(VELDRANE_VERSION_MINOR) + QLatin1Char('7');
    SetApplicationTitle(strProductTitle);
    DatePr2::BuildDateTables();

    ResetToDefaults();

    SetMain(this);
    WhiteOnBlack(lblPurgeSpeed);
    WhiteOnBlack(lblSubdirectories2);
    WhiteOnBlack(lblLargePurgeMessage);
    setWindowTitle(strDisplayCaption.isEmpty() ? strProductTitle : strDisplayCaption);
    ArrangeMainWindow();
    show();

    // A missing next-run setup is no error: the fallbacks apply silently.
    bool blnLoaded = false;
    LoadSetup(strNextRunSetupFile, blnLoaded);
    SaveSelectionSnapshot();
    ShowFileSelection();
    ShowTypeOfPurge();
    if (cmdSpecifyDirectory[0]->isVisible()) cmdSpecifyDirectory[0]->setFocus();
    MoveTw(lblDateRestriction, kLabelLeft, 1470);
    lblDateRestriction->setVisible(true);
    blnStartupCompleted = true;
    ShowFileSelection();
    ShowSubfolderChoice();
    ShowDateRestriction();
    Clock1->start();
    Clock2->start();
    return true;
}

void frmMain::ResetToDefaults() {
    lngOnlyBeforeThisJDN = 9000000;
    dblAF_A = 0.917;
    dblAF_B = 0.2;
    blnAntiMalwareWarning = true;
    blnDateRestriction = false;
    intCharWidth = 123;
    blnSubdirectories = false;
    Language::ResetTextSet();

    strManualAddress = Language::ProgramText(27);
    strDisplayCaption = Language::ProgramText(3);
    strNotSpecified = Language::ProgramText(4);

    strDirPath.clear();
    strFilespec.clear();

    SetCaption(lblSubdirectories2, QString());
    SetCaption(lblFiles2[0], QString());
    SetCaption(lblTypeOfPurge, QString());
    picSaveSetup->setVisible(false);

    ClearDriveTables();
    ResolveNextRunSetupFile();

    frmTypeOfPurge::instance().Initialization();
    Options().SetDefaults();

    SetCaption(lblPurgeSpeed, QString());
    SetCaption(lblEstimatedTime, QString());
    SetCaption(lblLargePurgeMessage, QString());
    SetCaption(lblPurgeFoldersMessage, QString());

    // Relative paths must never land in whatever folder the program was
    // started from.
    platform::Platform& p = platform::current();
    const QString here = p.toDrivePath(QDir::currentPath());
    if (!here.isEmpty()) {
        const QByteArray root = p.toNative(here.left(2) + QLatin1Char('\\'));
        if (!root.isEmpty()) QDir::setCurrent(QFile::decodeName(root));
    }
    strDummyFileFolderStub = QStringLiteral("_vq_dummy");
}

QString frmMain::FallbackSetupFolder() const {
    platform::Platform& p = platform::current();
    // The program's own folder when it may be written (a build or a portable
    // copy), else the system's temporary folder.
    const QString programFolder = p.programFolder();
    QString native = QFileInfo(programFolder).isWritable() ? programFolder : QDir::tempPath();
    QString drive = p.toDrivePath(native);
    if (drive.isEmpty()) return {};
    if (!drive.endsWith(QLatin1Char('\\'))) drive += QLatin1Char('\\');
    return drive;
}

void frmMain::ResolveNextRunSetupFile() {
    platform::Platform& p = platform::current();
    const QString fileName = Language::ProgramText(2).toLower() + QStringLiteral(".usr");
    QString folder = p.appDataFolder();
    if (!folder.isEmpty()) {
        folder += Language::ProgramText(310);
        // The application-data folder itself may not exist yet on a new account.
        const QStringList parts = folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        QString path;
        for (const QString& part : parts) {
            path += part + QLatin1Char('\\');
            int error = 0;
            if (p.kind(path) != platform::Kind::Folder && !p.createFolder(path, error)) {
                folder.clear();
                break;
            }
        }
    }
    if (folder.isEmpty()) folder = FallbackSetupFolder();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('\\'))) folder += QLatin1Char('\\');
    strNextRunSetupFile = folder + fileName;
}

void frmMain::EnableCommandFrame(bool enable) { fraMenu->setEnabled(enable); }

QString frmMain::PurgeTypeNumPasses(int intPurgeType, int intNumberOfPasses) const {
    QString text;
    switch (intPurgeType) {
    case 0:
        text = QStringLiteral("random bytes plus zeros");
        break;
    case 1:
        text = QStringLiteral("alternate bit patterns plus zeros");
        break;
    case 2:
        text = QStringLiteral("alternate bit patterns plus random bytes twice");
        break;
    default:
        break;
    }
    if (intNumberOfPasses == 1) return text + QStringLiteral(" once");
    if (intNumberOfPasses == 2) return text + QStringLiteral(" twice");
    return text + QLatin1Char(' ') + QString::number(intNumberOfPasses) + QStringLiteral(" times");
}

void frmMain::ShowTypeOfPurge() {
    const frmTypeOfPurge& f = frmTypeOfPurge::instance();
    MoveTw(lblTypeOfPurge, LeftTw(lblTypeOfPurge), TopTw(fraMenu) + TopTw(cmdTypeOfPurge) + 150);
    const int type = f.GetPurgeType();
    const int passes = f.GetNumberOfPasses();
    const int total = f.GetNumOverwrites();
    QString caption = f.optPurgeType[type]->text().mid(3).trimmed() + QStringLiteral(", ");
    if (passes == 1)
        caption += QStringLiteral("once");
    else if (passes == 2)
        caption += QStringLiteral("twice");
    else
        caption += QString::number(passes) + QStringLiteral(" times");
    caption += QStringLiteral(" (= ") + QString::number(total) + QStringLiteral(" overwrite") +
               (total > 1 ? QStringLiteral("s") : QString()) + QLatin1Char(')');
    SetCaption(lblTypeOfPurge, caption);
}

void frmMain::StartMouseUpGuard() {
    blnIgnoreMouseUp = true;
    Clock2->start();
}

void frmMain::Clock2_Timer() {
    blnIgnoreMouseUp = false;
    Clock2->stop();
}

void frmMain::cmdClear_Click() {
    if (MsgBox(Language::ProgramText(50), vbYesNo | vbQuestion, cmdClear->text()) != vbYes) return;
    strDirPath.clear();
    strFilespec.clear();
    ShowFileSelection();
    ShowDateRestriction();
}

void frmMain::cmdTypeOfPurge_MouseUp() {
    frmTypeOfPurge& f = frmTypeOfPurge::instance();
    EnableCommandFrame(false);
    const QPoint topLeft = frameGeometry().topLeft();
    f.move(topLeft.x() + fraMenu->width() + tw(250),
           topLeft.y() + tw(420) + fraMenu->y() + cmdSpecifyDirectory[0]->y());
    const auto connection = connect(&f, &frmTypeOfPurge::choiceAccepted, this,
                                    [this]() { SetCaption(lblEstimatedTime, QString()); });
    ShowModal(&f, this);
    disconnect(connection);
    EnableCommandFrame(true);
    ShowTypeOfPurge();
    SetCaption(lblSetupFilename, QString());
}

void frmMain::cmdQuit_MouseUp() {
    if (ending_) return;
    ending_ = true;
    if (endHandler()) {
        endHandler()();
        return;
    }
    // Ends at once; nothing is saved on this path.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing the window acts as Quit, including the guard after a file
    // dialog.
    event->ignore();
    if (blnIgnoreMouseUp || ending_) {
        if (ending_) event->accept();
        return;
    }
    cmdQuit_MouseUp();
    if (ending_) event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The main window sees key-up before its controls: F10 asks a running
    // operation to stop.
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_F10 && !key->isAutoRepeat() && widget && widget->window() == this)
            blnStop = true;
    }
    return QWidget::eventFilter(watched, event);
}
