// Expressions of the Access dialect, by Access's precedence: operators, comparisons that convert
// as Access does, texts in German order, the types of values and function calls.
#include "platform/accessfunctions/function.h"
#include "platform/accesssql_parser.h"

namespace accesssql::parse {

// The value type that an expression passes on to a result of it.
Ex typed(Ex e, const Ex &from)
{
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

// An operand of *, /, ^ and the sign: a text holding a number counts as that number ("2,5" * 2 =
// 5, another text stops the statement) and a date as its serial number, as Access computes.
Ex numeric(const Ex &e0)
{
    Ex e = arithmetic(e0);
    if (e.kind == Ex::Number || e.kind == Ex::Null || e.kind == Ex::Bool || e.vt == Vt::Number || e.vt == Vt::Null)
        return e;
    const QString sql = e.isDate() || !e.dateIf.isEmpty() ? "AccDateNumber(" + e.sql + ')' : e.sql;
    Ex out = other("AccAsNumber(" + sql + ')', P_PRIMARY);
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
    return types::Operand{e.sql, wrap(e, prec), e.vt, literal, e.kind == Ex::Column};
}

// A GROUP BY key (also of DISTINCT): texts group in German order with case ignored.
QString groupKey(const Ex &e)
{
    if (e.kind == Ex::Number || e.isDate() || e.vt == Vt::Number || e.vt == Vt::Date || e.vt == Vt::YesNo ||
        e.vt == Vt::Null)
        return e.sql;
    return wrap(e, P_COLLATE) + " COLLATE DEU";
}

namespace {

// Whether Not, And, Or, Xor, Eqv and Imp take a value bit by bit, as Access does a number's; a
// truth value (comparison, True/False, a Yes/No stored as -1 or 1), Null and a value whose type
// the statement does not tell (maybe a Yes/No stored as 1) are taken logically.
bool bitwise(const Ex &e)
{
    return !(e.logic || e.kind == Ex::Bool || e.kind == Ex::Null || e.vt == Vt::YesNo || e.vt == Vt::Unknown ||
             e.vt == Vt::DateOrText || e.vt == Vt::Null);
}

// A number as a Long: a decimal rounded half to even, as Access rounds it.
QString longValue(const Ex &n) { return "CAST(AccRound(" + n.sql + ") AS INTEGER)"; }

// An operand of a bitwise operator: a number as a Long, a truth value as -1 or 0, Null as Null.
Ex bits(const Ex &e)
{
    if (e.kind == Ex::Bool || e.kind == Ex::Null)
        return e;
    if (!bitwise(e))
        return number(e.logic ? types::truthValue(e.sql) : types::yesNoValue(wrap(e, P_EQ + 1)), P_PRIMARY);
    const Ex n = numeric(e);
    if (e.kind == Ex::Number && !e.sql.contains('.') && !e.sql.contains('e', Qt::CaseInsensitive))
        return n;
    return number(longValue(n), P_PRIMARY);
}

// A truth value as 1, 0 or Null: a Yes/No stored as -1 or 1 is true.
Ex truth(const Ex &e) { return e.logic ? e : logic(wrap(e, P_EQ + 1) + " <> 0", P_EQ); }

// The connectives by Access's precedence, the loosest first; Not binds tighter than all.
constexpr const char *connectives[] = {"IMP", "EQV", "XOR", "OR", "AND"};
constexpr int connectiveCount = int(std::size(connectives));

// l And r, l Or r …: bit by bit where a number takes part (3 And 5 is 1), else logically with
// Null as Access takes it (Null And False is False, False Imp Null is True).
Ex connect(const QString &op, const Ex &l, const Ex &r)
{
    if (bitwise(l) || bitwise(r)) {
        const QString name = op.left(1) + op.mid(1).toLower();
        return number("Acc" + name + '(' + bits(l).sql + ", " + bits(r).sql + ')', P_PRIMARY);
    }
    if (op == QLatin1String("AND"))
        return logic(wrap(l, P_AND) + " AND " + wrap(r, P_AND + 1), P_AND);
    if (op == QLatin1String("OR"))
        return logic(wrap(l, P_OR) + " OR " + wrap(r, P_OR + 1), P_OR);
    const Ex a = truth(l), b = truth(r);
    if (op == QLatin1String("IMP"))
        return logic("NOT " + wrap(a, P_NOT) + " OR " + wrap(b, P_OR + 1), P_OR);
    return logic(wrap(a, P_EQ + 1) + (op == QLatin1String("XOR") ? " <> " : " = ") + wrap(b, P_EQ + 1), P_EQ);
}

} // namespace

Ex Parser::expr()
{
    Depth depth(m_depth, cur().pos);
    return connected(0);
}

Ex Parser::connected(int level)
{
    if (level == connectiveCount)
        return notExpr();
    Ex l = connected(level + 1);
    while (acceptKw(connectives[level]))
        l = connect(QLatin1String(connectives[level]), l, connected(level + 1));
    return l;
}

Ex Parser::notExpr()
{
    Depth depth(m_depth, cur().pos);
    if (acceptKw("NOT")) {
        Ex e = notExpr();
        // Not 5 is -6, Not True is False.
        if (!bitwise(e))
            return logic("NOT " + wrap(e, P_NOT), P_NOT);
        return number('~' + wrap(bits(e), P_UNARY), P_UNARY);
    }
    return comparison();
}

Ex Parser::compare(const Ex &l0, const QString &op, const Ex &r0)
{
    const bool eq = op == QLatin1String("=") || op == QLatin1String("<>");
    const Ex &v = l0.kind == Ex::Bool ? r0 : l0;
    if (eq && (l0.kind == Ex::Bool) != (r0.kind == Ex::Bool) && !bitwise(v)) {
        // A Yes/No reads -1 or 1 as true: compare with zero instead of with one value. A number
        // compares with -1 (5 = True is False).
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

// x op ANY/SOME/ALL (SELECT …): the comparison with each value of the sub-select, which may
// refer to the outer rows; ALL holds only when no value fails or compares with Null.
Ex Parser::quantified(const Ex &l, const QString &op)
{
    const bool all = isKw(cur(), "ALL");
    m_i += 2;
    const Query q = query();
    expectOp(")");
    const Ex v = other(QStringLiteral("zAlle.v"), P_PRIMARY);
    const QString each = compare(l, op, v).sql;
    const QString values = "(WITH zAlle(v) AS (" + q.sql + ") SELECT 1 FROM zAlle WHERE ";
    return logic(all ? "NOT EXISTS " + values + "NOT coalesce(" + each + ", 0))" : "EXISTS " + values + each + ')',
                 P_PRIMARY);
}

QString Parser::listLeft(const Ex &l, const QVector<Ex> &others, QStringList *converted)
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

Ex Parser::comparison()
{
    Ex l = concat();
    for (;;) {
        const Token &t = cur();
        if (t.kind == Tk::Op && (t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" ||
                                 t.text == "<=" || t.text == ">=")) {
            ++m_i;
            if ((isKw(cur(), "ANY") || isKw(cur(), "SOME") || isKw(cur(), "ALL")) && isOp(peek(), "(") &&
                isKw(peek(2), "SELECT")) {
                l = quantified(l, t.text);
                continue;
            }
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
            // Access takes the bounds in either order: two numbers are put in order here, any
            // other bounds are tried both ways.
            const bool numbers = a.kind == Ex::Number && b.kind == Ex::Number;
            if (numbers && a.sql.toDouble() > b.sql.toDouble())
                bounds.swapItemsAt(0, 1);
            if (numbers) {
                l = logic(left + (negated ? " NOT BETWEEN " : " BETWEEN ") + bounds[0] + " AND " + bounds[1], P_EQ);
                continue;
            }
            const QString either = '(' + left + " BETWEEN " + bounds[0] + " AND " + bounds[1] + " OR " + left +
                                   " BETWEEN " + bounds[1] + " AND " + bounds[0] + ')';
            l = negated ? logic("NOT " + either, P_NOT) : logic(either, P_PRIMARY);
            continue;
        }
        if (acceptKw("IN")) {
            expectOp("(");
            QString list, left;
            if (isKw(cur(), "SELECT")) {
                list = query().sql;
                const Ex v = value(l);
                left = v.vt == Vt::Text ? wrap(v, P_COLLATE) + " COLLATE DEU" : wrap(v, P_EQ + 1);
                if (v.vt == Vt::Date) // the sub-select's values read as dates, texts too
                    list = "WITH zIn(v) AS (" + list + ") SELECT AccAsDate(v) FROM zIn";
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

Ex Parser::concat()
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

Ex Parser::dayShift(const Ex &sum, const Ex &l, const Ex &r, bool plus)
{
    auto days = [](const Ex &e) { return !e.isDate() && e.dateIf.isEmpty() && e.kind != Ex::Text; };
    Ex out = sum;
    if ((l.isDate() && days(r)) || (plus && r.isDate() && days(l)))
        out.vt = Vt::Date;
    else if (!l.dateIf.isEmpty() && days(r))
        out.dateIf = l.dateIf;
    else if (plus && !r.dateIf.isEmpty() && days(l))
        out.dateIf = r.dateIf;
    return out;
}

Ex Parser::sumType(Ex sum, const Ex &l, const Ex &r)
{
    if (!sum.isDate() && l.vt == r.vt && (l.vt == Vt::Number || l.vt == Vt::Text))
        sum.vt = l.vt;
    return sum;
}

// A date and a text added or subtracted: the text counts as a number of days (Geburtsdatum + "1"),
// not as a text to join the stored date to.
static void daysOfText(Ex &l, Ex &r)
{
    if (l.isDate() && r.vt == Vt::Text)
        r = numeric(r);
    else if (r.isDate() && l.vt == Vt::Text)
        l = numeric(l);
}

Ex Parser::additive()
{
    Ex l = modulo();
    for (;;) {
        if (acceptOp("+")) {
            l = arithmetic(l);
            Ex r = arithmetic(modulo());
            daysOfText(l, r);
            if (l.isDate() && r.isDate()) { // two dates add up: a day and a time of day
                l = other("AccPlus(AccDateNumber(" + l.sql + "), " + r.sql + ')', P_PRIMARY);
                l.vt = Vt::Date;
                continue;
            }
            l = sumType(dayShift(other("AccPlus(" + l.sql + ", " + r.sql + ')', P_PRIMARY), l, r, true), l, r);
        } else if (acceptOp("-")) {
            l = arithmetic(l);
            Ex r = arithmetic(modulo());
            daysOfText(l, r);
            l = sumType(dayShift(other("AccMinus(" + l.sql + ", " + r.sql + ')', P_PRIMARY), l, r, false), l, r);
        } else
            return l;
    }
}

Ex Parser::wholeNumberOp(const Ex &l0, const char *op, const Ex &r0)
{
    const Ex l = arithmetic(l0), r = arithmetic(r0);
    return number(longValue(l) + ' ' + op + ' ' + longValue(r), P_MUL);
}

Ex Parser::modulo()
{
    Ex l = intDiv();
    while (acceptKw("MOD"))
        l = wholeNumberOp(l, "%", intDiv());
    return l;
}

Ex Parser::intDiv()
{
    Ex l = multiplicative();
    while (acceptOp("\\"))
        l = wholeNumberOp(l, "/", multiplicative());
    return l;
}

Ex Parser::multiplicative()
{
    Ex l = unary();
    for (;;) {
        if (acceptOp("*")) {
            l = numeric(l);
            const Ex r = numeric(unary());
            l = number(wrap(l, P_MUL) + " * " + wrap(r, P_MUL + 1), P_MUL);
        } else if (acceptOp("/")) {
            l = numeric(l);
            const Ex r = numeric(unary());
            l = number("CAST(" + l.sql + " AS REAL) / " + wrap(r, P_MUL + 1), P_MUL); // never integer division
        } else
            return l;
    }
}

Ex Parser::unary()
{
    Depth depth(m_depth, cur().pos);
    if (acceptOp("-")) {
        const Ex e = numeric(unary());
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

Ex Parser::power()
{
    Ex l = primary();
    while (acceptOp("^")) {
        l = numeric(l);
        const Ex r = numeric(isOp(cur(), "-") || isOp(cur(), "+") ? unary() : primary());
        l = number("power(" + l.sql + ", " + r.sql + ')', P_PRIMARY);
    }
    return l;
}

Ex Parser::primary()
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
        // Yes and No stand for True and False, as the query grid writes them.
        if (t.upper == QLatin1String("TRUE") || t.upper == QLatin1String("FALSE") || t.upper == QLatin1String("YES") ||
            t.upper == QLatin1String("NO")) {
            ++m_i;
            const bool v = t.upper == QLatin1String("TRUE") || t.upper == QLatin1String("YES");
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
    if (const Ex *named = itemAlias(n)) {
        Ex e = *named;
        e.sql = '(' + e.sql + ')';
        e.prec = P_PRIMARY;
        if (e.kind == Ex::Column)
            e.kind = Ex::Other;
        return e;
    }
    Ex col{n, P_PRIMARY, Ex::Column, false, false};
    col.dateIf = n;
    if (m_refs)
        *m_refs << n;
    // SQLite's own row number is no field in Access.
    QString bare = n.section('.', -1).toUpper();
    bare.remove('[');
    bare.remove(']');
    if (bare == QLatin1String("ROWID") || bare == QLatin1String("OID") || bare == QLatin1String("_ROWID_"))
        throw ParseError{t.pos, QStringLiteral("unbekanntes Feld %1").arg(n)};
    resolve(col);
    return col;
}

const Ex *Parser::itemAlias(const QString &n) const
{
    if (!m_itemAliases || !m_types || n.contains('.'))
        return nullptr;
    QString key = n.toUpper();
    key.remove('[');
    key.remove(']');
    const auto it = m_itemAliases->constFind(key);
    if (it == m_itemAliases->constEnd())
        return nullptr;
    for (const QString &scope : m_scopes) // a field of that name wins
        if (!scope.isEmpty() && (*m_types)(n, scope) != ColumnType::Missing)
            return nullptr;
    return &*it;
}

void Parser::resolve(Ex &col) const
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
        if (col.vt != Vt::Date && t != ColumnType::Unknown)
            col.dateIf.clear();
        return;
    }
}

Ex Parser::call()
{
    const Token &t = m_t[m_i++];
    expectOp("(");
    QVector<Ex> values;
    const bool star = acceptOp("*");
    if (!star && !isOp(cur(), ")")) {
        do
            values << value(expr());
        while (acceptOp(","));
    }
    expectOp(")");
    bool known = false;
    const accessfn::Function *f =
        accessfn::find(t.dollar ? t.upper + '$' : t.upper, star ? 1 : int(values.size()), &known);
    if (!f && known)
        throw ParseError{t.pos, QStringLiteral("falsche Anzahl von Argumenten für %1").arg(t.text)};
    if (!f) // Access's own words, also for its domain functions (DLookup …), which the engine lacks
        throw ParseError{t.pos, QStringLiteral("Undefinierte Funktion '%1' in Ausdruck.").arg(t.text)};
    if (f->aggregate())
        m_aggregate = true;
    const QString fn = f->sql ? f->sqlName() : t.text;
    if (star) {
        Ex out = number(fn + "(*)", P_PRIMARY);
        return out;
    }
    return callOf(*f, fn, values);
}

Ex Parser::callOf(const accessfn::Function &f, const QString &fn, QVector<Ex> values)
{
    using accessfn::Arg;
    // The values the result is chosen from: a date when one is a date and the others a date, Null or
    // a constant; a date column's type when the others are dates or Null (Nz(col, #date#)).
    auto either = [](const Ex &a, const Ex &b) {
        auto fixed = [](const Ex &x) { return x.isDate() || x.dateIf.isEmpty(); };
        auto dateOrNull = [](const Ex &x) { return x.isDate() || x.kind == Ex::Null; };
        Ex r;
        if ((a.isDate() && fixed(b)) || (b.isDate() && fixed(a)))
            r.vt = Vt::Date;
        else if (!a.dateIf.isEmpty() && (dateOrNull(b) || b.dateIf == a.dateIf))
            r.dateIf = a.dateIf;
        else if (!b.dateIf.isEmpty() && dateOrNull(a))
            r.dateIf = b.dateIf;
        return r;
    };
    const int n = int(values.size());
    // An aggregate sees a Yes/No as -1: Max is No when there is one.
    if (f.aggregate() && n == 1)
        values[0] = arithmetic(values[0]);
    Ex chosen;
    bool branched = false, textBranch = false, sameBranches = true;
    Vt branchVt = Vt::Unknown;
    for (int i = 0; i < n; ++i) {
        const Arg k = f.args.at(i);
        if (k != Arg::Branch && k != Arg::Ordered)
            continue;
        chosen = branched ? either(chosen, values[i]) : values[i];
        textBranch = textBranch || values[i].vt == Vt::Text || values[i].vt == Vt::DateOrText;
        sameBranches = sameBranches && (!branched || values[i].vt == branchVt);
        branchVt = values[i].vt;
        branched = true;
    }
    const bool dateResult = branched ? chosen.isDate() || !chosen.dateIf.isEmpty() : f.result == Vt::Date;
    QStringList args;
    bool wholeDate = false;
    for (int i = 0; i < n; ++i) {
        Ex &v = values[i];
        switch (f.args.at(i)) {
        case Arg::Any:
        case Arg::Date:
            args << v.sql;
            break;
        case Arg::Text:
            args << asText(v);
            break;
        case Arg::Serial:
        case Arg::Number:
            // A date where a number is taken counts as its serial number (CDbl(#1/1/2012#) = 40909);
            // Int and Fix of a date keep it a date (the day without its time), so do Sum and Avg.
            if (v.vt == Vt::Date) {
                wholeDate = f.args.at(i) == Arg::Serial;
                args << "AccDateNumber(" + v.sql + ')';
            } else if (f.aggregate() && v.vt == Vt::Text) // Sum(sa1): "2,5" adds 2.5, "2-" -2
                args << numeric(v).sql;
            else
                args << arithmetic(v).sql;
            break;
        case Arg::Branch:
            args << (dateResult ? v.sql : asText(v));
            break;
        case Arg::Ordered: // Min and Max: texts in German order, Yes (-1) below No
            args << groupKey(v);
            break;
        }
    }
    if (f.flags & accessfn::Typed)
        args << QString::number(int(n > 0 ? operand(values[0], P_PRIMARY).vt : Vt::Unknown));
    // IIf computes only the part its test chooses, as in Access's queries (not as in VBA):
    // IIf(IsNumeric(x), CDbl(x), Null) stops at no row.
    const bool iif = n == 3 && f.args.at(1) == Arg::Branch && QLatin1String(f.name) == QLatin1String("IIf");
    Ex out = other(iif ? "CASE WHEN " + fn + '(' + args.at(0) + ", 1, 0) THEN " + args.at(1) + " ELSE " + args.at(2) +
                             " END"
                       : fn + '(' + args.join(QStringLiteral(", ")) + ')',
                   P_PRIMARY);
    bool date = branched ? chosen.isDate() : f.result == Vt::Date;
    if (branched)
        out.dateIf = chosen.dateIf;
    if (wholeDate) {
        out = other("CDate(" + out.sql + ')', P_PRIMARY);
        date = true;
    }
    if (date)
        out.vt = textBranch ? Vt::DateOrText : Vt::Date;
    else if (f.result != Vt::Unknown)
        out.vt = f.result;
    else if (branched && sameBranches) // IIf(…, 1, 2) is a number, IIf(…, "a", "b") a text
        out.vt = branchVt;
    return out;
}

// A value made text: a date as a German date, a Yes/No as Access's -1 or 0 (stored as 1 or 0).
QString Parser::asText(const Ex &e)
{
    if (e.isDate())
        return "AccDateToText(" + e.sql + ')';
    return e.vt == Vt::YesNo ? types::yesNoValue(e.sql) : e.sql;
}

} // namespace accesssql::parse
