#pragma once
// Layout and display options of the performance-record grid: the header rows, which
// sub-columns and test blocks are shown, the course filter, the group borders, and putting
// the read course rows into the grid. Works on the grid alone; reads no database.
#include "records/lnwfuellung.h"

#include <QString>
#include <array>

class VSGrid;

namespace lnw {

// The window's display options.
struct Anzeige {
    std::array<bool, BlockBreite> spalte{false, false, false, false, false, false, false, false, true, false};
    bool leereSpaltenWeg = true;   // "unbenutzte Spalten ausblenden"
    bool nichtAbgeg = false;       // "nur nicht abgegebene"
    QString mindestanzahl = QStringLiteral("5");
    // Course-group lines: drawn when more than one teacher or subject is selected; the key
    // column is the class in the subject view, else the teacher.
    bool gruppenLinien = false;
    int gruppenSpalte = 2;
};

// Empties the grid and builds the two header rows and the columns; then applies the options.
void kopfAufbauen(VSGrid &g, const Anzeige &a);
// Sub-column widths and hiding of unused test blocks, then the borders (left to the caller when
// rahmen is false, for a course filter that follows and draws them).
void spaltenAnwenden(VSGrid &g, const Anzeige &a, bool rahmen = true);
// Shows only courses with a test not handed in (or all rows again), then the borders.
void zeilenFilter(VSGrid &g, const Anzeige &a);
void rahmenZeichnen(VSGrid &g, const Anzeige &a);
// Header rows and course columns fixed (false) or ordinary selectable cells (true).
void kopfFrei(VSGrid &g, bool frei);
// True when at least one course has more grades than the minimum for the block.
bool blockBenutzt(const VSGrid &g, int block, float mindest);
// Appends the course rows (texts and colours) below the header.
void zeilenEintragen(VSGrid &g, const Fuellung &f);

} // namespace lnw
