#include "calendar/frm_kalender.h"
#include "calendar/kalenderexcel.h"
#include "calendar/planerstellung.h"
#include "core/frm_warten.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/units.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QToolButton>
#include <cmath>

using namespace kalender;

frm_Kalender::frm_Kalender(QWidget *parent) : ChildWindow(QStringLiteral("frm_Kalender"), parent)
{
    setWindowTitle(QStringLiteral("Schulaufgabenplan"));
    aufbauen();
}

int frm_Kalender::px(int t) const { return units::twipsToPixels(t, logicalDpiX()); }
int frm_Kalender::twips(int p) const { return units::pixelsToTwips(p, logicalDpiX()); }

void frm_Kalender::setzeGeometrie(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

static QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

void frm_Kalender::aufbauen()
{
    Label5 = label(this, "Label5", QStringLiteral("Monat"));
    setzeGeometrie(Label5, 120, 120, 615, 255);
    static const char *const monate[11] = {"Sept", "Okt", "Nov", "Dez", "Jan", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul"};
    for (int i = 0; i < 11; ++i) {
        cmdMonat[i] = new QPushButton(QString::fromUtf8(monate[i]), this);
        cmdMonat[i]->setObjectName(QStringLiteral("cmdMonat_%1").arg(i));
        setzeGeometrie(cmdMonat[i], 120, 360 + 360 * i, 495, 375);
        connect(cmdMonat[i], &QPushButton::clicked, this, [this, i] { cmdMonat_Click(i); });
    }
    chkMeineKlassen = new QCheckBox(this);
    chkMeineKlassen->setObjectName(QStringLiteral("chkMeineKlassen"));
    setzeGeometrie(chkMeineKlassen, 120, 4560, 255, 255);
    connect(chkMeineKlassen, &QCheckBox::clicked, this, [this] { chkMeineKlassen_Click(); });
    Label2 = label(this, "Label2", QStringLiteral("nur meine Klassen"));
    Label2->setWordWrap(true);
    setzeGeometrie(Label2, 120, 4800, 615, 735);
    Label4 = label(this, "Label4", QStringLiteral("Schulaufgaben und wichtige Termine"));
    setzeGeometrie(Label4, 720, 120, 3735, 255);

    fgKalender = new VSGrid(this);
    fgKalender->setObjectName(QStringLiteral("fgKalender"));
    setzeGeometrie(fgKalender, 720, 360, 8655, 3615);
    fgKalender->setRows(1);
    fgKalender->setCols(1);
    fgKalender->setFixedRows(1);
    fgKalender->setFixedCols(1);
    fgKalender->setColWidth(0, 1100);
    // The school office's Shift+click pastes into the one cell pressed: the grid must not stretch
    // its selection from the current cell to it.
    connect(fgKalender, &VSGrid::beforeMouseDown, this, [this](int, int shift, double, double, bool &cancel) {
        if (shift == 1 && fgKalender->mouseRow() > 0 && fgKalender->mouseCol() > 0 && istSchulleitung(mdl::Benutzer))
            cancel = true;
    });
    connect(fgKalender, &VSGrid::mouseDown, this, [this](int button, int shift, double, double) {
        fgKalender_MouseDown(button, shift, fgKalender->mouseRow(), fgKalender->mouseCol());
    });
    connect(fgKalender, &VSGrid::afterScroll, this, [this](int, int, int, int) { fgKalender_AfterScroll(); });
    connect(fgKalender, &VSGrid::keyUp, this, [this](int &key, int shift) { fgKalender_KeyUp(key, shift); });

    lblMeineTermine = label(this, "lblMeineTermine", QStringLiteral("meine Termine"));
    setzeGeometrie(lblMeineTermine, 9480, 120, 1695, 255);
    fgMeineTermine = new VSGrid(this);
    fgMeineTermine->setObjectName(QStringLiteral("fgMeineTermine"));
    setzeGeometrie(fgMeineTermine, 9480, 360, 2055, 3615);
    fgMeineTermine->setFixedCols(0);

    frameDetail = new QGroupBox(this);
    frameDetail->setObjectName(QStringLiteral("frameDetail"));
    setzeGeometrie(frameDetail, 720, 4080, 14327, 1335);
    lblDetailsZu = label(frameDetail, "lblDetailsZu", QStringLiteral("Details zu"));
    setzeGeometrie(lblDetailsZu, 120, 120, 900, 255);
    lblTag = label(frameDetail, "lblTag", QString());
    setzeGeometrie(lblTag, 1080, 120, 1100, 255);
    lblKlasse = label(frameDetail, "lblKlasse", QString());
    setzeGeometrie(lblKlasse, 2280, 120, 1200, 255);
    lblEinMinute = label(frameDetail, "lblEinMinute",
                         QStringLiteral("Termine, die innerhalb einer Minute nach Eintrag gelöscht werden, "
                                        "werden komplett gelöscht."));
    setzeGeometrie(lblEinMinute, 3600, 120, 9000, 255);
    fgDetail = new VSGrid(frameDetail);
    fgDetail->setObjectName(QStringLiteral("fgDetail"));
    setzeGeometrie(fgDetail, 120, 420, 14087, 795);
    fgDetail->setEditable(true);
    fgDetail->setFixedCols(0);
    connect(fgDetail, &VSGrid::beforeEdit, this, [this](int r, int c, bool &cancel) { fgDetail_BeforeEdit(r, c, cancel); });
    connect(fgDetail, &VSGrid::afterEdit, this, [this](int r, int c) { fgDetail_AfterEdit(r, c); });
    connect(fgDetail, &VSGrid::keyUp, this, [this](int &key, int shift) { fgDetail_KeyUp(key, shift); });
    connect(fgDetail, &VSGrid::mouseDown, this, [this](int, int, double, double) {
        fgDetail_MouseDown(fgDetail->mouseRow(), fgDetail->mouseCol());
    });

    Frame1 = new QGroupBox(QStringLiteral("HTML"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    setzeGeometrie(Frame1, 0, 5760, 735, 1815);
    cmdHTML_L = new QPushButton(QStringLiteral("L-Plan"), Frame1);
    cmdHTML_S = new QPushButton(QStringLiteral("S-Plan"), Frame1);
    cmdHTML_S2 = new QPushButton(QStringLiteral("S2-P"), Frame1);
    QPushButton *knoepfe[3] = {cmdHTML_L, cmdHTML_S, cmdHTML_S2};
    const char *namen[3] = {"cmdHTML_L", "cmdHTML_S", "cmdHTML_S2"};
    for (int i = 0; i < 3; ++i) {
        knoepfe[i]->setObjectName(QLatin1String(namen[i]));
        setzeGeometrie(knoepfe[i], 60, 300 + 480 * i, 615, 375);
    }
    connect(cmdHTML_L, &QPushButton::clicked, this, [this] { cmdHTML_L_Click(); });
    connect(cmdHTML_S, &QPushButton::clicked, this, [this] { cmdHTML_S_Click(); });
    connect(cmdHTML_S2, &QPushButton::clicked, this, [this] { cmdHTML_S2_Click(); });

    cmdExcel = new QToolButton(this);
    cmdExcel->setObjectName(QStringLiteral("cmdExcel"));
    cmdExcel->setText(QStringLiteral("X"));
    cmdExcel->setToolTip(QStringLiteral("Excel-Export"));
    setzeGeometrie(cmdExcel, 9540, 0, 330, 330);
    connect(cmdExcel, &QToolButton::clicked, this, [this] { guarded([this] { cmdExcel_Click(); }); });

    lblHTML = label(this, "lblHTML", QString());
    setzeGeometrie(lblHTML, 0, 0, 135, 135);
    lblHTML->installEventFilter(this);

    Label6 = label(this, "Label6", QStringLiteral("Termin eintragen = RechtsKlick"));
    Label6->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);"));
    setzeGeometrie(Label6, 4560, 60, 2400, 255);
    Label7 = label(this, "Label7", QStringLiteral("Lehrer nicht in Klasse"));
    Label7->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    setzeGeometrie(Label7, 7080, 60, 2040, 255);

    frmSchA = new QFrame(this);
    frmSchA->setObjectName(QStringLiteral("frmSchA"));
    frmSchA->setAutoFillBackground(true);
    lblSchA = label(frmSchA, "lblSchA", QString());
    lblSchA->setAutoFillBackground(true);
    lblSchA->installEventFilter(this);
    frmSchA->hide();
    lstSchA = new VSGrid(this);
    lstSchA->setObjectName(QStringLiteral("lstSchA"));
    lstSchA->setFixedCols(0);
    lstSchA->hide();
    connect(lstSchA, &VSGrid::click, this, [this] { lstSchA_Click(lstSchA->mouseRow()); });
    // Escape in either grid closes an open pop-up; the grids would take the key themselves.
    for (VSGrid *g : {fgKalender, lstSchA})
        connect(g, &VSGrid::keyDown, this, [this](int &keyCode, int) {
            if (keyCode != 27 || !lstSchA->isVisible())
                return;
            keyCode = 0;
            popupSchliessen();
        });

    // The delete symbol of active entries in the details.
    m_schliessen = QPixmap(13, 13);
    m_schliessen.fill(Qt::white);
    {
        QPainter p(&m_schliessen);
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawRect(0, 0, 12, 12);
        p.drawLine(3, 3, 9, 9);
        p.drawLine(9, 3, 3, 9);
    }
    picSchliess = label(this, "picSchliess", QString());
    picSchliess->setPixmap(m_schliessen);
    picSchliess->setGeometry(0, 0, 13, 13);
    picSchliess->hide();

    resize(px(15300), px(7800));
    // The hint of the details frame whole; the HTML buttons below the month buttons.
    setBenoetigteGroesse(13500, 7650);
    detailsLeeren();
}

bool frm_Kalender::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (watched == lblHTML) {
            lblHTML_Click();
            return true;
        }
        if (watched == lblSchA) {
            lblSchA_MouseDown(me->button() == Qt::RightButton ? 2 : me->button() == Qt::MiddleButton ? 4 : 1);
            return true;
        }
    }
    return ChildWindow::eventFilter(watched, event);
}

void frm_Kalender::datenbankFehler(const std::exception &e, const QString &nichtGetan)
{
    const QString vorne = nichtGetan.isEmpty() ? QString() : nichtGetan + QLatin1Char('\r');
    if (auto *db = dynamic_cast<const zdb::DbError *>(&e))
        msg::box(vorne + db->germanText(), msg::OKOnly);
    else
        msg::box(vorne + QStringLiteral("Fehler: ") + QString::fromUtf8(e.what()), msg::OKOnly);
}

void frm_Kalender::ZeileEinfaerben(int zeile, long farbe)
{
    if (zeile < 0 || zeile >= fgKalender->rows())
        return;
    fgKalender->setCellBackColor(zeile, 0, zeile, fgKalender->cols() - 1, farbe);
}

void frm_Kalender::Form_Load()
{
    fgKalender->setRedraw(false);
    fgKalender->clear();
    fgKalender->setRows(1);
    fgKalender->setCols(1);
    m_tabelle = KalenderTabelle();
    m_klassen.clear();
    m_erster = mdl::KalenderErsterTag;
    m_letzter = mdl::KalenderLetzterTag;
    m_popupZeile = m_popupSpalte = 0;
    popupVerstecken();
    fgKalender->setRedraw(true);

    try {
        if (!mdl::NMDatenbankOeffnen())
            return;
        {
            const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
            m_klassen = klassenLesen(mdl::dbNM());
        }

        const QDateTime nun = jetzt();
        bool gekuerzt = false;
        m_tabelle.aufbauen(m_erster, m_letzter, m_klassen, nun.date(), &gekuerzt);
        m_tabelle.termineEinsetzen(alleTermine(mdl::dbEigen), nun, mdl::KalenderEinfaerbenTage,
                                   mdl::KalenderEinfaerbenfarbe);
        if (gekuerzt && !m_gekuerztGemeldet) {
            m_gekuerztGemeldet = true;
            msg::box(QStringLiteral("Der Zeitraum des Kalenders ist länger als %1 Tage.\r"
                                    "Angezeigt werden nur die ersten %1 Tage (bis %2).")
                         .arg(MaxTage)
                         .arg(datetexts::format(m_tabelle.datum(m_tabelle.rows() - 1), QStringLiteral("dd.mm.yyyy"))),
                     msg::OKOnly);
        }
    } catch (const std::exception &e) {
        m_tabelle = KalenderTabelle(); // no dates or classes of a grid that was not built
        datenbankFehler(e);
        return;
    }

    const KalenderTabelle &t = m_tabelle;
    fgKalender->setRedraw(false);
    fgKalender->setCols(t.cols());
    for (int c = 1; c < t.cols(); ++c) {
        fgKalender->setTextMatrix(0, c, t.zelle(0, c).text);
        fgKalender->setColAlignment(c, grid::AlignLeftCenter);
    }
    if (t.cols() > 1)
        fgKalender->autoSize(1, t.cols() - 1);
    fgKalender->setColAlignment(0, grid::AlignRightCenter);
    fgKalender->setRows(t.rows());
    GridStore &s = fgKalender->store();
    for (int r = 1; r < t.rows(); ++r) {
        s.setRowHeight(r, t.zeilenHoehe(r));
        for (int c = 0; c < t.cols(); ++c) {
            const KalenderZelle &z = t.zelle(r, c);
            if (!z.text.isEmpty())
                s.setTextMatrix(r, c, z.text);
            if (!z.notiz.isEmpty())
                s.setCellData(r, c, z.notiz);
            if (z.farbe != 0)
                s.setCellBackColor(r, c, z.farbe);
        }
    }
    for (int c = 1; c < t.cols(); ++c)
        if (t.trennlinie(c))
            fgKalender->cellBorderRange(0, c, t.rows() - 1, c, FarbeTrennlinie, 1, grid::BorderKeep,
                                        grid::BorderKeep, grid::BorderKeep);
    fgKalender->setRedraw(true);
    MeineTermineFuellen();
}

void frm_Kalender::Form_Activate()
{
    // The changed flag stays: changes made before switching windows are published at closing.
    fillMainClientArea();
}

bool frm_Kalender::Form_Unload()
{
    if (Geaendert)
        allePlaeneZeigen();
    return true;
}

void frm_Kalender::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    Form_Resize();
}

