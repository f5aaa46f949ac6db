// The generated demo school: deterministic, complete in both layouts, sized by the options, and
// started and logged into as the README's run command does it. The planted WinSV differences
// are checked through the comparison itself (tests/winsv).
#include "nmfixture.h"
#include "core/feiertag.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "core/startup.h"
#include "platform/db.h"
#include "platform/settings.h"
#include "platform/valuetext.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

demo::Options smallSchool(const QString &out)
{
    demo::Options o;
    o.out = out;
    o.pupils = 60;
    o.teachers = 8;
    o.classes = 3;
    o.today = QDate(2025, 3, 14);
    return o;
}

// Every stored schema and every row in rowid order, as text.
QString dump(const QString &file)
{
    zdb::Db db;
    db.open(file, zdb::Db::ReadOnly);
    QString out;
    const zdb::Result t = db.query("SELECT name, sql FROM sqlite_master ORDER BY type, name");
    for (const auto &row : t.rows) {
        out += row[1].toString() + '\n';
        if (row[1].toString().startsWith(QLatin1String("CREATE TABLE")))
            for (const auto &vals : db.query("SELECT * FROM " + zdb::quoteName(row[0].toString()) + " ORDER BY rowid").rows)
                for (const QVariant &v : vals)
                    out += (v.isNull() ? QStringLiteral("<null>") : v.toString()) + '|';
    }
    return out;
}

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void expectTables(zdb::Db &db, const QVector<nmschema::Table> &tables)
{
    for (const nmschema::Table &t : tables)
        EXPECT_EQ(db.columnsOf(t.name), t.columnNames()) << t.name.toStdString();
}

// A stored schema declares no collation but NOCASE, so that every reader can open the file.
void expectOnlyNocase(zdb::Db &db)
{
    for (const auto &row : db.query("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL").rows) {
        const QString sql = row[0].toString().toUpper();
        for (int pos = sql.indexOf("COLLATE"); pos >= 0; pos = sql.indexOf("COLLATE", pos + 7))
            EXPECT_TRUE(sql.mid(pos + 7).trimmed().startsWith("NOCASE")) << sql.toStdString();
    }
}

} // namespace

TEST(DemoSchule, SameSeedGivesSameFilesAndAnotherSeedOthers)
{
    testsupport::Sandbox box;
    demo::Options a = smallSchool(box.file("a")), b = smallSchool(box.file("b")), c = smallSchool(box.file("c"));
    c.seed = 7;
    const demo::Result ra = demo::generate(a), rb = demo::generate(b), rc = demo::generate(c);
    EXPECT_EQ(dump(ra.nmFile), dump(rb.nmFile));
    EXPECT_EQ(dump(ra.ownFile), dump(rb.ownFile));
    EXPECT_EQ(dump(ra.winsvFile), dump(rb.winsvFile));
    EXPECT_EQ(bytes(ra.holidayFile), bytes(rb.holidayFile));
    EXPECT_NE(dump(ra.nmFile), dump(rc.nmFile));
    // A second run into the same folder replaces the files.
    EXPECT_EQ(dump(demo::generate(a).nmFile), dump(rb.nmFile));
}

