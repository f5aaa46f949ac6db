// The comparison: pairing, the attendance rules, colours, hidden pairs, side lists and the count.
#include "winsvfixture.h"

#include "platform/grid/gridstore.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

#include <QDate>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using winsv::Datenvergleich;

namespace {

struct Lauf {
    GridStore fg, nurWinSV, nurNM, falscheKlasse;
    Datenvergleich vergleich{{&fg, &nurWinSV, &nurNM, &falscheKlasse}};
    Datenvergleich::Ausgang ausgang = Datenvergleich::Ausgang::NichtBegonnen;

    explicit Lauf(WinsvFixture &f)
    {
        const auto e = vergleich.ausfuehren(f.winsvPfad, f.nmArbeit());
        ausgang = e.ausgang;
        EXPECT_TRUE(e.meldung.isEmpty()) << e.meldung.toStdString();
    }
    // The WinSV row of the pair whose WinSV id is `id`; -1 when none.
    int paar(const QString &id) const
    {
        for (int r = 1; r + 1 < fg.rows(); r += 2)
            if (fg.textMatrix(r, 1) == id)
                return r;
        return -1;
    }
    bool sichtbar(int r) const { return fg.rowHeight(r) != 0 && fg.rowHeight(r + 1) != 0; }
    QStringList liste(const GridStore &g, int spalte = 0) const
    {
        QStringList out;
        for (int r = 1; r < g.rows(); ++r)
            out << g.textMatrix(r, spalte);
        return out;
    }
    // Columns of the grade-manager row with a colour of their own.
    QList<int> gefaerbt(int r) const
    {
        QList<int> out;
        for (int c = 1; c < winsv::SpaltenFg; ++c)
            if (fg.cellBackColor(r + 1, c) != 0)
                out << c;
        return out;
    }
};

WinsvPupil schueler(const QString &id, const QString &name = QStringLiteral("Muster"))
{
    WinsvPupil p;
    p.id = id;
    p.name = name;
    return p;
}

} // namespace

TEST(VergleichPaarung, GleicheDatenWerdenVerstecktUndNichtGezaehlt)
{
    WinsvFixture f;
    f.addBoth(schueler("100"));
    Lauf l(f);
    ASSERT_EQ(l.ausgang, Datenvergleich::Ausgang::Fertig);
    const int r = l.paar("100");
    ASSERT_GT(r, 0);
    EXPECT_EQ(l.fg.textMatrix(r, 0), "WinSV:");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 0), "NM:");
    // Birth dates read through the ODBC driver and from the grade manager compare equal.
    EXPECT_EQ(l.fg.textMatrix(r, 7), "04.03.2012");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 7), "04.03.2012");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 12), "Wahr");
    EXPECT_FALSE(l.sichtbar(r));
    EXPECT_TRUE(l.gefaerbt(r).isEmpty());
    EXPECT_EQ(l.vergleich.unterschiede(), 0);
    EXPECT_EQ(l.nurWinSV.rows() + l.nurNM.rows() + l.falscheKlasse.rows(), 3); // headers only
}

TEST(VergleichPaarung, FuehrendeNullenPaarenAberDieIdIstHellrot)
{
    WinsvFixture f;
    WinsvPupil p = schueler("00123");
    f.addBoth(p);
    Lauf l(f);
    const int r = l.paar("00123");
    ASSERT_GT(r, 0);
    EXPECT_EQ(l.fg.textMatrix(r + 1, 1), "123");
    EXPECT_EQ(l.gefaerbt(r), QList<int>{1});
    EXPECT_EQ(l.fg.cellBackColor(r + 1, 1), winsv::Hellrot);
    EXPECT_EQ(l.fg.cellBackColor(r + 1, 0), winsv::Gelb);
    EXPECT_TRUE(l.liste(l.nurWinSV).isEmpty());
    EXPECT_EQ(l.vergleich.unterschiede(), 1);
}

TEST(VergleichPaarung, NichtNumerischeIdPaartNieUndStehtNurInWinSV)
{
    WinsvFixture f;
    f.addWinsv(schueler("12a"));
    f.addNm(schueler("12"));
    Lauf l(f);
    ASSERT_EQ(l.ausgang, Datenvergleich::Ausgang::Fertig);
    EXPECT_FALSE(l.sichtbar(l.paar("12a")));
    EXPECT_EQ(l.liste(l.nurWinSV), QStringList{"12a"});
    EXPECT_EQ(l.liste(l.nurNM), QStringList{"12"});
    EXPECT_EQ(l.vergleich.unterschiede(), 0);
}

