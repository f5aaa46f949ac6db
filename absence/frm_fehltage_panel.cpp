// The absence window's entry panel (one person and day) and person panel (absence list,
// contact data, search).
#include "absence/frm_fehltage.h"
#include "absence/personensuche.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

using namespace absence;

// ---- entry panel

QDate frm_Fehltage::gewaehlterTag() const
{
    if (vt::trimBlanks(lblTag->text()).isEmpty())
        return {};
    return vt::parseDate(lblTag->text());
}

AbsenzDaten frm_Fehltage::panelDaten() const
{
    AbsenzDaten d;
    d.grund = txtStd[0]->text();
    for (int i = 0; i < 10; ++i)
        d.std[i] = txtStd[1 + i]->text();
    d.bemerkung = txtBemerkung->text();
    d.zaehlt = txt_Zaehlt->text();
    d.entschuldigt = chk_entschuldigt->checkState() != Qt::Unchecked;
    return d;
}

void frm_Fehltage::FehltagLaden(const QString &id, const QDate &tag)
{
    std::optional<AbsenzDaten> d;
    try {
        d = Absenz::laden(mdl::dbEigen, m_kalender->kennung(id), tag);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText());
        return;
    }
    if (!d)
        return;
    txtStd[0]->setText(d->grund);
    for (int i = 0; i < 10; ++i)
        txtStd[1 + i]->setText(d->std[i]);
    txtBemerkung->setText(d->bemerkung);
    txt_Zaehlt->setText(d->zaehlt);
    chk_entschuldigt->setChecked(d->entschuldigt);
    if (Absenz::istKr(d->grund)) {
        txtBemerkung->setEnabled(false);
        txtBemerkung->setText(Absenz::KrBemerkung);
    } else {
        txtBemerkung->setEnabled(true);
    }
}

void frm_Fehltage::AbsenzSpeichern(const QString &id, const QDate &tag)
{
    if (!tag.isValid())
        return;
    try {
        Absenz::speichern(mdl::dbEigen, m_kalender->kennung(id), tag, panelDaten());
    } catch (const zdb::DbError &e) {
        msg::box(QStringLiteral("Die Absenz konnte nicht gespeichert werden.\r") + e.germanText());
    }
}

void frm_Fehltage::GanztagAbsenzSpeichern(const QString &id, const QDate &tag, const QString &grund)
{
    if (!tag.isValid())
        return;
    try {
        Absenz::ganztagSpeichern(mdl::dbEigen, m_kalender->kennung(id), tag, grund);
    } catch (const zdb::DbError &e) {
        msg::box(QStringLiteral("Die Absenz konnte nicht gespeichert werden.\r") + e.germanText());
    }
}

void frm_Fehltage::txt_Zaehlt_LostFocus()
{
    const std::optional<QString> z = Absenz::zaehltNormalisieren(txt_Zaehlt->text());
    const QDate tag = gewaehlterTag();
    if (!z) {
        // No number: the box shows the stored value again (empty without a record); nothing is saved.
        QString gespeichert;
        if (tag.isValid()) {
            try {
                if (const auto d = Absenz::laden(mdl::dbEigen, m_kalender->kennung(lblSNr->text()), tag))
                    gespeichert = d->zaehlt;
            } catch (const zdb::DbError &) {
            }
        }
        txt_Zaehlt->setText(gespeichert);
        return;
    }
    txt_Zaehlt->setText(*z);
    if (tag.isValid()) {
        AbsenzSpeichern(lblSNr->text(), tag);
        AbsenzenDerPersonAnzeigen(lblSNr->text());
    }
}

void frm_Fehltage::cmd_zaehlt_Click(int index)
{
    txt_Zaehlt->setText(cmd_zaehlt[index]->text());
    txt_Zaehlt_LostFocus();
    txt_Dummy->setFocus();
}

void frm_Fehltage::txtBemerkung_LostFocus()
{
    const QDate tag = gewaehlterTag();
    if (tag.isValid())
        AbsenzSpeichern(lblSNr->text(), tag);
}

void frm_Fehltage::chk_entschuldigt_MouseUp()
{
    const QDate tag = gewaehlterTag();
    if (!tag.isValid())
        return;
    AbsenzSpeichern(lblSNr->text(), tag);
    AbsenzenDerPersonAnzeigen(lblSNr->text());
}

bool frm_Fehltage::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::FocusOut) {
        // Leaving the box, not the window losing activation or a pop-up opening.
        const Qt::FocusReason grund = static_cast<QFocusEvent *>(e)->reason();
        if (grund == Qt::ActiveWindowFocusReason || grund == Qt::PopupFocusReason)
            return ChildWindow::eventFilter(watched, e);
        if (watched == txt_Zaehlt)
            txt_Zaehlt_LostFocus();
        else if (watched == txtBemerkung)
            txtBemerkung_LostFocus();
    } else if (e->type() == QEvent::FocusIn) {
        if (auto *tel = qobject_cast<QLineEdit *>(watched);
            tel && (tel == txtTelefon || tel == txtTelefon1 || tel == txtTelefon2))
            // All of it selected from the end back to 0, so a number wider than the box shows its start.
            QTimer::singleShot(0, tel, [tel] { tel->setSelection(int(tel->text().size()), -int(tel->text().size())); });
    } else if (e->type() == QEvent::MouseButtonPress) {
        // A right click on a reason box opens the reason pop-up instead of the box's own menu.
        const auto *m = static_cast<QMouseEvent *>(e);
        for (int k = 0; k <= 10; ++k)
            if (watched == txtStd[k] && m->button() == Qt::RightButton) {
                txtStd_MouseDown(k, 2);
                return true;
            }
    }
    if (watched == chk_entschuldigt) {
        if (e->type() == QEvent::MouseButtonRelease)
            m_mausAmCheck = true;
        else if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)
            m_mausAmCheck = false;
    }
    return ChildWindow::eventFilter(watched, e);
}

