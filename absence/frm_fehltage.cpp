#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "core/mdl_zandrel.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTime>
#include <QTimer>

using namespace absence;

namespace {

frm_Fehltage *s_instanz = nullptr;
QDate s_testHeute;

int px(int twips) { return units::twipsToPixels(twips); }
int tw(int pixels) { return units::pixelsToTwips(pixels); }
void setzen(QWidget *w, int l, int t, int b, int h) { w->setGeometry(px(l), px(t), px(b), px(h)); }
int linksTw(const QWidget *w) { return tw(w->x()); }
int obenTw(const QWidget *w) { return tw(w->y()); }
int breiteTw(const QWidget *w) { return tw(w->width()); }
int hoeheTw(const QWidget *w) { return tw(w->height()); }

QLabel *label(QWidget *p, const QString &text, int l, int t, int b, int h = 255)
{
    auto *lbl = new QLabel(text, p);
    setzen(lbl, l, t, b, h);
    return lbl;
}
QLineEdit *textbox(QWidget *p, int l, int t, int b, int h = 285)
{
    auto *e = new QLineEdit(p);
    setzen(e, l, t, b, h);
    return e;
}
QPushButton *knopf(QWidget *p, const QString &text, int l, int t, int b, int h = 315)
{
    auto *k = new QPushButton(text, p);
    setzen(k, l, t, b, h);
    return k;
}
QCheckBox *haken(QWidget *p, const QString &text, int l, int t, int b, int h = 255)
{
    auto *c = new QCheckBox(text, p);
    setzen(c, l, t, b, h);
    return c;
}

// Display options of the day lists: key and default.
struct Option {
    const char *key;
    const char *standard;
};
constexpr Option optionen[] = {{"chkGrund", "0"}, {"chkGrundKlartext", "1"}, {"chkBemerkung", "1"}, {"chkLK", "0"}};

} // namespace

frm_Fehltage::frm_Fehltage(QWidget *parent) : ChildWindow(QStringLiteral("frm_Fehltage"), parent)
{
    s_instanz = this;
    setWindowTitle(QStringLiteral("Fehltage"));
    setMouseTracking(true);
    steuerelementeErstellen();
    m_kalender = std::make_unique<Fehltagekalender>(*fgSchueler);
    m_kalender->setZuordnung(&m_personen.zuordnung());
}

frm_Fehltage::~frm_Fehltage()
{
    if (s_instanz == this)
        s_instanz = nullptr;
}

frm_Fehltage *frm_Fehltage::instanz() { return s_instanz; }

void frm_Fehltage::schliessenWennOffen()
{
    frm_Fehltage *f = s_instanz;
    if (!f || !f->isVisible())
        return;
    for (QWidget *p = f->parentWidget(); p; p = p->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(p)) {
            sub->close();
            return;
        }
    f->close();
    f->deleteLater();
}

bool frm_Fehltage::FehltageLoeschen()
{
    const int antwort = msg::box(QStringLiteral("In der Datenbank werden alle Fehltage gelöscht?\r\rWeitermachen?"),
                                 msg::OKCancel | msg::DefaultButton2, QStringLiteral("Sicherheitsnachfrage"));
    if (antwort != msg::OK)
        return false;
    try {
        absence::alleFehltageLoeschen(mdl::dbEigen);
    } catch (const zdb::DbError &e) {
        msg::box(QStringLiteral("Die Fehltage wurden nicht gelöscht.\r") + e.germanText());
        return false;
    }
    schliessenWennOffen();
    msg::box(QStringLiteral("In der Datenbank wurden alle eingetragenen Fehltage gelöscht."), msg::OKOnly);
    return true;
}

absence::Personencache::Ergebnis frm_Fehltage::PersonenAktualisieren(const QDateTime &jetzt)
{
    using absence::Personencache;
    const auto durchlassen = [] { QCoreApplication::processEvents(); };
    try {
        const bool aktuell = Personencache::aktuell(mdl::dbEigen, jetzt.date());
        durchlassen();
        if (aktuell)
            return Personencache::Aktuell;
        if (!mdl::NMDatenbankOeffnen())
            return Personencache::fuellen(mdl::dbEigen, nullptr, jetzt);
        const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
        return Personencache::fuellen(mdl::dbEigen, &mdl::dbNM(), jetzt, durchlassen);
    } catch (const zdb::DbError &e) {
        msg::box(QStringLiteral("Die Personenliste konnte nicht aktualisiert werden.\r") + e.germanText());
        return Personencache::Abgebrochen;
    }
}

