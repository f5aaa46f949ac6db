// Further functions people type in lists, as Access computes them: IsNumeric, Switch, Choose,
// LTrim, RTrim, Replace, StrReverse, InStrRev, InStr with its compare argument, StrComp, Asc, AscW, Chr, ChrW, CBool,
// CCur, CSng, CVar, WeekdayName, MonthName, Hex, Oct, Sqr, Exp, Log, Atn, Sin, Cos, Tan, Time,
// TimeSerial, TimeValue, and the aggregates StDev, StDevP, Var, VarP.
// A Null argument gives Null (IsNumeric: False).
#include "platform/accessfuncs.h"
#include "platform/accessfuncs_detail.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/textcodec.h"
#include "platform/valuetext.h"

#include <QRegularExpression>
#include <cmath>
#include <sqlite3.h>

namespace accessfn {

namespace {

void invalidArgument(sqlite3_context *ctx)
{
    sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
}

// Null in any of the first n arguments gives Null; true when the function may go on.
bool noNull(sqlite3_context *ctx, sqlite3_value **argv, int n)
{
    for (int i = 0; i < n; ++i)
        if (isNull(argv[i])) {
            sqlite3_result_null(ctx);
            return false;
        }
    return true;
}

bool numberOrError(sqlite3_context *ctx, sqlite3_value *v, double *d)
{
    if (numberArg(v, d))
        return true;
    resultTypeError(ctx);
    return false;
}

} // namespace

// A number as Access reads a text in German settings: digits with "." between thousands, ","
// as decimal sign, an exponent; one sign before or after it ("2-" is -2) or parentheses for a
// negative one; a "€" before or after; blanks around; or &H / &O. Its value in *value.
bool numericText(const QString &text, double *value)
{
    QString s = text.trimmed();
    static const QRegularExpression hex(QStringLiteral("^&[hH][0-9a-fA-F]{1,8}$|^&[oO][0-7]{1,11}$"));
    if (hex.match(s).hasMatch()) {
        if (value) {
            const bool isHex = s[1].toLower() == 'h';
            qint64 v = s.mid(2).toLongLong(nullptr, isHex ? 16 : 8);
            if (isHex && s.size() <= 6 && v > 0x7FFF) // &HFFFF is the Integer -1
                v -= 0x10000;
            *value = double(v);
        }
        return true;
    }
    const bool parens = s.startsWith('(') && s.endsWith(')');
    if (parens)
        s = s.mid(1, s.size() - 2).trimmed();
    auto dropCurrency = [&s] {
        if (s.startsWith(QChar(0x20AC)))
            s = s.mid(1).trimmed();
        else if (s.endsWith(QChar(0x20AC)))
            s = s.chopped(1).trimmed();
    };
    dropCurrency();
    int signs = 0;
    bool minus = parens;
    if (s.startsWith('+') || s.startsWith('-')) {
        minus = minus || s.startsWith('-');
        s = s.mid(1).trimmed();
        ++signs;
    }
    dropCurrency();
    if (s.endsWith('+') || s.endsWith('-')) {
        // an exponent's own sign needs digits after it, so a sign at the end is the number's
        minus = minus || s.endsWith('-');
        s = s.chopped(1).trimmed();
        ++signs;
    }
    dropCurrency();
    static const QRegularExpression number(QStringLiteral("^(\\d[\\d.]*(,\\d*)?|,\\d+)([eEdD][+-]?\\d+)?$"));
    if (signs + (parens ? 1 : 0) > 1 || !number.match(s).hasMatch())
        return false;
    if (value) {
        s.remove('.');
        s.replace(',', '.');
        s.replace('d', 'e');
        s.replace('D', 'e');
        *value = (minus ? -1 : 1) * s.toDouble();
    }
    return true;
}

namespace {

void fnIsNumeric(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    bool numeric = false;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        numeric = true;
        break;
    case SQLITE_TEXT:
        numeric = numericText(argText(argv[0]));
        break;
    default:
        break;
    }
    sqlite3_result_int(ctx, numeric ? -1 : 0);
}

// Switch(test1, value1, test2, value2, …): the value of the first true test; Null when none is.
void fnSwitch(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc == 0 || argc % 2 != 0) {
        invalidArgument(ctx);
        return;
    }
    for (int i = 0; i < argc; i += 2)
        if (truthy(argv[i])) {
            sqlite3_result_value(ctx, argv[i + 1]);
            return;
        }
    sqlite3_result_null(ctx);
}

