// The workbook layer: values as Excel takes them, formats on ranges, sizes, filter and the saved package.
#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"
#include "support/testsupport.h"
#include "xlsxlesen.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace xlsx;
using testsupport::xlsxCells;
using testsupport::zipEntry;

TEST(XlsxShared, XlsPathsBecomeXlsxAndColoursFollowTheFixedTables)
{
    EXPECT_EQ(xlsxPath("/tmp/Plan.xls"), "/tmp/Plan.xlsx");
    EXPECT_EQ(xlsxPath("/tmp/Plan.XLS"), "/tmp/Plan.XLSx");
    EXPECT_EQ(xlsxPath("/tmp/Plan.xlsx"), "/tmp/Plan.xlsx");
    EXPECT_EQ(rgbFromColorIndex(3), 0xFF0000u);
    EXPECT_EQ(rgbFromColorIndex(6), 0xFFFF00u);
    EXPECT_EQ(rgbFromColorIndex(15), 0xC0C0C0u);
    EXPECT_EQ(rgbFromColorIndex(57), Automatic);
    EXPECT_EQ(rgbFromBgr(255), 0xFF0000u);    // the program's red
    EXPECT_EQ(rgbFromBgr(65535), 0xFFFF00u);  // yellow
}

TEST(XlsxValues, TextsAreTakenAsExcelTakesTypedValues)
{
    Workbook b;
    Worksheet &ws = b.sheet(1);
    ws.setValue(1, 1, "10");
    ws.setValue(1, 2, "'10");
    ws.setValue(1, 3, "0,5");
    ws.setValue(1, 4, "5a");
    ws.setValue(1, 5, "007");
    ws.setValue(1, 6, "");
    EXPECT_EQ(ws.value(1, 1).typeId(), QMetaType::Double);
    EXPECT_EQ(ws.value(1, 2).typeId(), QMetaType::QString);
    EXPECT_EQ(ws.value(1, 2).toString(), "10");
    EXPECT_DOUBLE_EQ(ws.value(1, 3).toDouble(), 0.5);
    EXPECT_EQ(ws.text(1, 3), "0,5");
    EXPECT_EQ(ws.value(1, 5).typeId(), QMetaType::QString); // Qt counts the number 7 equal to "007"
    EXPECT_EQ(ws.value(1, 5).toString(), "007");
    EXPECT_TRUE(ws.isEmpty(1, 6));
    EXPECT_EQ(ws.lastRow(), 1);
    EXPECT_EQ(ws.lastCol(), 5);
}

TEST(XlsxFormats, ALineBetweenTwoCellsBelongsToBothAndTheLastCallWins)
{
    Workbook b;
    Worksheet &ws = b.sheet(1);
    const Range table(3, 1, 6, 4);
    ws.setBorders(table, Medium, Thin);
    EXPECT_EQ(ws.style(3, 1).left.weight, Medium);
    EXPECT_EQ(ws.style(3, 1).top.weight, Medium);
    EXPECT_EQ(ws.style(3, 1).bottom.weight, Thin);
    EXPECT_EQ(ws.style(4, 1).top.weight, Thin);
    EXPECT_EQ(ws.style(6, 4).right.weight, Medium);
    ws.setBorder(Range(3, 1, 3, 4), EdgeBottom, Medium);
    EXPECT_EQ(ws.style(3, 2).bottom.weight, Medium);
    EXPECT_EQ(ws.style(4, 2).top.weight, Medium);
    // A one-row range has no inside horizontal line.
    Workbook b2;
    b2.sheet(1).setBorders(Range(4, 1, 4, 4), Medium, Thin);
    EXPECT_EQ(b2.sheet(1).style(4, 2).top.weight, Medium);
    EXPECT_EQ(b2.sheet(1).style(4, 2).left.weight, Thin);
}

