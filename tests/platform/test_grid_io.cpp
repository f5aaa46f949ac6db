#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"
#include "support/testsupport.h"
#include "xlsxlesen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// One part of a zip package as text ("" when missing).
QString zipPart(const QString &zipPath, const char *part)
{
    unzFile zf = unzOpen(zipPath.toUtf8().constData());
    if (!zf)
        return QString();
    QByteArray data;
    if (unzLocateFile(zf, part, 0) == UNZ_OK && unzOpenCurrentFile(zf) == UNZ_OK) {
        char buf[8192];
        int n;
        while ((n = unzReadCurrentFile(zf, buf, sizeof buf)) > 0)
            data.append(buf, n);
        unzCloseCurrentFile(zf);
    }
    unzClose(zf);
    return QString::fromUtf8(data);
}

// Height of the dark ink inside the first cell of a print at dpi, as a share of the row's height.
double inkShareOfRow(VSGrid &g, int dpi)
{
    QImage img(2 * dpi, dpi, QImage::Format_RGB32); // a page of 2 x 1 inches
    img.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    img.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    img.fill(Qt::white);
    QPainter p(&img);
    EXPECT_EQ(g.printPages(p, img.size(), [] {}), 1);
    p.end();
    const int rowH = int(g.rowHeight(0) * dpi / 1440.0 + 0.5);
    int top = -1, bottom = -1;
    for (int y = 0; y < rowH - dpi / 48; ++y)
        for (int x = dpi / 48; x < img.width() / 2; ++x)
            if (qGray(img.pixel(x, y)) < 100) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
    return top < 0 ? 0.0 : double(bottom - top + 1) / rowH;
}

void fillSample(VSGrid &g)
{
    g.setRows(4);
    g.setCols(5);
    g.setFixedRows(1);
    g.setFixedCols(1);
    g.setTextMatrix(0, 0, "Name");
    for (int c = 1; c < 5; ++c)
        g.setTextMatrix(0, c, "Januar 2024");
    g.setMergeCells(grid::MergeFree);
    g.setMergeRow(0, true);
    g.setTextMatrix(1, 0, "Müller, Anna");
    g.setTextMatrix(1, 2, "kr");
    g.setTextMatrix(2, 1, "2,50");
    g.setCellBackColor(1, 2, 255);
    g.cellBorderRange(1, 3, 3, 3, 0xFF0000, 1, grid::BorderKeep, grid::BorderKeep, grid::BorderKeep);
}

} // namespace

