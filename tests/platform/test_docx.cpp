// The Word writer: packages that a standard unzip reads, typing into paragraphs, tables,
// page setup, and find and replace in a template.
#include "platform/docx.h"
#include "platform/docxvorlage.h"
#include "platform/docxzip.h"
#include "support/testsupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// A part of the package as the system's unzip sees it.
QByteArray entpackt(const QString &docx, const QString &teil)
{
    QProcess p;
    QString muster = teil; // unzip reads names as patterns
    muster.replace(QLatin1Char('['), QStringLiteral("[[]"));
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), docx, muster});
    p.waitForFinished(20000);
    return p.readAllStandardOutput();
}

int anzahl(const QByteArray &text, const QByteArray &teil) { return int(text.count(teil)); }

} // namespace

TEST(Docx, PackageIsReadByUnzipWithAllParts)
{
    testsupport::Sandbox box;
    docx::Dokument d;
    d.text().schreiben(QStringLiteral("Größe & <Maß>"));
    d.kopfzeile().schreiben(QStringLiteral("Kopf"));
    const QString pfad = box.file(QStringLiteral("a.docx"));
    QString fehler;
    ASSERT_TRUE(d.speichern(pfad, &fehler)) << fehler.toStdString();

    QProcess test;
    test.start(QStringLiteral("unzip"), {QStringLiteral("-t"), pfad});
    ASSERT_TRUE(test.waitForFinished(20000));
    EXPECT_EQ(test.exitCode(), 0) << test.readAllStandardOutput().toStdString();
    const QByteArray typen = entpackt(pfad, QStringLiteral("[Content_Types].xml"));
    EXPECT_TRUE(typen.contains("/word/header1.xml"));
    EXPECT_TRUE(entpackt(pfad, QStringLiteral("word/_rels/document.xml.rels")).contains("header1.xml"));
    const QByteArray doc = entpackt(pfad, QStringLiteral("word/document.xml"));
    EXPECT_EQ(docx::absatzTexte(doc), QStringList{QStringLiteral("Größe & <Maß>")});
    EXPECT_TRUE(doc.contains("<w:headerReference w:type=\"default\" r:id=\"rIdKopf1\"/>"));
    EXPECT_EQ(docx::absatzTexte(entpackt(pfad, QStringLiteral("word/header1.xml"))), QStringList{QStringLiteral("Kopf")});
    // No leftover of the write beside the document.
    EXPECT_FALSE(QFile::exists(pfad + QStringLiteral(".neu")));
}

TEST(Docx, TypingEndsParagraphsAndKeepsTheirFormat)
{
    docx::Dokument d;
    docx::Textfluss &t = d.text();
    t.absatzformat().ausrichtung = docx::Ausrichtung::Rechts;
    t.schreiben(QStringLiteral("Stand: heute\r"));
    t.absatzformat().ausrichtung = docx::Ausrichtung::Links;
    t.absatzformat().einzugLinks = docx::cm(2);
    t.absatzformat().einzugErsteZeile = -docx::cm(2);
    t.absatzformat().tabstoppHinzufuegen(docx::cm(8));
    t.absatzformat().tabstoppHinzufuegen(docx::cm(5));
    t.schrift.fett = true;
    t.schreiben(QStringLiteral("Name"));
    t.schrift.fett = false;
    t.schreiben(QStringLiteral(" (2 Fehltage)\va\tb\r\ncd\f") + QChar(7));
    const QByteArray xml = d.documentXml();

    EXPECT_EQ(docx::absatzTexte(xml), (QStringList{QStringLiteral("Stand: heute"),
                                                   QStringLiteral("Name (2 Fehltage)\va\tb"), QStringLiteral("cd\f")}));
    EXPECT_EQ(anzahl(xml, "<w:jc w:val=\"right\"/>"), 1);
    // The indented format carries over to the paragraph begun by "\r\n".
    EXPECT_EQ(anzahl(xml, "<w:ind w:left=\"1134\" w:hanging=\"1134\"/>"), 2);
    EXPECT_EQ(anzahl(xml, "<w:tabs><w:tab w:val=\"left\" w:pos=\"2835\"/><w:tab w:val=\"left\" w:pos=\"4535\"/></w:tabs>"),
              2);
    EXPECT_TRUE(xml.contains("<w:r><w:rPr><w:b/></w:rPr><w:t>Name</w:t></w:r>"));
    EXPECT_TRUE(xml.contains("<w:t xml:space=\"preserve\"> (2 Fehltage)</w:t><w:br/><w:t>a</w:t><w:tab/>"));
    EXPECT_TRUE(xml.contains("<w:t>cd</w:t><w:br w:type=\"page\"/>"));
}