TEST(XlsxSizes, AutoFitMeasuresWhatTheColumnHoldsAtThatMoment)
{
    Workbook b;
    Worksheet &ws = b.sheet(1);
    ws.setValue(3, 1, "Kürzel");
    ws.setValue(4, 1, "ABC");
    ws.setValue(3, 2, "Ein deutlich längerer Name");
    ws.autoFitColumns(1, 3);
    const double a = ws.columnWidth(1);
    EXPECT_GT(ws.columnWidth(2), a * 2);
    EXPECT_DOUBLE_EQ(ws.columnWidth(3), Workbook::defaultColumnWidth()); // empty column
    ws.setValue(1, 1, "Lehrerliste: (erstellt am 05.03.2017)");
    EXPECT_DOUBLE_EQ(ws.columnWidth(1), a); // a title written later does not widen it
    ws.setBold(Range(4, 1));
    ws.setValue(4, 1, "Kürzel");
    ws.autoFitColumn(1);
    EXPECT_GT(ws.columnWidth(1), a - 1e-9); // bold measures at least as wide

    ws.setText(5, 2, "erste Zeile\nzweite Zeile\ndritte");
    ws.autoFitRow(5);
    ws.autoFitRow(4);
    EXPECT_NEAR(ws.rowHeight(5), 3 * ws.rowHeight(4), 0.01);
}

TEST(XlsxFilter, TheFilterCoversTheFilledBlockAroundTheCell)
{
    Workbook b;
    Worksheet &ws = b.sheet(1);
    ws.setValue(1, 1, "Titel");
    for (int c = 1; c <= 3; ++c)
        ws.setValue(3, c, QStringLiteral("T%1").arg(c));
    for (int r = 4; r <= 8; ++r)
        ws.setValue(r, 1 + r % 3, "x");
    ws.setValue(10, 1, "abgesetzt");
    ws.setAutoFilterAround(3, 1);
    ASSERT_TRUE(ws.hasAutoFilter());
    EXPECT_EQ(ws.autoFilter().address(), "A3:C8");
    Workbook empty;
    empty.sheet(1).setAutoFilterAround(3, 1);
    EXPECT_FALSE(empty.sheet(1).hasAutoFilter());
}

TEST(XlsxSave, ThePackageHoldsValuesStylesCommentsAndPageSetup)
{
    testsupport::Sandbox box;
    Workbook b;
    Worksheet &ws = b.sheet(1);
    ws.setValue(1, 1, "Schulaufgabenkalender");
    ws.setFont(Range(1, 1), "Arial", 12);
    ws.setBold(Range(1, 1));
    ws.setValue(4, 1, "'10");
    ws.setNumber(4, 2, 2.5, "0.0");
    ws.setValue(5, 1, "Ferien");
    ws.setFillIndex(Range(5, 1, 5, 2), 6);
    ws.addComment(5, 2, "D Kurz\n");
    ws.merge(Range(6, 1, 6, 2));
    ws.setValue(6, 1, "verbunden");
    ws.setAutoFilterAround(4, 1);
    ws.pageSetup().titleRowFirst = 1;
    ws.pageSetup().titleRowLast = 3;
    ws.pageSetup().titleColFirst = 1;
    ws.pageSetup().titleColLast = 3;
    ws.pageSetup().landscape = true;
    QString err;
    ASSERT_TRUE(b.save(box.file("Plan.xls"), &err)) << err.toStdString();
    const QString file = box.file("Plan.xlsx");
    ASSERT_TRUE(QFileInfo::exists(file));
    const auto cells = xlsxCells(file);
    EXPECT_EQ(cells.value("A1"), "Schulaufgabenkalender");
    EXPECT_EQ(cells.value("A4"), "10");
    EXPECT_EQ(cells.value("B4"), "2.5");
    EXPECT_EQ(cells.value("A6"), "verbunden");
    const QString sheet = zipEntry(file, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"A6:B6\"/>"));
    EXPECT_TRUE(sheet.contains("<autoFilter ref=\"A4:B6\"/>"));
    EXPECT_TRUE(sheet.contains("orientation=\"landscape\""));
    EXPECT_TRUE(sheet.contains("<c r=\"A4\" t=\"s\"")); // the class stays text
    const QString styles = zipEntry(file, "xl/styles.xml");
    EXPECT_TRUE(styles.contains("FFFFFF00"));  // colour index 6
    EXPECT_TRUE(styles.contains("Arial"));
    EXPECT_TRUE(styles.contains("formatCode=\"0.0\""));
    EXPECT_TRUE(zipEntry(file, "xl/comments1.xml").contains("D Kurz"));
    EXPECT_TRUE(zipEntry(file, "xl/workbook.xml").contains("Tabelle1!$A:$C,Tabelle1!$1:$3"));
}

