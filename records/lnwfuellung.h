#pragma once
// Reading the performance records of a course selection into grid rows: one row per course
// (subject, class, teacher), with per test its kind, remark, average, weight, count, time,
// dates, running number and the threshold colours. Plain data; the window copies it into
// its grid.
#include "records/lnwabfrage.h"
#include "records/lnwspalten.h"

#include <QString>
#include <QVector>
#include <array>
#include <functional>
#include <optional>

namespace lnw {

struct KursZeile {
    QString fach, klasse, lehrer;
    std::array<QString, Bloecke * BlockBreite> zellen;  // columns 3..182
    std::array<long, Bloecke * BlockBreite> farben{};   // back colours, 0 = the grid's default

    QString &text(int col) { return zellen[size_t(col - FesteSpalten)]; }
    const QString &text(int col) const { return zellen[size_t(col - FesteSpalten)]; }
    long &farbe(int col) { return farben[size_t(col - FesteSpalten)]; }
    long farbe(int col) const { return farben[size_t(col - FesteSpalten)]; }
};

// The thresholds as the window's boxes hold them.
struct Schwellen {
    QString grenzschnitt = QStringLiteral("4,0");
    QString mindestanzahl = QStringLiteral("5");
};

struct Fuellung {
    QVector<KursZeile> zeilen;
    int verschiebung = 0; // 2 in the older layout (four Schulaufgaben)
    int datensaetze = 0;  // records of the course statement
};

// Which of the two reads have to use the older form (no sa5/sa6).
struct Aufbau {
    bool notenAlt = false;
    bool unterrichtAlt = false;
    bool notenIndex = false, lnwIndex = false; // an index that starts with UIndex
    int verschiebung() const { return notenAlt || unterrichtAlt ? 2 : 0; }
};
Aufbau aufbauErkennen(zdb::Db &nm);

// Average of whole-number grades, rounded half away from zero to two places: 17/8 -> "2,13".
QString schnittText(qint64 summe, qint64 anzahl);

// Reads the selection. progress(n, total) is called every 20 records. Throws zdb::DbError.
Fuellung lesen(zdb::Db &nm, const KursAbfrage &abfrage, const Schwellen &schwellen,
               const std::function<void(int, int)> &progress = {});

} // namespace lnw

namespace lnw {
// The threshold box's text: "." read as ",", written with one decimal ("3.5" -> "3,5",
// "4" -> "4,0"); nothing when the text is no number.
std::optional<QString> schwellenText(const QString &text);
} // namespace lnw
