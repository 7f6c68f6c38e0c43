#include "support/StrProc.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

#include "tivrel.h"

namespace StrProc {

namespace {

const QString kLowerAccents = QStringLiteral("šÿàáâãäåçèéêëìíîïðñòóôõöøùúûüý");
const QString kUpperAccents = QStringLiteral("ŠŸÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝ");

bool isLoneSurrogateAt(const QString& s, qsizetype i) {
    const QChar c = s.at(i);
    if (c.isHighSurrogate()) return i + 1 >= s.size() || !s.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate()) return i == 0 || !s.at(i - 1).isHighSurrogate();
    return false;
}

QString platformCase(const QString& s, bool upper) {
    return upper ? s.toUpper() : s.toLower();
}

// Qt's case mapping turns a lone surrogate into U+FFFD, which would make two
// different undecodable names equal. Map only the well-formed runs between them.
QString convertCase(const QString& text, bool upper) {
    const QString& from = upper ? kLowerAccents : kUpperAccents;
    const QString& to = upper ? kUpperAccents : kLowerAccents;
    QString s = text;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const qsizetype k = from.indexOf(s.at(i));
        if (k >= 0) s[i] = to.at(k);
    }
    QString out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (!isLoneSurrogateAt(s, i)) continue;
        if (runStart == 0 && out.isEmpty()) out.reserve(s.size());
        out += platformCase(s.mid(runStart, i - runStart), upper);
        out += s.at(i);
        runStart = i + 1;
    }
    if (runStart == 0) return platformCase(s, upper);
    out += platformCase(s.mid(runStart), upper);
    return out;
}

// A decimals argument below zero means none.
int decimalPlaces(qint16 d) {
    return d < 0 ? 0 : d;
}

QString plainNumber(double v) {
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

QString groupedNumber(double v, qint16 d) {
    return QLocale().toString(v, 'f', decimalPlaces(d));
}

bool inSet(QChar c, const QString& set) {
    return set.contains(c);
}

} // namespace

QString SafeLeft(const QString& text, int n) {
    if (n <= 0) return QString();
    return n < text.size() ? text.left(n) : text;
}

QString UpperCaseAccented(const QString& text) {
    return convertCase(text, true);
}

QString LowerCaseAccented(const QString& text) {
    return convertCase(text, false);
}

QString SizeText(double bytes, qint16 decimals) {
    if (std::isnan(bytes) || bytes < 0) return QString();
    if (bytes == 0) return QStringLiteral("0 bytes");
    if (bytes < 1024) return plainNumber(bytes) + QStringLiteral(" bytes");
    if (bytes < 1048576) return groupedNumber(bytes / 1024, decimals) + QStringLiteral(" Kb");
    return groupedNumber(bytes / 1048576, decimals) + QStringLiteral(" Mb");
}

QString SizeTextGb(double bytes, qint16 decimals) {
    if (std::isnan(bytes)) return QString();
    if (bytes == 0) return QStringLiteral("0 bytes");
    if (bytes < 1024) return plainNumber(bytes) + QStringLiteral(" bytes");
    const double k = bytes / 1024;
    if (k < 1024) return groupedNumber(k, decimals) + QStringLiteral(" Kb");
    const double m = k / 1024;
    if (m < 1024) return groupedNumber(m, decimals) + QStringLiteral(" Mb");
    return groupedNumber(m / 1024, decimals) + QStringLiteral(" Gb");
}

QString RepeatText(const QString& text, int n) {
    return n < 1 ? QString() : text.repeated(n);
}

void AddBackslash(QString& text) {
    if (text.isEmpty()) return;
    RemoveTrailing(text, QStringLiteral("\\"));
    text += QLatin1Char('\\');
}

