// The absence window's calendar clicks, reason pop-up, day list and period overview, offscreen.
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/units.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class Klicks : public absencetest::FensterTest {
protected:
    // Offered rows of the pop-up (height above 0), by code.
    QStringList angeboten()
    {
        QStringList a;
        for (int r = 0; r < f->fgGrund->rows(); ++r)
            if (f->fgGrund->rowHeight(r) > 0)
                a << f->fgGrund->textMatrix(r, 0);
        return a;
    }
    void waehlen(const QString &code)
    {
        for (int r = 0; r < f->fgGrund->rows(); ++r)
            if (f->fgGrund->textMatrix(r, 0) == code && f->fgGrund->rowHeight(r) > 0) {
                f->fgGrund->select(r, 0);
                f->fgGrund_Click();
                return;
            }
        ADD_FAILURE() << "not offered: " << code.toStdString();
    }
    void klick(int knopf, int r, int c)
    {
        f->fgSchueler_MouseDown(knopf, r, c);
        f->fgSchueler_MouseUp(knopf, r, c);
    }
    QStringList tagesliste(int spalte)
    {
        QStringList l;
        for (int r = 1; r < f->fgKranke->rows(); ++r)
            l << f->fgKranke->textMatrix(r, spalte);
        return l;
    }
};

} // namespace

TEST_F(Klicks, LeftClickShowsTheRecordTheDayListAndHidesThePopup)
{
    mdl::dbEigen.exec("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, s02, Bemerkung, zaehlt, entschuldigt) "
                      "VALUES ('13', ?, 'un', 'un', 'Arzt', '0,5', 1)", {zdb::isoDate(montag)});
    oeffnen("X", "5a");
    klick(2, zeile("12"), spalte(montag));
    EXPECT_TRUE(f->fgGrund->isVisible());
    klick(1, zeile("13"), spalte(montag));
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_EQ(QStringList({f->lblTag->text(), f->lblSName->text(), f->txtStd[0]->text(), f->txtStd[2]->text(),
                           f->txtBemerkung->text(), f->txt_Zaehlt->text(), f->lblDatum->text(), f->lblFehltage->text()}),
              QStringList({"07.10.2024", "Bauer, Ben", "un", "un", "Arzt", "0,5", "07.10.2024", "1"}));
    EXPECT_TRUE(f->chk_entschuldigt->isChecked());
    EXPECT_EQ(tagesliste(2), QStringList({"Bauer, Ben"}));

    klick(1, zeile("13"), 1); // the name column chooses nothing
    EXPECT_TRUE(f->lblTag->text().isEmpty());
    EXPECT_TRUE(f->txtStd[0]->text().isEmpty());
}

TEST_F(Klicks, PopupEntersAWholeDayAndDeletesIt)
{
    s.lehrer("AB", "Abt", "Alf");
    oeffnen("xs", "LK");
    const int r = zeile("AB"), c = spalte(montag);
    klick(2, r, c);
    ASSERT_TRUE(f->fgGrund->isVisible());
    EXPECT_EQ(f->PopupHerkunft, "fgSchueler");
    EXPECT_EQ(angeboten(), QStringList({"kr", "bf", "ab", "bu", "vs", "  "})); // no "un" for teachers
    EXPECT_EQ(f->fgGrund->row(), f->fgGrund->rows() - 1);
    waehlen("kr");
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_EQ(f->fgSchueler->textMatrix(r, c), "kr");
    EXPECT_EQ(s.fehltage("S_Id = 'AB' AND zaehlt = '1,0' AND Fehltag = '2024-10-07'"), 1);
    EXPECT_EQ(f->txtStd[0]->text(), "kr");
    EXPECT_EQ(tagesliste(1), QStringList({"LK"}));

    klick(2, r, c);
    waehlen("  ");
    EXPECT_EQ(f->fgSchueler->textMatrix(r, c), "  ");
    EXPECT_EQ(s.fehltage(), 0);
}

TEST_F(Klicks, ClassTeacherGetsNoCalendarPopupButThePanelBoxPopupSavesTheDaysReason)
{
    oeffnen("MÜ", "5a");
    const int r = zeile("12"), c = spalte(montag);
    klick(2, r, c);
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_EQ(f->lblSNr->text(), "12"); // the record is shown all the same

    f->txtStd_MouseDown(3, 2);
    ASSERT_TRUE(f->fgGrund->isVisible());
    EXPECT_EQ(f->PopupHerkunft, "3");
    EXPECT_LE(f->fgGrund->y() + f->fgGrund->height(), f->height());
    waehlen("bf");
    EXPECT_EQ(f->txtStd[3]->text(), "bf");
    EXPECT_EQ(f->txtStd[0]->text(), "bf");
    EXPECT_EQ(s.fehltage("S_Id = '12' AND Grund = 'bf' AND s03 = 'bf'"), 1);
    EXPECT_EQ(f->fgSchueler->textMatrix(r, c), "bf");

    f->txtStd_MouseDown(0, 2);
    waehlen("  ");
    EXPECT_TRUE(f->txtStd[3]->text().isEmpty());
    EXPECT_EQ(s.fehltage(), 0);
    EXPECT_TRUE(f->fgSchueler->textMatrix(r, c).isEmpty());
}

