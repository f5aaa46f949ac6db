// The comparison: pairing, the attendance rules, colours, hidden pairs, side lists and the count.
#include "winsvfixture.h"

#include "platform/grid/gridstore.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

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
    QStringList liste(const GridStore &g, int spalte = 0) const
    {
        QStringList out;
        for (int r = 1; r < g.rows(); ++r)
            out << g.textMatrix(r, spalte);
        return out;
    }
};

} // namespace

// One run over pupils that each show one rule of pairing, attendance and colouring.
TEST(VergleichRegeln, JeSchuelerPaarungFarbeUndListen)
{
    WinsvFixture f;
    WinsvPupil p = schueler("100"); // equal, the birth date in German form: hidden, not counted
    p.geburt = "4.3.2012";
    f.addWinsv(p);
    f.addNm(schueler("100"));
    f.addBoth(schueler("00123"));  // pairs with 123, the id light red
    f.addWinsv(schueler("12a"));   // no number: never pairs
    f.addNm(schueler("12"));
    p = schueler("7", "Anders");
    f.addBoth(p);
    p.name = "Zuletzt";            // the later grade-manager pupil with the number wins
    f.addNm(p);
    p = schueler("8");             // the main contact's address is shown
    f.addWinsv(p);
    WinsvPupil neben = p;
    neben.strasse = "Nebenweg 9";
    f.addAdresse(f.addNm(p), neben, false);
    p = schueler("9");             // a grade-manager pupil without an address is missing
    f.addWinsv(p);
    f.addNm(p, false);
    p = schueler("20");            // other class: light red, listed
    f.addWinsv(p);
    p.klasse = "5b";
    f.addNm(p);
    p = schueler("21");            // five differences, counted once
    f.addWinsv(p);
    p.name = "muster";             // case counts
    p.vorname = "Max ";            // blanks count
    p.ar = "W";
    p.geburt = "2012-03-05";
    p.fuer1 = "Falsch";
    f.addNm(p);
    p = schueler("30");            // the grade manager's class cut to four characters
    p.klasse = "10ab";
    f.addWinsv(p);
    p.klasse = "10abc";
    f.addNm(p);
    p = schueler("31");            // empty values, a birth date the driver reads as none
    p.tel.clear();
    p.geburt = "31.02.2012";
    f.addWinsv(p);
    p.geburt.clear();
    f.addNm(p);
    p = schueler("301");           // class only in case and blanks: light red, not listed
    f.addWinsv(p);
    p.klasse = "5A ";
    f.addNm(p);
    // The same number twice in WinSV, stored out of the statement's order: the first row sorted pairs.
    p = schueler("0300", "Bbb");
    f.addWinsv(p);
    f.addWinsv(schueler("300", "Aaa"));
    p.id = "300";
    f.addNm(p);
    // Leaving: class "AUS" exactly is not taken; other spellings are taken but never listed;
    // a leaving date of 01.01.2000 counts as attending.
    const QList<std::tuple<QString, QString, QString>> austritt{
        {"1", "AUS", ""}, {"2", "aus", ""}, {"3", " AUS ", ""}, {"4", "5a", "01.01.2000 00:00"}, {"5", "5a", "2023-07-31"},
        {"6", "5a", ""}};
    for (const auto &[id, klasse, datum] : austritt) {
        p = schueler(id);
        p.klasse = klasse;
        p.austritt = datum;
        f.addWinsv(p);
    }
    int nr = 900; // AUS classes of the grade manager are never listed
    for (const char *k : {"AUS", "AUS2", "aus", "5b"}) {
        p = schueler(QString::number(++nr));
        p.klasse = QString::fromLatin1(k);
        f.addNm(p);
    }

    Lauf l(f);
    ASSERT_EQ(l.ausgang, Datenvergleich::Ausgang::Fertig);
    const long G = winsv::Gelb, H = winsv::Hellrot;
    EXPECT_EQ(farbenDerPaare(l.fg), (QMap<QString, QMap<int, long>>{{"00123", {{0, G}, {1, H}}},
                                                        {"7", {{0, G}, {3, G}}},
                                                        {"20", {{0, G}, {2, H}}},
                                                        {"21", {{0, G}, {3, G}, {4, G}, {6, H}, {7, G}, {12, G}}},
                                                        {"301", {{0, G}, {2, H}}},
                                                        {"300", {{0, G}, {3, G}}}}));
    EXPECT_EQ(l.vergleich.unterschiede(), 6);
    EXPECT_EQ(Datenvergleich::ergebnisZeile(6), "Inkonsistente Daten bei 6 Schülerinnen oder Schülern gefunden.");

    const int r = l.paar("100");
    EXPECT_EQ(l.fg.textMatrix(r, 0), "WinSV:");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 0), "NM:");
    EXPECT_EQ(l.fg.textMatrix(r, 7), "04.03.2012"); // through the ODBC driver and from the grade manager
    EXPECT_EQ(l.fg.textMatrix(r + 1, 7), "04.03.2012");
    EXPECT_EQ(l.fg.textMatrix(r + 1, 12), "Wahr");
    EXPECT_EQ(l.fg.textMatrix(l.paar("00123") + 1, 1), "123");
    EXPECT_EQ(l.fg.textMatrix(l.paar("7") + 1, 3), "Zuletzt");
    EXPECT_EQ(l.fg.textMatrix(l.paar("8") + 1, 8), "Hauptstr. 1");
    EXPECT_EQ(l.fg.textMatrix(l.paar("30") + 1, 2), "10ab");
    EXPECT_EQ(l.fg.textMatrix(l.paar("31"), 7), "");
    EXPECT_EQ(l.fg.textMatrix(l.paar("301") + 1, 2), "5A");
    EXPECT_EQ(l.fg.textMatrix(l.paar("300"), 3), "Aaa");
    EXPECT_EQ(l.fg.textMatrix(l.paar("0300") + 1, 1), "");
    for (const char *id : {"1", "5"})
        EXPECT_EQ(l.paar(id), -1) << id;
    for (const char *id : {"2", "3"})
        EXPECT_GT(l.paar(id), 0) << id;

    auto sortiert = [](QStringList s) {
        s.sort();
        return s;
    };
    EXPECT_EQ(sortiert(l.liste(l.nurWinSV)), (QStringList{"0300", "12a", "4", "6", "9"}));
    EXPECT_EQ(sortiert(l.liste(l.nurNM)), (QStringList{"12", "904"}));
    EXPECT_EQ(l.liste(l.falscheKlasse), QStringList{"20"});
    EXPECT_EQ(l.liste(l.falscheKlasse, 1), QStringList{"5a"});
}

