#include "platform/accesssql.h"
#include "platform/db.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <gtest/gtest.h>

using accesssql::LikeDialect;
using accesssql::translate;

namespace {

struct TextCase {
    const char *access;
    const char *sqlite;
};

void expectTexts(const std::vector<TextCase> &cases, LikeDialect d = LikeDialect::Dao)
{
    for (const TextCase &c : cases) {
        const auto t = translate(QString::fromUtf8(c.access), d);
        EXPECT_TRUE(t.ok) << c.access << " -> " << t.error.toStdString() << " at " << t.errorPos;
        EXPECT_EQ(t.sql.toStdString(), std::string(c.sqlite)) << c.access;
    }
}

// A small grade-manager file with umlauts, mixed case and Nulls.
class AccessSqlRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.create(sb.file("nmdaten04.mdb"));
        nmschema::createGradeManager(db);
        db.exec(QStringLiteral(
            "INSERT INTO Klassen VALUES ('5a','MÜL'),('10a','SCH'),('10B','BAU');"
            "INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse, Geschlecht, Geburtsdatum, LRS) VALUES "
            "(1,'Müller','Anna','10a','w','2009-03-04',1),(2,'Maier','Ömer','10a','m','2008-12-24',0),"
            "(3,'Özdemir','Ayşe','5a','w','2013-07-01',0),(4,'Schmidt','Max','10B','m',NULL,0),"
            "(5,'meier','Lena','5a','w','2013-01-15',1);"
            "INSERT INTO Lehrkräfte (Kürzel, Name, Vorname) VALUES ('SCH','Schulz','Eva'),('BAU','Bauer','Tom');"
            "INSERT INTO Adressen (ID, SchülerNr, Telefon) VALUES (1,1,'0911 123'),(2,2,NULL);"
            "INSERT INTO Unterricht ([Index], Klasse, Fach, Lehrkraft) VALUES (1,'10a','M','SCH'),(2,'5a','D','BAU');"));
    }

    zdb::Result run(const QString &access, LikeDialect d = LikeDialect::Dao)
    {
        const auto t = translate(access, d);
        EXPECT_TRUE(t.ok) << access.toStdString() << " -> " << t.error.toStdString();
        return db.query(t.sql);
    }
    QStringList column(const QString &access, int col = 0)
    {
        QStringList out;
        const zdb::Result r = run(access);
        for (int i = 0; i < r.rowCount(); ++i)
            out << (r.value(i, col).isNull() ? QStringLiteral("<Null>") : r.value(i, col).toString());
        return out;
    }

    testsupport::Sandbox sb;
    zdb::Db db;
};

} // namespace

TEST(AccessSqlText, TwoDigitYearsOfDateLiteralsUpTo29AreThisCenturyFrom30TheLast)
{
    expectTexts({
        {"SELECT * FROM LNW WHERE Geschrieben = #12/31/29# OR Geschrieben = #1/1/30#",
         "SELECT * FROM LNW WHERE Geschrieben = '2029-12-31' OR Geschrieben = '1930-01-01'"},
        {"SELECT * FROM LNW WHERE Geschrieben = #31.12.29# OR Geschrieben = #1.1.30 8:15#",
         "SELECT * FROM LNW WHERE Geschrieben = '2029-12-31' OR Geschrieben = '1930-01-01 08:15:00'"},
    });
}