// Excel's cell limit is 32,767 characters: a longer text keeps what fits instead of vanishing from
// the file, and a NUL inside a text does not cut off the rest.
TEST(XlsxSave, LongTextsAreCutToTheCellLimitNotLeftOut)
{
    testsupport::Sandbox box;
    Workbook b;
    Worksheet &ws = b.sheet(1);
    ws.setValue(1, 1, QString(40000, QChar('x')));
    ws.setValue(2, 1, QString(32767, QChar('y')));
    ws.setValue(3, 1, QStringLiteral("vor") + QChar(u'\0') + QStringLiteral("nach"));
    QString emoji;
    for (int i = 0; i < 32768; ++i)
        emoji += QString::fromUtf8("\xF0\x9F\x98\x80"); // one code point, two UTF-16 units
    ws.setValue(4, 1, emoji);
    ws.merge(Range(5, 1, 5, 2));
    ws.setValue(5, 1, QString(33000, QChar('m')));
    QString err;
    ASSERT_TRUE(b.save(box.file("Lang.xlsx"), &err)) << err.toStdString();
    const auto cells = xlsxCells(box.file("Lang.xlsx"));
    EXPECT_EQ(cells.value("A1"), QString(32767, QChar('x')));
    EXPECT_EQ(cells.value("A2"), QString(32767, QChar('y')));
    EXPECT_EQ(cells.value("A3"), "vornach");
    EXPECT_EQ(cells.value("A4").size(), 2 * 32767);
    EXPECT_EQ(cells.value("A5"), QString(32767, QChar('m')));
}

TEST(XlsxSave, AnInvalidSheetNameIsNamedAndNothingIsWritten)
{
    testsupport::Sandbox box;
    Workbook b;
    b.sheet(1).setName("Noten [5a]");
    b.sheet(1).setValue(1, 1, "x");
    QString fehler;
    EXPECT_FALSE(b.save(box.file("Noten.xlsx"), &fehler));
    EXPECT_EQ(fehler, "Datei: " + box.file("Noten.xlsx") + "\rGrund: Der Tabellenname \"Noten [5a]\" ist ungültig.");
    EXPECT_FALSE(QFileInfo::exists(box.file("Noten.xlsx")));
    EXPECT_TRUE(QDir(box.path()).entryList(QDir::Files).isEmpty()) << "no temporary file left";
}

TEST(XlsxSave, OpenUnsavedNeverOverwrites)
{
    testsupport::Sandbox box;
    Workbook b;
    b.sheet(1).setValue(1, 1, "x");
    QString err;
    docs::Handover h = docs::Handover::Opened;
    const QString first = b.openUnsaved("Lehrerliste", &err, &h);
    EXPECT_EQ(h, docs::Handover::NotOpened);
    testsupport::Desktop desktop(false);
    const QString second = b.openUnsaved("Lehrerliste", &err, &h);
    EXPECT_TRUE(first.endsWith("/Lehrerliste.xlsx"));
    EXPECT_TRUE(second.endsWith("/Lehrerliste (2).xlsx"));
    EXPECT_TRUE(first.startsWith(box.file("tmp")));
    EXPECT_EQ(desktop.files, QStringList{second});
    EXPECT_EQ(h, docs::Handover::Failed);
}

