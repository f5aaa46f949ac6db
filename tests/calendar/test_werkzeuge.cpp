// The school office's tools in the exam plan: copy, paste, mark and delete marked cells.
#include "calendar/frm_kalender.h"
#include "calendar/markierung.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"
#include "platform/grid/vsgrid.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using kalfix::T;

namespace {

const QDate kDi(2010, 9, 14), kMi(2010, 9, 15), kDo(2010, 9, 16);
constexpr int Links = 1, Shift = 1, Strg = 2, TasteC = 67, Entf = 46;

class Werkzeuge : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *k : {"5a", "5b", "6a"})
            s.klasse(k);
        s.kurs("5a", "D", "MK");
    }
    void oeffnen(const QString &benutzer) { w = kalfix::fensterOeffnen(s, benutzer); }
    void klick(QDate d, const QString &k, int shift = 0) { w->fgKalender_MouseDown(Links, shift, w->ZeileZuDatum(d), w->SpalteZuKlasse(k)); }
    QString zelle(QDate d, const QString &k) const { return w->fgKalender->textMatrix(w->ZeileZuDatum(d), w->SpalteZuKlasse(k)); }
    bool markiert(QDate d, const QString &k) const
    {
        return w->fgKalender->cellBackColor(w->ZeileZuDatum(d), w->SpalteZuKlasse(k)) == kalender::FarbeMarkiert;
    }
    int anzahl(const QString &where = "1=1") const
    {
        return mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin WHERE " + where).toInt();
    }
    kalfix::Schule s;
    std::unique_ptr<frm_Kalender> w;
};

} // namespace

TEST_F(Werkzeuge, KopierenUndEinfuegenUebernimmtLehrkraftBemerkungUndKennzeichen)
{
    s.termin({kDi, "5a", "D", "MK", "Diktat", true, s.uhr.addDays(-20), "MK", {}, ""});
    oeffnen("xs");
    klick(kDi, "5a");
    testsupport::MsgRecorder boxes;
    w->fgKalender_KeyUp(TasteC, Strg);
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_EQ(boxes.texts()[0], "In der Zwischenablage befinden sich nun folgende Daten: \r - Fach = D\r - Lehrkraft = MK"
                                "\r - nicht Internet = wahr\r - Bemerkung = Diktat\r\rSie können diese Einträge über "
                                "'Shift'+Klick an andere Tage bzw. Klassen übertragen.");
    s.uhr = s.uhr.addSecs(5);
    klick(kMi, "6a", Shift);
    klick(kMi, "6a", Shift); // the same cell twice: two entries, no duplicate test
    EXPECT_EQ(anzahl("Klasse = '6a' AND Datum = '2010-09-15' AND Fach = 'D' AND Lehrkraft = 'MK' AND "
                     "Bemerkung = 'Diktat' AND nichtInternet = 1 AND eingetragenPerson = 'xs' AND "
                     "eingetragenDatum = '2010-09-16 10:00:05' AND geloeschtDatum IS NULL"),
              2);
    EXPECT_TRUE(w->Geaendert);
    EXPECT_EQ(zelle(kMi, "6a"), "D D");
    EXPECT_EQ(w->lblKlasse->text(), "6a"); // the details follow the pasted cell
    EXPECT_EQ(w->fgDetail->rows(), 3);
    EXPECT_EQ(zelle(kDi, "5a"), "D");
}

TEST_F(Werkzeuge, EingefuegteTermineTragenDieKlasseOhneLeerzeichen)
{
    // A class name padded with blanks (as a fixed-width column of the grade manager gives it) is
    // stored trimmed, so the entry sorts and is found with its class.
    const kalender::Zwischenablage z{"D", "MK", "Diktat", false};
    ASSERT_GT(kalender::terminEinfuegen(mdl::dbEigen, kMi, "  6a    ", z, "XS"), 0);
    ASSERT_GT(kalender::terminEinfuegen(mdl::dbEigen, kDo, "5b ", z, "X"), 0);
    EXPECT_EQ(mdl::dbEigen.query("SELECT Klasse FROM tbl_Termin ORDER BY Klasse").rows,
              (QVector<QVariantList>{{"5b"}, {"6a"}}));
}

