// The generated demo school: deterministic, complete in both layouts, with the planted
// WinSV differences exactly where the generator reports them, and INI files that lead to it.
#include "core/anmeldung.h"
#include "core/feiertag.h"
#include "platform/db.h"
#include "platform/settings.h"
#include "platform/valuetext.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

demo::Options smallSchool(const QString &out)
{
    demo::Options o;
    o.out = out;
    o.pupils = 120;
    o.teachers = 20;
    o.classes = 6;
    o.today = QDate(2025, 3, 14);
    return o;
}

// Every row of every table, in rowid order, as text.
QString dump(const QString &file)
{
    zdb::Db db;
    db.open(file, zdb::Db::ReadOnly);
    QString out;
    const zdb::Result t = db.query("SELECT name, sql FROM sqlite_master ORDER BY type, name");
    for (const auto &row : t.rows) {
        out += row[1].toString() + '\n';
        if (!row[1].toString().startsWith(QLatin1String("CREATE TABLE")))
            continue;
        const zdb::Result r = db.query("SELECT * FROM " + zdb::quoteName(row[0].toString()) + " ORDER BY rowid");
        for (const auto &vals : r.rows) {
            QStringList cells;
            for (const QVariant &v : vals)
                cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            out += cells.join('|') + '\n';
        }
    }
    return out;
}

QString fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The texts the comparison shows for one pupil, by comparison header.
using Texts = QHash<QString, QString>;

const QStringList kHeads{"WinSVSnr", "Klasse", "Name", "Vorname", "G.", "AR", "Geb.Dat.", "Straße",
                         "PLZ", "Ort", "Telefon", "gilt1", "gilt2", "LRS", "Leg."};

// One side of the comparison, keyed by the numeric value of the pupil's WinSV id; the columns
// of the statement in the order of kHeads.
QHash<QString, Texts> side(zdb::Db &db, const QString &sql)
{
    QHash<QString, Texts> out;
    const zdb::Result r = db.query(sql);
    for (int i = 0; i < r.rowCount(); ++i) {
        Texts t;
        for (int c = 0; c < kHeads.size(); ++c)
            t[kHeads[c]] = vt::valueText(r.typedValue(i, c));
        t["Geb.Dat."] = vt::valueText(zdb::dateFromStored(r.value(i, 6))); // WinSV: ISO text
        if (!t["Klasse"].startsWith("AUS"))
            out[QString::number(t["WinSVSnr"].toLongLong())] = t;
    }
    return out;
}

QHash<QString, Texts> gradeManagerSide(zdb::Db &nm)
{
    return side(nm, "SELECT s.WinSVSnr, s.Klasse, s.Name, s.Vorname, s.Geschlecht, s.Ausbildungsrichtung, "
                    "s.Geburtsdatum, a.Straße, a.PLZ, a.Ort, a.Telefon, a.gilt1, a.gilt2, s.LRS, s.Legasthenie "
                    "FROM Schüler s INNER JOIN Adressen a ON s.SchülerNr = a.SchülerNr "
                    "WHERE a.Hauptansprechpartner = 1");
}

QHash<QString, Texts> winsvSide(zdb::Db &sv)
{
    return side(sv, "SELECT _SCHUELER_ID, KLASSE, FAMILIENNAME, RUFNAME, GESCHLECHT, AUSBILDUNGSR, GEBURTSDATUM, "
                    "ANSCHR1_STR, ANSCHR1_PLZ, ANSCHR1_ORT, ANSCHR1_TEL, ANSCHR1_FUER1, ANSCHR1_FUER2, "
                    "LRS_SCHWAECHE, LRS_STOERUNG FROM DSchueler WHERE AUSTR_DATUM IS NULL");
}

} // namespace

