// The exam-plan window: grid, pop-up offer, entering, deleting, the filter and publishing at closing.
#include "calendar/frm_kalender.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"
#include "platform/grid/vsgrid.h"
#include "support/testsupport.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using kalfix::T;

namespace {

class Fenster : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *k : {"5a", "5b", "6a", "AUS"})
            s.klasse(k);
        s.kurs("5a", "D", "MK");
        s.kurs("5a", "Sp 1", "MK");
        s.kurs("5a", "Sp 2", "AB");
        s.kurs("5a", "E", "AB");
        s.kurs("5a", "M", "MK", true); // archived
        s.kurs("6a", "M", "MK");
        s.kurs("5b", "E", "AB");
    }
    void oeffnen(const QString &benutzer) { w = kalfix::fensterOeffnen(s, benutzer); }
    QStringList liste() const
    {
        QStringList out;
        for (int r = 1; r < w->lstSchA->rows(); ++r)
            out << w->lstSchA->textMatrix(r, 0) + '/' + w->lstSchA->textMatrix(r, 1);
        return out;
    }
    int zeile(QDate d) const { return w->ZeileZuDatum(d); }
    int spalte(const QString &k) const { return w->SpalteZuKlasse(k); }
    int listenZeile(const QString &fach) const
    {
        for (int r = 1; r < w->lstSchA->rows(); ++r)
            if (w->lstSchA->textMatrix(r, 0) == fach)
                return r;
        return -1;
    }
    kalfix::Schule s;
    std::unique_ptr<frm_Kalender> w;
};

const QDate kDi(2010, 9, 14);

} // namespace

TEST_F(Fenster, GitterZeigtKlassenTageUndEintraege)
{
    // "meine Termine" lists classes by their grade number, classes without one last.
    s.termin({kDi, "Info", "D", "MK", "", false, s.uhr.addDays(-30), "MK", {}, ""});
    s.termin({kDi, "10b", "D", "MK", "", false, s.uhr.addDays(-30), "MK", {}, ""});
    s.termin({kDi, "5a", "D", "MK", "Test", false, s.uhr.addDays(-1), "MK", {}, ""});
    oeffnen("MK");
    ASSERT_EQ(w->fgKalender->cols(), 4); // AUS has no column
    EXPECT_EQ(w->fgKalender->textMatrix(0, 3), "6a");
    EXPECT_EQ(w->fgKalender->rows(), 12);
    EXPECT_EQ(w->fgKalender->rowHeight(1), 30);
    EXPECT_EQ(w->fgKalender->rowHeight(3), 240);
    EXPECT_EQ(w->fgKalender->textMatrix(zeile(kDi), 1), "D");
    EXPECT_EQ(w->fgKalender->cellData(zeile(kDi), 1).toString(), "Fach - LK - Bem:\nD - MK - Test\n");
    EXPECT_EQ(w->fgKalender->cellBackColor(zeile(kDi), 1), mdl::KalenderEinfaerbenfarbe);
    EXPECT_EQ(w->fgKalender->cellBackColor(zeile(QDate(2010, 9, 16)), 2), 0xC0FFC0);
    ASSERT_EQ(w->fgMeineTermine->rows(), 4);
    EXPECT_EQ(w->fgMeineTermine->textMatrix(1, 0) + ' ' + w->fgMeineTermine->textMatrix(2, 0) + ' '
                  + w->fgMeineTermine->textMatrix(3, 0),
              "5a 10b Info");
    EXPECT_EQ(w->fgMeineTermine->textMatrix(1, 2), "14.09.");
}

TEST_F(Fenster, LehrerBekommtSeineKurseUndSeineWahlStehtSofortImGitter)
{
    mdl::KalenderFreigabeSonstigeTermine = "all";
    oeffnen("mk");
    const int r = zeile(kDi), c = spalte("5a");
    w->fgKalender_MouseDown(2, 0, r, c);
    EXPECT_EQ(liste(), QStringList({"so/", "D/MK", "Sp/MK"}));
    EXPECT_EQ(w->popupZeile(), r);
    EXPECT_EQ(w->lblKlasse->text(), "5a");
    EXPECT_EQ(w->lblTag->text(), "Di 14.09.");
    w->lstSchA_Click(listenZeile("Sp"));
    EXPECT_EQ(w->fgKalender->textMatrix(r, c), "Sp");
    ASSERT_EQ(w->fgDetail->rows(), 2);
    EXPECT_EQ(w->fgDetail->textMatrix(1, 3), "Sp");
    EXPECT_EQ(w->fgDetail->textMatrix(1, 6), "Sp 1"); // the code is shared by two courses
    EXPECT_EQ(w->fgDetail->textMatrix(1, 8), "mk");
    EXPECT_TRUE(w->Geaendert);
    // Chosen again: greyed, refused.
    testsupport::MsgRecorder boxes;
    w->fgKalender_MouseDown(2, 0, r, c);
    w->lstSchA_Click(listenZeile("Sp"));
    EXPECT_EQ(boxes.boxes.size(), 1);
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 1);
}