TEST_F(Klicks, EscapeClosesThePopupWithoutWritingWhereverTheFocusIsInTheWindow)
{
    oeffnen("X", "5a");
    f->show();
    const int r = zeile("12"), c = spalte(montag);
    klick(2, r, c);
    ASSERT_TRUE(f->fgGrund->isVisible());
    QTest::keyClick(f->fgGrund, Qt::Key_Escape);
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_TRUE(f->fgSchueler->textMatrix(r, c).trimmed().isEmpty());
    EXPECT_EQ(s.fehltage(), 0);

    // Opened from a panel box, with the focus moved on to the remark box meanwhile.
    f->txtStd_MouseDown(3, 2);
    ASSERT_TRUE(f->fgGrund->isVisible());
    QTest::keyClick(f->txtBemerkung, Qt::Key_Escape);
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_TRUE(f->txtStd[3]->text().isEmpty());
    EXPECT_EQ(s.fehltage(), 0);
    // Other keys leave it open.
    f->txtStd_MouseDown(3, 2);
    QTest::keyClick(f->fgGrund, Qt::Key_Down);
    EXPECT_TRUE(f->fgGrund->isVisible());
}

TEST_F(Klicks, PopupOfARebuiltCalendarWritesNothing)
{
    oeffnen("X", "5a");
    klick(2, zeile("12"), spalte(montag));
    f->txtSuche->setText("Zeller"); // another person now stands in that row
    waehlen("kr");
    EXPECT_EQ(s.fehltage(), 0);
    EXPECT_FALSE(f->fgGrund->isVisible());
}

TEST_F(Klicks, PanelBoxPopupNeedsADayAfterTheFirstOfSeptember2008)
{
    oeffnen("X", "5a");
    const struct {
        const char *nr, *tag;
        bool offen;
    } faelle[] = {{"", "", false}, {"12", "01.09.2008", false}, {"12", "02.09.2008", true}};
    for (const auto &t : faelle) {
        f->lblSNr->setText(t.nr);
        f->lblTag->setText(t.tag);
        f->txtStd_MouseDown(0, 2);
        EXPECT_EQ(f->fgGrund->isVisible(), t.offen) << t.tag;
    }
}

TEST_F(Klicks, DayListOrdersByGradeWithGroupLinesAndDropsRecordsWithoutPerson)
{
    for (const char *id : {"30", "20", "13", "12", "HU"})
        s.fehltag(id, montag, "kr");
    s.fehltag("  ", montag, "kr");
    mdl::dbEigen.exec("INSERT INTO tbl_Fehltage (Fehltag, Grund) VALUES (?, 'un')", {zdb::isoDate(montag)});
    s.fehltag("12", heute, "bf");
    oeffnen("X", "5a");
    f->KrankeEintragen(montag);
    EXPECT_EQ(tagesliste(1), QStringList({"5a", "5a", "5b", "10a", "LK"}));
    EXPECT_EQ(tagesliste(2).first(), "Abel, Anna");
    EXPECT_EQ(f->lblAnzahl->text(), "5 Einträge");
    EXPECT_EQ(s.fehltage(), 6);
    EXPECT_EQ(f->fgKranke->colAlignment(1), grid::AlignRightCenter);
    auto linien = [&] {
        QVector<int> l;
        for (int r = 1; r <= 5; ++r)
            l << f->fgKranke->store().cellBorders(r, 3).top.width;
        return l;
    };
    EXPECT_EQ(linien(), QVector<int>({1, 0, 1, 1, 1}));

    f->fgKranke_MouseDown(0, 1);
    EXPECT_EQ(tagesliste(1), QStringList({"10a", "5a", "5a", "5b", "LK"}));
    f->fgKranke_MouseDown(0, 2);
    EXPECT_EQ(linien(), QVector<int>(5, 0));

    // A person row shows that person's class in the calendar.
    f->fgKranke_MouseDown(int(tagesliste(2).indexOf("Maier, Max")) + 1, 1);
    EXPECT_EQ(f->fgSchueler->textMatrix(4, 1), "Maier, Max");
    EXPECT_EQ(f->lblFehltage->text(), "1");

    f->KrankeEintragen(QDate(2024, 10, 9));
    EXPECT_EQ(f->lblAnzahl->text(), "0 Einträge");
    EXPECT_EQ(f->fgKranke->colAlignment(1), grid::AlignLeftCenter);
}

