#pragma once
// Day numbers of the date restriction: a file's date as a Julian day number,
// a day number as text, and the check that refuses a single file the
// restriction excludes. Conversions between calendar dates and day numbers go
// through the tivrel library.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace DatePr2 {

// The restriction day that stands for "no restriction".
constexpr qint32 kNoRestrictionJDN = 9000000;

// Builds the month-name tables (idempotent; the accessors build them on
// first use as well).
void BuildDateTables();
// "January" .. "December" and "Jan" .. "Dec"; month 1 to 12, "" otherwise.
QString MonthName(int month, bool shortName = false);
const QStringList& MonthNames(bool shortNames = false);

// The day number of the file's last-write time, taken as a local date, or -1
// with a non-zero errno-style error when the date cannot be read.
qint32 GetFileJDN(const QString& path, int& errorNumber);

// A day number as text. Style 0: "January 1, 2024" (month name, day, ", ",
// year; years beyond +-9999 get thousands separators). Other styles fall back
// to style 0.
QString FormatJDN(qint32 jdn, bool shortNames = false, int style = 0);

// The calendar date of a day number and back, through tivrel. JDNToDate
// gives an invalid QDate for day numbers QDate cannot hold.
QDate JDNToDate(qint32 jdn);
qint32 DateToJDN(const QDate& date);

// The day in the platform's short date format (the user's regional settings).
QString ShortDateText(qint32 jdn);

// With the date restriction on, refuses a file whose date cannot be read or
// is not before the restriction day, with a message titled title. excluded
// is False when the restriction is off.
void CheckFileDate(const QString& path, const QString& title, bool& excluded);

} // namespace DatePr2
