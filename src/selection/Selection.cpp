#include "selection/Selection.h"

#include "app/MainState.h"
#include "selection/DatePr2.h"
#include "selection/Filespec.h"

namespace Selection {

bool SatisfiesFilespecAndDateRestriction(const QString& strFilepath, const QString& strFilespec,
                                         bool blnCaseSensitive) {
    const QString name = Filespec::GetFileName(strFilepath, true);
    if (!Filespec::MatchesFilespec(name, strFilespec, blnCaseSensitive)) return false;
    const MainState& m = Main();
    if (!m.blnDateRestriction) return true;
    int error = 0;
    const qint32 jdn = DatePr2::GetFileJDN(strFilepath, error);
    // A file that cannot be dated might be one the user meant to keep.
    if (jdn == -1) return false;
    return jdn < m.lngOnlyBeforeThisJDN;
}

} // namespace Selection
