#pragma once
// Per-user string values, kept through QSettings where the program once kept
// them in the registry. Each call returns a status text whose first
// character is "0" on success.

#include <QString>

namespace Registry3 {

// The hive is kept for the callers' sake; every value is the user's own.
constexpr int HKEY_CURRENT_USER = 1;

QString RegGetStringValue(int hive, const QString& strKeyPath, const QString& strValueName, QString& strValue);
QString RegSetStringValue(int hive, const QString& strKeyPath, const QString& strValueName,
                          const QString& strValue);

} // namespace Registry3
