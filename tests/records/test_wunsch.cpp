// "Wunsch.txt": which courses count, how coupled classes merge into one group, the line form
// (95 fields, 30 groups), the file's bytes and the messages of the menu action.
#include "test_lnw_fixture.h"

#include "records/wunschzettel.h"
#include "core/mdl_zandrel.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using wunsch::Kurs;

namespace {

QStringList felder(const QString &zeile) { return zeile.mid(1, zeile.size() - 2).split("\",\""); }

Kurs kurs(const QString &le, const QString &key, const QString &k, const QString &s, const QString &f)
{
    return {le, "Beispiel", "Carla", "StRin", key, k, s, f};
}

// A grade-manager file; the program's folder is a sandbox folder.
struct Schule {
    lnwtest::NM nm;
    testsupport::Sandbox programm;
    testsupport::MsgRecorder boxes;

    Schule()
    {
        qputenv("ZANDREL_HOME", programm.path().toUtf8());
        mdl::NMDateiParameter = nm.path();
    }
    ~Schule()
    {
        qunsetenv("ZANDREL_HOME");
        mdl::NMDatenbankZuruecksetzen();
        mdl::NMDateiParameter.clear();
    }
    void lehrer(const QString &k, const QString &name, const QString &vorname = "Eva")
    {
        nm.db.exec("INSERT INTO Lehrkräfte (Kürzel, Name, Vorname, Dienstbezeichnung) VALUES (?, ?, ?, 'StR')",
                   {k, name, vorname});
    }
    void kurs(const QVariant &fach, const QVariant &klasse, const QString &lehrer, const QVariant &std = 2,
              const QVariant &koppel = QVariant())
    {
        nm.db.exec("INSERT INTO Unterricht (Fach, Klasse, Lehrkraft, AnzStd, Koppel) VALUES (?, ?, ?, ?, ?)",
                   {fach, klasse, lehrer, std, koppel});
    }
};

} // namespace

TEST(Wunsch, WorkedExampleGivesFourGroupsIn95Fields)
{
    EXPECT_EQ(wunsch::kopfzeile().size(), 536);
    EXPECT_EQ(felder(wunsch::kopfzeile()).mid(91), QStringList({"F30", "K30", "S30", "X"}));
    const QStringList zeilen = wunsch::lehrerZeilen(
        {kurs("ABC", "", "10a", "4", "D"), kurs("ABC", "", "7b", "4", "E"), kurs("ABC", "ABC-1", "10a", "2", "K"),
         kurs("ABC", "ABC-1", "10b", "2", "K"), kurs("ABC", "ABC-1", "10c", "2", "K"),
         kurs("ABC", "ABC-2", "5a", "2", "Sp"), kurs("ABC", "ABC-2", "5b", "3", "Sx"), kurs("DE", "DE-1", "Q11", "1", "M"),
         kurs("DE", "DE-1", "q12", "1", "M")});
    ASSERT_EQ(zeilen.size(), 2);
    EXPECT_EQ(felder(zeilen[1])[5], "Q11q12"); // classes compared with regard to case
    EXPECT_EQ(zeilen[0].size(), 329);
    const QStringList f = felder(zeilen[0]);
    EXPECT_EQ(f.mid(0, 16), QStringList({"ABC", "Beispiel", "Carla", "StRin", "D", "10a", "4", "E", "7b", "4", "K",
                                         "10abc", "2", "Sx", "5a5b", "3"})); // subject and hours of the last row
    EXPECT_EQ(f.mid(16), QStringList(78, QString()) << "X");
}

TEST(Wunsch, ThirtyGroupsAtMostAndTheNextTeacherUntouched)
{
    QVector<Kurs> k;
    for (int i = 1; i <= 31; ++i)
        k << kurs("AB", "", QString("%1a").arg(i), "1", "M");
    k << kurs("CD", "", "5a", "2", "D");
    const QStringList zeilen = wunsch::lehrerZeilen(k);
    ASSERT_EQ(zeilen.size(), 2);
    EXPECT_EQ(felder(zeilen[0]).mid(91), QStringList({"M", "30a", "1", "X"}));
    EXPECT_EQ(zeilen[1], wunsch::lehrerZeilen({kurs("CD", "", "5a", "2", "D")})[0]);
}

