// A school whose files were converted from Access with mdbtools (tools/demo/konvertieren.h) beside
// its untouched twin: the comparison with WinSV, the write-back, the contact panel, exam entries, the
// class report and typed lists give the same results on both.
#include "nmfixture.h"
#include "absence/absenzrecord.h"
#include "absence/excellisten.h"
#include "absence/klassenliste.h"
#include "absence/personencache.h"
#include "absence/personentabelle.h"
#include "absence/tagesliste.h"
#include "absence/uebertragung.h"
#include "absence/personensuche.h"
#include "absence/worddokumente.h"
#include "calendar/htmlplaene.h"
#include "calendar/kalendertage.h"
#include "calendar/termine.h"
#include "core/frm_anmeldung.h"
#include "core/anmeldung.h"
#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "core/startup.h"
#include "core/schema.h"
#include "platform/accesssql_run.h"
#include "platform/grid/gridstore.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"
#include "platform/xlsxbook.h"
#include "records/lehrerliste.h"
#include "records/lnwfuellung.h"
#include "records/wunschzettel.h"
#include "records/zuordnungen.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"
#include "tools/demo/konvertieren.h"
#include "winsv/ap1logik.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct Seite {
    QString nm, eigen;
};

struct Zwillinge {
    testsupport::Sandbox box;
    demo::Result res;
    Seite echt, konvertiert;

    explicit Zwillinge(const demo::Konvertierung &k = {})
    {
        demo::Options o;
        o.out = box.file("demo");
        o.pupils = 300;
        o.teachers = 20;
        o.classes = 10;
        o.today = QDate(2024, 11, 12);
        res = demo::generate(o);
        for (const QString &ordner : {QStringLiteral("echt"), QStringLiteral("konvertiert")})
            QDir().mkpath(box.file(ordner));
        echt = {box.file("echt/nmdaten04.mdb"), box.file("echt/Zandrel.mdb")};
        konvertiert = {box.file("konvertiert/nmdaten04.mdb"), box.file("konvertiert/Zandrel.mdb")};
        QFile::copy(res.nmFile, echt.nm);
        QFile::copy(res.ownFile, echt.eigen);
        demo::wieKonvertiert(res.nmFile, konvertiert.nm, k);
        demo::wieKonvertiert(res.ownFile, konvertiert.eigen, k);
        // Each start brings the own database into shape.
        for (const Seite *s : {&echt, &konvertiert}) {
            zdb::Db db;
            db.open(s->eigen);
            schema::DatenbankAktualisieren(db, o.today);
        }
    }
};

// A value as the program shows it: a day with its midnight is the day.
QString wert(const zdb::Result &r, int zeile, int spalte)
{
    const QVariant v = r.typedValue(zeile, spalte);
    if (v.typeId() == QMetaType::QDateTime && v.toDateTime().time() == QTime(0, 0))
        return vt::valueText(v.toDateTime().date());
    return vt::valueText(v);
}

// Every table of the file, row by row in the order written, each value as the program shows it.
QMap<QString, QStringList> tabellen(const QString &pfad)
{
    zdb::Db db;
    db.open(pfad, zdb::Db::ReadOnly);
    QMap<QString, QStringList> out;
    const zdb::Result namen =
        db.query("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'");
    for (const QVariantList &n : namen.rows) {
        const zdb::Result r = db.query("SELECT * FROM " + zdb::quoteName(n[0].toString()) + " ORDER BY rowid");
        QStringList zeilen;
        for (int i = 0; i < r.rowCount(); ++i) {
            QStringList z;
            for (int c = 0; c < r.columnCount(); ++c)
                z << r.columns[c] + '=' + wert(r, i, c);
            zeilen << z.join('|');
        }
        out.insert(n[0].toString(), zeilen);
    }
    return out;
}

// Rows that differ between two dumps of the same file, by table.
QMap<QString, QStringList> aenderungen(const QMap<QString, QStringList> &vorher, const QMap<QString, QStringList> &nachher)
{
    QMap<QString, QStringList> out;
    for (auto it = nachher.cbegin(); it != nachher.cend(); ++it)
        for (int i = 0; i < it.value().size(); ++i)
            if (vorher.value(it.key()).value(i) != it.value()[i])
                out[it.key()] << it.value()[i];
    return out;
}

struct Vergleich {
    GridStore fg, nurWinSV, nurNM, falscheKlasse;
    winsv::Datenvergleich v{{&fg, &nurWinSV, &nurNM, &falscheKlasse}};

