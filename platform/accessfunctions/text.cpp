// Text functions as Access computes them: Len, Left, Right, Mid, InStr, InStrRev, StrComp, UCase,
// LCase, StrConv, Trim, LTrim, RTrim, Replace, StrReverse, Space, String, Asc, AscW, Chr, ChrW. A
// Null argument gives Null. Lengths and positions count UTF-16 units, as Access counts
// characters. Long texts are worked on as the engine holds them (UTF-8), without copies of the
// whole value, and every loop over one asks the running statement's go-on check.
#include "platform/accessfuncs.h"
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"
#include "platform/textcodec.h"
#include "platform/valuetext.h"

#include <cmath>
#include <cstring>
#include <string_view>
#include <sqlite3.h>

namespace accessfn {

namespace {

// ---- a text argument as UTF-8

// A text value as the engine holds it; any other value as it shows ("1,5").
struct Utf8 {
    const char *data = nullptr;
    qint64 size = 0;
    QByteArray own;
    std::string_view view() const { return {data, size_t(size)}; }
};

Utf8 utf8Of(sqlite3_value *v)
{
    Utf8 u;
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        u.data = reinterpret_cast<const char *>(sqlite3_value_text(v));
        u.size = sqlite3_value_bytes(v);
        if (!u.data)
            u.data = "";
    } else {
        u.own = textOf(v).toUtf8();
        u.data = u.own.constData();
        u.size = u.own.size();
    }
    return u;
}

bool continuation(char c) { return (uchar(c) & 0xC0) == 0x80; }

// The bytes of the character that starts at data[i], and its UTF-16 units.
int sequence(const char *data, qint64 size, qint64 i, int *units)
{
    const uchar b = uchar(data[i]);
    int n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    *units = n == 4 ? 2 : 1;
    for (int k = 1; k < n; ++k)
        if (i + k >= size || !continuation(data[i + k]))
            return k; // cut short: as far as it goes
    return n;
}

// The byte where the units-th UTF-16 unit from `from` begins (the end when the text is shorter);
// a character of two units is not cut. False when the statement was given up meanwhile.
bool byteAfter(sqlite3_context *ctx, const Utf8 &t, qint64 from, qint64 units, qint64 *at)
{
    Pace pace(ctx);
    qint64 i = from;
    while (i < t.size && units > 0) {
        int u = 0;
        const int n = sequence(t.data, t.size, i, &u);
        if (u > units)
            break;
        units -= u;
        i += n;
        if (!pace.step(n))
            return false;
    }
    *at = i;
    return true;
}

// Counted back from the end: the byte where the last `units` UTF-16 units begin.
bool byteBeforeEnd(sqlite3_context *ctx, const Utf8 &t, qint64 units, qint64 *at)
{
    Pace pace(ctx);
    qint64 i = t.size;
    while (i > 0 && units > 0) {
        qint64 j = i - 1;
        while (j > 0 && continuation(t.data[j]) && i - j < 4)
            --j;
        const int u = i - j == 4 ? 2 : 1;
        if (u > units)
            break;
        units -= u;
        if (!pace.step(i - j))
            return false;
        i = j;
    }
    *at = i;
    return true;
}

void resultBytes(sqlite3_context *ctx, const char *data, qint64 size)
{
    if (fitsLength(ctx, size))
        sqlite3_result_text64(ctx, data, sqlite3_uint64(size), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// A text made piece by piece in the engine's memory: never longer than the connection allows,
// the statement asked between pieces.
class Built {
public:
    Built(sqlite3_context *ctx, qint64 expected) : m_ctx(ctx), m_pace(ctx)
    {
        m_cap = std::max<qint64>(expected, 16);
        if (!fitsLength(ctx, expected))
            m_failed = true;
        else if (!(m_data = static_cast<char *>(sqlite3_malloc64(sqlite3_uint64(m_cap) + 1))))
            fail(true);
    }
    ~Built() { sqlite3_free(m_data); }
    Built(const Built &) = delete;
    Built &operator=(const Built &) = delete;

    bool add(QStringView piece)
    {
        if (m_failed)
            return false;
        const qint64 n = utf8Size(piece);
        if (!room(n))
            return false;
        putUtf8(m_data + m_size, piece);
        m_size += n;
        return m_pace.step(piece.size()) || (m_failed = true, false);
    }
    void finish()
    {
        if (m_failed)
            return;
        resultOwnedText(m_ctx, m_data, m_size);
        m_data = nullptr;
    }

private:
    bool room(qint64 n)
    {
        if (m_size + n <= m_cap)
            return true;
        if (!fitsLength(m_ctx, m_size + n))
            return m_failed = true, false;
        const qint64 cap = std::max(m_size + n, m_cap + m_cap / 2);
        char *p = static_cast<char *>(sqlite3_realloc64(m_data, sqlite3_uint64(cap) + 1));
        if (!p)
            return fail(true), false;
        m_data = p;
        m_cap = cap;
        return true;
    }
    void fail(bool memory)
    {
        if (memory)
            sqlite3_result_error_nomem(m_ctx);
        m_failed = true;
    }

    sqlite3_context *m_ctx;
    Pace m_pace;
    char *m_data = nullptr;
    qint64 m_size = 0, m_cap = 0;
    bool m_failed = false;
};

// The text mapped a piece (about a megabyte, cut between characters) at a time: map changes a
// piece in place and may keep its state from one piece to the next.
template <typename Map> void resultMapped(sqlite3_context *ctx, sqlite3_value *v, Map map)
{
    const Utf8 t = utf8Of(v);
    Built out(ctx, t.size);
    constexpr qint64 Piece = qint64(1) << 20;
    for (qint64 at = 0; at < t.size;) {
        qint64 end = std::min(at + Piece, t.size);
        while (end < t.size && continuation(t.data[end]))
            --end;
        QString piece = QString::fromUtf8(t.data + at, end - at);
        map(piece);
        if (!out.add(piece))
            return;
        at = end;
    }
    out.finish();
}

// ---- functions

void fnLen(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const Utf8 t = utf8Of(argv[0]);
    Pace pace(ctx);
    qint64 units = 0;
    for (qint64 i = 0; i < t.size; ++i) {
        if (!continuation(t.data[i]))
            units += uchar(t.data[i]) >= 0xF0 ? 2 : 1;
        if (!pace.step())
            return;
    }
    sqlite3_result_int64(ctx, units);
}

void fnLeft(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    int n = 0;
    qint64 end = 0;
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (countArg(ctx, argv[1], 0, &n)) {
        const Utf8 t = utf8Of(argv[0]);
        if (byteAfter(ctx, t, 0, n, &end))
            resultBytes(ctx, t.data, end);
    }
}

void fnRight(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    int n = 0;
    qint64 begin = 0;
    if (isNull(argv[0]))
        sqlite3_result_null(ctx);
    else if (countArg(ctx, argv[1], 0, &n)) {
        const Utf8 t = utf8Of(argv[0]);
        if (byteBeforeEnd(ctx, t, n, &begin))
            resultBytes(ctx, t.data + begin, t.size - begin);
    }
}

void fnMid(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    int start = 1, n = -1;
    if (!countArg(ctx, argv[1], 1, &start) || (argc > 2 && !isNull(argv[2]) && !countArg(ctx, argv[2], 0, &n)))
        return;
    if (!noNull(ctx, argv, 1))
        return;
    const Utf8 t = utf8Of(argv[0]);
    qint64 begin = 0, end = t.size;
    if (!byteAfter(ctx, t, 0, start - 1, &begin) || (n >= 0 && !byteAfter(ctx, t, begin, n, &end)))
        return;
    resultBytes(ctx, t.data + begin, end - begin);
}

// Blanks only (tabs stay), from the left, the right or both.
void trimmed(sqlite3_context *ctx, sqlite3_value **argv, bool left, bool right)
{
    if (!noNull(ctx, argv, 1))
        return;
    const Utf8 t = utf8Of(argv[0]);
    qint64 begin = 0, end = t.size;
    while (left && begin < end && t.data[begin] == ' ')
        ++begin;
    while (right && end > begin && t.data[end - 1] == ' ')
        --end;
    resultBytes(ctx, t.data + begin, end - begin);
}
void fnTrim(sqlite3_context *c, int, sqlite3_value **a) { trimmed(c, a, true, true); }
void fnLTrim(sqlite3_context *c, int, sqlite3_value **a) { trimmed(c, a, true, false); }
void fnRTrim(sqlite3_context *c, int, sqlite3_value **a) { trimmed(c, a, false, true); }

void fnUCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (noNull(ctx, argv, 1))
        resultMapped(ctx, argv[0], [](QString &s) { s = vt::upperCase(s); });
}

void fnLCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (noNull(ctx, argv, 1))
        resultMapped(ctx, argv[0], [](QString &s) { s = std::move(s).toLower(); });
}

// StrConv(text, 1) upper case, 2 lower case, 3 the first letter of every word upper, the rest lower.
void fnStrConv(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    switch (sqlite3_value_int(argv[1])) {
    case 1:
        fnUCase(ctx, 1, argv);
        return;
    case 2:
        fnLCase(ctx, 1, argv);
        return;
    case 3: {
        bool start = true; // across pieces: a word may begin in the next one
        resultMapped(ctx, argv[0], [&start](QString &s) {
            s = std::move(s).toLower();
            for (qsizetype i = 0; i < s.size(); ++i) {
                if (start && s[i].isLetter() && s[i] != QChar(0x00DF))
                    s[i] = s[i].toUpper();
                start = s[i].isSpace();
            }
        });
        return;
    }
    default:
        resultMapped(ctx, argv[0], [](QString &) {});
    }
}

// Character by character from the end; a character of several bytes keeps its order.
void fnStrReverse(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 1))
        return;
    const Utf8 t = utf8Of(argv[0]);
    char *out = textBuffer(ctx, t.size);
    if (!out)
        return;
    Pace pace(ctx);
    for (qint64 i = 0; i < t.size;) {
        int units = 0;
        const int n = sequence(t.data, t.size, i, &units);
        std::memcpy(out + t.size - i - n, t.data + i, size_t(n));
        i += n;
        if (!pace.step(n)) {
            sqlite3_free(out);
            return;
        }
    }
    resultOwnedText(ctx, out, t.size);
}

