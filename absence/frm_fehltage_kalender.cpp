// The absence window's calendar clicks and the reason pop-up: a click chooses a person and day,
// a right click enters a whole-day reason (administration only) or fills a box of the entry panel.
#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace absence;

namespace {
constexpr int ZeileAngeboten = 225; // twips
const QDate ersterPopupTag(2008, 9, 1); // that day and earlier get no pop-up
int px(int twips) { return units::twipsToPixels(twips); }

// Events that are already queued (a box's save on leaving it) run; the mouse's own release waits.
void ausstehendeEreignisse() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
} // namespace

void frm_Fehltage::kalenderVerbinden()
{
    connect(fgSchueler, &VSGrid::mouseDown, this,
            [this](int button, int, double, double) { fgSchueler_MouseDown(button, fgSchueler->mouseRow(), fgSchueler->mouseCol()); });
    connect(fgSchueler, &VSGrid::mouseUp, this,
            [this](int button, int, double, double) { fgSchueler_MouseUp(button, fgSchueler->mouseRow(), fgSchueler->mouseCol()); });
    connect(fgSchueler, &VSGrid::mouseMove, this, [this] { lblToolTipp->hide(); });
    connect(fgGrund, &VSGrid::click, this, &frm_Fehltage::fgGrund_Click);
    connect(fgGrund, &VSGrid::keyDown, this, [this](int &keyCode, int) {
        if (keyCode != 27)
            return;
        keyCode = 0;
        popupSchliessen();
    });
    for (QLineEdit *box : txtStd) {
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->installEventFilter(this);
    }

    fgKranke->setCols(6);
    fgKranke->setRows(1);
    fgKranke->setFixedRows(1);
    fgKranke->setFixedCols(0);
    fgKranke->setColWidth(0, 0);
    fgKranke->setColHidden(4, true);
    fgKranke->setColHidden(5, true);
    connect(fgKranke, &VSGrid::mouseDown, this,
            [this](int, int, double, double) { fgKranke_MouseDown(fgKranke->mouseRow(), fgKranke->mouseCol()); });

    connect(cmdUeberblick, &QPushButton::clicked, this, &frm_Fehltage::cmdUeberblick_Click);
}

// Shows the reasons for pupils or for teachers, "(löschen)" always; the last row never.
void frm_Fehltage::gruendeAnbieten(bool lehrer)
{
    int summe = 0;
    for (int i = 0; i <= fgGrund->rows() - 2; ++i) {
        const QString f = vt::upperTrim(fgGrund->textMatrix(i, lehrer ? 3 : 2));
        if (f == QLatin1String("WAHR") || f.isEmpty()) {
            fgGrund->setRowHeight(i, ZeileAngeboten);
            summe += ZeileAngeboten;
        } else {
            fgGrund->setRowHeight(i, 0);
        }
    }
    fgGrund->resize(fgGrund->width(), px(summe + 250));
}

void frm_Fehltage::popupZeigen(int links, int oben)
{
    fgGrund->move(links, oben);
    fgGrund->show();
    fgGrund->raise();
    fgGrund->select(fgGrund->rows() - 1, 0); // the invisible last row: nothing offered is chosen yet
    fgGrund->setFocus();
}

// Escape closes the pop-up as it closes other pop-ups: nothing is chosen, the focus goes back
// to where the pop-up was opened.
void frm_Fehltage::popupSchliessen()
{
    fgGrund->hide();
    bool box = false;
    const int k = PopupHerkunft.toInt(&box);
    if (box && k >= 0 && k <= 10)
        txtStd[k]->setFocus();
    else
        fgSchueler->setFocus();
}

void frm_Fehltage::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && fgGrund->isVisible()) {
        popupSchliessen();
        return;
    }
    ChildWindow::keyPressEvent(e);
}

void frm_Fehltage::fgSchueler_MouseDown(int button, int r, int c)
{
    ausstehendeEreignisse();
    txt_Zaehlt->clear();
    chk_entschuldigt->setChecked(false);
    MausZeile = r;
    MausSpalte = c;
    const bool lehrer = r > 0 && vt::upperTrim(fgSchueler->textMatrix(r, 0)) == QLatin1String("LK");
    if (button & 1)
        fgGrund->hide();
    if (button != 2 || !Klassenliste::istVerwaltung(vt::trimBlanks(mdl::Benutzer)))
        return;
    if (r < Fehltagekalender::KopfZeilen || r >= fgSchueler->rows() || c < Schuljahr::ErsteTagSpalte
        || c >= fgSchueler->cols())
        return;
    fgSchueler->select(r, c);
    const QRect zelle = fgSchueler->cellRect(r, c);
    const QPoint ecke = fgSchueler->mapTo(this, QPoint(zelle.left(), zelle.top() + zelle.height()));
    gruendeAnbieten(lehrer);
    popupZeigen(ecke.x() + px(30), ecke.y() + px(30));
    PopupHerkunft = QStringLiteral("fgSchueler");
    m_popupId = fgSchueler->textMatrix(r, 2);
    m_popupTag = vt::parseDate(fgSchueler->textMatrix(3, c));
}

