// The absence lists in Excel: what each list holds, ditto marks, totals, and the buttons' road.
#include "absence/excellisten.h"
#include "absence/frm_fehltage_excel.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace absence::excellisten;

namespace {

class ExcelListen : public ::testing::Test {
protected:
    void SetUp() override
    {
        person("1", "Zahn", "Anna", "5a");
        person("2", "Abel", "Bert", "5a");
        person("3", "Moser", "Cem", "10b");
        person("4", "Kiefer", "Dora", "7c"); // a class the class list does not hold
        person("MÜL", "Müller", "Eva", "LK");
        person("X", "Admin", "", "LK");
        klassen.setRows(3);
        klassen.setCols(3);
        for (const auto &[r, k, n] : {std::tuple{0, "Klasse", "Name"}, {1, "5a", "Huber"}, {2, "10B", "Huber"}}) {
            klassen.setTextMatrix(r, 1, k);
            klassen.setTextMatrix(r, 2, n);
        }
    }
    void person(const QString &id, const QString &name, const QString &vorname, const QString &klasse)
    {
        mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id, Name, Vorname, Klasse) VALUES (?, ?, ?, ?)",
                          {id, name, vorname, klasse});
    }
    void fehltag(const QString &id, const QDate &tag, const QVariant &zaehlt, bool entschuldigt = false,
                 const QString &grund = "kr")
    {
        mdl::dbEigen.exec("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, zaehlt, entschuldigt) VALUES (?, ?, ?, ?, ?)",
                          {id, zdb::isoDate(tag), grund, zaehlt, entschuldigt ? 1 : 0});
    }
    // "Name, Vorname=Fehltage" of every row of the list of many days.
    static QStringList summen(const xlsx::Workbook &book)
    {
        QStringList personen;
        for (int r = 4; r <= book.sheet(1).lastRow(); ++r)
            personen << book.sheet(1).text(r, 1) + "=" + book.sheet(1).text(r, 3);
        return personen;
    }
    QStringList zeile(const xlsx::Worksheet &ws, int r, int spalten = 6)
    {
        QStringList out;
        for (int c = 1; c <= spalten; ++c)
            out << ws.text(r, c);
        return out;
    }
    absencetest::Schule schule;
    VSGrid klassen;
};

TEST_F(ExcelListen, UnexcusedDaysOfPupilsInThePeriodWithDittoMarks)
{
    const QDate a(2016, 10, 4), b(2016, 10, 7);
    fehltag("2", a, "1,0");
    fehltag("2", a.addDays(1), "0,5", false, "un");
    fehltag("1", b, QVariant());
    fehltag("1", b.addDays(1), "1,0");       // after the period
    fehltag("1", a.addDays(1), "1,0", true); // excused
    fehltag("3", a, "1,0");
    fehltag("4", a, "1,0");
    fehltag("MÜL", a, "1,0"); // teacher
    // The period reversed gives the list of the period in order and its title in ascending order.
    QDate erster, letzter;
    ASSERT_TRUE(zeitraumLesen("07.10.2016", "04.10.2016", erster, letzter));
    EXPECT_EQ(erster, a);
    xlsx::Workbook book;
    ASSERT_TRUE(unentschuldigtFuellen(mdl::dbEigen, erster, letzter, klassen, book));
    const auto &ws = book.sheet(1);
    EXPECT_EQ(ws.text(1, 1), "unentschuldigte Fehltage im Zeitraum 04.10.2016 bis 07.10.2016");
    EXPECT_EQ(zeile(ws, 3), QStringList({"Klasse", "Klassenleiter", "Person", "Fehltag", "Grund", "zaehlt"}));
    EXPECT_EQ(zeile(ws, 4), QStringList({"10b", "Huber", "Moser, Cem", "Di 04.10.2016", "kr", "1,0"}));
    EXPECT_EQ(zeile(ws, 5), QStringList({"5a", " \"", "Abel, Bert", "Di 04.10.2016", "kr", "1,0"}));
    EXPECT_EQ(zeile(ws, 6), QStringList({" \"", " \"", " \"", "Mi 05.10.2016", "un", "0,5"}));
    EXPECT_EQ(zeile(ws, 7), QStringList({" \"", " \"", "Zahn, Anna", "Fr 07.10.2016", "kr", ""}));
    // A class missing from the class list shows no teacher rather than the one before.
    EXPECT_EQ(zeile(ws, 8), QStringList({"7c", "", "Kiefer, Dora", "Di 04.10.2016", "kr", "1,0"}));
    EXPECT_EQ(ws.lastRow(), 8);
    EXPECT_EQ(ws.autoFilter().address(), "A3:F8");
    EXPECT_EQ(ws.value(4, 1).toDouble(), 0.0); // "10b" stays text; only a plain "10" would become a number
    EXPECT_EQ(ws.value(4, 6).typeId(), QMetaType::Double);
}