// Word stores sizes in half points: each point size the program asks for, in runs, paragraph
// marks, table cells, the page header and the document's default.
TEST(Docx, FontSizesAreWrittenInHalfPoints)
{
    const struct {
        double punkte;
        const char *halbe;
    } faelle[] = {{12, "24"}, {10.5, "21"}, {8, "16"}, {14, "28"}, {9, "18"}, {20, "40"}};
    testsupport::Sandbox box;
    for (const auto &f : faelle) {
        SCOPED_TRACE(f.punkte);
        const QByteArray sz = QByteArray("<w:sz w:val=\"") + f.halbe + "\"/><w:szCs w:val=\"" + f.halbe + "\"/>";
        docx::Dokument d;
        d.standardGroesse = f.punkte;
        d.text().schrift.groesse = f.punkte;
        d.text().schrift.kursiv = true;
        d.text().schrift.unterstrichen = true;
        d.text().schreiben(QStringLiteral("Text\r"));
        docx::Schrift zelle;
        zelle.groesse = f.punkte;
        d.text().tabelleEinfuegen(1, 1).setText(1, 1, QStringLiteral("Zelle"), zelle);
        d.kopfzeile().schrift.groesse = f.punkte;
        d.kopfzeile().schreiben(QStringLiteral("Kopf"));
        const QByteArray xml = d.documentXml();
        EXPECT_TRUE(xml.contains("<w:r><w:rPr><w:i/>" + sz + "<w:u w:val=\"single\"/></w:rPr><w:t>Text</w:t>"))
            << xml.toStdString();
        EXPECT_EQ(anzahl(xml, sz), 4); // run and mark of "Text", the cell's run, the next paragraph's mark
        EXPECT_TRUE(d.kopfzeileXml().contains("<w:rPr>" + sz + "</w:rPr><w:t>Kopf</w:t>"));
        const QString pfad = box.file(QStringLiteral("g.docx"));
        ASSERT_TRUE(d.speichern(pfad));
        EXPECT_TRUE(entpackt(pfad, QStringLiteral("word/styles.xml")).contains(sz));
    }
}

TEST(Docx, TabStopsOfEachAlignmentAndCellWidths)
{
    docx::Dokument d;
    docx::Absatzformat &f = d.text().absatzformat();
    f.tabstoppHinzufuegen(docx::cm(15), docx::Ausrichtung::Rechts);
    f.tabstoppHinzufuegen(docx::cm(7.5), docx::Ausrichtung::Zentriert);
    f.tabstoppHinzufuegen(docx::cm(2));
    f.tabstoppHinzufuegen(docx::cm(7.5), docx::Ausrichtung::Links); // the same place changes its kind
    f.ausrichtung = docx::Ausrichtung::Blocksatz;
    f.abstandVor = 6;
    f.abstandNach = 12;
    d.text().schreiben(QStringLiteral("a\tb\tc\td"));
    docx::Tabelle &t = d.text().tabelleEinfuegen(1, 3);
    t.setSpaltenbreite(2, docx::cm(4));
    const QByteArray xml = d.documentXml();
    EXPECT_TRUE(xml.contains("<w:tabs><w:tab w:val=\"left\" w:pos=\"1134\"/><w:tab w:val=\"left\" w:pos=\"4252\"/>"
                             "<w:tab w:val=\"right\" w:pos=\"8504\"/></w:tabs>"))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains("<w:spacing w:before=\"120\" w:beforeAutospacing=\"0\" w:after=\"240\""));
    EXPECT_TRUE(xml.contains("<w:jc w:val=\"both\"/>"));
    EXPECT_EQ(anzahl(xml, "<w:tab/>"), 3);
    // Three columns over 16 cm, the middle one made 4 cm wide.
    EXPECT_TRUE(xml.contains("<w:tblW w:w=\"8316\" w:type=\"dxa\"/>"));
    EXPECT_EQ(anzahl(xml, "<w:tcW w:w=\"3024\" w:type=\"dxa\"/>"), 2);
    EXPECT_EQ(anzahl(xml, "<w:tcW w:w=\"2268\" w:type=\"dxa\"/>"), 1);
}

