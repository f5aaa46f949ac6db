#pragma once
// The calendar grid fgSchueler: one row per person, one column per day of the school year,
// today and holidays coloured, the recorded reason codes in the day cells.
#include "absence/idzuordnung.h"
#include "absence/klassenliste.h"
#include "absence/absenzrecord.h"
#include "absence/schuljahr.h"
#include "platform/db.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <memory>

class VSGrid;

namespace absence {

struct PersonZeile {
    QString klasse;
    QString name; // "Name, Vorname" (both trimmed)
    QString id;   // as stored
};

class Fehltagekalender {
public:
    static constexpr int KopfZeilen = 4; // month, day, weekday, hidden date key
    static constexpr int Spalten = Schuljahr::ErsteTagSpalte + Schuljahr::Tage;
    static constexpr long Gruppenlinie = 0xFF0000; // blue line above every fifth person

    explicit Fehltagekalender(VSGrid &grid);
    ~Fehltagekalender();

    // The persons of the grade manager, by which a stored id is given to a shown person; without
    // them every id goes by the rule alone. Kept by the caller.
    void setZuordnung(const IdZuordnung *z) { m_zuordnung = z; }

    // The empty calendar before the first class: headers only.
    void leeren();
    // The persons the query yields from the grade manager.
    static QVector<PersonZeile> personenLesen(zdb::Db &nm, const Abfrage &abfrage);
    // Builds rows and day columns from persons already read. The rows and columns already there
    // are emptied and used again.
    void personenZeilenSetzen(const QVector<PersonZeile> &personen, const QDate &heute = QDate::currentDate());
    // Writes the reason codes of the shown persons on the shown days.
    void absenzenEintragen(zdb::Db &eigen);
    // The statement absenzenEintragen runs: ?1 and ?2 the days, ?3 the comparison forms
    // (vt::idSchluessel) of the persons found by the rule and ?4 the trimmed ids of those found
    // exactly, each a JSON array; `ascii` when every form is ASCII. Columns: Fehltag, Grund, nr,
    // form, exakt (as fehltageSql).
    static QString absenzenSql(bool ascii, bool mitRegel = true, bool mitExakt = false);

    // Ids of the shown persons, each between slashes ("/12//123/").
    const QString &idListe() const { return m_idListe; }
    // Grid row of the shown person a stored id belongs to, -1 when it is nobody shown.
    int zeileVon(const QString &id) const;
    // Every row showing that person's records: persons whose ids differ only in blanks share them.
    QVector<int> zeilenVon(const QString &id) const;
    // How the records of the person with the id are looked up.
    Kennung kennung(const QString &id) const;
    // Grid column of a day, -1 when not shown.
    int spalteVon(const QDate &tag) const;
    const KalenderTage *tage() const { return m_tage.get(); }

private:
    void vorbereiten(int zeilen, int spalten);
    void kalenderErstellen(const QDate &heute);
    // The rows of persons sharing an id get the codes of that id's first row.
    void geteilteZeilenFuellen();
    const KalenderTage &tageFuer(const QDate &heute);

    VSGrid &m_grid;
    std::unique_ptr<KalenderTage> m_tage;
    const IdZuordnung *m_zuordnung = nullptr;
    QHash<QString, int> m_zeilen;       // comparison form of the id -> row (persons found by the rule)
    QHash<QString, int> m_exaktZeilen;  // trimmed id -> row (persons found by their exact id)
    QHash<int, QVector<int>> m_weitereZeilen; // first row of an id -> the further rows of that id
    QString m_idListe;
};

} // namespace absence