TEST(DemoGenerate, SameSeedGivesSameFilesAndAnotherSeedOthers)
{
    testsupport::Sandbox box;
    demo::Options a = smallSchool(box.file("a")), b = smallSchool(box.file("b")), c = smallSchool(box.file("c"));
    c.seed = 7;
    const demo::Result ra = demo::generate(a), rb = demo::generate(b), rc = demo::generate(c);
    EXPECT_EQ(dump(ra.nmFile), dump(rb.nmFile));
    EXPECT_EQ(dump(ra.ownFile), dump(rb.ownFile));
    EXPECT_EQ(dump(ra.winsvFile), dump(rb.winsvFile));
    EXPECT_EQ(fileText(ra.holidayFile), fileText(rb.holidayFile));
    EXPECT_NE(dump(ra.nmFile), dump(rc.nmFile));

    // a second run into the same folder replaces the files
    const demo::Result again = demo::generate(a);
    EXPECT_EQ(dump(again.nmFile), dump(rb.nmFile));
}

TEST(DemoGenerate, BothLayoutsHoldEveryTableAndTheirTestNumbers)
{
    testsupport::Sandbox box;
    for (nmschema::Layout layout : {nmschema::Layout::Current, nmschema::Layout::Older}) {
        demo::Options o = smallSchool(box.file(layout == nmschema::Layout::Current ? "cur" : "old"));
        o.layout = layout;
        const demo::Result r = demo::generate(o);
        zdb::Db nm, own, sv;
        nm.open(r.nmFile);
        own.open(r.ownFile);
        sv.open(r.winsvFile);
        for (const auto &t : nmschema::gradeManagerTables(layout))
            EXPECT_EQ(nm.columnsOf(t.name), t.columnNames()) << t.name.toStdString();
        for (const auto &t : nmschema::ownPreparedTables())
            EXPECT_TRUE(own.tableExists(t.name)) << t.name.toStdString();
        for (const char *t : {"tbl_Fehltage", "tbl_Fehlgrund", "tbl_Termin", "tbl_Einstellungen", "tbl_Personen"})
            EXPECT_TRUE(own.tableExists(t)) << t;
        for (const auto &t : nmschema::winsvTables())
            EXPECT_TRUE(sv.tableExists(t.name)) << t.name.toStdString();

        const int maxSpalte = nm.scalar("SELECT max(Spalte) FROM LNW").toInt();
        EXPECT_LE(maxSpalte, nmschema::maxSpalte(layout));
        // the first Extemporale sits at 10 (current) or 8 (older)
        const int firstEx = nm.scalar("SELECT min(Spalte) FROM LNW WHERE Notenart = 'Ex'").toInt();
        EXPECT_EQ(firstEx, layout == nmschema::Layout::Current ? 10 : 8);
        EXPECT_GT(nm.scalar("SELECT count(*) FROM Noten WHERE sa1 IS NOT NULL").toInt(), 0);
        EXPECT_GT(nm.scalar("SELECT count(*) FROM Noten WHERE Archiv = 1").toInt(), 0);
        EXPECT_GT(nm.scalar("SELECT count(*) FROM Unterricht WHERE Lehrkraft IS NULL").toInt() +
                      nm.scalar("SELECT count(*) FROM Unterricht WHERE Koppel IS NOT NULL").toInt(), 0);
    }
}

TEST(DemoGenerate, SizesFollowTheOptions)
{
    testsupport::Sandbox box;
    demo::Options o = smallSchool(box.file("s"));
    o.pupils = 60;
    o.teachers = 12;
    o.classes = 4;
    o.courses = 70; // more than the timetables of four classes give
    o.absences = 400;
    o.entries = 33;
    o.indexes = false;
    const demo::Result r = demo::generate(o);
    zdb::Db nm, own;
    nm.open(r.nmFile);
    own.open(r.ownFile);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM Schüler").toInt(), 60);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM Lehrkräfte").toInt(), 14);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM Klassen").toInt(), 5);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM Unterricht").toInt(), 70);
    EXPECT_EQ(own.scalar("SELECT count(*) FROM tbl_Fehltage").toInt(), 400);
    EXPECT_EQ(own.scalar("SELECT count(*) FROM tbl_Termin").toInt(), 33);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name LIKE 'idx%'").toInt(), 0);
    // one record per person and day
    EXPECT_EQ(own.scalar("SELECT count(*) FROM (SELECT DISTINCT S_Id, Fehltag FROM tbl_Fehltage)").toInt(), 400);
}

