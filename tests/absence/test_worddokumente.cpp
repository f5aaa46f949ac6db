// The absence window's Word documents, made without the window: the exemption letter from a
// template, the day list and the class report, checked in their document.xml.
#include "absence/frm_fehltage_word.h"
#include "absence/worddokumente.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/docxvorlage.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "tools/demo/demoschool.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace absence;

namespace {

// The paragraphs of a written document.
QStringList absaetze(const QString &pfad)
{
    return docx::absatzTexte(testsupport::zipEntry(pfad, "word/document.xml").toUtf8());
}

QStringList texte(const docx::Dokument &d) { return docx::absatzTexte(d.documentXml()); }

// The program folder points into the sandbox while it lives.
struct Programmordner {
    explicit Programmordner(const QString &pfad) { qputenv("ZANDREL_HOME", pfad.toUtf8()); }
    ~Programmordner() { qunsetenv("ZANDREL_HOME"); }
};

const QString V = QString(QChar(11)); // manual line break
const QString T = "\t";

} // namespace

// ---- exemption letter --------------------------------------------------------------------------

TEST(WordBefreiung, FillsTheDemoTemplateAndReplacesTheLastLetter)
{
    testsupport::Sandbox box;
    demo::Options o;
    o.out = box.file("demo");
    o.pupils = 30;
    o.teachers = 5;
    o.classes = 2;
    const demo::Result res = demo::generate(o);
    const Programmordner home(res.programFolder);
    ASSERT_TRUE(QFile::exists(befreiungVorlagePfad()));

    VSGrid fgKlassen;
    fgKlassen.setCols(2);
    fgKlassen.setRows(4);
    const char *klassen[][2] = {{"5A ", "Alt, Anna"}, {"6b", "Berg, Bea"}, {"5a", "Neu, Nina"}};
    for (int r = 1; r <= 3; ++r) {
        fgKlassen.setTextMatrix(r, 0, klassen[r - 1][0]);
        fgKlassen.setTextMatrix(r, 1, klassen[r - 1][1]);
    }
    EXPECT_EQ(klassenleiterDerKlasse(fgKlassen, " 5a"), "Neu, Nina"); // the last row
    EXPECT_EQ(klassenleiterDerKlasse(fgKlassen, "7c"), QString());

    QLabel lblInfo;
    testsupport::MsgRecorder boxen;
    Befreiung b{"Bauer, Eva ", "5a", klassenleiterDerKlasse(fgKlassen, "5a"), "05.12.2016"};
    const QString pfad = UnterrichtsbefreiungErstellen(b, &lblInfo);
    ASSERT_EQ(pfad, befreiungPfad());
    EXPECT_EQ(boxen.texts(), QStringList{"Das Word-Dokument wurde erstellt."});
    EXPECT_FALSE(lblInfo.isVisible());

    const QString text = absaetze(pfad).join('\n');
    EXPECT_TRUE(text.contains("Name:\tBauer, Eva\n"));
    EXPECT_TRUE(text.contains("Klassenleitung:\tNeu, Nina"));
    EXPECT_TRUE(text.contains("wird am Montag, 05. Dezember 2016 ab ________ Uhr"));
    EXPECT_TRUE(text.contains("Grund: ___"));
    EXPECT_FALSE(text.contains(QLatin1Char('[')));

    // No day and no class: the placeholders go empty; the next letter replaces the file.
    b = Befreiung{"Kurz, Kai", QString(), QString(), QString()};
    ASSERT_EQ(UnterrichtsbefreiungErstellen(b, &lblInfo), pfad);
    const QString zweiter = absaetze(pfad).join('\n');
    EXPECT_TRUE(zweiter.contains("Name:\tKurz, Kai\nKlasse:\t\n"));
    EXPECT_TRUE(zweiter.contains("wird am  ab"));
    // The template keeps its placeholders.
    docx::Vorlage vorlage;
    ASSERT_TRUE(vorlage.laden(befreiungVorlagePfad()));
    EXPECT_TRUE(vorlage.absaetze().join(QString()).contains("[Name]"));
}

