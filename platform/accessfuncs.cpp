#include "platform/accessfuncs.h"
#include "platform/accessfuncs_detail.h"
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

QString argText(sqlite3_value *v)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

QVariant argValue(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_NULL:
        return QVariant();
    default:
        return argText(v);
    }
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    // Never fewer bytes than UTF-16 units: a text too long is refused before it is converted.
    if (!fitsLength(ctx, s.size()))
        return;
    const QByteArray b = s.toUtf8();
    if (fitsLength(ctx, b.size()))
        sqlite3_result_text64(ctx, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

bool isNull(sqlite3_value *v) { return sqlite3_value_type(v) == SQLITE_NULL; }

bool truthy(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        return sqlite3_value_int64(v) != 0;
    case SQLITE_FLOAT:
        return sqlite3_value_double(v) != 0.0;
    default:
        return zdb::yesNo(argText(v));
    }
}

double accessVal(const QString &s)
{
    QString digits;
    bool seenDigit = false, seenDot = false, seenExp = false;
    int i = 0;
    const int n = int(s.size());
    auto skip = [&] { while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i; };
    skip();
    if (i + 1 < n && s[i] == '&' && (s[i + 1].toUpper() == 'H' || s[i + 1].toUpper() == 'O')) {
        // &H1F, &O17: up to 16 bits read as a signed Integer (&HFFFF = -1), up to 32 as a Long.
        const int base = s[i + 1].toUpper() == 'H' ? 16 : 8;
        quint64 v = 0;
        int digits = 0;
        for (i += 2; i < n && v <= 0xFFFFFFFFu; ++i) {
            const int d = s[i].isDigit() && s[i].unicode() < 128 ? s[i].unicode() - '0'
                        : base == 16 && s[i].toUpper() >= 'A' && s[i].toUpper() <= 'F' ? s[i].toUpper().unicode() - 'A' + 10
                                                                                      : -1;
            if (d < 0 || d >= base)
                break;
            v = v * base + quint64(d);
            ++digits;
        }
        if (digits == 0 || v > 0xFFFFFFFFu)
            return 0.0;
        if (v <= 0xFFFF)
            return double(qint16(quint16(v)));
        return double(qint32(quint32(v)));
    }
    if (i < n && (s[i] == '-' || s[i] == '+')) {
        digits += s[i];
        ++i;
    }
    for (; i < n; ++i) {
        QChar c = s[i];
        if (c == ' ' || c == '\t')
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            seenDigit = true;
        } else if (c == '.' && !seenDot && !seenExp) {
            digits += c;
            seenDot = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && seenDigit && !seenExp) {
            // only an exponent when digits follow
            int j = i + 1;
            if (j < n && (s[j] == '+' || s[j] == '-'))
                ++j;
            if (j < n && s[j].isDigit()) {
                digits += 'e';
                if (s[i + 1] == '+' || s[i + 1] == '-') {
                    digits += s[i + 1];
                    ++i;
                }
                seenExp = true;
            } else
                break;
        } else
            break;
    }
    bool ok = false;
    double d = digits.toDouble(&ok);
    return ok ? d : 0.0;
}

