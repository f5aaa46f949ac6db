// Date functions as Access computes them: Date, Date$, Now, Time, Time$, Timer, Year, Month,
// Day, Hour, Minute, Second, DateSerial, DateAdd, DateDiff, DatePart, Weekday, WeekdayName,
// MonthName, CDate, CVDate, DateValue, TimeSerial, TimeValue, IsDate. A Null argument gives Null
// (IsDate: False); a value that is no date gives "Typen unverträglich".
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QDate>
#include <cmath>
#include <sqlite3.h>

namespace accessfn {

namespace {

enum Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second, NoInterval };

Interval interval(const QString &text)
{
    const QString s = text.trimmed().toLower();
    static const QStringList names{"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"};
    const int i = int(names.indexOf(s));
    return i < 0 ? NoInterval : Interval(i);
}

// The interval of DateAdd, DateDiff and DatePart in argv[0]; NoInterval when one of the first
// count arguments is Null (the result Null) or the text names no interval (the type error).
Interval intervalArg(sqlite3_context *ctx, sqlite3_value **argv, int count)
{
    if (!noNull(ctx, argv, count))
        return NoInterval;
    const Interval iv = interval(argText(argv[0]));
    if (iv == NoInterval)
        resultTypeError(ctx);
    return iv;
}

// Sunday = 1 … Saturday = 7, as vbSunday … vbSaturday.
int sundayBased(const QDate &d) { return d.dayOfWeek() % 7 + 1; }

// The first day of the week: 1 Sunday (default) … 7 Saturday; 0 (the system's) is Monday here.
int firstDayArg(int argc, sqlite3_value **argv, int at)
{
    if (argc <= at || isNull(argv[at]))
        return 1;
    const int f = sqlite3_value_int(argv[at]);
    return f == 0 ? 2 : qBound(1, f, 7);
}

// Days from the week's first day to d (0 … 6).
int intoWeek(const QDate &d, int firstDay) { return (sundayBased(d) - firstDay + 7) % 7; }

// Monday of the first week of a year: 1 the week of 1 January (default), 2 the first week with
// four days in the year, 3 the first whole week.
qint64 firstWeekStart(int year, int firstDay, int rule)
{
    const QDate jan1(year, 1, 1);
    const int off = intoWeek(jan1, firstDay);
    const qint64 start = jan1.toJulianDay() - off;
    if (rule == 2 && 7 - off < 4)
        return start + 7;
    if (rule == 3 && off != 0)
        return start + 7;
    return start;
}

int weekOfYear(const QDate &d, int firstDay, int rule)
{
    int year = d.year();
    qint64 start = firstWeekStart(year, firstDay, rule);
    if (d.toJulianDay() < start)
        start = firstWeekStart(--year, firstDay, rule);
    return int((d.toJulianDay() - start) / 7) + 1;
}

// Access rounds the number of DateAdd to a whole number, half to even.
qint64 wholeNumber(double d) { return qint64(std::nearbyint(d)); }

QDate addMonths(const QDate &d, qint64 months)
{
    // QDate::addMonths keeps the day within the month: 31.01. + 1 month = 29.02. in a leap year.
    return d.addMonths(int(months));
}

bool dateArgs(sqlite3_context *ctx, sqlite3_value *v, QDateTime *out)
{
    *out = dateArg(v);
    if (!out->isValid())
        resultTypeError(ctx);
    return out->isValid();
}

// Null gives Null, a value that is no date the type error; true when dt holds the date.
bool datumOderNull(sqlite3_context *ctx, sqlite3_value *v, QDateTime *dt)
{
    if (isNull(v)) {
        sqlite3_result_null(ctx);
        return false;
    }
    return dateArgs(ctx, v, dt);
}

void fnDateSerial(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2])) {
        sqlite3_result_null(ctx);
        return;
    }
    double y = 0, m = 0, d = 0;
    if (!numberArg(argv[0], &y) || !numberArg(argv[1], &m) || !numberArg(argv[2], &d)) {
        resultTypeError(ctx);
        return;
    }
    const qint64 year = vt::fullYear(int(std::clamp<qint64>(wholeNumber(y), -1, 100000)), 2);
    // Months and days beyond their range carry over: month 13 is January of the next year,
    // day 0 the last day of the month before.
    const QDate first = QDate(int(year), 1, 1).addMonths(int(wholeNumber(m) - 1));
    if (!first.isValid() || std::fabs(d) > 3e6) {
        resultTypeError(ctx);
        return;
    }
    resultDateTime(ctx, QDateTime(first.addDays(wholeNumber(d) - 1), QTime(0, 0)));
}

void fnDateAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const Interval iv = intervalArg(ctx, argv, 3);
    double number = 0;
    QDateTime dt;
    if (iv == NoInterval)
        return;
    if (!numberArg(argv[1], &number) || std::fabs(number) > 1e7) {
        resultTypeError(ctx);
        return;
    }
    if (!dateArgs(ctx, argv[2], &dt))
        return;
    const qint64 n = wholeNumber(number);
    switch (iv) {
    case Year:
        dt.setDate(addMonths(dt.date(), 12 * n));
        break;
    case Quarter:
        dt.setDate(addMonths(dt.date(), 3 * n));
        break;
    case Month:
        dt.setDate(addMonths(dt.date(), n));
        break;
    case DayOfYear:
    case Day:
    case Weekday:
        dt = dt.addDays(n);
        break;
    case Week:
        dt = dt.addDays(7 * n);
        break;
    case Hour:
        dt = dt.addSecs(3600 * n);
        break;
    case Minute:
        dt = dt.addSecs(60 * n);
        break;
    case Second:
        dt = dt.addSecs(n);
        break;
    case NoInterval:
        break;
    }
    resultDateTime(ctx, dt);
}

// DateDiff counts the boundaries crossed between the two dates: "yyyy" from 31.12. to 01.01. is 1,
// "ww" counts the first days of the week (Sundays by default), "w" counts whole weeks.
void fnDateDiff(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const Interval iv = intervalArg(ctx, argv, 3);
    if (iv == NoInterval)
        return;
    QDateTime a, b;
    if (!dateArgs(ctx, argv[1], &a) || !dateArgs(ctx, argv[2], &b))
        return;
    const QDate da = a.date(), db = b.date();
    const qint64 days = db.toJulianDay() - da.toJulianDay();
    auto secondsOf = [](const QDateTime &x) {
        return x.date().toJulianDay() * 86400 + x.time().msecsSinceStartOfDay() / 1000;
    };
    qint64 out = 0;
    switch (iv) {
    case Year:
        out = db.year() - da.year();
        break;
    case Quarter:
        out = (db.year() * 4 + (db.month() - 1) / 3) - (da.year() * 4 + (da.month() - 1) / 3);
        break;
    case Month:
        out = (db.year() * 12 + db.month()) - (da.year() * 12 + da.month());
        break;
    case DayOfYear:
    case Day:
        out = days;
        break;
    case Weekday:
        out = days / 7;
        break;
    case Week: {
        const int first = firstDayArg(argc, argv, 3);
        out = ((db.toJulianDay() - intoWeek(db, first)) - (da.toJulianDay() - intoWeek(da, first))) / 7;
        break;
    }
    case Hour:
        out = secondsOf(b) / 3600 - secondsOf(a) / 3600;
        break;
    case Minute:
        out = secondsOf(b) / 60 - secondsOf(a) / 60;
        break;
    case Second:
        out = secondsOf(b) - secondsOf(a);
        break;
    case NoInterval:
        break;
    }
    sqlite3_result_int64(ctx, out);
}