    Vergleich(const QString &winsv, const QString &nm)
    {
        const auto arbeit = [&nm](const std::function<void(zdb::Db &)> &a) {
            zdb::Db db;
            db.open(nm);
            a(db);
            return true;
        };
        EXPECT_EQ(v.ausfuehren(winsv, arbeit).ausgang, winsv::Datenvergleich::Ausgang::Fertig);
    }
    // Every cell with its colour and every row's height, and the side lists.
    QStringList bild() const
    {
        QStringList out;
        for (const GridStore *g : {&fg, &nurWinSV, &nurNM, &falscheKlasse}) {
            for (int r = 0; r < g->rows(); ++r) {
                QStringList z{QString::number(g->rowHeight(r) == 0)};
                for (int c = 0; c < g->cols(); ++c)
                    z << g->textMatrix(r, c) + '/' + QString::number(g->cellBackColor(r, c));
                out << z.join('|');
            }
            out << "--";
        }
        return out;
    }
};

} // namespace

TEST(KonvertierteSchule, VergleichUndRueckschreibenWieBeimZwilling)
{
    Zwillinge z;
    Vergleich echt(z.res.winsvFile, z.echt.nm), konv(z.res.winsvFile, z.konvertiert.nm);
    ASSERT_GE(echt.v.unterschiede(), 10);
    EXPECT_EQ(konv.v.unterschiede(), echt.v.unterschiede());
    EXPECT_EQ(konv.bild(), echt.bild());

    const auto vorherEcht = tabellen(z.echt.nm), vorherKonv = tabellen(z.konvertiert.nm);
    EXPECT_EQ(vorherKonv, vorherEcht);
    winsv::RueckschreibErgebnis eEcht, eKonv;
    {
        zdb::Db db;
        db.open(z.echt.nm);
        eEcht = winsv::Rueckschreiben(db).ausfuehren(echt.v.paare());
    }
    {
        zdb::Db db;
        db.open(z.konvertiert.nm);
        eKonv = winsv::Rueckschreiben(db).ausfuehren(konv.v.paare());
    }
    EXPECT_GT(eEcht.geschrieben, 0);
    EXPECT_EQ(eKonv.geschrieben, eEcht.geschrieben);
    EXPECT_EQ(eKonv.meldung(), eEcht.meldung());
    EXPECT_EQ(eKonv.meldung(), "");
    const auto nachherEcht = tabellen(z.echt.nm), nachherKonv = tabellen(z.konvertiert.nm);
    EXPECT_EQ(aenderungen(vorherKonv, nachherKonv), aenderungen(vorherEcht, nachherEcht));
    EXPECT_EQ(nachherKonv, nachherEcht);
    // A Yes goes into the converted file as it already stores Yes.
    zdb::Db db;
    db.open(z.konvertiert.nm, zdb::Db::ReadOnly);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Adressen WHERE gilt1 NOT IN (0, 1) OR gilt2 NOT IN (0, 1)").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Schüler WHERE Geburtsdatum NOT LIKE '____-__-__ 00:00:00'").toInt(), 0);
    db.close();

    Vergleich echtDanach(z.res.winsvFile, z.echt.nm), konvDanach(z.res.winsvFile, z.konvertiert.nm);
    EXPECT_LT(echtDanach.v.unterschiede(), echt.v.unterschiede());
    EXPECT_EQ(konvDanach.bild(), echtDanach.bild());
}

// Yes stored as -1: read, compared and written back alike; a Yes written stays -1.
TEST(KonvertierteSchule, JaAlsMinusEins)
{
    Zwillinge z(demo::Konvertierung{true});
    Vergleich echt(z.res.winsvFile, z.echt.nm), konv(z.res.winsvFile, z.konvertiert.nm);
    EXPECT_EQ(konv.bild(), echt.bild());
    zdb::Db db;
    db.open(z.konvertiert.nm);
    const winsv::RueckschreibErgebnis e = winsv::Rueckschreiben(db).ausfuehren(konv.v.paare());
    EXPECT_EQ(e.meldung(), "");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Adressen WHERE gilt1 NOT IN (0, -1) OR gilt2 NOT IN (0, -1)").toInt(), 0);
    EXPECT_GT(db.scalar("SELECT count(*) FROM Adressen WHERE gilt1 = -1").toInt(), 0);
    db.close();
    EXPECT_EQ(tabellen(z.konvertiert.nm), [&] {
        zdb::Db e2;
        e2.open(z.echt.nm);
        winsv::Rueckschreiben(e2).ausfuehren(echt.v.paare());
        e2.close();
        return tabellen(z.echt.nm);
    }());
}

