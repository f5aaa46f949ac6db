#include "winsv/frm_datenabgleich.h"

#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"
#include "platform/valuetext.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"
#include "winsv/sddf1dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using winsv::Wahl;

namespace {

// Grids whose cells were written through their store learn their new size here.
void aufgefrischt(VSGrid *g) { g->setRows(g->rows()); }

// The grade manager's database of this session, opened and closed around the comparison's read.
bool nmSitzung(const std::function<void(zdb::Db &)> &arbeit)
{
    const mdl::NMSitzung sitzung;
    if (!sitzung.offen())
        return false;
    arbeit(mdl::dbNM());
    return true;
}

} // namespace

frm_Datenabgleich::frm_Datenabgleich(QWidget *parent) : ChildWindow(QStringLiteral("frm_Datenabgleich"), parent)
{
    setWindowTitle(QStringLiteral("Datenabgleich"));

    Frame1 = new QGroupBox(QStringLiteral("Vergleich der Notenmanager-Daten mit folgender WinSV-Datenbank (SD.DF1):"), this);
    Label7 = new QLabel(QStringLiteral("Einstellung im NM:"), Frame1);
    optSDDF1_NM = new QRadioButton(Frame1);
    Label5 = new QLabel(QStringLiteral("in NM änderbar"), Frame1);
    Label8 = new QLabel(QStringLiteral("alternativ:"), Frame1);
    optSDDF1_alternativ = new QRadioButton(Frame1);
    cmdSDDF1_aendern = new QPushButton(QStringLiteral("ändern"), Frame1);
    cmdVergleich = new QPushButton(QStringLiteral("Vergleich starten"), this);
    lblUnterschiede = new QLabel(QStringLiteral("bitte starten Sie den Vergleich"), this);
    lblUnterschiede->setObjectName(QStringLiteral("lblUnterschiede"));
    lblProzent = new QLabel(this);
    fg = new VSGrid(this);
    cmdAbgleich = new QPushButton(QStringLiteral("alle gelb markierten Daten automatisch korrigieren"), this);
    Label4 = new QLabel(QStringLiteral("(Rot markierte Daten müssen leider konventionell korrigiert werden.)"), this);
    Label1 = new QLabel(QStringLiteral("nur in WinSV (manueller Export von WinSV nach NM nötig)"), this);
    Label2 = new QLabel(QStringLiteral("nur im NM (manuelles Versetzen in AUS-Klasse des NM nötig)"), this);
    Label3 = new QLabel(QStringLiteral("falsche Klasse (manuelles Versetzen im NM nötig)"), this);
    fg_nurWinSV = new VSGrid(this);
    fg_nurNM = new VSGrid(this);
    fg_falscheKlasse = new VSGrid(this);
    fg_nurWinSV->setObjectName(QStringLiteral("fg_nurWinSV"));
    fg_nurNM->setObjectName(QStringLiteral("fg_nurNM"));
    fg_falscheKlasse->setObjectName(QStringLiteral("fg_falscheKlasse"));

    place(Frame1, 240, 0, 9255, 800);
    place(Label7, 120, 240, 1395, 195); // wider than designed: the text needs it with our font
    place(optSDDF1_NM, 1560, 240, 6255, 255);
    place(Label5, 7920, 240, 1215, 255);
    place(Label8, 120, 480, 1290, 195);
    place(optSDDF1_alternativ, 1560, 480, 6255, 255);
    place(cmdSDDF1_aendern, 7920, 480, 1215, 255);
    place(cmdVergleich, 9600, 360, 1455, 375);
    // The result line wraps onto a second line instead of running under the percentage or out of the window.
    place(lblUnterschiede, 11160, 360, 3780, 480);
    lblUnterschiede->setWordWrap(true);
    place(lblProzent, 15000, 480, 735, 255);
    place(fg, 240, 840, 15495, 5175);
    place(cmdAbgleich, 240, 6120, 3780, 375);
    place(Label4, 4200, 6180, 6495, 255);
    place(Label1, 240, 6600, 5415, 255);
    place(Label2, 5880, 6600, 5295, 255);
    place(Label3, 11520, 6600, 4455, 255);
    place(fg_nurWinSV, 240, 6840, 5535, 3015);
    place(fg_nurNM, 5880, 6840, 5535, 3015);
    place(fg_falscheKlasse, 11520, 6840, 5535, 3015);
    lblProzent->hide();
    // The result line beside the start button whole; the three lists a few rows high.
    setBenoetigteGroesse(15060, 8700);

    // Neither sortable nor editable: a value can never land on another pupil's row.
    for (VSGrid *g : {fg, fg_nurWinSV, fg_nurNM, fg_falscheKlasse})
        g->setEditable(false);
    fg->setRows(1);
    fg->setCols(winsv::SpaltenFg);
    fg->setFixedRows(1);
    fg->setFixedCols(1);
    cmdAbgleich->setEnabled(false);

    connect(optSDDF1_NM, &QRadioButton::clicked, this, [this] { guarded([this] { optSDDF1_NM_Click(); }); });
    connect(optSDDF1_alternativ, &QRadioButton::clicked, this, [this] { guarded([this] { optSDDF1_alternativ_Click(); }); });
    connect(cmdSDDF1_aendern, &QPushButton::clicked, this, [this] { guarded([this] { cmdSDDF1_aendern_Click(); }); });
    connect(cmdVergleich, &QPushButton::clicked, this, [this] { guarded([this] { cmdVergleich_Click(); }); });
    connect(cmdAbgleich, &QPushButton::clicked, this, [this] { guarded([this] { cmdAbgleich_Click(); }); });
}

