#pragma once
// German day and month names from fixed tables, and date formatting with the
// program's format codes, which are Access's (d, dd, ddd, dddd, ddddd, dddddd, m, mm, mmm, mmmm, y,
// yy, yyyy, h, hh, n, nn, s, ss, ttttt, c, w, ww, q the quarter, AM/PM am/pm A/P a/p AMPM;
// "mm" right after an hour means minutes; "/" is the date separator "."; "text" and \x literal).
#include <QDate>
#include <QDateTime>
#include <QString>

namespace datetexts {

QString weekdayShort(const QDate &d);   // "Mo" … "So"
QString weekdayLong(const QDate &d);    // "Montag" … "Sonntag"
QString weekdayShort(int isoDay);       // 1 = Monday
QString weekdayLong(int isoDay);
QString monthLong(int month);           // "Januar" … "Dezember"
QString monthShort(int month);          // "Jan", "Feb", "Mrz" …

QString format(const QDateTime &dt, const QString &fmt);
QString format(const QDate &d, const QString &fmt);

} // namespace datetexts
