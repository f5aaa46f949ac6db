#include "core/frm_main.h"
#include "core/rechte.h"
#include "core/windowregistry.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"
#include "records/frm_listen.h"
#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStorageInfo>
#include <QXmlStreamReader>
#include <unzip.h>

namespace {

QByteArray zipEintrag(const QString &datei, const char *name)
{
    QByteArray out;
    unzFile z = unzOpen64(QFile::encodeName(datei).constData());
    if (!z)
        return out;
    if (unzLocateFile(z, name, 0) == UNZ_OK && unzOpenCurrentFile(z) == UNZ_OK) {
        char buf[8192];
        int n;
        while ((n = unzReadCurrentFile(z, buf, sizeof buf)) > 0)
            out.append(buf, n);
        unzCloseCurrentFile(z);
    }
    unzClose(z);
    return out;
}

// The first worksheet's cell texts by row (shared and inline strings, numbers as written).
QVector<QStringList> blattLesen(const QString &datei)
{
    QStringList sst;
    QXmlStreamReader s(zipEintrag(datei, "xl/sharedStrings.xml"));
    QString aktuell;
    bool inSi = false;
    while (!s.atEnd()) {
        s.readNext();
        if (s.isStartElement() && s.name() == QLatin1String("si")) {
            inSi = true;
            aktuell.clear();
        } else if (inSi && s.isStartElement() && s.name() == QLatin1String("t"))
            aktuell += s.readElementText();
        else if (s.isEndElement() && s.name() == QLatin1String("si")) {
            sst << aktuell;
            inSi = false;
        }
    }
    QVector<QStringList> zeilen;
    QXmlStreamReader w(zipEintrag(datei, "xl/worksheets/sheet1.xml"));
    QString typ;
    while (!w.atEnd()) {
        w.readNext();
        if (w.isStartElement() && w.name() == QLatin1String("row"))
            zeilen << QStringList();
        else if (w.isStartElement() && w.name() == QLatin1String("c"))
            typ = w.attributes().value("t").toString();
        else if (w.isStartElement() && (w.name() == QLatin1String("v") || w.name() == QLatin1String("t"))) {
            const QString v = w.readElementText();
            zeilen.last() << (typ == QLatin1String("s") ? sst.value(v.toInt()) : v);
        }
    }
    return zeilen;
}

void ereignisse()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

QStringList zeile(const VSGrid &g, int r)
{
    QStringList out;
    for (int c = 0; c < g.cols(); ++c)
        out << g.textMatrix(r, c);
    return out;
}

} // namespace

class ListenFenster : public listentest::ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        w = new frm_Listen;
        w->speichernDialog = [this](const QString &start, const QString &name, const QString &) {
            dialogStart = start;
            return antwort.isEmpty() ? name : antwort;
        };
    }
    void TearDown() override
    {
        delete w;
        ListenFixture::TearDown();
    }
    void ausfuehren(const QString &text)
    {
        w->rtfSQL->setPlainText(text);
        w->cmd_SQL_ausfuehren_Click();
    }

    frm_Listen *w = nullptr;
    QString antwort, dialogStart;
};

