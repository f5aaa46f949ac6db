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
//   True / False           1 / 0 (the stored Yes/No form); x = True tests "not zero"
//   "text"                 'text'
//   TOP n [PERCENT]        LIMIT;  DISTINCTROW dropped
//   [name], Index          bracketed names stay; a bare name that SQLite reserves is bracketed
//   (SELECT ..) UNION ..   parenthesised UNION members unwrapped or turned into sub-selects
//   Left( Right( IsNull(   AccLeft( AccRight( AccIsNull(;  Round( AccRound( (half to even)
//   text comparisons       COLLATE NOCASEU (Access ignores case); ORDER BY in German order (COLLATE DE)
//   expressions without a name get "Ausdr1000", "Ausdr1001" … as Access names them
//   date values            typed per select item (Translation::items), so that they show as dates
//   dates made text        in &, CStr, Str, Format(x), Left …, Like: AccDateText(x) ("31.12.2011");
//                          a column only when it is a date column (withDateColumns)
//   functions              only Access's (accessFunctions in accesssql.cpp); any other name is refused
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

// A column that Access turns into text (in &, CStr, Left, Like …), where a date shows as
// "31.12.2011": whether it is a date depends on its declared type (withDateColumns).
struct DateSlot {
    QString column; // SQLite text of the column
    QString from;   // the FROM clause it resolves against
};

struct Translation {
    bool ok = false;
    QString sql;       // SQLite text without a closing ';'
    int errorPos = -1; // character position in the input where reading failed
    QString error;     // short technical reason (for tests and logs, not for users)
    QVector<Item> items; // the select list of the (first) query
    QString from;        // its FROM clause in SQLite text, against which dateIf columns resolve
    QVector<DateSlot> dateSlots;
    QString source;      // the Access text and its dialect, for withDateColumns
    LikeDialect dialect = LikeDialect::Dao;
};

Translation translate(const QString &accessSql, LikeDialect dialect = LikeDialect::Dao);
// The same translation with the date columns among t.dateSlots turned into text as dates:
// isDate tells which are dates (platform/accesssql_run.cpp asks the database).
Translation withDateColumns(const Translation &t, const std::function<bool(const DateSlot &)> &isDate);

// The text between the two '#' of a date literal as stored ISO text ('YYYY-MM-DD' or
// 'YYYY-MM-DD HH:MM:SS'); empty when it is not a date.
QString dateLiteral(const QString &text);

} // namespace accesssql
