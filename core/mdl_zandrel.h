#pragma once
// Shared state and shared procedures of the program (filled by start-up and login).
#include "platform/db.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

namespace mdl {

// ---- shared state
extern zdb::Db dbEigen;        // own database, open from start-up to the end
extern zdb::Db &cnEigen;       // the same connection under its second name
zdb::Db &dbNM();               // grade manager's database, valid between NMDatenbankOeffnen and NMDatenbankSchliessen
inline zdb::Db &cnNM() { return dbNM(); }
zdb::Db &dbNMNurLesen();       // read-only connection, valid between NMDatenbankOeffnenNurLesen and its close

extern QString DatenPfad;      // grade manager's data folder with one trailing separator, or ""
extern QString NMDatei;        // grade manager's database file name ("nmdaten04.mdb" by default)
extern QString NMDateiParameter; // a copy named on the command line, opened instead when not blank
extern QString PfadSDDF1;      // WinSV's data file
extern QString DBAbbruch;      // "abbruch" once the user gives up waiting

extern QString Benutzer;       // abbreviation as typed at login, not trimmed
extern bool IstAdmin;
extern QString Schulnummer, Schulname, SchulnameSub;
extern bool BetaHinweisGezeigt;

extern QString Zeugnisart;
extern QString HTML_L, HTML_S, HTML_S2;
extern QDate KalenderErsterTag, KalenderLetzterTag;
extern QString KalenderGesperrt;
extern int KalenderEinfaerbenTage;
extern long KalenderEinfaerbenfarbe;
extern QString KalenderFreigabeSonstigeTermine, KalenderFreigabeKlassenfahrt;
extern QString Klassenfilter;
extern const QString Fehlerkontakt; // "dem Administrator"

struct Ferienzeit {
    QString von, bis, name; // "dd.mm.yyyy", "dd.mm.yyyy", name
};
extern QVector<Ferienzeit> Ferien;

// The grade manager's database file in use (the command-line copy or DatenPfad + NMDatei).
QString nmDateiPfad();
// What the wait for the grade manager's file names: the file sought and, when it is the
// settings' default, the key of the settings that is missing and the settings files read.
QString nmWarteHinweis();
// The own database file (DatenPfad + "Zandrel.mdb").
QString eigenDateiPfad();

// ---- shared procedures
// Opens the grade manager's database. While the file is missing it waits without a time-out,
// showing the waited seconds in frm_Warten_DB and letting events through, until the file exists
// (true) or the user gives up (false: nothing opened). One abort ends every wait running.
// A file that cannot be opened as a database (damaged, no database, locked) is reported in
// German and gives false as well.
// Opens nest: each successful open needs its own NMDatenbankSchliessen, and only the last
// close closes the connection.
bool NMDatenbankOeffnen();
void NMDatenbankSchliessen();
// One piece of work on the grade manager's database: opens it (or takes over one just opened)
// and closes it again however the work ends.
class NMSitzung {
public:
    enum Modus { Oeffnen, SchonGeoeffnet };
    explicit NMSitzung(Modus m = Oeffnen) : m_offen(m == SchonGeoeffnet || NMDatenbankOeffnen()) {}
    ~NMSitzung()
    {
        if (m_offen)
            NMDatenbankSchliessen();
    }
    bool offen() const { return m_offen; }
    NMSitzung(const NMSitzung &) = delete;
    NMSitzung &operator=(const NMSitzung &) = delete;

private:
    bool m_offen;
};
// The same for the read-only connection dbNMNurLesen() (typed SQL of the lists window).
bool NMDatenbankOeffnenNurLesen();
void NMDatenbankSchliessenNurLesen();
// Closes both grade-manager connections whatever their nesting (after an error ended a piece of work).
void NMDatenbankZuruecksetzen();
int nmOeffnungen();            // nesting depth of NMDatenbankOeffnen (0 = closed)
bool wartetAufDatenbank();     // a database wait is running

QString GrossGetrimmt(const QVariant &v); // blanks trimmed, upper case; Null gives ""
QVariant Nz(const QVariant &v, const QVariant &ersatz = QString());
QString NullZuText(const QVariant &v);
// A class's grade: its leading whole number (white space before it ignored), 0 without one; course
// groups such as "10e1" or "5d1" are grades 10 and 5 (read as SQLite's CAST to INTEGER reads it).
int KlassenStufe(const QString &klasse);
// The grade of the class column in SQL, as KlassenStufe reads it.
QString KlassenStufeSql(const QString &spalte);
// The grade of the class column for ordering: 20 for a class without one, so it follows grade 19.
QString KlassenOrdnungSql(const QString &spalte);
// The whole class order in SQL: the grade as above, then the name in German order (COLLATE DE).
QString KlassenFolgeSql(const QString &spalte);
QString MitBackslash(const QString &folder);
bool TestForDLL(const QString &progId);

// Index of the first column whose row-0 text equals header in GrossGetrimmt form; 10000 when none.
int SpalteSuchen(int cols, const std::function<QString(int col)> &kopfText, const QString &header);
template <class Grid> int SpalteSuchen(const Grid &grid, const QString &header)
{
    return SpalteSuchen(grid.cols(), [&grid](int c) { return grid.textMatrix(0, c); }, header);
}

struct typFeiertag {
    QString Name;
    long Farbe = 0;
};
typFeiertag Feiertag(const QDate &d);

// ---- start-up pieces
// Reads dbFileName, dbFilePath and WinSDDB into NMDatei, DatenPfad and PfadSDDF1.
void RegistryWerteLesen();
// The holiday file in DatenPfad: written with its default text when missing, then read into Ferien.
void FerienVorbereiten();
// Loads the settings row of tbl_Einstellungen and Klassenfilter of tbl_SQL_LIKE with their defaults.
void EinstellungenLaden();
// Where a plan goes when the settings row names none: the temporary folder.
QString HTMLStandardPfad(const QString &dateiname); // "HTML_l.html", "HTML_S.html", "HTML_S2.html"

} // namespace mdl
