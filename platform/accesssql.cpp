// Queries and their clauses: SELECT, UNION, FROM with joins and sub-selects, GROUP BY,
// DISTINCT, DISTINCTROW, ORDER BY and TOP. Expressions are read in accesssql_expr.cpp.
#include "platform/accesssql.h"
#include "platform/accesssql_parser.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace accesssql {

namespace parse {

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

QString Parser::nameSql(const Token &t)
{
    if (t.bracketed)
        return '[' + t.text + ']';
    const QByteArray b = t.text.toUtf8();
    if (sqlite3_keyword_check(b.constData(), int(b.size())))
        return '[' + t.text + ']'; // e.g. Index
    return t.text;
}

Query Parser::statement()
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

// Restores what a nested query changes of the enclosing one's reading.
struct Parser::CoreState {
    Parser &p;
    QStringList *refs;
    QVector<types::FromTable> *tables;
    QHash<QString, Ex> *itemAliases;
    bool aggregate;
    int scopes;
    explicit CoreState(Parser &parser)
        : p(parser), refs(parser.m_refs), tables(parser.m_tables), itemAliases(parser.m_itemAliases),
          aggregate(parser.m_aggregate), scopes(int(parser.m_scopes.size()))
    {
        p.m_refs = nullptr;
        p.m_tables = nullptr;
        p.m_itemAliases = nullptr;
    }
    ~CoreState()
    {
        p.m_refs = refs;
        p.m_tables = tables;
        p.m_itemAliases = itemAliases;
        p.m_aggregate = aggregate;
        while (p.m_scopes.size() > scopes)
            p.m_scopes.removeLast();
    }
};

Query Parser::readQuery()
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
    Order order;
    if (acceptKw("ORDER")) {
        expectKw("BY");
        const Core *single = members.size() == 1 && members[0].isCore ? &members[0].core : nullptr;
        // The keys of one SELECT read its columns with their types, as its WHERE does.
        CoreState state(*this);
        if (single)
            m_scopes << single->from;
        order = orderList(single);
    }
    const QVector<Item> items = members[0].isCore ? members[0].core.items : members[0].q.items;
    const QString from = members[0].isCore ? members[0].core.from : members[0].q.from;
    if (members.size() == 1) {
        const Member &m = members[0];
        if (m.isCore)
            return finish(m.core, order, !m_scopes.isEmpty());
        if (order.sql.isEmpty())
            return m.q;
        return Query{(m.q.simple ? m.q.sql : "SELECT * FROM (" + m.q.sql + ')') + " ORDER BY " + order.sql, false,
                     items, from};
    }
    // UNION drops duplicates as Access compares texts: the first member's collation decides.
    if (members[0].isCore && ops.contains(QStringLiteral(" UNION ")))
        members[0].core.body = members[0].core.unionBody;
    QString sql;
    for (int k = 0; k < members.size(); ++k) {
        Query q = members[k].isCore ? finish(members[k].core, Order{}, false) : members[k].q;
        if (k > 0)
            sql += ops[k - 1];
        sql += q.simple ? q.sql : "SELECT * FROM (" + q.sql + ')';
    }
    if (!order.sql.isEmpty())
        sql += " ORDER BY " + order.sql;
    return Query{sql, false, items, from};
}