TEST_F(Werkzeuge, ShiftKlickFuegtNurInDieGeklickteZelleEin)
{
    s.termin({kDi, "5a", "D", "MK", "Diktat", false, s.uhr.addDays(-20), "MK", {}, ""});
    oeffnen("X");
    w->show();
    testsupport::MsgRecorder boxes;
    klick(kDi, "5a");
    w->fgKalender_KeyUp(TasteC, Strg);
    // The current cell is Tuesday 5a; Shift+click with the real mouse on Thursday 6a.
    w->fgKalender->select(w->ZeileZuDatum(kDi), w->SpalteZuKlasse("5a"));
    const int r = w->ZeileZuDatum(kDo), c = w->SpalteZuKlasse("6a");
    const QRect rechteck = w->fgKalender->cellRect(r, c);
    ASSERT_FALSE(rechteck.isEmpty());
    QTest::mouseClick(w->fgKalender->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      rechteck.center() - w->fgKalender->viewport()->geometry().topLeft());
    EXPECT_EQ(zelle(kDo, "6a"), "D");
    EXPECT_EQ(anzahl(), 2);
    // Only the pasted cell is selected, no range from Tuesday 5a to it.
    EXPECT_EQ(w->fgKalender->row(), r);
    EXPECT_EQ(w->fgKalender->rowSel(), r);
    EXPECT_EQ(w->fgKalender->col(), c);
    EXPECT_EQ(w->fgKalender->colSel(), c);
    EXPECT_EQ(zelle(kMi, "5b"), "");
}

TEST_F(Werkzeuge, LeereZwischenablageUndMehrereTermine)
{
    s.termin({kDi, "5a", "D", "MK", "", false, s.uhr.addDays(-20), "MK", {}, ""});
    s.termin({kDi, "5a", "KF", "X", "", false, s.uhr.addDays(-20), "X", {}, ""});
    oeffnen("X");
    testsupport::MsgRecorder boxes;
    klick(kMi, "6a", Shift);
    EXPECT_EQ(anzahl(), 2);
    klick(kDi, "5a");
    w->fgKalender_KeyUp(TasteC, Strg);
    EXPECT_TRUE(w->zwischenablage().leer());
    klick(kDi, "5a", Strg);
    EXPECT_FALSE(markiert(kDi, "5a"));
    EXPECT_EQ(boxes.texts(),
              QStringList({"Es liegen keine Daten zum Kopieren vor.\r\rMarkieren Sie Tag/Klasse, wählen Sie unter "
                           "Details einen Termin aus und drücken Sie Strg-C.",
                           "In dieser Klasse gibt es an diesem Tag mehrere Termine. \rBitte markieren Sie den zu "
                           "kopierenden Termin unter 'Details' und drücken Sie 'Strg-C'!",
                           "Wenn in einer Klasse an einem Tag mehrere Termine existieren, müssen diese einzeln "
                           "gelöscht werden!"}));
    // In the details one of the two can be copied; the header row copies nothing.
    w->fgDetail->setRow(0);
    w->fgDetail_KeyUp(TasteC, Strg);
    EXPECT_TRUE(w->zwischenablage().leer());
    w->fgDetail->setRow(2);
    w->fgDetail_KeyUp(TasteC, Strg);
    EXPECT_EQ(w->zwischenablage().fach, w->fgDetail->textMatrix(2, 3));
}

TEST_F(Werkzeuge, MarkierenUndWiederAufheben)
{
    s.termin({kDi, "5a", "D", "MK", "", false, s.uhr.addDays(-20), "MK", {}, ""});
    oeffnen("X");
    klick(kDi, "5a", Strg);
    EXPECT_TRUE(markiert(kDi, "5a"));
    klick(kDi, "5a", Strg);
    EXPECT_FALSE(markiert(kDi, "5a"));
    klick(kDi, "5b", Strg); // an empty cell cannot be marked
    EXPECT_FALSE(markiert(kDi, "5b"));
    klick(kDi, "5a", Strg);
    klick(kMi, "5b"); // an ordinary click removes the marks
    EXPECT_FALSE(markiert(kDi, "5a"));
}

