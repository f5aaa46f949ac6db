#include "core/childwindow.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/frm_warten.h"
#include "core/frm_warten_db.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "core/windowregistry.h"
#include "support/testsupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Zaehler {
    int load = 0, activate = 0, unload = 0;
    bool darfSchliessen = true;
};
QHash<QString, Zaehler> &zaehler()
{
    static QHash<QString, Zaehler> z;
    return z;
}

class ProbeFenster : public ChildWindow {
public:
    explicit ProbeFenster(const QString &name) : ChildWindow(name) {}
    void formLoad() override { ++zaehler()[formName()].load; }
    void formActivate() override { ++zaehler()[formName()].activate; }
    bool formUnload() override
    {
        ++zaehler()[formName()].unload;
        return zaehler()[formName()].darfSchliessen;
    }
};

// Refuses its own closing while busy, as a window does in the middle of a pass.
class BeschaeftigtesFenster : public ChildWindow {
public:
    using ChildWindow::ChildWindow;
    bool beschaeftigt = true;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        if (beschaeftigt)
            e->ignore();
        else
            ChildWindow::closeEvent(e);
    }
};

void registrieren(const QString &name)
{
    windows::registerWindow(name, [name](QWidget *) { return new ProbeFenster(name); });
}

rechte::Menues fuer(const QString &benutzer, const QString &schulnummer = {}, const QString &konfiguriert = {})
{
    rechte::Spalten s;
    for (const auto &c : schema::rightsColumns())
        s.insert(c.column, c.creationValue);
    return rechte::berechnen(benutzer, s, schulnummer, konfiguriert);
}

bool sichtbar(frm_Main &m, const char *name) { return m.menuAktion(name)->isVisible(); }
bool topSichtbar(frm_Main &m, const char *name) { return m.menu(name)->menuAction()->isVisible(); }

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        zaehler().clear();
        for (const char *n : {"frm_Fehltage", "frm_Fehltage_Grund", "frm_Kalender", "frm_KalenderEinstellungen",
                              "frm_LNW", "frm_Fachbetreuer", "frm_Listen"})
            registrieren(n);
        windows::registerAction("mnuFehltageLoeschen", [] {});
        windows::registerAction("mnuWunschzettel", [] {});
    }
    testsupport::Sandbox sb;
    testsupport::MsgRecorder boxes;
};

} // namespace

TEST_F(MainWindow, MenusStayHiddenUntilLogin)
{
    frm_Main m;
    EXPECT_TRUE(topSichtbar(m, "mnuDatei"));
    EXPECT_FALSE(topSichtbar(m, "mnu0Fehltage"));
    EXPECT_FALSE(topSichtbar(m, "mnu0Kalender"));
    EXPECT_EQ(m.windowTitle().left(37), QString("Noten für Mitarbeit, Verhalten usw. ("));
}

// Which built items each group sees (the rights themselves: Rechte.*). A top menu without a visible
// item stays hidden; items not built yet have none.
TEST_F(MainWindow, EachGroupSeesItsItems)
{
    struct Fall {
        const char *benutzer, *schulnummer;
        QStringList sichtbar, verborgen;
        bool listen;
    };
    const QList<Fall> faelle{
        {"X", "0815",
         {"mnuFehltage", "mnuFehlGrund", "mnuFehltageLoeschen", "mnuSchulaufgabenplan", "mnuKalenderEinstellungen",
          "mnu_LNW", "mnuFachbetreuer", "mnu_Listen_erzeugen", "mnuWunschzettel"},
         {"mnuFehltageNotenmanager", "mnuLehrerliste"},
         true},
        {"MÜL", "0815",
         {"mnuFehltage", "mnuSchulaufgabenplan", "mnu_LNW"},
         {"mnuFehlGrund", "mnuFehltageLoeschen", "mnuKalenderEinstellungen", "mnuFachbetreuer", "mnu_Listen_erzeugen",
          "mnuWunschzettel"},
         false},
        {"XS", "4711",
         {"mnuFehlGrund", "mnuKalenderEinstellungen", "mnuFachbetreuer", "mnu_Listen_erzeugen"},
         {"mnuFehltageLoeschen", "mnuWunschzettel"},
         true},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.benutzer);
        frm_Main m;
        m.menuesSetzen(fuer(f.benutzer, "0815", f.schulnummer));
        for (const QString &a : f.sichtbar)
            EXPECT_TRUE(sichtbar(m, qPrintable(a))) << a.toStdString();
        for (const QString &a : f.verborgen)
            EXPECT_FALSE(sichtbar(m, qPrintable(a))) << a.toStdString();
        EXPECT_EQ(topSichtbar(m, "mnu0Listen"), f.listen);
        EXPECT_FALSE(topSichtbar(m, "mnu0Datenabgleich"));
        EXPECT_FALSE(topSichtbar(m, "mnu0Unterricht"));
    }
}

