#pragma once
// The pupil-to-course overview without the window: a class's pupils, courses and current grade
// rows read from the grade manager, laid into the grid's cell store, and the heading sort.
//
// Grid of a class with p pupils and n courses: rows 0..3 headings (row 0 hidden: the course's
// Index), one row per pupil from row 4; columns 0 (hidden pupil number), 1 Name, 2 Vorname,
// 3 AR, 4 G, 5 (hidden sort key), 6..n+5 one check box per course, n+6 "Anz", n+7 "Std".
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <QVector>

class GridStore;

namespace zuordnungen {

constexpr int KopfZeilen = 4;   // fixed rows
constexpr int KopfSpalten = 5;  // fixed columns
constexpr int ErsteKursSpalte = 6;
constexpr int SchluesselSpalte = 5;
constexpr int KursBreite = 500; // twips
constexpr long Gelb = 65535;

// Class names without those beginning with "AUS", by leading number, then by name.
QStringList klassenLesen(zdb::Db &nm);

struct Schueler {
    QVariant nr;
    QString name, vorname, ar, g;
};
struct Kurs {
    QVariant index;
    QString fach, lehrkraft, std;
};
struct Daten {
    QVector<Schueler> schueler;
    QVector<Kurs> kurse;
    QVector<QPair<qint64, qint64>> zuordnungen; // SchülerNr, UIndex of a current grade row
    // The class's pupils have current grade rows, but only in other classes' courses: the
    // counts and colours are still made (all zero).
    bool nurFremdeKurse = false;
};

// Reads one class; stops at the first of the three reads that finds nothing (no pupils: no courses
// are read; no courses: no grade rows).
Daten lesen(zdb::Db &nm, const QString &klasse);

// The current grade rows (SchülerNr, UIndex) of the given number of courses, one "?" per course index.
QString zuordnungenSql(int kurse);

// The grid without pupils and courses: 6 columns, 4 rows, the headings of row 3.
void leeresGitter(GridStore &g);
// Pupils, courses, ticks, counts, hour sums and the yellow course columns (widths of columns 1-4
// are the window's: they need its font).
void gitterFuellen(GridStore &g, const Daten &d);
// Sorts the pupil rows by a heading column (1 to 4 by the key in column 5).
void nachSpalteSortieren(GridStore &g, int spalte);

// A text filled with blanks and cut to exactly w characters.
QString aufBreite(const QString &text, int w);

} // namespace zuordnungen
