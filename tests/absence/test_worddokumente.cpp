// The absence window's Word documents, made without the window: the exemption letter from a
// template, the day list and the class report, checked in their document.xml.
#include "absence/worddokumente.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/docxvorlage.h"
#include "platform/docxzip.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "tools/demo/demoschool.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace absence;

namespace {

QByteArray dokumentXml(const QString &pfad)
{
    QVector<docx::Paketteil> teile;
    EXPECT_TRUE(docx::paketLesen(pfad, teile)) << pfad.toStdString();
    for (const auto &t : teile)
        if (t.name == QLatin1String("word/document.xml"))
            return t.daten;
    return {};
}

QStringList texte(const docx::Dokument &d) { return docx::absatzTexte(d.documentXml()); }

// The program folder points into the sandbox while it lives.
struct Programmordner {
    explicit Programmordner(const QString &pfad) { qputenv("ZANDREL_HOME", pfad.toUtf8()); }
    ~Programmordner() { qunsetenv("ZANDREL_HOME"); }
};

const QString V = QString(QChar(11)); // manual line break
const QString T = QStringLiteral("\t");

} // namespace

// ---- exemption letter --------------------------------------------------------------------------

TEST(WordBefreiung, FillsTheDemoTemplateAndReplacesTheLastLetter)
{
    testsupport::Sandbox box;
    demo::Options o;
    o.out = box.file(QStringLiteral("demo"));
    o.pupils = 30;
    o.teachers = 5;
    o.classes = 2;
    const demo::Result res = demo::generate(o);
    const Programmordner home(res.programFolder);
    ASSERT_TRUE(QFile::exists(befreiungVorlagePfad()));

    VSGrid fgKlassen;
    fgKlassen.setCols(2);
    fgKlassen.setRows(4);
    fgKlassen.setTextMatrix(1, 0, QStringLiteral("5A "));
    fgKlassen.setTextMatrix(1, 1, QStringLiteral("Alt, Anna"));
    fgKlassen.setTextMatrix(2, 0, QStringLiteral("6b"));
    fgKlassen.setTextMatrix(2, 1, QStringLiteral("Berg, Bea"));
    fgKlassen.setTextMatrix(3, 0, QStringLiteral("5a"));
    fgKlassen.setTextMatrix(3, 1, QStringLiteral("Neu, Nina"));
    EXPECT_EQ(klassenleiterDerKlasse(fgKlassen, QStringLiteral(" 5a")), QStringLiteral("Neu, Nina")); // the last row
    EXPECT_EQ(klassenleiterDerKlasse(fgKlassen, QStringLiteral("7c")), QString());

    QLabel lblInfo;
    testsupport::MsgRecorder boxen;
    Befreiung b{QStringLiteral("Bauer, Eva "), QStringLiteral("5a"), klassenleiterDerKlasse(fgKlassen, "5a"),
                QStringLiteral("05.12.2016")};
    const QString pfad = UnterrichtsbefreiungErstellen(b, &lblInfo);
    ASSERT_EQ(pfad, befreiungPfad());
    EXPECT_EQ(boxen.texts(), QStringList{MeldungWordErstellt});
    EXPECT_FALSE(lblInfo.isVisible());

    const QString text = docx::absatzTexte(dokumentXml(pfad)).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("Name:\tBauer, Eva\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Klassenleitung:\tNeu, Nina")));
    EXPECT_TRUE(text.contains(QStringLiteral("wird am Montag, 05. Dezember 2016 ab ________ Uhr")));
    EXPECT_TRUE(text.contains(QStringLiteral("Grund: ___")));
    EXPECT_FALSE(text.contains(QLatin1Char('[')));

    // No day and no class: the placeholders go empty; the next letter replaces the file.
    b = Befreiung{QStringLiteral("Kurz, Kai"), QString(), QString(), QString()};
    ASSERT_EQ(UnterrichtsbefreiungErstellen(b, &lblInfo), pfad);
    const QString zweiter = docx::absatzTexte(dokumentXml(pfad)).join(QLatin1Char('\n'));
    EXPECT_TRUE(zweiter.contains(QStringLiteral("Name:\tKurz, Kai\nKlasse:\t\n")));
    EXPECT_TRUE(zweiter.contains(QStringLiteral("wird am  ab")));
    // The template keeps its placeholders.
    docx::Vorlage vorlage;
    ASSERT_TRUE(vorlage.laden(befreiungVorlagePfad()));
    EXPECT_TRUE(vorlage.absaetze().join(QString()).contains(QStringLiteral("[Name]")));
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
    EXPECT_EQ(UnterrichtsbefreiungErstellen({QStringLiteral("A, B"), {}, {}, {}}, nullptr), QString());
    ASSERT_EQ(boxen.boxes.size(), 1);
    EXPECT_TRUE(boxen.boxes[0].text.startsWith(QStringLiteral("Die Vorlage für die Unterrichtsbefreiung kann nicht")));
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
    return {zeile(QStringLiteral("5a"), QStringLiteral("Alt, Anna "), QStringLiteral("kr")),
            zeile(QStringLiteral("5a"), QStringLiteral("Berg, Ben"), QStringLiteral("bf ")),
            zeile(QStringLiteral("6b"), QStringLiteral("Kern, Kim"), QStringLiteral("zz")),
            zeile(QStringLiteral("LK"), QStringLiteral("Lehrer, Lars"), QStringLiteral("kr"))};
}

