// Course statements and the reading of grades, weights and tests on a grade-manager file.
#include "test_lnw_fixture.h"

#include "records/lnwabfrage.h"
#include "records/lnwfuellung.h"
#include "records/zahlen.h"

#include <gtest/gtest.h>
#include <array>
#include <tuple>
#include <vector>

using namespace lnw;
using nmschema::Layout;

namespace {

QVector<ListenEintrag> liste(const QStringList &texte, const QStringList &gewaehlt)
{
    QVector<ListenEintrag> out;
    for (const QString &t : texte)
        out.append({t, gewaehlt.contains(t)});
    return out;
}

QStringList zeilenText(const Fuellung &f)
{
    QStringList out;
    for (const KursZeile &z : f.zeilen)
        out << z.fach + "|" + z.klasse + "|" + z.lehrer;
    return out;
}

const KursZeile *zeile(const Fuellung &f, const QString &fach, const QString &klasse, const QString &lehrer)
{
    for (const KursZeile &z : f.zeilen)
        if (z.fach == fach && z.klasse == klasse && z.lehrer == lehrer)
            return &z;
    return nullptr;
}

Fuellung fuellen(lnwtest::NM &nm, const KursAbfrage &a, const Schwellen &s = {})
{
    return lesen(nm.db, a, s);
}

} // namespace

class LnwLesen : public ::testing::TestWithParam<Layout> {};
INSTANTIATE_TEST_SUITE_P(Layouts, LnwLesen, ::testing::Values(Layout::Current, Layout::Older));

// The teacher view lists abbreviations in German order (an umlaut beside its base letter), and the
// subject view orders course groups such as "5e2" and "10e1" by their leading grade.
TEST_P(LnwLesen, TeachersInGermanOrderAndCourseGroupsByTheirLeadingGrade)
{
    lnwtest::NM nm(GetParam());
    for (const char *lehrer : {"Bzz", "Bäu", "Abr", "Abä"})
        nm.lnw(nm.kurs("M", "5a", QString::fromUtf8(lehrer)), 0);
    EXPECT_EQ(zeilenText(fuellen(nm, *nachLehrern(liste({"*"}, {"*"})))),
              QStringList({"M|5a|Abä", "M|5a|Abr", "M|5a|Bäu", "M|5a|Bzz"}));

    lnwtest::NM nm2(GetParam());
    for (const char *klasse : {"10e1", "5e2", "6a", "5d1", "Q11"})
        nm2.lnw(nm2.kurs("D", QString::fromUtf8(klasse), "AB"), 0);
    EXPECT_EQ(zeilenText(fuellen(nm2, *nachFaechern(liste({"D"}, {"D"})))),
              QStringList({"D|5d1|AB", "D|5e2|AB", "D|6a|AB", "D|10e1|AB", "D|Q11|AB"}));
}

// Which courses each statement selects, and in which order.
TEST_P(LnwLesen, CourseStatementsSelectByPrefixCaseAndLiteralCodes)
{
    lnwtest::NM nm(GetParam());
    const std::vector<std::array<const char *, 3>> kurse{
        {"M", "Q11", "AB"}, {"M", "10b", "AB"}, {"M", "5a", "AB"}, {"M 1", "5a", "CD"}, {"Mu", "5a", "CD"},
        {"Mathe", "5a", "CD"}, {"IT", "6b", "EF"}, {"ITG", "6b", "EF"}, {"Inf", "6b", "EF"}, {"%", "7c", "ABC"}};
    for (const auto &[fach, klasse, lehrer] : kurse)
        nm.lnw(nm.kurs(fach, klasse, lehrer), 0);
    const std::vector<std::pair<KursAbfrage, QStringList>> faelle{
        // M gives "M" and "M 1", not "Mu"; classes 5a, 10b, then Q11.
        {*nachFaechern(liste({"*", "M"}, {"M"})), {"M|5a|AB", "M 1|5a|CD", "M|10b|AB", "M|Q11|AB"}},
        {*nachFaechern(liste({"IT"}, {"IT"})), {"IT|6b|EF", "ITG|6b|EF"}},
        {*nachFaechern(liste({"ITG"}, {"ITG"})), {"ITG|6b|EF"}}, // only IT itself stands for every IT subject
        {eigenerUnterricht("ab"), {"M|10b|AB", "M|5a|AB", "M|Q11|AB"}}, // not ABC
        {*nachFaechern(liste({"%"}, {"%"})), {"%|7c|ABC"}},               // wildcards taken literally
        {*nachLehrern(liste({"A_"}, {"A_"})), {}},
    };
    for (const auto &[abfrage, erwartet] : faelle)
        EXPECT_EQ(zeilenText(fuellen(nm, abfrage)), erwartet) << abfrage.params.value(0).toString().toStdString();
    // "*" counts even when other entries are picked too.
    EXPECT_EQ(fuellen(nm, *nachFaechern(liste({"*", "M"}, {"*", "M"}))).zeilen.size(), kurse.size());
    EXPECT_EQ(fuellen(nm, *nachLehrern(liste({"*", "AB"}, {"*"}))).zeilen.size(), kurse.size());
}

