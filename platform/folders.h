#pragma once
#include <QString>

namespace folders {

// The program's folder: $ZANDREL_HOME when set, else the executable's folder.
QString programFolder();
// Qt's temporary folder (Windows' Temp); named even when it does not exist.
QString tempFolder();
// A "\name" (or "name") appended to a folder, joined with "/".
QString join(const QString &folder, const QString &name);
// The folder with exactly one trailing separator ("" stays "").
QString withSeparator(const QString &folder);

} // namespace folders
