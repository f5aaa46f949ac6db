#pragma once
// Values shown as text the way the program shows them everywhere:
// 4 -> "4", 1.5 -> "1,5", Null -> "", True -> "Wahr", a date -> "dd.mm.yyyy",
// a date with time -> "dd.mm.yyyy hh:mm:ss" (time left out at midnight).
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace vt {

QString valueText(const QVariant &v);
// A date as Access shows it in a list or a text: the time only when there is one, and a time
// alone (on Access's day zero, 30.12.1899, itself "00:00:00") without the date: "10:20:30".
QString dateTimeText(const QDateTime &dt);
// Reads such a text back into a value ("" gives Null; anything else that is no
// number, date or Wahr/Falsch stays text).
QVariant textValue(const QString &text);

QString numberText(double d);                   // up to 15 significant digits, decimal comma
bool parseNumber(const QString &text, double *out); // "." and "," both accepted as decimal sign
QDate parseDate(const QString &text);           // "dd.mm.yyyy" (also d.m.yy) or ISO; invalid when not a date
// A year written with up to two digits as Access reads it: 0 … 29 this century, 30 … 99 the
// last ("1.1.30" is 1930, "1.1.29" 2029); a longer one as it is.
int fullYear(int year, int digits);
// The same dates with an optional time ("04.02.2014 10:30", "2014-02-04 10:30:00", "2014-02-04T10:30");
// midnight when no time is given, invalid when the text is no date or no time of day.
QDateTime parseDateTime(const QString &text);

QString trimBlanks(const QString &s);            // removes blanks only (tabs stay)
QString upperCase(const QString &s);             // character by character ("ß" stays), as UCase does
QString upperTrim(const QString &s);             // upper case of trimBlanks
// The comparison form of a person id: blanks at both ends removed, case ignored as German
// ignores it (upper case "SS" of "ß" and "ẞ", "FF" of "ﬀ", "I" of "ı"; Kelvin sign as k,
// Ångström sign as å), canonically equal forms alike. Two ids name one person exactly when their
// forms are equal. A printable-ASCII id gives its lower case.
QString idSchluessel(const QString &s);
// A GLOB pattern (quoted for SQL) that every id beyond ASCII whose comparison form is ASCII meets:
// it holds a character whose own form is ASCII (ß, ı, ſ, ẞ, Kelvin sign, ﬀ to ﬆ, U+037E, U+1FEF).
QString idNachAsciiGlob();
// The comparison form of the id column `spalte` written with SQLite's own functions only (so any
// connection keeps an index on it): equal to idSchluessel for every id whose form is ASCII, and
// for every id made of printable ASCII, the characters of idNachAsciiGlob and the umlauts; for
// every other id a text that meets idFormJenseitsGlob.
QString idFormSql(const QString &spalte);
// A GLOB pattern (quoted for SQL) met by a text with a character beyond printable ASCII and ä, ö, ü.
QString idFormJenseitsGlob();

} // namespace vt