// WinSV's driver sorts by character codes; the comparison lists its pupils in the one German order of
// class, surname and first name: umlauts beside their base letters, case ignored.
TEST(VergleichRegeln, WinSVSchuelerInDeutscherFolge)
{
    WinsvFixture f;
    int id = 1;
    for (const auto &[klasse, name, vorname] :
         std::initializer_list<std::tuple<const char *, const char *, const char *>>{
             {"5b", "Oz", "Anna"}, {"5b", "\xc3\x96zdemir", "Ali"}, {"5b", "ober", "Eva"}, {"5b", "Ober", "\xc3\x84nne"},
             {"5b", "Ober", "Bea"}, {"5a", "Zorn", "Tim"}, {"5\xc3\xa4", "Abel", "Ida"}, {"5B", "\xc3\xa4rger", "Udo"}}) {
        WinsvPupil p = schueler(QString::number(id++), QString::fromUtf8(name));
        p.klasse = QString::fromUtf8(klasse);
        p.vorname = QString::fromUtf8(vorname);
        f.addWinsv(p);
    }
    Lauf l(f);
    QStringList folge;
    for (int r = 1; r + 1 < l.fg.rows(); r += 2)
        folge << l.fg.textMatrix(r, 2) + ' ' + l.fg.textMatrix(r, 3) + ' ' + l.fg.textMatrix(r, 4);
    EXPECT_EQ(folge.join(", ").toStdString(), "5a Zorn Tim, 5ä Abel Ida, 5B ärger Udo, 5b Ober Änne, 5b Ober Bea, "
                                              "5b ober Eva, 5b Oz Anna, 5b Özdemir Ali");
    EXPECT_EQ(l.liste(l.nurWinSV).join(' ').toStdString(), "6 7 8 4 5 3 1 2");
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
    EXPECT_EQ(farbenDerPaare(l.fg).value("50").keys(), (QList<int>{0, 7, 10}));

    const QVector<winsv::RueckschreibPaar> paare = l.vergleich.paare();
    ASSERT_EQ(paare.size(), 1);
    const winsv::RueckschreibErgebnis e = winsv::Rueckschreiben(f.nm).ausfuehren(paare);
    EXPECT_EQ(e.geschrieben, 1);
    EXPECT_EQ(e.meldung(), "Bei 1 Schülerinnen oder Schülern konnten Werte der WinSV nicht gelesen werden; "
                           "diese Werte wurden nicht übernommen, der Notenmanager behält seine.");
    EXPECT_EQ(f.nmValue("SELECT Geburtsdatum FROM Schüler WHERE SchülerNr = ?", {nr}).toString(), "2012-03-04");
    EXPECT_EQ(f.nmValue("SELECT Ort FROM Adressen WHERE SchülerNr = ?", {nr}).toString(), "Altdorf");

    // The next comparison still shows the difference: nothing was lost unseen.
    Lauf danach(f);
    EXPECT_EQ(farbenDerPaare(danach.fg).value("50").keys(), (QList<int>{0, 7}));
}

