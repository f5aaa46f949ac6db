#pragma once
// Parts of the Access-dialect translator (platform/accesssql.h) about function names and dates
// that Access turns into text: which functions a typed statement may call, which of their
// arguments Access reads as text, and the date columns noted for withDateColumns.
#include "platform/accesssql.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

namespace accesssql::detail {

// Access's functions in upper case (registered in platform/accessfuncs*, the aggregates, and
// SQLite's built-ins that Access has under the same name and meaning). Any other name, SQLite's
// own included (printf, randomblob …), is refused as Access refuses an unknown function.
const QSet<QString> &accessFunctions();

// False where SQLite's function of the same name would take arguments that Access's does not
// (Max(a, b), LTrim(x, y) …): Access has one argument there. Other counts the registered
// functions check themselves.
bool argumentCountFits(const QString &fn, int count);

// Whether argument i (of count) of the function fn is read as text, where a date becomes
// "31.12.2011"; the values of Nz and IIf too when their result is no date.
bool textArgument(const QString &fn, int i, int count, bool dateResult);

// The columns met in a text context, each with the FROM clause of the query it stands in.
// A first reading only notes them; a second one is told which are dates and wraps those.
class DateTextSlots {
public:
    explicit DateTextSlots(const QSet<int> *dateColumns) : m_dateColumns(dateColumns) {}
    int enterQuery();           // a SELECT starts; its id
    void leaveQuery();
    void setFrom(int query, const QString &from);
    // The SQL of a column (or an expression typed as that column) where Access makes it text.
    QString columnAsText(const QString &sql, const QString &column);
    QVector<DateSlot> noted() const;

private:
    const QSet<int> *m_dateColumns; // the slots that are dates (second reading)
    QVector<DateSlot> m_slots;
    QVector<int> m_slotQuery;       // the query each slot stands in
    QVector<int> m_open;            // the queries being read, innermost last
    QHash<int, QString> m_from;
    int m_queries = 0, m_last = -1;
};

} // namespace accesssql::detail
