#include "absence/schuljahr.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"

namespace absence {

int Schuljahr::startJahr(const QDate &heute) { return heute.month() >= 8 ? heute.year() : heute.year() - 1; }
QDate Schuljahr::beginn(const QDate &heute) { return QDate(startJahr(heute), 8, 1); }
QDate Schuljahr::ende(const QDate &heute) { return QDate(startJahr(heute) + 1, 7, 31); }
QString Schuljahr::endeText(const QDate &heute) { return ende(heute).toString(QStringLiteral("dd.MM.yyyy")); }

KalenderTage::KalenderTage(const QDate &heute) : m_heute(heute), m_beginn(Schuljahr::beginn(heute))
{
    m_tage.reserve(Schuljahr::Tage);
    for (int i = 0; i < Schuljahr::Tage; ++i) {
        KalenderTag t;
        t.datum = m_beginn.addDays(i);
        t.monat = datetexts::format(t.datum, QStringLiteral("mmmm yyyy")).trimmed();
        t.tag = datetexts::format(t.datum, QStringLiteral("dd"));
        t.wochentag = datetexts::weekdayShort(t.datum);
        t.schluessel = t.datum.toString(QStringLiteral("dd.MM.yyyy"));
        if (t.wochentag == QLatin1String("Sa") || t.wochentag == QLatin1String("So"))
            t.breite = 30;
        if (t.datum == heute)
            t.farbe = Schuljahr::FarbeHeute;
        const mdl::typFeiertag f = mdl::Feiertag(t.datum);
        if (!f.Name.isEmpty())
            t.farbe = f.Farbe;
        m_tage.push_back(t);
    }
}

int KalenderTage::spalte(const QDate &d) const
{
    if (!d.isValid())
        return -1;
    const qint64 i = m_beginn.daysTo(d);
    return (i >= 0 && i < Schuljahr::Tage) ? int(i) + Schuljahr::ErsteTagSpalte : -1;
}

int KalenderTage::scrollSpalte() const
{
    const int c = heuteSpalte();
    return (c >= 0 && c - 7 >= 5) ? c - 7 : -1;
}

} // namespace absence
