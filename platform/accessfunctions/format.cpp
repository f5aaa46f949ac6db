// Format as Access computes it in German settings: the named formats (General Date … On/Off),
// number masks (0 # . , % E+ E-, sections for negative and zero, literals) and date masks
// (platform/datetexts). Numbers are rounded on their decimal digits, so that large values keep
// their last digit.
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/valuetext.h"

#include <QHash>
#include <QVector>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <sqlite3.h>

namespace accessfn {

// Whether a digit text is not zero; called once per formatted value, so without a pattern.
static bool nonZeroDigits(const QString &digits)
{
    return std::any_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; });
}

QString roundedDecimal(double d, int decimals, bool halfEven, int shift)
{
    if (!std::isfinite(d))
        return QStringLiteral("0");
    // The shortest digits that read back as d: 2.675 counts as 2.675, not as 2.67499999….
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(d), std::chars_format::scientific);
    const QString sci = QString::fromLatin1(buf, int(r.ptr - buf));
    const int e = int(sci.indexOf('e'));
    QString digits = sci.left(e);
    digits.remove('.');
    const int pointPos = sci.mid(e + 1).toInt() + 1 + shift; // digits before the decimal point
    const int keep = pointPos + decimals;
    QString kept;
    bool up = false;
    if (keep >= digits.size())
        kept = digits + QString(keep - int(digits.size()), '0');
    else if (keep >= 0) {
        kept = digits.left(keep);
        const QChar next = digits[keep];
        const bool restZero = digits.mid(keep + 1).count('0') == digits.size() - keep - 1;
        const bool lastOdd = keep > 0 && (digits[keep - 1].unicode() - '0') % 2 == 1;
        up = next > '5' || (next == '5' && (!restZero || !halfEven || lastOdd));
    }
    if (up) {
        int k = int(kept.size()) - 1;
        while (k >= 0 && kept[k] == '9')
            kept[k--] = '0';
        if (k >= 0)
            kept[k] = QChar(kept[k].unicode() + 1);
        else
            kept.prepend('1');
    }
    while (kept.size() <= decimals)
        kept.prepend('0');
    QString out = decimals > 0 ? kept.left(kept.size() - decimals) + '.' + kept.right(decimals) : kept;
    while (out.size() > 1 && out[0] == '0' && out[1] != '.')
        out.remove(0, 1);
    const bool zero = !nonZeroDigits(out);
    return d < 0 && !zero ? '-' + out : out;
}

namespace {

// ---- number masks

// One section of a number mask read into its parts.
struct NumberMask {
    QString prefix, suffix;  // literal text before the first and after the last digit placeholder
    int minInt = 0;          // '0' before the decimal point
    int decimals = 0;        // placeholders after the decimal point
    int optional = 0;        // trailing '#' after the decimal point
    bool point = false;      // the mask has a decimal point: it shows even with no digit after it
    bool group = false;      // ',' between the integer placeholders
    int scale = 0;           // ',' after the integer placeholders: the number in thousands each
    bool percent = false;
    bool scientific = false; // E+ / E-
    bool expSign = false;    // E+ shows the sign always
    int expDigits = 0;
};

// Splits a mask at ';' outside literals.
QStringList sections(const QString &mask)
{
    QStringList out;
    QString cur;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            cur += c;
            cur += mask[++i];
        } else if (c == '"') {
            const int close = int(mask.indexOf('"', i + 1));
            const int end = close < 0 ? int(mask.size()) - 1 : close;
            cur += mask.mid(i, end - i + 1);
            i = end;
        } else if (c == ';') {
            out << cur;
            cur.clear();
        } else
            cur += c;
    }
    out << cur;
    return out;
}