void frm_Fehltage::fgSchueler_MouseUp(int, int r, int c)
{
    EingabeLeeren();
    ausstehendeEreignisse();
    if (r < 2 || c < 2 || r >= fgSchueler->rows() || c >= fgSchueler->cols())
        return;
    const QString id = fgSchueler->textMatrix(r, 2);
    lblSNr->setText(id);
    lblTag->setText(fgSchueler->textMatrix(3, c));
    KontaktdatenAnzeigen(id);
    if (c >= Schuljahr::ErsteTagSpalte) {
        const QDate tag = vt::parseDate(fgSchueler->textMatrix(3, c));
        if (tag.isValid()) {
            KrankeEintragen(tag);
            FehltagLaden(id, tag);
        }
    }
    AbsenzenDerPersonAnzeigen(id);
}

void frm_Fehltage::txtStd_MouseDown(int k, int button)
{
    if (k < 0 || k > 10 || button != 2)
        return;
    const QDate tag = gewaehlterTag();
    if (!tag.isValid() || tag <= ersterPopupTag || vt::trimBlanks(lblSNr->text()).isEmpty())
        return;
    gruendeAnbieten(vt::upperTrim(lblSKlasse->text()) == QLatin1String("LK"));
    const QLineEdit *box = txtStd[k];
    const int links = box->x() + box->width() + Frame3->x();
    int oben = box->y() + box->height() + Frame3->y();
    if (oben + fgGrund->height() > height())
        oben = height() - fgGrund->height();
    popupZeigen(links, oben);
    PopupHerkunft = QString::number(k);
}

void frm_Fehltage::fgGrund_Click()
{
    const int gr = fgGrund->row();
    if (gr < 0 || gr >= fgGrund->rows() || fgGrund->rowHeight(gr) == 0)
        return; // only an offered row is a choice
    const QString code = fgGrund->textMatrix(gr, 0);

    if (PopupHerkunft == QLatin1String("fgSchueler")) {
        fgGrund->hide();
        const int r = fgSchueler->row(), c = fgSchueler->col();
        // The calendar may have been rebuilt meanwhile: write only into the cell the pop-up was opened for.
        if (r < Fehltagekalender::KopfZeilen || c < Schuljahr::ErsteTagSpalte || fgSchueler->textMatrix(r, 2) != m_popupId
            || vt::parseDate(fgSchueler->textMatrix(3, c)) != m_popupTag || !m_popupTag.isValid())
            return;
        const QString id = m_popupId;
        const QDate tag = m_popupTag;
        fgSchueler->setTextMatrix(r, c, code);
        for (int z : kalender().zeilenVon(id)) // rows of persons sharing the id
            fgSchueler->setTextMatrix(z, c, code);
        GanztagAbsenzSpeichern(id, tag, code);
        lblSNr->setText(id);
        lblTag->setText(fgSchueler->textMatrix(3, c));
        KontaktdatenAnzeigen(id); // also empties the reason boxes, so the record is loaded after it
        KrankeEintragen(tag);
        FehltagLaden(id, tag);
        AbsenzenDerPersonAnzeigen(id);
        return;
    }

    bool ok = false;
    const int k = PopupHerkunft.toInt(&ok);
    fgGrund->hide();
    if (!ok || k < 0 || k > 10)
        return;
    const QString id = lblSNr->text();
    const QDate tag = gewaehlterTag();
    const QString kurz = vt::trimBlanks(code);
    txtStd[k]->setText(kurz);
    if (k > 0 && vt::trimBlanks(txtStd[0]->text()).isEmpty())
        txtStd[0]->setText(kurz); // a lesson reason alone is the day's reason too
    if (k == 0 && kurz.isEmpty())
        for (int i = 1; i <= 10; ++i)
            txtStd[i]->clear();
    if (!tag.isValid())
        return;
    // The cell of the panel's record shows what is stored after the save.
    const int zc = kalender().spalteVon(tag);
    for (int zr : kalender().zeilenVon(id))
        if (zc >= 0)
            fgSchueler->setTextMatrix(zr, zc, QString());
    AbsenzSpeichern(id, tag);
    AbsenzenInKalenderEintragen();
    FehltagLaden(id, tag);
    AbsenzenDerPersonAnzeigen(id);
    KrankeEintragen(tag);
}
