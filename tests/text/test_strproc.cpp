// Text and number formatting: size texts, number words, shortening, digit
// grouping, accent-aware case and the small helpers that are easy to get wrong.
#include "support/StrProc.h"

#include <QLocale>
#include <gtest/gtest.h>

#include "tivrel.h"

using namespace StrProc;

namespace {

// Pins the locale so grouping marks are the same on every machine.
class StrProcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(saved_); }

  private:
    QLocale saved_;
};

struct SizeCase {
    double bytes;
    qint16 decimals;
    const char* sizeText;   // SizeText
    const char* sizeTextGb; // SizeTextGb
};

TEST_F(StrProcTest, SizeTexts) {
    const SizeCase cases[] = {
        {0, 2, "0 bytes", "0 bytes"},
        {-1, 2, "", "-1 bytes"},
        {-5000, 2, "", "-5000 bytes"},
        {1, 2, "1 bytes", "1 bytes"},
        {512, 0, "512 bytes", "512 bytes"},
        {1023, 2, "1023 bytes", "1023 bytes"},
        {1024, 2, "1.00 Kb", "1.00 Kb"},
        {1536, 1, "1.5 Kb", "1.5 Kb"},
        {3072, -1, "3 Kb", "3 Kb"},
        {1048575, 2, "1,024.00 Kb", "1,024.00 Kb"},
        {1048576, 1, "1.0 Mb", "1.0 Mb"},
        {5.5 * 1048576, 2, "5.50 Mb", "5.50 Mb"},
        {1073741824.0, 2, "1,024.00 Mb", "1.00 Gb"},
        {5497558138880.0, 0, "5,242,880 Mb", "5,120 Gb"},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(SizeText(c.bytes, c.decimals), QString::fromUtf8(c.sizeText))
            << c.bytes << " " << c.decimals;
        EXPECT_EQ(SizeTextGb(c.bytes, c.decimals), QString::fromUtf8(c.sizeTextGb))
            << c.bytes << " " << c.decimals;
    }
}

TEST_F(StrProcTest, SizeTextGroupsByTheUsersLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(SizeText(1073741824.0, 2), QStringLiteral("1.024,00 Mb"));
    EXPECT_EQ(NumberWords(1234), QStringLiteral("1.234"));
}

TEST_F(StrProcTest, NumberWords) {
    const std::pair<qint32, const char*> cases[] = {
        {0, "No"},           {1, "One"},     {13, "Thirteen"}, {19, "Nineteen"},       {20, "Twenty"},
        {21, "Twenty one"},  {30, "Thirty"}, {40, "Forty"},    {47, "Forty seven"},    {90, "Ninety"},
        {99, "Ninety nine"}, {100, "100"},   {1234, "1,234"},  {1234567, "1,234,567"}, {-3, "-3"},
    };
    for (const auto& [n, words] : cases)
        EXPECT_EQ(NumberWords(n), QString::fromUtf8(words)) << n;
}

TEST_F(StrProcTest, ShortenWithEllipsis) {
    const QString path50 = QStringLiteral("C:\\Users\\ann\\Documents\\Projects\\2024\\report-v2.doc");
    ASSERT_EQ(path50.size(), 50);
    struct Case {
        QString text;
        int max;
        QString expected;
        bool shortened;
    };
    const QString dots = QStringLiteral("...");
    const Case cases[] = {
        {path50, 9, path50, false},  // below 10 never shortens
        {path50, 50, path50, false}, // exactly the maximum
        {path50, 20, path50.left(3) + dots + path50.right(14), true},
        {path50, 10, path50.left(3) + dots + path50.right(4), true},
        {QString(), 10, QString(), false},
    };
    for (const Case& c : cases) {
        bool shortened = false;
        const QString got = ShortenWithEllipsis(c.text, c.max, shortened);
        EXPECT_EQ(got, c.expected) << c.max;
        EXPECT_EQ(shortened, c.shortened) << c.max;
        if (shortened) {
            EXPECT_EQ(got.size(), c.max);
        }
    }
    // Characters, not UTF-16 units: an emoji is one character and is never
    // cut in half; a lone surrogate (an undecodable byte) stays as it was.
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600
    const QString lone(QChar(0xDC80));
    const QString name = face + QStringLiteral("ab") + face + QStringLiteral("cdefghij") + face + lone + face;
    bool cut = false;
    EXPECT_EQ(ShortenWithEllipsis(name, 15, cut), name); // 15 characters in 19 units
    EXPECT_FALSE(cut);
    EXPECT_EQ(ShortenWithEllipsis(name, 10, cut), face + QStringLiteral("ab...j") + face + lone + face);
    EXPECT_TRUE(cut);
    EXPECT_EQ(FromCharacters(Characters(name)), name);
    // The flag is only ever set, never cleared.
    bool flag = true;
    EXPECT_EQ(ShortenWithEllipsis(QStringLiteral("short"), 20, flag), QStringLiteral("short"));
    EXPECT_TRUE(flag);
}