TEST(WordBefreiung, UnreadableTemplateIsReportedAndNothingWritten)
{
    testsupport::Sandbox box;
    const Programmordner home(box.path());
    QFile f(befreiungVorlagePfad());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("altes Word-Format");
    f.close();
    QFile::remove(befreiungPfad());
    testsupport::MsgRecorder boxen;
    EXPECT_EQ(UnterrichtsbefreiungErstellen({"A, B", {}, {}, {}}, nullptr), QString());
    ASSERT_EQ(boxen.boxes.size(), 1);
    EXPECT_TRUE(boxen.boxes[0].text.startsWith("Die Vorlage für die Unterrichtsbefreiung kann nicht"));
    EXPECT_FALSE(QFile::exists(befreiungPfad()));
}

// ---- day list ----------------------------------------------------------------------------------

namespace {

TageslistenZeile zeile(const QString &klasse, const QString &name, const QString &grund)
{
    TageslistenZeile z;
    z.klasse = klasse;
    z.name = name;
    z.grund = grund;
    return z;
}

QVector<TageslistenZeile> tagesliste()
{
    return {zeile("5a", "Alt, Anna ", "kr"),
            zeile("5a", "Berg, Ben", "bf "),
            zeile("6b", "Kern, Kim", "zz"), zeile("LK", "Lehrer, Lars", "kr")};
}

QString klartext(const QString &code)
{
    return code == QLatin1String("kr") ? "krank" : code == QLatin1String("bf") ? "befreit" : code;
}

} // namespace

TEST(WordTagesliste, TableOfPrintedPersonsWithReasonsAndClassLines)
{
    TageslistenOptionen o;
    o.grund = true;
    o.klartext = true;
    const docx::Dokument d = tageslisteDokument(" 05.12.2016 ", tagesliste(), o, klartext);
    EXPECT_EQ(docx::absatzTexte(d.kopfzeileXml()),
              (QStringList{"Absenzen am 05.12.2016", QString()}));
    EXPECT_EQ(texte(d), (QStringList{"Klasse", "Schüler", "Grund", "5a", "Alt, Anna", "krank", "5a", "Berg, Ben",
                                     "befreit", "6b", "Kern, Kim", "zz", ""}));
    const QByteArray xml = d.documentXml();
    // Thick line under the titles and above each new class, thin between pupils of one class.
    EXPECT_EQ(xml.count("<w:bottom w:val=\"single\" w:sz=\"12\""), 3);
    EXPECT_EQ(xml.count("<w:top w:val=\"single\" w:sz=\"12\""), 2 * 3); // rows "Alt" and "Kern"
    EXPECT_EQ(xml.count("<w:top w:val=\"single\" w:sz=\"2\""), 3);      // the title row
    EXPECT_EQ(xml.count("<w:bottom w:val=\"single\" w:sz=\"2\""), 3 * 3);
}

TEST(WordTagesliste, TeachersOnlyWhenTickedAndNoReasonColumnWithoutGrund)
{
    TageslistenOptionen o;
    o.lk = true;
    const docx::Dokument d = tageslisteDokument("05.12.2016", tagesliste(), o, nullptr);
    EXPECT_EQ(texte(d), (QStringList{"Klasse", "Schüler", "5a", "Alt, Anna", "5a", "Berg, Ben", "6b", "Kern, Kim", "LK",
                                     "Lehrer, Lars", ""}));
    EXPECT_TRUE(d.documentXml().contains("<w:gridCol w:w=\"850\"/><w:gridCol w:w=\"3685\"/></w:tblGrid>"));

    // An empty day: the title row alone.
    const docx::Dokument leer = tageslisteDokument("05.12.2016", {}, {}, nullptr);
    EXPECT_EQ(texte(leer), (QStringList{"Klasse", "Schüler", ""}));
}

