// The performance-record window: who sees what, the views, the grid layout, colours and closing.
#include "test_lnw_fixture.h"

#include "records/frm_lnw.h"
#include "records/lnwgitter.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <array>
#include <vector>

using namespace lnw;
using nmschema::Layout;

namespace {

// Teachers AB, CD, EF; AB's grades in "1. SchA" of M 5a; "xy ab" supervises M, EF Mu.
struct Umgebung : lnwtest::Anmeldung {
    qint64 mAB = 0, m5CD = 0, dAB = 0, muEF = 0;

    explicit Umgebung(const QString &benutzer, bool admin, Layout l = Layout::Current)
        : Anmeldung(benutzer, admin, l, "('M', 'xy ab'), ('Mu', 'EF'), ('', 'AB')")
    {
        for (const char *k : {"AB", "CD", "EF"})
            nm.db.exec("INSERT INTO Lehrkräfte (Kürzel, Passwort) VALUES (?, 'pw')", {k});
        nm.db.exec("INSERT INTO Lehrkräfte (Kürzel, Passwort) VALUES ('ZZ', '')");
        mAB = nm.kurs("M", "5a", "AB", {{"sa1", 2.0}});
        m5CD = nm.kurs("M", "6b", "CD");
        dAB = nm.kurs("D", "6b", "AB");
        muEF = nm.kurs("Mu", "7c", "EF");
        nm.gleicheNoten(mAB, "sa1", "3", 6);
        nm.gleicheNoten(m5CD, "sa2", "2", 2);
        for (qint64 k : {mAB, m5CD, dAB, muEF})
            nm.lnw(k, k == m5CD ? 1 : 0, "SA");
    }
};

QStringList listenText(const VSGrid *l)
{
    QStringList out;
    for (int r = 0; r < l->rows(); ++r)
        out << l->textMatrix(r, 0);
    return out;
}

QStringList kurse(const frm_LNW &w)
{
    QStringList out;
    for (int r = KopfZeilen; r < w.fg_LNW->rows(); ++r)
        out << w.fg_LNW->textMatrix(r, 0) + "|" + w.fg_LNW->textMatrix(r, 1) + "|" + w.fg_LNW->textMatrix(r, 2);
    return out;
}

void waehle(VSGrid *l, const QStringList &texte)
{
    for (int r = 0; r < l->rows(); ++r)
        l->setIsSelected(r, texte.contains(l->textMatrix(r, 0)));
}

} // namespace

// A teacher sees his own courses; "Auswahl anzeigen" shows the subjects he supervises.
TEST(LnwFenster, TeachersSeeTheirCoursesAndTheSubjectsTheySupervise)
{
    struct Fall {
        QString benutzer;
        QStringList eigene, faecher, nachM, meldungen;
    };
    const QList<Fall> faelle{
        {"ab", {"M|5a|AB", "D|6b|AB"}, {"M"}, {"M|5a|AB", "M|6b|CD"}, {}}, // "xy ab" names him
        {"CD", {"M|6b|CD"}, {}, {"M|6b|CD"}, {}},                          // no subject: nothing more
        {"QQ", {}, {}, {}, {"Es wurden keine passenden Datensätze gefunden."}},
    };
    for (const Fall &f : faelle) {
        SCOPED_TRACE(f.benutzer.toStdString());
        Umgebung u(f.benutzer, false);
        testsupport::MsgRecorder boxes;
        frm_LNW w;
        w.formActivate();
        EXPECT_EQ(kurse(w), f.eigene);
        EXPECT_EQ(listenText(w.lstFach), f.faecher);
        EXPECT_EQ(w.txtGrenzschnitt->text(), "7,0");
        EXPECT_FALSE(w.txtGrenzschnitt->isEnabled());
        EXPECT_TRUE(w.Frame1->isHidden());
        waehle(w.lstFach, {"M"});
        w.cmdZeigeAuswahl_Click();
        EXPECT_EQ(kurse(w), f.nachM);
        EXPECT_EQ(boxes.texts(), f.meldungen);
    }
}

