#include "core/frm_main.h"
#include "core/anmeldung.h"
#include "core/childwindow.h"
#include "core/frm_anmeldung.h"
#include "core/frm_warten.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "core/windowregistry.h"
#include "platform/msg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QMdiArea>
#include <QTimer>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace {

enum class Art { Kind, Separat, Modal, Aktion };
enum class Recht { Menue, Verwaltung, NurAdmin, Wunschzettel };

struct Eintrag {
    const char *menu, *name, *text, *ziel;
    Art art;
    Recht recht;
    void (frm_Main::*handler)();
};

struct TopMenue {
    const char *name, *text;
    bool rechte::Menues::*recht;
};

const TopMenue kTop[] = {
    {"mnu0Fehltage", "Fehltage", &rechte::Menues::fehltage},
    {"mnu0Kalender", "Kalender", &rechte::Menues::kalender},
    {"mnu0Leistungsnachweise", "Leistungsnachweise", &rechte::Menues::leistungsnachweise},
    {"mnu0Listen", "Listen", &rechte::Menues::listen},
    {"mnu0Datenabgleich", "Datenabgleich", &rechte::Menues::datenabgleich},
    {"mnu0Unterricht", "Unterricht", &rechte::Menues::unterricht},
};

const Eintrag kEintraege[] = {
    {"mnu0Fehltage", "mnuFehltage", "erfassen", "frm_Fehltage", Art::Kind, Recht::Menue, &frm_Main::mnuFehltage_Click},
    {"mnu0Fehltage", "mnuFehlGrund", "Absenzgründe verwalten", "frm_Fehltage_Grund", Art::Separat, Recht::Verwaltung,
     &frm_Main::mnuFehlGrund_Click},
    {"mnu0Fehltage", "mnuFehltageNotenmanager", "Fehltage => Notenmanager", "frm_Fehltage_Uebertragen", Art::Modal,
     Recht::Verwaltung, &frm_Main::mnuFehltageNotenmanager_Click},
    {"mnu0Fehltage", "mnuFehltageLoeschen", "alle Fehltage löschen", "mnuFehltageLoeschen", Art::Aktion,
     Recht::NurAdmin, &frm_Main::mnuFehltageLoeschen_Click},
    {"mnu0Kalender", "mnuSchulaufgabenplan", "Schulaufgabenplan", "frm_Kalender", Art::Kind, Recht::Menue,
     &frm_Main::mnuSchulaufgabenplan_Click},
    {"mnu0Kalender", "mnuKalenderEinstellungen", "Einstellungen", "frm_KalenderEinstellungen", Art::Kind,
     Recht::Verwaltung, &frm_Main::mnuKalenderEinstellungen_Click},
    {"mnu0Leistungsnachweise", "mnu_LNW", "Übersicht", "frm_LNW", Art::Kind, Recht::Menue, &frm_Main::mnu_LNW_Click},
    {"mnu0Leistungsnachweise", "mnuFachbetreuer", "Fachbetreuer", "frm_Fachbetreuer", Art::Kind, Recht::Verwaltung,
     &frm_Main::mnuFachbetreuer_Click},
    {"mnu0Listen", "mnu_Listen_erzeugen", "Listen erzeugen", "frm_Listen", Art::Kind, Recht::Menue,
     &frm_Main::mnu_Listen_erzeugen_Click},
    {"mnu0Listen", "mnuLehrerliste", "Lehrerliste ==> Excel", "mnuLehrerliste", Art::Aktion, Recht::Menue,
     &frm_Main::mnuLehrerliste_Click},
    {"mnu0Listen", "mnuWunschzettel", "txt-Datei für Wunschzettel", "mnuWunschzettel", Art::Aktion,
     Recht::Wunschzettel, &frm_Main::mnuWunschzettel_Click},
    {"mnu0Datenabgleich", "mnu_Schuelerdaten", "Schülerdaten", "frm_Datenabgleich", Art::Kind, Recht::Menue,
     &frm_Main::mnu_Schuelerdaten_Click},
    {"mnu0Unterricht", "mnuUnterrichtBearbeiten", "Übersicht über Zuordnungen", "frm_UnterrichtBearbeiten", Art::Kind,
     Recht::Menue, &frm_Main::mnuUnterrichtBearbeiten_Click},
};

frm_Main *s_instance = nullptr;

ChildWindow *alsChild(QWidget *w) { return qobject_cast<ChildWindow *>(w); }