void fnDatePartOf(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const Interval iv = intervalArg(ctx, argv, 2);
    if (iv == NoInterval)
        return;
    QDateTime dt;
    if (!dateArgs(ctx, argv[1], &dt))
        return;
    const QDate d = dt.date();
    const int first = firstDayArg(argc, argv, 2);
    const int rule = argc > 3 && !isNull(argv[3]) ? qBound(1, sqlite3_value_int(argv[3]), 3) : 1;
    int out = 0;
    switch (iv) {
    case Year:
        out = d.year();
        break;
    case Quarter:
        out = (d.month() - 1) / 3 + 1;
        break;
    case Month:
        out = d.month();
        break;
    case DayOfYear:
        out = d.dayOfYear();
        break;
    case Day:
        out = d.day();
        break;
    case Weekday:
        out = intoWeek(d, first) + 1;
        break;
    case Week:
        out = weekOfYear(d, first, rule);
        break;
    case Hour:
        out = dt.time().hour();
        break;
    case Minute:
        out = dt.time().minute();
        break;
    case Second:
        out = dt.time().second();
        break;
    case NoInterval:
        break;
    }
    sqlite3_result_int(ctx, out);
}

void fnWeekday(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    QDateTime dt;
    if (datumOderNull(ctx, argv[0], &dt))
        sqlite3_result_int(ctx, intoWeek(dt.date(), firstDayArg(argc, argv, 1)) + 1);
}

// Year, Month, Day, Hour, Minute, Second of a date.
void partOf(sqlite3_context *ctx, sqlite3_value *v, int which)
{
    QDateTime dt;
    if (!datumOderNull(ctx, v, &dt))
        return;
    const QDate d = dt.date();
    const QTime t = dt.time();
    const int parts[] = {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
    sqlite3_result_int(ctx, parts[which]);
}
void fnYear(sqlite3_context *c, int, sqlite3_value **a) { partOf(c, a[0], 0); }
void fnMonth(sqlite3_context *c, int, sqlite3_value **a) { partOf(c, a[0], 1); }
void fnDay(sqlite3_context *c, int, sqlite3_value **a) { partOf(c, a[0], 2); }
void fnHour(sqlite3_context *c, int, sqlite3_value **a) { partOf(c, a[0], 3); }
void fnMinute(sqlite3_context *c, int, sqlite3_value **a) { partOf(c, a[0], 4); }
void fnSecond(sqlite3_context *c, int, sqlite3_value **a) { partOf(c, a[0], 5); }

// CDate keeps the time, DateValue drops it.
void zuDatum(sqlite3_context *ctx, sqlite3_value *v, bool ohneZeit)
{
    QDateTime dt;
    if (datumOderNull(ctx, v, &dt))
        resultDateTime(ctx, ohneZeit ? QDateTime(dt.date(), QTime(0, 0)) : dt);
}
void fnCDate(sqlite3_context *ctx, int, sqlite3_value **argv) { zuDatum(ctx, argv[0], false); }
void fnDateValue(sqlite3_context *ctx, int, sqlite3_value **argv) { zuDatum(ctx, argv[0], true); }

// Texts that CDate reads; numbers are no dates for IsDate.
void fnIsDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const bool date = sqlite3_value_type(argv[0]) == SQLITE_TEXT && dateArg(argv[0]).isValid();
    sqlite3_result_int(ctx, date ? -1 : 0);
}


void fnDate(sqlite3_context *ctx, int, sqlite3_value **) { resultText(ctx, zdb::isoDate(QDate::currentDate())); }

void fnNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, zdb::isoDateTime(QDateTime::currentDateTime()));
}

// Date$ and Time$ are texts as VBA writes them whatever the settings: "12-07-2026", "10:20:30".
void fnDateText(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));
}

void fnTimeText(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

// Timer: the seconds since midnight, to the hundredth.
void fnTimer(sqlite3_context *ctx, int, sqlite3_value **)
{
    sqlite3_result_double(ctx, std::floor(QTime::currentTime().msecsSinceStartOfDay() / 10.0) / 100.0);
}

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
        resultInvalid(ctx);
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
        resultInvalid(ctx);
        return;
    }
    const bool shortName = argc > 1 && truthy(argv[1]);
    resultText(ctx, shortName ? datetexts::monthShort(month) : datetexts::monthLong(month));
}

