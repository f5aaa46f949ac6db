#pragma once
// "Lehrerliste ==> Excel": every teacher of the grade manager in a new workbook, handed to the
// spreadsheet program unsaved (saved in the temporary folder and opened there).
#include <QDate>
#include <QString>
#include <QVector>

namespace zdb { class Db; class DbError; }
namespace xlsx { class Workbook; }

namespace lehrerliste {

struct Lehrer {
    QString kuerzel, name, vorname, dienstbezeichnung; // Null as ""
};

// The teachers except "X" and "XS", by name and first name.
QVector<Lehrer> lehrerLesen(zdb::Db &nm);

// The sheet: title with the day of creation, headings in row 3, one row per teacher from row 4,
// eight narrow columns beside them, medium outer and thin inner borders, print titles.
void blattFuellen(xlsx::Workbook &book, const QVector<Lehrer> &lehrer, const QDate &heute);

// What a run did, for the menu handler to tell the user.
struct Ergebnis {
    bool angelegt = false;
    QString meldung; // German, lines separated by CR
};

// The message for a failed read of the teachers.
QString lesefehlerText(const zdb::DbError &e);

// The workbook of the read teachers, handed to the spreadsheet program unsaved; no teachers: no
// workbook, "Es wurden keine Lehrer gefunden.".
Ergebnis arbeitsmappeAnlegen(const QVector<Lehrer> &lehrer, const QDate &heute);

// The menu action mnuLehrerliste.
void mnuLehrerliste_Click();

} // namespace lehrerliste