TEST(XlsxSave, OpenUnsavedHandsNothingOverWhenTheSaveFails)
{
    testsupport::Sandbox box;
    QDir(box.file("tmp")).removeRecursively(); // the temporary folder is gone
    Workbook b;
    testsupport::Desktop desktop(true);
    QString err;
    docs::Handover h = docs::Handover::Opened;
    EXPECT_EQ(b.openUnsaved("Lehrerliste", &err, &h), QString());
    EXPECT_TRUE(desktop.files.isEmpty());
    EXPECT_TRUE(err.startsWith("Datei: " + box.file("tmp/Lehrerliste.xlsx") + "\rGrund: ")) << err.toStdString();
}

// What a text becomes in the saved file, from the workbook and from the grid alike: Excel's type
// ("s" text, "n" number) and the stored text.
TEST(XlsxTypes, OnlyPlainNumbersBecomeNumbersInWorkbookAndGrid)
{
    const struct {
        const char *text, *zelle;
    } faelle[] = {
        {"007", "s:007"},     {"01234", "s:01234"}, {"00", "s:00"},       {"-07", "s:-07"},
        {"0", "n:0"},         {"10", "n:10"},       {"-3", "n:-3"},       {"2,50", "n:2.5"},
        {"0,5", "n:0.5"},     {"4.25", "n:4.25"},   {"1e5", "s:1e5"},     {"5a", "s:5a"},
        {" 5", "s: 5"},       {"+5", "s:+5"},       {"1,", "s:1,"},       {",5", "s:,5"},
        {"1.234,5", "s:1.234,5"}, {"123456789012345", "n:123456789012345"},
        {"1234567890123456", "s:1234567890123456"}, {"1,1234567891", "n:1.1234567891"},
        {"1,12345678912", "s:1,12345678912"},       {"١٢", "s:١٢"},
    };
    testsupport::Sandbox box;
    Workbook b;
    VSGrid g;
    g.setRows(int(std::size(faelle)));
    g.setCols(1);
    for (int i = 0; i < int(std::size(faelle)); ++i) {
        b.sheet(1).setValue(i + 1, 1, QString::fromUtf8(faelle[i].text));
        g.setTextMatrix(i, 0, QString::fromUtf8(faelle[i].text));
    }
    QString fehler;
    ASSERT_TRUE(b.save(box.file("Mappe.xlsx"), &fehler)) << fehler.toStdString();
    ASSERT_TRUE(g.saveXlsx(box.file("Raster.xlsx"), &fehler)) << fehler.toStdString();
    const auto mappe = xlsxlesen::zellen(box.file("Mappe.xlsx"));
    const auto raster = xlsxlesen::zellen(box.file("Raster.xlsx"));
    for (int i = 0; i < int(std::size(faelle)); ++i) {
        const QString ref = QStringLiteral("A%1").arg(i + 1);
        EXPECT_EQ(mappe.value(ref), QString::fromUtf8(faelle[i].zelle)) << faelle[i].text;
        EXPECT_EQ(raster.value(ref), QString::fromUtf8(faelle[i].zelle)) << faelle[i].text;
    }
    // The grid keeps the decimals it shows.
    EXPECT_EQ(xlsxlesen::aussehen(box.file("Raster.xlsx"), "A8").format, "0.00");
    EXPECT_EQ(xlsxlesen::aussehen(box.file("Raster.xlsx"), "A6").format, "0");
}

