// Two persons whose ids the id rule makes equal ("Yıl" and "Yil", "Maß" and "MASS", "Öz" and "öz",
// "Mül" composed and decomposed) never share a record: each view shows each her own record of the
// same day, a save or a delete never touches the other's, a spelling of neither belongs to nobody,
// and the window names them once when it opens.
#include "absencefixture.h"
#include "absence/excellisten.h"
#include "absence/worddokumente.h"
#include "core/mdl_zandrel.h"
#include "platform/docx.h"
#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"

#include <QLabel>
#include <QLineEdit>

using namespace absence;

namespace {

struct Paar {
    const char *a, *nameA, *b, *nameB, *keiner; // keiner: a spelling that is neither person's id
};
const Paar paare[] = {{"Yıl", "Yıldırım", "Yil", "Yilmaz", "YIL"},
                      {"Maß", "Maßmann", "MASS", "Massow", "maß"},
                      {"Öz", "Özer", "öz", "Özkan", "ÖZ"},
                      {"Mül", "Müller", "Mu\u0308l", "Mühl", "MÜL"}};

QStringList sortiert(QStringList l)
{
    l.sort();
    return l;
}

class GleicheIds : public absencetest::FensterTest {
protected:
    // The pair, their records and the window opened on the teachers' class; its messages recorded.
    void oeffnenMit(const Paar &p)
    {
        lehrerAnlegen(p);
        boxen.reset(); // one recorder at a time
        boxen = std::make_unique<testsupport::MsgRecorder>();
        oeffnen("X", "LK");
    }
    void lehrerAnlegen(const Paar &p)
    {
        s.nm.exec("DELETE FROM Lehrkräfte WHERE Kürzel NOT IN ('HU', 'X')");
        s.lehrer(QString::fromUtf8(p.a), QString::fromUtf8(p.nameA), "Ada");
        s.lehrer(QString::fromUtf8(p.b), QString::fromUtf8(p.nameB), "Ben");
        mdl::dbEigen.exec("DELETE FROM tbl_Fehltage");
        s.fehltag(QString::fromUtf8(p.a), montag, "kr");
        s.fehltag(QString::fromUtf8(p.b), montag, "bf");
        s.fehltag(QString::fromUtf8(p.keiner), heute, "ab");
    }
    QString code(const QString &id, const QDate &d) { return f->fgSchueler->textMatrix(zeile(id), spalte(d)); }
    // The reason the cell click shows in the panel, and the codes of the person's absence list.
    QStringList klick(const QString &id)
    {
        f->fgSchueler_MouseDown(1, zeile(id), spalte(montag));
        f->fgSchueler_MouseUp(1, zeile(id), spalte(montag));
        QStringList l{f->txtStd[0]->text()};
        for (int r = 1; r < f->fgSchuelerAbsenzen->rows(); ++r)
            l << f->fgSchuelerAbsenzen->textMatrix(r, 1);
        return l;
    }
    std::unique_ptr<testsupport::MsgRecorder> boxen;
    QString grundVon(const QString &exakt)
    {
        return mdl::dbEigen.scalar("SELECT group_concat(Grund) FROM tbl_Fehltage WHERE S_Id = ? COLLATE BINARY",
                                   {exakt})
            .toString();
    }
};

} // namespace

