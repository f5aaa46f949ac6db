#pragma once
// The lists window's logic without the window: the statement cut out of the typed text, the run
// on the grade manager's read-only connection, the cell texts, and the query files.
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace listen {

// At most the rows one worksheet holds below its header row.
constexpr int MaxZeilen = 1048575;

// The statement from the first "SELECT" (also inside a word; the text before it is a comment),
// every line break one blank, cut after the last ";" or closed with one.
struct Anweisung {
    bool hatSelect = false;
    QString text;
};
Anweisung anweisungAusText(const QString &sqlText);

// "3 Datensätze"
QString anzahlText(int anzahl);

// A cell as the window shows it: numbers "4", "1,5"; DATE columns "dd.mm.yyyy" (with the time
// when it is not midnight); Yes/No "Wahr"/"Falsch"; Null empty.
QString zellenText(const zdb::Result &r, int row, int col);

struct Ergebnis {
    enum Status { KeinSelect, Abgebrochen, Fehler, Leer, Daten };
    Status status = Fehler;
    QStringList felder;
    QVector<QStringList> zeilen;
};

// Where a statement runs. Standard: the grade manager's read-only connection.
struct Verbindung {
    std::function<bool()> oeffnen;
    std::function<zdb::Db &()> db;
    std::function<void()> schliessen;
    static Verbindung nmNurLesen();
};

// Runs the typed text: no "SELECT" gives KeinSelect without opening anything; a statement
// that is no single query, or that the database refuses, gives Fehler (connection closed again).
Ergebnis ausfuehren(const QString &sqlText, const Verbindung &verbindung = Verbindung::nmNurLesen());

// The window admits "X" and "XS" (the abbreviation as typed, upper-cased, not trimmed).
bool istZugelassen(const QString &benutzer);

// ---- query files
// Every double quote becomes an apostrophe (as the file is saved and the box shows it).
QString anfuehrungszeichenErsetzen(const QString &text);
// Writes the text in UTF-8 with CR LF line ends; false, with the file and a German reason in
// *fehler, when the file cannot be written (the former file stays as it was).
bool abfrageSpeichern(const QString &pfad, const QString &text, QString *fehler = nullptr);
// Reads a file (UTF-8, else Windows-1252) with its line breaks as "\n"; false when unreadable.
bool abfrageLaden(const QString &pfad, QString *text);
// "*.sql" regardless of case, sorted by name.
QStringList abfrageDateien(const QString &ordner);

// The workbook name: "….xls" gets ".xlsx", a name without an extension gets ".xlsx".
QString excelDateiname(const QString &name);
// The folder part of a file name ("" for a bare name).
QString ordnerVon(const QString &dateiname);

} // namespace listen