TEST(VergleichPaarung, SpaetererNMSchuelerMitGleicherNummerGewinnt)
{
    WinsvFixture f;
    WinsvPupil p = schueler("7", "Anders");
    f.addWinsv(p);
    p.name = "Anders";
    f.addNm(p);
    p.name = "Zuletzt"; // sorts after "Anders"
    f.addNm(p);
    Lauf l(f);
    const int r = l.paar("7");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 3), "Zuletzt");
    EXPECT_EQ(l.gefaerbt(r), QList<int>{3});
}

TEST(VergleichPaarung, HauptansprechpartnerWirdGezeigt)
{
    WinsvFixture f;
    WinsvPupil p = schueler("8");
    f.addWinsv(p);
    WinsvPupil neben = p;
    neben.strasse = "Nebenweg 9";
    const qint64 nr = f.addNm(p, true, true);
    f.addAdresse(nr, neben, false);
    Lauf l(f);
    const int r = l.paar("8");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 8), "Hauptstr. 1");
    EXPECT_FALSE(l.sichtbar(r));
}

TEST(VergleichPaarung, NMSchuelerOhneAdresseFehlt)
{
    WinsvFixture f;
    WinsvPupil p = schueler("9");
    f.addWinsv(p);
    f.addNm(p, false);
    Lauf l(f);
    EXPECT_EQ(l.liste(l.nurWinSV), QStringList{"9"});
    EXPECT_TRUE(l.liste(l.nurNM).isEmpty());
}

TEST(VergleichAustritt, DurchDenTreiberGelesen)
{
    WinsvFixture f;
    WinsvPupil p = schueler("1");
    p.klasse = "AUS";
    f.addWinsv(p); // not taken
    p = schueler("2");
    p.klasse = "aus";
    f.addWinsv(p); // taken, no partner, not listed
    p = schueler("3");
    p.klasse = " AUS ";
    f.addWinsv(p); // taken, no partner, not listed
    p = schueler("4");
    p.austritt = "2000-01-01";
    f.addWinsv(p); // attends
    p = schueler("5");
    p.austritt = "2023-07-31";
    f.addWinsv(p); // left
    p = schueler("6");
    f.addWinsv(p); // empty leaving date: attends
    Lauf l(f);
    EXPECT_EQ(l.paar("1"), -1);
    EXPECT_GT(l.paar("2"), 0);
    EXPECT_GT(l.paar("3"), 0);
    EXPECT_GT(l.paar("4"), 0);
    EXPECT_EQ(l.paar("5"), -1);
    EXPECT_GT(l.paar("6"), 0);
    QStringList nur = l.liste(l.nurWinSV);
    nur.sort();
    EXPECT_EQ(nur, (QStringList{"4", "6"}));
}

TEST(VergleichAustritt, AUSKlassenDesNMStehenNieInDerListe)
{
    WinsvFixture f;
    int id = 900;
    for (const char *k : {"AUS", "AUS2", "aus", "5b"}) {
        WinsvPupil p = schueler(QString::number(++id));
        p.klasse = QString::fromLatin1(k);
        f.addNm(p);
    }
    Lauf l(f);
    EXPECT_EQ(l.liste(l.nurNM, 1), QStringList{"5b"});
}

TEST(VergleichFarben, KlasseAnders_HellrotGelbGezaehltUndFalscheKlasse)
{
    WinsvFixture f;
    WinsvPupil p = schueler("20");
    f.addWinsv(p);
    p.klasse = "5b";
    f.addNm(p);
    Lauf l(f);
    const int r = l.paar("20");
    EXPECT_TRUE(l.sichtbar(r));
    EXPECT_EQ(l.gefaerbt(r), QList<int>{2});
    EXPECT_EQ(l.fg.cellBackColor(r + 1, 2), winsv::Hellrot);
    EXPECT_EQ(l.fg.cellBackColor(r + 1, 0), winsv::Gelb);
    EXPECT_EQ(l.fg.cellBackColor(r, 2), 0); // the WinSV row is never painted
    EXPECT_EQ(l.liste(l.falscheKlasse), QStringList{"20"});
    EXPECT_EQ(l.liste(l.falscheKlasse, 1), QStringList{"5a"});
    EXPECT_EQ(l.vergleich.unterschiede(), 1);
}