TEST(KonvertierteSchule, KontaktdatenUndKlassenberichtWieBeimZwilling)
{
    Zwillinge z;
    zdb::Db nmEcht, nmKonv, eigenEcht, eigenKonv;
    nmEcht.open(z.echt.nm);
    nmKonv.open(z.konvertiert.nm);
    eigenEcht.open(z.echt.eigen);
    eigenKonv.open(z.konvertiert.eigen);
    int wahr = 0;
    for (const QVariantList &r : nmEcht.query("SELECT SchülerNr FROM Schüler ORDER BY SchülerNr LIMIT 60").rows) {
        const absence::Kontaktdaten a = absence::Kontakt::lesen(nmEcht, r[0].toString());
        const absence::Kontaktdaten b = absence::Kontakt::lesen(nmKonv, r[0].toString());
        EXPECT_EQ(QStringList({b.name, b.strasse, b.plzOrt, b.gilt1, b.gilt2, b.name1, b.art1}),
                  QStringList({a.name, a.strasse, a.plzOrt, a.gilt1, a.gilt2, a.name1, a.art1}));
        wahr += a.gilt1 == "Wahr";
    }
    EXPECT_GT(wahr, 0);

    const QDate start(2024, 8, 1), ende(2024, 11, 12);
    for (const QVariantList &k : nmEcht.query("SELECT Klasse, Klassenleiter FROM Klassen ORDER BY Klasse LIMIT 4").rows) {
        const absence::BerichtsKlasse klasse{k[0].toString(), k[1].toString()};
        const auto personen = absence::berichtsPersonen(nmEcht, klasse.klasse);
        ASSERT_EQ(absence::berichtsPersonen(nmKonv, klasse.klasse).size(), personen.size());
        const QByteArray echt =
            absence::klassenberichtDokument(eigenEcht, klasse, personen, start, ende, false, ende).documentXml();
        EXPECT_TRUE(echt.contains("Fehltag")) << qPrintable(klasse.klasse);
        EXPECT_EQ(absence::klassenberichtDokument(eigenKonv, klasse, absence::berichtsPersonen(nmKonv, klasse.klasse),
                                                  start, ende, false, ende)
                      .documentXml(),
                  echt)
            << qPrintable(klasse.klasse);
    }
}

// An exam entry on a day that already has entries: found, shown with the others, refused twice,
// and deleted again, on the converted own database as on the untouched one.
TEST(KonvertierteSchule, PruefungstermineEintragenUndLoeschen)
{
    Zwillinge z;
    const QDateTime jetzt(QDate(2024, 11, 12), QTime(10, 0));
    kalender::setUhr([jetzt] { return jetzt; });
    auto ablauf = [](const QString &pfad) {
        zdb::Db db;
        db.open(pfad);
        QStringList out;
        const kalender::Termin erster = kalender::alleTermine(db).value(0);
        const QDate tag = erster.tag();
        EXPECT_TRUE(tag.isValid());
        auto zeigen = [&](const char *schritt) {
            QStringList z;
            for (const kalender::Termin &t : kalender::termineVonTag(db, erster.klasse, tag))
                z << QString::number(t.id) + ' ' + t.fach + ' ' + t.lehrkraft + ' ' + QString::number(t.geloescht);
            out << QString::fromUtf8(schritt) + ": " + z.join(", ");
        };
        zeigen("vorher");
        qint64 id = 0;
        const kalender::NeuerTermin neu{tag, erster.klasse, "Ku", "Hub", ""};
        EXPECT_EQ(kalender::terminEintragen(db, neu, "Hub", &id), kalender::Eintragen::Eingetragen);
        EXPECT_GT(id, 0);
        zeigen("eingetragen");
        // The entry already there is refused as entered twice.
        EXPECT_EQ(kalender::terminEintragen(db, {tag, erster.klasse, erster.fach, erster.lehrkraft, ""}, "X", nullptr),
                  erster.geloescht ? kalender::Eintragen::Eingetragen : kalender::Eintragen::BereitsEingetragen);
        EXPECT_EQ(kalender::terminLoeschen(db, id, "Hub"), kalender::Loeschung::Entfernt);
        zeigen("geloescht");
        EXPECT_EQ(db.scalar("SELECT count(*) FROM tbl_Termin WHERE Id = ?", {id}).toInt(), 0);
        return out;
    };
    const QStringList echt = ablauf(z.echt.eigen);
    EXPECT_EQ(ablauf(z.konvertiert.eigen), echt);
    EXPECT_NE(echt.value(0), "vorher: ");
    kalender::setUhr(nullptr);
}

