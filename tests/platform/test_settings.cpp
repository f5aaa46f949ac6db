#include "platform/folders.h"
#include "platform/settings.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
void schreiben(const QString &pfad, const QByteArray &inhalt)
{
    QDir().mkpath(QFileInfo(pfad).path());
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}
} // namespace

TEST(SettingsStore, KeepsTextsPerSectionInTheUsersOwnFolder)
{
    testsupport::Sandbox sb;
    EXPECT_EQ(settings::getSetting("Fenster", "LNWWidth", "9000"), QString("9000"));
    settings::saveSetting("Fenster", "LNWWidth", "12000");
    settings::saveSetting("Save", "LNW", "/home/x/Listen, alt");
    EXPECT_EQ(settings::getSetting("Fenster", "LNWWidth", "9000"), QString("12000"));
    EXPECT_EQ(settings::getSetting("Save", "LNW"), QString("/home/x/Listen, alt"));
    EXPECT_TRUE(QFileInfo::exists(sb.file("config/Zandrel/Zandrel.ini")));
}

// A value saved again unchanged leaves the file alone (the safe writer would put a new file in its
// place); a changed one replaces it.
TEST(SettingsStore, AnUnchangedValueIsNotWrittenAgain)
{
    testsupport::Sandbox sb;
    settings::saveSetting("Fenster", "AP1Top", "300");
    const QByteArray datei = sb.file("config/Zandrel/Zandrel.ini").toLocal8Bit();
    auto inode = [&] {
        struct stat st {};
        return ::stat(datei.constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    const ino_t erst = inode();
    ASSERT_NE(erst, ino_t(0));
    settings::saveSetting("Fenster", "AP1Top", "300");
    EXPECT_EQ(inode(), erst);
    settings::saveSetting("Fenster", "AP1Top", "310");
    EXPECT_NE(inode(), erst);
    EXPECT_EQ(settings::getSetting("Fenster", "AP1Top"), QString("310"));
}

TEST(SettingsStore, EachSandboxHasItsOwnStore)
{
    {
        testsupport::Sandbox a;
        settings::saveSetting("PFAD", "sd.df1", "/a/sd.df1");
    }
    testsupport::Sandbox b;
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1", "-"), QString("-"));
}

// Every text comes back as it was saved, and what QSettings wrote before is kept.
TEST(SettingsStore, TextsComeBackAsTheyWereSaved)
{
    testsupport::Sandbox sb;
    {
        QSettings frueher(sb.file("config/Zandrel/Zandrel.ini"), QSettings::IniFormat);
        frueher.setValue("Save/Excel", "C:\\Listen\\Klasse 5a, alt");
        frueher.setValue("Größe/Höhe", "  7 \"cm\"");
    }
    const QStringList werte{"/home/x/Listen, alt", "C:\\Users\\Müller\\", "@Variant(7)", " a\tb\n", "", "ä;#=[x]"};
    for (int i = 0; i < werte.size(); ++i)
        settings::saveSetting("Fenster", QString("Wert %1").arg(i), werte[i]);
    for (int i = 0; i < werte.size(); ++i)
        EXPECT_EQ(settings::getSetting("Fenster", QString("Wert %1").arg(i), "-"), werte[i]) << i;
    EXPECT_EQ(settings::getSetting("Save", "Excel"), QString("C:\\Listen\\Klasse 5a, alt"));
    EXPECT_EQ(settings::getSetting("Größe", "Höhe"), QString("  7 \"cm\""));
    // And QSettings reads the file as it was written.
    const QString kopie = sb.file("kopie.ini");
    ASSERT_TRUE(QFile::copy(sb.file("config/Zandrel/Zandrel.ini"), kopie));
    QSettings lesen(kopie, QSettings::IniFormat);
    for (int i = 0; i < werte.size(); ++i)
        EXPECT_EQ(lesen.value(QString("Fenster/Wert %1").arg(i)).toString(), werte[i]) << i;
    EXPECT_EQ(lesen.value("Größe/Höhe").toString(), QString("  7 \"cm\""));
    // Saved one after the other in the same moment, each is read as it now is.
    for (int i = 0; i < 20; ++i) {
        settings::saveSetting("Fenster", "ListenHeight", QString::number(5000 + i));
        EXPECT_EQ(settings::getSetting("Fenster", "ListenHeight"), QString::number(5000 + i));
    }
}

// A full disk: the setting is not saved, the message says so with the file, once for several
// settings, and the store keeps what it held.
TEST(SettingsStore, ASettingThatCannotBeSavedIsToldWithTheFile)
{
    testsupport::Sandbox sb;
    settings::saveSetting("Save", "SaveSQL", "/home/x/Abfragen");
    const QString antwort = testsupport::beiVollemDatentraeger([] {
        testsupport::MsgRecorder boxes;
        settings::saveSetting("Fenster", "ListenHeight", QString(3000, 'x'));
        settings::saveSetting("Fenster", "ListenWidth", QString(3000, 'y'));
        return boxes.texts().join("|");
    });
    const QString datei = sb.file("config/Zandrel/Zandrel.ini");
    EXPECT_EQ(antwort, "Die Einstellung \"ListenHeight\" konnte nicht gespeichert werden.\r\rDatei: " + datei
                           + "\rGrund: Der Datenträger ist voll oder die Datei wird zu groß.");
    EXPECT_EQ(settings::getSetting("Save", "SaveSQL"), QString("/home/x/Abfragen"));
    EXPECT_EQ(settings::getSetting("Fenster", "ListenHeight", "-"), QString("-"));
}

TEST(RegistryStandIn, MachineFileFirstUserFileAsFallbackValuesAsWritten)
{
    testsupport::Sandbox sb;
    schreiben(sb.file("xdg/Zandrel/nmSV.ini"), "; Notenmanager\n[nmSV]\ndbFilePath = /srv/noten, 2024\n"
                                                "[Zandrel]\nWunschzettelSchulnummer=0815\n");
    schreiben(sb.file("config/Zandrel/nmSV.ini"), "[NMSV]\r\ndbfilepath=/home/x\r\ndbFileName=\"nm daten.mdb\"\r\n");
    EXPECT_EQ(registry::nmValue("dbFilePath"), QString("/srv/noten, 2024"));
    EXPECT_EQ(registry::nmValue("dbFileName"), QString("nm daten.mdb"));
    EXPECT_EQ(registry::nmValue("WinSDDB"), QString());
    EXPECT_EQ(registry::installationValue("WunschzettelSchulnummer"), QString("0815"));
}

// A settings file written on Windows is in the ANSI code page; one in UTF-8 (with or without a byte
// order mark) is read as UTF-8.
TEST(RegistryStandIn, WindowsFileInTheAnsiCodePageAndUtf8WithMark)
{
    testsupport::Sandbox sb;
    schreiben(sb.file("xdg/Zandrel/nmSV.ini"), "[nmSV]\r\ndbFilePath=\"/srv/Sch\xfcler Daten\"\r\nWinSDDB=/srv/gr\xfc\xdf\r\n");
    EXPECT_EQ(registry::nmValue("dbFilePath"), QString("/srv/Schüler Daten"));
    EXPECT_EQ(registry::nmValue("WinSDDB"), QString("/srv/grüß"));
    schreiben(sb.file("xdg/Zandrel/nmSV.ini"), "\xef\xbb\xbf[nmSV]\r\ndbFilePath=/srv/Sch\xc3\xbcler\r\n");
    EXPECT_EQ(registry::nmValue("dbFilePath"), QString("/srv/Schüler"));
}

TEST(Folders, JoinAndSeparator)
{
    EXPECT_EQ(folders::join("/tmp", "\\HTML_l.html"), QString("/tmp/HTML_l.html"));
    EXPECT_EQ(folders::join("/tmp/", "SQL\\a.SQL"), QString("/tmp/SQL/a.SQL"));
    EXPECT_EQ(folders::withSeparator("/daten//"), QString("/daten/"));
    EXPECT_EQ(folders::withSeparator(""), QString(""));
}

TEST(Folders, ProgramFolderFromTheEnvironmentAndTempFromTheSandbox)
{
    testsupport::Sandbox sb;
    qputenv("ZANDREL_HOME", sb.file("programm").toUtf8());
    EXPECT_EQ(folders::programFolder(), sb.file("programm"));
    qunsetenv("ZANDREL_HOME");
    EXPECT_EQ(QDir(folders::tempFolder()).canonicalPath(), QDir(sb.file("tmp")).canonicalPath());
}
