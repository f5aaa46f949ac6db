#include "core/frm_warten.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"
#include "records/frm_listen.h"
#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <cerrno>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>

namespace {

QStringList zeile(const VSGrid &g, int r)
{
    QStringList out;
    for (int c = 0; c < g.cols(); ++c)
        out << g.textMatrix(r, c);
    return out;
}

// Counts the paint events of a widget.
class Malzaehler : public QObject {
public:
    explicit Malzaehler(QWidget *w) { w->installEventFilter(this); }
    int anzahl = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++anzahl;
        return false;
    }
};

} // namespace

class ListenFenster : public listentest::ListenFensterFixture {};

// Rows under a fixed header row, the count beside; an empty result leaves one empty row of the columns.
TEST_F(ListenFenster, TypedStatementShowsItsRowsAndAnEmptyResultNone)
{
    testsupport::MsgRecorder rec;
    ausfuehren("Schüler mit M, ab 2009 geboren\r\n"
               "SELECT Name & ', ' & Vorname AS Schüler, IIf(LRS, 'LRS', '') AS Hinweis, Geburtsdatum\n"
               "FROM Schüler WHERE Geburtsdatum >= #1/1/2009# AND Name Like 'm*' ORDER BY Name");
    EXPECT_EQ(w->lblAnzahl->text(), "2 Datensätze");
    ASSERT_EQ(w->fg->rows(), 3);
    EXPECT_EQ(w->fg->fixedRows(), 1);
    EXPECT_EQ(zeile(*w->fg, 0), QStringList({"Schüler", "Hinweis", "Geburtsdatum"}));
    EXPECT_EQ(zeile(*w->fg, 1), QStringList({"meier, Lena", "LRS", "15.01.2013"}));
    EXPECT_EQ(zeile(*w->fg, 2), QStringList({"Müller, Anna", "LRS", "04.03.2009"}));
    w->chkKopfFrei->setChecked(true);
    w->chkKopfFrei_Click();
    EXPECT_EQ(w->fg->fixedRows(), 0);

    ausfuehren("SELECT Name FROM Schüler WHERE Klasse = '9z'");
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_EQ(w->fg->cols(), 3);
    EXPECT_EQ(zeile(*w->fg, 0), QStringList({"", "", ""}));
    EXPECT_TRUE(w->lblAnzahl->text().isEmpty());
}

TEST_F(ListenFenster, RefusedAndFaultyStatementsGiveThePartsMessagesAndChangeNothing)
{
    testsupport::MsgRecorder rec;
    for (const char *text : {"SELECT 1; DELETE FROM Schüler;", "SELECT * FROM Schüler; DROP TABLE Noten;",
                             "Kommentar\r\nselect 1;\r\nUPDATE Schüler SET Name = 'x';",
                             "SELECT * INTO Kopie FROM Schüler", "SELECT Name FROM Gibtsnicht", "Nur ein Kommentar"})
        ausfuehren(QString::fromUtf8(text));
    EXPECT_EQ(rec.texts(), QStringList(5, "Fehler im SQL-Ausdruck") << "Der SQL-String enthält kein 'SELECT'.");
    EXPECT_EQ(wert("SELECT count(*) FROM Schüler").toInt(), 6);
    EXPECT_EQ(wert("SELECT count(*) FROM sqlite_master WHERE name IN ('Noten', 'Kopie')").toInt(), 1);
    EXPECT_EQ(wert("SELECT Name FROM Schüler WHERE SchülerNr = 1").toString(), "Müller");
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
}

