#pragma once
// Writes WinSV's values of every differing pupil into the grade manager: the twelve columns the
// comparison marks yellow, never the id, the class or the course of education. The pairs come from
// the main grid of a finished comparison (WinSV row at an odd index r; equal pairs have the height 0).
#include "platform/db.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class GridStore;

namespace winsv {

// One pupil to write: the WinSV id and the twelve cell texts in the order of the written columns.
struct RueckschreibPaar {
    QString id;
    QStringList werte; // Name, Vorname, Geschlecht, Geburtsdatum, Straße, PLZ, Ort, Telefon, gilt1, gilt2, LRS, Legasthenie
    QVector<bool> unlesbar; // per value: WinSV's value could not be read; such a value is never written
};

struct RueckschreibErgebnis {
    int geschrieben = 0;  // pupils whose rows were written
    int ohneTreffer = 0;  // id finds no pupil: skipped without a message
    int mehrdeutig = 0;   // the id finds several pupils
    int ungueltigeId = 0; // blank or non-numeric WinSV id
    int abgelehnt = 0;    // the database refused the write (locked row, changed meanwhile, value not accepted)
    int nichtLesbar = 0;  // written pupils of whom a WinSV value was kept back as not readable
    QString dateifehler;  // the first fault of the file itself (gone away, full, damaged), in German
    int uebersprungen() const { return mehrdeutig + ungueltigeId + abgelehnt; }
    // The German message for the skipped pupils; empty when none was skipped.
    QString meldung() const;
    // The closing message before the new comparison: the update is reported only when a pupil was
    // written or none had to be skipped.
    QString abschluss() const;
};

// The visible pairs of the main grid.
QVector<RueckschreibPaar> sichtbarePaare(const GridStore &fg);

// A cell text turned into a value of a column of the given declared type ("VARCHAR(50)", "DATE",
// "BIT", "INTEGER", "DOUBLE" ...): trimmed, text cut to the declared size, an empty text Null.
// False when the text is no value of that type.
bool spaltenwert(const QString &text, const QString &declType, QVariant *wert);

class Rueckschreiben {
public:
    // nm: the open grade-manager database. zwischendurch lets pending events through; it runs after
    // each pupil that needs no write and after each short block of writes, outside any transaction.
    explicit Rueckschreiben(zdb::Db &nm, std::function<void()> zwischendurch = {});
    // Longest time a block of writes holds the write lock before it is committed.
    static constexpr int BlockMs = 100;
    // Throws zdb::DbError when the pupils cannot be read at the start; nothing is written then.
    RueckschreibErgebnis ausfuehren(const QVector<RueckschreibPaar> &paare);

private:
    struct Spalte {
        QString tabelle, name, typ;
        bool notNull = false;
    };
    struct Treffer {
        qint64 schuelerRowid = 0, adressRowid = 0;
        QVariant winsvSnr, schuelerNr;
    };
    void spaltenLesen();
    void trefferLesen();
    // False when the database refused the pupil; *zurueckgehalten counts the values kept back.
    bool schreiben(const Treffer &t, const RueckschreibPaar &p, int *zurueckgehalten);
    // Keeps the first fault of the file itself; a lock or a refused value is told by the count.
    void merken(const zdb::DbError &e);

    zdb::Db &m_db;
    std::function<void()> m_zwischendurch;
    QVector<Spalte> m_spalten; // the twelve columns in the written order
    QMap<double, QVector<Treffer>> m_treffer; // WinSV id -> its pupils, each with the address row shown
    QString m_dateifehler;
};

} // namespace winsv
