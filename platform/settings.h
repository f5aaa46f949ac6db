#pragma once
// Per-user settings store (application "Zandrel": section = group, key = key, text values)
// and the INI stand-in for the grade manager's registry values.
#include <QString>
#include <QStringList>

namespace settings {

QString getSetting(const QString &section, const QString &key, const QString &defaultValue = QString());
void saveSetting(const QString &section, const QString &key, const QString &value);

} // namespace settings

namespace registry {

// The grade manager's values (dbFileName, dbFilePath, WinSDDB): the machine-wide file
// ($XDG_CONFIG_DIRS/Zandrel/nmSV.ini) first, the user's ($XDG_CONFIG_HOME/Zandrel/nmSV.ini) as fallback.
// Empty when neither holds the key.
QString nmValue(const QString &name);
// The files nmValue reads, in the order it reads them.
QStringList nmFiles();
// Installation values of the program's own, in the group [Zandrel] of the same files
// (e.g. "WunschzettelSchulnummer").
QString installationValue(const QString &name);

} // namespace registry
