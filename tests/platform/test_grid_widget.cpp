#include "platform/grid/vsgrid.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QDropEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<VSGrid> shownGrid(int rows, int cols, int fixedRows = 1, int fixedCols = 1)
{
    auto g = std::make_unique<VSGrid>();
    g->setRows(rows);
    g->setCols(cols);
    g->setFixedRows(fixedRows);
    g->setFixedCols(fixedCols);
    g->resize(500, 300);
    g->show();
    return g;
}

QPoint inViewport(const VSGrid &g, int r, int c)
{
    return g.cellRect(r, c).center() - g.viewport()->geometry().topLeft();
}

// Pixels of an image area that are far from white and from the fixed-cell grey: drawn text or lines.
int inkPixels(const QImage &img, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 120)
                ++n;
    return n;
}

} // namespace

TEST(GridWidgetGeometry, CellUnderAPointAndItsRectangleAgree)
{
    auto g = shownGrid(100, 20);
    g->setTopRow(30);
    g->setLeftCol(5);
    for (auto [r, c] : {std::pair{0, 0}, std::pair{0, 7}, std::pair{31, 0}, std::pair{33, 6}}) {
        const QRect rect = g->cellRect(r, c);
        ASSERT_FALSE(rect.isEmpty()) << r << "," << c;
        int hr = -1, hc = -1;
        EXPECT_TRUE(g->cellAt(rect.center(), hr, hc));
        EXPECT_EQ(hr, r);
        EXPECT_EQ(hc, c);
    }
    EXPECT_TRUE(g->cellRect(10, 1).isEmpty()); // scrolled out of view
    int hr = 0, hc = 0;
    EXPECT_FALSE(g->cellAt(QPoint(-5, -5), hr, hc));
    EXPECT_EQ(hr, -1);
}

TEST(GridWidgetGeometry, FixedCellsStayWhenScrolling)
{
    auto g = shownGrid(100, 30);
    const QRect header = g->cellRect(0, 3);
    const QRect corner = g->cellRect(0, 0);
    const QRect rowHeader = g->cellRect(5, 0);
    g->setTopRow(40);
    EXPECT_EQ(g->topRow(), 40);
    EXPECT_EQ(g->cellRect(0, 0), corner);
    EXPECT_EQ(g->cellRect(0, 3), header);
    EXPECT_TRUE(g->cellRect(5, 0).isEmpty());
    EXPECT_EQ(g->cellRect(44, 0).left(), rowHeader.left());
    // A row set in twips is painted at the screen's size of those twips.
    g->setRowHeight(40, 480);
    EXPECT_EQ(g->cellRect(40, 3).height(), 2 * g->cellRect(41, 3).height());
}

TEST(GridWidgetGeometry, MouseRowAndColumnFollowTheMouseIncludingFixedCells)
{
    auto g = shownGrid(10, 5);
    QTest::mouseMove(g->viewport(), inViewport(*g, 0, 2));
    QTest::mouseMove(g->viewport(), inViewport(*g, 3, 2));
    EXPECT_EQ(g->mouseRow(), 3);
    EXPECT_EQ(g->mouseCol(), 2);
    QTest::mouseMove(g->viewport(), inViewport(*g, 0, 0));
    EXPECT_EQ(g->mouseRow(), 0);
    EXPECT_EQ(g->mouseCol(), 0);
    // Right of the last column: outside any cell.
    g->setCols(2);
    QTest::mouseMove(g->viewport(), QPoint(g->viewport()->width() - 2, 5));
    EXPECT_EQ(g->mouseCol(), -1);
}

TEST(GridWidgetPaint, MergedHeaderStartingLeftOfTheViewShowsItsText)
{
    auto g = shownGrid(5, 40, 1, 1);
    for (int c = 1; c < 40; ++c) {
        g->setColWidth(c, 300);
        g->setTextMatrix(0, c, "Januar 2024");
    }
    g->setMergeCells(grid::MergeFree);
    g->setMergeRow(0, true);
    g->setLeftCol(10);
    ASSERT_EQ(g->leftCol(), 10);
    const QRect header = g->cellRect(0, 10).united(g->cellRect(0, 15));
    const QRect inVp = header.translated(-g->viewport()->geometry().topLeft()).adjusted(0, 1, 0, -2);
    EXPECT_GT(inkPixels(g->grabCells(), inVp), 20);
    // Without merging, the 20-pixel columns clip the text to nearly nothing in each cell, and a header
    // whose text stands only left of the view shows nothing.
    g->setMergeRow(0, false);
    for (int c = 2; c < 40; ++c)
        g->setTextMatrix(0, c, QString());
    EXPECT_LT(inkPixels(g->grabCells(), inVp), 3);
}

