#include "records/zahlen.h"

#include "platform/db.h"
#include "platform/valuetext.h"

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
    if (!vt::parseNumber(s, &d))
        return 0.0f;
    return float(d);
}

int NoteAusText(const QString &text)
{
    // The joined digits form the grade; leading zeros do not count ("03" is 3).
    int value = 0;
    bool tooBig = false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        if (tooBig)
            continue;
        value = value * 10 + (c.unicode() - '0');
        if (value >= 7)
            tooBig = true;
    }
    if (tooBig || value < 1)
        return 0;
    return value;
}

QDateTime NullZuDatum(const QVariant &value)
{
    const QDateTime dt = zdb::dateTimeFromStored(value);
    if (!dt.isValid())
        return QDateTime(QDate(1900, 1, 1), QTime(0, 0));
    return dt;
}

} // namespace mdl
