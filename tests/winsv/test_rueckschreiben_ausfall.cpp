// What the write-back reports: a fault of the grade manager's file on the way, and the closing message.
#include "winsvfixture.h"

#include "platform/grid/gridstore.h"
#include "support/testsupport.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {
testsupport::Netzausfall *s_netz = nullptr;
} // namespace

// The file goes away while the second pupil is written: what was not written is told with the
// file and the German reason, not as a refusal of the record.
TEST(RueckschreibenAusfall, EinLeseSchreibfehlerWirdMitDerDateiGemeldet)
{
    testsupport::Netzausfall netz;
    s_netz = &netz;
    {
        WinsvFixture f;
        for (const char *id : {"91", "92", "93"}) {
            WinsvPupil p = schueler(id);
            p.ort = "Neuort";
            f.addWinsv(p);
            f.addNm(schueler(id));
        }
        GridStore fg, nurWinSV, nurNM, falscheKlasse;
        winsv::Datenvergleich vergleich{{&fg, &nurWinSV, &nurNM, &falscheKlasse}};
        vergleich.ausfuehren(f.winsvPfad, f.nmArbeit());
        const QVector<winsv::RueckschreibPaar> paare = winsv::sichtbarePaare(fg);
        ASSERT_EQ(paare.size(), 3);
        // The network drops as the second pupil's row is changed.
        sqlite3_create_function(
            f.nm.handle(), "netzWeg", 0, SQLITE_UTF8, nullptr,
            [](sqlite3_context *c, int, sqlite3_value **) {
                s_netz->ausfallen(true);
                sqlite3_result_null(c);
            },
            nullptr, nullptr);
        f.nm.exec("CREATE TEMP TRIGGER weg AFTER UPDATE ON Adressen WHEN NEW.Ort = 'Neuort' AND "
                  "(SELECT count(*) FROM Adressen WHERE Ort = 'Neuort') >= 2 BEGIN SELECT netzWeg(); END");
        winsv::RueckschreibErgebnis e;
        EXPECT_NO_THROW(e = winsv::Rueckschreiben(f.nm).ausfuehren(paare));
        netz.ausfallen(false);
        EXPECT_EQ(e.geschrieben + e.abgelehnt, 3);
        EXPECT_GE(e.abgelehnt, 2);
        const QString m = e.meldung();
        EXPECT_TRUE(m.contains("weil die Datei des Notenmanagers nicht geschrieben werden konnte")) << qPrintable(m);
        EXPECT_TRUE(m.contains("Die Datenbank\r" + f.nmPfad + "\rkann nicht gelesen oder geschrieben werden"))
            << qPrintable(m);
        EXPECT_FALSE(m.contains("Datensatz gesperrt oder Wert ungültig")) << qPrintable(m);
        if (e.geschrieben == 0)
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
    e.abgelehnt = 2;
    EXPECT_EQ(e.abschluss(), nein);
    e = {};
    e.ungueltigeId = 1;
    e.ohneTreffer = 3;
    EXPECT_EQ(e.abschluss(), nein);
}
