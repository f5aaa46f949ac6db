#pragma once
// The current school year (01.08. to 31.07.) and the 376 day columns of the absence calendar.
#include <QDate>
#include <QString>
#include <QVector>

namespace absence {

struct Schuljahr {
    static constexpr int Tage = 376;        // 01.08. and the 375 days after it
    static constexpr int ErsteTagSpalte = 3; // columns 0..2: class, name, id
    static constexpr long FarbeHeute = 0xC0FFC0;

    // Start year: this year from August on, else the year before.
    static int startJahr(const QDate &heute);
    static QDate beginn(const QDate &heute);      // 01.08. of the start year
    static QDate ende(const QDate &heute);        // 31.07. of the following year
    static QString endeText(const QDate &heute);  // "31.07.yyyy"
};

// One day column of the calendar: its header texts, width and the back colour of its person cells.
struct KalenderTag {
    QDate datum;
    QString monat;     // "mmmm yyyy" (merged over the month)
    QString tag;       // "dd"
    QString wochentag; // "ddd": "Mo" … "So"
    QString schluessel; // "dd.mm.yyyy" (hidden row 3)
    int breite = 350;  // twips; 30 for Saturday and Sunday
    long farbe = 0;    // 0: not coloured; holidays win over today
};

// The school year's day columns as they look on `heute`, plus the column to scroll to.
class KalenderTage {
public:
    explicit KalenderTage(const QDate &heute);
    const QDate &heute() const { return m_heute; }
    const QDate &beginn() const { return m_beginn; }
    const QVector<KalenderTag> &tage() const { return m_tage; }
    // Grid column of a date, -1 outside the shown days.
    int spalte(const QDate &d) const;
    // Grid column of today, -1 when today is not shown.
    int heuteSpalte() const { return spalte(m_heute); }
    // First visible scrolling column: today's column − 7 when that is 5 or more, else -1 (no scrolling).
    int scrollSpalte() const;

private:
    QDate m_heute, m_beginn;
    QVector<KalenderTag> m_tage;
};

} // namespace absence