TEST_F(Fenster, EscapeSchliesstDasFachangebotOhneEintragWoImmerDerFokusIst)
{
    mdl::KalenderFreigabeSonstigeTermine = "all";
    oeffnen("mk");
    w->show();
    const int r = zeile(kDi), c = spalte("5a");
    w->fgKalender_MouseDown(2, 0, r, c);
    ASSERT_TRUE(w->lstSchA->isVisible());
    QTest::keyClick(w->fgKalender, Qt::Key_Escape);
    EXPECT_FALSE(w->lstSchA->isVisible());
    EXPECT_FALSE(w->frmSchA->isVisible());
    EXPECT_TRUE(w->fgKalender->textMatrix(r, c).isEmpty());
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 0);

    // With the focus in the pop-up itself, and on another control of the window.
    w->fgKalender_MouseDown(2, 0, r, c);
    ASSERT_TRUE(w->lstSchA->isVisible());
    QTest::keyClick(w->lstSchA, Qt::Key_Escape);
    EXPECT_FALSE(w->lstSchA->isVisible());
    w->fgKalender_MouseDown(2, 0, r, c);
    QTest::keyClick(w->chkMeineKlassen, Qt::Key_Escape);
    EXPECT_FALSE(w->lstSchA->isVisible());
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 0);

    // Other keys leave it open, and a choice still enters the subject.
    w->fgKalender_MouseDown(2, 0, r, c);
    QTest::keyClick(w->lstSchA, Qt::Key_Down);
    EXPECT_TRUE(w->lstSchA->isVisible());
    w->lstSchA_Click(listenZeile("D"));
    EXPECT_EQ(w->fgKalender->textMatrix(r, c), "D");
}

TEST_F(Fenster, DruckAusserhalbDerZellenTutNichts)
{
    oeffnen("X");
    w->fgKalender_MouseDown(2, 0, -1, 1);
    w->fgKalender_MouseDown(2, 0, 3, -1);
    w->fgKalender_MouseDown(2, 0, 0, 1);
    w->fgKalender_MouseDown(2, 0, 3, 0);
    EXPECT_EQ(w->popupZeile(), 0);
    EXPECT_EQ(w->lblKlasse->text(), "");
    // A weekend row shows no pop-up.
    w->fgKalender_MouseDown(2, 0, 1, 1);
    EXPECT_EQ(w->popupZeile(), 0);
}

TEST_F(Fenster, FremderLehrerWirdAbgewiesenSchulleitungDarfAlles)
{
    s.termin({kDi, "5a", "D", "MK", "", false, s.uhr.addDays(-3), "MK", {}, ""});
    oeffnen("AB");
    w->fgKalender_MouseDown(1, 0, zeile(kDi), spalte("5a"));
    testsupport::MsgRecorder boxes([](const msg::Request &) { return int(msg::Yes); });
    w->fgDetail_MouseDown(1, w->fgDetail->cols() - 1);
    bool cancel = false;
    w->fgDetail_BeforeEdit(1, 6, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(boxes.texts(),
              QStringList({"Dieser Eintrag kann nur von 'MK' oder der Schulleitung (X oder XS) gelöscht werden!",
                           "Dieser Eintrag kann nur von 'MK' oder der Schulleitung (X oder XS) verändert werden!"}));
    EXPECT_FALSE(w->Geaendert);

    oeffnen("X");
    w->fgKalender_MouseDown(1, 0, zeile(kDi), spalte("5a"));
    cancel = false;
    w->fgDetail_BeforeEdit(1, 6, cancel);
    EXPECT_FALSE(cancel);
    w->fgDetail->setTextMatrix(1, 6, "verschoben");
    w->fgDetail_AfterEdit(1, 6);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->fgDetail->textMatrix(1, 6), "verschoben");
    // Entered days ago: kept as deleted, greyed, gone from the grid.
    w->fgDetail_MouseDown(1, w->fgDetail->cols() - 1);
    ASSERT_EQ(w->fgDetail->rows(), 2);
    EXPECT_EQ(w->fgDetail->textMatrix(1, 9), "16.09.2010 10:00:00");
    EXPECT_EQ(w->fgDetail->textMatrix(1, 10), "X");
    EXPECT_EQ(w->fgDetail->cellForeColor(1, 3), kalender::FarbeGrau);
    EXPECT_EQ(w->fgKalender->textMatrix(zeile(kDi), spalte("5a")), "");
}