// Replace's two ways to look for the text: byte for byte (binary compare) or with case ignored.
struct ByBytes {
    std::string_view text, find;
    qint64 size() const { return qint64(text.size()); }
    qint64 next(qint64 from) const
    {
        const size_t at = text.find(find, size_t(from));
        return at == std::string_view::npos ? -1 : qint64(at);
    }
    qint64 findSize() const { return qint64(find.size()); }
    qint64 bytes(qint64 a, qint64 b) const { return b - a; }
    char *put(char *at, qint64 a, qint64 b) const
    {
        std::memcpy(at, text.data() + a, size_t(b - a));
        return at + (b - a);
    }
};

struct ByUnits {
    QString text, find;
    qint64 size() const { return text.size(); }
    qint64 next(qint64 from) const { return text.indexOf(find, from, Qt::CaseInsensitive); }
    qint64 findSize() const { return find.size(); }
    qint64 bytes(qint64 a, qint64 b) const { return utf8Size(QStringView(text).mid(a, b - a)); }
    char *put(char *at, qint64 a, qint64 b) const { return putUtf8(at, QStringView(text).mid(a, b - a)); }
};

// The result's size is counted first (refused as soon as it passes the connection's limit),
// then the result is written once into memory of exactly that size.
template <typename In> void replaced(sqlite3_context *ctx, const In &in, const QByteArray &with, qint64 count)
{
    // piece(a, b) for each stretch kept and match() for each replacement, in their order.
    const auto walk = [&](auto &&piece, auto &&match) {
        Pace pace(ctx);
        qint64 from = 0;
        for (qint64 done = 0; count < 0 || done < count; ++done) {
            const qint64 at = in.next(from);
            if (at < 0)
                break;
            if (!piece(from, at) || !match() || !pace.step(at - from + 16))
                return false;
            from = at + in.findSize();
        }
        return piece(from, in.size());
    };
    const qint64 limit = sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1);
    qint64 size = 0;
    const auto fits = [&] {
        if (size <= limit)
            return true;
        sqlite3_result_error_toobig(ctx);
        return false;
    };
    if (!walk([&](qint64 a, qint64 b) { return (size += in.bytes(a, b)), fits(); },
              [&] { return (size += with.size()), fits(); }))
        return;
    char *out = textBuffer(ctx, size);
    if (!out)
        return;
    char *at = out;
    const bool written = walk(
        [&](qint64 a, qint64 b) {
            at = in.put(at, a, b);
            return true;
        },
        [&] {
            std::memcpy(at, with.constData(), size_t(with.size()));
            at += with.size();
            return true;
        });
    if (written)
        resultOwnedText(ctx, out, size);
    else
        sqlite3_free(out);
}

