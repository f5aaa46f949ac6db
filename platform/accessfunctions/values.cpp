// Reading arguments as Access reads them in German settings, and making results within the
// engine's limits.
#include "platform/accessfunctions/values.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QRegularExpression>
#include <QStringView>
#include <cmath>
#include <sqlite3.h>

namespace accessfn {

// ---- arguments

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

bool isNull(sqlite3_value *v) { return sqlite3_value_type(v) == SQLITE_NULL; }

bool isNumberValue(sqlite3_value *v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

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

bool noNull(sqlite3_context *ctx, sqlite3_value **argv, int n)
{
    for (int i = 0; i < n; ++i)
        if (isNull(argv[i])) {
            sqlite3_result_null(ctx);
            return false;
        }
    return true;
}

bool numberArg(sqlite3_value *v, double *d)
{
    if (isNumberValue(v)) {
        *d = sqlite3_value_double(v);
        return true;
    }
    const QString s = argText(v);
    if (s.compare("Wahr", Qt::CaseInsensitive) == 0 || s.compare("True", Qt::CaseInsensitive) == 0) {
        *d = -1;
        return true;
    }
    if (s.compare("Falsch", Qt::CaseInsensitive) == 0 || s.compare("False", Qt::CaseInsensitive) == 0) {
        *d = 0;
        return true;
    }
    // "." groups thousands wherever it stands ("2.5" is 25), but a whole date stays no number.
    return numericText(s, d) && !(s.count('.') == 2 && vt::parseDate(s).isValid());
}

bool numberOrError(sqlite3_context *ctx, sqlite3_value *v, double *d)
{
    if (numberArg(v, d))
        return true;
    resultTypeError(ctx);
    return false;
}

// &H1F, &O17 (the whole text); false for any other.
static bool baseNumber(QStringView s, double *value)
{
    if (s.size() < 3 || s[0] != '&')
        return false;
    const bool hex = s[1] == 'h' || s[1] == 'H';
    if (!hex && s[1] != 'o' && s[1] != 'O')
        return false;
    const QStringView digits = s.mid(2);
    if (digits.size() > (hex ? 8 : 11) || !digits[0].isLetterOrNumber())
        return false;
    bool ok = false;
    qint64 v = digits.toLongLong(&ok, hex ? 16 : 8);
    if (!ok || digits.startsWith('+') || digits.startsWith('-'))
        return false;
    if (hex && digits.size() <= 4 && v > 0x7FFF) // &HFFFF is the Integer -1
        v -= 0x10000;
    if (value)
        *value = double(v);
    return true;
}

bool numericText(const QString &text, double *value)
{
    QStringView s = QStringView(text).trimmed();
    if (baseNumber(s, value))
        return true;
    const bool parens = s.startsWith('(') && s.endsWith(')');
    if (parens)
        s = s.mid(1, s.size() - 2).trimmed();
    const auto dropCurrency = [&s] {
        if (s.startsWith(QChar(0x20AC)))
            s = s.mid(1).trimmed();
        else if (s.endsWith(QChar(0x20AC)))
            s = s.chopped(1).trimmed();
    };
    dropCurrency();
    int signs = parens ? 1 : 0;
    bool minus = parens;
    if (s.startsWith('+') || s.startsWith('-')) {
        minus = minus || s.startsWith('-');
        s = s.mid(1).trimmed();
        ++signs;
    }
    dropCurrency();
    if (s.endsWith('+') || s.endsWith('-')) {
        // an exponent's own sign needs digits after it, so a sign at the end is the number's
        minus = minus || s.endsWith('-');
        s = s.chopped(1).trimmed();
        ++signs;
    }
    dropCurrency();
    if (signs > 1 || s.isEmpty())
        return false;
    // Digits with "." anywhere between them after the first, one "," then digits, an exponent.
    QByteArray plain;
    plain.reserve(s.size());
    qsizetype i = 0;
    const auto digit = [&s](qsizetype k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    if (digit(0)) {
        while (digit(i) || (i < s.size() && s[i] == '.')) {
            if (s[i] != '.')
                plain += char(s[i].unicode());
            ++i;
        }
        if (i < s.size() && s[i] == ',') {
            plain += '.';
            for (++i; digit(i); ++i)
                plain += char(s[i].unicode());
        }
    } else if (s[0] == ',' && digit(1)) {
        plain += "0.";
        for (i = 1; digit(i); ++i)
            plain += char(s[i].unicode());
    } else
        return false;
    if (i < s.size() && QStringLiteral("eEdD").contains(s[i])) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            plain += char(s[i++].unicode());
        if (!digit(i))
            return false;
        for (; digit(i); ++i)
            plain += char(s[i].unicode());
    }
    if (i != s.size())
        return false;
    if (value)
        *value = (minus ? -1 : 1) * plain.toDouble();
    return true;
}

bool countArg(sqlite3_context *ctx, sqlite3_value *v, int least, int *out)
{
    double d = 0;
    if (isNull(v) || !numberArg(v, &d)) {
        resultTypeError(ctx);
        return false;
    }
    d = std::nearbyint(d);
    if (d < least || d > 2147483647.0) {
        resultInvalid(ctx);
        return false;
    }
    *out = int(d);
    return true;
}

QString textOf(sqlite3_value *v) { return vt::valueText(argValue(v)); }

// ---- dates

static const QDate dayZero(1899, 12, 30);

double serialOf(const QDateTime &dt)
{
    return double(dayZero.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime dateOfSerial(double serial)
{
    if (!(std::fabs(serial) <= 3e6))
        return {};
    qint64 day = qint64(std::floor(serial));
    qint64 secs = qRound64((serial - double(day)) * 86400.0);
    if (secs >= 86400) {
        ++day;
        secs -= 86400;
    }
    return QDateTime(dayZero.addDays(day), QTime::fromMSecsSinceStartOfDay(int(secs * 1000)));
}

QDateTime storedDate(sqlite3_value *v)
{
    return sqlite3_value_type(v) == SQLITE_TEXT ? zdb::dateTimeFromStored(argText(v)) : QDateTime();
}

QDateTime dateArg(sqlite3_value *v)
{
    if (isNumberValue(v))
        return dateOfSerial(sqlite3_value_double(v));
    const QVariant a = argValue(v);
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
            dt = QDateTime(dayZero, timeOf(s));
        else
            dt = germanDate(s);
    }
    return dt;
}

static int monthOf(const QString &word)
{
    const QString w = word.toLower();
    for (int m = 1; m <= 12; ++m) {
        const QString lang = datetexts::monthLong(m).toLower();
        if (w == lang || w == datetexts::monthShort(m).toLower() || w == lang.left(3))
            return m;
    }
    return 0;
}

// A day that cannot be a month is read as the day ("12/31/2011").
QDateTime germanDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,2})(?:\\.\\s*|\\s*[/-]\\s*|\\s+)(\\d{1,2}|\\p{L}+)"
        "(?:(?:\\.\\s*|\\s*[/-]\\s*|\\s+)(\\d{1,4}))?\\.?(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = re.match(vt::trimBlanks(text));
    if (!m.hasMatch())
        return {};
    const QString monat = m.captured(2);
    const int month = monat[0].isDigit() ? monat.toInt() : monthOf(monat);
    int year = QDate::currentDate().year();
    if (!m.captured(3).isEmpty())
        year = vt::fullYear(m.captured(3).toInt(), int(m.captured(3).size()));
    QDate d(year, month, m.captured(1).toInt());
    if (!d.isValid() && monat[0].isDigit()) // "12/31/2011": day and month the other way round
        d = QDate(year, m.captured(1).toInt(), month);
    const QTime t = m.captured(4).isEmpty()
                        ? QTime(0, 0)
                        : QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    return d.isValid() && t.isValid() ? QDateTime(d, t) : QDateTime();
}

