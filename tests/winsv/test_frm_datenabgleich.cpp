// The reconciliation window: file choice at activation, the dialog, one run at a time, the
// write-back only after a finished comparison, and the whole round of comparison and write-back.
#include "winsvfixture.h"

#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"
#include "winsv/datenvergleich.h"
#include "winsv/frm_datenabgleich.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString Bitte = QStringLiteral("bitte starten Sie den Vergleich");
const QString Eine = QStringLiteral("Inkonsistente Daten bei 1 Schülerinnen oder Schülern gefunden.");

} // namespace

TEST(DatenabgleichWahl, OhneDateienStartetNichts)
{
    WinsvFixture f;
    mdl::PfadSDDF1 = f.box.file("fehlt/sd.df1");
    frm_Datenabgleich w;
    testsupport::MsgRecorder rec;
    w.formActivate();
    EXPECT_EQ(w.optSDDF1_NM->text(), mdl::PfadSDDF1 + " (nicht vorhanden)");
    EXPECT_EQ(w.optSDDF1_alternativ->text(), " (nicht vorhanden)");
    EXPECT_FALSE(w.optSDDF1_NM->isChecked() || w.optSDDF1_alternativ->isChecked());
    EXPECT_TRUE(rec.boxes.isEmpty());
    w.cmdVergleich_Click();
    EXPECT_EQ(rec.texts(), QStringList{"Bitte wählen Sie aus, welche SD.DF1 - Datei verwendet werden soll."});
    w.optSDDF1_NM->setChecked(true);
    w.cmdVergleich_Click();
    EXPECT_EQ(rec.texts().last(), "Die angegebene SD.DF1 - Datei wurde nicht gefunden.");
    EXPECT_EQ(w.lblUnterschiede->text(), Bitte);
    EXPECT_FALSE(QFile::exists(mdl::PfadSDDF1));
}

// The WinSV file's network folder cannot be asked for just now: the message says so with the file,
// not that the file was not found, and the comparison runs once the folder answers again.
TEST(DatenabgleichWahl, EineNichtErreichbareDateiIstNichtNichtGefunden)
{
    WinsvFixture f;
    f.addWinsv(schueler("1"));
    f.addNm(schueler("1", "Anders"));
    mdl::PfadSDDF1 = f.winsvPfad;
    frm_Datenabgleich w;
    testsupport::MsgRecorder rec;
    {
        const testsupport::OrdnerWeg weg(f.winsvPfad, ENOTCONN);
        w.formActivate();
        w.optSDDF1_NM->setChecked(true);
        w.cmdVergleich_Click();
    }
    ASSERT_FALSE(rec.texts().isEmpty());
    EXPECT_EQ(rec.texts().last(), "Die SD.DF1 - Datei \"" + f.winsvPfad + "\" kann im Moment nicht erreicht werden: "
                                  "Die Verbindung zum Netzwerkordner ist unterbrochen.\rSobald der Netzwerkordner "
                                  "wieder erreichbar ist, kann der Schritt wiederholt werden.");
    EXPECT_EQ(w.lblUnterschiede->text(), Bitte);
    w.cmdVergleich_Click();
    EXPECT_EQ(w.lblUnterschiede->text(), Eine);
}

// Without the key WinSDDB the grade manager's option names no file: the message says which key is
// missing and in which settings files it was looked up.
TEST(DatenabgleichWahl, OhneWinSDDBNenntDieMeldungSchluesselUndEinstellungsdateien)
{
    WinsvFixture f;
    mdl::PfadSDDF1.clear();
    frm_Datenabgleich w;
    testsupport::MsgRecorder rec;
    w.formActivate();
    w.optSDDF1_NM->setChecked(true);
    w.cmdVergleich_Click();
    ASSERT_FALSE(rec.texts().isEmpty());
    QString erwartet = "Die angegebene SD.DF1 - Datei wurde nicht gefunden.\rDer Schlüssel \"WinSDDB\" im Abschnitt "
                       "[nmSV] fehlt oder ist leer in";
    for (const QString &datei : registry::nmFiles())
        erwartet += "\r" + datei;
    EXPECT_EQ(rec.texts().last().toStdString(), erwartet.toStdString());
    EXPECT_EQ(w.lblUnterschiede->text(), Bitte);
}

