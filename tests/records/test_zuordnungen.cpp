#include "core/frm_main.h"
#include "core/rechte.h"
#include "platform/grid/vsgrid.h"
#include "records/frm_unterrichtbearbeiten.h"
#include "records/register_records.h"
#include "records/zuordnungen.h"
#include "test_listen_fixture.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QRegularExpression>
#include <QTest>

namespace {

// Two pupils of 10a share their first 20 name characters.
const QString kLang1 = QStringLiteral("Abcdefghijklmnopqrstz"), kLang2 = QStringLiteral("Abcdefghijklmnopqrsta");

QStringList spalte(const GridStore &g, int c)
{
    QStringList out;
    for (int r = zuordnungen::KopfZeilen; r < g.rows(); ++r)
        out << g.textMatrix(r, c);
    return out;
}

} // namespace

class Zuordnungen : public listentest::ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        einfuegen(QStringLiteral(
            "INSERT INTO Klassen (Klasse) VALUES ('AUS'),('aus3'),('Q11'),('9c');"
            "INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse, Ausbildungsrichtung, Geschlecht) VALUES "
            "(7,'Müller','Ben','10a','S','m'),(8,'%1','Anna','10a',NULL,'w'),(9,'%2','Zora','10a',NULL,'w'),"
            "(10,'Quast','Quentin','Q11','N','m');"
            "UPDATE Schüler SET Ausbildungsrichtung = 'N', Geschlecht = 'w' WHERE SchülerNr = 1;"
            "UPDATE Schüler SET Ausbildungsrichtung = 'S', Geschlecht = 'm' WHERE SchülerNr = 2;"
            "INSERT INTO FächerGym (FachKürzel, LfdNr) VALUES ('D',1),('E',2),('M',3);"
            "INSERT INTO Unterricht (\"Index\", Klasse, Fach, Lehrkraft, AnzStd) VALUES "
            "(1,'10a','M','SCH',4),(2,'10a','D','BAU',1.5),(3,'10a','E','SCH',1.5),(4,'10a','Sp','BAU',2),"
            "(5,'5a','M','SCH',4),(6,'10B','M','BAU',4);"
            "INSERT INTO Noten (SchülerNr, UIndex, Archiv) VALUES "
            "(1,1,0),(2,1,0),(7,1,0),(8,1,0),(9,1,0),(1,2,0),(1,3,0),(2,2,1),(3,1,0),(1,5,0);")
                    .arg(kLang1, kLang2));
    }

    GridStore klasse(const QString &k)
    {
        GridStore g;
        zuordnungen::leeresGitter(g);
        zdb::Db db;
        db.open(pfad, zdb::Db::ReadOnly);
        zuordnungen::gitterFuellen(g, zuordnungen::lesen(db, k));
        return g;
    }
};

TEST_F(Zuordnungen, ClassListWithoutAusByLeadingNumber)
{
    zdb::Db db;
    db.open(pfad, zdb::Db::ReadOnly);
    EXPECT_EQ(zuordnungen::klassenLesen(db), QStringList({"Q11", "5a", "9c", "10a", "10B"}));
}

TEST_F(Zuordnungen, ClassGridTicksCountsHoursAndYellowCourses)
{
    const GridStore g = klasse("10a");
    ASSERT_EQ(g.rows(), 9);
    ASSERT_EQ(g.cols(), 12);
    // Courses by the subject's running number (none first), then by subject.
    EXPECT_EQ(g.textMatrix(1, 6), "Sp");
    EXPECT_EQ(g.textMatrix(1, 7), "D");
    EXPECT_EQ(g.textMatrix(0, 9), "1");
    EXPECT_EQ(g.textMatrix(3, 7), "1,5");
    EXPECT_EQ(g.textMatrix(3, 10), "Anz");
    EXPECT_EQ(g.textMatrix(3, 11), "Std");
    EXPECT_EQ(g.rowHeight(0), 0);
    EXPECT_EQ(g.colWidth(0), 0);
    EXPECT_EQ(g.colWidth(5), 0);

    // Sorted by name; names cut to 20 characters order by first name.
    EXPECT_EQ(spalte(g, 1), QStringList({kLang1, kLang2, "Maier", "Müller", "Müller"}));
    EXPECT_EQ(spalte(g, 2), QStringList({"Anna", "Zora", "Ömer", "Anna", "Ben"}));
    const int anna = 7, oemer = 6;
    EXPECT_EQ(g.cellChecked(anna, 7), grid::Checked);
    EXPECT_EQ(g.cellChecked(anna, 6), grid::Unchecked);
    EXPECT_EQ(g.cellChecked(oemer, 7), grid::Unchecked); // archived grade row
    EXPECT_EQ(g.cellChecked(oemer, 9), grid::Checked);
    EXPECT_EQ(g.textMatrix(anna, 10), "3");
    EXPECT_EQ(g.textMatrix(anna, 11), "7"); // 1,5 + 1,5 + 4
    EXPECT_EQ(g.textMatrix(oemer, 11), "4");

    // Courses that not every pupil has are yellow; the one everybody has is not, headings never.
    for (int r = 4; r < 9; ++r) {
        EXPECT_EQ(g.cellBackColor(r, 6), zuordnungen::Gelb);
        EXPECT_EQ(g.cellBackColor(r, 8), zuordnungen::Gelb);
        EXPECT_EQ(g.cellBackColor(r, 9), 0);
    }
    EXPECT_EQ(g.cellBackColor(3, 6), 0);
}

