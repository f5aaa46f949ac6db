#include "absence/frm_fehltage_grund.h"
#include "absence/frm_fehltage.h"
#include "absence/grundtabelle.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QColorDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>

using namespace absence;

namespace {
enum Spalte { SpKurz = 0, SpLang = 1, SpFarbe = 2, SpSchueler = 3, SpLehrer = 4 };
int px(int twips) { return units::twipsToPixels(twips); }
void setzen(QWidget *w, int l, int t, int b, int h) { w->setGeometry(px(l), px(t), px(b), px(h)); }

frm_Fehltage_Grund::Farbwahl &farbwahl()
{
    static frm_Fehltage_Grund::Farbwahl f;
    return f;
}
} // namespace

void frm_Fehltage_Grund::setFarbwahl(Farbwahl f) { farbwahl() = std::move(f); }

frm_Fehltage_Grund::frm_Fehltage_Grund(QWidget *parent) : ChildWindow(QStringLiteral("frm_Fehltage_Grund"), parent)
{
    setWindowTitle(QStringLiteral("Fehltage - Gründe"));
    resize(px(7455), px(6735));

    Label1 = new QLabel(QStringLiteral("Mögliche Absenzgründe"), this);
    setzen(Label1, 120, 120, 5055, 255);
    fg = new VSGrid(this);
    setzen(fg, 120, 480, 4815, 6135);
    auto knopf = [this](const QString &text, int l, int t, int b) {
        auto *k = new QPushButton(text, this);
        setzen(k, l, t, b, 375);
        return k;
    };
    cmdNeu = knopf(QStringLiteral("Absenzgrund einfügen"), 5040, 480, 2175);
    cmdNeu2 = knopf(QStringLiteral("Absenzgrund anfügen"), 5040, 960, 2175);
    cmdLoeschen = knopf(QStringLiteral("Absenzgrund löschen"), 5040, 1680, 2175);
    Label2 = new QLabel(QStringLiteral("Reihenfolge"), this);
    setzen(Label2, 5040, 2400, 1695, 255);
    cmdNachOben = knopf(QStringLiteral("↑"), 5040, 2640, 375);
    cmdNachUnten = knopf(QStringLiteral("↓"), 5040, 3120, 375);
    cmdAbbruch = knopf(QStringLiteral("abbrechen"), 5040, 6240, 1095);
    cmdSpeichern = knopf(QStringLiteral("speichern"), 6240, 6240, 1095);

    fg->setCols(5);
    fg->setRows(1);
    fg->setFixedRows(1);
    fg->setFixedCols(0);
    fg->setEditable(true);
    const char *koepfe[] = {"Kürzel", "Langform", "Farbe", "für Schüler", "für Lehrer"};
    for (int c = 0; c < 5; ++c)
        fg->setTextMatrix(0, c, QString::fromUtf8(koepfe[c]));
    fg->setColDataType(SpSchueler, grid::TypeBoolean);
    fg->setColDataType(SpLehrer, grid::TypeBoolean);

    // The colour cell is chosen in the colour dialog, not typed.
    connect(fg, &VSGrid::beforeEdit, this, [](int, int c, bool &cancel) {
        if (c == SpFarbe)
            cancel = true;
    });
    connect(fg, &VSGrid::afterEdit, this, [this](int r, int c) { guarded([=, this] { fg_AfterEdit(r, c); }); });
    connect(fg, &VSGrid::click, this, [this] {
        if (fg->mouseRow() >= 1 && fg->mouseRow() == fg->row()) // not a click on the header
            guarded([this] { fg_Click(); });
    });
    const std::pair<QPushButton *, void (frm_Fehltage_Grund::*)()> knoepfe[] = {
        {cmdNeu, &frm_Fehltage_Grund::cmdNeu_Click},           {cmdNeu2, &frm_Fehltage_Grund::cmdNeu2_Click},
        {cmdLoeschen, &frm_Fehltage_Grund::cmdLoeschen_Click}, {cmdNachOben, &frm_Fehltage_Grund::cmdNachOben_Click},
        {cmdNachUnten, &frm_Fehltage_Grund::cmdNachUnten_Click}, {cmdAbbruch, &frm_Fehltage_Grund::cmdAbbruch_Click},
        {cmdSpeichern, &frm_Fehltage_Grund::cmdSpeichern_Click}};
    for (const auto &[k, f] : knoepfe)
        connect(k, &QPushButton::clicked, this, [this, f = f] { guarded([this, f] { (this->*f)(); }); });
}

void frm_Fehltage_Grund::formLoad()
{
    GrundTabelle t;
    t.laden(mdl::dbEigen);
    fg->setRedraw(false);
    fg->setRows(1);
    for (const Grund &g : t.gruende()) {
        const int r = neueZeile(-1);
        fg->setTextMatrix(r, SpKurz, vt::trimBlanks(g.kurz));
        fg->setTextMatrix(r, SpLang, vt::trimBlanks(g.lang));
        fg->setCellChecked(r, SpSchueler, zdb::yesNo(g.fuerSchueler) ? grid::Checked : grid::Unchecked);
        fg->setCellChecked(r, SpLehrer, zdb::yesNo(g.fuerLehrer) ? grid::Checked : grid::Unchecked);
        setFarbe(r, g.farbe);
    }
    fg->autoSize(0, 4);
    fg->setRedraw(true);
}

int frm_Fehltage_Grund::neueZeile(int vor)
{
    const int r = fg->addItem(QString(), vor);
    fg->setCellChecked(r, SpSchueler, grid::Unchecked);
    fg->setCellChecked(r, SpLehrer, grid::Unchecked);
    return r;
}

