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
#include <array>
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
        // QCollator sets itself up on its first comparison; done here, before a typed list's thread
        // and the window's thread can compare at the same moment.
        col.compare(u"a", u"b");
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
static bool asciiAlnum(unsigned char c) { return asciiLetter(c) || (c >= '0' && c <= '9'); }

static int collateDEU(void *, int la, const void *a, int lb, const void *b)
{
    // ASCII letters and digits decide without the collator: a scan over a big table calls this
    // once per row, a grouping or sort many times per row. Digits sort one by one before letters
    // ("10a" before "5a"), case does not count, and neither carries contractions or accents, so
    // the first difference of two such prefixes decides, and two texts made of them alone are
    // equal when they are equal but for case. Blanks at the end do not count, as with Access's =
    // ("5a " in a converted file is "5a").
    const auto *pa = static_cast<const unsigned char *>(a), *pb = static_cast<const unsigned char *>(b);
    while (la > 0 && pa[la - 1] == ' ')
        --la;
    while (lb > 0 && pb[lb - 1] == ' ')
        --lb;
    if (la == lb && std::memcmp(pa, pb, size_t(la)) == 0)
        return 0;
    int i = 0;
    for (; i < la && i < lb && asciiAlnum(pa[i]) && asciiAlnum(pb[i]); ++i) {
        const int ca = asciiLetter(pa[i]) ? pa[i] | 0x20 : pa[i], cb = asciiLetter(pb[i]) ? pb[i] | 0x20 : pb[i];
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i == la && i == lb)
        return 0;
    // One is the start of the other, which goes on with a letter or digit: the shorter first.
    if (i == la && asciiAlnum(pb[i]))
        return -1;
    if (i == lb && asciiAlnum(pa[i]))
        return 1;
    return germanEqualCompare(QString::fromUtf8(static_cast<const char *>(a), la),
                              QString::fromUtf8(static_cast<const char *>(b), lb));
}

// ---- Like

// A range follows the German text order, as in Access: "[A-M]" holds Ä, "[N-O]" holds Ö (a letter
// with marks falls in its base letter's range too).
static bool inGermanRange(QChar c, QChar lo, QChar hi)
{
    auto within = [&](const QString &x) {
        return germanEqualCompare(QString(lo), x) <= 0 && germanEqualCompare(x, QString(hi)) <= 0;
    };
    if (within(QString(c)))
        return true;
    const QString zerlegt = QString(c).normalized(QString::NormalizationForm_D);
    return zerlegt.size() > 1 && zerlegt[0] != c && within(QString(zerlegt[0]));
}

// A pattern read into single-character tests and stars, so that matching is one pass with
// one remembered star: O(length of text * length of pattern), whatever the number of stars.
struct LikeToken {
    enum Kind { Star, Any, Digit, Set, Char } kind = Char;
    QChar ch;
    QString set; // Set: single characters and "a-z" ranges
    bool negate = false;
    // Set: the answer for each ASCII character once asked (-1: not yet), since the German order
    // is costly and a kept pattern meets the same letters on every row.
    mutable std::array<signed char, 128> asciiAnswer{};

    bool matches(QChar c) const
    {
        switch (kind) {
        case Any:
            return true;
        case Digit:
            return c.isDigit();
        case Set:
            if (c.unicode() < 128) {
                signed char &a = asciiAnswer[c.unicode()];
                if (a < 0)
                    a = inSet(c) ? 1 : 0;
                return a != 0;
            }
            return inSet(c);
        case Char:
            return c == ch;
        case Star:
            break;
        }
        return false;
    }

    bool inSet(QChar c) const
    {
        bool in = false;
        for (int k = 0; k < set.size() && !in; ++k) {
            if (k + 2 < set.size() && set[k + 1] == '-') {
                in = inGermanRange(c, set[k], set[k + 2]);
                k += 2;
            } else
                in = set[k] == c;
        }
        return in != negate;
    }
};

// A pattern compiled once per statement; esc is the SQL escape it was read with.
struct LikePattern {
    QVector<LikeToken> tokens;
    QChar esc;
    int fixed = 0;      // tokens that take one character each
    bool star = false;  // without one, a text matches only with exactly `fixed` characters
    QByteArray start;   // the leading ASCII characters every match begins with

