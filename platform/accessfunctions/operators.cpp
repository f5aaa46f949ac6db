// What the translator writes for Access's operators and implicit conversions (platform/accesssql.h):
// &, + and -, And, Or, Xor, Eqv and Imp on numbers, a text read as a date or a number where it
// meets one, a date as its serial number or as German text; and IdSchluessel, the comparison form
// of the program's person ids. No typed statement calls these by name.
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"
#include "platform/valuetext.h"

#include <QVarLengthArray>
#include <cstring>
#include <sqlite3.h>

namespace accessfn {

namespace {

// a & b: Null counts as empty, all Null gives Null. The parts' size decides before anything
// is copied (nested concatenations double quickly), and the parts are joined as UTF-8 in the
// engine's own memory, which takes the result over without a further copy.
void fnAccConcat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const auto raw = [](int type) { return type == SQLITE_TEXT || type == SQLITE_BLOB; };
    // Numbers and dates as the program shows them ("1,5"); texts as they are.
    QVarLengthArray<QByteArray, 8> shown(argc);
    qint64 size = 0;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        const int type = sqlite3_value_type(argv[i]);
        if (type == SQLITE_NULL)
            continue;
        any = true;
        size += raw(type) ? sqlite3_value_bytes(argv[i]) : (shown[i] = textOf(argv[i]).toUtf8()).size();
    }
    if (!any) {
        sqlite3_result_null(ctx);
        return;
    }
    char *out = textBuffer(ctx, size);
    if (!out)
        return;
    char *at = out;
    for (int i = 0; i < argc; ++i) {
        const int type = sqlite3_value_type(argv[i]);
        const void *part = type == SQLITE_TEXT ? static_cast<const void *>(sqlite3_value_text(argv[i]))
                         : type == SQLITE_BLOB ? sqlite3_value_blob(argv[i])
                                               : shown[i].constData();
        const qint64 n = raw(type) ? sqlite3_value_bytes(argv[i]) : shown[i].size();
        if (n > 0)
            std::memcpy(at, part, size_t(n));
        at += n;
    }
    resultOwnedText(ctx, out, size);
}

// A stored date's serial number; false when the value is no stored date.
bool storedSerial(sqlite3_value *v, double *serial)
{
    const QDateTime dt = storedDate(v);
    if (dt.isValid())
        *serial = serialOf(dt);
    return dt.isValid();
}

// a + b and a - b as Access computes them: numbers add, two texts concatenate (+ only),
// a date and a number move the date by days, two dates give their distance in days (- only),
// a text holding a number counts as that number.
void arith(sqlite3_context *ctx, sqlite3_value **argv, bool plus)
{
    if (!noNull(ctx, argv, 2))
        return;
    sqlite3_value *a = argv[0], *b = argv[1];
    if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
        const qint64 x = sqlite3_value_int64(a), y = sqlite3_value_int64(b);
        sqlite3_result_int64(ctx, plus ? x + y : x - y);
        return;
    }
    const bool textA = sqlite3_value_type(a) == SQLITE_TEXT, textB = sqlite3_value_type(b) == SQLITE_TEXT;
    if (plus && textA && textB) {
        sqlite3_value *both[] = {a, b};
        fnAccConcat(ctx, 2, both);
        return;
    }
    double da = 0, db = 0;
    const bool dateA = storedSerial(a, &da), dateB = storedSerial(b, &db);
    if (dateA && dateB && !plus) {
        resultNumber(ctx, da - db);
        return;
    }
    if (dateA != dateB) {
        double days = 0;
        if (!numberArg(dateA ? b : a, &days) || (!plus && dateB)) {
            sqlite3_result_error(ctx, "Datentypen unverträglich", -1);
            return;
        }
        const QDateTime dt = dateOfSerial(dateA ? (plus ? da + days : da - days) : db + days);
        if (dt.isValid())
            resultDateTime(ctx, dt);
        else
            resultOverflow(ctx);
        return;
    }
    double x = 0, y = 0;
    if (!numberArg(a, &x) || !numberArg(b, &y)) {
        sqlite3_result_error(ctx, "Datentypen unverträglich", -1);
        return;
    }
    if (isNumberValue(a) && isNumberValue(b))
        sqlite3_result_double(ctx, plus ? x + y : x - y);
    else
        resultNumber(ctx, plus ? x + y : x - y);
}
void fnAccPlus(sqlite3_context *c, int, sqlite3_value **a) { arith(c, a, true); }
void fnAccMinus(sqlite3_context *c, int, sqlite3_value **a) { arith(c, a, false); }