void resultNumber(sqlite3_context *ctx, double d)
{
    if (d == std::floor(d) && std::fabs(d) < 9e15)
        sqlite3_result_int64(ctx, sqlite3_int64(d));
    else
        sqlite3_result_double(ctx, d);
}

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
    const auto *pa = static_cast<const unsigned char *>(a), *pb = static_cast<const unsigned char *>(b);
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
    mutable std::array<signed char, 128> asciiAnswer;

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

    LikePattern(QVector<LikeToken> t, QChar e) : tokens(std::move(t)), esc(e)
    {
        for (const LikeToken &k : tokens) {
            if (k.kind == LikeToken::Star)
                star = true;
            else
                ++fixed;
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
        int i = 0;
        while (i < n && s[i] < 0x80)
            ++i;
        if (i == n)
            return p.lengthFits(n)
                && likeMatch(n, [s](int k) { return QChar(s[k] >= 'A' && s[k] <= 'Z' ? s[k] + 32 : s[k]); }, p.tokens);
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

// ---- Access functions

static void fnIIf(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_value(ctx, truthy(argv[0]) ? argv[1] : argv[2]);
}

static void fnNz(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!isNull(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else if (argc > 1)
        sqlite3_result_value(ctx, argv[1]);
    else
        resultText(ctx, QString());
}

static void fnVal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    resultNumber(ctx, accessVal(argText(argv[0])));
}

static void fnIsNull(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_int(ctx, isNull(argv[0]) ? -1 : 0);
}

QString textOf(sqlite3_value *v) { return vt::valueText(argValue(v)); }

static void fnLen(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int(ctx, int(textOf(argv[0]).size()));
}

// A length or position of Left, Right and Mid: rounded as Access rounds it (half to even); a
// Null, a text that is no number or one below the least allowed stops the statement, as in Access.
bool countArg(sqlite3_context *ctx, sqlite3_value *v, int least, int *out)
{
    double d = 0;
    if (isNull(v) || !numberArg(v, &d)) {
        resultTypeError(ctx);
        return false;
    }
    d = std::nearbyint(d);
    if (d < least || d > 2147483647.0) {
        sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
        return false;
    }
    *out = int(d);
    return true;
}

static void fnLeft(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    int n = 0;
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (countArg(ctx, argv[1], 0, &n))
        resultText(ctx, textOf(argv[0]).left(n));
}

static void fnRight(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    int n = 0;
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (countArg(ctx, argv[1], 0, &n))
        resultText(ctx, textOf(argv[0]).right(n));
}

static void fnMid(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    int start = 1, n = -1;
    if (!countArg(ctx, argv[1], 1, &start) || (argc > 2 && !isNull(argv[2]) && !countArg(ctx, argv[2], 0, &n)))
        return;
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, textOf(argv[0]).mid(start - 1, n));
}

// InStr(text, search); InStr with a start is the one with a compare (accessfuncs_text.cpp).
static void fnInStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString text = textOf(argv[0]), search = textOf(argv[1]);
    if (search.isEmpty()) {
        sqlite3_result_int(ctx, text.isEmpty() ? 0 : 1);
        return;
    }
    sqlite3_result_int(ctx, int(text.indexOf(search, 0, Qt::CaseInsensitive)) + 1);
}

static void fnUCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, vt::upperCase(textOf(argv[0])));
}

static void fnLCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, textOf(argv[0]).toLower());
}

static void fnTrim(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, vt::trimBlanks(textOf(argv[0])));
}

QDateTime dateArg(sqlite3_value *v)
{
    QVariant a = argValue(v);
    if (isNumberValue(v)) {
        // Access counts days from 30.12.1899, the time as the fraction.
        const double d = sqlite3_value_double(v);
        const double day = std::floor(d);
        if (std::fabs(d) > 3e6)
            return {};
        const qint64 secs = qRound64((d - day) * 86400.0);
        return QDateTime(QDate(1899, 12, 30).addDays(qint64(day)), QTime(0, 0)).addSecs(secs);
    }
    QDateTime dt = zdb::dateTimeFromStored(a);
    if (!dt.isValid() && a.typeId() == QMetaType::QString) {
        const QString s = vt::trimBlanks(a.toString());
        auto timeOf = [](const QString &text) {
            QTime t = QTime::fromString(text, QStringLiteral("H:mm:ss"));
            return t.isValid() ? t : QTime::fromString(text, QStringLiteral("H:mm"));
        };
        const QDate d = vt::parseDate(s.section(' ', 0, 0));
        const QString rest = vt::trimBlanks(s.section(' ', 1));
        if (d.isValid() && rest.isEmpty())
            dt = QDateTime(d, QTime(0, 0));
        else if (d.isValid() && timeOf(rest).isValid())
            dt = QDateTime(d, timeOf(rest));
        else if (!d.isValid() && timeOf(s).isValid())
            dt = QDateTime(QDate(1899, 12, 30), timeOf(s));
        else
            dt = germanDate(s);
    }
    return dt;
}

static void fnDatePart(sqlite3_context *ctx, sqlite3_value *v, int which)
{
    if (isNull(v)) {
        sqlite3_result_null(ctx);
        return;
    }
    QDateTime dt = dateArg(v);
    if (!dt.isValid()) {
        sqlite3_result_error(ctx, "Datentypen in Kriterienausdruck unverträglich", -1);
        return;
    }
    sqlite3_result_int(ctx, which == 0 ? dt.date().year() : which == 1 ? dt.date().month() : dt.date().day());
}
static void fnYear(sqlite3_context *c, int, sqlite3_value **a) { fnDatePart(c, a[0], 0); }
static void fnMonth(sqlite3_context *c, int, sqlite3_value **a) { fnDatePart(c, a[0], 1); }
static void fnDay(sqlite3_context *c, int, sqlite3_value **a) { fnDatePart(c, a[0], 2); }