TEST(AccessSqlText, LiteralsAndNames)
{
    expectTexts({
        {"SELECT Klasse, Klassenleiter FROM Klassen ORDER BY Klasse;",
         "SELECT Klasse, Klassenleiter FROM Klassen ORDER BY Klasse COLLATE DEU"},
        {"select Name from Schüler where Geburtsdatum < #1/15/2010#",
         "SELECT Name FROM Schüler WHERE Geburtsdatum < '2010-01-15'"},
        {"SELECT * FROM LNW WHERE Geschrieben >= #2024-03-01 14:30# AND Rückgabe = #3/5/24 0:00:00#",
         "SELECT * FROM LNW WHERE Geschrieben >= '2024-03-01 14:30:00' AND Rückgabe = '2024-03-05'"},
        {"SELECT * FROM LNW WHERE Geschrieben = #24.12.2023# OR Geschrieben = #1/2/2024 2:05 PM#",
         "SELECT * FROM LNW WHERE Geschrieben = '2023-12-24' OR Geschrieben = '2024-01-02 14:05:00'"},
        {"SELECT Name FROM Schüler WHERE Klasse = \"10a\" AND Name <> \"O'Brien\"",
         "SELECT Name FROM Schüler WHERE Klasse = '10a' COLLATE DEU AND Name <> 'O''Brien' COLLATE DEU"},
        {"SELECT 'a & b * c Like #1/1/2000# True \"x\"' AS Text FROM Klassen",
         "SELECT 'a & b * c Like #1/1/2000# True \"x\"' AS Text FROM Klassen"},
        {"SELECT [Index], [Fach], Unterricht.Index FROM Unterricht WHERE Index > 1",
         "SELECT [Index], [Fach], Unterricht.[Index] FROM Unterricht WHERE [Index] > 1"},
        {"SELECT Schüler!Name, [Schüler].[Vorname] AS [Vorname des Kindes] FROM Schüler",
         "SELECT Schüler.Name, [Schüler].[Vorname] AS [Vorname des Kindes] FROM Schüler"},
        {"SELECT DISTINCTROW Klasse FROM Schüler", "SELECT Klasse FROM Schüler"},
        {"SELECT DISTINCT Klasse FROM Schüler",
         "SELECT * FROM (SELECT DISTINCT Klasse COLLATE DEU AS Klasse FROM Schüler) ORDER BY 1 COLLATE DEU"},
        {"SELECT Name FROM Schüler WHERE LRS = True OR Legasthenie <> False OR True = Legasthenie",
         "SELECT Name FROM Schüler WHERE LRS <> 0 OR Legasthenie <> 0 OR Legasthenie <> 0"},
        {"SELECT Name FROM Schüler WHERE LRS = False", "SELECT Name FROM Schüler WHERE LRS = 0"},
        {"SELECT True, False", "SELECT -1 AS Ausdr1000, 0 AS Ausdr1001"},
        {"SELECT Name FROM Schüler WHERE SchülerNr = 3 AND Klasse = '5'",
         "SELECT Name FROM Schüler WHERE SchülerNr = 3 AND Klasse = '5' COLLATE DEU"},
    });
}

TEST(AccessSqlText, OperatorsKeepAccessPrecedence)
{
    expectTexts({
        {"SELECT Name & ', ' & Vorname AS Voll FROM Schüler", "SELECT AccConcat(Name, ', ', Vorname) AS Voll FROM Schüler"},
        {"SELECT 'a' & 1 + 2", "SELECT AccConcat('a', AccPlus(1, 2)) AS Ausdr1000"},
        {"SELECT 1 + 2 & 'a'", "SELECT AccConcat(AccPlus(1, 2), 'a') AS Ausdr1000"},
        {"SELECT 7 Mod 3, 7 \\ 2, 2 ^ 3, 7 / 2",
         "SELECT CAST(AccRound(7) AS INTEGER) % CAST(AccRound(3) AS INTEGER) AS Ausdr1000, "
         "CAST(AccRound(7) AS INTEGER) / CAST(AccRound(2) AS INTEGER) AS Ausdr1001, power(2, 3) AS Ausdr1002, "
         "CAST(7 AS REAL) / 2 AS Ausdr1003"},
        {"SELECT -2 ^ 2, 2 * -3, 1 --1",
         "SELECT -power(2, 2) AS Ausdr1000, 2 * -3 AS Ausdr1001, AccMinus(1, -1) AS Ausdr1002"},
        {"SELECT 1 + 2 * 3 - 4", "SELECT AccMinus(AccPlus(1, 2 * 3), 4) AS Ausdr1000"},
        {"SELECT Name FROM Schüler WHERE NOT Klasse = '5a' AND (LRS = True OR Name Is Null)",
         "SELECT Name FROM Schüler WHERE NOT Klasse = '5a' COLLATE DEU AND (LRS <> 0 OR Name IS NULL)"},
        {"SELECT Name FROM Schüler WHERE 1 = 1 < 2", "SELECT Name FROM Schüler WHERE (-(1 = 1)) < 2"},
        {"SELECT Name FROM Schüler WHERE Klasse = Vorname", "SELECT Name FROM Schüler WHERE Klasse = Vorname"},
        {"SELECT Name FROM Schüler WHERE UCase(Name) = Vorname & 'x'",
         "SELECT Name FROM Schüler WHERE UCase(Name) = AccConcat(Vorname, 'x') COLLATE DEU"},
    });
}