TEST(VergleichFarben, FuenfUnterschiedeZaehlenEinmal)
{
    WinsvFixture f;
    WinsvPupil p = schueler("21");
    f.addWinsv(p);
    p.name = "muster"; // case counts
    p.vorname = "Max ";  // blanks count
    p.ar = "W";
    p.geburt = "2012-03-05";
    p.fuer1 = "Falsch";
    f.addNm(p);
    f.addBoth(schueler("22"));
    Lauf l(f);
    const int r = l.paar("21");
    EXPECT_EQ(l.gefaerbt(r), (QList<int>{3, 4, 6, 7, 12}));
    EXPECT_EQ(l.fg.cellBackColor(r + 1, 6), winsv::Hellrot);
    for (int c : {3, 4, 7, 12})
        EXPECT_EQ(l.fg.cellBackColor(r + 1, c), winsv::Gelb) << c;
    EXPECT_EQ(l.vergleich.unterschiede(), 1);
    EXPECT_TRUE(l.liste(l.falscheKlasse).isEmpty());
    EXPECT_EQ(Datenvergleich::ergebnisZeile(1), "Inkonsistente Daten bei 1 Schülerinnen oder Schülern gefunden.");
}

TEST(VergleichFarben, NMKlasseAufVierZeichenGekuerzt)
{
    WinsvFixture f;
    WinsvPupil p = schueler("30");
    p.klasse = "10ab";
    f.addWinsv(p);
    p.klasse = "10abc";
    f.addNm(p);
    Lauf l(f);
    const int r = l.paar("30");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 2), "10ab");
    EXPECT_FALSE(l.sichtbar(r));
}

TEST(VergleichFarben, LeereWerteUndUngueltigesGeburtsdatum)
{
    WinsvFixture f;
    WinsvPupil p = schueler("31");
    p.tel.clear();
    p.geburt = "31.02.2012"; // the driver reads no date: the cell stays empty
    f.addWinsv(p);
    p.geburt.clear();
    f.addNm(p);
    Lauf l(f);
    const int r = l.paar("31");
    EXPECT_EQ(l.fg.textMatrix(r, 7), "");
    EXPECT_FALSE(l.sichtbar(r));
}

TEST(VergleichAblauf, FehlendeDateiLaesstAllesStehen)
{
    WinsvFixture f;
    f.addBoth(schueler("40"));
    Lauf l(f);
    const int zeilen = l.fg.rows();
    const auto e = l.vergleich.ausfuehren(f.box.file("fehlt.df1"), f.nmArbeit());
    EXPECT_EQ(e.ausgang, Datenvergleich::Ausgang::NichtBegonnen);
    EXPECT_EQ(e.meldung, "Die angegebene SD.DF1 - Datei wurde nicht gefunden.");
    EXPECT_EQ(l.fg.rows(), zeilen);
    EXPECT_FALSE(QFile::exists(f.box.file("fehlt.df1")));
}

TEST(VergleichAblauf, FehlerhafteNMAbfrageBrichtAb)
{
    WinsvFixture f;
    f.addBoth(schueler("41"));
    f.nm.exec("ALTER TABLE Adressen RENAME TO Adressen_alt");
    GridStore fg, a, b, c;
    Datenvergleich v({&fg, &a, &b, &c});
    const auto e = v.ausfuehren(f.winsvPfad, f.nmArbeit());
    EXPECT_EQ(e.ausgang, Datenvergleich::Ausgang::Abgebrochen);
    EXPECT_TRUE(e.meldung.contains("Adressen")) << e.meldung.toStdString();
    EXPECT_EQ(fg.rows(), 3); // the WinSV rows stand, nothing is marked
    EXPECT_EQ(fg.textMatrix(2, 1), "");
}

