// Numbers and texts as Access computes them: Int, Fix, Sgn, Abs, AccRound (Round, half to even), Str,
// Space, String, StrConv, and the aggregates First and Last. A Null argument gives Null.
// Also IdSchluessel, the comparison form of the program's person ids.
#include "platform/accessfuncs_detail.h"
#include "platform/valuetext.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace accessfn {

namespace {

// A number argument: INTEGER stays whole; false (and the error set) when it is no number.
bool number(sqlite3_context *ctx, sqlite3_value *v, double *d)
{
    if (numberArg(v, d))
        return true;
    resultTypeError(ctx);
    return false;
}

void wholePart(sqlite3_context *ctx, sqlite3_value **argv, bool down)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    double d = 0;
    if (number(ctx, argv[0], &d))
        resultNumber(ctx, down ? std::floor(d) : std::trunc(d));
}
// Int rounds down (Int(-2.5) = -3), Fix towards zero (Fix(-2.5) = -2).
void fnInt(sqlite3_context *c, int, sqlite3_value **a) { wholePart(c, a, true); }
void fnFix(sqlite3_context *c, int, sqlite3_value **a) { wholePart(c, a, false); }

void fnSgn(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    if (number(ctx, argv[0], &d))
        sqlite3_result_int(ctx, d > 0 ? 1 : d < 0 ? -1 : 0);
}

// Abs of a number or a numeric text ("-2,5"); another text stops the statement, as in Access.
void fnAbs(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_int64(argv[0]) > LLONG_MIN) {
        sqlite3_result_int64(ctx, std::llabs(sqlite3_value_int64(argv[0])));
        return;
    }
    double d = 0;
    if (number(ctx, argv[0], &d))
        resultNumber(ctx, std::fabs(d));
}

// Half to even at the given decimals, as Access rounds: Round(2.5) = 2, Round(3.5) = 4,
// Round(0.125, 2) = 0.12; on the decimal digits, so that Round(5000000.009, 2) = 5000000.01.
double roundHalfEven(double d, int decimals) { return roundedDecimal(d, decimals, true).toDouble(); }

void fnRound(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0]) || (argc > 1 && isNull(argv[1]))) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0, dec = 0;
    if (!number(ctx, argv[0], &d) || (argc > 1 && !number(ctx, argv[1], &dec)))
        return;
    if (dec < 0 || dec > 15) {
        sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
        return;
    }
    resultNumber(ctx, roundHalfEven(d, int(dec)));
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

// A repeat count; a negative one is refused as Access does.
bool count(sqlite3_context *ctx, sqlite3_value *v, qint64 *n)
{
    double d = 0;
    if (!number(ctx, v, &d))
        return false;
    if (!(d >= 0)) {
        sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
        return false;
    }
    *n = qint64(std::nearbyint(std::min(d, 1e15)));
    return true;
}

// n copies of one character, made as UTF-8 at once: a count beyond the connection's length
// limit is refused before anything is allocated.
void resultRepeated(sqlite3_context *ctx, qint64 n, QChar c)
{
    const QByteArray one = QString(c).toUtf8();
    const qint64 size = n * one.size();
    char *buf = textBuffer(ctx, size);
    if (!buf)
        return;
    if (one.size() == 1)
        std::memset(buf, one[0], size_t(size));
    else
        for (qint64 i = 0; i < size; i += one.size())
            std::memcpy(buf + i, one.constData(), size_t(one.size()));
    resultOwnedText(ctx, buf, size);
}

void fnSpace(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    qint64 n = 0;
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (count(ctx, argv[0], &n))
        resultRepeated(ctx, n, QLatin1Char(' '));
}

// String(3, "abc") = "aaa", String(3, 65) = "AAA".
void fnString(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    qint64 n = 0;
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (!count(ctx, argv[0], &n))
        return;
    QChar c;
    if (isNumberValue(argv[1]))
        c = QChar(char16_t(sqlite3_value_int(argv[1]) & 0xFFFF));
    else {
        const QString s = argText(argv[1]);
        if (s.isEmpty()) {
            sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
            return;
        }
        c = s[0];
    }
    resultRepeated(ctx, n, c);
}

// StrConv(text, 1) upper case, 2 lower case, 3 the first letter of every word upper, the rest lower.
void fnStrConv(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = textOf(argv[0]);
    switch (sqlite3_value_int(argv[1])) {
    case 1:
        resultText(ctx, vt::upperCase(s));
        return;
    case 2:
        resultText(ctx, s.toLower());
        return;
    case 3: {
        QString out = s.toLower();
        bool start = true;
        for (int i = 0; i < out.size(); ++i) {
            if (start && out[i].isLetter() && out[i] != QChar(0x00DF))
                out[i] = out[i].toUpper();
            start = out[i].isSpace();
        }
        resultText(ctx, out);
        return;
    }
    default:
        resultText(ctx, s);
    }
}

// IdSchluessel(id): the comparison form of a person id (vt::idSchluessel); Null gives Null.
void fnIdSchluessel(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, vt::idSchluessel(textOf(argv[0])));
}

// First and Last: the value of the first and of the last row of the group, Null included.
struct Kept {
    sqlite3_value *value = nullptr;
    bool seen = false;
};

void keep(sqlite3_context *ctx, sqlite3_value *v, bool last)
{
    auto *k = static_cast<Kept *>(sqlite3_aggregate_context(ctx, sizeof(Kept)));
    if (!k || (k->seen && !last))
        return;
    sqlite3_value_free(k->value);
    k->value = sqlite3_value_dup(v);
    k->seen = true;
}
void firstStep(sqlite3_context *c, int, sqlite3_value **a) { keep(c, a[0], false); }
void lastStep(sqlite3_context *c, int, sqlite3_value **a) { keep(c, a[0], true); }
void keptFinal(sqlite3_context *ctx)
{
    auto *k = static_cast<Kept *>(sqlite3_aggregate_context(ctx, 0));
    if (k && k->value) {
        sqlite3_result_value(ctx, k->value);
        sqlite3_value_free(k->value);
        k->value = nullptr;
    } else
        sqlite3_result_null(ctx);
}

} // namespace

void registerMoreFunctions(sqlite3 *db)
{
    const ScalarFn fns[] = {
        {"Int", 1, fnInt},       {"Fix", 1, fnFix},       {"Sgn", 1, fnSgn}, {"Abs", 1, fnAbs},         {"AccRound", 1, fnRound},
        {"AccRound", 2, fnRound}, {"Str", 1, fnStr},       {"Space", 1, fnSpace},     {"String", 2, fnString},
        {"StrConv", 2, fnStrConv}, {"StrConv", 3, fnStrConv}, {"IdSchluessel", 1, fnIdSchluessel},
    };
    registerScalars(db, fns);
    sqlite3_create_function_v2(db, "First", 1, SQLITE_UTF8, nullptr, nullptr, firstStep, keptFinal, nullptr);
    sqlite3_create_function_v2(db, "Last", 1, SQLITE_UTF8, nullptr, nullptr, lastStep, keptFinal, nullptr);
}

} // namespace accessfn
