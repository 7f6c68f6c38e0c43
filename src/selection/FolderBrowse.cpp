#include "selection/FolderBrowse.h"

#include "support/Seams.h"

QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startFolder) {
    QString path = CurrentFileDialogs().browseForFolder(owner, prompt, startFolder);
    // The answer ends at the first NUL. It is never cut at a fixed length:
    // a shortened path would name another folder.
    const qsizetype nul = path.indexOf(QChar(0));
    if (nul >= 0) path.truncate(nul);
    return path;
}
