#include "absence/personentabelle.h"
#include "platform/valuetext.h"

namespace absence {

void Personentabelle::laden(zdb::Db &nm)
{
    leeren();
    // Pupils first (by number), then teachers (by name); every teacher, "X" and "XS" too.
    static const QString sql = QStringLiteral(
        "SELECT SchülerNr, Klasse, SName, Teil FROM ("
        " SELECT 0 AS Teil, SchülerNr, Klasse, COALESCE(Name, '') || ', ' || COALESCE(Vorname, '') AS SName,"
        "  SchülerNr AS S1, '' AS S2 FROM Schüler"
        " UNION ALL"
        " SELECT 1, Kürzel, 'LK', COALESCE(Name, '') || ', ' || COALESCE(Vorname, ''), 0,"
        "  COALESCE(Name, '') || ', ' || COALESCE(Vorname, '') FROM Lehrkräfte)"
        " ORDER BY Teil, S1, S2 COLLATE DE");
    nm.forEach(sql, {}, [this](const QVariantList &r) {
        const QString id = vt::trimBlanks(vt::valueText(r[0]));
        if (id.isEmpty())
            return true;
        if (!m_personen.contains(id)) {
            m_personen.insert(id, Person{vt::trimBlanks(vt::valueText(r[2])), vt::trimBlanks(vt::valueText(r[1])),
                                         r[3].toInt() == 1});
            m_zuordnung.hinzufuegen(id);
        }
        return true;
    });
}

Personentabelle::Person Personentabelle::suchen(const QString &id) const
{
    const QString person = m_zuordnung.personVon(id);
    return person.isEmpty() ? Person{} : m_personen.value(person);
}

QString Personentabelle::gleicheIdsText() const
{
    QStringList zeilen;
    for (const QStringList &gruppe : m_zuordnung.gleicheIds()) {
        QStringList namen;
        for (const QString &id : gruppe) {
            const Person p = m_personen.value(id);
            namen << QStringLiteral("\"") + id + QStringLiteral("\" (") + p.sname
                         + (p.klasse.isEmpty() ? QString() : QStringLiteral(", ") + p.klasse) + QLatin1Char(')');
        }
        zeilen << namen.join(QStringLiteral(" und "));
    }
    return zeilen.join(QLatin1Char('\r'));
}

} // namespace absence
