#include "platform/accesssql_functions.h"

#include <QHash>
#include <QPair>

namespace accesssql::detail {

const QSet<QString> &accessFunctions()
{
    static const QSet<QString> f{
        "AVG", "COUNT", "SUM", "MIN", "MAX", "FIRST", "LAST", "STDEV", "STDEVP", "VAR", "VARP",
        "IIF", "NZ", "VAL", "ISNULL", "LEN", "LEFT", "RIGHT", "MID", "INSTR", "INSTRREV", "UCASE", "LCASE",
        "TRIM", "LTRIM", "RTRIM", "REPLACE", "FORMAT", "FORMATNUMBER", "FORMATPERCENT", "FORMATCURRENCY",
        "FORMATDATETIME", "CSTR", "CINT", "CLNG", "CDBL", "CBOOL", "CCUR", "CSNG", "CVAR", "CDATE", "CVDATE",
        "DATE", "NOW", "TIME", "YEAR", "MONTH", "DAY", "HOUR", "MINUTE", "SECOND", "DATESERIAL", "DATEADD",
        "DATEDIFF", "DATEPART", "DATEVALUE", "TIMESERIAL", "TIMEVALUE", "WEEKDAY", "WEEKDAYNAME", "MONTHNAME",
        "ISDATE", "ISNUMERIC", "INT", "FIX", "SGN", "ABS", "ROUND", "SQR", "EXP", "LOG", "ATN", "SIN", "COS",
        "TAN", "HEX", "OCT", "STR", "SPACE", "STRING", "STRCONV", "STRREVERSE", "STRCOMP", "ASC", "ASCW",
        "CHR", "CHRW", "SWITCH", "CHOOSE"};
    return f;
}

bool argumentCountFits(const QString &fn, int count)
{
    // The counts Access takes; a call beyond them would reach SQLite's function of that name
    // (format, iif, date, trim …), which Access does not know.
    static const QHash<QString, QPair<int, int>> counts{
        {"AVG", {1, 1}},        {"COUNT", {1, 1}},      {"SUM", {1, 1}},        {"MIN", {1, 1}},
        {"MAX", {1, 1}},        {"ABS", {1, 1}},        {"LTRIM", {1, 1}},      {"RTRIM", {1, 1}},
        {"TRIM", {1, 1}},       {"FORMAT", {1, 4}},     {"IIF", {3, 3}},        {"DATE", {0, 0}},
        {"TIME", {0, 0}},       {"NOW", {0, 0}},        {"REPLACE", {3, 6}},    {"LOG", {1, 1}},
        {"EXP", {1, 1}},        {"SIN", {1, 1}},        {"COS", {1, 1}},        {"TAN", {1, 1}},
        {"ATN", {1, 1}},        {"SQR", {1, 1}},        {"HEX", {1, 1}},        {"OCT", {1, 1}},
        {"LEN", {1, 1}},        {"UCASE", {1, 1}},      {"LCASE", {1, 1}},      {"INSTR", {2, 4}},
        {"MID", {2, 3}},        {"LEFT", {2, 2}},       {"RIGHT", {2, 2}},      {"ROUND", {1, 2}},
        {"NZ", {1, 2}},         {"VAL", {1, 1}},        {"ISNULL", {1, 1}},     {"YEAR", {1, 1}},
        {"MONTH", {1, 1}},      {"DAY", {1, 1}},        {"HOUR", {1, 1}},       {"MINUTE", {1, 1}},
        {"SECOND", {1, 1}},     {"CSTR", {1, 1}},       {"CINT", {1, 1}},       {"CLNG", {1, 1}},
        {"CDBL", {1, 1}},       {"CDATE", {1, 1}},      {"INT", {1, 1}},        {"FIX", {1, 1}},
        {"SGN", {1, 1}},        {"STR", {1, 1}},        {"CHR", {1, 1}},        {"ASC", {1, 1}},
        {"DATESERIAL", {3, 3}}, {"DATEADD", {3, 3}},    {"DATEDIFF", {3, 5}},   {"DATEPART", {2, 4}},
        {"DATEVALUE", {1, 1}},  {"TIMESERIAL", {3, 3}}, {"TIMEVALUE", {1, 1}},  {"WEEKDAY", {1, 2}},
        {"STRING", {2, 2}},     {"SPACE", {1, 1}},      {"ISDATE", {1, 1}},     {"ISNUMERIC", {1, 1}},
    };
    const auto it = counts.constFind(fn);
    return it == counts.constEnd() || (count >= it->first && count <= it->second);
}

bool textArgument(const QString &fn, int i, int count, bool dateResult)
{
    static const QSet<QString> firstText{"CSTR", "STR", "LEFT", "RIGHT", "MID", "LEN", "UCASE", "LCASE",
                                         "TRIM", "LTRIM", "RTRIM", "STRREVERSE", "STRCONV", "REPLACE", "ASC",
                                         "ASCW"};
    if (firstText.contains(fn))
        return i == 0;
    if (fn == QLatin1String("FORMAT"))
        return count == 1;
    if (fn == QLatin1String("INSTR"))
        return count >= 3 ? i == 1 || i == 2 : i <= 1;
    if (fn == QLatin1String("INSTRREV") || fn == QLatin1String("STRCOMP"))
        return i <= 1;
    if (fn == QLatin1String("NZ"))
        return !dateResult && i <= 1;
    if (fn == QLatin1String("IIF"))
        return !dateResult && (i == 1 || i == 2);
    if (fn == QLatin1String("CHOOSE"))
        return !dateResult && i >= 1;
    if (fn == QLatin1String("SWITCH"))
        return !dateResult && i % 2 == 1;
    return false;
}

} // namespace accesssql::detail