void frm_Kalender::Form_Resize()
{
    const int W = twips(width()), H = twips(height());
    Abstand = twips(lblMeineTermine->y());
    const int breite = W - twips(cmdMonat[0]->x()) - twips(fgKalender->x()) - twips(fgMeineTermine->width()) - Abstand;
    if (breite > 200)
        fgKalender->resize(px(breite), fgKalender->height());
    if (H - 3 * twips(fgKalender->y()) - twips(frameDetail->height()) > 200)
        fgKalender->resize(fgKalender->width(), px(H - 5 * Abstand - twips(frameDetail->height())));
    frameDetail->move(frameDetail->x(), px(twips(fgKalender->height()) + 4 * Abstand));
    fgMeineTermine->resize(fgMeineTermine->width(), fgKalender->height());
    const int links = twips(fgKalender->x()) + twips(fgKalender->width()) + Abstand;
    fgMeineTermine->move(px(links), fgMeineTermine->y());
    lblMeineTermine->move(px(links), lblMeineTermine->y());
    frameDetail->resize(px(W - twips(frameDetail->x()) - Abstand), frameDetail->height());
    const int detailBreite = twips(frameDetail->width()) - twips(fgDetail->x()) - Abstand;
    if (detailBreite > 200)
        fgDetail->resize(px(detailBreite), fgDetail->height());
    detailsLeeren();
    chkMeineKlassen_Click();
}

