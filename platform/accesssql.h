#pragma once
// Translation of query text in the Access dialect (typed by users, loaded from query files,
// built by the query builder) into SQLite's dialect. One tokenizer and a small parser of
// Access's SELECT; nothing is ever rewritten inside a literal.
//
//   #date# literals        m/d/yyyy (d/m/yyyy when m > 12), m/d/yy, yyyy-mm-dd, d.m.yyyy, with or without
//                          a time (h:m:s, one digit each will do) -> ISO text
//   a & b & c              AccConcat(a, b, c)  (Null counts as empty; all Null gives Null)
//   a + b, a - b           AccPlus / AccMinus  (text + text concatenates, dates +/- days)
//   a / b                  real division; a \ b integer division; a Mod b; a ^ b
//   x Like p               AccLike(x, p) on the DAO side (* ? # [a-z] [!a-z]), LIKE on the ADO side (% _)
//   True / False           -1 / 0; x = True tests "not zero" (a Yes/No is stored as 1 or 0)
//   "text"                 'text'
//   TOP n [PERCENT]        LIMIT
//   [name], Index          bracketed names stay; a bare name that SQLite reserves is bracketed
//   (SELECT ..) UNION ..   parenthesised UNION members unwrapped or turned into sub-selects
//   Left( Right( IsNull(   AccLeft( AccRight( AccIsNull(;  Round( AccRound( (half to even)
//   text comparisons       COLLATE DEU: German order, case ignored, for <, >, Between, In, Group By,
//                          Distinct, Min, Max and each ORDER BY key alike
//   a date against a text  the text read as a German date (AccAsDate); a number against a text
//                          likewise as a number (AccAsNumber); a text that is neither stops the query
//   True, a comparison     -1 where they stand as a value; a Yes/No column in arithmetic -1 for Yes
//   DISTINCT               DISTINCT over the select items in German order, sorted by them (or as asked)
//   DISTINCTROW            one row per record of the tables the select list reads (over a join)
//   TOP n with ORDER BY    also the rows tied with the n-th, as Access returns them
//   expressions without a name get "Ausdr1000", "Ausdr1001" … as Access names them
//   date values            typed per select item (Translation::items), so that they show as dates
//   dates made text        in &, CStr, Str, Format(x), Left …, Like: AccDateToText(x) ("31.12.2011");
//                          a column only when its declared type is a date (translate with types)
//   functions              only Access's (the entries of platform/accessfunctions); any other
//                          name typed is refused
//
// Reading takes polynomial time in the length of the text (a position is never read twice the
// same way), and nesting deeper than a few hundred levels is refused.
// Only one query is accepted: SELECT (or a UNION of them), optionally closed by ';'.
// Anything else (INSERT, UPDATE, DELETE, DDL, INTO, a second statement) is refused.
#include <QString>
#include <QVector>
#include <functional>

namespace accesssql {

// Wildcards of Like: the DAO side (* ? # [..]) or the ADO side (% _).
enum class LikeDialect { Dao, Ado };

// One entry of the result's select list, so that a reader can show date values as dates.
struct Item {
    bool star = false; // "*" or "table.*": the columns carry their declared types
    bool date = false; // a date value (#date#, Date(), DateAdd(…), IIf(…, #date#, …) …)
    QString dateIf;    // a date exactly when this column (SQLite text) is a DATE column: Max(col), col + 1
};

struct Translation {
    bool ok = false;
    QString sql;       // SQLite text without a closing ';'
    int errorPos = -1; // character position in the input where reading failed
    QString error;     // short technical reason (for tests and logs, not for users)
    QVector<Item> items; // the select list of the (first) query
    QString from;        // its FROM clause in SQLite text, against which dateIf columns resolve
};

Translation translate(const QString &accessSql, LikeDialect dialect = LikeDialect::Dao);

// The declared type of a column, named as the statement names it, in a FROM clause (SQLite text).
enum class ColumnType { Missing, Unknown, Text, Number, Date, YesNo };
using ColumnTypes = std::function<ColumnType(const QString &column, const QString &from)>;
// With the columns' types known (accesssql::columnTypes in platform/accesssql_run.h), dates,
// numbers and Yes/No columns compare and count as Access does, and a date column made text shows
// as a German date; without them, columns are plain values.
Translation translate(const QString &accessSql, LikeDialect dialect, const ColumnTypes &types);
// The name of a table or column as the database spells it, for a name typed with other capitals
// ("SCHÜLER" for Schüler: the engine ignores the case of ASCII letters only); the name itself when
// the database has none such.
using NameSpelling = std::function<QString(const QString &name)>;
Translation translate(const QString &accessSql, LikeDialect dialect, const ColumnTypes &types,
                      const NameSpelling &spelling);

// The text between the two '#' of a date literal as stored ISO text ('YYYY-MM-DD' or
// 'YYYY-MM-DD HH:MM:SS'); empty when it is not a date.
QString dateLiteral(const QString &text);

} // namespace accesssql
