#include "core/feiertag.h"
#include "core/mdl_zandrel.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

using feiertage::klassifizieren;

namespace {
mdl::typFeiertag tag(int y, int m, int d, const QVector<mdl::Ferienzeit> &ferien = {})
{
    return klassifizieren(QDate(y, m, d), ferien);
}
} // namespace

TEST(Feiertag, EasterSundayAcrossYears)
{
    EXPECT_EQ(feiertage::ostersonntag(2011), QDate(2011, 4, 24));
    EXPECT_EQ(feiertage::ostersonntag(2019), QDate(2019, 4, 21));
    EXPECT_EQ(feiertage::ostersonntag(2024), QDate(2024, 3, 31));
    EXPECT_EQ(feiertage::ostersonntag(2025), QDate(2025, 4, 20));
    EXPECT_EQ(feiertage::ostersonntag(2038), QDate(2038, 4, 25));
    EXPECT_EQ(feiertage::ostersonntag(2008), QDate(2008, 3, 23));
}

TEST(Feiertag, MovableHolidaysFollowEaster)
{
    EXPECT_EQ(tag(2024, 3, 29).Name, QString("Karfreitag"));
    EXPECT_EQ(tag(2024, 4, 1).Name, QString("Ostermontag"));
    EXPECT_EQ(tag(2024, 5, 9).Name, QString("Christi Himmelfahrt"));
    EXPECT_EQ(tag(2024, 5, 20).Name, QString("Pfingstmontag"));
    EXPECT_EQ(tag(2024, 5, 30).Name, QString("Fronleichnam"));
    EXPECT_EQ(tag(2025, 6, 19).Name, QString("Fronleichnam"));
    EXPECT_EQ(tag(2024, 5, 30).Farbe, 255);
    EXPECT_EQ(tag(2024, 8, 15).Name, QString("Mariä Himmelfahrt"));
    EXPECT_EQ(tag(2024, 1, 6).Name, QString("Heilige Drei Könige"));
}

TEST(Feiertag, BussUndBettagIsTheWednesdayBeforeNovember23)
{
    EXPECT_EQ(tag(2024, 11, 20).Name, QString("Buß- und Bettag"));
    EXPECT_EQ(tag(2023, 11, 22).Name, QString("Buß- und Bettag"));
    EXPECT_EQ(tag(2028, 11, 22).Name, QString("Buß- und Bettag")); // 23.11. is a Thursday
    EXPECT_EQ(tag(2022, 11, 16).Name, QString("Buß- und Bettag")); // 23.11. is a Wednesday itself
    EXPECT_EQ(tag(2022, 11, 16).Farbe, 65535);
    EXPECT_TRUE(tag(2022, 11, 23).Name.isEmpty());
}

TEST(Feiertag, AdventSundaysAreYellowAndWinOverSunday)
{
    EXPECT_EQ(tag(2024, 12, 1).Name, QString("1. Advent"));
    EXPECT_EQ(tag(2024, 12, 22).Name, QString("4. Advent"));
    EXPECT_EQ(tag(2024, 12, 22).Farbe, 65535);
    // Christmas Eve on a Sunday is the 4th Advent; 25.12. on a Sunday puts it on the 18th.
    EXPECT_EQ(tag(2023, 12, 24).Name, QString("4. Advent"));
    EXPECT_EQ(tag(2023, 12, 3).Name, QString("1. Advent"));
    EXPECT_EQ(tag(2022, 12, 18).Name, QString("4. Advent"));
    EXPECT_EQ(tag(2022, 11, 27).Name, QString("1. Advent"));
    EXPECT_EQ(tag(2022, 12, 25).Name, QString("1. Weihnachtstag"));
}

