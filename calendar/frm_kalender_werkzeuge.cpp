// The school office's tools in the exam-plan window: copying an entry into the window's own
// clipboard, pasting it with Shift+click, marking cells with Ctrl+click and deleting the marked cells.
#include "calendar/frm_kalender.h"
#include "calendar/markierung.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"

#include <QFrame>
#include <QLabel>

using namespace kalender;

namespace {
constexpr int TasteC = 67;
constexpr int TasteEntf = 46;
constexpr int Strg = 2;
} // namespace

void frm_Kalender::markierungenEntfernen()
{
    GridStore &s = fgKalender->store();
    for (int i = 1; i < s.rows(); ++i)
        for (int j = 1; j < s.cols(); ++j)
            if (s.cellBackColor(i, j) == FarbeMarkiert)
                fgKalender->setCellBackColor(i, j, 0);
}

void frm_Kalender::TerminKopieren(int r)
{
    if (r < 1 || r >= fgDetail->rows())
        return; // the header row is no entry
    const int bem = mdl::SpalteSuchen(*fgDetail, QStringLiteral("Bemerkung ..."));
    const int fach = mdl::SpalteSuchen(*fgDetail, QStringLiteral("Fach"));
    const int lk = mdl::SpalteSuchen(*fgDetail, QStringLiteral("Lehrkraft"));
    const int ni = mdl::SpalteSuchen(*fgDetail, QStringLiteral("nicht Internet"));
    if (bem >= fgDetail->cols() || fach >= fgDetail->cols() || lk >= fgDetail->cols() || ni >= fgDetail->cols())
        return;
    m_ablage.bemerkung = fgDetail->textMatrix(r, bem);
    m_ablage.fach = fgDetail->textMatrix(r, fach);
    m_ablage.lehrkraft = fgDetail->textMatrix(r, lk);
    m_ablage.nichtInternet = fgDetail->cellChecked(r, ni) == grid::Checked;
    msg::box(meldungKopiert(m_ablage), msg::OKOnly);
}

void frm_Kalender::fgDetail_KeyUp(int keyCode, int shift)
{
    if (keyCode == TasteC && shift == Strg && istSchulleitung(mdl::Benutzer))
        TerminKopieren(fgDetail->row());
}

void frm_Kalender::fgKalender_KeyUp(int keyCode, int shift)
{
    if (!istSchulleitung(mdl::Benutzer))
        return;
    if (keyCode == TasteEntf) {
        markierteZellenLoeschen();
        return;
    }
    if (keyCode != TasteC || shift != Strg)
        return;
    // The cell whose details are shown: a right click does not move the grid's current cell,
    // and a scroll sets it to the header.
    const int r = ZeileZuDatum(m_detailsDatum), c = SpalteZuKlasse(lblKlasse->text());
    if (r * c <= 0)
        return;
    if (fgKalender->textMatrix(r, c).trimmed().contains(QLatin1Char(' '))) {
        msg::box(meldungMehrereTermineKopieren(), msg::OKOnly);
        return;
    }
    if (fgDetail->rows() > 1)
        TerminKopieren(1);
}

void frm_Kalender::einfuegen(int r, int c)
{
    fgKalender->select(r, c); // the pasted cell alone becomes the current one
    markierungenEntfernen();
    if (m_ablage.leer()) {
        msg::box(meldungKeineDatenZumKopieren(), msg::OKOnly);
        return;
    }
    const QDate datum = m_tabelle.datum(r);
    const QString klasse = fgKalender->textMatrix(0, c);
    try {
        if (terminEinfuegen(mdl::dbEigen, datum, klasse, m_ablage, mdl::Benutzer) == 0)
            return;
    } catch (const std::exception &e) {
        datenbankFehler(e, QStringLiteral("Die Einträge wurden nicht eingefügt."));
        return;
    }
    Geaendert = true;
    // The details follow the pasted cell; the pop-up belonged to another cell.
    popupVerstecken();
    m_popupZeile = m_popupSpalte = 0;
    lblTag->setText(fgKalender->textMatrix(r, 0));
    lblKlasse->setText(klasse);
    m_detailsDatum = datum;
    DetailsAnzeigen(klasse, datum);
}

void frm_Kalender::markieren(int r, int c)
{
    frmSchA->hide();
    const QString text = fgKalender->textMatrix(r, c).trimmed();
    if (text.contains(QLatin1Char(' '))) {
        msg::box(meldungMehrereTermineMarkieren(), msg::OKOnly);
        return;
    }
    if (fgKalender->cellBackColor(r, c) == FarbeMarkiert)
        fgKalender->setCellBackColor(r, c, 0);
    else if (!text.isEmpty())
        fgKalender->setCellBackColor(r, c, FarbeMarkiert);
}

void frm_Kalender::markierteZellenLoeschen()
{
    Sperre sperre(m_beschaeftigt);
    if (!sperre.frei())
        return;
    QVector<QPoint> lage; // (column, row) of each marked cell, row by row
    QVector<MarkierteZelle> zellen;
    const GridStore &s = fgKalender->store();
    for (int r = 1; r < s.rows(); ++r)
        for (int c = 1; c < s.cols(); ++c)
            if (s.cellBackColor(r, c) == FarbeMarkiert) {
                lage.append(QPoint(c, r));
                zellen.append({m_tabelle.datum(r), fgKalender->textMatrix(0, c)});
            }
    if (zellen.isEmpty())
        return;
    if (msg::box(frageMarkierteLoeschen(zellen.size()), msg::YesNo | msg::DefaultButton2) != msg::Yes)
        return;
    QVector<ZellErgebnis> ergebnis;
    try {
        ergebnis = markierteLoeschen(mdl::dbEigen, zellen, mdl::Benutzer);
    } catch (const std::exception &e) {
        datenbankFehler(e, QStringLiteral("Es wurde nichts gelöscht.")); // the marks stay
        return;
    }
    bool geloescht = false;
    for (int i = 0; i < lage.size(); ++i) {
        const int r = lage[i].y(), c = lage[i].x();
        fgKalender->setCellBackColor(r, c, 0);
        // The cell shows what the database now holds, not the deleted subject.
        fgKalender->setTextMatrix(r, c, ergebnis[i].faecher);
        geloescht = geloescht || ergebnis[i].geloescht;
    }
    if (geloescht) {
        Geaendert = true;
        frmSchA->hide();
        detailsNeuLaden();
    }
}