TEST(LnwFenster, AdministratorChoosesByTeacherOrBySubject)
{
    Umgebung u("X", true);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.formActivate();
    EXPECT_EQ(w.fg_LNW->rows(), KopfZeilen); // nothing until chosen
    EXPECT_EQ(listenText(w.lstLehrer), QStringList({"*", "AB", "CD", "EF"}));
    EXPECT_EQ(listenText(w.lstFach), QStringList({"*", "M", "Mu"}));

    w.optUnterrichtLehrer[1]->setChecked(true);
    EXPECT_EQ(w.lblNach->text(), "nach Lehrern");
    waehle(w.lstLehrer, {"AB", "CD"});
    w.cmdZeigeAuswahl_Click();
    EXPECT_EQ(kurse(w), QStringList({"M|5a|AB", "D|6b|AB", "M|6b|CD"}));
    // A line separates the teachers.
    EXPECT_EQ(w.fg_LNW->store().cellBorders(2, 0).top.width, 2);
    EXPECT_EQ(w.fg_LNW->store().cellBorders(3, 0).top.width, 0);
    EXPECT_EQ(w.fg_LNW->store().cellBorders(4, 0).top.width, 2);
    // The header row has a line before the Schulaufgaben, the Kurzarbeiten and the Extemporalien.
    for (const auto &[spalte, breite] : std::vector<std::pair<int, int>>{{3, 2}, {13, 0}, {63, 2}, {103, 2}, {113, 0}})
        EXPECT_EQ(w.fg_LNW->store().cellBorders(0, spalte).left.width, breite) << spalte;

    w.optUnterrichtLehrer[0]->setChecked(true);
    waehle(w.lstFach, {"*"});
    w.cmdZeigeAuswahl_Click();
    EXPECT_EQ(kurse(w), QStringList({"M|5a|AB", "D|6b|AB", "M|6b|CD", "Mu|7c|EF"}));

    // Back from another window: view "Fach", lists once each.
    w.optUnterrichtLehrer[1]->setChecked(true);
    w.formActivate();
    EXPECT_TRUE(w.optUnterrichtLehrer[0]->isChecked());
    EXPECT_EQ(listenText(w.lstLehrer), QStringList({"*", "AB", "CD", "EF"}));
    EXPECT_EQ(w.fg_LNW->rows(), KopfZeilen);
}

TEST(LnwFenster, HeaderRowsAndColumnOptions)
{
    Umgebung u("AB", false);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.formActivate();
    const VSGrid &g = *w.fg_LNW;
    EXPECT_EQ(g.cols(), 183);
    EXPECT_EQ(g.fixedRows(), 2);
    EXPECT_EQ(g.fixedCols(), 3);
    EXPECT_EQ(g.textMatrix(0, 3), "1. SchA");
    EXPECT_EQ(g.textMatrix(0, 173), "8. Ex");
    EXPECT_EQ(g.textMatrix(1, 5), "Schn.");
    int c1 = 0, c2 = 0;
    g.store().mergedSpan(0, 5, c1, c2);
    EXPECT_EQ(c1, 3);
    EXPECT_EQ(c2, 12);
    // Only "abgeg." of the one block graded for more than 5 pupils.
    for (int c = 3; c < 183; ++c)
        EXPECT_EQ(g.colWidth(c) > 0, c == 11) << c;

    w.txtMindestanzahl->setText("0");
    w.chkSpalte[2]->setChecked(true);
    w.chkSpalte_Click(2);
    EXPECT_GT(g.colWidth(5), 0);  // 1. SchA Schn.
    EXPECT_EQ(g.colWidth(15), 0); // 2. SchA: only CD's course has grades
    w.chkLeereSpaltenWeg->setChecked(false);
    w.chkSpalte_Click(0);
    EXPECT_GT(g.colWidth(15), 0);
    EXPECT_EQ(g.colWidth(14), 0); // Wicht. not ticked

    // Header cells selectable: no fixed cells, no merge.
    w.chkKopfFrei->setChecked(true);
    w.chkKopfFrei_Click();
    EXPECT_EQ(g.fixedRows(), 0);
    g.store().mergedSpan(0, 5, c1, c2);
    EXPECT_EQ(c2, 5);
}

