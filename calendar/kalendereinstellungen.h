#pragma once
// The exam calendar's settings: the calendar columns of the one settings row and the shared
// values of the same names, and the removal of all entries before the first day.
#include <QDate>
#include <QString>

namespace zdb {
class Db;
}

namespace kalender {

struct KalenderWerte {
    QDate ersterTag, letzterTag;
    bool freigegeben = false;      // KalenderGesperrt "none" (else "all")
    bool sonstigeTermine = false;  // KalenderFreigabeSonstigeTermine "all" (else "SL")
    bool klassenfahrt = false;     // KalenderFreigabeKlassenfahrt "all" (else "SL")
    int einfaerbenTage = 0;
    long einfaerbenFarbe = 0;
    QString htmlL, htmlS, htmlS2;
};

// The values as the shared state holds them now.
KalenderWerte werteLesen();

// The day count as the day box keeps it: the absolute integer part of the leading number,
// 0 for no number, at most what the column holds.
int tageAusText(const QString &text);

// Writes the values into the first settings row (in one write transaction) and into the shared
// state. Without a settings row nothing is written; the dates, days, colour and paths still take
// the new values for this run, the lock and the releases keep theirs. An empty path stands for
// the plan's default in the temporary folder. True when a row was written.
bool werteSpeichern(zdb::Db &db, const KalenderWerte &w);

// Removes for good every entry dated before `ersterTag` (active and deleted ones); entries without
// a date stay. Returns the number removed.
int termineDavorLoeschen(zdb::Db &db, const QDate &ersterTag);

} // namespace kalender
