#pragma once
// Parts of the Access-dialect translator (platform/accesssql.h) about function names: which
// functions a typed statement may call, and which of their arguments Access reads as text
// (where a date becomes "31.12.2011").
#include "platform/accesssql.h"

#include <QSet>
#include <QString>

namespace accesssql::detail {

// Access's functions in upper case (registered in platform/accessfuncs*, the aggregates, and
// SQLite's built-ins that Access has under the same name and meaning). Any other name, SQLite's
// own included (printf, randomblob …), is refused as Access refuses an unknown function.
const QSet<QString> &accessFunctions();

// False where SQLite's function of the same name would take arguments that Access's does not
// (Max(a, b), LTrim(x, y) …): Access has one argument there. Other counts the registered
// functions check themselves.
bool argumentCountFits(const QString &fn, int count);

// Whether argument i (of count) of the function fn is read as text, where a date becomes
// "31.12.2011"; the values of Nz, IIf, Choose and Switch too when their result is no date.
bool textArgument(const QString &fn, int i, int count, bool dateResult);

} // namespace accesssql::detail
