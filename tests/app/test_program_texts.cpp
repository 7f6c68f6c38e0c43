// Program texts: the library's reading of the text file and the loader's
// messages.
#include "TestSupport.h"

#include "platform/PosixPlatform.h"
#include "support/Language.h"

#include <QFile>
#include <morvik.h>

namespace {

// Writes a text file and loads it into a spare text set.
int Load(const QTemporaryDir& dir, const QByteArray& content, int slot = 7) {
    const QString path = dir.path() + QStringLiteral("/texts.dat");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    return lt(QFile::encodeName(path).constData(), slot);
}

QString Get(int number, int slot = 7) {
    char buffer[1024];
    const int k = gt(number, slot, buffer, 1024, 1);
    return k > 0 ? QString::fromUtf8(buffer, k) : QString();
}

class ProgramFolderPlatform : public platform::PosixPlatform {
  public:
    QString folder;
    QString programFolder() const override { return folder; }
};

} // namespace

TEST(ProgramTexts, LibraryReportsEachFaultWithItsLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray longText(1025, 'x');
    const auto notes = [](int lines) {
        QByteArray out;
        for (int i = 0; i < lines; ++i) out += "; note\n";
        return out;
    };
    struct Case {
        const char* what;
        QByteArray content;
        int expected;
    } cases[] = {
        {"two texts", "; note\n1 One\n\n2\tTwo words\n", 2},
        {"duplicate at line 3", "1 a\n2 b\n1 c\n", -1503},
        {"too long at line 2", "1 a\n2 " + longText + "\n", -1002},
        {"1024 bytes is still fine", "1 " + QByteArray(1024, 'y') + "\n", 1},
        {"number without text at line 2", "1 a\n7\n", -502},
        {"no number at line 1", "hello\n", -501},
        {"empty file", "", -6},
        {"only notes", "; nothing here\n# nor here\n", 0},
        {"lines ending in CR LF", "1 One\r\n2 Two\r\n", 2},
        {"the largest number", "32767 last\n", 1},
        {"a number above 32767", "32768 x\n", -501},
        {"a number of six digits", "100000 x\n", -501},
        // Line numbers above 500 cannot be told in the result.
        {"number without text at line 500", notes(499) + "7\n", -1000},
        {"number without text at line 501", notes(500) + "7\n", -4},
        {"too long at line 500", notes(499) + "2 " + longText + "\n", -1500},
        {"too long at line 501", notes(500) + "2 " + longText + "\n", -4},
        {"duplicate at line 501", "1 a\n" + notes(499) + "1 b\n", -2001},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(dir, c.content), c.expected) << c.what;
    ASSERT_EQ(Load(dir, "1 One\r\n2 Two\r\n"), 2);
    EXPECT_EQ(Get(1), QStringLiteral("One")) << "no carriage return left in the text";
    EXPECT_EQ(Get(2), QStringLiteral("Two"));
    EXPECT_EQ(lt("/nonexistent/veldrane/texts.dat", 7), -1);
}

TEST(ProgramTexts, TildeIsEmptyButTwoTildesStay) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(Load(dir, "1 ~\n2 ~~\n3 First\\nSecond \\\\ end\n4 \xC3\xA9t\xC3\xA9\n", 0), 4);
    EXPECT_EQ(Language::ProgramText(1), QString());
    EXPECT_EQ(Language::ProgramText(2), QStringLiteral("~~"));
    EXPECT_EQ(Language::ProgramText(3), QStringLiteral("First\r\nSecond \\ end"));
    EXPECT_EQ(Language::ProgramText(4), QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(Language::ProgramText(5), QString()); // no such text: empty, no message
    EXPECT_EQ(Get(2, 0), QStringLiteral("~~"));
    // Put the program's own texts back for the other tests.
    ASSERT_TRUE(Language::LoadProgramTexts(QStringLiteral("vq.dat")));
}

TEST(ProgramTexts, EveryLoaderMessage) {
    const QString path = QStringLiteral("C:\\prog\\vq.dat");
    struct Case {
        int r;
        const char* message;
    } cases[] = {
        {0, "No program text was read."},
        {-1, "Cannot open file containing program text.\r\nC:\\prog\\vq.dat"},
        {-2, "Particular memory allocation error."},
        {-3, "Too much program text."},
        {-4, "Text not recovered."},
        {-6, "File is empty."},
        {-7, "Error reading file."},
        {-8, "General memory allocation error."},
        {-1512, "Duplicate in program text at line 12."},
        {-1501, "Duplicate in program text at line 1."},
        {-1500, "String too long at line 500."},
        {-1012, "String too long at line 12."},
        {-1001, "String too long at line 1."},
        {-1000, "Missing string at line 500."},
        {-512, "Missing string at line 12."},
        {-501, "Missing string at line 1."},
        {-5, "Error -5"},
        {-9, "Error -9"},
        {-500, "Error -500"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Language::LoadFailureMessage(c.r, path).toStdString(), c.message) << c.r;
}

TEST(ProgramTexts, MissingFileIsReportedWithItsPath) {
    ASSERT_TRUE(Language::LoadProgramTexts(QStringLiteral("vq.dat")));
    TempDrive drive(QLatin1Char('Q'));
    ASSERT_TRUE(drive.ok());
    ProgramFolderPlatform p;
    p.mapDrive(QLatin1Char('Q'), drive.native());
    p.folder = drive.native();
    platform::install(&p);
    {
        ScriptedMsgBox boxes;
        boxes.expect(ApplicationTitle(), QStringLiteral("Cannot open file containing program text.\r\nQ:\\vq.dat"),
                     vbOK, vbCritical | vbOKOnly);
        EXPECT_FALSE(Language::LoadProgramTexts(QStringLiteral("vq.dat")));
        // A faulty file names the line.
        drive.makeFile(QStringLiteral("vq.dat"), QByteArray("1 a\n\n1 b\n"));
        boxes.expect(ApplicationTitle(), QStringLiteral("Duplicate in program text at line 3."), vbOK);
        EXPECT_FALSE(Language::LoadProgramTexts(QStringLiteral("vq.dat")));
    }
    platform::install(nullptr);
    // The failed loads left the loaded texts alone.
    EXPECT_EQ(Language::ProgramText(310), QStringLiteral("Quorlane Works"));
}