TEST(GridWidgetPaint, PictureAndBorderShowInTheImage)
{
    auto g = shownGrid(6, 4, 1, 1);
    g->setColWidth(2, 900);
    QPixmap pm(10, 10);
    pm.fill(QColor(255, 0, 0));
    g->setCellPicture(2, 2, pm);
    g->cellBorderRange(4, 1, 4, 3, 0xFF0000, grid::BorderKeep, 2, grid::BorderKeep, grid::BorderKeep);
    const QImage img = g->grabCells();
    const QPoint vpOff = g->viewport()->geometry().topLeft();
    const QRect picCell = g->cellRect(2, 2).translated(-vpOff);
    bool red = false;
    for (int x = picCell.left(); x < picCell.right(); ++x)
        red = red || img.pixel(x, picCell.center().y()) == qRgb(255, 0, 0);
    EXPECT_TRUE(red);
    const QRect bordered = g->cellRect(4, 2).translated(-vpOff);
    EXPECT_EQ(img.pixel(bordered.center().x(), bordered.top()), qRgb(0, 0, 255));     // BGR &HFF0000 is blue
    EXPECT_EQ(img.pixel(bordered.center().x(), bordered.top() + 1), qRgb(0, 0, 255));
    EXPECT_NE(img.pixel(bordered.center().x(), bordered.top() + 3), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(bordered.center().x(), bordered.center().y()), qRgb(255, 255, 255));
}

TEST(GridWidgetPaint, CellColoursArePaintedFromTheirBgrValues)
{
    auto g = shownGrid(4, 4);
    g->setCellBackColor(2, 2, 65535); // yellow
    const QImage img = g->grabCells();
    const QPoint p = inViewport(*g, 2, 2);
    EXPECT_EQ(img.pixel(p), qRgb(255, 255, 0));
}

// A separator row far lower than a text line shows none of its text, at any scaling; a row of half
// a line shows what fits.
TEST(GridWidgetPaint, TextOnlyInRowsOfAtLeastAThirdOfALine)
{
    auto g = shownGrid(6, 3);
    g->setRowHeight(2, 30);  // 2 pixels
    g->setRowHeight(3, 120); // 8 pixels
    for (int r : {2, 3})
        for (int c : {0, 1})
            g->setTextMatrix(r, c, "Sa 18.09.");
    auto bild = [&](double skala) { return testsupport::gezeichnet(&*g, skala); };
    for (double skala : {1.0, 1.5}) {
        const QImage mit = bild(skala);
        g->setTextMatrix(2, 0, QString());
        g->setTextMatrix(2, 1, QString());
        EXPECT_TRUE(mit == bild(skala)) << skala;
        g->setTextMatrix(2, 0, "Sa 18.09.");
        g->setTextMatrix(2, 1, "Sa 18.09.");
    }
    const QRect halb = g->cellRect(3, 1).translated(-g->viewport()->geometry().topLeft());
    EXPECT_GT(inkPixels(g->grabCells(), halb), 5);
}

TEST(GridWidgetEvents, CodeRaisesNoCellEventsButTopRowRaisesAfterScroll)
{
    auto g = shownGrid(100, 5);
    int cellEvents = 0, scrolls = 0, newTop = -1;
    QObject::connect(g.get(), &VSGrid::enterCell, [&] { ++cellEvents; });
    QObject::connect(g.get(), &VSGrid::rowColChange, [&] { ++cellEvents; });
    QObject::connect(g.get(), &VSGrid::click, [&] { ++cellEvents; });
    QObject::connect(g.get(), &VSGrid::afterEdit, [&](int, int) { ++cellEvents; });
    QObject::connect(g.get(), &VSGrid::afterScroll, [&](int, int, int top, int) {
        ++scrolls;
        newTop = top;
    });
    g->select(3, 2);
    g->setRow(5);
    g->setCol(1);
    g->setTextMatrix(4, 4, "x");
    g->setCellChecked(4, 3, grid::Checked);
    EXPECT_EQ(cellEvents, 0);
    g->setTopRow(20);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(newTop, 20);
    // A user click moves the current cell with its events.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 22, 2));
    EXPECT_EQ(g->row(), 22);
    EXPECT_EQ(g->col(), 2);
    EXPECT_EQ(cellEvents, 3); // rowColChange, enterCell, click
}

