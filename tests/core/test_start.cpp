#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "core/startup.h"
#include "nmfixture.h"
#include "ownfixture.h"
#include "platform/folders.h"
#include "platform/units.h"
#include "support/testsupport.h"

#include <QColorDialog>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QSet>
#include <QDialogButtonBox>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

void iniSchreiben(const QString &ordner, const QByteArray &inhalt)
{
    QDir().mkpath(ordner + "/Zandrel");
    QFile f(ordner + "/Zandrel/nmSV.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

// The own database, upgraded and open as dbEigen.
void eigeneDatenbank(const testsupport::Sandbox &sb, const QString &klassenfilter = QString(), int busyMs = 5000)
{
    corefixture::createPreparedOwnDb(sb.file("Zandrel.mdb"), klassenfilter);
    mdl::dbEigen.open(sb.file("Zandrel.mdb"), zdb::Db::ReadWrite, busyMs);
    schema::DatenbankAktualisieren(mdl::dbEigen);
}

struct Aufraeumen {
    ~Aufraeumen() { corefixture::sitzungZuruecksetzen(); }
};

} // namespace

TEST(Start, QtsOwnDialogsSpeakGermanWithoutChangingTheLocale)
{
    const QFont schrift = QApplication::font();
    const QLocale vorher;
    start::einrichten(*qApp);
    start::einrichten(*qApp); // a second set-up loads nothing twice
    QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));
    EXPECT_EQ(box.button(QDialogButtonBox::Save)->text(), QString("Speichern"));
    EXPECT_EQ(QCoreApplication::translate("QColorDialog", "&Pick Screen Color"), QString("&Farbe vom Bildschirm wählen"));
    EXPECT_EQ(QCoreApplication::translate("QMdiSubWindow", "&Restore"), QString("Wieder&herstellen"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QString("Datei&name:"));
    EXPECT_EQ(QLocale(), vorher);
    EXPECT_EQ(QApplication::font().family(), QString("Liberation Sans"));
    EXPECT_EQ(QApplication::font().pointSize(), 8);
    QApplication::setFont(schrift);
}

TEST(Start, EveryWindowShowsTheProgramsOwnIcon)
{
    const QFont schrift = QApplication::font();
    QApplication::setWindowIcon(QIcon());
    start::einrichten(*qApp);
    QApplication::setFont(schrift);
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (int n : {16, 32, 48})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(n, n))) << n;
    // Drawn, not blank: the sheet, its header and the letter give several colours.
    const QImage bild = icon.pixmap(QSize(32, 32)).toImage();
    QSet<QRgb> farben;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            farben.insert(bild.pixel(x, y));
    EXPECT_GT(farben.size(), 3);
    QWidget fenster;
    QDialog dialog(&fenster);
    EXPECT_EQ(fenster.windowIcon().cacheKey(), icon.cacheKey());
    EXPECT_EQ(dialog.windowIcon().cacheKey(), icon.cacheKey());
}

TEST(Start, CommandLineQuotesAreRemoved)
{
    EXPECT_EQ(start::parameterPfad({"\"/daten/Kopie", "von", "nm.mdb\""}), QString("/daten/Kopie von nm.mdb"));
    EXPECT_EQ(start::parameterPfad({" 'x.mdb' "}), QString("x.mdb"));
    EXPECT_EQ(start::parameterPfad({}), QString());
}

TEST(Start, RegistryValuesMachineFileFirstThenTheUsersFile)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    iniSchreiben(sb.file("xdg"), "[nmSV]\ndbFilePath=/srv/noten, alt\n");
    iniSchreiben(sb.file("config"), "[nmSV]\ndbFilePath=/home/x\ndbFileName=nm2024.mdb\nWinSDDB=\"/srv/winsv/sd.df1\"\n");
    mdl::RegistryWerteLesen();
    EXPECT_EQ(mdl::DatenPfad, QString("/srv/noten, alt/"));
    EXPECT_EQ(mdl::NMDatei, QString("nm2024.mdb"));
    EXPECT_EQ(mdl::PfadSDDF1, QString("/srv/winsv/sd.df1"));
}