// A child window larger than the main window's area takes the largest size that fits (its contents
// scroll); one that fits keeps its size and moves only as far as it must to lie inside. The area
// counts without scroll bars: they go once the window fits.
void einpassen(QMdiSubWindow *sub)
{
    QMdiArea *a = sub ? sub->mdiArea() : nullptr;
    if (!a || !a->isVisible() || !sub->isVisible() || sub->isMaximized() || sub->isMinimized())
        return;
    const QSize bereich = a->contentsRect().size();
    QRect g = sub->geometry();
    g.setSize(g.size().boundedTo(bereich).expandedTo(sub->minimumSize()));
    g.moveLeft(std::max(0, std::min(g.left(), bereich.width() - g.width())));
    g.moveTop(std::max(0, std::min(g.top(), bereich.height() - g.height())));
    if (g != sub->geometry())
        sub->setGeometry(g);
}

QMdiSubWindow *subWindowVon(QWidget *w)
{
    for (QWidget *p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto *s = qobject_cast<QMdiSubWindow *>(p))
            return s;
    return nullptr;
}

bool registriert(const Eintrag &e)
{
    const QString z = QString::fromLatin1(e.ziel);
    return e.art == Art::Aktion ? windows::hasAction(z) : windows::hasWindow(z);
}

} // namespace

frm_Main::frm_Main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("frm_Main");
    s_instance = this;
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName("mdiArea");
    // A child window that reaches past the area (the main window made smaller, a window moved
    // out) stays reachable, as in an MDI frame of Windows.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &frm_Main::subWindowAktiviert);
    menuesBauen();
    menuesVerbergen();
    setWindowTitle(anmeldung::startTitel());
    resize(1024, 700);
}

frm_Main::~frm_Main()
{
    // The base class closes the child windows after this body, when this window's members are
    // gone: none of its handlers may run for them then.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        sub->removeEventFilter(this);
    for (const QPointer<QWidget> &w : std::as_const(m_fenster))
        if (w)
            w->removeEventFilter(this);
    if (s_instance == this)
        s_instance = nullptr;
}

frm_Main *frm_Main::instance() { return s_instance; }

void frm_Main::menuesBauen()
{
    QMenu *datei = menuBar()->addMenu(QStringLiteral("Datei"));
    datei->setObjectName("mnuDatei");
    m_menues.insert("mnuDatei", datei);
    QAction *ab = datei->addAction(QStringLiteral("Abmelden"));
    ab->setObjectName("mnuAbmelden");
    connect(ab, &QAction::triggered, this, [this] { guarded([this] { Abmelden(); }); });
    QAction *be = datei->addAction(QStringLiteral("Beenden"));
    be->setObjectName("mnuBeenden");
    connect(be, &QAction::triggered, this, [this] { guarded([this] { Beenden(); }); });
    m_aktionen.insert("mnuAbmelden", ab);
    m_aktionen.insert("mnuBeenden", be);

    for (const TopMenue &t : kTop) {
        QMenu *m = menuBar()->addMenu(QString::fromUtf8(t.text));
        m->setObjectName(QString::fromLatin1(t.name));
        m_menues.insert(m->objectName(), m);
    }
    for (const Eintrag &e : kEintraege) {
        QAction *a = m_menues.value(QString::fromLatin1(e.menu))->addAction(QString::fromUtf8(e.text));
        a->setObjectName(QString::fromLatin1(e.name));
        auto h = e.handler;
        connect(a, &QAction::triggered, this, [this, h] { guarded([this, h] { (this->*h)(); }); });
        m_aktionen.insert(a->objectName(), a);
    }
}

QAction *frm_Main::menuAktion(const QString &objectName) const { return m_aktionen.value(objectName); }
QMenu *frm_Main::menu(const QString &objectName) const { return m_menues.value(objectName); }

void frm_Main::menuesSetzen(const rechte::Menues &m)
{
    m_rechte = m;
    m_angemeldet = true;
    sichtbarkeitSetzen();
}

void frm_Main::menuesVerbergen()
{
    m_angemeldet = false;
    sichtbarkeitSetzen();
}