QString klartext(const QString &code)
{
    return code == QLatin1String("kr") ? QStringLiteral("krank") : code == QLatin1String("bf") ? "befreit" : code;
}

} // namespace

TEST(WordTagesliste, TableOfPrintedPersonsWithReasonsAndClassLines)
{
    TageslistenOptionen o;
    o.grund = true;
    o.klartext = true;
    const docx::Dokument d = tageslisteDokument(QStringLiteral(" 05.12.2016 "), tagesliste(), o, klartext);
    EXPECT_EQ(docx::absatzTexte(d.kopfzeileXml()),
              (QStringList{QStringLiteral("Absenzen am 05.12.2016"), QString()}));
    EXPECT_EQ(texte(d), (QStringList{"Klasse", "Schüler", "Grund", "5a", "Alt, Anna", "krank", "5a", "Berg, Ben",
                                     "befreit", "6b", "Kern, Kim", "zz", ""}));
    const QByteArray xml = d.documentXml();
    EXPECT_TRUE(xml.contains("<w:tblGrid><w:gridCol w:w=\"850\"/><w:gridCol w:w=\"2835\"/><w:gridCol w:w=\"850\"/>"));
    EXPECT_TRUE(xml.contains("w:top=\"850\" w:right=\"850\" w:bottom=\"850\" w:left=\"850\""));
    EXPECT_TRUE(xml.contains("<w:col w:w=\"4819\" w:space=\"567\"/><w:col w:w=\"4819\"/>"));

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
    const docx::Dokument d = tageslisteDokument(QStringLiteral("05.12.2016"), tagesliste(), o, nullptr);
    EXPECT_EQ(texte(d), (QStringList{"Klasse", "Schüler", "5a", "Alt, Anna", "5a", "Berg, Ben", "6b", "Kern, Kim", "LK",
                                     "Lehrer, Lars", ""}));
    EXPECT_TRUE(d.documentXml().contains("<w:gridCol w:w=\"850\"/><w:gridCol w:w=\"3685\"/></w:tblGrid>"));

    // An empty day: the title row alone.
    const docx::Dokument leer = tageslisteDokument(QStringLiteral("05.12.2016"), {}, {}, nullptr);
    EXPECT_EQ(texte(leer), (QStringList{"Klasse", "Schüler", ""}));
}

