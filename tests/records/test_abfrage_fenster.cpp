#include "core/frm_main.h"
#include "core/rechte.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"
#include "records/frm_listen.h"
#include "records/frm_sql.h"
#include "records/register_records.h"
#include "test_listen_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

void ereignisse()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

QListWidgetItem *eintrag(QListWidget *l, const QString &text)
{
    const auto gefunden = l->findItems(text, Qt::MatchExactly);
    return gefunden.isEmpty() ? nullptr : gefunden.first();
}

} // namespace

class AbfrageFenster : public listentest::ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        mdl::BetaHinweisGezeigt = true;
        w = new frm_SQL;
        w->Form_Load();
        tabelleWaehlen("Schüler");
    }
    void TearDown() override
    {
        delete w;
        mdl::BetaHinweisGezeigt = false;
        ListenFixture::TearDown();
    }
    void tabelleWaehlen(const QString &t)
    {
        w->lstTabellen->setCurrentItem(eintrag(w->lstTabellen, t));
        w->lstTabellen_Click();
    }
    // Selects exactly these fields in the field list.
    void markieren(const QStringList &felder)
    {
        w->lstFelder->clearSelection();
        for (const QString &f : felder)
            eintrag(w->lstFelder, f)->setSelected(true);
    }
    QStringList felderSpalte() const
    {
        QStringList out;
        for (int r = 1; r < w->fg->rows(); ++r)
            out << w->fg->textMatrix(r, frm_SQL::SpFeld);
        while (!out.isEmpty() && out.last().isEmpty())
            out.removeLast();
        return out;
    }

    frm_SQL *w = nullptr;
};

TEST_F(AbfrageFenster, DoubleClickSortClickAndCriterionBuildTheStatement)
{
    for (const char *f : {"Name", "Vorname", "Klasse"}) {
        w->lstFelder->setCurrentItem(eintrag(w->lstFelder, f));
        w->lstFelder_DblClick();
    }
    EXPECT_EQ(felderSpalte(), QStringList({"Name", "Vorname", "Klasse"}));
    EXPECT_EQ(w->fg->textMatrix(3, frm_SQL::SpTabelle), "Schüler");
    w->fg_Click(1, frm_SQL::SpSortierung);
    w->fg_Click(3, frm_SQL::SpSortierung);
    w->fg_Click(3, frm_SQL::SpSortierung);
    w->fg_Click(2, frm_SQL::SpSortierung);
    w->fg_Click(2, frm_SQL::SpSortierung);
    w->fg_Click(2, frm_SQL::SpSortierung); // and back to none
    w->fg_Click(5, frm_SQL::SpSortierung); // an empty row keeps no sort order
    EXPECT_EQ(w->fg->textMatrix(5, frm_SQL::SpSortierung), "");
    w->fg->setCellChecked(3, frm_SQL::SpAnzeigen, grid::Unchecked);
    w->fg_Click(3, frm_SQL::SpAnzeigen);
    w->fg->setTextMatrix(1, frm_SQL::SpKriterium, "M*"); // as the editor writes it
    w->fg->setTextMatrix(3, frm_SQL::SpKriterium, "5a");
    w->fg->setTextMatrix(2, frm_SQL::SpOder, "Anna");
    EXPECT_EQ(w->fg->textMatrix(1, frm_SQL::SpKriterium), "WIE \"M*\"");
    EXPECT_EQ(w->rtfSQL->toPlainText(), "SELECT Schüler.Name, Schüler.Vorname\n"
                                        "FROM Schüler\n"
                                        "WHERE (((Schüler.Name) LIKE \"M*\") AND ((Schüler.Klasse)= '5a') )\n"
                                        "ORDER BY Schüler.Name, Schüler.Klasse DESC ;");

    // No table chosen: a double click does nothing.
    w->lstTabellen->setCurrentItem(nullptr);
    w->lstFelder_DblClick();
    EXPECT_EQ(felderSpalte().size(), 3);
}