TEST(AccessSqlText, LikeWildcardsPerSide)
{
    expectTexts({
        {"SELECT Name FROM Schüler WHERE Name Like 'M*' AND Vorname NOT LIKE \"[!a-c]?#\"",
         "SELECT Name FROM Schüler WHERE AccLike(Name, 'M*') AND NOT AccLike(Vorname, '[!a-c]?#')"},
    });
    expectTexts({{"SELECT Name FROM Schüler WHERE Name LIKE 'M%' AND Vorname NOT LIKE '_n%'",
                  "SELECT Name FROM Schüler WHERE Name LIKE 'M%' AND Vorname NOT LIKE '_n%'"}},
                LikeDialect::Ado);
}

TEST(AccessSqlText, ClausesJoinsAndUnions)
{
    expectTexts({
        {"SELECT TOP 2 Name FROM Schüler ORDER BY Name DESC, SchülerNr",
         "SELECT Name FROM Schüler ORDER BY Name COLLATE DEU DESC, SchülerNr COLLATE DEU LIMIT (SELECT count(*) FROM "
         "(SELECT rank() OVER (ORDER BY Name COLLATE DEU DESC, SchülerNr COLLATE DEU) AS zRang FROM Schüler) "
         "WHERE zRang <= 2)"},
        {"SELECT TOP 50 PERCENT Name FROM Schüler",
         "SELECT Name FROM Schüler LIMIT (SELECT (count(*) * 50 + 99) / 100 FROM (SELECT Name FROM Schüler))"},
        {"(SELECT Name FROM Schüler WHERE Klasse='5a') UNION (SELECT Name FROM Lehrkräfte) ORDER BY Name",
         "SELECT Name FROM Schüler WHERE Klasse = '5a' COLLATE DEU UNION SELECT Name FROM Lehrkräfte "
         "ORDER BY Name COLLATE DEU"},
        {"(SELECT TOP 1 Name FROM Schüler ORDER BY Name) UNION ALL SELECT Name FROM Lehrkräfte",
         "SELECT * FROM (SELECT Name FROM Schüler ORDER BY Name COLLATE DEU LIMIT (SELECT count(*) FROM (SELECT rank() "
         "OVER (ORDER BY Name COLLATE DEU) AS zRang FROM Schüler) WHERE zRang <= 1)) UNION ALL SELECT Name FROM Lehrkräfte"},
        {"SELECT S.Name, K.Klassenleiter FROM (Schüler AS S INNER JOIN Klassen K ON S.Klasse = K.Klasse) "
         "LEFT OUTER JOIN Lehrkräfte ON K.Klassenleiter = Lehrkräfte.Kürzel",
         "SELECT S.Name, K.Klassenleiter FROM (Schüler AS S INNER JOIN Klassen AS K ON S.Klasse = K.Klasse) "
         "LEFT JOIN Lehrkräfte ON K.Klassenleiter = Lehrkräfte.Kürzel"},
        {"SELECT Klasse, Count(*) AS Anzahl FROM Schüler GROUP BY Klasse HAVING Count(*) > 1",
         "SELECT Klasse, Count(*) AS Anzahl FROM Schüler GROUP BY Klasse COLLATE DEU HAVING Count(*) > 1"},
        {"SELECT Name FROM Schüler WHERE Klasse IN ('5a', '10A') AND SchülerNr NOT BETWEEN 2 AND 3",
         "SELECT Name FROM Schüler WHERE Klasse COLLATE DEU IN ('5a', '10A') AND SchülerNr NOT BETWEEN 2 AND 3"},
        {"SELECT Name FROM Schüler WHERE SchülerNr IN (SELECT SchülerNr FROM Adressen WHERE Telefon Is Not Null)",
         "SELECT Name FROM Schüler WHERE SchülerNr IN (SELECT SchülerNr FROM Adressen WHERE Telefon IS NOT NULL)"},
        {"SELECT Left(Name, 2), Right$(Name, 1), IsNull(Geburtsdatum), Mid$(Name, 2), IIf(LRS, 'ja', 'nein') FROM Schüler",
         "SELECT AccLeft(Name, 2) AS Ausdr1000, AccRight(Name, 1) AS Ausdr1001, AccIsNull(Geburtsdatum) AS Ausdr1002, "
         "Mid(Name, 2) AS Ausdr1003, CASE WHEN IIf(LRS, 1, 0) THEN 'ja' ELSE 'nein' END AS Ausdr1004 FROM Schüler"},
        {"SELECT *, Klasse FROM Schüler, Klassen", "SELECT *, Klasse FROM Schüler, Klassen"},
        {"SELECT Schüler.* FROM Schüler;;", "SELECT Schüler.* FROM Schüler"},
    });
}