TEST_F(StrProcTest, SeparateThousands) {
    struct Case {
        QString number, separator, expected;
    };
    const QString tooLong = QStringLiteral("12345678901234567890123"); // 23 characters
    const Case cases[] = {
        {QStringLiteral("1234567"), QStringLiteral(","), QStringLiteral("1,234,567")},
        {QStringLiteral("123"), QStringLiteral(","), QStringLiteral("123")},
        {QStringLiteral("1000"), QStringLiteral(","), QStringLiteral("1,000")},
        {QStringLiteral("-1234567"), QStringLiteral(","), QStringLiteral("-1,234,567")},
        {QStringLiteral("+1234"), QStringLiteral(","), QStringLiteral("+1,234")},
        {QStringLiteral("-999"), QStringLiteral(","), QStringLiteral("-999")},
        {QStringLiteral("1234567.8912"), QStringLiteral(","), QStringLiteral("1,234,567.8912")},
        {QStringLiteral("-12345.5"), QStringLiteral("."), QStringLiteral("-12.345.5")},
        {QStringLiteral(""), QStringLiteral(","), QStringLiteral("")},
        {QStringLiteral("1234"), QStringLiteral(""), QStringLiteral("1234")},    // no separator: unchanged
        {QStringLiteral("1234"), QStringLiteral(". "), QStringLiteral("1.234")}, // first character only
        {QStringLiteral("1234567"), QStringLiteral(" "), QStringLiteral("1 234 567")},
        {QStringLiteral("1234567"), QStringLiteral("\u00a0"), QStringLiteral("1\u00a0234\u00a0567")},
        {QStringLiteral("1234567"), QStringLiteral("\u202f"), QStringLiteral("1\u202f234\u202f567")},
        // 15 digits and 4 marks fill the 19 characters exactly.
        {QStringLiteral("123456789012345"), QStringLiteral(","), QStringLiteral("123,456,789,012,345")},
        // 16 digits would need 21: written without grouping.
        {QStringLiteral("1234567890123456"), QStringLiteral(","), QStringLiteral("1234567890123456")},
        {QStringLiteral("-123456789012345"), QStringLiteral(","), QStringLiteral("-123456789012345")},
        // Longer than the buffer: returned whole, never cut short.
        {tooLong, QStringLiteral(","), tooLong},
    };
    for (const Case& c : cases) {
        QString number = c.number;
        EXPECT_EQ(SeparateThousands(number, c.separator), c.expected) << number.toStdString();
        EXPECT_EQ(number, c.number);
    }
}