TEST_F(ExcelListen, ManyDaysCountsHalvesAndEmptyValuesAndListsEveryoneForZero)
{
    const QDate a(2016, 10, 4);
    fehltag("1", a, QVariant());
    fehltag("1", a.addDays(1), "");
    fehltag("2", a, "0,5", true);
    fehltag("2", a.addDays(1), "1,0");
    fehltag("mül", a, "1,0"); // id in another case is the same teacher
    fehltag("3", a.addDays(30), "1,0"); // outside
    xlsx::Workbook book;
    ASSERT_TRUE(vieleFehltageFuellen(mdl::dbEigen, a, a.addDays(3), 2, "04.10.2016", " 07.10.2016 ", book));
    const auto &ws = book.sheet(1);
    EXPECT_EQ(ws.text(1, 1), "Personen mit 2 Fehltagen (oder mehr) im Zeitraum 04.10.2016 bis 07.10.2016");
    EXPECT_EQ(zeile(ws, 3, 3), QStringList({"Person", "Klasse", "Fehltage"}));
    EXPECT_EQ(zeile(ws, 4, 3), QStringList({"Zahn, Anna", "5a", "2"}));
    EXPECT_EQ(ws.lastRow(), 4);

    xlsx::Workbook alle;
    ASSERT_TRUE(vieleFehltageFuellen(mdl::dbEigen, a, a.addDays(3), 0, "", "", alle));
    EXPECT_EQ(summen(alle), QStringList({"Abel, Bert=1,5", "Kiefer, Dora=0", "Moser, Cem=0", "Müller, Eva=1",
                                     "Zahn, Anna=2"}));
    xlsx::Workbook keine;
    EXPECT_FALSE(vieleFehltageFuellen(mdl::dbEigen, a, a.addDays(3), 3, "", "", keine));
}

// Names equal but for their case are equal keys, as Access sorts them: the first name decides,
// and the class before the name in the list of unexcused days.
TEST_F(ExcelListen, NamesEqualButForCaseAreOrderedByTheNextKey)
{
    person("5", "MÜLLER", "Lea", "6A");
    person("6", "Müller", "Jan", "6a");
    person("7", "Abt", "Udo", "6A");
    const QDate a(2016, 10, 4);
    for (const char *id : {"5", "6", "7"})
        fehltag(id, a, "1,0");
    xlsx::Workbook alle;
    ASSERT_TRUE(vieleFehltageFuellen(mdl::dbEigen, a, a, 1, "", "", alle));
    EXPECT_EQ(summen(alle), QStringList({"Abt, Udo=1", "Müller, Jan=1", "MÜLLER, Lea=1"}));
    xlsx::Workbook unentschuldigt;
    ASSERT_TRUE(unentschuldigtFuellen(mdl::dbEigen, a, a, klassen, unentschuldigt));
    QStringList personen;
    for (int r = 4; r <= unentschuldigt.sheet(1).lastRow(); ++r)
        personen << unentschuldigt.sheet(1).text(r, 3);
    EXPECT_EQ(personen, QStringList({"Abt, Udo", "Müller, Jan", "MÜLLER, Lea"}));
}

// The lists match a stored id with a person by the rule of every absence view: blanks trimmed, case
// ignored in every form (ß and SS, the long s), so they hold exactly what the calendar shows.
TEST_F(ExcelListen, StoredIdsMatchTheirPersonAsInTheCalendar)
{
    person("Strauß", "Strauß", "Udo", "LK");
    person("Kiſ", "Kiss", "Ida", "5a");
    const QDate a(2016, 10, 4);
    fehltag(" 4 ", a, "1,0");
    fehltag("3 ", a.addDays(1), "1,0");
    fehltag("kis ", a, "1,0");
    fehltag(" mül", a, "1,0");
    fehltag("STRAUSS", a, "1,0");
    fehltag("strauß ", a.addDays(1), "1,0");
    xlsx::Workbook book;
    ASSERT_TRUE(unentschuldigtFuellen(mdl::dbEigen, a, a.addDays(3), klassen, book));
    const auto &ws = book.sheet(1);
    ASSERT_EQ(ws.lastRow(), 6);
    EXPECT_EQ(zeile(ws, 4), QStringList({"10b", "Huber", "Moser, Cem", "Mi 05.10.2016", "kr", "1,0"}));
    EXPECT_EQ(zeile(ws, 5), QStringList({"5a", " \"", "Kiss, Ida", "Di 04.10.2016", "kr", "1,0"}));
    EXPECT_EQ(zeile(ws, 6), QStringList({"7c", "", "Kiefer, Dora", "Di 04.10.2016", "kr", "1,0"}));

    xlsx::Workbook alle;
    ASSERT_TRUE(vieleFehltageFuellen(mdl::dbEigen, a, a.addDays(3), 1, "", "", alle));
    EXPECT_EQ(summen(alle), QStringList({"Kiefer, Dora=1", "Kiss, Ida=1", "Moser, Cem=1", "Müller, Eva=1",
                                     "Strauß, Udo=2"}));
}

