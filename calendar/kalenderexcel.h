#pragma once
// "Excel-Export" of the exam plan: the grid rebuilt, a file chosen in a save dialog (the folder
// used last, a time-stamped name), an existing file replaced only after asking, the workbook
// written and the reminder that the plan is for internal use.
#include <QString>
#include <functional>

class QWidget;
class VSGrid;

namespace kalender {

// The text with the characters file names may not hold replaced (" -> ', * / \ : < > ? | -> _, [ ] -> ( )).
QString DateinameBereinigen(const QString &text);

// The save dialog: parent, start folder and proposed file name in; the chosen full path out, "" when cancelled.
using SpeicherDialog = std::function<QString(QWidget *parent, const QString &ordner, const QString &vorschlag)>;

// The button cmdExcel of frm_Kalender. `neuAufbauen` rebuilds the grid as the window shows it
// (its load handler, then the "nur meine Klassen" filter). `dialog` empty: the real save dialog.
// Returns the path written, "" when nothing was saved.
QString ExcelExport(VSGrid &fgKalender, const std::function<void()> &neuAufbauen, QWidget *parent = nullptr,
                    const SpeicherDialog &dialog = {});

} // namespace kalender