TEST(GridSave, WorkbookHoldsTextsNumbersMergesLooksAndSizes)
{
    testsupport::Sandbox sb;
    VSGrid g;
    fillSample(g);
    g.setTextMatrix(3, 1, "2024");
    g.setTextMatrix(3, 2, "2024");
    g.setMergeRow(3, true);
    g.setCellForeColor(1, 2, 0xFF0000);
    g.setCellFontBold(1, 2, true);
    g.setColAlignment(4, grid::AlignRightCenter);
    g.setColWidth(2, 1440);
    g.setColHidden(4, true);
    g.setRowHeight(2, 480);
    const QString path = sb.file("Export.xls");
    QString fehler;
    ASSERT_TRUE(g.saveXlsx(path, &fehler)) << fehler.toStdString();
    const QString xlsx = path + "x"; // the old format cannot be written
    const auto z = xlsxlesen::zellen(xlsx);
    EXPECT_EQ(z.value("A2"), "s:Müller, Anna");
    EXPECT_EQ(z.value("B1"), "s:Januar 2024");
    EXPECT_EQ(z.value("C2"), "s:kr");
    EXPECT_EQ(z.value("B3"), "n:2.5");
    EXPECT_EQ(z.value("B4"), "n:2024"); // a number heading a merged block
    const QString sheet = zipPart(xlsx, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"B1:E1\"/>")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"B4:C4\"/>"));
    EXPECT_TRUE(sheet.contains("<pane xSplit=\"1\" ySplit=\"1\" topLeftCell=\"B2\" activePane=\"bottomRight\" "
                               "state=\"frozen\"/>"));
    // As wide as on screen: 1440 twips = 96 px = 13 characters of 7 px and 5 px of room; the
    // default 960 twips = 64 px = Excel's default width 8.43.
    EXPECT_TRUE(sheet.contains("<col min=\"3\" max=\"3\" width=\"13.7109375\" customWidth=\"1\"/>"));
    EXPECT_TRUE(sheet.contains("<col min=\"5\" max=\"5\" width=\"9.140625\" hidden=\"1\" customWidth=\"1\"/>"))
        << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("<row r=\"3\" spans=\"1:5\" ht=\"24\" customHeight=\"1\">"));

    const QString fixedFill = xlsxlesen::aussehen(xlsx, "A1").fuellung;
    EXPECT_EQ(fixedFill.size(), 8); // the fixed cells' grey
    EXPECT_EQ(xlsxlesen::aussehen(xlsx, "A2").fuellung, fixedFill);
    EXPECT_EQ(xlsxlesen::aussehen(xlsx, "B2").fuellung, "");
    const auto c2 = xlsxlesen::aussehen(xlsx, "C2");
    EXPECT_EQ(c2.fuellung, "FFFF0000") << "red fill of the BGR value 255";
    EXPECT_EQ(c2.schriftfarbe, "FF0000FF") << "blue text of the BGR value &HFF0000";
    EXPECT_TRUE(c2.fett);
    EXPECT_EQ(xlsxlesen::aussehen(xlsx, "D3").rahmen, "left:thin:FF0000FF");
    EXPECT_EQ(xlsxlesen::aussehen(xlsx, "E3").ausrichtung, "right/center");
    EXPECT_EQ(xlsxlesen::aussehen(xlsx, "B3").format, "0.00");
}