TEST_F(Klicks, TeachersOfTheDayListFollowTheGermanOrderOfTheirAbbreviations)
{
    // All teachers share the key "LK": they stay in the order read, by abbreviation in German order.
    for (const char *k : {"Bzz", "Abr", "B\xc3\xa4u", "ab\xc3\xa4"}) {
        s.lehrer(QString::fromUtf8(k), QStringLiteral("Lehrer ") + QString::fromUtf8(k), QString());
        s.fehltag(QString::fromUtf8(k), montag, "kr");
    }
    s.fehltag("M\xc3\x9c", montag, "kr");
    oeffnen("X", "5a");
    f->KrankeEintragen(montag);
    EXPECT_EQ(tagesliste(0).join(' ').toStdString(), "ab\xc3\xa4 Abr B\xc3\xa4u Bzz M\xc3\x9c");
}

TEST_F(Klicks, ClassTeacherSeesOnlyTheSelectedClassInTheDayList)
{
    s.fehltag("12", montag, "kr");
    s.fehltag("20", montag, "kr");
    oeffnen("hu", "5b");
    f->KrankeEintragen(montag);
    EXPECT_EQ(tagesliste(0), QStringList({"20"}));

    // Before any class is clicked the first class of the list is the selected one.
    s.fehltag("123", montag, "bf");
    oeffnen("hu");
    ASSERT_EQ(f->fgKlassen->textMatrix(1, 0), "5b");
    EXPECT_EQ(f->fgKlassen->row(), 1);
    f->KrankeEintragen(montag);
    EXPECT_EQ(tagesliste(0), QStringList({"20"}));
}

TEST_F(Klicks, OverviewGivesTheSchoolDaysThePeriodsWidth)
{
    s.fehltag("12", montag, "kr");
    mdl::dbEigen.exec("UPDATE tbl_Fehlgrund SET farbe = 4227072 WHERE kurz = 'kr'");
    oeffnen("X", "5a");
    f->ListeGrundErstellen();
    VSGrid *g = f->fgSchueler;
    f->txtStartTag->setText("07.10.2024");
    f->txtEndeTag->setText("07.10.2024");
    f->cmdUeberblick_Click();
    const int c = spalte(montag);
    const int verfuegbar = units::pixelsToTwips(g->width()) - g->colWidth(0) - g->colWidth(1) - 60;
    EXPECT_NEAR(g->colWidth(c), verfuegbar / 2 + 1, 1);
    EXPECT_EQ(g->colWidth(c + 1), 0);
    EXPECT_EQ(g->textMatrix(0, c + 1), "Okt 24");
    EXPECT_EQ(g->cellBackColor(zeile("12"), c), 4227072);
    EXPECT_EQ(g->store().cellBorders(1, c).left.width, 1);

    // A weekend only hides every day column; a second overview counts by the day classification.
    f->txtStartTag->setText("05.10.2024");
    f->txtEndeTag->setText("06.10.2024");
    f->cmdUeberblick_Click();
    int sichtbar = 0;
    for (int k = 3; k < g->cols(); ++k)
        sichtbar += g->colWidth(k) > 0;
    EXPECT_EQ(sichtbar, 0);

    testsupport::MsgRecorder rec;
    f->txtEndeTag->setText("01.08.2025");
    f->cmdUeberblick_Click();
    EXPECT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(g->colWidth(c), 0); // unchanged
}

// The class click scrolls today a week from the left edge; the overview shows its period from the
// first school day on all the same, also when its days, in whole pixels, are wider than the view.
TEST_F(Klicks, OverviewStartsAtThePeriodsFirstSchoolDay)
{
    oeffnen("X", "5a");
    VSGrid *g = f->fgSchueler;
    const QDate erster(2024, 9, 30);
    ASSERT_GT(g->leftCol(), spalte(erster)); // where the class click left the calendar
    f->txtStartTag->setText("28.09.2024"); // a Saturday: the first school day is the Monday after
    f->txtEndeTag->setText("31.03.2025");
    f->cmdUeberblick_Click();
    int c = g->leftCol();
    while (c < g->cols() && g->colWidth(c) == 0)
        ++c;
    EXPECT_EQ(c, spalte(erster));
}

TEST_F(Klicks, DayListButtonsWriteTheWordAndExcelListsOfTheShownDay)
{
    s.fehltag("12", montag, "kr");
    s.fehltag("20", montag, "bf");
    oeffnen("X", "5a");
    f->KrankeEintragen(montag);
    testsupport::MsgRecorder boxes;

    f->cmdDrucken->click();
    const QString word = QDir(QDir::tempPath()).filePath("Absenzen am 07.10.2024.docx");
    ASSERT_TRUE(QFileInfo::exists(word)) << boxes.texts().join('|').toStdString();
    const QString xml = testsupport::zipEntry(word, "word/document.xml");
    EXPECT_TRUE(xml.contains("Abel, Anna"));
    EXPECT_TRUE(xml.contains("Zeller, Zoe"));

    f->cmdExcel->click();
    const QString book = QDir(QDir::tempPath()).filePath("Absenzen.xlsx");
    ASSERT_TRUE(QFileInfo::exists(book)) << boxes.texts().join('|').toStdString();
    EXPECT_TRUE(testsupport::xlsxCells(book).values().contains("Abel, Anna"));
}