TEST(VergleichDatum, DeutscheUndISODatenDurchDenTreiber)
{
    // WinSV's text in its date columns, read through the ODBC driver: each form of 04.02.2014.
    const QStringList formen{"2014-02-04", "04.02.2014", "4.2.2014", "4.2.14", "2014-02-04 00:00:00",
                             "04.02.2014 10:30", "4.2.2014 7:05:00", "2014-02-04T10:30:00"};
    // A leaving date of 01.01.2000 in German form still counts as attending.
    WinsvPupil bleibt = schueler("199");
    bleibt.austritt = "01.01.2000 00:00";
    WinsvFixture f;
    int id = 200;
    for (const QString &form : formen) {
        WinsvPupil p = schueler(QString::number(++id));
        p.geburt = form;
        f.addWinsv(p);
        p.geburt = "2014-02-04";
        f.addNm(p);
        p = schueler(QString::number(id + 100));
        p.austritt = form; // has left
        f.addWinsv(p);
        f.addNm(p);
    }
    f.addWinsv(bleibt);
    bleibt.austritt.clear();
    f.addNm(bleibt);
    Lauf l(f);
    EXPECT_GT(l.paar("199"), 0);
    ASSERT_EQ(l.ausgang, Datenvergleich::Ausgang::Fertig);
    for (int i = 0; i < formen.size(); ++i) {
        const int r = l.paar(QString::number(201 + i));
        ASSERT_GT(r, 0) << formen[i].toStdString();
        EXPECT_EQ(l.fg.textMatrix(r, 7), "04.02.2014") << formen[i].toStdString();
        EXPECT_FALSE(l.sichtbar(r)) << formen[i].toStdString();
        EXPECT_EQ(l.paar(QString::number(301 + i)), -1) << formen[i].toStdString();
    }
    EXPECT_EQ(l.vergleich.unterschiede(), 0);
    QStringList nurNM = l.liste(l.nurNM);
    nurNM.sort();
    EXPECT_EQ(nurNM, (QStringList{"301", "302", "303", "304", "305", "306", "307", "308"}));
}

TEST(VergleichDatum, UnlesbaresDatumBleibtLeerUndWirdNieZurueckgeschrieben)
{
    WinsvFixture f;
    WinsvPupil p = schueler("50");
    p.geburt = "31.02.2012"; // no date
    p.austritt = "bald";     // no date: counts as attending
    p.ort = "Altdorf";
    f.addWinsv(p);
    p.geburt = "2012-03-04";
    p.austritt.clear();
    p.ort = "Neustadt";
    const qint64 nr = f.addNm(p);
    Lauf l(f);
    const int r = l.paar("50");
    ASSERT_GT(r, 0);
    EXPECT_EQ(l.fg.textMatrix(r, 7), "");
    EXPECT_TRUE(winsv::unlesbar(l.fg, r, 7));
    EXPECT_EQ(l.gefaerbt(r), (QList<int>{7, 10}));

    const QVector<winsv::RueckschreibPaar> paare = winsv::sichtbarePaare(l.fg);
    ASSERT_EQ(paare.size(), 1);
    const winsv::RueckschreibErgebnis e = winsv::Rueckschreiben(f.nm).ausfuehren(paare);
    EXPECT_EQ(e.geschrieben, 1);
    EXPECT_EQ(e.meldung(), "Bei 1 Schülerinnen oder Schülern konnten Werte der WinSV nicht gelesen werden; "
                           "diese Werte wurden nicht übernommen, der Notenmanager behält seine.");
    EXPECT_EQ(f.nmValue("SELECT Geburtsdatum FROM Schüler WHERE SchülerNr = ?", {nr}).toString(), "2012-03-04");
    EXPECT_EQ(f.nmValue("SELECT Ort FROM Adressen WHERE SchülerNr = ?", {nr}).toString(), "Altdorf");

    // The next comparison still shows the difference: nothing was lost unseen.
    Lauf danach(f);
    EXPECT_EQ(danach.gefaerbt(danach.paar("50")), QList<int>{7});
}

