#pragma once
// The calendar as a table of days by classes, without any window: row 0 holds the class names,
// column 0 the day labels; cell texts, notes and background colours as the grid shows them.
#include "calendar/termine.h"
#include "calendar/terminrechte.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zdb {
class Db;
}

namespace kalender {

constexpr long FarbeWochenende = 0x9696FF; // RGB(255, 150, 150)
constexpr long FarbeHeute = 0xC0FFC0;      // RGB(192, 255, 192)
constexpr long FarbeGrau = 0xB4B4B4;       // RGB(180, 180, 180)
constexpr long FarbeTrennlinie = 0xFF0000; // blue
constexpr int MaxTage = 400;
constexpr int HoeheWerktag = 240; // twips
constexpr int HoeheWochenende = 30;

QString tagesLabel(const QDate &d); // "Mo 13.09."
bool istWochenende(const QDate &d); // "Sa" or "So"

// Classes of the grade manager without "AUS", by grade number, classes without one after 19, then name
// in German order.
QStringList klassenLesen(zdb::Db &nm);
// Classes of the teacher's current courses (duplicates possible, as the grade manager lists them).
QStringList eigeneKlassenLesen(zdb::Db &nm, const QString &benutzer);
// Current courses of one class ordered by subject.
QVector<Kurs> kurseLesen(zdb::Db &nm, const QString &klasse);

struct KalenderZelle {
    QString text;
    QString notiz;
    long farbe = 0; // 0: no colour of its own
};

class KalenderTabelle {
public:
    // Day rows from `erster` to `letzter` (at most MaxTage; *gekuerzt tells whether days were cut),
    // weekend, today's and named-day colours, the class columns and their grade separators.
    void aufbauen(const QDate &erster, const QDate &letzter, const QStringList &klassen, const QDate &heute,
                  bool *gekuerzt = nullptr);
    // Places the entries: texts and notes of active entries, the colour of recent changes
    // (within `einfaerbenTage` days of `jetzt`; 0 colours nothing). Without `notizen` the notes stay empty.
    void termineEinsetzen(const QVector<Termin> &termine, const QDateTime &jetzt, int einfaerbenTage,
                          long einfaerbenFarbe, bool notizen = true);

    int rows() const { return m_tage.size() + 1; }
    int cols() const { return m_klassen.size() + 1; }
    const KalenderZelle &zelle(int r, int c) const { return m_zellen[r * cols() + c]; }
    KalenderZelle &zelle(int r, int c) { return m_zellen[r * cols() + c]; }
    QDate datum(int r) const { return r >= 1 && r <= m_tage.size() ? m_tage[r - 1] : QDate(); }
    const QVector<QDate> &tage() const { return m_tage; }
    const QStringList &klassen() const { return m_klassen; }
    int zeilenHoehe(int r) const; // twips; row 0 is an ordinary row
    // A blue line left of the class column: its grade number differs from the column before.
    bool trennlinie(int c) const { return c >= 1 && c < cols() && m_trenn[c]; }

    int zeileZuDatum(const QDate &d) const;      // 1 .. rows-1, 0 when none
    int spalteZuKlasse(const QString &k) const;  // 1 .. cols-1, 0 when none

    void zeileEinfaerben(int r, long farbe);

private:
    QVector<QDate> m_tage;
    QStringList m_klassen;
    QVector<bool> m_trenn;
    QVector<KalenderZelle> m_zellen;
    QHash<QDate, int> m_zeileVon;
    QHash<QString, int> m_spalteVon;
};

// The header line of a cell note and the line of one entry (each ending with a line feed).
QString notizKopf();
QString notizZeile(const Termin &t);

// Rows of "meine Termine": class (first of its run), subject (first of its run), "dd.mm.".
struct MeinTermin {
    QString klasse, fach, datum;
};
QVector<MeinTermin> meineTermine(const QVector<Termin> &termineDerLehrkraft);

// The month buttons: 0 = September .. 10 = July.
int monatDesKnopfs(int index);
// The first weekday row (at least 61 twips high) of month m that follows a weekday row of another
// month or is the first weekday row; 0 when no weekday row lies in that month.
int ersteZeileDesMonats(const KalenderTabelle &t, int monat);

} // namespace kalender
