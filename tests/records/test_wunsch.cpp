// "Wunsch.txt": which courses count, how coupled classes merge into one group, the line form
// (95 fields, 30 groups), the bytes of the file and the messages of the menu action.
#include "test_lnw_fixture.h"

#include "records/wunschzettel.h"
#include "core/mdl_zandrel.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using wunsch::Kurs;

namespace {

QStringList felder(const QString &zeile)
{
    EXPECT_TRUE(zeile.startsWith('"') && zeile.endsWith('"')) << zeile.toStdString();
    return zeile.mid(1, zeile.size() - 2).split("\",\"");
}

Kurs kurs(const QString &le, const QString &key, const QString &k, const QString &s, const QString &f)
{
    return {le, "Beispiel", "Carla", "StRin", key, k, s, f};
}

// A grade-manager file with teachers; the program's folder is a sandbox folder.
struct Schule {
    lnwtest::NM nm;
    testsupport::Sandbox programm;

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
    void lehrer(const QString &k, const QVariant &name, const QString &vorname = "Eva")
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
    QString datei() const { return programm.file("Wunsch.txt"); }
};

} // namespace

TEST(Wunsch, ClassesMergeByTheirFirstTwoCharacters)
{
    QString t;
    for (const char *k : {"10a", "10b", "10c"})
        t = wunsch::klassenMischen(t, k);
    EXPECT_EQ(t, "10abc");
    EXPECT_EQ(wunsch::klassenMischen("5a", "5b"), "5a5b");
    EXPECT_EQ(wunsch::klassenMischen("10a", "9c"), "10a9c");
    EXPECT_EQ(wunsch::klassenMischen("Q11", "q12"), "Q11q12"); // compared with regard to case
    EXPECT_EQ(wunsch::klassenMischen("", "7"), "7");
}

TEST(Wunsch, HeaderHas95FieldsAnd536Characters)
{
    const QString kopf = wunsch::kopfzeile();
    EXPECT_EQ(kopf.size(), 536);
    const QStringList f = felder(kopf);
    ASSERT_EQ(f.size(), 95);
    EXPECT_EQ(f.mid(0, 7), QStringList({"LE", "NN", "VN", "DB", "F1", "K1", "S1"}));
    EXPECT_EQ(f.mid(91), QStringList({"F30", "K30", "S30", "X"}));
}

TEST(Wunsch, WorkedExampleGivesFourGroups)
{
    const QVector<Kurs> k{kurs("ABC", "", "10a", "4", "D"),     kurs("ABC", "", "7b", "4", "E"),
                          kurs("ABC", "ABC-1", "10a", "2", "K"), kurs("ABC", "ABC-1", "10b", "2", "K"),
                          kurs("ABC", "ABC-1", "10c", "2", "K"), kurs("ABC", "ABC-2", "5a", "2", "Sp"),
                          kurs("ABC", "ABC-2", "5b", "2", "Sp")};
    const QStringList zeilen = wunsch::lehrerZeilen(k);
    ASSERT_EQ(zeilen.size(), 1);
    EXPECT_EQ(zeilen[0].size(), 329);
    const QStringList f = felder(zeilen[0]);
    ASSERT_EQ(f.size(), 95);
    EXPECT_EQ(f.mid(0, 16), QStringList({"ABC", "Beispiel", "Carla", "StRin", "D", "10a", "4", "E", "7b", "4", "K",
                                         "10abc", "2", "Sp", "5a5b", "2"}));
    EXPECT_EQ(f.mid(16, 78), QStringList(78, QString()));
    EXPECT_EQ(f.last(), "X");
}

TEST(Wunsch, CoupledGroupTakesSubjectAndHoursOfItsLastRow)
{
    const QStringList zeilen = wunsch::lehrerZeilen(
        {kurs("AB", "AB-1", "8a", "1", "Ku"), kurs("AB", "AB-1", "8b", "3", "Kx")});
    EXPECT_EQ(felder(zeilen[0]).mid(4, 4), QStringList({"Kx", "8a8b", "3", ""}));
}

