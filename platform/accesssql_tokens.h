#pragma once
// Tokens of the Access-dialect translator (platform/accesssql.h): names, numbers, literals
// (strings and #dates# already read) and operators, each with its position in the text.
#include <QString>
#include <QVector>

namespace accesssql::lex {

enum class Tk { Ident, Number, String, Date, Op, End };

struct Token {
    Tk kind = Tk::End;
    QString text;   // identifier (without brackets), number, operator, or the literal's value
    QString upper;  // upper-cased identifier for keyword tests
    bool bracketed = false;
    bool dollar = false; // a name written with "$" at its end (Date$, Mid$)
    int pos = 0;
};

struct ParseError {
    int pos;
    QString msg;
};

// Splits the text; throws ParseError at the first character it cannot read.
QVector<Token> tokenize(const QString &s);
// A text as SQLite string literal ('…' with inner apostrophes doubled).
QString sqlString(const QString &value);

} // namespace accesssql::lex
