#ifndef VELDRANE_SUPPORT_STRPROC_H
#define VELDRANE_SUPPORT_STRPROC_H
// Small text routines used everywhere: accent-aware case, size texts, number
// words, path shortening, digit grouping, search, trim and split helpers.
// Positions are 1-based; 0 means "not found". Routines that change their
// argument in place take it as QString&.

#include <QString>
#include <QStringList>
#include <string>

namespace StrProc {

// Case modes of SplitLines. -1 is the old Boolean True, kept so callers that
// pass True and 1 read the same way.
constexpr int kKeepCase = 0;
constexpr int kUpperCase = 1;
constexpr int kLowerCase = -1;

QString SafeLeft(const QString& text, int n);

// Upper/lower case that maps the 30 accented Latin pairs by table and every
// other character by Qt's rule. Lone surrogates (bytes of a name that is not
// valid UTF-8) pass through untouched.
QString UpperCaseAccented(const QString& text);
QString LowerCaseAccented(const QString& text);

// "512 bytes", "1.00 Kb", "1,024.00 Mb" (1 Kb = 1024 bytes); grouping by the
// user's locale. SizeText stops at Mb, SizeTextGb goes on to Gb.
QString SizeText(double bytes, qint16 decimals);
QString SizeTextGb(double bytes, qint16 decimals);

QString RepeatText(const QString& text, int n);

void AddBackslash(QString& text);
void StripTrailingBackslashes(QString& path);
void RemoveTrailing(QString& text, const QString& suffix);

// "No", "One" ... "Twenty one" ... "Ninety nine"; 100 and more as grouped digits.
QString NumberWords(qint32 n);

// First position >= start whose character is in set; index gets the place
// of that character in set (1-based). Both 0 when none.
int FindCharFromSet(const QString& text, int start, const QString& set, int& index);
int FindCharNotInSet(const QString& text, int start, const QString& set);
QString KeepChars(const QString& text, const QString& set);
void RemoveChars(QString& text, const QString& set);

int CountOccurrences(const QString& text, const QString& part, bool caseSensitive);

// Elements first..last (-1: the list's own bound), each followed by separator.
QString JoinArray(const QStringList& items, const QString& separator, bool dropLastSeparator, int first = -1,
                  int last = -1);

// Cuts text at each "\r\n" into lines (cleared first), skipping lines that are
// blank; returns the number of lines kept.
int SplitLines(const QString& text, QStringList& lines, int caseMode, bool trim);

void TrimTrailingWhitespace(QString& text);
void TrimTrailingControlChars(QString& text);

QString NormalizePathCase(const QString& path);

// One element per character: a surrogate pair is one character, and a lone
// surrogate (one undecodable byte of a name) is a character of its own, so it
// can only ever equal itself. FromCharacters gives the same text back.
std::u32string Characters(const QString& text);
QString FromCharacters(const std::u32string& chars);

// First 3 characters + "..." + last maxLength-6 characters when text is longer
// than maxLength (>= 10); sets shortened then, else leaves it alone.
QString ShortenWithEllipsis(const QString& text, int maxLength, bool& shortened);

// Groups the integer digits of a number text with separator's first character
// (through tivrel). number is not changed.
QString SeparateThousands(QString& number, const QString& separator);

} // namespace StrProc

#endif
