#pragma once
// The class list of the absence window: which classes a user sees and may open, their order,
// the persons of a class, and the class-has-reported marks of the day.
#include "platform/db.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace absence {

struct KlassenZeile {
    QString klasse;       // as stored in Klassen.Klasse ("LK" for the teachers' row)
    QString name;         // class teacher "Name, Vorname"; "" for "AUS" and for "LK"
    QString klassenleiter; // trimmed abbreviation
    bool istLK = false;   // the teachers' row: no check box
};

struct Abfrage {
    QString sql;
    zdb::Params params;
};

class Klassenliste {
public:
    static const QString MeldungNurEigeneKlasse;

    // "X" and "XS" (upper case of the user as typed).
    static bool istVerwaltung(const QString &benutzer);
    // May the user open the class whose teacher abbreviation is `klassenleiter`?
    static bool darfKlasseAufrufen(const QString &benutzer, const QString &klassenleiter);
    // The rows the user sees: classes by leading grade number (none: after grade 19), then by name;
    // "X" and "XS" get every class and a last row "LK", a teacher only the classes he leads.
    static QVector<KlassenZeile> laden(zdb::Db &nm, const QString &benutzer);
    // Leading grade number of a class name (0 when there is none).
    static int stufe(const QString &klasse);
    // Rows that start a new grade (blue top line); the first class with a number counts.
    static QVector<bool> stufenwechsel(const QVector<KlassenZeile> &zeilen);

    // The persons of a class: its pupils (class names trimmed, without regard to case), for "LK"
    // every teacher but "X" and "XS", for "AUS" every class beginning with "AUS" unless only that
    // class is asked for; columns SchülerNr, Klasse, Name, Vorname, German name order.
    enum AusAuswahl { AusMitUnterklassen, NurDieseKlasse };
    static Abfrage personenDerKlasse(const QString &klasse, AusAuswahl aus = AusMitUnterklassen);
};

// Class-has-reported marks of one day in tbl_KlasseGemeldet.
class KlasseGemeldet {
public:
    struct Meldung {
        QString klasse;
        QString zeit; // "hh:mm", "" once taken back
    };
    // Stores the state of a class for `tag`: adds the day's row or changes its time.
    static void speichern(zdb::Db &eigen, const QString &klasse, const QString &zeit, const QDate &tag);
    static QVector<Meldung> desTages(zdb::Db &eigen, const QDate &tag);
};

} // namespace absence
