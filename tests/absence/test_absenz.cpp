// The absence record: its two writers, the "kr" remark and concurrent writers.
#include "absence/absenzrecord.h"
#include "absence/fehltagekalender.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"

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
    d.std[0] = "kr";
    d.std[1] = " kr ";
    d.bemerkung = "Arzttermin";
    d.zaehlt = "0,5";
    d.entschuldigt = true;
    return d;
}

// The one record's columns as text.
QStringList gespeichert(const QString &spalten)
{
    const zdb::Result r = mdl::dbEigen.query("SELECT " + spalten + " FROM tbl_Fehltage");
    EXPECT_EQ(r.rowCount(), 1);
    QStringList out;
    for (int c = 0; r.rowCount() == 1 && c < r.columnCount(); ++c)
        out << r.value(0, c).toString();
    return out;
}
} // namespace

TEST(Absenz, PanelSaveAddsChangesAndDeletesTheDaysRecord)
{
    absencetest::Schule s;
    const QDateTime t1(tag, QTime(8, 0));
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, "123", tag, panel(" un"), t1), Schreibergebnis::Hinzugefuegt);
    EXPECT_EQ(gespeichert("S_Id, Fehltag, Grund, s02, s03, Bemerkung, zaehlt, entschuldigt, Eintrag, Edit"),
              QStringList({"123", "2024-11-05", "un", "kr", "", "Arzttermin", "0,5", "1", "2024-11-05 08:00:00",
                           "2024-11-05 08:00:00"}));

    // Changed later through another spelling of the id: Eintrag stays, Edit moves.
    AbsenzDaten d = panel("bf");
    d.zaehlt = "abc"; // no number: the stored value stays
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, " 123 ", tag, d, t1.addSecs(60)), Schreibergebnis::Geaendert);
    EXPECT_EQ(gespeichert("Grund, zaehlt, Eintrag, Edit"),
              QStringList({"bf", "0,5", "2024-11-05 08:00:00", "2024-11-05 08:01:00"}));

    // An empty reason deletes the record although lessons are filled; with no record it writes nothing.
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, "123", tag, panel("  ")), Schreibergebnis::Geloescht);
    EXPECT_EQ(s.fehltage(), 0);
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, "123", tag, panel(QString())), Schreibergebnis::Nichts);
    EXPECT_EQ(Absenz::speichern(mdl::dbEigen, " ", tag, panel("un")), Schreibergebnis::Nichts);
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, QString(), tag, "kr"), Schreibergebnis::Nichts);
    EXPECT_EQ(s.fehltage(), 0);
}

TEST(Absenz, IdsTwelveAndOneHundredTwentyThreeAreDifferentPersons)
{
    absencetest::Schule s;
    Absenz::ganztagSpeichern(mdl::dbEigen, "12", tag, "kr");
    Absenz::ganztagSpeichern(mdl::dbEigen, "123", tag, "un");
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, "12", tag)->grund, "kr");
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, "123", tag)->grund, "un");
    EXPECT_FALSE(Absenz::laden(mdl::dbEigen, "1", tag).has_value());
    EXPECT_EQ(Absenz::derPerson(mdl::dbEigen, "12").size(), 1);
}

TEST(Absenz, WholeDayEntryCountsOneDayAndKeepsThePanelFields)
{
    absencetest::Schule s;
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, "MÜ", tag, "kr"), Schreibergebnis::Hinzugefuegt);
    auto d = Absenz::laden(mdl::dbEigen, "mü", tag);
    ASSERT_TRUE(d);
    EXPECT_EQ(QStringList({d->zaehlt, d->bemerkung}), QStringList({"1,0", ""}));
    EXPECT_FALSE(d->entschuldigt);

    Absenz::speichern(mdl::dbEigen, "MÜ", tag, panel("un"));
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, "MÜ", tag, "bf"), Schreibergebnis::Geaendert);
    d = Absenz::laden(mdl::dbEigen, "MÜ", tag);
    EXPECT_EQ(QStringList({d->grund, d->bemerkung, d->zaehlt}), QStringList({"bf", "Arzttermin", "0,5"}));
    EXPECT_TRUE(d->entschuldigt);

    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, "MÜ", tag, " "), Schreibergebnis::Geloescht);
    EXPECT_EQ(Absenz::ganztagSpeichern(mdl::dbEigen, "MÜ", tag, QString()), Schreibergebnis::Nichts);
    EXPECT_EQ(s.fehltage(), 0);
}

TEST(Absenz, KrRecordCarriesNoRemarkOfTheUser)
{
    absencetest::Schule s;
    Absenz::speichern(mdl::dbEigen, "7", tag, panel(" KR"));
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, "7", tag)->bemerkung, Absenz::KrBemerkung);
    EXPECT_EQ(Absenz::KrBemerkung.size(), 49);

    Absenz::speichern(mdl::dbEigen, "8", tag, panel("un"));
    Absenz::ganztagSpeichern(mdl::dbEigen, "8", tag, "kr");
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, "8", tag)->bemerkung, Absenz::KrBemerkung);
}