QDate frm_Fehltage::heute() { return s_testHeute.isValid() ? s_testHeute : QDate::currentDate(); }
void frm_Fehltage::setHeuteFuerTests(const QDate &d) { s_testHeute = d; }

void frm_Fehltage::steuerelementeErstellen()
{
    resize(px(19000), px(11000));
    // The day's date and count need the room right of the period frame; the class list and
    // the calendar keep a few rows above the two panels.
    setBenoetigteGroesse(15200, 8250);

    // Search and period lists at the top left.
    Frame5 = new QGroupBox(QStringLiteral("Schülersuche"), this);
    setzen(Frame5, 75, 0, 3150, 1250);
    txtSuche = textbox(Frame5, 120, 300, 2400);
    cmdDel = knopf(Frame5, QStringLiteral("X"), 2580, 285, 450);
    Label30 = label(Frame5, QStringLiteral("mind. 4 Zeichen oder Leerz. am Ende"), 120, 700, 2950);

    // Narrow enough that the day's date and count fit beside it at 1024 pixels.
    Frame4 = new QGroupBox(QStringLiteral("Listen über längere Zeiträume"), this);
    setzen(Frame4, 3300, 0, 6300, 1250);
    txtStartTag = textbox(Frame4, 120, 300, 1000);
    txtEndeTag = textbox(Frame4, 1180, 300, 1000);
    cmdUeberblick = knopf(Frame4, QStringLiteral("Überblick"), 120, 750, 1000);
    label(Frame4, QStringLiteral("Zeitraum"), 1180, 780, 900)->setObjectName(QStringLiteral("lblZeitraum"));
    cmdWord = knopf(Frame4, QStringLiteral("Fehltage (1 Kl.) > WORD"), 2260, 285, 2000);
    chkExtraSeite = haken(Frame4, QStringLiteral("1 S. / Pers."), 2260, 780, 1200);
    cmd_unentschuldigt = knopf(Frame4, QStringLiteral("unentsch."), 3480, 750, 900);
    cmdVieleFehltage = knopf(Frame4, QStringLiteral("viele Fehltage > Excel"), 4320, 285, 1850);
    label(Frame4, QStringLiteral(">="), 4440, 780, 260)->setObjectName(QStringLiteral("Label28"));
    txt_n_Fehltage = textbox(Frame4, 4720, 765, 450);
    txt_n_Fehltage->setObjectName(QStringLiteral("txt_n_Fehltage"));
    txt_n_Fehltage->setText(QStringLiteral("15"));
    label(Frame4, QStringLiteral("Tage"), 5220, 780, 500)->setObjectName(QStringLiteral("Label29"));

    // The usage hints stand right above the calendar.
    Label2 = label(this, QStringLiteral("Auswahl: Linksklick "), 3400, 1290, 1600);
    Label3 = label(this, QStringLiteral("Absenz eintragen: Rechtsklick"), 5100, 1290, 2400);

    // Class list, calendar and day list side by side.
    fgKlassen = new VSGrid(this);
    setzen(fgKlassen, 75, 1560, 3250, 5000);
    fgKlassen->setMouseTracking(true);
    fgKlassen->setRows(1);
    fgKlassen->setCols(4);
    fgKlassen->setFixedRows(1);
    fgKlassen->setFixedCols(0);
    fgKlassen->setSelectionMode(VSGrid::SelectionByRow);

    fgSchueler = new VSGrid(this);
    setzen(fgSchueler, 3400, 1560, 9000, 5000);

    fgKranke = new VSGrid(this);
    setzen(fgKranke, 12500, 1560, 3500, 5000);
    lblDatum = label(this, QString(), 10500, 150, 1900);
    lblDatum->setObjectName(QStringLiteral("lblDatum"));
    lblAnzahl = label(this, QString(), 10500, 450, 1900);
    lblAnzahl->setObjectName(QStringLiteral("lblAnzahl"));
    // Two lines: "Word-Dokument wird erstellt" is wider than the column left of the day list.
    lblInfo = label(this, QString(), 10500, 780, 1900, 480);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    lblInfo->hide();

    frame_Heute = new QGroupBox(QStringLiteral("Listen des gewählten Tages"), this);
    setzen(frame_Heute, 12500, 0, 3500, 1250);
    cmdDrucken = knopf(frame_Heute, QStringLiteral("WORD"), 120, 285, 900);
    cmdExcel = knopf(frame_Heute, QStringLiteral("EXCEL"), 120, 750, 900);
    chkGrund = haken(frame_Heute, QStringLiteral("Grund"), 1150, 250, 900);
    chkGrundKlartext = haken(frame_Heute, QStringLiteral("Klartext"), 2150, 250, 1300);
    chkBemerkung = haken(frame_Heute, QStringLiteral("Bemerkung (nur Excel)"), 1150, 550, 2300);
    chkLK = haken(frame_Heute, QStringLiteral("LK"), 1150, 850, 900);

    lblToolTipp = label(this, QString(), 0, 0, 1700);
    lblToolTipp->setAutoFillBackground(true);
    lblToolTipp->setStyleSheet(QStringLiteral("background: #ffffe1; border: 1px solid black;"));
    lblToolTipp->hide();

    // Entry panel above the contact panel at the bottom left.
    Frame3 = new QGroupBox(QStringLiteral("Daten der gewählten Absenz"), this);
    setzen(Frame3, 75, 6350, 6300, 2500);
    label(Frame3, QStringLiteral("Name"), 120, 250, 600);
    lblSName = label(Frame3, QString(), 750, 250, 3000);
    label(Frame3, QStringLiteral("Klasse"), 3850, 250, 600);
    lblSKlasse = label(Frame3, QString(), 4500, 250, 800);
    label(Frame3, QStringLiteral("Tag"), 120, 520, 600);
    lblTag = label(Frame3, QString(), 750, 520, 1300);
    lblSNr = label(Frame3, QString(), 2100, 520, 900);
    label(Frame3, QStringLiteral("Grund"), 120, 800, 600);
    label(Frame3, QStringLiteral("Std"), 720, 1080, 400); // row caption beside the lesson boxes
    for (int i = 0; i <= 10; ++i) {
        const int links = i == 0 ? 120 : 1200 + (i - 1) * 400;
        txtStd[i] = textbox(Frame3, links, 1060, i == 0 ? 500 : 380);
        txtStd[i]->setMaxLength(Absenz::MaxCode);
        txtStd[i]->setAlignment(Qt::AlignCenter);
        txtStd[i]->setObjectName(QStringLiteral("txtStd%1").arg(i));
        if (i > 0)
            label(Frame3, QString::number(i), links + 100, 800, 300)->setObjectName(QStringLiteral("lblStd%1").arg(i));
    }
    label(Frame3, QStringLiteral("Bemerkung"), 120, 1420, 900);
    txtBemerkung = textbox(Frame3, 1100, 1400, 5050);
    txtBemerkung->setMaxLength(Absenz::MaxBemerkung);
    chk_entschuldigt = haken(Frame3, QStringLiteral("Entschuldigung liegt vor"), 120, 1750, 2400);
    label(Frame3, QStringLiteral("zählt"), 2600, 1760, 450);
    txt_Zaehlt = textbox(Frame3, 3050, 1740, 450);
    label(Frame3, QStringLiteral("Tage (für NM)"), 3550, 1760, 1200);
    const char *werte[] = {"0,0", "0,5", "1,0"};
    for (int i = 0; i < 3; ++i) {
        cmd_zaehlt[i] = knopf(Frame3, QString::fromLatin1(werte[i]), 4750 + i * 500, 1720, 480);
        connect(cmd_zaehlt[i], &QPushButton::clicked, this, [this, i] { cmd_zaehlt_Click(i); });
    }
    cmdUnterrichtsbefreiung = knopf(Frame3, QStringLiteral("Unterrichtsbefreiung erstellen (WORD)"), 120, 2080, 3400);
    label(Frame3, QStringLiteral("Fehltage"), 4300, 2110, 800);
    lblFehltage = label(Frame3, QString(), 5150, 2110, 700);

    Frame2 = new QGroupBox(QStringLiteral("Kontaktdaten"), this);
    setzen(Frame2, 75, 8900, 6300, 2000);
    label(Frame2, QStringLiteral("Name"), 120, 250, 600);
    lblName = label(Frame2, QString(), 750, 250, 5400);
    label(Frame2, QStringLiteral("Straße"), 120, 520, 600);
    lblStrasse = label(Frame2, QString(), 750, 520, 2600);
    label(Frame2, QStringLiteral("Ort"), 3400, 520, 400);
    lblPlzOrt = label(Frame2, QString(), 3800, 520, 2400);
    label(Frame2, QStringLiteral("Tel"), 120, 790, 600);
    txtTelefon = textbox(Frame2, 750, 770, 2000);
    // One line per guardian.
    auto erziehungsberechtigter = [&](int n, int top, QLabel *&gilt, QLabel *&name, QLabel *&art, QLineEdit *&tel) {
        label(Frame2, QStringLiteral("gilt %1").arg(n), 120, top, 600);
        gilt = label(Frame2, QString(), 750, top, 500);
        label(Frame2, QStringLiteral("Name"), 1300, top, 500);
        name = label(Frame2, QString(), 1800, top, 2000);
        label(Frame2, QStringLiteral("Art"), 3850, top, 350);
        art = label(Frame2, QString(), 4200, top, 700);
        label(Frame2, QStringLiteral("Tel"), 4950, top, 300);
        tel = textbox(Frame2, 5250, top - 20, 950);
    };
    erziehungsberechtigter(1, 1120, lblGilt1, lblName1, lblArt1, txtTelefon1);
    erziehungsberechtigter(2, 1500, lblGilt2, lblName2, lblArt2, txtTelefon2);

    fgSchuelerAbsenzen = new VSGrid(this);
    setzen(fgSchuelerAbsenzen, 6450, 6350, 9000, 4500);

    fgGrund = new VSGrid(this);
    fgGrund->hide();

    txt_Dummy = textbox(this, 20000, 0, 100);

    Timer1 = new QTimer(this);
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &frm_Fehltage::Timer1_Timer);

    // Class list: a click, or a keyboard move of the current row, loads the class.
    // A mouse press moves the current cell first; its click follows on release.
    connect(fgKlassen, &VSGrid::beforeMouseDown, this, [this](int, int, double, double, bool &) { m_mausInKlassen = true; });
    connect(fgKlassen, &VSGrid::mouseUp, this, [this] { m_mausInKlassen = false; });
    connect(fgKlassen, &VSGrid::click, this, &frm_Fehltage::fgKlassen_Click);
    connect(fgKlassen, &VSGrid::enterCell, this, [this] {
        const int r = fgKlassen->row();
        const bool neueZeile = r != m_klassenZeile;
        m_klassenZeile = r;
        if (!m_mausInKlassen && neueZeile && r >= 1)
            klasseLaden(r);
    });
    connect(fgKlassen, &VSGrid::mouseMove, this, [this] { klassenlisteMausBewegung(); });

    // Display options.
    const std::pair<QCheckBox *, const char *> boxen[] = {
        {chkGrund, "chkGrund"}, {chkGrundKlartext, "chkGrundKlartext"}, {chkBemerkung, "chkBemerkung"}, {chkLK, "chkLK"}};
    for (const auto &[box, key] : boxen)
        connect(box, &QCheckBox::clicked, this, [this, box = box, key = key] { optionSpeichern(box, QString::fromLatin1(key)); });

    // Entry panel saves when its boxes are left or the excused box is clicked with the mouse.
    txt_Zaehlt->installEventFilter(this);
    txtBemerkung->installEventFilter(this);
    chk_entschuldigt->installEventFilter(this);
    connect(chk_entschuldigt, &QCheckBox::clicked, this, [this] {
        if (m_mausAmCheck)
            chk_entschuldigt_MouseUp();
    });
    connect(cmdDel, &QPushButton::clicked, this, [this] {
        txtSuche->clear();
        txtSuche->setFocus();
    });
    connect(txtSuche, &QLineEdit::textChanged, this, [this] { txtSuche_Change(); });
    for (QLineEdit *tel : {txtTelefon, txtTelefon1, txtTelefon2}) {
        tel->setReadOnly(true);
        tel->installEventFilter(this);
    }
    kalenderVerbinden();
    dokumenteVerbinden();
}