// A pupil with several address rows: the comparison shows the main contact's row (any non-zero flag,
// -1 from Access too; of two main contacts the first written; without one the first written), and
// the write-back writes the pupil and that very row, so the next comparison finds no difference.
TEST(VergleichRueckschreiben, MehrereAdressenDieGezeigteZeileWirdGeschrieben)
{
    WinsvFixture f;
    struct Fall {
        QString id;
        QVariantList flaggen; // Hauptansprechpartner of the rows in the order written
        int gezeigt;          // index of the row shown and written
    };
    // A flag stored as text reads as every Yes/No: "Falsch" and "" are No.
    const Fall faelle[] = {{"71", {0, -1}, 1}, {"72", {-1, 0}, 0}, {"73", {0, 0, 0}, 0}, {"74", {0, 2, -1}, 1},
                           {"75", {1, 0}, 0}, {"76", {"Falsch", 1}, 1}, {"77", {"", "Wahr"}, 1}, {"78", {"-1", "0"}, 0}};
    QMap<QString, QVector<qint64>> zeilen;
    for (const Fall &fall : faelle) {
        WinsvPupil p = schueler(fall.id);
        p.strasse = "WinSV-Weg " + fall.id;
        p.ort = "Neuort";
        f.addWinsv(p);
        WinsvPupil alt = schueler(fall.id);
        alt.name = "Alt";
        const qint64 nr = f.addNm(alt, false);
        for (int i = 0; i < fall.flaggen.size(); ++i) {
            alt.strasse = QStringLiteral("Weg %1").arg(i);
            const qint64 rowid = f.addAdresse(nr, alt, false);
            f.nm.exec("UPDATE Adressen SET Hauptansprechpartner = ? WHERE rowid = ?", {fall.flaggen[i], rowid});
            zeilen[fall.id] << rowid;
        }
    }
    Lauf l(f);
    for (const Fall &fall : faelle) {
        const int r = l.paar(fall.id);
        ASSERT_GT(r, 0) << fall.id.toStdString();
        EXPECT_EQ(l.fg.textMatrix(r + 1, 8), QStringLiteral("Weg %1").arg(fall.gezeigt)) << fall.id.toStdString();
    }
    const winsv::RueckschreibErgebnis e = winsv::Rueckschreiben(f.nm).ausfuehren(l.vergleich.paare());
    EXPECT_EQ(e.geschrieben, int(std::size(faelle)));
    EXPECT_EQ(e.uebersprungen(), 0);
    for (const Fall &fall : faelle)
        for (int i = 0; i < fall.flaggen.size(); ++i)
            EXPECT_EQ(f.nmValue("SELECT Straße FROM Adressen WHERE rowid = ?", {zeilen[fall.id][i]}).toString(),
                      i == fall.gezeigt ? "WinSV-Weg " + fall.id : QStringLiteral("Weg %1").arg(i))
                << fall.id.toStdString() << " " << i;
    Lauf danach(f);
    EXPECT_EQ(danach.vergleich.unterschiede(), 0);
}

// Several pupils with one WinSV id stay ambiguous: none of them is written.
TEST(VergleichRueckschreiben, MehrereSchuelerEinerNummerBleibenMehrdeutig)
{
    WinsvFixture f;
    WinsvPupil p = schueler("80");
    f.addWinsv(p);
    p.name = "Erster";
    f.addNm(p);
    p.name = "Zweiter";
    f.addAdresse(f.addNm(p), p, false);
    Lauf l(f);
    const winsv::RueckschreibErgebnis e = winsv::Rueckschreiben(f.nm).ausfuehren(l.vergleich.paare());
    EXPECT_EQ(e.mehrdeutig, 1);
    EXPECT_EQ(e.geschrieben, 0);
    EXPECT_EQ(f.nmValue("SELECT COUNT(*) FROM Schüler WHERE Name = 'Muster'").toInt(), 0);
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
