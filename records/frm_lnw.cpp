#include "records/frm_lnw.h"

#include "records/fachbetreuer.h"
#include "records/listenlogik.h"
#include "records/lnwexport.h"
#include "records/lnwfuellung.h"
#include "core/anmeldung.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/docopener.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/takt.h"
#include "platform/units.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Marks the window busy while a fill or the activation's reads run; a close asked for meanwhile
// is carried out afterwards, outside every loop.
class Beschaeftigt {
public:
    Beschaeftigt(bool &flag, bool &schliessen, ChildWindow *w) : m_flag(flag), m_schliessen(schliessen), m_w(w)
    {
        m_flag = true;
    }
    ~Beschaeftigt()
    {
        m_flag = false;
        if (!m_schliessen)
            return;
        m_schliessen = false;
        ChildWindow *w = m_w;
        QTimer::singleShot(0, w, [w] { w->entladen(); });
    }

private:
    bool &m_flag;
    bool &m_schliessen;
    ChildWindow *m_w;
};

QString fehlerText(const zdb::DbError &e)
{
    QString t = QStringLiteral("Die Leistungsnachweise konnten nicht gelesen werden.\r") + e.germanText();
    if (!t.contains(e.message()))
        t += QStringLiteral("\r(") + e.message() + QLatin1Char(')');
    return t;
}

} // namespace

