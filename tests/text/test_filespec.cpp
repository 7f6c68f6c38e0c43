// The file-specification rule: last-dot split, empty halves, the "*" that
// never backtracks, names that can never match, case and undecodable bytes.
#include "selection/Filespec.h"

#include <gtest/gtest.h>

using namespace Filespec;

namespace {

const QChar kBad80(0xDC80); // one undecodable byte 0x80 of a file name
const QChar kBad81(0xDC81);

struct MatchCase {
    QString name;
    QString spec;
    bool matches;
    bool caseSensitive = false;
};

TEST(Filespec, MatchingRule) {
    const QString badName = QStringLiteral("caf") + QChar(0xDCC3) + QChar(0xDCA9) + QStringLiteral(".txt");
    const MatchCase cases[] = {
        // "*.*": with and without dots.
        {"readme", "*.*", true},
        {"a.b.c", "*.*", true},
        {"notes.txt", "*.*", true},
        // No dot in the pattern: only names without a dot.
        {"abc", "*", true},
        {"abc.txt", "*", false},
        {"abc", "a*", true},
        {"abc.txt", "a*", false},
        {"bcd", "a*", false},
        {"abc.txt", "abc", false},
        // Extensions: last dot of both, case ignored.
        {"notes.TXT", "*.txt", true},
        {"x.y.txt", "*.txt", true},
        {"txt", "*.txt", false},
        {"notes.txt", "*.TXT", false, true},
        {"a.txt", "*.t?t", true},
        {"a.tx", "*.t?t", false},
        // Empty pattern halves match anything.
        {"abc.txt", "*.", true},
        {"abc", "*.", true},
        {"a.b.c", "*.", true},
        {"abc.txt", "abc.", true},
        {"abc", "abc.", true},
        {"abd", "abc.", false},
        {"a.txt", ".txt", true},
        {"a.doc", ".txt", false},
        // A dotless name against a spec with an extension.
        {"abc", "abc.*", true},
        {"abc", "abc.**", true},
        {"abc.doc", "abc.*", true},
        {"abc", "abc.txt", false},
        {"abc", "abc.?", false},
        {"abc", "**.**", true},
        // "*" jumps to the first occurrence of the next literal and stays there.
        {"aab", "*ab", false},
        {"aab", "*b", true},
        {"abxbc", "a*bc", false},
        {"axbyc", "a*b*c", true},
        {"abcd", "a*c", false},
        {"abcd", "a*c*", true},
        {"xyz", "*q", false},
        // "?" after "*" needs no character of its own unless a literal follows.
        {"a", "a*?", true},
        {"a", "a*??*", true},
        {"ab", "*?b", false},
        {"abb", "*?b", true},
        // "?" on its own.
        {"a", "?", true},
        {"ab", "?", false},
        {"a", "??", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"a.txt", "?.txt", true},
        {".txt", "?.txt", false},
        // Exact names (single-file specs) compare without regard to case.
        {"Report.DOC", "report.doc", true},
        {"report.doc", "report.docx", false},
        {"Report.doc", "report.doc", false, true},
        // A leading dot only: empty base, real extension.
        {".profile", "*.*", true},
        {".profile", "*.profile", true},
        {".profile", "a*.*", false},
        {".profile", "*", false},
        // Names that can never be files here never match.
        {"a:b.txt", "*.*", false},
        {"a:b", "   ", false},
        {"a:b", "a:b", false},
        {"a?b", "*", false},
        {"a*b", "*", false},
        {"dir\\x.txt", "*.*", false},
        // A blank spec matches everything; spaces around a spec are ignored.
        {"anything.txt", "   ", true},
        {"anything.txt", "", true},
        {"a.txt", "  *.txt  ", true},
        // Accented letters fold case by table.
        {QStringLiteral("ÉTÉ.TXT"), QStringLiteral("été.txt"), true},
        {QStringLiteral("ÀÇÑ.Ÿ"), QStringLiteral("àç?.*"), true},
        {QStringLiteral("ÉTÉ.TXT"), QStringLiteral("été.txt"), false, true},
        // Undecodable bytes are characters of their own, equal only to themselves.
        {badName, "*.txt", true},
        {badName, "caf??.txt", true},
        {badName, "caf?.txt", false},
        {badName, QStringLiteral("café.txt"), false},
        {QStringLiteral("a") + kBad80, QStringLiteral("a") + kBad80, true},
        {QStringLiteral("A") + kBad80, QStringLiteral("a") + kBad80, true},
        {QStringLiteral("a") + kBad80, QStringLiteral("a") + kBad81, false},
        {QStringLiteral("a") + kBad80, QStringLiteral("a\uFFFD"), false},
        {QStringLiteral("a") + kBad80, "a?", true},
        {QString(kBad80) + QStringLiteral(".") + kBad81, QStringLiteral("*.") + kBad81, true},
        // A character outside the basic plane is one character.
        {QStringLiteral("\U0001F600.txt"), "?.txt", true},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(MatchesFilespec(c.name, c.spec, c.caseSensitive), c.matches)
            << "name \"" << c.name.toStdString() << "\" spec \"" << c.spec.toStdString() << "\""
            << (c.caseSensitive ? " (case-sensitive)" : "");
}

TEST(Filespec, WildcardMatchHalves) {
    EXPECT_TRUE(WildcardMatch(QString(), QString(), false));
    EXPECT_TRUE(WildcardMatch(QString(), QStringLiteral("**"), false));
    EXPECT_FALSE(WildcardMatch(QString(), QStringLiteral("*?"), false));
    EXPECT_TRUE(WildcardMatch(QStringLiteral("abc"), QString(), false));
    EXPECT_TRUE(WildcardMatch(QStringLiteral("ABC"), QStringLiteral("abc"), false));
    EXPECT_FALSE(WildcardMatch(QStringLiteral("ABC"), QStringLiteral("abc"), true));
}

TEST(Filespec, PathPieces) {
    struct Case {
        QString path, name, folder, ext;
    };
    const Case cases[] = {
        {"C:\\Docs\\Report.DOC", "Report.DOC", "C:\\Docs\\", "DOC"},
        {"C:\\Docs\\", "", "C:\\Docs\\", ""},
        {"C:\\a.b\\readme", "readme", "C:\\a.b\\", ""},
        {"C:\\x\\archive.tar.gz", "archive.tar.gz", "C:\\x\\", "gz"},
        {"C:\\x\\.profile", ".profile", "C:\\x\\", "profile"},
        {"C:\\x\\name.", "name.", "C:\\x\\", ""},
        {"report.doc", "", "", "doc"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetFileName(c.path), c.name) << c.path.toStdString();
        EXPECT_EQ(GetFolderPart(c.path), c.folder) << c.path.toStdString();
        EXPECT_EQ(GetExtension(c.path), c.ext) << c.path.toStdString();
    }
    EXPECT_EQ(GetFileName(QStringLiteral("C:\\Été\\ÉTÉ.TXT"), true), QStringLiteral("été.txt"));
    EXPECT_EQ(GetExtension(QStringLiteral("C:\\x\\a.TXT"), true), QStringLiteral("txt"));

    EXPECT_TRUE(HasWildcards(QStringLiteral("*.txt")));
    EXPECT_TRUE(HasWildcards(QStringLiteral("a?c")));
    EXPECT_FALSE(HasWildcards(QStringLiteral("report.doc")));
    EXPECT_FALSE(HasWildcards(QString()));
}

} // namespace
