// Conditions, tests and conversions as Access computes them: IIf, Nz, Switch, Choose, IsNull,
// IsNumeric, IsEmpty, IsError, TypeName, VarType, Val, Str, CStr, CInt, CLng, CByte, CDbl, CSng,
// CCur, CBool, CVar, Hex, Oct. A Null argument gives Null unless the function tests for it.
#include "platform/accessfuncs.h"
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"
#include "platform/valuetext.h"

#include <cmath>
#include <sqlite3.h>

namespace accessfn {

double accessVal(const QString &s)
{
    QString digits;
    bool seenDigit = false, seenDot = false, seenExp = false;
    int i = 0;
    const int n = int(s.size());
    auto skip = [&] { while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i; };
    skip();
    if (i + 1 < n && s[i] == '&' && (s[i + 1].toUpper() == 'H' || s[i + 1].toUpper() == 'O')) {
        // &H1F, &O17: up to 16 bits read as a signed Integer (&HFFFF = -1), up to 32 as a Long.
        const int base = s[i + 1].toUpper() == 'H' ? 16 : 8;
        quint64 v = 0;
        int digits = 0;
        for (i += 2; i < n && v <= 0xFFFFFFFFu; ++i) {
            const int d = s[i].isDigit() && s[i].unicode() < 128 ? s[i].unicode() - '0'
                        : base == 16 && s[i].toUpper() >= 'A' && s[i].toUpper() <= 'F' ? s[i].toUpper().unicode() - 'A' + 10
                                                                                      : -1;
            if (d < 0 || d >= base)
                break;
            v = v * base + quint64(d);
            ++digits;
        }
        if (digits == 0 || v > 0xFFFFFFFFu)
            return 0.0;
        if (v <= 0xFFFF)
            return double(qint16(quint16(v)));
        return double(qint32(quint32(v)));
    }
    if (i < n && (s[i] == '-' || s[i] == '+')) {
        digits += s[i];
        ++i;
    }
    for (; i < n; ++i) {
        QChar c = s[i];
        if (c == ' ' || c == '\t')
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            seenDigit = true;
        } else if (c == '.' && !seenDot && !seenExp) {
            digits += c;
            seenDot = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && seenDigit && !seenExp) {
            // only an exponent when digits follow
            int j = i + 1;
            if (j < n && (s[j] == '+' || s[j] == '-'))
                ++j;
            if (j < n && s[j].isDigit()) {
                digits += 'e';
                if (s[i + 1] == '+' || s[i + 1] == '-') {
                    digits += s[i + 1];
                    ++i;
                }
                seenExp = true;
            } else
                break;
        } else
            break;
    }
    bool ok = false;
    double d = digits.toDouble(&ok);
    return ok ? d : 0.0;
}