TEST(DatenabgleichWahl, GespeicherteWahlBeiZweiDateien)
{
    WinsvFixture f;
    WinsvPupil p = schueler("1");
    f.addWinsv(p);
    const QString alt = f.box.file("alternativ.df1");
    ASSERT_TRUE(QFile::copy(f.winsvPfad, alt));
    f.addNm(schueler("1", "Anders")); // differs from both files
    settings::saveSetting("PFAD", "sd.df1", alt);
    settings::saveSetting("PFAD", "SDDF1-Einstellung", "Zandrel");
    {
        frm_Datenabgleich w;
        testsupport::MsgRecorder rec;
        w.formActivate();
        EXPECT_TRUE(w.optSDDF1_alternativ->isChecked());
        EXPECT_EQ(w.optSDDF1_alternativ->text(), alt);
        EXPECT_EQ(w.lblUnterschiede->text(), Eine);
    }
    // The saved alternative has gone: the grade manager's file is used and saved as the choice.
    QFile::remove(alt);
    frm_Datenabgleich w;
    testsupport::MsgRecorder rec;
    w.formActivate();
    EXPECT_TRUE(w.optSDDF1_NM->isChecked());
    EXPECT_EQ(settings::getSetting("PFAD", "SDDF1-Einstellung"), "NM");
    EXPECT_EQ(w.lblUnterschiede->text(), Eine);
}

TEST(DatenabgleichWahl, DateiDialog)
{
    WinsvFixture f;
    frm_Datenabgleich w;
    testsupport::MsgRecorder rec;
    QStringList antworten{"sd.df1"};
    w.dateiDialog = [&] { return antworten.takeFirst(); };
    w.cmdSDDF1_aendern_Click();
    EXPECT_EQ(rec.texts(), QStringList{"Die Datei wurde nicht gefunden."});
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1"), "");

    // A name that names no file asks again; an existing one is taken, without a comparison.
    antworten = QStringList{f.box.file("gibtsnicht.df1"), " " + f.winsvPfad + " "};
    w.cmdSDDF1_aendern_Click();
    EXPECT_TRUE(antworten.isEmpty());
    EXPECT_EQ(w.optSDDF1_alternativ->text(), f.winsvPfad);
    EXPECT_TRUE(w.optSDDF1_alternativ->isChecked());
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1"), f.winsvPfad);
    EXPECT_EQ(settings::getSetting("PFAD", "SDDF1-Einstellung"), "Zandrel");
    EXPECT_EQ(w.lblUnterschiede->text(), Bitte);
    EXPECT_EQ(rec.boxes.size(), 1);
}