TEST(VergleichDatum, DeutschesGeburtsdatumWirdAlsDatumZurueckgeschrieben)
{
    WinsvFixture f;
    WinsvPupil p = schueler("51");
    p.geburt = "24.12.2011";
    p.name = "Neu";
    f.addWinsv(p);
    p.geburt = "2011-12-23";
    p.name = "Alt";
    const qint64 nr = f.addNm(p);
    Lauf l(f);
    EXPECT_EQ(l.gefaerbt(l.paar("51")), (QList<int>{3, 7}));
    const winsv::RueckschreibErgebnis e = winsv::Rueckschreiben(f.nm).ausfuehren(winsv::sichtbarePaare(l.fg));
    EXPECT_EQ(e.geschrieben, 1);
    EXPECT_TRUE(e.meldung().isEmpty());
    EXPECT_EQ(f.nmValue("SELECT Geburtsdatum FROM Schüler WHERE SchülerNr = ?", {nr}).toString(), "2011-12-24");
    Lauf danach(f);
    EXPECT_FALSE(danach.sichtbar(danach.paar("51")));
}

TEST(VergleichAblauf, FortschrittUndEreignisseHoechstensAlle50ms)
{
    WinsvFixture f;
    {
        zdb::Db w;
        w.open(f.winsvPfad);
        zdb::WriteTransaction twinsv(w);
        zdb::WriteTransaction tnm(f.nm);
        for (int i = 1; i <= 400; ++i) {
            w.exec("INSERT INTO DSchueler (_SCHUELER_ID, KLASSE, FAMILIENNAME) VALUES (?, '5a', 'Muster')", {QString::number(i)});
            f.nm.exec("INSERT INTO Schüler (Name, Klasse, WinSVSnr) VALUES ('Muster', '5a', ?)", {i});
            f.nm.exec("INSERT INTO Adressen (SchülerNr) VALUES (?)", {f.nm.lastInsertId()});
        }
        twinsv.commit();
        tnm.commit();
    }
    int prozente = 0, ereignisse = 0;
    winsv::Beobachter b;
    b.prozent = [&](const QString &t) { prozente += !t.isEmpty(); };
    b.ereignisse = [&] { ++ereignisse; };
    GridStore fg, a, c, d;
    Datenvergleich v({&fg, &a, &c, &d}, b);
    QElapsedTimer uhr;
    uhr.start();
    ASSERT_EQ(v.ausfuehren(f.winsvPfad, f.nmArbeit()).ausgang, Datenvergleich::Ausgang::Fertig);
    // At most one per 50 ms and pass; never one per row (800 rows here).
    const int hoechstens = 4 + int(uhr.elapsed() / 50);
    EXPECT_LE(prozente, hoechstens);
    EXPECT_GE(ereignisse, 2); // after the WinSV pass and after the grade-manager pass
    EXPECT_LE(ereignisse, hoechstens + 2);
}

TEST(VergleichPaarung, DoppelteWinSVNummerPaartNurDieErsteZeile)
{
    WinsvFixture f;
    // Stored in another order than the statement sorts them.
    WinsvPupil p = schueler("0300", "Bbb"); // the same number as 300
    f.addWinsv(p);
    f.addWinsv(schueler("300", "Aaa"));
    p.id = "300";
    f.addNm(p); // "Bbb" in the grade manager
    Lauf l(f);
    ASSERT_EQ(l.fg.rows(), 5);
    EXPECT_EQ(l.fg.textMatrix(1, 3), "Aaa");
    EXPECT_EQ(l.fg.textMatrix(2, 3), "Bbb");
    EXPECT_EQ(l.gefaerbt(1), QList<int>{3});
    EXPECT_EQ(l.fg.textMatrix(4, 1), "");
    EXPECT_FALSE(l.sichtbar(3));
    EXPECT_EQ(l.liste(l.nurWinSV, 2), QStringList{"Bbb"});
    EXPECT_EQ(l.vergleich.unterschiede(), 1);
}

TEST(VergleichFarben, KlasseNurInGrossKleinschreibungAnders)
{
    WinsvFixture f;
    WinsvPupil p = schueler("301");
    f.addWinsv(p);
    p.klasse = "5A ";
    f.addNm(p);
    Lauf l(f);
    const int r = l.paar("301");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 2), "5A");
    EXPECT_EQ(l.gefaerbt(r), QList<int>{2});
    EXPECT_EQ(l.fg.cellBackColor(r + 1, 2), winsv::Hellrot);
    EXPECT_TRUE(l.liste(l.falscheKlasse).isEmpty());
    EXPECT_EQ(l.vergleich.unterschiede(), 1);
}
