#pragma once
// The subject supervisors of the own database (tbl_Fachbetreuer): which teachers may see
// all courses of a subject. Codes are written and deleted by exact (case-sensitive) match.
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace fachbetreuer {

struct Eintrag {
    QVariant fach;      // Fachkürzel (may be Null in a hand-made table)
    QVariant betreuer;  // Fachbetreuer
};

// Every record in code order (without regard to case).
QVector<Eintrag> laden(zdb::Db &eigen);

// Sets the supervisors of every record with exactly this code, or adds one record when none
// has it; one immediate transaction, so two workstations adding a code make one record.
void schreiben(zdb::Db &eigen, const QString &fach, const QString &betreuer);
// Deletes every record with exactly this code; returns the number deleted.
int loeschen(zdb::Db &eigen, const QString &fach);

// The codes a user sees in the overview's subject list: administrators every code (after "*"),
// others the codes whose supervisor text names their abbreviation as a whole word.
// Blank codes are left out: they would select every course.
QStringList faecherFuer(const QVector<Eintrag> &eintraege, const QString &benutzer, bool istAdmin);
bool betreut(const QVariant &betreuerText, const QString &benutzer);

} // namespace fachbetreuer