// During a run nothing starts a second one and closing is refused; the window closes when the run ends.
TEST(DatenabgleichLauf, WaehrendDesVergleichsStartetNichtsUndSchliessenWartet)
{
    WinsvFixture f;
    f.addBoth(schueler("1"));
    f.addWinsv(schueler("2"));
    f.addNm(schueler("2", "Anders"));
    QPointer<frm_Datenabgleich> w = new frm_Datenabgleich;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    testsupport::MsgRecorder rec;
    bool geprueft = false;
    QTimer::singleShot(0, w, [&] {
        EXPECT_TRUE(w->laeuft());
        EXPECT_FALSE(w->cmdVergleich->isEnabled());
        EXPECT_FALSE(w->cmdAbgleich->isEnabled());
        const int zeilen = w->fg->rows();
        w->formActivate();
        w->cmdVergleich_Click();
        w->cmdAbgleich_Click();
        // A nested run would have ended by hiding the percentage.
        EXPECT_FALSE(w->lblProzent->isHidden());
        EXPECT_EQ(w->fg->rows(), zeilen);
        EXPECT_FALSE(w->formUnload());
        EXPECT_FALSE(w->close());
        geprueft = true;
    });
    w->formActivate();
    EXPECT_TRUE(geprueft);
    ASSERT_TRUE(w);
    EXPECT_TRUE(rec.boxes.isEmpty());
    EXPECT_FALSE(w->laeuft());
    EXPECT_TRUE(w->lblProzent->isHidden());
    EXPECT_TRUE(w->cmdAbgleich->isEnabled());
    EXPECT_TRUE(w->formUnload());
    for (int i = 0; i < 5 && w; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_FALSE(w);
}

// No writes nothing; a file that cannot be read leaves the last result and its write-back standing;
// an aborted comparison refuses the write-back.
TEST(DatenabgleichLauf, RueckschreibenNurNachFertigemVergleichUndJa)
{
    WinsvFixture f;
    f.addWinsv(schueler("1"));
    f.addNm(schueler("1", "Anders"));
    frm_Datenabgleich w;
    int antwort = msg::No;
    testsupport::MsgRecorder rec([&](const msg::Request &) { return antwort; });
    w.formActivate();
    w.cmdAbgleich_Click();
    EXPECT_EQ(rec.boxes.size(), 1);
    EXPECT_EQ(f.nmValue("SELECT Name FROM Schüler").toString(), "Anders");

    ASSERT_TRUE(QFile::rename(f.winsvPfad, f.winsvPfad + ".weg"));
    QFile kaputt(f.winsvPfad);
    ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
    kaputt.write("keine Datenbank");
    kaputt.close();
    w.cmdVergleich_Click();
    ASSERT_TRUE(QFile::remove(f.winsvPfad) && QFile::rename(f.winsvPfad + ".weg", f.winsvPfad));
    EXPECT_TRUE(rec.texts().last().startsWith("Die SD.DF1 - Datei \"" + f.winsvPfad + "\" kann nicht gelesen werden."));
    EXPECT_TRUE(w.vergleichFertig());
    EXPECT_TRUE(w.cmdAbgleich->isEnabled());

    f.nm.exec("ALTER TABLE Adressen RENAME TO Adressen_weg");
    w.cmdVergleich_Click();
    EXPECT_EQ(rec.boxes.size(), 3); // the database's message
    EXPECT_FALSE(w.vergleichFertig());
    EXPECT_FALSE(w.cmdAbgleich->isEnabled());
    f.nm.exec("ALTER TABLE Adressen_weg RENAME TO Adressen");
    antwort = msg::Yes;
    w.cmdAbgleich_Click();
    EXPECT_EQ(rec.boxes.size(), 3);
    EXPECT_EQ(f.nmValue("SELECT Name FROM Schüler").toString(), "Anders");
}

TEST(DatenabgleichLauf, VergleichRueckschreibenUndNeuerVergleich)
{
    WinsvFixture f;
    f.addBoth(schueler("1"));                       // equal: hidden, never written
    f.addNm(schueler("1"));
    f.addWinsv(schueler("2", "Richtig"));
    f.addNm(schueler("2", "Falsch"));               // name: yellow, written
    WinsvPupil c = schueler("3");
    f.addWinsv(c);
    c.klasse = "5b";
    c.strasse = "Alte Str. 2";
    f.addNm(c);                                     // class light red (stays), street yellow (written)
    f.addWinsv(schueler("6", "Doppelt"));
    f.addNm(schueler("6", "Doppelt1"));
    f.addNm(schueler("6", "Doppelt2"));             // several rows: skipped and reported
    f.addWinsv(schueler("7"));                      // only in WinSV
    WinsvPupil nurNm = schueler("8");
    nurNm.klasse = "6c";
    f.addNm(nurNm);                                 // only in the grade manager

    frm_Datenabgleich w;
    testsupport::MsgRecorder rec([](const msg::Request &) { return msg::Yes; });
    w.formActivate();
    EXPECT_EQ(w.lblUnterschiede->text(), "Inkonsistente Daten bei 3 Schülerinnen oder Schülern gefunden.");
    const long G = winsv::Gelb, H = winsv::Hellrot;
    EXPECT_EQ(farbenDerPaare(w.fg->store()),
              (QMap<QString, QMap<int, long>>{{"2", {{0, G}, {3, G}}}, {"3", {{0, G}, {2, H}, {8, G}}}, {"6", {{0, G}, {3, G}}}}));
    EXPECT_EQ(w.fg_nurWinSV->rows(), 2);
    EXPECT_EQ(w.fg_nurWinSV->textMatrix(1, 0), "7");
    EXPECT_EQ(w.fg_nurNM->rows(), 2);
    EXPECT_EQ(w.fg_nurNM->textMatrix(1, 0), "8");
    EXPECT_EQ(w.fg_falscheKlasse->rows(), 2);
    EXPECT_EQ(w.fg_falscheKlasse->textMatrix(1, 0), "3");
    ASSERT_TRUE(rec.boxes.isEmpty());

    w.cmdAbgleich_Click();
    ASSERT_EQ(rec.boxes.size(), 3);
    EXPECT_EQ(rec.boxes[0].text, "Sollen alle gelb markierten Daten des Notenmanagers mit den entsprechenden Daten "
                                 "der WinSV überschrieben werden?");
    EXPECT_EQ(rec.boxes[0].buttons, msg::YesNo | msg::DefaultButton2);
    EXPECT_EQ(rec.boxes[1].text, "Die Daten von 1 Schülerinnen oder Schülern wurden nicht in den Notenmanager übernommen:\r"
                                 "- 1 ohne eindeutige Zuordnung (mehrere Datensätze zur WinSV-Nummer im Notenmanager)\r"
                                 "Diese Daten müssen leider konventionell korrigiert werden.");
    EXPECT_EQ(rec.boxes[2].text, "Die Daten wurden aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.");

    EXPECT_EQ(farbenDerPaare(w.fg->store()), (QMap<QString, QMap<int, long>>{{"3", {{0, G}, {2, H}}}, {"6", {{0, G}, {3, G}}}}));
    EXPECT_EQ(w.lblUnterschiede->text(), "Inkonsistente Daten bei 2 Schülerinnen oder Schülern gefunden.");
    EXPECT_EQ(f.nmValue("SELECT Klasse FROM Schüler WHERE WinSVSnr = 3").toString(), "5b");
    EXPECT_EQ(f.nmValue("SELECT COUNT(*) FROM Schüler WHERE Name LIKE 'Doppelt_'").toInt(), 2);
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
}

// What is written comes from the comparison's result: a painted cell changed afterwards, or a row
// shown again, changes nothing of it.
TEST(DatenabgleichLauf, RueckschreibenSchreibtDasErgebnisDesVergleichs)
{
    WinsvFixture f;
    f.addBoth(schueler("1"));
    f.addWinsv(schueler("2", "Richtig"));
    const qint64 nr = f.addNm(schueler("2", "Falsch"));
    frm_Datenabgleich w;
    testsupport::MsgRecorder rec([](const msg::Request &) { return msg::Yes; });
    w.formActivate();
    ASSERT_EQ(w.paare().size(), 1);
    for (int r = 1; r < w.fg->rows(); ++r) {
        w.fg->setRowHeight(r, 240);
        w.fg->setTextMatrix(r, 3, "Gemalt");
    }
    w.cmdAbgleich_Click();
    EXPECT_EQ(f.nmValue("SELECT Name FROM Schüler WHERE SchülerNr = ?", {nr}).toString(), "Richtig");
    EXPECT_EQ(f.nmValue("SELECT count(*) FROM Schüler WHERE Name = 'Gemalt'").toInt(), 0);
    EXPECT_EQ(w.lblUnterschiede->text(), "Inkonsistente Daten bei 0 Schülerinnen oder Schülern gefunden.");
}
