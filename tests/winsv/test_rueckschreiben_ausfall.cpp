// What the write-back reports: a fault of the grade manager's file on the way, and the closing message.
#include "winsvfixture.h"

#include "platform/grid/gridstore.h"
#include "support/testsupport.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {
testsupport::Netzausfall *s_netz = nullptr;
} // namespace

namespace {

// n pupils whose place of residence WinSV has changed, compared; the network drops as the k-th
// pupil's address is written (k = 0: never).
QVector<winsv::RueckschreibPaar> vorbereiten(WinsvFixture &f, int n, int k)
{
    for (int i = 0; i < n; ++i) {
        const QString id = QString::number(91 + i);
        WinsvPupil p = schueler(id);
        p.ort = "Neuort";
        f.addWinsv(p);
        f.addNm(schueler(id));
    }
    // Each address row on a page of its own: a pupil written after the drop needs the journal.
    f.nm.exec("UPDATE Adressen SET ErzName2 = printf('%.3000c', 'x')");
    GridStore fg, nurWinSV, nurNM, falscheKlasse;
    winsv::Datenvergleich vergleich{{&fg, &nurWinSV, &nurNM, &falscheKlasse}};
    vergleich.ausfuehren(f.winsvPfad, f.nmArbeit());
    sqlite3_create_function(
        f.nm.handle(), "netzWeg", 0, SQLITE_UTF8, nullptr,
        [](sqlite3_context *c, int, sqlite3_value **) {
            s_netz->ausfallen(true);
            sqlite3_result_null(c);
        },
        nullptr, nullptr);
    // Each address takes 40 ms to write, so that the pupils are written in several blocks.
    sqlite3_create_function(
        f.nm.handle(), "langsam", 0, SQLITE_UTF8, nullptr,
        [](sqlite3_context *c, int, sqlite3_value **) {
            QThread::msleep(40);
            sqlite3_result_null(c);
        },
        nullptr, nullptr);
    f.nm.exec("CREATE TEMP TRIGGER langsam AFTER UPDATE ON Adressen BEGIN SELECT langsam(); END");
    if (k > 0)
        f.nm.exec(QStringLiteral("CREATE TEMP TRIGGER weg AFTER UPDATE ON Adressen WHEN NEW.Ort = 'Neuort' AND "
                                 "NEW.SchülerNr = (SELECT SchülerNr FROM Schüler WHERE WinSVSnr = %1) "
                                 "BEGIN SELECT netzWeg(); END")
                      .arg(90 + k));
    return vergleich.paare();
}

int imDatei(WinsvFixture &f) { return f.nmValue("SELECT count(*) FROM Adressen WHERE Ort = 'Neuort'").toInt(); }

} // namespace

// The file goes away while the second pupil is written and stays away: what could not be checked
// is told with the file and the German reason, not as a refusal of the record.
TEST(RueckschreibenAusfall, EinLeseSchreibfehlerWirdMitDerDateiGemeldet)
{
    testsupport::Netzausfall netz;
    s_netz = &netz;
    {
        WinsvFixture f;
        const QVector<winsv::RueckschreibPaar> paare = vorbereiten(f, 3, 2);
        ASSERT_EQ(paare.size(), 3);
        winsv::RueckschreibErgebnis e;
        EXPECT_NO_THROW(e = winsv::Rueckschreiben(f.nm).ausfuehren(paare));
        netz.ausfallen(false);
        EXPECT_EQ(e.geschrieben + e.abgelehnt() + e.ungeprueft, 3);
        EXPECT_GE(e.abgelehnt() + e.ungeprueft, 2);
        const QString m = e.meldung();
        EXPECT_TRUE(m.contains("Die Datenbank\r" + f.nmPfad + "\rkann nicht gelesen oder geschrieben werden"))
            << qPrintable(m);
        EXPECT_FALSE(m.contains("Datensatz gesperrt oder Wert ungültig")) << qPrintable(m);
        EXPECT_LE(imDatei(f), e.geschrieben + e.ungeprueft);
        if (e.geschrieben == 0)
            EXPECT_EQ(e.abschluss(), e.ungeprueft > 0 ? "Es erfolgt nun automatisch ein neuer Vergleich."
                                                      : "Es wurden keine Daten aktualisiert. Es erfolgt nun "
                                                        "automatisch ein neuer Vergleich.");
        f.nm.close();
    }
    s_netz = nullptr;
}

