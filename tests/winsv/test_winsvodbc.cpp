// WinSV's file through the ODBC driver: read-only, never created, a locked file reported in time.
#include "winsvfixture.h"

#include "platform/winsvodbc.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using winsvdb::Connection;
using winsvdb::WinsvError;

namespace {
QByteArray hashOf(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}
} // namespace

TEST(WinsvOdbc, PfadMitLeerzeichenUmlautUndSemikolonWirdNurGelesen)
{
    WinsvFixture f;
    ASSERT_TRUE(f.winsvPfad.contains(QStringLiteral(" Ü;")));
    WinsvPupil p;
    p.id = "00123";
    f.addWinsv(p);
    const QByteArray vorher = hashOf(f.winsvPfad);
    {
        Connection c(f.winsvPfad);
        zdb::Result r = c.query("SELECT [_SCHUELER_ID], [GEBURTSDATUM], [AUSTR_DATUM] FROM DSchueler");
        ASSERT_EQ(r.rowCount(), 1);
        EXPECT_EQ(r.value(0, 0).toString(), "00123");
        EXPECT_EQ(r.value(0, 1).toDate(), QDate(2012, 3, 4));
        EXPECT_TRUE(r.value(0, 2).isNull());
        EXPECT_EQ(r.declTypes.value(1), "DATE");
        try {
            c.query("UPDATE DSchueler SET KLASSE = 'x'");
            ADD_FAILURE() << "written";
        } catch (const WinsvError &e) {
            EXPECT_EQ(e.kind(), WinsvError::Unreadable);
            EXPECT_TRUE(e.germanText().contains(f.winsvPfad));
        }
    }
    EXPECT_EQ(hashOf(f.winsvPfad), vorher);
}

TEST(WinsvOdbc, FehlenderPfadErzeugtKeineDatei)
{
    testsupport::Sandbox box;
    const QString pfad = box.file("Ordner mit Ä/sd.df1");
    for (const QString &p : {pfad, box.file("sd.df1"), QString()}) {
        try {
            Connection c(p);
            ADD_FAILURE() << "opened " << p.toStdString();
        } catch (const WinsvError &e) {
            EXPECT_EQ(e.kind(), WinsvError::NotFound);
            EXPECT_EQ(e.germanText(), "Die angegebene SD.DF1 - Datei wurde nicht gefunden.");
        }
        if (!p.isEmpty())
            EXPECT_FALSE(QFile::exists(p));
    }
}

TEST(WinsvOdbc, GesperrteDateiInnerhalbDerWartezeitGemeldet)
{
    WinsvFixture f;
    f.addWinsv(WinsvPupil());
    zdb::Db sperre;
    sperre.open(f.winsvPfad);
    sperre.exec("BEGIN EXCLUSIVE");
    sperre.exec("UPDATE DSchueler SET KLASSE = '6a'");
    QElapsedTimer uhr;
    uhr.start();
    try {
        Connection c(f.winsvPfad, 300);
        c.query("SELECT * FROM DSchueler");
        ADD_FAILURE() << "read a locked file";
    } catch (const WinsvError &e) {
        EXPECT_EQ(e.kind(), WinsvError::Busy);
        EXPECT_TRUE(e.germanText().contains(f.winsvPfad));
        EXPECT_TRUE(e.germanText().contains("gesperrt"));
    }
    EXPECT_LT(uhr.elapsed(), 5000);
    sperre.rollback();
}

TEST(WinsvOdbc, KeineDatenbankWirdAlsUnlesbarGemeldet)
{
    testsupport::Sandbox box;
    const QString pfad = box.file("sd.df1");
    QFile d(pfad);
    ASSERT_TRUE(d.open(QIODevice::WriteOnly));
    d.write("keine Datenbank, nur Text");
    d.close();
    try {
        Connection c(pfad);
        c.query("SELECT * FROM DSchueler");
        ADD_FAILURE();
    } catch (const WinsvError &e) {
        EXPECT_EQ(e.kind(), WinsvError::Unreadable);
        EXPECT_TRUE(e.germanText().startsWith("Die SD.DF1 - Datei \"" + pfad + "\" kann nicht gelesen werden."));
    }
}