TEST_F(ListenFenster, TeacherGetsTheMessageAndTheWindowCloses)
{
    for (const char *benutzer : {"SCH", "X "}) {
        QPointer<frm_Listen> f = new frm_Listen;
        f->setAttribute(Qt::WA_DeleteOnClose);
        f->show();
        mdl::Benutzer = QString::fromUtf8(benutzer);
        testsupport::MsgRecorder rec;
        f->formActivate();
        ereignisse();
        EXPECT_EQ(rec.texts(), QStringList({"Nur für den Admin"})) << benutzer;
        EXPECT_TRUE(f.isNull()) << benutzer;
    }
    EXPECT_FALSE(settings::getSetting("Fenster", "ListenWidth").isEmpty());

    mdl::Benutzer = "xs";
    testsupport::MsgRecorder rec;
    w->show();
    w->formActivate();
    ereignisse();
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(ListenFenster, TypedStatementShowsItsRows)
{
    testsupport::MsgRecorder rec;
    ausfuehren("Schüler mit M, ab 2009 geboren\r\n"
               "SELECT Name & ', ' & Vorname AS Schüler, IIf(LRS, 'LRS', '') AS Hinweis, Geburtsdatum\n"
               "FROM Schüler WHERE Geburtsdatum >= #1/1/2009# AND Name Like 'm*' ORDER BY Name");
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(w->lblAnzahl->text(), "2 Datensätze");
    ASSERT_EQ(w->fg->rows(), 3);
    EXPECT_EQ(w->fg->fixedRows(), 1);
    EXPECT_EQ(zeile(*w->fg, 0), QStringList({"Schüler", "Hinweis", "Geburtsdatum"}));
    EXPECT_EQ(zeile(*w->fg, 1), QStringList({"meier, Lena", "LRS", "15.01.2013"}));
    EXPECT_EQ(zeile(*w->fg, 2), QStringList({"Müller, Anna", "LRS", "04.03.2009"}));

    ausfuehren("SELECT Name FROM Schüler WHERE Name Like 'Ö*'");
    EXPECT_EQ(w->lblAnzahl->text(), "1 Datensätze");
    EXPECT_EQ(w->fg->textMatrix(1, 0), "Özdemir");

    w->chkKopfFrei->setChecked(true);
    w->chkKopfFrei_Click();
    EXPECT_EQ(w->fg->fixedRows(), 0);
}

TEST_F(ListenFenster, EmptyResultLeavesOneEmptyRowAndTheColumnCount)
{
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT Name, Vorname, Klasse FROM Schüler");
    EXPECT_EQ(w->lblAnzahl->text(), "6 Datensätze");
    ausfuehren("SELECT Name FROM Schüler WHERE Klasse = '9z'");
    EXPECT_TRUE(rec.texts().isEmpty());
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_EQ(w->fg->cols(), 3);
    EXPECT_EQ(zeile(*w->fg, 0), QStringList({"", "", ""}));
    EXPECT_TRUE(w->lblAnzahl->text().isEmpty());
}

TEST_F(ListenFenster, RefusedAndFaultyStatementsGiveThePartsMessages)
{
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT 1; DELETE FROM Schüler;");
    ausfuehren("SELECT * FROM Schüler; DROP TABLE Noten;");
    ausfuehren("SELECT Name FROM Gibtsnicht");
    ausfuehren("Nur ein Kommentar");
    EXPECT_EQ(rec.texts(), QStringList({"Fehler im SQL-Ausdruck", "Fehler im SQL-Ausdruck", "Fehler im SQL-Ausdruck",
                                        "Der SQL-String enthält kein 'SELECT'."}));
    EXPECT_EQ(wert("SELECT count(*) FROM Schüler").toInt(), 6);
    EXPECT_EQ(wert("SELECT count(*) FROM sqlite_master WHERE name = 'Noten'").toInt(), 1);
    EXPECT_EQ(w->fg->rows(), 1);
    EXPECT_FALSE(mdl::dbNMNurLesen().isOpen());
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

TEST_F(ListenFenster, ResultSavesAsWorkbookWithFieldNamesInRowOne)
{
    testsupport::MsgRecorder rec;
    ausfuehren("SELECT Name, Klasse, Geburtsdatum FROM Schüler WHERE Klasse = '10a' ORDER BY Name");
    antwort = sb.file("Liste.xls");
    w->cmdSaveExcel_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Die gewünschte Datei wurde gespeichert."}));
    EXPECT_EQ(settings::getSetting("Save", "Excel"), sb.path());
    const QVector<QStringList> blatt = blattLesen(sb.file("Liste.xlsx"));
    ASSERT_EQ(blatt.size(), 3);
    EXPECT_EQ(blatt[0], QStringList({"Name", "Klasse", "Geburtsdatum"}));
    EXPECT_EQ(blatt[1], QStringList({"Maier", "10a", "24.12.2008"}));

    antwort.clear();
    rec.boxes.clear();
    w->cmdSaveExcel_Click();
    EXPECT_EQ(rec.texts(), QStringList({"Es wurde nichts gespeichert."}));
    EXPECT_EQ(settings::getSetting("Save", "Excel"), "");
    EXPECT_EQ(dialogStart, sb.path());
    w->cmdSaveExcel_Click();
    EXPECT_EQ(dialogStart, QDir::homePath()); // no start folder: the home folder
}

TEST_F(ListenFenster, ActivationPlacesTheWindowAndPointsTheListsAtTheStartFolder)
{
    QDir(sb.path()).mkpath("Abfragen/Unter");
    QFile(sb.file("Abfragen/eins.sql")).open(QIODevice::WriteOnly);
    QFile(sb.file("Abfragen/ZWEI.SQL")).open(QIODevice::WriteOnly);
    QFile(sb.file("Abfragen/drei.txt")).open(QIODevice::WriteOnly);
    settings::saveSetting("Save", "SaveSQL", sb.file("Abfragen"));
    settings::saveSetting("Fenster", "ListenWidth", "9000");
    w->formActivate();
    EXPECT_EQ(w->dirPath(), sb.file("Abfragen"));
    ASSERT_EQ(w->File1->count(), 2);
    EXPECT_EQ(w->File1->item(0)->text(), "eins.sql");
    EXPECT_EQ(w->File1->item(1)->text(), "ZWEI.SQL");
    EXPECT_EQ(w->width(), 600);
    EXPECT_EQ(w->pos(), QPoint(0, 0));

    // A missing start folder keeps the lists on the drive.
    settings::saveSetting("Save", "SaveSQL", sb.file("gibt/es/nicht"));
    w->formActivate();
    EXPECT_EQ(w->dirPath(), QDir::cleanPath(w->drive()));
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

TEST_F(ListenFenster, MenuReleasedToTeachersStillAdmitsOnlyXAndXs)
{
    windows::registerWindow("frm_Listen", [](QWidget *parent) { return new frm_Listen(parent); });
    const rechte::Spalten spalten{{"mnu_Listen", "XS LK"}};
    frm_Main m;
    m.show();
    mdl::Benutzer = "SCH";
    m.menuesSetzen(rechte::berechnen(mdl::Benutzer, spalten, {}, {}));
    ASSERT_TRUE(m.menues().listen);
    {
        testsupport::MsgRecorder rec;
        m.mnu_Listen_erzeugen_Click();
        ereignisse();
        EXPECT_EQ(rec.texts(), QStringList({"Nur für den Admin"}));
        EXPECT_EQ(m.fenster("frm_Listen"), nullptr);
    }
    mdl::Benutzer = "X";
    m.menuesSetzen(rechte::berechnen(mdl::Benutzer, spalten, {}, {}));
    testsupport::MsgRecorder rec;
    settings::saveSetting("Fenster", "ListenWidth", "7500");
    m.mnu_Listen_erzeugen_Click();
    ereignisse();
    EXPECT_TRUE(rec.texts().isEmpty());
    auto *l = qobject_cast<frm_Listen *>(m.fenster("frm_Listen"));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->rahmen()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(l->rahmen()->width(), 500);
    ASSERT_TRUE(m.entladen("frm_Listen"));
    EXPECT_EQ(settings::getSetting("Fenster", "ListenWidth"), "7500");
}
