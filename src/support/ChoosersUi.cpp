#include "support/ChoosersUi.h"

#include "platform/Platform.h"
#include "support/ModalUi.h"
#include "support/Seams.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QListView>
#include <QUrl>

namespace {

// The side bar's model keeps each entry's address under this role.
constexpr int kSideBarUrlRole = Qt::UserRole + 1;

QString ToDrive(const QString& native) {
    if (native.isEmpty()) return {};
    return platform::current().toDrivePath(QFile::encodeName(native));
}

// The side bar lists the drives as the main window names them. It renames
// its entries whenever the folders change, so the letters are put back each
// time.
void ShowDrivesInSideBar(QFileDialog& dialog) {
    platform::Platform& p = platform::current();
    QList<QUrl> urls;
    QHash<QString, QString> captions;
    for (const platform::DriveInfo& d : p.drives()) {
        const QString root = QDir::cleanPath(d.root);
        if (root.isEmpty() || captions.contains(root)) continue;
        urls << QUrl::fromLocalFile(root);
        captions.insert(root, DriveCaption(d.letter, d.label.isEmpty() ? p.volumeLabel(d.letter) : d.label));
    }
    dialog.setSidebarUrls(urls);
    auto* bar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (!bar || !bar->model()) return;
    QAbstractItemModel* model = bar->model();
    auto relabel = [model, captions]() {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            const QString root = QDir::cleanPath(index.data(kSideBarUrlRole).toUrl().toLocalFile());
            const QString caption = captions.value(root);
            if (!caption.isEmpty() && index.data(Qt::DisplayRole).toString() != caption)
                model->setData(index, caption, Qt::DisplayRole);
        }
    };
    relabel();
    QObject::connect(model, &QAbstractItemModel::dataChanged, bar, relabel);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, bar, relabel);
}

// Applies the program's patterns of the chosen filter, so "*.*" also lists
// names without a dot.
void UseFilter(QFileDialog& dialog, const ChooserFilter& filter) {
    dialog.setNameFilters(filter.captions);
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model) return;
    auto apply = [model, filter](const QString& caption) {
        const qsizetype i = filter.captions.indexOf(caption);
        if (i >= 0) model->setNameFilters(filter.patterns[i]);
    };
    apply(filter.captions.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, model, apply);
}

// The prompt stands above the folders, whole and with its line breaks: a
// window title would cut it.
void ShowPrompt(QFileDialog& dialog, const QString& prompt) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid || prompt.isEmpty()) return;
    struct Cell {
        QLayoutItem* item;
        int row, column, rowSpan, columnSpan;
    };
    QList<Cell> cells;
    while (grid->count() > 0) {
        Cell c{nullptr, 0, 0, 1, 1};
        grid->getItemPosition(0, &c.row, &c.column, &c.rowSpan, &c.columnSpan);
        c.item = grid->takeAt(0);
        cells << c;
    }
    auto* label = new QLabel(&dialog);
    label->setObjectName(QStringLiteral("lblPrompt"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setText(
        platform::Platform::shownName(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    int columns = 1;
    for (const Cell& c : cells)
        columns = std::max(columns, c.column + c.columnSpan);
    grid->addWidget(label, 0, 0, 1, columns);
    for (const Cell& c : cells)
        grid->addItem(c.item, c.row + 1, c.column, c.rowSpan, c.columnSpan);
}

QString Run(QFileDialog& dialog) {
    ShowModal(&dialog, dialog.parentWidget());
    if (dialog.result() != QDialog::Accepted) return {};
    return ToDrive(dialog.selectedFiles().value(0));
}

class QtFileDialogs : public FileDialogs {
  public:
    QString openFile(QWidget* parent, const QString& title, const QString& fileName,
                     const QString& filter) override {
        QFileDialog dialog(parent ? parent->window() : DialogOwner(), title);
        Prepare(dialog, fileName);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        UseFilter(dialog, ParseChooserFilter(filter));
        return Run(dialog);
    }
    QString saveFile(QWidget* parent, const QString& title, const QString& fileName,
                     const QString& filter) override {
        QFileDialog dialog(parent ? parent->window() : DialogOwner(), title);
        Prepare(dialog, fileName);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The caller asks its own overwrite question, once.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        UseFilter(dialog, ParseChooserFilter(filter));
        const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('\\')) + 1);
        if (!name.isEmpty()) dialog.selectFile(name);
        return Run(dialog);
    }
    QString browseForFolder(QWidget* parent, const QString& prompt, const QString& startFolder) override {
        QString title = prompt;
        title.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        QFileDialog dialog(parent ? parent->window() : DialogOwner(), title);
        Prepare(dialog, startFolder);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        ShowPrompt(dialog, prompt);
        return Run(dialog);
    }

  private:
    static void Prepare(QFileDialog& dialog, const QString& start) {
        dialog.setObjectName(QStringLiteral("fileChooser"));
        // The chooser of the widget library, so that the side bar can show
        // the drives; links are shown as links and never resolved.
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontResolveSymlinks);
        dialog.setDirectory(ChooserStartFolder(start));
        ShowDrivesInSideBar(dialog);
    }
};

} // namespace

FileDialogs& RealFileDialogs() {
    static QtFileDialogs dialogs;
    return dialogs;
}

ChooserFilter ParseChooserFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    ChooserFilter out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
            if (!pattern.isEmpty()) patterns << pattern;
        }
        const QString caption = parts[i].trimmed();
        if (caption.isEmpty() || patterns.isEmpty()) continue;
        out.captions << caption;
        out.patterns << patterns;
    }
    if (out.captions.isEmpty()) {
        out.captions << QStringLiteral("All files (*.*)");
        out.patterns << QStringList{QStringLiteral("*")};
    }
    return out;
}

QString ChooserStartFolder(const QString& drivePath) {
    // A file's own folder when the file is gone or was never there.
    const QString folder = drivePath.left(drivePath.lastIndexOf(QLatin1Char('\\')) + 1);
    for (const QString& candidate : {drivePath, folder}) {
        if (candidate.isEmpty()) continue;
        const QString native = QFile::decodeName(platform::current().toNative(candidate));
        if (native.isEmpty()) continue;
        const QFileInfo info(native);
        if (info.isDir()) return native;
        if (info.isFile()) return info.path();
    }
    return QDir::homePath();
}

QString DriveCaption(QChar letter, const QString& label) {
    QString caption = QString(letter.toUpper()) + QLatin1Char(':');
    if (!label.isEmpty()) caption += QStringLiteral(" [") + label + QLatin1Char(']');
    return caption;
}