TEST(Docx, TableWidthsHeadingRowAndBorders)
{
    docx::Dokument d;
    d.text().schreiben(QStringLiteral("vor"));
    docx::Tabelle &t = d.text().tabelleEinfuegen(3, 2);
    t.setSpaltenbreite(1, docx::cm(1.5));
    t.setSpaltenbreite(2, docx::cm(6.5));
    t.setText(1, 1, QStringLiteral("Klasse"));
    t.setText(1, 1, QStringLiteral("!"));
    t.setKopfzeile(1);
    t.setSpaltenRand(1, docx::Kante::Links, docx::linie::Viertel);
    t.setZeilenRand(2, docx::Kante::Oben, docx::linie::EinUndHalb);
    EXPECT_EQ(t.text(1, 1), QStringLiteral("Klasse!"));
    EXPECT_EQ(t.rand(3, 1, docx::Kante::Links), 2);
    EXPECT_EQ(t.rand(2, 2, docx::Kante::Oben), 12);
    EXPECT_EQ(t.rand(3, 2, docx::Kante::Oben), 0);
    const QByteArray xml = d.documentXml();

    // The table stands before the paragraph that was being typed.
    EXPECT_LT(xml.indexOf("<w:tbl>"), xml.indexOf("<w:t>vor</w:t>"));
    EXPECT_TRUE(xml.contains("<w:tblGrid><w:gridCol w:w=\"850\"/><w:gridCol w:w=\"3685\"/></w:tblGrid>"));
    EXPECT_EQ(anzahl(xml, "<w:tr>"), 3);
    EXPECT_EQ(anzahl(xml, "<w:tblHeader/>"), 1);
    EXPECT_EQ(anzahl(xml, "<w:left w:val=\"single\" w:sz=\"2\""), 3);
    EXPECT_EQ(anzahl(xml, "<w:top w:val=\"single\" w:sz=\"12\""), 2);
    EXPECT_EQ(anzahl(xml, "<w:top w:val=\"nil\"/>"), 4);
    EXPECT_EQ(docx::absatzTexte(xml).first(), QStringLiteral("Klasse!"));
}

TEST(Docx, PageMarginsAndTextColumns)
{
    docx::Dokument d;
    d.seite.randOben = d.seite.randUnten = d.seite.randLinks = d.seite.randRechts = docx::cm(1.5);
    const double rest = d.seite.textbreite() - docx::cm(8.5) - docx::cm(1);
    d.seite.spalten = {{rest, docx::cm(1)}, {docx::cm(8.5), 0}};
    const QByteArray xml = d.documentXml();
    EXPECT_TRUE(xml.contains("<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"));
    EXPECT_TRUE(xml.contains("w:top=\"850\" w:right=\"850\" w:bottom=\"850\" w:left=\"850\""));
    EXPECT_TRUE(xml.contains("<w:cols w:num=\"2\" w:space=\"567\" w:equalWidth=\"0\" w:sep=\"0\">"
                             "<w:col w:w=\"4819\" w:space=\"567\"/><w:col w:w=\"4819\"/></w:cols>"));
}

namespace {

// A template as Word leaves it: placeholders split over runs with their own formatting.
QString vorlageSchreiben(const QString &pfad, const QByteArray &body)
{
    const QByteArray doc = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                           "xmlns:mc=\"urn:x\" mc:Ignorable=\"w14\"><w:body>" +
                           body + "</w:body></w:document>";
    const QVector<docx::Paketteil> teile = {
        {QStringLiteral("[Content_Types].xml"), QByteArray("<Types/>")},
        {QStringLiteral("_rels/.rels"),
         QByteArray("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>")},
        {QStringLiteral("word/document.xml"), doc},
        {QStringLiteral("word/media/bild.png"), QByteArray("\x89PNG\r\n\x1a\n\0\1\2", 11)},
    };
    QString fehler;
    EXPECT_TRUE(docx::paketSchreiben(pfad, teile, &fehler)) << fehler.toStdString();
    return pfad;
}

} // namespace

