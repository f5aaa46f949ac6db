#pragma once
// Day classification: public holidays of the school's state, Advent Sundays, Buß- und Bettag,
// weekends and the school-holiday periods of "Zandrel Ferien.txt".
#include "core/mdl_zandrel.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

namespace feiertage {

QDate ostersonntag(int jahr);
// The named public holiday (red) or Advent Sunday / Buß- und Bettag (yellow) of a date; empty Name otherwise.
mdl::typFeiertag festtag(const QDate &d);
// Classification with the given holiday periods (mdl::Feiertag uses mdl::Ferien).
mdl::typFeiertag klassifizieren(const QDate &d, const QVector<mdl::Ferienzeit> &ferien);

QString dateiName(); // "Zandrel Ferien.txt"
// The text written when the file is missing: explains the format, holds no real dates.
QString standardText();
// Periods of the file's bytes: one a line "dd.mm.yyyy;dd.mm.yyyy;Name", # begins a comment,
// malformed lines are skipped; UTF-8, or Windows-1252 when the bytes are no valid UTF-8.
QVector<mdl::Ferienzeit> lesen(const QByteArray &inhalt);

} // namespace feiertage
