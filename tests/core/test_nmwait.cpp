#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/frm_warten.h"
#include "core/guard.h"
#include "core/frm_warten_db.h"
#include "core/mdl_zandrel.h"
#include "nmfixture.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Warteumgebung {
    testsupport::Sandbox sb;
    Warteumgebung()
    {
        mdl::DatenPfad = mdl::MitBackslash(sb.path());
        mdl::NMDatei = "nmdaten04.mdb";
        mdl::NMDateiParameter.clear();
    }
    ~Warteumgebung()
    {
        mdl::NMDatenbankZuruecksetzen();
        frm_Warten::entladen();
        mdl::DatenPfad.clear();
    }
    QString pfad() const { return sb.file("nmdaten04.mdb"); }
    void dateiAnlegen() const
    {
        zdb::Db db;
        db.create(pfad());
        db.exec("CREATE TABLE t (x)");
    }
};

} // namespace

TEST(DatenbankWarten, SecondsAreShownWithTheDecimalComma)
{
    EXPECT_EQ(frm_Warten_DB::text(0), QString("Warten auf die Datenbank ... 0,0 sec"));
    EXPECT_EQ(frm_Warten_DB::text(12.34), QString("Warten auf die Datenbank ... 12,3 sec"));
}

TEST(DatenbankWarten, MissingFileShowsWaitAboveProgressWindowAndAbortOpensNothing)
{
    Warteumgebung u;
    frm_Warten::zeigen("Bitte warten");
    bool sichtbar = false, fortschrittSichtbar = false;
    QString text;
    QTimer::singleShot(1300, [&] {
        sichtbar = frm_Warten_DB::istSichtbar();
        fortschrittSichtbar = frm_Warten::istSichtbar();
        text = frm_Warten_DB::instance() ? frm_Warten_DB::instance()->lblInfo->text() : QString();
        frm_Warten_DB::instance()->cmdAbbrechen->click();
    });
    EXPECT_FALSE(mdl::NMDatenbankOeffnen());
    EXPECT_TRUE(sichtbar);
    EXPECT_TRUE(fortschrittSichtbar);
    EXPECT_TRUE(text.startsWith("Warten auf die Datenbank ... 1,")) << qPrintable(text);
    EXPECT_TRUE(text.endsWith(" sec"));
    EXPECT_EQ(mdl::DBAbbruch, QString("abbruch"));
    EXPECT_FALSE(mdl::dbNM().isOpen());
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
    EXPECT_FALSE(frm_Warten_DB::istSichtbar());
    EXPECT_FALSE(QFileInfo::exists(u.pfad()));
}

TEST(DatenbankWarten, OneAbortEndsTheNestedWaitAndTheOneItInterrupted)
{
    Warteumgebung u;
    int innen = -1;
    bool innenVorAussen = false;
    QTimer::singleShot(100, [&] {
        innen = mdl::NMDatenbankOeffnen() ? 1 : 0; // a timer handler starting its own wait
        innenVorAussen = mdl::wartetAufDatenbank();
    });
    QTimer::singleShot(600, [] { frm_Warten_DB::abbrechen(); });
    EXPECT_FALSE(mdl::NMDatenbankOeffnen());
    EXPECT_EQ(innen, 0);
    EXPECT_TRUE(innenVorAussen);
    EXPECT_FALSE(mdl::wartetAufDatenbank());
    // A later wait starts afresh and ends when the file appears.
    QTimer::singleShot(100, [&] { u.dateiAnlegen(); });
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    EXPECT_EQ(mdl::DBAbbruch, QString());
    EXPECT_EQ(mdl::dbNM().scalar("SELECT count(*) FROM t").toInt(), 0);
    mdl::NMDatenbankSchliessen();
}

TEST(DatenbankWarten, OpensNestSoAnInnerCloseKeepsTheOuterReader)
{
    Warteumgebung u;
    u.dateiAnlegen();
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    EXPECT_EQ(mdl::nmOeffnungen(), 2);
    mdl::NMDatenbankSchliessen();
    EXPECT_TRUE(mdl::dbNM().isOpen());
    EXPECT_EQ(mdl::dbNM().scalar("SELECT count(*) FROM t").toInt(), 0);
    mdl::NMDatenbankSchliessen();
    EXPECT_FALSE(mdl::dbNM().isOpen());
    mdl::NMDatenbankSchliessen(); // one close too many does no harm
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
}

TEST(DatenbankWarten, ReadOnlyConnectionRefusesWrites)
{
    Warteumgebung u;
    u.dateiAnlegen();
    ASSERT_TRUE(mdl::NMDatenbankOeffnenNurLesen());
    EXPECT_THROW(mdl::dbNMNurLesen().exec("INSERT INTO t VALUES (1)"), zdb::DbError);
    mdl::NMDatenbankSchliessenNurLesen();
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
}

