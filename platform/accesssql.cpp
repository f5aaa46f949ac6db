#include "platform/accesssql.h"
#include "platform/accesssql_dates.h"
#include "platform/accesssql_tokens.h"

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
};

// The value type that an expression passes on to a result of it.
Ex typed(Ex e, const Ex &from)
{
    e.date = from.date;
    e.dateIf = from.dateIf;
    return e;
}

QString wrap(const Ex &e, int need) { return e.prec >= need ? e.sql : '(' + e.sql + ')'; }

Ex other(const QString &sql, int prec) { return Ex{sql, prec, Ex::Other, false, false}; }

// A value whose comparison does not depend on letter case.
bool caseFree(const Ex &e)
{
    return e.kind == Ex::Number || e.kind == Ex::Null || e.kind == Ex::Bool || (e.kind == Ex::Text && !e.letters);
}

bool needsNoCase(const Ex &l, const Ex &r)
{
    if (l.kind == Ex::Column && r.kind == Ex::Column)
        return false; // columns of the grade manager are declared NOCASE; keeps joins on indexes
    return !caseFree(l) && !caseFree(r);
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
};

// Deeper nesting is refused before it could exhaust the stack.
constexpr int MaxDepth = 200;

class Parser {
public:
    Parser(const QVector<Token> &t, LikeDialect d, const QSet<int> *dateColumns)
        : m_t(t), m_dialect(d), m_dateTexts(dateColumns)
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

