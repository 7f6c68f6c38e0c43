#pragma once
// The filter every listing, estimate and purge applies to each file it finds:
// the file specification and the date restriction.

#include <QString>

namespace Selection {

// True when the file's name satisfies strFilespec and, with the date
// restriction on, its day is before the restriction day. A file whose date
// cannot be read is never selected.
bool SatisfiesFilespecAndDateRestriction(const QString& strFilepath, const QString& strFilespec,
                                         bool blnCaseSensitive);

} // namespace Selection