// A statement still running after the wait time shows the progress window, modal, with
// "Abbrechen"; the click ends the statement and the grid stays cleared, without a message.
TEST_F(ListenFenster, LongStatementShowsTheProgressWindowAndAbbrechenEndsIt)
{
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT Name FROM Schüler");
    ASSERT_EQ(w->fg->rows(), 7);
    w->wartefensterNachMs = 50;
    bool modal = false, gesehen = false;
    QTimer klick;
    QObject::connect(&klick, &QTimer::timeout, [&] {
        frm_Warten *f = frm_Warten::instance();
        if (!f || !f->isVisible() || gesehen)
            return;
        gesehen = true;
        modal = f->windowModality() == Qt::ApplicationModal;
        f->cmdAbbrechen->click();
    });
    klick.start(5);
    ausfuehren("SELECT count(*) FROM Schüler a, Schüler b, Schüler c, Schüler d, Schüler e, Schüler f, Schüler g, "
               "Schüler h, Schüler i, Schüler j, Schüler k, Schüler l");
    EXPECT_TRUE(gesehen);
    EXPECT_TRUE(modal);
    EXPECT_EQ(frm_Warten::instance(), nullptr);
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_EQ(zeile(*w->fg, 0), QStringList({""}));
    EXPECT_TRUE(w->lblAnzahl->text().isEmpty());
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
}

// While a statement runs on its own thread, the window's thread goes on with its timers and
// paints; the rows come once the run is complete.
TEST_F(ListenFenster, WindowPaintsWhileTheStatementRunsAndGetsItsRowsAtTheEnd)
{
    w->rahmen()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w->rahmen()));
    Malzaehler gemalt(w->fg->viewport());
    std::atomic<int> takte{0};
    QTimer uhr;
    QObject::connect(&uhr, &QTimer::timeout, [&] {
        ++takte;
        w->fg->viewport()->update();
    });
    uhr.start(1);
    // The run waits on its thread until the window's thread has seen some ticks (at most 10 s).
    w->wartefensterNachMs = 60000;
    w->imLauf = [&](accesssql::RunPhase) {
        for (int i = 0; i < 10000 && takte < 5; ++i)
            QThread::msleep(1);
        return true;
    };
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT Name FROM Schüler WHERE Klasse = '10a' ORDER BY Name");
    uhr.stop();
    EXPECT_GE(takte, 5);
    EXPECT_GE(gemalt.anzahl, 1);
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(w->lblAnzahl->text(), "2 Datensätze");
    EXPECT_EQ(zeile(*w->fg, 1), QStringList({"Maier"}));
    EXPECT_EQ(zeile(*w->fg, 2), QStringList({"Müller"}));
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
}

TEST_F(ListenFenster, ResultAtTheCapIsCutAndOneTooBigIsNotShown)
{
    w->maxZeilen = 4;
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT Name FROM Schüler ORDER BY SchülerNr");
    EXPECT_EQ(rec.texts(), QStringList({"Das Ergebnis hat mehr Datensätze, als eine Excel-Tabelle aufnehmen kann.\r"
                                        "Die Liste wurde nach 4 Datensätzen abgeschnitten."}));
    EXPECT_EQ(w->lblAnzahl->text(), "4 Datensätze");
    ASSERT_EQ(w->fg->rows(), 5);
    EXPECT_EQ(w->fg->textMatrix(4, 0), "Schmidt");

    w->maxZeilen = listen::MaxZeilen;
    w->maxBytes = 200;
    rec.boxes.clear();
    ausfuehren("SELECT Name, Vorname FROM Schüler");
    EXPECT_EQ(rec.texts(), QStringList({"Das Ergebnis ist zu groß, um es anzuzeigen (mehr als etwa 1 GB Speicher).\r"
                                        "Bitte schränken Sie die Abfrage ein, z. B. mit WHERE oder mit weniger Feldern."}));
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_TRUE(w->lblAnzahl->text().isEmpty());
}

