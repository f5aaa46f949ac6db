#pragma once
// The three HTML plans of the exam calendar: the teachers' and the pupils' table plan and the
// pupils' plan by class. The builders return the file's bytes (Windows-1252, CR LF); writing
// goes to a temporary file beside the plan that then replaces it.
#include "calendar/kalendertage.h"
#include "calendar/termine.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

namespace zdb {
class Db;
}

namespace kalender {

// Ä ä Ö ö Ü ü ß as their entities; nothing else.
QString HTMLUmlaute(const QString &s);
// Long name of a subject or entry code ("KF" Klassenfahrt, "so" sonstiger Termin, "M" Mathematik …);
// other codes come back trimmed.
QString FachLang(const QString &code);
// The default when the value is Null or blank, else its text untrimmed.
QString LeerZuStandard(const QVariant &wert, const QString &standard);
// "#RRGGBB" of a blue-green-red colour value; "" for 0.
QString FarbeHTML(long farbe);
// A value from the database made safe for a line of markup: & < > and the apostrophe as entities.
QString htmlWert(const QString &s);

// Progress of a writer (x of xmax).
using Fortschritt = std::function<void(double x, double xmax)>;

// Teachers' plan (auchNichtInternet) or pupils' plan, from the calendar table and the entries
// ordered by date and subject.
QByteArray tabellenPlan(const KalenderTabelle &t, const QVector<Termin> &nachDatumUndFach, bool auchNichtInternet,
                        const QDateTime &jetzt, int einfaerbenTage, long einfaerbenFarbe,
                        const Fortschritt &fortschritt = {});

// Classes linked in the plan by class: every class not beginning with "AUS", in the class order.
QStringList klassenFuerKlassenplan(zdb::Db &nm);
// Plan by class from the linked classes and the entries at the indices `folge` of `termine`, in
// that order (PlanTermine::klassenplan).
QByteArray klassenPlan(const QStringList &klassen, const QVector<Termin> &termine, const QVector<int> &folge,
                       const QDateTime &jetzt, const Fortschritt &fortschritt = {});

// Whether a plan can be written at `pfad` (its folder there and taking a new file, the file not
// write-protected or held by another program); if not, the file and the German reason in *fehler.
// The plan itself is not touched.
bool planSchreibbar(const QString &pfad, QString *fehler = nullptr);
// Writes the plan; false (the file and a German reason in *fehler) leaves the previous plan as it was.
bool planSpeichern(const QString &pfad, const QByteArray &inhalt, QString *fehler = nullptr);

} // namespace kalender