TEST(KonvertierteSchule, TypisierteListenWieBeimZwilling)
{
    Zwillinge z;
    QStringList abfragen{
        "SELECT * FROM Adressen",
        "SELECT * FROM Schüler WHERE LRS = True ORDER BY Name, Vorname",
        "SELECT Name, Vorname, Geburtsdatum FROM Schüler WHERE Geburtsdatum < #1/1/2012# ORDER BY Geburtsdatum, Name",
        "SELECT Klasse, Count(*) AS n, Sum(Legasthenie) AS leg FROM Schüler GROUP BY Klasse",
        "SELECT * FROM Unterricht WHERE Archiv = False ORDER BY Klasse, Fach",
        "SELECT s.Name, a.Ort, Not a.gilt1 AS nicht1, a.gilt2 + 0 AS zahl2 FROM Schüler AS s INNER JOIN Adressen AS a "
        "ON s.SchülerNr = a.SchülerNr WHERE a.gilt2 = -1",
        "SELECT Format(Geburtsdatum, 'dd.mm.yyyy') & ' ' & Name AS x, Year(Geburtsdatum) AS j FROM Schüler",
        "SELECT * FROM LNW WHERE Geschrieben >= #9/15/2024# ORDER BY Geschrieben, LfdNr",
        "SELECT IIf(gilt1, 'ja', 'nein') AS g, Count(*) AS n FROM Adressen GROUP BY IIf(gilt1, 'ja', 'nein')",
    };
    // A day compared exactly, and a Yes/No compared with a number, as users type them.
    zdb::Db echt;
    echt.open(z.echt.nm, zdb::Db::ReadOnly);
    const QDate tag = zdb::dateFromStored(echt.scalar("SELECT Geburtsdatum FROM Schüler WHERE Geburtsdatum IS NOT NULL"));
    echt.close();
    abfragen << QStringLiteral("SELECT Name, Vorname FROM Schüler WHERE Geburtsdatum = #%1#").arg(tag.toString("M/d/yyyy"))
             << QStringLiteral("SELECT Name FROM Schüler WHERE Geburtsdatum IN (#%1#, #1/1/2000#) ORDER BY Name")
                    .arg(tag.toString("M/d/yyyy"))
             << "SELECT Count(*) FROM Adressen WHERE gilt1 <> 0 AND Hauptansprechpartner = -1";
    for (const QString &sql : abfragen) {
        QVector<QStringList> ergebnis[2];
        QStringList spalten[2];
        int i = 0;
        for (const QString &pfad : {z.echt.nm, z.konvertiert.nm}) {
            zdb::Db db;
            db.open(pfad, zdb::Db::ReadOnly);
            const accesssql::Translation t =
                accesssql::translate(sql, accesssql::LikeDialect::Dao, accesssql::columnTypes(db));
            ASSERT_TRUE(t.ok) << qPrintable(sql);
            const accesssql::ReadResult r = accesssql::readTexts(db, t);
            spalten[i] = r.columns;
            ergebnis[i++] = r.rows;
        }
        EXPECT_FALSE(ergebnis[0].isEmpty()) << qPrintable(sql);
        EXPECT_EQ(spalten[1], spalten[0]) << qPrintable(sql);
        EXPECT_EQ(ergebnis[1], ergebnis[0]) << qPrintable(sql);
    }
}

// The demo school's files replaced by their converted copies: the program starts, brings its own
// database into shape and logs the administrator in, without a message.
TEST(KonvertierteSchule, StartUndAnmeldung)
{
    testsupport::Sandbox sb;
    demo::Options o;
    o.out = sb.path();
    o.pupils = 60;
    o.teachers = 8;
    o.classes = 3;
    o.today = QDate::currentDate();
    const demo::Result r = demo::generate(o);
    for (const QString &datei : {r.nmFile, r.ownFile}) {
        demo::wieKonvertiert(datei, datei + ".konv");
        QFile::remove(datei);
        QFile::rename(datei + ".konv", datei);
    }
    testsupport::MsgRecorder boxes;
    ASSERT_TRUE(start::vorbereiten({}));
    frm_Main haupt;
    frm_Anmeldung a(&haupt);
    a.cmb_Kuerzel->setEditText("X");
    a.txtPasswort->setText("admin");
    a.cmdAnmelden->click();
    EXPECT_EQ(a.result(), int(QDialog::Accepted));
    start::nachAnmeldung();
    EXPECT_TRUE(haupt.windowTitle().contains(" 0815 "));
    EXPECT_TRUE(boxes.boxes.isEmpty()) << qPrintable(boxes.texts().join("\n"));
    zdb::Db eigen;
    eigen.open(r.ownFile, zdb::Db::ReadOnly);
    EXPECT_EQ(eigen.scalar("SELECT pk FROM pragma_table_info('tbl_Termin') WHERE name = 'Id'").toInt(), 1);
    eigen.close();
    corefixture::sitzungZuruecksetzen();
}