frm_LNW::frm_LNW(QWidget *parent) : ChildWindow(QStringLiteral("frm_LNW"), parent)
{
    setWindowTitle(QStringLiteral("Leistungsnachweise Fachbetreuer"));
    auto named = [](QWidget *w, const QString &name) {
        w->setObjectName(name);
        return w;
    };

    fg_LNW = new VSGrid(this);
    named(fg_LNW, "fg_LNW");
    lstLehrer = new VSGrid(this);
    lstFach = new VSGrid(this);
    named(lstLehrer, "lstLehrer");
    named(lstFach, "lstFach");
    for (VSGrid *l : {lstLehrer, lstFach}) {
        l->setCols(1);
        l->setRows(0);
        l->setFixedRows(0);
        l->setFixedCols(0);
        l->setSelectionMode(VSGrid::SelectionListBox);
        l->setColWidth(0, 1200);
        l->setMinimumWidth(100);
        connect(l, &VSGrid::mouseUp, this, [this, l](int button, int shift, double, double) { lst_MouseUp(l, button, shift); });
    }

    Frame1 = new QFrame(this);
    named(Frame1, "Frame1");
    optUnterrichtLehrer[0] = new QRadioButton(QStringLiteral("Fach"), Frame1);
    optUnterrichtLehrer[1] = new QRadioButton(QStringLiteral("Lehrer"), Frame1);
    auto *frameLay = new QHBoxLayout(Frame1);
    frameLay->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        named(optUnterrichtLehrer[size_t(i)], QStringLiteral("optUnterrichtLehrer%1").arg(i));
        frameLay->addWidget(optUnterrichtLehrer[size_t(i)]);
        connect(optUnterrichtLehrer[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optUnterrichtLehrer_Click(i);
        });
    }
    lblNach = new QLabel(QStringLiteral("nach Fächern"), this);
    named(lblNach, "lblNach");
    cmdZeigeAuswahl = new QPushButton(QStringLiteral("Auswahl anzeigen"), this);
    named(cmdZeigeAuswahl, "cmdZeigeAuswahl");
    cmdEigenerUnterricht = new QPushButton(QStringLiteral("eigener Unterricht"), this);
    named(cmdEigenerUnterricht, "cmdEigenerUnterricht");
    cmdDruck = new QPushButton(QStringLiteral("ausdrucken"), this);
    named(cmdDruck, "cmdDruck");
    cmdExcel = new QPushButton(QStringLiteral("Excel-Export"), this);
    named(cmdExcel, "cmdExcel");
    fg_LNW2 = new VSGrid(this);
    named(fg_LNW2, "fg_LNW2");
    fg_LNW2->hide();
    txtGrenzschnitt = new QLineEdit(QStringLiteral("4,0"), this);
    named(txtGrenzschnitt, "txtGrenzschnitt");
    txtGrenzschnitt->installEventFilter(this);
    txtMindestanzahl = new QLineEdit(QStringLiteral("5"), this);
    named(txtMindestanzahl, "txtMindestanzahl");

    const lnw::Anzeige start;
    auto *optionen = new QGridLayout;
    for (int i = 0; i < lnw::BlockBreite; ++i) {
        chkSpalte[size_t(i)] = new QCheckBox(lnw::optionsTitel(i), this);
        named(chkSpalte[size_t(i)], QStringLiteral("chkSpalte%1").arg(i));
        chkSpalte[size_t(i)]->setChecked(start.spalte[size_t(i)]);
        connect(chkSpalte[size_t(i)], &QCheckBox::clicked, this, [this, i] { chkSpalte_Click(i); });
    }
    chkLeereSpaltenWeg = new QCheckBox(QStringLiteral("unbenutzte Spalten ausblenden"), this);
    named(chkLeereSpaltenWeg, "chkLeereSpaltenWeg");
    chkLeereSpaltenWeg->setChecked(true);
    chkNichtAbgeg = new QCheckBox(QStringLiteral("nur nicht abgegebene"), this);
    named(chkNichtAbgeg, "chkNichtAbgeg");
    chkKopfFrei = new QCheckBox(QStringLiteral("Spaltenköpfe selektierbar"), this);
    named(chkKopfFrei, "chkKopfFrei");
    connect(chkLeereSpaltenWeg, &QCheckBox::clicked, this, [this] { chkSpalte_Click(0); });
    connect(chkNichtAbgeg, &QCheckBox::clicked, this, &frm_LNW::chkNichtAbgeg_Click);
    connect(chkKopfFrei, &QCheckBox::clicked, this, &frm_LNW::chkKopfFrei_Click);

    // Threshold boxes beside their sub-column options.
    optionen->addWidget(chkSpalte[0], 0, 0);
    optionen->addWidget(chkSpalte[1], 1, 0);
    optionen->addWidget(chkSpalte[2], 2, 0);
    optionen->addWidget(txtGrenzschnitt, 2, 1);
    optionen->addWidget(chkSpalte[3], 3, 0);
    optionen->addWidget(chkSpalte[4], 4, 0);
    optionen->addWidget(txtMindestanzahl, 4, 1);
    for (int i = 5; i < lnw::BlockBreite; ++i)
        optionen->addWidget(chkSpalte[size_t(i)], i, 0);
    optionen->addWidget(chkLeereSpaltenWeg, 10, 0, 1, 2);
    optionen->addWidget(chkNichtAbgeg, 11, 0, 1, 2);
    optionen->addWidget(chkKopfFrei, 12, 0, 1, 2);
    txtGrenzschnitt->setMaximumWidth(50);
    txtMindestanzahl->setMaximumWidth(50);

    shpBox1 = new QProgressBar(this);
    named(shpBox1, "shpBox1");
    shpBox1->setRange(0, 1000);
    shpBox1->setTextVisible(false);
    shpBox1->setMaximumHeight(8);
    shpBox1->hide();

    auto *links = new QVBoxLayout;
    links->addWidget(Frame1);
    links->addWidget(lblNach);
    links->addWidget(lstFach, 1);
    links->addWidget(lstLehrer, 1);
    links->addWidget(cmdZeigeAuswahl);
    links->addWidget(cmdEigenerUnterricht);
    links->addWidget(cmdDruck);
    links->addWidget(cmdExcel);
    links->addLayout(optionen);

    static const char *const tTitel[] = {"Fach", "Klasse", "Lehrer"};
    static const char *const titel[] = {"Art", "Bemerkung", "Schnitt", "Wicht", "Anz", "Zeit", "geschr.", "Rückgabe", "abgeg."};
    static const char *const tipps[] = {"Art", "Bemerkung", "Schnitt", "Gewichtung", "Anzahl", "Arbeitszeit",
                                        "geschrieben am", "Rückgabe am", "abgegeben am"};
    auto *labels = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        lbl_LNW_T[size_t(i)] = new QLabel(QString::fromUtf8(tTitel[i]), this);
        lbl_LNW_T[size_t(i)]->setToolTip(QString::fromUtf8(tTitel[i]));
        named(lbl_LNW_T[size_t(i)], QStringLiteral("lbl_LNW_T%1").arg(i));
        labels->addWidget(lbl_LNW_T[size_t(i)]);
    }
    for (int i = 0; i < 9; ++i) {
        lbl_LNW[size_t(i)] = new QLabel(QString::fromUtf8(titel[i]), this);
        lbl_LNW[size_t(i)]->setToolTip(QString::fromUtf8(tipps[i]));
        lbl_LNW[size_t(i)]->setFrameShape(QFrame::Panel);
        named(lbl_LNW[size_t(i)], QStringLiteral("lbl_LNW%1").arg(i));
        labels->addWidget(lbl_LNW[size_t(i)], i == 1 ? 3 : 1);
    }
    auto *rechts = new QVBoxLayout;
    rechts->addLayout(labels);
    rechts->addWidget(shpBox1);
    rechts->addWidget(fg_LNW, 1);

    auto *lay = new QHBoxLayout(this);
    lay->addLayout(links);
    lay->addLayout(rechts, 1);

    connect(cmdZeigeAuswahl, &QPushButton::clicked, this, &frm_LNW::cmdZeigeAuswahl_Click);
    connect(cmdEigenerUnterricht, &QPushButton::clicked, this, &frm_LNW::cmdEigenerUnterricht_Click);
    connect(fg_LNW, &VSGrid::click, this, &frm_LNW::fg_LNW_Click);
    connect(cmdDruck, &QPushButton::clicked, this, [this] { guarded([this] { cmdDruck_Click(); }); });
    connect(cmdExcel, &QPushButton::clicked, this, [this] { guarded([this] { cmdExcel_Click(); }); });
    connect(fg_LNW, &VSGrid::keyPress, this, [this](int &k) { guarded([this, &k] { fg_LNW_KeyPress(k); }); });
    connect(fg_LNW, &VSGrid::rowColChange, this, [this] {
        if (AuswahlGezeigt)
            fg_LNW_Click();
    });

    optUnterrichtLehrer[0]->setChecked(true);
    lstLehrer->hide();
    lnw::kopfAufbauen(*fg_LNW, anzeige());
}

