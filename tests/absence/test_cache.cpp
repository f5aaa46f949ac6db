// The daily person cache and deleting all absences.
#include "absence/excellisten.h"
#include "absence/frm_fehltage.h"
#include "absence/personencache.h"
#include "absencefixture.h"
#include "core/frm_warten_db.h"
#include "core/mdl_zandrel.h"
#include "platform/xlsxbook.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace absence;

namespace {

void personen(absencetest::Schule &s)
{
    s.schueler(3, "Zorn", "Oskar", "9d");
    s.schueler(1, "Abel", " Anna", "5a");
    s.nm.exec("INSERT INTO Schüler (SchülerNr, Name) VALUES (2, 'Ohne')");
    s.lehrer("MÜ", "Müller", "Hans");
    s.lehrer("X", "Admin", QString());
    s.lehrer("XS", "Sekretariat", QString());
}

QStringList cache()
{
    QStringList out;
    mdl::dbEigen.forEach("SELECT Id, Name, Vorname, Klasse FROM tbl_Personen ORDER BY rowid", {},
                         [&](const QVariantList &r) {
                             out << r[0].toString() + QLatin1Char('|') + r[2].toString() + QLatin1Char('|')
                                        + (r[3].isNull() ? "NULL" : r[3].toString());
                             return true;
                         });
    return out;
}

} // namespace

TEST(Personencache, FirstStartOfTheDayCopiesPupilsThenTeachers)
{
    absencetest::Schule s;
    personen(s);
    const QDateTime jetzt = QDateTime::currentDateTime();
    EXPECT_EQ(frm_Fehltage::PersonenAktualisieren(jetzt), Personencache::Gefuellt);
    EXPECT_EQ(cache(), QStringList({"1| Anna|5a", "2||NULL", "3|Oskar|9d", "MÜ|Hans|LK", "X||LK", "XS||LK"}));
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Personen WHERE lastChange = ?", {zdb::isoDateTime(jetzt)}), 6);

    // A second start the same day changes nothing.
    s.schueler(4, "Neu", "Nora", "5a");
    EXPECT_EQ(frm_Fehltage::PersonenAktualisieren(jetzt.addSecs(60)), Personencache::Aktuell);
    EXPECT_EQ(cache().size(), 6);

    // An oldest row from yesterday refills the table.
    mdl::dbEigen.exec("UPDATE tbl_Personen SET lastChange = ? WHERE Id = '3'", {zdb::isoDateTime(jetzt.addDays(-1))});
    EXPECT_EQ(frm_Fehltage::PersonenAktualisieren(jetzt), Personencache::Gefuellt);
    EXPECT_EQ(cache().size(), 7);
}

// A converted grade manager may hold pupil numbers as floating-point numbers (990001.0): the cache
// keeps each id as every view shows it, so the Excel lists find the records stored as "990001".
TEST(Personencache, PupilNumbersStoredAsRealKeepTheTextTheViewsShow)
{
    absencetest::Schule s;
    s.nm.exec("DROP TABLE Schüler");
    s.nm.exec("CREATE TABLE Schüler (SchülerNr DOUBLE, Name TEXT, Vorname TEXT, Klasse TEXT)");
    s.nm.exec("INSERT INTO Schüler VALUES (990001.0, 'Abel', 'Anna', '5a')");
    s.lehrer("MÜ", "Müller", "Hans");
    ASSERT_EQ(frm_Fehltage::PersonenAktualisieren(), Personencache::Gefuellt);
    EXPECT_EQ(cache(), QStringList({"990001|Anna|5a", "MÜ|Hans|LK"}));

    const QDate tag(2024, 10, 7);
    s.fehltag("990001", tag, "kr");
    s.fehltag(" MÜ", tag, "kr");
    xlsx::Workbook book;
    ASSERT_TRUE(excellisten::vieleFehltageFuellen(mdl::dbEigen, tag, tag, 1, "", "", book));
    QStringList zeilen;
    for (int r = 4; r <= book.sheet(1).lastRow(); ++r)
        zeilen << book.sheet(1).text(r, 1) + "=" + book.sheet(1).text(r, 3);
    EXPECT_EQ(zeilen, QStringList({"Abel, Anna=1", "Müller, Hans=1"}));
}

TEST(Personencache, TwoWorkstationsRefillingAtOnceLeaveOneCopy)
{
    absencetest::Schule s;
    personen(s);
    mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id, lastChange) VALUES ('alt', '2000-01-01 00:00:00')");
    // The other workstation refills while this one lets events through after its first look.
    auto andere = s.zweiterArbeitsplatz();
    QTimer::singleShot(0, [&] {
        zdb::WriteTransaction tx(*andere);
        andere->exec("DELETE FROM tbl_Personen");
        for (const char *id : {"1", "2", "3", "MÜ", "X", "XS"})
            andere->exec("INSERT INTO tbl_Personen (Id, Klasse, lastChange) VALUES (?, 'k', ?)",
                         {QString::fromUtf8(id), zdb::isoDateTime(QDateTime::currentDateTime())});
        tx.commit();
    });
    EXPECT_EQ(frm_Fehltage::PersonenAktualisieren(), Personencache::Aktuell);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Personen"), 6);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Personen WHERE Klasse = 'k'"), 6);
}

TEST(Personencache, GivingUpTheWaitLeavesTheTableEmpty)
{
    absencetest::Schule s;
    mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id, lastChange) VALUES ('1', '2000-01-01 00:00:00')");
    mdl::NMDatei = "fehlt.mdb";
    QTimer::singleShot(200, [] { frm_Warten_DB::abbrechen(); });
    EXPECT_EQ(frm_Fehltage::PersonenAktualisieren(), Personencache::Abgebrochen);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Personen"), 0);
}

TEST(FehltageLoeschen, CancelIsPresetOkEmptiesOnlyTheAbsencesAndClosesTheWindow)
{
    absencetest::Schule s;
    s.fehltag("1", QDate(2024, 9, 10), "kr");
    mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id) VALUES ('1')");
    const int gruende = s.anzahl("SELECT COUNT(*) FROM tbl_Fehlgrund");
    {
        testsupport::MsgRecorder abbrechen([](const msg::Request &) { return int(msg::Cancel); });
        EXPECT_FALSE(frm_Fehltage::FehltageLoeschen());
        ASSERT_EQ(abbrechen.boxes.size(), 1);
        EXPECT_EQ(abbrechen.boxes[0].text, "In der Datenbank werden alle Fehltage gelöscht?\r\rWeitermachen?");
        EXPECT_EQ(abbrechen.boxes[0].buttons, msg::OKCancel | msg::DefaultButton2);
        EXPECT_EQ(abbrechen.boxes[0].title, "Sicherheitsnachfrage");
        EXPECT_EQ(s.fehltage(), 1);
    }
    auto *f = new frm_Fehltage;
    f->show();
    testsupport::MsgRecorder rec([](const msg::Request &) { return int(msg::OK); });
    EXPECT_TRUE(frm_Fehltage::FehltageLoeschen());
    EXPECT_EQ(s.fehltage(), 0);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Personen"), 1);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_Fehlgrund"), gruende);
    EXPECT_FALSE(f->isVisible());
    ASSERT_EQ(rec.boxes.size(), 2);
    EXPECT_EQ(rec.boxes[1].text, "In der Datenbank wurden alle eingetragenen Fehltage gelöscht.");
    EXPECT_EQ(rec.boxes[1].buttons, msg::OKOnly);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frm_Fehltage::instanz(), nullptr);
}
