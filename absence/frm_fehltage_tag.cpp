// The absence window's day list (absentees of the chosen day) and the period check with the
// period overview of the calendar.
#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "absence/tagesliste.h"
#include "absence/zeitraum.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QLabel>
#include <QLineEdit>

using namespace absence;

namespace {
enum TageslistenSpalte { TlId = 0, TlKlasse = 1, TlName = 2, TlGrund = 3, TlSchluessel = 4, TlBemerkung = 5 };
constexpr long Blau = 0xFF0000;
} // namespace

// ---- day list

void frm_Fehltage::KrankeEintragen(const QDate &tag)
{
    if (!tag.isValid())
        return;
    lblDatum->setText(tag.toString(QStringLiteral("dd.MM.yyyy")));
    const QString klasse = vt::upperTrim(fgKlassen->textMatrix(fgKlassen->row(), 0));

    VSGrid *g = fgKranke;
    g->setRedraw(false);
    g->setCols(6);
    g->setRows(1);
    g->setTextMatrix(0, TlKlasse, QStringLiteral("Klasse"));
    g->setTextMatrix(0, TlName, QStringLiteral("Name"));
    g->setTextMatrix(0, TlGrund, QStringLiteral("Grund"));
    g->setTextMatrix(0, TlBemerkung, QStringLiteral("Bemerkung"));
    g->setColAlignment(TlKlasse, grid::AlignLeftCenter);
    g->setColHidden(TlSchluessel, true);
    g->setColHidden(TlBemerkung, true);

    QVector<TageslistenZeile> zeilen;
    try {
        zeilen = Tagesliste::lesen(mdl::dbEigen, tag, m_personen, klasse, mdl::Benutzer);
    } catch (const zdb::DbError &e) {
        g->setRedraw(true);
        msg::box(e.germanText());
        return;
    }
    g->setRows(1 + int(zeilen.size()));
    for (int i = 0; i < zeilen.size(); ++i) {
        const TageslistenZeile &z = zeilen[i];
        const int r = 1 + i;
        g->setTextMatrix(r, TlId, z.id);
        g->setTextMatrix(r, TlKlasse, z.klasse);
        g->setTextMatrix(r, TlName, z.name);
        g->setTextMatrix(r, TlGrund, z.grund);
        g->setTextMatrix(r, TlSchluessel, z.schluessel);
        g->setTextMatrix(r, TlBemerkung, z.bemerkung);
    }
    if (!zeilen.isEmpty()) {
        g->select(1, TlSchluessel);
        g->sort(grid::SortStringAscending);
        g->setColAlignment(TlKlasse, grid::AlignRightCenter);
    }
    g->setColWidth(TlId, 0);
    g->setColWidth(TlKlasse, 600);
    g->setColWidth(TlName, 2100);
    g->setColWidth(TlGrund, 700);
    tageslisteGruppenLinien(TlKlasse, 3);
    g->select(0, 0);
    g->setRedraw(true);
    lblAnzahl->setText(QString::number(g->rows() - 1) + QStringLiteral(" Einträge"));
}

// A blue line above each row whose group (the first characters of a column) differs from the
// row above; spalte < 0 removes every line.
void frm_Fehltage::tageslisteGruppenLinien(int spalte, int zeichen)
{
    VSGrid *g = fgKranke;
    QStringList gruppen;
    for (int r = 1; r < g->rows(); ++r)
        gruppen << (spalte < 0 ? QString() : g->textMatrix(r, spalte).left(zeichen));
    const QVector<bool> wechsel = Tagesliste::gruppenwechsel(gruppen);
    for (int i = 0; i < wechsel.size(); ++i)
        g->cellBorderRange(1 + i, 0, 1 + i, g->cols() - 1, Blau, grid::BorderKeep,
                           (spalte >= 0 && wechsel[i]) ? 1 : 0, grid::BorderKeep, grid::BorderKeep);
}

