// The exam-plan window's ordinary clicks, the subject pop-up, the details of one day and class,
// and the editing and deleting of entries there.
#include "calendar/frm_kalender.h"
#include "calendar/termine.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <cmath>

using namespace kalender;

namespace {
constexpr long Rot = 255;
constexpr long Gruen = 65280;

void rahmenFarbe(QFrame *f, long farbe)
{
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, units::toQColor(farbe));
    f->setPalette(pal);
}

QString datumText(const QDateTime &dt) { return dt.isValid() ? vt::valueText(dt) : QString(); }
} // namespace

void frm_Kalender::fgKalender_MouseDown(int button, int shift, int r, int c)
{
    if (r <= 0 || c <= 0 || r >= fgKalender->rows() || c >= fgKalender->cols())
        return;
    Sperre sperre(m_beschaeftigt);
    if (!sperre.frei())
        return;
    // Shift and Ctrl presses of the school office are its tools.
    if ((shift == 1 || shift == 2) && istSchulleitung(mdl::Benutzer)) {
        if (shift == 1)
            einfuegen(r, c);
        else
            markieren(r, c);
        return;
    }

    lstSchA->hide();
    m_popupZeile = m_popupSpalte = 0;
    markierungenEntfernen();
    m_klickZeile = r;
    m_klickSpalte = c;
    rahmenFarbe(frmSchA, Rot);

    if (fgKalender->rowHeight(r) <= 50) {
        popupVerstecken();
        return;
    }

    // The frame lies over the cell, 30 twips beyond it on every side.
    fgKalender->showCell(r, c);
    const QRect zelle = fgKalender->cellRect(r, c);
    const QPoint oben = fgKalender->mapTo(this, zelle.topLeft());
    const int rand = px(30);
    frmSchA->setGeometry(oben.x() - rand, oben.y() - rand, zelle.width() + 2 * rand, zelle.height() + 2 * rand);
    lblSchA->setGeometry(rand, rand, zelle.width(), zelle.height());
    lblSchA->setText(fgKalender->textMatrix(r, c));
    frmSchA->show();
    frmSchA->raise();

    lstSchA->clear();
    lstSchA->setCols(3);
    lstSchA->setRows(1);
    lstSchA->setFixedRows(1);
    lstSchA->setTextMatrix(0, 0, QStringLiteral("Fach"));
    lstSchA->setTextMatrix(0, 1, QStringLiteral("Lehrer"));
    lstSchA->setColWidth(0, 700);
    lstSchA->setColWidth(1, 900);
    lstSchA->setColWidth(2, 0);

    const QString klasse = fgKalender->textMatrix(0, c);
    QVector<Kurs> kurse;
    try {
        if (!mdl::NMDatenbankOeffnen())
            return;
        {
            const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
            kurse = kurseLesen(mdl::dbNM(), klasse);
        }
    } catch (const std::exception &e) {
        datenbankFehler(e);
        return;
    }

    m_angebot = angebotErstellen(mdl::Benutzer, mdl::KalenderFreigabeSonstigeTermine,
                                 mdl::KalenderFreigabeKlassenfahrt, kurse);
    if (!m_angebot.keineKurse) {
        for (const Angebot &a : m_angebot.zeilen)
            lstSchA->addItem(a.fach + QLatin1Char('\t') + a.lehrer + QLatin1Char('\t') + a.fachVoll);
        if (m_angebot.eigenerKurs)
            rahmenFarbe(frmSchA, Gruen);
        const int zeilen = std::min(lstSchA->rows(), 12);
        lstSchA->setGeometry(frmSchA->x() + rand, frmSchA->y() + frmSchA->height(),
                             px(lstSchA->colWidth(0) + lstSchA->colWidth(1) + 350),
                             px(zeilen * grid::DefaultRowHeight) + 6);
        if (button == 2) {
            lstSchA->show();
            lstSchA->raise();
        }
        m_popupZeile = r;
        m_popupSpalte = c;
    }

    lblTag->setText(fgKalender->textMatrix(r, 0));
    lblKlasse->setText(klasse);
    m_detailsDatum = m_tabelle.datum(r);
    DetailsAnzeigen(lblKlasse->text(), m_detailsDatum);

    // Subjects this teacher already has there (active entries) are greyed.
    for (int i = 1; i < lstSchA->rows(); ++i)
        for (int j = 1; j < fgDetail->rows(); ++j)
            if (mdl::GrossGetrimmt(lstSchA->textMatrix(i, 0)) == mdl::GrossGetrimmt(fgDetail->textMatrix(j, 3))
                && mdl::GrossGetrimmt(lstSchA->textMatrix(i, 1)) == mdl::GrossGetrimmt(fgDetail->textMatrix(j, 4))
                && fgDetail->cellForeColor(j, 3) != FarbeGrau)
                lstSchA->setCellForeColor(i, 0, i, 1, FarbeGrau);
}

