#include "records/abfragebau.h"
#include "test_listen_fixture.h"

using abfragebau::Zeile;
using abfragebau::kriteriumNormalisieren;

namespace {

QString bed(const QString &kriterium)
{
    return abfragebau::bedingung("T", "F", kriteriumNormalisieren(kriterium));
}

} // namespace

TEST(AbfrageBau, CriteriaAreNormalisedOnceAndStayStable)
{
    const QList<QPair<QString, QString>> faelle{
        {"Mei*er", "WIE \"Mei*er\""}, {"<>5", "<> \"5\""},     {"=5", "= \"5\""},
        {">=5", ">= \"5\""},          {"<= 7", "<= \"7\""},    {"> 3", "> \"3\""},
        {"<'M'", "< 'M'"},            {"O'Br*", "WIE O'Br*"},  {"=\"5a\"", "= \"5a\""},
        {">#1/1/2009#", "> #1/1/2009#"}, {"wie M*", "wie M*"}, {"  5a ", "5a"},
    };
    for (const auto &f : faelle) {
        EXPECT_EQ(kriteriumNormalisieren(f.first), f.second) << f.first.toStdString();
        EXPECT_EQ(kriteriumNormalisieren(f.second), f.second) << f.first.toStdString();
    }
}

TEST(AbfrageBau, ConditionsFromGermanWords)
{
    EXPECT_EQ(bed("Mei*er"), "((T.F) LIKE \"Mei*er\")");
    EXPECT_EQ(bed("5"), "((T.F)= '5')");
    EXPECT_EQ(bed(">=5"), "((T.F) >= \"5\")");
    EXPECT_EQ(bed("nicht null"), "((T.F) IS NOT NULL)");
    EXPECT_EQ(bed("Null"), "((T.F) IS NULL)");
    EXPECT_EQ(bed("WAHR"), "((T.F)= True)");
    EXPECT_EQ(bed("NICHT WAHR"), "((T.F)= False)");
    EXPECT_EQ(bed("falsch"), "((T.F)= False)");
    // Words inside names and quoted values stay as typed.
    EXPECT_EQ(bed("Wies*"), "((T.F) LIKE \"Wies*\")");
    EXPECT_EQ(bed("Wiesner"), "((T.F)= 'Wiesner')");
    EXPECT_EQ(bed("=\"Wahrmann\""), "((T.F) = \"Wahrmann\")");
    // An apostrophe in a bare value stays inside the literal.
    EXPECT_EQ(bed("O'Brien"), "((T.F)= 'O''Brien')");
    EXPECT_EQ(abfragebau::bedingung("Adressen", "Telefon", "nicht null"), "((Adressen.Telefon) IS NOT NULL)");
}

TEST(AbfrageBau, SelectFromAndOrderFollowTheRows)
{
    QVector<Zeile> z{{"Name", "Schüler", "", "", false},
                     {"Ort", "Adressen", "aufsteigend", "", false},
                     {"", "", "", "5a", false}, // a criterion without a table is not used
                     {"Vorname", "Schüler", "", "", false}};
    const QString sql = abfragebau::anweisungErstellen(z);
    EXPECT_EQ(sql, "SELECT \r\nFROM Schüler, Adressen\r\nORDER BY Adressen.Ort;");
    EXPECT_TRUE(abfragebau::hatSortierung(z));
    z[1].sortierung = " ";
    EXPECT_FALSE(abfragebau::hatSortierung(z));
    EXPECT_TRUE(abfragebau::anweisungErstellen(z).endsWith("ORDER BY ;"));

    EXPECT_EQ(abfragebau::spaltenName("Schüler", "Name 2"), "Schüler.[Name 2]");
}

class AbfrageBauDb : public listentest::ListenFixture {};

TEST_F(AbfrageBauDb, FieldListLeavesOutPasswordsAndEmptyTables)
{
    zdb::Db db;
    db.open(pfad, zdb::Db::ReadOnly);
    const QStringList lehrer = abfragebau::felderLesen(db, "Lehrkräfte");
    EXPECT_EQ(lehrer, QStringList({"Kürzel", "Name", "Vorname", "Dienstbezeichnung", "Geschlecht", "pwdh"}));
    EXPECT_TRUE(abfragebau::felderLesen(db, "Fächer").isEmpty());
    EXPECT_THROW(abfragebau::felderLesen(db, "Gibtsnicht"), zdb::DbError);
}