// ---- load, activation, resize

void frm_Fehltage::formLoad()
{
    const QDate h = heute();
    SchuljahrBeginn = Schuljahr::beginn(h);
    SchuljahrEnde = Schuljahr::endeText(h);
    txtStartTag->setText(SchuljahrBeginn.toString(QStringLiteral("dd.MM.yyyy")));
    txtEndeTag->setText(SchuljahrEnde);
    KontaktfelderLeeren();

    fgSchueler->setCols(50);
    fgSchueler->setRows(1);
    fgSchueler->setTextMatrix(0, 0, QStringLiteral("Klasse"));
    fgSchueler->setTextMatrix(0, 1, QStringLiteral("Name"));
    fgKlassen->setTextMatrix(0, 0, QStringLiteral("Klasse"));
    fgKlassen->setTextMatrix(0, 1, QStringLiteral("Name"));
    Timer1->start();

    if (!mdl::NMDatenbankOeffnen())
        return;
    try {
        klassenlisteFuellen();
        m_personen.laden(mdl::dbNM());
    } catch (const zdb::DbError &e) {
        mdl::NMDatenbankSchliessen();
        msg::box(e.germanText());
        return;
    }
    mdl::NMDatenbankSchliessen();
    EingabeLeeren();
    // Persons the id rule cannot tell apart keep only the records stored exactly under their ids;
    // persons whose ids are equal but for blanks at their ends share one id and its records.
    QStringList hinweise;
    if (const QString gleiche = m_personen.gleicheIdsText(); !gleiche.isEmpty())
        hinweise << QStringLiteral("Im Notenmanager gibt es Personen, deren Kennungen sich nur in der Schreibweise "
                                   "unterscheiden:\r")
                        + gleiche
                        + QStringLiteral("\rIhre Absenzen werden nur unter der genau gleichen Kennung gezeigt und "
                                         "gespeichert; anders geschriebene Einträge gehören keiner dieser Personen.");
    if (const QString geteilt = m_personen.geteilteIdsText(); !geteilt.isEmpty())
        hinweise << QStringLiteral("Im Notenmanager gibt es Personen mit derselben Kennung (Leerzeichen am Anfang "
                                   "oder Ende zählen nicht):\r")
                        + geteilt
                        + QStringLiteral("\rIhre Absenzen werden bei jeder dieser Personen gezeigt und von jeder "
                                         "geändert.");
    if (!hinweise.isEmpty())
        msg::box(hinweise.join(QStringLiteral("\r\r")));
}

