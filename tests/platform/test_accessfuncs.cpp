#include "platform/accessfuncs.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {
struct Verbindung {
    testsupport::Sandbox sb;
    zdb::Db db;
    Verbindung() { db.create(sb.file("f.db")); }
    QVariant s(const QString &sql, const zdb::Params &p = {}) { return db.scalar("SELECT " + sql, p); }
    QString t(const QString &sql, const zdb::Params &p = {}) { return s(sql, p).toString(); }
};
} // namespace

TEST(AccessFunctions, NullHandlingAndConditions)
{
    Verbindung v;
    EXPECT_EQ(v.t("IIf(1 = 1, 'ja', 'nein')"), QString("ja"));
    EXPECT_EQ(v.t("IIf(NULL, 'ja', 'nein')"), QString("nein"));
    EXPECT_EQ(v.t("Nz(NULL, 'leer')"), QString("leer"));
    EXPECT_EQ(v.s("Nz(0, 5)").toInt(), 0);
    EXPECT_EQ(v.s("AccIsNull(NULL)").toInt(), -1);
    EXPECT_EQ(v.s("AccIsNull('')").toInt(), 0);
}

TEST(AccessFunctions, TextFunctions)
{
    Verbindung v;
    EXPECT_EQ(v.s("Len('Größe')").toInt(), 5);
    EXPECT_TRUE(v.s("Len(NULL)").isNull());
    EXPECT_EQ(v.t("AccLeft('Müller', 2)"), QString("Mü"));
    EXPECT_EQ(v.t("AccRight('Müller', 3)"), QString("ler"));
    EXPECT_EQ(v.t("Mid('Müller', 2, 3)"), QString("üll"));
    EXPECT_EQ(v.t("Mid('Müller', 4)"), QString("ler"));
    EXPECT_EQ(v.s("InStr('Müller', 'L')").toInt(), 3);
    EXPECT_EQ(v.s("InStr(4, 'Müller', 'l')").toInt(), 4);
    EXPECT_EQ(v.s("InStr('Müller', 'x')").toInt(), 0);
    EXPECT_EQ(v.t("UCase('straße ä')"), QString("STRAßE Ä"));
    EXPECT_EQ(v.t("LCase('ÄRGER')"), QString("ärger"));
    EXPECT_EQ(v.t("Trim('  a\tb  ')"), QString("a\tb"));
    EXPECT_EQ(v.t("CStr(1.5)"), QString("1,5"));
}

TEST(AccessFunctions, NumbersAndConversions)
{
    Verbindung v;
    EXPECT_EQ(v.s("Val('12abc')").toInt(), 12);
    EXPECT_DOUBLE_EQ(v.s("Val(' 1.5x')").toDouble(), 1.5);
    EXPECT_EQ(v.s("Val('1,5')").toInt(), 1);
    EXPECT_EQ(v.s("Val('abc')").toInt(), 0);
    EXPECT_EQ(v.s("CInt(2.5)").toInt(), 2);
    EXPECT_EQ(v.s("CInt(3.5)").toInt(), 4);
    EXPECT_EQ(v.s("CLng('1,6')").toInt(), 2);
    EXPECT_DOUBLE_EQ(v.s("CDbl('1,5')").toDouble(), 1.5);
    EXPECT_THROW(v.s("CInt('abc')"), zdb::DbError);
    EXPECT_EQ(v.t("Format(1.5, '0.00')"), QString("1,50"));
    EXPECT_EQ(v.t("Format(1234.5, '#,##0.0')"), QString("1.234,5"));
    EXPECT_EQ(v.t("Format(3, '00')"), QString("03"));
}