TEST(LnwAuswahl, NothingSelectedBuildsNoStatement)
{
    EXPECT_FALSE(nachFaechern(liste({"*", "M"}, {})).has_value());
    EXPECT_FALSE(nachLehrern(liste({"*", "AB"}, {})).has_value());
    // A blank supervisor code never widens to every course.
    EXPECT_FALSE(nachFaechern(liste({" ", ""}, {" ", ""})).has_value());
}

TEST_P(LnwLesen, TwoTeachersOfOneSubjectAndClassGetTwoRows)
{
    lnwtest::NM nm(GetParam());
    const qint64 a = nm.kurs("M", "5a", "AB", {{"sa1", 2.0}});
    const qint64 b = nm.kurs("M", "5a", "CD", {{"sa1", 1.0}});
    nm.gleicheNoten(a, "sa1", "2", 3);
    nm.gleicheNoten(b, "sa1", "4", 2);
    nm.lnw(a, 0, "SA-AB");
    nm.lnw(b, 0, "SA-CD");
    const Fuellung f = fuellen(nm, *nachFaechern(liste({"M"}, {"M"})));
    ASSERT_EQ(zeilenText(f), QStringList({"M|5a|AB", "M|5a|CD"}));
    EXPECT_EQ(f.zeilen[0].text(3 + Art), "SA-AB");
    EXPECT_EQ(f.zeilen[0].text(3 + Schnitt), "2,00");
    EXPECT_EQ(f.zeilen[0].text(3 + Anzahl), "3");
    EXPECT_EQ(f.zeilen[0].text(3 + Wicht), "2");
    EXPECT_EQ(f.zeilen[1].text(3 + Art), "SA-CD");
    EXPECT_EQ(f.zeilen[1].text(3 + Schnitt), "4,00");
    EXPECT_EQ(f.zeilen[1].text(3 + Wicht), "1");
}

TEST_P(LnwLesen, ApostrophesNeitherBreakTheFillNorShiftTests)
{
    lnwtest::NM nm(GetParam());
    const qint64 k = nm.kurs("M'1", "5'a", "O'B", {{"ex1", 0.5}});
    nm.gleicheNoten(k, "ex1", "3", 2);
    nm.lnw(k, 10, "Ex");
    const Fuellung fach = fuellen(nm, *nachFaechern(liste({"M'1"}, {"M'1"})));
    const Fuellung lehrer = fuellen(nm, *nachLehrern(liste({"O'B"}, {"O'B"})));
    const Fuellung eigen = fuellen(nm, eigenerUnterricht("o'b"));
    for (const Fuellung *f : {&fach, &lehrer, &eigen}) {
        ASSERT_EQ(zeilenText(*f), QStringList({"M'1|5'a|O'B"}));
        const int c = blockSpalteFuerTest(10, f->verschiebung);
        EXPECT_EQ(f->zeilen[0].text(c + Art), "Ex");
        EXPECT_EQ(f->zeilen[0].text(103 + Schnitt), "3,00");
        EXPECT_EQ(f->zeilen[0].text(103 + Wicht), "0,5");
    }
}