bool frm_LNW::eventFilter(QObject *o, QEvent *e)
{
    if (o == txtGrenzschnitt && e->type() == QEvent::FocusOut)
        txtGrenzschnitt_LostFocus();
    return ChildWindow::eventFilter(o, e);
}

lnw::Anzeige frm_LNW::anzeige() const
{
    lnw::Anzeige a;
    for (int i = 0; i < lnw::BlockBreite; ++i)
        a.spalte[size_t(i)] = chkSpalte[size_t(i)]->isChecked();
    a.leereSpaltenWeg = chkLeereSpaltenWeg->isChecked();
    a.nichtAbgeg = chkNichtAbgeg->isChecked();
    a.mindestanzahl = txtMindestanzahl->text();
    a.gruppenLinien = lstLehrer->selectedRows() > 1 || lstFach->selectedRows() > 1;
    a.gruppenSpalte = lstFach->isVisibleTo(this) ? 1 : 2;
    return a;
}

// ---- size and place (twips in the settings)

void frm_LNW::formLoad()
{
    const QSize client = mainClientSize();
    if (!client.isValid())
        return;
    bool ok = false;
    int w = settings::getSetting("Fenster", "LNWWidth").toInt(&ok);
    const int breite = ok && w > 0 ? units::twipsToPixels(w) : client.width();
    int h = settings::getSetting("Fenster", "LNWHeight").toInt(&ok);
    const int hoehe = ok && h > 0 ? units::twipsToPixels(h) : client.height();
    rahmen()->setGeometry(0, 0, breite, hoehe);
}

