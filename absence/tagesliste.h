#pragma once
// The day list: every person with an absence record on one day, with class, name and reason.
#include "absence/personentabelle.h"
#include "platform/db.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

namespace absence {

// The day list's print options, as the window's check boxes set them.
struct TageslistenOptionen {
    bool lk = false;        // chkLK: teachers are listed too
    bool grund = false;     // chkGrund: a reason column
    bool klartext = false;  // chkGrundKlartext: the reason's long text instead of its code
    bool bemerkung = false; // chkBemerkung: the remark (Excel only)
};

struct TageslistenZeile {
    QString id;        // the id of the person the record belongs to; S_Id as stored when nobody's
    QString klasse;    // from the person table; "LK" for a teacher
    QString name;      // "Name, Vorname" from the person table
    QString grund;     // reason code as stored
    QString schluessel; // sort key: grade "00", class, name; "LK" for teachers
    QString bemerkung;
};

class Tagesliste {
public:
    // The day's records in id order. Records without a person are deleted first. "X" and "XS"
    // (user trimmed) get every record, everybody else only those of the selected class.
    static QVector<TageslistenZeile> lesen(zdb::Db &eigen, const QDate &tag, const Personentabelle &personen,
                                           const QString &gewaehlteKlasse, const QString &benutzer);
    // Pupils by grade, class and name; teachers ("LK") after all pupils.
    static QString schluessel(const QString &klasse, const QString &name);
    // Rows whose group differs from the row above; the first row is compared with "".
    static QVector<bool> gruppenwechsel(const QStringList &gruppen);
};

} // namespace absence