TEST(GridWidgetEvents, MouseEventsCarryButtonShiftAndBeforeMouseDownCancels)
{
    auto g = shownGrid(10, 5);
    int downButton = 0, downShift = 0;
    QObject::connect(g.get(), &VSGrid::mouseDown, [&](int b, int s, double, double) {
        downButton = b;
        downShift = s;
    });
    QObject::connect(g.get(), &VSGrid::beforeMouseDown, [&](int, int, double, double, bool &cancel) {
        cancel = g->mouseRow() == 3;
    });
    QTest::mouseClick(g->viewport(), Qt::RightButton, Qt::ControlModifier, inViewport(*g, 2, 2));
    EXPECT_EQ(downButton, 2);
    EXPECT_EQ(downShift, 2);
    g->select(1, 1);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 3, 2));
    EXPECT_EQ(g->row(), 1); // cancelled: the selection stays
    EXPECT_EQ(downButton, 1);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 4, 2));
    EXPECT_EQ(g->row(), 4);
}

TEST(GridWidgetEvents, CheckBoxTogglesOnlyInAnEditableGrid)
{
    auto g = shownGrid(5, 3);
    g->setCellChecked(2, 1, grid::Unchecked);
    QStringList log;
    QObject::connect(g.get(), &VSGrid::click, [&] { log << "click"; });
    QObject::connect(g.get(), &VSGrid::afterEdit, [&](int, int) { log << "after"; });
    bool cancelNext = false;
    QObject::connect(g.get(), &VSGrid::beforeEdit, [&](int r, int c, bool &cancel) {
        log << QString("before %1,%2").arg(r).arg(c);
        cancel = cancelNext;
    });
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 2, 1));
    EXPECT_EQ(g->cellChecked(2, 1), grid::Unchecked);
    EXPECT_EQ(log, QStringList{"click"});

    log.clear();
    g->setEditable(true);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 2, 1));
    EXPECT_EQ(g->cellChecked(2, 1), grid::Checked);
    EXPECT_EQ(log, (QStringList{"before 2,1", "after", "click"}));

    log.clear();
    cancelNext = true;
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 2, 1));
    EXPECT_EQ(g->cellChecked(2, 1), grid::Checked);
    EXPECT_EQ(log, (QStringList{"before 2,1", "click"}));
}

TEST(GridWidgetEvents, CtrlCRaisesKeyPressThreeAndLeavesTheClipboardAlone)
{
    auto g = shownGrid(5, 3);
    g->setTextMatrix(1, 1, "geheim");
    g->select(1, 1);
    QApplication::clipboard()->setText("vorher");
    int ascii = -1;
    QList<QPair<int, int>> keyUps;
    QObject::connect(g.get(), &VSGrid::keyPress, [&](int &k) { ascii = k; });
    QObject::connect(g.get(), &VSGrid::keyUp, [&](int &k, int s) { keyUps.append({k, s}); });
    QTest::keyClick(g.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ascii, 3);
    EXPECT_TRUE(keyUps.contains(qMakePair(67, 2)));
    EXPECT_EQ(QApplication::clipboard()->text(), "vorher");
    // When the window asks, the selection goes to the clipboard.
    g->copySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), "geheim");
    QTest::keyClick(g.get(), Qt::Key_Delete);
    EXPECT_EQ(keyUps.last(), qMakePair(46, 0));
}

