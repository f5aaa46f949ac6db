#pragma once
// Who may enter, change and delete exam-calendar entries, and what the subject pop-up offers.
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>

namespace kalender {

// "X" (administrator) and "XS" (school office), compared trimmed and upper-cased.
bool istSchulleitung(const QString &benutzer);
// Other dates ("so") and class trips ("KF"): the school office always, others when released with "all".
bool darfSonstigeTermine(const QString &benutzer, const QString &freigabe);
bool darfKlassenfahrt(const QString &benutzer, const QString &freigabe);
// Changing "nicht Internet", the remark, or deleting: the entry's teacher, the one who entered it,
// or the school office.
bool darfAendern(const QString &benutzer, const QString &lehrkraft, const QString &eingetragenVon);

// An entry deleted less than a minute after it was made (either direction) is removed for good;
// an unknown entry time counts as old.
bool innerhalbEinerMinute(const QDateTime &eingetragen, const QDateTime &jetzt);

QString meldungAendernVerboten(const QString &lehrkraft);
QString meldungLoeschenVerboten(const QString &lehrkraft);
QString meldungBereitsEingetragen();

// A current course of the clicked class as the grade manager lists it.
struct Kurs {
    QString fach;      // as stored ("M", "Sp 2")
    QString lehrkraft; // Null read as ""
};

// One row of the subject pop-up.
struct Angebot {
    QString fach;     // the code ("M", "KF", "so")
    QString lehrer;   // course teacher, "" for "KF"/"so"
    QString fachVoll; // the course's full subject text, "" for "KF"/"so"
};

struct SchAAngebot {
    QVector<Angebot> zeilen; // "KF"/"so" first, then the courses in the order given
    bool eigenerKurs = false; // green frame: at least one enterable course
    bool keineKurse = true;   // the class has no current course: no list at all
    QStringList kursFaecher;  // subject codes of every course of the class
};

// The code of a course subject: the trimmed text cut before its first blank.
QString fachKuerzel(const QString &fach);
SchAAngebot angebotErstellen(const QString &benutzer, const QString &freigabeSonstige,
                             const QString &freigabeKlassenfahrt, const QVector<Kurs> &kurse);
// The remark an insertion gets: the full subject text when two or more courses of the class
// share the code, else "".
QString bemerkungFuerEintrag(const SchAAngebot &angebot, const Angebot &gewaehlt);

} // namespace kalender