namespace {

void fnIIf(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_value(ctx, truthy(argv[0]) ? argv[1] : argv[2]);
}

void fnNz(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!isNull(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else if (argc > 1)
        sqlite3_result_value(ctx, argv[1]);
    else
        resultText(ctx, QString());
}

// Switch(test1, value1, test2, value2, …): the value of the first true test; Null when none is.
void fnSwitch(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc == 0 || argc % 2 != 0) {
        resultInvalid(ctx);
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
        resultInvalid(ctx);
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

void fnIsNull(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_int(ctx, isNull(argv[0]) ? -1 : 0);
}

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

// A value in a statement is never Empty (an uninitialised variable) nor an Error value: a
// failing expression stops the statement instead.
void fnFalse(sqlite3_context *ctx, int, sqlite3_value **) { sqlite3_result_int(ctx, 0); }

// VarType's codes and TypeName's names of a value, the type the translator knows (Vt) first.
int varType(sqlite3_value **argv, int argc)
{
    const Vt known = argc > 1 ? Vt(sqlite3_value_int(argv[argc - 1])) : Vt::Unknown;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        return 1;
    case SQLITE_INTEGER: {
        if (known == Vt::YesNo)
            return 11;
        if (known == Vt::Date || known == Vt::DateOrText)
            return 7;
        const qint64 v = sqlite3_value_int64(argv[0]);
        return v >= -2147483648LL && v <= 2147483647LL ? 3 : 5;
    }
    case SQLITE_FLOAT:
        return known == Vt::Date || known == Vt::DateOrText ? 7 : 5;
    default:
        return (known == Vt::Date || known == Vt::DateOrText) && storedDate(argv[0]).isValid() ? 7 : 8;
    }
}

void fnVarType(sqlite3_context *ctx, int argc, sqlite3_value **argv) { sqlite3_result_int(ctx, varType(argv, argc)); }

void fnTypeName(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const char *name = "String";
    switch (varType(argv, argc)) {
    case 1:
        name = "Null";
        break;
    case 3:
        name = "Long";
        break;
    case 5:
        name = "Double";
        break;
    case 7:
        name = "Date";
        break;
    case 11:
        name = "Boolean";
        break;
    default:
        break;
    }
    sqlite3_result_text(ctx, name, -1, SQLITE_STATIC);
}

void fnVal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (isNumberValue(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else
        resultNumber(ctx, accessVal(argText(argv[0])));
}

// Str writes a number with "." as decimal sign and a leading blank in place of a plus sign:
// Str(5) = " 5", Str(-5) = "-5", Str(0.5) = " .5".
QString strOfNumber(double d)
{
    QString s = QString::number(std::fabs(d), 'g', 15);
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    const int e = int(s.indexOf('e'));
    if (e >= 0) {
        const QString exp = s.mid(e + 1);
        const int n = exp.toInt();
        s = s.left(e) + (n < 0 ? "E-" : "E+") + QString::number(std::abs(n)).rightJustified(2, '0');
    }
    return (d < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + s;
}

void fnStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        const qint64 v = sqlite3_value_int64(argv[0]);
        resultText(ctx, (v < 0 ? QString() : QStringLiteral(" ")) + QString::number(v));
    } else if (numberArg(argv[0], &d))
        resultText(ctx, strOfNumber(d));
    else if (const QDateTime dt = dateArg(argv[0]); dt.isValid())
        resultText(ctx, vt::dateTimeText(dt)); // a date as it shows in a text, without a sign blank
    else
        resultTypeError(ctx);
}

void fnCStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (sqlite3_value_type(argv[0]) == SQLITE_TEXT)
        sqlite3_result_value(ctx, argv[0]);
    else
        resultText(ctx, textOf(argv[0]));
}

// CInt, CLng and CByte: half to even, "Überlauf" beyond their range.
void toWhole(sqlite3_context *ctx, sqlite3_value **argv, double least, double most)
{
    double d = 0;
    if (isNull(argv[0]) || !numberArg(argv[0], &d)) {
        resultTypeError(ctx);
        return;
    }
    const double r = std::nearbyint(d);
    if (!(r >= least && r <= most)) {
        resultOverflow(ctx);
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(r));
}
void fnCInt(sqlite3_context *c, int, sqlite3_value **a) { toWhole(c, a, -32768, 32767); }
void fnCLng(sqlite3_context *c, int, sqlite3_value **a) { toWhole(c, a, -2147483648.0, 2147483647.0); }
void fnCByte(sqlite3_context *c, int, sqlite3_value **a) { toWhole(c, a, 0, 255); }

void fnCDbl(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (isNull(argv[0]) || !numberArg(argv[0], &d)) {
        resultTypeError(ctx);
        return;
    }
    sqlite3_result_double(ctx, d);
}

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
        resultOverflow(ctx);
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
        resultOverflow(ctx);
        return;
    }
    resultNumber(ctx, QString::number(double(float(d)), 'g', 7).toDouble());
}

void fnCVar(sqlite3_context *ctx, int, sqlite3_value **argv) { sqlite3_result_value(ctx, argv[0]); }

// Hex and Oct of the whole number (half to even); negative values in 16 bits while they fit
// an Integer, else in 32 bits: Hex(-1) = "FFFF".
void digitsInBase(sqlite3_context *ctx, sqlite3_value **argv, int base)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    const double n = std::nearbyint(d);
    if (n < -2147483648.0 || n > 4294967295.0) {
        resultOverflow(ctx);
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

const Function functions[] = {
    {"IIf", {A, B, B}, Vt::Unknown, Size::Args, fnIIf},
    {"Nz", Args({B, B}, 1), Vt::Unknown, Size::Args, fnNz},
    {"Switch", Args({A, B}, 2, 2), Vt::Unknown, Size::Args, fnSwitch},
    {"Choose", Args({N, B}, 2, 1), Vt::Unknown, Size::Args, fnChoose},
    {"IsNull", {A}, Vt::Number, Size::Small, fnIsNull, "AccIsNull"},
    {"IsNumeric", {A}, Vt::Number, Size::Small, fnIsNumeric},
    {"IsEmpty", {A}, Vt::Number, Size::Small, fnFalse},
    {"IsError", {A}, Vt::Number, Size::Small, fnFalse},
    {"TypeName", {A}, Vt::Text, Size::Small, fnTypeName, nullptr, Typed},
    {"VarType", {A}, Vt::Number, Size::Small, fnVarType, nullptr, Typed},
    {"Val", {T}, Vt::Number, Size::Small, fnVal},
    {"Str", {A}, Vt::Text, Size::Small, fnStr},
    {"CStr", {T}, Vt::Text, Size::Args, fnCStr},
    {"CInt", {N}, Vt::Number, Size::Small, fnCInt},
    {"CLng", {N}, Vt::Number, Size::Small, fnCLng},
    {"CByte", {N}, Vt::Number, Size::Small, fnCByte},
    {"CDbl", {N}, Vt::Number, Size::Small, fnCDbl},
    {"CSng", {N}, Vt::Number, Size::Small, fnCSng},
    {"CCur", {N}, Vt::Number, Size::Small, fnCCur},
    {"CBool", {N}, Vt::Number, Size::Small, fnCBool},
    {"CVar", {B}, Vt::Unknown, Size::Args, fnCVar},
    {"Hex", {N}, Vt::Text, Size::Small, fnHex},
    {"Oct", {N}, Vt::Text, Size::Small, fnOct},
};

} // namespace

std::span<const Function> conversionFunctions() { return functions; }

} // namespace accessfn
