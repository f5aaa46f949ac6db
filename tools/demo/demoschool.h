#pragma once
// The demo school: a complete, deterministic set of files the program runs on.
//
// Layout of the output folder:
//   daten/nmdaten04.mdb          the grade manager's database
//   daten/Zandrel.mdb            the own database (prepared tables, schema upgrade, demo rows)
//   daten/Zandrel Ferien.txt     holiday periods of the demo school years
//   winsv/sd.df1                 WinSV's data file, with planted differences
//   xdg/Zandrel/nmSV.ini         machine-wide INI ($XDG_CONFIG_DIRS) naming the files above
//   config/                      the user's config folder ($XDG_CONFIG_HOME), left empty
//   programm/SQL/*.SQL           sample query files in the program folder (ZANDREL_HOME)
//   programm/Unterrichtsbefreiung Vorlage.docx   the exemption-letter template
#include "tools/demo/nmschema.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

namespace demo {

struct Options {
    QString out;                 // output folder (created when missing)
    std::uint64_t seed = 2024;
    int pupils = 800;
    int teachers = 70;           // without "X" and "XS"
    int classes = 30;            // without "AUS"
    int courses = -1;            // -1: what the classes' timetables give
    int absences = -1;           // -1: about six per pupil
    int entries = -1;            // exam-calendar entries; -1: the planned tests and a few trips
    nmschema::Layout layout = nmschema::Layout::Current;
    bool indexes = true;         // indexes on Noten.UIndex and LNW.UIndex
    QDate today;                 // invalid: the current date (tests pass a fixed day)
    QString schulnummer = QStringLiteral("0815");
};

struct DemoUser {
    QString kuerzel;
    QString password;            // what to type at login; empty: no password
    QString storedAs;            // "Passwort", "pwdh" or "" (none)
    QString role;
};

// One difference between WinSV and the grade manager that the generator plants.
struct PlantedDifference {
    QString kind;                // "Feld", "nurWinSV", "nurNM", "falscheKlasse", "Id"
    QString column;              // comparison header ("Name", "PLZ", "gilt2", …) for kind "Feld"
    qint64 schuelerNr = 0;       // grade manager's pupil (0: none)
    QString winsvId;             // WinSV's _SCHUELER_ID ("" when only in the grade manager)
    QString nmValue, winsvValue; // the texts the comparison shows
};

struct Result {
    QString nmFile, ownFile, winsvFile, holidayFile, iniFile, programFolder;
    QDate today, schoolYearStart, firstSchoolDay;
    int pupils = 0, teachers = 0, classes = 0, courses = 0, grades = 0, tests = 0, absences = 0, entries = 0;
    QVector<DemoUser> users;
    QVector<PlantedDifference> differences;
};

// The fixed demo users (the same for every seed).
QVector<DemoUser> demoUsers();

// Writes the school into options.out, replacing files of an earlier run. Throws
// std::runtime_error with a German text when the folder cannot be written.
Result generate(const Options &options);

// Points the program's shared paths (mdl::DatenPfad, NMDatei, NMDateiParameter, PfadSDDF1) at the files.
void useFiles(const Result &res);

} // namespace demo
