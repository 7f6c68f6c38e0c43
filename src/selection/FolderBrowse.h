#pragma once
// The folder browser as the folder commands use it.

#include <QString>

class QWidget;

// Shows the folder browser with prompt, opened at startFolder (a drive path;
// the user's home folder when empty); the chosen folder as a drive path, or
// "" when cancelled.
QString BrowseForFolder(QWidget* owner, const QString& prompt, const QString& startFolder = {});
