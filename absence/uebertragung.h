#pragma once
// Transfer of the monthly totals of counted absence days into the grade manager's table fehltage.
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace absence {

class Uebertragung {
public:
    using Monate = std::array<bool, 13>; // index 1..12 = January..December; 0 unused

    // Column of fehltage for a month (1..12): "jan" … "dez".
    static QString spalte(int monat);
    // Pupil number of an absence record's id: the trimmed id when it is a whole number above 0;
    // nothing for a teacher's abbreviation or anything else.
    static std::optional<qint64> schuelerNummer(const QString &sId);
    // Counting value of a stored zaehlt: its leading number with "," or "." as decimal sign.
    static double zaehltWert(const QString &zaehlt);

    // Adds up each pupil's counted days per calendar month (of any year) and writes the ticked
    // months into fehltage, adding a pupil's row when it is missing. A record counts for the pupil
    // it belongs to as in every absence view (IdZuordnung over the grade manager's pupils and
    // teachers); a record of nobody counts for the number it names only when it is written as
    // that number ("0990001" is nobody's and counts for no one). Records with an empty zaehlt
    // count a whole day and get "1,0". Every pupil with a record is written, also without ticked
    // months. Returns the number of pupils written. The own database and the grade manager are
    // each written in one transaction.
    static int uebertragen(zdb::Db &eigen, zdb::Db &nm, const Monate &monate);
};

} // namespace absence