TEST(Wunsch, StatementLeavesOutTraineesAdminsEmptyClassesAndSmdSwd)
{
    Schule s;
    s.lehrer("AB", "Zett", "Anna");
    for (const char *k : {"REFA", "X", "xs", "OHNE"})
        s.lehrer(k, k);
    s.lehrer("CD", "Ärmel", "Bea"); // sorts as "Armel"
    s.lehrer("EF", "O'Brien");
    s.kurs("Sp m", "5a", "ab", 1.5, "1"); // joined without regard to case
    s.kurs("D", "5b", "AB");
    s.kurs("M", "", "AB");
    s.kurs("M", QVariant(), "AB");
    s.kurs("Smd", "6a", "AB");
    s.kurs("swd 2", "6a", "AB");
    for (const char *k : {"REFA", "X", "XS"})
        s.kurs("E", "7a", k);
    s.kurs("Ch", "9c", "CD", QVariant());
    s.kurs(QVariant(), "9d", "EF");
    QStringList gelesen;
    for (const Kurs &r : wunsch::kurseLesen(s.nm.db))
        gelesen << r.LE + "|" + r.NN + "|" + r.MixKoppel + "|" + r.K + "|" + r.S + "|" + r.F;
    EXPECT_EQ(gelesen.join("; "), "CD|Ärmel||9c||Ch; EF|O'Brien||9d|2|; AB|Zett||5b|2|D; AB|Zett|AB-1|5a|1,5|Sp");
}

TEST(Wunsch, FileIsWindows1252WithCrLfOrTheResultSaysWhyNot)
{
    testsupport::Sandbox ordner;
    const QVector<Kurs> kurse{{"MÜ", "Müller", "Jürgen", "StR", "", "5a", "4", "M"}};
    const QString hinweis = "\r\rabgespeichert.\r\r\r\rHinweis: Lehrkräfte mit Kürzellänge=4 (Referendare) wurden ausgefiltert.";
    struct Fall {
        QVector<Kurs> kurse;
        QString pfad;
        bool geschrieben;
        QString meldung;
    };
    const QString gut = ordner.file("Wunsch.txt"), fehlt = ordner.file("fehlt/Wunsch.txt");
    const QVector<Fall> faelle{
        {{}, gut, false, "Es wurden keine Daten gefunden."},
        {kurse, fehlt, false,
         "Die Datei konnte nicht geschrieben werden.\r\rDatei: " + QDir::toNativeSeparators(fehlt)
             + "\rGrund: Der Ordner \"" + QDir::toNativeSeparators(ordner.file("fehlt")) + "\" existiert nicht."},
        {kurse, gut, true, "Die Datei wurde unter\r\r" + QDir::toNativeSeparators(gut) + hinweis},
    };
    for (const Fall &f : faelle) {
        const wunsch::Ergebnis e = wunsch::dateiErstellen(f.kurse, f.pfad);
        EXPECT_EQ(e.geschrieben, f.geschrieben) << f.meldung.toStdString();
        EXPECT_EQ(e.meldung, f.meldung);
        EXPECT_EQ(QFile::exists(f.pfad), f.geschrieben) << f.meldung.toStdString();
    }
    QFile datei(gut);
    ASSERT_TRUE(datei.open(QIODevice::ReadOnly));
    const QByteArray b = datei.readAll();
    EXPECT_EQ(b.count("\r\n"), 2);
    EXPECT_EQ(b.count('\n'), 2);
    EXPECT_TRUE(b.contains("\"M\xDC\",\"M\xFCller\",\"J\xFCrgen\",\"StR\",\"M\",\"5a\",\"4\","));
}

TEST(Wunsch, MenuActionReadsTheGradeManagerAndShowsTheResult)
{
    Schule s;
    s.lehrer("MÜ", "Müller", "Jürgen");
    s.kurs("M", "5a", "MÜ", 4);
    wunsch::mnuWunschzettel_Click();
    ASSERT_EQ(s.boxes.texts().size(), 1);
    EXPECT_TRUE(s.boxes.texts().last().startsWith("Die Datei wurde unter\r\r"));
    EXPECT_TRUE(QFile::exists(s.programm.file("Wunsch.txt")));
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
}