// Replace(text, find, with[, start[, count[, compare]]]) as Access: the text from start on (the
// part before it is dropped), at most count replacements (-1 all), compare 1 ignores case.
void fnReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (isNull(argv[1]) || isNull(argv[2])) {
        resultTypeError(ctx);
        return;
    }
    double start = 1, count = -1, compare = 0;
    if ((argc > 3 && !numberOrError(ctx, argv[3], &start)) || (argc > 4 && !numberOrError(ctx, argv[4], &count)) ||
        (argc > 5 && !numberOrError(ctx, argv[5], &compare)))
        return;
    if (start < 1 || count < -1) {
        resultInvalid(ctx);
        return;
    }
    const Utf8 all = utf8Of(argv[0]);
    qint64 begin = 0;
    if (!byteAfter(ctx, all, 0, qint64(start) - 1, &begin))
        return;
    const std::string_view text = all.view().substr(size_t(begin));
    const QByteArray find = textOf(argv[1]).toUtf8(), with = textOf(argv[2]).toUtf8();
    if (find.isEmpty() || count == 0)
        resultBytes(ctx, text.data(), qint64(text.size()));
    else if (compare == 1)
        replaced(ctx, ByUnits{QString::fromUtf8(text.data(), qsizetype(text.size())), QString::fromUtf8(find)}, with,
                 qint64(count));
    else
        replaced(ctx, ByBytes{text, std::string_view(find.constData(), size_t(find.size()))}, with, qint64(count));
}