void frm_Datenabgleich::place(QWidget *w, int left, int top, int width, int height)
{
    const double dpi = logicalDpiX();
    w->setGeometry(units::twipsToPixels(left, dpi), units::twipsToPixels(top, dpi), units::twipsToPixels(width, dpi),
                   units::twipsToPixels(height, dpi));
}

void frm_Datenabgleich::formLoad() { fillMainClientArea(); }

void frm_Datenabgleich::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    const int rand = units::twipsToPixels(240, logicalDpiX());
    fg->resize(std::max(0, width() - 2 * rand), fg->height());
    // Narrower than the three lists as designed (the main window at 1024 pixels): they share the width,
    // and their captions take two lines.
    const int W = units::pixelsToTwips(width(), logicalDpiX());
    const bool schmal = W < 11520 + 5535 + 240;
    const int breite = std::max(1000, (W - 2 * 240 - 2 * 105) / 3);
    const int links[] = {240, 5880, 11520}, titelBreite[] = {5415, 5295, 4455};
    // The lists end above the window's lower edge, shorter than designed in a low window.
    const int unten = units::pixelsToTwips(height(), logicalDpiX()) - 120;
    auto hoehe = [unten](int oben, int entwurf) { return std::max(600, std::min(entwurf, unten - oben)); };
    QLabel *const titel[] = {Label1, Label2, Label3};
    VSGrid *const listen[] = {fg_nurWinSV, fg_nurNM, fg_falscheKlasse};
    for (int i = 0; i < 3; ++i) {
        titel[i]->setWordWrap(schmal);
        titel[i]->setAlignment(Qt::AlignLeft | Qt::AlignBottom); // right above its list
        if (schmal) {
            place(titel[i], 240 + i * (breite + 105), 6600, breite, 480);
            place(listen[i], 240 + i * (breite + 105), 7080, breite, hoehe(7080, 2775));
        } else {
            place(titel[i], links[i], 6600, titelBreite[i], 255);
            place(listen[i], links[i], 6840, 5535, hoehe(6840, 3015));
        }
    }
}

Wahl frm_Datenabgleich::gewaehlt() const
{
    if (optSDDF1_NM->isChecked())
        return Wahl::NM;
    if (optSDDF1_alternativ->isChecked())
        return Wahl::Alternativ;
    return Wahl::Keine;
}

void frm_Datenabgleich::optionWaehlen(Wahl wahl)
{
    (wahl == Wahl::NM ? optSDDF1_NM : optSDDF1_alternativ)->setChecked(true);
    winsv::wahlSpeichern(wahl);
}

void frm_Datenabgleich::optSDDF1_NM_Click() { winsv::wahlSpeichern(Wahl::NM); }
void frm_Datenabgleich::optSDDF1_alternativ_Click() { winsv::wahlSpeichern(Wahl::Alternativ); }

void frm_Datenabgleich::formActivate()
{
    if (m_laeuft)
        return;
    const QString alternativ = winsv::alternativerPfad();
    optSDDF1_NM->setText(winsv::optionText(mdl::PfadSDDF1));
    optSDDF1_alternativ->setText(winsv::optionText(alternativ));
    const Wahl wahl = winsv::wahlBeiAktivierung(mdl::PfadSDDF1, alternativ, winsv::gespeicherteWahl());
    if (wahl == Wahl::Keine)
        return;
    optionWaehlen(wahl);
    cmdVergleich_Click();
}

QString frm_Datenabgleich::dialogZeigen() { return dateiDialog ? dateiDialog() : winsv::sddf1Dialog(this, true); }

void frm_Datenabgleich::cmdSDDF1_aendern_Click()
{
    QString name;
    for (;;) {
        name = vt::trimBlanks(dialogZeigen());
        if (name.size() < 7 || winsv::pfadVorhanden(name))
            break;
    }
    if (name.size() < 7) {
        msg::box(QStringLiteral("Die Datei wurde nicht gefunden."));
        return;
    }
    optSDDF1_alternativ->setText(name);
    winsv::alternativerPfadSpeichern(name);
    optionWaehlen(Wahl::Alternativ);
}

