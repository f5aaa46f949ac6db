#include "platform/accesssql_types.h"


namespace accesssql::types {

Vt fromColumnType(ColumnType t)
{
    switch (t) {
    case ColumnType::Text:
        return Vt::Text;
    case ColumnType::Number:
        return Vt::Number;
    case ColumnType::Date:
        return Vt::Date;
    case ColumnType::YesNo:
        return Vt::YesNo;
    case ColumnType::Missing:
    case ColumnType::Unknown:
        break;
    }
    return Vt::Unknown;
}

namespace {

bool numeric(Vt t) { return t == Vt::Number || t == Vt::YesNo; }

} // namespace

Vt commonType(const QVector<Operand> &ops)
{
    bool date = false, maybeDate = false, number = false;
    for (const Operand &o : ops) {
        date = date || o.vt == Vt::Date;
        maybeDate = maybeDate || o.vt == Vt::DateOrText;
        number = number || numeric(o.vt);
    }
    if (date)
        return Vt::Date;
    if (maybeDate)
        return Vt::DateOrText;
    if (number)
        return Vt::Number;
    return Vt::Unknown;
}

QString converted(const Operand &o, Vt target)
{
    if (target == Vt::Date || target == Vt::DateOrText) {
        // A date column holding a day with its midnight (a file converted from Access writes every
        // day so) compares as that day.
        if (o.column && o.vt == Vt::Date)
            return "(CASE WHEN substr(" + o.sql + ", 11) = ' 00:00:00' THEN substr(" + o.sql + ", 1, 10) ELSE "
                   + o.wrapped + " END)";
        // A column of unknown type is left as it is: it is compared the way SQLite compares it.
        if (o.vt == Vt::Date || o.vt == Vt::DateOrText || o.vt == Vt::Null || (o.column && o.vt == Vt::Unknown))
            return o.wrapped;
        return "AccAsDate(" + o.sql + (target == Vt::DateOrText ? ", 1)" : ")");
    }
    if (target == Vt::Number) {
        if (o.vt == Vt::YesNo)
            return yesNoValue(o.sql);
        // A text column against a number keeps SQLite's comparison, as before.
        if (o.vt == Vt::Text && !o.column)
            return "AccAsNumber(" + o.sql + ')';
    }
    return o.wrapped;
}

bool germanText(const QVector<Operand> &ops, Vt target, bool equality)
{
    if (target != Vt::Unknown)
        return false;
    bool allColumns = true, allText = true;
    for (const Operand &o : ops) {
        if (o.vt == Vt::Null)
            return false;
        allColumns = allColumns && o.column;
        allText = allText && o.vt == Vt::Text;
    }
    // Columns of unknown type compared for equality keep their own collation (NOCASE in the
    // grade manager), so that joins on them stay on indexes.
    return !(equality && allColumns && !allText);
}

QString yesNoValue(const QString &sql) { return "(-(" + sql + " <> 0))"; }

QString truthValue(const QString &sql) { return "(-(" + sql + "))"; }

namespace {

QString unbracketed(QString s)
{
    s.remove('[');
    s.remove(']');
    return s;
}

// "t.col" -> "t", "[a].[b]" -> "a", "col" -> "" (the last '.' outside brackets divides).
QString qualifierOf(const QString &ref, QString *column)
{
    int depth = 0, dot = -1;
    for (int i = 0; i < ref.size(); ++i) {
        if (ref[i] == '[')
            ++depth;
        else if (ref[i] == ']')
            --depth;
        else if (ref[i] == '.' && depth == 0)
            dot = i;
    }
    *column = dot < 0 ? ref : ref.mid(dot + 1);
    return dot < 0 ? QString() : unbracketed(ref.left(dot));
}

} // namespace

QStringList distinctRowKeys(const QVector<FromTable> &from, const QStringList &refs, const ColumnTypes *types)
{
    if (from.size() < 2 || refs.isEmpty())
        return {};
    QVector<bool> read(from.size(), false);
    for (const QString &ref : refs) {
        if (ref == QLatin1String("*"))
            return {};
        QString column;
        const QString q = qualifierOf(ref, &column);
        int owner = -1;
        if (!q.isEmpty()) {
            for (int k = 0; k < from.size() && owner < 0; ++k)
                if (from[k].qualifier.compare(q, Qt::CaseInsensitive) == 0)
                    owner = k;
        } else if (types && *types) {
            for (int k = 0; k < from.size(); ++k) {
                if (!from[k].table || (*types)(column, from[k].sql) == ColumnType::Missing)
                    continue;
                if (owner >= 0)
                    return {}; // ambiguous: SQLite refuses it anyway
                owner = k;
            }
        }
        if (owner < 0)
            return {};
        read[owner] = true;
    }
    QStringList keys;
    for (int k = 0; k < from.size(); ++k) {
        if (!read[k])
            continue;
        if (!from[k].table)
            return {};
        keys << '[' + from[k].qualifier + "].rowid";
    }
    if (keys.size() == from.size())
        return {};
    return keys;
}

} // namespace accesssql::types