TEST(Feiertag, PrecedenceHolidaySundayPeriodSaturday)
{
    const QVector<mdl::Ferienzeit> ferien = {{"28.10.2024", "03.11.2024", "Herbstferien"},
                                             {"23.12.2024", "03.01.2025", "Weihnachtsferien"}};
    EXPECT_EQ(tag(2024, 3, 31).Name, QString("Ostersonntag")); // not "Sonntag"
    EXPECT_EQ(tag(2024, 3, 31).Farbe, 255);
    EXPECT_EQ(tag(2024, 11, 1, ferien).Name, QString("Allerheiligen"));
    EXPECT_EQ(tag(2024, 11, 3, ferien).Name, QString("Sonntag"));
    EXPECT_EQ(tag(2024, 11, 3, ferien).Farbe, 255);
    EXPECT_EQ(tag(2024, 11, 2, ferien).Name, QString("Herbstferien")); // a Saturday inside the period
    EXPECT_EQ(tag(2024, 11, 2, ferien).Farbe, 65535);
    EXPECT_EQ(tag(2024, 10, 28, ferien).Name, QString("Herbstferien")); // first day included
    EXPECT_EQ(tag(2025, 1, 3, ferien).Name, QString("Weihnachtsferien")); // last day included
    EXPECT_EQ(tag(2025, 1, 1, ferien).Name, QString("Neujahr"));
    EXPECT_EQ(tag(2024, 11, 9).Name, QString("Samstag"));
    EXPECT_EQ(tag(2024, 11, 9).Farbe, 65535);
    const mdl::typFeiertag werktag = tag(2024, 11, 5, ferien);
    EXPECT_TRUE(werktag.Name.isEmpty());
    EXPECT_EQ(werktag.Farbe, 0);
    // The first period without a first day ends the table.
    const QVector<mdl::Ferienzeit> ende = {{"", "", ""}, {"28.10.2024", "03.11.2024", "Herbstferien"}};
    EXPECT_TRUE(tag(2024, 10, 29, ende).Name.isEmpty());
}

TEST(FerienDatei, ReadsPeriodsAndSkipsCommentsAndMalformedLines)
{
    const QByteArray text = "# Kommentar;01.01.2024;x\r\n"
                            "28.10.2024;31.10.2024;Herbstferien\r\n"
                            "\r\n"
                            "1.11.2024;2.11.2024;zu kurz geschrieben\n"
                            "31.02.2024;01.03.2024;kein Datum\n"
                            "05.03.2024;01.03.2024;Ende vor Anfang\n"
                            "05.03.2024;06.03.2024\n"
                            "  23.12.2024 ; 03.01.2025 ; Weihnachtsferien; mit Strichpunkt  \n"
                            "17.02.2025;21.02.2025;Frühjahrsferien";
    const auto p = feiertage::lesen(text);
    ASSERT_EQ(p.size(), 3);
    EXPECT_EQ(p[0].von, QString("28.10.2024"));
    EXPECT_EQ(p[0].name, QString("Herbstferien"));
    EXPECT_EQ(p[1].name, QString("Weihnachtsferien; mit Strichpunkt"));
    EXPECT_EQ(p[2].name, QString("Frühjahrsferien"));
}

TEST(FerienDatei, TheTableHoldsAtMost1000Periods)
{
    QByteArray text;
    for (int i = 0; i < 1001; ++i)
        text += "01.01.2024;02.01.2024;Ferien " + QByteArray::number(i) + "\n";
    const auto p = feiertage::lesen(text);
    ASSERT_EQ(p.size(), 1000);
    EXPECT_EQ(p.last().name, QString("Ferien 999"));
}

TEST(FerienDatei, OlderFilesInWindows1252AreRead)
{
    const QByteArray text = textcodec::toWindows1252(QStringLiteral("17.02.2025;21.02.2025;Frühjahrsferien\n"));
    const auto p = feiertage::lesen(text);
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].name, QString("Frühjahrsferien"));
}