TEST(Absenz, OverlongTextsAreCutBeforeTheyReachTheDatabase)
{
    absencetest::Schule s;
    AbsenzDaten d = panel("unx");
    d.bemerkung = QString(60, QLatin1Char('a'));
    d.std[3] = "abc";
    Absenz::speichern(mdl::dbEigen, "9", tag, d);
    const auto back = Absenz::laden(mdl::dbEigen, "9", tag);
    EXPECT_EQ(back->grund, "un");
    EXPECT_EQ(back->bemerkung.size(), 49);
    EXPECT_EQ(back->std[3], "ab");

    // An emoji across the limit is not split: the remark ends before it.
    d.bemerkung = QString(48, QLatin1Char('a')) + QStringLiteral("\U0001F600b");
    Absenz::speichern(mdl::dbEigen, "9", tag, d);
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, "9", tag)->bemerkung, QString(48, QLatin1Char('a')));
}

// Which stored id the person's lookups and the class click find for the id sought: trimmed, without
// regard to case, the same in both.
TEST(Absenz, PersonLookupsMatchTheTrimmedIdWithoutRegardToCase)
{
    absencetest::Schule s;
    struct Fall {
        QString gespeichert, gesucht;
        bool person, klasse;
    };
    const Fall faelle[] = {
        {"ab", "AB", true, true},       {" Ab ", "aB", true, true},   {"mü", "MÜ", true, true},
        {"MÜ ", "mü", true, true},      {"12", "123", false, false},  {"mu", "MÜ", false, false},
        {"ab\t", "ab", false, false},  {"\u017F1", "S1", true, true}, {"\u212A1", "k1", true, true},
        {"\u017F1", "\u017F1", true, true}};
    for (const Fall &f : faelle) {
        const QString was = f.gespeichert + " / " + f.gesucht;
        mdl::dbEigen.exec("DELETE FROM tbl_Fehltage");
        s.fehltag("ZZ", tag, "un");
        s.fehltag(f.gespeichert, tag, "kr");
        EXPECT_EQ(Absenz::derPerson(mdl::dbEigen, f.gesucht).size(), f.person ? 1 : 0) << qPrintable(was);
        EXPECT_EQ(Absenz::laden(mdl::dbEigen, f.gesucht, tag).has_value(), f.person) << qPrintable(was);

        VSGrid g;
        Fehltagekalender k(g);
        k.personenZeilenSetzen({{"5a", "Abel, Anna", f.gesucht}, {"5a", "Zett, Zora", "ZZ"}}, tag);
        k.absenzenEintragen(mdl::dbEigen);
        EXPECT_EQ(g.textMatrix(k.zeileVon(f.gesucht), k.spalteVon(tag)), f.klasse ? "kr" : "") << qPrintable(was);
        EXPECT_EQ(g.textMatrix(k.zeileVon("ZZ"), k.spalteVon(tag)), "un");
    }
}

// The class click and the person's absence list look ids up through the index on the id's form,
// never by reading the absence table through (as a table scan or over the year's days); so does a
// person whose records are those stored exactly under her id.
TEST(Absenz, PersonLookupsAreServedByTheIndexOnTheIdsForm)
{
    absencetest::Schule s;
    const QString ids = QStringLiteral("[\"12\",\"mü\"]");
    const struct {
        QString sql;
        zdb::Params params;
    } statements[] = {{Absenz::derPersonSql("12"), {"12"}},
                      {Absenz::derPersonSql("mü"), {"mü"}},
                      {Absenz::derPersonSql(Kennung("Yıl", true)), {"Yıl"}},
                      {Fehltagekalender::absenzenSql(true, true, true), {"2024-08-01", "2025-08-15", "[\"12\"]", "[\"Yıl\"]"}},
                      {Fehltagekalender::absenzenSql(true), {"2024-08-01", "2025-08-15", "[\"12\"]"}},
                      {Fehltagekalender::absenzenSql(false), {"2024-08-01", "2025-08-15", ids}}};
    for (const auto &st : statements) {
        QStringList plan;
        mdl::dbEigen.forEach("EXPLAIN QUERY PLAN " + st.sql, st.params, [&](const QVariantList &r) {
            plan << r.last().toString();
            return true;
        });
        const QString text = plan.join('\n');
        EXPECT_TRUE(text.contains("SEARCH tbl_Fehltage USING INDEX idx_Fehltage_IdForm (")) << qPrintable(text);
        for (const QString &zeile : plan) {
            if (!zeile.contains("tbl_Fehltage"))
                continue;
            // Only the small partial index of ids whose form lies beyond ASCII may be read through.
            const bool teilindex = zeile.contains("idx_Fehltage_IdFormSonstige");
            EXPECT_TRUE(teilindex || zeile.startsWith("SEARCH tbl_Fehltage USING INDEX idx_Fehltage_IdForm (<expr>="))
                << qPrintable(text);
        }
    }
}

