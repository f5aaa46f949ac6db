#pragma once
// The absence window's lists in Excel: unexcused days and persons with many absence days in the
// period of the two period boxes, and the day list as the day-list grid shows it. Each list is a
// new workbook handed to the spreadsheet program unsaved (saved in the temporary folder, opened).
#include "absence/tagesliste.h"

#include <QDate>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
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

// ---- the buttons: checks and messages, the button disabled and the status line shown while
// the list is made (each pointer may be null)
struct Knopf {
    QPushButton *knopf = nullptr;
    QLabel *lblInfo = nullptr;
};
// cmd_unentschuldigt: period texts of txtStartTag and txtEndeTag, the class list fgKlassen.
void cmd_unentschuldigt_Click(zdb::Db &eigen, const QString &startTag, const QString &endeTag,
                              const VSGrid &fgKlassen, const Knopf &k);
// cmdVieleFehltage: the period texts and the text of txt_n_Fehltage.
void cmdVieleFehltage_Click(zdb::Db &eigen, const QString &startTag, const QString &endeTag, const QString &nText,
                            const Knopf &k);
// cmdExcel: the day list fgKranke, the caption of lblDatum, the four check boxes, GrundKlartext.
void cmdExcel_Click(const VSGrid &fgKranke, const QString &datum, const TageslistenOptionen &optionen,
                    const Klartext &grundKlartext, const Knopf &k);

} // namespace absence::excellisten
