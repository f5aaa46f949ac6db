#pragma once
// All pupils and teachers of the grade manager, for looking up a person's name and class by id.
#include "platform/db.h"

#include <QHash>
#include <QString>

namespace absence {

class Personentabelle {
public:
    struct Person {
        QString sname;  // "Name, Vorname"
        QString klasse; // "LK" for a teacher
    };

    // Reads every pupil, then every teacher (no limit), from the open grade manager's database.
    void laden(zdb::Db &nm);
    void leeren() { m_personen.clear(); }
    int anzahl() const { return int(m_personen.size()); }
    // Looks an id up by the one id rule (vt::idSchluessel); both texts empty when not found.
    Person suchen(const QString &id) const;

private:
    QHash<QString, Person> m_personen; // key: the id's comparison form; the first person with an id wins
};

} // namespace absence