TEST(GridWidgetEvents, TypingEditsOnlyWhenEditingIsOnAndFinishEditingRaisesAfterEdit)
{
    auto g = shownGrid(5, 3);
    g->select(2, 1);
    QTest::keyClicks(g.get(), "ab");
    EXPECT_FALSE(g->isEditing());
    EXPECT_EQ(g->textMatrix(2, 1), QString());
    g->setEditable(true);
    int after = 0;
    QObject::connect(g.get(), &VSGrid::afterEdit, [&](int r, int c) {
        ++after;
        EXPECT_EQ(r, 2);
        EXPECT_EQ(c, 1);
    });
    QTest::keyClicks(g.get(), "x");
    ASSERT_TRUE(g->isEditing());
    g->finishEditing();
    EXPECT_FALSE(g->isEditing());
    EXPECT_EQ(after, 1);
    EXPECT_EQ(g->textMatrix(2, 1), "x");
}

TEST(GridWidgetEvents, ListBoxGridPicksRowsWithCtrlAndAPlainClickPicksOne)
{
    auto g = shownGrid(0, 1, 0, 0);
    g->setSelectionMode(VSGrid::SelectionListBox);
    for (const char *t : {"*", "ABC", "DEF", "GHI"})
        g->addItem(t);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 1, 0));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::ControlModifier, inViewport(*g, 3, 0));
    EXPECT_EQ(g->selectedRows(), 2);
    EXPECT_TRUE(g->isSelected(3));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 2, 0));
    EXPECT_EQ(g->selectedRows(), 1);
    EXPECT_TRUE(g->isSelected(2));
}

TEST(GridWidgetSizes, DefaultRowShowsTheDefaultFontAndAutoSizeFitsTheWidestText)
{
    auto g = shownGrid(4, 3);
    EXPECT_LE(QFontMetrics(g->font()).height(), g->cellRect(1, 1).height());
    g->setTextMatrix(0, 1, "Überschrift einer Spalte"); // fixed row counts
    g->setTextMatrix(2, 1, "kurz");
    g->setTextMatrix(2, 2, "kurz");
    g->autoSize(1, 2);
    EXPECT_GE(g->colWidth(1), g->textWidthTwips("Überschrift einer Spalte") - 30);
    EXPECT_GT(g->colWidth(1), g->colWidth(2));
    EXPECT_GE(g->cellRect(0, 1).width(), QFontMetrics(g->font()).horizontalAdvance("Überschrift einer Spalte"));
}