// InStr(text, search): the first place of search, case ignored.
void fnInStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 2))
        return;
    const QString text = textOf(argv[0]), search = textOf(argv[1]);
    if (search.isEmpty()) {
        sqlite3_result_int(ctx, text.isEmpty() ? 0 : 1);
        return;
    }
    sqlite3_result_int64(ctx, text.indexOf(search, 0, Qt::CaseInsensitive) + 1);
}

// The compare argument: 0 binary (case counts), 1 text, -1 and 2 the database's (text). Without
// it InStr and StrComp compare as the database does, InStrRev binary (as documented).
bool caseCounts(sqlite3_context *ctx, int argc, sqlite3_value **argv, int at, bool *ok, bool binaryDefault = false)
{
    *ok = true;
    if (argc <= at || isNull(argv[at]))
        return binaryDefault;
    double c = 0;
    if (!numberArg(argv[at], &c) || (c != 0 && c != 1 && c != -1 && c != 2)) {
        resultInvalid(ctx);
        *ok = false;
        return false;
    }
    return c == 0;
}

// InStr(start, text, search[, compare]).
void fnInStrFrom(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    int start = 1;
    if (!noNull(ctx, argv, 3) || !countArg(ctx, argv[0], 1, &start))
        return;
    bool ok = false;
    const bool binary = caseCounts(ctx, argc, argv, 3, &ok);
    if (!ok)
        return;
    const QString text = textOf(argv[1]), search = textOf(argv[2]);
    const qsizetype from = qsizetype(start) - 1;
    if (search.isEmpty()) {
        sqlite3_result_int64(ctx, from < text.size() ? from + 1 : 0);
        return;
    }
    const qsizetype pos =
        from >= text.size() ? -1 : text.indexOf(search, from, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, pos + 1);
}