    // The columns met where Access makes text (see withDateColumns).
    QVector<DateSlot> dateSlots() const { return m_dateTexts.noted(); }

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
        QString order;
        if (acceptKw("ORDER")) {
            expectKw("BY");
            order = orderList();
        }
        const QVector<Item> items = members[0].isCore ? members[0].core.items : members[0].q.items;
        const QString from = members[0].isCore ? members[0].core.from : members[0].q.from;
        if (members.size() == 1) {
            const Member &m = members[0];
            if (m.isCore)
                return finish(m.core, order);
            if (order.isEmpty())
                return m.q;
            return Query{(m.q.simple ? m.q.sql : "SELECT * FROM (" + m.q.sql + ')') + " ORDER BY " + order, false,
                         items, from};
        }
        QString sql;
        for (int k = 0; k < members.size(); ++k) {
            Query q = members[k].isCore ? finish(members[k].core, QString()) : members[k].q;
            if (k > 0)
                sql += ops[k - 1];
            sql += q.simple ? q.sql : "SELECT * FROM (" + q.sql + ')';
        }
        if (!order.isEmpty())
            sql += " ORDER BY " + order;
        return Query{sql, false, items, from};
    }

    static Query finish(const Core &c, const QString &order)
    {
        QString sql = c.body;
        if (!order.isEmpty())
            sql += " ORDER BY " + order;
        if (!c.top.isEmpty()) {
            if (c.percent) // rounded up, as Access counts a started percent
                sql += " LIMIT (SELECT (count(*) * " + c.top + " + 99) / 100 FROM (" + c.body + "))";
            else
                sql += " LIMIT " + c.top;
        }
        return Query{sql, order.isEmpty() && c.top.isEmpty(), c.items, c.from};
    }

    Core core()
    {
        Core c;
        const int id = m_dateTexts.enterQuery();
        struct Leave {
            detail::DateTextSlots &texts;
            ~Leave() { texts.leaveQuery(); }
        } leave{m_dateTexts};
        expectKw("SELECT");
        QString sql = QStringLiteral("SELECT ");
        if (acceptKw("DISTINCT"))
            sql += QStringLiteral("DISTINCT ");
        else if (!acceptKw("DISTINCTROW")) // rows of one table are distinct already
            acceptKw("ALL");
        if (acceptKw("TOP")) {
            const Token &t = cur();
            if (t.kind != Tk::Number || t.text.contains('.') || t.text.contains('e', Qt::CaseInsensitive))
                throw ParseError{t.pos, QStringLiteral("ganze Zahl nach TOP erwartet")};
            c.top = QString::number(t.text.toLongLong());
            ++m_i;
            c.percent = acceptKw("PERCENT");
        }
        sql += selectList(c.items);
        if (isKw(cur(), "INTO"))
            throw ParseError{cur().pos, QStringLiteral("INTO ist nicht erlaubt")};
        if (acceptKw("FROM")) {
            c.from = fromList();
            m_dateTexts.setFrom(id, c.from);
            sql += " FROM " + c.from;
        }
        if (acceptKw("WHERE"))
            sql += " WHERE " + expr().sql;
        if (acceptKw("GROUP")) {
            expectKw("BY");
            QStringList items;
            do
                items << expr().sql;
            while (acceptOp(","));
            sql += " GROUP BY " + items.join(QStringLiteral(", "));
        }
        if (acceptKw("HAVING"))
            sql += " HAVING " + expr().sql;
        c.body = sql;
        return c;
    }

    QString selectList(QVector<Item> &types)
    {
        QStringList items;
        int unnamed = 1000;
        do {
            if (acceptOp("*")) {
                items << QStringLiteral("*");
                types << Item{true, false, {}};
                continue;
            }
            // table.*
            if (isName(cur()) && (isOp(peek(), ".") || isOp(peek(), "!")) && isOp(peek(2), "*")) {
                items << name() + ".*";
                types << Item{true, false, {}};
                m_i += 2;
                continue;
            }
            Ex e = expr();
            types << Item{false, e.date, e.date ? QString() : e.dateIf};
            QString item = e.sql;
            if (acceptKw("AS"))
                item += " AS " + name();
            else if (e.kind != Ex::Column)
                item += QStringLiteral(" AS Ausdr%1").arg(unnamed++);
            items << item;
        } while (acceptOp(","));
        return items.join(QStringLiteral(", "));
    }

    QString orderList()
    {
        QStringList items;
        do {
            Ex e = expr();
            QString item = e.kind == Ex::Number ? e.sql : wrap(e, P_COLLATE) + " COLLATE DE";
            if (acceptKw("DESC"))
                item += QStringLiteral(" DESC");
            else
                acceptKw("ASC");
            items << item;
        } while (acceptOp(","));
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
                    return '(' + q.sql + ')' + alias();
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
        return table + alias();
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
            l = other(wrap(l, P_OR) + " OR " + wrap(r, P_OR + 1), P_OR);
        }
        return l;
    }

    Ex andExpr()
    {
        Ex l = notExpr();
        while (acceptKw("AND")) {
            Ex r = notExpr();
            l = other(wrap(l, P_AND) + " AND " + wrap(r, P_AND + 1), P_AND);
        }
        return l;
    }

    Ex notExpr()
    {
        Depth depth(m_depth, cur().pos);
        if (acceptKw("NOT")) {
            Ex e = notExpr();
            return other("NOT " + wrap(e, P_NOT), P_NOT);
        }
        return comparison();
    }

    Ex compare(const Ex &l, const QString &op, const Ex &r)
    {
        const bool eq = op == QLatin1String("=") || op == QLatin1String("<>");
        if (eq && (l.kind == Ex::Bool) != (r.kind == Ex::Bool)) {
            // A Yes/No reads -1 or 1 as true: compare with zero instead of with one value.
            const Ex &v = l.kind == Ex::Bool ? r : l;
            const bool truth = (l.kind == Ex::Bool ? l.truth : r.truth) == (op == QLatin1String("="));
            return other(wrap(v, P_EQ + 1) + (truth ? " <> 0" : " = 0"), P_EQ);
        }
        const int p = eq ? P_EQ : P_CMP;
        QString right = needsNoCase(l, r) ? wrap(r, P_COLLATE) + " COLLATE NOCASEU" : wrap(r, p + 1);
        return other(wrap(l, p) + ' ' + op + ' ' + right, p);
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
                    l = negated ? other("NOT " + call, P_NOT) : other(call, P_PRIMARY);
                } else
                    l = other(wrap(l, P_EQ + 1) + (negated ? " NOT LIKE " : " LIKE ") + wrap(r, P_EQ + 1), P_EQ);
                continue;
            }
            if (acceptKw("BETWEEN")) {
                Ex a = concat();
                expectKw("AND");
                Ex b = concat();
                const bool nc = needsNoCase(l, a) || needsNoCase(l, b);
                QString left = nc ? wrap(l, P_COLLATE) + " COLLATE NOCASEU" : wrap(l, P_EQ + 1);
                l = other(left + (negated ? " NOT BETWEEN " : " BETWEEN ") + wrap(a, P_EQ + 1) + " AND " +
                              wrap(b, P_EQ + 1),
                          P_EQ);
                continue;
            }
            if (acceptKw("IN")) {
                expectOp("(");
                QString list;
                bool nc = false;
                if (isKw(cur(), "SELECT")) {
                    list = query().sql;
                } else {
                    QStringList items;
                    do {
                        Ex e = expr();
                        nc = nc || needsNoCase(l, e);
                        items << e.sql;
                    } while (acceptOp(","));
                    list = items.join(QStringLiteral(", "));
                }
                expectOp(")");
                QString left = nc ? wrap(l, P_COLLATE) + " COLLATE NOCASEU" : wrap(l, P_EQ + 1);
                l = other(left + (negated ? " NOT IN (" : " IN (") + list + ')', P_EQ);
                continue;
            }
            if (negated)
                throw ParseError{t.pos, QStringLiteral("LIKE, BETWEEN oder IN erwartet")};
            if (acceptKw("IS")) {
                const bool isNot = acceptKw("NOT");
                expectKw("NULL");
                l = other(wrap(l, P_EQ) + (isNot ? " IS NOT NULL" : " IS NULL"), P_EQ);
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
        QStringList parts{asText(l)};
        while (acceptOp("&"))
            parts << asText(additive());
        return other("AccConcat(" + parts.join(QStringLiteral(", ")) + ')', P_PRIMARY);
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

    Ex additive()
    {
        Ex l = modulo();
        for (;;) {
            if (acceptOp("+")) {
                const Ex r = modulo();
                l = dayShift(other("AccPlus(" + l.sql + ", " + r.sql + ')', P_PRIMARY), l, r, true);
            } else if (acceptOp("-")) {
                const Ex r = modulo();
                l = dayShift(other("AccMinus(" + l.sql + ", " + r.sql + ')', P_PRIMARY), l, r, false);
            } else
                return l;
        }
    }

    // Mod and \ round both operands to whole numbers first, half to even, as Access does.
    Ex wholeNumberOp(const Ex &l, const char *op, const Ex &r)
    {
        return other("CAST(AccRound(" + l.sql + ") AS INTEGER) " + op + " CAST(AccRound(" + r.sql + ") AS INTEGER)",
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
                Ex r = unary();
                l = other(wrap(l, P_MUL) + " * " + wrap(r, P_MUL + 1), P_MUL);
            } else if (acceptOp("/")) {
                Ex r = unary();
                l = other("CAST(" + l.sql + " AS REAL) / " + wrap(r, P_MUL + 1), P_MUL); // never integer division
            } else
                return l;
        }
    }

    Ex unary()
    {
        Depth depth(m_depth, cur().pos);
        if (acceptOp("-")) {
            Ex e = unary();
            // "--" would start a comment in SQLite
            const QString inner = e.sql.startsWith('-') ? '(' + e.sql + ')' : wrap(e, P_UNARY);
            Ex out = other('-' + inner, P_UNARY);
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
            Ex r = isOp(cur(), "-") || isOp(cur(), "+") ? unary() : primary();
            l = other("power(" + l.sql + ", " + r.sql + ')', P_PRIMARY);
        }
        return l;
    }

    Ex primary()
    {
        const Token &t = cur();
        switch (t.kind) {
        case Tk::Number:
            ++m_i;
            return Ex{t.text, P_PRIMARY, Ex::Number, false, false};
        case Tk::String: {
            ++m_i;
            bool letters = false;
            for (QChar c : t.text)
                letters = letters || c.isLetter();
            return Ex{sqlString(t.text), P_PRIMARY, Ex::Text, letters, false};
        }
        case Tk::Date: {
            ++m_i;
            Ex d{sqlString(t.text), P_PRIMARY, Ex::Text, false, false};
            d.date = true;
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
                return typed(out, e);
            }
            throw ParseError{t.pos, QStringLiteral("Ausdruck erwartet")};
        case Tk::Ident:
            break;
        }
        if (!t.bracketed) {
            if (t.upper == QLatin1String("NULL")) {
                ++m_i;
                return Ex{QStringLiteral("NULL"), P_PRIMARY, Ex::Null, false, false};
            }
            if (t.upper == QLatin1String("TRUE") || t.upper == QLatin1String("FALSE")) {
                ++m_i;
                const bool v = t.upper == QLatin1String("TRUE");
                return Ex{v ? QStringLiteral("1") : QStringLiteral("0"), P_PRIMARY, Ex::Bool, false, v};
            }
            if (t.upper == QLatin1String("EXISTS")) {
                ++m_i;
                expectOp("(");
                Query q = query();
                expectOp(")");
                return other("EXISTS (" + q.sql + ')', P_PRIMARY);
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
        return col;
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
                values << expr();
            while (acceptOp(","));
        }
        expectOp(")");
        if (!detail::argumentCountFits(t.upper, int(qMax(args.size(), values.size()))))
            throw ParseError{t.pos, QStringLiteral("falsche Anzahl von Argumenten für %1").arg(t.text)};
        const Ex typedCall = callType(Ex{}, t.upper, values);
        const bool dateResult = typedCall.date || !typedCall.dateIf.isEmpty();
        for (int i = 0; i < values.size(); ++i)
            args << (textArgument(t.upper, i, int(values.size()), dateResult) ? asText(values[i]) : values[i].sql);
        return callType(other(fn + '(' + args.join(QStringLiteral(", ")) + ')', P_PRIMARY), t.upper, values);
    }

    // The expression as Access turns it into text: a date shows as "31.12.2011" (with the time
    // when it has one). Whether a column is a date only the database knows: the first reading
    // notes each such column, a second one is told which of them are (withDateColumns).
    QString asText(const Ex &e)
    {
        if (e.date)
            return "AccDateText(" + e.sql + ')';
        if (e.dateIf.isEmpty())
            return e.sql;
        return m_dateTexts.columnAsText(e.sql, e.dateIf);
    }

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
    int m_i = 0;
    int m_depth = 0;
    QHash<int, Memo<Query>> m_queries;
    QHash<int, Memo<QString>> m_fromItems;
    detail::DateTextSlots m_dateTexts;
};

} // namespace

namespace {

Translation translated(const QString &accessSql, LikeDialect dialect, const QSet<int> *dateColumns)
{
    Translation out;
    out.source = accessSql;
    out.dialect = dialect;
    try {
        const QVector<Token> tokens = tokenize(accessSql);
        Parser p(tokens, dialect, dateColumns);
        const Query q = p.statement();
        out.sql = q.sql;
        out.items = q.items;
        out.from = q.from;
        out.dateSlots = p.dateSlots();
        out.ok = true;
    } catch (const ParseError &e) {
        out.ok = false;
        out.sql.clear();
        out.errorPos = e.pos;
        out.error = e.msg;
    }
    return out;
}

} // namespace

Translation translate(const QString &accessSql, LikeDialect dialect)
{
    return translated(accessSql, dialect, nullptr);
}

Translation withDateColumns(const Translation &t, const std::function<bool(const DateSlot &)> &isDate)
{
    if (!t.ok || t.dateSlots.isEmpty())
        return t;
    QSet<int> dates;
    for (int k = 0; k < t.dateSlots.size(); ++k)
        if (isDate(t.dateSlots[k]))
            dates.insert(k);
    return dates.isEmpty() ? t : translated(t.source, t.dialect, &dates);
}

} // namespace accesssql