TEST_F(MainWindow, ChildWindowIsOneInstanceLoadedOnceAndActivatedOnChange)
{
    frm_Main m;
    m.show();
    QWidget *a = m.zeigen("frm_Fehltage");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(m.zeigen("frm_Fehltage"), a);
    EXPECT_EQ(zaehler()["frm_Fehltage"].load, 1);
    EXPECT_EQ(zaehler()["frm_Fehltage"].activate, 1);
    m.zeigen("frm_LNW");
    EXPECT_EQ(zaehler()["frm_LNW"].activate, 1);
    m.zeigen("frm_Fehltage");
    EXPECT_EQ(zaehler()["frm_Fehltage"].load, 1);
    EXPECT_EQ(zaehler()["frm_Fehltage"].activate, 2);
    EXPECT_EQ(m.mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(m.zeigen("frm_Gibtsnicht"), nullptr);
}

TEST_F(MainWindow, RefusedUnloadKeepsTheWindowAndStopsTheUnloading)
{
    frm_Main m;
    m.show();
    m.zeigen("frm_Fehltage");
    zaehler()["frm_Fehltage"].darfSchliessen = false;
    EXPECT_FALSE(m.entladen("frm_Fehltage"));
    EXPECT_NE(m.fenster("frm_Fehltage"), nullptr);
    zaehler()["frm_Fehltage"].darfSchliessen = true;
    EXPECT_TRUE(m.entladen("frm_Fehltage"));
    EXPECT_EQ(m.fenster("frm_Fehltage"), nullptr);
    // A new instance is loaded on the next use.
    m.zeigen("frm_Fehltage");
    EXPECT_EQ(zaehler()["frm_Fehltage"].load, 2);
}

// The frame holds the window in a scroll area; it still shows the window's title and leaves the
// last word on closing to the window.
TEST_F(MainWindow, ChildFrameShowsTheWindowsTitleAndLetsTheWindowRefuseClosing)
{
    BeschaeftigtesFenster *b = nullptr;
    windows::registerWindow("frm_Beschaeftigt", [&b](QWidget *) { return b = new BeschaeftigtesFenster("frm_Beschaeftigt"); });
    frm_Main m;
    m.show();
    ASSERT_NE(m.zeigen("frm_Beschaeftigt"), nullptr);
    auto *sub = qobject_cast<QMdiSubWindow *>(b->rahmen());
    ASSERT_NE(sub, nullptr);
    b->setWindowTitle(QStringLiteral("Übersicht"));
    EXPECT_EQ(sub->windowTitle(), "Übersicht");

    EXPECT_FALSE(sub->close());
    EXPECT_TRUE(sub->isVisible());
    EXPECT_TRUE(b->isVisible());
    b->beschaeftigt = false;
    EXPECT_TRUE(sub->close());
    QApplication::processEvents();
    EXPECT_TRUE(m.mdiArea()->subWindowList().isEmpty());
}

TEST_F(MainWindow, LogOffUnloadsEveryWindowHidesMenusAndShowsTheLoginModeless)
{
    // The login window reads the teachers; without a database folder it finds no file and gives up.
    mdl::NMDateiParameter.clear();
    frm_Main m;
    m.show();
    m.menuesSetzen(fuer("X"));
    m.zeigen("frm_Fehltage");
    m.zeigenSeparat("frm_Fehltage_Grund");
    m.setWindowTitle("angemeldet");
    QTimer::singleShot(200, [] { frm_Warten_DB::abbrechen(); });
    m.Abmelden();
    QApplication::processEvents();
    EXPECT_EQ(zaehler()["frm_Fehltage"].unload, 1);
    EXPECT_EQ(zaehler()["frm_Fehltage_Grund"].unload, 1);
    EXPECT_EQ(m.fenster("frm_Fehltage"), nullptr);
    EXPECT_EQ(m.fenster("frm_Fehltage_Grund"), nullptr);
    EXPECT_FALSE(topSichtbar(m, "mnu0Fehltage"));
    EXPECT_TRUE(m.windowTitle().startsWith("Noten für Mitarbeit"));
    auto *login = m.findChild<frm_Anmeldung *>();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(login->isModal());
}

TEST_F(MainWindow, WaitWindowsBelongToTheMainWindowAndOpenCentredOverIt)
{
    frm_Main m;
    m.setGeometry(130, 90, 1024, 700);
    m.show();
    frm_Warten::zeigen("Bitte warten");
    frm_Warten_DB::zeigen(0);
    for (QWidget *w : {static_cast<QWidget *>(frm_Warten::instance()), static_cast<QWidget *>(frm_Warten_DB::instance())}) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), &m) << w->objectName().toStdString();
        EXPECT_TRUE(w->isWindow());
        EXPECT_TRUE(w->isVisible());
        EXPECT_LE((w->frameGeometry().center() - m.frameGeometry().center()).manhattanLength(), 2)
            << w->objectName().toStdString();
    }
    // Moved by the user, it stays where it was put while it is shown.
    frm_Warten_DB::instance()->move(10, 10);
    frm_Warten_DB::zeigen(1);
    EXPECT_EQ(frm_Warten_DB::instance()->pos(), QPoint(10, 10));
    frm_Warten_DB::entladen();
    frm_Warten::entladen();
}

