#include "speed/TimeEstimates.h"

#include "app/MainState.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace TimeEstimates {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// While " and" stands twice or more, the first becomes a comma.
QString CommaForFirstAnd(QString text, int from) {
    const QString a = QStringLiteral(" and");
    while (text.count(a) >= from) {
        const int at = int(text.indexOf(a));
        text = text.left(at) + QLatin1Char(',') + text.mid(at + a.size());
    }
    return text;
}

QString Count(qint64 n, const char* one, const char* many) {
    return QString::number(n) + QLatin1String(n == 1 ? one : many);
}

QString TwoDecimals(double v) { return QLocale().toString(v, 'f', 2); }

} // namespace

qint32 RoundSeconds(double seconds) {
    if (!std::isfinite(seconds)) return 0;
    const double r = std::nearbyint(seconds); // the default mode: halves to even
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    return qint32(r);
}

QString ShortMinutesText(qint32 lngMinutes) {
    qint32 mins = lngMinutes;
    QString text;
    if (mins >= 1440) {
        text = QString::number(mins / 1440) + QStringLiteral("d ");
        mins %= 1440;
    }
    return text + QString::number(mins / 60) + QStringLiteral("h ") + QString::number(mins % 60) + QLatin1Char('m');
}

QString MinutesText(qint32 lngMinutes, bool blnLong) {
    if (!blnLong) return ShortMinutesText(lngMinutes);
    qint32 mins = lngMinutes;
    qint32 days = 0, hours = 0;
    QString text;
    if (mins >= 1440) {
        days = mins / 1440;
        text = Count(days, " day", " days");
        mins %= 1440;
    }
    if (mins >= 60) {
        if (days > 0) text += QStringLiteral(" and ");
        hours = mins / 60;
        mins %= 60;
        text += Count(hours, " hour", " hours");
    }
    if (mins > 0) {
        if (hours > 0 || days >= 1) text += QStringLiteral(" and ");
        text += Count(mins, " minute", " minutes");
    }
    if (text.isEmpty()) text = QStringLiteral("0 minutes");
    if (text.count(QStringLiteral(" and")) > 1) {
        const int at = int(text.indexOf(QStringLiteral(" and")));
        text = text.left(at).trimmed() + QLatin1Char(',') + text.mid(at + 4);
    }
    return text;
}

QString DurationText(qint32 lngSeconds, bool blnLong, bool blnRound) {
    qint32 s = lngSeconds % 60;
    qint32 mins = lngSeconds / 60;
    if (blnRound && lngSeconds >= 30) {
        s = 0;
        if (mins < 59) ++mins;
    }
    const QString secondsPart =
        blnLong ? (s == 1 ? QStringLiteral("1 second") : QString::number(s) + QStringLiteral(" seconds"))
                : QString::number(s) + QLatin1Char('s');
    QString text;
    if (mins == 0) {
        text = secondsPart;
    } else {
        text = MinutesText(mins, blnLong);
        if (s > 0) text += (blnLong ? QStringLiteral(" and ") : QStringLiteral(" ")) + secondsPart;
    }
    text = CommaForFirstAnd(text, 2);
    if (text.startsWith(QStringLiteral("0h "))) text = text.mid(3);
    return text;
}

QString DurationText2(qint32 lngSeconds, bool blnLong, bool blnRound) {
    return DurationText(lngSeconds, blnLong, blnRound);
}