static void fnDate(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, zdb::isoDate(QDate::currentDate()));
}

static void fnNow(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, zdb::isoDateTime(QDateTime::currentDateTime()));
}

static void fnCStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, textOf(argv[0]));
}

bool numberArg(sqlite3_value *v, double *d)
{
    int t = sqlite3_value_type(v);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
        *d = sqlite3_value_double(v);
        return true;
    }
    QString s = argText(v);
    if (s.compare("Wahr", Qt::CaseInsensitive) == 0 || s.compare("True", Qt::CaseInsensitive) == 0) {
        *d = -1;
        return true;
    }
    if (s.compare("Falsch", Qt::CaseInsensitive) == 0 || s.compare("False", Qt::CaseInsensitive) == 0) {
        *d = 0;
        return true;
    }
    if (vt::parseNumber(s, d))
        return true;
    // "1.000,5", "2-", "(2)", "3 €"; a "." only between thousands, so that a date stays no number.
    static const QRegularExpression looseDot(QStringLiteral("\\.(?!\\d{3}(?!\\d))"));
    return !s.contains(looseDot) && numericText(s, d);
}

// CInt and CLng: banker's rounding (the default FP mode), "Überlauf" beyond Integer or Long.
static void toWhole(sqlite3_context *ctx, sqlite3_value **argv, double limit)
{
    double d = 0;
    if (isNull(argv[0]) || !numberArg(argv[0], &d)) {
        sqlite3_result_error(ctx, "Typen unverträglich", -1);
        return;
    }
    const double r = std::nearbyint(d);
    if (!(r >= -limit - 1 && r <= limit)) {
        sqlite3_result_error(ctx, "Überlauf", -1);
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(r));
}
static void fnCInt(sqlite3_context *c, int, sqlite3_value **a) { toWhole(c, a, 32767); }
static void fnCLng(sqlite3_context *c, int, sqlite3_value **a) { toWhole(c, a, 2147483647); }

static void fnCDbl(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double d = 0;
    if (isNull(argv[0]) || !numberArg(argv[0], &d)) {
        sqlite3_result_error(ctx, "Typen unverträglich", -1);
        return;
    }
    sqlite3_result_double(ctx, d);
}

// ---- operators of typed Access statements (platform/accesssql.h)

// a & b: Null counts as empty, all Null gives Null. The parts' size decides before anything
// is copied (nested concatenations double quickly), and the parts are joined as UTF-8 in the
// engine's own memory, which takes the result over without a further copy.
static void fnAccConcat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const auto raw = [](int type) { return type == SQLITE_TEXT || type == SQLITE_BLOB; };
    // Numbers and dates as the program shows them ("1,5"); texts as they are.
    QVarLengthArray<QByteArray, 8> shown(argc);
    qint64 size = 0;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        const int type = sqlite3_value_type(argv[i]);
        if (type == SQLITE_NULL)
            continue;
        any = true;
        size += raw(type) ? sqlite3_value_bytes(argv[i]) : (shown[i] = textOf(argv[i]).toUtf8()).size();
    }
    if (!any) {
        sqlite3_result_null(ctx);
        return;
    }
    char *out = textBuffer(ctx, size);
    if (!out)
        return;
    char *at = out;
    for (int i = 0; i < argc; ++i) {
        const int type = sqlite3_value_type(argv[i]);
        const void *part = type == SQLITE_TEXT ? static_cast<const void *>(sqlite3_value_text(argv[i]))
                         : type == SQLITE_BLOB ? sqlite3_value_blob(argv[i])
                                               : shown[i].constData();
        const qint64 n = raw(type) ? sqlite3_value_bytes(argv[i]) : shown[i].size();
        if (n > 0)
            std::memcpy(at, part, size_t(n));
        at += n;
    }
    resultOwnedText(ctx, out, size);
}

bool isNumberValue(sqlite3_value *v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

// Stored date (ISO text) as days with the time as fraction; false when the text is no date.
static bool dateSerial(sqlite3_value *v, double *days)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const QDateTime dt = zdb::dateTimeFromStored(argText(v));
    if (!dt.isValid())
        return false;
    *days = double(dt.date().toJulianDay()) + dt.time().msecsSinceStartOfDay() / 86400000.0;
    return true;
}

void resultDateTime(sqlite3_context *ctx, const QDateTime &dt)
{
    resultText(ctx, dt.time() == QTime(0, 0) ? zdb::isoDate(dt.date()) : zdb::isoDateTime(dt));
}

void resultTypeError(sqlite3_context *ctx) { sqlite3_result_error(ctx, "Typen unverträglich", -1); }