// The rounding itself: LnwSchnitt.
TEST_P(LnwLesen, GradesCountOnlyValidDigits)
{
    lnwtest::NM nm(GetParam());
    const qint64 k = nm.kurs("D", "7c", "AB");
    // 2, 3-, 4, 5 and an empty grade: count 4, sum 14.
    int nr = 1;
    for (const char *note : {"2", "3-", "4", "5", "", "0", "7", "12", "2-3"})
        nm.noten(k, {{"sa1", QString::fromUtf8(note)}}, nr++);
    nm.noten(k, {{"sa1", QVariant()}}, nr++);
    nm.lnw(k, 0);
    const Fuellung f = fuellen(nm, eigenerUnterricht("AB"));
    ASSERT_EQ(f.zeilen.size(), 1);
    EXPECT_EQ(f.zeilen[0].text(3 + Schnitt), "3,50");
    EXPECT_EQ(f.zeilen[0].text(3 + Anzahl), "4");
    EXPECT_EQ(f.zeilen[0].text(13 + Schnitt), "");
    EXPECT_EQ(f.zeilen[0].text(13 + Anzahl), "");
}

TEST_P(LnwLesen, CourseWithoutPupilsShowsNoWeights)
{
    lnwtest::NM nm(GetParam());
    const qint64 k = nm.kurs("D", "7c", "AB", {{"sa1", 2.0}});
    nm.lnw(k, 0);
    const Fuellung f = fuellen(nm, eigenerUnterricht("AB"));
    ASSERT_EQ(f.zeilen.size(), 1);
    EXPECT_EQ(f.zeilen[0].text(3 + Wicht), "");
    EXPECT_EQ(f.zeilen[0].farbe(3 + Schnitt), Weiss); // empty average reads 0
}

TEST_P(LnwLesen, ColoursFollowThresholdHandInAndMinimum)
{
    lnwtest::NM nm(GetParam());
    const qint64 k = nm.kurs("D", "7c", "AB");
    nm.gleicheNoten(k, "sa1", "3", 5); // 3,00 with 5 grades
    nm.gleicheNoten(k, "ka1", "4", 6); // 4,00 with 6 grades (other pupils)
    nm.gleicheNoten(k, "ex1", "5", 9);
    nm.gleicheNoten(k, "ex2", "5", 9);
    nm.lnw(k, 0);                        // not handed in, exactly the minimum
    const int ka1 = nm.layout == Layout::Current ? 6 : 4;
    const int ex1 = nm.layout == Layout::Current ? 10 : 8;
    nm.lnw(k, ka1);                      // not handed in, one above the minimum
    nm.lnw(k, ex1, "Ex", QString("2015-03-12"));
    nm.lnw(k, ex1 + 1, "Ex", QString("2000-01-01"));
    Schwellen s;
    s.grenzschnitt = "3,0";
    s.mindestanzahl = "5";
    const Fuellung f = fuellen(nm, eigenerUnterricht("AB"), s);
    ASSERT_EQ(f.zeilen.size(), 1);
    const KursZeile &z = f.zeilen[0];
    EXPECT_EQ(z.farbe(3 + Schnitt), Hellrot);   // 3,00 >= 3,0
    EXPECT_EQ(z.farbe(3 + Abgegeben), 0);       // 5 grades, minimum 5
    EXPECT_EQ(z.farbe(63 + Schnitt), Hellrot);
    EXPECT_EQ(z.farbe(63 + Abgegeben), Hellrot); // 6 > 5
    EXPECT_EQ(z.farbe(103 + Abgegeben), Hellgruen);
    EXPECT_EQ(z.text(103 + Abgegeben), "12.03.");
    EXPECT_EQ(z.farbe(113 + Abgegeben), Hellrot); // 1.1.2000 counts as not handed in
    EXPECT_EQ(z.text(113 + Abgegeben), "");
    EXPECT_EQ(z.farbe(23 + Schnitt), 0);          // no test row: no colour

    s.grenzschnitt = "3,5";
    s.mindestanzahl = "5,5"; // read as 5 by the leading-number rule
    const Fuellung g = fuellen(nm, eigenerUnterricht("AB"), s);
    EXPECT_EQ(g.zeilen[0].farbe(3 + Schnitt), Weiss);
    EXPECT_EQ(g.zeilen[0].farbe(63 + Abgegeben), Hellrot);
}