TEST(DocxVorlage, ReplacesAcrossRunsEverywhereAndKeepsTheRest)
{
    testsupport::Sandbox box;
    const QString pfad = vorlageSchreiben(
        box.file(QStringLiteral("v.docx")),
        "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Name: [Na</w:t></w:r><w:proofErr w:type=\"spellStart\"/>"
        "<w:r><w:t>me]</w:t></w:r><w:r><w:t xml:space=\"preserve\"> und [name] </w:t></w:r></w:p>"
        "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>[</w:t></w:r><w:r><w:t>Klasse</w:t></w:r><w:r><w:t>]x</w:t></w:r></w:p>"
        "</w:tc></w:tr></w:tbl><w:p><w:r><w:t>ab [Zeit ab] Uhr</w:t><w:tab/><w:t>[Grund]</w:t></w:r></w:p>");
    docx::Vorlage v;
    QString fehler;
    ASSERT_TRUE(v.laden(pfad, &fehler)) << fehler.toStdString();
    EXPECT_EQ(v.ersetzen(QStringLiteral("[Name]"), QStringLiteral("Bauer, [Name] Eva")), 2);
    EXPECT_EQ(v.ersetzen(QStringLiteral("[Klasse]"), QStringLiteral("5a")), 1);
    EXPECT_EQ(v.ersetzen(QStringLiteral("[Zeit ab]"), QString()), 1);
    EXPECT_EQ(v.ersetzen(QStringLiteral("[Grund]"), QString()), 1);
    EXPECT_EQ(v.ersetzen(QStringLiteral("[Klassenleiter]"), QStringLiteral("x")), 0);
    EXPECT_EQ(v.absaetze(), (QStringList{QStringLiteral("Name: Bauer, [Name] Eva und Bauer, [Name] Eva "),
                                         QStringLiteral("5ax"), QStringLiteral("ab  Uhr\t")}));

    const QString aus = box.file(QStringLiteral("aus.docx"));
    ASSERT_TRUE(v.speichern(aus, &fehler)) << fehler.toStdString();
    const QByteArray doc = entpackt(aus, QStringLiteral("word/document.xml"));
    // The replacement takes the format of the run where the placeholder began.
    EXPECT_TRUE(doc.contains("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Name: Bauer, [Name] Eva</w:t>"));
    EXPECT_TRUE(doc.contains("mc:Ignorable=\"w14\""));
    EXPECT_EQ(entpackt(aus, QStringLiteral("word/media/bild.png")), QByteArray("\x89PNG\r\n\x1a\n\0\1\2", 11));
    // The template itself is untouched.
    docx::Vorlage neu;
    ASSERT_TRUE(neu.laden(pfad));
    EXPECT_EQ(neu.absaetze().first(), QStringLiteral("Name: [Name] und [name] "));
}

TEST(DocxVorlage, MissingOrBrokenFilesGiveGermanReasons)
{
    testsupport::Sandbox box;
    docx::Vorlage v;
    QString fehler;
    EXPECT_FALSE(v.laden(box.file(QStringLiteral("fehlt.docx")), &fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("nicht gefunden")));

    const QString kaputt = box.file(QStringLiteral("alt.doc"));
    QFile f(kaputt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xD0\xCF\x11\xE0 kein zip", 13));
    f.close();
    EXPECT_FALSE(v.laden(kaputt, &fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("kein Word-Dokument")));
    EXPECT_FALSE(v.speichern(box.file(QStringLiteral("x.docx")), &fehler));

    const QString ohneXml = vorlageSchreiben(box.file(QStringLiteral("b.docx")), "<w:p><w:r><w:t>offen");
    EXPECT_FALSE(v.laden(ohneXml, &fehler));
    EXPECT_TRUE(fehler.contains(QStringLiteral("beschädigt")));
}

// A template whose reading fails (EIO, as the system gives it for a share gone away; here the
// kernel's own for a process's memory) is not called damaged: it cannot be read now.
TEST(DocxVorlage, ATemplateThatCannotBeReadIsNotCalledDamaged)
{
    const QString pfad = QStringLiteral("/proc/self/mem");
    docx::Vorlage v;
    QString fehler;
    EXPECT_FALSE(v.laden(pfad, &fehler));
    EXPECT_EQ(fehler, "Die Datei \"" + pfad + "\" kann im Moment nicht gelesen werden: Lese-/Schreibfehler des "
                      "Datenträgers.\rSobald der Netzwerkordner wieder erreichbar ist, kann der Schritt wiederholt "
                      "werden.");
}

TEST(DocxZip, WriteFailsCleanlyWhenTheFolderIsMissing)
{
    testsupport::Sandbox box;
    QString fehler;
    EXPECT_FALSE(docx::paketSchreiben(box.file(QStringLiteral("fehlt/x.docx")), {{QStringLiteral("a"), "b"}}, &fehler));
    EXPECT_FALSE(fehler.isEmpty());
}
