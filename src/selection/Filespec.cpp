#include "selection/Filespec.h"

#include "support/StrProc.h"

#include <string>

namespace Filespec {

namespace {

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

bool WildcardMatch(const QString& nameHalf, const QString& patternHalf, bool caseSensitive) {
    const QString n = caseSensitive ? nameHalf : LowerCaseAccented(nameHalf);
    QString p = caseSensitive ? patternHalf : LowerCaseAccented(patternHalf);
    if (p == n) return true;
    if (n.isEmpty()) {
        p.remove(QLatin1Char('*'));
        return p.isEmpty();
    }
    if (p.isEmpty()) return true; // an empty pattern half matches anything

    const std::u32string name = StrProc::Characters(n);
    const std::u32string pat = StrProc::Characters(p);
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        if (j >= pat.size()) return i >= name.size();
        const char32_t pc = pat[j];
        if (pc == U'?') {
            if (i >= name.size()) return false;
            ++i;
            ++j;
        } else if (pc == U'*') {
            // Jump to the first occurrence of the next literal character; no
            // later occurrence is ever tried.
            std::size_t k = j;
            while (k < pat.size() && (pat[k] == U'*' || pat[k] == U'?'))
                ++k;
            if (k >= pat.size()) return true;
            const char32_t t = pat[k];
            while (i < name.size() && name[i] != t)
                ++i;
            if (i >= name.size()) return false;
            ++j;
        } else {
            if (i >= name.size() || name[i] != pc) return false;
            ++i;
            ++j;
        }
    }
}

bool MatchesFilespec(const QString& name, const QString& spec, bool caseSensitive) {
    for (QChar c : name)
        if (c == QLatin1Char('?') || c == QLatin1Char('*') || c == QLatin1Char(':') || c == QLatin1Char('\\'))
            return false;
    const QString s = trimSpaces(spec);
    if (s.isEmpty()) return true;

    const qsizetype nDot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype sDot = s.lastIndexOf(QLatin1Char('.'));
    if (sDot < 0) {
        if (nDot >= 0) return false;
        return WildcardMatch(name, s, caseSensitive);
    }
    if (nDot >= 0)
        return WildcardMatch(name.left(nDot), s.left(sDot), caseSensitive) &&
               WildcardMatch(name.mid(nDot + 1), s.mid(sDot + 1), caseSensitive);
    // A name without a dot matches "base." and "base.*" but no real extension.
    QString specExt = s.mid(sDot + 1);
    specExt.remove(QLatin1Char('*'));
    if (!specExt.isEmpty()) return false;
    return WildcardMatch(name, s.left(sDot), caseSensitive);
}

QString GetFileName(const QString& path, bool lowerCase) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0) return QString();
    const QString name = path.mid(slash + 1);
    return lowerCase ? LowerCaseAccented(name) : name;
}

QString GetFolderPart(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString GetExtension(const QString& path, bool lowerCase) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return QString();
    const QString ext = name.mid(dot + 1);
    return lowerCase ? LowerCaseAccented(ext) : ext;
}

bool HasWildcards(const QString& text) {
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

} // namespace Filespec
