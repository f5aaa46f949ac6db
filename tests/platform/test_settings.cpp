#include "platform/folders.h"
#include "platform/settings.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

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

TEST(SettingsStore, EachSandboxHasItsOwnStore)
{
    {
        testsupport::Sandbox a;
        settings::saveSetting("PFAD", "sd.df1", "/a/sd.df1");
    }
    testsupport::Sandbox b;
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1", "-"), QString("-"));
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
