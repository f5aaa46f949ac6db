#pragma once
// Column map of the performance-record grid: 3 course columns, then 18 test blocks of
// 10 sub-columns (6 Schulaufgaben, 4 Kurzarbeiten, 8 Extemporalien).
#include <QString>
#include <QStringList>

namespace lnw {

constexpr int Spalten = 183;       // columns 0..182
constexpr int FesteSpalten = 3;    // Fach, Klasse, Lehrer
constexpr int KopfZeilen = 2;      // test captions, sub-column captions
constexpr int Bloecke = 18;
constexpr int BlockBreite = 10;

// Sub-columns of a block (offset from its first column).
enum Unterspalte { Art = 0, Bemerk = 1, Schnitt = 2, Wicht = 3, Anzahl = 4, Zeit = 5,
                   Geschrieben = 6, Rueckgabe = 7, Abgegeben = 8, LfdNr = 9 };

// Cell colours (blue-green-red longs).
constexpr long Hellrot = 13158655;   // RGB(255, 200, 200)
constexpr long Hellgruen = 13172680; // RGB(200, 255, 200)
constexpr long Weiss = 16777215;
constexpr long Rahmenblau = 16711680; // RGB(0, 0, 255)

inline int blockStart(int block) { return FesteSpalten + BlockBreite * block; }
// Block of a column, -1 for the course columns.
inline int blockVon(int col) { return col < FesteSpalten ? -1 : (col - FesteSpalten) / BlockBreite; }
inline int unterspalteVon(int col) { return col < FesteSpalten ? -1 : (col - FesteSpalten) % BlockBreite; }

// "1. SchA" .. "6. SchA", "1. KA" .. "4. KA", "1. Ex" .. "8. Ex".
QString blockTitel(int block);
// Row-1 caption of a sub-column ("" for the running number).
QString unterspaltenTitel(int offset);
// Caption of the display-option box of a sub-column.
QString optionsTitel(int offset);
// The grade manager's field of a block: sa1..sa6, ka1..ka4, ex1..ex8.
QString notenfeld(int block);
const QStringList &notenfelder();

// First column of a field's block; 0 when the name is none of the 18 (exact, case-sensitive).
int SpalteZuNotenfeld(const QString &feld);

// First column of a test record's block from LNW.Spalte and the layout shift (0, or 2 in the
// older layout, applied above Spalte 3); -1 when the record maps to no block.
int blockSpalteFuerTest(qint64 spalte, int verschiebung);

} // namespace lnw