// A value compared with a date: its date as stored ISO text; a text that is no date stops the
// statement with Access's error, or (second argument true: compared with a value that may be a
// text) stays as it is.
void fnAccAsDate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const QDateTime dt = dateArg(argv[0]);
    if (dt.isValid())
        resultDateTime(ctx, dt);
    else if (argc > 1 && truthy(argv[1]))
        sqlite3_result_value(ctx, argv[0]);
    else
        sqlite3_result_error(ctx, "Datentypen in Kriterienausdruck unverträglich", -1);
}

// A value compared with a number: a text becomes its number as German settings read it; a text
// that is no number stops the statement.
void fnAccAsNumber(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (!noNull(ctx, argv, 1))
        return;
    if (isNumberValue(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else if (numberArg(argv[0], &d))
        resultNumber(ctx, d);
    else
        sqlite3_result_error(ctx, "Datentypen in Kriterienausdruck unverträglich", -1);
}

// A date where Access takes a number (CDbl, CLng, Int …): its serial number; any other value
// unchanged.
void fnAccDateNumber(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double serial = 0;
    if (storedSerial(argv[0], &serial))
        resultNumber(ctx, serial);
    else
        sqlite3_result_value(ctx, argv[0]);
}

// A stored date as text the way vt::dateTimeText shows it (where Access turns a date into text),
// any other value unchanged.
void fnAccDateToText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QDateTime dt = storedDate(argv[0]);
    if (dt.isValid())
        resultText(ctx, vt::dateTimeText(dt));
    else
        sqlite3_result_value(ctx, argv[0]);
}

// And, Or, Xor, Eqv and Imp of two Longs bit by bit, as Access computes them on numbers (the
// translator passes truth values as -1 and 0). Null gives Null unless the other value decides
// alone: 0 And Null is 0, -1 Or Null is -1, 0 Imp Null and Null Imp -1 are -1.
enum class Bits { And, Or, Xor, Eqv, Imp };
template <Bits B> void fnBits(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const bool nullA = sqlite3_value_type(argv[0]) == SQLITE_NULL, nullB = sqlite3_value_type(argv[1]) == SQLITE_NULL;
    const qint64 a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
    const auto isLong = [](qint64 v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if ((!nullA && !isLong(a)) || (!nullB && !isLong(b))) {
        resultOverflow(ctx);
        return;
    }
    if (nullA || nullB) {
        const bool decided = B == Bits::And ? (!nullA && a == 0) || (!nullB && b == 0)
                           : B == Bits::Or  ? (!nullA && a == -1) || (!nullB && b == -1)
                           : B == Bits::Imp ? (!nullA && a == 0) || (!nullB && b == -1)
                                            : false;
        if (decided)
            sqlite3_result_int64(ctx, B == Bits::And ? 0 : -1);
        else
            sqlite3_result_null(ctx);
        return;
    }
    const qint64 r = B == Bits::And ? a & b : B == Bits::Or ? a | b : B == Bits::Xor ? a ^ b : B == Bits::Eqv ? ~(a ^ b)
                                                                                                                   : ~a | b;
    sqlite3_result_int64(ctx, r);
}

// IdSchluessel(id): the comparison form of a person id (vt::idSchluessel); Null gives Null.
void fnIdSchluessel(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (noNull(ctx, argv, 1))
        resultText(ctx, vt::idSchluessel(textOf(argv[0])));
}

const Function functions[] = {
    {"AccConcat", Args({T}, 1, 1), Vt::Text, Size::Counted, fnAccConcat},
    {"AccPlus", {A, A}, Vt::Unknown, Size::Counted, fnAccPlus},
    {"AccMinus", {A, A}, Vt::Unknown, Size::Small, fnAccMinus},
    {"AccAsDate", Args({A, A}, 1), Vt::Date, Size::Args, fnAccAsDate},
    {"AccAsNumber", {A}, Vt::Number, Size::Small, fnAccAsNumber},
    {"AccDateNumber", {A}, Vt::Number, Size::Args, fnAccDateNumber},
    {"AccDateToText", {A}, Vt::Text, Size::Args, fnAccDateToText},
    {"AccAnd", {A, A}, Vt::Number, Size::Small, fnBits<Bits::And>},
    {"AccOr", {A, A}, Vt::Number, Size::Small, fnBits<Bits::Or>},
    {"AccXor", {A, A}, Vt::Number, Size::Small, fnBits<Bits::Xor>},
    {"AccEqv", {A, A}, Vt::Number, Size::Small, fnBits<Bits::Eqv>},
    {"AccImp", {A, A}, Vt::Number, Size::Small, fnBits<Bits::Imp>},
    {"IdSchluessel", {T}, Vt::Text, Size::Args, fnIdSchluessel},
};

} // namespace

std::span<const Function> helperFunctions() { return functions; }

} // namespace accessfn
