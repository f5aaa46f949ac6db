#pragma once
// The tables of the catalogue, each beside its functions' implementations.
#include "platform/accessfunctions/function.h"

#include <QDate>
#include <QString>
#include <span>

namespace accessfn {

std::span<const Function> conversionFunctions(); // conversions.cpp: IIf, Nz, Val, CStr, CInt …
std::span<const Function> textFunctions();       // text.cpp: Len, Left, Mid, Replace …
std::span<const Function> numberFunctions();     // numbers.cpp: Int, Round, Sqr, Rnd, Partition, aggregates
std::span<const Function> financeFunctions();    // finance.cpp: Pmt, FV, Rate, DDB …
std::span<const Function> dateFunctions();       // dates.cpp: Date, DateAdd, Year …
std::span<const Function> formatFunctions();     // format.cpp: Format, FormatNumber …
// The translator's own helpers (operators.cpp): registered, never called by a typed name.
std::span<const Function> helperFunctions();

// The date mask with its "w" and "ww" written out for d, counted from the first day of the week
// and the first week of the year in argv[at] and argv[at + 1] (as DatePart reads them). dates.cpp
QString withWeeks(const QString &mask, const QDate &d, int argc, sqlite3_value **argv, int at);

// Shorter names for the tables.
constexpr Arg A = Arg::Any, T = Arg::Text, N = Arg::Number, D = Arg::Date, B = Arg::Branch;

} // namespace accessfn