bool frm_LNW::formUnload()
{
    if (m_fuellt) {
        // Closed after the running fill, never under it.
        m_schliessenDanach = true;
        return false;
    }
    const QWidget *w = rahmen();
    settings::saveSetting("Fenster", "LNWHeight", QString::number(units::pixelsToTwips(w->height())));
    settings::saveSetting("Fenster", "LNWWidth", QString::number(units::pixelsToTwips(w->width())));
    settings::saveSetting("Fenster", "LNWLeft", QString::number(units::pixelsToTwips(w->x())));
    settings::saveSetting("Fenster", "LNWTop", QString::number(units::pixelsToTwips(w->y())));
    return true;
}

// ---- activation and lists

void frm_LNW::listeFuellen(VSGrid *liste, const QStringList &eintraege)
{
    liste->setRedraw(false);
    liste->setRows(0);
    for (const QString &e : eintraege)
        liste->addItem(e);
    liste->setRedraw(true);
}

QVector<lnw::ListenEintrag> frm_LNW::eintraege(const VSGrid *liste) const
{
    // Row 0 (it may be "*") and the picked entries: a list of a big school's teachers is long.
    QVector<lnw::ListenEintrag> out;
    for (int r = 0; r < liste->rows(); ++r)
        if (r == 0 || liste->isSelected(r))
            out.append({liste->textMatrix(r, 0), liste->isSelected(r)});
    return out;
}

void frm_LNW::lehrerLesen()
{
    QStringList liste{QStringLiteral("*")};
    if (mdl::NMDatenbankOeffnen()) {
        try {
            liste << anmeldung::kuerzelListe(mdl::dbNM());
        } catch (const zdb::DbError &e) {
            mdl::NMDatenbankSchliessen();
            msg::box(fehlerText(e));
            listeFuellen(lstLehrer, liste);
            return;
        }
        mdl::NMDatenbankSchliessen();
    }
    listeFuellen(lstLehrer, liste);
}

void frm_LNW::faecherLesen()
{
    QVector<fachbetreuer::Eintrag> betreuer;
    try {
        betreuer = fachbetreuer::laden(mdl::dbEigen);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText());
    }
    listeFuellen(lstFach, fachbetreuer::faecherFuer(betreuer, mdl::Benutzer, mdl::IstAdmin));
}

void frm_LNW::formActivate()
{
    if (m_fuellt)
        return;
    {
        Beschaeftigt b(m_fuellt, m_schliessenDanach, this);
        optUnterrichtLehrer[0]->setChecked(true);
        optUnterrichtLehrer_Click(0);
        AuswahlGezeigt = false;
        chkSpalte[9]->hide();
        if (mdl::IstAdmin) {
            txtGrenzschnitt->setEnabled(true);
            txtGrenzschnitt->setText(
                lnw::schwellenText(settings::getSetting("LNW", "Grenzschnitt", "4,0")).value_or(QStringLiteral("4,0")));
            Frame1->show();
            lehrerLesen();
        } else {
            txtGrenzschnitt->setEnabled(false);
            txtGrenzschnitt->setText(QStringLiteral("7,0"));
            Frame1->hide();
            listeFuellen(lstLehrer, {});
        }
        faecherLesen();
        lnw::kopfAufbauen(*fg_LNW, anzeige());
    }
    cmdEigenerUnterricht_Click();
}

void frm_LNW::optUnterrichtLehrer_Click(int)
{
    const bool nachFach = optUnterrichtLehrer[0]->isChecked();
    lstLehrer->setVisible(!nachFach);
    lstFach->setVisible(nachFach);
    lblNach->setText(nachFach ? QStringLiteral("nach Fächern") : QStringLiteral("nach Lehrern"));
}

