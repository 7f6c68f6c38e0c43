#pragma once
// The setup kept for the next run and the operation files.

#include <QString>

namespace SetupFile {

// Loads a setup file into the main window's state. False (silently) when
// the file is missing or cannot be used; the defaults then stay.
bool LoadSetup(const QString& path);

} // namespace SetupFile
