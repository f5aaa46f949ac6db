#pragma once
// The reasons editor's working copy of tbl_Fehlgrund and its saving.
#include "platform/db.h"

#include <QString>
#include <QVector>

namespace absence {

struct GrundZeile {
    QString kurz, lang;
    long farbe = 0xFF0000;
    bool fuerSchueler = false, fuerLehrer = false;
};

class Grundliste {
public:
    static constexpr int MaxKurz = 2;
    static constexpr int MaxLang = 50;
    static const QString MeldungDoppelt;   // "Das bearbeitete Kürzel kommt bereits einmal vor. …"
    static const QString MeldungRotGelb;   // "Rot und Gelb sind reserviert für Ferien und Feiertage!"

    // An edited code keeps its first two characters, a long text its first 50 (blanks trimmed).
    static QString kurzNormalisieren(const QString &text);
    static QString langNormalisieren(const QString &text);
    // Red (255) and yellow (65535) mark holidays and public holidays.
    static bool farbeErlaubt(long farbe) { return farbe != 255 && farbe != 65535; }
    // The message for rows without a code ("" when none was skipped).
    static QString meldungOhneKuerzel(int uebersprungen);

    // Replaces the table in one transaction: every row with a code, sort = its place (1, 2, …;
    // rows without a code leave gaps). Returns the number of rows skipped for lack of a code.
    static int speichern(zdb::Db &eigen, const QVector<GrundZeile> &zeilen);
};

} // namespace absence
