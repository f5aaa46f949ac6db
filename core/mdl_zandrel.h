#pragma once
// Shared state and shared procedures of the program (filled by start-up and login).
#include "platform/db.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

class VSGrid;

namespace mdl {

// ---- shared state
extern zdb::Db dbEigen;        // own database, open from start-up to the end (also serves as cnEigen)
zdb::Db &dbNM();               // grade manager's database, valid between NMDatenbankOeffnen and NMDatenbankSchliessen

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

// ---- shared procedures
// Opens the grade manager's database, waiting (wait window, once a second) while the file is missing.
// Opens nest: each successful open needs its own NMDatenbankSchliessen.
bool NMDatenbankOeffnen();
void NMDatenbankSchliessen();
// Opens for reading only (lists window); same waiting and nesting rules.
bool NMDatenbankOeffnenNurLesen();

QString GrossGetrimmt(const QVariant &v); // Null stays "" (callers compare texts)
QVariant Nz(const QVariant &v, const QVariant &ersatz = QString());
QString NullZuText(const QVariant &v);
int SpalteSuchen(const VSGrid &grid, const QString &header);
QString MitBackslash(const QString &folder);
bool TestForDLL(const QString &progId);

struct typFeiertag {
    QString Name;
    long Farbe = 0;
};
typFeiertag Feiertag(const QDate &d);

// Loads the settings row and Klassenfilter with their defaults.
void EinstellungenLaden();

} // namespace mdl
