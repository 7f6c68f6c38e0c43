#pragma once
// The real file and folder choosers: they open at the folder the user is in,
// list the drives by letter in their side bar, and show a folder prompt whole.

#include <QString>
#include <QStringList>

class FileDialogs;
class QFileDialog;

FileDialogs& RealFileDialogs();

// A filter of the program's style ("All files (*.*) | *.*", pairs joined by
// "|") as captions the user reads and the patterns that apply to each: the
// captions stay as written, "*.*" matches every name as it does for the
// program.
struct ChooserFilter {
    QStringList captions;
    QList<QStringList> patterns;
};
ChooserFilter ParseChooserFilter(const QString& filter);

// The native folder a chooser opens at for a drive path (a folder, or a file
// whose folder is taken): that folder when it is mapped and exists, else the
// user's home folder.
QString ChooserStartFolder(const QString& drivePath);

// The caption of a drive in the side bar: "C:" with its volume label.
QString DriveCaption(QChar letter, const QString& label);