TEST(Start, WithoutAFolderTheDefaultFileNameIsUsed)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    iniSchreiben(sb.file("config"), "[nmSV]\ndbFileName=nm2024.mdb\n");
    mdl::RegistryWerteLesen();
    EXPECT_EQ(mdl::DatenPfad, QString());
    EXPECT_EQ(mdl::NMDatei, QString("nmdaten04.mdb"));
}

TEST(Start, PreparesOwnDatabaseHolidaysAndReportsAMissingCopy)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    QDir().mkpath(sb.file("daten"));
    corefixture::createPreparedOwnDb(sb.file("daten/Zandrel.mdb"));
    iniSchreiben(sb.file("xdg"), ("[nmSV]\ndbFilePath=" + sb.file("daten")).toUtf8());
    testsupport::MsgRecorder boxes;
    ASSERT_TRUE(start::vorbereiten({sb.file("gibt es nicht.mdb")}));
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.boxes[0].text.contains("gibt es nicht.mdb"));
    EXPECT_EQ(mdl::NMDateiParameter, QString());
    EXPECT_FALSE(QFileInfo::exists(sb.file("gibt es nicht.mdb")));
    EXPECT_TRUE(QFileInfo::exists(sb.file("daten/Zandrel Ferien.txt")));
    EXPECT_TRUE(mdl::dbEigen.tableExists("tbl_Termin"));
}

TEST(Start, MissingOwnDatabaseEndsWithAMessageAndCreatesNothing)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    iniSchreiben(sb.file("xdg"), ("[nmSV]\ndbFilePath=" + sb.path()).toUtf8());
    testsupport::MsgRecorder boxes;
    EXPECT_FALSE(start::vorbereiten({}));
    EXPECT_EQ(boxes.texts(), QStringList{"Die Datenbank\r" + sb.file("Zandrel.mdb") +
                                         "\rwurde nicht gefunden oder kann nicht geöffnet werden.\r"
                                         "Das Programm wird beendet."});
    EXPECT_FALSE(QFileInfo::exists(sb.file("Zandrel.mdb")));
    EXPECT_FALSE(mdl::dbEigen.isOpen());
}

// The own database on a network folder that is gone or fails to read at start-up: the file is
// named as one that cannot be reached now, not as damaged or missing, before the program ends.
TEST(Start, AnUnreachableOwnDatabaseEndsWithItsFileAndNoClaimOfDamage)
{
    const QString nichtErreichbar =
        QStringLiteral("sie ist im Moment nicht erreichbar (Lese-/Schreibfehler, z. B. weil die Verbindung zum "
                       "Netzwerkordner unterbrochen ist).\rSobald der Netzwerkordner wieder erreichbar ist, kann der "
                       "Schritt wiederholt werden.");
    testsupport::Sandbox sb;
    Aufraeumen a;
    QDir().mkpath(sb.file("netz"));
    const QString pfad = sb.file("netz/Zandrel.mdb");
    corefixture::createPreparedOwnDb(pfad);
    iniSchreiben(sb.file("xdg"), ("[nmSV]\ndbFilePath=" + sb.file("netz")).toUtf8());
    {
        testsupport::Netzausfall netz;
        netz.nur({zdb::Dateiaufruf::Lesen}, SQLITE_IOERR_CORRUPTFS); // EIO, as the system gives it
        netz.ausfallen(true);
        testsupport::MsgRecorder boxes;
        EXPECT_FALSE(start::vorbereiten({}));
        EXPECT_EQ(boxes.texts(), QStringList{"Die Datenbank\r" + pfad + "\rkann nicht gelesen oder geschrieben werden: "
                                             + nichtErreichbar + "\r\r(disk I/O error)\rDas Programm wird beendet."});
        EXPECT_FALSE(mdl::dbEigen.isOpen());
    }
    // The share's folder is gone altogether.
    ASSERT_TRUE(QDir().rename(sb.file("netz"), sb.file("weg")));
    testsupport::MsgRecorder boxes;
    EXPECT_FALSE(start::vorbereiten({}));
    ASSERT_FALSE(boxes.texts().isEmpty());
    EXPECT_EQ(boxes.texts().last(), "Die Datenbank\r" + pfad + "\rkann nicht geöffnet werden: " + nichtErreichbar
                                        + "\r\r(Der Ordner existiert nicht.)\rDas Programm wird beendet.")
        << boxes.texts().join("\n|").toStdString();
}