// A test caption spans the visible columns of its block and is never cut by them.
TEST(LnwFenster, TestCaptionsHaveRoomInTheirVisibleColumns)
{
    Umgebung u("AB", false);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.formActivate();
    const VSGrid &g = *w.fg_LNW;
    auto sichtbareBreite = [&](int block) {
        int summe = 0;
        for (int c = blockStart(block); c < blockStart(block) + BlockBreite; ++c)
            summe += g.colWidth(c);
        return summe;
    };
    // Only "abgeg." shown: its one column carries "1. SchA", wider than "abgeg.".
    ASSERT_GT(g.textWidthTwips("1. SchA"), g.textWidthTwips("abgeg."));
    EXPECT_GE(sichtbareBreite(0), g.textWidthTwips("1. SchA"));
    EXPECT_EQ(g.colWidth(11), sichtbareBreite(0));

    // Every block shown, each with one narrow column: every caption fits.
    w.txtMindestanzahl->setText("0");
    w.chkLeereSpaltenWeg->setChecked(false);
    w.chkSpalte_Click(0);
    for (int b = 0; b < Bloecke; ++b)
        EXPECT_GE(sichtbareBreite(b), g.textWidthTwips(blockTitel(b))) << b;
    // Columns wide enough already keep their fitted widths.
    for (int c : {2, 3, 8})
        w.chkSpalte[size_t(c)]->setChecked(true);
    w.chkSpalte_Click(2);
    EXPECT_LT(g.colWidth(11), g.textWidthTwips("1. SchA"));
}

TEST(LnwFenster, ThresholdColoursAndOverdueFilter)
{
    Umgebung u("AB", false);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.formActivate();
    const int r = 2; // M 5a: six grades 3, no hand-in date
    ASSERT_EQ(w.fg_LNW->textMatrix(r, 0), "M");
    EXPECT_EQ(w.fg_LNW->textMatrix(r, 5), "3,00");
    EXPECT_EQ(w.fg_LNW->cellBackColor(r, 5), Weiss);     // below 7,0
    EXPECT_EQ(w.fg_LNW->cellBackColor(r, 11), Hellrot);  // 6 > 5, not handed in
    w.chkNichtAbgeg->setChecked(true);
    w.chkNichtAbgeg_Click();
    EXPECT_GT(w.fg_LNW->rowHeight(2), 0);
    EXPECT_EQ(w.fg_LNW->rowHeight(3), 0); // D 6b: nothing overdue

    mdl::IstAdmin = true; // the administrator may lower the threshold
    w.txtGrenzschnitt->setText("3");
    w.txtMindestanzahl->setText("6");
    w.LNW_Tabelle_fuellen(eigenerUnterricht("AB"));
    EXPECT_EQ(w.fg_LNW->cellBackColor(2, 5), Hellrot);
    EXPECT_NE(w.fg_LNW->cellBackColor(2, 11), Hellrot);
    EXPECT_EQ(w.fg_LNW->rowHeight(2), 0); // the filter stays in force after a refill
}

TEST(LnwFenster, ClickedCellShowsTheTestDetails)
{
    Umgebung u("AB", false);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.formActivate();
    auto texte = [](const auto &labels, std::initializer_list<int> welche) {
        QStringList out;
        for (int i : welche)
            out << labels[i]->text();
        return out;
    };
    w.fg_LNW->select(2, 11);
    w.fg_LNW_Click();
    EXPECT_EQ(texte(w.lbl_LNW, {0, 2, 3, 4}), QStringList({"SA", "3,00", "2", "6"}));
    EXPECT_EQ(texte(w.lbl_LNW_T, {0, 1, 2}), QStringList({"M", "5a", "AB"}));
    // Course columns: only the labels 7 and 8 change.
    w.fg_LNW->select(2, 1);
    w.fg_LNW_Click();
    EXPECT_EQ(texte(w.lbl_LNW, {7, 8, 0}), QStringList({"M", "5a", "SA"}));
}