// The index holds the id's form as SQLite's own functions make it: for every printable ASCII
// character, every character whose form is ASCII and the umlauts it is the form of the id rule.
TEST(Absenz, TheIndexedFormIsTheIdRulesFormForEveryIdWhoseFormIsAsciiOrAnUmlaut)
{
    absencetest::Schule s;
    QStringList ids;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        ids << QStringLiteral("a") + QChar(c) + QStringLiteral("Z");
    for (const char16_t c : {0x00DF, 0x1E9E, 0x0131, 0x017F, 0x212A, 0xFB00, 0xFB01, 0xFB02, 0xFB03, 0xFB04, 0xFB05,
                             0xFB06, 0x037E, 0x1FEF})
        ids << QStringLiteral(" Y") + QChar(c) + QStringLiteral("L ");
    for (const char *id : {"MÜ", "mü", "Öz", "ÄÖÜß", "äöü"})
        ids << QString::fromUtf8(id);
    for (const QString &id : ids) {
        const QString form = vt::idSchluessel(id);
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT " + vt::idFormSql("?"), {id}).toString(), form) << qPrintable(id);
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT " + vt::idFormSql("?") + " GLOB " + vt::idFormJenseitsGlob(), {id}).toInt(),
                  0)
            << qPrintable(id);
    }
    // Every other id's SQL form is left to IdSchluessel: it meets the pattern of the small index.
    for (const char *id : {"Mu\u0308l", "Éa", "Жук", "ǅa", "\u212Bs", "a\tb"})
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT " + vt::idFormSql("?") + " GLOB " + vt::idFormJenseitsGlob(),
                                      {QString::fromUtf8(id)})
                      .toInt(),
                  1)
            << id;
}

TEST(Absenz, AnOlderDuplicateDoesNotOutliveTheDeletion)
{
    absencetest::Schule s;
    s.fehltag("5", tag, "kr");
    s.fehltag("5 ", tag, "un");
    EXPECT_EQ(Absenz::laden(mdl::dbEigen, "5", tag)->grund, "kr"); // the first one
    Absenz::ganztagSpeichern(mdl::dbEigen, "5", tag, QString());
    EXPECT_EQ(s.fehltage(), 0);
}

TEST(Absenz, TwoWorkstationsSavingOnePersonAndDayLeaveOneRecord)
{
    absencetest::Schule s;
    for (int runde = 0; runde < 15; ++runde) {
        const QDate d = tag.addDays(runde);
        std::atomic<int> bereit{0}, fehler{0};
        auto schreiber = [&](bool ganztag) {
            zdb::Db db;
            db.open(s.eigenPfad);
            ++bereit;
            while (bereit < 2) {
            }
            try {
                if (ganztag)
                    Absenz::ganztagSpeichern(db, "42", d, "kr");
                else
                    Absenz::speichern(db, "42", d, panel("un"));
            } catch (...) {
                ++fehler;
            }
        };
        std::thread a(schreiber, runde % 2 == 0), b(schreiber, true);
        a.join();
        b.join();
        EXPECT_EQ(fehler, 0);
        EXPECT_EQ(s.fehltage("Fehltag = ?", {zdb::isoDate(d)}), 1);
    }
}

// A person's records written under several spellings of the id, on several days, with records of a
// person not shown among them: each lands in its person's row on its day, none elsewhere.
TEST(Absenz, TheCalendarPutsEveryRecordIntoItsPersonsRowWhateverTheIdsSpelling)
{
    absencetest::Schule s;
    const QDate tage[] = {tag, tag.addDays(1), tag.addDays(2), tag.addDays(3)};
    s.fehltag(" ab", tage[0], "kr");
    s.fehltag("99", tage[0], "un");
    s.fehltag("AB", tage[1], "un");
    s.fehltag("12", tage[1], "kr");
    s.fehltag("ab ", tage[2], "x");
    s.fehltag("99", tage[2], "kr");
    s.fehltag(" 12 ", tage[3], "un");
    s.fehltag("aB", tage[3], "kr");

    VSGrid g;
    Fehltagekalender k(g);
    k.personenZeilenSetzen({{"5a", "Abel, Anna", "ab"}, {"5a", "Zwölf, Zoe", "12"}}, tag);
    k.absenzenEintragen(mdl::dbEigen);
    const QStringList ab{"kr", "un", "x", "kr"}, zwoelf{"", "kr", "", "un"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g.textMatrix(k.zeileVon("ab"), k.spalteVon(tage[i])), ab[i]) << i;
        EXPECT_EQ(g.textMatrix(k.zeileVon("12"), k.spalteVon(tage[i])), zwoelf[i]) << i;
    }
    EXPECT_EQ(g.rows(), Fehltagekalender::KopfZeilen + 2);
}