void frm_LNW::lst_MouseUp(VSGrid *liste, int button, int shift)
{
    if (m_fuellt || button != 1 || shift != 0)
        return;
    // A plain click shows just the clicked entry; Ctrl and Shift build a selection for the button.
    const int r = liste->mouseRow();
    if (r >= 0 && r < liste->rows())
        for (int i = 0; i < liste->rows(); ++i)
            if (liste->isSelected(i) != (i == r))
                liste->setIsSelected(i, i == r);
    cmdZeigeAuswahl_Click();
}

void frm_LNW::cmdZeigeAuswahl_Click()
{
    if (m_fuellt)
        return;
    AuswahlGezeigt = false;
    if (lstLehrer->isVisibleTo(this))
        ZeigeNachLehrern();
    else
        ZeigeNachFaechern();
    lnw::rahmenZeichnen(*fg_LNW, anzeige());
    AuswahlGezeigt = true;
}

void frm_LNW::ZeigeNachLehrern()
{
    if (auto a = lnw::nachLehrern(eintraege(lstLehrer)))
        LNW_Tabelle_fuellen(*a);
}

void frm_LNW::ZeigeNachFaechern()
{
    if (auto a = lnw::nachFaechern(eintraege(lstFach)))
        LNW_Tabelle_fuellen(*a);
}

void frm_LNW::cmdEigenerUnterricht_Click()
{
    if (m_fuellt || mdl::IstAdmin)
        return;
    LNW_Tabelle_fuellen(lnw::eigenerUnterricht(mdl::Benutzer));
}

// ---- the fill

void frm_LNW::LNW_Tabelle_fuellen(const lnw::KursAbfrage &abfrage)
{
    if (m_fuellt)
        return;
    Beschaeftigt busy(m_fuellt, m_schliessenDanach, this);
    if (chkKopfFrei->isChecked()) {
        chkKopfFrei->setChecked(false);
        chkKopfFrei_Click();
    }
    lnw::kopfAufbauen(*fg_LNW, anzeige());
    fg_LNW->setRedraw(true);
    QCoreApplication::processEvents(); // the emptied grid shows
    for (int c = 0; c < lnw::Spalten; ++c)
        fg_LNW->setColDataType(c, grid::TypeDefault);

    if (!mdl::NMDatenbankOeffnen())
        return;
    lnw::Schwellen schwellen;
    schwellen.grenzschnitt = txtGrenzschnitt->text();
    schwellen.mindestanzahl = txtMindestanzahl->text();
    lnw::Fuellung f;
    shpBox1->setValue(0);
    shpBox1->show();
    Takt takt;
    try {
        // The bar moves at most once per interval: each new value paints it at once.
        f = lnw::lesen(mdl::dbNM(), abfrage, schwellen, [this, &takt](int n, int total) {
            if (takt.faellig()) {
                shpBox1->setValue(int(qint64(n) * 1000 / total));
                shpBox1->repaint();
                takt.gezeigt();
            }
        });
    } catch (const zdb::DbError &e) {
        shpBox1->hide();
        mdl::NMDatenbankSchliessen();
        msg::box(fehlerText(e));
        return;
    }
    mdl::NMDatenbankSchliessen();
    fg_LNW->setRedraw(false);
    lnw::zeilenEintragen(*fg_LNW, f);
    shpBox1->hide();
    fg_LNW->setRedraw(true);

    if (fg_LNW->rows() <= lnw::KopfZeilen)
        msg::box(QStringLiteral("Es wurden keine passenden Datensätze gefunden."), msg::OKOnly);
    fg_LNW->autoSize(0, 3);
    lnw::spaltenAnwenden(*fg_LNW, anzeige(), false); // the course filter draws the borders
    lnw::zeilenFilter(*fg_LNW, anzeige());
    fg_LNW->select(0, 0);
}

// ---- display options and cell labels

