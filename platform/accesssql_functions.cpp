#include "platform/accesssql_functions.h"

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
    static const QSet<QString> one{"AVG", "COUNT", "SUM", "MIN", "MAX", "ABS", "LTRIM", "RTRIM"};
    return !one.contains(fn) || count == 1;
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
