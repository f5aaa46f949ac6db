// The absence window's calendar clicks, reason pop-up, day list and period overview, offscreen.
#include "absence/frm_fehltage.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/units.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

const QDate heute(2024, 10, 8); // a Tuesday
const QDate montag(2024, 10, 7);

class Klicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        mdl::Ferien.clear();
        frm_Fehltage::setHeuteFuerTests(heute);
        s.lehrer(QStringLiteral("MÜ"), QStringLiteral("Müller"), QStringLiteral("Hans"));
        s.lehrer(QStringLiteral("HU"), QStringLiteral("Huber"), QStringLiteral("Eva"));
        s.klasse(QStringLiteral("5a"), QStringLiteral("MÜ"));
        s.klasse(QStringLiteral("5b"), QStringLiteral("HU"));
        s.klasse(QStringLiteral("10a"), QStringLiteral("HU"));
        s.schueler(12, QStringLiteral("Abel"), QStringLiteral("Anna"), QStringLiteral("5a"));
        s.schueler(13, QStringLiteral("Bauer"), QStringLiteral("Ben"), QStringLiteral("5a"));
        s.schueler(20, QStringLiteral("Zeller"), QStringLiteral("Zoe"), QStringLiteral("5b"));
        s.schueler(30, QStringLiteral("Maier"), QStringLiteral("Max"), QStringLiteral("10a"));
        // "un" is only for pupils.
        mdl::dbEigen.exec(QStringLiteral("UPDATE tbl_Fehlgrund SET fuer_Lehrer = 0 WHERE kurz = 'un'"));
    }
    void TearDown() override
    {
        f.reset();
        frm_Fehltage::setHeuteFuerTests(QDate());
        mdl::Benutzer = QStringLiteral("X");
    }
    void oeffnen(const QString &benutzer, const QString &klasse)
    {
        mdl::Benutzer = benutzer;
        f = std::make_unique<frm_Fehltage>();
        f->resize(1400, 900);
        f->show();
        f->formLoad();
        f->formActivate();
        for (int r = 1; r < f->fgKlassen->rows(); ++r)
            if (f->fgKlassen->textMatrix(r, 0) == klasse)
                f->fgKlassen->select(r, 0);
        emit f->fgKlassen->click();
    }
    int zeile(const QString &id) { return f->kalender().zeileVon(id); }
    int spalte(const QDate &d) { return f->kalender().spalteVon(d); }
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
    void rechtsklick(int r, int c)
    {
        f->fgSchueler_MouseDown(2, r, c);
        f->fgSchueler_MouseUp(2, r, c);
    }
    QStringList tagesliste(int spalte)
    {
        QStringList l;
        for (int r = 1; r < f->fgKranke->rows(); ++r)
            l << f->fgKranke->textMatrix(r, spalte);
        return l;
    }

    absencetest::Schule s;
    std::unique_ptr<frm_Fehltage> f;
};

} // namespace

TEST_F(Klicks, LeftClickShowsTheRecordTheDayListAndHidesThePopup)
{
    mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, s02, Bemerkung, zaehlt, "
                                     "entschuldigt) VALUES ('13', ?, 'un', 'un', 'Arzt', '0,5', 1)"),
                      {zdb::isoDate(montag)});
    oeffnen(QStringLiteral("X"), QStringLiteral("5a"));
    rechtsklick(zeile("12"), spalte(montag));
    EXPECT_TRUE(f->fgGrund->isVisible());
    f->fgSchueler_MouseDown(1, zeile("13"), spalte(montag));
    f->fgSchueler_MouseUp(1, zeile("13"), spalte(montag));
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_EQ(f->lblTag->text(), QStringLiteral("07.10.2024"));
    EXPECT_EQ(f->lblSName->text(), QStringLiteral("Bauer, Ben"));
    EXPECT_EQ(f->txtStd[0]->text(), QStringLiteral("un"));
    EXPECT_EQ(f->txtStd[2]->text(), QStringLiteral("un"));
    EXPECT_EQ(f->txtBemerkung->text(), QStringLiteral("Arzt"));
    EXPECT_EQ(f->txt_Zaehlt->text(), QStringLiteral("0,5"));
    EXPECT_TRUE(f->chk_entschuldigt->isChecked());
    EXPECT_EQ(f->lblDatum->text(), QStringLiteral("07.10.2024"));
    EXPECT_EQ(tagesliste(2), QStringList({"Bauer, Ben"}));
    EXPECT_EQ(f->lblFehltage->text(), QStringLiteral("1"));

    // The name column chooses nothing.
    f->fgSchueler_MouseDown(1, zeile("13"), 1);
    f->fgSchueler_MouseUp(1, zeile("13"), 1);
    EXPECT_TRUE(f->lblTag->text().isEmpty());
    EXPECT_TRUE(f->txtStd[0]->text().isEmpty());
}

