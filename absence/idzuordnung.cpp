#include "absence/idzuordnung.h"
#include "platform/valuetext.h"

namespace absence {

void IdZuordnung::leeren()
{
    m_exakt.clear();
    m_nachForm.clear();
    m_formen.clear();
}

void IdZuordnung::hinzufuegen(const QString &id)
{
    const QString t = vt::trimBlanks(id);
    if (t.isEmpty() || m_exakt.contains(t))
        return;
    m_exakt.insert(t);
    const QString form = vt::idSchluessel(t);
    auto it = m_nachForm.find(form);
    if (it == m_nachForm.end()) {
        m_formen << form;
        m_nachForm.insert(form, {t});
    } else {
        it->append(t);
    }
}

QString IdZuordnung::personVon(const QString &gespeichert) const
{
    const QString t = vt::trimBlanks(gespeichert);
    if (m_exakt.contains(t))
        return t;
    const auto it = m_nachForm.constFind(vt::idSchluessel(t));
    return it != m_nachForm.cend() && it->size() == 1 ? it->first() : QString();
}

bool IdZuordnung::nurExakt(const QString &person) const
{
    const auto it = m_nachForm.constFind(vt::idSchluessel(person));
    return it != m_nachForm.cend() && it->size() > 1;
}

QVector<QStringList> IdZuordnung::gleicheIds() const
{
    QVector<QStringList> gruppen;
    for (const QString &form : m_formen)
        if (m_nachForm.value(form).size() > 1)
            gruppen << m_nachForm.value(form);
    return gruppen;
}

} // namespace absence
