#pragma once
// Reading arguments and making results, shared by the files of the Access functions.
#include <QDateTime>
#include <QString>
#include <QVariant>

struct sqlite3_context;
struct sqlite3_value;

namespace accessfn {

// ---- arguments

QString argText(sqlite3_value *v);
QVariant argValue(sqlite3_value *v);
bool isNull(sqlite3_value *v);
bool truthy(sqlite3_value *v);
bool isNumberValue(sqlite3_value *v);
// Null in any of the first n arguments gives Null; true when the function may go on.
bool noNull(sqlite3_context *ctx, sqlite3_value **argv, int n);
// A number, a text German settings read as one ("1.234" is 1234, "2,5" is 2.5, see numericText)
// unless it is a whole date ("04.03.2009"), or Wahr/Falsch (-1/0).
bool numberArg(sqlite3_value *v, double *d);
// The same; false with the type error set when it is none.
bool numberOrError(sqlite3_context *ctx, sqlite3_value *v, double *d);
// A text Access reads as a number in German settings ("1.000,5", "2-", "(2)", "3 €", "&H1F"):
// "." groups thousands wherever it stands, "," is the decimal sign. Its value in *value when given.
bool numericText(const QString &text, double *value = nullptr);
// A length or position argument as Access reads it (rounded half to even); false, with the
// statement's error set, for Null, a value that is no number, or one below least.
bool countArg(sqlite3_context *ctx, sqlite3_value *v, int least, int *out);
// The value as the program shows it ("1,5", "01.03.2024").
QString textOf(sqlite3_value *v);

// ---- dates

// Access's serial number of a date: the days since 30.12.1899 with the time as fraction, and back
// (invalid beyond the years Access knows).
double serialOf(const QDateTime &dt);
QDateTime dateOfSerial(double serial);
// A stored date, a German date text ("04.02.2014", "4. Februar 2014", with a time), a time alone
// ("12:30") on day zero, or a serial number; invalid when it is none of these.
QDateTime dateArg(sqlite3_value *v);
// A date stored as ISO text; invalid for any other value.
QDateTime storedDate(sqlite3_value *v);
// The further forms German settings read as a date: "1/2/2012", "1-2-12", "1.2." (this year),
// "1. Februar 2012", "1 Feb 2012", each with an optional time; invalid for any other text.
QDateTime germanDate(const QString &text);

// ---- results

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
// A date as stored: ISO text, the date alone at midnight.
void resultDateTime(sqlite3_context *ctx, const QDateTime &dt);
// The errors Access shows: a value of the wrong type, an argument out of range, an overflow.
void resultTypeError(sqlite3_context *ctx);
void resultInvalid(sqlite3_context *ctx);
void resultOverflow(sqlite3_context *ctx);

// ---- long values

// Whether the running statement may go on (the user's "Abbrechen"); false also sets the result
// to "interrupted". Loops over a value ask it every so often (Pace).
bool goOn(sqlite3_context *ctx);
// Asks goOn after every megabyte of work or so.
class Pace {
public:
    explicit Pace(sqlite3_context *ctx) : m_ctx(ctx) {}
    // False (the result set) when the statement was given up.
    bool step(qint64 work = 1)
    {
        m_done += work;
        if (m_done < Every)
            return true;
        m_done = 0;
        return goOn(m_ctx);
    }

private:
    static constexpr qint64 Every = qint64(1) << 20;
    sqlite3_context *m_ctx;
    qint64 m_done = 0;
};
// UTF-8 of a UTF-16 text: its length, and written at `at` (returns the end). A lone surrogate
// counts as U+FFFD, as QString::toUtf8 writes it.
qint64 utf8Size(QStringView s);
char *putUtf8(char *at, QStringView s);

// d rounded at the given decimals on its shortest decimal digits (2.675 counts as 2.675), half to
// even or half away from zero, as text with "." ("-5000000.01"); shift moves the decimal point
// to the right first (2 for percent). platform/accessfunctions/format.cpp
QString roundedDecimal(double d, int decimals, bool halfEven, int shift = 0);

} // namespace accessfn
