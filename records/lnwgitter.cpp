#include "records/lnwgitter.h"

#include "records/zahlen.h"
#include "platform/grid/vsgrid.h"

#include <algorithm>

namespace lnw {

void kopfAufbauen(VSGrid &g, const Anzeige &a)
{
    g.setRedraw(false);
    g.clear();
    g.setRows(KopfZeilen);
    g.setCols(Spalten);
    g.setFixedRows(KopfZeilen);
    g.setFixedCols(FesteSpalten);
    for (int r = 0; r < KopfZeilen; ++r)
        g.setRowHeight(r, -1);
    g.setTextMatrix(0, 0, QStringLiteral("Fach"));
    g.setTextMatrix(0, 1, QStringLiteral("Klasse"));
    g.setTextMatrix(0, 2, QStringLiteral("Lehrer"));
    for (int b = 0; b < Bloecke; ++b)
        g.setTextMatrix(0, blockStart(b), blockTitel(b));
    QString letzter;
    for (int c = 0; c < Spalten; ++c) {
        const int u = unterspalteVon(c);
        if (u >= 0 && u <= Abgegeben)
            g.setTextMatrix(1, c, unterspaltenTitel(u));
        const QString t = g.textMatrix(0, c).trimmed();
        if (t.isEmpty())
            g.setTextMatrix(0, c, letzter);
        else
            letzter = g.textMatrix(0, c);
        g.setColAlignment(c, grid::AlignLeftCenter);
    }
    g.autoSize(FesteSpalten, Spalten - 1);
    for (int c = 0; c < FesteSpalten; ++c)
        g.setColWidth(c, 800);
    g.setMergeCells(grid::MergeFixedOnly);
    g.setMergeRow(0, true);
    g.select(0, 0);
    g.setTopRow(0);
    g.setLeftCol(0);
    g.setRedraw(true);
    spaltenAnwenden(g, a);
}

bool blockBenutzt(const VSGrid &g, int block, float mindest)
{
    const int c = blockStart(block) + Anzahl;
    for (int r = KopfZeilen; r < g.rows(); ++r)
        if (mdl::ZahlAusText(g.textMatrix(r, c)) > mindest)
            return true;
    return false;
}

// A test caption spans the visible columns of its block; where they are narrower than the caption
// (only "abgeg." shown, say), the last of them takes the rest.
static void titelPlatzGeben(VSGrid &g)
{
    for (int b = 0; b < Bloecke && blockStart(b) < g.cols(); ++b) {
        int summe = 0, letzte = -1;
        for (int c = blockStart(b); c < std::min(blockStart(b) + BlockBreite, g.cols()); ++c)
            if (g.colWidth(c) > 0) {
                summe += g.colWidth(c);
                letzte = c;
            }
        const int noetig = g.textWidthTwips(g.textMatrix(0, blockStart(b)), g.cellFontBold(0, blockStart(b)));
        if (letzte >= 0 && summe < noetig)
            g.setColWidth(letzte, g.colWidth(letzte) + noetig - summe);
    }
}

void spaltenAnwenden(VSGrid &g, const Anzeige &a, bool rahmen)
{
    g.setRedraw(false);
    for (int c = FesteSpalten; c < g.cols(); ++c) {
        if (a.spalte[size_t(unterspalteVon(c))])
            g.autoSize(c);
        else
            g.setColWidth(c, 0);
    }
    if (a.leereSpaltenWeg) {
        const float m = mdl::ZahlAusText(a.mindestanzahl);
        for (int b = 0; b < Bloecke; ++b) {
            if (blockBenutzt(g, b, m))
                continue;
            for (int c = blockStart(b); c < blockStart(b) + BlockBreite; ++c)
                g.setColWidth(c, 0);
        }
    }
    titelPlatzGeben(g);
    g.setRedraw(true);
    if (rahmen)
        rahmenZeichnen(g, a);
}

void rahmenZeichnen(VSGrid &g, const Anzeige &a)
{
    const int letzteZeile = g.rows() - 1, letzteSpalte = g.cols() - 1;
    if (letzteZeile < 0 || letzteSpalte < 0)
        return;
    const int keep = grid::BorderKeep;
    g.setRedraw(false);
    for (int c = FesteSpalten; c <= letzteSpalte; ++c)
        g.cellBorderRange(0, c, letzteZeile, c, Weiss, 0, keep, keep, keep);
    for (int c : {blockStart(0), blockStart(6), blockStart(10)})
        if (c <= letzteSpalte)
            g.cellBorderRange(0, c, 0, c, Rahmenblau, 2, keep, keep, keep);

    // Each test group is separated at its first visible column.
    bool gefunden[3] = {false, false, false};
    const char *const kennung[3] = {"SCHA", "KA", "EX"};
    for (int c = 1; c <= letzteSpalte && letzteZeile >= 1; ++c) {
        if (g.colWidth(c) <= 0)
            continue;
        const QString titel = g.textMatrix(0, c).toUpper();
        for (int i = 0; i < 3; ++i) {
            if (!gefunden[i] && titel.contains(QLatin1String(kennung[i]))) {
                gefunden[i] = true;
                g.cellBorderRange(1, c, letzteZeile, c, Rahmenblau, 2, keep, keep, keep);
            }
        }
    }

    for (int r = KopfZeilen; r <= letzteZeile; ++r)
        g.cellBorderRange(r, 0, r, letzteSpalte, Weiss, keep, 0, keep, keep);

    if (a.gruppenLinien) {
        QString letzterSchluessel;
        for (int r = KopfZeilen; r <= letzteZeile; ++r) {
            if (g.rowHeight(r) <= 0)
                continue;
            const QString s = g.textMatrix(r, a.gruppenSpalte);
            if (s != letzterSchluessel) {
                letzterSchluessel = s;
                g.cellBorderRange(r, 0, r, letzteSpalte, Rahmenblau, keep, 2, keep, keep);
            }
        }
    }
    g.setRedraw(true);
}

void zeilenFilter(VSGrid &g, const Anzeige &a)
{
    g.setRedraw(false);
    const int hoehe = g.rowHeight(0);
    for (int r = KopfZeilen; r < g.rows(); ++r) {
        if (!a.nichtAbgeg) {
            g.setRowHeight(r, hoehe);
            continue;
        }
        int offen = 0;
        for (int b = 0; b < Bloecke; ++b)
            if (g.cellBackColor(r, blockStart(b) + Abgegeben) == Hellrot)
                ++offen;
        g.setRowHeight(r, offen == 0 ? 0 : hoehe);
    }
    g.setRedraw(true);
    rahmenZeichnen(g, a);
}

void kopfFrei(VSGrid &g, bool frei)
{
    if (frei) {
        g.setFixedRows(0);
        g.setFixedCols(0);
    } else {
        g.setFixedRows(std::min(KopfZeilen, g.rows()));
        g.setFixedCols(std::min(FesteSpalten, g.cols()));
    }
    // The test captions span their block only while they are header cells.
    g.setMergeRow(0, !frei);
}

void zeilenEintragen(VSGrid &g, const Fuellung &f)
{
    const bool vorher = g.redraw();
    g.setRedraw(false);
    int r = g.rows();
    g.setRows(r + int(f.zeilen.size()));
    for (const KursZeile &z : f.zeilen) {
        g.setTextMatrix(r, 0, z.fach);
        g.setTextMatrix(r, 1, z.klasse);
        g.setTextMatrix(r, 2, z.lehrer);
        for (int i = 0; i < Bloecke * BlockBreite; ++i) {
            if (!z.zellen[size_t(i)].isEmpty())
                g.setTextMatrix(r, FesteSpalten + i, z.zellen[size_t(i)]);
            if (z.farben[size_t(i)] != 0)
                g.setCellBackColor(r, FesteSpalten + i, z.farben[size_t(i)]);
        }
        ++r;
    }
    g.setRedraw(vorher);
}

} // namespace lnw
