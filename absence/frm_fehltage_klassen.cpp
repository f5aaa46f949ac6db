// The absence window's class list: filling, class click, ticks and their refresh.
#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QScopedValueRollback>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTime>

using namespace absence;

namespace {
constexpr int TickSpalte = 2;
constexpr int LeiterSpalte = 3;
} // namespace

// Runs while the grade manager's database is open (window load).
void frm_Fehltage::klassenlisteFuellen()
{
    const QVector<KlassenZeile> zeilen = Klassenliste::laden(mdl::dbNM(), mdl::Benutzer);
    fgKlassen->setColHidden(LeiterSpalte, true);
    if (zeilen.isEmpty())
        return;
    fgKlassen->setRedraw(false);
    fgKlassen->setRows(1);
    fgKlassen->setRows(1 + int(zeilen.size()));
    for (int i = 0; i < zeilen.size(); ++i) {
        const int r = 1 + i;
        const KlassenZeile &z = zeilen[i];
        fgKlassen->setTextMatrix(r, 0, z.klasse);
        if (z.istLK)
            continue;
        fgKlassen->setTextMatrix(r, 1, z.name);
        fgKlassen->setTextMatrix(r, LeiterSpalte, z.klassenleiter);
        fgKlassen->setCellChecked(r, TickSpalte, grid::Unchecked);
    }
    fgKlassen->setColWidth(0, 600);
    fgKlassen->setColWidth(1, 2000);
    fgKlassen->setColWidth(TickSpalte, 300);
    const QVector<bool> wechsel = Klassenliste::stufenwechsel(zeilen);
    for (int i = 0; i < wechsel.size(); ++i)
        if (wechsel[i])
            fgKlassen->cellBorderRange(1 + i, 0, 1 + i, LeiterSpalte, 0xFF0000, grid::BorderKeep, 1, grid::BorderKeep,
                                       grid::BorderKeep);
    // As in any filled grid the first row below the header is current: the day list of a class
    // teacher who has not clicked a class yet shows that class.
    fgKlassen->select(1, 0);
    fgKlassen->setRedraw(true);
}

void frm_Fehltage::fgKlassen_Click()
{
    if (fgKlassen->rows() <= 1)
        return;
    const int mr = fgKlassen->mouseRow();
    if (mr == 0 || (mr < 0 && fgKlassen->mouseCol() >= 0))
        return; // header, or below the last row
    const int r = fgKlassen->row(), c = fgKlassen->col();
    if (r < 1)
        return;
    m_klassenZeile = r;
    if (!Klassenliste::darfKlasseAufrufen(mdl::Benutzer, fgKlassen->textMatrix(r, LeiterSpalte))) {
        msg::box(Klassenliste::MeldungNurEigeneKlasse, msg::OKOnly);
        return;
    }
    if (c >= TickSpalte)
        tickKlicken(r, c);
    else
        klasseLaden(r);
}

void frm_Fehltage::tickKlicken(int r, int c)
{
    if (fgKlassen->cellChecked(r, TickSpalte) == grid::NoCheckbox)
        return; // the teachers' row
    Q_UNUSED(c);
    const int vorher = fgKlassen->cellChecked(r, TickSpalte);
    const QString vorherText = fgKlassen->textMatrix(r, TickSpalte);
    if (vorher == grid::Checked) {
        if (msg::box(QStringLiteral("Soll das Häkchen wirklich wieder entfernt werden?"), msg::YesNo | msg::DefaultButton2)
            == msg::Yes) {
            fgKlassen->setCellChecked(r, TickSpalte, grid::Unchecked);
            lblToolTipp->hide();
            fgKlassen->setTextMatrix(r, TickSpalte, QString());
        }
    } else {
        fgKlassen->setCellChecked(r, TickSpalte, grid::Checked);
        fgKlassen->setTextMatrix(r, TickSpalte, QTime::currentTime().toString(QStringLiteral("hh:mm")));
    }
    try {
        KlasseGemeldet::speichern(mdl::dbEigen, fgKlassen->textMatrix(r, 0), fgKlassen->textMatrix(r, TickSpalte), heute());
    } catch (const zdb::DbError &e) {
        fgKlassen->setCellChecked(r, TickSpalte, vorher);
        fgKlassen->setTextMatrix(r, TickSpalte, vorherText);
        msg::box(QStringLiteral("Die Meldung der Klasse wurde nicht gespeichert.\r") + e.germanText());
    }
    fgKlassen->select(r, 0);
}

void frm_Fehltage::klasseLaden(int r)
{
    if (m_inKlassenKlick)
        return;
    const QScopedValueRollback<bool> ende(m_inKlassenKlick, true);

    if (!Klassenliste::darfKlasseAufrufen(mdl::Benutzer, fgKlassen->textMatrix(r, LeiterSpalte))) {
        msg::box(Klassenliste::MeldungNurEigeneKlasse, msg::OKOnly);
        return;
    }
    ++m_klassenLadungen;
    QApplication::processEvents();
    chkExtraSeite->setChecked(false);
    EingabeLeeren();
    fgSchuelerAbsenzen->setRows(1);
    KontaktfelderLeeren();
    Label2->show();
    Label3->setVisible(Klassenliste::istVerwaltung(vt::trimBlanks(mdl::Benutzer)));
    if (PersonenZeilenErstellen(Klassenliste::personenDerKlasse(fgKlassen->textMatrix(r, 0))))
        AbsenzenInKalenderEintragen();
}

void frm_Fehltage::Timer1_Timer()
{
    QVector<KlasseGemeldet::Meldung> meldungen;
    try {
        meldungen = KlasseGemeldet::desTages(mdl::dbEigen, heute());
    } catch (const zdb::DbError &) {
        return; // busy: the next run reads them
    }
    for (const KlasseGemeldet::Meldung &m : meldungen) {
        const QString key = m.klasse.toUpper();
        for (int r = 1; r < fgKlassen->rows(); ++r) {
            if (vt::upperTrim(fgKlassen->textMatrix(r, 0)) != key)
                continue;
            if (fgKlassen->cellChecked(r, TickSpalte) == grid::NoCheckbox)
                continue;
            fgKlassen->setCellChecked(r, TickSpalte, m.zeit.isEmpty() ? grid::Unchecked : grid::Checked);
            fgKlassen->setTextMatrix(r, TickSpalte, m.zeit);
        }
    }
}

// The tooltip of the tick column: its meaning over the header, the report time over a ticked class.
void frm_Fehltage::klassenlisteMausBewegung()
{
    const int mr = fgKlassen->mouseRow(), mc = fgKlassen->mouseCol();
    if (mc != TickSpalte) {
        lblToolTipp->hide();
        return;
    }
    if (mr < 0)
        return;
    const QRect zelle = fgKlassen->cellRect(mr, TickSpalte);
    const QPoint oben = fgKlassen->mapTo(this, zelle.isValid() ? zelle.topLeft() : QPoint(0, 0));
    QString text;
    if (mr == 0)
        text = QStringLiteral("Klasse hat gemeldet");
    else
        text = vt::trimBlanks(fgKlassen->textMatrix(mr, TickSpalte));
    if (text.isEmpty()) {
        lblToolTipp->hide();
        return;
    }
    lblToolTipp->setText(text);
    lblToolTipp->adjustSize();
    const int rechts = mr == 0 ? oben.x() + zelle.width() : oben.x();
    lblToolTipp->move(rechts - lblToolTipp->width(), oben.y());
    lblToolTipp->show();
    lblToolTipp->raise();
}