TEST_P(LnwLesen, DatesAfterTheYear2000AreShownDayAndMonth)
{
    lnwtest::NM nm(GetParam());
    const qint64 k = nm.kurs("D", "7c", "AB");
    nm.lnw(k, 0, "SA", QVariant(), QString("Bem."), QString("2000-01-02"), QString("1999-12-31"), 7, 90);
    nm.lnw(k, 1, "SA", QString("abc"), QVariant());
    nm.lnw(k, 2, "SA", QString("2015-03-25 10:00:00"), QVariant(), QString("2015-03-12"), QString("2015-03-20"));
    const Fuellung f = fuellen(nm, eigenerUnterricht("AB"));
    const KursZeile &z = f.zeilen[0];
    EXPECT_EQ(z.text(3 + Geschrieben), "02.01.");
    EXPECT_EQ(z.text(3 + Rueckgabe), "");
    // All three dates of a test, a time of day included.
    EXPECT_EQ(QStringList({z.text(23 + Geschrieben), z.text(23 + Rueckgabe), z.text(23 + Abgegeben)}),
              QStringList({"12.03.", "20.03.", "25.03."}));
    EXPECT_EQ(z.text(3 + Bemerk), "Bem.");
    EXPECT_EQ(z.text(3 + Zeit), "90");
    EXPECT_EQ(z.text(3 + LfdNr), "7");
    EXPECT_EQ(z.text(13 + Abgegeben), ""); // no date
    EXPECT_NE(z.farbe(13 + Abgegeben), Hellgruen);
}

TEST(LnwLesenLayout, OlderLayoutShiftsTestsAboveSpalte3)
{
    lnwtest::NM nm(Layout::Older);
    const qint64 k = nm.kurs("D", "7c", "AB", {{"ka1", 1.0}});
    nm.gleicheNoten(k, "ka1", "2", 3);
    nm.lnw(k, 3, "SA4");
    nm.lnw(k, 4, "KA1");
    nm.lnw(k, 15, "EX8");
    nm.lnw(k, 16, "zu weit");
    const Fuellung f = fuellen(nm, eigenerUnterricht("AB"));
    EXPECT_EQ(f.verschiebung, 2);
    const KursZeile &z = f.zeilen[0];
    EXPECT_EQ(z.text(33 + Art), "SA4");
    EXPECT_EQ(z.text(63 + Art), "KA1");   // "1. KA"
    EXPECT_EQ(z.text(63 + Schnitt), "2,00");
    EXPECT_EQ(z.text(63 + Wicht), "1");
    EXPECT_EQ(z.text(173 + Art), "EX8");  // "8. Ex"
    for (int c : {43, 53})                // "5. SchA", "6. SchA" stay empty
        for (int u = 0; u < BlockBreite; ++u)
            EXPECT_EQ(z.text(c + u), "") << c + u;
}

TEST(LnwLesenLayout, OneTableInTheOlderFormShiftsTheWholeFill)
{
    lnwtest::NM nm(Layout::Current);
    nm.db.exec("ALTER TABLE Noten DROP COLUMN sa5");
    const Aufbau a = aufbauErkennen(nm.db);
    EXPECT_TRUE(a.notenAlt);
    EXPECT_FALSE(a.unterrichtAlt);
    EXPECT_EQ(a.verschiebung(), 2);
}