QString EstimatedTimes(float sngPurgeSpeed, double dblTotalBytes2, double dblAdjustmentFactor,
                       const QString& strDrive) {
    const QChar letter = strDrive.isEmpty() ? QLatin1Char('C') : strDrive.at(0).toUpper();
    const int index = letter.unicode() - u'A';
    const double measured = index >= 0 && index < 26 ? double(Main().sngDrivePurgeSpeed[size_t(index)])
                                                     : double(sngPurgeSpeed);
    QString text = QStringLiteral("Estimated purge times ") + QStringLiteral("for various numbers of overwrites") +
                   kCrLf + QStringLiteral("using a purge speed (as measured) of ") + TwoDecimals(measured) +
                   QStringLiteral(" MB/sec.") + kCrLf + QStringLiteral("and an adjustment factor of ") +
                   TwoDecimals(dblAdjustmentFactor) + QLatin1Char(':') + kCrLf;
    if (sngPurgeSpeed <= 0) return text + QStringLiteral("All less than") + QStringLiteral(" 20") +
                                   QStringLiteral(" seconds") + kCrLf;
    const double mb = dblTotalBytes2 / 1024 / 1024;
    bool any = false;
    for (int k = 2; k <= 24; k += 2) {
        const qint32 t = RoundSeconds(mb / double(sngPurgeSpeed) * k);
        const qint32 t2 = RoundSeconds(double(t) * dblAdjustmentFactor);
        if (t2 < 20) continue;
        QString duration;
        if (t2 < 300) duration = DurationText(t2, true, false);
        else if (t2 >= 86400) duration = DurationText2(RoundSeconds(t2 / 3600.0) * 3600, true, false);
        else duration = DurationText2(t2, true, true);
        text += QString::number(k) + QStringLiteral(" overwrites: ") + duration + kCrLf;
        any = true;
    }
    if (!any) text += QStringLiteral("All less than") + QStringLiteral(" 20") + QStringLiteral(" seconds") + kCrLf;
    return text;
}

namespace {

double AdjustmentFactor(double totalBytes, qint64 files) {
    const double m = totalBytes / double(std::max<qint64>(files, 1)) / 1048576.0;
    return Main().dblAF_A / std::pow(m, Main().dblAF_B);
}

} // namespace

qint32 EstimatedSeconds(double dblTotalBytes, qint64 lngNumFiles, float sngSpeed, qint16 intNumOverwrites) {
    if (!(sngSpeed > 0)) return -1;
    const qint32 t = RoundSeconds(dblTotalBytes / 1024 / 1024 / double(sngSpeed) * intNumOverwrites);
    if (t < 60) return t;
    return RoundSeconds(double(t) * AdjustmentFactor(dblTotalBytes, lngNumFiles));
}

Estimate EstimateBlock(QChar driveLetter, double dblTotalBytes, qint64 lngNumFiles, const QString& strPurgeType,
                       qint16 intNumOverwrites) {
    Estimate out;
    const QChar letter = driveLetter.toUpper();
    const int index = letter.unicode() - u'A';
    const float v = index >= 0 && index < 26 ? Main().sngDrivePurgeSpeed[size_t(index)] : 0.0f;
    if (!(v > 0)) {
        out.text = QStringLiteral("For an estimate of the purge time ") + QStringLiteral("test the purge speed for Drive ") +
                   QString(letter) + QStringLiteral(" then relist.");
        return out;
    }
    const qint16 n = intNumOverwrites;
    out.text = QStringLiteral("Purge type: ") + strPurgeType + kCrLf;
    const qint32 t = RoundSeconds(dblTotalBytes / 1024 / 1024 / double(v) * n);
    if (t < 60) {
        out.text += QStringLiteral("Estimated purge time: ") + QStringLiteral("less than a minute.") + kCrLf;
        out.label = QStringLiteral("Less than a minute.");
        return out;
    }
    const double f = AdjustmentFactor(dblTotalBytes, lngNumFiles);
    const qint32 t2 = EstimatedSeconds(dblTotalBytes, lngNumFiles, v, n);
    const QString d = DurationText(t2, true, false);
    out.text += QStringLiteral("Estimated purge time: ") + d + QLatin1Char('.') + kCrLf + kCrLf;
    out.label = d;
    if (letter >= QLatin1Char('C')) out.text += EstimatedTimes(v, dblTotalBytes, f, QString(letter));
    return out;
}

} // namespace TimeEstimates
