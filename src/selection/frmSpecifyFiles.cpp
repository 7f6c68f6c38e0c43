#include "selection/frmSpecifyFiles.h"

#include "platform/Platform.h"
#include "support/FormUi.h"
#include "support/WindowRulesUi.h"
#include "support/Seams.h"

#include <QButtonGroup>
#include <QEvent>
#include <QShowEvent>

namespace {

constexpr int kFormWidth = 7700;
constexpr int kOptionWidth = 7300;

// The extension as Accept keeps it: trimmed, without a leading "*." or ".".
QString CleanExtension(const QString& text) {
    QString e = text.trimmed();
    if (e.startsWith(QLatin1String("*.")))
        e.remove(0, 2);
    else if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    return e;
}

} // namespace

// ---- FileListBox -------------------------------------------------------------------

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setFolder(const QString& drivePath) {
    folder_ = drivePath;
    clear();
    refresh();
}

void FileListBox::refresh() {
    platform::Listing listing;
    int error = 0;
    QStringList names;
    if (!folder_.isEmpty() && platform::current().listFolder(folder_, listing, error))
        for (const platform::Entry& e : listing.files) names << e.name;

    QStringList shown;
    shown.reserve(count());
    for (int i = 0; i < count(); ++i) shown << item(i)->data(Qt::UserRole).toString();
    if (shown == names) return; // nothing changed: keep the scroll position

    const QString selected = fileName();
    clear();
    for (const QString& name : names) {
        auto* it = new QListWidgetItem(name, this);
        it->setData(Qt::UserRole, name);
    }
    if (!selected.isEmpty()) selectFile(selected);
}

QString FileListBox::fileName() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? QString() : items.first()->data(Qt::UserRole).toString();
}

bool FileListBox::selectFile(const QString& name) {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(Qt::UserRole).toString() == name) {
            setCurrentRow(i);
            item(i)->setSelected(true);
            return true;
        }
    }
    return false;
}

// ---- frmSpecifyFiles ---------------------------------------------------------------

