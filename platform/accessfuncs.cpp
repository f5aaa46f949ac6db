// The collations and Like of every connection, and the registration of the Access functions
// (platform/accessfunctions) beside them.
#include "platform/accessfuncs.h"
#include "platform/accessfunctions/function.h"
#include "platform/accessfunctions/values.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QCollator>
#include <QDateTime>
#include <QRegularExpression>
#include <QVarLengthArray>
#include <cstring>
#include <cmath>
#include <sqlite3.h>

namespace accessfn {

// ---- collations and case folding

static QCollator &germanCollator()
{
    static QCollator c = [] {
        QCollator col{QLocale(QLocale::German, QLocale::Germany)};
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        return col;
    }();
    return c;
}

int germanCompare(QStringView a, QStringView b)
{
    int r = germanCollator().compare(a, b);
    if (r == 0)
        r = a.compare(b); // stable, deterministic order of equal names
    return r;
}

int germanEqualCompare(const QString &a, const QString &b) { return germanCollator().compare(a, b); }

int noCaseCompare(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive); }

// ASCII widened into buf, false for any other byte.
static bool asciiInto(const void *p, int n, QVarLengthArray<char16_t, 64> &buf)
{
    const auto *s = static_cast<const unsigned char *>(p);
    buf.resize(n);
    for (int i = 0; i < n; ++i) {
        if (s[i] >= 0x80)
            return false;
        buf[i] = s[i];
    }
    return true;
}

static int collateDE(void *, int la, const void *a, int lb, const void *b)
{
    // A sort calls this many times per row: ASCII names are compared from the stack.
    QVarLengthArray<char16_t, 64> wa, wb;
    if (asciiInto(a, la, wa) && asciiInto(b, lb, wb))
        return germanCompare(QStringView(wa.constData(), la), QStringView(wb.constData(), lb));
    return germanCompare(QString::fromUtf8(static_cast<const char *>(a), la),
                         QString::fromUtf8(static_cast<const char *>(b), lb));
}

static int collateNoCase(void *, int la, const void *a, int lb, const void *b)
{
    // An ASCII start (class names, abbreviations) decides without building strings: a scan over
    // a big table calls this once per row. The first difference of two ASCII prefixes decides.
    // Blanks at the end do not count, as Access's = finds "5a " for "5a" (a converted file keeps them).
    const auto *pa = static_cast<const unsigned char *>(a), *pb = static_cast<const unsigned char *>(b);
    while (la > 0 && pa[la - 1] == ' ')
        --la;
    while (lb > 0 && pb[lb - 1] == ' ')
        --lb;
    int i = 0;
    for (; i < la && i < lb && pa[i] < 0x80 && pb[i] < 0x80; ++i) {
        const int ca = pa[i] >= 'A' && pa[i] <= 'Z' ? pa[i] + 32 : pa[i];
        const int cb = pb[i] >= 'A' && pb[i] <= 'Z' ? pb[i] + 32 : pb[i];
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i == la || i == lb)
        return la == lb ? 0 : (la < lb ? -1 : 1);
    return noCaseCompare(QString::fromUtf8(static_cast<const char *>(a), la),
                         QString::fromUtf8(static_cast<const char *>(b), lb));
}

static bool asciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