// Choose(index, choice1, choice2, …): index rounded to a whole number (as documented) picks;
// Null outside the choices.
void fnChoose(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double d = 0;
    if (argc < 2) {
        invalidArgument(ctx);
        return;
    }
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    const double k = std::nearbyint(d);
    if (k < 1 || k > argc - 1)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_value(ctx, argv[int(k)]);
}

// LTrim and RTrim of the value as it shows ("2,5"), blanks only.
void fnLTrim(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const QString s = textOf(argv[0]);
    int i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    resultText(ctx, s.mid(i));
}

void fnRTrim(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const QString s = textOf(argv[0]);
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == ' ')
        --n;
    resultText(ctx, s.left(n));
}

// Replace(text, find, with[, start[, count[, compare]]]) as Access: the text from start on (the
// part before it is dropped), at most count replacements (-1 all), compare 1 ignores case.
void fnReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double start = 1, count = -1, compare = 0;
    if (isNull(argv[1]) || isNull(argv[2]) || (argc > 3 && !numberOrError(ctx, argv[3], &start)) ||
        (argc > 4 && !numberOrError(ctx, argv[4], &count)) || (argc > 5 && !numberOrError(ctx, argv[5], &compare))) {
        if (isNull(argv[1]) || isNull(argv[2]))
            resultTypeError(ctx);
        return;
    }
    if (start < 1 || count < -1) {
        sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
        return;
    }
    const QString text = textOf(argv[0]).mid(qsizetype(start) - 1), find = textOf(argv[1]), with = textOf(argv[2]);
    const Qt::CaseSensitivity cs = compare == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (find.isEmpty() || count == 0) {
        resultText(ctx, text);
        return;
    }
    QString out;
    qsizetype from = 0;
    for (qint64 done = 0; count < 0 || done < qint64(count); ++done) {
        const qsizetype at = text.indexOf(find, from, cs);
        if (at < 0)
            break;
        out += QStringView(text).mid(from, at - from);
        out += with;
        from = at + find.size();
    }
    out += QStringView(text).mid(from);
    if (fitsLength(ctx, qint64(out.size()) * 3))
        resultText(ctx, out);
}

void fnStrReverse(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const QString s = textOf(argv[0]);
    QString out;
    out.reserve(s.size());
    for (int i = int(s.size()) - 1; i >= 0; --i) {
        if (s[i].isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate()) {
            out += s[i - 1];
            out += s[i];
            --i;
        } else
            out += s[i];
    }
    resultText(ctx, out);
}

// The compare argument: 0 binary (case counts), 1 text, -1 and 2 the database's (text). Without
// it InStr and StrComp compare as the database does, InStrRev binary (as documented).
bool caseCounts(sqlite3_context *ctx, int argc, sqlite3_value **argv, int at, bool *ok, bool binaryDefault = false)
{
    *ok = true;
    if (argc <= at || isNull(argv[at]))
        return binaryDefault;
    double c = 0;
    if (!numberArg(argv[at], &c) || (c != 0 && c != 1 && c != -1 && c != 2)) {
        invalidArgument(ctx);
        *ok = false;
        return false;
    }
    return c == 0;
}

// InStr(start, text, search[, compare]).
void fnInStrCompare(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    int start = 1;
    if (!noNull(ctx, argv, 3) || !countArg(ctx, argv[0], 1, &start))
        return;
    bool ok = false;
    const bool binary = caseCounts(ctx, argc, argv, 3, &ok);
    if (!ok)
        return;
    const QString text = textOf(argv[1]), search = textOf(argv[2]);
    const qsizetype from = qsizetype(start) - 1;
    if (search.isEmpty()) {
        sqlite3_result_int64(ctx, from < text.size() ? from + 1 : 0);
        return;
    }
    const qsizetype pos = from >= text.size() ? -1 : text.indexOf(search, from, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, pos + 1);
}

