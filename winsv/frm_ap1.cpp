#include "winsv/frm_ap1.h"

#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/units.h"
#include "platform/valuetext.h"
#include "platform/winsvodbc.h"
#include "winsv/ap1blatt.h"
#include "winsv/ap1logik.h"
#include "winsv/sddf1dialog.h"
#include "winsv/sddf1wahl.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

namespace {

const QString Fenster = QStringLiteral("Fenster");
constexpr int GridOben = 360;
const char *const Farbe = "zandrelBackColor";


// A stored window size in twips; the default when it is missing or no number.
int gespeichert(const QString &key, int standard)
{
    bool ok = false;
    const int v = vt::trimBlanks(settings::getSetting(Fenster, key)).toInt(&ok);
    return ok && v > 0 ? v : standard;
}


} // namespace

// Counts the passes running; a close asked for meanwhile follows when the last one has ended.
class frm_AP1::Durchlauf {
public:
    explicit Durchlauf(frm_AP1 &w) : m_w(w) { ++m_w.m_tiefe; }
    ~Durchlauf()
    {
        if (--m_w.m_tiefe > 0 || !m_w.m_schliessen)
            return;
        m_w.m_schliessen = false;
        QPointer<frm_AP1> self(&m_w);
        QTimer::singleShot(0, &m_w, [self] {
            if (self)
                self->entladen();
        });
    }

private:
    frm_AP1 &m_w;
};

frm_AP1::frm_AP1(QWidget *parent) : ChildWindow(QStringLiteral("frm_AP1"), parent)
{
    setWindowTitle(QStringLiteral("Abschlussprüfung"));
    bauen();
    // The pupil's sheet and the offered exams below it, whole.
    setBenoetigteGroesse(13575, 7800);
    connect(lstKlasse, &QListWidget::currentRowChanged, this, [this] { guarded([this] { lstKlasse_Click(); }); });
    connect(fg_Schueler, &VSGrid::click, this, [this] { guarded([this] { fg_Schueler_Click(); }); });
    // After the move, so the sheet shows the row that is now current (also for the keyboard).
    connect(fg_Schueler, &VSGrid::rowColChange, this, [this] { guarded([this] { fg_Schueler_LeaveCell(); }); });
}

frm_AP1::~frm_AP1() = default;

void frm_AP1::place(QWidget *w, int left, int top, int width, int height)
{
    const double dpi = logicalDpiX();
    w->setGeometry(units::twipsToPixels(left, dpi), units::twipsToPixels(top, dpi), units::twipsToPixels(width, dpi),
                   units::twipsToPixels(height, dpi));
}

QLabel *frm_AP1::label(QWidget *parent, const QString &name, const QString &text, int left, int top, int width,
                       int height, double punkte)
{
    auto *l = new QLabel(text, parent);
    if (!name.isEmpty()) {
        l->setObjectName(name);
        m_zellen.insert(name, l);
    }
    if (punkte > 0) {
        QFont f = l->font();
        f.setPointSizeF(punkte);
        l->setFont(f);
    }
    place(l, left, top, width, height);
    return l;
}

