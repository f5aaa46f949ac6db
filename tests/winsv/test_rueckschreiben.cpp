// The write-back: exactly the twelve columns, types and sizes, the exactly-one rule, ids that are
// no numbers, and a refused second statement that leaves the pupil's first table as it was.
#include "winsvfixture.h"

#include "platform/grid/gridstore.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace winsv;

namespace {

RueckschreibPaar paar(const QString &id, const WinsvPupil &p)
{
    // Cell texts as the comparison shows WinSV's values.
    const QString geb = datumText(p.geburt);
    return {id, {p.name, p.vorname, p.geschlecht, geb, p.strasse, p.plz, p.ort, p.tel, p.fuer1, p.fuer2, p.lrs, p.leg}};
}

WinsvPupil neu(const QString &id)
{
    WinsvPupil p;
    p.id = id;
    p.name = "Neumann";
    p.vorname = "Nina";
    p.geschlecht = "W";
    p.geburt = "2011-12-24";
    p.strasse = "Ringweg 3";
    p.plz = "54321";
    p.ort = "Altdorf";
    p.tel = "0999";
    p.fuer1 = "Falsch";
    p.fuer2 = "Wahr";
    p.lrs = "Wahr";
    p.leg = "Wahr";
    return p;
}

QStringList zeile(zdb::Db &db, qint64 nr)
{
    zdb::Result r = db.query("SELECT s.*, a.* FROM Schüler s JOIN Adressen a ON a.SchülerNr = s.SchülerNr "
                             "WHERE s.SchülerNr = ?", {nr});
    QStringList out;
    for (int c = 0; c < r.columnCount(); ++c)
        out << r.columns[c] + "=" + r.value(0, c).toString();
    return out;
}

} // namespace

// Exactly the twelve columns; a value that is no value of its column's type (or Null for a
// Yes/No column) is kept back, the rest of the pupil is written all the same.
TEST(Rueckschreiben, SchreibtGenauDieZwoelfSpaltenUndHaeltUngueltigeWerteZurueck)
{
    WinsvFixture f;
    const qint64 nr = f.addNm(schueler("50"));
    const qint64 teil = f.addNm(schueler("52"));
    const QStringList vorher = zeile(f.nm, nr);
    RueckschreibPaar ohneTyp = paar("52", neu("52"));
    ohneTyp.werte[3] = "kein Datum";
    ohneTyp.werte[8] = "vielleicht"; // gilt1 is Yes/No
    ohneTyp.werte[9] = "";
    const RueckschreibErgebnis e = Rueckschreiben(f.nm).ausfuehren({paar("50", neu("50")), ohneTyp});
    EXPECT_EQ(e.geschrieben, 2);
    // WinSV's values were read; the grade manager's columns do not take them.
    EXPECT_EQ(e.meldung(), "Bei 1 Schülerinnen oder Schülern passt ein Wert der WinSV nicht zur Spalte des "
                           "Notenmanagers (z. B. \"kein Datum\" für Geburtsdatum); diese Werte wurden nicht "
                           "übernommen, der Notenmanager behält seine.");
    const QStringList nachher = zeile(f.nm, nr);
    QStringList geaendert;
    for (int i = 0; i < vorher.size(); ++i)
        if (vorher[i] != nachher[i])
            geaendert << nachher[i];
    EXPECT_EQ(geaendert, (QStringList{"Name=Neumann", "Vorname=Nina", "Geschlecht=W", "Geburtsdatum=2011-12-24",
                                      "LRS=1", "Legasthenie=1", "Straße=Ringweg 3", "PLZ=54321", "Ort=Altdorf",
                                      "Telefon=0999", "gilt1=0", "gilt2=1"}));
    EXPECT_EQ(f.nmValue("SELECT Geburtsdatum FROM Schüler WHERE SchülerNr = ?", {teil}).toString(), "2012-03-04");
    EXPECT_EQ(f.nmValue("SELECT gilt1 FROM Adressen WHERE SchülerNr = ?", {teil}).toInt(), 1);
    EXPECT_EQ(f.nmValue("SELECT gilt2 FROM Adressen WHERE SchülerNr = ?", {teil}).toInt(), 0);
    EXPECT_EQ(f.nmValue("SELECT Name FROM Schüler WHERE SchülerNr = ?", {teil}).toString(), "Neumann");
}