TEST_F(Fenster, NurMeineKlassenBlendetFremdeKlassenAus)
{
    oeffnen("AB");
    w->chkMeineKlassen->setChecked(true);
    w->chkMeineKlassen_Click();
    EXPECT_FALSE(w->fgKalender->colHidden(spalte("5a")));
    EXPECT_FALSE(w->fgKalender->colHidden(spalte("5b")));
    EXPECT_TRUE(w->fgKalender->colHidden(spalte("6a")));
    EXPECT_EQ(w->fgKalender->colWidth(1), w->fgKalender->colWidth(2));
    // A teacher without courses keeps every class.
    oeffnen("ZZ");
    w->chkMeineKlassen->setChecked(true);
    w->chkMeineKlassen_Click();
    for (int c = 1; c < w->fgKalender->cols(); ++c)
        EXPECT_FALSE(w->fgKalender->colHidden(c));
}

TEST_F(Fenster, SchliessenNachAenderungVeroeffentlichtAuchNachFensterwechsel)
{
    oeffnen("X");
    w->fgKalender_MouseDown(2, 0, zeile(kDi), spalte("5b"));
    w->lstSchA_Click(listenZeile("E"));
    // Another workstation enters meanwhile.
    s.termin({QDate(2010, 9, 15), "6a", "M", "MK", "<b>&", false, s.uhr, "MK", {}, ""});
    s.termin({QDate(2010, 9, 15), "5a", "KF", "X", "Geht's", false, s.uhr, "X", {}, ""});
    w->Form_Activate();
    w->Form_Activate();
    EXPECT_TRUE(w->Geaendert);
    testsupport::MsgRecorder boxes;
    EXPECT_TRUE(w->Form_Unload());
    EXPECT_TRUE(boxes.boxes.isEmpty());
    const QString l = kalfix::lesen(mdl::HTML_L);
    EXPECT_TRUE(l.contains("title='Englisch - AB ;  '")) << l.toStdString();
    EXPECT_TRUE(l.contains("title='Mathematik - MK - &lt;b&gt;&amp; ;  '"));
    EXPECT_TRUE(l.contains("title='Klassenfahrt - X - Geht&#39;s ;  '"));
    EXPECT_TRUE(QFileInfo::exists(mdl::HTML_S));
    EXPECT_TRUE(kalfix::lesen(mdl::HTML_S2).contains("<td>&lt;b&gt;&amp;</td>"));
}

TEST_F(Fenster, EinzelnerPlanLaesstDasKennzeichenAlleDreiLoeschenEs)
{
    oeffnen("X");
    w->fgKalender_MouseDown(2, 0, zeile(kDi), spalte("5b"));
    w->lstSchA_Click(listenZeile("E"));
    EXPECT_TRUE(w->cmdHTML_L_Click());
    EXPECT_TRUE(w->Geaendert);
    w->lblHTML_Click();
    EXPECT_FALSE(w->Geaendert);
}

TEST_F(Fenster, ZuLangerZeitraumWirdGekuerztUndEinmalGemeldet)
{
    mdl::KalenderLetzterTag = mdl::KalenderErsterTag.addDays(500);
    testsupport::MsgRecorder boxes;
    oeffnen("X");
    EXPECT_EQ(w->fgKalender->rows(), 401);
    w->Form_Load();
    EXPECT_EQ(boxes.boxes.size(), 1);
    mdl::KalenderLetzterTag = mdl::KalenderErsterTag.addDays(-1);
    w->Form_Load();
    EXPECT_EQ(w->fgKalender->rows(), 1);
    EXPECT_EQ(w->ZeileZuDatum(mdl::KalenderErsterTag), 0);
}

