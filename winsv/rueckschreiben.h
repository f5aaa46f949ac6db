#pragma once
// Writes WinSV's values of every differing pupil into the grade manager: the twelve columns the
// comparison marks yellow, never the id, the class or the course of education. The pupils and their
// values come from the comparison's result (Datenvergleich::paare()), not from a grid.
#include "platform/db.h"
#include "winsv/datenvergleich.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace winsv {

struct RueckschreibErgebnis {
    int geschrieben = 0;  // pupils whose values are in the file
    int ohneTreffer = 0;  // id finds no pupil: skipped without a message
    int mehrdeutig = 0;   // the id finds several pupils
    int ungueltigeId = 0; // blank or non-numeric WinSV id
    // Pupils not written for a reason of the database, each counted once under its cause:
    int gesperrt = 0;       // another workstation held the write lock
    int geaendert = 0;      // the pupil's rows were changed by another workstation since the start
    int wertAbgelehnt = 0;  // the database refused a value (its own words in `ablehnung`)
    int dateiFehler = 0;    // the file failed, and afterwards the pupil's values are not in it
    int ungeprueft = 0;     // the file failed, and whether the values are in it could not be read
    int nichtLesbar = 0;    // written pupils of whom a WinSV value was kept back as not readable
    int nichtPassend = 0;   // written pupils of whom a WinSV value was kept back as no value of its column
    QString passendBeispiel; // the first such value and column, for the message
    QString ablehnung;       // the database's words for the first refused value
    QString dateifehler;     // the first fault of the file itself (gone away, full, damaged), in German
    int abgelehnt() const { return gesperrt + geaendert + wertAbgelehnt + dateiFehler; }
    int uebersprungen() const { return mehrdeutig + ungueltigeId + abgelehnt(); }
    // The German message for the skipped pupils and values kept back; empty when there is none.
    QString meldung() const;
    // The closing message before the new comparison: the update is reported only when a pupil was
    // written or none had to be skipped, and nothing is claimed when pupils could not be checked.
    QString abschluss() const;
};

// A cell text turned into a value of a column of the given declared type ("VARCHAR(50)", "DATE",
// "BIT", "INTEGER", "DOUBLE" ...): trimmed, text cut to the declared size, an empty text Null. A
// Yes/No column (jaNein, or a Yes/No declared type) takes "Wahr"/"Falsch" or a number and gets 1 or 0.
// False when the text is no value of that type.
bool spaltenwert(const QString &text, const QString &declType, QVariant *wert, bool jaNein = false);

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
        bool jaNein = false;      // a Yes/No column (zdb::isYesNoColumn)
        qint64 ja = 1;            // what the column stores for Yes
        bool tagMitZeit = false;  // the column stores a day as "yyyy-MM-dd 00:00:00"
    };
    struct Treffer {
        qint64 schuelerRowid = 0, adressRowid = 0;
        QVariant winsvSnr, schuelerNr;
    };
    // One table's row as written: checked against the file after a fault.
    struct Satz {
        QString tabelle;
        qint64 rowid = 0;
        QStringList spalten;
        zdb::Params werte;
    };
    enum class Ausgang { Geschrieben, Geaendert, Gesperrt, WertAbgelehnt, Dateifehler };
    struct Versuch {
        Ausgang ausgang = Ausgang::Geschrieben;
        QVector<Satz> saetze;
        int nichtLesbar = 0, nichtPassend = 0;
    };
    void spaltenLesen();
    void trefferLesen();
    Versuch schreiben(const Treffer &t, const RueckschreibPaar &p, RueckschreibErgebnis &e);
    void ausgangZaehlen(Ausgang a, RueckschreibErgebnis &e);
    // Whether the pupil's values are in the file now; throws zdb::DbError when it cannot be read.
    bool imDatei(const QVector<Satz> &saetze);
    // Keeps the first fault of the file itself; a lock or a refused value is told by its count.
    void merken(const zdb::DbError &e);

    zdb::Db &m_db;
    std::function<void()> m_zwischendurch;
    QVector<Spalte> m_spalten; // the twelve columns in the written order
    QMap<double, QVector<Treffer>> m_treffer; // WinSV id -> its pupils, each with the address row shown
    QString m_dateifehler, m_ablehnung;
};

} // namespace winsv
