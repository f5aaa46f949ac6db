#pragma once
// The exam-plan grid as a printable workbook: the shown rows (weekend rows and hidden rows left
// out) and shown columns, grey header row and day column, thin cell lines, a medium line under
// the header and every Friday and between class grades, holiday rows in colour, cell notes as
// comments, a title and the export time above the table.
#include <QDateTime>
#include <QString>
#include <functional>

class VSGrid;
namespace xlsx { class Workbook; }

namespace kalender {

// Fills the first sheet of `book` from the grid; `fortschritt` (may be empty) gets (x, xmax) as it goes.
void gridInMappe(const VSGrid &grid, xlsx::Workbook &book, const QDateTime &jetzt,
                 const std::function<void(double, double)> &fortschritt = {});

// Writes the workbook under `dateiname` (".xls" is written as ".xlsx") through the safe writer, which
// replaces an existing file only by the whole new one. false (with the file and a German reason in
// *fehler) when it cannot be written; the old file is then unchanged.
bool GridNachExcel(const VSGrid &grid, const QString &dateiname, QString *fehler = nullptr,
                   const std::function<void(double, double)> &fortschritt = {});

} // namespace kalender