frmSpecifyFiles::frmSpecifyFiles(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSpecifyFiles"));
    setWindowTitle(QStringLiteral("Specify files"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    // Created in design order, which is also the tab order.
    txbExtension = new QLineEdit(this);
    txbExtension->setObjectName(QStringLiteral("txbExtension"));
    optExtension = new QRadioButton(this);
    optExtension->setObjectName(QStringLiteral("optExtension"));
    optAllFiles = new QRadioButton(this);
    optAllFiles->setObjectName(QStringLiteral("optAllFiles"));
    optMultipleFiles = new QRadioButton(this);
    optMultipleFiles->setObjectName(QStringLiteral("optMultipleFiles"));
    optSingleFile = new QRadioButton(this);
    optSingleFile->setObjectName(QStringLiteral("optSingleFile"));
    cmdAccept = new QPushButton(QStringLiteral("Accept"), this);
    cmdAccept->setObjectName(QStringLiteral("cmdAccept"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    txbFilespec = new QLineEdit(this);
    txbFilespec->setObjectName(QStringLiteral("txbFilespec"));
    File = new FileListBox(this);
    File->setObjectName(QStringLiteral("File"));

    auto* group = new QButtonGroup(this);
    for (QRadioButton* o : {optSingleFile, optAllFiles, optExtension, optMultipleFiles}) group->addButton(o);

    // Top to bottom: one file of the list, all files, an extension, a
    // specification; the buttons at the foot.
    PlaceTw(optSingleFile, 240, 180, kOptionWidth, 330);
    PlaceTw(File, 540, 540, kFormWidth - 540 - 300, 1800);
    PlaceTw(optAllFiles, 240, 2490, kOptionWidth, 330);
    PlaceTw(optExtension, 240, 2940, kOptionWidth, 330);
    PlaceTw(txbExtension, 540, 3300, 1800, 360);
    PlaceTw(optMultipleFiles, 240, 3840, kOptionWidth, 330);
    PlaceTw(txbFilespec, 540, 4200, 3000, 360);
    PlaceTw(cmdAccept, kFormWidth - 2 * 1300 - 360, 4860, 1300, 420);
    PlaceTw(cmdCancel, kFormWidth - 1300 - 240, 4860, 1300, 420);
    setFixedSize(tw(kFormWidth), tw(5520));

    for (QPushButton* b : {cmdAccept, cmdCancel}) b->setAutoDefault(false);
    connect(cmdAccept, &QPushButton::clicked, this, &frmSpecifyFiles::cmdAccept_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSpecifyFiles::cmdCancel_Click);

    // Choosing an option takes the user to what it needs.
    connect(optExtension, &QRadioButton::clicked, this, [this]() { txbExtension->setFocus(); });
    connect(optMultipleFiles, &QRadioButton::clicked, this, [this]() { txbFilespec->setFocus(); });
    connect(optAllFiles, &QRadioButton::clicked, this, [this]() { cmdAccept->setFocus(); });
    connect(optSingleFile, &QRadioButton::clicked, this, [this]() {
        if (File->fileName().isEmpty())
            File->setFocus();
        else
            cmdAccept->setFocus();
    });
    for (QRadioButton* o : {optSingleFile, optAllFiles, optExtension, optMultipleFiles})
        connect(o, &QRadioButton::toggled, this, [this](bool) { RefreshAccept(); });

    // Clicking or typing in an input chooses its option.
    txbExtension->installEventFilter(this);
    txbFilespec->installEventFilter(this);
    connect(txbExtension, &QLineEdit::textEdited, this, [this]() { optExtension->setChecked(true); });
    connect(txbFilespec, &QLineEdit::textEdited, this, [this]() { optMultipleFiles->setChecked(true); });
    connect(txbExtension, &QLineEdit::textChanged, this, [this]() { RefreshAccept(); });
    connect(txbFilespec, &QLineEdit::textChanged, this, [this]() { RefreshAccept(); });
    connect(File, &QListWidget::itemSelectionChanged, this, [this]() {
        if (!File->fileName().isEmpty() && File->isEnabled()) optSingleFile->setChecked(true);
        RefreshAccept();
    });
    connect(File, &QListWidget::itemClicked, this, [this]() {
        if (File->isEnabled()) optSingleFile->setChecked(true);
    });

    // Enter in either text box acts as Accept.
    connect(txbExtension, &QLineEdit::returnPressed, this, &frmSpecifyFiles::TextBoxEntered);
    connect(txbFilespec, &QLineEdit::returnPressed, this, &frmSpecifyFiles::TextBoxEntered);

    optAllFiles->setChecked(true);
    PrepareForm(this);
}

frmSpecifyFiles& frmSpecifyFiles::instance() {
    static frmSpecifyFiles* form = nullptr;
    if (!form) form = new frmSpecifyFiles(nullptr);
    return *form;
}

void frmSpecifyFiles::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Activate();
}

void frmSpecifyFiles::Activate() {
    // Only a press of Accept in this showing counts.
    blnAccept = false;
    txbExtension->clear();
    txbFilespec->clear();

    const QString op = strOperation.left(1).toUpper() + strOperation.mid(1).toLower();
    optSingleFile->setText(op + QStringLiteral(" a single file:"));
    optAllFiles->setText(op + QStringLiteral(" all files (*.*)"));
    optExtension->setText(op + QStringLiteral(" all files with a particular extension, ") +
                          QStringLiteral("e.g., txt or doc:"));
    optMultipleFiles->setText(op + QStringLiteral(" all files satisfying a file specification, ") +
                              QStringLiteral("e.g., a*.d*:"));
    // The options take the dialog's colours and the caller's weight.
    // (A button fills with its Button colour, so the dialog's surface is left
    // to show through.)
    const QPalette p = palette();
    for (QRadioButton* o : {optSingleFile, optAllFiles, optExtension, optMultipleFiles}) {
        QPalette own = o->palette();
        own.setColor(QPalette::Window, p.color(QPalette::Window));
        own.setColor(QPalette::WindowText, p.color(QPalette::WindowText));
        o->setPalette(own);
        o->setAutoFillBackground(false);
        QFont f = o->font();
        f.setBold(blnBold);
        o->setFont(f);
    }

    const bool haveFiles = intNumFiles != 0;
    optSingleFile->setEnabled(haveFiles);
    File->setEnabled(haveFiles);
    if (haveFiles) {
        optSingleFile->setChecked(true);
        File->refresh();
    } else {
        optAllFiles->setChecked(true);
    }
    RefreshAccept();
    cmdCancel->setFocus();
}

bool frmSpecifyFiles::ChoiceIsComplete() const {
    if (optSingleFile->isChecked()) return !File->fileName().isEmpty();
    if (optExtension->isChecked()) return !CleanExtension(txbExtension->text()).isEmpty();
    if (optMultipleFiles->isChecked()) return !txbFilespec->text().trimmed().isEmpty();
    return optAllFiles->isChecked();
}

void frmSpecifyFiles::RefreshAccept() { cmdAccept->setEnabled(ChoiceIsComplete()); }

void frmSpecifyFiles::Clock1_Timer() {
    if (!isVisible()) return;
    // Files removed or added meanwhile: the list must not offer a file that
    // is gone.
    if (File->isEnabled()) File->refresh();
    RefreshAccept();
}

void frmSpecifyFiles::TextBoxEntered() {
    RefreshAccept();
    if (cmdAccept->isEnabled()) cmdAccept_Click();
}

void frmSpecifyFiles::cmdAccept_Click() {
    if (optSingleFile->isChecked()) {
        blnAccept = !File->fileName().isEmpty();
    } else if (optAllFiles->isChecked()) {
        blnAccept = true;
    } else if (optExtension->isChecked()) {
        const QString e = CleanExtension(txbExtension->text());
        txbExtension->setText(e);
        if (e.contains(QLatin1Char('.'))) {
            MsgBox(QStringLiteral("Extension must not contain ") + QLatin1Char('"') + QLatin1Char('.') +
                       QLatin1Char('"') + QLatin1Char('.'),
                   vbOKOnly | vbExclamation, QStringLiteral("Error"));
            return;
        }
        blnAccept = !e.isEmpty();
    } else if (optMultipleFiles->isChecked()) {
        const QString s = txbFilespec->text().trimmed();
        txbFilespec->setText(s);
        blnAccept = !s.isEmpty();
    } else {
        blnAccept = false;
    }
    hide();
}

void frmSpecifyFiles::cmdCancel_Click() {
    blnAccept = false;
    hide();
}

// Escape and the window's close button act as Cancel.
void frmSpecifyFiles::reject() { cmdCancel_Click(); }

bool frmSpecifyFiles::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == txbExtension) optExtension->setChecked(true);
        if (watched == txbFilespec) optMultipleFiles->setChecked(true);
    }
    return QDialog::eventFilter(watched, event);
}