TEST(DemoGenerate, AbsencesLieOnPastSchoolDaysOnly)
{
    testsupport::Sandbox box;
    const demo::Result r = demo::generate(smallSchool(box.file("f")));
    // the program's own reader takes every line of the file
    QFile hf(r.holidayFile);
    ASSERT_TRUE(hf.open(QIODevice::ReadOnly));
    const QByteArray bytes = hf.readAll();
    const auto ferien = feiertage::lesen(bytes);
    EXPECT_EQ(ferien.size(), bytes.count('\n') - 1); // all but the comment line
    QVector<QPair<QDate, QDate>> periods;
    for (const auto &f : ferien) {
        const QDate von = vt::parseDate(f.von), bis = vt::parseDate(f.bis);
        ASSERT_TRUE(von.isValid() && bis.isValid() && von <= bis) << f.von.toStdString();
        periods << qMakePair(von, bis);
    }
    ASSERT_FALSE(periods.isEmpty());
    zdb::Db own;
    own.open(r.ownFile);
    const zdb::Result days = own.query("SELECT DISTINCT Fehltag FROM tbl_Fehltage");
    ASSERT_GT(days.rowCount(), 20);
    for (int i = 0; i < days.rowCount(); ++i) {
        const QDate d = zdb::dateFromStored(days.value(i, 0));
        EXPECT_LT(d, r.today);
        EXPECT_LE(d.dayOfWeek(), 5);
        for (const auto &p : periods)
            EXPECT_FALSE(d >= p.first && d <= p.second) << d.toString().toStdString();
    }
    EXPECT_TRUE(r.firstSchoolDay.isValid());
    EXPECT_EQ(own.scalar("SELECT KalenderErsterTag FROM tbl_Einstellungen").toString(), zdb::isoDate(r.firstSchoolDay));
}

TEST(DemoGenerate, PlantedDifferencesAreExactlyWhatAComparisonFinds)
{
    testsupport::Sandbox box;
    const demo::Result r = demo::generate(smallSchool(box.file("w")));
    zdb::Db nm, sv;
    nm.open(r.nmFile);
    sv.open(r.winsvFile);
    const auto nmSide = gradeManagerSide(nm);
    const auto svSide = winsvSide(sv);

    QSet<QString> differing, onlyWinSV, onlyNM;
    QHash<QString, QStringList> columns;
    for (auto it = svSide.cbegin(); it != svSide.cend(); ++it) {
        if (!nmSide.contains(it.key())) {
            onlyWinSV << it.key();
            continue;
        }
        const Texts &n = nmSide[it.key()];
        for (auto c = it.value().cbegin(); c != it.value().cend(); ++c)
            if (n.value(c.key()) != c.value())
                columns[it.key()] << c.key();
        if (columns.contains(it.key()))
            differing << it.key();
    }
    for (auto it = nmSide.cbegin(); it != nmSide.cend(); ++it)
        if (!svSide.contains(it.key()))
            onlyNM << it.key();

    QSet<QString> plantedDiffering, plantedOnlyWinSV, plantedOnlyNM;
    for (const demo::PlantedDifference &d : r.differences) {
        const QString key = d.winsvId.isEmpty() ? QString() : QString::number(d.winsvId.toLongLong());
        if (d.kind == "Feld") {
            plantedDiffering << key;
            EXPECT_TRUE(columns[key].contains(d.column)) << d.column.toStdString();
            EXPECT_EQ(nmSide[key][d.column], d.nmValue) << d.column.toStdString();
            EXPECT_EQ(svSide[key][d.column], d.winsvValue) << d.column.toStdString();
            EXPECT_NE(d.nmValue, d.winsvValue);
        } else if (d.kind == "falscheKlasse") {
            plantedDiffering << key;
            EXPECT_EQ(columns[key], QStringList{"Klasse"});
        } else if (d.kind == "Id") {
            plantedDiffering << key;
            EXPECT_EQ(columns[key], QStringList{"WinSVSnr"});
        } else if (d.kind == "nurWinSV") {
            plantedOnlyWinSV << key;
        } else if (d.kind == "nurNM") {
            zdb::Db nm2;
            nm2.open(r.nmFile);
            plantedOnlyNM << nm2.scalar("SELECT WinSVSnr FROM Schüler WHERE SchülerNr = ?", {d.schuelerNr}).toString();
        }
    }
    EXPECT_EQ(differing, plantedDiffering);
    EXPECT_EQ(onlyWinSV, plantedOnlyWinSV);
    EXPECT_EQ(onlyNM, plantedOnlyNM);
    EXPECT_GE(plantedDiffering.size(), 15);
}

