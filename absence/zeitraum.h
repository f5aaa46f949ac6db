#pragma once
// The period of the lists over longer times and the period overview of the calendar.
#include <QDate>
#include <QString>
#include <QVector>
#include <optional>
#include <utility>

namespace absence {

class Zeitraum {
public:
    static const QString Meldung; // "Startdatum oder Endedatum falsch." …

    // Start and end typed as dates: valid when both lie in the school year [beginn, ende], the start
    // is not after the end and they are at most 370 days apart.
    static std::optional<std::pair<QDate, QDate>> pruefen(const QString &start, const QString &ende,
                                                         const QDate &schuljahrBeginn, const QString &schuljahrEnde);

    // One day column of the overview.
    struct Spalte {
        QDate datum;
        bool schultag = false; // neither weekend nor holiday
    };
    struct UeberblickSpalte {
        int breite = 0;          // twips; 0 hides the column
        bool monatsbeginn = false; // a line on its left edge
        QString monat;           // "mmm yy"
    };
    // The school days of the period share the available width (twips); n counts from 1, so a
    // single day gets half of it. Every other column gets width 0.
    static QVector<UeberblickSpalte> ueberblick(const QVector<Spalte> &spalten, const QDate &von, const QDate &bis,
                                                int verfuegbareBreite);
};

} // namespace absence