namespace {

// A teacher whose abbreviation holds a letter outside ASCII ("Güm").
QString umlautKuerzel(zdb::Db &nm)
{
    return nm.scalar("SELECT Kürzel FROM Lehrkräfte WHERE Kürzel GLOB '*[^ -~]*' ORDER BY Kürzel LIMIT 1").toString();
}

// Texts that differ only in case between tables, as years of typing leave them: the classes
// upper-cased in Klassen ("5A" beside "5a" in Schüler and Unterricht), a class teacher's
// abbreviation lower-cased there, teachers' abbreviations and subjects in another case in
// Unterricht than in Lehrkräfte and FächerGym, one of them with an umlaut.
void schreibungVerschieben(const QString &nm)
{
    zdb::Db db;
    db.open(nm);
    db.exec("UPDATE Klassen SET Klasse = upper(Klasse)");
    db.exec("UPDATE Klassen SET Klassenleiter = lower(Klassenleiter) WHERE Klassenleiter IN ('Bra', 'Hom')");
    db.exec("UPDATE Unterricht SET Lehrkraft = lower(Lehrkraft) WHERE Lehrkraft IN ('Hub', 'Bra')");
    db.exec("UPDATE Unterricht SET Lehrkraft = upper(Lehrkraft) WHERE Lehrkraft IN ('Wei', 'Lor')");
    db.exec("UPDATE Unterricht SET Fach = upper(Fach) WHERE Fach IN ('Smd', 'Ku', 'Rel Ev')");
    const QString umlaut = umlautKuerzel(db);
    EXPECT_GT(db.exec("UPDATE Unterricht SET Lehrkraft = ? WHERE Lehrkraft = ?", {vt::upperCase(umlaut), umlaut}), 0)
        << qPrintable(umlaut);
}

// What the views built on the grade manager's file show (and the exam entries of the own file),
// one line per row: teacher list, teaching-assignment file, the classes of the exam calendar,
// the pupil-to-course overview, the class lists of the absence window, the AP1 pupils, the
// performance records and the WinSV comparison.
QStringList ansichten(const QString &nmPfad, const QString &eigenPfad, const QString &winsv)
{
    QStringList out;
    auto zeile = [&out](const char *ansicht, const QStringList &teile) {
        out << QString::fromUtf8(ansicht) + ": " + teile.join('|');
    };
    {
        zdb::Db nm, eigen;
        nm.open(nmPfad, zdb::Db::ReadOnly);
        eigen.open(eigenPfad, zdb::Db::ReadOnly);
        for (const lehrerliste::Lehrer &l : lehrerliste::lehrerLesen(nm))
            zeile("Lehrerliste", {l.kuerzel, l.name, l.vorname});
        for (const QString &z : wunsch::lehrerZeilen(wunsch::kurseLesen(nm)))
            zeile("Wunsch.txt", {z});
        const QString umlaut = umlautKuerzel(nm);
        for (const QString &wer : {QStringLiteral("Hub"), QStringLiteral("bra"), QStringLiteral("WEI"), umlaut})
            zeile("meine Klassen", QStringList{wer} + kalender::eigeneKlassenLesen(nm, wer));
        QVector<QDate> tage;
        for (const kalender::Termin &t : kalender::alleTermine(eigen))
            if (t.tag().isValid() && !tage.contains(t.tag()) && tage.size() < 15)
                tage << t.tag();
        const QStringList klassen = kalender::klassenLesen(nm);
        zeile("Kalenderklassen", klassen);
        EXPECT_EQ(zuordnungen::klassenLesen(nm).size(), klassen.size());
        for (const QString &k : klassen) {
            for (const kalender::Kurs &kurs : kalender::kurseLesen(nm, k))
                zeile("Kalenderkurs", {k, kurs.fach, kurs.lehrkraft});
            for (const QDate &tag : tage)
                for (const kalender::Termin &t : kalender::termineVonTag(eigen, k, tag))
                    zeile("Termin", {k, QString::number(t.id), t.fach, t.lehrkraft});
            const zuordnungen::Daten d = zuordnungen::lesen(nm, k);
            for (const zuordnungen::Schueler &s : d.schueler)
                zeile("Zuordnung Schüler", {k, vt::valueText(s.nr), s.name});
            for (const zuordnungen::Kurs &kurs : d.kurse)
                zeile("Zuordnung Kurs", {k, vt::valueText(kurs.index), kurs.fach, kurs.lehrkraft, kurs.std});
            for (const auto &[nr, index] : d.zuordnungen)
                zeile("Zuordnung", {k, QString::number(nr), QString::number(index)});
            const absence::Abfrage a = absence::Klassenliste::personenDerKlasse(k);
            nm.forEach(a.sql, a.params, [&](const QVariantList &r) {
                zeile("Klassenliste", {k, vt::valueText(r[0]), vt::valueText(r[2])});
                return true;
            });
            for (const ap1::Schueler &s : ap1::schuelerDerKlasse(nm, k))
                zeile("AP1", {k, s.anzeige});
        }
        for (const char *wer : {"X", "bra"})
            for (const absence::KlassenZeile &k : absence::Klassenliste::laden(nm, wer))
                zeile("Fehltage-Klassen", {wer, k.klasse, k.name, k.klassenleiter});
        const auto kurse = [&](const char *was, const lnw::KursAbfrage &a) {
            for (const lnw::KursZeile &k : lnw::lesen(nm, a, {}).zeilen) {
                QStringList z{was, k.fach, k.klasse, k.lehrer};
                for (const QString &c : k.zellen)
                    z << c;
                zeile("Leistungsnachweise", z);
            }
        };
        kurse("eigener", lnw::eigenerUnterricht("Hub"));
        kurse("eigener", lnw::eigenerUnterricht(umlaut));
        kurse("Lehrer", *lnw::nachLehrern({{"*", true}}));
        kurse("Fach", *lnw::nachFaechern({{"M", true}, {"Ku", true}, {"Rel Ev", true}}));
    }
    Vergleich v(winsv, nmPfad);
    for (const QString &z : v.bild())
        zeile("Datenabgleich", {z});
    return out;
}

// The first line in which two views differ, "" when they are alike.
QString ersteAbweichung(const QStringList &ist, const QStringList &soll, bool gefaltet = false)
{
    for (int i = 0; i < std::max(ist.size(), soll.size()); ++i) {
        const QString a = ist.value(i, "(keine Zeile)"), b = soll.value(i, "(keine Zeile)");
        if (gefaltet ? a.toCaseFolded() != b.toCaseFolded() : a != b)
            return QStringLiteral("Zeile %1:\n%2\nstatt\n%3").arg(i).arg(a, b);
    }
    return QString();
}

} // namespace