TEST(AccessSqlText, QueryBuilderStatements)
{
    // As the query builder writes them: CR LF between the lines, German words already replaced.
    expectTexts({
        {"SELECT Schüler.Name, Schüler.Vorname\r\nFROM Schüler\r\nWHERE (((Schüler.Name) LIKE \"M*\") AND "
         "((Schüler.Klasse)= '5a') )\r\nORDER BY Schüler.Name, Schüler.Klasse DESC ;",
         "SELECT Schüler.Name, Schüler.Vorname FROM Schüler WHERE ((AccLike((Schüler.Name), 'M*')) AND "
         "((Schüler.Klasse) = '5a' COLLATE DEU)) ORDER BY Schüler.Name COLLATE DEU, Schüler.Klasse COLLATE DEU DESC"},
        {"SELECT Adressen.Telefon\r\nFROM Adressen\r\nWHERE (((Adressen.Telefon) IS NOT NULL) )\r\nORDER BY Adressen.Telefon;",
         "SELECT Adressen.Telefon FROM Adressen WHERE (((Adressen.Telefon) IS NOT NULL)) ORDER BY Adressen.Telefon COLLATE DEU"},
        {"SELECT Noten.sa1\r\nFROM Noten\r\nWHERE (((Noten.sa1) > \"=5\") AND ((Noten.sa2) <> \"5\") AND ((Noten.Archiv)= 'NOT true') )\r\n"
         "ORDER BY Noten.sa1 DESC ;",
         "SELECT Noten.sa1 FROM Noten WHERE (((Noten.sa1) > '=5' COLLATE DEU) AND ((Noten.sa2) <> '5' COLLATE DEU) AND "
         "((Noten.Archiv) = 'NOT true' COLLATE DEU)) ORDER BY Noten.sa1 COLLATE DEU DESC"},
    });
    // "Wies*" becomes LIKEs* in the builder: unreadable, as it is for Access.
    EXPECT_FALSE(translate(QStringLiteral("SELECT T.F FROM T WHERE ((T.F) LIKEs*) ORDER BY T.F;")).ok);
}

TEST(AccessSqlRefusal, OnlyOneQueryIsAccepted)
{
    struct Refused {
        const char *text;
        int pos;
    };
    const std::vector<Refused> cases{
        {"SELECT 1; DELETE FROM Schüler;", 10},
        {"SELECT * FROM Schüler; DROP TABLE Noten;", 23},
        {"DELETE * FROM Schüler", 0},
        {"UPDATE Schüler SET Name = 'x'", 0},
        {"INSERT INTO Klassen VALUES ('9z', 'X')", 0},
        {"CREATE TABLE x (a)", 0},
        {"ATTACH 'x.db' AS x", 0},
        {"PRAGMA query_only = 0", 0},
        {"  TRANSFORM Count(*) SELECT Klasse FROM Schüler PIVOT Geschlecht", 2},
        {"SELECT * INTO Neu FROM Schüler", 9},
        {"SELECT * FROM [andere.mdb].Schüler", 26},
        {"SELECT Name FROM Schüler WHERE Geburtsdatum > #13/45/2020#", 46},
        {"SELECT Name FROM Schüler WHERE Name = 'Müller", 38},
        {"SELECT Name FROM Schüler WHERE", 30},
        {"SELECT Name FROM [Schüler WHERE x", 17},
        {"SELECT 1 /* Kommentar */", 10},
        {"SELECT Name FROM Schüler WHERE a Xor", 36},
        {"SELECT TOP 1.5 Name FROM Schüler", 11},
        {"SELECT Name FROM Schüler WHERE Name ~ 'x'", 36},
    };
    for (const Refused &c : cases) {
        const auto t = translate(QString::fromUtf8(c.text));
        EXPECT_FALSE(t.ok) << c.text;
        EXPECT_TRUE(t.sql.isEmpty()) << c.text;
        EXPECT_EQ(t.errorPos, c.pos) << c.text << ": " << t.error.toStdString();
    }
}