TEST(LnwFenster, DatabaseErrorIsReportedOnceAndWindowStaysUsable)
{
    Umgebung u("AB", false);
    u.nm.db.exec("DROP TABLE LNW");
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.formActivate();
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.contains("LNW")) << boxes.texts().join("; ").toStdString();
    EXPECT_FALSE(boxes.contains("keine passenden"));
    EXPECT_FALSE(w.fuelltGerade());
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
}

TEST(LnwFenster, CloseDuringAFillWaitsForItsEnd)
{
    Umgebung u("QQ", false);
    QMdiArea area;
    area.show();
    auto *w = new frm_LNW;
    QMdiSubWindow *sub = area.addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->show();
    bool abgelehnt = false;
    testsupport::MsgRecorder boxes([&](const msg::Request &) {
        abgelehnt = !w->formUnload(); // the user closes the window while the message shows
        return int(msg::OK);
    });
    w->formActivate();
    EXPECT_TRUE(abgelehnt) << boxes.texts().join("; ").toStdString();
    EXPECT_TRUE(sub->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(sub->isVisible());
}

TEST(LnwFenster, ThresholdBoxIsNormalisedAndStored)
{
    Umgebung u("X", true);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    settings::saveSetting("LNW", "Grenzschnitt", "4,5");
    w.formActivate();
    EXPECT_EQ(w.txtGrenzschnitt->text(), "4,5");
    // Typed text, box afterwards, stored setting afterwards; no number leaves the setting alone.
    const std::vector<std::array<const char *, 3>> faelle{
        {"3.5", "3,5", "3,5"}, {"viel", "4,0", "3,5"}, {"2", "2,0", "2,0"}};
    for (const auto &[getippt, box, gespeichert] : faelle) {
        w.txtGrenzschnitt->setText(getippt);
        w.txtGrenzschnitt_LostFocus();
        EXPECT_EQ(w.txtGrenzschnitt->text(), box) << getippt;
        EXPECT_EQ(settings::getSetting("LNW", "Grenzschnitt"), gespeichert) << getippt;
    }
}

TEST(LnwFenster, PlainClickInTheListShowsThatEntryAlone)
{
    Umgebung u("X", true);
    testsupport::MsgRecorder boxes;
    frm_LNW w;
    w.resize(1000, 700);
    w.show();
    w.formActivate();
    waehle(w.lstFach, {"*", "Mu"});
    const QRect zelle = w.lstFach->cellRect(1, 0); // "M"
    ASSERT_FALSE(zelle.isEmpty());
    QTest::mouseClick(w.lstFach->viewport(), Qt::LeftButton, Qt::NoModifier,
                      w.lstFach->viewport()->mapFrom(w.lstFach, zelle.center()));
    EXPECT_EQ(w.lstFach->selectedRows(), 1);
    EXPECT_TRUE(w.lstFach->isSelected(1));
    EXPECT_EQ(kurse(w), QStringList({"M|5a|AB", "M|6b|CD"}));
    // Ctrl adds to the selection without showing it.
    QTest::mouseClick(w.lstFach->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      w.lstFach->viewport()->mapFrom(w.lstFach, w.lstFach->cellRect(2, 0).center()));
    EXPECT_EQ(w.lstFach->selectedRows(), 2);
    EXPECT_EQ(kurse(w), QStringList({"M|5a|AB", "M|6b|CD"}));
    w.cmdZeigeAuswahl_Click();
    EXPECT_EQ(kurse(w), QStringList({"M|5a|AB", "M|6b|CD", "Mu|7c|EF"}));
}