static int collateDEU(void *, int la, const void *a, int lb, const void *b)
{
    // Equal ASCII letters up to a difference of two ASCII letters decide without the collator: a
    // scan over a big table calls this once per row, and letters carry no contractions here.
    // Blanks at the end do not count, as with Access's = ("5a " in a converted file is "5a").
    const auto *pa = static_cast<const unsigned char *>(a), *pb = static_cast<const unsigned char *>(b);
    while (la > 0 && pa[la - 1] == ' ')
        --la;
    while (lb > 0 && pb[lb - 1] == ' ')
        --lb;
    for (int i = 0; i < la && i < lb && asciiLetter(pa[i]) && asciiLetter(pb[i]); ++i) {
        const int ca = pa[i] | 0x20, cb = pb[i] | 0x20;
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return germanEqualCompare(QString::fromUtf8(static_cast<const char *>(a), la),
                              QString::fromUtf8(static_cast<const char *>(b), lb));
}

// ---- Like

// A pattern read into single-character tests and stars, so that matching is one pass with
// one remembered star: O(length of text * length of pattern), whatever the number of stars.
struct LikeToken {
    enum Kind { Star, Any, Digit, Set, Char } kind = Char;
    QChar ch;
    QString set; // Set: single characters and "a-z" ranges
    bool negate = false;

    bool matches(QChar c) const
    {
        switch (kind) {
        case Any:
            return true;
        case Digit:
            return c.isDigit();
        case Set: {
            bool in = false;
            for (int k = 0; k < set.size() && !in; ++k) {
                if (k + 2 < set.size() && set[k + 1] == '-') {
                    in = c >= set[k] && c <= set[k + 2];
                    k += 2;
                } else
                    in = set[k] == c;
            }
            return in != negate;
        }
        case Char:
            return c == ch;
        case Star:
            break;
        }
        return false;
    }
};

static QVector<LikeToken> likeTokens(const QString &p, bool access, QChar esc)
{
    QVector<LikeToken> out;
    const int pn = int(p.size());
    for (int pi = 0; pi < pn; ++pi) {
        const QChar c = p[pi];
        LikeToken t;
        t.ch = c;
        if (!access && !esc.isNull() && c == esc && pi + 1 < pn) {
            t.ch = p[++pi];
        } else if ((access && c == '*') || (!access && c == '%')) {
            if (!out.isEmpty() && out.last().kind == LikeToken::Star)
                continue;
            t.kind = LikeToken::Star;
        } else if ((access && c == '?') || (!access && c == '_')) {
            t.kind = LikeToken::Any;
        } else if (access && c == '#') {
            t.kind = LikeToken::Digit;
        } else if (access && c == '[') {
            const int close = int(p.indexOf(']', pi + 1));
            if (close >= 0) {
                t.kind = LikeToken::Set;
                t.set = p.mid(pi + 1, close - pi - 1);
                t.negate = t.set.startsWith('!');
                if (t.negate)
                    t.set.remove(0, 1);
                pi = close;
            }
        }
        out << t;
    }
    return out;
}

static bool likeMatch(const QString &t, const QVector<LikeToken> &p)
{
    const int tn = int(t.size()), pn = int(p.size());
    int ti = 0, pi = 0, star = -1, starText = 0;
    while (ti < tn) {
        if (pi < pn && p[pi].kind == LikeToken::Star) {
            star = pi++;
            starText = ti;
        } else if (pi < pn && p[pi].matches(t[ti])) {
            ++ti;
            ++pi;
        } else if (star >= 0) {
            // Let the last star take one character more and match the rest again.
            pi = star + 1;
            ti = ++starText;
        } else
            return false;
    }
    while (pi < pn && p[pi].kind == LikeToken::Star)
        ++pi;
    return pi == pn;
}

bool accessLike(const QString &text, const QString &pattern)
{
    return likeMatch(text.toCaseFolded(), likeTokens(pattern.toCaseFolded(), true, QChar()));
}

bool sqlLike(const QString &text, const QString &pattern, QChar escape)
{
    return likeMatch(text.toCaseFolded(), likeTokens(pattern.toCaseFolded(), false, escape.toCaseFolded()));
}

static void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // SQLite calls like(pattern, text[, escape]).
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    QChar esc;
    if (argc == 3 && !isNull(argv[2])) {
        QString e = argText(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        esc = e[0];
    }
    sqlite3_result_int(ctx, sqlLike(argText(argv[1]), argText(argv[0]), esc) ? 1 : 0);
}

static void fnAccLike(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    // A constant pattern is read once per statement, not once per row.
    using Tokens = QVector<LikeToken>;
    const auto *kept = static_cast<const Tokens *>(sqlite3_get_auxdata(ctx, 1));
    Tokens *read = kept ? nullptr : new Tokens(likeTokens(argText(argv[1]).toCaseFolded(), true, QChar()));
    // A number is matched as it shows ("2,5").
    const bool match = likeMatch(textOf(argv[0]).toCaseFolded(), kept ? *kept : *read);
    if (read)
        sqlite3_set_auxdata(ctx, 1, read, [](void *p) { delete static_cast<Tokens *>(p); });
    sqlite3_result_int(ctx, match ? 1 : 0);
}

void registerAccessFunctions(sqlite3 *db)
{
    registerFunctions(db);
    registerHelper(db, "like", 2, fnLike);
    registerHelper(db, "like", 3, fnLike);
    registerHelper(db, "AccLike", 2, fnAccLike);
    sqlite3_create_collation_v2(db, "DE", SQLITE_UTF8, nullptr, collateDE, nullptr);
    sqlite3_create_collation_v2(db, "NOCASEU", SQLITE_UTF8, nullptr, collateNoCase, nullptr);
    sqlite3_create_collation_v2(db, "DEU", SQLITE_UTF8, nullptr, collateDEU, nullptr);
}

} // namespace accessfn
