#pragma once
// The reader of the Access dialect behind accesssql::translate (platform/accesssql.h): one parser
// whose queries and clauses are read in accesssql.cpp and whose expressions (operators, types,
// conversions, function calls) in accesssql_expr.cpp.
#include "platform/accesssql.h"
#include "platform/accesssql_tokens.h"
#include "platform/accesssql_types.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

namespace accesssql::parse {

using namespace lex;
using types::Vt;

// Words that never stand as a bare name in a statement.
const QSet<QString> &reserved();

// SQLite precedence of the emitted text, higher binds tighter.
enum Prec { P_OR = 1, P_AND, P_NOT, P_EQ, P_CMP, P_BIT = 7, P_ADD, P_MUL, P_CAT, P_COLLATE, P_UNARY, P_PRIMARY };

struct Ex {
    enum Kind { Other, Column, Number, Text, Null, Bool };
    QString sql;
    int prec = P_PRIMARY;
    Kind kind = Other;
    bool letters = false; // a text literal that holds letters
    bool truth = false;   // value of a Bool literal
    QString dateIf;       // a date exactly when this column is one (Max(col), col + 1 …)
    Vt vt = Vt::Unknown;  // the value's type as far as the text and the columns' types tell
    bool logic = false;   // a truth value (comparison, Like …): true is -1 where it stands as a value

    // A date (literal, Date(), DateAdd(…) …), also one that may be a text (Nz(date, "")).
    bool isDate() const { return vt == Vt::Date || vt == Vt::DateOrText; }
};

// The value type that an expression passes on to a result of it.
Ex typed(Ex e, const Ex &from);
QString wrap(const Ex &e, int need);
Ex other(const QString &sql, int prec);
// A truth value (comparison, Like …) standing as a value: -1 for true, as Access computes.
Ex value(const Ex &e);
// An operand of arithmetic: a Yes/No counts -1 for Yes (stored as 1).
Ex arithmetic(const Ex &e);
// An operand of *, /, ^ and the sign: numeric texts and dates as numbers.
Ex numeric(const Ex &e);
Ex logic(const QString &sql, int prec);
Ex number(const QString &sql, int prec);
types::Operand operand(const Ex &e, int prec);
// A GROUP BY key (also of DISTINCT): texts group in German order with case ignored.
QString groupKey(const Ex &e);

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
    QVector<bool> itemYesNo;  // each select item is a Yes/No
    QVector<bool> itemColumn; // each select item is a field as such
    QStringList groupKeys;    // the select items as GROUP BY keys (constants left out)
    QHash<QString, QString> aliases; // upper-case alias -> expression
    QString unionBody;        // the body with its texts in German order, as the first member of a UNION
    QStringList itemKeys;     // each select item as a key in German order (empty for a star)
    QStringList itemNames;    // each select item's name in upper case: its alias or its column's name
    // DISTINCT kept as such over the items in German order, where it may stand for the GROUP BY:
    // SQLite then sorts the distinct rows alone. Empty where it may not.
    QString distinctBody;
    // Grouped (GROUP BY or an aggregate): the GROUP BY keys as typed; a field outside an aggregate
    // must be one of them, as Access requires. distinct: DISTINCT as typed.
    bool grouped = false;
    bool distinctTyped = false;
    QStringList groupedBy;
};

// The ORDER BY clause as read.
struct Order {
    QString sql;
    QString window;   // the keys as a window function over the same rows reads them (empty: cannot be told)
    QString distinct; // the keys by the position of their select item (empty: one is no select item)
};

// Deeper nesting is refused before it could exhaust the stack.
constexpr int MaxDepth = 200;

class Parser {
public:
    Parser(const QVector<Token> &t, LikeDialect d, const ColumnTypes *types = nullptr)
        : m_t(t), m_dialect(d), m_types(types && *types ? types : nullptr)
    {
    }

    Query statement();

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