TEST(Start, WithoutTheGradeManagersFolderTheMessageNamesTheKeyTheSettingsFilesAndTheFolderSearched)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    iniSchreiben(sb.file("config"), "[nmSV]\ndbFileName=nm2024.mdb\n"); // the folder is missing
    QDir().mkpath(sb.file("arbeit"));
    const QString vorher = QDir::currentPath();
    QDir::setCurrent(sb.file("arbeit"));
    testsupport::MsgRecorder boxes;
    const bool weiter = start::vorbereiten({});
    QDir::setCurrent(vorher);
    EXPECT_FALSE(weiter);
    EXPECT_EQ(boxes.texts(),
              QStringList{"Die Datenbank\rZandrel.mdb\rwurde nicht gefunden oder kann nicht geöffnet werden.\r"
                          "Der Ordner der Notenmanager-Datenbank ist nicht eingestellt: Der Schlüssel \"dbFilePath\" "
                          "im Abschnitt [nmSV] fehlt oder ist leer in\r" +
                          sb.file("xdg/Zandrel/nmSV.ini") + "\r" + sb.file("config/Zandrel/nmSV.ini") +
                          "\rGesucht wurde daher im Ordner\r" + QDir(sb.file("arbeit")).canonicalPath() +
                          "\rDas Programm wird beendet."});
    EXPECT_FALSE(QFileInfo::exists(sb.file("arbeit/Zandrel.mdb")));
    // Registered, the message stays as it was (MissingOwnDatabaseEndsWithAMessageAndCreatesNothing).
    iniSchreiben(sb.file("config"), ("[nmSV]\ndbFilePath=" + sb.path()).toUtf8());
    mdl::RegistryWerteLesen();
    EXPECT_EQ(start::fehlendeRegistrierung(), QString());
}

TEST(Start, MissingPreparedTableEndsWithItsNameAndChangesNothing)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    corefixture::createPreparedOwnDb(sb.file("Zandrel.mdb"));
    {
        zdb::Db db;
        db.open(sb.file("Zandrel.mdb"));
        db.exec("DROP TABLE tbl_SQL_LIKE");
    }
    iniSchreiben(sb.file("xdg"), ("[nmSV]\ndbFilePath=" + sb.path()).toUtf8());
    testsupport::MsgRecorder boxes;
    EXPECT_FALSE(start::vorbereiten({}));
    EXPECT_EQ(boxes.texts(), QStringList{"In der Datenbank \"" + sb.file("Zandrel.mdb") +
                                         "\" fehlt die Tabelle \"tbl_SQL_LIKE\".\r"
                                         "Zandrel kann ohne diese Tabelle nicht gestartet werden.\r"
                                         "Bitte wenden Sie sich an den Administrator.\rDas Programm wird beendet."});
    EXPECT_FALSE(mdl::dbEigen.isOpen());
    zdb::Db db;
    db.open(sb.file("Zandrel.mdb"));
    EXPECT_FALSE(db.tableExists("tbl_Fehltage"));
}