void frm_Kalender::lblSchA_MouseDown(int button)
{
    if (button == 2)
        fgKalender_MouseDown(2, 0, m_klickZeile, m_klickSpalte);
}

void frm_Kalender::lstSchA_Click(int i)
{
    const int r = m_popupZeile, c = m_popupSpalte;
    if (r * c <= 0 || i < 0 || i >= lstSchA->rows())
        return;
    if (lstSchA->cellForeColor(i, 0) == FarbeGrau) {
        msg::box(meldungBereitsEingetragen(), msg::OKOnly);
        return;
    }
    const QString code = fachKuerzel(lstSchA->textMatrix(i, 0));
    if (i == 0 || mdl::GrossGetrimmt(code) == QLatin1String("FACH") || code.isEmpty())
        return;
    const Angebot gewaehlt{lstSchA->textMatrix(i, 0), lstSchA->textMatrix(i, 1), lstSchA->textMatrix(i, 2)};
    NeuerTermin t;
    t.datum = m_tabelle.datum(r);
    t.klasse = lblKlasse->text();
    t.fach = code;
    t.lehrkraft = gewaehlt.lehrer.trimmed();
    t.bemerkung = bemerkungFuerEintrag(m_angebot, gewaehlt);
    try {
        if (terminEintragen(mdl::dbEigen, t, mdl::Benutzer) == Eintragen::BereitsEingetragen) {
            msg::box(meldungBereitsEingetragen(), msg::OKOnly);
            return;
        }
    } catch (const std::exception &e) {
        datenbankFehler(e, QStringLiteral("Der Eintrag wurde nicht gespeichert."));
        return;
    }
    fgKalender->setTextMatrix(r, c, (fgKalender->textMatrix(r, c) + QLatin1Char(' ') + code).trimmed());
    popupVerstecken();
    if (mdl::KalenderEinfaerbenTage > 0)
        fgKalender->setCellBackColor(r, c, mdl::KalenderEinfaerbenfarbe);
    Geaendert = true;
    DetailsAnzeigen(lblKlasse->text(), m_detailsDatum);
}

void frm_Kalender::DetailsAnzeigen(const QString &klasseRoh, const QDate &datum)
{
    fgDetail->clear();
    fgDetail->setRows(1);
    fgDetail->setCols(12);
    static const char *const kopf[12] = {"", "Datum", "Klasse", "Fach", "Lehrkraft", "nicht Internet", "Bemerkung ...",
                                         "eingetragen am", "eingetragen von", "gelöscht am", "gelöscht von", ""};
    for (int c = 0; c < 12; ++c)
        fgDetail->setTextMatrix(0, c, QString::fromUtf8(kopf[c]));
    const QString klasse = klasseRoh.trimmed();
    QVector<Termin> termine;
    try {
        termine = termineVonTag(mdl::dbEigen, klasse, datum);
    } catch (const std::exception &e) {
        datenbankFehler(e);
        return;
    }
    QString s;
    for (const Termin &t : termine) {
        const int r = fgDetail->addItem();
        fgDetail->setTextMatrix(r, 0, QString::number(t.id));
        fgDetail->setTextMatrix(r, 1, datumText(t.datum));
        fgDetail->setTextMatrix(r, 2, t.klasse);
        fgDetail->setTextMatrix(r, 3, t.fach);
        fgDetail->setTextMatrix(r, 4, t.lehrkraft);
        fgDetail->setCellChecked(r, 5, t.nichtInternet ? grid::Checked : grid::Unchecked);
        fgDetail->setTextMatrix(r, 6, t.bemerkung);
        fgDetail->setTextMatrix(r, 7, datumText(t.eingetragenDatum));
        fgDetail->setTextMatrix(r, 8, t.eingetragenPerson);
        fgDetail->setTextMatrix(r, 9, t.geloescht ? datumText(t.geloeschtDatum) : QString());
        fgDetail->setTextMatrix(r, 10, t.geloeschtPerson);
        if (!t.geloescht) {
            fgDetail->setCellPicture(r, 11, m_schliessen);
            s = (s + QLatin1Char(' ') + t.fach.trimmed()).trimmed();
        } else {
            fgDetail->setCellForeColor(r, 0, r, 10, FarbeGrau);
            if (fgDetail->textMatrix(r, 9).trimmed().isEmpty()) // a deletion time that is no date
                fgDetail->setTextMatrix(r, 9, QStringLiteral("?"));
        }
    }
    const int zr = ZeileZuDatum(datum), zc = SpalteZuKlasse(klasse);
    if (zr * zc > 0)
        fgKalender->setTextMatrix(zr, zc, s);
    fgDetail->autoSize(1, 10);
    fgDetail->setColWidth(0, 0);
    fgDetail->setColWidth(11, units::pixelsToTwips(m_schliessen.width()) + 60);
    int summe = 0;
    for (int c = 0; c < 12; ++c)
        if (c != 6)
            summe += fgDetail->colWidth(c);
    // A very narrow window still leaves the remark readable.
    fgDetail->setColWidth(6, std::max(600, twips(fgDetail->width()) - summe - 2 * Abstand));
    MeineTermineFuellen();
}

