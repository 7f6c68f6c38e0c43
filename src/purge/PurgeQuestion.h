#pragma once
// The question the purge confirmation dialog asks, built from the selection
// and the count of the counting walk.

#include <QString>
#include <QtGlobal>

struct MainState;

namespace PurgeQuestion {

// The counting walk's count when it passed its limit.
constexpr qint32 kMoreThanLimit = -1;

// Builds the question into m.strMsg and stores the count in m.intNumFiles.
// False (nothing built) when the single selected file fails the date
// restriction; the user has been told why in a box titled strTitle.
bool BuildPurgeQuestion(MainState& m, qint32 lngCount, const QString& strTitle);

} // namespace PurgeQuestion