TEST_F(ListenFenster, QueryFileSavedAndLoadedGivesTheSameText)
{
    QDir(sb.path()).mkpath("SQL");
    const QString ordner = sb.file("SQL");
    w->setDrive(QStorageInfo(ordner).rootPath());
    w->setDirPath(ordner);
    w->rtfSQL->setPlainText("Liste \"Schüler\"\nSELECT Name FROM Schüler WHERE Klasse = \"5a\";");
    antwort = ordner + "/Liste.SQL";
    {
        testsupport::MsgRecorder rec;
        w->cmdSave_Click();
        EXPECT_EQ(rec.texts(), QStringList({"Die Datei \r'" + QDir::toNativeSeparators(antwort) + "'\rwurde gespeichert."}));
    }
    const QString erwartet = "Liste 'Schüler'\nSELECT Name FROM Schüler WHERE Klasse = '5a';";
    EXPECT_EQ(w->rtfSQL->toPlainText(), erwartet);
    QFile f(antwort);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QString(erwartet).replace("\n", "\r\n"));
    EXPECT_EQ(settings::getSetting("Save", "SaveSQL"), ordner);

    ASSERT_EQ(w->File1->count(), 1); // the list was refreshed
    EXPECT_EQ(w->File1->item(0)->text(), "Liste.SQL");
    ausfuehren("SELECT Name FROM Schüler");
    w->rtfSQL->setPlainText("anderer Text");
    w->File1->setCurrentRow(0);
    w->File1_Click();
    EXPECT_EQ(w->rtfSQL->toPlainText(), erwartet);
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_TRUE(w->lblAnzahl->text().isEmpty());

    // Replacing asks first; No keeps the file.
    w->rtfSQL->setPlainText("SELECT 1");
    {
        testsupport::MsgRecorder rec([](const msg::Request &) { return int(msg::No); });
        w->cmdSave_Click();
        ASSERT_EQ(rec.boxes.size(), 2);
        EXPECT_EQ(rec.boxes[0].text, "Soll die bestehende Datei ersetzt werden?");
        EXPECT_EQ(rec.boxes[0].buttons, msg::YesNo | msg::DefaultButton2);
        EXPECT_EQ(rec.boxes[1].text, "Es wurde nichts gespeichert.");
    }
    QString gelesen;
    ASSERT_TRUE(listen::abfrageLaden(antwort, &gelesen));
    EXPECT_EQ(gelesen, erwartet);

    // Cancelled: nothing, silently.
    antwort.clear();
    testsupport::MsgRecorder rec;
    w->cmdSave_Click();
    EXPECT_TRUE(rec.texts().isEmpty());
}

// A saved query whose network folder is gone: the message names the file and the reason, and the
// text in the box stays.
TEST_F(ListenFenster, AQueryFileThatCannotBeReadIsToldWithFileAndReason)
{
    QDir(sb.path()).mkpath("SQL");
    const QString ordner = sb.file("SQL");
    QFile f(ordner + "/Liste.sql");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("SELECT 1");
    f.close();
    w->setDrive(QStorageInfo(ordner).rootPath());
    w->setDirPath(ordner);
    ASSERT_EQ(w->File1->count(), 1);
    w->rtfSQL->setPlainText("eigener Text");
    w->File1->setCurrentRow(0);
    testsupport::MsgRecorder rec;
    {
        testsupport::OrdnerWeg weg(ordner + "/Liste.sql", ESTALE);
        w->File1_Click();
    }
    EXPECT_EQ(rec.texts(), QStringList({"Die Abfrage kann nicht gelesen werden.\r\rDatei: "
                                        + QDir::toNativeSeparators(ordner + "/Liste.sql")
                                        + "\rGrund: Die Verbindung zum Netzwerkordner ist unterbrochen."}));
    EXPECT_EQ(w->rtfSQL->toPlainText(), "eigener Text");
    w->File1_Click();
    EXPECT_EQ(w->rtfSQL->toPlainText(), "SELECT 1");
    EXPECT_EQ(rec.texts().size(), 1);
}

