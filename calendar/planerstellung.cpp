#include "calendar/planerstellung.h"
#include "calendar/htmlplaene.h"
#include "calendar/kalendertage.h"
#include "calendar/termine.h"
#include "core/frm_warten.h"
#include "core/mdl_zandrel.h"
#include "platform/msg.h"

namespace kalender {

PlanErstellung::PlanErstellung(const QStringList &klassen, const QDate &erster, const QDate &letzter)
    : m_klassen(klassen), m_erster(erster), m_letzter(letzter) {}

static bool pfadPruefen(const QString &pfad)
{
    if (pfad.isEmpty()) {
        msg::box(QStringLiteral("Es wurde kein Name für die HTML-Datei angegeben."), msg::OKOnly);
        return false;
    }
    if (!planSchreibbar(pfad)) {
        msg::box(QStringLiteral("Fehler beim Erstellen der HTML-Datei"), msg::OKOnly);
        return false;
    }
    return true;
}

static bool speichern(const QString &pfad, const QByteArray &inhalt)
{
    if (planSpeichern(pfad, inhalt))
        return true;
    msg::box(QStringLiteral("Fehler beim Erstellen der HTML-Datei"), msg::OKOnly);
    return false;
}

static QString wartetext(const QString &pfad)
{
    return QStringLiteral("Die HTML-Datei '") + pfad + QStringLiteral("' wird erstellt.");
}

namespace {
// The progress window lives from the start of a writer to its end, also when a read fails.
struct Warten {
    explicit Warten(const QString &text) { frm_Warten::zeigen(text); }
    ~Warten() { frm_Warten::entladen(); }
};
} // namespace

bool PlanErstellung::tabellenPlanSchreiben(const QString &roherPfad, bool auchNichtInternet)
{
    const QString pfad = roherPfad.trimmed();
    if (!pfadPruefen(pfad))
        return false;
    QByteArray inhalt;
    try {
        Warten warten(wartetext(pfad));
        const Daten &d = daten();
        inhalt = tabellenPlan(tabelle(), d.termine.termine, auchNichtInternet, d.jetzt, mdl::KalenderEinfaerbenTage,
                              mdl::KalenderEinfaerbenfarbe, &frm_Warten::Fortschritt);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText(), msg::OKOnly);
        return false;
    }
    return speichern(pfad, inhalt);
}

const PlanErstellung::Daten &PlanErstellung::daten()
{
    if (!m_daten) {
        auto d = std::make_unique<Daten>();
        d->jetzt = jetzt();
        d->termine = termineFuerPlaene(mdl::dbEigen);
        m_daten = std::move(d);
    }
    return *m_daten;
}

const KalenderTabelle &PlanErstellung::tabelle()
{
    if (!m_tabelle) {
        const Daten &d = daten();
        auto t = std::make_unique<KalenderTabelle>();
        t->aufbauen(m_erster, m_letzter, m_klassen, d.jetzt.date());
        // The plans read texts and colours; the cells' notes are the grid's alone.
        t->termineEinsetzen(d.termine.termine, d.jetzt, mdl::KalenderEinfaerbenTage, mdl::KalenderEinfaerbenfarbe,
                            false);
        m_tabelle = std::move(t);
    }
    return *m_tabelle;
}

bool PlanErstellung::lehrerPlan() { return tabellenPlanSchreiben(mdl::HTML_L, true); }

bool PlanErstellung::schuelerPlan() { return tabellenPlanSchreiben(mdl::HTML_S, false); }

bool PlanErstellung::klassenPlan()
{
    const QString pfad = mdl::HTML_S2.trimmed();
    if (!pfadPruefen(pfad))
        return false;
    QByteArray inhalt;
    try {
        Warten warten(wartetext(pfad));
        QStringList klassen;
        {
            if (!mdl::NMDatenbankOeffnen())
                return false; // the wait was given up: the previous plan stays
            const mdl::NMSitzung nm(mdl::NMSitzung::SchonGeoeffnet);
            klassen = klassenFuerKlassenplan(mdl::dbNM());
        }
        const Daten &d = daten();
        inhalt = kalender::klassenPlan(klassen, d.termine.termine, d.termine.klassenplan, d.jetzt,
                                       &frm_Warten::Fortschritt);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText(), msg::OKOnly);
        return false;
    }
    return speichern(pfad, inhalt);
}

bool PlanErstellung::allePlaene()
{
    const bool l = lehrerPlan();
    const bool s = schuelerPlan();
    const bool s2 = klassenPlan();
    return l && s && s2;
}

} // namespace kalender