// ---- person panel

void frm_Fehltage::AbsenzListeKopfErstellen()
{
    VSGrid *g = fgSchuelerAbsenzen;
    g->setRedraw(false);
    g->setCols(15);
    g->setRows(1);
    g->setFixedRows(1);
    g->setFixedCols(0);
    g->setColWidth(0, 800);
    g->setTextMatrix(0, 0, QStringLiteral("Termin"));
    g->setColWidth(1, 300);
    g->setTextMatrix(0, 1, QStringLiteral("Gr"));
    for (int c = 2; c <= 11; ++c) {
        g->setColWidth(c, 300);
        g->setTextMatrix(0, c, QString::number(c - 1));
    }
    g->setColWidth(12, 300);
    g->setColDataType(12, grid::TypeBoolean);
    g->setTextMatrix(0, 12, QStringLiteral("ent"));
    g->setColWidth(13, 300);
    g->setTextMatrix(0, 13, QStringLiteral("zä"));
    // The rest of the width; a narrow list keeps a readable remark column.
    g->setColWidth(14, std::max(300, units::pixelsToTwips(g->width()) - 4700 - 400));
    g->setTextMatrix(0, 14, QStringLiteral("Bemerkung"));
    g->setRedraw(true);
    lblFehltage->clear();
}

void frm_Fehltage::AbsenzenDerPersonAnzeigen(const QString &id)
{
    AbsenzListeKopfErstellen();
    QVector<Absenz::Zeile> zeilen;
    try {
        zeilen = Absenz::derPerson(mdl::dbEigen, m_kalender->kennung(id));
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText());
        return;
    }
    VSGrid *g = fgSchuelerAbsenzen;
    g->setRedraw(false);
    g->setRows(1 + int(zeilen.size()));
    for (int i = 0; i < zeilen.size(); ++i) {
        const int r = 1 + i;
        const Absenz::Zeile &z = zeilen[i];
        g->setTextMatrix(r, 0, z.fehltag.isValid() ? z.fehltag.toString(QStringLiteral("dd.MM.yy")) : QString());
        g->setTextMatrix(r, 1, z.grund);
        for (int s = 0; s < 10; ++s)
            g->setTextMatrix(r, 2 + s, z.std[s]);
        g->setTextMatrix(r, 12, z.entschuldigt ? QStringLiteral("1") : QStringLiteral("0"));
        g->setTextMatrix(r, 13, z.zaehlt);
        g->setTextMatrix(r, 14, z.bemerkung);
    }
    g->setRedraw(true);
    lblFehltage->setText(QString::number(g->rows() - 1));
}

void frm_Fehltage::KontaktdatenAnzeigen(const QString &id)
{
    if (!mdl::NMDatenbankOeffnen())
        return; // the wait was given up: nothing changes
    Kontaktdaten k;
    try {
        k = Kontakt::lesen(mdl::dbNM(), id);
    } catch (const zdb::DbError &e) {
        mdl::NMDatenbankSchliessen();
        msg::box(e.germanText());
        return;
    }
    mdl::NMDatenbankSchliessen();
    lblName->setText(k.name);
    lblStrasse->setText(k.strasse);
    lblPlzOrt->setText(k.plzOrt);
    txtTelefon->setText(k.telefon);
    lblGilt1->setText(k.gilt1);
    lblName1->setText(k.name1);
    lblArt1->setText(k.art1);
    txtTelefon1->setText(k.telefon1);
    lblGilt2->setText(k.gilt2);
    lblName2->setText(k.name2);
    lblArt2->setText(k.art2);
    txtTelefon2->setText(k.telefon2);
    for (QLineEdit *tel : {txtTelefon, txtTelefon1, txtTelefon2})
        tel->setCursorPosition(0); // a number wider than its box shows its start

    const Personentabelle::Person p = PersonSuchen(id);
    lblSName->setText(p.sname);
    lblSKlasse->setText(p.klasse);
    for (QLineEdit *e : txtStd)
        e->clear();
    txtBemerkung->clear();
}

void frm_Fehltage::txtSuche_Change()
{
    const QString t = txtSuche->text();
    if (!Personensuche::startet(t))
        return;
    EingabeLeeren();
    if (PersonenZeilenErstellen(Personensuche::abfrage(t)))
        AbsenzenInKalenderEintragen();
    fgSchueler->select(3, 1);
}
