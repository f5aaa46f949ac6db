// The calendar settings window: filling, saving, the day count and deleting old entries.
#include "calendar/frm_kalendereinstellungen.h"
#include "calendar/kalendereinstellungen.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QDir>
#include <gtest/gtest.h>

using kalfix::T;

namespace {

class Einstellungen : public ::testing::Test {
protected:
    void SetUp() override
    {
        mdl::KalenderGesperrt = "none";
        w = std::make_unique<frm_KalenderEinstellungen>();
        w->Form_Load();
        w->Form_Activate();
    }
    QVariant spalte(const QString &name) const
    {
        return mdl::dbEigen.scalar("SELECT " + name + " FROM tbl_Einstellungen");
    }
    kalfix::Schule s;
    std::unique_ptr<frm_KalenderEinstellungen> w;
};

} // namespace

TEST(KalenderTage, WieDasTagesfeldSieUebernimmt)
{
    EXPECT_EQ(kalender::tageAusText("abc"), 0);
    EXPECT_EQ(kalender::tageAusText("12,7"), 12);
    EXPECT_EQ(kalender::tageAusText("-3"), 3);
    EXPECT_EQ(kalender::tageAusText(" 7 Tage"), 7);
    EXPECT_EQ(kalender::tageAusText("99999999"), 32767);
}

TEST_F(Einstellungen, AktivierungFuelltDieFelderUndVerwirftUngespeichertes)
{
    EXPECT_EQ(w->txtKalenderErsterTag->text(), "11.09.2010");
    EXPECT_TRUE(w->optFreigabeFrei->isChecked());
    EXPECT_TRUE(w->optSonstigeTermineNein->isChecked());
    EXPECT_EQ(w->txt_nTage->text(), "10");
    EXPECT_EQ(w->farbe(), mdl::KalenderEinfaerbenfarbe);
    w->txtHTML_L->setText("anders");
    w->optFreigabeGesperrt->setChecked(true);
    w->Form_Activate();
    EXPECT_EQ(w->txtHTML_L->text(), mdl::HTML_L);
    EXPECT_TRUE(w->optFreigabeFrei->isChecked());
}

TEST_F(Einstellungen, SpeichernSchreibtZeileUndGemeinsameWerte)
{
    w->txtKalenderErsterTag->setText("14.09.2011");
    w->txtKalenderLetzterTag->setText("31.7.12");
    w->optFreigabeGesperrt->setChecked(true);
    w->optSonstigeTermineJa->setChecked(true);
    w->txt_nTage->setText("-5");
    w->txt_nTage_Validate();
    EXPECT_EQ(w->txt_nTage->text(), "5");
    w->farbDialog = [](const QColor &) { return QColor(10, 20, 30); };
    w->cmd_FarbeAendern_Click();
    w->farbDialog = [](const QColor &) { return QColor(); }; // cancelled: the colour stays
    w->cmd_FarbeAendern_Click();
    w->txtHTML_S->setText("  /srv/plan s.html ");
    w->txtHTML_L->setText("   ");
    w->cmdSpeichern_Click();

    EXPECT_EQ(spalte("KalenderErsterTag").toString(), "2011-09-14");
    EXPECT_EQ(spalte("KalenderLetzterTag").toString(), "2012-07-31");
    EXPECT_EQ(spalte("KalenderGesperrt").toString(), "all");
    EXPECT_EQ(spalte("KalenderFreigabeSonstigeTermine").toString(), "all");
    EXPECT_EQ(spalte("KalenderFreigabeKlassenfahrt").toString(), "SL");
    EXPECT_EQ(spalte("KalenderEinfaerbenTage").toInt(), 5);
    EXPECT_EQ(spalte("KalenderEinfaerbenFarbe").toLongLong(), 10 + 20 * 256 + 30 * 65536);
    EXPECT_EQ(spalte("HTML_S").toString(), "/srv/plan s.html");
    EXPECT_EQ(spalte("HTML_L").toString(), "");
    EXPECT_EQ(mdl::KalenderGesperrt, "all");
    EXPECT_EQ(mdl::KalenderErsterTag, QDate(2011, 9, 14));
    EXPECT_EQ(mdl::KalenderEinfaerbenTage, 5);
    EXPECT_EQ(mdl::HTML_S, "/srv/plan s.html");
    EXPECT_EQ(mdl::HTML_L, QDir(QDir::tempPath()).filePath("HTML_l.html")); // an empty path: the temporary folder
    // The start-up reads back what was written.
    mdl::KalenderGesperrt.clear();
    mdl::EinstellungenLaden();
    EXPECT_EQ(mdl::KalenderGesperrt, "all");
    EXPECT_EQ(mdl::KalenderLetzterTag, QDate(2012, 7, 31));
    EXPECT_EQ(mdl::KalenderEinfaerbenfarbe, 10 + 20 * 256 + 30 * 65536);
}

