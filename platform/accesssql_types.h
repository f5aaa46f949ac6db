#pragma once
// Value types in the Access-dialect translator (platform/accesssql.h): which operands are dates,
// numbers, Yes/No values or texts, how a comparison converts them as Access does, and the
// clauses that depend on them (DISTINCT, DISTINCTROW, TOP with ties).
#include "platform/accessfunctions/function.h"
#include "platform/accesssql.h"

#include <QStringList>

namespace accesssql::types {

// The one type system of typed statements, shared with the functions' entries.
using accessfn::Vt;

Vt fromColumnType(ColumnType t);

// One operand of a comparison.
struct Operand {
    QString sql;        // as written, without wrapping
    QString wrapped;    // wrapped for the place it stands in
    Vt vt = Vt::Unknown;
    bool literal = false; // a constant text, number, #date# or Null
    bool column = false;  // a plain column reference
};

// What the operands of one comparison are converted to: Date when one is a date (the others
// are read as dates), DateOrText when one may be a date (a text that is no date then stays a
// text), Number when one is a number and another a text; Unknown otherwise.
Vt commonType(const QVector<Operand> &ops);
// The operand converted to that type (AccAsDate(x), AccAsNumber(x), a Yes/No as -1/0), or its
// wrapped text when it needs no conversion.
QString converted(const Operand &o, Vt target);
// Texts compare in German order with case ignored, unless a side is a number or Null. Two plain
// columns of unknown type compared for equality keep their own collation.
bool germanText(const QVector<Operand> &ops, Vt target, bool equality);

// A Yes/No value as Access computes with it: -1 for Yes.
QString yesNoValue(const QString &sql);
// A truth value (comparison, Like, …) where it stands as a value: -1 for true.
QString truthValue(const QString &sql);

// One entry of a FROM clause: a table or a sub-select, with the name its columns are qualified by.
struct FromTable {
    QString sql;       // the table's name as written (SQLite text)
    QString qualifier; // its alias, else its name, without brackets
    bool table = true; // false for a sub-select
};

// GROUP BY keys that make DISTINCTROW give one row per record of the tables that the select
// list reads: their rowids. Empty when it changes nothing (all tables, one table) or cannot be
// told; refs are the select list's column references ("*", "t.*", "t.col", "col").
QStringList distinctRowKeys(const QVector<FromTable> &from, const QStringList &refs, const ColumnTypes *types);

} // namespace accesssql::types