TEST(Tivrel, SeparateThousandsStaysInsideItsBuffer) {
    char buffer[32];
    std::fill(buffer, buffer + sizeof buffer, '#');
    EXPECT_EQ(separate_thousands("-1234567890123456789012345", ',', buffer), 19);
    EXPECT_EQ(buffer[19], '\0');
    EXPECT_EQ(std::string(buffer + 20, 12), std::string(12, '#'));
    EXPECT_EQ(separate_thousands(nullptr, ',', buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(StrProc, AccentTableBothWays) {
    const QString lower = QStringLiteral("šÿàáâãäåçèéêëìíîïðñòóôõöøùúûüý");
    const QString upper = QStringLiteral("ŠŸÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝ");
    ASSERT_EQ(lower.size(), 30);
    ASSERT_EQ(upper.size(), 30);
    for (qsizetype i = 0; i < 30; ++i) {
        EXPECT_EQ(UpperCaseAccented(lower.mid(i, 1)), upper.mid(i, 1)) << i;
        EXPECT_EQ(LowerCaseAccented(upper.mid(i, 1)), lower.mid(i, 1)) << i;
        // Already in the target case: unchanged.
        EXPECT_EQ(UpperCaseAccented(upper.mid(i, 1)), upper.mid(i, 1)) << i;
        EXPECT_EQ(LowerCaseAccented(lower.mid(i, 1)), lower.mid(i, 1)) << i;
    }
    EXPECT_EQ(UpperCaseAccented(QStringLiteral("Été, à Ÿvoire: ok")), QStringLiteral("ÉTÉ, À ŸVOIRE: OK"));
    EXPECT_EQ(LowerCaseAccented(QStringLiteral("ÉTÉ, À ŸVOIRE: OK")), QStringLiteral("été, à ÿvoire: ok"));
}

TEST(StrProc, CaseLeavesUndecodableBytesAlone) {
    // Two names that differ only in an undecodable byte must stay different.
    const QString a = QStringLiteral("Ab") + QChar(0xDC80) + QStringLiteral("É");
    const QString b = QStringLiteral("Ab") + QChar(0xDC81) + QStringLiteral("É");
    EXPECT_EQ(LowerCaseAccented(a), QStringLiteral("ab") + QChar(0xDC80) + QStringLiteral("é"));
    EXPECT_EQ(UpperCaseAccented(a), QStringLiteral("AB") + QChar(0xDC80) + QStringLiteral("É"));
    EXPECT_NE(LowerCaseAccented(a), LowerCaseAccented(b));
    const QString high = QString(QChar(0xD800)) + QStringLiteral("x");
    EXPECT_EQ(UpperCaseAccented(high), QString(QChar(0xD800)) + QStringLiteral("X"));
    // A real surrogate pair is still one character and keeps its case rule.
    EXPECT_EQ(LowerCaseAccented(QStringLiteral("\U00010400")), QStringLiteral("\U00010428"));
}

TEST(StrProc, BackslashHelpers) {
    const std::pair<const char*, const char*> add[] = {
        {"C:", "C:\\"}, {"C:\\", "C:\\"}, {"C:\\Temp\\\\\\", "C:\\Temp\\"}, {"", ""}, {"\\", "\\"}};
    for (const auto& [in, out] : add) {
        QString s = QString::fromUtf8(in);
        AddBackslash(s);
        EXPECT_EQ(s, QString::fromUtf8(out)) << in;
    }
    const std::pair<const char*, const char*> strip[] = {
        {"C:\\", "C:\\"}, {"C:\\Temp\\\\", "C:\\Temp"}, {"C:\\\\", "C:\\"}, {"C:\\a", "C:\\a"}, {"", ""}};
    for (const auto& [in, out] : strip) {
        QString s = QString::fromUtf8(in);
        StripTrailingBackslashes(s);
        EXPECT_EQ(s, QString::fromUtf8(out)) << in;
    }
    QString t = QStringLiteral("a, , , ");
    RemoveTrailing(t, QStringLiteral(", "));
    EXPECT_EQ(t, QStringLiteral("a"));
    RemoveTrailing(t, QString()); // an empty suffix must not loop
    EXPECT_EQ(t, QStringLiteral("a"));
}

TEST(StrProc, CountOccurrences) {
    EXPECT_EQ(CountOccurrences(QStringLiteral("no conjunction here"), QStringLiteral(" and"), false), 0);
    EXPECT_EQ(CountOccurrences(QStringLiteral("this and that and more"), QStringLiteral(" and"), true), 2);
    EXPECT_EQ(CountOccurrences(QStringLiteral("aaaa"), QStringLiteral("aa"), true), 2); // non-overlapping
    EXPECT_EQ(CountOccurrences(QStringLiteral("aaa"), QStringLiteral("aa"), true), 1);
    EXPECT_EQ(CountOccurrences(QStringLiteral("Été ÉTÉ été"), QStringLiteral("été"), true), 1);
    EXPECT_EQ(CountOccurrences(QStringLiteral("Été ÉTÉ été"), QStringLiteral("été"), false), 3);
    EXPECT_EQ(CountOccurrences(QString(), QStringLiteral("a"), false), 0);
    EXPECT_EQ(CountOccurrences(QStringLiteral("abc"), QString(), false), 0);
}

TEST(StrProc, SplitLines) {
    const QString text = QStringLiteral("a\r\n\r\n   \r\n b \r\nÉté\nX\r\n");
    QStringList lines{QStringLiteral("stale")};
    EXPECT_EQ(SplitLines(text, lines, kKeepCase, true), 3);
    EXPECT_EQ(lines, (QStringList{"a", "b", QStringLiteral("Été\nX")}));
    EXPECT_EQ(SplitLines(text, lines, kKeepCase, false), 3);
    EXPECT_EQ(lines, (QStringList{"a", " b ", QStringLiteral("Été\nX")}));
    EXPECT_EQ(SplitLines(text, lines, kUpperCase, true), 3);
    EXPECT_EQ(lines.at(2), QStringLiteral("ÉTÉ\nX"));
    EXPECT_EQ(SplitLines(text, lines, kLowerCase, true), 3);
    EXPECT_EQ(lines.at(2), QStringLiteral("été\nx"));
    EXPECT_EQ(SplitLines(QStringLiteral("\r\n  \r\n"), lines, kKeepCase, true), 0);
    EXPECT_TRUE(lines.isEmpty());
}

TEST(StrProc, FindCharFromSet) {
    const QString text = QStringLiteral("hello world");
    int index = -1;
    EXPECT_EQ(FindCharFromSet(text, 1, QStringLiteral("ow"), index), 5);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(FindCharFromSet(text, 6, QStringLiteral("ow"), index), 7);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(FindCharFromSet(text, -4, QStringLiteral("h"), index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(FindCharFromSet(text, 1, QStringLiteral("xyz"), index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(FindCharFromSet(text, 1, QString(), index), 0);
    EXPECT_EQ(FindCharFromSet(text, 12, QStringLiteral("d"), index), 0);
    EXPECT_EQ(FindCharFromSet(text, 11, QStringLiteral("d"), index), 11);

    EXPECT_EQ(FindCharNotInSet(QStringLiteral("   x"), 1, QStringLiteral(" ")), 4);
    EXPECT_EQ(FindCharNotInSet(QStringLiteral("   "), 1, QStringLiteral(" ")), 0);
    EXPECT_EQ(KeepChars(QStringLiteral("a1b2c3"), QStringLiteral("0123456789")), QStringLiteral("123"));
    QString pattern = QStringLiteral("*a?*b*");
    RemoveChars(pattern, QStringLiteral("*?"));
    EXPECT_EQ(pattern, QStringLiteral("ab"));
}

TEST(StrProc, JoinArrayAndOthers) {
    const QStringList items{"a", "b", "c"};
    EXPECT_EQ(JoinArray(items, QStringLiteral("\r\n"), true), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(JoinArray(items, QStringLiteral(", "), false), QStringLiteral("a, b, c, "));
    EXPECT_EQ(JoinArray(items, QStringLiteral(", "), true, 1, 1), QStringLiteral("b"));
    EXPECT_EQ(JoinArray(items, QStringLiteral(", "), true, 1, -1), QStringLiteral("b, c"));
    EXPECT_EQ(JoinArray(items, QStringLiteral(", "), true, 5, 9), QString());
    EXPECT_EQ(JoinArray(QStringList{}, QStringLiteral(", "), true), QString());

    EXPECT_EQ(SafeLeft(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(SafeLeft(QStringLiteral("abc"), 2), QStringLiteral("ab"));
    EXPECT_EQ(SafeLeft(QStringLiteral("abc"), 9), QStringLiteral("abc"));
    EXPECT_EQ(RepeatText(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(RepeatText(QStringLiteral("ab"), -1), QString());

    QString s = QStringLiteral("text \t\r\n");
    TrimTrailingControlChars(s);
    EXPECT_EQ(s, QStringLiteral("text "));
    TrimTrailingWhitespace(s);
    EXPECT_EQ(s, QStringLiteral("text"));

    EXPECT_EQ(NormalizePathCase(QStringLiteral("c:\\DOCS\\ÉTÉ.TXT")), QStringLiteral("C:\\docs\\été.txt"));
    EXPECT_EQ(NormalizePathCase(QStringLiteral("\\\\Server\\ÀB")), QStringLiteral("\\\\server\\àb"));
}

} // namespace
