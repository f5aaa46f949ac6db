// The translator accepts only Access's functions, and turns dates into text only where Access
// does and only for columns whose declared type is a date.
#include "platform/accesssql.h"

#include <gtest/gtest.h>

using accesssql::translate;

TEST(AccessSqlNames, OnlyAccessFunctionsTheTranslatorsOwnOutputAside)
{
    for (const char *sql : {"SELECT randomblob(8)", "SELECT printf('%d', 1)", "SELECT zeroblob(3)",
                            "SELECT load_extension('x')", "SELECT sqlite_version()", "SELECT lower(Name) FROM T",
                            "SELECT AccConcat(a, b) FROM T", "SELECT CAST(a AS TEXT) FROM T",
                            "SELECT Name FROM T WHERE glob('a*', Name)", "SELECT Count(*) FROM T GROUP BY total(a)",
                            "SELECT Max(a, b) FROM T", "SELECT LTrim(a, 'x') FROM T", "SELECT Count() FROM T",
                            "SELECT AccAsDate('1.1.2012')", "SELECT AccAsNumber('2')", "SELECT AccDateToText(a) FROM T",
                            "SELECT rank() OVER (ORDER BY a) FROM T"}) {
        const auto t = translate(QString::fromUtf8(sql));
        EXPECT_FALSE(t.ok) << sql;
    }
    // Function names in any case, with $, and Asc although ASC is a keyword; the translator
    // itself still writes AccConcat, AccLike, power and CAST.
    const auto t = translate("SELECT ucase$(Name) & Asc(Name), 2 ^ 3, 7 \\ 2 FROM T WHERE Name Like 'a*' ORDER BY Name ASC");
    ASSERT_TRUE(t.ok) << t.error.toStdString();
    EXPECT_EQ(t.sql.toStdString(),
              "SELECT AccConcat(ucase(Name), Asc(Name)) AS Ausdr1000, power(2, 3) AS Ausdr1001, CAST(AccRound(7) AS "
              "INTEGER) / CAST(AccRound(2) AS INTEGER) AS Ausdr1002 FROM T WHERE AccLike(Name, 'a*') ORDER BY Name "
              "COLLATE DEU");
}

TEST(AccessSqlNames, DateColumnsInTextsAreWrappedWhenTheirTypeIsADate)
{
    const QString sql = "SELECT A.Name & ' ' & A.Geb, CStr(Max(B.Tag)), Left(A.Name, 1) "
                        "FROM A, (SELECT Tag & '' AS Tag, Tag & '' AS Roh FROM C) AS B";
    const auto t = translate(sql);
    ASSERT_TRUE(t.ok) << t.error.toStdString();
    // Without the columns' types nothing is known: plain columns stay as they are.
    EXPECT_EQ(t.sql.toStdString(),
              "SELECT AccConcat(A.Name, ' ', A.Geb) AS Ausdr1000, CStr(Max(B.Tag COLLATE DEU)) AS Ausdr1001, "
              "AccLeft(A.Name, 1) AS Ausdr1002 FROM A, (SELECT AccConcat(Tag, '') AS Tag, AccConcat(Tag, '') AS Roh "
              "FROM C) AS B");
    // Each column is typed by the FROM clause of its own query: C.Tag is a date inside the
    // sub-select, B.Tag (its text) is a date only when the outer FROM says so.
    QStringList asked;
    const accesssql::ColumnTypes types = [&asked](const QString &column, const QString &from) {
        using accesssql::ColumnType;
        asked << column + " @ " + from;
        if (column == "A.Geb" || (column == "Tag" && from == "C"))
            return ColumnType::Date;
        return column == "B.Tag" ? ColumnType::Unknown : ColumnType::Text;
    };
    const auto d = translate(sql, accesssql::LikeDialect::Dao, types);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.sql.toStdString(),
              "SELECT AccConcat(A.Name, ' ', AccDateToText(A.Geb)) AS Ausdr1000, CStr(Max(B.Tag COLLATE DEU)) AS Ausdr1001, "
              "AccLeft(A.Name, 1) AS Ausdr1002 FROM A, (SELECT AccConcat(AccDateToText(Tag), '') AS Tag, "
              "AccConcat(AccDateToText(Tag), '') AS Roh FROM C) AS B");
    EXPECT_TRUE(asked.contains("Tag @ C"));
    const auto e = translate("SELECT CStr(Max(Tag)) & '' FROM C", accesssql::LikeDialect::Dao, types);
    EXPECT_EQ(e.sql.toStdString(), "SELECT AccConcat(CStr(AccDateToText(Max(Tag))), '') AS Ausdr1000 FROM C");
    // Known dates need no database.
    EXPECT_EQ(translate("SELECT 'am ' & #1/2/2024#, CStr(Date()), Format(Now()), Format(Now(), 'yyyy')").sql.toStdString(),
              "SELECT AccConcat('am ', AccDateToText('2024-01-02')) AS Ausdr1000, CStr(AccDateToText(Date())) AS Ausdr1001, "
              "Format(AccDateToText(Now())) AS Ausdr1002, Format(Now(), 'yyyy') AS Ausdr1003");
}

// What the translator writes itself with the columns' types known (conversions, the collation,
// TOP ties, DISTINCT in German order) passes the check of function names.
TEST(AccessSqlNames, TypedTranslationsOwnFunctionsPass)
{
    const accesssql::ColumnTypes types = [](const QString &column, const QString &) {
        using accesssql::ColumnType;
        return column == "Geb" ? ColumnType::Date : column == "Nr" ? ColumnType::Number : ColumnType::Text;
    };
    const auto t = translate("SELECT TOP 2 Name & Geb, Count(*) FROM T WHERE Geb > '1.1.2012' AND Nr = '2' "
                             "GROUP BY Name, Geb ORDER BY Name",
                             accesssql::LikeDialect::Dao, types);
    ASSERT_TRUE(t.ok) << t.error.toStdString();
    for (const char *own : {"AccAsDate(", "AccAsNumber(", "AccDateToText(", "COLLATE DEU", "rank() OVER", "count(*)"})
        EXPECT_TRUE(t.sql.contains(QLatin1String(own))) << own << " in " << t.sql.toStdString();
    const auto d = translate("SELECT DISTINCT Name FROM T", accesssql::LikeDialect::Dao, types);
    EXPECT_EQ(d.sql.toStdString(), "SELECT * FROM (SELECT DISTINCT Name COLLATE DEU AS Name FROM T) ORDER BY 1 COLLATE DEU");
}