TEST_F(Zuordnungen, ClassClickReadsOnlyTheGradeRowsOfItsCoursesThroughTheIndex)
{
    zdb::Db db;
    db.open(pfad, zdb::Db::ReadOnly);
    const zdb::Result plan =
        db.query(QStringLiteral("EXPLAIN QUERY PLAN ") + zuordnungen::zuordnungenSql(3), {1, 2, 3});
    QStringList schritte;
    for (const QVariantList &r : plan.rows)
        schritte << r.last().toString();
    EXPECT_TRUE(schritte.filter(QRegularExpression("^SCAN( TABLE)? Noten\\b")).isEmpty()) << schritte.join(" | ").toStdString();
    EXPECT_FALSE(schritte.filter(QRegularExpression("Noten.*USING.*INDEX")).isEmpty()) << schritte.join(" | ").toStdString();
}

TEST_F(Zuordnungen, HeadingSortGroupsByBranchAndCountsAsNumbers)
{
    GridStore g = klasse("10a");
    zuordnungen::nachSpalteSortieren(g, 3);
    EXPECT_EQ(spalte(g, 3), QStringList({"", "", "N", "S", "S"}));
    EXPECT_EQ(spalte(g, 1), QStringList({kLang1, kLang2, "Müller", "Maier", "Müller"}));
    zuordnungen::nachSpalteSortieren(g, 2);
    EXPECT_EQ(spalte(g, 2), QStringList({"Anna", "Anna", "Ben", "Ömer", "Zora"}));
    EXPECT_EQ(g.row(), 0);

    // Counts and hours compare by value.
    const QStringList anzahlen{"10", "9", "4", "2", "0"};
    for (int i = 0; i < anzahlen.size(); ++i)
        g.setTextMatrix(4 + i, 10, anzahlen[i]);
    zuordnungen::nachSpalteSortieren(g, 10);
    EXPECT_EQ(spalte(g, 10), QStringList({"0", "2", "4", "9", "10"}));
}

TEST(ZuordnungenSortierung, KeysFillTheFirstTextTo20Characters)
{
    zuordnungen::Daten d;
    d.schueler = {{1, "von Berg", "Ann", "S", "w"}, {2, "Adam", "Anna", "N", "w"}, {3, "Abel", "Ann", "N", "m"}};
    GridStore g;
    zuordnungen::leeresGitter(g);
    zuordnungen::gitterFuellen(g, d);
    // Column, first names in order.
    const std::vector<std::pair<int, QStringList>> faelle{
        {1, {"Ann", "Anna", "Ann"}},  // Abel, Adam, von Berg
        {2, {"Ann", "Ann", "Anna"}},  // "Ann" filled with blanks sorts before "Anna"
        {3, {"Ann", "Anna", "Ann"}},  // N (Abel, Adam), then S
    };
    for (const auto &[c, vornamen] : faelle) {
        zuordnungen::nachSpalteSortieren(g, c);
        EXPECT_EQ(spalte(g, 2), vornamen) << c;
    }
    zuordnungen::nachSpalteSortieren(g, 2);
    EXPECT_EQ(spalte(g, 1), QStringList({"Abel", "von Berg", "Adam"}));
}

TEST_F(Zuordnungen, ClassesWithoutPupilsCoursesOrGradeRows)
{
    GridStore leer = klasse("9c");
    EXPECT_EQ(leer.rows(), 4);
    EXPECT_EQ(leer.cols(), 6);
    EXPECT_EQ(leer.textMatrix(3, 1), "Name");

    GridStore ohneKurse = klasse("Q11");
    EXPECT_EQ(ohneKurse.rows(), 5);
    EXPECT_EQ(ohneKurse.cols(), 6);
    EXPECT_EQ(ohneKurse.textMatrix(4, 1), "Quast");

    GridStore ohneNoten = klasse("10b"); // the class name matches without regard to case
    ASSERT_EQ(ohneNoten.cols(), 9);
    EXPECT_EQ(ohneNoten.textMatrix(4, 1), "Schmidt");
    EXPECT_EQ(ohneNoten.cellChecked(4, 6), grid::Unchecked);
    EXPECT_EQ(ohneNoten.cellBackColor(4, 6), 0);
    EXPECT_EQ(ohneNoten.textMatrix(3, 7), "");
    EXPECT_EQ(ohneNoten.textMatrix(4, 7), "");

    // Grade rows only in another class's course: no tick, but counts and colours as for any class.
    zdb::Db db;
    db.open(pfad);
    db.exec(QStringLiteral("INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse) VALUES (11,'Gast','Gina','10c');"
                           "INSERT INTO Unterricht (\"Index\", Klasse, Fach, Lehrkraft, AnzStd) VALUES (7,'10c','M','SCH',4);"
                           "INSERT INTO Noten (SchülerNr, UIndex, Archiv) VALUES (11,1,0)"));
    db.close();
    GridStore fremd = klasse("10c");
    ASSERT_EQ(fremd.cols(), 9);
    EXPECT_EQ(fremd.cellChecked(4, 6), grid::Unchecked);
    EXPECT_EQ(fremd.textMatrix(4, 7), "0");
    EXPECT_EQ(fremd.textMatrix(4, 8), "0");
    EXPECT_EQ(fremd.cellBackColor(4, 6), zuordnungen::Gelb);
}