void frm_Fehltage::fgKranke_MouseDown(int r, int c)
{
    VSGrid *g = fgKranke;
    if (r == 0) {
        if (g->rows() <= 1)
            return;
        g->setRedraw(false);
        if (c == TlKlasse) {
            g->select(1, TlKlasse, 1, TlName);
            g->sort(grid::SortGenericAscending);
            tageslisteGruppenLinien(TlKlasse, 3);
        } else if (c == TlName) {
            g->select(1, TlName);
            g->sort(grid::SortGenericAscending);
            tageslisteGruppenLinien(-1, 0);
        } else if (c == TlGrund) {
            for (int z = 1; z < g->rows(); ++z)
                g->setTextMatrix(z, TlSchluessel, g->textMatrix(z, TlGrund) + g->textMatrix(z, TlName));
            g->select(1, TlSchluessel);
            g->sort(grid::SortGenericAscending);
            tageslisteGruppenLinien(TlGrund, 1000);
        }
        g->setRedraw(true);
        return;
    }
    if (r < 1 || r >= g->rows())
        return;
    const QString klasse = vt::trimBlanks(g->textMatrix(r, TlKlasse));
    const QString id = g->textMatrix(r, TlId);
    if (PersonenZeilenErstellen(Klassenliste::personenDerKlasse(klasse)))
        AbsenzenInKalenderEintragen();
    KontaktdatenAnzeigen(id);
    AbsenzenDerPersonAnzeigen(id);
}

// ---- period

std::optional<std::pair<QDate, QDate>> frm_Fehltage::zeitraum() const
{
    return Zeitraum::pruefen(txtStartTag->text(), txtEndeTag->text(), SchuljahrBeginn, SchuljahrEnde);
}

bool frm_Fehltage::ZeitraumPruefen()
{
    if (zeitraum())
        return true;
    msg::box(Zeitraum::Meldung, msg::OKOnly);
    return false;
}

void frm_Fehltage::cmdUeberblick_Click()
{
    const auto z = zeitraum();
    if (!z) {
        msg::box(Zeitraum::Meldung, msg::OKOnly);
        return;
    }
    VSGrid *g = fgSchueler;
    const int erste = Schuljahr::ErsteTagSpalte;
    if (g->rows() > Fehltagekalender::KopfZeilen && g->cols() > erste && kalender().tage()) {
        // School days by the day classification, not by cell colours that reasons may have changed.
        QVector<Zeitraum::Spalte> spalten;
        for (int c = erste; c < g->cols(); ++c) {
            const QDate d = vt::parseDate(g->textMatrix(3, c));
            const int i = kalender().tage()->spalte(d) - erste;
            const long farbe = i >= 0 ? kalender().tage()->tage()[i].farbe : 0;
            spalten.push_back({d, d.isValid() && farbe != units::Red && farbe != units::Yellow});
        }
        const int breite =
            units::pixelsToTwips(g->width()) - g->colWidth(0) - g->colWidth(1) - g->colWidth(2) - 60;
        const QVector<Zeitraum::UeberblickSpalte> u = Zeitraum::ueberblick(spalten, z->first, z->second, breite);
        const int letzte = g->rows() - 1;
        g->setRedraw(false);
        for (int i = 0; i < u.size(); ++i) {
            const int c = erste + i;
            g->setTextMatrix(0, c, u[i].monat);
            g->setColWidth(c, u[i].breite);
            if (u[i].monatsbeginn)
                g->cellBorderRange(1, c, letzte, c, 0, 1, grid::BorderKeep, grid::BorderKeep, grid::BorderKeep);
            for (int r = Fehltagekalender::KopfZeilen; r <= letzte; ++r)
                if (!vt::trimBlanks(g->textMatrix(r, c)).isEmpty())
                    g->setCellBackColor(r, c, FarbeDesGrundes(g->textMatrix(r, c)));
        }
        // The period from its first school day: the scroll position of the class click would hide it.
        g->setLeftCol(erste);
        g->setRedraw(true);
    }
    g->setMergeCells(grid::MergeFree);
    g->setMergeRow(0, true);
    g->select(0, 0);
}
