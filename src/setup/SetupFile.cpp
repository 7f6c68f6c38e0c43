#include "setup/SetupFile.h"

#include "platform/Platform.h"

#include <QList>

namespace SetupFile {

namespace {

QByteArray Number(qint64 n) {
    // Numbers carry a leading blank when not negative and a trailing blank.
    return (n >= 0 ? QByteArray(" ") : QByteArray()) + QByteArray::number(n) + ' ';
}

// Control bytes (other than a tab) never belong in a setup value: the file
// is damaged or not a setup file at all.
bool IsText(const QByteArray& line) {
    if (line.size() > kMaxLine) return false;
    for (char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t') || b == 0x7F) return false;
    }
    return true;
}

bool ReadNumber(const QByteArray& line, qint64 low, qint64 high, qint64& out) {
    const QByteArray v = line.trimmed();
    if (v.isEmpty() || v.size() > 12) return false;
    for (qsizetype i = 0; i < v.size(); ++i) {
        const char c = v.at(i);
        if (!(c >= '0' && c <= '9') && !(i == 0 && (c == '-' || c == '+'))) return false;
    }
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok || n < low || n > high) return false;
    out = n;
    return true;
}

} // namespace

QByteArray FormatSetup(const Setup& s) {
    const auto text = [](const QString& t) { return platform::Platform::encodeText(t); };
    QByteArray out;
    const auto line = [&out](const QByteArray& v) { out += v + "\r\n"; };
    line(text(s.strVersion));
    line(Number(s.intSubdirectories));
    line(Number(s.intDateRestriction));
    line(text(s.strDirPath));
    line(text(s.strFilespec));
    line(Number(s.intPurgeType));
    line(Number(s.intNumberOfPasses));
    for (int v : s.intOptions) line(Number(v));
    line(Number(s.lngOnlyBeforeThisJDN));
    return out;
}

bool ParseSetup(const QByteArray& content, Setup& s) {
    // Only the first sixteen lines matter; whatever follows is not read.
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (lines.size() < kLines && start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0) end = content.size();
        QByteArray line = content.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        lines.append(line);
        start = end + 1;
    }

    int read = 0;
    Setup r = s;
    bool dateRead = false;
    const auto next = [&](QByteArray& line) {
        if (read >= lines.size() || !IsText(lines[read])) return false;
        line = lines[read++];
        return true;
    };
    const auto number = [&](qint64 low, qint64 high, qint64& out) {
        QByteArray line;
        if (!next(line)) return false;
        if (ReadNumber(line, low, high, out)) return true;
        --read;
        return false;
    };
    const bool ok = [&]() {
        QByteArray line;
        qint64 n = 0;
        if (!next(line)) return false;
        r.strVersion = platform::Platform::decodeText(line);
        // The flags take any whole number here; the caller refuses what is
        // neither 0 nor 1.
        if (!number(-32768, 32767, n)) return false;
        r.intSubdirectories = int(n);
        if (!number(-32768, 32767, n)) return false;
        r.intDateRestriction = int(n);
        dateRead = true;
        if (!next(line)) return false;
        r.strDirPath = platform::Platform::decodeText(line);
        if (!next(line)) return false;
        r.strFilespec = platform::Platform::decodeText(line);
        if (!number(-32768, 32767, n)) return false;
        r.intPurgeType = int(n);
        if (!number(-32768, 32767, n)) return false;
        r.intNumberOfPasses = int(n);
        // Each option counts as soon as it is read, as a check box takes it.
        for (int i = 0; i < 8; ++i) {
            if (!number(0, 1, n)) return false;
            s.intOptions[size_t(i)] = int(n);
        }
        if (!number(0, 9000000, n)) return false;
        r.lngOnlyBeforeThisJDN = qint32(n);
        return true;
    }();

    if (ok) {
        r.intOptions = s.intOptions;
        s = r;
        return true;
    }
    s.intSubdirectories = 0;
    s.intDateRestriction = dateRead ? r.intDateRestriction : 0;
    s.strDirPath.clear();
    s.strFilespec.clear();
    s.intPurgeType = kFallbackPurgeType;
    s.intNumberOfPasses = kFallbackPasses;
    return false;
}

} // namespace SetupFile
