#pragma once
// The setup kept for the next run and the operation files: sixteen lines of
// text, one value a line, each ended by CR LF. This part knows the format
// only; the main window gathers and applies the values.

#include <QByteArray>
#include <QString>
#include <array>

namespace SetupFile {

// One setup, line by line. The eight options are check-box values (0 or 1)
// in the order of lines 8 to 15: slack only, do not delete purged files,
// read-only, system, sensitive, folder names only, delete empty folders,
// confirm files.
struct Setup {
    QString strVersion;
    int intSubdirectories = 0;
    int intDateRestriction = 0;
    QString strDirPath;
    QString strFilespec;
    int intPurgeType = 0;
    int intNumberOfPasses = 6;
    std::array<int, 8> intOptions{};
    qint32 lngOnlyBeforeThisJDN = 9000000;
};

constexpr int kLines = 16;
// A line longer than this is not a setup value.
constexpr int kMaxLine = 4096;

QByteArray FormatSetup(const Setup& setup);

// Reads the lines into setup in order and stops at the first line that is
// missing or not a value of its kind. Lines 8 to 16 change setup only when
// they were read; when the reading stops early, the values of lines 2, 4 to
// 7 get their fallbacks (no subfolders, no folder, no file specification,
// type 0 with 6 passes) and the date flag keeps what was read, else 0.
// True when all sixteen were read. The flags are not checked here.
bool ParseSetup(const QByteArray& content, Setup& setup);

// The fallback purge type and passes of a load that fails.
constexpr int kFallbackPurgeType = 0;
constexpr int kFallbackPasses = 6;

} // namespace SetupFile