void frm_Kalender::detailsLeeren()
{
    fgDetail->clear();
    fgDetail->setRows(1);
    fgDetail->setCols(12);
    fgDetail->setFixedRows(1);
    static const char *const kopf[12] = {"", "Datum", "Klasse", "Fach", "Lehrkraft", "nicht Internet", "Bemerkung ...",
                                         "eingetragen am        ", "eingetragen von", "gelöscht am           ",
                                         "gelöscht von", " "};
    for (int c = 0; c < 12; ++c)
        fgDetail->setTextMatrix(0, c, QString::fromUtf8(kopf[c]));
    fgDetail->autoSize(1, 11);
    fgDetail->setColWidth(0, 0);
    int summe = 0;
    for (int c = 0; c < 12; ++c)
        if (c != 6)
            summe += fgDetail->colWidth(c);
    const int rest = twips(fgDetail->width()) - summe - 2 * Abstand;
    if (rest > 200)
        fgDetail->setColWidth(6, rest);
}

void frm_Kalender::chkMeineKlassen_Click()
{
    popupVerstecken();
    fgKalender->setRedraw(false);
    const int cols = fgKalender->cols();
    for (int c = 1; c < cols; ++c)
        fgKalender->setColHidden(c, false);
    if (chkMeineKlassen->isChecked()) {
        if (!mdl::NMDatenbankOeffnen()) {
            fgKalender->setRedraw(true);
            return;
        }
        QStringList eigene;
        try {
            eigene = eigeneKlassenLesen(mdl::dbNM(), mdl::Benutzer);
        } catch (const std::exception &e) {
            mdl::NMDatenbankSchliessen();
            fgKalender->setRedraw(true);
            datenbankFehler(e);
            return;
        }
        mdl::NMDatenbankSchliessen();
        if (!eigene.isEmpty()) {
            QSet<QString> zeigen;
            for (const QString &k : eigene)
                zeigen.insert(mdl::GrossGetrimmt(k));
            for (int c = 1; c < cols; ++c)
                fgKalender->setColHidden(c, !zeigen.contains(mdl::GrossGetrimmt(fgKalender->textMatrix(0, c))));
        }
    }
    int n = 0;
    for (int c = 1; c < cols; ++c)
        if (fgKalender->store().colShown(c))
            ++n;
    if (n > 0) {
        const int w = std::max(400, int(std::lround(double(twips(fgKalender->width()) - 500 - fgKalender->colWidth(0)) / n)));
        for (int c = 1; c < cols; ++c)
            if (fgKalender->store().colShown(c))
                fgKalender->setColWidth(c, w);
    }
    fgKalender->setRedraw(true);
}