void frm_AP1::bauen()
{
    Label1 = label(this, {}, QStringLiteral(" Kl."), 120, 0, 735, 375);
    lstKlasse = new QListWidget(this);
    place(lstKlasse, 120, 360, 735, 2010);
    Label2 = label(this, {}, QStringLiteral(" Schüler"), 960, 0, 1695, 375);
    fg_Schueler = new VSGrid(this);
    place(fg_Schueler, 1080, GridOben, 1695, 8415);
    fg_Schueler->setCols(1);
    fg_Schueler->setRows(0);
    fg_Schueler->setEditable(false);

    Frame1 = new QFrame(this);
    Frame1->setFrameStyle(QFrame::Box | QFrame::Plain);
    place(Frame1, 3000, 120, 10455, 6495);
    const QStringList &fa = ap1::faecher();
    const int zelleB = 375, zelleH = 255, abstand = 360, links = 600;
    const double klein = 7.5;

    // Header line.
    label(Frame1, QStringLiteral("lbl_Name"), QStringLiteral("Name"), 120, 120, 4455, 375, 13.5);
    label(Frame1, QStringLiteral("lbl_WPfG"), QStringLiteral("WPfG"), 4680, 120, 1695, 375, 13.5);
    label(Frame1, {}, QStringLiteral("Klasse:"), 6480, 120, 1215, 375, 13.5);
    label(Frame1, QStringLiteral("lbl_Klasse"), QStringLiteral("Klasse"), 7700, 120, 1500, 375, 13.5);
    label(Frame1, QStringLiteral("lbl_Klassenleiter"), QStringLiteral("Klassenleiter"), 120, 480, 6000, 255);

    // Annual-grade table: head row, "JFN", "mdl.", "J_n".
    auto *jahr = new QWidget(Frame1);
    place(jahr, 0, 840, 10455, 1200);
    const QStringList jahrZeilen{"JFN", "mdl.", "J_n"};
    const QStringList jahrBuchstaben{"J", "M", "N"};
    for (int z = 0; z < 3; ++z)
        label(jahr, {}, jahrZeilen[z], 120, 300 * (z + 1), 480, zelleH, klein);
    for (int i = 0; i < fa.size(); ++i) {
        const int x = links + abstand * i;
        label(jahr, {}, fa[i], x, 0, zelleB, zelleH, klein);
        for (int z = 0; z < 3; ++z) {
            if (z > 0 && (fa[i] == "D" || fa[i] == "E" || fa[i] == "M"))
                continue;
            label(jahr, "lbl_" + jahrBuchstaben[z] + fa[i], fa[i], x, 300 * (z + 1), zelleB, zelleH, klein);
        }
    }

    // Examination table: D, E, M and the fourth subject.
    auto *pruefung = new QWidget(Frame1);
    place(pruefung, 0, 2100, 10455, 3600);
    const QStringList spalten{"D", "E", "M", "X"};
    const QStringList zeilen{"JFN", "schriftl.", "mdl.", "Prüfungsnote", "Gesamtnote"};
    const QStringList praefixe{"lbl__J", "lbl_S", "lbl_M", "lbl_P", "lbl__G"};
    for (int s = 0; s < spalten.size(); ++s) {
        const int x = 2995 + 960 * s;
        label(pruefung, s == 3 ? QStringLiteral("lbl_FachX") : QString(), spalten[s], x, 0, 975, 435, 18)
            ->setAlignment(Qt::AlignCenter);
        for (int z = 0; z < zeilen.size(); ++z)
            label(pruefung, praefixe[z] + spalten[s], spalten[s], x, 435 + 615 * z, 975, 615, 24)
                ->setAlignment(Qt::AlignCenter);
    }
    for (int z = 0; z < zeilen.size(); ++z)
        label(pruefung, {}, zeilen[z], 120, 435 + 615 * z, 2775, 615, 18);

    // Final-grade row.
    auto *gesamt = new QWidget(Frame1);
    place(gesamt, 0, 5760, 10455, 600);
    label(gesamt, {}, QStringLiteral("GN"), 120, 300, 480, zelleH, klein);
    for (int i = 0; i < fa.size(); ++i) {
        label(gesamt, {}, fa[i], links + abstand * i, 0, zelleB, zelleH, klein);
        label(gesamt, "lbl_G" + fa[i], fa[i], links + abstand * i, 300, zelleB, zelleH, klein);
    }
    for (const QString &n : ap1::wertLabels())
        if (QLabel *l = zelle(n); l && n != QLatin1String("lbl_FachX"))
            l->setAlignment(Qt::AlignCenter);

    // Offered early oral examinations per subject.
    Frame5 = new QGroupBox(QStringLiteral("angebotene vorgezogene mündliche Prüfungen"), this);
    place(Frame5, 3000, 6720, 10455, 975);
    for (int i = 0; i < fa.size(); ++i) {
        label(Frame5, {}, fa[i], links + abstand * i, 240, zelleB, zelleH, klein)->setAlignment(Qt::AlignCenter);
        label(Frame5, "lbl_Anz" + fa[i], fa[i], links + abstand * i, 480, zelleB, zelleH, klein)
            ->setAlignment(Qt::AlignCenter);
    }
}

long frm_AP1::fensterfarbe() const { return units::fromQColor(palette().color(QPalette::Window)); }

long frm_AP1::hintergrund(const QLabel *l) const
{
    const QVariant v = l->property(Farbe);
    return v.isValid() ? long(v.toLongLong()) : fensterfarbe();
}

void frm_AP1::hintergrundSetzen(QLabel *l, long farbe)
{
    l->setProperty(Farbe, qlonglong(farbe));
    QPalette p = l->palette();
    p.setColor(QPalette::Window, units::toQColor(farbe));
    l->setPalette(p);
    l->setAutoFillBackground(true);
}

