#include "platform/valuetext.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace vt {

QString numberText(double d)
{
    if (std::isnan(d) || std::isinf(d))
        return QString();
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    QString s = QString::number(d, 'g', 15);
    if (s.contains('e')) {
        // Scientific notation the way the program writes it: 1,5E-07
        s.replace('.', ',');
        QString mant = s.section('e', 0, 0), exp = s.section('e', 1, 1);
        int e = exp.toInt();
        return mant + (e < 0 ? "E-" : "E+") + QString::number(std::abs(e)).rightJustified(2, '0');
    }
    s.replace('.', ',');
    return s;
}

QString valueText(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(v.toDouble());
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    default:
        return v.toString();
    }
}

QString dateTimeText(const QDateTime &dt)
{
    if (dt.date() == QDate(1899, 12, 30)) // day zero itself is midnight: "00:00:00"
        return dt.time().toString(QStringLiteral("HH:mm:ss"));
    return valueText(dt);
}

bool parseNumber(const QString &text, double *out)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    // Plain digits (ids, codes) without the pattern.
    if (s.size() <= 15) {
        qint64 v = 0;
        qsizetype i = 0;
        while (i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'))
            v = v * 10 + (s[i++].unicode() - '0');
        if (i == s.size()) {
            if (out)
                *out = double(v);
            return true;
        }
    }
    s.replace(',', '.');
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!re.match(s).hasMatch())
        return false;
    bool ok = false;
    double d = s.toDouble(&ok);
    ok = ok && std::isfinite(d); // "1e400" is no number that can be held
    if (ok && out)
        *out = d;
    return ok;
}

namespace {

// Reads a run of ASCII digits at s[*i]; false when it is not between minLen and maxLen long.
bool digits(const QString &s, qsizetype *i, int minLen, int maxLen, int *value)
{
    int n = 0, v = 0;
    while (*i < s.size() && s[*i] >= QLatin1Char('0') && s[*i] <= QLatin1Char('9') && n <= maxLen) {
        v = v * 10 + (s[*i].unicode() - '0');
        ++*i;
        ++n;
    }
    *value = v;
    return n >= minLen && n <= maxLen;
}

bool expect(const QString &s, qsizetype *i, char c)
{
    if (*i >= s.size() || s[*i] != QLatin1Char(c))
        return false;
    ++*i;
    return true;
}

// "d.m.yy", "dd.mm.yyyy" or "yyyy-mm-dd" from s[*i]; *i ends behind the date.
QDate readDate(const QString &s, qsizetype *i)
{
    const qsizetype start = *i;
    int a = 0, b = 0, c = 0;
    if (digits(s, i, 1, 2, &a) && expect(s, i, '.') && digits(s, i, 1, 2, &b) && expect(s, i, '.')) {
        const qsizetype y0 = *i;
        if (!digits(s, i, 2, 4, &c) || *i - y0 == 3)
            return {};
        return QDate(fullYear(c, int(*i - y0)), b, a);
    }
    *i = start;
    if (digits(s, i, 4, 4, &a) && expect(s, i, '-') && digits(s, i, 2, 2, &b) && expect(s, i, '-')
        && digits(s, i, 2, 2, &c))
        return QDate(a, b, c);
    return {};
}

} // namespace

int fullYear(int year, int digits)
{
    if (digits > 2 || year < 0 || year > 99)
        return year;
    return year + (year < 30 ? 2000 : 1900);
}

QDate parseDate(const QString &text)
{
    const QString s = text.trimmed();
    qsizetype i = 0;
    const QDate d = readDate(s, &i);
    return i == s.size() ? d : QDate();
}

QDateTime parseDateTime(const QString &text)
{
    const QString s = text.trimmed();
    qsizetype i = 0;
    const QDate d = readDate(s, &i);
    if (!d.isValid())
        return {};
    if (i == s.size())
        return QDateTime(d, QTime(0, 0));
    // Then " " or "T" and h:mm, h:mm:ss or h:mm:ss.fff (further digits of the fraction are dropped).
    if (s[i] != QLatin1Char(' ') && s[i] != QLatin1Char('T'))
        return {};
    while (i < s.size() && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('T')))
        ++i;
    int h = 0, m = 0, sec = 0, ms = 0;
    if (!digits(s, &i, 1, 2, &h) || !expect(s, &i, ':') || !digits(s, &i, 2, 2, &m))
        return {};
    if (expect(s, &i, ':')) {
        if (!digits(s, &i, 2, 2, &sec))
            return {};
        if (expect(s, &i, '.')) {
            int n = 0;
            for (; i < s.size() && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'); ++i, ++n)
                if (n < 3)
                    ms = ms * 10 + (s[i].unicode() - '0');
            if (n == 0)
                return {};
            for (; n < 3; ++n)
                ms *= 10;
        }
    }
    const QTime t(h, m, sec, ms);
    return i == s.size() && t.isValid() ? QDateTime(d, t) : QDateTime();
}

