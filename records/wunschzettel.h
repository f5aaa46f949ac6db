#pragma once
// "txt-Datei für Wunschzettel": the teachers' courses as "Wunsch.txt" in the program's folder, one
// line per teacher with up to 30 groups of subject, class and weekly hours; coupled courses form
// one group with a merged class text.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zdb { class Db; class DbError; }

namespace wunsch {

constexpr int MaxGruppen = 30;

// One course row of the statement (Null values already as empty text).
struct Kurs {
    QString LE, NN, VN, DB, MixKoppel, K, S, F;
};

// The course rows in the file's order: every course with a class, of every teacher except "X",
// "XS" and abbreviations of four characters (trainees), without the subjects "Smd" and "Swd".
QVector<Kurs> kurseLesen(zdb::Db &nm);

// Adds a class to a group's class text: "10abc" from 10a, 10b, 10c; "5a5b" from 5a, 5b.
QString klassenMischen(const QString &klassenText, const QString &klasse);

// The header line (95 fields) and the teacher lines, without line ends.
QString kopfzeile();
QStringList lehrerZeilen(const QVector<Kurs> &kurse);

// The file's bytes: Windows-1252, every line ending with CR LF.
QByteArray dateiInhalt(const QStringList &zeilen);

// "Wunsch.txt" in the program's folder.
QString dateiPfad();

// Writes the file as a whole (a failed write leaves the former file as it was); false, with the
// file and a German reason in *fehler, on failure.
bool schreiben(const QString &pfad, const QByteArray &inhalt, QString *fehler = nullptr);

// What a run did, for the menu handler to tell the user.
struct Ergebnis {
    bool geschrieben = false;
    QString meldung; // German, lines separated by CR
};

// The message for a failed read of the courses.
QString lesefehlerText(const zdb::DbError &e);

// Writes the file of the read courses to pfad; no courses: no file, "Es wurden keine Daten gefunden.".
Ergebnis dateiErstellen(const QVector<Kurs> &kurse, const QString &pfad);

// The menu action: reads the grade manager's database, writes the file, tells the user.
void mnuWunschzettel_Click();

} // namespace wunsch
