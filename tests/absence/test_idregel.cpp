// One id rule in every absence view: a teacher whose abbreviation holds a letter with a special case
// mapping, her absences stored under several forms of it, shows the same records in the class click,
// the cell click, her absence list and the class report, whatever ids the rest of the class has.
#include "absencefixture.h"
#include "absence/worddokumente.h"
#include "core/mdl_zandrel.h"
#include "platform/docx.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"

#include <QLineEdit>
#include <set>

namespace {

using absence::BerichtsPerson;

class IdRegel : public absencetest::FensterTest {
protected:
    // Weekdays of September 2024, one per stored form.
    static QVector<QDate> tage(int n)
    {
        QVector<QDate> t;
        for (QDate d(2024, 9, 2); t.size() < n; d = d.addDays(1))
            if (d.dayOfWeek() <= 5)
                t << d;
        return t;
    }
    static QString datum(const QDate &d) { return d.toString("dd.MM.yy"); }

    // The days each view shows for the teacher with the id.
    struct Ansichten {
        std::set<QString> klasse, zelle, liste, bericht;
    };
    Ansichten ansehen(const QString &id, const QVector<QDate> &alle)
    {
        Ansichten a;
        oeffnen("X", "LK");
        const int r = zeile(id);
        EXPECT_GE(r, 0) << id.toStdString();
        if (r < 0)
            return a;
        for (const QDate &d : alle) {
            if (!f->fgSchueler->textMatrix(r, spalte(d)).isEmpty())
                a.klasse.insert(datum(d));
            f->fgSchueler_MouseDown(1, r, spalte(d));
            f->fgSchueler_MouseUp(1, r, spalte(d));
            if (!f->txtStd[0]->text().isEmpty())
                a.zelle.insert(datum(d));
        }
        for (int i = 1; i < f->fgSchuelerAbsenzen->rows(); ++i)
            a.liste.insert(f->fgSchuelerAbsenzen->textMatrix(i, 0));

        EXPECT_TRUE(mdl::NMDatenbankOeffnen());
        const QVector<BerichtsPerson> personen = absence::berichtsPersonen(mdl::dbNM(), "LK");
        mdl::NMDatenbankSchliessen();
        const QString xml = absence::klassenberichtDokument(mdl::dbEigen, {"LK", QString()}, personen,
                                                            QDate(2024, 8, 1), QDate(2025, 7, 31), false, heute)
                                .documentXml();
        for (const QDate &d : alle)
            if (xml.contains(d.toString("dd.MM.yyyy") + " ("))
                a.bericht.insert(datum(d));
        f.reset();
        return a;
    }
};

} // namespace

TEST_F(IdRegel, EveryViewShowsTheSameRecordsForEverySpecialLetter)
{
    // The teacher's id and an id that is not hers although it looks alike.
    const struct {
        const char *id, *fremd;
    } faelle[] = {{"Yıl", "Yzl"}, {"İk", "Ik"},  {"ſa", "za"},  {"\u212Ao", "zo"}, {"\u212Bs", "As"}, {"Maß", "Mas"},
                  {"Gẞ", "Gs"},   {"ﬀa", "fa"},  {"ﬁb", "fb"},  {"ﬂc", "fc"},      {"ﬅd", "sd"},      {"ﬆe", "se"},
                  {"Bς", "B"},    {"ǅa", "Da"},  {"ǈb", "Lb"},  {"ǋc", "Nc"},      {"ǲd", "Dd"},      {"Mül", "Mul"}};
    for (const bool umlaut : {false, true}) {
        for (const auto &fall : faelle) {
            const QString id = QString::fromUtf8(fall.id);
            const QString was = id + (umlaut ? " beside MÜ" : " beside ASCII ids only");
            s.nm.exec("DELETE FROM Lehrkräfte WHERE Kürzel NOT IN ('HU', 'X')");
            if (umlaut)
                s.lehrer("MÜ", "Müller", "Hans");
            s.lehrer(id, "Sonder", "Sina");
            mdl::dbEigen.exec("DELETE FROM tbl_Fehltage");

            QStringList formen{id, id.toUpper(), id.toLower(), " " + id + "  ", id.toCaseFolded(),
                               id.toUpper().normalized(QString::NormalizationForm_D)};
            formen.removeDuplicates();
            const QVector<QDate> alle = tage(int(formen.size()) + 2);
            std::set<QString> erwartet;
            for (int i = 0; i < formen.size(); ++i) {
                s.fehltag(formen[i], alle[i], "kr");
                erwartet.insert(datum(alle[i]));
            }
            s.fehltag(QString::fromUtf8(fall.fremd), alle[formen.size()], "kr");
            s.fehltag("HU", alle[formen.size() + 1], "kr");

            const Ansichten a = ansehen(id, alle);
            EXPECT_EQ(a.klasse, erwartet) << qPrintable(was);
            EXPECT_EQ(a.zelle, erwartet) << qPrintable(was);
            EXPECT_EQ(a.liste, erwartet) << qPrintable(was);
            std::set<QString> mitHU = erwartet; // the class report lists HU's day too
            mitHU.insert(datum(alle[formen.size() + 1]));
            EXPECT_EQ(a.bericht, mitHU) << qPrintable(was);
        }
    }
}

// "Z" is a capital letter like every other: a teacher "Zim" keeps the days stored as "zim" or "ZIM".
TEST_F(IdRegel, ACapitalZKeepsTheDaysStoredInEitherCase)
{
    s.lehrer("Zim", "Zimmer", "Zora");
    const QVector<QDate> alle = tage(3);
    const QStringList formen{"zim", "ZIM", " Zim"};
    std::set<QString> erwartet;
    for (int i = 0; i < formen.size(); ++i) {
        s.fehltag(formen[i], alle[i], "kr");
        erwartet.insert(datum(alle[i]));
    }
    const Ansichten a = ansehen("Zim", alle);
    EXPECT_EQ(a.klasse, erwartet);
    EXPECT_EQ(a.zelle, erwartet);
    EXPECT_EQ(a.liste, erwartet);
    EXPECT_EQ(a.bericht, erwartet);
}
