// Comparison helpers of the Access dialect: the German collation used for every text
// comparison, and the implicit conversions Access makes when a date or a number meets a text.
#include "platform/accessfuncs.h"
#include "platform/accessfuncs_detail.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace accessfn {

namespace {

bool asciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int collateDEU(void *, int la, const void *a, int lb, const void *b)
{
    // Equal ASCII letters up to a difference of two ASCII letters decide without the collator: a
    // scan over a big table calls this once per row, and letters carry no contractions here.
    const auto *pa = static_cast<const unsigned char *>(a), *pb = static_cast<const unsigned char *>(b);
    for (int i = 0; i < la && i < lb && asciiLetter(pa[i]) && asciiLetter(pb[i]); ++i) {
        const int ca = pa[i] | 0x20, cb = pb[i] | 0x20;
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return germanEqualCompare(QString::fromUtf8(static_cast<const char *>(a), la),
                              QString::fromUtf8(static_cast<const char *>(b), lb));
}

// A value compared with a date: its date as stored ISO text; a text that is no date stops the
// statement with Access's error, or (second argument true: compared with a value that may be a
// text) stays as it is.
void fnAccAsDate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QDateTime dt = dateArg(argv[0]);
    if (dt.isValid())
        resultDateTime(ctx, dt);
    else if (argc > 1 && truthy(argv[1]))
        sqlite3_result_value(ctx, argv[0]);
    else
        sqlite3_result_error(ctx, "Datentypen in Kriterienausdruck unverträglich", -1);
}

// A value compared with a number: a text becomes its number (decimal comma); a text that is no
// number stops the statement.
void fnAccAsNumber(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double d = 0;
    if (isNumberValue(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else if (numberArg(argv[0], &d))
        resultNumber(ctx, d);
    else
        sqlite3_result_error(ctx, "Datentypen in Kriterienausdruck unverträglich", -1);
}

// A date where Access takes a number (CDbl, CLng, Int …): its serial number, the days since
// 30.12.1899 with the time as fraction; any other value unchanged.
void fnAccDateNumber(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QDateTime dt =
        sqlite3_value_type(argv[0]) == SQLITE_TEXT ? zdb::dateTimeFromStored(argText(argv[0])) : QDateTime();
    if (!dt.isValid()) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    resultNumber(ctx, double(QDate(1899, 12, 30).daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0);
}

} // namespace

static int monthOf(const QString &word)
{
    const QString w = word.toLower();
    for (int m = 1; m <= 12; ++m) {
        const QString lang = datetexts::monthLong(m).toLower();
        if (w == lang || w == datetexts::monthShort(m).toLower() || w == lang.left(3))
            return m;
    }
    return 0;
}

// The further forms German settings read as a date: "1/2/2012", "1-2-12", "1.2." (this year),
// "1. Februar 2012", "1 Feb 2012", each with an optional time "h:mm" or "h:mm:ss"; a day that
// cannot be a month is read as the day ("12/31/2011").
QDateTime germanDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,2})(?:\\.\\s*|\\s*[/-]\\s*|\\s+)(\\d{1,2}|\\p{L}+)"
        "(?:(?:\\.\\s*|\\s*[/-]\\s*|\\s+)(\\d{1,4}))?\\.?(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = re.match(vt::trimBlanks(text));
    if (!m.hasMatch())
        return {};
    const QString monat = m.captured(2);
    const int month = monat[0].isDigit() ? monat.toInt() : monthOf(monat);
    int year = QDate::currentDate().year();
    if (!m.captured(3).isEmpty()) {
        year = m.captured(3).toInt();
        if (m.captured(3).size() <= 2)
            year += year < 30 ? 2000 : 1900;
    }
    QDate d(year, month, m.captured(1).toInt());
    if (!d.isValid() && monat[0].isDigit()) // "12/31/2011": day and month the other way round
        d = QDate(year, m.captured(1).toInt(), month);
    const QTime t = m.captured(4).isEmpty()
                        ? QTime(0, 0)
                        : QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    return d.isValid() && t.isValid() ? QDateTime(d, t) : QDateTime();
}

void registerCompareFunctions(sqlite3 *db)
{
    static const ScalarFn fns[] = {
        {"AccAsDate", 1, fnAccAsDate},
        {"AccAsDate", 2, fnAccAsDate},
        {"AccAsNumber", 1, fnAccAsNumber},
        {"AccDateNumber", 1, fnAccDateNumber},
    };
    registerScalars(db, fns);
    sqlite3_create_collation_v2(db, "DEU", SQLITE_UTF8, nullptr, collateDEU, nullptr);
}

} // namespace accessfn