void frm_Kalender::MeineTermineFuellen()
{
    fgMeineTermine->clear();
    fgMeineTermine->setRows(1);
    fgMeineTermine->setCols(3);
    fgMeineTermine->setFixedRows(1);
    fgMeineTermine->setTextMatrix(0, 0, QStringLiteral("Kl."));
    fgMeineTermine->setTextMatrix(0, 1, QStringLiteral("Fa."));
    fgMeineTermine->setTextMatrix(0, 2, QStringLiteral("Termin"));
    try {
        for (const MeinTermin &m : meineTermine(termineVonLehrkraft(mdl::dbEigen, mdl::Benutzer)))
            fgMeineTermine->addItem(m.klasse + QLatin1Char('\t') + m.fach + QLatin1Char('\t') + m.datum);
    } catch (const std::exception &e) {
        datenbankFehler(e);
    }
    for (int c = 0; c < 3; ++c)
        fgMeineTermine->setColAlignment(c, grid::AlignLeftCenter);
    fgMeineTermine->autoSize(0, 2);
}

bool frm_Kalender::hatRecht(int zeile) const
{
    return darfAendern(mdl::Benutzer, fgDetail->textMatrix(zeile, 4), fgDetail->textMatrix(zeile, 8));
}

void frm_Kalender::fgDetail_BeforeEdit(int row, int col, bool &cancel)
{
    if (row <= 0 || (col != 5 && col != 6)) {
        cancel = true;
        return;
    }
    if (!hatRecht(row)) {
        msg::box(meldungAendernVerboten(fgDetail->textMatrix(row, 4)), msg::OKOnly);
        fgDetail->setCol(0);
        cancel = true;
    }
}

void frm_Kalender::fgDetail_AfterEdit(int row, int col)
{
    if (row <= 0 || row >= fgDetail->rows() || (col != 5 && col != 6))
        return;
    if (hatRecht(row)) {
        QString lehrkraft;
        try {
            const Aenderung a = terminAendern(mdl::dbEigen, fgDetail->textMatrix(row, 0).trimmed().toLongLong(),
                                              fgDetail->cellChecked(row, 5) == grid::Checked,
                                              fgDetail->textMatrix(row, 6), mdl::Benutzer, &lehrkraft);
            if (a == Aenderung::Gespeichert)
                Geaendert = true;
            else if (a == Aenderung::KeinRecht)
                msg::box(meldungAendernVerboten(lehrkraft), msg::OKOnly);
        } catch (const std::exception &e) {
            datenbankFehler(e, QStringLiteral("Die Änderung wurde nicht gespeichert."));
        }
    } else {
        msg::box(meldungAendernVerboten(fgDetail->textMatrix(row, 4)), msg::OKOnly);
    }
    // Reloaded once the grid has finished its edit, which also undoes an edit that was not stored.
    QTimer::singleShot(0, this, [this] { detailsNeuLaden(); });
}

void frm_Kalender::detailsNeuLaden()
{
    if (m_detailsDatum.isValid())
        DetailsAnzeigen(lblKlasse->text(), m_detailsDatum);
}

void frm_Kalender::fgDetail_MouseDown(int r, int c)
{
    if (r <= 0 || r >= fgDetail->rows() || c != fgDetail->cols() - 1 || !fgDetail->textMatrix(r, 9).trimmed().isEmpty())
        return;
    Sperre sperre(m_beschaeftigt);
    if (!sperre.frei())
        return;
    if (!hatRecht(r)) {
        msg::box(meldungLoeschenVerboten(fgDetail->textMatrix(r, 4)), msg::OKOnly);
        return;
    }
    if (msg::box(QStringLiteral("Soll dieser Eintrag gelöscht werden?"), msg::YesNo | msg::DefaultButton2) != msg::Yes)
        return;
    QString lehrkraft;
    try {
        const Loeschung l = terminLoeschen(mdl::dbEigen, fgDetail->textMatrix(r, 0).trimmed().toLongLong(),
                                           mdl::Benutzer, &lehrkraft);
        if (l == Loeschung::Entfernt || l == Loeschung::AlsGeloeschtMarkiert) {
            if (mdl::KalenderEinfaerbenTage > 0) {
                const int zr = ZeileZuDatum(m_detailsDatum), zc = SpalteZuKlasse(lblKlasse->text());
                if (zr * zc > 0)
                    fgKalender->setCellBackColor(zr, zc, mdl::KalenderEinfaerbenfarbe);
            }
            Geaendert = true;
            frmSchA->hide();
        } else if (l == Loeschung::KeinRecht) {
            msg::box(meldungLoeschenVerboten(lehrkraft), msg::OKOnly);
        }
    } catch (const std::exception &e) {
        datenbankFehler(e, QStringLiteral("Der Eintrag wurde nicht gelöscht."));
    }
    QCoreApplication::processEvents();
    detailsNeuLaden();
}