TEST(AccessSqlDates, LiteralForms)
{
    EXPECT_EQ(accesssql::dateLiteral("12/24/2023"), "2023-12-24");
    EXPECT_EQ(accesssql::dateLiteral(" 2/29/24 "), "2024-02-29");
    EXPECT_EQ(accesssql::dateLiteral("1/1/35"), "1935-01-01");
    EXPECT_EQ(accesssql::dateLiteral("2024-2-3 8:05:09"), "2024-02-03 08:05:09");
    EXPECT_EQ(accesssql::dateLiteral("12:30 AM"), "1899-12-30 00:30:00");
    EXPECT_EQ(accesssql::dateLiteral("2/30/2024"), "");
    EXPECT_EQ(accesssql::dateLiteral("heute"), "");
    EXPECT_EQ(accesssql::dateLiteral("1/1/2024 25:00"), "");
}

TEST_F(AccessSqlRows, TextComparisonsIgnoreCaseAndUmlauts)
{
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE Klasse = '10A' ORDER BY Name"), QStringList({"Maier", "Müller"}));
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE Name = 'ÖZDEMIR'"), QStringList({"Özdemir"}));
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE Klasse IN ('10b', '5A') ORDER BY Name"),
              QStringList({"meier", "Özdemir", "Schmidt"}));
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE Name Like 'ö*' OR Vorname LIKE '*ÖM?R'"),
              QStringList({"Maier", "Özdemir"}));
    // German order: umlauts beside their vowel, case ignored.
    EXPECT_EQ(column("SELECT Name FROM Schüler ORDER BY Name"),
              QStringList({"Maier", "meier", "Müller", "Özdemir", "Schmidt"}));
}

TEST_F(AccessSqlRows, OperatorsGiveAccessValues)
{
    const zdb::Result r = run("SELECT 7 / 2, 7 \\ 2, 7 Mod 3, 2 ^ 3, 'a' + 'b', 'a' + Null, Null & Null, "
                              "'x' & Null & 1.5, #1/30/2024# + 2, #3/1/2024# - #2/28/2024#, 1 --1, '3' + 4, "
                              "2.5 Mod 2, 3.5 \\ 1, 2.5 \\ 1");
    ASSERT_EQ(r.rowCount(), 1);
    const QVariantList &v = r.rows[0];
    EXPECT_DOUBLE_EQ(v[0].toDouble(), 3.5);
    EXPECT_EQ(v[1].toInt(), 3);
    EXPECT_EQ(v[2].toInt(), 1);
    EXPECT_DOUBLE_EQ(v[3].toDouble(), 8.0);
    EXPECT_EQ(v[4].toString(), "ab");
    EXPECT_TRUE(v[5].isNull());
    EXPECT_TRUE(v[6].isNull());
    EXPECT_EQ(v[7].toString(), "x1,5");
    EXPECT_EQ(v[8].toString(), "2024-02-01");
    EXPECT_EQ(v[9].toInt(), 2);
    EXPECT_EQ(v[10].toInt(), 2);
    EXPECT_EQ(v[11].toInt(), 7);
    // Mod and \ round their operands half to even: 2.5 -> 2, 3.5 -> 4.
    EXPECT_EQ(v[12].toInt(), 0);
    EXPECT_EQ(v[13].toInt(), 4);
    EXPECT_EQ(v[14].toInt(), 2);
    EXPECT_EQ(r.columns.mid(0, 3), QStringList({"Ausdr1000", "Ausdr1001", "Ausdr1002"}));
}

TEST_F(AccessSqlRows, TypedStatementWithDateLikeConcatAndIIf)
{
    const zdb::Result r = run("SELECT Name & ', ' & Vorname AS Schüler, IIf(LRS = True, 'LRS', '') AS Hinweis "
                              "FROM Schüler WHERE Geburtsdatum >= #1/1/2009# AND Name Like 'm*' ORDER BY Name");
    ASSERT_EQ(r.rowCount(), 2);
    EXPECT_EQ(r.columns, QStringList({"Schüler", "Hinweis"}));
    EXPECT_EQ(r.value(0, 0).toString(), "meier, Lena");
    EXPECT_EQ(r.value(0, 1).toString(), "LRS");
    EXPECT_EQ(r.value(1, 0).toString(), "Müller, Anna");
}

