// The workbook layer: values as Excel takes them, formats on ranges, sizes, filter and the saved package.
#include "platform/xlsxbook.h"
#include "support/testsupport.h"

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
    EXPECT_EQ(ws.value(1, 2), QVariant(QStringLiteral("10")));
    EXPECT_DOUBLE_EQ(ws.value(1, 3).toDouble(), 0.5);
    EXPECT_EQ(ws.text(1, 3), "0,5");
    EXPECT_EQ(ws.value(1, 5), QVariant(QStringLiteral("007")));
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

TEST(XlsxSave, AMissingFolderIsReportedAndOpenUnsavedNeverOverwrites)
{
    testsupport::Sandbox box;
    Workbook b;
    b.sheet(1).setValue(1, 1, "x");
    QString err;
    EXPECT_FALSE(b.save(box.file("fehlt/Liste.xlsx"), &err));
    EXPECT_TRUE(err.contains("existiert nicht"));

    const QString first = b.openUnsaved("Lehrerliste", &err);
    const QString second = b.openUnsaved("Lehrerliste", &err);
    EXPECT_TRUE(first.endsWith("/Lehrerliste.xlsx"));
    EXPECT_TRUE(second.endsWith("/Lehrerliste (2).xlsx"));
    EXPECT_TRUE(first.startsWith(box.file("tmp")));
}