// A hiccup of the share in the middle of the write-back: SQLite takes the open block back, the
// pupils after the hiccup are written. Each pupil is counted by what the file holds afterwards, and
// the message says how many were written and how many not, with the file and the cause.
TEST(RueckschreibenAusfall, NachEinemAussetzerZaehltWasInDerDateiSteht)
{
    testsupport::Netzausfall netz;
    s_netz = &netz;
    for (const int k : {1, 8}) {
        WinsvFixture f;
        const QVector<winsv::RueckschreibPaar> paare = vorbereiten(f, 15, k);
        winsv::RueckschreibErgebnis e;
        // The share is back at the next pause.
        EXPECT_NO_THROW(e = winsv::Rueckschreiben(f.nm, [&] { netz.ausfallen(false); }).ausfuehren(paare));
        netz.ausfallen(false);
        const int geschrieben = imDatei(f);
        EXPECT_EQ(e.geschrieben, geschrieben) << k;
        EXPECT_EQ(e.dateiFehler, 15 - geschrieben) << k;
        EXPECT_EQ(e.ungeprueft, 0) << k;
        EXPECT_GT(e.dateiFehler, 0) << k;
        const QString m = e.meldung();
        EXPECT_TRUE(m.startsWith(QStringLiteral("Die Daten von %1 Schülerinnen oder Schülern wurden nicht in den "
                                                "Notenmanager übernommen:\r- %1, weil die Datei des Notenmanagers nicht "
                                                "geschrieben werden konnte:\rDie Datenbank\r%2\rkann nicht gelesen "
                                                "oder geschrieben werden")
                                     .arg(15 - geschrieben)
                                     .arg(f.nmPfad)))
            << k << qPrintable(m);
        EXPECT_TRUE(m.endsWith(QStringLiteral("Die Daten von %1 Schülerinnen oder Schülern wurden in den Notenmanager "
                                              "übernommen.")
                                   .arg(geschrieben)))
            << k << qPrintable(m);
        f.nm.close();
    }
    s_netz = nullptr;
}

// Exactly one pupil, refused because the file failed: the message names the file and its fault,
// never a locked record or a refused value.
TEST(RueckschreibenAusfall, EinEinzigerSchuelerMitDateifehlerNenntDieDatei)
{
    testsupport::Netzausfall netz;
    s_netz = &netz;
    {
        WinsvFixture f;
        const QVector<winsv::RueckschreibPaar> paare = vorbereiten(f, 1, 1);
        winsv::RueckschreibErgebnis e;
        EXPECT_NO_THROW(e = winsv::Rueckschreiben(f.nm, [&] { netz.ausfallen(false); }).ausfuehren(paare));
        netz.ausfallen(false);
        EXPECT_EQ(imDatei(f), 0);
        EXPECT_EQ(e.dateiFehler, 1);
        const QString m = e.meldung();
        EXPECT_TRUE(m.contains("- 1, weil die Datei des Notenmanagers nicht geschrieben werden konnte:\rDie Datenbank\r"
                               + f.nmPfad + "\r"))
            << qPrintable(m);
        EXPECT_FALSE(m.contains("Datensatz gesperrt")) << qPrintable(m);
        EXPECT_FALSE(m.contains("Wert ungültig")) << qPrintable(m);
        EXPECT_EQ(e.abschluss(), "Es wurden keine Daten aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.");
        f.nm.close();
    }
    s_netz = nullptr;
}

// The closing message tells an update only when a pupil was written or nothing had to be skipped.
TEST(RueckschreibenAusfall, AbschlussNurMitGeschriebenenDaten)
{
    const QString ja = "Die Daten wurden aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.";
    const QString nein = "Es wurden keine Daten aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.";
    winsv::RueckschreibErgebnis e;
    EXPECT_EQ(e.abschluss(), ja); // nothing to write
    e.mehrdeutig = 1;
    EXPECT_EQ(e.abschluss(), nein);
    e.geschrieben = 1;
    EXPECT_EQ(e.abschluss(), ja);
    e = {};
    e.gesperrt = 2;
    EXPECT_EQ(e.abschluss(), nein);
    e = {};
    e.ungueltigeId = 1;
    e.ohneTreffer = 3;
    EXPECT_EQ(e.abschluss(), nein);
    // Pupils whose writing could not be checked: nothing is claimed.
    e.ungeprueft = 2;
    EXPECT_EQ(e.abschluss(), "Es erfolgt nun automatisch ein neuer Vergleich.");
}