TEST(WordTagesliste, ProgressCountsListRowsAndTheButtonComesBack)
{
    testsupport::Sandbox box;
    QVector<TageslistenZeile> zeilen;
    for (int i = 0; i < 24; ++i)
        zeilen.push_back(zeile(i < 20 ? "5a" : "LK", QString("P%1").arg(i), "kr"));
    QVector<int> schritte;
    tageslisteDokument("05.12.2016", zeilen, {}, nullptr, [&](int r) { schritte << r; });
    EXPECT_EQ(schritte, (QVector<int>{10, 20}));

    QLabel lblInfo;
    QPushButton knopf;
    testsupport::MsgRecorder boxen;
    EXPECT_EQ(TageslisteWordErstellen("  ", zeilen, {}, nullptr, &lblInfo, &knopf), QString());
    EXPECT_EQ(boxen.texts(),
              QStringList{"Es ist kein Tag markiert.\rBitte erst eine Klasse und dann einen Tag auswählen!"});

    const QString pfad = TageslisteWordErstellen("05.12.2016", zeilen, {}, nullptr, &lblInfo, &knopf);
    EXPECT_EQ(pfad, folders::join(folders::tempFolder(), "Absenzen am 05.12.2016.docx"));
    EXPECT_EQ(lblInfo.text(), "... 24/24");
    EXPECT_TRUE(knopf.isEnabled());
    EXPECT_EQ(boxen.texts().last(), "Das Word-Dokument wurde erstellt.");
    EXPECT_EQ(absaetze(pfad).size(), 2 + 2 * 20 + 1);
}

// ---- class report ------------------------------------------------------------------------------

namespace {

Absenz::Zeile tag(int monat, int t, const QString &grund, int stunde = 0, const QString &bemerkung = QString())
{
    Absenz::Zeile z;
    z.fehltag = QDate(2016, monat, t);
    z.grund = grund;
    if (stunde > 0)
        z.std[size_t(stunde - 1)] = "kr";
    z.bemerkung = bemerkung;
    return z;
}

const QDate Start(2016, 9, 1), Ende(2016, 12, 31);

} // namespace

TEST(WordKlassenbericht, DayEntriesFourToALineDetailedOnTheirOwn)
{
    int n = -1;
    QVector<Absenz::Zeile> sechs;
    for (int i = 1; i <= 6; ++i)
        sechs << tag(10, i, "kr");
    EXPECT_EQ(fehltageText(sechs, Start, Ende, &n),
              "01.10.2016 (kr)" + T + "02.10.2016 (kr)" + T + "03.10.2016 (kr)" + T + "04.10.2016 (kr)" + V +
                  "05.10.2016 (kr)" + T + "06.10.2016 (kr)" + T);
    EXPECT_EQ(n, 6);
    sechs.resize(4);
    EXPECT_EQ(fehltageText(sechs, Start, Ende, &n),
              "01.10.2016 (kr)" + T + "02.10.2016 (kr)" + T + "03.10.2016 (kr)" + T + "04.10.2016 (kr)");

    const QVector<Absenz::Zeile> gemischt = {tag(10, 3, " kr"), tag(10, 4, "kr", 1, " Arzt "), tag(10, 5, "un"),
                                             tag(8, 30, "kr"), tag(1, 9, "kr")};
    EXPECT_EQ(fehltageText(gemischt, Start, Ende, &n),
              "03.10.2016 (kr)" + T + V + "04.10.2016 (kr 1.h:kr Bem:Arzt)" + V + "05.10.2016 (un)" + T);
    EXPECT_EQ(n, 3); // outside the period: neither listed nor counted

    // Only lesson 3: a blank before ")". The panel's hint on "kr" days is no remark.
    EXPECT_EQ(fehltageText({tag(10, 6, "kr", 3)}, Start, Ende, &n), "06.10.2016 (kr 3.h:kr )");
    EXPECT_EQ(fehltageText({tag(10, 7, "KR", 0, "bei 'KR' darf keine Bemerkung gespeichert werden.")}, Start, Ende, &n),
              "07.10.2016 (KR)" + T);
}