void frm_LNW::chkSpalte_Click(int) { lnw::spaltenAnwenden(*fg_LNW, anzeige()); }

void frm_LNW::chkNichtAbgeg_Click() { lnw::zeilenFilter(*fg_LNW, anzeige()); }

void frm_LNW::chkKopfFrei_Click() { lnw::kopfFrei(*fg_LNW, chkKopfFrei->isChecked()); }

void frm_LNW::fg_LNW_Click()
{
    const int r = fg_LNW->row(), c = fg_LNW->col();
    // First column of the block that holds c; -7 for the course columns.
    const int d = c - lnw::FesteSpalten;
    const int b = lnw::FesteSpalten + lnw::BlockBreite * (d >= 0 ? d / lnw::BlockBreite : -((-d + 9) / 10));
    for (int i = 0; i < 9; ++i)
        if (b + i >= 0 && b + i <= fg_LNW->cols() - 1)
            lbl_LNW[size_t(i)]->setText(fg_LNW->textMatrix(r, b + i));
    for (int i = 0; i < 3; ++i)
        lbl_LNW_T[size_t(i)]->setText(fg_LNW->textMatrix(r, i));
}

void frm_LNW::txtGrenzschnitt_LostFocus()
{
    if (const auto t = lnw::schwellenText(txtGrenzschnitt->text())) {
        txtGrenzschnitt->setText(*t);
        settings::saveSetting("LNW", "Grenzschnitt", *t);
    } else {
        txtGrenzschnitt->setText(QStringLiteral("4,0"));
    }
}

// ---- print, workbook, clipboard

void frm_LNW::Copy_fg_LNW()
{
    lnw::sichtbarKopieren(fg_LNW->store(), fg_LNW2->store());
    fg_LNW2->setFont(fg_LNW->font());
}

void frm_LNW::fg_LNW_KeyPress(int &keyAscii)
{
    if (keyAscii != 3 || m_fuellt) // Ctrl+C
        return;
    Copy_fg_LNW();
    fg_LNW2->copySelection();
}

void frm_LNW::cmdDruck_Click()
{
    if (m_fuellt)
        return;
    // Without a printer the grid writes "LNW.pdf" into the temporary folder, handed to the desktop.
    QString fehler, pdf;
    if (fg_LNW->print(QStringLiteral("LNW"), true, QString(), &fehler, &pdf) < 0) {
        msg::box(QStringLiteral("Die Übersicht konnte nicht gedruckt werden.\r") + fehler);
        return;
    }
    if (pdf.isEmpty())
        return;
    const docs::Handover h = docs::handOver(pdf);
    if (h != docs::Handover::Opened)
        msg::box(QStringLiteral("Es ist kein Drucker eingerichtet, daher wurde die Übersicht als PDF-Datei ausgegeben.\r") +
                 docs::handOverText(h, QString(), pdf));
}

void frm_LNW::cmdExcel_Click()
{
    if (m_fuellt)
        return;
    Copy_fg_LNW();
    const QString preset = QStringLiteral("LNW.xlsx");
    const QString datei =
        speichern::dialogZeigen(this, speichernDialog, speichern::startOrdner(settings::getSetting("Save", "LNW")),
                                preset, QStringLiteral("Excel-Dateien (*.xlsx)"));
    // Stored also after a cancel: the next dialog then starts in the default folder.
    settings::saveSetting("Save", "LNW", listen::ordnerVon(datei));
    if (datei == preset) {
        msg::box(QStringLiteral("Es wurde nichts gespeichert."));
        return;
    }
    QString fehler;
    if (!fg_LNW2->saveXlsx(listen::excelDateiname(datei), &fehler)) {
        msg::box(QStringLiteral("Dateizugriffsfehler. Die Datei wurde nicht gespeichert. Evtl. ist die Datei noch geöffnet.\r\r") + fehler);
        return;
    }
    msg::box(QStringLiteral("Die gewünschte Datei wurde gespeichert."));
}