namespace {

// A grid of `rows` rows as a list window holds a table: a fixed heading row with a merged block,
// texts with umlauts, long texts, numbers, texts that only look like numbers and empty cells, a
// coloured cell, a merged block headed by a number, a taller row and a hidden one near the end.
// Each cell's expected content in the saved file ("s:" text, "n:" number; none for an empty cell).
struct Stichprobe {
    const char *text, *zelle;
};
const Stichprobe Muster[] = {
    {"Müller, Jürgen", "s:Müller, Jürgen"}, {"2,50", "n:2.5"},        {"", nullptr},
    {"007", "s:007"},                         {"Straße 12 ÄÖÜ äöü ß", "s:Straße 12 ÄÖÜ äöü ß"},
    {"-3", "n:-3"},                           {" führt", "s: führt"}, {"1,", "s:1,"},
    {"123456789012345", "n:123456789012345"}, {"x", "s:x"},          {"", nullptr},
};
constexpr int Spalten = 22;

QString langerText(int r) { return QString("Bemerkung zu Zeile %1: ").arg(r) + QString(300, QChar(u'ö')); }

void fillList(VSGrid &g, int rows)
{
    g.setRows(rows);
    g.setCols(Spalten);
    g.setFixedRows(1);
    g.setMergeCells(grid::MergeFree);
    g.setMergeRow(0, true);
    for (int c = 0; c < Spalten; ++c)
        g.setTextMatrix(0, c, c >= 2 && c <= 5 ? QString("Noten") : QString("Feld %1").arg(c));
    for (int r = 1; r < rows; ++r)
        for (int c = 0; c < Spalten; ++c)
            g.setTextMatrix(r, c, c == 21 ? langerText(r) : QString::fromUtf8(Muster[(r * 7 + c) % std::size(Muster)].text));
    g.setCellBackColor(rows - 3, 4, 255);
    g.setMergeRow(rows - 2, true);
    g.setTextMatrix(rows - 2, 0, "2024");
    g.setTextMatrix(rows - 2, 1, "2024");
    g.setRowHeight(rows - 4, 480);
    g.setRowHidden(rows - 5, true);
}

QString expected(int r, int c, int rows)
{
    if (r == 0)
        return c >= 2 && c <= 5 ? (c == 2 ? "s:Noten" : QString()) : QString("s:Feld %1").arg(c);
    if (r == rows - 2 && c <= 1)
        return c == 0 ? "n:2024" : QString(); // the block shows what its first cell holds
    if (c == 21)
        return "s:" + langerText(r);
    const char *z = Muster[(r * 7 + c) % std::size(Muster)].zelle;
    return z ? QString::fromUtf8(z) : QString();
}

QString ref(int r, int c) { return QChar('A' + c) + QString::number(r + 1); }

// Saves the list and reads every cell back as Excel sees it; the sheet's XML in *sheet.
void checkSavedList(int rows, QString *sheet)
{
    testsupport::Sandbox sb;
    VSGrid g;
    fillList(g, rows);
    g.setColWidth(3, 1440);
    const QString path = sb.file("Liste.xlsx");
    QString fehler;
    ASSERT_TRUE(g.saveXlsx(path, &fehler)) << fehler.toStdString();
    const auto z = xlsxlesen::zellen(path);
    int falsch = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < Spalten; ++c)
            if (z.value(ref(r, c)) != expected(r, c, rows) && ++falsch <= 5)
                ADD_FAILURE() << ref(r, c).toStdString() << ": " << z.value(ref(r, c)).toStdString() << " instead of "
                              << expected(r, c, rows).toStdString();
    EXPECT_EQ(falsch, 0);
    int gefuellt = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < Spalten; ++c)
            gefuellt += !expected(r, c, rows).isEmpty();
    EXPECT_EQ(z.size(), gefuellt); // nothing where the grid is empty
    *sheet = zipPart(path, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet->contains("<mergeCell ref=\"C1:F1\"/>"));
    EXPECT_TRUE(sheet->contains(QString("<mergeCell ref=\"A%1:B%1\"/>").arg(rows - 1)));
    EXPECT_TRUE(sheet->contains("<col min=\"4\" max=\"4\" width=\"13.7109375\" customWidth=\"1\"/>"));
    EXPECT_TRUE(sheet->contains(QRegularExpression(QString("<row r=\"%1\"[^>]* ht=\"24\" customHeight=\"1\"").arg(rows - 3))));
    EXPECT_TRUE(sheet->contains(QRegularExpression(QString("<row r=\"%1\"[^>]* hidden=\"1\"").arg(rows - 4))));
    EXPECT_TRUE(sheet->contains("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
    EXPECT_EQ(xlsxlesen::aussehen(path, ref(rows - 3, 4)).fuellung, "FFFF0000");
    EXPECT_EQ(xlsxlesen::aussehen(path, ref(1, 5)).format, "0.00"); // "2,50"
    EXPECT_EQ(xlsxlesen::aussehen(path, "A1").fuellung.size(), 8); // the fixed row's grey
}

} // namespace

// The same cells, looks and blocks whether the workbook is kept in memory until it is written or,
// for a grid of many cells, written row by row with each text in its cell.
TEST(GridSave, SmallListHoldsEveryCellAsShown)
{
    QString sheet;
    checkSavedList(40, &sheet);
    EXPECT_FALSE(sheet.contains("inlineStr"));
}

TEST(GridSave, ListPastTheRowByRowSizeHoldsEveryCellAsShown)
{
    const int rows = int(xlsx::RowByRowCells / Spalten) + 40;
    QString sheet;
    checkSavedList(rows, &sheet);
    EXPECT_TRUE(sheet.contains("t=\"inlineStr\"")); // written row by row
}