// The colour of a row lives in the cell's data value; a new row has none until one is chosen.
long frm_Fehltage_Grund::farbe(int r) const
{
    const QVariant v = fg->cellData(r, SpFarbe);
    return v.isValid() ? long(v.toLongLong()) : GrundTabelle::Standardfarbe;
}

void frm_Fehltage_Grund::setFarbe(int r, long f)
{
    fg->setCellData(r, SpFarbe, qlonglong(f));
    fg->setCellBackColor(r, SpFarbe, f);
}

QVector<GrundZeile> frm_Fehltage_Grund::zeilen() const
{
    QVector<GrundZeile> z;
    for (int r = 1; r < fg->rows(); ++r) {
        GrundZeile g;
        g.kurz = fg->textMatrix(r, SpKurz);
        g.lang = fg->textMatrix(r, SpLang);
        g.farbe = farbe(r);
        g.fuerSchueler = fg->cellChecked(r, SpSchueler) == grid::Checked;
        g.fuerLehrer = fg->cellChecked(r, SpLehrer) == grid::Checked;
        z.push_back(g);
    }
    return z;
}

void frm_Fehltage_Grund::fg_AfterEdit(int row, int col)
{
    if (row < 1 || row >= fg->rows())
        return;
    if (col == SpKurz) {
        const QString kurz = Grundliste::kurzNormalisieren(fg->textMatrix(row, col));
        fg->setTextMatrix(row, col, kurz);
        for (int r = 1; r < fg->rows(); ++r)
            if (r != row && fg->textMatrix(r, SpKurz) == kurz) {
                msg::box(Grundliste::MeldungDoppelt, msg::OKOnly);
                break;
            }
    } else if (col == SpLang) {
        fg->setTextMatrix(row, col, Grundliste::langNormalisieren(fg->textMatrix(row, col)));
    }
}

void frm_Fehltage_Grund::fg_Click()
{
    const int r = fg->row();
    if (fg->col() != SpFarbe || r < 1)
        return;
    std::optional<long> gewaehlt;
    if (farbwahl()) {
        gewaehlt = farbwahl()(farbe(r));
    } else {
        const QColor c = QColorDialog::getColor(units::toQColor(farbe(r)), this);
        if (c.isValid())
            gewaehlt = units::fromQColor(c);
    }
    if (!gewaehlt)
        return; // cancelled
    if (!Grundliste::farbeErlaubt(*gewaehlt)) {
        msg::box(Grundliste::MeldungRotGelb, msg::OKOnly);
        return;
    }
    setFarbe(r, *gewaehlt);
}

void frm_Fehltage_Grund::cmdNeu_Click()
{
    const int r = fg->row();
    neueZeile(r >= 1 ? r : -1);
}

void frm_Fehltage_Grund::cmdNeu2_Click() { neueZeile(-1); }

void frm_Fehltage_Grund::cmdLoeschen_Click()
{
    const int r = fg->row();
    if (r < 1 || r >= fg->rows()) {
        msg::box(QStringLiteral("Es ist kein Absenzgrund markiert."), msg::OKOnly);
        return;
    }
    if (msg::box(QStringLiteral("Soll der markierte Absenzgrund gelöscht werden?"), msg::YesNo | msg::DefaultButton2)
        == msg::Yes)
        fg->removeItem(r);
}

void frm_Fehltage_Grund::zeilenTauschen(int a, int b)
{
    for (int c : {int(SpKurz), int(SpLang), int(SpSchueler), int(SpLehrer)}) {
        const QString t = fg->textMatrix(a, c);
        fg->setTextMatrix(a, c, fg->textMatrix(b, c));
        fg->setTextMatrix(b, c, t);
    }
    const QVariant fa = fg->cellData(a, SpFarbe), fb = fg->cellData(b, SpFarbe);
    const long ba = fg->cellBackColor(a, SpFarbe), bb = fg->cellBackColor(b, SpFarbe);
    fg->setCellData(a, SpFarbe, fb);
    fg->setCellData(b, SpFarbe, fa);
    fg->setCellBackColor(a, SpFarbe, bb);
    fg->setCellBackColor(b, SpFarbe, ba);
    fg->select(b, SpKurz, b, SpLang);
}

void frm_Fehltage_Grund::cmdNachOben_Click()
{
    const int r = fg->row();
    if (r > 1 && r < fg->rows())
        zeilenTauschen(r, r - 1);
}

void frm_Fehltage_Grund::cmdNachUnten_Click()
{
    const int r = fg->row();
    if (r >= 1 && r < fg->rows() - 1)
        zeilenTauschen(r, r + 1);
}

void frm_Fehltage_Grund::cmdSpeichern_Click()
{
    fg->finishEditing();
    int uebersprungen = 0;
    try {
        uebersprungen = Grundliste::speichern(mdl::dbEigen, zeilen());
    } catch (const zdb::DbError &e) {
        // The list is written whole or not at all: the editor stays open with the user's rows.
        msg::box(QStringLiteral("Die Absenzgründe wurden nicht gespeichert.\r") + e.germanText(), msg::OKOnly);
        return;
    }
    if (uebersprungen > 0) {
        msg::box(Grundliste::meldungOhneKuerzel(uebersprungen), msg::OKOnly);
        return;
    }
    if (frm_Fehltage *f = frm_Fehltage::instanz())
        f->ListeGrundErstellen();
    entladen();
}

void frm_Fehltage_Grund::cmdAbbruch_Click() { entladen(); }