TEST_F(ExcelListen, NumberBoxAndPeriodBoxesAreReadSafely)
{
    int n = -1;
    for (const auto &[text, zahl] : {std::pair{"", 0}, {"2.5", 2 /* half to even */}, {"15 Tage", 15}}) {
        EXPECT_TRUE(anzahlLesen(text, n)) << text;
        EXPECT_EQ(n, zahl) << text;
    }
    EXPECT_FALSE(anzahlLesen("40000", n));
    QDate a, b;
    EXPECT_FALSE(zeitraumLesen("31.02.2016", "01.03.2016", a, b));
    EXPECT_FALSE(zeitraumLesen("", "01.03.2016", a, b));
}

TEST_F(ExcelListen, DayListFollowsTheCheckBoxesAndLeavesTeachersOutUnlessAsked)
{
    VSGrid kranke;
    kranke.setRows(4);
    kranke.setCols(6);
    const QList<QStringList> daten{{"Nr", "Klasse", "Name", "Grund", "Bemerkung", "Sort"},
                                   {"1", "10", "Zahn, Anna", "kr", "Arzt", "x"},
                                   {"2", "5a", "Abel, Bert", "bf", "", "y"},
                                   {"MÜL", "LK", "Müller, Eva", "kr", "Fortbildung", "z"}};
    for (int r = 0; r < daten.size(); ++r)
        for (int c = 0; c < 6; ++c)
            kranke.setTextMatrix(r, c, daten[r][c]);
    auto klartext = [](const QString &c) { return c == "kr" ? QString("krank") : c; };

    xlsx::Workbook ohne;
    tageslisteFuellen(kranke, " Di 04.10.2016 ", {false, false, false, true}, klartext, ohne);
    const auto &w1 = ohne.sheet(1);
    EXPECT_EQ(w1.text(1, 1), "Absenzen am Di 04.10.2016");
    EXPECT_EQ(zeile(w1, 3, 4), QStringList({"Klasse", "Name", "Bemerkung", ""}));
    EXPECT_EQ(zeile(w1, 4, 4), QStringList({"10", "Zahn, Anna", "Arzt", ""}));
    EXPECT_EQ(w1.value(4, 1).typeId(), QMetaType::QString); // "10" kept as text
    EXPECT_TRUE(w1.isEmpty(6, 2));                          // teacher left out

    xlsx::Workbook mit;
    tageslisteFuellen(kranke, "Di 04.10.2016", {true, true, true, true}, klartext, mit);
    const auto &w2 = mit.sheet(1);
    EXPECT_EQ(zeile(w2, 3, 4), QStringList({"Klasse", "Name", "Grund", "Bemerkung"}));
    EXPECT_EQ(zeile(w2, 6, 4), QStringList({"LK", "Müller, Eva", "krank", "Fortbildung"}));
    EXPECT_EQ(w2.autoFilter().address(), "A3:D6");
}

TEST_F(ExcelListen, ButtonsReportAndHandTheWorkbookOverOrExplainWhyNot)
{
    QPushButton knopf;
    QLabel info;
    const Knopf k{&knopf, &info};
    {
        testsupport::MsgRecorder rec;
        cmd_unentschuldigt_Click(mdl::dbEigen, "04.10.2016", "07.10.2016", klassen, k);
        EXPECT_EQ(rec.texts(), QStringList({"Es wurden keine passenden Daten gefunden, daher wurde keine Excel-Liste "
                                             "erzeugt."}));
        cmdVieleFehltage_Click(mdl::dbEigen, "04.10.2016", "xx", "15", k);
        cmdExcel_Click(klassen, "  ", {}, {}, k);
        EXPECT_EQ(rec.texts().mid(1),
                  QStringList({"Der Zeitraum ist nicht gültig.\rBitte Start- und Endetag als Datum (TT.MM.JJJJ) "
                               "eingeben.",
                               "Es ist kein Tag markiert.\rBitte erst eine Klasse und dann einen Tag auswählen!"}));
    }
    fehltag("2", QDate(2016, 10, 5), "1,0");
    testsupport::MsgRecorder rec;
    const testsupport::Desktop desktop;
    cmd_unentschuldigt_Click(mdl::dbEigen, "07.10.2016", "04.10.2016", klassen, k);
    EXPECT_EQ(rec.texts(), QStringList({"Das Excel-Dokument wurde erstellt."}));
    EXPECT_TRUE(knopf.isEnabled());
    EXPECT_FALSE(info.isVisible());
    const QString datei = schule.sandbox.file("tmp/unentschuldigte Fehltage.xlsx");
    const auto cells = testsupport::xlsxCells(datei);
    EXPECT_EQ(cells.value("C4"), "Abel, Bert");
    EXPECT_TRUE(testsupport::zipEntry(datei, "xl/worksheets/sheet1.xml").contains("<autoFilter ref=\"A3:F4\"/>"));
}

} // namespace