// InStrRev(text, search[, start[, compare]]): the last place of search that ends by start
// (-1: the end of the text).
void fnInStrRev(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, argc > 2 ? 3 : 2))
        return;
    int start = -1;
    if (argc > 2 && !countArg(ctx, argv[2], -1, &start))
        return;
    bool ok = false;
    const bool binary = caseCounts(ctx, argc, argv, 3, &ok, true);
    if (!ok)
        return;
    if (start == 0) {
        resultInvalid(ctx);
        return;
    }
    const QString text = textOf(argv[0]), search = textOf(argv[1]);
    const qsizetype end = start < 0 ? text.size() : qsizetype(start);
    if (end > text.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    if (search.isEmpty()) {
        sqlite3_result_int64(ctx, end);
        return;
    }
    const qsizetype from = end - search.size();
    const qsizetype pos =
        from < 0 ? -1 : text.lastIndexOf(search, from, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, pos + 1);
}

// StrComp(a, b[, compare]): -1, 0 or 1; as text in German order with case ignored.
void fnStrComp(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (!noNull(ctx, argv, 2))
        return;
    bool ok = false;
    const bool binary = caseCounts(ctx, argc, argv, 2, &ok);
    if (!ok)
        return;
    const QString a = textOf(argv[0]), b = textOf(argv[1]);
    int r = 0;
    if (binary)
        r = a.compare(b);
    else if (noCaseCompare(a, b) != 0)
        r = germanCompare(a, b);
    sqlite3_result_int(ctx, r < 0 ? -1 : r > 0 ? 1 : 0);
}

// A repeat count; a negative one is refused as Access does.
bool repeatCount(sqlite3_context *ctx, sqlite3_value *v, qint64 *n)
{
    double d = 0;
    if (!numberOrError(ctx, v, &d))
        return false;
    if (!(d >= 0)) {
        resultInvalid(ctx);
        return false;
    }
    *n = qint64(std::nearbyint(std::min(d, 1e15)));
    return true;
}

// n copies of one character, made as UTF-8 at once: a count beyond the connection's length
// limit is refused before anything is allocated.
void resultRepeated(sqlite3_context *ctx, qint64 n, QChar c)
{
    const QByteArray one = QString(c).toUtf8();
    const qint64 size = n * one.size();
    char *buf = textBuffer(ctx, size);
    if (!buf)
        return;
    if (one.size() == 1)
        std::memset(buf, one[0], size_t(size));
    else if (size > 0) {
        std::memcpy(buf, one.constData(), size_t(one.size()));
        for (qint64 done = one.size(); done < size; done *= 2)
            std::memcpy(buf + done, buf, size_t(std::min(done, size - done)));
    }
    resultOwnedText(ctx, buf, size);
}

void fnSpace(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    qint64 n = 0;
    if (noNull(ctx, argv, 1) && repeatCount(ctx, argv[0], &n))
        resultRepeated(ctx, n, QLatin1Char(' '));
}

// String(3, "abc") = "aaa", String(3, 65) = "AAA".
void fnString(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    qint64 n = 0;
    if (!noNull(ctx, argv, 2) || !repeatCount(ctx, argv[0], &n))
        return;
    QChar c;
    if (isNumberValue(argv[1]))
        c = QChar(char16_t(sqlite3_value_int(argv[1]) & 0xFFFF));
    else {
        const Utf8 t = utf8Of(argv[1]);
        const QString first = QString::fromUtf8(t.data, qsizetype(std::min<qint64>(t.size, 4)));
        if (first.isEmpty()) {
            resultInvalid(ctx);
            return;
        }
        c = first[0];
    }
    resultRepeated(ctx, n, c);
}

