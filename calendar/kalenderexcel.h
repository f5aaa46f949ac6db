#pragma once
// "Excel-Export" of the exam plan without a window: the save dialog's folder and proposed name,
// the chosen path remembered, and the workbook written with the text that tells the outcome.
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;
class VSGrid;

namespace kalender {

// The text with the characters file names may not hold replaced (" -> ', * / \ : < > ? | -> _, [ ] -> ( )).
QString DateinameBereinigen(const QString &text);

// The save dialog: parent, start folder and proposed file name in; the chosen full path out, "" when cancelled.
using SpeicherDialog = std::function<QString(QWidget *parent, const QString &ordner, const QString &vorschlag)>;

// The folder of the workbook saved last (the user's folder at first use).
QString exportOrdner();
// "SchA-Kalender YYYY-MM-DD hh-nn.xlsx", cleaned for a file name.
QString exportVorschlag(const QDateTime &jetzt);
// The chosen path as it is written (".xls" and a name without extension become ".xlsx"),
// remembered as the last one also when the export then does not happen.
QString exportPfadMerken(const QString &gewaehlt);

struct ExportErgebnis {
    bool gespeichert = false;
    QString meldung; // German text that tells the outcome
};
// Writes the workbook at `pfad` (from exportPfadMerken). An existing file is replaced only with
// `ersetzen` (the user agreed); otherwise it stays and nothing is saved.
ExportErgebnis excelExportSchreiben(const VSGrid &grid, const QString &pfad, bool ersetzen,
                                    const std::function<void(double, double)> &fortschritt = {});

} // namespace kalender