TEST_F(AccessSqlRows, ClausesRunOnSqlite)
{
    EXPECT_EQ(column("SELECT TOP 2 Name FROM Schüler ORDER BY Name DESC"), QStringList({"Schmidt", "Özdemir"}));
    EXPECT_EQ(column("SELECT TOP 50 PERCENT SchülerNr FROM Schüler ORDER BY SchülerNr").size(), 3);
    EXPECT_EQ(column("(SELECT Name FROM Schüler WHERE Klasse='5a') UNION (SELECT Name FROM Lehrkräfte) ORDER BY Name"),
              QStringList({"Bauer", "meier", "Özdemir", "Schulz"}));
    EXPECT_EQ(column("(SELECT TOP 1 Name FROM Schüler ORDER BY Name) UNION ALL SELECT Name FROM Lehrkräfte ORDER BY 1"),
              QStringList({"Bauer", "Maier", "Schulz"}));
    EXPECT_EQ(column("SELECT S.Name, L.Name FROM (Schüler AS S INNER JOIN Klassen K ON S.Klasse = K.Klasse) "
                     "LEFT JOIN Lehrkräfte L ON K.Klassenleiter = L.Kürzel ORDER BY S.Name", 1),
              QStringList({"Schulz", "<Null>", "Schulz", "<Null>", "Bauer"}));
    EXPECT_EQ(column("SELECT Klasse, Count(*) AS Anzahl FROM Schüler GROUP BY Klasse HAVING Count(*) > 1 ORDER BY Klasse", 1),
              QStringList({"2", "2"}));
    EXPECT_EQ(column("SELECT [Index] FROM Unterricht WHERE Index > 1"), QStringList({"2"}));
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE LRS = True ORDER BY Name"), QStringList({"meier", "Müller"}));
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE IsNull(Geburtsdatum) = True"), QStringList({"Schmidt"}));
    EXPECT_EQ(column("SELECT Left(Name, 2) & Right(Vorname, 1) FROM Schüler WHERE SchülerNr = 3"), QStringList({"Öze"}));
}

// Texts that once took minutes or hours to read (each nesting read again for every way of
// closing it) must finish at once; ctest's timeout catches a hang. Deep nesting is refused
// with a position instead of running out of stack.
TEST_F(AccessSqlRows, AdversarialNestingIsReadInPolynomialTime)
{
    const auto mal = [](const QString &s, int n) { return s.repeated(n); };
    for (const QString &text : {"SELECT * FROM " + mal("((SELECT * FROM ", 60) + "Schüler",
                                "SELECT * FROM " + mal("(", 150) + "Schüler",
                                "SELECT * FROM " + mal("((SELECT * FROM (", 40) + "Schüler" + mal(")", 60),
                                "SELECT Name FROM Schüler WHERE " + mal("(", 190) + "1 = 1"}) {
        const auto t = translate(text);
        EXPECT_FALSE(t.ok) << text.left(60).toStdString();
        EXPECT_GE(t.errorPos, 0);
    }
    for (const QString &text : {"SELECT 1 AS x FROM " + mal("(", 100000),
                                "SELECT Name FROM Schüler WHERE " + mal("NOT ", 100000) + "1",
                                "SELECT " + mal("-", 100000) + "1"}) {
        const auto t = translate(text);
        EXPECT_FALSE(t.ok);
        EXPECT_EQ(t.error, QString("zu tief verschachtelt"));
    }
    // Balanced nesting of the same depth still reads and runs.
    EXPECT_EQ(column("SELECT Name FROM " + mal("(", 20) + "Schüler" + mal(")", 20) + " WHERE SchülerNr = 1"),
              QStringList({"Müller"}));
    EXPECT_EQ(column("SELECT Name FROM " + mal("(SELECT * FROM ", 10) + "Schüler" + mal(")", 10) +
                     " WHERE SchülerNr = 3"),
              QStringList({"Özdemir"}));
    EXPECT_EQ(column("SELECT Name FROM Schüler WHERE " + mal("(", 40) + "SchülerNr = 2" + mal(")", 40)),
              QStringList({"Maier"}));
}

