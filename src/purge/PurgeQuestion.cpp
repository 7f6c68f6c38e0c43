#include "purge/PurgeQuestion.h"

#include "app/MainState.h"
#include "platform/Platform.h"
#include "selection/DatePr2.h"
#include "support/StrProc.h"

namespace PurgeQuestion {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The classic conversion of a number: one leading blank when not negative.
QString Str(qint32 n) { return n >= 0 ? QLatin1Char(' ') + QString::number(n) : QString::number(n); }

QString Shortened(const QString& path) {
    bool shortened = false;
    return StrProc::ShortenWithEllipsis(platform::Platform::shownName(path), 100, shortened);
}

} // namespace

bool BuildPurgeQuestion(MainState& m, qint32 lngCount, const QString& strTitle) {
    const QString& dir = m.strDirPath;
    const QString& spec = m.strFilespec;
    const QString full = dir + (dir.endsWith(QLatin1Char('\\')) ? QString() : QStringLiteral("\\")) + spec;
    m.intNumFiles = qint16(qBound<qint32>(-1, lngCount, 32767));

    if (!m.blnMultipleFiles && lngCount == 1 && m.blnDateRestriction) {
        bool excluded = false;
        DatePr2::CheckFileDate(full, strTitle, excluded);
        if (excluded) return false;
    }

    QString q = QStringLiteral("Are you sure that you want to purge ");
    if (spec != QLatin1String("*.*")) {
        if (m.blnMultipleFiles)
            q += lngCount > 1 ? QStringLiteral("the") + Str(lngCount) + QStringLiteral(" files")
                              : QStringLiteral("the files");
        else
            q += QStringLiteral("the file");
        q += kCrLf + Shortened(full);
    } else {
        if (lngCount == 1)
            q += QStringLiteral("the single file in ");
        else if (lngCount == 2)
            q += QStringLiteral("both files in ");
        else if (lngCount == kMoreThanLimit)
            q += QStringLiteral("all (more than 1000) files in ");
        else
            q += QStringLiteral("all") + Str(lngCount) + QStringLiteral(" files in ");
        q += kCrLf + Shortened(dir);
    }
    if (m.blnSubdirectories) {
        q += kCrLf + QStringLiteral("and all files ");
        if (spec != QLatin1String("*.*"))
            q += QStringLiteral("of the form ") + QLatin1Char('"') + platform::Platform::shownName(spec) +
                 QLatin1Char('"') + QLatin1Char(' ');
        q += QStringLiteral("in all subfolders?");
    } else {
        q += QStringLiteral(" ?");
    }
    m.strMsg[0] = q;
    if ((lngCount >= 2 || lngCount == kMoreThanLimit) && m.blnDateRestriction)
        q += kCrLf + QStringLiteral("which satisfy the date restriction.");
    q += kCrLf + QStringLiteral("This will permanently destroy all data in ");
    if (!m.blnMultipleFiles && !m.blnSubdirectories)
        q += QStringLiteral("this file.");
    else if (lngCount == 1)
        q += QStringLiteral("this file.)");
    else if (lngCount == kMoreThanLimit)
        q += QStringLiteral("these (more than 1000) files.");
    else
        q += QStringLiteral("these ") + StrProc::NumberWords(lngCount).toLower() + QStringLiteral(" files.");
    m.strMsg[1] = q;
    return true;
}

} // namespace PurgeQuestion
