// Numbers as Access computes them: Int, Fix, Sgn, Abs, Round (half to even), Sqr, Exp, Log, Atn,
// Sin, Cos, Tan, Rnd, RGB, Partition, and the aggregates Count, Sum, Avg, Min, Max, First, Last,
// Var, VarP, StDev, StDevP. A Null argument gives Null.
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"

#include <QString>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

namespace accessfn {

namespace {

void wholePart(sqlite3_context *ctx, sqlite3_value **argv, bool down)
{
    if (!noNull(ctx, argv, 1))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    double d = 0;
    if (numberOrError(ctx, argv[0], &d))
        resultNumber(ctx, down ? std::floor(d) : std::trunc(d));
}
// Int rounds down (Int(-2.5) = -3), Fix towards zero (Fix(-2.5) = -2).
void fnInt(sqlite3_context *c, int, sqlite3_value **a) { wholePart(c, a, true); }
void fnFix(sqlite3_context *c, int, sqlite3_value **a) { wholePart(c, a, false); }

void fnSgn(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (noNull(ctx, argv, 1) && numberOrError(ctx, argv[0], &d))
        sqlite3_result_int(ctx, d > 0 ? 1 : d < 0 ? -1 : 0);
}

// Abs of a number or a numeric text ("-2,5"); another text stops the statement, as in Access.
void fnAbs(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_int64(argv[0]) > LLONG_MIN) {
        sqlite3_result_int64(ctx, std::llabs(sqlite3_value_int64(argv[0])));
        return;
    }
    double d = 0;
    if (numberOrError(ctx, argv[0], &d))
        resultNumber(ctx, std::fabs(d));
}

// Half to even at the given decimals, as Access rounds: Round(2.5) = 2, Round(3.5) = 4,
// Round(0.125, 2) = 0.12; on the decimal digits, so that Round(5000000.009, 2) = 5000000.01.
void fnRound(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double d = 0, dec = 0;
    if (!noNull(ctx, argv, argc) || !numberOrError(ctx, argv[0], &d) || (argc > 1 && !numberOrError(ctx, argv[1], &dec)))
        return;
    if (dec < 0 || dec > 15) {
        resultInvalid(ctx);
        return;
    }
    resultNumber(ctx, roundedDecimal(d, int(dec), true).toDouble());
}

// Sqr, Exp, Log (natural), Atn, Sin, Cos, Tan; a value outside the domain is an invalid argument.
template <double (*F)(double), bool (*Domain)(double)> void mathFn(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    if (!Domain(d)) {
        resultInvalid(ctx);
        return;
    }
    const double r = F(d);
    if (!std::isfinite(r))
        resultOverflow(ctx);
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

// Rnd as VBA makes it: one sequence for the program (the same as VBA's without Randomize), a
// negative argument restarts it from that number's bits (Rnd(-1) = 0,224007), 0 repeats the last
// value, any other (or none) gives the next.
std::atomic<quint32> rndState{0x50000};

quint32 rndNext(quint32 x) { return (x * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu; }

void fnRnd(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double d = 1;
    if (argc > 0 && (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d)))
        return;
    quint32 x = rndState.load();
    if (d < 0) {
        const float f = float(d);
        quint32 bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        x = rndNext((bits + (bits >> 24)) & 0xFFFFFFu);
        rndState.store(x);
    } else if (d > 0) {
        while (!rndState.compare_exchange_weak(x, rndNext(x))) {
        }
        x = rndNext(x);
    }
    // A Single, shown with its seven digits as Access shows it.
    sqlite3_result_double(ctx, QString::number(double(x) / 16777216.0, 'g', 7).toDouble());
}

// A whole number as VBA passes it to a Long or Integer: rounded half to even.
bool whole(sqlite3_context *ctx, sqlite3_value *v, qint64 *out)
{
    double d = 0;
    if (!numberOrError(ctx, v, &d))
        return false;
    if (!(std::fabs(d) < 2147483648.0)) {
        resultOverflow(ctx);
        return false;
    }
    *out = qint64(std::nearbyint(d));
    return true;
}

// RGB(red, green, blue): red + 256 * green + 65536 * blue, each above 255 counted as 255.
void fnRGB(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    qint64 c[3] = {};
    if (!noNull(ctx, argv, 3))
        return;
    for (int i = 0; i < 3; ++i) {
        if (!whole(ctx, argv[i], &c[i]))
            return;
        if (c[i] < 0) {
            resultInvalid(ctx);
            return;
        }
        c[i] = std::min<qint64>(c[i], 255);
    }
    sqlite3_result_int64(ctx, c[0] + 256 * c[1] + 65536 * c[2]);
}

// Partition(number, start, stop, interval): the range of number as "lower:upper", each side
// padded with blanks to the digits of stop plus one, so that the ranges sort as texts:
// Partition(3, 1, 6, 2) = " 3: 4", below start "  : 0", above stop " 7:  ".
void fnPartition(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    qint64 n = 0, start = 0, stop = 0, step = 0;
    if (!noNull(ctx, argv, 4) || !whole(ctx, argv[0], &n) || !whole(ctx, argv[1], &start) ||
        !whole(ctx, argv[2], &stop) || !whole(ctx, argv[3], &step))
        return;
    if (start < 0 || stop <= start || step < 1) {
        resultInvalid(ctx);
        return;
    }
    const int width = int(QString::number(stop).size()) + 1;
    const auto side = [width](qint64 v, bool blank) {
        return (blank ? QString() : QString::number(v)).rightJustified(width, ' ');
    };
    QString out;
    if (n < start)
        out = side(0, true) + ':' + side(start - 1, false);
    else if (n > stop)
        out = side(stop + 1, false) + ':' + side(0, true);
    else {
        const qint64 lower = start + (n - start) / step * step;
        out = side(lower, false) + ':' + side(std::min(lower + step - 1, stop), false);
    }
    resultText(ctx, out);
}

// ---- First and Last: the value of the first and of the last row of the group, Null included.

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

constexpr Arg O = Arg::Ordered, S = Arg::Serial;

const Function functions[] = {
    {"Int", {S}, Vt::Number, Size::Small, fnInt},
    {"Fix", {S}, Vt::Number, Size::Small, fnFix},
    {"Sgn", {N}, Vt::Number, Size::Small, fnSgn},
    {"Abs", {N}, Vt::Number, Size::Small, fnAbs},
    // SQLite's own round rounds half away from zero.
    {"Round", Args({N, N}, 1), Vt::Number, Size::Small, fnRound, "AccRound"},
    {"Sqr", {N}, Vt::Number, Size::Small, mathFn<sqrtOf, notNegative>},
    {"Exp", {N}, Vt::Number, Size::Small, mathFn<expOf, anyValue>},
    {"Log", {N}, Vt::Number, Size::Small, mathFn<logOf, positive>},
    {"Atn", {N}, Vt::Number, Size::Small, mathFn<atanOf, anyValue>},
    {"Sin", {N}, Vt::Number, Size::Small, mathFn<sinOf, anyValue>},
    {"Cos", {N}, Vt::Number, Size::Small, mathFn<cosOf, anyValue>},
    {"Tan", {N}, Vt::Number, Size::Small, mathFn<tanOf, anyValue>},
    {"Rnd", Args({N}, 0), Vt::Number, Size::Small, fnRnd, nullptr, Varies},
    {"RGB", {N, N, N}, Vt::Number, Size::Small, fnRGB},
    {"Partition", {N, N, N, N}, Vt::Text, Size::Small, fnPartition},
    {"Count", {A}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate},
    {"Sum", {S}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate},
    {"Avg", {S}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate},
    {"Min", {O}, Vt::Unknown, Size::Args, nullptr, nullptr, Aggregate},
    {"Max", {O}, Vt::Unknown, Size::Args, nullptr, nullptr, Aggregate},
    {"First", {B}, Vt::Unknown, Size::Args, nullptr, nullptr, Aggregate, firstStep, keptFinal},
    {"Last", {B}, Vt::Unknown, Size::Args, nullptr, nullptr, Aggregate, lastStep, keptFinal},
    {"Var", {N}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate, spreadStep, spreadFinal<false, false>},
    {"VarP", {N}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate, spreadStep, spreadFinal<true, false>},
    {"StDev", {N}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate, spreadStep, spreadFinal<false, true>},
    {"StDevP", {N}, Vt::Number, Size::Small, nullptr, nullptr, Aggregate, spreadStep, spreadFinal<true, true>},
};

} // namespace

std::span<const Function> numberFunctions() { return functions; }

} // namespace accessfn
