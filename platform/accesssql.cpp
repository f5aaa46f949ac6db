#include "platform/accesssql.h"
#include "platform/accesssql_functions.h"
#include "platform/accesssql_tokens.h"
#include "platform/accesssql_types.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>
#include <sqlite3.h>

namespace accesssql {

namespace {

using namespace lex;
using detail::accessFunctions;
using detail::textArgument;
using types::Vt;

// Words that never stand as a bare name in a statement.
const QSet<QString> &reserved()
{
    static const QSet<QString> r{
        "SELECT", "FROM", "WHERE", "GROUP", "ORDER", "BY", "HAVING", "UNION", "ALL", "DISTINCT", "DISTINCTROW",
        "TOP", "PERCENT", "AS", "ON", "JOIN", "INNER", "LEFT", "RIGHT", "OUTER", "AND", "OR", "NOT", "XOR", "EQV",
        "IMP", "LIKE", "IS", "NULL", "IN", "BETWEEN", "EXISTS", "TRUE", "FALSE", "MOD", "ASC", "DESC", "INTO",
        "INSERT", "UPDATE", "DELETE", "DROP", "ALTER", "CREATE", "TRANSFORM", "PIVOT", "PARAMETERS"};
    return r;
}

// SQLite precedence of the emitted text, higher binds tighter.
enum Prec { P_OR = 1, P_AND, P_NOT, P_EQ, P_CMP, P_BIT = 7, P_ADD, P_MUL, P_CAT, P_COLLATE, P_UNARY, P_PRIMARY };

struct Ex {
    enum Kind { Other, Column, Number, Text, Null, Bool };
    QString sql;
    int prec = P_PRIMARY;
    Kind kind = Other;
    bool letters = false; // a text literal that holds letters
    bool truth = false;   // value of a Bool literal
    bool date = false;    // the value is a date (literal, Date(), DateAdd(…) …)
    QString dateIf;       // a date exactly when this column is one (Max(col), col + 1 …)
    Vt vt = Vt::Unknown;  // the value's type as far as the text and the columns' types tell
    bool logic = false;   // a truth value (comparison, Like …): true is -1 where it stands as a value
};

// The value type that an expression passes on to a result of it.
Ex typed(Ex e, const Ex &from)
{
    e.date = from.date;
    e.dateIf = from.dateIf;
    e.vt = from.vt;
    return e;
}

QString wrap(const Ex &e, int need) { return e.prec >= need ? e.sql : '(' + e.sql + ')'; }

Ex other(const QString &sql, int prec) { return Ex{sql, prec, Ex::Other, false, false}; }

// A truth value (comparison, Like …) standing as a value: -1 for true, as Access computes.
Ex value(const Ex &e)
{
    if (!e.logic)
        return e;
    Ex out = other(types::truthValue(e.sql), P_PRIMARY);
    out.vt = Vt::Number;
    return out;
}

// An operand of arithmetic: a Yes/No counts -1 for Yes (stored as 1).
Ex arithmetic(const Ex &e)
{
    Ex v = value(e);
    if (v.vt != Vt::YesNo)
        return v;
    Ex out = other(types::yesNoValue(v.sql), P_PRIMARY);
    out.vt = Vt::Number;
    return out;
}

Ex logic(const QString &sql, int prec)
{
    Ex e = other(sql, prec);
    e.logic = true;
    e.vt = Vt::Number;
    return e;
}

Ex number(const QString &sql, int prec)
{
    Ex e = other(sql, prec);
    e.vt = Vt::Number;
    return e;
}

types::Operand operand(const Ex &e, int prec)
{
    const bool literal = e.kind == Ex::Text || e.kind == Ex::Number || e.kind == Ex::Null;
    const Vt vt = e.date && e.vt != Vt::DateOrText ? Vt::Date : e.vt;
    return types::Operand{e.sql, wrap(e, prec), vt, literal, e.kind == Ex::Column};
}

// A GROUP BY key (also of DISTINCT): texts group in German order with case ignored.
QString groupKey(const Ex &e)
{
    if (e.kind == Ex::Number || e.date || e.vt == Vt::Number || e.vt == Vt::Date || e.vt == Vt::YesNo ||
        e.vt == Vt::Null)
        return e.sql;
    return wrap(e, P_COLLATE) + " COLLATE DEU";
}

struct Query {
    QString sql;
    bool simple = false; // one SELECT without ORDER BY or LIMIT: may stand as a UNION member
    QVector<Item> items; // select list of the first member (it names the result's columns)
    QString from;
};

struct Core {
    QString body;
    QString top;        // TOP n
    bool percent = false;
    QVector<Item> items;
    QString from;
    QString rest;             // the body after the select list: FROM … HAVING …
    bool distinct = false;    // DISTINCT kept as such (not rewritten as GROUP BY)
    bool star = false;        // the select list has * or table.*
    QStringList itemSql;      // each select item's expression (empty for a star)
    QStringList groupKeys;    // the select items as GROUP BY keys (constants left out)
    QHash<QString, QString> aliases; // upper-case alias -> expression
    QString unionBody;        // the body with its texts in German order, as the first member of a UNION
};

// Deeper nesting is refused before it could exhaust the stack.
constexpr int MaxDepth = 200;

class Parser {
public:
    Parser(const QVector<Token> &t, LikeDialect d, const ColumnTypes *types = nullptr)
        : m_t(t), m_dialect(d), m_types(types && *types ? types : nullptr)
    {
    }

