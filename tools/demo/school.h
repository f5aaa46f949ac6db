#pragma once
// The demo school in memory, built once from the options and then written into the files.
#include "tools/demo/demoschool.h"
#include "tools/demo/rng.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>

namespace demo {

struct Teacher {
    QString kuerzel, name, vorname, titel, geschlecht; // geschlecht "m"/"w"
    QVariant passwort, pwdh;                           // Null when not set
    QStringList faecher;                               // subjects taught
    int load = 0;                                      // courses given so far
};

struct Klasse {
    QString name;
    int stufe = 0;                                     // 5..10, 0 for "AUS"
    QString leiter;                                    // class teacher, "" for none
};

struct Address {
    QString anrede, strasse, plz, ort;
    QVariant telefon;                                  // Null when unknown
    bool gilt1 = true, gilt2 = true;
    QString erzName1, erzRufname1, erzArt1;
    QVariant erzTelefon1, erzName2, erzRufname2, erzTelefon2, erzArt2;
};

struct Pupil {
    qint64 nr = 0;
    QString name, vorname, klasse, geschlecht;         // geschlecht "m"/"w"
    QVariant ausbildungsrichtung, bekenntnis;          // Null in grades 5 and 6 / when unknown
    QDate geburtsdatum;
    qint64 winsv = 0;
    bool lrs = false, legasthenie = false;
    Address address;
    bool hasAddress = true;
    bool secondAddress = false;                        // a second contact row (same address)
};

struct Course {
    qint64 index = 0;
    QString klasse, fach, koppel;
    QString lehrkraft;                                 // "" is written as Null
    double anzStd = 0;
    bool archiv = false;
    int schulaufgaben = 0, kurzarbeiten = 0, exen = 0; // tests of the year
    QVector<int> pupils;                               // indexes into School::pupils
};

// One written or planned test of a course.
struct Test {
    int course = 0;                                    // index into School::courses
    QString art;                                       // "SchA", "KA", "Ex"
    int nummer = 0;                                    // 1-based within its kind
    QDate datum;
};

// One row of the own tbl_Fehltage.
struct Absence {
    QString id;                                        // SchülerNr as text, or a teacher's Kürzel
    QDate day;
    QString grund;
    QStringList lessons;                               // 10 codes, "" for none
    QVariant bemerkung, zaehlt;                        // Null when not set
    QDateTime eintrag, edit;
    bool entschuldigt = false;
};

// One row of the own tbl_Termin.
struct Entry {
    QDate datum;
    QString klasse, fach, lehrkraft;
    bool nichtInternet = false;
    QVariant bemerkung;
    QDateTime eingetragen;
    QString eingetragenPerson;
    QDateTime geloescht;                               // invalid while active
    QString geloeschtPerson;
};

struct Holiday {
    QDate von, bis;
    QString name;
};

struct School {
    Options opt;
    Rng rng{0};
    QDate today, schoolYearStart, firstSchoolDay, lastSchoolDay;
    QVector<Holiday> holidays;                         // previous, current and next school year
    QVector<QDate> pastSchoolDays;                     // school days before today, oldest first
    QVector<QDate> yearSchoolDays;                     // every school day of the demo year
    QVector<Teacher> teachers;                         // "X" and "XS" first
    QVector<Klasse> klassen;                           // "AUS" last
    QVector<Pupil> pupils;
    QVector<Course> courses;
    QVector<Test> tests;
    QVector<Absence> absences;
    QVector<Entry> entries;
    QHash<QString, QVector<int>> pupilsOfClass;
    // WinSV's deviations: per pupil the WinSV columns that differ, pupils WinSV lacks,
    // and pupils only WinSV has (column -> value).
    QHash<int, QHash<QString, QVariant>> winsvChanges;
    QSet<int> notInWinSV;
    QVector<QHash<QString, QVariant>> onlyInWinSV;
    QString schulname = QStringLiteral("Staatliche Realschule Zandrel-Demo");
    QString schulnameSub = QStringLiteral("Landshut");

    bool isSchoolDay(const QDate &d) const;
    const Teacher *teacher(const QString &kuerzel) const;
};

// Builds the whole school (no file is touched).
void buildSchool(School &s, const Options &opt);

// Absences over the past school days and the exam-calendar entries (after buildSchool).
void buildAbsences(School &s);
void buildEntries(School &s);

// "1" .. "6", sometimes with a tendency ("2-", "1+").
QString gradeText(Rng &rng, int mean);

} // namespace demo