// InStrRev(text, search[, start[, compare]]): the last place of search that ends by start
// (-1: the end of the text).
void fnInStrRev(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, argc > 2 ? 3 : 2))
        return;
    int start = -1;
    if (argc > 2 && !countArg(ctx, argv[2], -1, &start))
        return;
    bool ok = false;
    const bool binary = caseCounts(ctx, argc, argv, 3, &ok, true);
    if (!ok)
        return;
    if (start == 0) {
        invalidArgument(ctx);
        return;
    }
    const QString text = textOf(argv[0]), search = textOf(argv[1]);
    const qsizetype end = start < 0 ? text.size() : qsizetype(start);
    if (end > text.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    if (search.isEmpty()) {
        sqlite3_result_int64(ctx, end);
        return;
    }
    const qsizetype from = end - search.size();
    const qsizetype pos =
        from < 0 ? -1 : text.lastIndexOf(search, from, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, pos + 1);
}

// StrComp(a, b[, compare]): -1, 0 or 1; as text in German order with case ignored.
void fnStrComp(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 2))
        return;
    bool ok = false;
    const bool binary = caseCounts(ctx, argc, argv, 2, &ok);
    if (!ok)
        return;
    const QString a = textOf(argv[0]), b = textOf(argv[1]);
    int r = 0;
    if (binary)
        r = a.compare(b);
    else if (noCaseCompare(a, b) != 0)
        r = germanCompare(a, b);
    sqlite3_result_int(ctx, r < 0 ? -1 : r > 0 ? 1 : 0);
}

// Asc gives the Windows-1252 code of the first character, AscW its Unicode value.
void ascOf(sqlite3_context *ctx, sqlite3_value **argv, bool wide)
{
    if (!noNull(ctx, argv, 1))
        return;
    const QString s = textOf(argv[0]);
    if (s.isEmpty()) {
        invalidArgument(ctx);
        return;
    }
    if (wide)
        sqlite3_result_int(ctx, s[0].unicode());
    else
        sqlite3_result_int(ctx, quint8(textcodec::toWindows1252(s.left(1)).at(0)));
}
void fnAsc(sqlite3_context *c, int, sqlite3_value **a) { ascOf(c, a, false); }
void fnAscW(sqlite3_context *c, int, sqlite3_value **a) { ascOf(c, a, true); }

// Chr(128) = "€" (Windows-1252, 0 … 255), ChrW(8364) = "€".
void chrOf(sqlite3_context *ctx, sqlite3_value **argv, bool wide)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    const qint64 n = qint64(std::nearbyint(d));
    if (n < (wide ? -32768 : 0) || n > (wide ? 65535 : 255)) {
        invalidArgument(ctx);
        return;
    }
    if (wide)
        resultText(ctx, QString(QChar(char16_t(n & 0xFFFF))));
    else
        resultText(ctx, textcodec::fromWindows1252(QByteArray(1, char(n))));
}
void fnChr(sqlite3_context *c, int, sqlite3_value **a) { chrOf(c, a, false); }
void fnChrW(sqlite3_context *c, int, sqlite3_value **a) { chrOf(c, a, true); }

// CBool: not zero is True (-1), zero False (0); Wahr/Falsch and numeric texts are read.
void fnCBool(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (noNull(ctx, argv, 1) && numberOrError(ctx, argv[0], &d))
        sqlite3_result_int(ctx, d != 0 ? -1 : 0);
}

// CCur keeps four decimals, half to even; beyond the range of Currency it overflows.
void fnCCur(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    if (std::fabs(d) > 922337203685477.5807) {
        sqlite3_result_error(ctx, "Überlauf", -1);
        return;
    }
    resultNumber(ctx, roundedDecimal(d, 4, true).toDouble());
}

// CSng: single precision, shown with its seven significant digits.
void fnCSng(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    if (std::fabs(d) > 3.402823466e38) {
        sqlite3_result_error(ctx, "Überlauf", -1);
        return;
    }
    resultNumber(ctx, QString::number(double(float(d)), 'g', 7).toDouble());
}

void fnCVar(sqlite3_context *ctx, int, sqlite3_value **argv) { sqlite3_result_value(ctx, argv[0]); }

