#pragma once
// The lists window's logic without the window: the statement cut out of the typed text, the run
// on the grade manager's read-only connection, the cell texts, and the query files.
#include "platform/accesssql_run.h"
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <atomic>
#include <functional>
#include <thread>

namespace listen {

// At most the rows one worksheet holds below its header row.
constexpr int MaxZeilen = 1048575;
// A result that would need more memory than this is not shown. One value needs about four
// bytes for each of its bytes (the engine's value, a working copy, two bytes a character as
// text), so the engine makes none larger than a quarter of it.
constexpr qint64 MaxBytes = qint64(1) << 30;
constexpr qint64 wertGrenze(qint64 maxBytes) { return maxBytes < 0 ? -1 : maxBytes / 4; }

// The statement from the first "SELECT" (also inside a word; the text before it is a comment),
// every line break one blank, cut after the last ";" or closed with one.
struct Anweisung {
    bool hatSelect = false;
    QString text;
};
Anweisung anweisungAusText(const QString &sqlText);

// "3 Datensätze"
QString anzahlText(int anzahl);

struct Ergebnis {
    // Abgebrochen: the database wait or the running statement was given up; nothing is shown.
    // Fehler: the statement is wrong; Datenbankfehler: the file is (busy, unreadable, gone away,
    // told in meldung).
    enum Status { KeinSelect, Abgebrochen, Fehler, Leer, Daten, ZuGross, Datenbankfehler };
    Status status = Fehler;
    QString meldung;
    QStringList felder;
    grid::TextTable zeilen;
    bool abgeschnitten = false; // Daten: more rows than the cap, the rest not read
};

// Limits of one run; weiter is asked often in every phase of the run (on the run's thread) and
// ends it with false.
struct Grenzen {
    int maxZeilen = MaxZeilen;
    qint64 maxBytes = MaxBytes;
    std::function<bool(accesssql::RunPhase)> weiter;
};

// Where a statement runs. Standard: the grade manager's read-only connection.
struct Verbindung {
    std::function<bool()> oeffnen;
    std::function<zdb::Db &()> db;
    std::function<void()> schliessen;
    static Verbindung nmNurLesen();
};

// What a run reads: its statement and the database file. status is Daten when it can run;
// otherwise the run ends with that status (KeinSelect, Fehler, Abgebrochen).
struct Auftrag {
    Ergebnis::Status status = Ergebnis::Fehler;
    QString anweisung;
    QString datei;
};
// On the caller's thread: the statement cut out of the text and checked to be a single query
// (no "SELECT": nothing is opened), then the file looked up through the connection, which waits
// for it as every piece of work does and is closed again at once.
Auftrag vorbereiten(const QString &sqlText, const Verbindung &verbindung = Verbindung::nmNurLesen());
// On any thread: the statement run on a read-only connection of its own to the file, closed
// again however the run ends. A statement the database refuses gives Fehler, a fault of the file
// itself Datenbankfehler. abbruch, when given, ends the run from another thread at once.
Ergebnis lesen(const Auftrag &auftrag, const Grenzen &grenzen = {}, accesssql::Interrupt *abbruch = nullptr);
// Both on the caller's thread. Cells as the program shows values: numbers "4", "1,5"; dates
// "dd.mm.yyyy" (with the time when it is not midnight), also computed ones; Yes/No
// "Wahr"/"Falsch"; Null empty.
Ergebnis ausfuehren(const QString &sqlText, const Verbindung &verbindung = Verbindung::nmNurLesen(),
                    const Grenzen &grenzen = {});

// lesen on a thread of its own, started at once, so that the caller's thread stays free (the
// window keeps painting). fertig is called on the run's thread once the result is there.
class Hintergrundlauf {
public:
    Hintergrundlauf(Auftrag auftrag, Grenzen grenzen, std::function<void()> fertig);
    // Gives the run up and waits for its thread.
    ~Hintergrundlauf();
    Hintergrundlauf(const Hintergrundlauf &) = delete;
    Hintergrundlauf &operator=(const Hintergrundlauf &) = delete;

    // Any thread: interrupts the engine where it stands; the result is then Abgebrochen.
    void abbrechen() { m_abbruch.stop(); }
    bool fertig() const { return m_fertig.load(); }
    // The phase the run last reported.
    accesssql::RunPhase phase() const { return m_phase.load(); }
    // Waits for the run's end and hands its result over (once).
    Ergebnis ergebnis();

private:
    accesssql::Interrupt m_abbruch;
    std::atomic<bool> m_fertig{false};
    std::atomic<accesssql::RunPhase> m_phase{accesssql::RunPhase::Engine};
    Ergebnis m_ergebnis;
    std::thread m_faden;
};

// "Die Liste wurde nach 1.048.575 Datensätzen abgeschnitten." and the message of a result too big.
QString abgeschnittenText(int zeilen);
QString zuGrossText();

// The window admits "X" and "XS" (the abbreviation as typed, upper-cased, not trimmed).
bool istZugelassen(const QString &benutzer);

// ---- query files
// Every double quote becomes an apostrophe (as the file is saved and the box shows it).
QString anfuehrungszeichenErsetzen(const QString &text);
// Writes the text in UTF-8 with CR LF line ends; false, with the file and a German reason in
// *fehler, when the file cannot be written (the former file stays as it was).
bool abfrageSpeichern(const QString &pfad, const QString &text, QString *fehler = nullptr);
// Reads a file (UTF-8, else Windows-1252; UTF-16 with its byte-order mark) with its line breaks as
// "\n"; false, with the file and a German reason in *fehler, when it cannot be read or is no text.
bool abfrageLaden(const QString &pfad, QString *text, QString *fehler = nullptr);
// "*.sql" regardless of case, sorted by name in German order.
QStringList abfrageDateien(const QString &ordner);
// The folder's subfolders, sorted by name in German order.
QStringList unterordner(const QString &ordner);

// The workbook name: "….xls" gets ".xlsx", a name without an extension gets ".xlsx".
QString excelDateiname(const QString &name);
// The folder part of a file name ("" for a bare name).
QString ordnerVon(const QString &dateiname);

} // namespace listen