TEST(Einstellungen, EmptySettingsRowGivesTheDefaults)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    eigeneDatenbank(sb);
    mdl::EinstellungenLaden();
    EXPECT_EQ(mdl::Zeugnisart, QString("J"));
    EXPECT_EQ(mdl::KalenderErsterTag, QDate(2010, 9, 13));
    EXPECT_EQ(mdl::KalenderLetzterTag, QDate(2011, 2, 11));
    EXPECT_EQ(mdl::KalenderGesperrt, QString());
    EXPECT_EQ(mdl::KalenderEinfaerbenTage, 10);
    EXPECT_EQ(mdl::KalenderEinfaerbenfarbe, units::rgb(128, 255, 128));
    EXPECT_EQ(mdl::KalenderFreigabeSonstigeTermine, QString("SL"));
    EXPECT_EQ(mdl::KalenderFreigabeKlassenfahrt, QString("SL"));
    EXPECT_EQ(mdl::HTML_L, folders::join(folders::tempFolder(), "HTML_l.html"));
    EXPECT_EQ(mdl::HTML_S2, folders::join(folders::tempFolder(), "HTML_S2.html"));
    EXPECT_EQ(mdl::Klassenfilter, QString("*"));
}

TEST(Einstellungen, StoredValuesAreTaken)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    eigeneDatenbank(sb, "[5-9]*");
    mdl::dbEigen.exec("UPDATE tbl_Einstellungen SET Zeugnisart = 'Z', KalenderErsterTag = '2024-09-10', "
                      "KalenderGesperrt = 'none', KalenderEinfaerbenTage = 0, KalenderEinfaerbenFarbe = 255, "
                      "HTML_L = '/www/l.html', KalenderFreigabeKlassenfahrt = 'all'");
    mdl::EinstellungenLaden();
    EXPECT_EQ(mdl::Zeugnisart, QString("Z"));
    EXPECT_EQ(mdl::KalenderErsterTag, QDate(2024, 9, 10));
    EXPECT_EQ(mdl::KalenderGesperrt, QString("none"));
    EXPECT_EQ(mdl::KalenderEinfaerbenTage, 0);
    EXPECT_EQ(mdl::KalenderEinfaerbenfarbe, 255);
    EXPECT_EQ(mdl::HTML_L, QString("/www/l.html"));
    EXPECT_EQ(mdl::KalenderFreigabeKlassenfahrt, QString("all"));
    EXPECT_EQ(mdl::Klassenfilter, QString("[5-9]*"));
}

// ---- guarded handlers

using corefixture::EndeAbfangen;

TEST(Guard, BusyDatabaseIsReportedRolledBackAndTheProgramGoesOn)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    eigeneDatenbank(sb, QString(), 200);
    zdb::Db andere;
    andere.open(sb.file("Zandrel.mdb"));
    andere.beginImmediate();
    EndeAbfangen ende;
    testsupport::MsgRecorder boxes;
    mdl::NMDateiParameter = sb.file("Zandrel.mdb"); // any existing file serves as the grade manager's
    bool ok = true;
    // As the running program dispatches it: the handler's own guard inside the application's.
    guard::ereignis([&] {
        ok = guarded([] {
            ASSERT_TRUE(mdl::NMDatenbankOeffnen());
            zdb::WriteTransaction tx(mdl::dbEigen);
            mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id) VALUES ('1')");
            tx.commit();
            mdl::NMDatenbankSchliessen();
        });
    });
    EXPECT_FALSE(ok);
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.boxes[0].text.contains("anderen Arbeitsplatz"));
    EXPECT_TRUE(ende.enden.isEmpty());
    EXPECT_FALSE(mdl::dbEigen.inTransaction());
    // The interrupted piece of work did not reach its close: the connection is not kept.
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
    EXPECT_FALSE(mdl::dbNM().isOpen());
    andere.rollback();
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT count(*) FROM tbl_Personen").toInt(), 0);
}