// Written row by row, the sheet needs a temporary file of its own: when none can be made the
// message tells why and does not blame the sheet's name.
TEST(GridSave, ListPastTheRowByRowSizeReportsATemporaryFileThatCannotBeMade)
{
    testsupport::Sandbox sb;
    VSGrid g;
    fillList(g, int(xlsx::RowByRowCells / Spalten) + 40);
    const QString path = sb.file("Liste.xlsx");
    const QString antwort = testsupport::imKind([&] {
        // Room for the one descriptor of the file being written, none for another.
        const int frei = ::open("/dev/null", O_RDONLY);
        ::close(frei);
        struct rlimit grenze = {};
        ::getrlimit(RLIMIT_NOFILE, &grenze);
        grenze.rlim_cur = rlim_t(frei + 1);
        ::setrlimit(RLIMIT_NOFILE, &grenze);
        QString fehler;
        return g.saveXlsx(path, &fehler) ? QStringLiteral("gespeichert") : fehler;
    });
    EXPECT_EQ(antwort, "Datei: " + path + "\rGrund: Zu viele Dateien sind geöffnet.");
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(GridSave, UnwritablePathReportsFailure)
{
    testsupport::Sandbox sb;
    VSGrid g;
    fillSample(g);
    // Beneath a plain file and in a system folder nobody may create files, not even root.
    QFile plain(sb.file("datei.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QString fehler;
    EXPECT_FALSE(g.saveXlsx(sb.file("datei.txt/LNW.xlsx"), &fehler));
    EXPECT_TRUE(fehler.contains("existiert nicht")) << fehler.toStdString();
    EXPECT_FALSE(g.saveXlsx("/proc/LNW.xlsx", &fehler));
    EXPECT_TRUE(fehler.startsWith("Datei: /proc/LNW.xlsx\rGrund: ")) << fehler.toStdString();
}

TEST(GridPrint, TextKeepsItsSizeToTheRowAtPrinterResolution)
{
    VSGrid g;
    g.setRows(1);
    g.setCols(1);
    g.setRowHeight(0, 600);
    g.setColWidth(0, 2880);
    g.setTextMatrix(0, 0, "HHHH");
    const double screen = inkShareOfRow(g, 96);
    ASSERT_GT(screen, 0.15);
    ASSERT_LT(screen, 0.6);
    for (int dpi : {300, 600, 1200})
        EXPECT_NEAR(inkShareOfRow(g, dpi), screen, 0.08 + screen * 0.1) << dpi << " dpi";
}

TEST(GridPrint, PdfHasOnePagePerRowAndColumnSlice)
{
    testsupport::Sandbox sb;
    VSGrid g;
    g.setRows(2);
    g.setCols(40);
    g.setFixedRows(2);
    g.setFixedCols(1);
    for (int c = 0; c < 40; ++c) {
        g.setColWidth(c, 1440); // one inch a column
        g.setTextMatrix(0, c, QString("Spalte %1").arg(c));
    }
    for (int r = 0; r < 10; ++r)
        g.addItem(QString("Zeile %1").arg(r));
    const QString pdf = sb.file("LNW.pdf");
    // Landscape A4 less margins holds about 10.8 inches: the fixed column and 9 more columns a page.
    const int pages = g.print("LNW", true, pdf);
    EXPECT_EQ(pages, 5);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    EXPECT_EQ(QString::fromLatin1(data).count(QRegularExpression("/Type\\s*/Page[^s]")), 5);
    // Hidden rows are left out, and more rows than a page holds go on further pages.
    g.setColHidden(5, true);
    for (int r = 0; r < 60; ++r)
        g.addItem("x");
    EXPECT_EQ(g.print("LNW", false, sb.file("hoch.pdf")), 7 * 2); // 6 of 38 shown columns, 63 of 70 rows a page
    // A PDF that cannot be written: -1, the file and the reason; an older file stays whole.
    QString fehler, ersatz = "unberührt";
    EXPECT_EQ(g.print("LNW", true, sb.file("fehlt/LNW.pdf"), &fehler, &ersatz), -1);
    EXPECT_EQ(fehler, "Datei: " + sb.file("fehlt/LNW.pdf") + "\rGrund: Der Ordner \"" + sb.file("fehlt") +
                          "\" existiert nicht.");
    EXPECT_EQ(ersatz, "unberührt"); // only the printer-less fallback names its file
    EXPECT_GT(g.print("LNW", true, pdf, &fehler, &ersatz), 0);
    EXPECT_EQ(ersatz, "unberührt");
}
