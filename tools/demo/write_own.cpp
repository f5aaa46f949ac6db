// The own database of the demo school: the four prepared tables, the program's schema
// upgrade, and demo rows (subject supervisors, calendar settings and entries, absences).
#include "tools/demo/bulkinsert.h"
#include "tools/demo/writers.h"

#include "core/schema.h"
#include "platform/db.h"

namespace demo {

namespace {
QVariant nullIfEmpty(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }
} // namespace

void writeOwnDatabase(School &s, zdb::Db &db, Result &res)
{
    nmschema::createOwnPrepared(db);
    schema::DatenbankAktualisieren(db, s.today);
    Rng &r = s.rng;
    zdb::WriteTransaction tx(db);

    db.exec(QStringLiteral("INSERT INTO tbl_SQL_LIKE (Klassenfilter) VALUES ('*')"));
    // Hub supervises M and Ph (written in lower case with a blank, as typed by hand)
    const QList<QPair<QString, QString>> supervisors = {
        {QStringLiteral("D"), QStringLiteral("Bra")},       {QStringLiteral("E"), QStringLiteral("Wei")},
        {QStringLiteral("M"), QStringLiteral("Hub")},       {QStringLiteral("Ph"), QStringLiteral(" hub")},
        {QStringLiteral("B"), QStringLiteral("Ste Lor")},   {QStringLiteral("BwR"), QString()}};
    for (const auto &sv : supervisors)
        db.exec(QStringLiteral("INSERT INTO tbl_Fachbetreuer (Fachkürzel, Fachbetreuer) VALUES (?, ?)"),
                {sv.first, nullIfEmpty(sv.second)});

    // the calendar covers the demo school year and is open to the teachers
    db.exec(QStringLiteral("UPDATE tbl_Einstellungen SET Zeugnisart = 'J', KalenderErsterTag = ?, "
                           "KalenderLetzterTag = ?, KalenderGesperrt = 'none', KalenderFreigabeSonstigeTermine = 'SL', "
                           "KalenderFreigabeKlassenfahrt = 'all', KalenderEinfaerbenTage = 10, "
                           "KalenderEinfaerbenFarbe = 8454016"),
            {s.firstSchoolDay, s.lastSchoolDay});

    {
        BulkInsert te(db, QStringLiteral("tbl_Termin"),
                      {"Datum", "Klasse", "Fach", "Lehrkraft", "nichtInternet", "Bemerkung", "eingetragenDatum",
                       "eingetragenPerson", "geloeschtDatum", "geloeschtPerson"});
        for (const Entry &e : s.entries)
            te.add({e.datum, e.klasse, e.fach, nullIfEmpty(e.lehrkraft), e.nichtInternet, e.bemerkung, e.eingetragen,
                    e.eingetragenPerson, e.geloescht.isValid() ? QVariant(e.geloescht) : QVariant(),
                    nullIfEmpty(e.geloeschtPerson)});
        res.entries = te.count();
    }
    {
        QStringList cols{"S_Id", "Fehltag", "Grund"};
        for (int i = 1; i <= 10; ++i)
            cols << QStringLiteral("s%1").arg(i, 2, 10, QLatin1Char('0'));
        cols << "Bemerkung" << "Eintrag" << "Edit" << "entschuldigt" << "zaehlt";
        BulkInsert fe(db, QStringLiteral("tbl_Fehltage"), cols);
        for (const Absence &a : s.absences) {
            QVariantList row{a.id, a.day, a.grund};
            for (const QString &l : a.lessons)
                row << nullIfEmpty(l);
            row << a.bemerkung << a.eintrag << a.edit << a.entschuldigt << a.zaehlt;
            fe.add(row);
        }
        res.absences = fe.count();
    }
    // three classes have reported today
    for (int k = 0; k < std::min<int>(3, int(s.klassen.size()) - 1); ++k)
        db.exec(QStringLiteral("INSERT INTO tbl_KlasseGemeldet (klasse, meldetag, meldezeit) VALUES (?, ?, ?)"),
                {s.klassen[k].name, s.today, QStringLiteral("07:5%1").arg(k)});

    // participation and conduct grades and remarks of the first class
    if (!s.klassen.isEmpty()) {
        BulkInsert no(db, QStringLiteral("tbl_Noten"),
                      {"SchülerNr", "Fach", "Lehrkraft", "Note1", "Note2", "Note3", "Note4", "Note5", "Note6",
                       "Note7", "Note8"});
        BulkInsert sc(db, QStringLiteral("tbl_Schüler"), {"SchülerNr", "Bemerkung", "BemerkungAlt", "Aktivitäten"});
        for (int p : s.pupilsOfClass.value(s.klassen.first().name)) {
            const Pupil &pu = s.pupils[p];
            for (const Course &c : s.courses) {
                if (c.klasse != pu.klasse || c.archiv || !c.pupils.contains(p))
                    continue;
                QVariantList row{pu.nr, c.fach.section(' ', 0, 0), nullIfEmpty(c.lehrkraft)};
                for (int k = 1; k <= 8; ++k)
                    row << (r.chance(70) ? r.between(1, k <= 2 ? 5 : 6) : 0);
                no.add(row);
            }
            sc.add({pu.nr, pu.vorname + QStringLiteral(" arbeitet im Unterricht aufmerksam mit."), QVariant(),
                    r.chance(30) ? QVariant(QStringLiteral("Schulchor")) : QVariant()});
        }
    }
    tx.commit();
}

} // namespace demo