// The grouped reads give what one grade and one weight statement per course would give,
// also when two course rows share subject, class and teacher (compared without regard to case).
TEST_P(LnwLesen, GroupedReadsMatchPerCourseStatements)
{
    lnwtest::NM nm(GetParam());
    const qint64 a1 = nm.kurs("M", "5a", "AB", {{"sa1", 2.0}, {"ex1", 1.0}});
    const qint64 a2 = nm.kurs("M", "5a", "AB", {{"sa1", 3.0}});
    const qint64 a3 = nm.kurs("m", "5A", "ab", {{"sa1", 4.0}});
    const qint64 b = nm.kurs("M", "6b", "AB", {{"sa2", 1.0}});
    const qint64 ohneLehrer = nm.kurs("M", "7c", QVariant(), {{"sa1", 1.0}});
    nm.gleicheNoten(a2, "sa1", "2", 2);
    nm.gleicheNoten(a1, "sa1", "4", 3);
    nm.gleicheNoten(a3, "ex1", "1", 1);
    nm.gleicheNoten(b, "sa2", "5", 4);
    nm.gleicheNoten(ohneLehrer, "sa1", "1", 2);
    nm.lnw(a1, 0);
    nm.lnw(b, 1);
    nm.lnw(ohneLehrer, 0);
    const Fuellung f = fuellen(nm, *nachFaechern(liste({"M"}, {"M"})));
    ASSERT_EQ(zeilenText(f), QStringList({"M|5a|AB", "M|6b|AB", "M|7c|"}));
    // Row, block start, average, count, weight (the weights of the first course with pupils).
    const std::vector<std::tuple<int, int, const char *, const char *, const char *>> erwartet{
        {0, 3, "3,20", "5", "2"},  // a1 and a2 pooled
        {0, 103, "1,00", "1", "1"}, // a3 differs only in case
        {0, 13, "", "", ""},
        {1, 13, "5,00", "4", "1"},
        {1, 3, "", "", ""},
        {2, 3, "", "", ""}, // a Null teacher equals no text: no grades, no weights
    };
    for (const auto &[z, c, schnitt, anzahl, wicht] : erwartet) {
        const KursZeile &k = f.zeilen[z];
        EXPECT_EQ(QStringList({k.text(c + Schnitt), k.text(c + Anzahl), k.text(c + Wicht)}),
                  QStringList({schnitt, anzahl, wicht})) << z << " " << c;
    }
}

// A file with an index on UIndex is read through the selected courses; one without it (converted
// from Access) in one pass over each table: both show the same rows, averages, counts and weights.
TEST_P(LnwLesen, ReadThroughTheCoursesGivesWhatOnePassGives)
{
    lnwtest::NM mit(GetParam(), true), ohne(GetParam(), false);
    for (lnwtest::NM *nm : {&mit, &ohne}) {
        const qint64 a = nm->kurs("M", "5a", "AB", {{"sa1", 2.0}});
        const qint64 b = nm->kurs("m", "5A", "ab", {{"sa1", 3.0}}); // the same course by the engine's comparison
        const qint64 c = nm->kurs("D", "6b", "Äu", {{"ka1", 1.0}});
        const qint64 d = nm->kurs("M", "7c", "ÄU");
        const qint64 e = nm->kurs("M", "8d", "CD");
        nm->gleicheNoten(a, "sa1", "2", 3);
        nm->gleicheNoten(b, "sa1", "4", 1);
        nm->gleicheNoten(c, "ka1", "1-", 2);
        nm->gleicheNoten(d, "sa1", "5", 1);
        nm->gleicheNoten(e, "sa1", "3", 2);
        for (qint64 k : {a, c, d, e})
            nm->lnw(k, 0);
        nm->lnw(c, 6);
    }
    auto alles = [](const Fuellung &f) {
        QStringList out;
        for (const KursZeile &z : f.zeilen)
            out << z.fach + "|" + z.klasse + "|" + z.lehrer + "|" + QStringList(z.zellen.begin(), z.zellen.end()).join(",");
        return out;
    };
    const std::vector<KursAbfrage> abfragen{*nachLehrern(liste({"*", "AB", "äu"}, {"äu"})),
                                           *nachLehrern(liste({"*", "AB", "äu"}, {"AB", "äu"})),
                                           *nachFaechern(liste({"M"}, {"M"})), eigenerUnterricht("ab")};
    for (const KursAbfrage &q : abfragen) {
        const QStringList erwartet = alles(fuellen(ohne, q));
        EXPECT_FALSE(erwartet.isEmpty());
        EXPECT_EQ(alles(fuellen(mit, q)), erwartet) << q.bedingung.toStdString();
    }
    // The teacher's courses in either case of an umlaut, with their averages.
    const Fuellung f = fuellen(mit, *nachLehrern(liste({"*", "äu"}, {"äu"})));
    ASSERT_EQ(f.zeilen.size(), 2);
    const KursZeile *d = zeile(f, "D", "6b", "Äu"), *m = zeile(f, "M", "7c", "ÄU");
    ASSERT_TRUE(d && m);
    EXPECT_EQ(d->text(63 + Schnitt), "1,00");
    EXPECT_EQ(m->text(3 + Schnitt), "5,00");
}
