#pragma once
// One absence: a row of tbl_Fehltage for one person and day, its reading and its two writers.
#include "platform/db.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <array>
#include <optional>

namespace absence {

// What the entry panel holds (texts as shown).
struct AbsenzDaten {
    QString grund;                 // whole-day reason
    std::array<QString, 10> std;   // lessons 1 to 10
    QString bemerkung;
    QString zaehlt;                // "0,0" … "1,0" or ""
    bool entschuldigt = false;
};

// A person's id as her records are looked up: by the one id rule (vt::idSchluessel), or, when the
// rule makes it equal to another person's id (`nurExakt`), only the records stored exactly under
// it (blanks trimmed), so that two persons never share a record.
struct Kennung {
    Kennung(const QString &i, bool exakt = false) : id(i), nurExakt(exakt) {}
    Kennung(const char *i) : id(QString::fromUtf8(i)) {}
    QString id;
    bool nurExakt = false;
    // The value the statements of this id compare with: its comparison form, or its trimmed text.
    QString suchwert() const;
};

// A statement over tbl_Fehltage for the records whose S_Id names the persons sought. `vergleich`
// follows an id's comparison form (vt::idSchluessel) and names the forms sought ("= ?1", "IN (…)");
// empty when none. `exaktWerte` is a query yielding, as `value`, the trimmed ids whose records are
// those stored exactly under them ("SELECT ?1 AS value", "SELECT value FROM json_each(?4)"); empty
// when none. `weitere` adds conditions (" AND …"); `formenAscii` when every form sought is ASCII.
// The rows carry the columns, then their rowid as "nr", the id they were found by as "form" (the
// comparison form, or the trimmed id for an exact one) and "exakt" (1 for an exact one), ordered
// by `ordnung` (when empty, each id's rows come in the order of the index: by day, then as written).
QString fehltageSql(const QString &spalten, const QString &vergleich, const QString &weitere, const QString &ordnung,
                    bool formenAscii, const QString &exaktWerte = QString());
// Only characters below 128.
bool istAscii(const QString &s);
// Only characters from blank to "~".
bool druckbaresAscii(const QString &s);

enum class Schreibergebnis { Nichts, Hinzugefuegt, Geaendert, Geloescht };

class Absenz {
public:
    static const QString KrBemerkung; // "Bei 'kr' darf keine Bemerkung gespeichert werden."
    static constexpr int MaxBemerkung = 49;
    static constexpr int MaxCode = 2;

    static bool istKr(const QString &grund);

    // The record of the person (by the one id rule) on the day, or nothing.
    static std::optional<AbsenzDaten> laden(zdb::Db &eigen, const Kennung &id, const QDate &tag);
    // Writes the panel: adds the record for a reason, changes it, or deletes the day's record
    // when the reason is empty. A count text that is no number keeps the stored value.
    static Schreibergebnis speichern(zdb::Db &eigen, const Kennung &id, const QDate &tag, const AbsenzDaten &panel,
                                     const QDateTime &jetzt = QDateTime::currentDateTime());
    // Whole-day entry from the calendar: sets the reason (new record counts "1,0") or deletes it.
    static Schreibergebnis ganztagSpeichern(zdb::Db &eigen, const Kennung &id, const QDate &tag, const QString &grund,
                                            const QDateTime &jetzt = QDateTime::currentDateTime());

    // Count box: the text with "0" appended, read with the decimal comma, to the nearest tenth
    // within 0 and 1, as "0,0" … "1,0". Nothing when it is no number.
    static std::optional<QString> zaehltNormalisieren(const QString &text);
    // A remark as the panel keeps it (at most 49 characters).
    static QString bemerkungKuerzen(const QString &text);

    // All records of a person, earliest day first (for the person's absence list).
    struct Zeile {
        QDate fehltag;
        QString grund;
        std::array<QString, 10> std;
        bool entschuldigt = false;
        QString zaehlt, bemerkung;
    };
    static QVector<Zeile> derPerson(zdb::Db &eigen, const Kennung &id);
    // The statement derPerson runs for the id (?1 the id's Kennung::suchwert).
    static QString derPersonSql(const Kennung &id);
};

} // namespace absence