TEST(XlsxSave, NumberHeadingAMergedBlockWidthsColoursAndFormats)
{
    testsupport::Sandbox box;
    Workbook b;
    Worksheet &ws = b.sheet(1);
    ws.setValue(1, 1, "2024");
    ws.merge(Range(1, 1, 1, 3));
    ws.setValue(2, 1, "Text");
    ws.merge(Range(2, 1, 3, 2));
    ws.setNumber(4, 1, 3.14159, "0.000");
    ws.setNumber(4, 2, 2, "0.00");
    ws.setFill(Range(4, 1), 0x123456);
    ws.setFontColor(Range(4, 1), 0xAB00CD);
    ws.setFont(Range(4, 2), "Arial", 9);
    ws.setBold(Range(4, 2));
    ws.setBorder(Range(4, 2), EdgeLeft, Thick, 0x00FF00);
    ws.setAlignment(Range(4, 2), AlignCenter, VAlignTop);
    ws.setValue(5, 1, QDate(2024, 2, 29));
    ws.setColumnWidth(2, 20);
    ws.setColumnHidden(3);
    ws.setRowHeight(4, 30);
    ws.setRowHidden(6);
    QString fehler;
    const QString datei = box.file("Formate.xlsx");
    ASSERT_TRUE(b.save(datei, &fehler)) << fehler.toStdString();
    const auto z = xlsxlesen::zellen(datei);
    EXPECT_EQ(z.value("A1"), "n:2024");
    EXPECT_EQ(z.value("A2"), "s:Text");
    EXPECT_EQ(z.value("A4"), "n:3.14159");
    EXPECT_EQ(z.value("A5"), "n:45351"); // Excel's day number of 29.02.2024
    const QString blatt = testsupport::zipEntry(datei, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(blatt.contains("<mergeCell ref=\"A1:C1\"/>"));
    EXPECT_TRUE(blatt.contains("<mergeCell ref=\"A2:B3\"/>"));
    EXPECT_TRUE(blatt.contains("<col min=\"2\" max=\"2\" width=\"20.7109375\" customWidth=\"1\"/>")) << blatt.toStdString();
    EXPECT_TRUE(blatt.contains("<col min=\"3\" max=\"3\" width=\"0\" hidden=\"1\" customWidth=\"1\"/>"));
    EXPECT_TRUE(blatt.contains("<row r=\"4\" spans=\"1:2\" ht=\"30\" customHeight=\"1\">"));
    EXPECT_TRUE(blatt.contains("<row r=\"6\" hidden=\"1\"/>"));
    const auto a4 = xlsxlesen::aussehen(datei, "A4");
    EXPECT_EQ(a4.format, "0.000");
    EXPECT_EQ(a4.fuellung, "FF123456");
    EXPECT_EQ(a4.schriftfarbe, "FFAB00CD");
    const auto b4 = xlsxlesen::aussehen(datei, "B4");
    EXPECT_EQ(b4.format, "0.00");
    EXPECT_TRUE(b4.fett);
    EXPECT_EQ(b4.schrift, "Arial 9");
    EXPECT_EQ(b4.rahmen, "left:thick:FF00FF00");
    EXPECT_EQ(b4.ausrichtung, "center/top");
    EXPECT_EQ(xlsxlesen::aussehen(datei, "A5").format, "dd.mm.yyyy");
}

// A workbook past the size written row by row holds what one kept in memory holds; a block merged
// over rows or a comment keeps it in memory, where libxlsxwriter writes them.
TEST(XlsxSave, ManyCellsWrittenRowByRowKeepValuesMergesAndSizes)
{
    testsupport::Sandbox box;
    constexpr int Breite = 10;
    const int zeilen = int(RowByRowCells * 4 / 3 / Breite) + 5; // three of four cells filled
    Workbook b;
    Worksheet &ws = b.sheet(1);
    for (int r = 1; r <= zeilen; ++r)
        for (int c = 1; c <= Breite; ++c)
            if ((r + c) % 4)
                ws.setValue(r, c, (r + c) % 4 == 1 ? QStringLiteral("Größe %1").arg(r) : QString::number(r % 7) + ",5");
    const int spaet = zeilen - 2;
    ws.setValue(spaet, 1, "2024");
    ws.merge(Range(spaet, 1, spaet, 3));
    ws.setFill(Range(spaet, 1, spaet, 3), 0x123456);
    ws.setValue(spaet, 5, QDate(2024, 2, 29));
    ws.setValue(spaet, 6, QString(40000, QChar(u'ü')));
    ws.setValue(spaet, 7, QStringLiteral("vor") + QChar(u'\0') + QStringLiteral("nach"));
    ws.setRowHeight(spaet - 1, 30);
    ws.setRowHidden(spaet + 1);
    ws.setColumnWidth(2, 20);

    const QString datei = box.file("Viele.xlsx");
    QString fehler;
    ASSERT_TRUE(b.save(datei, &fehler)) << fehler.toStdString();
    const QString blatt = zipEntry(datei, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(blatt.contains("t=\"inlineStr\"")); // written row by row
    const auto z = xlsxlesen::zellen(datei);
    int falsch = 0;
    for (int r = 1; r <= zeilen; ++r)
        for (int c = 1; c <= Breite; ++c) {
            if (r == spaet && c <= 7)
                continue;
            const QString soll = (r + c) % 4 == 0 ? QString()
                                 : (r + c) % 4 == 1 ? QStringLiteral("s:Größe %1").arg(r)
                                                    : QStringLiteral("n:%1.5").arg(r % 7);
            const QString ref = Range(r, c).address();
            if (z.value(ref) != soll && ++falsch <= 5)
                ADD_FAILURE() << ref.toStdString() << ": " << z.value(ref).toStdString();
        }
    EXPECT_EQ(falsch, 0);
    const QString s = QString::number(spaet);
    EXPECT_EQ(z.value("A" + s), "n:2024");
    EXPECT_EQ(z.value("B" + s), "");
    EXPECT_EQ(z.value("E" + s), "n:45351");
    EXPECT_EQ(z.value("F" + s), "s:" + QString(32767, QChar(u'ü')));
    EXPECT_EQ(z.value("G" + s), "s:vornach");
    EXPECT_EQ(xlsxlesen::aussehen(datei, "C" + s).fuellung, "FF123456");
    EXPECT_EQ(xlsxlesen::aussehen(datei, "E" + s).format, "dd.mm.yyyy");
    EXPECT_TRUE(blatt.contains(QStringLiteral("<mergeCell ref=\"A%1:C%1\"/>").arg(spaet)));
    EXPECT_TRUE(blatt.contains(QStringLiteral("<row r=\"%1\" ht=\"30\" customHeight=\"1\">").arg(spaet - 1)));
    EXPECT_TRUE(blatt.contains(QStringLiteral("<row r=\"%1\" hidden=\"1\"").arg(spaet + 1)));
    EXPECT_TRUE(blatt.contains("<col min=\"2\" max=\"2\" width=\"20.7109375\" customWidth=\"1\"/>"));

    // A comment, and a block over two rows: the workbook is kept until it is written, all of it there.
    ws.addComment(spaet, 4, "Notiz");
    ASSERT_TRUE(b.save(datei, &fehler)) << fehler.toStdString();
    EXPECT_FALSE(zipEntry(datei, "xl/worksheets/sheet1.xml").contains("inlineStr"));
    EXPECT_TRUE(zipEntry(datei, "xl/comments1.xml").contains("Notiz"));
    Workbook zweiZeilen;
    zweiZeilen.sheet(1).setValue(1, 1, "Block");
    zweiZeilen.sheet(1).merge(Range(1, 1, 2, 2));
    for (int r = 3; r <= zeilen; ++r)
        for (int c = 1; c <= Breite; ++c)
            zweiZeilen.sheet(1).setNumber(r, c, r);
    ASSERT_TRUE(zweiZeilen.save(datei, &fehler)) << fehler.toStdString();
    const QString zwei = zipEntry(datei, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(zwei.contains("<mergeCell ref=\"A1:B2\"/>"));
    EXPECT_EQ(xlsxCells(datei).value("A1"), "Block");
    EXPECT_EQ(xlsxCells(datei).value(QStringLiteral("J%1").arg(zeilen)), QString::number(zeilen));
}
