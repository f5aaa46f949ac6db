// The absence record: its two writers, the "kr" remark and concurrent writers.
#include "absence/absenzrecord.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>

using namespace absence;

namespace {
const QDate tag(2024, 11, 5);

AbsenzDaten panel(const QString &grund)
{
    AbsenzDaten d;
    d.grund = grund;
    d.std[0] = QStringLiteral("kr");
    d.std[1] = QStringLiteral(" kr ");
    d.bemerkung = QStringLiteral("Arzttermin");
    d.zaehlt = QStringLiteral("0,5");
    d.entschuldigt = true;
    return d;
}
} // namespace

TEST(Absenz, PanelSaveAddsChangesAndDeletesTheDaysRecord)
{
    absencetest::Schule s;
    const QDateTime t1(tag, QTime(8, 0));
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, QStringLiteral("123"), tag, panel(QStringLiteral(" un")), t1),
              Schreibergebnis::Hinzugefuegt);
    zdb::Result r = mdl::dbEigen.query(QStringLiteral("SELECT S_Id, Fehltag, Grund, s01, s02, s03, Bemerkung, zaehlt, "
                                                      "entschuldigt, Eintrag, Edit FROM tbl_Fehltage"));
    ASSERT_EQ(r.rowCount(), 1);
    EXPECT_EQ(r.value(0, 0).toString(), QStringLiteral("123"));
    EXPECT_EQ(r.value(0, 1).toString(), QStringLiteral("2024-11-05"));
    EXPECT_EQ(r.value(0, 2).toString(), QStringLiteral("un"));
    EXPECT_EQ(r.value(0, 4).toString(), QStringLiteral("kr"));
    EXPECT_EQ(r.value(0, 5).toString(), QString());
    EXPECT_EQ(r.value(0, 6).toString(), QStringLiteral("Arzttermin"));
    EXPECT_EQ(r.value(0, 7).toString(), QStringLiteral("0,5"));
    EXPECT_EQ(r.value(0, 8).toInt(), 1);
    EXPECT_EQ(r.value(0, 9).toString(), QStringLiteral("2024-11-05 08:00:00"));
    EXPECT_EQ(r.value(0, 10), r.value(0, 9));

    // Changed later through another spelling of the id: Eintrag stays, Edit moves.
    AbsenzDaten d = panel(QStringLiteral("bf"));
    d.zaehlt = QStringLiteral("abc"); // no number: the stored value stays
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, QStringLiteral(" 123 "), tag, d, t1.addSecs(60)),
              Schreibergebnis::Geaendert);
    r = mdl::dbEigen.query(QStringLiteral("SELECT Grund, zaehlt, Eintrag, Edit FROM tbl_Fehltage"));
    ASSERT_EQ(r.rowCount(), 1);
    EXPECT_EQ(r.value(0, 0).toString(), QStringLiteral("bf"));
    EXPECT_EQ(r.value(0, 1).toString(), QStringLiteral("0,5"));
    EXPECT_EQ(r.value(0, 2).toString(), QStringLiteral("2024-11-05 08:00:00"));
    EXPECT_EQ(r.value(0, 3).toString(), QStringLiteral("2024-11-05 08:01:00"));

    // An empty reason deletes the record although lessons are filled; with no record it writes nothing.
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, QStringLiteral("123"), tag, panel(QStringLiteral("  "))),
              Schreibergebnis::Geloescht);
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, QStringLiteral("123"), tag, panel(QString())), Schreibergebnis::Nichts);
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, QStringLiteral(" "), tag, panel(QStringLiteral("un"))),
              Schreibergebnis::Nichts);
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, QString(), tag, QStringLiteral("kr")), Schreibergebnis::Nichts);
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
}

TEST(Absenz, IdsTwelveAndOneHundredTwentyThreeAreDifferentPersons)
{
    absencetest::Schule s;
    Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("12"), tag, QStringLiteral("kr"));
    Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("123"), tag, QStringLiteral("un"));
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, QStringLiteral("12"), tag)->grund, QStringLiteral("kr"));
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, QStringLiteral("123"), tag)->grund, QStringLiteral("un"));
    EXPECT_FALSE(Absenz::laden(mdl::dbEigen, QStringLiteral("1"), tag).has_value());
    EXPECT_EQ(Absenz::derPerson(mdl::dbEigen, QStringLiteral("12")).size(), 1);
}