TEST_F(Klicks, PopupEntersAWholeDayAndDeletesIt)
{
    s.lehrer(QStringLiteral("AB"), QStringLiteral("Abt"), QStringLiteral("Alf"));
    oeffnen(QStringLiteral("xs"), QStringLiteral("LK"));
    const int r = zeile("AB"), c = spalte(montag);
    rechtsklick(r, c);
    ASSERT_TRUE(f->fgGrund->isVisible());
    EXPECT_EQ(f->PopupHerkunft, QStringLiteral("fgSchueler"));
    EXPECT_EQ(angeboten(), QStringList({"kr", "bf", "ab", "bu", "vs", "  "})); // no "un" for teachers
    EXPECT_EQ(f->fgGrund->row(), f->fgGrund->rows() - 1);
    waehlen(QStringLiteral("kr"));
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_EQ(f->fgSchueler->textMatrix(r, c), QStringLiteral("kr"));
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage WHERE S_Id = 'AB' AND zaehlt = '1,0' "
                                      "AND Fehltag = '2024-10-07'")),
              1);
    EXPECT_EQ(f->txtStd[0]->text(), QStringLiteral("kr"));
    EXPECT_EQ(tagesliste(1), QStringList({"LK"}));

    rechtsklick(r, c);
    waehlen(QStringLiteral("  "));
    EXPECT_EQ(f->fgSchueler->textMatrix(r, c), QStringLiteral("  "));
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
}

TEST_F(Klicks, ClassTeacherGetsNoCalendarPopup)
{
    oeffnen(QStringLiteral("MÜ"), QStringLiteral("5a"));
    rechtsklick(zeile("12"), spalte(montag));
    EXPECT_FALSE(f->fgGrund->isVisible());
    EXPECT_EQ(f->lblSNr->text(), QStringLiteral("12")); // the record is shown all the same
}

TEST_F(Klicks, PopupOfARebuiltCalendarWritesNothing)
{
    oeffnen(QStringLiteral("X"), QStringLiteral("5a"));
    rechtsklick(zeile("12"), spalte(montag));
    f->txtSuche->setText(QStringLiteral("Zeller")); // another person now stands in that row
    waehlen(QStringLiteral("kr"));
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
    EXPECT_FALSE(f->fgGrund->isVisible());
}