TEST(Guard, FaultsOfTheFileAreReportedAndOnlyProgramFaultsEndTheProgram)
{
    using K = zdb::DbError;
    const struct {
        K::Kind kind;
        bool endet;
    } faelle[] = {{K::Busy, false},    {K::NotFound, false}, {K::ReadOnly, false}, {K::Damaged, false},
                  {K::NotADatabase, false}, {K::DiskFull, false}, {K::IoError, false}, {K::Other, true}};
    for (const auto &f : faelle) {
        SCOPED_TRACE(int(f.kind));
        EndeAbfangen ende;
        testsupport::MsgRecorder boxes;
        const K fehler(f.kind, 0, "technisch", "", "/daten/nmdaten04.mdb");
        EXPECT_FALSE(guarded([&] { throw fehler; }));
        ASSERT_EQ(boxes.boxes.size(), 1);
        EXPECT_TRUE(boxes.boxes[0].text.contains("\r/daten/nmdaten04.mdb"));
        EXPECT_TRUE(boxes.boxes[0].text.endsWith("\r\r(technisch)"));
        EXPECT_EQ(ende.enden.size(), f.endet ? 1 : 0);
    }
    EndeAbfangen ende;
    testsupport::MsgRecorder boxes;
    EXPECT_FALSE(guarded([] { throw std::runtime_error("kaputt"); }));
    EXPECT_EQ(boxes.texts(), QStringList{"Unerwarteter Fehler: kaputt"});
    EXPECT_EQ(ende.enden.size(), 1);
}

TEST(Guard, ADatabaseOnAFolderGoneAwayIsReportedWithItsFileAndTheProgramGoesOn)
{
    testsupport::Netzausfall netz;
    testsupport::Sandbox sb;
    Aufraeumen a;
    eigeneDatenbank(sb);
    EndeAbfangen ende;
    testsupport::MsgRecorder boxes;
    netz.ausfallen(true);
    // A handler writing several rows while the network folder drops away.
    EXPECT_FALSE(guarded([] {
        zdb::WriteTransaction tx(mdl::dbEigen);
        mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id) VALUES ('1')");
        tx.commit();
    }));
    netz.ausfallen(false);
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith("Die Datenbank\r" + sb.file("Zandrel.mdb")
                                               + "\rkann nicht gelesen oder geschrieben werden"))
        << boxes.boxes[0].text.toStdString();
    EXPECT_TRUE(ende.enden.isEmpty());
    EXPECT_FALSE(mdl::dbEigen.inTransaction());
    // Once the folder is back, the next action works on the same connection.
    EXPECT_TRUE(guarded([] { mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id) VALUES ('2')"); }));
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT group_concat(Id) FROM tbl_Personen").toString(), "2");
}

TEST(Guard, HandlerFailingInsideAPassLeavesThePasssTransactionAlone)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    eigeneDatenbank(sb);
    EndeAbfangen ende;
    testsupport::MsgRecorder boxes;
    // The outer pass lets events through; a timer handler fails inside it.
    const bool ok = guarded([] {
        zdb::WriteTransaction tx(mdl::dbEigen);
        mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id) VALUES ('A')");
        guarded([] { throw zdb::DbError(zdb::DbError::Busy, 5, "database is locked"); });
        mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id) VALUES ('B')");
        tx.commit();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(ende.enden.isEmpty());
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT count(*) FROM tbl_Personen").toInt(), 2);
}

TEST(Guard, SqlFaultIsUnexpected)
{
    testsupport::Sandbox sb;
    Aufraeumen a;
    corefixture::createPreparedOwnDb(sb.file("Zandrel.mdb"));
    mdl::dbEigen.open(sb.file("Zandrel.mdb"));
    EndeAbfangen ende;
    testsupport::MsgRecorder boxes;
    EXPECT_FALSE(guarded([] { mdl::dbEigen.exec("SELECT * FROM gibtsnicht"); }));
    EXPECT_EQ(ende.enden.size(), 1);
}