void frm_Main::sichtbarkeitSetzen()
{
    for (const TopMenue &t : kTop) {
        QMenu *top = m_menues.value(QString::fromLatin1(t.name));
        bool einer = false;
        for (const Eintrag &e : kEintraege) {
            if (qstrcmp(e.menu, t.name) != 0)
                continue;
            bool recht = m_rechte.*(t.recht);
            switch (e.recht) {
            case Recht::Menue: break;
            case Recht::Verwaltung: recht = recht && m_rechte.verwaltung; break;
            case Recht::NurAdmin: recht = recht && m_rechte.fehltageLoeschen; break;
            case Recht::Wunschzettel: recht = recht && m_rechte.wunschzettel; break;
            }
            const bool sichtbar = m_angemeldet && recht && registriert(e);
            m_aktionen.value(QString::fromLatin1(e.name))->setVisible(sichtbar);
            einer = einer || sichtbar;
        }
        top->menuAction()->setVisible(einer);
    }
}

// ---- windows

QWidget *frm_Main::fenster(const QString &name) const
{
    QWidget *w = m_fenster.value(name);
    return w;
}

QWidget *frm_Main::erzeugen(const QString &name)
{
    windows::Factory f = windows::factory(name);
    if (!f)
        return nullptr;
    QWidget *w = f(nullptr);
    if (!w)
        return nullptr;
    if (w->objectName().isEmpty())
        w->setObjectName(name);
    m_fenster.insert(name, w);
    return w;
}

QWidget *frm_Main::zeigen(const QString &name)
{
    QWidget *w = fenster(name);
    if (!w) {
        w = erzeugen(name);
        if (!w)
            return nullptr;
        QMdiSubWindow *sub = m_mdi->addSubWindow(ChildWindow::imRollbereich(w));
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->installEventFilter(this);
        if (ChildWindow *c = alsChild(w))
            c->formLoad();
        if (!fenster(name)) // the load handler unloaded it again
            return nullptr;
    }
    QMdiSubWindow *sub = subWindowVon(w);
    if (!sub)
        return w;
    sub->show();
    w->show();
    m_mdi->setActiveSubWindow(sub);
    einpassen(sub); // after the load and activation handlers have placed it
    return w;
}

QWidget *frm_Main::zeigenSeparat(const QString &name)
{
    QWidget *w = fenster(name);
    const bool neu = !w;
    if (neu) {
        w = erzeugen(name);
        if (!w)
            return nullptr;
        w->setParent(this, w->windowFlags() | Qt::Window);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->installEventFilter(this);
        if (ChildWindow *c = alsChild(w))
            c->formLoad();
        if (!fenster(name))
            return nullptr;
    }
    w->show();
    w->raise();
    w->activateWindow();
    if (ChildWindow *c = alsChild(w))
        c->formActivate();
    return w;
}

void frm_Main::zeigenModal(const QString &name)
{
    QWidget *w = fenster(name);
    if (!w)
        w = erzeugen(name);
    if (!w)
        return;
    QPointer<QWidget> p = w;
    w->setParent(this, w->windowFlags() | Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->installEventFilter(this);
    if (ChildWindow *c = alsChild(w)) {
        c->formLoad();
        if (p && fenster(name))
            c->formActivate();
    }
    if (!p || !fenster(name))
        return;
    if (auto *d = qobject_cast<QDialog *>(w)) {
        d->exec();
    } else {
        w->setWindowModality(Qt::ApplicationModal);
        QEventLoop loop;
        connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
        w->show();
        loop.exec();
    }
    if (p) {
        m_fenster.remove(name);
        p->deleteLater();
    }
}

bool frm_Main::entladen(const QString &name)
{
    QWidget *w = fenster(name);
    if (!w) {
        m_fenster.remove(name);
        return true;
    }
    QMdiSubWindow *sub = subWindowVon(w);
    const bool zu = sub ? sub->close() : w->close();
    if (zu)
        m_fenster.remove(name);
    return zu;
}

bool frm_Main::UnloadChildren()
{
    const QStringList namen = m_fenster.keys();
    for (const QString &n : namen)
        if (!entladen(n))
            return false;
    frm_Warten::entladen();
    return true;
}

bool frm_Main::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::Close) {
        auto *sub = qobject_cast<QMdiSubWindow *>(o);
        QWidget *w = sub ? ChildWindow::fensterIn(sub) : qobject_cast<QWidget *>(o);
        if (ChildWindow *c = alsChild(w)) {
            bool darf = true;
            guarded([&] { darf = c->formUnload(); });
            if (!darf) {
                e->ignore();
                return true;
            }
        }
        for (auto it = m_fenster.begin(); it != m_fenster.end(); ++it)
            if (it.value() == w) {
                m_fenster.erase(it);
                break;
            }
        if (sub && sub == m_letzteAktive)
            m_letzteAktive = nullptr;
        if (m_ausstehend != Ausstehend::Nichts)
            QTimer::singleShot(0, this, [this] { ausstehendWiederholen(); });
    }
    return QMainWindow::eventFilter(o, e);
}