// ---- loading, layout, closing

void frm_AP1::formLoad()
{
    guarded([this] { laden(); });
}

void frm_AP1::laden()
{
    if (QWidget *sub = rahmen(); sub != this) {
        const QSize client = mainClientSize();
        const double dpi = logicalDpiX();
        const int b = gespeichert(QStringLiteral("AP1Width"), units::pixelsToTwips(client.width(), dpi));
        const int h = gespeichert(QStringLiteral("AP1Height"), units::pixelsToTwips(client.height(), dpi));
        sub->setGeometry(0, 0, units::twipsToPixels(b, dpi), units::twipsToPixels(h, dpi));
    }
    const ap1::Datendatei datei = ap1::datendateiBestimmen(
        mdl::PfadSDDF1, [this] { return dialogZeigen(); }, [](const QString &text) { msg::box(text); });
    mdl::PfadSDDF1 = datei.pfad;
    if (!datei.meldung.isEmpty()) {
        msg::box(datei.meldung);
        return;
    }
    try {
        m_winsv = std::make_unique<winsvdb::Connection>(vt::trimBlanks(mdl::PfadSDDF1));
    } catch (const winsvdb::WinsvError &e) {
        msg::box(e.germanText());
        return;
    }
    QStringList klassen;
    {
        if (!mdl::NMDatenbankOeffnen())
            return;
        const mdl::NMSitzung zu(mdl::NMSitzung::SchonGeoeffnet);
        klassen = ap1::zehnerKlassen(mdl::dbNM());
    }
    {
        const QSignalBlocker still(lstKlasse);
        lstKlasse->clear();
        lstKlasse->addItems(klassen);
        lstKlasse->setCurrentRow(-1);
    }
    if (!klassen.isEmpty())
        lstKlasse->setCurrentRow(0); // runs the class choice
    anordnen();
}

QString frm_AP1::dialogZeigen()
{
    if (dateiDialog)
        return dateiDialog();
    // A cancelled dialog leaves its preset name.
    const QString name = winsv::sddf1Dialog(this, false);
    return name.isEmpty() ? QStringLiteral("sd.df1") : name;
}

void frm_AP1::anordnen()
{
    const double dpi = logicalDpiX();
    if (const auto h = ap1::gridHoehe(units::pixelsToTwips(height(), dpi), GridOben))
        fg_Schueler->resize(fg_Schueler->width(), units::twipsToPixels(*h, dpi));
}

void frm_AP1::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    anordnen();
}

bool frm_AP1::formUnload()
{
    if (m_tiefe > 0) {
        m_schliessen = true;
        return false;
    }
    const QWidget *w = rahmen();
    const double dpi = logicalDpiX();
    settings::saveSetting(Fenster, QStringLiteral("AP1Height"), QString::number(units::pixelsToTwips(w->height(), dpi)));
    settings::saveSetting(Fenster, QStringLiteral("AP1Width"), QString::number(units::pixelsToTwips(w->width(), dpi)));
    settings::saveSetting(Fenster, QStringLiteral("AP1Left"), QString::number(units::pixelsToTwips(w->x(), dpi)));
    settings::saveSetting(Fenster, QStringLiteral("AP1Top"), QString::number(units::pixelsToTwips(w->y(), dpi)));
    return true;
}