    Query statement()
    {
        const Token &first = cur();
        if (!(isKw(first, "SELECT") || isOp(first, "(")))
            throw ParseError{first.pos, QStringLiteral("nur Abfragen (SELECT) sind erlaubt")};
        Query q = query();
        while (acceptOp(";")) {
        }
        if (cur().kind != Tk::End)
            throw ParseError{cur().pos, QStringLiteral("Ende der Abfrage erwartet")};
        return q;
    }

private:
    const Token &cur() const { return m_t[m_i]; }
    const Token &peek(int k = 1) const { return m_t[qMin(m_i + k, int(m_t.size()) - 1)]; }
    static bool isKw(const Token &t, const char *kw) { return t.kind == Tk::Ident && !t.bracketed && t.upper == QLatin1String(kw); }
    static bool isOp(const Token &t, const char *op) { return t.kind == Tk::Op && t.text == QLatin1String(op); }
    bool acceptKw(const char *kw)
    {
        if (!isKw(cur(), kw))
            return false;
        ++m_i;
        return true;
    }
    bool acceptOp(const char *op)
    {
        if (!isOp(cur(), op))
            return false;
        ++m_i;
        return true;
    }
    void expectKw(const char *kw)
    {
        if (!acceptKw(kw))
            throw ParseError{cur().pos, QStringLiteral("%1 erwartet").arg(QLatin1String(kw))};
    }
    void expectOp(const char *op)
    {
        if (!acceptOp(op))
            throw ParseError{cur().pos, QStringLiteral("'%1' erwartet").arg(QLatin1String(op))};
    }
    static bool isName(const Token &t) { return t.kind == Tk::Ident && (t.bracketed || !reserved().contains(t.upper)); }

    static QString nameSql(const Token &t)
    {
        if (t.bracketed)
            return '[' + t.text + ']';
        const QByteArray b = t.text.toUtf8();
        if (sqlite3_keyword_check(b.constData(), int(b.size())))
            return '[' + t.text + ']'; // e.g. Index
        return t.text;
    }
    QString name()
    {
        if (!isName(cur()))
            throw ParseError{cur().pos, QStringLiteral("Name erwartet")};
        return nameSql(m_t[m_i++]);
    }

    // Counts one level of nesting for as long as it lives.
    struct Depth {
        int &d;
        Depth(int &depth, int pos) : d(depth)
        {
            if (++d > MaxDepth) {
                --d;
                throw ParseError{pos, QStringLiteral("zu tief verschachtelt")};
            }
        }
        ~Depth() { --d; }
    };

    // What was read from a position, kept so that a retry from there costs nothing: a text of
    // unbalanced parentheses would otherwise be read again for every way of nesting them.
    template <typename T> struct Memo {
        bool ok = false;
        T value{};
        int end = 0;
        ParseError error{0, {}};
    };
    template <typename T, typename F> T remembered(QHash<int, Memo<T>> &memo, F read)
    {
        const int start = m_i;
        const auto it = memo.constFind(start);
        if (it != memo.constEnd()) {
            if (!it->ok)
                throw it->error;
            m_i = it->end;
            return it->value;
        }
        Depth depth(m_depth, cur().pos);
        try {
            T v = read();
            memo.insert(start, Memo<T>{true, v, m_i, {0, {}}});
            return v;
        } catch (const ParseError &e) {
            memo.insert(start, Memo<T>{false, {}, 0, e});
            throw;
        }
    }

    // ---- queries

    Query query() { return remembered(m_queries, [this] { return readQuery(); }); }

