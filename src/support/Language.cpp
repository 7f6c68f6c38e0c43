#include "support/Language.h"

#include "platform/Platform.h"
#include "support/Seams.h"

#include <morvik.h>

namespace Language {

namespace {
constexpr int kDefaultTextSet = 0;
constexpr int kBufferSize = 1024;
int textSet = kDefaultTextSet;
} // namespace

QString LoadFailureMessage(int r, const QString& fullPath) {
    switch (r) {
    case 0:
        return QStringLiteral("No program text was read.");
    case -1:
        return QStringLiteral("Cannot open file containing program text.") + QStringLiteral("\r\n") + fullPath;
    case -2:
        return QStringLiteral("Particular memory allocation error.");
    case -3:
        return QStringLiteral("Too much program text.");
    case -4:
        return QStringLiteral("Text not recovered.");
    case -6:
        return QStringLiteral("File is empty.");
    case -7:
        return QStringLiteral("Error reading file.");
    case -8:
        return QStringLiteral("General memory allocation error.");
    default:
        break;
    }
    if (r < -1500) return QStringLiteral("Duplicate in program text at line ") + QString::number(-r - 1500) + '.';
    if (r <= -1001) return QStringLiteral("String too long at line ") + QString::number(-r - 1000) + '.';
    if (r <= -501) return QStringLiteral("Missing string at line ") + QString::number(-r - 500) + '.';
    return QStringLiteral("Error ") + QString::number(r);
}

bool LoadProgramTexts(const QString& fileName) {
    platform::Platform& p = platform::current();
    QString folder = p.programFolder();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    const QString nativePath = folder + fileName;
    const int r = lt(platform::Platform::encodeName(nativePath).constData(), textSet);
    if (r > 0) return true;
    // Name the file as the rest of the program names files, when it can.
    QString shown = p.toDrivePath(nativePath);
    if (shown.isEmpty()) shown = nativePath;
    MsgBox(LoadFailureMessage(r, shown), vbCritical | vbOKOnly);
    return false;
}

QString ProgramText(int n) {
    char buffer[kBufferSize];
    const int k = gt(n, textSet, buffer, kBufferSize, 1);
    if (k <= 0) return {};
    const QString text = QString::fromUtf8(buffer, k);
    return text == QStringLiteral("~") ? QString() : text;
}

void ResetTextSet() { textSet = kDefaultTextSet; }
int TextSet() { return textSet; }

} // namespace Language