// A converted file compares texts without regard to case wherever Access does: classes, teachers'
// abbreviations and subjects written in another case in one table than in another give the same
// rows as in the untouched file, and as in the school before the case changed.
TEST(KonvertierteSchule, GrossUndKleinschreibungZwischenTabellen)
{
    Zwillinge z;
    const QStringList vorher = ansichten(z.echt.nm, z.echt.eigen, z.res.winsvFile);
    for (const Seite *s : {&z.echt, &z.konvertiert})
        schreibungVerschieben(s->nm);
    const QStringList echt = ansichten(z.echt.nm, z.echt.eigen, z.res.winsvFile);
    const QStringList konv = ansichten(z.konvertiert.nm, z.konvertiert.eigen, z.res.winsvFile);
    for (const char *ansicht : {"Wunsch.txt: \"Hub\"", "meine Klassen: Hub|", "meine Klassen: bra|5a",
                                "Kalenderkurs: 5A|", "Termin: 5A|", "Zuordnung Kurs: 5A|", "Zuordnung: 5A|",
                                "Klassenliste: 5A|", "AP1: 5A|", "Fehltage-Klassen: bra|5A|",
                                "Leistungsnachweise: eigener|"})
        EXPECT_TRUE(std::any_of(echt.cbegin(), echt.cend(), [&](const QString &l) { return l.startsWith(ansicht); }))
            << ansicht;
    const QString gegenVorher = ersteAbweichung(echt, vorher, true), gegenEcht = ersteAbweichung(konv, echt);
    EXPECT_TRUE(gegenVorher.isEmpty()) << qPrintable(gegenVorher);
    EXPECT_TRUE(gegenEcht.isEmpty()) << qPrintable(gegenEcht);
}