TEST_F(ListenFenster, ResultSavesAsWorkbookWithFieldNamesInRowOne)
{
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT Name, Klasse, Geburtsdatum, Geburtsdatum + 1 AS Danach, #1/1/2000# AS Stichtag FROM Schüler "
               "WHERE Klasse = '10a' ORDER BY Name");
    antwort = sb.file("Liste.xls");
    w->cmdSaveExcel_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Die gewünschte Datei wurde gespeichert."}));
    EXPECT_EQ(settings::getSetting("Save", "Excel"), sb.path());
    const auto zellen = testsupport::xlsxCells(sb.file("Liste.xlsx"));
    EXPECT_EQ(QStringList({zellen["A1"], zellen["B1"], zellen["C1"], zellen["A2"], zellen["B2"], zellen["C2"],
                           zellen["D2"], zellen["E2"]}),
              QStringList({"Name", "Klasse", "Geburtsdatum", "Maier", "10a", "24.12.2008", "25.12.2008", "01.01.2000"}));
    EXPECT_EQ(zeile(*w->fg, 1), QStringList({"Maier", "10a", "24.12.2008", "25.12.2008", "01.01.2000"}));
    EXPECT_TRUE(zellen.contains("A3"));
    EXPECT_FALSE(zellen.contains("A4"));

    antwort.clear();
    rec.boxes.clear();
    w->cmdSaveExcel_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Es wurde nichts gespeichert."}));
    EXPECT_EQ(settings::getSetting("Save", "Excel"), "");
    EXPECT_EQ(dialogStart, sb.path());
    w->cmdSaveExcel_Click();
    EXPECT_EQ(dialogStart, QDir::homePath()); // no start folder: the home folder
}

TEST_F(ListenFenster, ActivationPointsTheListsAtTheStartFolder)
{
    QDir(sb.path()).mkpath("Abfragen/Unter");
    QFile(sb.file("Abfragen/eins.sql")).open(QIODevice::WriteOnly);
    QFile(sb.file("Abfragen/ZWEI.SQL")).open(QIODevice::WriteOnly);
    QFile(sb.file("Abfragen/drei.txt")).open(QIODevice::WriteOnly);
    settings::saveSetting("Save", "SaveSQL", sb.file("Abfragen"));
    w->formActivate();
    EXPECT_EQ(w->dirPath(), sb.file("Abfragen"));
    ASSERT_EQ(w->File1->count(), 2);
    EXPECT_EQ(w->File1->item(0)->text(), "eins.sql");
    EXPECT_EQ(w->File1->item(1)->text(), "ZWEI.SQL");

    // A missing start folder keeps the lists on the drive.
    settings::saveSetting("Save", "SaveSQL", sb.file("gibt/es/nicht"));
    w->formActivate();
    EXPECT_EQ(w->dirPath(), QDir::cleanPath(w->drive()));
}

TEST_F(ListenFenster, FolderAndFileListsComeInGermanOrder)
{
    for (const char *o : {"Zeugnis", "\xc3\x9c" "bersicht", "aber", "Ober", "\xc3\xb6" "ffentlich", "Oz"})
        QDir(sb.path()).mkpath(QStringLiteral("Abfragen/") + QString::fromUtf8(o));
    for (const char *d : {"Zahl.sql", "\xc3\xa4rger.SQL", "Abc.sql", "abd.sql", "Ma\xc3\x9f.sql", "Masse.sql", "Mast.sql"})
        QFile(sb.file(QStringLiteral("Abfragen/") + QString::fromUtf8(d))).open(QIODevice::WriteOnly);
    settings::saveSetting("Save", "SaveSQL", sb.file("Abfragen"));
    w->formActivate();
    QStringList dateien, ordner;
    for (int i = 0; i < w->File1->count(); ++i)
        dateien << w->File1->item(i)->text();
    const int start = w->Dir1->currentRow() + 1; // the folders below the current one
    for (int i = start; i < w->Dir1->count(); ++i)
        ordner << w->Dir1->item(i)->text().trimmed();
    EXPECT_EQ(dateien.join(' ').toStdString(), "Abc.sql abd.sql \xc3\xa4rger.SQL Ma\xc3\x9f.sql Masse.sql Mast.sql Zahl.sql");
    EXPECT_EQ(ordner.join(' ').toStdString(), "aber Ober \xc3\xb6" "ffentlich Oz \xc3\x9c" "bersicht Zeugnis");
}

TEST_F(ListenFenster, DriveThatCannotBeReadIsReported)
{
    w->setDrive(QDir::rootPath());
    testsupport::MsgRecorder rec;
    EXPECT_FALSE(w->setDrive("/gibt/es/nicht/"));
    EXPECT_EQ(rec.texts(), QStringList({"Das Laufwerk ist nicht bereit."}));
    EXPECT_EQ(w->drive(), QDir::rootPath());
    EXPECT_EQ(w->Drive1->currentText(), QDir::rootPath());
}