void frm_Main::subWindowAktiviert(QMdiSubWindow *w)
{
    // Only a change of the active child counts: not the application regaining focus,
    // not a modal dialog closing over the same child.
    if (!w || w == m_letzteAktive)
        return;
    m_letzteAktive = w;
    QPointer<QMdiSubWindow> sub = w;
    if (ChildWindow *c = alsChild(ChildWindow::fensterIn(w)))
        guarded([c] { c->formActivate(); });
    einpassen(sub);
}

// ---- log-off and shutdown

void frm_Main::ausstehendWiederholen()
{
    // Runs after the refusing window has closed itself at the end of its pass.
    const Ausstehend a = m_ausstehend;
    m_ausstehend = Ausstehend::Nichts;
    if (a == Ausstehend::Abmelden)
        guarded([this] { Abmelden(); });
    else if (a == Ausstehend::Beenden)
        close();
}

void frm_Main::Abmelden()
{
    if (!UnloadChildren()) {
        // A window in the middle of a pass refused; the log-off follows once it has closed.
        m_ausstehend = Ausstehend::Abmelden;
        return;
    }
    m_ausstehend = Ausstehend::Nichts;
    // Nobody is logged in until the next login: a refused attempt must not bring the old user back.
    mdl::Benutzer.clear();
    mdl::IstAdmin = false;
    setWindowTitle(anmeldung::startTitel());
    menuesVerbergen();
    auto *a = new frm_Anmeldung(this);
    a->setAttribute(Qt::WA_DeleteOnClose);
    a->show();
}

void frm_Main::Beenden() { close(); }

void frm_Main::closeEvent(QCloseEvent *e)
{
    if (!m_beendet) {
        if (!UnloadChildren()) {
            m_ausstehend = Ausstehend::Beenden;
            e->ignore();
            return;
        }
        m_beendet = true;
        mdl::NMDatenbankZuruecksetzen();
        mdl::dbEigen.close();
    }
    e->accept();
    QCoreApplication::quit();
}

void frm_Main::AP1Zeigen() { zeigen(QStringLiteral("frm_AP1")); }

// ---- menu handlers

void frm_Main::mnuFehltage_Click() { zeigen(QStringLiteral("frm_Fehltage")); }
void frm_Main::mnuFehlGrund_Click() { zeigenSeparat(QStringLiteral("frm_Fehltage_Grund")); }
void frm_Main::mnuFehltageNotenmanager_Click() { zeigenModal(QStringLiteral("frm_Fehltage_Uebertragen")); }
void frm_Main::mnuFehltageLoeschen_Click() { windows::runAction(QStringLiteral("mnuFehltageLoeschen")); }

void frm_Main::mnuSchulaufgabenplan_Click()
{
    if (rechte::kalenderOffen(mdl::Benutzer, mdl::KalenderGesperrt))
        zeigen(QStringLiteral("frm_Kalender"));
    else
        msg::box(QStringLiteral("Der Administrator hat die Erfassung von Schulaufgabenterminen vorübergehend gesperrt!"));
}

void frm_Main::mnuKalenderEinstellungen_Click() { zeigen(QStringLiteral("frm_KalenderEinstellungen")); }
void frm_Main::mnu_LNW_Click() { zeigen(QStringLiteral("frm_LNW")); }
void frm_Main::mnuFachbetreuer_Click() { zeigen(QStringLiteral("frm_Fachbetreuer")); }
void frm_Main::mnu_Listen_erzeugen_Click() { zeigen(QStringLiteral("frm_Listen")); }
void frm_Main::mnuLehrerliste_Click() { windows::runAction(QStringLiteral("mnuLehrerliste")); }
void frm_Main::mnuWunschzettel_Click() { windows::runAction(QStringLiteral("mnuWunschzettel")); }
void frm_Main::mnu_Schuelerdaten_Click() { zeigen(QStringLiteral("frm_Datenabgleich")); }
void frm_Main::mnuUnterrichtBearbeiten_Click() { zeigen(QStringLiteral("frm_UnterrichtBearbeiten")); }