void frm_Fehltage::formActivate()
{
    fillMainClientArea();
    lblDatum->setText(QString());
    lblInfo->hide();
    optionenLaden();
    ListeGrundErstellen();
    cmdUnterrichtsbefreiung->setEnabled(
        QFileInfo::exists(folders::join(folders::programFolder(), QStringLiteral("Unterrichtsbefreiung Vorlage.docx"))));
    Timer1_Timer();
}

void frm_Fehltage::resizeEvent(QResizeEvent *e)
{
    ChildWindow::resizeEvent(e);
    formResize();
}

void frm_Fehltage::formResize()
{
    const int W = tw(width()), H = tw(height());
    if (W <= 0 || !fgSchueler)
        return;
    auto links = [](QWidget *w, int l) { w->move(px(l), w->y()); };
    auto oben = [](QWidget *w, int t) { w->move(w->x(), px(t)); };
    auto breite = [](QWidget *w, int b) { w->resize(px(b), w->height()); };
    auto hoehe = [](QWidget *w, int h) { w->resize(w->width(), px(h)); };

    links(txt_Dummy, W + 2000);
    if (W - linksTw(fgSchueler) - breiteTw(fgKranke) - 150 > 100)
        breite(fgSchueler, W - linksTw(fgSchueler) - breiteTw(fgKranke) - 150);
    if (W - breiteTw(fgKranke) - 75 > 100)
        links(fgKranke, W - breiteTw(fgKranke) - 75);
    links(frame_Heute, linksTw(fgKranke));
    links(lblDatum, linksTw(fgKranke) - 2000);
    links(lblAnzahl, linksTw(lblDatum));
    links(lblInfo, linksTw(lblDatum));
    if (W - linksTw(fgSchuelerAbsenzen) - linksTw(fgKlassen) > 100)
        breite(fgSchuelerAbsenzen, W - linksTw(fgSchuelerAbsenzen) - 75);
    oben(Frame2, H - hoeheTw(Frame2) - 100);
    if (obenTw(Frame2) - hoeheTw(Frame3) > 100) {
        oben(Frame3, obenTw(Frame2) - hoeheTw(Frame3));
        oben(fgSchuelerAbsenzen, obenTw(Frame3));
    }
    if (H - obenTw(fgSchuelerAbsenzen) - linksTw(fgKlassen) > 100)
        hoehe(fgSchuelerAbsenzen, H - obenTw(fgSchuelerAbsenzen) - 75);
    if (obenTw(Frame3) - obenTw(fgKlassen) > 100) {
        const int h = obenTw(Frame3) - obenTw(fgKlassen);
        hoehe(fgKlassen, h);
        hoehe(fgSchueler, h);
        hoehe(fgKranke, h);
    }
    AbsenzListeKopfErstellen();
}