    // A name as SQLite reads it: bracketed when SQLite reserves it (Index).
    static QString nameSql(const Token &t);
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
    Query readQuery();
    // window: the ORDER BY keys as a window function can read them (empty when they cannot be told).
    // nested: a sub-query, which may name the rows of the queries around it.
    static Query finish(const Core &c, const Order &order, bool nested);
    struct CoreState;
    Core core();
    // The FROM clause of the query whose select list starts here, read by a second parser
    // (empty when there is none or it cannot be read: the real reading reports that).
    QString scoutFrom(QVector<types::FromTable> *tables);
    // unionItems: the same items with texts in German order, each keeping its name.
    QString selectList(Core &c, QStringList *unionItems);
    // An ORDER BY key as a window function over the same rows reads it: a select item's alias
    // or position stands for its expression. Empty when it cannot be told.
    static QString windowKey(const Ex &e, const Core *c);
    // The select item (from 1) that an ORDER BY key names by its position, name, alias or
    // expression; 0 when none.
    static int itemOf(const Ex &e, const Core &c);
    // Refuses a field that a grouped query shows or sorts by outside an aggregate and its GROUP BY.
    static void checkGrouped(const Ex &e, const Core &c, int pos);
    Order orderList(const Core *c);
    QString fromList();
    QString fromItem();
    QString alias();
    QString fromPrimary() { return remembered(m_fromItems, [this] { return readFromPrimary(); }); }
    QString readFromPrimary();
    // Notes a FROM entry while the FROM clause is read ahead (for DISTINCTROW).
    void noteTable(const QString &sql, const QString &as, bool table);

    // ---- expressions, by Access's precedence from loosest to tightest

    Ex expr();
    // Imp, Eqv, Xor, Or and And from the given one on (0: Imp).
    Ex connected(int level);
    Ex notExpr();
    Ex compare(const Ex &l0, const QString &op, const Ex &r0);
    // x op ANY/SOME/ALL (SELECT …), the keyword at the current token.
    Ex quantified(const Ex &l, const QString &op);
    // The left operand of Between or In with the others, converted as Access compares them.
    QString listLeft(const Ex &l, const QVector<Ex> &others, QStringList *converted);
    Ex comparison();
    Ex concat();
    // A date plus or minus days is a date; a date column plus a number likewise.
    static Ex dayShift(const Ex &sum, const Ex &l, const Ex &r, bool plus);
    // The type of a sum: numbers give a number, texts (+ concatenates them) a text.
    static Ex sumType(Ex sum, const Ex &l, const Ex &r);
    Ex additive();
    // Mod and \ round both operands to whole numbers first, half to even, as Access does.
    Ex wholeNumberOp(const Ex &l0, const char *op, const Ex &r0);
    Ex modulo();
    Ex intDiv();
    Ex multiplicative();
    Ex unary();
    Ex power();
    Ex primary();
    // A column's type from the FROM clauses around it, the innermost first.
    void resolve(Ex &col) const;
    // The item an earlier name of the select list being read stands for, when no field has it.
    const Ex *itemAlias(const QString &n) const;
    // A call of one of Access's functions, read as its entry (platform/accessfunctions) says.
    Ex call();
    static Ex callOf(const accessfn::Function &f, const QString &fn, QVector<Ex> values);
    // The expression as Access turns it into text: a date shows as "31.12.2011" (with the time
    // when it has one). A column counts as a date when its declared type says so (the columns'
    // types given to translate); without them it stays as stored.
    static QString asText(const Ex &e);

    const QVector<Token> &m_t;
    LikeDialect m_dialect;
    const ColumnTypes *m_types = nullptr;
    QStringList m_scopes;                          // FROM clauses of the queries around, innermost last
    QStringList *m_refs = nullptr;                 // column references of the select list being read
    QVector<types::FromTable> *m_tables = nullptr; // FROM entries while reading ahead
    bool m_aggregate = false;                      // the select list being read has an aggregate
    QHash<QString, Ex> *m_itemAliases = nullptr;   // the names given so far in the select list being read
    int m_i = 0;
    int m_depth = 0;
    QHash<int, Memo<Query>> m_queries;
    QHash<int, Memo<QString>> m_fromItems;
};

} // namespace accesssql::parse
