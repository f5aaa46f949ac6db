#pragma once
// The query builder's logic without the window: the design rows turned into a SELECT in the
// Access dialect (the lists window translates and runs it), the criteria in German words
// normalised, and the field list of a table.
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace abfragebau {

// The tables offered, in the list's order.
QStringList tabellen();

// The notice shown at the first opening in a program run.
QString betaHinweis();

constexpr const char *Aufsteigend = "aufsteigend";
constexpr const char *Absteigend = "absteigend";

struct Zeile {
    QString feld, tabelle, sortierung, kriterium;
    bool anzeigen = false;
};

// The sort cell's next state on a click: "" -> "aufsteigend" -> "absteigend" -> "".
QString naechsteSortierung(const QString &aktuell);

// A typed criterion in its normalised form ("M*" -> WIE "M*", ">=5" -> >= "5"); applying it to
// its own result changes nothing.
QString kriteriumNormalisieren(const QString &kriterium);

// The German words (WIE, NICHT, NULL, WAHR, FALSCH) as SQL, whole words outside quoted values.
QString woerterErsetzen(const QString &kriterium);

// The condition of one row for a normalised criterion, e.g. "((Schüler.Name) LIKE \"M*\")".
QString bedingung(const QString &tabelle, const QString &feld, const QString &kriterium);

// "Tabelle.Feld"; a name with other characters than letters, digits and "_" in brackets.
QString spaltenName(const QString &tabelle, const QString &feld);

// Normalises every row's criterion in place and returns the statement, lines ended by CR LF.
QString anweisungErstellen(QVector<Zeile> &zeilen);

// At least one row has a sort order (the hand-back needs one).
bool hatSortierung(const QVector<Zeile> &zeilen);

// The field names of a table in field order, without those containing "PASSWOR" (any case);
// a table without records lists none. Throws zdb::DbError when the table cannot be read.
QStringList felderLesen(zdb::Db &db, const QString &tabelle);

} // namespace abfragebau