void frm_Fehltage::mouseMoveEvent(QMouseEvent *e)
{
    lblToolTipp->hide();
    ChildWindow::mouseMoveEvent(e);
}

// ---- display options and reasons

void frm_Fehltage::optionenLaden()
{
    QCheckBox *boxen[] = {chkGrund, chkGrundKlartext, chkBemerkung, chkLK};
    for (int i = 0; i < 4; ++i) {
        const QString v = settings::getSetting(QStringLiteral("frm_Fehltage"), QString::fromLatin1(optionen[i].key),
                                               QString::fromLatin1(optionen[i].standard));
        boxen[i]->setChecked(vt::trimBlanks(v) == QLatin1String("1"));
    }
}

void frm_Fehltage::optionSpeichern(QCheckBox *box, const QString &key)
{
    settings::saveSetting(QStringLiteral("frm_Fehltage"), key, box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frm_Fehltage::ListeGrundErstellen()
{
    try {
        m_gruende.laden(mdl::dbEigen);
    } catch (const zdb::DbError &e) {
        msg::box(e.germanText());
    }
    auto jaNein = [](const QVariant &v) { return v.isNull() ? QString() : vt::valueText(zdb::yesNo(v)); };
    const QVector<Grund> &g = m_gruende.gruende();
    fgGrund->setRedraw(false);
    fgGrund->setFixedRows(0);
    fgGrund->setFixedCols(0);
    fgGrund->setCols(4);
    fgGrund->setRows(0);
    fgGrund->setRows(int(g.size()) + 2);
    for (int i = 0; i < g.size(); ++i) {
        fgGrund->setTextMatrix(i, 0, g[i].kurz);
        fgGrund->setTextMatrix(i, 1, g[i].lang);
        fgGrund->setTextMatrix(i, 2, jaNein(g[i].fuerSchueler));
        fgGrund->setTextMatrix(i, 3, jaNein(g[i].fuerLehrer));
    }
    const int n = int(g.size());
    fgGrund->setTextMatrix(n, 0, QStringLiteral("  "));
    fgGrund->setTextMatrix(n, 1, QStringLiteral("(löschen)"));
    fgGrund->setTextMatrix(n + 1, 0, QStringLiteral("  "));
    fgGrund->setRowHeight(n + 1, 0);
    const int breiten[] = {400, 1200, 0, 0};
    for (int c = 0; c < 4; ++c)
        fgGrund->setColWidth(c, breiten[c]);
    fgGrund->resize(px(1700), px(fgGrund->rowHeight(0) * fgGrund->rows()));
    fgGrund->setRedraw(true);
    fgGrund->hide();
}

// ---- shared helpers of the panels

void frm_Fehltage::EingabeLeeren()
{
    lblSName->clear();
    lblSKlasse->clear();
    lblTag->clear();
    for (QLineEdit *e : txtStd)
        e->clear();
    txtBemerkung->clear();
}

void frm_Fehltage::KontaktfelderLeeren()
{
    for (QLabel *l : {lblName, lblStrasse, lblPlzOrt, lblGilt1, lblName1, lblArt1, lblGilt2, lblName2, lblArt2})
        l->clear();
    for (QLineEdit *e : {txtTelefon, txtTelefon1, txtTelefon2})
        e->clear();
}

bool frm_Fehltage::PersonenZeilenErstellen(const Abfrage &abfrage)
{
    // The grid is emptied once the persons are read: a wait given up or a failed read leaves
    // the empty calendar.
    if (!mdl::NMDatenbankOeffnen()) {
        m_kalender->leeren();
        return false;
    }
    QVector<PersonZeile> personen;
    try {
        const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
        personen = Fehltagekalender::personenLesen(mdl::dbNM(), abfrage);
    } catch (const zdb::DbError &e) {
        m_kalender->leeren();
        msg::box(e.germanText());
        return false;
    }
    m_kalender->personenZeilenSetzen(personen, heute());
    return true;
}

void frm_Fehltage::AbsenzenInKalenderEintragen()
{
    try {
        m_kalender->absenzenEintragen(mdl::dbEigen);
    } catch (const zdb::DbError &e) {
        fgSchueler->setRedraw(true);
        msg::box(e.germanText());
    }
}