void frm_AP1::closeEvent(QCloseEvent *event)
{
    if (m_tiefe > 0) {
        m_schliessen = true;
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}

// ---- the class pass

void frm_AP1::sichtbarMachen()
{
    rahmen()->show();
    show();
}

void frm_AP1::lstKlasse_Click()
{
    sichtbarMachen();
    if (!lstKlasse->currentItem())
        return;
    const QString klasse = lstKlasse->currentItem()->text();
    QVector<ap1::Schueler> schueler;
    {
        if (!mdl::NMDatenbankOeffnen())
            return;
        const mdl::NMSitzung zu(mdl::NMSitzung::SchonGeoeffnet);
        schueler = ap1::schuelerDerKlasse(mdl::dbNM(), klasse);
    }
    const int lauf = ++m_lauf; // a pass still running stops at its next pupil
    Durchlauf durchlauf(*this);
    auto abgeloest = [&] { return lauf != m_lauf || m_schliessen; };

    fg_Schueler->clear();
    fg_Schueler->setRows(0);
    fg_Schueler->setColWidth(0, units::pixelsToTwips(fg_Schueler->width(), logicalDpiX()));
    m_zeile = -1;
    m_winsvNr.clear();
    for (const ap1::Schueler &s : schueler) {
        fg_Schueler->addItem(s.anzeige);
        ++m_zeile;
        m_winsvNr << s.winsvNr;
    }
    const QStringList &fa = ap1::faecher();
    for (const QString &f : fa)
        zelle("lbl_Anz" + f)->setText(QString());

    for (int i = 0; i < fg_Schueler->rows(); ++i) {
        fg_Schueler->setRow(i);
        fg_Schueler->setCol(0);
        if (!blattAnzeigen())
            return;
        // Counted before events are let through: a click there may show another pupil's sheet.
        m_ausfall = 0;
        for (const QString &f : fa)
            MuendlichZaehlen(zelle("lbl_Anz" + f), zelle("lbl_M" + f), zelle("lbl_J" + f));
        if (m_ausfall > 0)
            fg_Schueler->setCellBackColor(i, 0, ap1::Hellrot);
        QCoreApplication::processEvents();
        if (abgeloest())
            return;
    }
    if (fg_Schueler->rows() > 0) {
        fg_Schueler->setRow(0);
        fg_Schueler->setCol(0);
        blattAnzeigen();
    }
}

void frm_AP1::MuendlichZaehlen(QLabel *anzahl, QLabel *muendlich, QLabel *jahr)
{
    if (hintergrund(muendlich) == ap1::Hellrot)
        anzahl->setText(ap1::zaehlerPlusEins(anzahl->text()));
    if (ap1::ueberVier(jahr->text()))
        ++m_ausfall;
}

// ---- the sheet of one pupil

void frm_AP1::fg_Schueler_Click() { blattAnzeigen(); }

void frm_AP1::fg_Schueler_LeaveCell() { blattAnzeigen(); }

bool frm_AP1::blattAnzeigen()
{
    const int r = fg_Schueler->row();
    if (r < 0 || r >= fg_Schueler->rows() || r >= m_winsvNr.size())
        return true;
    ap1::Blatt b;
    if (m_winsv && m_winsvNr[r]) {
        try {
            b = ap1::blattLesen(*m_winsv, *m_winsvNr[r]);
        } catch (const winsvdb::WinsvError &e) {
            blattZeigen(ap1::Blatt{}, fg_Schueler->textMatrix(r, 0));
            msg::box(e.germanText());
            return false;
        }
    }
    blattZeigen(b, fg_Schueler->textMatrix(r, 0));
    return true;
}

void frm_AP1::blattZeigen(const ap1::Blatt &b, const QString &gridText)
{
    if (!b.schueler) {
        // Never the previous pupil's grades under this pupil's name.
        zelle(QStringLiteral("lbl_Name"))->setText(gridText);
        zelle(QStringLiteral("lbl_WPfG"))->setText(QString());
        zelle(QStringLiteral("lbl_Klasse"))->setText(QString());
        zelle(QStringLiteral("lbl_Klassenleiter"))->setText(QStringLiteral("keine Daten in der WinSV"));
        werteLeeren();
        return;
    }
    zelle(QStringLiteral("lbl_Name"))->setText(b.name);
    zelle(QStringLiteral("lbl_WPfG"))->setText(b.wpfg);
    zelle(QStringLiteral("lbl_Klasse"))->setText(b.klasse);
    QString leiter = b.klassenleiter;
    if (!b.zeugnis)
        leiter += QStringLiteral("   (kein Zeugnis in der WinSV)");
    zelle(QStringLiteral("lbl_Klassenleiter"))->setText(leiter);
    if (!b.zeugnis) {
        werteLeeren();
        return;
    }
    for (const ap1::Anzeige &a : b.bild.anzeigen)
        NoteAnzeigen(zelle(a.label), a.text, false, a.markiert, false, a.farbe);
    for (const QString &n : b.bild.fensterfarbe)
        hintergrundSetzen(zelle(n), fensterfarbe());
}

void frm_AP1::werteLeeren()
{
    for (const QString &n : ap1::wertLabels()) {
        QLabel *l = zelle(n);
        l->setText(QString());
        hintergrundSetzen(l, fensterfarbe());
    }
}

void frm_AP1::NoteAnzeigen(QLabel *label, const QString &text, bool flag1, bool flag2, bool flag3, long farbe)
{
    label->setVisible(true);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setText(vt::trimBlanks(text));
    hintergrundSetzen(label, ap1::notenFarbe(text, flag1, flag2, flag3, farbe));
}