// Asc gives the Windows-1252 code of the first character, AscW its Unicode value.
void ascOf(sqlite3_context *ctx, sqlite3_value **argv, bool wide)
{
    if (!noNull(ctx, argv, 1))
        return;
    const Utf8 t = utf8Of(argv[0]);
    const QString s = QString::fromUtf8(t.data, qsizetype(std::min<qint64>(t.size, 4)));
    if (s.isEmpty()) {
        resultInvalid(ctx);
        return;
    }
    if (wide)
        sqlite3_result_int(ctx, s[0].unicode());
    else
        sqlite3_result_int(ctx, quint8(textcodec::toWindows1252(s.left(1)).at(0)));
}
void fnAsc(sqlite3_context *c, int, sqlite3_value **a) { ascOf(c, a, false); }
void fnAscW(sqlite3_context *c, int, sqlite3_value **a) { ascOf(c, a, true); }

// Chr(128) = "€" (Windows-1252, 0 … 255), ChrW(8364) = "€".
void chrOf(sqlite3_context *ctx, sqlite3_value **argv, bool wide)
{
    double d = 0;
    if (!noNull(ctx, argv, 1) || !numberOrError(ctx, argv[0], &d))
        return;
    const qint64 n = qint64(std::nearbyint(d));
    if (n < (wide ? -32768 : 0) || n > (wide ? 65535 : 255)) {
        resultInvalid(ctx);
        return;
    }
    if (wide)
        resultText(ctx, QString(QChar(char16_t(n & 0xFFFF))));
    else
        resultText(ctx, textcodec::fromWindows1252(QByteArray(1, char(n))));
}
void fnChr(sqlite3_context *c, int, sqlite3_value **a) { chrOf(c, a, false); }
void fnChrW(sqlite3_context *c, int, sqlite3_value **a) { chrOf(c, a, true); }

const Function functions[] = {
    {"Len", {T}, Vt::Number, Size::Small, fnLen},
    {"Left", {T, N}, Vt::Text, Size::Args, fnLeft, "AccLeft"},
    {"Right", {T, N}, Vt::Text, Size::Args, fnRight, "AccRight"},
    {"Mid", Args({T, N, N}, 2), Vt::Text, Size::Args, fnMid},
    {"InStr", {T, T}, Vt::Number, Size::Small, fnInStr},
    {"InStr", Args({N, T, T, N}, 3), Vt::Number, Size::Small, fnInStrFrom},
    {"InStrRev", Args({T, T, N, N}, 2), Vt::Number, Size::Small, fnInStrRev},
    {"StrComp", Args({T, T, N}, 2), Vt::Number, Size::Small, fnStrComp},
    {"UCase", {T}, Vt::Text, Size::Args, fnUCase},
    {"LCase", {T}, Vt::Text, Size::Args, fnLCase},
    {"StrConv", Args({T, N, N}, 2), Vt::Text, Size::Args, fnStrConv},
    {"Trim", {T}, Vt::Text, Size::Args, fnTrim},
    // The program's own statements and stored index expressions use SQLite's ltrim, rtrim and
    // replace: Access's forms go by names of their own, so they never stand in for those.
    {"LTrim", {T}, Vt::Text, Size::Args, fnLTrim, "AccLTrim"},
    {"RTrim", {T}, Vt::Text, Size::Args, fnRTrim, "AccRTrim"},
    {"Replace", Args({T, T, T, N, N, N}, 3), Vt::Text, Size::Counted, fnReplace, "AccReplace"},
    {"StrReverse", {T}, Vt::Text, Size::Args, fnStrReverse},
    {"Space", {N}, Vt::Text, Size::Counted, fnSpace},
    {"String", {N, T}, Vt::Text, Size::Counted, fnString},
    {"Asc", {T}, Vt::Number, Size::Small, fnAsc},
    {"AscW", {T}, Vt::Number, Size::Small, fnAscW},
    {"Chr", {N}, Vt::Text, Size::Small, fnChr},
    {"ChrW", {N}, Vt::Text, Size::Small, fnChrW},
};

} // namespace

std::span<const Function> textFunctions() { return functions; }

} // namespace accessfn