TEST(Wunsch, ThirtyGroupsAtMostAndTheNextTeacherUntouched)
{
    QVector<Kurs> k;
    for (int i = 1; i <= 31; ++i)
        k << kurs("AB", "", QString("%1a").arg(i), "1", "M");
    k << kurs("CD", "", "5a", "2", "D");
    const QStringList mit = wunsch::lehrerZeilen(k);
    ASSERT_EQ(mit.size(), 2);
    const QStringList f = felder(mit[0]);
    ASSERT_EQ(f.size(), 95);
    EXPECT_EQ(f[91], "M");
    EXPECT_EQ(f[92], "30a");
    EXPECT_FALSE(mit[0].contains("31a"));
    EXPECT_EQ(mit[1], wunsch::lehrerZeilen({kurs("CD", "", "5a", "2", "D")})[0]);

    k.remove(30, 2); // exactly 30: no empty group
    EXPECT_EQ(felder(wunsch::lehrerZeilen(k)[0])[93], "1");
}

TEST(Wunsch, StatementLeavesOutTraineesAdminsEmptyClassesAndSmdSwd)
{
    Schule s;
    s.lehrer("AB", "Zett", "Anna");
    s.lehrer("REFA", "Anfang");  // four characters: trainee
    s.lehrer("X", "Admin");
    s.lehrer("xs", "Sekretariat");
    s.lehrer("OHNE", "Ohne");
    s.lehrer("CD", "Ärmel", "Bea"); // sorts as "Armel"
    s.lehrer("EF", "O'Brien");
    s.kurs("Sp m", "5a", "ab", 1.5, "1"); // joined without regard to case
    s.kurs("D", "5b", "AB");
    s.kurs("M", "", "AB");
    s.kurs("M", QVariant(), "AB");
    s.kurs("Smd", "6a", "AB");
    s.kurs("swd 2", "6a", "AB");
    s.kurs("E", "7a", "REFA");
    s.kurs("E", "7a", "X");
    s.kurs("E", "7a", "XS");
    s.kurs("Ch", "9c", "CD", QVariant());
    s.kurs(QVariant(), "9d", "EF");

    const QVector<Kurs> k = wunsch::kurseLesen(s.nm.db);
    QStringList gelesen;
    for (const Kurs &r : k)
        gelesen << r.LE + "|" + r.NN + "|" + r.MixKoppel + "|" + r.K + "|" + r.S + "|" + r.F;
    EXPECT_EQ(gelesen, QStringList({"CD|Ärmel||9c||Ch", "EF|O'Brien||9d|2|", "AB|Zett||5b|2|D", "AB|Zett|AB-1|5a|1,5|Sp"}))
        << gelesen.join("; ").toStdString();
}

TEST(Wunsch, MenuActionWritesWindows1252WithCrLf)
{
    Schule s;
    s.lehrer("MÜ", "Müller", "Jürgen");
    s.kurs("M", "5a", "MÜ", 4);
    testsupport::MsgRecorder boxes;
    wunsch::mnuWunschzettel_Click();

    const QString pfad = QDir::toNativeSeparators(s.datei());
    EXPECT_EQ(boxes.texts(), QStringList({"Die Datei wurde unter\r\r" + pfad +
                                          "\r\rabgespeichert.\r\r\r\rHinweis: Lehrkräfte mit Kürzellänge=4 "
                                          "(Referendare) wurden ausgefiltert."}));
    QFile f(s.datei());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    EXPECT_TRUE(b.endsWith("\"X\"\r\n"));
    EXPECT_EQ(b.count("\r\n"), 2);
    EXPECT_EQ(b.count('\n'), 2);
    EXPECT_TRUE(b.contains("\"M\xDC\",\"M\xFCller\",\"J\xFCrgen\",\"StR\",\"M\",\"5a\",\"4\","));
}

TEST(Wunsch, NoCoursesKeepsTheOldFile)
{
    Schule s;
    s.lehrer("AB", "Zett");
    QFile alt(s.datei());
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("alt");
    alt.close();
    testsupport::MsgRecorder boxes;
    wunsch::mnuWunschzettel_Click();
    EXPECT_EQ(boxes.texts(), QStringList({"Es wurden keine Daten gefunden."}));
    ASSERT_TRUE(alt.open(QIODevice::ReadOnly));
    EXPECT_EQ(alt.readAll(), "alt");
}

TEST(Wunsch, UnwritableFolderIsReportedNotFatal)
{
    Schule s;
    s.lehrer("AB", "Zett");
    s.kurs("M", "5a", "AB");
    qputenv("ZANDREL_HOME", s.programm.file("fehlt").toUtf8());
    testsupport::MsgRecorder boxes;
    wunsch::mnuWunschzettel_Click();
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains("konnte nicht geschrieben werden")) << boxes.texts()[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(s.programm.file("fehlt")));
}