TEST(WordTagesliste, ProgressCountsListRowsAndTheButtonComesBack)
{
    testsupport::Sandbox box;
    QVector<TageslistenZeile> zeilen;
    for (int i = 0; i < 24; ++i)
        zeilen.push_back(zeile(i < 20 ? QStringLiteral("5a") : QStringLiteral("LK"), QStringLiteral("P%1").arg(i), "kr"));
    QVector<int> schritte;
    tageslisteDokument(QStringLiteral("05.12.2016"), zeilen, {}, nullptr, [&](int r) { schritte << r; });
    EXPECT_EQ(schritte, (QVector<int>{10, 20}));

    QLabel lblInfo;
    QPushButton knopf;
    testsupport::MsgRecorder boxen;
    EXPECT_EQ(TageslisteWordErstellen(QStringLiteral("  "), zeilen, {}, nullptr, &lblInfo, &knopf), QString());
    EXPECT_EQ(boxen.texts(),
              QStringList{QStringLiteral("Es ist kein Tag markiert.\rBitte erst eine Klasse und dann einen Tag auswählen!")});

    const QString pfad = TageslisteWordErstellen(QStringLiteral("05.12.2016"), zeilen, {}, nullptr, &lblInfo, &knopf);
    EXPECT_EQ(pfad, folders::join(folders::tempFolder(), QStringLiteral("Absenzen am 05.12.2016.docx")));
    EXPECT_EQ(lblInfo.text(), QStringLiteral("... 24/24"));
    EXPECT_TRUE(knopf.isEnabled());
    EXPECT_EQ(boxen.texts().last(), MeldungWordErstellt);
    EXPECT_EQ(docx::absatzTexte(dokumentXml(pfad)).size(), 2 + 2 * 20 + 1);
}

// ---- class report ------------------------------------------------------------------------------