NumberMask readNumberMask(const QString &m)
{
    NumberMask nm;
    bool seenDigit = false, afterPoint = false, inExp = false;
    int commas = 0;  // ',' after the last integer placeholder
    QString literal; // literal text since the last placeholder
    for (int i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        if (commas > 0 && (c == '0' || c == '#') && !afterPoint && !inExp)
            nm.group = true, commas = 0;
        else if (commas > 0 && c != ',')
            nm.scale += commas, commas = 0;
        if (c == '0' || c == '#') {
            if (!seenDigit)
                nm.prefix = literal;
            literal.clear();
            seenDigit = true;
            if (inExp)
                ++nm.expDigits;
            else if (afterPoint) {
                ++nm.decimals;
                nm.optional = c == '#' ? nm.optional + 1 : 0;
            } else if (c == '0')
                ++nm.minInt;
        } else if (c == '.' && !afterPoint && !inExp) {
            if (!seenDigit)
                nm.prefix = literal, literal.clear(), seenDigit = true;
            afterPoint = true;
            nm.point = true;
        } else if (c == ',' && seenDigit && !afterPoint) {
            ++commas;
        } else if ((c == 'E' || c == 'e') && i + 1 < m.size() && (m[i + 1] == '+' || m[i + 1] == '-') && seenDigit) {
            nm.scientific = inExp = true;
            nm.expSign = m[++i] == '+';
        } else if (c == '\\' && i + 1 < m.size()) {
            literal += m[++i];
        } else if (c == '"') {
            const int close = int(m.indexOf('"', i + 1));
            const int end = close < 0 ? int(m.size()) : close;
            literal += m.mid(i + 1, end - i - 1);
            i = end;
        } else {
            if (c == '%')
                nm.percent = true;
            literal += c;
        }
    }
    nm.scale += commas;
    if (!seenDigit)
        nm.prefix = literal;
    else
        nm.suffix = literal;
    return nm;
}

// The digits of a non-negative number after a mask, with "," as decimal sign and "." between thousands.
QString digitsByMask(double v, const NumberMask &nm)
{
    int exp = 0;
    if (nm.scientific && v != 0.0) {
        const int intDigits = std::max(1, nm.minInt);
        exp = int(std::floor(std::log10(v))) - (intDigits - 1);
        // Rounding may carry into one more digit: 9,999 -> 10,00E+00 becomes 1,00E+01.
        const QString t = roundedDecimal(v, nm.decimals, false, -exp);
        if (t.section('.', 0, 0).size() > intDigits)
            ++exp;
    }
    QString s = roundedDecimal(v, nm.decimals, false, (nm.percent ? 2 : 0) - exp);
    if (s.startsWith('-'))
        s.remove(0, 1);
    QString ip = s.section('.', 0, 0), fp = s.section('.', 1, 1);
    if (ip == QLatin1String("0") && nm.minInt == 0)
        ip.clear();
    while (ip.size() < nm.minInt)
        ip.prepend('0');
    if (nm.group)
        for (int k = int(ip.size()) - 3; k > 0; k -= 3)
            ip.insert(k, '.');
    for (int o = nm.optional; o > 0 && fp.endsWith('0'); --o)
        fp.chop(1);
    // Format(10, "#.##") is "10," in Access: the decimal sign stays when its digits are dropped.
    QString out = ip + (fp.isEmpty() && !(nm.point && !nm.scientific) ? QString() : ',' + fp);
    if (nm.scientific) {
        const QString ed = QString::number(std::abs(exp)).rightJustified(std::max(1, nm.expDigits), '0');
        out += QStringLiteral("E") + (exp < 0 ? "-" : nm.expSign ? "+" : "") + ed;
    }
    return out;
}

QString formatNumber(double d, const QString &mask)
{
    const QStringList secs = sections(mask);
    const bool negative = d < 0;
    QString sec = secs[0];
    bool signShown = false; // a section for negative values writes its own sign
    if (negative && secs.size() > 1 && !secs[1].isEmpty()) {
        sec = secs[1];
        signShown = true;
    } else if (d == 0 && secs.size() > 2 && !secs[2].isEmpty())
        sec = secs[2];
    const NumberMask nm = readNumberMask(sec);
    const QString digits = digitsByMask(std::fabs(d) / std::pow(1000.0, nm.scale), nm);
    const bool nonZero = nonZeroDigits(digits);
    const QString sign = negative && !signShown && nonZero ? QStringLiteral("-") : QString();
    return sign + nm.prefix + digits + nm.suffix;
}

// A mask of digit placeholders (and literals) is a number mask; one with date codes a date mask.
bool isNumberMask(const QString &mask)
{
    bool digit = false;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i].toLower();
        if (c == '\\') {
            ++i;
        } else if (c == '"') {
            const int close = int(mask.indexOf('"', i + 1));
            i = close < 0 ? int(mask.size()) : close;
        } else if (c == '0' || c == '#')
            digit = true;
        else if (QStringLiteral("dmyhnswqc/:").contains(c))
            return false;
    }
    return digit;
}

// A text mask: @ a character or a blank, & a character or nothing, filled from the right
// (from the left after !); < lower case, > upper case; other characters stand as they are.
bool isTextMask(const QString &mask)
{
    bool placeholder = false;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == '\\')
            ++i;
        else if (c == '"') {
            const int close = int(mask.indexOf('"', i + 1));
            i = close < 0 ? int(mask.size()) : close;
        } else if (c == '@' || c == '&' || c == '<' || c == '>')
            placeholder = true;
        else if (c == '0' || c == '#' || QStringLiteral("dmyhnswqc").contains(c.toLower()))
            return false;
    }
    return placeholder;
}

