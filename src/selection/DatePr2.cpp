#include "selection/DatePr2.h"

#include "app/MainState.h"
#include "platform/Platform.h"
#include "support/Seams.h"
#include "support/StrProc.h"

#include <QLocale>
#include <cerrno>

#include "tivrel.h"

namespace DatePr2 {

namespace {

struct Tables {
    QStringList full;
    QStringList shortNames;
};

Tables& tables() {
    static Tables t;
    return t;
}

} // namespace

void BuildDateTables() {
    Tables& t = tables();
    if (!t.full.isEmpty()) return;
    t.full = QStringList{QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
                         QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
                         QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
                         QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    for (const QString& name : t.full) t.shortNames.append(name.left(3));
}

const QStringList& MonthNames(bool shortNames) {
    BuildDateTables();
    return shortNames ? tables().shortNames : tables().full;
}

QString MonthName(int month, bool shortName) {
    if (month < 1 || month > 12) return {};
    return MonthNames(shortName).at(month - 1);
}

// QDate has no year 0 (1 BC is -1); tivrel counts years as astronomers do.
qint32 DateToJDN(const QDate& date) {
    if (!date.isValid()) return -1;
    tivrel_date record{date.year() < 0 ? date.year() + 1 : date.year(), date.month(), date.day(), 0, 0, 0};
    return euro_date_to_jdn(&record);
}

QDate JDNToDate(qint32 jdn) {
    tivrel_date record{0, 0, 0, 0, jdn, 0};
    jdn_to_euro_date(&record);
    return QDate(record.year <= 0 ? record.year - 1 : record.year, record.month, record.day);
}

qint32 GetFileJDN(const QString& path, int& errorNumber) {
    errorNumber = 0;
    const platform::Platform& p = platform::current();
    const QDateTime written = p.lastWriteTime(path);
    if (!written.isValid()) {
        errorNumber = p.kind(path) == platform::Kind::Missing ? ENOENT : EIO;
        return -1;
    }
    // Only the local calendar day counts; the time of day plays no part.
    const qint32 jdn = DateToJDN(written.toLocalTime().date());
    if (jdn < 0) errorNumber = EINVAL;
    return jdn < 0 ? -1 : jdn;
}

QString FormatJDN(qint32 jdn, bool shortNames, int style) {
    Q_UNUSED(style); // style 0 is the only one in use
    tivrel_date record{0, 0, 0, 'G', jdn, 0};
    jdn_to_euro_date(&record);
    QString year = QString::number(record.year);
    if (record.year > 9999 || record.year < -9999) year = StrProc::SeparateThousands(year, QStringLiteral(","));
    return MonthName(record.month, shortNames) + QLatin1Char(' ') + QString::number(record.day) +
           QStringLiteral(", ") + year;
}

QString ShortDateText(qint32 jdn) {
    return QLocale::system().toString(JDNToDate(jdn), QLocale::ShortFormat);
}

void CheckFileDate(const QString& path, const QString& title, bool& excluded) {
    excluded = false;
    const MainState& m = Main();
    if (!m.blnDateRestriction) return;
    int error = 0;
    const qint32 n = GetFileJDN(path, error);
    if (n == -1) {
        MsgBox(path + QStringLiteral("\r\nError, perhaps invalid file name."), vbExclamation, title);
        excluded = true;
        return;
    }
    if (n >= m.lngOnlyBeforeThisJDN) {
        MsgBox(QStringLiteral("The file ") + path + QStringLiteral("\r\n") + QStringLiteral("has a date of ") +
                   ShortDateText(n) + QStringLiteral(" (") + FormatJDN(n, false, 0) + QStringLiteral(")") +
                   QStringLiteral("\r\n") + QStringLiteral("and so is excluded by the current date restriction."),
               vbInformation, title);
        excluded = true;
    }
}

} // namespace DatePr2