TEST_F(AbfrageFenster, DropsInsertAboveAFieldOrFillFromTheFirstEmptyRow)
{
    const int zeilen = w->fg->rows();
    markieren({"Name", "Vorname"});
    w->fg_OLEDragDrop(0); // the header counts as row 1, which is empty
    EXPECT_EQ(felderSpalte(), QStringList({"Name", "Vorname"}));
    markieren({"Klasse", "Geschlecht"});
    w->fg_OLEDragDrop(2); // on a field: above it, in list order
    EXPECT_EQ(felderSpalte(), QStringList({"Name", "Klasse", "Geschlecht", "Vorname"}));
    EXPECT_EQ(w->fg->cellChecked(2, frm_SQL::SpAnzeigen), grid::Checked);
    EXPECT_EQ(w->fg->rows(), zeilen + 2);
    markieren({"LRS"});
    w->fg_OLEDragDrop(12); // an empty row: the first empty row from the top
    w->fg_OLEDragDrop(-1); // below the last row: the same
    EXPECT_EQ(felderSpalte(), QStringList({"Name", "Klasse", "Geschlecht", "Vorname", "LRS", "LRS"}));
    EXPECT_TRUE(w->rtfSQL->toPlainText().startsWith(
        "SELECT Schüler.Name, Schüler.Klasse, Schüler.Geschlecht, Schüler.Vorname, Schüler.LRS, Schüler.LRS\n"));

    // Delete in column 0 removes the row and keeps the count; elsewhere it does nothing.
    const int vorher = w->fg->rows();
    w->fg->select(2, frm_SQL::SpTabelle);
    w->fg_KeyUp(46);
    EXPECT_EQ(felderSpalte().size(), 6);
    w->fg->select(2, frm_SQL::SpFeld);
    w->fg_KeyUp(46);
    EXPECT_EQ(felderSpalte(), QStringList({"Name", "Geschlecht", "Vorname", "LRS", "LRS"}));
    EXPECT_EQ(w->fg->rows(), vorher);
    EXPECT_EQ(w->fg->cellChecked(vorher - 1, frm_SQL::SpAnzeigen), grid::Unchecked);
    EXPECT_EQ(w->fg->row(), 2);

    // Only a drag out of the field list is taken.
    QMimeData fremd;
    fremd.setText("Name");
    emit w->fg->oleDragDrop(&fremd, 1, 0, 0, 0);
    EXPECT_EQ(felderSpalte().size(), 5);
    QMimeData ausListe;
    ausListe.setData("application/x-qabstractitemmodeldatalist", QByteArray());
    emit w->fg->oleDragDrop(&ausListe, 1, 0, 0, 0);
    EXPECT_EQ(felderSpalte().size(), 6);

    // Clear empties the rows and keeps their count.
    w->cmdClear_Click();
    EXPECT_TRUE(felderSpalte().isEmpty());
    EXPECT_EQ(w->fg->rows(), vorher);
    EXPECT_EQ(w->fg->textMatrix(0, 0), "Feld");
}