QString formatText(const QString &value, const QString &mask)
{
    QString text = value;
    if (mask.contains('>'))
        text = vt::upperCase(text);
    else if (mask.contains('<'))
        text = text.toLower();
    struct Part {
        QChar placeholder; // '@', '&' or none for a literal
        QString literal;
    };
    QVector<Part> parts;
    bool leftToRight = false;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == '@' || c == '&')
            parts << Part{c, {}};
        else if (c == '!')
            leftToRight = true;
        else if (c == '<' || c == '>')
            continue;
        else if (c == '\\' && i + 1 < mask.size())
            parts << Part{QChar(), QString(mask[++i])};
        else if (c == '"') {
            const int close = int(mask.indexOf('"', i + 1));
            const int end = close < 0 ? int(mask.size()) : close;
            parts << Part{QChar(), mask.mid(i + 1, end - i - 1)};
            i = end;
        } else
            parts << Part{QChar(), QString(c)};
    }
    int places = 0;
    for (const Part &p : parts)
        places += p.placeholder.isNull() ? 0 : 1;
    if (places == 0)
        return text;
    // Characters beyond the placeholders go to the left end (or the right end after !).
    QString out;
    if (leftToRight) {
        int k = 0;
        for (const Part &p : parts) {
            if (p.placeholder.isNull())
                out += p.literal;
            else if (k < text.size())
                out += text[k++];
            else if (p.placeholder == '@')
                out += ' ';
        }
        return out + text.mid(k);
    }
    int k = int(text.size()) - 1;
    for (int j = int(parts.size()) - 1; j >= 0; --j) {
        const Part &p = parts[j];
        if (p.placeholder.isNull())
            out.prepend(p.literal);
        else if (k >= 0)
            out.prepend(text[k--]);
        else if (p.placeholder == '@')
            out.prepend(' ');
    }
    return text.left(k + 1) + out;
}

// The named formats as German settings show them.
QString namedNumberMask(const QString &name)
{
    static const QHash<QString, QString> masks{
        {QStringLiteral("currency"), QStringLiteral("#,##0.00 €;-#,##0.00 €")},
        {QStringLiteral("euro"), QStringLiteral("#,##0.00 €;-#,##0.00 €")},
        {QStringLiteral("fixed"), QStringLiteral("0.00")},
        {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
        {QStringLiteral("percent"), QStringLiteral("0.00%")},
        {QStringLiteral("scientific"), QStringLiteral("0.00E+00")},
    };
    return masks.value(name);
}

QString namedDateMask(const QString &name)
{
    static const QHash<QString, QString> masks{
        {QStringLiteral("general date"), QStringLiteral("c")},
        {QStringLiteral("long date"), QStringLiteral("dddd, d. mmmm yyyy")},
        {QStringLiteral("medium date"), QStringLiteral("dd-mmm-yy")},
        {QStringLiteral("short date"), QStringLiteral("dd.mm.yyyy")},
        {QStringLiteral("long time"), QStringLiteral("hh:nn:ss")},
        {QStringLiteral("medium time"), QStringLiteral("hh:nn AM/PM")},
        {QStringLiteral("short time"), QStringLiteral("hh:nn")},
    };
    return masks.value(name);
}

// The value as a number: a number, a numeric text, Wahr/Falsch, or a date as its serial number.
bool numberOrDate(sqlite3_value *v, double *d)
{
    if (numberArg(v, d))
        return true;
    const QDateTime dt = dateArg(v);
    if (!dt.isValid())
        return false;
    *d = serialOf(dt);
    return true;
}

void fnFormat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        // A mask's fourth section is what Null shows.
        const QStringList secs = argc > 1 && !isNull(argv[1]) ? sections(argText(argv[1])) : QStringList();
        if (secs.size() > 3)
            resultText(ctx, readNumberMask(secs[3]).prefix);
        else
            sqlite3_result_null(ctx);
        return;
    }
    const QString fmt = argc > 1 && !isNull(argv[1]) ? argText(argv[1]) : QString();
    const QString text = textOf(argv[0]);
    if (fmt.isEmpty()) {
        resultText(ctx, text);
        return;
    }
    const QString name = fmt.trimmed().toLower();
    double d = 0;
    if (name == QLatin1String("general number")) {
        resultText(ctx, numberOrDate(argv[0], &d) ? vt::numberText(d) : text);
        return;
    }
    static const QHash<QString, QPair<QString, QString>> words{
        {QStringLiteral("yes/no"), {QStringLiteral("Ja"), QStringLiteral("Nein")}},
        {QStringLiteral("true/false"), {QStringLiteral("Wahr"), QStringLiteral("Falsch")}},
        {QStringLiteral("on/off"), {QStringLiteral("Ein"), QStringLiteral("Aus")}},
    };
    if (words.contains(name)) {
        const auto &w = words[name];
        resultText(ctx, numberOrDate(argv[0], &d) ? (d != 0 ? w.first : w.second) : text);
        return;
    }
    if (isTextMask(fmt)) {
        resultText(ctx, formatText(text, fmt));
        return;
    }
    QString mask = namedNumberMask(name);
    if (mask.isEmpty() && isNumberMask(fmt))
        mask = fmt;
    if (!mask.isEmpty()) {
        resultText(ctx, numberOrDate(argv[0], &d) ? formatNumber(d, mask) : text);
        return;
    }
    const QDateTime dt = dateArg(argv[0]);
    if (!dt.isValid()) {
        resultText(ctx, text);
        return;
    }
    QString dateMask = namedDateMask(name);
    if (dateMask.isEmpty())
        dateMask = argc > 2 ? withWeeks(fmt, dt.date(), argc, argv, 2) : fmt;
    resultText(ctx, datetexts::format(dt, dateMask));
}