// WeekdayName(n[, abbreviate[, firstdayofweek]]): n counts from Sunday unless another first
// day is given (0: the system's, Monday).
void fnWeekdayName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double n = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &n))
        return;
    const int day = int(std::nearbyint(n));
    int first = 1;
    if (argc > 2 && !isNull(argv[2])) {
        first = sqlite3_value_int(argv[2]);
        if (first == 0)
            first = 2;
    }
    if (day < 1 || day > 7 || first < 1 || first > 7) {
        invalidArgument(ctx);
        return;
    }
    const int fromSunday = (first - 1 + day - 1) % 7; // 0 Sunday … 6 Saturday
    const int iso = fromSunday == 0 ? 7 : fromSunday;
    const bool shortName = argc > 1 && truthy(argv[1]);
    resultText(ctx, shortName ? datetexts::weekdayShort(iso) : datetexts::weekdayLong(iso));
}

void fnMonthName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double n = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &n))
        return;
    const int month = int(std::nearbyint(n));
    if (month < 1 || month > 12) {
        invalidArgument(ctx);
        return;
    }
    const bool shortName = argc > 1 && truthy(argv[1]);
    resultText(ctx, shortName ? datetexts::monthShort(month) : datetexts::monthLong(month));
}

// Hex and Oct of the whole number (half to even); negative values in 16 bits while they fit
// an Integer, else in 32 bits: Hex(-1) = "FFFF".
void digitsInBase(sqlite3_context *ctx, sqlite3_value **argv, int base)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    const double n = std::nearbyint(d);
    if (n < -2147483648.0 || n > 4294967295.0) {
        sqlite3_result_error(ctx, "Überlauf", -1);
        return;
    }
    quint32 u = 0;
    if (n >= 0)
        u = quint32(n);
    else if (n >= -32768)
        u = quint16(qint16(n));
    else
        u = quint32(qint32(n));
    resultText(ctx, QString::number(u, base).toUpper());
}
void fnHex(sqlite3_context *c, int, sqlite3_value **a) { digitsInBase(c, a, 16); }
void fnOct(sqlite3_context *c, int, sqlite3_value **a) { digitsInBase(c, a, 8); }

// Sqr, Exp, Log (natural), Atn, Sin, Cos, Tan; a value outside the domain is an invalid argument.
template <double (*F)(double), bool (*Domain)(double)> void mathFn(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    if (!Domain(d)) {
        invalidArgument(ctx);
        return;
    }
    const double r = F(d);
    if (!std::isfinite(r))
        sqlite3_result_error(ctx, "Überlauf", -1);
    else
        sqlite3_result_double(ctx, r);
}
bool anyValue(double) { return true; }
bool notNegative(double d) { return d >= 0; }
bool positive(double d) { return d > 0; }
double sqrtOf(double d) { return std::sqrt(d); }
double expOf(double d) { return std::exp(d); }
double logOf(double d) { return std::log(d); }
double atanOf(double d) { return std::atan(d); }
double sinOf(double d) { return std::sin(d); }
double cosOf(double d) { return std::cos(d); }
double tanOf(double d) { return std::tan(d); }

// Time of day on Access's day zero, as a time literal is stored.
void resultTime(sqlite3_context *ctx, qint64 secs)
{
    const qint64 day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    const QDateTime dt(QDate(1899, 12, 30).addDays(day), QTime(0, 0).addSecs(int(secs - day * 86400)));
    resultText(ctx, zdb::isoDateTime(dt));
}

void fnTime(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultTime(ctx, QTime::currentTime().msecsSinceStartOfDay() / 1000);
}

// TimeSerial(h, m, s): values beyond their range carry over.
void fnTimeSerial(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double h = 0, m = 0, s = 0;
    if (!noNull(ctx, argv, 3) || !numberOrError(ctx, argv[0], &h) || !numberOrError(ctx, argv[1], &m)
        || !numberOrError(ctx, argv[2], &s))
        return;
    const double secs = std::nearbyint(h) * 3600 + std::nearbyint(m) * 60 + std::nearbyint(s);
    if (std::fabs(secs) > 86400.0 * 36500) {
        sqlite3_result_error(ctx, "Überlauf", -1);
        return;
    }
    resultTime(ctx, qint64(secs));
}

// TimeValue: the time of a date or a time text; a date alone gives midnight.
void fnTimeValue(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const QDateTime dt = dateArg(argv[0]);
    if (!dt.isValid()) {
        resultTypeError(ctx);
        return;
    }
    resultTime(ctx, dt.time().msecsSinceStartOfDay() / 1000);
}

