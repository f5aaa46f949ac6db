#include "records/zahlen.h"

#include "platform/db.h"
#include "platform/valuetext.h"

#include <cmath>
#include <limits>

namespace mdl {

float ZahlAusText(const QString &text)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return 0.0f;
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    // After the replacement a second separator means it was never one number ("1.234,5").
    if (s.count(QLatin1Char(',')) > 1)
        return 0.0f;
    double d = 0.0;
    // Beyond the single-precision range the text is no number that can be held.
    if (!vt::parseNumber(s, &d) || !(std::fabs(d) <= double(std::numeric_limits<float>::max())))
        return 0.0f;
    return float(d);
}

namespace {

// The joined digits form the grade; leading zeros do not count ("03" is 3). Only ASCII digits
// count, so UTF-8 bytes and UTF-16 units give the same grade.
template <typename Zeichen>
int note(const Zeichen *p, qsizetype n)
{
    int value = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = p[i];
        if (c < '0' || c > '9')
            continue;
        value = value * 10 + int(c - '0');
        if (value >= 7)
            return 0;
    }
    return value;
}

} // namespace

int NoteAusText(const QString &text) { return note(text.utf16(), text.size()); }

int NoteAusUtf8(QByteArrayView text) { return note(text.data(), text.size()); }

QDateTime NullZuDatum(const QVariant &value)
{
    const QDateTime dt = zdb::dateTimeFromStored(value);
    if (!dt.isValid())
        return QDateTime(QDate(1900, 1, 1), QTime(0, 0));
    return dt;
}

} // namespace mdl