TEST(DemoGenerate, IniLeadsToTheFilesAndTheSchoolNumber)
{
    testsupport::Sandbox box;
    const demo::Result r = demo::generate(smallSchool(box.file("i")));
    qputenv("XDG_CONFIG_DIRS", QFileInfo(r.iniFile).absolutePath().section('/', 0, -2).toUtf8());
    const QString file = QDir(registry::nmValue("dbFilePath")).filePath(registry::nmValue("dbFileName"));
    EXPECT_EQ(QFileInfo(file).canonicalFilePath(), QFileInfo(r.nmFile).canonicalFilePath());
    EXPECT_EQ(QFileInfo(registry::nmValue("WinSDDB")).canonicalFilePath(), QFileInfo(r.winsvFile).canonicalFilePath());
    EXPECT_TRUE(QFileInfo::exists(QDir(registry::nmValue("dbFilePath")).filePath("Zandrel.mdb")));
    EXPECT_TRUE(QFileInfo::exists(QDir(registry::nmValue("dbFilePath")).filePath("Zandrel Ferien.txt")));
    zdb::Db nm;
    nm.open(r.nmFile);
    EXPECT_EQ(registry::installationValue("WunschzettelSchulnummer"),
              nm.scalar("SELECT Schulnummer FROM SYS_Settings").toString());
    EXPECT_FALSE(QDir(r.programFolder + "/SQL").entryList({"*.SQL"}).isEmpty());
}

TEST(DemoGenerate, DemoUsersCanLogInAsDocumented)
{
    testsupport::Sandbox box;
    const demo::Result r = demo::generate(smallSchool(box.file("u")));
    zdb::Db nm;
    nm.open(r.nmFile);
    const QStringList offered = anmeldung::kuerzelListe(nm);
    bool umlaut = false, hashed = false, none = false;
    for (const demo::DemoUser &u : r.users) {
        if (u.storedAs.isEmpty()) {
            none = true;
            EXPECT_FALSE(offered.contains(u.kuerzel)) << u.kuerzel.toStdString();
            continue;
        }
        EXPECT_TRUE(offered.contains(u.kuerzel)) << u.kuerzel.toStdString();
        EXPECT_EQ(anmeldung::pruefen(nm, u.kuerzel, u.password), anmeldung::Ergebnis::Angemeldet)
            << u.kuerzel.toStdString();
        EXPECT_EQ(anmeldung::pruefen(nm, u.kuerzel, u.password + "x"), anmeldung::Ergebnis::Abgelehnt);
        const zdb::Result row = nm.query("SELECT Passwort FROM Lehrkräfte WHERE Kürzel = ?", {u.kuerzel});
        hashed = hashed || (u.storedAs == "pwdh" && row.value(0, 0).isNull());
        umlaut = umlaut || u.password.contains(QRegularExpression("[äöüÄÖÜß]"));
    }
    EXPECT_TRUE(umlaut && hashed && none);
    EXPECT_EQ(anmeldung::schuleLesen(nm).gesperrt, false);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM Schüler WHERE Name = 'D''Angelo'").toInt(), 1);
    EXPECT_EQ(nm.scalar("SELECT count(*) FROM Klassen WHERE Klasse = 'AUS'").toInt(), 1);
}

TEST(DemoGenerate, StoredSchemasDeclareNoCollationButNocase)
{
    testsupport::Sandbox box;
    const demo::Result r = demo::generate(smallSchool(box.file("c")));
    for (const QString &f : {r.nmFile, r.ownFile, r.winsvFile}) {
        zdb::Db db;
        db.open(f);
        const zdb::Result s = db.query("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL");
        for (const auto &row : s.rows) {
            const QString sql = row[0].toString().toUpper();
            for (int pos = sql.indexOf("COLLATE"); pos >= 0; pos = sql.indexOf("COLLATE", pos + 7))
                EXPECT_TRUE(sql.mid(pos + 7).trimmed().startsWith("NOCASE")) << sql.toStdString();
        }
    }
}