namespace {
// Column types as a grade manager declares them; a column counts as missing in a FROM clause
// that does not name its table.
accesssql::ColumnType schuelerTypen(const QString &column, const QString &from)
{
    using accesssql::ColumnType;
    const QString c = column.section('.', -1).remove('[').remove(']');
    if (from.contains("Noten") && (c == "ID" || c == "sa1"))
        return c == "ID" ? ColumnType::Number : ColumnType::Text;
    if (!from.contains("Schüler"))
        return ColumnType::Missing;
    if (c == "Geburtsdatum")
        return ColumnType::Date;
    if (c == "SchülerNr")
        return ColumnType::Number;
    if (c == "LRS")
        return ColumnType::YesNo;
    if (c == "Name" || c == "Vorname" || c == "Klasse")
        return ColumnType::Text;
    return ColumnType::Missing;
}

void expectTyped(const std::vector<TextCase> &cases)
{
    for (const TextCase &c : cases) {
        const auto t = translate(QString::fromUtf8(c.access), LikeDialect::Dao, schuelerTypen);
        EXPECT_TRUE(t.ok) << c.access << " -> " << t.error.toStdString();
        EXPECT_EQ(t.sql.toStdString(), std::string(c.sqlite)) << c.access;
    }
}
} // namespace

// With the columns' types known, a text meeting a date or a number is converted, and a column is
// typed by the FROM clause of its own query first, then by the ones around it (the rows these
// give, with Yes/No, DISTINCT, DISTINCTROW and TOP, are checked in the lists' typed tests).
TEST(AccessSqlTyped, ConversionsFollowTheColumnsTypes)
{
    expectTyped({
        {"SELECT Name FROM Schüler WHERE Geburtsdatum = #1/2/2012# AND Geburtsdatum In (Null, Vorname)",
         // A day stored with its midnight (as a file converted from Access holds it) is that day.
         "SELECT Name FROM Schüler WHERE (CASE WHEN substr(Geburtsdatum, 11) = ' 00:00:00' THEN substr(Geburtsdatum, 1, 10) ELSE Geburtsdatum END) "
         "= '2012-01-02' AND (CASE WHEN substr(Geburtsdatum, 11) = ' 00:00:00' THEN substr(Geburtsdatum, 1, 10) ELSE Geburtsdatum END) "
         "IN (NULL, AccAsDate(Vorname))"},
        {"SELECT Name FROM Schüler WHERE Klasse = 5 AND Mid(Klasse, 1, 1) = 5",
         "SELECT Name FROM Schüler WHERE Klasse = 5 AND AccAsNumber(Mid(Klasse, 1, 1)) = 5"},
        {"SELECT S.Name FROM Schüler S WHERE EXISTS (SELECT * FROM Noten N WHERE N.ID = S.SchülerNr "
         "AND S.Geburtsdatum < '1.1.2000' AND N.sa1 = '2')",
         "SELECT S.Name FROM Schüler AS S WHERE EXISTS (SELECT * FROM Noten AS N WHERE N.ID = S.SchülerNr "
         "AND (CASE WHEN substr(S.Geburtsdatum, 11) = ' 00:00:00' THEN substr(S.Geburtsdatum, 1, 10) ELSE S.Geburtsdatum END) "
         "< AccAsDate('1.1.2000') AND N.sa1 = '2' COLLATE DEU)"},
    });
    // A text that is no number against a number literal is Access's type error, at run time.
    EXPECT_TRUE(translate("SELECT 1 WHERE 1 = 'x'", LikeDialect::Dao, schuelerTypen).sql.contains("AccAsNumber('x')"));
}

// Reading ahead for the FROM clause keeps reading polynomial.
TEST(AccessSqlTyped, NestingReadAheadStaysPolynomial)
{
    const QString tief = "SELECT * FROM " + QString("((SELECT * FROM ").repeated(60) + "Schüler";
    EXPECT_FALSE(translate(tief, LikeDialect::Dao, schuelerTypen).ok);
    const QString tiefGut = "SELECT Name FROM " + QString("(SELECT * FROM ").repeated(30) + "Schüler" +
                            QString(")").repeated(30) + " WHERE Geburtsdatum > '1.1.2012'";
    EXPECT_TRUE(translate(tiefGut, LikeDialect::Dao, schuelerTypen).ok);
}