TEST(Absenz, WholeDayEntryCountsOneDayAndKeepsThePanelFields)
{
    absencetest::Schule s;
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("MÜ"), tag, QStringLiteral("kr")),
              Schreibergebnis::Hinzugefuegt);
    auto d = Absenz::laden(mdl::dbEigen, QStringLiteral("mü"), tag);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->zaehlt, QStringLiteral("1,0"));
    EXPECT_EQ(d->bemerkung, QString());
    EXPECT_FALSE(d->entschuldigt);

    Absenz::speichern(mdl::dbEigen, QStringLiteral("MÜ"), tag, panel(QStringLiteral("un")));
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("MÜ"), tag, QStringLiteral("bf")),
              Schreibergebnis::Geaendert);
    d = Absenz::laden(mdl::dbEigen, QStringLiteral("MÜ"), tag);
    EXPECT_EQ(d->grund, QStringLiteral("bf"));
    EXPECT_EQ(d->bemerkung, QStringLiteral("Arzttermin"));
    EXPECT_EQ(d->zaehlt, QStringLiteral("0,5"));
    EXPECT_TRUE(d->entschuldigt);

    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("MÜ"), tag, QStringLiteral(" ")),
              Schreibergebnis::Geloescht);
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("MÜ"), tag, QString()), Schreibergebnis::Nichts);
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
}

TEST(Absenz, KrRecordCarriesNoRemarkOfTheUser)
{
    absencetest::Schule s;
    Absenz::speichern(mdl::dbEigen, QStringLiteral("7"), tag, panel(QStringLiteral(" KR")));
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, QStringLiteral("7"), tag)->bemerkung, Absenz::KrBemerkung);
    EXPECT_EQ(Absenz::KrBemerkung.size(), 49);

    Absenz::speichern(mdl::dbEigen, QStringLiteral("8"), tag, panel(QStringLiteral("un")));
    Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("8"), tag, QStringLiteral("kr"));
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, QStringLiteral("8"), tag)->bemerkung, Absenz::KrBemerkung);
}

TEST(Absenz, OverlongTextsAreCutBeforeTheyReachTheDatabase)
{
    absencetest::Schule s;
    AbsenzDaten d = panel(QStringLiteral("unx"));
    d.bemerkung = QString(60, QLatin1Char('a'));
    d.std[3] = QStringLiteral("abc");
    Absenz::speichern(mdl::dbEigen, QStringLiteral("9"), tag, d);
    const auto back = Absenz::laden(mdl::dbEigen, QStringLiteral("9"), tag);
    EXPECT_EQ(back->grund, QStringLiteral("un"));
    EXPECT_EQ(back->bemerkung.size(), 49);
    EXPECT_EQ(back->std[3], QStringLiteral("ab"));
}

TEST(Absenz, AnOlderDuplicateDoesNotOutliveTheDeletion)
{
    absencetest::Schule s;
    s.fehltag(QStringLiteral("5"), tag, QStringLiteral("kr"));
    s.fehltag(QStringLiteral("5 "), tag, QStringLiteral("un"));
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, QStringLiteral("5"), tag)->grund, QStringLiteral("kr")); // the first one
    Absenz::ganztagSpeichern(mdl::dbEigen, QStringLiteral("5"), tag, QString());
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
}

TEST(Absenz, TwoWorkstationsSavingOnePersonAndDayLeaveOneRecord)
{
    absencetest::Schule s;
    for (int runde = 0; runde < 15; ++runde) {
        const QDate d = tag.addDays(runde);
        std::atomic<int> bereit{0};
        std::atomic<int> fehler{0};
        auto schreiber = [&](bool ganztag) {
            zdb::Db db;
            db.open(s.eigenPfad);
            ++bereit;
            while (bereit < 2) {
            }
            try {
                if (ganztag)
                    Absenz::ganztagSpeichern(db, QStringLiteral("42"), d, QStringLiteral("kr"));
                else
                    Absenz::speichern(db, QStringLiteral("42"), d, panel(QStringLiteral("un")));
            } catch (...) {
                ++fehler;
            }
        };
        std::thread a(schreiber, runde % 2 == 0), b(schreiber, true);
        a.join();
        b.join();
        EXPECT_EQ(fehler, 0);
        EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage WHERE Fehltag = ?"), {zdb::isoDate(d)}), 1);
    }
}