// Sizing gives each column the width of its widest cell, as measuring every cell does, also where
// the widest text is not the one with the most characters, is bold, is shaped (tab, Arabic, emoji)
// or where a merged caption and the values of a Yes/No column do not count.
TEST(GridWidgetSizes, AutoSizeFitsTheWidestCellOfEveryKind)
{
    const QString emoji = QStringLiteral("\U0001F600");
    const struct {
        QStringList texte;
        QString breitester;
        bool fett = false;
    } spalten[] = {
        {{"iiiiiiiiiiiiiiiiiiii", "WWWWWWWWWW", "Müller, Anna", "AVAVAVAVAV"}, {}},
        {{"Tê Tô Ty", "LTA, Vorname", "Zeller, Zoe"}, {}},
        {{"kurz", "etwas länger", "kurz"}, "etwas länger", true},
        {{"a\tb", "abcdefghi", QStringLiteral("سلام عليكم"), emoji + emoji + emoji}, {}},
    };
    auto g = shownGrid(1 + 400, 7);
    // Many similar names, one of them decided only by its letters' widths.
    for (int r = 1; r <= 400; ++r)
        g->setTextMatrix(r, 5, QStringLiteral("Name%1, Vorname").arg(r % 97, 2, 10, QLatin1Char('0')));
    g->setTextMatrix(200, 5, "Mmmmmm, Vorname");
    // Equally long texts of letters that kern, so that the widest is decided by the shaping.
    const QString kern = QStringLiteral("AVTWoyae.,LPrf");
    for (int r = 1; r <= 300; ++r) {
        QString t;
        for (int i = 0; i < 12; ++i)
            t += kern[(r * 7 + i * i * 3 + r / 5 * i) % kern.size()];
        g->setTextMatrix(r, 6, t);
    }
    int erwartet5 = 0;
    for (int r = 0; r <= 400; ++r)
        erwartet5 = std::max(erwartet5, g->textWidthTwips(g->textMatrix(r, 5)));
    for (int c = 0; c < 4; ++c) {
        int erwartet = 0;
        for (int i = 0; i < spalten[c].texte.size(); ++i) {
            const bool fett = spalten[c].fett && spalten[c].texte[i] == spalten[c].breitester;
            g->setTextMatrix(1 + i, 1 + c, spalten[c].texte[i]);
            g->setCellFontBold(1 + i, 1 + c, fett);
            erwartet = std::max(erwartet, g->textWidthTwips(spalten[c].texte[i], fett));
        }
        g->autoSize(1 + c);
        EXPECT_EQ(g->colWidth(1 + c), erwartet) << c;
    }
    g->autoSize(5);
    EXPECT_EQ(g->colWidth(5), erwartet5);
    int erwartet6 = 0;
    for (int r = 0; r <= 400; ++r)
        erwartet6 = std::max(erwartet6, g->textWidthTwips(g->textMatrix(r, 6)));
    g->autoSize(6);
    EXPECT_EQ(g->colWidth(6), erwartet6);
    // Numbers: many of one length, the widest a bold one of the same length, one longer unbold.
    for (int r = 1; r <= 400; ++r) {
        g->setTextMatrix(r, 6, QString::number(100000 + r * 37));
        g->setCellFontBold(r, 6, r == 150);
    }
    g->setTextMatrix(390, 6, "1234567");
    g->autoSize(6);
    EXPECT_EQ(g->colWidth(6), std::max(g->textWidthTwips(g->textMatrix(150, 6), true), g->textWidthTwips("1234567")));

    // A merged caption spans its columns; a Yes/No column's values are check boxes, not texts.
    g->setMergeCells(grid::MergeFree);
    g->setMergeRow(0, true);
    g->setTextMatrix(0, 1, "eine sehr lange gemeinsame Überschrift");
    g->setTextMatrix(0, 2, "eine sehr lange gemeinsame Überschrift");
    g->autoSize(1, 2);
    EXPECT_EQ(g->colWidth(2), std::max({g->textWidthTwips("Tê Tô Ty"), g->textWidthTwips("LTA, Vorname"),
                                        g->textWidthTwips("Zeller, Zoe")}));
    g->setColDataType(3, grid::TypeBoolean);
    g->setTextMatrix(0, 3, "ja");
    g->setTextMatrix(1, 3, "11111111111111111111");
    g->autoSize(3);
    EXPECT_LT(g->colWidth(3), g->textWidthTwips("11111111111111111111"));
    EXPECT_GE(g->colWidth(3), g->textWidthTwips("ja"));
}

TEST(GridWidgetSizes, WritesThroughTheStoreShowAfterRedrawIsSwitchedOn)
{
    auto g = shownGrid(2, 3);
    g->setRedraw(false);
    g->store().setRows(200);
    g->store().setTextMatrix(150, 1, "unten");
    g->setRedraw(true);
    g->setTopRow(140);
    EXPECT_EQ(g->topRow(), 140);
    EXPECT_FALSE(g->cellRect(150, 1).isEmpty());
}

TEST(GridWidgetEvents, ClickTakesTheFocusBeforeMouseDown)
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *g = new VSGrid(&window);
    g->setRows(5);
    g->setCols(3);
    g->setGeometry(0, 30, 300, 200);
    window.resize(320, 260);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QStringList order;
    struct FocusOutSpy : QObject {
        QStringList *order;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::FocusOut)
                *order << "focus-out";
            return false;
        }
    } spy;
    spy.order = &order;
    edit->installEventFilter(&spy);
    QObject::connect(g, &VSGrid::mouseDown, [&](int, int, double, double) { order << "mouseDown"; });
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, inViewport(*g, 2, 1));
    EXPECT_EQ(order, (QStringList{"focus-out", "mouseDown"}));
    EXPECT_TRUE(g->hasFocus());
}

TEST(GridWidgetEvents, DropNamesTheRowUnderTheMouse)
{
    auto g = shownGrid(6, 3);
    g->setOleDropMode(1);
    int dropRow = -1;
    QString dropped;
    QObject::connect(g.get(), &VSGrid::oleDragDrop, [&](const QMimeData *data, int, int, double, double) {
        dropRow = g->mouseRow();
        dropped = data->text();
    });
    QMimeData mime;
    mime.setText("Name");
    const QPoint at = inViewport(*g, 4, 1);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g->viewport(), &drop);
    EXPECT_EQ(dropRow, 4);
    EXPECT_EQ(dropped, "Name");
}