    Query readQuery()
    {
        struct Member {
            bool isCore;
            Core core;
            Query q;
        };
        QVector<Member> members;
        QStringList ops;
        auto member = [&] {
            if (acceptOp("(")) {
                Query q = query();
                expectOp(")");
                return Member{false, {}, q};
            }
            return Member{true, core(), {}};
        };
        members << member();
        while (acceptKw("UNION")) {
            ops << (acceptKw("ALL") ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION "));
            members << member();
        }
        QString order, window;
        if (acceptKw("ORDER")) {
            expectKw("BY");
            order = orderList(members.size() == 1 && members[0].isCore ? &members[0].core : nullptr, &window);
        }
        const QVector<Item> items = members[0].isCore ? members[0].core.items : members[0].q.items;
        const QString from = members[0].isCore ? members[0].core.from : members[0].q.from;
        if (members.size() == 1) {
            const Member &m = members[0];
            if (m.isCore)
                return finish(m.core, order, window);
            if (order.isEmpty())
                return m.q;
            return Query{(m.q.simple ? m.q.sql : "SELECT * FROM (" + m.q.sql + ')') + " ORDER BY " + order, false,
                         items, from};
        }
        // UNION drops duplicates as Access compares texts: the first member's collation decides.
        if (members[0].isCore && ops.contains(QStringLiteral(" UNION ")))
            members[0].core.body = members[0].core.unionBody;
        QString sql;
        for (int k = 0; k < members.size(); ++k) {
            Query q = members[k].isCore ? finish(members[k].core, QString(), QString()) : members[k].q;
            if (k > 0)
                sql += ops[k - 1];
            sql += q.simple ? q.sql : "SELECT * FROM (" + q.sql + ')';
        }
        if (!order.isEmpty())
            sql += " ORDER BY " + order;
        return Query{sql, false, items, from};
    }

    // window: the ORDER BY keys as a window function can read them (empty when they cannot be told).
    static Query finish(const Core &c, const QString &order, const QString &window)
    {
        QString sql = c.body;
        if (!order.isEmpty())
            sql += " ORDER BY " + order;
        if (!c.top.isEmpty()) {
            if (c.percent) // rounded up, as Access counts a started percent
                sql += " LIMIT (SELECT (count(*) * " + c.top + " + 99) / 100 FROM (" + c.body + "))";
            else if (!order.isEmpty() && !window.isEmpty() && !c.distinct) // with the rows tied with the n-th
                sql += " LIMIT (SELECT count(*) FROM (SELECT rank() OVER (ORDER BY " + window + ") AS zRang" +
                       c.rest + ") WHERE zRang <= " + c.top + ')';
            else
                sql += " LIMIT " + c.top;
        }
        return Query{sql, order.isEmpty() && c.top.isEmpty(), c.items, c.from};
    }

    // Restores what a nested query changes of the enclosing one's reading.
    struct CoreState {
        Parser &p;
        QStringList *refs;
        QVector<types::FromTable> *tables;
        bool aggregate;
        int scopes;
        explicit CoreState(Parser &parser)
            : p(parser), refs(parser.m_refs), tables(parser.m_tables), aggregate(parser.m_aggregate),
              scopes(int(parser.m_scopes.size()))
        {
            p.m_refs = nullptr;
            p.m_tables = nullptr;
        }
        ~CoreState()
        {
            p.m_refs = refs;
            p.m_tables = tables;
            p.m_aggregate = aggregate;
            while (p.m_scopes.size() > scopes)
                p.m_scopes.removeLast();
        }
    };

    Core core()
    {
        Core c;
        expectKw("SELECT");
        CoreState state(*this);
        bool distinct = false, distinctRow = false;
        if (acceptKw("DISTINCT"))
            distinct = true;
        else if (acceptKw("DISTINCTROW"))
            distinctRow = true;
        else
            acceptKw("ALL");
        if (acceptKw("TOP")) {
            const Token &t = cur();
            if (t.kind != Tk::Number || t.text.contains('.') || t.text.contains('e', Qt::CaseInsensitive))
                throw ParseError{t.pos, QStringLiteral("ganze Zahl nach TOP erwartet")};
            c.top = QString::number(t.text.toLongLong());
            ++m_i;
            c.percent = acceptKw("PERCENT");
        }
        // The FROM clause is read ahead, so that the select list knows its columns' types.
        QVector<types::FromTable> tables;
        m_scopes << (m_types || distinctRow ? scoutFrom(&tables) : QString());
        QStringList refs;
        m_refs = &refs;
        m_aggregate = false;
        QStringList unionItems;
        const QString items = selectList(c, &unionItems);
        m_refs = nullptr;
        const bool aggregate = m_aggregate;
        if (isKw(cur(), "INTO"))
            throw ParseError{cur().pos, QStringLiteral("INTO ist nicht erlaubt")};
        QString rest;
        if (acceptKw("FROM")) {
            c.from = fromList();
            rest += " FROM " + c.from;
        }
        if (acceptKw("WHERE"))
            rest += " WHERE " + expr().sql;
        QStringList groups;
        if (acceptKw("GROUP")) {
            expectKw("BY");
            do
                groups << groupKey(value(expr()));
            while (acceptOp(","));
        }
        QString having;
        if (acceptKw("HAVING"))
            having = " HAVING " + expr().sql;
        if (groups.isEmpty() && having.isEmpty() && !aggregate) {
            // DISTINCT as GROUP BY: SQLite's DISTINCT knows no collation of its own.
            if (distinct && !c.star && !c.groupKeys.isEmpty()) {
                groups = c.groupKeys;
                distinct = false;
            }
            if (distinctRow)
                groups = types::distinctRowKeys(tables, refs, m_types);
        }
        if (!groups.isEmpty())
            rest += " GROUP BY " + groups.join(QStringLiteral(", "));
        rest += having;
        c.distinct = distinct;
        c.rest = rest;
        const QString start = QStringLiteral("SELECT ") + (distinct ? QStringLiteral("DISTINCT ") : QString());
        c.body = start + items + rest;
        c.unionBody = start + unionItems.join(QStringLiteral(", ")) + rest;
        return c;
    }

    // The FROM clause of the query whose select list starts here, read by a second parser
    // (empty when there is none or it cannot be read: the real reading reports that).
    QString scoutFrom(QVector<types::FromTable> *tables)
    {
        int depth = 0;
        for (int k = m_i; k < m_t.size(); ++k) {
            const Token &t = m_t[k];
            if (t.kind == Tk::End)
                break;
            if (isOp(t, "(")) {
                ++depth;
                continue;
            }
            if (isOp(t, ")")) {
                if (depth == 0)
                    break;
                --depth;
                continue;
            }
            if (depth > 0)
                continue;
            if (isKw(t, "FROM")) {
                Parser scout(m_t, m_dialect);
                scout.m_i = k + 1;
                scout.m_tables = tables;
                try {
                    return scout.fromList();
                } catch (const ParseError &) {
                    tables->clear();
                    return {};
                }
            }
            if (isKw(t, "UNION") || isKw(t, "ORDER") || isKw(t, "WHERE") || isOp(t, ";"))
                break;
        }
        return {};
    }

    // unionItems: the same items with texts in German order, each keeping its name.
    QString selectList(Core &c, QStringList *unionItems)
    {
        QStringList items;
        int unnamed = 1000;
        auto star = [&](const QString &item) {
            items << item;
            *unionItems << item;
            c.items << Item{true, false, {}};
            c.itemSql << QString();
            c.star = true;
            if (m_refs)
                *m_refs << item;
        };
        do {
            if (acceptOp("*")) {
                star(QStringLiteral("*"));
                continue;
            }
            // table.*
            if (isName(cur()) && (isOp(peek(), ".") || isOp(peek(), "!")) && isOp(peek(2), "*")) {
                star(name() + ".*");
                m_i += 2;
                continue;
            }
            Ex e = value(expr());
            c.items << Item{false, e.date, e.date ? QString() : e.dateIf};
            c.itemSql << e.sql;
            if (e.kind != Ex::Number)
                c.groupKeys << groupKey(e);
            QString as;
            if (acceptKw("AS")) {
                const QString alias = cur().text.toUpper();
                as = " AS " + name();
                c.aliases.insert(alias, e.sql);
            } else if (e.kind != Ex::Column)
                as = QStringLiteral(" AS Ausdr%1").arg(unnamed++);
            items << e.sql + as;
            const QString key = groupKey(e);
            if (key == e.sql)
                *unionItems << e.sql + as;
            else
                *unionItems << key + (as.isEmpty() ? " AS " + e.sql.section('.', -1) : as);
        } while (acceptOp(","));
        return items.join(QStringLiteral(", "));
    }

    // An ORDER BY key as a window function over the same rows reads it: a select item's alias
    // or position stands for its expression. Empty when it cannot be told.
    static QString windowKey(const Ex &e, const Core *c)
    {
        if (!c)
            return {};
        if (e.kind == Ex::Number) {
            bool ok = false;
            const int k = e.sql.toInt(&ok);
            if (!ok || k < 1 || k > c->itemSql.size() || c->itemSql[k - 1].isEmpty())
                return {};
            return '(' + c->itemSql[k - 1] + ") COLLATE DEU";
        }
        if (e.kind == Ex::Column) {
            QString n = e.sql;
            n.remove('[');
            n.remove(']');
            const auto it = c->aliases.constFind(n.toUpper());
            if (it != c->aliases.constEnd())
                return '(' + *it + ") COLLATE DEU";
        }
        return wrap(e, P_COLLATE) + " COLLATE DEU";
    }

    QString orderList(const Core *c, QString *window)
    {
        QStringList items, windowItems;
        bool windowOk = true;
        do {
            Ex e = value(expr());
            QString item = e.kind == Ex::Number ? e.sql : wrap(e, P_COLLATE) + " COLLATE DE";
            QString w = windowKey(e, c);
            windowOk = windowOk && !w.isEmpty();
            if (acceptKw("DESC")) {
                item += QStringLiteral(" DESC");
                w += QStringLiteral(" DESC");
            } else
                acceptKw("ASC");
            items << item;
            windowItems << w;
        } while (acceptOp(","));
        *window = windowOk ? windowItems.join(QStringLiteral(", ")) : QString();
        return items.join(QStringLiteral(", "));
    }

    QString fromList()
    {
        QStringList items;
        do
            items << fromItem();
        while (acceptOp(","));
        return items.join(QStringLiteral(", "));
    }

    QString fromItem()
    {
        QString s = fromPrimary();
        for (;;) {
            QString op;
            if (acceptKw("INNER"))
                op = QStringLiteral(" INNER JOIN ");
            else if (acceptKw("LEFT")) {
                acceptKw("OUTER");
                op = QStringLiteral(" LEFT JOIN ");
            } else if (acceptKw("RIGHT")) {
                acceptKw("OUTER");
                op = QStringLiteral(" RIGHT JOIN ");
            } else if (isKw(cur(), "JOIN"))
                op = QStringLiteral(" INNER JOIN ");
            else
                break;
            expectKw("JOIN");
            QString right = fromPrimary();
            expectKw("ON");
            s += op + right + " ON " + expr().sql;
        }
        return s;
    }

    QString alias()
    {
        if (acceptKw("AS"))
            return " AS " + name();
        if (isName(cur()))
            return " AS " + name();
        return {};
    }

    QString fromPrimary() { return remembered(m_fromItems, [this] { return readFromPrimary(); }); }

    QString readFromPrimary()
    {
        if (isOp(cur(), "(")) {
            const int save = m_i;
            ++m_i;
            if (isKw(cur(), "SELECT") || isOp(cur(), "(")) {
                try {
                    Query q = query();
                    expectOp(")");
                    const QString sub = '(' + q.sql + ')', as = alias();
                    noteTable(sub, as, false);
                    return sub + as;
                } catch (const ParseError &) {
                    if (isKw(m_t[save + 1], "SELECT"))
                        throw;
                    m_i = save + 1; // a nested join in parentheses
                }
            }
            QString inner = fromItem();
            expectOp(")");
            return '(' + inner + ')';
        }
        QString table = name();
        if (isOp(cur(), ".") || isOp(cur(), "!"))
            throw ParseError{cur().pos, QStringLiteral("Tabellen anderer Datenbanken sind nicht erlaubt")};
        const QString as = alias();
        noteTable(table, as, true);
        return table + as;
    }

    // Notes a FROM entry while the FROM clause is read ahead (for DISTINCTROW).
    void noteTable(const QString &sql, const QString &as, bool table)
    {
        if (!m_tables)
            return;
        QString q = as.isEmpty() ? sql : as.mid(4); // " AS name"
        q.remove('[');
        q.remove(']');
        *m_tables << types::FromTable{sql, q, table};
    }

    // ---- expressions, by Access's precedence from loosest to tightest

    Ex expr()
    {
        Depth depth(m_depth, cur().pos);
        Ex l = orExpr();
        if (isKw(cur(), "XOR") || isKw(cur(), "EQV") || isKw(cur(), "IMP"))
            throw ParseError{cur().pos, QStringLiteral("Xor, Eqv und Imp werden nicht unterstützt")};
        return l;
    }

    Ex orExpr()
    {
        Ex l = andExpr();
        while (acceptKw("OR")) {
            Ex r = andExpr();
            l = logic(wrap(l, P_OR) + " OR " + wrap(r, P_OR + 1), P_OR);
        }
        return l;
    }

    Ex andExpr()
    {
        Ex l = notExpr();
        while (acceptKw("AND")) {
            Ex r = notExpr();
            l = logic(wrap(l, P_AND) + " AND " + wrap(r, P_AND + 1), P_AND);
        }
        return l;
    }

    Ex notExpr()
    {
        Depth depth(m_depth, cur().pos);
        if (acceptKw("NOT")) {
            Ex e = notExpr();
            return logic("NOT " + wrap(e, P_NOT), P_NOT);
        }
        return comparison();
    }

    Ex compare(const Ex &l0, const QString &op, const Ex &r0)
    {
        const bool eq = op == QLatin1String("=") || op == QLatin1String("<>");
        if (eq && (l0.kind == Ex::Bool) != (r0.kind == Ex::Bool)) {
            // A Yes/No reads -1 or 1 as true: compare with zero instead of with one value.
            const Ex &v = l0.kind == Ex::Bool ? r0 : l0;
            const bool truth = (l0.kind == Ex::Bool ? l0.truth : r0.truth) == (op == QLatin1String("="));
            return logic(wrap(v, P_EQ + 1) + (truth ? " <> 0" : " = 0"), P_EQ);
        }
        const Ex l = value(l0), r = value(r0);
        const int p = eq ? P_EQ : P_CMP;
        const QVector<types::Operand> ops{operand(l, p), operand(r, p + 1)};
        const Vt t = types::commonType(ops);
        QString right = types::converted(ops[1], t);
        if (types::germanText(ops, t, eq))
            right = wrap(r, P_COLLATE) + " COLLATE DEU";
        return logic(types::converted(ops[0], t) + ' ' + op + ' ' + right, p);
    }

    // The left operand of Between or In with the others, converted as Access compares them.
    QString listLeft(const Ex &l, const QVector<Ex> &others, QStringList *converted)
    {
        QVector<types::Operand> ops{operand(l, P_EQ + 1)};
        for (const Ex &e : others)
            ops << operand(e, P_EQ + 1);
        const Vt t = types::commonType(ops);
        for (int k = 1; k < ops.size(); ++k)
            *converted << types::converted(ops[k], t);
        if (types::germanText(ops, t, false))
            return wrap(l, P_COLLATE) + " COLLATE DEU";
        return types::converted(ops[0], t);
    }

    Ex comparison()
    {
        Ex l = concat();
        for (;;) {
            const Token &t = cur();
            if (t.kind == Tk::Op && (t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" ||
                                     t.text == "<=" || t.text == ">=")) {
                ++m_i;
                Ex r = concat();
                l = compare(l, t.text, r);
                continue;
            }
            bool negated = false;
            if (isKw(t, "NOT") && (isKw(peek(), "LIKE") || isKw(peek(), "BETWEEN") || isKw(peek(), "IN"))) {
                negated = true;
                ++m_i;
            }
            if (acceptKw("LIKE")) {
                Ex r = concat();
                if (m_dialect == LikeDialect::Dao) {
                    QString call = "AccLike(" + asText(l) + ", " + r.sql + ')';
                    l = negated ? logic("NOT " + call, P_NOT) : logic(call, P_PRIMARY);
                } else
                    l = logic(wrap(l, P_EQ + 1) + (negated ? " NOT LIKE " : " LIKE ") + wrap(r, P_EQ + 1), P_EQ);
                continue;
            }
            if (acceptKw("BETWEEN")) {
                const Ex a = value(concat());
                expectKw("AND");
                const Ex b = value(concat());
                QStringList bounds;
                const QString left = listLeft(value(l), {a, b}, &bounds);
                l = logic(left + (negated ? " NOT BETWEEN " : " BETWEEN ") + bounds[0] + " AND " + bounds[1], P_EQ);
                continue;
            }
            if (acceptKw("IN")) {
                expectOp("(");
                QString list, left;
                if (isKw(cur(), "SELECT")) {
                    list = query().sql;
                    const Ex v = value(l);
                    left = v.vt == Vt::Text ? wrap(v, P_COLLATE) + " COLLATE DEU" : wrap(v, P_EQ + 1);
                } else {
                    QVector<Ex> values;
                    do
                        values << value(expr());
                    while (acceptOp(","));
                    QStringList items;
                    left = listLeft(value(l), values, &items);
                    list = items.join(QStringLiteral(", "));
                }
                expectOp(")");
                l = logic(left + (negated ? " NOT IN (" : " IN (") + list + ')', P_EQ);
                continue;
            }
            if (negated)
                throw ParseError{t.pos, QStringLiteral("LIKE, BETWEEN oder IN erwartet")};
            if (acceptKw("IS")) {
                const bool isNot = acceptKw("NOT");
                expectKw("NULL");
                l = logic(wrap(l, P_EQ) + (isNot ? " IS NOT NULL" : " IS NULL"), P_EQ);
                continue;
            }
            return l;
        }
    }

    Ex concat()
    {
        Ex l = additive();
        if (!isOp(cur(), "&"))
            return l;
        QStringList parts{asText(value(l))};
        while (acceptOp("&"))
            parts << asText(value(additive()));
        Ex out = other("AccConcat(" + parts.join(QStringLiteral(", ")) + ')', P_PRIMARY);
        out.vt = Vt::Text;
        return out;
    }

    // A date plus or minus days is a date; a date column plus a number likewise.
    static Ex dayShift(const Ex &sum, const Ex &l, const Ex &r, bool plus)
    {
        auto days = [](const Ex &e) { return !e.date && e.dateIf.isEmpty() && e.kind != Ex::Text; };
        Ex out = sum;
        if (l.date && days(r))
            out.date = true;
        else if (plus && r.date && days(l))
            out.date = true;
        else if (!l.dateIf.isEmpty() && days(r))
            out.dateIf = l.dateIf;
        else if (plus && !r.dateIf.isEmpty() && days(l))
            out.dateIf = r.dateIf;
        return out;
    }

    // The type of a sum: numbers give a number, texts (+ concatenates them) a text.
    static Ex sumType(Ex sum, const Ex &l, const Ex &r)
    {
        if (!sum.date && l.vt == r.vt && (l.vt == Vt::Number || l.vt == Vt::Text))
            sum.vt = l.vt;
        else if (sum.date)
            sum.vt = Vt::Date;
        return sum;
    }

    Ex additive()
    {
        Ex l = modulo();
        for (;;) {
            if (acceptOp("+")) {
                l = arithmetic(l);
                const Ex r = arithmetic(modulo());
                l = sumType(dayShift(other("AccPlus(" + l.sql + ", " + r.sql + ')', P_PRIMARY), l, r, true), l, r);
            } else if (acceptOp("-")) {
                l = arithmetic(l);
                const Ex r = arithmetic(modulo());
                l = sumType(dayShift(other("AccMinus(" + l.sql + ", " + r.sql + ')', P_PRIMARY), l, r, false), l, r);
            } else
                return l;
        }
    }

    // Mod and \ round both operands to whole numbers first, half to even, as Access does.
    Ex wholeNumberOp(const Ex &l0, const char *op, const Ex &r0)
    {
        const Ex l = arithmetic(l0), r = arithmetic(r0);
        return number("CAST(AccRound(" + l.sql + ") AS INTEGER) " + op + " CAST(AccRound(" + r.sql + ") AS INTEGER)",
                      P_MUL);
    }

    Ex modulo()
    {
        Ex l = intDiv();
        while (acceptKw("MOD"))
            l = wholeNumberOp(l, "%", intDiv());
        return l;
    }

    Ex intDiv()
    {
        Ex l = multiplicative();
        while (acceptOp("\\"))
            l = wholeNumberOp(l, "/", multiplicative());
        return l;
    }

    Ex multiplicative()
    {
        Ex l = unary();
        for (;;) {
            if (acceptOp("*")) {
                l = arithmetic(l);
                const Ex r = arithmetic(unary());
                l = number(wrap(l, P_MUL) + " * " + wrap(r, P_MUL + 1), P_MUL);
            } else if (acceptOp("/")) {
                l = arithmetic(l);
                const Ex r = arithmetic(unary());
                l = number("CAST(" + l.sql + " AS REAL) / " + wrap(r, P_MUL + 1), P_MUL); // never integer division
            } else
                return l;
        }
    }

    Ex unary()
    {
        Depth depth(m_depth, cur().pos);
        if (acceptOp("-")) {
            const Ex e = arithmetic(unary());
            // "--" would start a comment in SQLite
            const QString inner = e.sql.startsWith('-') ? '(' + e.sql + ')' : wrap(e, P_UNARY);
            Ex out = number('-' + inner, P_UNARY);
            if (e.kind == Ex::Number)
                out.kind = Ex::Number;
            return out;
        }
        if (acceptOp("+"))
            return unary();
        return power();
    }

    Ex power()
    {
        Ex l = primary();
        while (acceptOp("^")) {
            l = arithmetic(l);
            const Ex r = arithmetic(isOp(cur(), "-") || isOp(cur(), "+") ? unary() : primary());
            l = number("power(" + l.sql + ", " + r.sql + ')', P_PRIMARY);
        }
        return l;
    }

    Ex primary()
    {
        const Token &t = cur();
        switch (t.kind) {
        case Tk::Number: {
            ++m_i;
            Ex n{t.text, P_PRIMARY, Ex::Number, false, false};
            n.vt = Vt::Number;
            return n;
        }
        case Tk::String: {
            ++m_i;
            bool letters = false;
            for (QChar c : t.text)
                letters = letters || c.isLetter();
            Ex text{sqlString(t.text), P_PRIMARY, Ex::Text, letters, false};
            text.vt = Vt::Text;
            return text;
        }
        case Tk::Date: {
            ++m_i;
            Ex d{sqlString(t.text), P_PRIMARY, Ex::Text, false, false};
            d.date = true;
            d.vt = Vt::Date;
            return d;
        }
        case Tk::End:
            throw ParseError{t.pos, QStringLiteral("Ausdruck erwartet")};
        case Tk::Op:
            if (acceptOp("(")) {
                if (isKw(cur(), "SELECT")) {
                    Query q = query();
                    expectOp(")");
                    return other('(' + q.sql + ')', P_PRIMARY);
                }
                Ex e = expr();
                expectOp(")");
                Ex out{'(' + e.sql + ')', P_PRIMARY, e.kind == Ex::Column ? Ex::Column : Ex::Other, false, false};
                out.logic = e.logic;
                return typed(out, e);
            }
            throw ParseError{t.pos, QStringLiteral("Ausdruck erwartet")};
        case Tk::Ident:
            break;
        }
        if (!t.bracketed) {
            if (t.upper == QLatin1String("NULL")) {
                ++m_i;
                Ex null{QStringLiteral("NULL"), P_PRIMARY, Ex::Null, false, false};
                null.vt = Vt::Null;
                return null;
            }
            if (t.upper == QLatin1String("TRUE") || t.upper == QLatin1String("FALSE")) {
                ++m_i;
                const bool v = t.upper == QLatin1String("TRUE");
                Ex b{v ? QStringLiteral("-1") : QStringLiteral("0"), v ? P_UNARY : P_PRIMARY, Ex::Bool, false, v};
                b.vt = Vt::Number; // True is -1, as in Access
                return b;
            }
            if (t.upper == QLatin1String("EXISTS")) {
                ++m_i;
                expectOp("(");
                Query q = query();
                expectOp(")");
                return logic("EXISTS (" + q.sql + ')', P_PRIMARY);
            }
            if (isOp(peek(), "(") && (isName(t) || t.upper == QLatin1String("LEFT") || t.upper == QLatin1String("RIGHT") ||
                                      t.upper == QLatin1String("ASC")))
                return call();
        }
        if (!isName(t))
            throw ParseError{t.pos, QStringLiteral("Ausdruck erwartet")};
        QString n = name();
        while (isOp(cur(), ".") || isOp(cur(), "!")) {
            if (!isName(peek()))
                break;
            ++m_i;
            n += '.' + name();
        }
        Ex col{n, P_PRIMARY, Ex::Column, false, false};
        col.dateIf = n;
        if (m_refs)
            *m_refs << n;
        resolve(col);
        return col;
    }

    // A column's type from the FROM clauses around it, the innermost first.
    void resolve(Ex &col) const
    {
        if (!m_types)
            return;
        for (int k = int(m_scopes.size()) - 1; k >= 0; --k) {
            if (m_scopes[k].isEmpty())
                continue;
            const ColumnType t = (*m_types)(col.sql, m_scopes[k]);
            if (t == ColumnType::Missing)
                continue;
            col.vt = types::fromColumnType(t);
            if (col.vt == Vt::Date)
                col.date = true;
            else if (t != ColumnType::Unknown)
                col.dateIf.clear();
            return;
        }
    }

    Ex call()
    {
        const Token &t = m_t[m_i++];
        if (!accessFunctions().contains(t.upper))
            throw ParseError{t.pos, QStringLiteral("unbekannte Funktion %1").arg(t.text)};
        QString fn = t.text;
        if (t.upper == QLatin1String("LEFT"))
            fn = QStringLiteral("AccLeft");
        else if (t.upper == QLatin1String("RIGHT"))
            fn = QStringLiteral("AccRight");
        else if (t.upper == QLatin1String("ISNULL"))
            fn = QStringLiteral("AccIsNull");
        else if (t.upper == QLatin1String("ROUND")) // SQLite's own rounds half away from zero
            fn = QStringLiteral("AccRound");
        expectOp("(");
        QStringList args;
        QVector<Ex> values;
        if (acceptOp("*"))
            args << QStringLiteral("*");
        else if (!isOp(cur(), ")")) {
            do
                values << (types::takesNumbers(t.upper) ? arithmetic(expr()) : value(expr()));
            while (acceptOp(","));
        }
        expectOp(")");
        if (!detail::argumentCountFits(t.upper, int(qMax(args.size(), values.size()))))
            throw ParseError{t.pos, QStringLiteral("falsche Anzahl von Argumenten für %1").arg(t.text)};
        if (types::isAggregate(t.upper))
            m_aggregate = true;
        const Ex typedCall = callType(Ex{}, t.upper, values);
        const bool dateResult = typedCall.date || !typedCall.dateIf.isEmpty();
        for (int i = 0; i < values.size(); ++i)
            args << (textArgument(t.upper, i, int(values.size()), dateResult) ? asText(values[i]) : values[i].sql);
        // Min and Max of texts in German order, as Access sorts them.
        const bool minMax = t.upper == QLatin1String("MIN") || t.upper == QLatin1String("MAX");
        if (minMax && values.size() == 1 && groupKey(values[0]) != values[0].sql)
            args[0] = groupKey(values[0]);
        Ex out = callType(other(fn + '(' + args.join(QStringLiteral(", ")) + ')', P_PRIMARY), t.upper, values);
        const Vt f = types::functionType(t.upper);
        // Nz(date, "") and IIf(…, date, "…") give a date or a text.
        const int firstValue = t.upper == QLatin1String("IIF") ? 1 : 0;
        bool textBranch = false, sameBranches = values.size() > firstValue;
        if (t.upper == QLatin1String("IIF") || t.upper == QLatin1String("NZ"))
            for (int k = firstValue; k < values.size(); ++k) {
                textBranch = textBranch || values[k].vt == Vt::Text;
                sameBranches = sameBranches && values[k].vt == values[firstValue].vt;
            }
        else
            sameBranches = false;
        if (out.date)
            out.vt = textBranch ? Vt::DateOrText : Vt::Date;
        else if (f != Vt::Unknown)
            out.vt = f;
        else if (sameBranches) // IIf(…, 1, 2) is a number, IIf(…, "a", "b") a text
            out.vt = values[firstValue].vt;
        return out;
    }

    // The expression as Access turns it into text: a date shows as "31.12.2011" (with the time
    // when it has one). A column counts as a date when its declared type says so (the columns'
    // types given to translate); without them it stays as stored.
    static QString asText(const Ex &e) { return e.date ? "AccDateToText(" + e.sql + ')' : e.sql; }

    // Functions whose value is a date, or a date when an argument is one.
    static Ex callType(Ex out, const QString &fn, const QVector<Ex> &args)
    {
        static const QSet<QString> dates{"DATE",  "NOW",    "DATESERIAL", "DATEADD",   "DATEVALUE",
                                         "CDATE", "CVDATE", "TIME",       "TIMESERIAL", "TIMEVALUE"};
        static const QSet<QString> firstArg{"MAX", "MIN", "FIRST", "LAST", "NZ"};
        if (dates.contains(fn)) {
            out.date = true;
            return out;
        }
        // Either of two values: a date when one is a date and the other a date, Null or a
        // constant; a date column's type when the other is a date or Null (Nz(col, #date#)).
        auto either = [&out](const Ex &a, const Ex &b) {
            auto fixed = [](const Ex &x) { return x.date || x.dateIf.isEmpty(); };
            auto dateOrNull = [](const Ex &x) { return x.date || x.kind == Ex::Null; };
            if ((a.date && fixed(b)) || (b.date && fixed(a)))
                out.date = true;
            else if (!a.dateIf.isEmpty() && (dateOrNull(b) || b.dateIf == a.dateIf))
                out.dateIf = a.dateIf;
            else if (!b.dateIf.isEmpty() && dateOrNull(a))
                out.dateIf = b.dateIf;
            return out;
        };
        if (fn == QLatin1String("IIF") && args.size() == 3)
            return either(args[1], args[2]);
        if (fn == QLatin1String("NZ") && args.size() == 2)
            return either(args[0], args[1]);
        if (firstArg.contains(fn) && !args.isEmpty())
            return typed(out, args[0]);
        return out;
    }

    const QVector<Token> &m_t;
    LikeDialect m_dialect;
    const ColumnTypes *m_types = nullptr;
    QStringList m_scopes;                          // FROM clauses of the queries around, innermost last
    QStringList *m_refs = nullptr;                 // column references of the select list being read
    QVector<types::FromTable> *m_tables = nullptr; // FROM entries while reading ahead
    bool m_aggregate = false;                      // the select list being read has an aggregate
    int m_i = 0;
    int m_depth = 0;
    QHash<int, Memo<Query>> m_queries;
    QHash<int, Memo<QString>> m_fromItems;
};

} // namespace

Translation translate(const QString &accessSql, LikeDialect dialect) { return translate(accessSql, dialect, {}); }

Translation translate(const QString &accessSql, LikeDialect dialect, const ColumnTypes &types)
{
    Translation out;
    try {
        const QVector<Token> tokens = tokenize(accessSql);
        Parser p(tokens, dialect, &types);
        const Query q = p.statement();
        out.sql = q.sql;
        out.items = q.items;
        out.from = q.from;
        out.ok = true;
    } catch (const ParseError &e) {
        out.ok = false;
        out.sql.clear();
        out.errorPos = e.pos;
        out.error = e.msg;
    }
    return out;
}

} // namespace accesssql
