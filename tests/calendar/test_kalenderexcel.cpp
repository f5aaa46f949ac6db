// The calendar's Excel export: what the table holds and how it is drawn, and the save-dialog road.
#include "calendar/frm_kalender.h"
#include "calendar/gridexcel.h"
#include "calendar/kalenderexcel.h"
#include "platform/grid/vsgrid.h"
#include "platform/settings.h"
#include "platform/xlsxbook.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kalender;

namespace {

// A small exam plan: header, Thursday, Friday, weekend (thin), hidden row, Monday (school holiday),
// Tuesday (public holiday); classes 5a, 5b, 6a, hidden 7a, 10a.
void planFuellen(VSGrid &fg)
{
    const QStringList kopf{"", "5a", "5b", "6a", "7a", "10a"};
    const QStringList tage{"Do 09.10.", "Fr 10.10.", "Sa 11.10.", "So 12.10.", "Mo 13.10.", "Di 14.10."};
    fg.setRows(1 + tage.size());
    fg.setCols(kopf.size());
    fg.setFixedRows(1);
    fg.setFixedCols(1);
    for (int c = 0; c < kopf.size(); ++c)
        fg.setTextMatrix(0, c, kopf[c]);
    for (int r = 1; r <= tage.size(); ++r) {
        fg.setTextMatrix(r, 0, tage[r - 1]);
        fg.setRowHeight(r, tage[r - 1].startsWith("S") ? 30 : 240);
    }
    fg.setColHidden(4, true);
    fg.setTextMatrix(1, 1, "M");
    fg.setCellData(1, 1, QStringLiteral("Mathematik (MÜL)\n"));
    fg.setCellData(1, 2, QStringLiteral("   "));
    fg.setCellData(0, 1, QStringLiteral("Kopfnotiz"));
    fg.setCellData(2, 0, QStringLiteral("Tagesnotiz"));
    fg.setTextMatrix(2, 3, "D");
    fg.setCellBackColor(2, 3, 0xC0FFC0); // a recently changed cell: not copied
    fg.setCellBackColor(5, 0, 5, 5, 65535);
    fg.setCellBackColor(6, 0, 6, 5, 255);
}

class KalenderExcel : public ::testing::Test {
protected:
    testsupport::Sandbox sb;
    VSGrid fg;
    void SetUp() override { planFuellen(fg); }
};

TEST_F(KalenderExcel, OnlyShownRowsAndColumnsAreCopiedWithNotesAsComments)
{
    xlsx::Workbook book;
    gridInMappe(fg, book, QDateTime(QDate(2017, 3, 21), QTime(14, 5)));
    const auto &ws = book.sheet(1);
    EXPECT_EQ(ws.text(1, 1), "Schulaufgabenkalender (intern - nicht zur Weitergabe an Schüler oder Eltern!!!)");
    EXPECT_EQ(ws.style(1, 1).fontName, "Arial");
    EXPECT_TRUE(ws.style(1, 1).bold);
    EXPECT_EQ(ws.text(2, 1), "exportiert am 21.03.2017 14:05");
    // Header row 4, then Thursday, Friday, Monday, Tuesday; the hidden 7a is left out without a gap.
    EXPECT_EQ(ws.text(4, 4), "6a");
    EXPECT_EQ(ws.text(4, 5), "10a");
    EXPECT_EQ(ws.text(6, 1), "Fr 10.10.");
    EXPECT_EQ(ws.text(7, 1), "Mo 13.10.");
    EXPECT_EQ(ws.lastRow(), 8);
    EXPECT_EQ(ws.lastCol(), 5);
    EXPECT_EQ(ws.comment(5, 2), "Mathematik (MÜL)\n");
    EXPECT_TRUE(ws.comment(5, 3).isEmpty()); // blank note
    EXPECT_TRUE(ws.comment(4, 2).isEmpty()); // header row
    EXPECT_TRUE(ws.comment(6, 1).isEmpty()); // day column
}

TEST_F(KalenderExcel, HolidaysGreyHeaderAndTheLinesOfWeeksAndGrades)
{
    xlsx::Workbook book;
    gridInMappe(fg, book, QDateTime::currentDateTime());
    const auto &ws = book.sheet(1);
    const uint32_t gelb = xlsx::rgbFromColorIndex(6), rot = xlsx::rgbFromColorIndex(3),
                   grau = xlsx::rgbFromColorIndex(15);
    EXPECT_EQ(ws.style(7, 2).fill, gelb);
    EXPECT_EQ(ws.style(8, 5).fill, rot);
    EXPECT_EQ(ws.style(7, 1).fill, grau); // column A stays grey
    EXPECT_EQ(ws.style(4, 3).fill, grau);
    EXPECT_EQ(ws.style(6, 4).fill, xlsx::Automatic); // other colours are not copied
    EXPECT_EQ(ws.style(5, 3).left.weight, xlsx::Thin); // 5a | 5b
    EXPECT_EQ(ws.style(5, 4).left.weight, xlsx::Medium); // 5b | 6a: next grade
    EXPECT_EQ(ws.style(5, 5).left.weight, xlsx::Medium); // 6a | 10a
    EXPECT_EQ(ws.style(8, 5).right.weight, xlsx::Medium); // beyond the last class with a number
    EXPECT_EQ(ws.style(4, 2).bottom.weight, xlsx::Medium); // under the header
    EXPECT_EQ(ws.style(6, 3).bottom.weight, xlsx::Medium); // under Friday
    EXPECT_EQ(ws.style(5, 3).bottom.weight, xlsx::Thin);
    EXPECT_EQ(ws.style(8, 1).bottom.weight, xlsx::Thin);
}

TEST_F(KalenderExcel, DateinameBereinigenReplacesWhatFileNamesMayNotHold)
{
    EXPECT_EQ(DateinameBereinigen("Plan: [7a] \"neu\" a/b\\c*?<>|"), "Plan_ (7a) 'neu' a_b_c_____");
    EXPECT_EQ(DateinameBereinigen("SchA-Kalender 2017-03-21 14-05.xlsx"), "SchA-Kalender 2017-03-21 14-05.xlsx");
}

TEST_F(KalenderExcel, TheExportSavesRemembersTheFolderAndAsksBeforeReplacing)
{
    QDir(sb.path()).mkpath("plaene");
    int aufgebaut = 0;
    QStringList ordner;
    const QString ziel = sb.file("plaene/Plan.xls");
    auto dialog = [&](QWidget *, const QString &o, const QString &vorschlag) {
        ordner << o;
        EXPECT_TRUE(vorschlag.startsWith("SchA-Kalender ") && vorschlag.endsWith(".xlsx"));
        return ziel;
    };
    {
        testsupport::MsgRecorder rec;
        const QString pfad = frm_Kalender::excelExport(fg, [&] { ++aufgebaut; }, nullptr, dialog);
        EXPECT_EQ(pfad, sb.file("plaene/Plan.xlsx"));
        ASSERT_EQ(rec.boxes.size(), 1);
        EXPECT_TRUE(rec.texts()[0].startsWith("Die gewünschte Excel-Datei wurde erstellt und gespeichert unter: \r"
                                              + pfad + "\r\rAchtung: Dieser Plan dient nur internen Zwecken!"));
        EXPECT_EQ(testsupport::xlsxCells(pfad).value("B4"), "5a");
    }
    EXPECT_EQ(aufgebaut, 1);
    EXPECT_EQ(ordner[0], QDir::homePath()); // first use: no folder stored yet
    EXPECT_EQ(settings::getSetting("frm_Kalender", "SchA-Kalender"), sb.file("plaene/Plan.xlsx"));
    {
        // The same name again: No keeps the file.
        QFile f(sb.file("plaene/Plan.xlsx"));
        const qint64 groesse = QFileInfo(f).size();
        testsupport::MsgRecorder rec;
        EXPECT_TRUE(frm_Kalender::excelExport(fg, {}, nullptr, dialog).isEmpty());
        EXPECT_EQ(rec.texts(), QStringList({"Diese Datei existiert bereits. Soll sie überschrieben werden?",
                                            "Die Datei wurde NICHT gespeichert!"}));
        EXPECT_EQ(rec.boxes[0].buttons, msg::YesNo | msg::DefaultButton2);
        EXPECT_EQ(QFileInfo(f).size(), groesse);
    }
    EXPECT_EQ(ordner[1], sb.file("plaene"));
    {
        testsupport::MsgRecorder rec([](const msg::Request &) { return int(msg::Yes); });
        EXPECT_FALSE(frm_Kalender::excelExport(fg, {}, nullptr, dialog).isEmpty());
    }
}

TEST_F(KalenderExcel, ACancelledDialogSavesNothingAndKeepsTheStoredPath)
{
    settings::saveSetting("frm_Kalender", "SchA-Kalender", sb.file("alt.xlsx"));
    testsupport::MsgRecorder rec;
    EXPECT_TRUE(frm_Kalender::excelExport(fg, {}, nullptr, [](QWidget *, const QString &, const QString &) { return QString(); })
                    .isEmpty());
    EXPECT_EQ(rec.texts(), QStringList({"Sie haben keine Datei ausgewählt! Es wurde NICHTS gespeichert!"}));
    EXPECT_EQ(settings::getSetting("frm_Kalender", "SchA-Kalender"), sb.file("alt.xlsx"));
}

TEST_F(KalenderExcel, AnUnwritableFolderIsReportedNotCalledSaved)
{
    testsupport::MsgRecorder rec;
    const QString pfad = frm_Kalender::excelExport(fg, {}, nullptr, [&](QWidget *, const QString &, const QString &) {
        return sb.file("gibtsnicht/Plan.xlsx");
    });
    EXPECT_TRUE(pfad.isEmpty());
    ASSERT_EQ(rec.boxes.size(), 1);
    EXPECT_TRUE(rec.texts()[0].startsWith("Die Excel-Datei konnte nicht erstellt werden."));
}

// The workbook a user keeps from an earlier export; its first cell tells whether it is still whole.
void alteMappe(const QString &pfad)
{
    xlsx::Workbook b;
    b.sheet(1).setValue(1, 1, QStringLiteral("alte Fassung"));
    ASSERT_TRUE(b.save(pfad));
}

QString ersteZelle(const QString &pfad) { return testsupport::xlsxCells(pfad).value("A1"); }

TEST_F(KalenderExcel, AWriteProtectedOrLockedWorkbookIsRefusedAndKept)
{
    const QString pfad = sb.file("Plan.xlsx");
    auto dialog = [&](QWidget *, const QString &, const QString &) { return pfad; };
    auto exportieren = [&] {
        testsupport::MsgRecorder rec([](const msg::Request &) { return int(msg::Yes); });
        EXPECT_TRUE(frm_Kalender::excelExport(fg, {}, nullptr, dialog).isEmpty());
        return rec.texts();
    };
    auto abgelehnt = [&](const QString &grund) {
        return QStringList({"Diese Datei existiert bereits. Soll sie überschrieben werden?",
                            "Die Excel-Datei konnte nicht erstellt werden.\rDatei: " + pfad + "\rGrund: " + grund});
    };
    alteMappe(pfad);
    // Write-protected: refused also for root, as Windows refuses a read-only file.
    ASSERT_EQ(chmod(QFile::encodeName(pfad).constData(), 0444), 0);
    EXPECT_EQ(exportieren(), abgelehnt("Die Datei ist schreibgeschützt."));
    EXPECT_EQ(ersteZelle(pfad), "alte Fassung");
    ASSERT_EQ(chmod(QFile::encodeName(pfad).constData(), 0644), 0);

    for (const auto art : {testsupport::FremdeSperre::Posix, testsupport::FremdeSperre::Flock}) {
        SCOPED_TRACE(art == testsupport::FremdeSperre::Posix ? "fcntl" : "flock");
        testsupport::FremdeSperre sperre(pfad, art);
        ASSERT_TRUE(sperre.haelt());
        EXPECT_EQ(exportieren(), abgelehnt("Die Datei ist in einem anderen Programm geöffnet."));
        EXPECT_EQ(ersteZelle(pfad), "alte Fassung");
    }
    EXPECT_EQ(QDir(sb.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Plan.xlsx"});
}

TEST_F(KalenderExcel, AFullDiskKeepsTheOldWorkbookAndSaysSo)
{
    const QString pfad = sb.file("Plan.xlsx");
    alteMappe(pfad);
    const QString meldung = testsupport::beiVollemDatentraeger([&] {
        const ExportErgebnis e = excelExportSchreiben(fg, pfad, true);
        return e.gespeichert ? QStringLiteral("gespeichert") : e.meldung;
    });
    EXPECT_TRUE(meldung.startsWith("Die Excel-Datei konnte nicht erstellt werden.\rDatei: " + pfad
                                   + "\rGrund: Der Datenträger ist voll"))
        << meldung.toStdString();
    EXPECT_EQ(ersteZelle(pfad), "alte Fassung");
}

TEST_F(KalenderExcel, AnExportKilledWhileReplacingLeavesAWholeWorkbook)
{
    // A large plan, so that a kill meets the export at work.
    fg.setRows(400);
    fg.setCols(60);
    for (int r = 1; r < 400; ++r) {
        fg.setRowHeight(r, 240);
        fg.setTextMatrix(r, 0, QStringLiteral("Mo %1").arg(r));
        for (int c = 1; c < 60; ++c) {
            fg.setTextMatrix(r, c, QStringLiteral("M%1").arg(r * c));
            fg.setCellData(r, c, QStringLiteral("Mathematik (Notiz %1)").arg(c));
        }
    }
    const QString pfad = sb.file("Plan.xlsx");
    alteMappe(pfad);
    for (int i = 1; i <= 8; ++i) {
        const pid_t pid = fork();
        if (pid == 0)
            for (;;)
                excelExportSchreiben(fg, pfad, true);
        usleep(useconds_t(5000 + i * 9000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const QString a1 = ersteZelle(pfad);
        EXPECT_TRUE(a1 == "alte Fassung" || a1.startsWith("Schulaufgabenkalender")) << "Durchgang " << i;
    }
}

} // namespace