namespace {

// The lines of a view without their blanks: a converted file keeps blanks at the end of its texts
// ("Böhm |5a "), which the views show as Access shows them.
QStringList ohneBlanks(QStringList zeilen)
{
    for (QString &z : zeilen)
        z.remove(QLatin1Char(' '));
    return zeilen;
}

// What the absence window gives on the files, one line per row: the person cache, the day lists,
// each person's records before and after a change, a deletion and two new entries, the two Excel
// lists, and the monthly totals the transfer writes into the grade manager's fehltage.
QStringList abwesenheiten(const Seite &s)
{
    QStringList out;
    zdb::Db nm, eigen;
    nm.open(s.nm);
    eigen.open(s.eigen);
    const QDateTime jetzt(QDate(2024, 11, 12), QTime(9, 0));
    absence::Personencache::fuellen(eigen, &nm, jetzt);
    absence::Personentabelle personen;
    personen.laden(nm);
    for (const QVariantList &r :
         eigen.query("SELECT DISTINCT substr(Fehltag, 1, 10) FROM tbl_Fehltage ORDER BY 1 LIMIT 12").rows) {
        const QDate tag = zdb::dateFromStored(r[0]);
        for (const absence::TageslistenZeile &z : absence::Tagesliste::lesen(eigen, tag, personen, QString(), "X"))
            out << "Tagesliste: " + vt::valueText(tag) + '|' + z.id + '|' + z.klasse + '|' + z.name + '|' + z.grund;
    }
    QStringList ids;
    for (const QVariantList &r : eigen.query("SELECT DISTINCT S_Id FROM tbl_Fehltage ORDER BY rowid LIMIT 12").rows)
        ids << vt::trimBlanks(vt::valueText(r[0]));
    const auto zeigen = [&](const char *was, const QString &id) {
        for (const absence::Absenz::Zeile &z : absence::Absenz::derPerson(eigen, id))
            out << QString::fromUtf8(was) + ": " + id + '|' + vt::valueText(z.fehltag) + '|' + z.grund + '|' + z.zaehlt
                       + '|' + z.bemerkung;
    };
    for (int i = 0; i < ids.size(); ++i) {
        zeigen("vorher", ids[i]);
        const QDate tag = absence::Absenz::derPerson(eigen, ids[i]).value(0).fehltag;
        const auto daten = absence::Absenz::laden(eigen, ids[i], tag);
        EXPECT_TRUE(daten.has_value()) << qPrintable(ids[i]);
        if (!daten)
            continue;
        absence::AbsenzDaten neu = *daten;
        neu.grund = i % 2 ? QString() : QStringLiteral("un");
        out << "gespeichert: " + QString::number(int(absence::Absenz::speichern(eigen, ids[i], tag, neu, jetzt)));
        absence::AbsenzDaten krank;
        krank.grund = "kr";
        out << "neu: " + QString::number(int(absence::Absenz::speichern(eigen, ids[i], tag.addDays(-1), krank, jetzt)))
                   + QString::number(int(absence::Absenz::ganztagSpeichern(eigen, ids[i], tag.addDays(-2), "bf", jetzt)));
        zeigen("nachher", ids[i]);
    }
    xlsx::Workbook unentschuldigt, viele;
    VSGrid klassen;
    klassen.setRows(1);
    klassen.setCols(3);
    absence::excellisten::unentschuldigtFuellen(eigen, QDate(2024, 8, 1), QDate(2024, 11, 30), klassen, unentschuldigt);
    absence::excellisten::vieleFehltageFuellen(eigen, QDate(2024, 8, 1), QDate(2024, 11, 30), 2, "", "", viele);
    for (const auto &[was, book] : {std::pair{"unentschuldigt", &unentschuldigt}, std::pair{"viele", &viele}})
        for (int r = 1; r <= book->sheet(1).lastRow(); ++r) {
            QStringList z;
            for (int c = 1; c <= 6; ++c)
                z << book->sheet(1).text(r, c);
            out << QString::fromUtf8(was) + ": " + z.join('|');
        }
    absence::Uebertragung::Monate monate{};
    monate.fill(true);
    out << "übertragen: " + QString::number(absence::Uebertragung::uebertragen(eigen, nm, monate));
    const zdb::Result f = nm.query("SELECT * FROM fehltage ORDER BY schülernr");
    for (int i = 0; i < f.rowCount(); ++i) {
        QStringList z;
        for (int c = 0; c < f.columnCount(); ++c)
            z << vt::valueText(f.value(i, c));
        out << "fehltage: " + z.join('|');
    }
    return out;
}

// The three HTML plans of the exam calendar, line by line, as written at one moment.
QStringList plaene(const Seite &s)
{
    zdb::Db nm, eigen;
    nm.open(s.nm, zdb::Db::ReadOnly);
    eigen.open(s.eigen, zdb::Db::ReadOnly);
    const QDateTime jetzt(QDate(2024, 11, 12), QTime(10, 0));
    const kalender::PlanTermine p = kalender::termineFuerPlaene(eigen);
    kalender::KalenderTabelle tabelle;
    tabelle.aufbauen(QDate(2024, 9, 1), QDate(2025, 7, 31), kalender::klassenLesen(nm), jetzt.date());
    tabelle.termineEinsetzen(p.termine, jetzt, 5, 255);
    QStringList out;
    for (bool auchNichtInternet : {true, false})
        out << QString::fromUtf8(kalender::tabellenPlan(tabelle, p.termine, auchNichtInternet, jetzt, 5, 255)).split('\n');
    out << QString::fromUtf8(kalender::klassenPlan(kalender::klassenFuerKlassenplan(nm), p.termine, p.klassenplan, jetzt))
               .split('\n');
    return out;
}

} // namespace

