// The table of days by classes: rows, colours, cell texts and notes, own dates, month jumps.
#include "calendar/kalendertage.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"

#include <gtest/gtest.h>

using namespace kalender;

namespace {

const QDate kErster(2010, 9, 11); // a Saturday
const QDate kLetzter(2010, 9, 21);
const QDateTime kJetzt(QDate(2010, 9, 16), QTime(10, 0));
const long kGruen = 128 + 255 * 256 + 128 * 65536;

Termin termin(QDate d, QString klasse, QString fach, QDateTime eingetragen = {}, QDateTime geloescht = {})
{
    Termin t;
    t.datum = QDateTime(d, QTime(0, 0));
    t.klasse = klasse;
    t.fach = fach;
    t.lehrkraft = "MK";
    t.eingetragenDatum = eingetragen;
    t.geloeschtDatum = geloescht;
    t.geloescht = geloescht.isValid();
    return t;
}

KalenderTabelle tabelle(const QVector<Termin> &termine = {}, int tage = 10, QDate heute = kJetzt.date())
{
    KalenderTabelle t;
    t.aufbauen(kErster, kLetzter, {"5a", "5b", "6a", "Info"}, heute);
    t.termineEinsetzen(termine, QDateTime(heute, QTime(10, 0)), tage, kGruen);
    return t;
}

} // namespace

TEST(KalenderTabelle, ZeilenLabelsUndHoehen)
{
    const KalenderTabelle t = tabelle();
    ASSERT_EQ(t.rows(), 12);
    EXPECT_EQ(t.zelle(1, 0).text, "Sa 11.09.");
    EXPECT_EQ(t.zelle(3, 0).text, "Mo 13.09.");
    EXPECT_EQ(t.zeilenHoehe(1), 30);
    EXPECT_EQ(t.zeilenHoehe(2), 30);
    EXPECT_EQ(t.zeilenHoehe(3), 240);
    EXPECT_EQ(t.zelle(0, 1).text, "5a");
    EXPECT_EQ(t.zeileZuDatum(kLetzter), 11);
    EXPECT_EQ(t.zeileZuDatum(kLetzter.addDays(1)), 0);
    EXPECT_EQ(t.spalteZuKlasse(" 6A "), 3);
    EXPECT_EQ(t.spalteZuKlasse("AUS"), 0);
}

TEST(KalenderTabelle, WochenendeUndFeiertagsfarben)
{
    const KalenderTabelle t = tabelle({}, 10, QDate(2010, 9, 1));
    // The day classification names every weekend day; its colour replaces the weekend colour.
    EXPECT_EQ(t.zelle(1, 0).farbe, 65535); // Saturday yellow
    EXPECT_EQ(t.zelle(2, 3).farbe, 255);   // Sunday red
    EXPECT_EQ(t.zelle(3, 1).farbe, 0);     // Monday
    KalenderTabelle einheit;
    einheit.aufbauen(QDate(2010, 10, 2), QDate(2010, 10, 4), {"5a"}, QDate(2010, 9, 1));
    EXPECT_EQ(einheit.zelle(2, 1).farbe, 255); // 3 October on a Sunday: holiday red
}

TEST(KalenderTabelle, HeuteNurAmRichtigenDatum)
{
    EXPECT_EQ(tabelle().zelle(6, 2).farbe, 0xC0FFC0);
    // Same day and month in another year colours nothing.
    const KalenderTabelle t = tabelle({}, 10, QDate(2011, 9, 16));
    for (int r = 1; r < t.rows(); ++r)
        EXPECT_NE(t.zelle(r, 0).farbe, 0xC0FFC0) << r;
    // Today on a Saturday ends yellow.
    EXPECT_EQ(tabelle({}, 10, QDate(2010, 9, 18)).zelle(8, 0).farbe, 65535);
}

TEST(KalenderTabelle, TexteUndNotizenAktiverEintraege)
{
    Termin a = termin(QDate(2010, 9, 14), "5a", " D ");
    a.bemerkung = "Test";
    Termin b = termin(QDate(2010, 9, 14), "5A", "E");
    Termin weg = termin(QDate(2010, 9, 14), "5a", "M", {}, kJetzt.addDays(-20));
    Termin mitZeit = termin(QDate(2010, 9, 14), "5a", "Ph");
    mitZeit.datum = QDateTime(QDate(2010, 9, 14), QTime(8, 0));
    Termin aus = termin(QDate(2010, 9, 14), "AUS", "Ku");
    const KalenderTabelle t = tabelle({a, b, weg, mitZeit, aus});
    EXPECT_EQ(t.zelle(4, 1).text, "D E");
    EXPECT_EQ(t.zelle(4, 1).notiz, "Fach - LK - Bem:\nD - MK - Test\nE - MK - \n");
    EXPECT_EQ(t.zelle(4, 1).farbe, 0);
}

TEST(KalenderTabelle, JuengsteAenderungenFaerbenDieZelle)
{
    const QVector<Termin> termine = {
        termin(QDate(2010, 9, 14), "5a", "D", kJetzt.addDays(-9)),
        termin(QDate(2010, 9, 14), "5b", "D", kJetzt.addDays(-11)),
        termin(QDate(2010, 9, 14), "6a", "D", kJetzt.addDays(-30), kJetzt.addDays(-1)),
        termin(QDate(2010, 9, 14), "Info", "D"),
    };
    KalenderTabelle t = tabelle(termine);
    EXPECT_EQ(t.zelle(4, 1).farbe, kGruen);
    EXPECT_EQ(t.zelle(4, 2).farbe, 0);
    EXPECT_EQ(t.zelle(4, 3).farbe, kGruen); // deleted yesterday: coloured, subject gone
    EXPECT_EQ(t.zelle(4, 3).text, "");
    EXPECT_EQ(t.zelle(4, 4).farbe, 0);      // no entry time: no colour
    t = tabelle(termine, 0);
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(t.zelle(4, c).farbe, 0);
}

