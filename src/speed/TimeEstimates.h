#pragma once
// Durations in words, and the estimate of purge time that a listing report
// ends with.

#include <QString>
#include <QtGlobal>

namespace TimeEstimates {

// Whole seconds from a time in seconds: nearest, halves to even.
qint32 RoundSeconds(double seconds);

// A duration in words: long form "1 hour, 5 minutes and 3 seconds", short
// form "1h 5m 3s". With blnRound, 30 seconds or more drop their seconds and
// (below 59 minutes) add a minute.
QString DurationText(qint32 lngSeconds, bool blnLong, bool blnRound);
// The same; used for durations of 300 seconds and more.
QString DurationText2(qint32 lngSeconds, bool blnLong, bool blnRound);
QString MinutesText(qint32 lngMinutes, bool blnLong);
QString ShortMinutesText(qint32 lngMinutes);

// The table of estimated purge times for 2 to 24 overwrites.
QString EstimatedTimes(float sngPurgeSpeed, double dblTotalBytes2, double dblAdjustmentFactor,
                       const QString& strDrive);

// The estimated purge time in seconds of files of the total size and number
// at the drive's speed (MB/s, one overwrite) with n overwrites, adjusted
// for the average file size from a minute on; -1 without a speed.
qint32 EstimatedSeconds(double dblTotalBytes, qint64 lngNumFiles, float sngSpeed, qint16 intNumOverwrites);

// The estimate block of a listing report for the drive of the listed
// folder: the text to append, and the main window's estimate label (null
// when the label keeps its text).
struct Estimate {
    QString text;
    QString label;
};
Estimate EstimateBlock(QChar driveLetter, double dblTotalBytes, qint64 lngNumFiles, const QString& strPurgeType,
                       qint16 intNumOverwrites);

} // namespace TimeEstimates