TEST_F(Klicks, PanelBoxPopupSavesTheLessonAsTheDaysReason)
{
    oeffnen(QStringLiteral("MÜ"), QStringLiteral("5a"));
    const int r = zeile("12"), c = spalte(montag);
    f->fgSchueler_MouseDown(1, r, c);
    f->fgSchueler_MouseUp(1, r, c);
    f->txtStd_MouseDown(3, 2);
    ASSERT_TRUE(f->fgGrund->isVisible());
    EXPECT_EQ(f->PopupHerkunft, QStringLiteral("3"));
    EXPECT_LE(f->fgGrund->y() + f->fgGrund->height(), f->height());
    waehlen(QStringLiteral("bf"));
    EXPECT_EQ(f->txtStd[3]->text(), QStringLiteral("bf"));
    EXPECT_EQ(f->txtStd[0]->text(), QStringLiteral("bf"));
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage WHERE S_Id = '12' AND Grund = 'bf' AND s03 = 'bf'")),
              1);
    EXPECT_EQ(f->fgSchueler->textMatrix(r, c), QStringLiteral("bf"));

    f->txtStd_MouseDown(0, 2);
    waehlen(QStringLiteral("  "));
    EXPECT_TRUE(f->txtStd[3]->text().isEmpty());
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 0);
    EXPECT_TRUE(f->fgSchueler->textMatrix(r, c).isEmpty());
}

TEST_F(Klicks, PanelBoxPopupNeedsADayAfterTheFirstOfSeptember2008)
{
    oeffnen(QStringLiteral("X"), QStringLiteral("5a"));
    f->txtStd_MouseDown(0, 2); // no day chosen
    EXPECT_FALSE(f->fgGrund->isVisible());
    f->lblSNr->setText(QStringLiteral("12"));
    f->lblTag->setText(QStringLiteral("01.09.2008"));
    f->txtStd_MouseDown(0, 2);
    EXPECT_FALSE(f->fgGrund->isVisible());
    f->lblTag->setText(QStringLiteral("02.09.2008"));
    f->txtStd_MouseDown(0, 2);
    EXPECT_TRUE(f->fgGrund->isVisible());
}

TEST_F(Klicks, DayListOrdersByGradeWithGroupLinesAndDropsRecordsWithoutPerson)
{
    for (const char *id : {"30", "20", "13", "12", "HU"})
        s.fehltag(QString::fromLatin1(id), montag, QStringLiteral("kr"));
    s.fehltag(QStringLiteral("  "), montag, QStringLiteral("kr"));
    mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (Fehltag, Grund) VALUES (?, 'un')"),
                      {zdb::isoDate(montag)});
    s.fehltag(QStringLiteral("12"), heute, QStringLiteral("bf"));
    oeffnen(QStringLiteral("X"), QStringLiteral("5a"));
    f->KrankeEintragen(montag);
    EXPECT_EQ(tagesliste(1), QStringList({"5a", "5a", "5b", "10a", "LK"}));
    EXPECT_EQ(tagesliste(2).first(), QStringLiteral("Abel, Anna"));
    EXPECT_EQ(f->lblAnzahl->text(), QStringLiteral("5 Einträge"));
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")), 6);
    EXPECT_EQ(f->fgKranke->colAlignment(1), grid::AlignRightCenter);
    auto linie = [&](int r) { return f->fgKranke->store().cellBorders(r, 3).top.width; };
    EXPECT_EQ(QVector<int>({linie(1), linie(2), linie(3), linie(4), linie(5)}), QVector<int>({1, 0, 1, 1, 1}));

    f->fgKranke_MouseDown(0, 1);
    EXPECT_EQ(tagesliste(1), QStringList({"10a", "5a", "5a", "5b", "LK"}));
    f->fgKranke_MouseDown(0, 2);
    EXPECT_EQ(linie(1) + linie(2) + linie(3) + linie(4) + linie(5), 0);

    // A person row shows that person's class in the calendar.
    f->fgKranke_MouseDown(int(tagesliste(2).indexOf(QStringLiteral("Maier, Max"))) + 1, 1);
    EXPECT_EQ(f->fgSchueler->textMatrix(4, 1), QStringLiteral("Maier, Max"));
    EXPECT_EQ(f->lblFehltage->text(), QStringLiteral("1"));

    f->KrankeEintragen(QDate(2024, 10, 9));
    EXPECT_EQ(f->lblAnzahl->text(), QStringLiteral("0 Einträge"));
    EXPECT_EQ(f->fgKranke->colAlignment(1), grid::AlignLeftCenter);
}

