#pragma once
// The absence window's Excel buttons around the lists of excellisten.
#include "absence/excellisten.h"

class QLabel;
class QPushButton;

namespace absence::excellisten {

// The buttons: checks and messages, the button disabled and the status line shown while
// the list is made (each pointer may be null).
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