Query Parser::finish(const Core &c, const Order &order, bool nested)
{
    // A DISTINCT without TOP: the distinct rows, in the order asked for or else in the order of
    // their items, as Access returns them.
    if (!c.distinctBody.isEmpty() && c.top.isEmpty() && (order.sql.isEmpty() || !order.distinct.isEmpty())) {
        QStringList all;
        for (int k = 0; k < c.itemKeys.size(); ++k)
            all << QString::number(k + 1) + (c.itemKeys[k] == c.itemSql[k] ? QString() : QStringLiteral(" COLLATE DEU"));
        return Query{"SELECT * FROM (" + c.distinctBody + ") ORDER BY " +
                         (order.sql.isEmpty() ? all.join(QStringLiteral(", ")) : order.distinct),
                     false, c.items, c.from};
    }
    QString sql = c.body;
    if (!order.sql.isEmpty())
        sql += " ORDER BY " + order.sql;
    if (!c.top.isEmpty()) {
        // A percent counts a started row; either count keeps the rows tied with the last one.
        const QString n = c.percent ? "(SELECT (count(*) * " + c.top + " + 99) / 100 FROM (" + c.body + "))" : c.top;
        const bool ranked = !order.sql.isEmpty() && !order.window.isEmpty() && !c.distinct;
        if (ranked && nested && !c.star) {
            // Inside another query the sub-query may name the outer row (the youngest pupil of each
            // class), which SQLite allows in a FROM sub-query but not in LIMIT: rank the rows there.
            QStringList inner, outer;
            for (int k = 0; k < c.itemSql.size(); ++k) {
                inner << c.itemSql[k] + QStringLiteral(" AS zT%1").arg(k);
                const QString shown = c.itemNames[k].isEmpty() ? QStringLiteral("zT%1").arg(k) : c.itemNames[k];
                outer << QStringLiteral("zT%1 AS [").arg(k) + shown + ']';
            }
            return Query{"SELECT " + outer.join(QStringLiteral(", ")) + " FROM (SELECT " +
                             inner.join(QStringLiteral(", ")) + ", rank() OVER (ORDER BY " + order.window +
                             ") AS zRang" + c.rest + ") WHERE zRang <= " + n + " ORDER BY zRang",
                         false, c.items, c.from};
        }
        if (ranked)
            sql += " LIMIT (SELECT count(*) FROM (SELECT rank() OVER (ORDER BY " + order.window + ") AS zRang" +
                   c.rest + ") WHERE zRang <= " + n + ')';
        else
            sql += " LIMIT " + n;
    }
    return Query{sql, order.sql.isEmpty() && c.top.isEmpty(), c.items, c.from};
}

