#pragma once
// The person panel's reads from the grade manager: the pupil search and a pupil's contact data.
#include "absence/klassenliste.h"
#include "platform/db.h"

#include <QString>
#include <optional>

namespace absence {

class Personensuche {
public:
    // The search starts at 4 characters (ends trimmed) or when the text ends with a blank.
    static bool startet(const QString &text);
    // Pupils whose surname, first name or a guardian's name begins with the trimmed text
    // (a literal prefix, case folded for umlauts too), each once, in German name order.
    static Abfrage abfrage(const QString &text);
};

struct Kontaktdaten {
    QString name, strasse, plzOrt, telefon;
    QString gilt1, name1, art1, telefon1;
    QString gilt2, name2, art2, telefon2;
};

class Kontakt {
public:
    // Salutation and "Name, Vorname" as the panel shows them: "Herrn" and "Frau" leave the
    // salutation, line breaks become " / ", runs of blanks one blank.
    static QString nameBereinigen(const QString &anrede, const QString &name);
    // Guardian: surname, then ", " and the first name when that is not blank.
    static QString erzName(const QString &name, const QString &rufname);
    // The contact data of the pupil's main contact address (a non-zero flag is Yes; of several, and
    // without one, the first written row); all fields empty without an address row.
    static Kontaktdaten lesen(zdb::Db &nm, const QString &schuelerNr);
};

} // namespace absence
