#pragma once
// Main window: the menus, the feature windows inside it (each one instance, created on first
// use by its registered name), log-off and shutdown.
#include "core/rechte.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

class frm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit frm_Main(QWidget *parent = nullptr);
    ~frm_Main() override;
    static frm_Main *instance(); // nullptr before start-up and after shutdown

    QMdiArea *mdiArea() const { return m_mdi; }

    // Shows a registered window as child window (one instance; formLoad on creation,
    // formActivate whenever it becomes the active child). nullptr when none is registered.
    QWidget *zeigen(const QString &name);
    // A registered window as a separate window beside the main window (modeless).
    QWidget *zeigenSeparat(const QString &name);
    // A registered window modally; returns when it is closed.
    void zeigenModal(const QString &name);
    // The loaded instance of a window, nullptr when it is not loaded.
    QWidget *fenster(const QString &name) const;
    // Unloads one window (its formUnload may refuse: false).
    bool entladen(const QString &name);
    // Unloads every child and separate window, one by one; false when one refused.
    bool UnloadChildren();

    // Menus by the rights of the logged-in user; hidden until a successful login.
    void menuesSetzen(const rechte::Menues &m);
    void menuesVerbergen();
    QAction *menuAktion(const QString &objectName) const; // for tests and areas
    QMenu *menu(const QString &objectName) const;

    // Log-off: start title, every window but this one unloaded, the login shown modeless.
    void Abmelden();
    // Shutdown: unloads the children, closes the databases and ends the program.
    void Beenden();

    // Shows the final-exam overview frm_AP1 (no menu item calls it).
    void AP1Zeigen();

    // Menu handlers, named as the program names them.
    void mnuFehltage_Click();
    void mnuFehlGrund_Click();
    void mnuFehltageNotenmanager_Click();
    void mnuFehltageLoeschen_Click();
    void mnuSchulaufgabenplan_Click();
    void mnuKalenderEinstellungen_Click();
    void mnu_LNW_Click();
    void mnuFachbetreuer_Click();
    void mnu_Listen_erzeugen_Click();
    void mnuLehrerliste_Click();
    void mnuWunschzettel_Click();
    void mnu_Schuelerdaten_Click();
    void mnuUnterrichtBearbeiten_Click();

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void menuesBauen();
    void subWindowAktiviert(QMdiSubWindow *w);
    QWidget *erzeugen(const QString &name);
    void sichtbarkeitSetzen();

    QMdiArea *m_mdi = nullptr;
    QHash<QString, QPointer<QWidget>> m_fenster; // loaded windows by name
    QPointer<QMdiSubWindow> m_letzteAktive;
    QHash<QString, QMenu *> m_menues;
    QHash<QString, QAction *> m_aktionen;
    rechte::Menues m_rechte;
    bool m_angemeldet = false;
    bool m_beendet = false;
    // A log-off or shutdown that a busy child refused; retried when a child window closes.
    enum class Ausstehend { Nichts, Abmelden, Beenden };
    Ausstehend m_ausstehend = Ausstehend::Nichts;
    void ausstehendWiederholen();
};