Core Parser::core()
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
    c.grouped = (!groups.isEmpty() || aggregate) && !distinctRow;
    c.groupedBy = groups;
    c.distinctTyped = distinct;
    for (int k = 0; k < c.itemSql.size(); ++k)
        if (c.itemColumn[k])
            checkGrouped(Ex{c.itemSql[k], P_PRIMARY, Ex::Column, false, false}, c, cur().pos);
    if (groups.isEmpty() && having.isEmpty() && !aggregate) {
        // DISTINCT as GROUP BY, which sorts in German order; or (finish) as DISTINCT over the
        // items in German order, which is quicker, unless a Yes/No among them would sort No first.
        if (distinct && !c.star && !c.groupKeys.isEmpty()) {
            groups = c.groupKeys;
            distinct = false;
            if (!c.itemYesNo.contains(true))
                c.distinctBody = "SELECT DISTINCT " + unionItems.join(QStringLiteral(", ")) + rest;
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

QString Parser::scoutFrom(QVector<types::FromTable> *tables)
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

QString Parser::selectList(Core &c, QStringList *unionItems)
{
    QStringList items;
    // Per item: the field's name, table.name for a qualified column, the union item without a name.
    QStringList shownAs, qualifiedAs, unionValue;
    // A later item may use the name given to an earlier one, as Access allows.
    QHash<QString, Ex> named;
    m_itemAliases = &named;
    int unnamed = 1000;
    auto star = [&](const QString &item) {
        items << item;
        *unionItems << item;
        c.items << Item{true, false, {}};
        c.itemSql << QString();
        c.itemYesNo << false;
        c.itemColumn << false;
        c.itemKeys << QString();
        c.itemNames << QString();
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
        c.items << Item{false, e.isDate(), e.isDate() ? QString() : e.dateIf};
        c.itemSql << e.sql;
        c.itemYesNo << (e.vt == Vt::YesNo);
        c.itemColumn << (e.kind == Ex::Column);
        if (e.kind != Ex::Number)
            c.groupKeys << groupKey(e);
        QString as;
        QString bare = e.sql;
        bare.remove('[');
        bare.remove(']');
        if (acceptKw("AS")) {
            const QString alias = cur().text.toUpper();
            as = " AS " + name();
            c.aliases.insert(alias, e.sql);
            named.insert(QString(alias).remove('[').remove(']'), e);
            c.itemNames << QString(alias).remove('[').remove(']');
        } else {
            if (e.kind != Ex::Column)
                as = QStringLiteral(" AS Ausdr%1").arg(unnamed++);
            c.itemNames << (e.kind == Ex::Column ? bare.section('.', -1).toUpper() : QString());
        }
        items << e.sql + as;
        shownAs << (as.isEmpty() ? bare.section('.', -1).toUpper() : QString());
        qualifiedAs << (as.isEmpty() && bare.contains('.') ? bare : QString());
        const QString key = groupKey(e);
        c.itemKeys << key;
        unionValue << key;
        if (key == e.sql)
            *unionItems << e.sql + as;
        else
            *unionItems << key + (as.isEmpty() ? " AS " + e.sql.section('.', -1) : as);
    } while (acceptOp(","));
    m_itemAliases = nullptr;
    // Two columns of one name from different tables are named with their table, as Access names
    // them ("S.Klasse", "K.Klasse").
    auto fromTwoTables = [&](int k) {
        for (int j = 0; j < shownAs.size(); ++j)
            if (shownAs[j] == shownAs[k] && !qualifiedAs[j].isEmpty() &&
                qualifiedAs[j].section('.', 0, -2).compare(qualifiedAs[k].section('.', 0, -2), Qt::CaseInsensitive) != 0)
                return true;
        return false;
    };
    if (!c.star)
        for (int k = 0; k < shownAs.size(); ++k)
            if (!qualifiedAs[k].isEmpty() && fromTwoTables(k)) {
                const QString as = " AS \"" + qualifiedAs[k] + '"';
                items[k] += as;
                (*unionItems)[k] = unionValue[k] + as;
            }
    return items.join(QStringLiteral(", "));
}

QString Parser::windowKey(const Ex &e, const Core *c)
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
    return groupKey(e);
}

int Parser::itemOf(const Ex &e, const Core &c)
{
    if (e.kind == Ex::Number) {
        bool ok = false;
        const int k = e.sql.toInt(&ok);
        return ok && k >= 1 && k <= c.itemSql.size() ? k : 0;
    }
    QString bare = e.sql;
    bare.remove('[');
    bare.remove(']');
    for (int k = 0; k < c.itemSql.size(); ++k) {
        if (c.itemSql[k].isEmpty())
            continue;
        if (e.sql == c.itemSql[k] || (e.kind == Ex::Column && !bare.contains('.') && bare.toUpper() == c.itemNames[k]))
            return k + 1;
    }
    return 0;
}

// Whether one of the keys uses the field e (with or without its table's name).
static bool namedIn(const Ex &e, const QStringList &keys)
{
    QString field = e.sql.section('.', -1);
    field.remove('[');
    field.remove(']');
    const QRegularExpression word("(?<!\\w)" + QRegularExpression::escape(field) + "(?!\\w)",
                                  QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    for (QString key : keys)
        if (key.remove('[').remove(']').contains(word))
            return true;
    return false;
}

void Parser::checkGrouped(const Ex &e, const Core &c, int pos)
{
    if (c.grouped && e.kind == Ex::Column && !namedIn(e, c.groupedBy))
        throw ParseError{pos, QStringLiteral("Ausdruck '%1' ist nicht Teil einer Aggregatfunktion").arg(e.sql)};
}

Order Parser::orderList(const Core *c)
{
    Order out;
    QStringList items, windowItems, distinctItems;
    bool windowOk = true, distinctOk = c != nullptr;
    do {
        Ex e = value(expr());
        // Each key compares as Access compares it: texts in German order with case ignored, so that
        // the next key decides between "MÜLLER" and "Müller"; a column's position likewise.
        QString item = e.kind == Ex::Number ? e.sql + " COLLATE DEU" : groupKey(e);
        QString w = windowKey(e, c);
        if (c && e.vt == Vt::YesNo) // Yes (-1) sorts before No (0), as Access sorts it
            item = w = arithmetic(e).sql;
        const int k = c ? itemOf(e, *c) : 0;
        if (c && k == 0) {
            // Access sorts a grouped query by its groups and a DISTINCT by its items only.
            if (c->distinctTyped && !(e.kind == Ex::Column && namedIn(e, c->itemSql)))
                throw ParseError{cur().pos, QStringLiteral("ORDER BY steht in Konflikt mit DISTINCT")};
            checkGrouped(e, *c, cur().pos);
        }
        if (c && !c->star && e.kind == Ex::Number && k >= 1 && c->itemYesNo[k - 1])
            item = w = types::yesNoValue(c->itemSql[k - 1]);
        windowOk = windowOk && !w.isEmpty();
        // The same key over a DISTINCT's rows: its item's position.
        distinctOk = distinctOk && k >= 1 && e.vt != Vt::YesNo;
        QString d = distinctOk ? QString::number(k) + (c->itemKeys[k - 1] == c->itemSql[k - 1] ? QString()
                                                                                            : QStringLiteral(" COLLATE DEU"))
                               : QString();
        if (acceptKw("DESC")) {
            item += QStringLiteral(" DESC");
            w += QStringLiteral(" DESC");
            d += QStringLiteral(" DESC");
        } else
            acceptKw("ASC");
        items << item;
        windowItems << w;
        distinctItems << d;
    } while (acceptOp(","));
    out.sql = items.join(QStringLiteral(", "));
    out.window = windowOk ? windowItems.join(QStringLiteral(", ")) : QString();
    out.distinct = distinctOk ? distinctItems.join(QStringLiteral(", ")) : QString();
    return out;
}

QString Parser::fromList()
{
    QStringList items;
    do
        items << fromItem();
    while (acceptOp(","));
    return items.join(QStringLiteral(", "));
}

QString Parser::fromItem()
{
    QString s = fromPrimary();
    for (bool joined = false;; joined = true) {
        // Access joins two items at a time: a further join needs the first two in parentheses.
        if (joined && (isKw(cur(), "INNER") || isKw(cur(), "LEFT") || isKw(cur(), "RIGHT") || isKw(cur(), "JOIN")))
            throw ParseError{cur().pos, QStringLiteral("Syntaxfehler (fehlender Operator): Verknüpfungen klammern")};
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

QString Parser::alias()
{
    if (acceptKw("AS"))
        return " AS " + name();
    if (isName(cur()))
        return " AS " + name();
    return {};
}

QString Parser::readFromPrimary()
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

void Parser::noteTable(const QString &sql, const QString &as, bool table)
{
    if (!m_tables)
        return;
    QString q = as.isEmpty() ? sql : as.mid(4); // " AS name"
    q.remove('[');
    q.remove(']');
    *m_tables << types::FromTable{sql, q, table};
}

} // namespace parse

Translation translate(const QString &accessSql, LikeDialect dialect) { return translate(accessSql, dialect, {}); }

Translation translate(const QString &accessSql, LikeDialect dialect, const ColumnTypes &types)
{
    return translate(accessSql, dialect, types, {});
}

Translation translate(const QString &accessSql, LikeDialect dialect, const ColumnTypes &types,
                      const NameSpelling &spelling)
{
    Translation out;
    try {
        QVector<lex::Token> tokens = lex::tokenize(accessSql);
        // A name given after AS stays as typed.
        for (int k = 0; spelling && k < tokens.size(); ++k) {
            lex::Token &t = tokens[k];
            bool ascii = true;
            for (QChar c : t.text)
                ascii = ascii && c.unicode() < 128;
            if (t.kind == lex::Tk::Ident && !ascii && !(k > 0 && !tokens[k - 1].bracketed && tokens[k - 1].upper == "AS"))
                t.text = spelling(t.text);
        }
        parse::Parser p(tokens, dialect, &types);
        const parse::Query q = p.statement();
        out.sql = q.sql;
        out.items = q.items;
        out.from = q.from;
        out.ok = true;
    } catch (const lex::ParseError &e) {
        out.ok = false;
        out.sql.clear();
        out.errorPos = e.pos;
        out.error = e.msg;
    }
    return out;
}

} // namespace accesssql