TEST(DemoSchule, BothLayoutsHoldEveryTableWithItsColumnsAndTestNumbers)
{
    testsupport::Sandbox box;
    for (nmschema::Layout layout : {nmschema::Layout::Current, nmschema::Layout::Older}) {
        const bool aktuell = layout == nmschema::Layout::Current;
        SCOPED_TRACE(aktuell ? "aktuell" : "älter");
        demo::Options o = smallSchool(box.file(aktuell ? "cur" : "old"));
        o.layout = layout;
        const demo::Result r = demo::generate(o);
        zdb::Db nm, own, sv;
        nm.open(r.nmFile);
        own.open(r.ownFile);
        sv.open(r.winsvFile);
        const auto tabellen = nmschema::gradeManagerTables(layout);
        for (const char *t : {"SYS_Settings", "Lehrkräfte", "Schüler", "Klassen", "Unterricht", "Noten", "LNW",
                              "Adressen", "fehltage", "Fächer", "FächerGym", "ZD1", "ZD2", "Verweise"})
            EXPECT_NE(nmschema::findTable(tabellen, QString::fromUtf8(t)), nullptr) << t;
        expectTables(nm, tabellen);
        expectTables(own, nmschema::ownPreparedTables());
        expectTables(sv, nmschema::winsvTables());
        for (const char *t : {"tbl_Fehltage", "tbl_Fehlgrund", "tbl_Termin", "tbl_Einstellungen", "tbl_Personen"})
            EXPECT_TRUE(own.tableExists(t)) << t;
        for (zdb::Db *db : {&nm, &own, &sv})
            expectOnlyNocase(*db);
        EXPECT_EQ(nm.columnExists("Noten", "sa6"), aktuell);
        EXPECT_EQ(nm.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name LIKE 'idx%'").toInt(), 2);
        EXPECT_EQ(nmschema::testFields(layout).size(), aktuell ? 18 : 16);

        EXPECT_LE(nm.scalar("SELECT max(Spalte) FROM LNW").toInt(), nmschema::maxSpalte(layout));
        // The first Extemporale sits at 10 (current) or 8 (older).
        EXPECT_EQ(nm.scalar("SELECT min(Spalte) FROM LNW WHERE Notenart = 'Ex'").toInt(), aktuell ? 10 : 8);
        EXPECT_GT(nm.scalar("SELECT count(*) FROM Noten WHERE sa1 IS NOT NULL").toInt(), 0);
        EXPECT_GT(nm.scalar("SELECT count(*) FROM Noten WHERE Archiv = 1").toInt(), 0);
        EXPECT_GT(nm.scalar("SELECT count(*) FROM Unterricht WHERE Lehrkraft IS NULL OR Koppel IS NOT NULL").toInt(), 0);
        EXPECT_EQ(nm.scalar("SELECT count(*) FROM Schüler WHERE Name = 'D''Angelo'").toInt(), 1);
        EXPECT_EQ(nm.scalar("SELECT count(*) FROM Klassen WHERE Klasse = 'AUS'").toInt(), 1);
        // Yes/No columns store 0 when nothing is given.
        nm.exec("INSERT INTO Adressen (SchülerNr) VALUES (-1)");
        const zdb::Result ja = nm.query("SELECT Hauptansprechpartner FROM Adressen WHERE SchülerNr = -1");
        EXPECT_EQ(ja.typedValue(0, 0), QVariant(false));
    }
}

TEST(DemoSchule, SizesFollowTheOptions)
{
    testsupport::Sandbox box;
    demo::Options o = smallSchool(box.file("s"));
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
    // One record per person and day.
    EXPECT_EQ(own.scalar("SELECT count(*) FROM (SELECT DISTINCT S_Id, Fehltag FROM tbl_Fehltage)").toInt(), 400);
}

TEST(DemoSchule, AbsencesLieOnPastSchoolDaysOnly)
{
    testsupport::Sandbox box;
    const demo::Result r = demo::generate(smallSchool(box.file("f")));
    // The program's own reader takes every line but the comment.
    const QByteArray text = bytes(r.holidayFile);
    const auto ferien = feiertage::lesen(text);
    ASSERT_FALSE(ferien.isEmpty());
    EXPECT_EQ(ferien.size(), text.count('\n') - 1);
    zdb::Db own;
    own.open(r.ownFile);
    const zdb::Result days = own.query("SELECT DISTINCT Fehltag FROM tbl_Fehltage");
    ASSERT_GT(days.rowCount(), 20);
    for (int i = 0; i < days.rowCount(); ++i) {
        const QDate d = zdb::dateFromStored(days.value(i, 0));
        EXPECT_LT(d, r.today);
        EXPECT_TRUE(feiertage::klassifizieren(d, ferien).Name.isEmpty()) << d.toString().toStdString();
    }
    EXPECT_EQ(own.scalar("SELECT KalenderErsterTag FROM tbl_Einstellungen").toString(), zdb::isoDate(r.firstSchoolDay));
}

// The start-up and the login as the README's run command starts them: the INI leads to the files,
// every demo user with a password logs in through the window, the one without is not offered.
TEST(DemoSchule, StartsAndEveryDemoUserLogsInAsDocumented)
{
    testsupport::Sandbox sb;
    demo::Options o = smallSchool(sb.path());
    o.today = QDate(2025, 3, 5);
    const demo::Result r = demo::generate(o);
    testsupport::MsgRecorder boxes;
    ASSERT_TRUE(start::vorbereiten({}));
    EXPECT_TRUE(boxes.boxes.isEmpty());
    EXPECT_FALSE(mdl::Ferien.isEmpty());
    EXPECT_EQ(QFileInfo(mdl::nmDateiPfad()).canonicalFilePath(), QFileInfo(r.nmFile).canonicalFilePath());
    EXPECT_EQ(QFileInfo(mdl::PfadSDDF1).canonicalFilePath(), QFileInfo(r.winsvFile).canonicalFilePath());
    EXPECT_EQ(registry::installationValue("WunschzettelSchulnummer"), QString("0815"));

    zdb::Db nm;
    nm.open(r.nmFile, zdb::Db::ReadOnly);
    frm_Main haupt;
    int geprueft = 0;
    bool umlaut = false, hash = false, ohne = false;
    for (const demo::DemoUser &u : r.users) {
        SCOPED_TRACE(u.kuerzel.toStdString());
        frm_Anmeldung a(&haupt);
        if (u.password.isEmpty()) {
            ohne = true;
            EXPECT_LT(a.cmb_Kuerzel->findText(u.kuerzel), 0);
            continue;
        }
        EXPECT_GE(a.cmb_Kuerzel->findText(u.kuerzel), 0);
        a.cmb_Kuerzel->setEditText(u.kuerzel);
        a.txtPasswort->setText(u.password);
        a.cmdAnmelden->click();
        EXPECT_EQ(a.result(), int(QDialog::Accepted)) << qPrintable(u.storedAs);
        EXPECT_EQ(mdl::Benutzer, u.kuerzel);
        umlaut = umlaut || u.password.contains(QRegularExpression("[äöüÄÖÜß]"));
        // A user documented as hash has no plain password to fall back on.
        if (u.storedAs == "pwdh") {
            hash = true;
            EXPECT_TRUE(nm.scalar("SELECT Passwort FROM Lehrkräfte WHERE Kürzel = ?", {u.kuerzel}).isNull());
        }
        ++geprueft;
    }
    EXPECT_GE(geprueft, 4);
    EXPECT_TRUE(umlaut && hash && ohne);
    start::nachAnmeldung();
    EXPECT_TRUE(haupt.windowTitle().startsWith("Zandrel - Version: "));
    EXPECT_TRUE(haupt.windowTitle().contains(" 0815 "));
    EXPECT_TRUE(boxes.boxes.isEmpty());

    corefixture::sitzungZuruecksetzen();
}
