#include "calendar/planerstellung.h"
#include "platform/db.h"

namespace kalender {

PlanErstellung::PlanErstellung(zdb::Db &eigen, const PlanEinstellungen &einstellungen, const QStringList &klassen,
                               const QDate &erster, const QDate &letzter, KlassenplanKlassen klassenplanKlassen,
                               PlanMelder melder)
    : m_eigen(eigen), m_einstellungen(einstellungen), m_klassen(klassen), m_erster(erster), m_letzter(letzter),
      m_klassenplanKlassen(std::move(klassenplanKlassen)), m_melder(std::move(melder))
{
}

PlanErstellung::~PlanErstellung() = default;

namespace {

const QString kFehler = QStringLiteral("Fehler beim Erstellen der HTML-Datei");

// A blank path or a plan that cannot be written: the text to show, with the file and the reason;
// "" when the plan can be written.
QString pfadFehler(const QString &pfad)
{
    if (pfad.isEmpty())
        return QStringLiteral("Es wurde kein Name für die HTML-Datei angegeben.");
    QString grund;
    return planSchreibbar(pfad, &grund) ? QString() : kFehler + QStringLiteral("\r\r") + grund;
}

PlanErgebnis speichern(const QString &pfad, const QByteArray &inhalt)
{
    QString fehler;
    if (planSpeichern(pfad, inhalt, &fehler))
        return {true, {}};
    return {false, kFehler + QStringLiteral("\r\r") + fehler};
}

// The progress report lives from the start of a writer to its end, also when a read fails.
class Lauf {
public:
    Lauf(const PlanMelder &m, const QString &pfad) : m_melder(m)
    {
        if (m_melder.beginn)
            m_melder.beginn(QStringLiteral("Die HTML-Datei '") + pfad + QStringLiteral("' wird erstellt."));
    }
    ~Lauf()
    {
        if (m_melder.ende)
            m_melder.ende();
    }

private:
    const PlanMelder &m_melder;
};

} // namespace

PlanErgebnis PlanErstellung::tabellenPlanSchreiben(const QString &roherPfad, bool auchNichtInternet)
{
    const QString pfad = roherPfad.trimmed();
    if (const QString f = pfadFehler(pfad); !f.isEmpty())
        return {false, f};
    QByteArray inhalt;
    try {
        Lauf lauf(m_melder, pfad);
        const Daten &d = daten();
        inhalt = tabellenPlan(tabelle(), d.termine.termine, auchNichtInternet, d.jetzt, m_einstellungen.einfaerbenTage,
                              m_einstellungen.einfaerbenFarbe, m_melder.fortschritt);
    } catch (const zdb::DbError &e) {
        return {false, e.germanText()};
    }
    return speichern(pfad, inhalt);
}

const PlanErstellung::Daten &PlanErstellung::daten()
{
    if (!m_daten) {
        auto d = std::make_unique<Daten>();
        d->jetzt = jetzt();
        d->termine = termineFuerPlaene(m_eigen);
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
        t->termineEinsetzen(d.termine.termine, d.jetzt, m_einstellungen.einfaerbenTage,
                            m_einstellungen.einfaerbenFarbe, false);
        m_tabelle = std::move(t);
    }
    return *m_tabelle;
}

PlanErgebnis PlanErstellung::lehrerPlan() { return tabellenPlanSchreiben(m_einstellungen.pfadL, true); }

PlanErgebnis PlanErstellung::schuelerPlan() { return tabellenPlanSchreiben(m_einstellungen.pfadS, false); }

PlanErgebnis PlanErstellung::klassenPlan()
{
    const QString pfad = m_einstellungen.pfadS2.trimmed();
    if (const QString f = pfadFehler(pfad); !f.isEmpty())
        return {false, f};
    QByteArray inhalt;
    try {
        Lauf lauf(m_melder, pfad);
        const std::optional<QStringList> klassen = m_klassenplanKlassen ? m_klassenplanKlassen() : QStringList();
        if (!klassen)
            return {}; // the wait was given up: the previous plan stays
        const Daten &d = daten();
        inhalt = kalender::klassenPlan(*klassen, d.termine.termine, d.termine.klassenplan, d.jetzt,
                                       m_melder.fortschritt);
    } catch (const zdb::DbError &e) {
        return {false, e.germanText()};
    }
    return speichern(pfad, inhalt);
}

QVector<PlanErgebnis> PlanErstellung::allePlaene() { return {lehrerPlan(), schuelerPlan(), klassenPlan()}; }

} // namespace kalender
