#include "platform/PosixCommon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QTime>

#include <cstring>
#include <unistd.h>

namespace platform {

PosixPlatform::PosixPlatform() = default;

PosixPlatform::~PosixPlatform() {
    if (mountInfoFd_ >= 0) ::close(mountInfoFd_);
}

// ---- Per-user values, folders, clock -------------------------------------------------

QVariant PosixPlatform::userValue(const QString& key, const QVariant& fallback) const {
    QSettings s(QStringLiteral("Quorlane Works"), QStringLiteral("Veldrane"));
    return s.value(key, fallback);
}

void PosixPlatform::setUserValue(const QString& key, const QVariant& value) {
    QSettings s(QStringLiteral("Quorlane Works"), QStringLiteral("Veldrane"));
    s.setValue(key, value);
}

QString PosixPlatform::appDataFolder() const {
    const QString loc = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (loc.isEmpty()) return {};
    QString out = toDrivePath(loc);
    if (out.isEmpty()) return {};
    if (!out.endsWith(QLatin1Char('\\'))) out += QLatin1Char('\\');
    return out;
}

QString PosixPlatform::programFolder() const {
    // applicationDirPath follows /proc/self/exe, so a start through a link
    // still finds the program's files.
    const QString dir = QCoreApplication::instance()
                            ? QCoreApplication::applicationDirPath()
                            : QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
    const QString file = QStringLiteral("vq.dat");
    if (QFileInfo::exists(dir + QLatin1Char('/') + file)) return dir;
    const QString shared = QDir::cleanPath(dir + QStringLiteral("/../share/veldrane"));
    if (QFileInfo::exists(shared + QLatin1Char('/') + file)) return shared;
    return dir;
}

QDateTime PosixPlatform::now() const { return QDateTime::currentDateTime(); }

double PosixPlatform::secondsSinceMidnight() const { return now().time().msecsSinceStartOfDay() / 1000.0; }

void PosixPlatform::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

QString PosixPlatform::errorText(int error) const {
    return QString::fromLocal8Bit(std::strerror(error < 0 ? -error : error));
}

} // namespace platform