// ---- results

bool fitsLength(sqlite3_context *ctx, qint64 bytes)
{
    if (bytes <= sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1))
        return true;
    sqlite3_result_error_toobig(ctx);
    return false;
}

char *textBuffer(sqlite3_context *ctx, qint64 bytes)
{
    if (!fitsLength(ctx, bytes))
        return nullptr;
    char *p = static_cast<char *>(sqlite3_malloc64(sqlite3_uint64(bytes) + 1));
    if (!p)
        sqlite3_result_error_nomem(ctx);
    return p;
}

void resultOwnedText(sqlite3_context *ctx, char *text, qint64 bytes)
{
    sqlite3_result_text64(ctx, text, sqlite3_uint64(bytes), sqlite3_free, SQLITE_UTF8);
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    // Counted before it is converted: a text too long is never copied.
    const qint64 bytes = utf8Size(s);
    char *out = textBuffer(ctx, bytes);
    if (!out)
        return;
    putUtf8(out, s);
    resultOwnedText(ctx, out, bytes);
}

void resultNumber(sqlite3_context *ctx, double d)
{
    if (d == std::floor(d) && std::fabs(d) < 9e15)
        sqlite3_result_int64(ctx, sqlite3_int64(d));
    else
        sqlite3_result_double(ctx, d);
}

void resultDateTime(sqlite3_context *ctx, const QDateTime &dt)
{
    resultText(ctx, dt.time() == QTime(0, 0) ? zdb::isoDate(dt.date()) : zdb::isoDateTime(dt));
}

void resultTypeError(sqlite3_context *ctx) { sqlite3_result_error(ctx, "Typen unverträglich", -1); }

void resultInvalid(sqlite3_context *ctx)
{
    sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
}

void resultOverflow(sqlite3_context *ctx) { sqlite3_result_error(ctx, "Überlauf", -1); }

// ---- long values

qint64 utf8Size(QStringView s)
{
    qint64 n = 0;
    const qsizetype size = s.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = s[i].unicode();
        if (c < 0x80)
            n += 1;
        else if (c < 0x800)
            n += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(s[i + 1].unicode())) {
            n += 4;
            ++i;
        } else
            n += 3;
    }
    return n;
}

char *putUtf8(char *at, QStringView s)
{
    const qsizetype size = s.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = s[i].unicode();
        if (c < 0x80) {
            *at++ = char(c);
            continue;
        }
        if (c < 0x800) {
            *at++ = char(0xC0 | (c >> 6));
            *at++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(s[i + 1].unicode())) {
            c = QChar::surrogateToUcs4(char16_t(c), s[++i].unicode());
            *at++ = char(0xF0 | (c >> 18));
            *at++ = char(0x80 | ((c >> 12) & 0x3F));
        } else {
            if (QChar::isSurrogate(c))
                c = 0xFFFD;
            *at++ = char(0xE0 | (c >> 12));
        }
        *at++ = char(0x80 | ((c >> 6) & 0x3F));
        *at++ = char(0x80 | (c & 0x3F));
    }
    return at;
}

} // namespace accessfn
