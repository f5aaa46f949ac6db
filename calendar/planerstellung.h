#pragma once
// Writes the three HTML plans at the paths of the settings (HTML_L, HTML_S, HTML_S2) from the
// database at the moment of writing, in the calendar's layout (its classes and period), with the
// messages of the window's buttons.
#include "calendar/kalendertage.h"
#include "calendar/termine.h"

#include <QDate>
#include <memory>
#include <QStringList>

namespace kalender {

class PlanErstellung {
public:
    PlanErstellung(const QStringList &klassen, const QDate &erster, const QDate &letzter);

    // Each returns true when its plan was written; a blank path, a plan that cannot be written or a
    // failed write are told in a message, a given-up wait for the grade manager silently.
    bool lehrerPlan();
    bool schuelerPlan();
    bool klassenPlan();
    // The three in the order L, S, S2 (each attempted); true when all three were written.
    bool allePlaene();

private:
    bool tabellenPlanSchreiben(const QString &pfad, bool auchNichtInternet);
    // The entries, read once for all plans of one run, and the table of the two table plans.
    struct Daten {
        PlanTermine termine;
        QDateTime jetzt;
    };
    const Daten &daten();
    const KalenderTabelle &tabelle();
    std::unique_ptr<Daten> m_daten;
    std::unique_ptr<KalenderTabelle> m_tabelle;
    QStringList m_klassen;
    QDate m_erster, m_letzter;
};

} // namespace kalender
