#pragma once
// All pupils and teachers of the grade manager, for looking up a person's name and class by id.
#include "absence/idzuordnung.h"
#include "platform/db.h"

#include <QHash>
#include <QMap>
#include <QVector>
#include <QString>

namespace absence {

class Personentabelle {
public:
    struct Person {
        QString sname;  // "Name, Vorname"
        QString klasse; // "LK" for a teacher
        bool lehrer = false;
        QString id; // as the grade manager holds it
    };

    // Reads every pupil, then every teacher (no limit), from the open grade manager's database.
    void laden(zdb::Db &nm);
    void leeren()
    {
        m_personen.clear();
        m_geteilt.clear();
        m_zuordnung.leeren();
    }
    int anzahl() const { return int(m_personen.size()); }
    // The person a stored id belongs to (IdZuordnung); both texts empty when it belongs to nobody.
    // Of persons whose ids differ only in blanks, the one whose id is written as given, else the first.
    Person suchen(const QString &id) const;
    const IdZuordnung &zuordnung() const { return m_zuordnung; }
    // True when a pupil holds the (trimmed) id, alone or beside a teacher sharing it.
    bool schuelerId(const QString &person) const;
    // "Name, Vorname" of each person whose id the rule makes equal to another's, one line a group,
    // for the message when the window opens; empty when there is none.
    QString gleicheIdsText() const;
    // The same for persons whose ids differ only in blanks at their ends: one id they share.
    QString geteilteIdsText() const;

private:
    QHash<QString, Person> m_personen; // key: the trimmed id; the first person with an id wins
    QMap<QString, QVector<Person>> m_geteilt; // trimmed id -> every person holding it, when several do
    IdZuordnung m_zuordnung;
};

} // namespace absence
