#pragma once
// Argument and result helpers shared by the files of the registered Access functions.
#include <QDateTime>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace accessfn {

QString argText(sqlite3_value *v);
QVariant argValue(sqlite3_value *v);
bool isNull(sqlite3_value *v);
bool truthy(sqlite3_value *v);
bool isNumberValue(sqlite3_value *v);
// A number, a text holding one (decimal comma or point, else as numericText reads it), or
// Wahr/Falsch (-1/0).
bool numberArg(sqlite3_value *v, double *d);
// A text Access reads as a number in German settings ("1.000,5", "2-", "(2)", "3 €", "&H1F"),
// its value in *value when given. platform/accessfuncs_text.cpp
bool numericText(const QString &text, double *value = nullptr);
// The value as the program shows it ("1,5", "01.03.2024").
QString textOf(sqlite3_value *v);
// A stored date, a German date text ("04.02.2014", "4. Februar 2014", with a time), a time alone
// ("12:30") on day zero, or a number of days since 30.12.1899; invalid when it is none of these.
QDateTime dateArg(sqlite3_value *v);
// The further forms German settings read as a date: "1/2/2012", "1-2-12", "1.2." (this year),
// "1. Februar 2012", "1 Feb 2012", each with an optional time; invalid for any other text.
QDateTime germanDate(const QString &text);

// False, with the engine's "too big" error as the result, when a value of that many bytes is
// longer than the connection allows (its length limit).
bool fitsLength(sqlite3_context *ctx, qint64 bytes);
// Memory for a UTF-8 result of that many bytes, made in the engine's memory so that
// resultOwnedText hands it over without a copy; nullptr (the error set) when it is too long.
char *textBuffer(sqlite3_context *ctx, qint64 bytes);
void resultOwnedText(sqlite3_context *ctx, char *text, qint64 bytes);
void resultText(sqlite3_context *ctx, const QString &s);
// Whole numbers as INTEGER, others as REAL.
void resultNumber(sqlite3_context *ctx, double d);
// Days since the Julian day 0 with the time as fraction, stored as ISO text (date alone at midnight).
void resultDate(sqlite3_context *ctx, double days);
void resultDateTime(sqlite3_context *ctx, const QDateTime &dt);
// The error that Access shows for a value of the wrong type.
void resultTypeError(sqlite3_context *ctx);

// d rounded at the given decimals on its shortest decimal digits (2.675 counts as 2.675), half to
// even or half away from zero, as text with "." ("-5000000.01"); shift moves the decimal point
// to the right first (2 for percent).
QString roundedDecimal(double d, int decimals, bool halfEven, int shift = 0);

// The further functions (dates, numbers, texts, First/Last): accessfuncs_dates.cpp, accessfuncs_more.cpp,
// accessfuncs_text.cpp.
// A length or position argument as Access reads it (rounded half to even); false, with the
// statement's error set, for Null, a value that is no number, or one below least.
bool countArg(sqlite3_context *ctx, sqlite3_value *v, int least, int *out);
// One scalar function of a registration table; flags 0 means deterministic UTF-8.
struct ScalarFn {
    const char *name;
    int nArg;
    void (*fn)(sqlite3_context *, int, sqlite3_value **);
    int flags = 0;
};
void registerScalars(sqlite3 *db, const ScalarFn *fns, int count);
// Registers one so that each call first asks the go-on check of a running statement (GoOnCheck).
void registerChecked(sqlite3 *db, const ScalarFn &fn);
template <int N> void registerScalars(sqlite3 *db, const ScalarFn (&fns)[N]) { registerScalars(db, fns, N); }

void registerDateFunctions(sqlite3 *db);
// The date mask with its "w" and "ww" written out for d, counted from the first day of the week
// and the first week of the year in argv[at] and argv[at + 1] (as DatePart reads them).
QString withWeeks(const QString &mask, const QDate &d, int argc, sqlite3_value **argv, int at);
void registerMoreFunctions(sqlite3 *db);
void registerTextFunctions(sqlite3 *db); // platform/accessfuncs_text.cpp
// Format, FormatNumber, FormatPercent, FormatCurrency, FormatDateTime, and AccDateToText(value):
// a stored date as text the way vt::dateTimeText shows it (the translator wraps date values in it
// where Access turns them into text), any other value unchanged. platform/accessfuncs_format.cpp
void registerFormatFunctions(sqlite3 *db);
// AccAsDate(value[, keepText]), AccAsNumber(value) where Access converts a text implicitly in a
// comparison, AccDateNumber(value) where a date meets a function that takes numbers, and the
// collation DEU. platform/accessfuncs_compare.cpp
void registerCompareFunctions(sqlite3 *db);

} // namespace accessfn