TEST_F(MainWindow, LogOffRefusedByABusyWindowFollowsOnceItHasClosedItself)
{
    mdl::NMDateiParameter.clear();
    frm_Main m;
    m.show();
    m.menuesSetzen(fuer("X"));
    m.zeigen("frm_Fehltage");
    zaehler()["frm_Fehltage"].darfSchliessen = false; // a pass is running
    m.Abmelden();
    QApplication::processEvents();
    EXPECT_NE(m.fenster("frm_Fehltage"), nullptr);
    EXPECT_EQ(m.findChild<frm_Anmeldung *>(), nullptr);

    // The pass ends and the window closes itself: the log-off completes.
    zaehler()["frm_Fehltage"].darfSchliessen = true;
    QTimer::singleShot(200, [] { frm_Warten_DB::abbrechen(); });
    static_cast<ChildWindow *>(m.fenster("frm_Fehltage"))->entladen();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_EQ(m.fenster("frm_Fehltage"), nullptr);
    auto *login = m.findChild<frm_Anmeldung *>();
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(topSichtbar(m, "mnu0Fehltage"));
}

TEST_F(MainWindow, LockedCalendarRefusesTeachersWithTheMessage)
{
    frm_Main m;
    m.show();
    mdl::Benutzer = "MÜL";
    mdl::KalenderGesperrt = "all";
    m.mnuSchulaufgabenplan_Click();
    EXPECT_EQ(m.fenster("frm_Kalender"), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_EQ(boxes.boxes[0].text,
              QString("Der Administrator hat die Erfassung von Schulaufgabenterminen vorübergehend gesperrt!"));
    mdl::KalenderGesperrt = "none";
    m.mnuSchulaufgabenplan_Click();
    EXPECT_NE(m.fenster("frm_Kalender"), nullptr);
    mdl::Benutzer.clear();
    mdl::KalenderGesperrt.clear();
}
