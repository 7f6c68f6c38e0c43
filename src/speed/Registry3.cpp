#include "speed/Registry3.h"

#include "platform/Platform.h"

namespace Registry3 {

namespace {

// "Software\Maker\Product\C" becomes the settings group "Software/Maker/Product/C".
QString SettingsKey(const QString& keyPath, const QString& valueName) {
    QString key = keyPath;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (key.endsWith(QLatin1Char('/'))) key.chop(1);
    return key + QLatin1Char('/') + valueName;
}

} // namespace

QString RegGetStringValue(int, const QString& strKeyPath, const QString& strValueName, QString& strValue) {
    strValue.clear();
    if (strKeyPath.isEmpty()) return QStringLiteral("1 Key not found or is empty.");
    if (strValueName.isEmpty()) return QStringLiteral("2 Name not specified.");
    const QVariant v = platform::current().userValue(SettingsKey(strKeyPath, strValueName));
    if (!v.isValid()) return QStringLiteral("3 Name not found.");
    QString text = v.toString();
    while (!text.isEmpty() && text.back().unicode() < 32) text.chop(1);
    if (text.isEmpty()) return QStringLiteral("3 Name not found.");
    strValue = text;
    return QStringLiteral("0 OK");
}

QString RegSetStringValue(int, const QString& strKeyPath, const QString& strValueName, const QString& strValue) {
    if (strKeyPath.isEmpty() || strValueName.isEmpty())
        return QStringLiteral("87 Unable to create (or find) key.  The parameter is incorrect.");
    platform::Platform& os = platform::current();
    const QString key = SettingsKey(strKeyPath, strValueName);
    const bool existed = os.userValue(key).isValid();
    os.setUserValue(key, strValue);
    if (os.userValue(key).toString() != strValue)
        return QStringLiteral("5 Unable to create (or find) key.  The settings file cannot be written.");
    return (existed ? QStringLiteral("0 Key already exists.") : QStringLiteral("0 New key created.")) +
           QStringLiteral("  The operation completed successfully.");
}

} // namespace Registry3