TEST(KalenderTabelle, TrennlinienZwischenJahrgangsstufen)
{
    const KalenderTabelle t = tabelle();
    EXPECT_TRUE(t.trennlinie(1));
    EXPECT_FALSE(t.trennlinie(2));
    EXPECT_TRUE(t.trennlinie(3));
    EXPECT_TRUE(t.trennlinie(4));
}

TEST(KalenderTabelle, HoechstensVierhundertTage)
{
    KalenderTabelle t;
    bool gekuerzt = false;
    t.aufbauen(QDate(2010, 1, 1), QDate(2010, 1, 1).addDays(399), {"5a"}, QDate(2010, 1, 1), &gekuerzt);
    EXPECT_FALSE(gekuerzt);
    EXPECT_EQ(t.rows(), 401);
    EXPECT_EQ(t.zeileZuDatum(QDate(2010, 1, 1).addDays(399)), 400);
}

TEST(KalenderTabelle, NeuaufbauMitKuerzeremZeitraumKenntAlteTageNicht)
{
    KalenderTabelle t = tabelle();
    t.aufbauen(kErster, kErster.addDays(2), {"5a"}, kJetzt.date());
    EXPECT_EQ(t.zeileZuDatum(kLetzter), 0);
    EXPECT_EQ(t.spalteZuKlasse("6a"), 0);
    t.termineEinsetzen({termin(kLetzter, "5a", "D")}, kJetzt, 10, kGruen);
    EXPECT_EQ(t.rows(), 4);
}

TEST(KalenderTabelle, MonatsknopfSpringtZurErstenWerktagszeile)
{
    KalenderTabelle t;
    t.aufbauen(QDate(2010, 9, 13), QDate(2011, 2, 11), {"5a"}, QDate(2010, 9, 1));
    EXPECT_EQ(monatDesKnopfs(0), 9);
    EXPECT_EQ(monatDesKnopfs(3), 12);
    EXPECT_EQ(monatDesKnopfs(4), 1);
    EXPECT_EQ(monatDesKnopfs(10), 7);
    EXPECT_EQ(ersteZeileDesMonats(t, 9), 1);
    EXPECT_EQ(t.datum(ersteZeileDesMonats(t, 10)), QDate(2010, 10, 1));
    EXPECT_EQ(t.datum(ersteZeileDesMonats(t, 1)), QDate(2011, 1, 3)); // 1 and 2 January are a weekend
    EXPECT_EQ(ersteZeileDesMonats(t, 7), 0);
}

TEST(MeineTermine, KlasseUndFachNurAmAnfangIhrerFolge)
{
    QVector<Termin> t = {termin(QDate(2010, 9, 14), "5a", "D"), termin(QDate(2010, 9, 20), "5a", "D"),
                         termin(QDate(2010, 9, 21), "5a", "D", {}, kJetzt), termin(QDate(2010, 9, 22), "5a", "E"),
                         termin(QDate(2010, 9, 23), "6a", "E")};
    const QVector<MeinTermin> m = meineTermine(t);
    ASSERT_EQ(m.size(), 4);
    EXPECT_EQ(m[0].klasse + '|' + m[0].fach + '|' + m[0].datum, "5a|D|14.09.");
    EXPECT_EQ(m[1].klasse + '|' + m[1].fach + '|' + m[1].datum, "||20.09.");
    EXPECT_EQ(m[2].klasse + '|' + m[2].fach + '|' + m[2].datum, "|E|22.09.");
    EXPECT_EQ(m[3].klasse + '|' + m[3].fach + '|' + m[3].datum, "6a|E|23.09.");
}

TEST(KlassenLesen, OhneAUSnachStufeDannName)
{
    kalfix::Schule s;
    for (const char *k : {"10b", "Info", "5b", "AUS", "AUS2", "5a", "6a"})
        s.klasse(k);
    zdb::Db nm;
    nm.open(s.nmPfad);
    EXPECT_EQ(klassenLesen(nm), QStringList({"5a", "5b", "6a", "10b", "AUS2", "Info"}));
}

TEST(KlassenLesen, AUSInJederSchreibweiseBekommtKeineSpalte)
{
    // Access compares the name without regard to case; only the name itself is left out. Also in
    // a file whose columns declare no collation (converted by another tool).
    for (const bool ohneKollation : {false, true}) {
        for (const char *aus : {"AUS", "Aus", "aus", "aUs"}) {
            SCOPED_TRACE(std::string(aus) + (ohneKollation ? " ohne Kollation" : ""));
            kalfix::Schule s;
            for (const char *k : {"5a", "Ausland", "AUS2"})
                s.klasse(k);
            s.klasse(aus);
            zdb::Db nm;
            nm.open(s.nmPfad);
            if (ohneKollation)
                nm.exec("CREATE TABLE K2 (Klasse varchar(10), Klassenleiter varchar(10));"
                        "INSERT INTO K2 SELECT Klasse, Klassenleiter FROM Klassen;"
                        "DROP TABLE Klassen; ALTER TABLE K2 RENAME TO Klassen");
            EXPECT_EQ(klassenLesen(nm), QStringList({"5a", "AUS2", "Ausland"}));
        }
    }
}
