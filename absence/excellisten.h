#pragma once
// The absence window's lists in Excel: unexcused days and persons with many absence days in the
// period of the two period boxes, and the day list as the day-list grid shows it. Each list is a
// new workbook handed to the spreadsheet program unsaved (saved in the temporary folder, opened).
#include "absence/tagesliste.h"

#include <QDate>
#include <QString>
#include <functional>

class VSGrid;
namespace zdb { class Db; }
namespace xlsx { class Workbook; }

namespace absence::excellisten {

extern const QString KeineDaten; // "Es wurden keine passenden Daten gefunden, …"

// ---- the sheets (no window, no message)

// Unexcused records of pupils from `erster` to `letzter` (both included) with class, class
// teacher (from the class list's "Klasse" and "Name" columns), person, day, reason and counting
// value; repeated texts as ditto marks. false (book untouched) when there is no record.
bool unentschuldigtFuellen(zdb::Db &eigen, const QDate &erster, const QDate &letzter, const VSGrid &fgKlassen,
                           xlsx::Workbook &book);

// Every person (not "X", "XS") whose counted days in the period reach n; an empty counting value
// counts as a whole day, "0,5" as a half. The title shows the period texts as typed.
bool vieleFehltageFuellen(zdb::Db &eigen, const QDate &erster, const QDate &letzter, int n,
                          const QString &startText, const QString &endeText, xlsx::Workbook &book);

using absence::TageslistenOptionen;
using Klartext = std::function<QString(const QString &code)>;
// The day list grid (row 0 titles) from sheet row 3 on: class (kept as text), name and, as chosen,
// reason and remark; teachers' rows stay empty unless `lk`.
void tageslisteFuellen(const VSGrid &fgKranke, const QString &datum, const TageslistenOptionen &optionen,
                       const Klartext &grundKlartext, xlsx::Workbook &book);

// The period boxes' texts as two days in ascending order; false when one is no date.
bool zeitraumLesen(const QString &startText, const QString &endeText, QDate &erster, QDate &letzter);
// The box "N" read by Val and rounded half to even; false beyond -32768 … 32767.
bool anzahlLesen(const QString &text, int &n);

} // namespace absence::excellisten