static QVariant parsedValue(const QString &text)
{
    if (text == QLatin1String("Wahr"))
        return true;
    if (text == QLatin1String("Falsch"))
        return false;
    static const QRegularExpression dt(QStringLiteral("^(\\d{2}\\.\\d{2}\\.\\d{4}) (\\d{2}:\\d{2}:\\d{2})$"));
    auto m = dt.match(text);
    if (m.hasMatch()) {
        QDate d = QDate::fromString(m.captured(1), QStringLiteral("dd.MM.yyyy"));
        QTime t = QTime::fromString(m.captured(2), QStringLiteral("HH:mm:ss"));
        if (d.isValid() && t.isValid())
            return QDateTime(d, t);
    }
    static const QRegularExpression dOnly(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4}$"));
    if (dOnly.match(text).hasMatch()) {
        QDate d = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
        if (d.isValid())
            return d;
    }
    static const QRegularExpression integer(QStringLiteral("^-?\\d{1,15}$"));
    if (integer.match(text).hasMatch())
        return QVariant(text.toLongLong());
    static const QRegularExpression decimal(QStringLiteral("^-?\\d+,\\d+(E[+-]\\d+)?$"));
    if (decimal.match(text).hasMatch()) {
        QString s = text;
        s.replace(',', '.');
        return s.toDouble();
    }
    return text;
}

QVariant textValue(const QString &text)
{
    if (text.isEmpty())
        return QVariant();
    // Only a text that the value gives back unchanged is read as that value: "007" or "1,50"
    // stay texts (ids, codes), so every text survives the way back.
    QVariant v = parsedValue(text);
    if (v.typeId() != QMetaType::QString && valueText(v) != text)
        return text;
    return v;
}

QString trimBlanks(const QString &s)
{
    int b = 0, e = int(s.size());
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.mid(b, e - b);
}

QString upperCase(const QString &s)
{
    // Upper case as Access makes it: one character for one, so "ß" stays "ß"
    // (Qt's full case mapping would turn it into "SS" and change lengths).
    if (!s.contains(QChar(0x00DF)))
        return s.toUpper();
    QString out = s;
    for (QChar &c : out)
        if (c != QChar(0x00DF))
            c = c.toUpper();
    return out;
}

QString upperTrim(const QString &s) { return upperCase(trimBlanks(s)); }

// The form of one character that idFormSql maps (ASCII, the letters folding into it, the umlauts);
// nullptr for any other, which needs the full rule.
static const char16_t *einfacheForm(char16_t c)
{
    switch (c) {
    case 0x00DF: case 0x1E9E: return u"ss";
    case 0x0131: return u"i";
    case 0x017F: return u"s";
    case 0x212A: return u"k";
    case 0xFB00: return u"ff";
    case 0xFB01: return u"fi";
    case 0xFB02: return u"fl";
    case 0xFB03: return u"ffi";
    case 0xFB04: return u"ffl";
    case 0xFB05: case 0xFB06: return u"st";
    case 0x037E: return u";";
    case 0x1FEF: return u"`";
    case 0x00C4: case 0x00E4: return u"\u00E4";
    case 0x00D6: case 0x00F6: return u"\u00F6";
    case 0x00DC: case 0x00FC: return u"\u00FC";
    default: return nullptr;
    }
}

QString idNachAsciiGlob()
{
    return QStringLiteral("'*[\u00DF\u0131\u017F\u037E\u1E9E\u1FEF\u212A\uFB00-\uFB06]*'");
}

QString idFormSql(const QString &spalte)
{
    // The characters of idNachAsciiGlob, each replaced by its ASCII form, and the capital umlauts by
    // their small ones; lower() folds ASCII only.
    static const char *const ersatz[][2] = {
        {"\u00DF", "ss"}, {"\u1E9E", "ss"}, {"\u0131", "i"},   {"\u017F", "s"},   {"\u212A", "k"},
        {"\uFB00", "ff"}, {"\uFB01", "fi"}, {"\uFB02", "fl"},  {"\uFB03", "ffi"}, {"\uFB04", "ffl"},
        {"\uFB05", "st"}, {"\uFB06", "st"}, {"\u037E", ";"},   {"\u1FEF", "`"},   {"\u00C4", "\u00E4"},
        {"\u00D6", "\u00F6"}, {"\u00DC", "\u00FC"}};
    QString e = QStringLiteral("rtrim(ltrim(") + spalte + QStringLiteral(", ' '), ' ')");
    for (const auto &paar : ersatz)
        e = QStringLiteral("replace(") + e + QStringLiteral(", '") + QString::fromUtf8(paar[0]) + QStringLiteral("', '")
            + QString::fromUtf8(paar[1]) + QStringLiteral("')");
    return QStringLiteral("lower(") + e + QStringLiteral(")");
}

QString idFormJenseitsGlob() { return QStringLiteral("'*[^ -~\u00E4\u00F6\u00FC]*'"); }


QString idSchluessel(const QString &s)
{
    QString t = trimBlanks(s);
    bool ascii = true;
    for (QChar &c : t) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    }
    if (ascii)
        return t;
    // Printable ASCII with the letters whose form is ASCII and the composed umlauts: each character
    // has a form of its own, the same the full rule gives; anything else takes the full rule.
    {
        const QString g = trimBlanks(s);
        QString out;
        out.reserve(g.size() + 4);
        bool einfach = true;
        for (const QChar ch : g) {
            const char16_t c = ch.unicode();
            if (c >= 0x20 && c < 0x7F) {
                out += (c >= u'A' && c <= u'Z') ? QChar(c + 32) : ch;
            } else if (const char16_t *f = einfacheForm(c)) {
                out += QString::fromUtf16(f);
            } else {
                einfach = false;
                break;
            }
        }
        if (einfach)
            return out;
    }
    // Folding, then the full upper case (which expands "ß" and the ligatures), then folding again
    // brings every case form of a letter to one text; decomposed first, so that a sign such as
    // Ångström and a letter with its mark written apart meet their composed letter.
    t = trimBlanks(s).normalized(QString::NormalizationForm_D);
    return t.toCaseFolded().toUpper().toCaseFolded().normalized(QString::NormalizationForm_C);
}

} // namespace vt