TEST(DatenbankWarten, CommandLineCopyIsOpenedInstead)
{
    Warteumgebung u;
    {
        zdb::Db db;
        db.create(u.sb.file("kopie.mdb"));
        db.exec("CREATE TABLE kopie (x)");
    }
    mdl::NMDateiParameter = "  " + u.sb.file("kopie.mdb") + " ";
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    EXPECT_TRUE(mdl::dbNM().tableExists("kopie"));
    mdl::NMDatenbankSchliessen();
    mdl::NMDateiParameter.clear();
}

TEST(Fortschritt, ZeroOrNegativeMaximumLeavesTheBarEmpty)
{
    frm_Warten::zeigen("x");
    frm_Warten::Fortschritt(5, 0);
    frm_Warten::Fortschritt(5, -3);
    frm_Warten::Fortschritt(5, 10);
    EXPECT_EQ(frm_Warten::instance()->lblInfoText->text(), QString("x"));
    frm_Warten::entladen();
    EXPECT_FALSE(frm_Warten::istSichtbar());
}

// ---- a grade manager's file that is no sound database

namespace {

void ersetzen(const QString &pfad, const QByteArray &inhalt)
{
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(inhalt);
}

QByteArray erstesStueck(const QString &pfad, int bytes)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

} // namespace

TEST(DatenbankDefekt, FileIsNamedWithWhatIsWrongAndTheProgramRunsOn)
{
    struct Fall {
        const char *name;
        std::function<QByteArray(const QString &pfad)> inhalt;
        QString erwartet; // %1: the file
    };
    const QString keine = QStringLiteral("Die Datei\r%1\rist keine Datenbank oder ist beschädigt.\r\r"
                                         "(file is not a database)");
    const QString beschaedigt = QStringLiteral("Die Datenbank\r%1\rist beschädigt und kann nicht gelesen werden.\r\r"
                                               "(database disk image is malformed)");
    const Fall faelle[] = {
        {"Zufallsbytes", [](const QString &) { return QByteArray(8192, '\x5a') + QByteArray(3000, '\x01'); }, keine},
        {"Textdatei", [](const QString &) { return QByteArray("Schüler;Klasse\r\nAnna;5a\r\n"); }, keine},
        {"leer", [](const QString &) { return QByteArray(); },
         QStringLiteral("Die Datei\r%1\rist keine Datenbank oder ist beschädigt.\r\r(die Datei ist leer)")},
        {"abgeschnitten", [](const QString &p) { return erstesStueck(p, 4096); }, beschaedigt},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.name);
        testsupport::Sandbox sb;
        corefixture::Umgebung u(sb);
        const QByteArray heil = erstesStueck(u.nmPfad, 1 << 24);
        ersetzen(u.nmPfad, f.inhalt(u.nmPfad));
        corefixture::EndeAbfangen ende;
        testsupport::MsgRecorder boxes;
        frm_Main haupt;
        haupt.show();
        {
            // The login window reads the teachers as its first piece of work.
            frm_Anmeldung anmeldung(&haupt);
            EXPECT_EQ(anmeldung.cmb_Kuerzel->count(), 0);
        }
        ASSERT_EQ(boxes.texts(), QStringList{f.erwartet.arg(u.nmPfad)});
        EXPECT_TRUE(ende.enden.isEmpty());
        EXPECT_EQ(frm_Main::instance(), &haupt);
        EXPECT_TRUE(haupt.isVisible());
        EXPECT_EQ(mdl::nmOeffnungen(), 0);
        EXPECT_FALSE(mdl::dbNM().isOpen());
        // Once the file is sound again the next piece of work reads it.
        ersetzen(u.nmPfad, heil);
        frm_Anmeldung wieder(&haupt);
        EXPECT_EQ(wieder.cmb_Kuerzel->count(), 4);
        EXPECT_EQ(boxes.boxes.size(), 1);
    }
}

// The wait names the file it waits for, and the key of the settings whose default it is.
TEST(DatenbankWarten, TheWaitNamesTheFileAndAMissingKeyOfTheSettings)
{
    Warteumgebung u;
    QString hinweis;
    bool sichtbar = false;
    QTimer::singleShot(100, [&] {
        if (frm_Warten_DB::instance()) {
            hinweis = frm_Warten_DB::instance()->lblDatei->text();
            sichtbar = frm_Warten_DB::instance()->lblDatei->isVisible();
            frm_Warten_DB::instance()->cmdAbbrechen->click();
        }
    });
    EXPECT_FALSE(mdl::NMDatenbankOeffnen());
    EXPECT_TRUE(sichtbar);
    EXPECT_TRUE(hinweis.startsWith("Gesucht wird die Notenmanager-Datenbank\n" + u.pfad())) << qPrintable(hinweis);
    // No settings file names the file: the default is sought, and the message says which key is missing.
    EXPECT_TRUE(hinweis.contains("Der Schlüssel \"dbFileName\" im Abschnitt [nmSV] fehlt oder ist leer; gesucht "
                                 "wird daher \"nmdaten04.mdb\"."))
        << qPrintable(hinweis);
    EXPECT_TRUE(hinweis.contains("Einstellungsdateien: ")) << qPrintable(hinweis);
    EXPECT_FALSE(hinweis.contains("dbFilePath")) << qPrintable(hinweis);
}