void StripTrailingBackslashes(QString& path) {
    while (path.size() >= 4 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
}

void RemoveTrailing(QString& text, const QString& suffix) {
    if (suffix.isEmpty()) return;
    while (text.endsWith(suffix))
        text.chop(suffix.size());
}

QString NumberWords(qint32 n) {
    static const char* const kSmall[] = {
        "No",       "One",     "Two",     "Three",     "Four",     "Five",     "Six",
        "Seven",    "Eight",   "Nine",    "Ten",       "Eleven",   "Twelve",   "Thirteen",
        "Fourteen", "Fifteen", "Sixteen", "Seventeen", "Eighteen", "Nineteen", "Twenty"};
    static const char* const kTens[] = {"Twenty", "Thirty",  "Forty",  "Fifty",
                                        "Sixty",  "Seventy", "Eighty", "Ninety"};
    if (n >= 0 && n <= 20) return QString::fromLatin1(kSmall[n]);
    if (n > 20 && n < 100) {
        const QString tens = QString::fromLatin1(kTens[n / 10 - 2]);
        if (n % 10 == 0) return tens;
        return tens + QLatin1Char(' ') + QString::fromLatin1(kSmall[n % 10]).toLower();
    }
    return QLocale().toString(n);
}

int FindCharFromSet(const QString& text, int start, const QString& set, int& index) {
    index = 0;
    if (text.isEmpty() || set.isEmpty()) return 0;
    for (qsizetype i = start < 1 ? 0 : start - 1; i < text.size(); ++i) {
        const qsizetype k = set.indexOf(text.at(i));
        if (k >= 0) {
            index = int(k + 1);
            return int(i + 1);
        }
    }
    return 0;
}

int FindCharNotInSet(const QString& text, int start, const QString& set) {
    for (qsizetype i = start < 1 ? 0 : start - 1; i < text.size(); ++i)
        if (!inSet(text.at(i), set)) return int(i + 1);
    return 0;
}

QString KeepChars(const QString& text, const QString& set) {
    QString out;
    for (QChar c : text)
        if (inSet(c, set)) out += c;
    return out;
}

void RemoveChars(QString& text, const QString& set) {
    if (set.isEmpty()) return;
    text.removeIf([&set](QChar c) { return inSet(c, set); });
}

int CountOccurrences(const QString& text, const QString& part, bool caseSensitive) {
    if (text.isEmpty() || part.isEmpty()) return 0;
    const QString t = caseSensitive ? text : UpperCaseAccented(text);
    const QString p = caseSensitive ? part : UpperCaseAccented(part);
    int count = 0;
    for (qsizetype at = t.indexOf(p); at >= 0; at = t.indexOf(p, at + p.size()))
        ++count;
    return count;
}

QString JoinArray(const QStringList& items, const QString& separator, bool dropLastSeparator, int first,
                  int last) {
    const qsizetype from = first < 0 ? 0 : first;
    const qsizetype to = (last < 0 || last >= items.size()) ? items.size() - 1 : last;
    QString out;
    for (qsizetype i = from; i <= to; ++i)
        out += items.at(i) + separator;
    if (dropLastSeparator && from <= to) out.chop(separator.size());
    return out;
}

int SplitLines(const QString& text, QStringList& lines, int caseMode, bool trim) {
    lines.clear();
    const QStringList parts = text.split(QStringLiteral("\r\n"));
    for (const QString& part : parts) {
        qsizetype b = 0, e = part.size();
        while (b < e && part.at(b) == QLatin1Char(' '))
            ++b;
        while (e > b && part.at(e - 1) == QLatin1Char(' '))
            --e;
        if (b == e) continue;
        QString line = trim ? part.mid(b, e - b) : part;
        if (caseMode == kUpperCase)
            line = UpperCaseAccented(line);
        else if (caseMode == kLowerCase)
            line = LowerCaseAccented(line);
        lines.append(line);
    }
    return int(lines.size());
}

void TrimTrailingWhitespace(QString& text) {
    qsizetype e = text.size();
    while (e > 0 && text.at(e - 1).unicode() <= 32)
        --e;
    text.truncate(e);
}

void TrimTrailingControlChars(QString& text) {
    qsizetype e = text.size();
    while (e > 0 && text.at(e - 1).unicode() < 32)
        --e;
    text.truncate(e);
}

QString NormalizePathCase(const QString& path) {
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':'))
        return UpperCaseAccented(path.left(1)) + LowerCaseAccented(path.mid(1));
    return LowerCaseAccented(path);
}

QString ShortenWithEllipsis(const QString& text, int maxLength, bool& shortened) {
    // Counted in characters: a character beyond the Basic Multilingual Plane
    // (an emoji) is never cut between its two halves.
    if (maxLength < 10) return text;
    const std::u32string chars = Characters(text);
    if (chars.size() <= std::size_t(maxLength)) return text;
    shortened = true;
    const std::size_t keep = std::size_t(maxLength - 6);
    return FromCharacters(chars.substr(0, 3)) + QStringLiteral("...") +
           FromCharacters(chars.substr(chars.size() - keep));
}

std::u32string Characters(const QString& s) {
    std::u32string out;
    out.reserve(std::size_t(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            out.push_back(QChar::surrogateToUcs4(c, s.at(i + 1).unicode()));
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

QString FromCharacters(const std::u32string& chars) {
    QString out;
    out.reserve(qsizetype(chars.size()));
    for (char32_t c : chars) {
        if (QChar::requiresSurrogates(c)) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(char16_t(c));
        }
    }
    return out;
}

QString SeparateThousands(QString& number, const QString& separator) {
    if (separator.isEmpty()) return number;
    // tivrel works on 8-bit text with a 20-character buffer. A number it cannot
    // take whole (longer than 19 characters, or with characters outside
    // Latin-1) comes back unchanged rather than cut short.
    constexpr int kBufferSize = 20;
    if (number.size() > kBufferSize - 1) return number;
    for (QChar c : number)
        if (c.unicode() == 0 || c.unicode() > 0xFF) return number;
    const QByteArray in = number.toLatin1();

    // A separator outside Latin-1 (a locale's narrow no-break space) travels
    // as a control byte the number does not hold and is put back afterwards.
    const char16_t sep = separator.at(0).unicode();
    const QString sepText = separator.left(QChar::isHighSurrogate(sep) && separator.size() > 1 ? 2 : 1);
    int32_t code = sep;
    char stand = 0;
    if (sep > 0xFF) {
        for (char b = 1; b < 32 && !stand; ++b)
            if (!in.contains(b)) stand = b;
        code = stand;
    }

    char buffer[kBufferSize + 1];
    std::fill(buffer, buffer + kBufferSize, ' ');
    buffer[kBufferSize] = '\0';
    separate_thousands(in.constData(), code, buffer);
    buffer[kBufferSize] = '\0';
    QString out = QString::fromLatin1(buffer);
    if (stand) out.replace(QLatin1Char(stand), sepText);
    return out;
}

} // namespace StrProc
