#pragma once
// The school office's tools on the exam calendar: the window's own clipboard of one entry,
// pasting it into other cells and deleting the entries of marked (violet) cells.
#include <QDate>
#include <QString>
#include <QVector>

namespace zdb {
class Db;
}

namespace kalender {

constexpr long FarbeMarkiert = 0xFF00FF; // violet

// One copied entry; not the system clipboard.
struct Zwischenablage {
    QString fach, lehrkraft, bemerkung;
    bool nichtInternet = false;
    bool leer() const { return fach.trimmed().isEmpty(); }
};

QString meldungKopiert(const Zwischenablage &z);
QString meldungMehrereTermineKopieren();
QString meldungKeineDatenZumKopieren();
QString meldungMehrereTermineMarkieren();
QString frageMarkierteLoeschen(int anzahl);

// Pastes the clipboard as a new entry of `klasse` on `datum`, made by `benutzer` now.
// No duplicate test. Only the school office may paste: 0 (nothing written) for anybody else,
// for an empty clipboard or a missing day or class; else the new entry's Id.
qint64 terminEinfuegen(zdb::Db &db, const QDate &datum, const QString &klasse, const Zwischenablage &z,
                       const QString &benutzer);

struct MarkierteZelle {
    QDate datum;
    QString klasse;
};

struct ZellErgebnis {
    bool geloescht = false; // the one active entry of the cell was deleted
    QString faecher;        // the cell's active subjects afterwards, joined by a blank
};

// Deletes, in one write transaction, the active entry of each marked cell when the cell has exactly
// one (as the database holds it now), by the deletion rule. Only the school office may do this:
// for anybody else nothing is written and every result is empty.
QVector<ZellErgebnis> markierteLoeschen(zdb::Db &db, const QVector<MarkierteZelle> &zellen, const QString &benutzer);

} // namespace kalender