// FormatNumber, FormatPercent and FormatCurrency(x[, decimals = 2[, leading zero …]]): the
// German settings with thousands separators; only the number of decimals is read.
void formatWithDecimals(sqlite3_context *ctx, int argc, sqlite3_value **argv, const QString &suffix)
{
    double d = 0, dec = 2;
    if (isNull(argv[0]) || (argc > 1 && isNull(argv[1]))) {
        sqlite3_result_null(ctx);
        return;
    }
    if (!numberOrDate(argv[0], &d) || (argc > 1 && !numberArg(argv[1], &dec))) {
        resultTypeError(ctx);
        return;
    }
    const int decimals = int(std::nearbyint(dec)) < 0 ? 2 : int(std::nearbyint(dec)); // -1: the settings' two
    if (decimals > 15) {
        sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
        return;
    }
    const QString digits = decimals > 0 ? "#,##0." + QString(decimals, '0') : QStringLiteral("#,##0");
    resultText(ctx, formatNumber(d, digits + suffix));
}
void fnFormatNumber(sqlite3_context *c, int n, sqlite3_value **a) { formatWithDecimals(c, n, a, {}); }
void fnFormatPercent(sqlite3_context *c, int n, sqlite3_value **a) { formatWithDecimals(c, n, a, QStringLiteral("%")); }
void fnFormatCurrency(sqlite3_context *c, int n, sqlite3_value **a) { formatWithDecimals(c, n, a, QStringLiteral(" €")); }

// FormatDateTime(date[, kind]): 0 the general date, 1 long date, 2 short date, 3 long time, 4 short time.
void fnFormatDateTime(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QDateTime dt = dateArg(argv[0]);
    double kind = 0;
    if (!dt.isValid() || (argc > 1 && !isNull(argv[1]) && !numberArg(argv[1], &kind))) {
        resultTypeError(ctx);
        return;
    }
    static const char *const masks[] = {"c", "dddd, d. mmmm yyyy", "dd.mm.yyyy", "hh:nn:ss", "hh:nn"};
    const int k = int(kind);
    if (k < 0 || k > 4) {
        sqlite3_result_error(ctx, "Ungültiger Prozeduraufruf oder ungültiges Argument", -1);
        return;
    }
    resultText(ctx, datetexts::format(dt, QString::fromLatin1(masks[k])));
}

const Function functions[] = {
    {"Format", {T}, Vt::Text, Size::Args, fnFormat},
    {"Format", Args({A, T, N, N}, 2), Vt::Text, Size::Counted, fnFormat},
    {"FormatNumber", Args({N, N, N, N, N}, 1), Vt::Text, Size::Small, fnFormatNumber},
    {"FormatPercent", Args({N, N, N, N, N}, 1), Vt::Text, Size::Small, fnFormatPercent},
    {"FormatCurrency", Args({N, N, N, N, N}, 1), Vt::Text, Size::Small, fnFormatCurrency},
    {"FormatDateTime", Args({D, N}, 1), Vt::Text, Size::Small, fnFormatDateTime},
};

} // namespace

std::span<const Function> formatFunctions() { return functions; }

} // namespace accessfn
