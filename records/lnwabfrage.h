#pragma once
// The course selections of the performance-record overview and the statements built from
// them. A selection is a condition on the course table (alias Unt) with bound parameters;
// the course statement, the grade read and the weight read all use the same condition, so
// the grades and weights of every selected course come with one statement each.
#include "platform/db.h"

#include <QString>
#include <QVector>
#include <optional>

namespace lnw {

enum class Sicht { Lehrer, Fach, Eigen };

struct KursAbfrage {
    Sicht sicht = Sicht::Eigen;
    QString bedingung; // SQL over Unt.*, placeholders "?"
    zdb::Params params;
    bool alle = false; // "*": every course

    // One record per test (LNW row) of the selected courses, records of one course adjacent:
    // Fach, Klasse, Lehrkraft, Spalte, Notenart, Bemerkung, Schnitt, Zeit, Geschrieben, Rückgabe, Abgabe, LfdNr.
    // ueberKurse: the courses are read first and their rows through the index on UIndex, so that a
    // view of few courses costs what it shows, not what the school holds.
    QString kursSql(bool ueberKurse = false) const;
    // Fach, Klasse, Lehrkraft, Index and the 18 grade fields of every pupil row of the selected courses.
    QString notenSql(bool aeltereForm, bool ueberKurse = false) const;
    // Index and the 18 weights of every selected course.
    QString gewichteSql(bool aeltereForm) const;
    // The Index of every selected course.
    QString indexSql() const;
    // The same selection narrowed to the courses of a JSON array of their Index values, so that
    // the course table is searched once and then read by its key.
    KursAbfrage nurKurse(const QString &indexJson) const;
};

// One entry of a selection list.
struct ListenEintrag {
    QString text;
    bool gewaehlt = false;
};

// "*" selected in row 0 gives every course; otherwise the selected entries; nothing when none.
std::optional<KursAbfrage> nachLehrern(const QVector<ListenEintrag> &liste);
std::optional<KursAbfrage> nachFaechern(const QVector<ListenEintrag> &liste);
// The user's own courses (teacher compared without regard to case).
KursAbfrage eigenerUnterricht(const QString &benutzer);

// Access LIKE wildcards in a code are taken literally ("\" escapes).
QString likeLiteral(const QString &text);

} // namespace lnw
