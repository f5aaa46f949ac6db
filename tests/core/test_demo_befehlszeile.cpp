// zandrel-demo's command line: German help with every option's default, and German refusals.
#include "tools/demo/befehlszeile.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(DemoBefehlszeile, HelpIsGermanAndNamesEveryOptionWithItsDefault)
{
    const QString t = demo::hilfeText("zandrel-demo");
    EXPECT_TRUE(t.startsWith("Aufruf: zandrel-demo --out <ordner> [Optionen]\n"));
    for (const char *englisch : {"Usage", "Options:", "Displays", "help on", "Default", "default"})
        EXPECT_FALSE(t.contains(QLatin1String(englisch))) << englisch;
    const QStringList zeilen = t.split('\n').filter(QRegularExpression("^  --?[a-gi-z]")); // all but the help
    EXPECT_EQ(zeilen.size(), 12);
    EXPECT_TRUE(t.contains(QRegularExpression("\n  -h, --help +Zeigt diese Hilfe an\.\n")));
    for (const QString &z : zeilen)
        EXPECT_TRUE(z.contains(QRegularExpression(" Standard: [^.]+\\.$"))) << z.toStdString();
    EXPECT_TRUE(t.contains(QRegularExpression("--pupils <n> +Anzahl der Schüler\\. Standard: 800\\.")));
    EXPECT_TRUE(t.contains(QRegularExpression("--seed <zahl> +Startwert des Zufallsgenerators\\. Standard: 2024\\.")));
    EXPECT_TRUE(t.contains(QRegularExpression("--today <datum> .* Standard: das heutige Datum\\.")));

    const demo::Befehlszeile h = demo::befehlszeileLesen({"zandrel-demo", "-h"});
    EXPECT_TRUE(h.hilfe);
    EXPECT_TRUE(h.fehler.isEmpty());
}

TEST(DemoBefehlszeile, ArgumentsBecomeOptionsAndFaultsAreRefusedInGerman)
{
    const demo::Befehlszeile b = demo::befehlszeileLesen(
        {"zandrel-demo", "-o", "/ziel", "--pupils", "12", "--no-index", "--older-layout", "--today", "2024-10-07",
         "--seed", "7", "--schulnummer", "1234"});
    EXPECT_TRUE(b.fehler.isEmpty()) << b.fehler.join('|').toStdString();
    EXPECT_FALSE(b.hilfe);
    EXPECT_EQ(b.optionen.out, "/ziel");
    EXPECT_EQ(b.optionen.pupils, 12);
    EXPECT_EQ(b.optionen.teachers, demo::Options().teachers);
    EXPECT_FALSE(b.optionen.indexes);
    EXPECT_EQ(b.optionen.layout, nmschema::Layout::Older);
    EXPECT_EQ(b.optionen.today, QDate(2024, 10, 7));
    EXPECT_EQ(b.optionen.seed, 7u);
    EXPECT_EQ(b.optionen.schulnummer, "1234");

    EXPECT_EQ(demo::befehlszeileLesen({"zandrel-demo", "--out", "/z", "--bogus"}).fehler,
              QStringList{"Unbekannte Option: --bogus"});
    EXPECT_EQ(demo::befehlszeileLesen({"zandrel-demo", "--out"}).fehler,
              QStringList{"Einer Option fehlt ihr Wert (siehe --help)."});
    EXPECT_EQ(demo::befehlszeileLesen({"zandrel-demo", "--pupils", "-3", "--today", "7.10.2024"}).fehler,
              (QStringList{"Ungültige Zahl für --pupils: -3", "Ungültiges Datum für --today: 7.10.2024",
                           "Bitte den Zielordner mit --out angeben."}));
}
