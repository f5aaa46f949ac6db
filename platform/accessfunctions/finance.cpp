// The financial functions as VBA computes them: FV, PV, Pmt, IPmt, PPmt, NPer, Rate (annuities
// of equal payments at a fixed rate; type 1: payments at the start of each period), SLN, SYD and
// DDB (depreciation). Money paid out is negative. A Null argument gives Null; arguments out of
// range give "Ungültiger Prozeduraufruf oder ungültiges Argument".
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"

#include <cmath>
#include <sqlite3.h>

namespace accessfn {

namespace {

// The arguments as numbers, optional ones 0 when left out; false (the result set) otherwise.
template <int Count> bool numbers(sqlite3_context *ctx, int argc, sqlite3_value **argv, double (&out)[Count])
{
    if (!noNull(ctx, argv, argc))
        return false;
    for (int i = 0; i < Count; ++i) {
        out[i] = 0;
        if (i < argc && !numberOrError(ctx, argv[i], &out[i]))
            return false;
    }
    return true;
}

void result(sqlite3_context *ctx, double d)
{
    if (std::isfinite(d))
        sqlite3_result_double(ctx, d);
    else
        resultInvalid(ctx);
}

// The growth of one unit over n periods, and of payments of one (at the end or start of each).
double growth(double rate, double n) { return std::pow(1 + rate, n); }
double annuity(double rate, double n, double type)
{
    return rate == 0 ? n : (1 + rate * type) * (growth(rate, n) - 1) / rate;
}

double fv(double rate, double n, double pmt, double pv, double type)
{
    return -(pv * growth(rate, n) + pmt * annuity(rate, n, type));
}

double pmt(double rate, double n, double pv, double fv, double type)
{
    return -(fv + pv * growth(rate, n)) / annuity(rate, n, type);
}

// The interest in payment per: the rate on the balance after the payments before it.
double ipmt(double rate, double per, double n, double pv, double fvalue, double type)
{
    const double p = pmt(rate, n, pv, fvalue, type);
    double balance = 0;
    if (per == 1)
        balance = type != 0 ? 0.0 : -pv;
    else if (type != 0)
        balance = fv(rate, per - 2, p, pv, 1) - p;
    else
        balance = fv(rate, per - 1, p, pv, 0);
    return balance * rate;
}

// FV(rate, nper, pmt[, pv[, type]])
void fnFV(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[5];
    if (numbers(ctx, argc, argv, a))
        result(ctx, fv(a[0], a[1], a[2], a[3], a[4] != 0));
}

// PV(rate, nper, pmt[, fv[, type]])
void fnPV(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[5];
    if (numbers(ctx, argc, argv, a))
        result(ctx, -(a[3] + a[2] * annuity(a[0], a[1], a[4] != 0)) / growth(a[0], a[1]));
}

// Pmt(rate, nper, pv[, fv[, type]])
void fnPmt(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[5];
    if (!numbers(ctx, argc, argv, a))
        return;
    if (a[1] == 0) {
        resultInvalid(ctx);
        return;
    }
    result(ctx, pmt(a[0], a[1], a[2], a[3], a[4] != 0));
}

// IPmt and PPmt(rate, per, nper, pv[, fv[, type]]): the interest and the principal of payment per.
void interestOrPrincipal(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool principal)
{
    double a[6];
    if (!numbers(ctx, argc, argv, a))
        return;
    if (a[1] < 1 || a[1] > a[2] + 1e-9 || a[2] == 0) {
        resultInvalid(ctx);
        return;
    }
    const double type = a[5] != 0;
    const double i = ipmt(a[0], a[1], a[2], a[3], a[4], type);
    result(ctx, principal ? pmt(a[0], a[2], a[3], a[4], type) - i : i);
}
void fnIPmt(sqlite3_context *c, int n, sqlite3_value **a) { interestOrPrincipal(c, n, a, false); }
void fnPPmt(sqlite3_context *c, int n, sqlite3_value **a) { interestOrPrincipal(c, n, a, true); }

// NPer(rate, pmt, pv[, fv[, type]])
void fnNPer(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[5];
    if (!numbers(ctx, argc, argv, a))
        return;
    const double rate = a[0], p = a[1], pv = a[2], fvalue = a[3], type = a[4] != 0;
    if (rate == 0) {
        if (p == 0)
            resultInvalid(ctx);
        else
            result(ctx, -(pv + fvalue) / p);
        return;
    }
    const double k = p * (1 + rate * type) / rate;
    const double q = (k - fvalue) / (k + pv);
    if (!(q > 0) || rate <= -1) {
        resultInvalid(ctx);
        return;
    }
    result(ctx, std::log(q) / std::log(1 + rate));
}

// Rate(nper, pmt, pv[, fv[, type[, guess]]]): found by Newton's method from guess (0,1), as VBA
// does; no result after 20 tries is an invalid argument.
void fnRate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[6];
    if (!numbers(ctx, argc, argv, a))
        return;
    const double n = a[0], p = a[1], pv = a[2], fvalue = a[3], type = a[4] != 0;
    double rate = argc > 5 ? a[5] : 0.1;
    if (n <= 0) {
        resultInvalid(ctx);
        return;
    }
    const auto f = [&](double r) { return pv * growth(r, n) + p * annuity(r, n, type) + fvalue; };
    for (int k = 0; k < 20; ++k) {
        const double h = std::max(1e-7, std::fabs(rate) * 1e-6);
        const double y = f(rate), slope = (f(rate + h) - f(rate - h)) / (2 * h);
        if (!std::isfinite(y) || !std::isfinite(slope) || slope == 0)
            break;
        const double next = rate - y / slope;
        if (std::fabs(next - rate) < 1e-7) {
            result(ctx, next);
            return;
        }
        rate = next;
    }
    resultInvalid(ctx);
}

// SLN(cost, salvage, life): the same amount each period.
void fnSLN(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[3];
    if (!numbers(ctx, argc, argv, a))
        return;
    if (a[2] == 0) {
        resultInvalid(ctx);
        return;
    }
    result(ctx, (a[0] - a[1]) / a[2]);
}

// SYD(cost, salvage, life, period): the sum-of-years' digits.
void fnSYD(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[4];
    if (!numbers(ctx, argc, argv, a))
        return;
    const double life = a[2], period = a[3];
    if (life <= 0 || period <= 0 || period > life) {
        resultInvalid(ctx);
        return;
    }
    result(ctx, (a[0] - a[1]) * (life - period + 1) * 2 / (life * (life + 1)));
}

// DDB(cost, salvage, life, period[, factor = 2]): the declining balance, never below salvage.
void fnDDB(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    double a[5];
    if (!numbers(ctx, argc, argv, a))
        return;
    const double cost = a[0], salvage = a[1], life = a[2], period = a[3], factor = argc > 4 ? a[4] : 2;
    if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || period > life || factor <= 0) {
        resultInvalid(ctx);
        return;
    }
    const double keep = std::max(0.0, 1 - factor / life);
    const double before = cost * (1 - std::pow(keep, period - 1)); // written off in earlier periods
    const double d = std::min(cost * std::pow(keep, period - 1) * (factor / life), cost - salvage - before);
    result(ctx, std::max(0.0, d));
}

const Function functions[] = {
    {"FV", Args({N, N, N, N, N}, 3), Vt::Number, Size::Small, fnFV},
    {"PV", Args({N, N, N, N, N}, 3), Vt::Number, Size::Small, fnPV},
    {"Pmt", Args({N, N, N, N, N}, 3), Vt::Number, Size::Small, fnPmt},
    {"IPmt", Args({N, N, N, N, N, N}, 4), Vt::Number, Size::Small, fnIPmt},
    {"PPmt", Args({N, N, N, N, N, N}, 4), Vt::Number, Size::Small, fnPPmt},
    {"NPer", Args({N, N, N, N, N}, 3), Vt::Number, Size::Small, fnNPer},
    {"Rate", Args({N, N, N, N, N, N}, 3), Vt::Number, Size::Small, fnRate},
    {"SLN", {N, N, N}, Vt::Number, Size::Small, fnSLN},
    {"SYD", {N, N, N, N}, Vt::Number, Size::Small, fnSYD},
    {"DDB", Args({N, N, N, N, N}, 4), Vt::Number, Size::Small, fnDDB},
};

} // namespace

std::span<const Function> financeFunctions() { return functions; }

} // namespace accessfn