TEST_F(Einstellungen, UngueltigesDatumWirdGemeldetUndNichtsGespeichert)
{
    w->txtKalenderLetzterTag->setText("31.02.2011");
    testsupport::MsgRecorder boxes;
    w->cmdSpeichern_Click();
    w->cmdLoeschen_Click(); // the first day is still valid: this one asks
    EXPECT_EQ(boxes.texts().value(0), "Bitte geben Sie für den letzten Tag des Kalenders ein gültiges Datum ein (TT.MM.JJJJ).");
    EXPECT_TRUE(spalte("KalenderLetzterTag").isNull());
    EXPECT_EQ(mdl::KalenderLetzterTag, QDate(2010, 9, 21));
}

TEST_F(Einstellungen, OhneEinstellungszeileBleibenSperreUndFreigaben)
{
    mdl::dbEigen.exec("DELETE FROM tbl_Einstellungen");
    w->txtKalenderErsterTag->setText("01.10.2010");
    w->optFreigabeGesperrt->setChecked(true);
    w->cmdSpeichern_Click();
    EXPECT_EQ(mdl::KalenderErsterTag, QDate(2010, 10, 1));
    EXPECT_EQ(mdl::KalenderGesperrt, "none");
}

TEST_F(Einstellungen, DavorLiegendeEintraegeLoeschen)
{
    s.termin({QDate(2010, 9, 10), "5a", "D", "MK", "", false, s.uhr, "MK", {}, ""});
    s.termin({QDate(2010, 9, 10), "5a", "M", "MK", "", false, s.uhr, "MK", s.uhr, "MK"});
    s.termin({QDate(2010, 9, 11), "5a", "E", "AB", "", false, s.uhr, "AB", {}, ""});
    mdl::dbEigen.exec("INSERT INTO tbl_Termin (Klasse, Fach) VALUES ('5a', 'so')");
    {
        testsupport::MsgRecorder nein([](const msg::Request &) { return int(msg::No); });
        w->cmdLoeschen_Click();
        EXPECT_EQ(nein.texts().value(1), "Es wurde nichts gelöscht!");
        EXPECT_TRUE(nein.texts().value(0).contains("vor dem 11.09.2010 werden gelöscht!"));
    }
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 4);
    testsupport::MsgRecorder ja([](const msg::Request &) { return int(msg::Yes); });
    w->cmdLoeschen_Click();
    EXPECT_EQ(ja.texts().value(1), "Löschvorgang abgeschlossen!");
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT group_concat(Fach, ',') FROM (SELECT Fach FROM tbl_Termin ORDER BY Fach)")
                  .toString(),
              "E,so");
}

// The network folder of the own database is gone while the settings are saved or old entries are
// deleted: the message says that nothing was saved or deleted, with the file and the cause; the
// window keeps what was typed, and the same step works once the folder is back.
TEST_F(Einstellungen, BeiWeggefallenemNetzwerkordnerWirdNichtsGespeichertUndDasGesagt)
{
    s.termin({QDate(2010, 9, 10), "5a", "D", "MK", "", false, s.uhr, "MK", {}, ""});
    const QDate vorher = mdl::KalenderErsterTag;
    const QString weg = "\rDie Datenbank\r" + s.eigenPfad
                        + "\rkann nicht gelesen oder geschrieben werden: sie ist im Moment nicht erreichbar";
    {
        testsupport::Netzausfall netz;
        mdl::dbEigen.open(s.eigenPfad); // from now on through the folder that can fail
        testsupport::MsgRecorder boxes([](const msg::Request &q) { return (q.buttons & 7) == msg::YesNo ? msg::Yes : msg::OK; });
        w->txtKalenderErsterTag->setText("14.09.2010");
        w->optFreigabeGesperrt->setChecked(true);
        netz.ausfallen(true);
        w->cmdSpeichern_Click();
        w->cmdLoeschen_Click();
        netz.ausfallen(false);
        ASSERT_EQ(boxes.texts().size(), 3);
        EXPECT_TRUE(boxes.texts()[0].startsWith("Die Einstellungen des Kalenders wurden nicht gespeichert." + weg))
            << boxes.texts()[0].toStdString();
        EXPECT_TRUE(boxes.texts()[2].startsWith("Es wurde nichts gelöscht." + weg)) << boxes.texts()[2].toStdString();
        EXPECT_EQ(mdl::KalenderErsterTag, vorher);
        EXPECT_EQ(mdl::KalenderGesperrt, "none");
        EXPECT_EQ(w->txtKalenderErsterTag->text(), "14.09.2010");
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(), 1);
        // Back: the same click saves.
        w->cmdSpeichern_Click();
        EXPECT_EQ(boxes.texts().size(), 3);
        mdl::dbEigen.close();
    }
    mdl::dbEigen.open(s.eigenPfad);
    EXPECT_EQ(mdl::KalenderErsterTag, QDate(2010, 9, 14));
    EXPECT_EQ(spalte("KalenderGesperrt").toString(), "all");
}