TEST_F(AbfrageFenster, HandOverFromAndBackIntoTheListsWindow)
{
    mdl::BetaHinweisGezeigt = false;
    registerRecordsWindows();
    frm_Main m;
    m.show();
    // "Listen" released to teachers still admits only "X" and "xs".
    const rechte::Spalten spalten{{"mnu_Listen", "XS LK"}};
    for (const char *benutzer : {"SCH", "X ", "xs"}) {
        mdl::Benutzer = QString::fromUtf8(benutzer);
        m.menuesSetzen(rechte::berechnen(mdl::Benutzer, spalten, {}, {}));
        const bool zugelassen = mdl::Benutzer == "xs";
        if (zugelassen) // a refused window keeps its position too
            settings::saveSetting("Fenster", "ListenWidth", "7500");
        testsupport::MsgRecorder rec;
        m.mnu_Listen_erzeugen_Click();
        ereignisse();
        EXPECT_EQ(rec.texts(), zugelassen ? QStringList() : QStringList({"Nur für den Admin"})) << benutzer;
        EXPECT_EQ(m.fenster("frm_Listen") != nullptr, zugelassen) << benutzer;
    }
    auto *l = qobject_cast<frm_Listen *>(m.fenster("frm_Listen"));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->rahmen()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(l->rahmen()->width(), 500);
    l->rtfSQL->setPlainText("alter Text");
    {
        // While the notice is up the builder already stands where the lists window stands, at full size.
        QRect beimHinweis;
        bool minimiert = true, inhaltSichtbar = false;
        testsupport::MsgRecorder rec([&](const msg::Request &) {
            if (auto *b = qobject_cast<frm_SQL *>(m.fenster("frm_SQL"))) {
                beimHinweis = b->rahmen()->geometry();
                minimiert = b->rahmen()->isMinimized();
                inhaltSichtbar = b->isVisible() && b->rahmen()->isVisible();
            }
            return int(msg::OK);
        });
        l->cmdAbfrageeditor_Click();
        ereignisse();
        EXPECT_EQ(beimHinweis, l->rahmen()->geometry());
        EXPECT_FALSE(minimiert);
        EXPECT_TRUE(inhaltSichtbar);
        ASSERT_EQ(rec.boxes.size(), 1);
        EXPECT_TRUE(rec.boxes[0].text.startsWith("Achtung! Dieser Teil von 'Zandrel' befindet sich noch in der Beta-Phase.\r\r"));
    }
    EXPECT_TRUE(mdl::BetaHinweisGezeigt);
    auto *b = qobject_cast<frm_SQL *>(m.fenster("frm_SQL"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->rtfSQL->toPlainText(), "alter Text");
    EXPECT_EQ(b->rahmen()->geometry(), l->rahmen()->geometry());
    EXPECT_EQ(m.mdiArea()->activeSubWindow(), b->rahmen());

    b->lstTabellen->setCurrentRow(0);
    b->lstTabellen_Click();
    b->lstFelder->setCurrentItem(eintrag(b->lstFelder, "Name"));
    b->lstFelder_DblClick();
    {
        testsupport::MsgRecorder rec;
        b->cmdCopy_Click();
        EXPECT_EQ(rec.texts(), QStringList({"Es muss mindestens ein Sortierkriterium angegeben werden."}));
        EXPECT_EQ(l->rtfSQL->toPlainText(), "alter Text");
    }
    b->fg_Click(1, frm_SQL::SpSortierung);
    b->fg->setTextMatrix(1, frm_SQL::SpKriterium, "m*");
    testsupport::MsgRecorder rec;
    b->cmdCopy_Click();
    ereignisse();
    EXPECT_FALSE(b->rahmen()->isVisible());
    EXPECT_EQ(l->rtfSQL->toPlainText(), b->rtfSQL->toPlainText());
    l->cmd_SQL_ausfuehren_Click();
    EXPECT_EQ(l->lblAnzahl->text(), "4 Datensätze");
    EXPECT_EQ(l->fg->textMatrix(1, 0), "Maier");

    // Opened again: the same design rows, the lists window's text, no second notice.
    l->rtfSQL->setPlainText("neu");
    l->cmdAbfrageeditor_Click();
    ereignisse();
    EXPECT_EQ(m.fenster("frm_SQL"), b);
    EXPECT_TRUE(b->rahmen()->isVisible());
    EXPECT_EQ(b->rtfSQL->toPlainText(), "neu");
    EXPECT_EQ(b->fg->textMatrix(1, frm_SQL::SpFeld), "Name");
    b->cmdClear_Click();
    EXPECT_TRUE(rec.texts().isEmpty());
    ASSERT_TRUE(m.entladen("frm_Listen"));
    EXPECT_EQ(settings::getSetting("Fenster", "ListenWidth"), "7500");
}
