// On the demo school: exactly the planted differences are coloured, listed and counted; after the
// write-back only what the write-back cannot mend stays coloured.
#include "core/mdl_zandrel.h"
#include "platform/grid/gridstore.h"
#include "support/testsupport.h"
#include "tools/demo/demoschool.h"
#include "winsv/datenvergleich.h"
#include "winsv/rueckschreiben.h"

#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

using namespace winsv;

namespace {

const QStringList kopf{"", "WinSVSnr", "Klasse", "Name", "Vorname", "G.", "AR", "Geb.Dat.", "Straße", "PLZ",
                       "Ort", "Telefon", "gilt1", "gilt2", "LRS", "Leg."};

struct DemoGrids {
    GridStore fg, nurWinSV, nurNM, falscheKlasse;
    Datenvergleich v{{&fg, &nurWinSV, &nurNM, &falscheKlasse}};
};

// WinSV id -> coloured columns (colour in the value) of the visible pairs.
QMap<QString, QMap<int, long>> farben(const GridStore &fg)
{
    QMap<QString, QMap<int, long>> out;
    for (int r = 1; r + 1 < fg.rows(); r += 2) {
        QMap<int, long> f;
        for (int c = 1; c < SpaltenFg; ++c)
            if (fg.cellBackColor(r + 1, c))
                f.insert(c, fg.cellBackColor(r + 1, c));
        if (fg.rowHeight(r) != 0)
            out.insert(fg.textMatrix(r, 1), f);
        else
            EXPECT_TRUE(f.isEmpty());
    }
    return out;
}

QSet<QString> spalte(const GridStore &g, int c)
{
    QSet<QString> out;
    for (int r = 1; r < g.rows(); ++r)
        out << g.textMatrix(r, c);
    return out;
}

} // namespace

TEST(DemoSchule, GeplanteUnterschiedeUndRueckschreiben)
{
    testsupport::Sandbox box;
    demo::Options o;
    o.out = box.file("demo");
    o.pupils = 300;
    o.teachers = 20;
    o.classes = 10;
    o.today = QDate(2024, 11, 12);
    const demo::Result res = demo::generate(o);
    mdl::DatenPfad = QFileInfo(res.nmFile).absolutePath() + '/';
    mdl::NMDatei = QFileInfo(res.nmFile).fileName();
    mdl::NMDateiParameter.clear();

    QMap<QString, QMap<int, long>> erwartet;
    QSet<QString> nurWinSV, nurNM, falscheKlasse;
    for (const demo::PlantedDifference &d : res.differences) {
        if (d.kind == "Feld") {
            const int c = int(kopf.indexOf(d.column));
            ASSERT_GT(c, 0) << d.column.toStdString();
            erwartet[d.winsvId].insert(c, c == SpalteAR ? Hellrot : Gelb);
        } else if (d.kind == "falscheKlasse") {
            erwartet[d.winsvId].insert(SpalteKlasse, Hellrot);
            falscheKlasse << d.winsvId;
        } else if (d.kind == "Id") {
            erwartet[d.winsvId].insert(SpalteId, Hellrot);
        } else if (d.kind == "nurWinSV") {
            nurWinSV << d.winsvValue;
        } else if (d.kind == "nurNM") {
            nurNM << d.nmValue;
        }
    }
    ASSERT_GE(erwartet.size(), 10);

    DemoGrids g;
    testsupport::MsgRecorder rec;
    const auto sitzung = [](const std::function<void(zdb::Db &)> &arbeit) {
        const mdl::NMSitzung s;
        arbeit(mdl::dbNM());
        return s.offen();
    };
    ASSERT_EQ(g.v.ausfuehren(res.winsvFile, sitzung).ausgang, Datenvergleich::Ausgang::Fertig);
    EXPECT_EQ(farben(g.fg), erwartet);
    EXPECT_EQ(g.v.unterschiede(), erwartet.size());
    EXPECT_EQ(spalte(g.nurWinSV, 2), nurWinSV);
    EXPECT_EQ(spalte(g.nurNM, 2), nurNM);
    EXPECT_EQ(spalte(g.falscheKlasse, 0), falscheKlasse);

    // Write back; what stays: the light red cells and the pupils the write-back had to skip.
    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    RueckschreibErgebnis e = Rueckschreiben(mdl::dbNM()).ausfuehren(g.v.paare());
    QMap<QString, QMap<int, long>> bleibt;
    for (auto it = erwartet.cbegin(); it != erwartet.cend(); ++it) {
        double id = 0;
        idAlsZahl(it.key(), &id);
        const int zeilen = mdl::dbNM().scalar("SELECT COUNT(*) FROM Schüler s JOIN Adressen a ON a.SchülerNr = "
                                              "s.SchülerNr WHERE s.WinSVSnr = ?", {qint64(id)}).toInt();
        QMap<int, long> rest;
        for (auto c = it.value().cbegin(); c != it.value().cend(); ++c)
            if (c.value() == Hellrot || zeilen != 1)
                rest.insert(c.key(), c.value());
        if (!rest.isEmpty())
            bleibt.insert(it.key(), rest);
    }
    mdl::NMDatenbankSchliessen();
    EXPECT_EQ(e.abgelehnt() + e.ungueltigeId, 0);
    EXPECT_EQ(e.geschrieben + e.mehrdeutig + e.ohneTreffer, erwartet.size());
    ASSERT_EQ(g.v.ausfuehren(res.winsvFile, sitzung).ausgang, Datenvergleich::Ausgang::Fertig);
    EXPECT_EQ(farben(g.fg), bleibt);
    EXPECT_TRUE(rec.boxes.isEmpty());
}
