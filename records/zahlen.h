#pragma once
// Number readers of the shared module: numbers typed by users or taken from grid cells,
// grades in grade texts, and stored dates.
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace mdl {

// "4.5" and "4,5" give 4.5; blank text and text that is no number give 0.
float ZahlAusText(const QString &text);
// The grade 1..6 formed by the digits of a grade text ("3-" gives 3, "2-3" gives 0), else 0.
int NoteAusText(const QString &text);
// The same for a text in UTF-8 (a stored grade read without decoding it).
int NoteAusUtf8(QByteArrayView text);
// A stored date (ISO text, QDate, QDateTime); Null or anything that is no date gives 1 January 1900.
QDateTime NullZuDatum(const QVariant &value);

} // namespace mdl