TEST_F(Zuordnungen, MenuOpensTheWindowAndAHeadingClickSorts)
{
    registerRecordsWindows();
    frm_Main m;
    m.resize(1200, 900);
    m.show();
    const rechte::Spalten spalten{{"mnu_Unterricht", "XS"}};
    m.menuesSetzen(rechte::berechnen(mdl::Benutzer, spalten, {}, {}));
    ASSERT_TRUE(m.menuAktion("mnuUnterrichtBearbeiten")->isVisible());
    EXPECT_EQ(m.menuAktion("mnuUnterrichtBearbeiten")->text(), "Übersicht über Zuordnungen");
    m.menuAktion("mnuUnterrichtBearbeiten")->trigger();
    auto *w = qobject_cast<frm_UnterrichtBearbeiten *>(m.fenster("frm_UnterrichtBearbeiten"));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->lstKlassen->count(), 5);
    // No class is highlighted while the grid shows none.
    QCoreApplication::processEvents();
    EXPECT_EQ(w->fg->rows(), 4);
    EXPECT_EQ(w->lstKlassen->currentRow(), -1);
    EXPECT_TRUE(w->lstKlassen->selectedItems().isEmpty());
    // A class chosen with the keys is shown as a clicked one.
    QTest::keyClick(w->lstKlassen, Qt::Key_Down);
    EXPECT_EQ(w->lstKlassen->currentRow(), 0);
    EXPECT_EQ(w->fg->rows(), 5); // Q11: one pupil

    w->lstKlassen->setCurrentRow(3);
    w->lstKlassen_Click();
    ASSERT_EQ(w->fg->rows(), 9);
    w->fg->setFocus();
    const QRect zelle = w->fg->cellRect(3, 2);
    ASSERT_FALSE(zelle.isEmpty());
    QTest::mouseClick(w->fg->viewport(), Qt::LeftButton, {},
                      zelle.center() - w->fg->viewport()->geometry().topLeft());
    EXPECT_EQ(w->fg->textMatrix(4, 2), "Anna");
    EXPECT_EQ(w->fg->textMatrix(8, 2), "Zora");
    EXPECT_EQ(w->fg->row(), 0);
    EXPECT_FALSE(w->fg->editable());
}

TEST_F(Zuordnungen, CourseHeadingsWiderThanTheirColumnWidenIt)
{
    {
        zdb::Db db;
        db.open(pfad);
        db.exec(QStringLiteral("INSERT INTO Unterricht (\"Index\", Klasse, Fach, Lehrkraft, AnzStd) VALUES "
                               "(7,'10a','Rel Ev','PFARRER',2);"
                               "INSERT INTO Noten (SchülerNr, UIndex, Archiv) VALUES (7,7,0);"));
    }
    registerRecordsWindows();
    frm_Main m;
    m.resize(1200, 900);
    m.show();
    auto *w = qobject_cast<frm_UnterrichtBearbeiten *>(m.zeigen("frm_UnterrichtBearbeiten"));
    ASSERT_NE(w, nullptr);
    w->lstKlassen->setCurrentRow(w->lstKlassen->row(w->lstKlassen->findItems("10a", Qt::MatchExactly).value(0)));
    w->lstKlassen_Click();
    const VSGrid &g = *w->fg;
    int rel = -1, mathe = -1;
    for (int c = zuordnungen::ErsteKursSpalte; c < g.cols(); ++c) {
        if (g.textMatrix(1, c) == "Rel Ev")
            rel = c;
        if (g.textMatrix(1, c) == "M")
            mathe = c;
    }
    ASSERT_GE(rel, 0);
    ASSERT_GE(mathe, 0);
    EXPECT_GE(g.colWidth(rel), g.textWidthTwips("Rel Ev"));
    EXPECT_GE(g.colWidth(rel), g.textWidthTwips("PFARRER"));
    EXPECT_EQ(g.colWidth(mathe), zuordnungen::KursBreite); // short headings keep the designed width
    EXPECT_EQ(g.colWidth(0), 0);
    EXPECT_EQ(g.colWidth(zuordnungen::SchluesselSpalte), 0);
}
