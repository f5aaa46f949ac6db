#include "absence/personentabelle.h"
#include "platform/valuetext.h"

#include <algorithm>

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
        const Person p{vt::trimBlanks(vt::valueText(r[2])), vt::trimBlanks(vt::valueText(r[1])), r[3].toInt() == 1,
                       vt::valueText(r[0])};
        const auto erste = m_personen.constFind(id);
        if (erste == m_personen.cend()) {
            m_personen.insert(id, p);
            m_zuordnung.hinzufuegen(id);
        } else {
            QVector<Person> &alle = m_geteilt[id];
            if (alle.isEmpty())
                alle << erste.value();
            alle << p;
        }
        return true;
    });
}

Personentabelle::Person Personentabelle::suchen(const QString &id) const
{
    const QString person = m_zuordnung.personVon(id);
    if (person.isEmpty())
        return {};
    // Of persons sharing the id, the one holding it as written (a row's id as read).
    if (const auto geteilt = m_geteilt.constFind(person); geteilt != m_geteilt.cend())
        for (const Person &p : *geteilt)
            if (p.id == id)
                return p;
    return m_personen.value(person);
}

bool Personentabelle::schuelerId(const QString &person) const
{
    if (const auto geteilt = m_geteilt.constFind(person); geteilt != m_geteilt.cend())
        return std::any_of(geteilt->cbegin(), geteilt->cend(), [](const Person &p) { return !p.lehrer; });
    const auto p = m_personen.constFind(person);
    return p != m_personen.cend() && !p->lehrer;
}

// "\"Id\" (Name, Vorname, Klasse)", the id as the grade manager holds it.
static QString genannt(const QString &id, const Personentabelle::Person &p)
{
    return QStringLiteral("\"") + id + QStringLiteral("\" (") + p.sname
           + (p.klasse.isEmpty() ? QString() : QStringLiteral(", ") + p.klasse) + QLatin1Char(')');
}

QString Personentabelle::gleicheIdsText() const
{
    QStringList zeilen;
    for (const QStringList &gruppe : m_zuordnung.gleicheIds()) {
        QStringList namen;
        for (const QString &id : gruppe)
            namen << genannt(id, m_personen.value(id));
        zeilen << namen.join(QStringLiteral(" und "));
    }
    return zeilen.join(QLatin1Char('\r'));
}

QString Personentabelle::geteilteIdsText() const
{
    QStringList zeilen;
    for (const QVector<Person> &alle : m_geteilt) {
        QStringList namen;
        for (const Person &p : alle)
            namen << genannt(p.id, p);
        zeilen << namen.join(QStringLiteral(" und "));
    }
    return zeilen.join(QLatin1Char('\r'));
}

} // namespace absence