TEST_F(Werkzeuge, MarkierteZellenLoeschenNachRueckfrage)
{
    const qint64 alt = s.termin({kDi, "5a", "D", "MK", "", false, s.uhr.addDays(-20), "MK", {}, ""});
    s.termin({kMi, "5b", "E", "AB", "", false, s.uhr.addSecs(-20), "AB", {}, ""});
    const qint64 fremd = s.termin({kDo, "6a", "M", "MK", "", false, s.uhr.addDays(-2), "MK", {}, ""});
    const qint64 doppelt = s.termin({kMi, "6a", "D", "MK", "", false, s.uhr.addDays(-2), "MK", {}, ""});
    oeffnen("X");
    for (auto [d, k] : {std::pair{kDi, "5a"}, {kMi, "5b"}, {kDo, "6a"}, {kMi, "6a"}})
        klick(d, k, Strg);
    {
        testsupport::MsgRecorder nein([](const msg::Request &) { return int(msg::No); });
        w->fgKalender_KeyUp(Entf, 0);
        EXPECT_EQ(nein.texts(), QStringList({"Sollen die 4 violett eingefärbten Termine gelöscht werden?"}));
        EXPECT_TRUE(markiert(kDi, "5a") && markiert(kMi, "5b") && markiert(kDo, "6a") && markiert(kMi, "6a"));
    }
    // Meanwhile another workstation deletes one entry and adds a second one to another marked cell.
    mdl::dbEigen.exec("UPDATE tbl_Termin SET geloeschtDatum = '2010-09-16 09:00:00', geloeschtPerson = 'MK' WHERE Id = ?",
                      {fremd});
    const qint64 zweiter = s.termin({kMi, "6a", "E", "AB", "", false, s.uhr.addDays(-1), "AB", {}, ""});
    testsupport::MsgRecorder ja([](const msg::Request &) { return int(msg::Yes); });
    w->fgKalender_KeyUp(Entf, 0);
    EXPECT_EQ(anzahl(), 4); // the entry of 20 seconds ago is gone for good
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT geloeschtPerson FROM tbl_Termin WHERE Id = ?", {alt}).toString(), "X");
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT geloeschtPerson FROM tbl_Termin WHERE Id = ?", {fremd}).toString(), "MK");
    // The cell that now has two active entries is only unmarked; both stay.
    EXPECT_EQ(anzahl(QStringLiteral("geloeschtDatum IS NULL AND Id IN (%1, %2)").arg(doppelt).arg(zweiter)), 2);
    EXPECT_FALSE(markiert(kDi, "5a") || markiert(kMi, "5b") || markiert(kDo, "6a") || markiert(kMi, "6a"));
    EXPECT_EQ(zelle(kDi, "5a"), "");
    EXPECT_EQ(zelle(kDo, "6a"), "");
    EXPECT_EQ(zelle(kMi, "6a"), "D E");
    EXPECT_TRUE(w->Geaendert);
    ja.boxes.clear();
    w->fgKalender_KeyUp(Entf, 0); // nothing marked: no question
    EXPECT_TRUE(ja.boxes.isEmpty());
}

TEST_F(Werkzeuge, LehrerHatKeineWerkzeuge)
{
    s.termin({kDi, "5a", "D", "MK", "", false, s.uhr.addDays(-20), "MK", {}, ""});
    oeffnen("MK");
    testsupport::MsgRecorder boxes([](const msg::Request &) { return int(msg::Yes); });
    klick(kDi, "5a", Strg); // an ordinary click
    EXPECT_FALSE(markiert(kDi, "5a"));
    EXPECT_EQ(w->lblKlasse->text(), "5a");
    w->fgKalender_KeyUp(TasteC, Strg);
    w->fgDetail->setRow(1);
    w->fgDetail_KeyUp(TasteC, Strg);
    EXPECT_TRUE(w->zwischenablage().leer());
    w->fgKalender->setCellBackColor(w->ZeileZuDatum(kDi), w->SpalteZuKlasse("5a"), kalender::FarbeMarkiert);
    w->fgKalender_KeyUp(Entf, 0);
    EXPECT_TRUE(boxes.boxes.isEmpty());
    // Nor through the logic.
    const auto r = kalender::markierteLoeschen(mdl::dbEigen, {{kDi, "5a"}}, "MK");
    EXPECT_FALSE(r[0].geloescht);
    kalender::Zwischenablage z{"D", "MK", "", false};
    EXPECT_EQ(kalender::terminEinfuegen(mdl::dbEigen, kMi, "5a", z, "MK"), 0);
    EXPECT_EQ(anzahl("geloeschtDatum IS NULL"), 1);
}