TEST_F(GleicheIds, EveryViewShowsEachPersonHerOwnRecordOfTheSameDay)
{
    for (const Paar &p : paare) {
        const QString a = QString::fromUtf8(p.a), b = QString::fromUtf8(p.b), was = a + " / " + b;
        oeffnenMit(p);
        ASSERT_EQ(boxen->boxes.size(), 1) << qPrintable(was);
        for (const QString &person : {"\"" + a + "\" (" + QString::fromUtf8(p.nameA) + ", Ada, LK)",
                                      "\"" + b + "\" (" + QString::fromUtf8(p.nameB) + ", Ben, LK)"})
            EXPECT_TRUE(boxen->texts().first().contains(person)) << qPrintable(boxen->texts().first());

        ASSERT_NE(zeile(a), zeile(b)) << qPrintable(was);
        EXPECT_EQ(code(a, montag), "kr") << qPrintable(was);
        EXPECT_EQ(code(b, montag), "bf") << qPrintable(was);
        EXPECT_EQ(code(a, heute) + code(b, heute), "") << qPrintable(was); // the spelling of neither
        EXPECT_EQ(klick(a), QStringList({"kr", "kr"})) << qPrintable(was);
        EXPECT_EQ(klick(b), QStringList({"bf", "bf"})) << qPrintable(was);

        f->KrankeEintragen(montag);
        QStringList tag;
        for (int r = 1; r < f->fgKranke->rows(); ++r)
            tag << f->fgKranke->textMatrix(r, 2) + "=" + f->fgKranke->textMatrix(r, 3);
        tag.sort();
        EXPECT_EQ(tag, sortiert({QString::fromUtf8(p.nameA) + ", Ada=kr", QString::fromUtf8(p.nameB) + ", Ben=bf"}))
            << qPrintable(was);

        ASSERT_TRUE(mdl::NMDatenbankOeffnen());
        Personentabelle personen;
        personen.laden(mdl::dbNM());
        const QVector<BerichtsPerson> lk = berichtsPersonen(mdl::dbNM(), "LK", &personen.zuordnung());
        mdl::NMDatenbankSchliessen();
        const QString xml = klassenberichtDokument(mdl::dbEigen, {"LK", QString()}, lk, QDate(2024, 8, 1),
                                                   QDate(2025, 7, 31), false, heute)
                                .documentXml();
        EXPECT_EQ(xml.count("07.10.2024 (kr)"), 1) << qPrintable(was);
        EXPECT_EQ(xml.count("07.10.2024 (bf)"), 1) << qPrintable(was);
        EXPECT_FALSE(xml.contains("(ab)")) << qPrintable(was);

        mdl::dbEigen.exec("DELETE FROM tbl_Personen");
        for (const auto &[id, name] : {std::pair{a, p.nameA}, std::pair{b, p.nameB}})
            mdl::dbEigen.exec("INSERT INTO tbl_Personen (Id, Name, Vorname, Klasse) VALUES (?, ?, 'V', 'LK')",
                              {id, QString::fromUtf8(name)});
        xlsx::Workbook viele;
        ASSERT_TRUE(excellisten::vieleFehltageFuellen(mdl::dbEigen, montag, heute, 1, "", "", viele));
        QStringList summen;
        for (int r = 4; r <= viele.sheet(1).lastRow(); ++r)
            summen << viele.sheet(1).text(r, 1) + "=" + viele.sheet(1).text(r, 3);
        summen.sort();
        EXPECT_EQ(summen, sortiert({QString::fromUtf8(p.nameA) + ", V=1", QString::fromUtf8(p.nameB) + ", V=1"}))
            << qPrintable(was);
        f.reset();
    }
}

TEST_F(GleicheIds, ASaveOrADeleteNeverTouchesTheOtherPersonsRecord)
{
    for (const Paar &p : paare) {
        const QString a = QString::fromUtf8(p.a), b = QString::fromUtf8(p.b), was = a + " / " + b;
        oeffnenMit(p);
        f->GanztagAbsenzSpeichern(a, montag, "ab");
        EXPECT_EQ(grundVon(a), "ab") << qPrintable(was);
        EXPECT_EQ(grundVon(b), "bf") << qPrintable(was);
        f->GanztagAbsenzSpeichern(b, heute, "kr"); // a new record of her own beside the spelling of neither
        EXPECT_EQ(grundVon(b), "bf,kr") << qPrintable(was);
        EXPECT_EQ(grundVon(QString::fromUtf8(p.keiner)), "ab") << qPrintable(was);

        f->GanztagAbsenzSpeichern(a, montag, QString()); // "(löschen)"
        EXPECT_EQ(grundVon(a), "") << qPrintable(was);
        EXPECT_EQ(grundVon(b), "bf,kr") << qPrintable(was);
        klick(b);
        f->txtStd[0]->setText(QString());
        f->AbsenzSpeichern(b, montag); // the panel's delete
        EXPECT_EQ(grundVon(b), "kr") << qPrintable(was);
        EXPECT_EQ(s.fehltage(), 2) << qPrintable(was);
        f.reset();
    }
}