TEST(WordKlassenbericht, ClassHeadingPersonsAndCountsFromTheDatabases)
{
    absencetest::Schule s;
    s.schueler(1, "Zorn", "Zoe", "5a");
    s.schueler(2, "Adler", "Ali", "5a");
    s.schueler(3, "Öz", "Ömer", "5A");
    s.schueler(4, "Fremd", "Fritz", "6b");
    s.fehltag("2", QDate(2016, 10, 4), "kr");
    s.fehltag("1", QDate(2016, 10, 4), "kr");
    s.fehltag("1", QDate(2016, 10, 5), "un");
    s.fehltag("4", QDate(2016, 10, 5), "un");

    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    const QVector<BerichtsPerson> personen = berichtsPersonen(mdl::dbNM(), "5a");
    mdl::NMDatenbankSchliessen();
    ASSERT_EQ(personen.size(), 3);
    EXPECT_EQ(personen[0].name, "Adler");
    EXPECT_EQ(personen[2].id, "1");

    const QDate heute(2016, 12, 5);
    const docx::Dokument d = klassenberichtDokument(mdl::dbEigen, {"5a", "Lang, Lea"},
                                                    personen, Start, Ende, false, heute);
    EXPECT_EQ(texte(d), (QStringList{"Fehltage der Klasse 5a im Zeitraum 01.09.2016 - 31.12.2016", " (Lang, Lea)",
                                     "Stand: 05.12.2016", "", "Adler, Ali (1 Fehltag)" + V + "04.10.2016 (kr)" + T, "",
                                     "Öz, Ömer (0 Fehltage)" + V,
                                     "Zorn, Zoe (2 Fehltage)" + V + "04.10.2016 (kr)" + T + "05.10.2016 (un)" + T, "",
                                     ""}));
    EXPECT_EQ(d.documentXml().count("<w:ind w:left=\"1134\" w:hanging=\"1134\"/>"), 6); // entries hang under the name

    // One page per person: the person heading instead of the class heading, a page break after everyone.
    const docx::Dokument s2 = klassenberichtDokument(mdl::dbEigen, {"5a", QString()}, personen, Start,
                                                     Ende, true, heute);
    const QStringList t2 = texte(s2);
    EXPECT_EQ(t2.first(), "Fehltage im Zeitraum 01.09.2016 - 31.12.2016");
    EXPECT_EQ(t2.filter("Fehltage im Zeitraum").size(), 3);
    EXPECT_EQ(s2.documentXml().count("<w:br w:type=\"page\"/>"), 3);
}

TEST(WordKlassenbericht, OneDocumentPerChosenClassAndTheTeachersRow)
{
    absencetest::Schule s;
    s.schueler(1, "Adler", "Ali", "5a");
    s.lehrer("X", "Admin", "A");
    s.lehrer("Mü", "Müller", "Max");
    s.fehltag("mü", QDate(2016, 11, 2), "kr");

    VSGrid fgKlassen;
    fgKlassen.setCols(2);
    fgKlassen.setRows(4);
    const QStringList namen = {QString(), "5a", "6b", "LK"};
    for (int r = 1; r < 4; ++r)
        fgKlassen.setTextMatrix(r, 0, namen[r]);
    fgKlassen.setRow(1);
    fgKlassen.setRowSel(1);
    fgKlassen.setIsSelected(3, true);
    const QVector<BerichtsKlasse> klassen = gewaehlteKlassen(fgKlassen);
    ASSERT_EQ(klassen.size(), 2);
    EXPECT_EQ(klassen[1].klasse, "LK");

    testsupport::MsgRecorder boxen;
    QLabel lblInfo;
    const QStringList pfade = KlassenberichtWordErstellen(mdl::dbEigen, klassen, Start, Ende, false, &lblInfo);
    ASSERT_EQ(pfade.size(), 2);
    EXPECT_EQ(boxen.texts(), (QStringList(2, "Das Word-Dokument wurde erstellt.")));
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
    EXPECT_TRUE(pfade[1].endsWith("/Fehltage LK.docx"));
    const QStringList lk = absaetze(pfade[1]);
    EXPECT_EQ(lk.filter("Admin").size(), 0);
    EXPECT_TRUE(lk.contains("Müller, Max (1 Fehltag)" + V + "02.11.2016 (kr)" + T));
}
