// Like in statements: ranges in the German order, and the pattern kept for a statement gives the
// same answers as one read for each row, for ASCII texts and any other.
#include "platform/accessfuncs.h"
#include "platform/accesssql.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

struct Namen {
    testsupport::Sandbox sb;
    zdb::Db db;
    Namen()
    {
        db.create(sb.file("n.db"));
        db.exec("CREATE TABLE Schüler (Name TEXT)");
        for (const char *n : {"Öztürk", "Ölmann", "äbel", "Abel", "Ärger", "Bauer", "Müller", "Nagel", "Über",
                              "Ulrich", "Zander", "1a-Gast", "_Test"})
            db.exec("INSERT INTO Schüler VALUES (?)", {QString::fromUtf8(n)});
    }
    // The names a typed statement's Like finds, in the order written.
    QStringList finden(const char *muster)
    {
        const QString sql = accesssql::translate(QStringLiteral("SELECT Name FROM Schüler WHERE Name Like \"%1\"")
                                                     .arg(QString::fromUtf8(muster)))
                                .sql;
        QStringList namen;
        for (const QVariantList &r : db.query(sql).rows)
            namen << r[0].toString();
        return namen;
    }
};

QStringList liste(std::initializer_list<const char *> namen)
{
    QStringList l;
    for (const char *n : namen)
        l << QString::fromUtf8(n);
    return l;
}

} // namespace

// An A–M / N–Z split of a class list keeps every pupil: an umlaut falls in its base letter's range.
TEST(LikeRanges, FollowTheGermanOrder)
{
    Namen n;
    EXPECT_EQ(n.finden("[A-M]*"), liste({"äbel", "Abel", "Ärger", "Bauer", "Müller"}));
    EXPECT_EQ(n.finden("[N-Z]*"), liste({"Öztürk", "Ölmann", "Nagel", "Über", "Ulrich", "Zander"}));
    EXPECT_EQ(n.finden("[A-Z]*").size(), 11);
    EXPECT_EQ(n.finden("[!A-N]*"), liste({"Öztürk", "Ölmann", "Über", "Ulrich", "Zander", "1a-Gast", "_Test"}));
    // The base letter as the upper bound, and a range of one letter.
    EXPECT_EQ(n.finden("[N-O]*"), liste({"Öztürk", "Ölmann", "Nagel"}));
    EXPECT_EQ(n.finden("[a-a]*"), liste({"äbel", "Abel", "Ärger"}));
    EXPECT_EQ(n.finden("[Ä-Ö]*"), liste({"Öztürk", "Ölmann", "äbel", "Ärger", "Bauer", "Müller", "Nagel"}));
    // Single characters of a set stay exact; digits keep their range.
    EXPECT_EQ(n.finden("[aä]bel"), liste({"äbel", "Abel"}));
    EXPECT_EQ(n.finden("[0-9]*"), liste({"1a-Gast"}));
    EXPECT_TRUE(accessfn::accessLike(QString::fromUtf8("Ölmann"), "[n-z]*"));
    EXPECT_FALSE(accessfn::accessLike(QString::fromUtf8("Ölmann"), "[p-z]*"));
}

// Each pair is matched three ways: pattern read once for the statement, pattern a column (read
// per row), and the library call; stored texts of ASCII and others, numbers as they show.
TEST(LikeKeptPattern, SameAnswersAsAPatternReadPerRow)
{
    struct Fall {
        const char *text, *muster;
        bool access, passt;
    };
    const Fall faelle[] = {
        {"Maier", "m*R", true, true},           {"MAIER", "ma?er", true, true},
        {"Ma3r", "ma#r", true, true},          {"Mair", "ma#r", true, false},
        {"\u212Aarl", "k*", true, true},        {"Karl", "\u212A*", true, true}, // Kelvin sign folds to k
        {"\u017Fchule", "s*", true, true},      {"Schule", "*\u017F*", true, true},
        {"Straße", "*SS*", true, false},        {"Straße", "*ß*", true, true},
        {"Müller", "m?ller", true, true},       {"Mueller", "m?ller", true, false},
        {"Zander", "[!a-m]*", true, true},      {"Zander", "[a-m]*", true, false},
        {"5a", "5_", false, true},              {"5ab", "5_", false, false},
        {"10%", "10\\%", false, true},          {"100", "10\\%", false, false},
        {"Ärger", "är%", false, true},          {"ÄRGER", "%G_R", false, true},
        {"M", "M %", false, false},             {"M 1", "M %", false, true},
        {"Ma", "mai*", true, false},            {"MÄRZ", "mä%", false, true}, // a start longer than the text,
        {"Ärger", "a*", true, false},           {"Mär", "mb%", false, false}, // or undecided at an umlaut
    };
    Namen n;
    n.db.exec("CREATE TABLE p (t TEXT, m TEXT)");
    for (const Fall &f : faelle) {
        const QString t = QString::fromUtf8(f.text), m = QString::fromUtf8(f.muster);
        const QString sql = f.access ? "SELECT AccLike(t, %1) FROM p" : "SELECT t LIKE %1 ESCAPE '\\' FROM p";
        n.db.exec("DELETE FROM p");
        // The same row three times: a kept pattern answers each row alike.
        for (int i = 0; i < 3; ++i)
            n.db.exec("INSERT INTO p VALUES (?, ?)", {t, m});
        for (const QString &form : {sql.arg("?"), sql.arg("m")})
            for (const QVariantList &r : n.db.query(form, {m}).rows)
                EXPECT_EQ(r[0].toInt(), f.passt ? 1 : 0) << f.text << " / " << f.muster << " / " << qPrintable(form);
        EXPECT_EQ(f.access ? accessfn::accessLike(t, m) : accessfn::sqlLike(t, m, '\\'), f.passt) << f.text;
    }
    // A number is matched as it shows; SQLite's LIKE reads it as SQLite writes it.
    EXPECT_EQ(n.db.scalar("SELECT AccLike(2.5, '2,*')").toInt(), 1);
    EXPECT_EQ(n.db.scalar("SELECT 2.5 LIKE '2.%'").toInt(), 1);
    // The escape may change from row to row while the pattern stays.
    n.db.exec("DELETE FROM p");
    n.db.exec("INSERT INTO p VALUES ('10%', '!'), ('10%', '\\')");
    const zdb::Result r = n.db.query("SELECT t LIKE '10!%' ESCAPE m FROM p");
    EXPECT_EQ(r.value(0, 0).toInt(), 1);
    EXPECT_EQ(r.value(1, 0).toInt(), 0);
}