TEST_F(Klicks, ClassTeacherSeesOnlyTheSelectedClassInTheDayList)
{
    s.fehltag(QStringLiteral("12"), montag, QStringLiteral("kr"));
    s.fehltag(QStringLiteral("20"), montag, QStringLiteral("kr"));
    oeffnen(QStringLiteral("hu"), QStringLiteral("5b"));
    f->KrankeEintragen(montag);
    EXPECT_EQ(tagesliste(0), QStringList({"20"}));
}

TEST_F(Klicks, OverviewGivesTheSchoolDaysThePeriodsWidth)
{
    s.fehltag(QStringLiteral("12"), montag, QStringLiteral("kr"));
    mdl::dbEigen.exec(QStringLiteral("UPDATE tbl_Fehlgrund SET farbe = 4227072 WHERE kurz = 'kr'"));
    oeffnen(QStringLiteral("X"), QStringLiteral("5a"));
    f->ListeGrundErstellen();
    VSGrid *g = f->fgSchueler;
    f->txtStartTag->setText(QStringLiteral("07.10.2024"));
    f->txtEndeTag->setText(QStringLiteral("07.10.2024"));
    f->cmdUeberblick_Click();
    const int c = spalte(montag);
    const int verfuegbar = units::pixelsToTwips(g->width()) - g->colWidth(0) - g->colWidth(1) - 60;
    EXPECT_NEAR(g->colWidth(c), verfuegbar / 2 + 1, 1);
    EXPECT_EQ(g->colWidth(c + 1), 0);
    EXPECT_EQ(g->textMatrix(0, c + 1), QStringLiteral("Okt 24"));
    EXPECT_EQ(g->cellBackColor(zeile("12"), c), 4227072);
    EXPECT_EQ(g->store().cellBorders(1, c).left.width, 1);

    // A weekend only hides every day column; a second overview counts by the day classification.
    f->txtStartTag->setText(QStringLiteral("05.10.2024"));
    f->txtEndeTag->setText(QStringLiteral("06.10.2024"));
    f->cmdUeberblick_Click();
    int sichtbar = 0;
    for (int k = 3; k < g->cols(); ++k)
        sichtbar += g->colWidth(k) > 0;
    EXPECT_EQ(sichtbar, 0);

    testsupport::MsgRecorder rec;
    f->txtEndeTag->setText(QStringLiteral("01.08.2025"));
    f->cmdUeberblick_Click();
    EXPECT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(g->colWidth(c), 0); // unchanged
}

TEST_F(Klicks, DayListButtonsWriteTheWordAndExcelListsOfTheShownDay)
{
    s.fehltag(QStringLiteral("12"), montag, QStringLiteral("kr"));
    s.fehltag(QStringLiteral("20"), montag, QStringLiteral("bf"));
    oeffnen(QStringLiteral("X"), QStringLiteral("5a"));
    f->KrankeEintragen(montag);
    testsupport::MsgRecorder boxes;

    f->cmdDrucken->click();
    const QString word = QDir(QDir::tempPath()).filePath(QStringLiteral("Absenzen am 07.10.2024.docx"));
    ASSERT_TRUE(QFileInfo::exists(word)) << boxes.texts().join('|').toStdString();
    const QString xml = testsupport::zipEntry(word, QStringLiteral("word/document.xml"));
    EXPECT_TRUE(xml.contains(QStringLiteral("Abel, Anna")));
    EXPECT_TRUE(xml.contains(QStringLiteral("Zeller, Zoe")));

    f->cmdExcel->click();
    const QString book = QDir(QDir::tempPath()).filePath(QStringLiteral("Absenzen.xlsx"));
    ASSERT_TRUE(QFileInfo::exists(book)) << boxes.texts().join('|').toStdString();
    const QStringList zellen = testsupport::xlsxCells(book).values();
    EXPECT_TRUE(zellen.contains(QStringLiteral("Abel, Anna")));
}
