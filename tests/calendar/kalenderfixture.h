#pragma once
// A small school for the calendar's tests: own and grade-manager databases in a sandbox,
// the calendar settings at their defaults and a fixed clock.
#include "support/testsupport.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <memory>

class frm_Kalender;

namespace kalfix {

struct T {
    QDate datum;
    QString klasse, fach, lehrkraft;
    QString bemerkung;
    bool nichtInternet = false;
    QVariant eingetragen;   // QDateTime or Null
    QString eingetragenVon;
    QVariant geloescht;     // QDateTime or Null
    QString geloeschtVon;
};

class Schule {
public:
    Schule();
    ~Schule();
    void klasse(const QString &k);
    void kurs(const QString &klasse, const QString &fach, const QVariant &lehrkraft, bool archiv = false);
    qint64 termin(const T &t);
    void anmelden(const QString &benutzer);

    testsupport::Sandbox sandbox;
    QDateTime uhr{QDate(2010, 9, 16), QTime(10, 0)};
    QString eigenPfad, nmPfad;
};

// The exam-plan window opened by `benutzer`, loaded and laid out.
std::unique_ptr<frm_Kalender> fensterOeffnen(Schule &s, const QString &benutzer);

// The plan file's text as read back.
QString lesen(const QString &pfad);

} // namespace kalfix
