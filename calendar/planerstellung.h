#pragma once
// Writes the three HTML plans from the database at the moment of writing, in the calendar's layout
// (its classes and period). No window: each plan tells what happened, and the window shows it.
#include "calendar/htmlplaene.h"
#include "calendar/kalendertage.h"
#include "calendar/termine.h"

#include <QDate>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace zdb {
class Db;
}

namespace kalender {

// What the plans take of the settings.
struct PlanEinstellungen {
    QString pfadL, pfadS, pfadS2; // HTML_L, HTML_S, HTML_S2
    int einfaerbenTage = 0;
    long einfaerbenFarbe = 0;
};

// The outcome of one plan: written, or not, with the German text to show ("" when there is
// nothing to tell: the wait for the grade manager's database was given up).
struct PlanErgebnis {
    bool geschrieben = false;
    QString meldung;
};

// What a writer reports while it runs: its start (with the text of the progress window), its
// progress and its end (also after an error).
struct PlanMelder {
    std::function<void(const QString &text)> beginn;
    Fortschritt fortschritt;
    std::function<void()> ende;
};

// The classes linked in the plan by class, read from the grade manager; nullopt when the user gave
// up waiting for its database.
using KlassenplanKlassen = std::function<std::optional<QStringList>()>;

class PlanErstellung {
public:
    PlanErstellung(zdb::Db &eigen, const PlanEinstellungen &einstellungen, const QStringList &klassen,
                   const QDate &erster, const QDate &letzter, KlassenplanKlassen klassenplanKlassen,
                   PlanMelder melder = {});
    ~PlanErstellung();

    PlanErgebnis lehrerPlan();
    PlanErgebnis schuelerPlan();
    PlanErgebnis klassenPlan();
    // The three in the order L, S, S2, each attempted.
    QVector<PlanErgebnis> allePlaene();

private:
    PlanErgebnis tabellenPlanSchreiben(const QString &pfad, bool auchNichtInternet);
    // The entries, read once for all plans of one run, and the table of the two table plans.
    struct Daten {
        PlanTermine termine;
        QDateTime jetzt;
    };
    const Daten &daten();
    const KalenderTabelle &tabelle();

    zdb::Db &m_eigen;
    PlanEinstellungen m_einstellungen;
    QStringList m_klassen;
    QDate m_erster, m_letzter;
    KlassenplanKlassen m_klassenplanKlassen;
    PlanMelder m_melder;
    std::unique_ptr<Daten> m_daten;
    std::unique_ptr<KalenderTabelle> m_tabelle;
};

} // namespace kalender
