#pragma once
// The final-exam sheet of one pupil without its window: which label gets which text and marks,
// taken from WinSV's DSchueler, DKlassen and DZeugnis.
#include <QString>
#include <QStringList>
#include <QVector>

namespace winsvdb {
class Connection;
}

namespace ap1 {

// One call of the grade-label painter.
struct Anzeige {
    QString label;
    QString text;
    bool markiert = false; // second mark flag: an offered early oral examination
    long farbe = 0;        // 0: the painter's own colour
};

struct Zeugnisbild {
    QVector<Anzeige> anzeigen;  // in painting order
    QStringList fensterfarbe;   // repainted last in the window's own colour, texts kept
};

// z holds the report fields Z_01 .. Z_90 at indices 1 .. 90 (index 0 unused); missing ones count as "".
Zeugnisbild zeugnisBild(const QString &ausbildungsrichtung, const QStringList &z);

// Every value label of the sheet (the painter's labels and the head of the fourth exam subject).
QStringList wertLabels();

// "Herr "/"Frau " + title + " " + name.
QString klassenleiterText(const QString &geschlecht, const QString &titel, const QString &leiter);

struct Blatt {
    bool schueler = false; // WinSV has the pupil
    QString name, wpfg;
    bool klasseGefunden = false;
    QString klasse, klassenleiter;
    bool zeugnis = false;  // WinSV has a report row
    Zeugnisbild bild;
};

// Reads the sheet of the pupil with this WinSV number. Throws winsvdb::WinsvError.
Blatt blattLesen(winsvdb::Connection &winsv, qint64 id);

} // namespace ap1
