#pragma once
// Rows of tbl_Termin: reading them, and entering, changing and deleting one entry.
// Every look-up-then-write runs in one write transaction; the row is re-read by its Id there.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>

namespace zdb {
class Db;
}

namespace kalender {

// The calendar's clock; tests set a fixed one (nullptr restores the system clock).
QDateTime jetzt();
void setUhr(std::function<QDateTime()> uhr);

struct Termin {
    qint64 id = 0;
    QDateTime datum;         // invalid when Null
    QString klasse, fach, lehrkraft, bemerkung; // as stored, "" for Null
    bool nichtInternet = false;
    QDateTime eingetragenDatum; // invalid when Null
    QString eingetragenPerson;
    QDateTime geloeschtDatum;   // invalid when Null
    QString geloeschtPerson;
    bool geloescht = false;     // geloeschtDatum neither Null nor empty

    // The calendar day when Datum is a plain date (no time part), else invalid.
    QDate tag() const;
};

// All entries, deleted ones included, in the order they were made.
QVector<Termin> alleTermine(zdb::Db &db);
// The entries of one class and day, active first, deleted ones in the order of their deletion.
QVector<Termin> termineVonTag(zdb::Db &db, const QString &klasse, const QDate &datum);
// The entries of one teacher, by class (grade number first), class, subject and date.
QVector<Termin> termineVonLehrkraft(zdb::Db &db, const QString &lehrkraft);

// What the three HTML plans read, in one pass over the table.
struct PlanTermine {
    // Every entry (without the persons' columns), ordered by date and subject (in German order):
    // the table plans' order.
    QVector<Termin> termine;
    // Indices into `termine` of the entries not marked "nicht Internet", in the plan by class's
    // order: class (grade number first, classes without one after grade 19, then name in German
    // order), subject (German order; class trips and other dates last), date.
    QVector<int> klassenplan;
};
PlanTermine termineFuerPlaene(zdb::Db &db);

constexpr int MaxBemerkung = 50;

struct NeuerTermin {
    QDate datum;
    QString klasse, fach, lehrkraft, bemerkung;
};

enum class Eintragen { Eingetragen, BereitsEingetragen };
// Inserts an entry made by `benutzer` now. A subject (not "KF"/"so") that the same teacher already
// has active on that day in that class is refused, also when another workstation entered it meanwhile.
Eintragen terminEintragen(zdb::Db &db, const NeuerTermin &t, const QString &benutzer, qint64 *neueId = nullptr);

enum class Aenderung { Gespeichert, NichtGefunden, KeinRecht };
// Writes "nicht Internet" and the remark (trimmed, at most 50 characters) of one entry.
Aenderung terminAendern(zdb::Db &db, qint64 id, bool nichtInternet, const QString &bemerkung,
                        const QString &benutzer, QString *lehrkraftFuerMeldung = nullptr);

enum class Loeschung { Entfernt, AlsGeloeschtMarkiert, NichtAktiv, KeinRecht };
// Deletes one active entry: removed for good within a minute of its entry time (re-read from the
// database), else marked with the deletion time and the deleting user.
Loeschung terminLoeschen(zdb::Db &db, qint64 id, const QString &benutzer, QString *lehrkraftFuerMeldung = nullptr);
// The deletion rule alone, inside a write transaction the caller holds: removes the row for good
// within a minute of `eingetragen`, else marks it deleted now by the trimmed `benutzer`.
Loeschung loeschRegelAnwenden(zdb::Db &db, qint64 id, const QDateTime &eingetragen, const QString &benutzer);

} // namespace kalender
