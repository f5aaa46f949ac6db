#include "absence/personentabelle.h"
#include "platform/valuetext.h"

namespace absence {

void Personentabelle::laden(zdb::Db &nm)
{
    m_personen.clear();
    // Pupils first (by number), then teachers (by name); every teacher, "X" and "XS" too.
    static const QString sql = QStringLiteral(
        "SELECT SchülerNr, Klasse, SName FROM ("
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
        const QString key = vt::idSchluessel(id);
        if (!m_personen.contains(key))
            m_personen.insert(key, Person{vt::trimBlanks(vt::valueText(r[2])), vt::trimBlanks(vt::valueText(r[1]))});
        return true;
    });
}

Personentabelle::Person Personentabelle::suchen(const QString &id) const
{
    return m_personen.value(vt::idSchluessel(id));
}

} // namespace absence