// Ids and numbers stored as REAL (1001.0), Null where the school left a field empty: the absence
// window's lists, entries and transfer give what the untouched twin gives; the unexcused days list
// finds its pupils (the person cache keeps the id as the program shows it, "1001").
TEST(KonvertierteSchule, AbwesenheitenWieBeimZwilling)
{
    demo::Konvertierung k;
    k.zahlenAlsReal = true;
    k.leerAlsNull = true;
    Zwillinge z(k);
    const QStringList echt = abwesenheiten(z.echt);
    EXPECT_GT(echt.filter(QRegularExpression("^unentschuldigt: .*\\|kr\\|")).size(), 5);
    EXPECT_GT(echt.filter("fehltage: ").size(), 100);
    const QString d = ersteAbweichung(abwesenheiten(z.konvertiert), echt);
    EXPECT_TRUE(d.isEmpty()) << qPrintable(d);
}

// Every text with a blank at its end, as a converted file may keep them: the views and the absence
// window give the rows of the untouched twin (shown with their blanks), "AUS " is left out of the
// calendar's classes as Access's <> leaves it out, the plan by class puts "KF " last as "KF", and
// the free SQL lists' = finds "5a " for "5a", and the login offers "X", not "X ". (The
// teaching-assignment file leaves out "Bra " as Access's Len counts the blank; the WinSV comparison
// counts blanks by its rule.)
TEST(KonvertierteSchule, BlanksAmEndeWieBeimZwilling)
{
    demo::Konvertierung k;
    k.leerzeichenAmEnde = true;
    Zwillinge z(k);
    const auto ansicht = [&](const Seite &s) {
        QStringList zeilen = ohneBlanks(ansichten(s.nm, s.eigen, z.res.winsvFile));
        zeilen.removeIf([](const QString &l) { return l.startsWith("Wunsch.txt") || l.startsWith("Datenabgleich"); });
        return zeilen;
    };
    const QString gegenEcht = ersteAbweichung(ansicht(z.konvertiert), ansicht(z.echt));
    EXPECT_TRUE(gegenEcht.isEmpty()) << qPrintable(gegenEcht);
    // The administrator's absences stay out of the list of many absence days, stored "X" or "X ".
    for (const Seite *s : {&z.echt, &z.konvertiert}) {
        zdb::Db eigen;
        eigen.open(s->eigen);
        for (const char *tag : {"2024-10-01", "2024-10-02"})
            eigen.exec("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, zaehlt) VALUES ('X', ?, 'kr', '1,0')", {tag});
    }
    const QString abwesend =
        ersteAbweichung(ohneBlanks(abwesenheiten(z.konvertiert)), ohneBlanks(abwesenheiten(z.echt)));
    EXPECT_TRUE(abwesend.isEmpty()) << qPrintable(abwesend);
    const QStringList planEcht = ohneBlanks(plaene(z.echt));
    EXPECT_FALSE(planEcht.filter("<td>Klassenfahrt</td>").isEmpty());
    const QString plan = ersteAbweichung(ohneBlanks(plaene(z.konvertiert)), planEcht);
    EXPECT_TRUE(plan.isEmpty()) << qPrintable(plan);

    // The free SQL lists: = and In find "5a " for "5a" as Access's = does; Like does not.
    const auto zahl = [](const QString &pfad, const QString &sql) {
        zdb::Db db;
        db.open(pfad, zdb::Db::ReadOnly);
        const accesssql::Translation t = accesssql::translate(sql, accesssql::LikeDialect::Dao, accesssql::columnTypes(db));
        EXPECT_TRUE(t.ok) << qPrintable(sql);
        const QVector<QStringList> zeilen = accesssql::readTexts(db, t).rows;
        return zeilen.value(0).value(0);
    };
    for (const QString sql : {"SELECT Count(*) FROM Schüler WHERE Klasse = '5a'",
                              "SELECT Count(*) FROM Lehrkräfte WHERE Kürzel IN ('Hub', 'Bra')",
                              "SELECT Count(*) FROM Schüler s INNER JOIN Klassen k ON s.Klasse = k.Klasse"}) {
        EXPECT_NE(zahl(z.echt.nm, sql), "0") << qPrintable(sql);
        EXPECT_EQ(zahl(z.konvertiert.nm, sql), zahl(z.echt.nm, sql)) << qPrintable(sql);
    }
    EXPECT_EQ(zahl(z.konvertiert.nm, "SELECT Count(*) FROM Schüler WHERE Klasse Like '5a'"), "0");

    zdb::Db nm;
    nm.open(z.konvertiert.nm, zdb::Db::ReadOnly);
    const QStringList kuerzel = anmeldung::kuerzelListe(nm);
    EXPECT_TRUE(kuerzel.contains("X")) << qPrintable(kuerzel.join(','));
    EXPECT_TRUE(kuerzel.filter(QRegularExpression(" $")).isEmpty());
    EXPECT_EQ(anmeldung::pruefen(nm, "x", "admin "), anmeldung::Ergebnis::Angemeldet);
}
