#include "platform/datetexts.h"

namespace datetexts {

static const char *const kDayShort[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
static const char *const kDayLong[] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
static const char *const kMonthLong[] = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli",
                                         "August", "September", "Oktober", "November", "Dezember"};
static const char *const kMonthShort[] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul",
                                          "Aug", "Sep", "Okt", "Nov", "Dez"};

QString weekdayShort(int isoDay) { return isoDay >= 1 && isoDay <= 7 ? QString::fromLatin1(kDayShort[isoDay - 1]) : QString(); }
QString weekdayLong(int isoDay) { return isoDay >= 1 && isoDay <= 7 ? QString::fromLatin1(kDayLong[isoDay - 1]) : QString(); }
QString weekdayShort(const QDate &d) { return weekdayShort(d.dayOfWeek()); }
QString weekdayLong(const QDate &d) { return weekdayLong(d.dayOfWeek()); }
QString monthLong(int m) { return m >= 1 && m <= 12 ? QString::fromUtf8(kMonthLong[m - 1]) : QString(); }
QString monthShort(int m) { return m >= 1 && m <= 12 ? QString::fromLatin1(kMonthShort[m - 1]) : QString(); }

static QString pad(int v, int n) { return QString::number(v).rightJustified(n, '0'); }

QString format(const QDateTime &dt, const QString &fmt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    QString out;
    bool afterHour = false;
    int i = 0;
    const int n = fmt.size();
    // With AM/PM (am/pm, A/P, a/p, AMPM) anywhere the hours count on a 12-hour clock.
    const bool twelve = fmt.contains(QLatin1String("am/pm"), Qt::CaseInsensitive)
                        || fmt.contains(QLatin1String("a/p"), Qt::CaseInsensitive)
                        || fmt.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
    const int hour = twelve ? (t.hour() % 12 == 0 ? 12 : t.hour() % 12) : t.hour();
    auto at = [&](const char *word) { return fmt.mid(i, int(qstrlen(word))).compare(QLatin1String(word), Qt::CaseInsensitive) == 0; };
    auto run = [&](QChar c) {
        int k = 0;
        while (i + k < n && fmt[i + k].toLower() == c)
            ++k;
        return k;
    };
    while (i < n) {
        const QChar c = fmt[i].toLower();
        if (c == 'd') {
            afterHour = false; // "mm" means minutes only right after an hour
            int k = run('d');
            if (k == 1) out += QString::number(d.day());
            else if (k == 2) out += pad(d.day(), 2);
            else if (k == 3) out += weekdayShort(d);
            else if (k == 4) out += weekdayLong(d);
            else if (k == 5) out += format(d, QStringLiteral("dd.mm.yyyy")); // the short date
            else out += format(d, QStringLiteral("dddd, d. mmmm yyyy"));     // the long date
            i += k;
        } else if (c == 'm') {
            int k = run('m');
            if (afterHour && k <= 2) {
                out += k == 1 ? QString::number(t.minute()) : pad(t.minute(), 2);
                afterHour = false;
            } else if (k == 1) out += QString::number(d.month());
            else if (k == 2) out += pad(d.month(), 2);
            else if (k == 3) out += monthShort(d.month());
            else out += monthLong(d.month());
            i += k;
        } else if (c == 'y') {
            afterHour = false;
            int k = run('y');
            if (k == 1) out += QString::number(d.dayOfYear());
            else out += k == 2 ? pad(d.year() % 100, 2) : QString::number(d.year());
            i += k;
        } else if (c == 'h') {
            int k = run('h');
            out += k == 1 ? QString::number(hour) : pad(hour, 2);
            afterHour = true;
            i += k;
        } else if (c == 'n') {
            int k = run('n');
            out += k == 1 ? QString::number(t.minute()) : pad(t.minute(), 2);
            i += k;
        } else if (c == 's') {
            int k = run('s');
            out += k == 1 ? QString::number(t.second()) : pad(t.second(), 2);
            i += k;
        } else if (c == 'w') {
            // w the day of the week from Sunday = 1, ww the week of the year (weeks from Sunday,
            // the first one holding 1 January)
            int k = run('w');
            const int fromSunday = d.dayOfWeek() % 7;
            if (k == 1) out += QString::number(fromSunday + 1);
            else out += QString::number((d.dayOfYear() - 1 + QDate(d.year(), 1, 1).dayOfWeek() % 7) / 7 + 1);
            i += k;
        } else if (c == 'c' || (c == 't' && run('t') == 5)) {
            // c the date with the time when there is one (the time alone on day zero, midnight too), ttttt the time
            const bool dayZero = d == QDate(1899, 12, 30);
            QString part;
            if (c == 'c' && !dayZero)
                part = format(d, QStringLiteral("dd.mm.yyyy"));
            if (c == 't' || t != QTime(0, 0) || dayZero)
                part += (part.isEmpty() ? QString() : QStringLiteral(" ")) + t.toString(QStringLiteral("HH:mm:ss"));
            out += part;
            i += c == 'c' ? 1 : 5;
        } else if (twelve && (at("am/pm") || at("a/p") || at("ampm"))) {
            const bool pm = t.hour() >= 12;
            if (at("a/p")) {
                out += fmt[i + (pm ? 2 : 0)];
                i += 3;
            } else if (at("ampm")) {
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
                i += 4;
            } else {
                out += fmt.mid(i + (pm ? 3 : 0), 2);
                i += 5;
            }
        } else if (c == 'q') {
            out += QString::number((d.month() - 1) / 3 + 1);
            ++i;
        } else if (c == '/') {
            out += QLatin1Char('.'); // the date separator of German settings
            ++i;
        } else if (c == '"') {
            // "text" stands as it is
            const int close = int(fmt.indexOf(QLatin1Char('"'), i + 1));
            const int end = close < 0 ? n : close;
            out += fmt.mid(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == '\\' && i + 1 < n) {
            out += fmt[i + 1];
            i += 2;
        } else {
            out += fmt[i];
            ++i;
        }
    }
    return out;
}

QString format(const QDate &d, const QString &fmt) { return format(QDateTime(d, QTime(0, 0)), fmt); }

} // namespace datetexts
