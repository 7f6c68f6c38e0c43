#include "setup/SetupFile.h"

namespace SetupFile {

// The setup format is not read yet; every load keeps the defaults.
bool LoadSetup(const QString& /*path*/) { return false; }

} // namespace SetupFile