namespace {

Absenz::Zeile tag(int monat, int t, const QString &grund, int stunde = 0, const QString &bemerkung = QString())
{
    Absenz::Zeile z;
    z.fehltag = QDate(2016, monat, t);
    z.grund = grund;
    if (stunde > 0)
        z.std[size_t(stunde - 1)] = QStringLiteral("kr");
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
        sechs << tag(10, i, QStringLiteral("kr"));
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
    EXPECT_EQ(fehltageText({tag(10, 6, "kr", 3)}, Start, Ende, &n), QStringLiteral("06.10.2016 (kr 3.h:kr )"));
    EXPECT_EQ(fehltageText({tag(10, 7, "KR", 0, "bei 'KR' darf keine Bemerkung gespeichert werden.")}, Start, Ende, &n),
              QStringLiteral("07.10.2016 (KR)") + T);
}

TEST(WordKlassenbericht, ClassHeadingPersonsAndCountsFromTheDatabases)
{
    absencetest::Schule s;
    s.schueler(1, QStringLiteral("Zorn"), QStringLiteral("Zoe"), QStringLiteral("5a"));
    s.schueler(2, QStringLiteral("Adler"), QStringLiteral("Ali"), QStringLiteral("5a"));
    s.schueler(3, QStringLiteral("Öz"), QStringLiteral("Ömer"), QStringLiteral("5A"));
    s.schueler(4, QStringLiteral("Fremd"), QStringLiteral("Fritz"), QStringLiteral("6b"));
    s.fehltag(QStringLiteral("2"), QDate(2016, 10, 4), QStringLiteral("kr"));
    s.fehltag(QStringLiteral("1"), QDate(2016, 10, 4), QStringLiteral("kr"));
    s.fehltag(QStringLiteral("1"), QDate(2016, 10, 5), QStringLiteral("un"));
    s.fehltag(QStringLiteral("4"), QDate(2016, 10, 5), QStringLiteral("un"));

    ASSERT_TRUE(mdl::NMDatenbankOeffnen());
    const QVector<BerichtsPerson> personen = berichtsPersonen(mdl::dbNM(), QStringLiteral("5a"));
    mdl::NMDatenbankSchliessen();
    ASSERT_EQ(personen.size(), 3);
    EXPECT_EQ(personen[0].name, QStringLiteral("Adler"));
    EXPECT_EQ(personen[2].id, QStringLiteral("1"));

    const QDate heute(2016, 12, 5);
    const docx::Dokument d = klassenberichtDokument(mdl::dbEigen, {QStringLiteral("5a"), QStringLiteral("Lang, Lea")},
                                                    personen, Start, Ende, false, heute);
    EXPECT_EQ(texte(d), (QStringList{"Fehltage der Klasse 5a im Zeitraum 01.09.2016 - 31.12.2016", " (Lang, Lea)",
                                     "Stand: 05.12.2016", "", "Adler, Ali (1 Fehltag)" + V + "04.10.2016 (kr)" + T, "",
                                     "Öz, Ömer (0 Fehltage)" + V,
                                     "Zorn, Zoe (2 Fehltage)" + V + "04.10.2016 (kr)" + T + "05.10.2016 (un)" + T, "",
                                     ""}));
    const QByteArray xml = d.documentXml();
    EXPECT_TRUE(xml.contains("<w:r><w:rPr><w:b/><w:sz w:val=\"28\"/><w:szCs w:val=\"28\"/></w:rPr><w:t>Fehltage der"));
    EXPECT_TRUE(xml.contains("<w:r><w:rPr><w:b/><w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/></w:rPr><w:t>Adler, Ali</w:t>"));
    EXPECT_TRUE(xml.contains("<w:jc w:val=\"right\"/>"));
    EXPECT_EQ(xml.count("<w:ind w:left=\"1134\" w:hanging=\"1134\"/>"), 6);

    // One page per person: the person heading instead of the class heading, a page break after everyone.
    const docx::Dokument s2 = klassenberichtDokument(mdl::dbEigen, {QStringLiteral("5a"), QString()}, personen, Start,
                                                     Ende, true, heute);
    const QStringList t2 = texte(s2);
    EXPECT_EQ(t2.first(), QStringLiteral("Fehltage im Zeitraum 01.09.2016 - 31.12.2016"));
    EXPECT_EQ(t2.filter(QStringLiteral("Fehltage im Zeitraum")).size(), 3);
    EXPECT_EQ(s2.documentXml().count("<w:br w:type=\"page\"/>"), 3);
}

TEST(WordKlassenbericht, OneDocumentPerChosenClassAndTheTeachersRow)
{
    absencetest::Schule s;
    s.schueler(1, QStringLiteral("Adler"), QStringLiteral("Ali"), QStringLiteral("5a"));
    s.lehrer(QStringLiteral("X"), QStringLiteral("Admin"), QStringLiteral("A"));
    s.lehrer(QStringLiteral("Mü"), QStringLiteral("Müller"), QStringLiteral("Max"));
    s.fehltag(QStringLiteral("mü"), QDate(2016, 11, 2), QStringLiteral("kr"));

    VSGrid fgKlassen;
    fgKlassen.setCols(2);
    fgKlassen.setRows(4);
    const QStringList namen = {QString(), QStringLiteral("5a"), QStringLiteral("6b"), QStringLiteral("LK")};
    for (int r = 1; r < 4; ++r)
        fgKlassen.setTextMatrix(r, 0, namen[r]);
    fgKlassen.setRow(1);
    fgKlassen.setRowSel(1);
    fgKlassen.setIsSelected(3, true);
    const QVector<BerichtsKlasse> klassen = gewaehlteKlassen(fgKlassen);
    ASSERT_EQ(klassen.size(), 2);
    EXPECT_EQ(klassen[1].klasse, QStringLiteral("LK"));

    testsupport::MsgRecorder boxen;
    QLabel lblInfo;
    const QStringList pfade = KlassenberichtWordErstellen(mdl::dbEigen, klassen, Start, Ende, false, &lblInfo);
    ASSERT_EQ(pfade.size(), 2);
    EXPECT_EQ(boxen.texts(), (QStringList{MeldungWordErstellt, MeldungWordErstellt}));
    EXPECT_EQ(mdl::nmOeffnungen(), 0);
    EXPECT_TRUE(pfade[1].endsWith(QStringLiteral("/Fehltage LK.docx")));
    const QStringList lk = docx::absatzTexte(dokumentXml(pfade[1]));
    EXPECT_EQ(lk.filter(QStringLiteral("Admin")).size(), 0);
    EXPECT_TRUE(lk.contains("Müller, Max (1 Fehltag)" + V + "02.11.2016 (kr)" + T));
}