TEST(Rueckschreiben, SpaltenwertNachTyp)
{
    // text, declared type, expected stored value ("<nein>": not written, "<Null>": Null)
    const QList<std::tuple<QString, QString, QString>> faelle{
        {" 05.06.2010 ", "DATE", "2010-06-05"}, {"5.6.", "DATE", "<nein>"}, {"Wahr", "BIT", "1"},
        {"-1", "BIT", "1"}, {"Falsch", "BIT", "0"}, {"vielleicht", "BIT", "<nein>"}, {"12", "INTEGER", "12"},
        {"12a", "INTEGER", "<nein>"}, {"1,5", "INTEGER", "<nein>"}, {"1,5", "DOUBLE", "1.5"},
        {"  ", "VARCHAR(10)", "<Null>"}, {"  abcdef ", "VARCHAR(3)", "abc"},
        {"ab\U0001F600", "VARCHAR(3)", "ab"}};
    for (const auto &[text, typ, erwartet] : faelle) {
        QVariant v;
        const bool ok = spaltenwert(text, typ, &v);
        EXPECT_EQ(!ok ? "<nein>" : v.isNull() ? "<Null>" : v.toString(), erwartet) << text.toStdString() << typ.toStdString();
    }
}

// Written only where the id is a number that names exactly one pupil; a pupil with several address
// rows is written (the address row the comparison shows, see the comparison's tests).
TEST(Rueckschreiben, GenauEinTrefferRegelUndIdsDieKeineZahlenSind)
{
    WinsvFixture f;
    f.addNm(schueler("60"));
    f.addNm(schueler("60"));
    const qint64 zwei = f.addNm(schueler("61"));
    f.addAdresse(zwei, schueler("61"), false);
    const qint64 eins = f.addNm(schueler("62"));
    const qint64 a = f.addNm(schueler("1"));
    const QStringList vorherA = zeile(f.nm, a);
    Rueckschreiben rs(f.nm);
    const RueckschreibErgebnis e =
        rs.ausfuehren({paar("60", neu("60")), paar("61", neu("61")), paar("0062", neu("62")), paar("63", neu("63")),
                       paar("1 OR 1=1", neu("1")), paar("1a", neu("1")), paar("", neu("")), paar("  ", neu(""))});
    EXPECT_EQ(e.geschrieben, 2);
    EXPECT_EQ(e.mehrdeutig, 1);
    EXPECT_EQ(e.ohneTreffer, 1); // skipped without a message
    EXPECT_EQ(e.ungueltigeId, 4);
    EXPECT_EQ(f.nmValue("SELECT COUNT(*) FROM Schüler WHERE Name = 'Neumann'").toInt(), 2);
    EXPECT_EQ(f.nmValue("SELECT Name FROM Schüler WHERE SchülerNr = ?", {eins}).toString(), "Neumann");
    EXPECT_EQ(f.nmValue("SELECT Name FROM Schüler WHERE SchülerNr = ?", {zwei}).toString(), "Neumann");
    EXPECT_EQ(zeile(f.nm, a), vorherA);
    EXPECT_EQ(e.meldung(), "Die Daten von 5 Schülerinnen oder Schülern wurden nicht in den Notenmanager übernommen:\r"
                           "- 1 ohne eindeutige Zuordnung (mehrere Datensätze zur WinSV-Nummer im Notenmanager)\r"
                           "- 4 mit leerer oder ungültiger WinSV-Nummer\r"
                           "Diese Daten müssen leider konventionell korrigiert werden.");
}

// After one wait for the lock the others wait no longer: 15 waits of 200 ms would take 3 s.
TEST(Rueckschreiben, GesperrteDatenbankWirdGemeldetOhneLangesWarten)
{
    WinsvFixture f;
    QVector<RueckschreibPaar> paare;
    for (int i = 90; i < 105; ++i) {
        f.addNm(schueler(QString::number(i)));
        paare << paar(QString::number(i), neu(QString::number(i)));
    }
    zdb::Db zweite;
    zweite.open(f.nmPfad, zdb::Db::ReadWrite, 200);
    f.nm.exec("BEGIN IMMEDIATE"); // another workstation holds the write lock
    QElapsedTimer uhr;
    uhr.start();
    const RueckschreibErgebnis e = Rueckschreiben(zweite).ausfuehren(paare);
    EXPECT_LT(uhr.elapsed(), 2000);
    f.nm.exec("ROLLBACK");
    EXPECT_EQ(e.gesperrt, 15);
    EXPECT_EQ(e.geschrieben, 0);
    EXPECT_TRUE(e.meldung().contains("15, weil der Notenmanager gerade an einem anderen Arbeitsplatz geschrieben wurde "
                                      "(Datensatz gesperrt)"));
    EXPECT_EQ(f.nmValue("SELECT COUNT(*) FROM Schüler WHERE Name = 'Neumann'").toInt(), 0);
}