// Without a second person of the same form every spelling of an id stays hers, and no message comes.
TEST_F(GleicheIds, AnIdOfItsOwnKeepsEverySpellingAndTheWindowSaysNothing)
{
    s.lehrer("Yıl", "Yıldırım", "Ada");
    s.fehltag("YIL", montag, "kr");
    s.fehltag("yil ", heute, "bf");
    testsupport::MsgRecorder boxen;
    oeffnen("X", "LK");
    EXPECT_TRUE(boxen.boxes.isEmpty());
    EXPECT_EQ(code("Yıl", montag) + code("Yıl", heute), "krbf");
}

// Ids that differ only in blanks at their ends are one id: the persons holding it share its
// records, each row of the class shows them, and the window names the persons once.
TEST_F(GleicheIds, PersonsWhoseIdsDifferOnlyInBlanksShowTheSharedRecordsInEachRow)
{
    s.lehrer("Ab", "Abel", "Eins");
    s.lehrer(" Ab ", "Abt", "Zwei");
    s.fehltag("AB", montag, "kr");
    testsupport::MsgRecorder boxen;
    oeffnen("X", "LK");
    ASSERT_EQ(boxen.boxes.size(), 1);
    EXPECT_TRUE(boxen.texts().first().contains("\"Ab\" (Abel, Eins, LK) und \" Ab \" (Abt, Zwei, LK)"))
        << qPrintable(boxen.texts().first());
    QVector<int> zeilen;
    for (int r = Fehltagekalender::KopfZeilen; r < f->fgSchueler->rows(); ++r)
        if (f->fgSchueler->textMatrix(r, 2).trimmed() == "Ab")
            zeilen << r;
    ASSERT_EQ(zeilen.size(), 2);
    for (int r : zeilen) {
        EXPECT_EQ(f->fgSchueler->textMatrix(r, spalte(montag)), "kr") << r;
        f->fgSchueler_MouseDown(1, r, spalte(montag));
        f->fgSchueler_MouseUp(1, r, spalte(montag));
        EXPECT_EQ(f->txtStd[0]->text(), "kr") << r;
        EXPECT_EQ(f->lblSName->text(), f->fgSchueler->textMatrix(r, 1)) << r; // the person clicked
    }
    f->GanztagAbsenzSpeichern(" Ab ", montag, "bf");
    f->AbsenzenInKalenderEintragen();
    for (int r : zeilen)
        EXPECT_EQ(f->fgSchueler->textMatrix(r, spalte(montag)), "bf") << r;
    EXPECT_EQ(s.fehltage(), 1);
}

// Three persons of one form: each keeps her own record of the day through the calendar and its
// writers, and the spelling of none of them stays nobody's.
TEST_F(GleicheIds, ThreePersonsOfOneFormEachKeepTheirOwnRecord)
{
    const QString ids[] = {"Maß", "MASS", "Maſs"};
    const char *codes[] = {"kr", "bf", "ab"};
    s.lehrer(ids[0], "Maßmann", "Ada");
    s.lehrer(ids[1], "Massow", "Ben");
    s.lehrer(ids[2], "Maser", "Cem");
    for (int i = 0; i < 3; ++i)
        s.fehltag(ids[i], montag, codes[i]);
    s.fehltag(" mass ", montag, "un");
    testsupport::MsgRecorder boxen;
    oeffnen("X", "LK");
    ASSERT_EQ(boxen.boxes.size(), 1);
    for (const QString &person : {"\"Maß\" (Maßmann, Ada, LK)", "\"MASS\" (Massow, Ben, LK)", "\"Maſs\" (Maser, Cem, LK)"})
        EXPECT_TRUE(boxen.texts().first().contains(person)) << qPrintable(boxen.texts().first());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(code(ids[i], montag), codes[i]) << i;
        EXPECT_EQ(klick(ids[i]), QStringList({codes[i], codes[i]})) << i;
    }
    f->GanztagAbsenzSpeichern(ids[1], montag, "vs");
    f->GanztagAbsenzSpeichern(ids[2], montag, QString()); // "(löschen)"
    EXPECT_EQ(grundVon(ids[0]) + grundVon(ids[1]) + grundVon(ids[2]) + grundVon(" mass "), "krvsun");
}