// Weekend rows are thin separators: at any scaling their labels leave no mark, in the row or beside it.
TEST_F(Fenster, WeekendLabelsLeaveNoMarkAtAnyScaling)
{
    oeffnen("MK");
    VSGrid *g = w->fgKalender;
    const int samstag = zeile(QDate(2010, 9, 18)), sonntag = zeile(QDate(2010, 9, 19));
    ASSERT_EQ(g->rowHeight(samstag), 30);
    ASSERT_EQ(g->textMatrix(samstag, 0), "Sa 18.09.");
    g->setTextMatrix(samstag, 1, "KF"); // an entry on a Saturday, too
    auto bild = [&](double skala) { return testsupport::gezeichnet(&*g, skala); };
    for (double skala : {1.0, 1.25, 1.5, 2.0}) {
        const QImage mit = bild(skala);
        for (int r = 1; r < g->rows(); ++r)
            if (g->rowHeight(r) == 30)
                g->setTextMatrix(r, 0, QString());
        g->setTextMatrix(samstag, 1, QString());
        EXPECT_TRUE(mit == bild(skala)) << skala;
        oeffnen("MK"); // the labels back
        g = w->fgKalender;
        g->setTextMatrix(samstag, 1, "KF");
    }
    // Weekday labels are drawn as ever.
    const QImage mit = bild(1.5);
    g->setTextMatrix(zeile(kDi), 0, QString());
    EXPECT_FALSE(mit == bild(1.5));
    EXPECT_EQ(g->textMatrix(sonntag, 0), "So 19.09.");
}

// The network folder fails exactly as the lock is released after the entry's commit: the entry is
// saved, and nothing says otherwise.
TEST_F(Fenster, EinEintragDessenSperreNichtFreigegebenWirdIstGespeichert)
{
    oeffnen("X");
    {
        testsupport::Netzausfall netz;
        mdl::dbEigen.open(s.eigenPfad); // from now on through the folder that can fail
        const int r = zeile(kDi), c = spalte("5a");
        w->fgKalender_MouseDown(2, 0, r, c);
        testsupport::MsgRecorder boxes;
        netz.nur({zdb::Dateiaufruf::Entsperren});
        netz.ausfallen(true);
        w->lstSchA_Click(listenZeile("D"));
        netz.ausfallen(false);
        EXPECT_EQ(boxes.texts(), QStringList());
        EXPECT_EQ(w->fgDetail->textMatrix(1, 3), "D");
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin WHERE Fach = 'D'").toInt(), 1);
        mdl::dbEigen.close();
    }
    mdl::dbEigen.open(s.eigenPfad);
    zdb::Db andere;
    andere.open(s.eigenPfad);
    EXPECT_EQ(andere.scalar("SELECT Klasse || Fach FROM tbl_Termin").toString(), "5aD");
}

// The network folder is gone while an entry is made, changed or deleted: the message says that it
// was not done, with the file, and the same step works once the folder is back.
TEST_F(Fenster, EinEintragBeiWeggefallenemNetzwerkordnerWirdAlsNichtGespeichertGemeldet)
{
    oeffnen("X");
    const QString weg = "\rDie Datenbank\r" + s.eigenPfad + "\rkann nicht gelesen oder geschrieben werden: sie ist im "
                                                          "Moment nicht erreichbar";
    {
        testsupport::Netzausfall netz;
        mdl::dbEigen.open(s.eigenPfad);
        const int r = zeile(kDi), c = spalte("5a");
        w->fgKalender_MouseDown(2, 0, r, c);
        testsupport::MsgRecorder boxes([](const msg::Request &q) { return (q.buttons & 7) == msg::YesNo ? msg::Yes : msg::OK; });
        netz.nur({zdb::Dateiaufruf::Schreiben, zdb::Dateiaufruf::Sync});
        netz.ausfallen(true);
        w->lstSchA_Click(listenZeile("D"));
        netz.ausfallen(false);
        ASSERT_EQ(boxes.texts().size(), 1);
        EXPECT_TRUE(boxes.texts()[0].startsWith("Der Eintrag wurde nicht gespeichert." + weg))
            << boxes.texts()[0].toStdString();
        EXPECT_EQ(w->fgKalender->textMatrix(r, c), "");
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 0);
        // Back: the same choice is entered.
        w->fgKalender_MouseDown(2, 0, r, c);
        w->lstSchA_Click(listenZeile("D"));
        EXPECT_EQ(boxes.texts().size(), 1);
        EXPECT_EQ(w->fgKalender->textMatrix(r, c), "D");
        // Deleting it while the folder is gone.
        ASSERT_EQ(w->fgDetail->rows(), 2);
        netz.ausfallen(true);
        w->fgDetail_MouseDown(1, w->fgDetail->cols() - 1);
        netz.ausfallen(false);
        ASSERT_EQ(boxes.texts().size(), 3); // the question, then the fault
        EXPECT_TRUE(boxes.texts()[2].startsWith("Der Eintrag wurde nicht gelöscht." + weg))
            << boxes.texts()[2].toStdString();
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 1);
        mdl::dbEigen.close();
    }
    mdl::dbEigen.open(s.eigenPfad);
}