// A value the grade manager refuses is told with the database's own words, not as a lock.
TEST(Rueckschreiben, AbgelehnterWertNenntDenGrund)
{
    WinsvFixture f;
    f.addNm(schueler("70"));
    f.addNm(schueler("71"));
    f.nm.exec("CREATE TRIGGER kein_altdorf BEFORE UPDATE ON Adressen WHEN NEW.Ort = 'Altdorf' "
              "BEGIN SELECT RAISE(ABORT, 'Ort Altdorf ist gesperrt'); END");
    WinsvPupil anders = neu("71");
    anders.ort = "Neudorf";
    const RueckschreibErgebnis e = Rueckschreiben(f.nm).ausfuehren({paar("70", neu("70")), paar("71", anders)});
    EXPECT_EQ(e.geschrieben, 1);
    EXPECT_EQ(e.wertAbgelehnt, 1);
    EXPECT_EQ(e.meldung(), "Die Daten von 1 Schülerinnen oder Schülern wurden nicht in den Notenmanager übernommen:\r"
                           "- 1, weil der Notenmanager einen Wert nicht angenommen hat (Ort Altdorf ist gesperrt)\r"
                           "Diese Daten müssen leider konventionell korrigiert werden.");
    // The refused pupil keeps all of its values, its pupil row too.
    EXPECT_EQ(f.nmValue("SELECT count(*) FROM Schüler WHERE Name = 'Neumann'").toInt(), 1);
}

TEST(Rueckschreiben, ZeileVonAndererStationGeaendertWirdNichtUeberschrieben)
{
    // What another workstation does between the start of the write-back and the write of pupil 80.
    const QList<std::pair<const char *, const char *>> faelle{
        {"neue WinSV-Nummer", "UPDATE Schüler SET WinSVSnr = 81 WHERE SchülerNr = :nr"},
        {"Adresse einem anderen Schüler zugeordnet", "UPDATE Adressen SET SchülerNr = :andere WHERE SchülerNr = :nr"},
        {"Schüler gelöscht, Nummer neu vergeben",
         "DELETE FROM Schüler WHERE SchülerNr = :nr; INSERT INTO Schüler (SchülerNr, Name, WinSVSnr) VALUES (:nr, 'Andere', 99)"},
    };
    for (const auto &[fall, sql] : faelle) {
        WinsvFixture f;
        const qint64 nr = f.addNm(schueler("80"));
        const qint64 andere = f.addNm(schueler("82"));
        const QStringList anderVorher = zeile(f.nm, andere);
        bool geaendert = false;
        Rueckschreiben rs(f.nm, [&] {
            if (geaendert)
                return;
            zdb::Db station;
            station.open(f.nmPfad);
            for (QString s : QString::fromUtf8(sql).split(';')) {
                s.replace(":andere", QString::number(andere)).replace(":nr", QString::number(nr));
                station.exec(s);
            }
            geaendert = true;
        });
        // The blank id runs the pause in which the other workstation writes.
        const RueckschreibErgebnis e = rs.ausfuehren({paar("", neu("")), paar("80", neu("80"))});
        EXPECT_TRUE(geaendert) << fall;
        EXPECT_EQ(e.geschrieben, 0) << fall;
        EXPECT_EQ(e.geaendert, 1) << fall;
        EXPECT_EQ(f.nmValue("SELECT COUNT(*) FROM Schüler WHERE Name = 'Neumann'").toInt(), 0) << fall;
        EXPECT_EQ(f.nmValue("SELECT COUNT(*) FROM Adressen WHERE Ort = 'Altdorf'").toInt(), 0) << fall;
        EXPECT_EQ(zeile(f.nm, andere).mid(0, 11), anderVorher.mid(0, 11)) << fall; // its pupil row
    }
}