void resultDate(sqlite3_context *ctx, double days)
{
    qint64 jd = qint64(std::floor(days));
    qint64 secs = qRound64((days - double(jd)) * 86400.0);
    if (secs >= 86400) {
        ++jd;
        secs -= 86400;
    }
    const QDateTime dt(QDate::fromJulianDay(jd), QTime(0, 0).addSecs(int(secs)));
    resultText(ctx, secs == 0 ? zdb::isoDate(dt.date()) : zdb::isoDateTime(dt));
}

// a + b and a - b as Access computes them: numbers add, two texts concatenate (+ only),
// a date and a number move the date by days, two dates give their distance in days (- only),
// a text holding a number counts as that number.
static void arith(sqlite3_context *ctx, sqlite3_value **argv, bool plus)
{
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_value *a = argv[0], *b = argv[1];
    if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
        const qint64 x = sqlite3_value_int64(a), y = sqlite3_value_int64(b);
        sqlite3_result_int64(ctx, plus ? x + y : x - y);
        return;
    }
    const bool textA = sqlite3_value_type(a) == SQLITE_TEXT, textB = sqlite3_value_type(b) == SQLITE_TEXT;
    if (plus && textA && textB) {
        resultText(ctx, argText(a) + argText(b));
        return;
    }
    double da = 0, db = 0;
    const bool dateA = dateSerial(a, &da), dateB = dateSerial(b, &db);
    if (dateA && dateB && !plus) {
        resultNumber(ctx, da - db);
        return;
    }
    if (dateA != dateB) {
        double days = 0;
        if (!numberArg(dateA ? b : a, &days) || (!plus && dateB)) {
            sqlite3_result_error(ctx, "Datentypen unverträglich", -1);
            return;
        }
        resultDate(ctx, dateA ? (plus ? da + days : da - days) : db + days);
        return;
    }
    double x = 0, y = 0;
    if (!numberArg(a, &x) || !numberArg(b, &y)) {
        sqlite3_result_error(ctx, "Datentypen unverträglich", -1);
        return;
    }
    if (isNumberValue(a) && isNumberValue(b))
        sqlite3_result_double(ctx, plus ? x + y : x - y);
    else
        resultNumber(ctx, plus ? x + y : x - y);
}
static void fnAccPlus(sqlite3_context *c, int, sqlite3_value **a) { arith(c, a, true); }
static void fnAccMinus(sqlite3_context *c, int, sqlite3_value **a) { arith(c, a, false); }

void registerScalars(sqlite3 *db, const ScalarFn *fns, int count)
{
    for (int i = 0; i < count; ++i)
        registerChecked(db, fns[i]);
}

void registerAccessFunctions(sqlite3 *db)
{
    const int f = SQLITE_UTF8;
    const ScalarFn fns[] = {
        {"like", 2, fnLike},         {"like", 3, fnLike},       {"AccLike", 2, fnAccLike},
        {"IIf", 3, fnIIf},           {"Nz", 1, fnNz},           {"Nz", 2, fnNz},
        {"Val", 1, fnVal},           {"AccIsNull", 1, fnIsNull}, {"Len", 1, fnLen},
        {"AccLeft", 2, fnLeft},      {"AccRight", 2, fnRight},  {"Mid", 2, fnMid},
        {"Mid", 3, fnMid},           {"InStr", 2, fnInStr},
        {"UCase", 1, fnUCase},       {"LCase", 1, fnLCase},     {"Trim", 1, fnTrim},
        {"Year", 1, fnYear},
        {"Month", 1, fnMonth},       {"Day", 1, fnDay},         {"Date", 0, fnDate, f},
        {"Now", 0, fnNow, f},             {"CStr", 1, fnCStr},       {"CInt", 1, fnCInt},
        {"CLng", 1, fnCLng},         {"CDbl", 1, fnCDbl},       {"AccConcat", -1, fnAccConcat},
        {"AccPlus", 2, fnAccPlus},   {"AccMinus", 2, fnAccMinus},
    };
    registerScalars(db, fns);
    registerDateFunctions(db);
    registerMoreFunctions(db);
    registerTextFunctions(db);
    registerFormatFunctions(db);
    registerCompareFunctions(db);
    sqlite3_create_collation_v2(db, "DE", SQLITE_UTF8, nullptr, collateDE, nullptr);
    sqlite3_create_collation_v2(db, "NOCASEU", SQLITE_UTF8, nullptr, collateNoCase, nullptr);
}

} // namespace accessfn