// Time of day on Access's day zero, as a time literal is stored.
void resultTime(sqlite3_context *ctx, qint64 secs)
{
    resultText(ctx, zdb::isoDateTime(dateOfSerial(double(secs) / 86400.0)));
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
        resultOverflow(ctx);
        return;
    }
    resultTime(ctx, qint64(secs));
}

// TimeValue: the time of a date or a time text; a date alone gives midnight.
void fnTimeValue(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QDateTime dt;
    if (datumOderNull(ctx, argv[0], &dt))
        resultTime(ctx, dt.time().msecsSinceStartOfDay() / 1000);
}

} // namespace

QString withWeeks(const QString &mask, const QDate &d, int argc, sqlite3_value **argv, int at)
{
    const int first = firstDayArg(argc, argv, at);
    const int rule = argc > at + 1 && !isNull(argv[at + 1]) ? qBound(1, sqlite3_value_int(argv[at + 1]), 3) : 1;
    QString out;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            out += mask.mid(i, 2);
            ++i;
        } else if (c == '"' || c == '[') {
            const int close = int(mask.indexOf(c == '"' ? '"' : ']', i + 1));
            const int end = close < 0 ? int(mask.size()) - 1 : close;
            out += mask.mid(i, end - i + 1);
            i = end;
        } else if (c.toLower() == 'w') {
            const bool week = i + 1 < mask.size() && mask[i + 1].toLower() == 'w';
            out += '"' + QString::number(week ? weekOfYear(d, first, rule) : intoWeek(d, first) + 1) + '"';
            i += week ? 1 : 0;
        } else
            out += c;
    }
    return out;
}

namespace {

const Function functions[] = {
    {"Date", {}, Vt::Date, Size::Small, fnDate, nullptr, Varies},
    {"Date$", {}, Vt::Text, Size::Small, fnDateText, "AccDateDollar", Varies},
    {"Now", {}, Vt::Date, Size::Small, fnNow, nullptr, Varies},
    {"Time", {}, Vt::Date, Size::Small, fnTime, nullptr, Varies},
    {"Time$", {}, Vt::Text, Size::Small, fnTimeText, "AccTimeDollar", Varies},
    {"Timer", {}, Vt::Number, Size::Small, fnTimer, nullptr, Varies},
    {"Year", {D}, Vt::Number, Size::Small, fnYear},
    {"Month", {D}, Vt::Number, Size::Small, fnMonth},
    {"Day", {D}, Vt::Number, Size::Small, fnDay},
    {"Hour", {D}, Vt::Number, Size::Small, fnHour},
    {"Minute", {D}, Vt::Number, Size::Small, fnMinute},
    {"Second", {D}, Vt::Number, Size::Small, fnSecond},
    {"DateSerial", {N, N, N}, Vt::Date, Size::Small, fnDateSerial},
    {"DateAdd", {T, N, D}, Vt::Date, Size::Small, fnDateAdd},
    {"DateDiff", Args({T, D, D, N, N}, 3), Vt::Number, Size::Small, fnDateDiff},
    {"DatePart", Args({T, D, N, N}, 2), Vt::Number, Size::Small, fnDatePartOf},
    {"Weekday", Args({D, N}, 1), Vt::Number, Size::Small, fnWeekday},
    {"WeekdayName", Args({N, N, N}, 1), Vt::Text, Size::Small, fnWeekdayName},
    {"MonthName", Args({N, N}, 1), Vt::Text, Size::Small, fnMonthName},
    {"CDate", {D}, Vt::Date, Size::Small, fnCDate},
    {"CVDate", {D}, Vt::Date, Size::Small, fnCDate},
    {"DateValue", {D}, Vt::Date, Size::Small, fnDateValue},
    {"TimeSerial", {N, N, N}, Vt::Date, Size::Small, fnTimeSerial},
    {"TimeValue", {D}, Vt::Date, Size::Small, fnTimeValue},
    {"IsDate", {A}, Vt::Number, Size::Small, fnIsDate},
};

} // namespace

std::span<const Function> dateFunctions() { return functions; }

} // namespace accessfn
