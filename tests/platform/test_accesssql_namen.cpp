// The translator accepts only Access's functions, and turns dates into text only where Access
// does and only for columns the database declares as dates.
#include "platform/accesssql.h"

#include <gtest/gtest.h>

using accesssql::translate;

TEST(AccessSqlNames, OnlyAccessFunctionsTheTranslatorsOwnOutputAside)
{
    for (const char *sql : {"SELECT randomblob(8)", "SELECT printf('%d', 1)", "SELECT zeroblob(3)",
                            "SELECT load_extension('x')", "SELECT sqlite_version()", "SELECT lower(Name) FROM T",
                            "SELECT AccConcat(a, b) FROM T", "SELECT CAST(a AS TEXT) FROM T",
                            "SELECT Name FROM T WHERE glob('a*', Name)", "SELECT Count(*) FROM T GROUP BY total(a)",
                            "SELECT Max(a, b) FROM T", "SELECT LTrim(a, 'x') FROM T", "SELECT Count() FROM T"}) {
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
              "COLLATE DE");
}

TEST(AccessSqlNames, DateColumnsInTextsAreNotedAndWrappedWhenTheyAreDates)
{
    const auto t = translate("SELECT A.Name & ' ' & A.Geb, CStr(Max(B.Tag)), Left(A.Name, 1) "
                             "FROM A, (SELECT Tag & '' AS Tag FROM C) AS B");
    ASSERT_TRUE(t.ok) << t.error.toStdString();
    // Without the database nothing is known: plain columns stay as they are.
    EXPECT_EQ(t.sql.toStdString(), "SELECT AccConcat(A.Name, ' ', A.Geb) AS Ausdr1000, CStr(Max(B.Tag)) AS Ausdr1001, "
                                   "AccLeft(A.Name, 1) AS Ausdr1002 FROM A, (SELECT AccConcat(Tag, '') AS Tag FROM C) AS B");
    QStringList noted;
    for (const accesssql::DateSlot &s : t.dateSlots)
        noted << s.column + " @ " + s.from;
    const QString from = "A, (SELECT AccConcat(Tag, '') AS Tag FROM C) AS B";
    EXPECT_EQ(noted, QStringList({"A.Name @ " + from, "A.Geb @ " + from, "B.Tag @ " + from, "A.Name @ " + from,
                                  "Tag @ C"}));
    const auto d = accesssql::withDateColumns(
        t, [](const accesssql::DateSlot &s) { return s.column == "A.Geb" || s.column == "B.Tag"; });
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.sql.toStdString(),
              "SELECT AccConcat(A.Name, ' ', AccDateText(A.Geb)) AS Ausdr1000, CStr(AccDateText(Max(B.Tag))) AS Ausdr1001, "
              "AccLeft(A.Name, 1) AS Ausdr1002 FROM A, (SELECT AccConcat(Tag, '') AS Tag FROM C) AS B");
    // Known dates need no database.
    EXPECT_EQ(translate("SELECT 'am ' & #1/2/2024#, CStr(Date()), Format(Now()), Format(Now(), 'yyyy')").sql.toStdString(),
              "SELECT AccConcat('am ', AccDateText('2024-01-02')) AS Ausdr1000, CStr(AccDateText(Date())) AS Ausdr1001, "
              "Format(AccDateText(Now())) AS Ausdr1002, Format(Now(), 'yyyy') AS Ausdr1003");
}