TEST(AccessFunctions, DatesInTheirStoredForm)
{
    Verbindung v;
    EXPECT_EQ(v.s("Year('2024-03-05')").toInt(), 2024);
    EXPECT_EQ(v.s("Month('2024-03-05 08:00:00')").toInt(), 3);
    EXPECT_EQ(v.s("Day('2024-03-05')").toInt(), 5);
    EXPECT_EQ(v.t("Format('2024-03-05', 'dd.mm.yyyy')"), QString("05.03.2024"));
    EXPECT_EQ(v.t("Format('2024-03-05', 'ddd, d. mmmm yyyy')"), QString("Di, 5. März 2024"));
    EXPECT_EQ(v.t("Format('2024-03-05 08:07:09', 'hh:mm')"), QString("08:07"));
    EXPECT_EQ(v.t("Date()"), zdb::isoDate(QDate::currentDate()));
    EXPECT_EQ(v.t("Now()").left(10), zdb::isoDate(QDate::currentDate()));
}

TEST(AccessLike, FoldsCaseForUmlautsOnBothSides)
{
    Verbindung v;
    EXPECT_EQ(v.s("'Ärger' LIKE 'är%'").toInt(), 1);
    EXPECT_EQ(v.s("'öl' LIKE 'Ö_'").toInt(), 1);
    EXPECT_EQ(v.s("'Maße' LIKE 'MASSE'").toInt(), 0);
    EXPECT_EQ(v.s("'10%' LIKE '10!%' ESCAPE '!'").toInt(), 1);
    EXPECT_EQ(v.s("'100' LIKE '10!%' ESCAPE '!'").toInt(), 0);
    EXPECT_EQ(v.s("AccLike('Übermut', 'üBER*')").toInt(), 1);
    EXPECT_EQ(v.s("AccLike('10a', '##?')").toInt(), 1);
    EXPECT_EQ(v.s("AccLike('1a', '##?')").toInt(), 0);
    EXPECT_EQ(v.s("AccLike('Öz', '[ä-ö]*')").toInt(), 1);
    EXPECT_TRUE(v.s("AccLike(NULL, '*')").isNull());
    EXPECT_TRUE(accessfn::accessLike("AUS-Gast", "aus*"));
    EXPECT_FALSE(accessfn::sqlLike("5a", "5_b"));
}

TEST(Collations, GermanOrderAndCaseBlindComparison)
{
    Verbindung v;
    v.db.exec("CREATE TABLE n (name TEXT)");
    for (const char *n : {"Zander", "Öztürk", "Müller", "abel", "Mueller", "Ostermann", "Ärger"})
        v.db.exec("INSERT INTO n VALUES (?)", {QString::fromUtf8(n)});
    zdb::Result r = v.db.query("SELECT name FROM n ORDER BY name COLLATE DE");
    QStringList order;
    for (const auto &row : r.rows)
        order << row[0].toString();
    EXPECT_EQ(order.first(), QString("abel"));
    EXPECT_EQ(order.last(), QString("Zander"));
    EXPECT_LT(order.indexOf("Ärger"), order.indexOf("Mueller"));
    EXPECT_LT(order.indexOf("Ostermann"), order.indexOf("Öztürk"));
    EXPECT_EQ(v.s("'MÜL' = 'mül' COLLATE NOCASEU").toInt(), 1);
    EXPECT_EQ(v.s("'MÜL' = 'mül' COLLATE NOCASE").toInt(), 0);
    // Order without regard to case: ASCII texts, texts that part after an ASCII start, prefixes.
    const std::vector<std::tuple<const char *, const char *, int>> paare{
        {"10a", "10A", 0}, {"5a", "5B", -1}, {"Z", "_", 1},   {"ab", "ABC", -1}, {"abc", "AB", 1},
        {"Mül", "mÜL", 0}, {"Mül", "Mz", 1}, {"a", "Ä", -1},  {"Ärger", "ärger", 0}, {"", "a", -1}};
    for (const auto &[a, b, vorzeichen] : paare)
        EXPECT_EQ(v.db.scalar("SELECT CASE WHEN ?1 = ?2 COLLATE NOCASEU THEN 0 WHEN ?1 < ?2 COLLATE NOCASEU "
                              "THEN -1 ELSE 1 END",
                              {QString::fromUtf8(a), QString::fromUtf8(b)})
                      .toInt(),
                  vorzeichen)
            << a << " " << b;
}