void frm_Kalender::cmdMonat_Click(int index)
{
    popupVerstecken();
    if (index < 0 || index > 10)
        return;
    const int r = ersteZeileDesMonats(m_tabelle, monatDesKnopfs(index));
    if (r > 0)
        fgKalender->setTopRow(r);
}

void frm_Kalender::fgKalender_AfterScroll()
{
    popupVerstecken();
    fgKalender->select(0, 0);
}

void frm_Kalender::popupVerstecken()
{
    frmSchA->hide();
    lstSchA->hide();
}

// Escape closes the subject pop-up as it closes other pop-ups: nothing is chosen, the focus goes
// back to the calendar.
void frm_Kalender::popupSchliessen()
{
    popupVerstecken();
    fgKalender->setFocus();
}

void frm_Kalender::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && lstSchA->isVisible()) {
        popupSchliessen();
        return;
    }
    ChildWindow::keyPressEvent(event);
}

PlanErstellung frm_Kalender::planErstellung() const
{
    const PlanEinstellungen e{mdl::HTML_L, mdl::HTML_S, mdl::HTML_S2, mdl::KalenderEinfaerbenTage,
                              mdl::KalenderEinfaerbenfarbe};
    auto klassen = []() -> std::optional<QStringList> {
        if (!mdl::NMDatenbankOeffnen())
            return std::nullopt;
        const mdl::NMSitzung sitzung(mdl::NMSitzung::SchonGeoeffnet);
        return klassenFuerKlassenplan(mdl::dbNM());
    };
    PlanMelder melder{[](const QString &text) { frm_Warten::zeigen(text); }, &frm_Warten::Fortschritt,
                      [] { frm_Warten::entladen(); }};
    return PlanErstellung(mdl::dbEigen, e, m_klassen, m_erster, m_letzter, klassen, melder);
}

// Tells why a plan was not written; true when it was.
static bool planGeschrieben(const PlanErgebnis &e)
{
    if (!e.meldung.isEmpty())
        msg::box(e.meldung, msg::OKOnly);
    return e.geschrieben;
}

bool frm_Kalender::cmdHTML_L_Click() { return planGeschrieben(planErstellung().lehrerPlan()); }
bool frm_Kalender::cmdHTML_S_Click() { return planGeschrieben(planErstellung().schuelerPlan()); }
bool frm_Kalender::cmdHTML_S2_Click() { return planGeschrieben(planErstellung().klassenPlan()); }

bool frm_Kalender::allePlaeneZeigen()
{
    // One read of the entries for the three; each plan's message as soon as it is done.
    PlanErstellung p = planErstellung();
    const bool l = planGeschrieben(p.lehrerPlan());
    const bool s = planGeschrieben(p.schuelerPlan());
    const bool s2 = planGeschrieben(p.klassenPlan());
    return l && s && s2;
}

void frm_Kalender::lblHTML_Click()
{
    // Only a complete publication clears the flag; a single plan button leaves it set.
    if (allePlaeneZeigen())
        Geaendert = false;
}

