#pragma once
// The comparison of WinSV's attending pupils with the grade manager's pupils. It works on the
// cell stores of the four grids, so the window, the tests and the benchmark run the same code:
// the main grid holds one pair per WinSV pupil (the WinSV row at an odd index r, the grade-manager
// row at r + 1), differing grade-manager cells are coloured, equal pairs get the height 0, and the
// side lists collect the pupils found on one side only or in another class.
#include "platform/db.h"
#include "platform/takt.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class GridStore;

namespace winsv {

constexpr long Gelb = 65535;      // written back by the write-back
constexpr long Hellrot = 9869055; // RGB 255, 150, 150: to be corrected by hand
constexpr int SpaltenFg = 16;
constexpr int SpalteId = 1, SpalteKlasse = 2, SpalteName = 3, SpalteVorname = 4, SpalteAR = 6, SpalteGebDat = 7;

// The grid columns the write-back writes, in its order: Name, Vorname, G., Geb.Dat., Straße, PLZ,
// Ort, Telefon, gilt1, gilt2, LRS, Leg.
constexpr int GeschriebeneSpalten[12] = {3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// One pair of the comparison's result that the write-back writes: WinSV's values of the written
// columns and the columns in which the grade manager differs.
struct RueckschreibPaar {
    QString id;
    QStringList werte;       // WinSV's texts in the order of GeschriebeneSpalten
    QVector<bool> unlesbar;  // per value: WinSV's value could not be read; such a value is never written
    QVector<int> abweichend; // grid columns (1 .. 15) in which the grade manager's value differs
};

// One text form for both sides: Null "", numbers and dates through vt::valueText, Yes/No "Wahr"/"Falsch".
// Blanks and case stay as stored.
QString zellText(const QVariant &v);
// A birth date as "dd.mm.yyyy" (a time part is left out); empty for Null or a text that is no date.
QString datumText(const QVariant &v);
// A value that is there but is no date: its cell stays empty and is marked, so that the write-back
// never puts an empty value over the grade manager's.
bool unlesbaresDatum(const QVariant &v);
// The mark on a WinSV cell whose value could not be read.
void alsUnlesbarMarkieren(GridStore &g, int r, int c);
bool unlesbar(const GridStore &g, int r, int c);
// An id as a number ("00123" and " 123" are 123); false for a blank or non-numeric id.
bool idAlsZahl(const QString &text, double *zahl);
// WinSV's attendance rule: the class is not exactly "AUS" and the leaving date is 01.01.2000,
// which an empty leaving date or one that is no date counts as.
bool besuchtSchule(const QString &klasse, const QVariant &austrittsdatum);
// The grade manager's class as the grid shows it: its first 4 characters, trimmed.
QString nmKlasse(const QVariant &klasse);

// The WinSV statement on DSchueler. The date columns come as text: the driver reads a German
// date ("04.02.2014") in a date column as Null, which could not be told from an empty value.
QString winsvAbfrage();
// The grade-manager statement; the address row shown of a pupil's rows is read last of them.
QString nmAbfrage(zdb::Db &nm);
// The order of one pupil's address rows after which the last one is the row the comparison shows
// and the write-back writes: the main contact's (a non-zero Hauptansprechpartner is Yes), of
// several the first written; without a main contact the first written row.
QString adressReihenfolge(zdb::Db &nm);
// The table of the grade manager that holds a column ("Schüler" before "Adressen"); empty when none.
QString tabelleMitSpalte(zdb::Db &nm, const QString &spalte);

// What the window does between the steps (all optional).
struct Beobachter {
    std::function<void(bool)> neuZeichnen;       // repainting of the main grid on or off
    std::function<void()> hauptgridAnpassen;     // fit the main grid's columns to their contents
    std::function<void()> seitenlistenAnpassen;  // fit the "only in WinSV" and "only in NM" lists
    std::function<void(bool)> prozentSichtbar;   // the percentage label shown or hidden
    std::function<void(const QString &)> prozent; // the percentage text ("" at the end)
    std::function<void()> ereignisse;            // lets pending events through
};

// Runs a piece of work on the grade manager's open database and closes it afterwards; false when the
// database could not be opened (the user gave up waiting), and then the work has not run.
using NMArbeit = std::function<bool(const std::function<void(zdb::Db &)> &)>;

struct Grids {
    GridStore *fg = nullptr;
    GridStore *nurWinSV = nullptr;
    GridStore *nurNM = nullptr;
    GridStore *falscheKlasse = nullptr;
};

class Datenvergleich {
public:
    enum class Ausgang {
        NichtBegonnen, // a message before anything was cleared: the last result stands
        Abgebrochen,   // the grids were refilled only in part
        Fertig,
    };

    Datenvergleich(const Grids &grids, Beobachter beobachter = {});

    struct Ergebnis {
        Ausgang ausgang = Ausgang::NichtBegonnen;
        QString meldung; // the German message for the user; empty when there is none
    };
    // The whole comparison with WinSV's file at `pfad` (already resolved); the grade manager's
    // database comes through nm. Shows nothing itself: the window shows the message.
    Ergebnis ausfuehren(const QString &pfad, const NMArbeit &nm);
    // Number of pairs with at least one difference after the last finished run.
    int unterschiede() const { return m_n; }
    // The pairs with at least one difference (the visible ones) after the last finished run.
    const QVector<RueckschreibPaar> &paare() const { return m_paare; }
    static QString ergebnisZeile(int n);

    // The single steps, public for the tests.
    void leeren();
    void kopfzeilenSchreiben();
    void winsvDurchlauf(const zdb::Result &winsv);
    void nmDurchlauf(const zdb::Result &nm);
    int paarDurchlauf();

private:
    void fortschritt(double prozentWert);
    void ereignisse();
    // Within a pass the percentage changes and events are let through at most once per interval.
    Takt m_takt;

    Grids m_g;
    Beobachter m_b;
    QMap<double, int> m_paarZeile; // WinSV id -> row of its first pair
    QVector<RueckschreibPaar> m_paare;
    QString m_letzterProzent;
    int m_n = 0;
};

} // namespace winsv
