#pragma once
// Which person a stored id belongs to. The id rule (vt::idSchluessel) may make two persons' ids
// equal ("Yıl" and "Yil", "Maß" and "MASS"): a stored id belongs to the person whose id it equals
// exactly (blanks trimmed); the rule links it to a person only when exactly one person matches.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace absence {

class IdZuordnung {
public:
    void leeren();
    // A person's id as the grade manager holds it (blanks trimmed here; empty ids are left out).
    void hinzufuegen(const QString &id);
    // The trimmed id of the person the stored id belongs to; empty when it belongs to nobody.
    QString personVon(const QString &gespeichert) const;
    // True when the rule makes the person's id equal to another person's: only the records
    // stored exactly under her id are hers.
    bool nurExakt(const QString &person) const;
    // The persons whose ids the rule makes equal, a group each, in the order they were added.
    QVector<QStringList> gleicheIds() const;

private:
    QSet<QString> m_exakt;
    QHash<QString, QStringList> m_nachForm; // comparison form -> the persons' trimmed ids
    QStringList m_formen;                   // forms in the order of their first person
};

} // namespace absence
