// A typed statement never freezes the lists window: whatever the run is doing, the progress
// window with "Abbrechen" shows after the wait time, and giving up leaves nothing shown; a result
// or a value too big for memory is refused with its message.
#include "core/frm_warten.h"
#include "platform/grid/vsgrid.h"
#include "records/frm_listen.h"
#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <atomic>

using accesssql::RunPhase;

class ListenAbbruch : public listentest::ListenFensterFixture {};

// The clock stands still until the run reaches the phase, then a second has passed: the window
// shows in that phase, modal, and its "Abbrechen" ends the run without a message or a result.
TEST_F(ListenAbbruch, ProgressWindowShowsInEveryPhaseAndAbbrechenLeavesNothing)
{
    // Long values: the engine makes them in calls, reads their rows, converts them, fills the grid.
    const QString sql = "SELECT Name, String(2000000, 'x') AS Lang FROM Schüler ORDER BY Name";
    for (const RunPhase phase : {RunPhase::Engine, RunPhase::Rows, RunPhase::Values, RunPhase::Display}) {
        ausfuehren("SELECT Klasse FROM Klassen");
        ASSERT_EQ(w->fg->rows(), 4);
        testsupport::MsgRecorder rec;
        bool erreicht = false, modal = false;
        std::atomic<bool> geklickt{false};
        // The run's own thread waits in the phase until "Abbrechen" is clicked.
        w->imLauf = [&](RunPhase p) {
            while (p == phase && !geklickt)
                QThread::msleep(1);
            return true;
        };
        w->laufzeit = [&](RunPhase p) -> qint64 {
            erreicht = erreicht || p == phase;
            if (frm_Warten *f = frm_Warten::instance(); f && f->isVisible() && !geklickt) {
                modal = f->windowModality() == Qt::ApplicationModal && f->cmdAbbrechen->isVisible();
                f->cmdAbbrechen->click();
                geklickt = true;
            }
            return erreicht ? 1000 : 0;
        };
        ausfuehren(sql);
        w->laufzeit = nullptr;
        w->imLauf = nullptr;
        EXPECT_TRUE(geklickt) << int(phase);
        EXPECT_TRUE(modal) << int(phase);
        EXPECT_EQ(frm_Warten::instance(), nullptr);
        EXPECT_TRUE(rec.texts().isEmpty()) << int(phase);
        EXPECT_EQ(w->fg->rows(), 1) << int(phase);
        EXPECT_TRUE(w->fg->textMatrix(0, 0).isEmpty()) << int(phase);
        EXPECT_TRUE(w->lblAnzahl->text().isEmpty()) << int(phase);
        EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
    }
    // Not given up, the same statement shows its rows after the window has gone.
    w->laufzeit = [](RunPhase) -> qint64 { return 1000; };
    testsupport::MsgRecorder rec;
    ausfuehren(sql);
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(frm_Warten::instance(), nullptr);
    EXPECT_EQ(w->lblAnzahl->text(), "6 Datensätze");
    ASSERT_EQ(w->fg->rows(), 7);
    EXPECT_EQ(w->fg->textMatrix(1, 1).size(), 2000000);
}

// Values that Access's functions make too big are refused with the memory message, before they
// are made or converted; the grid stays cleared.
TEST_F(ListenAbbruch, HugeValuesGiveTheMemoryMessageAndShowNothing)
{
    // At the program's own limits (0): refused before anything of that size is made; at lower
    // limits one value over a quarter of the memory limit, or many rows that add up.
    const struct {
        qint64 maxBytes;
        const char *sql;
    } faelle[] = {{0, "SELECT String(300000000, 'x')"}, {0, "SELECT Name & Space(270000000) FROM Schüler"},
                  {0, "SELECT Replace(String(100000000, 'a'), 'a', 'aaaaaaaa')"},
                  {4000000, "SELECT String(1000001, 'x')"}, {4000000, "SELECT Name & String(400000, 'ß') FROM Schüler"},
                  {4000000, "SELECT a.Name, String(100000, 'x') FROM Schüler a, Schüler b"}};
    const auto eigene = w->maxBytes;
    for (const auto &f : faelle) {
        w->maxBytes = f.maxBytes ? f.maxBytes : eigene;
        ausfuehren("SELECT Klasse FROM Klassen");
        testsupport::MsgRecorder rec;
        ausfuehren(QString::fromUtf8(f.sql));
        EXPECT_EQ(rec.texts(), QStringList({listen::zuGrossText()})) << f.sql;
        EXPECT_EQ(w->fg->rows(), 1) << f.sql;
        EXPECT_TRUE(w->lblAnzahl->text().isEmpty()) << f.sql;
        EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
    }
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT String(1000000, 'x') AS Lang");
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(w->lblAnzahl->text(), "1 Datensätze");
    EXPECT_EQ(w->fg->textMatrix(1, 0).size(), 1000000);
}