// ---- Var, VarP, StDev, StDevP over the values that are not Null

struct Spread {
    qint64 n = 0;
    double mean = 0, m2 = 0; // running mean and sum of squared distances (Welford)
    bool bad = false;
};

void spreadStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *s = static_cast<Spread *>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
    if (!s || isNull(argv[0]))
        return;
    double x = 0;
    if (!numberArg(argv[0], &x)) {
        s->bad = true;
        return;
    }
    ++s->n;
    const double delta = x - s->mean;
    s->mean += delta / double(s->n);
    s->m2 += delta * (x - s->mean);
}

// Sample forms need two values, population forms one; fewer give Null.
template <bool Population, bool Root> void spreadFinal(sqlite3_context *ctx)
{
    auto *s = static_cast<Spread *>(sqlite3_aggregate_context(ctx, 0));
    if (s && s->bad) {
        sqlite3_result_error(ctx, "Datentypen in Kriterienausdruck unverträglich", -1);
        return;
    }
    const qint64 n = s ? s->n : 0;
    if (n < (Population ? 1 : 2)) {
        sqlite3_result_null(ctx);
        return;
    }
    const double v = std::max(0.0, s->m2 / double(Population ? n : n - 1));
    sqlite3_result_double(ctx, Root ? std::sqrt(v) : v);
}

} // namespace

void registerTextFunctions(sqlite3 *db)
{
    const int f = SQLITE_UTF8;
    const ScalarFn fns[] = {
        {"IsNumeric", 1, fnIsNumeric},   {"Switch", -1, fnSwitch},         {"Choose", -1, fnChoose},
        {"AccLTrim", 1, fnLTrim},        {"AccRTrim", 1, fnRTrim},         {"AccReplace", 3, fnReplace},
        {"AccReplace", 4, fnReplace},    {"AccReplace", 5, fnReplace},     {"AccReplace", 6, fnReplace},
        {"StrReverse", 1, fnStrReverse}, {"InStr", 3, fnInStrCompare},     {"InStr", 4, fnInStrCompare},     {"InStrRev", 2, fnInStrRev},
        {"InStrRev", 3, fnInStrRev},     {"InStrRev", 4, fnInStrRev},      {"StrComp", 2, fnStrComp},
        {"StrComp", 3, fnStrComp},       {"Asc", 1, fnAsc},                {"AscW", 1, fnAscW},
        {"Chr", 1, fnChr},               {"ChrW", 1, fnChrW},              {"CBool", 1, fnCBool},
        {"CCur", 1, fnCCur},             {"CSng", 1, fnCSng},              {"CVar", 1, fnCVar},
        {"WeekdayName", 1, fnWeekdayName}, {"WeekdayName", 2, fnWeekdayName}, {"WeekdayName", 3, fnWeekdayName},
        {"MonthName", 1, fnMonthName},   {"MonthName", 2, fnMonthName},    {"Hex", 1, fnHex},
        {"Oct", 1, fnOct},               {"Sqr", 1, mathFn<sqrtOf, notNegative>},
        {"Exp", 1, mathFn<expOf, anyValue>}, {"Log", 1, mathFn<logOf, positive>},
        {"Atn", 1, mathFn<atanOf, anyValue>}, {"Sin", 1, mathFn<sinOf, anyValue>},
        {"Cos", 1, mathFn<cosOf, anyValue>}, {"Tan", 1, mathFn<tanOf, anyValue>},
        {"Time", 0, fnTime, f},          {"TimeSerial", 3, fnTimeSerial},  {"TimeValue", 1, fnTimeValue},
    };
    registerScalars(db, fns);
    struct Aggregate {
        const char *name;
        void (*final)(sqlite3_context *);
    };
    const Aggregate aggregates[] = {
        {"Var", spreadFinal<false, false>},
        {"VarP", spreadFinal<true, false>},
        {"StDev", spreadFinal<false, true>},
        {"StDevP", spreadFinal<true, true>},
    };
    for (const Aggregate &a : aggregates)
        sqlite3_create_function_v2(db, a.name, 1, SQLITE_UTF8, nullptr, nullptr, spreadStep, a.final, nullptr);
}

} // namespace accessfn