void frm_Datenabgleich::laufBeginnen()
{
    m_laeuft = true;
    cmdVergleich->setEnabled(false);
    cmdAbgleich->setEnabled(false);
}

void frm_Datenabgleich::laufBeenden()
{
    m_laeuft = false;
    cmdVergleich->setEnabled(true);
    cmdAbgleich->setEnabled(m_vergleichFertig);
    if (m_schliessenNachLauf) {
        m_schliessenNachLauf = false;
        QPointer<frm_Datenabgleich> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self)
                self->entladen();
        });
    }
}

// Holds the busy flag for one run; an error inside still ends the run.
class frm_Datenabgleich::Lauf {
public:
    explicit Lauf(frm_Datenabgleich &w) : m_w(w) { m_w.laufBeginnen(); }
    ~Lauf() { m_w.laufBeenden(); }

private:
    frm_Datenabgleich &m_w;
};

void frm_Datenabgleich::cmdVergleich_Click()
{
    if (m_laeuft)
        return;
    Lauf lauf(*this);
    vergleichen();
}

void frm_Datenabgleich::vergleichen()
{
    const winsv::Aufloesung datei = winsv::datendateiAufloesen(gewaehlt(), optSDDF1_NM->text(), optSDDF1_alternativ->text());
    if (!datei.meldung.isEmpty()) {
        msg::box(datei.meldung);
        return;
    }

    winsv::Beobachter b;
    b.neuZeichnen = [this](bool an) {
        if (an)
            for (VSGrid *g : {fg, fg_nurWinSV, fg_nurNM, fg_falscheKlasse})
                aufgefrischt(g);
        fg->setRedraw(an);
    };
    b.hauptgridAnpassen = [this] { fg->autoSize(0, fg->cols() - 1); };
    b.seitenlistenAnpassen = [this] {
        aufgefrischt(fg_nurWinSV);
        aufgefrischt(fg_nurNM);
        fg_nurWinSV->autoSize(0, fg_nurWinSV->cols() - 1);
        fg_nurNM->autoSize(0, fg_nurNM->cols() - 1);
    };
    b.prozentSichtbar = [this](bool an) { lblProzent->setVisible(an); };
    b.prozent = [this](const QString &t) { lblProzent->setText(t); };
    b.ereignisse = [] { QCoreApplication::processEvents(); };

    winsv::Datenvergleich vergleich({&fg->store(), &fg_nurWinSV->store(), &fg_nurNM->store(), &fg_falscheKlasse->store()}, b);
    // Until the run has finished the grids may hold a half-filled result: no write-back on it,
    // also when an error ends the run.
    const bool warFertig = m_vergleichFertig;
    m_vergleichFertig = false;
    const auto [ausgang, meldung] = vergleich.ausfuehren(datei.pfad, nmSitzung);
    if (ausgang == winsv::Datenvergleich::Ausgang::NichtBegonnen) {
        m_vergleichFertig = warFertig; // nothing was cleared: the last result stands
        msg::box(meldung);
        return;
    }
    for (VSGrid *g : {fg, fg_nurWinSV, fg_nurNM, fg_falscheKlasse})
        aufgefrischt(g);
    fg->setRedraw(true);
    if (!meldung.isEmpty())
        msg::box(meldung);
    m_vergleichFertig = ausgang == winsv::Datenvergleich::Ausgang::Fertig;
    m_paare = m_vergleichFertig ? vergleich.paare() : QVector<winsv::RueckschreibPaar>();
    if (m_vergleichFertig) {
        lblUnterschiede->setText(winsv::Datenvergleich::ergebnisZeile(vergleich.unterschiede()));
    }
}

void frm_Datenabgleich::cmdAbgleich_Click()
{
    if (m_laeuft || !m_vergleichFertig)
        return;
    Lauf lauf(*this);
    const int antwort = msg::box(QStringLiteral("Sollen alle gelb markierten Daten des Notenmanagers mit den "
                                                "entsprechenden Daten der WinSV überschrieben werden?"),
                                 msg::YesNo | msg::DefaultButton2);
    if (antwort != msg::Yes)
        return;
    winsv::RueckschreibErgebnis ergebnis;
    try {
        const mdl::NMSitzung sitzung;
        if (!sitzung.offen())
            return;
        winsv::Rueckschreiben rueck(mdl::dbNM(), [] { QCoreApplication::processEvents(); });
        ergebnis = rueck.ausfuehren(m_paare);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText());
        return;
    }
    if (!ergebnis.meldung().isEmpty())
        msg::box(ergebnis.meldung());
    msg::box(ergebnis.abschluss());
    vergleichen();
}

bool frm_Datenabgleich::formUnload()
{
    if (!m_laeuft)
        return true;
    m_schliessenNachLauf = true;
    return false;
}

void frm_Datenabgleich::closeEvent(QCloseEvent *event)
{
    if (m_laeuft) {
        m_schliessenNachLauf = true;
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}
