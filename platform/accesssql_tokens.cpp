#include "platform/accesssql_tokens.h"
#include "platform/accesssql.h"
#include "platform/valuetext.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

namespace accesssql {

// ---- date literals

static bool parseTime(const QString &s, QTime *out)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*(AM|PM)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
    auto m = re.match(s.trimmed());
    if (!m.hasMatch())
        return false;
    int h = m.captured(1).toInt(), mi = m.captured(2).toInt(), se = m.captured(3).toInt();
    const QString ampm = m.captured(4).toUpper();
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12)
            return false;
        h = (h % 12) + (ampm == QLatin1String("PM") ? 12 : 0);
    }
    QTime t(h, mi, se);
    if (!t.isValid())
        return false;
    *out = t;
    return true;
}

static int fullYear(const QString &y) { return vt::fullYear(y.toInt(), int(y.size())); }

QString dateLiteral(const QString &text)
{
    const QString s = text.trimmed();
    static const QRegularExpression us(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4}|\\d{2})(?:\\s+(.*))?$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})(?:[\\sT]+(.*))?$"));
    static const QRegularExpression de(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4}|\\d{2})(?:\\s+(.*))?$"));
    QDate d;
    QString rest;
    QRegularExpressionMatch m;
    if ((m = iso.match(s)).hasMatch()) {
        d = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        rest = m.captured(4);
    } else if ((m = us.match(s)).hasMatch()) {
        // Month first; when the first number cannot be a month, Access reads day and month.
        const int a = m.captured(1).toInt(), b = m.captured(2).toInt();
        d = a > 12 ? QDate(fullYear(m.captured(3)), b, a) : QDate(fullYear(m.captured(3)), a, b);
        rest = m.captured(4);
    } else if ((m = de.match(s)).hasMatch()) {
        d = QDate(fullYear(m.captured(3)), m.captured(2).toInt(), m.captured(1).toInt());
        rest = m.captured(4);
    } else {
        // A time alone lies on Access's day zero.
        QTime t;
        if (!parseTime(s, &t))
            return {};
        return QStringLiteral("1899-12-30 ") + t.toString(QStringLiteral("HH:mm:ss"));
    }
    if (!d.isValid())
        return {};
    QString out = d.toString(QStringLiteral("yyyy-MM-dd"));
    if (!rest.trimmed().isEmpty()) {
        QTime t;
        if (!parseTime(rest, &t))
            return {};
        // Midnight is stored as the date alone, so it still equals a date column's value.
        if (t != QTime(0, 0))
            out += ' ' + t.toString(QStringLiteral("HH:mm:ss"));
    }
    return out;
}

namespace lex {

QString sqlString(const QString &value)
{
    QString v = value;
    v.replace('\'', QStringLiteral("''"));
    return '\'' + v + '\'';
}

QVector<Token> tokenize(const QString &s)
{
    QVector<Token> out;
    const int n = int(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c.isLetter() || c == '_') {
            int j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == '_'))
                ++j;
            t.kind = Tk::Ident;
            t.text = s.mid(i, j - i);
            if (j < n && s[j] == '$') { // Mid$, Left$ … are the same functions; Date$ is another
                t.dollar = true;
                ++j;
            }
            i = j;
        } else if (c == '[') {
            int close = int(s.indexOf(']', i + 1));
            if (close < 0)
                throw ParseError{i, QStringLiteral("']' fehlt")};
            t.kind = Tk::Ident;
            t.text = s.mid(i + 1, close - i - 1);
            t.bracketed = true;
            if (t.text.trimmed().isEmpty() || t.text.contains('['))
                throw ParseError{i, QStringLiteral("leerer Name in []")};
            i = close + 1;
        } else if (c.isDigit() || (c == '.' && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            while (j < n && s[j].isDigit())
                ++j;
            if (j < n && s[j] == '.') {
                ++j;
                while (j < n && s[j].isDigit())
                    ++j;
            }
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                int k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-'))
                    ++k;
                if (k < n && s[k].isDigit()) {
                    while (k < n && s[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            if (j < n && (s[j].isLetter() || s[j] == '_'))
                throw ParseError{i, QStringLiteral("ungültige Zahl")};
            t.kind = Tk::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == '\'' || c == '"') {
            QString v;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    throw ParseError{i, QStringLiteral("Zeichenkette ohne Ende")};
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        v += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += s[j++];
            }
            t.kind = Tk::String;
            t.text = v;
            i = j + 1;
        } else if (c == '#') {
            int close = int(s.indexOf('#', i + 1));
            if (close < 0)
                throw ParseError{i, QStringLiteral("Datum ohne schließendes #")};
            QString iso = dateLiteral(s.mid(i + 1, close - i - 1));
            if (iso.isEmpty())
                throw ParseError{i, QStringLiteral("ungültiges Datum")};
            t.kind = Tk::Date;
            t.text = iso;
            i = close + 1;
        } else {
            static const QStringList two{QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
            const QString pair = s.mid(i, 2);
            t.kind = Tk::Op;
            if (two.contains(pair)) {
                t.text = pair;
                i += 2;
            } else if (QStringLiteral("=<>()+-*/\\^&,;.!").contains(c)) {
                t.text = c;
                ++i;
            } else
                throw ParseError{i, QStringLiteral("unerwartetes Zeichen '%1'").arg(c)};
        }
        t.upper = t.kind == Tk::Ident && !t.bracketed ? t.text.toUpper() : QString();
        out << t;
    }
    Token end;
    end.pos = n;
    out << end;
    return out;
}

} // namespace lex
} // namespace accesssql
