// WinSV's file through the ODBC driver: read-only, never created, a locked file reported in time.
#include "platform/db.h"
#include "platform/winsvodbc.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <QCryptographicHash>
#include <QDir>
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

// A WinSV file with one pupil, in a folder with a blank, an umlaut and ";".
QString winsvDatei(testsupport::Sandbox &box)
{
    const QString ordner = box.path() + QStringLiteral("/WinSV Daten Ü;1");
    QDir().mkpath(ordner);
    zdb::Db w;
    w.create(ordner + QStringLiteral("/sd.df1"));
    nmschema::createWinSV(w);
    w.exec(QStringLiteral("INSERT INTO DSchueler (_SCHUELER_ID, KLASSE, GEBURTSDATUM) VALUES ('00123', '5a', '2012-03-04')"));
    return ordner + QStringLiteral("/sd.df1");
}
} // namespace

TEST(WinsvOdbc, PfadMitLeerzeichenUmlautUndSemikolonWirdNurGelesen)
{
    testsupport::Sandbox box;
    const QString pfad = winsvDatei(box);
    const QByteArray vorher = hashOf(pfad);
    {
        Connection c(pfad);
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
            EXPECT_TRUE(e.germanText().contains(pfad));
        }
    }
    EXPECT_EQ(hashOf(pfad), vorher);
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
    testsupport::Sandbox box;
    const QString pfad = winsvDatei(box);
    zdb::Db sperre;
    sperre.open(pfad);
    sperre.exec("BEGIN EXCLUSIVE");
    sperre.exec("UPDATE DSchueler SET KLASSE = '6a'");
    QElapsedTimer uhr;
    uhr.start();
    try {
        Connection c(pfad, 300);
        c.query("SELECT * FROM DSchueler");
        ADD_FAILURE() << "read a locked file";
    } catch (const WinsvError &e) {
        EXPECT_EQ(e.kind(), WinsvError::Busy);
        EXPECT_TRUE(e.germanText().contains(pfad));
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