    LikePattern(QVector<LikeToken> t, QChar e) : tokens(std::move(t)), esc(e)
    {
        for (const LikeToken &k : tokens) {
            if (k.kind == LikeToken::Star)
                star = true;
            else
                ++fixed;
            if (!star && fixed == start.size() + 1 && k.kind == LikeToken::Char && k.ch.unicode() < 128)
                start += char(k.ch.unicode());
        }
    }
    bool lengthFits(qsizetype n) const { return star ? n >= fixed : n == fixed; }
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
                t.asciiAnswer.fill(-1);
                pi = close;
            }
        }
        out << t;
    }
    return out;
}

// at(i) gives the text's i-th character, case folded.
template <typename At>
static bool likeMatch(int tn, const At &at, const QVector<LikeToken> &p)
{
    const int pn = int(p.size());
    int ti = 0, pi = 0, star = -1, starText = 0;
    while (ti < tn) {
        if (pi < pn && p[pi].kind == LikeToken::Star) {
            star = pi++;
            starText = ti;
        } else if (pi < pn && p[pi].matches(at(ti))) {
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

static bool likeMatch(const QString &t, const QVector<LikeToken> &p)
{
    return likeMatch(int(t.size()), [&t](int i) { return t[i]; }, p);
}

// A stored text of ASCII characters is matched on its bytes (folding an ASCII letter is making it
// small); any other text is decoded and case folded.
template <typename AsText>
static bool likeMatchValue(sqlite3_value *v, const LikePattern &p, const AsText &asText)
{
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        const auto *s = sqlite3_value_text(v);
        const int n = sqlite3_value_bytes(v);
        auto klein = [s](int k) { return s[k] >= 'A' && s[k] <= 'Z' ? s[k] + 32 : s[k]; };
        // While the text is ASCII, a character that differs from the pattern's start decides.
        for (int k = 0; k < p.start.size() && (k >= n || s[k] < 0x80); ++k)
            if (k >= n || klein(k) != p.start[k])
                return false;
        int i = 0;
        while (i < n && s[i] < 0x80)
            ++i;
        if (i == n)
            return p.lengthFits(n) && likeMatch(n, [&klein](int k) { return QChar(klein(k)); }, p.tokens);
    }
    const QString t = asText().toCaseFolded();
    return p.lengthFits(t.size()) && likeMatch(t, p.tokens);
}

bool accessLike(const QString &text, const QString &pattern)
{
    return likeMatch(text.toCaseFolded(), likeTokens(pattern.toCaseFolded(), true, QChar()));
}

bool sqlLike(const QString &text, const QString &pattern, QChar escape)
{
    return likeMatch(text.toCaseFolded(), likeTokens(pattern.toCaseFolded(), false, escape.toCaseFolded()));
}

// Matches with the compiled pattern of argument `arg`, kept for the statement while that argument is
// constant (SQLite may drop it at once otherwise, so it is handed over after its use).
template <typename Match>
static bool withPattern(sqlite3_context *ctx, sqlite3_value **argv, int arg, bool access, QChar esc, const Match &match)
{
    if (const auto *kept = static_cast<const LikePattern *>(sqlite3_get_auxdata(ctx, arg)); kept && kept->esc == esc)
        return match(*kept);
    auto *read = new LikePattern(likeTokens(argText(argv[arg]).toCaseFolded(), access, esc), esc);
    const bool r = match(*read);
    sqlite3_set_auxdata(ctx, arg, read, [](void *p) { delete static_cast<LikePattern *>(p); });
    return r;
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
        // Asked on every row: an ASCII escape is read without making a text.
        const unsigned char *e = sqlite3_value_text(argv[2]);
        const QString t = sqlite3_value_bytes(argv[2]) == 1 && e[0] < 0x80 ? QString() : argText(argv[2]);
        if (!t.isNull() && t.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        esc = (t.isNull() ? QChar(e[0]) : t[0]).toCaseFolded();
    }
    const bool match = withPattern(ctx, argv, 0, false, esc, [argv](const LikePattern &p) {
        return likeMatchValue(argv[1], p, [argv] { return argText(argv[1]); });
    });
    sqlite3_result_int(ctx, match ? 1 : 0);
}

static void fnAccLike(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    // A number is matched as it shows ("2,5").
    const bool match = withPattern(ctx, argv, 1, true, QChar(), [argv](const LikePattern &p) {
        return likeMatchValue(argv[0], p, [argv] { return textOf(argv[0]); });
    });
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