TEST(FerienDatei, MissingFileGetsTheExplainingDefaultWithoutDates)
{
    testsupport::Sandbox sb;
    mdl::DatenPfad = mdl::MitBackslash(sb.path());
    mdl::Ferien = {{"01.01.2000", "02.01.2000", "alt"}};
    mdl::FerienVorbereiten();
    QFile f(sb.file("Zandrel Ferien.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray inhalt = f.readAll();
    EXPECT_TRUE(QString::fromUtf8(inhalt).contains("TT.MM.JJJJ"));
    EXPECT_TRUE(feiertage::lesen(inhalt).isEmpty());
    EXPECT_TRUE(mdl::Ferien.isEmpty());
    f.close();

    QFile w(sb.file("Zandrel Ferien.txt"));
    ASSERT_TRUE(w.open(QIODevice::WriteOnly));
    w.write("28.10.2024;31.10.2024;Herbstferien\n");
    w.close();
    mdl::FerienVorbereiten();
    ASSERT_EQ(mdl::Ferien.size(), 1);
    EXPECT_EQ(mdl::Feiertag(QDate(2024, 10, 30)).Name, QString("Herbstferien"));
    mdl::Ferien.clear();
    mdl::DatenPfad.clear();
}

TEST(FerienDatei, AFileThatCannotBeWrittenIsReportedWithFileAndReason)
{
    testsupport::Sandbox sb;
    // A data folder without write permission (as an ordinary user meets it, also under root).
    const QString antwort = testsupport::imKind([&] {
        if (!testsupport::alsGewoehnlicherBenutzer())
            return QStringLiteral("<keine Rechte abgegeben>");
        chmod(QFile::encodeName(sb.path()).constData(), 0500);
        mdl::DatenPfad = mdl::MitBackslash(sb.path());
        testsupport::MsgRecorder boxes;
        mdl::FerienVorbereiten();
        return boxes.texts().join(QStringLiteral("|"));
    });
    chmod(QFile::encodeName(sb.path()).constData(), 0700);
    EXPECT_EQ(antwort, "Die Ferien-Datei \"Zandrel Ferien.txt\" konnte nicht angelegt werden.\r\rDatei: "
                           + sb.file("Zandrel Ferien.txt") + "\rGrund: Keine Schreibberechtigung im Ordner \""
                           + sb.path() + "\".");
    EXPECT_FALSE(QFile::exists(sb.file("Zandrel Ferien.txt")));

    // A data folder that is not there.
    testsupport::MsgRecorder boxes;
    mdl::DatenPfad = mdl::MitBackslash(sb.file("weg"));
    mdl::FerienVorbereiten();
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith("Die Ferien-Datei \"Zandrel Ferien.txt\" konnte nicht angelegt werden.\r\r"
                                            "Datei: " + sb.file("weg/Zandrel Ferien.txt") + "\rGrund: Der Ordner"));
    EXPECT_TRUE(mdl::Ferien.isEmpty());
    mdl::DatenPfad.clear();
}

TEST(FerienDatei, AFileThatCannotBeReadIsReportedAndNoHolidaysAreKept)
{
    testsupport::Sandbox sb;
    ASSERT_TRUE(QDir(sb.path()).mkdir("Zandrel Ferien.txt")); // a folder under the file's name
    mdl::DatenPfad = mdl::MitBackslash(sb.path());
    mdl::Ferien = {{"01.01.2000", "02.01.2000", "alt"}};
    testsupport::MsgRecorder boxes;
    mdl::FerienVorbereiten();
    EXPECT_EQ(boxes.texts(), QStringList{"Die Ferien-Datei \"Zandrel Ferien.txt\" konnte nicht gelesen werden; die "
                                         "Kalender zeigen keine Ferien.\r\rDatei: " + sb.file("Zandrel Ferien.txt")
                                         + "\rGrund: Unter diesem Namen gibt es bereits einen Ordner."});
    EXPECT_TRUE(mdl::Ferien.isEmpty());
    mdl::DatenPfad.clear();
}

// The network folder cannot be asked for just now: the school's file is not taken for a missing one
// and replaced by the default, and the message says why nothing was read.
TEST(FerienDatei, AFileWhoseFolderCannotBeReachedIsNotReplaced)
{
    testsupport::Sandbox sb;
    const QString pfad = sb.file("Zandrel Ferien.txt");
    const QByteArray schule = "Herbstferien;28.10.2024;31.10.2024\r\n";
    ASSERT_TRUE(safefile::writeFile(pfad, schule));
    mdl::DatenPfad = mdl::MitBackslash(sb.path());
    testsupport::MsgRecorder boxes;
    {
        const testsupport::OrdnerWeg weg(pfad, ENOTCONN);
        mdl::FerienVorbereiten();
    }
    EXPECT_EQ(boxes.texts(), QStringList{"Die Ferien-Datei \"Zandrel Ferien.txt\" konnte nicht gelesen werden; die "
                                         "Kalender zeigen keine Ferien.\r\rDatei: " + pfad
                                         + "\rGrund: Die Verbindung zum Netzwerkordner ist unterbrochen."});
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), schule);
    mdl::DatenPfad.clear();
}

TEST(FerienDatei, NoFileIsWrittenWithoutDataFolder)
{
    testsupport::Sandbox sb;
    mdl::DatenPfad.clear();
    const QString vorher = QDir::currentPath();
    QDir::setCurrent(sb.path());
    mdl::FerienVorbereiten();
    EXPECT_FALSE(QFile::exists(sb.file("Zandrel Ferien.txt")));
    QDir::setCurrent(vorher);
}
