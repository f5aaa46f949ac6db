// The grade manager's database of the demo school.
#include "tools/demo/bulkinsert.h"
#include "tools/demo/writers.h"

#include "platform/db.h"

#include <QHash>
#include <cmath>

namespace demo {

namespace {

QVariant nullIfEmpty(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }

struct SubjectName {
    const char *code;
    const char *name;
};
// Fächer: the report subjects; FächerGym: the codes as courses carry them, in report order.
const SubjectName kFaecher[] = {
    {"Rel", "Religionslehre"}, {"Eth", "Ethik"}, {"D", "Deutsch"}, {"E", "Englisch"}, {"F", "Französisch"},
    {"M", "Mathematik"}, {"Inf", "Informatik"}, {"Ph", "Physik"}, {"Ch", "Chemie"}, {"B", "Biologie"},
    {"Erz", "Erziehungskunde"}, {"G", "Geschichte"}, {"Ek", "Erdkunde"}, {"WiR", "Wirtschaft und Recht"},
    {"Sk", "Sozialkunde"}, {"BwR", "Betriebswirtschaftslehre/Rechnungswesen"}, {"Sow", "Sozialwesen"},
    {"S", "Sport"}, {"Mu", "Musik"}, {"Ku", "Kunst"}, {"We", "Werken"}, {"TZ", "Technisches Zeichnen"},
    {"TG", "Textiles Gestalten"}, {"HE", "Haushalt und Ernährung"}, {"TvK", "Textverarbeitung"},
    {"IT", "Informationstechnologie"}};
const SubjectName kFaecherGym[] = {
    {"Rel K", "Katholische Religionslehre"}, {"Rel Ev", "Evangelische Religionslehre"}, {"Eth", "Ethik"},
    {"D", "Deutsch"}, {"E", "Englisch"}, {"F", "Französisch"}, {"M", "Mathematik"}, {"Ph", "Physik"},
    {"Ch", "Chemie"}, {"B", "Biologie"}, {"G", "Geschichte"}, {"Ek", "Erdkunde"}, {"WiR", "Wirtschaft und Recht"},
    {"Sk", "Sozialkunde"}, {"BwR", "Betriebswirtschaftslehre/Rechnungswesen"}, {"Smd", "Sport (Jungen)"},
    {"Swd", "Sport (Mädchen)"}, {"Mu", "Musik"}, {"Ku", "Kunst"}, {"HE", "Haushalt und Ernährung"},
    {"IT", "Informationstechnologie"}};

int spalteOf(const Test &t, nmschema::Layout layout)
{
    const bool older = layout == nmschema::Layout::Older;
    if (t.art == QLatin1String("SchA"))
        return t.nummer - 1;
    if (t.art == QLatin1String("KA"))
        return (older ? 4 : 6) + t.nummer - 1;
    return (older ? 8 : 10) + t.nummer - 1;
}

QString fieldOf(const Test &t)
{
    const QString prefix = t.art == QLatin1String("SchA") ? QStringLiteral("sa")
                         : t.art == QLatin1String("KA")   ? QStringLiteral("ka")
                                                          : QStringLiteral("ex");
    return prefix + QString::number(t.nummer);
}

int leadingDigit(const QVariant &g)
{
    const QString s = g.toString();
    return s.isEmpty() || !s[0].isDigit() ? 0 : s[0].digitValue();
}

} // namespace

void writeGradeManager(School &s, zdb::Db &db, Result &res)
{
    const nmschema::Layout layout = s.opt.layout;
    nmschema::createGradeManager(db, layout, s.opt.indexes);
    Rng &r = s.rng;
    zdb::WriteTransaction tx(db);

    db.exec(QStringLiteral("INSERT INTO SYS_Settings (Schulnummer, Schulname, SchulnameSub, Schuljahr, Gesperrt) "
                           "VALUES (?, ?, ?, ?, 0)"),
            {s.opt.schulnummer, s.schulname, s.schulnameSub,
             QStringLiteral("%1/%2").arg(s.schoolYearStart.year()).arg((s.schoolYearStart.year() + 1) % 100, 2, 10,
                                                                       QLatin1Char('0'))});
    {
        BulkInsert ins(db, QStringLiteral("Lehrkräfte"),
                       {"Kürzel", "Name", "Vorname", "Dienstbezeichnung", "Geschlecht", "Passwort", "pwdh"});
        for (const Teacher &t : s.teachers)
            ins.add({t.kuerzel, t.name, nullIfEmpty(t.vorname), nullIfEmpty(t.titel), t.geschlecht, t.passwort, t.pwdh});
    }
    {
        BulkInsert ins(db, QStringLiteral("Klassen"), {"Klasse", "Klassenleiter"});
        for (const Klasse &k : s.klassen)
            ins.add({k.name, nullIfEmpty(k.leiter)});
    }
    {
        BulkInsert pu(db, QStringLiteral("Schüler"),
                      {"SchülerNr", "Name", "Vorname", "Klasse", "Geschlecht", "Geburtsdatum", "Ausbildungsrichtung",
                       "Bekenntnis", "WinSVSnr", "LRS", "Legasthenie"});
        BulkInsert ad(db, QStringLiteral("Adressen"),
                      {"SchülerNr", "Anrede", "Straße", "PLZ", "Ort", "Telefon", "gilt1", "gilt2", "ErzName1",
                       "ErzRufname1", "ErzTelefon1", "ErzArt1", "ErzName2", "ErzRufname2", "ErzTelefon2", "ErzArt2",
                       "Hauptansprechpartner"});
        for (const Pupil &p : s.pupils) {
            pu.add({p.nr, p.name, p.vorname, p.klasse, p.geschlecht, p.geburtsdatum, p.ausbildungsrichtung,
                    p.bekenntnis, p.winsv, p.lrs, p.legasthenie});
            if (!p.hasAddress)
                continue;
            const Address &a = p.address;
            ad.add({p.nr, a.anrede, a.strasse, a.plz, a.ort, a.telefon, a.gilt1, a.gilt2, a.erzName1, a.erzRufname1,
                    a.erzTelefon1, a.erzArt1, a.erzName2, a.erzRufname2, a.erzTelefon2, a.erzArt2, true});
            if (p.secondAddress) // grandparents as a further contact at the same address
                ad.add({p.nr, QStringLiteral("Familie"), a.strasse, a.plz, a.ort, a.telefon, a.gilt1, a.gilt2,
                        a.erzName1, QStringLiteral("Rosemarie"), QVariant(), QStringLiteral("Großmutter"), QVariant(),
                        QVariant(), QVariant(), QVariant(), false});
        }
    }

    // courses with their weights, grades and written tests
    const QStringList fields = nmschema::testFields(layout);
    QHash<int, QVector<int>> testsOfCourse;
    for (int i = 0; i < s.tests.size(); ++i)
        testsOfCourse[s.tests[i].course] << i;
    QVector<int> ability(s.pupils.size());
    for (int &a : ability)
        a = 1 + r.below(5);
    {
        QStringList ucols{"Index", "Klasse", "Fach", "Lehrkraft", "AnzStd", "Koppel", "Archiv"};
        QStringList ncols{"SchülerNr", "UIndex", "Archiv"};
        ucols << fields;
        ncols << fields;
        BulkInsert un(db, QStringLiteral("Unterricht"), ucols);
        BulkInsert no(db, QStringLiteral("Noten"), ncols);
        BulkInsert lnw(db, QStringLiteral("LNW"),
                       {"UIndex", "Spalte", "Notenart", "Bemerkung", "Schnitt", "Zeit", "Geschrieben", "Rückgabe",
                        "Abgabe", "LfdNr"});
        for (int ci = 0; ci < s.courses.size(); ++ci) {
            const Course &c = s.courses[ci];
            QVariantList row{c.index, c.klasse, c.fach, nullIfEmpty(c.lehrkraft), c.anzStd, nullIfEmpty(c.koppel),
                             c.archiv};
            for (const QString &f : fields) {
                const int n = f.mid(2).toInt();
                const int have = f.startsWith(QLatin1String("sa")) ? c.schulaufgaben
                               : f.startsWith(QLatin1String("ka")) ? c.kurzarbeiten
                                                                   : c.exen;
                row << (n <= have ? QVariant(f.startsWith(QLatin1String("sa")) ? 2.0 : 1.0) : QVariant());
            }
            un.add(row);

            // written tests of this course: grades per pupil, then the LNW rows with their averages
            QVector<int> written;
            for (int ti : testsOfCourse.value(ci))
                if (s.tests[ti].datum < s.today)
                    written << ti;
            QHash<QString, int> fieldIndex;
            for (int f = 0; f < fields.size(); ++f)
                fieldIndex[fields[f]] = f;
            QVector<int> sum(fields.size()), cnt(fields.size());
            for (int p : c.pupils) {
                QVariantList grades(fields.size());
                for (int ti : written) {
                    const int f = fieldIndex.value(fieldOf(s.tests[ti]), -1);
                    if (f < 0 || r.chance(4))
                        continue; // absent on the day
                    grades[f] = gradeText(r, ability[p]);
                    sum[f] += leadingDigit(grades[f]);
                    cnt[f]++;
                }
                QVariantList nrow{s.pupils[p].nr, c.index, c.archiv};
                nrow << grades;
                no.add(nrow);
                res.grades++;
            }
            int lfd = 0;
            for (int ti : written) {
                const Test &t = s.tests[ti];
                const int f = fieldIndex.value(fieldOf(t), -1);
                const QDate back = t.datum.addDays(r.between(6, 14));
                const QDate abgabe = back.addDays(r.between(2, 10));
                QVariant bem;
                if (r.chance(10))
                    bem = r.chance(50) ? QStringLiteral("Nachtermin") : QStringLiteral("Kapitel %1").arg(r.between(1, 9));
                lnw.add({c.index, spalteOf(t, layout), t.art, bem,
                         f >= 0 && cnt[f] ? QVariant(std::round(100.0 * sum[f] / cnt[f]) / 100.0) : QVariant(),
                         t.art == QLatin1String("SchA") ? 60 : t.art == QLatin1String("KA") ? 30 : 20, t.datum,
                         back < s.today ? QVariant(back) : QVariant(),
                         abgabe < s.today && !r.chance(15) ? QVariant(abgabe) : QVariant(), ++lfd});
                res.tests++;
            }
        }
        res.courses = un.count();
    }
    // the grade manager's "no date" marker on one hand-in date
    db.exec(QStringLiteral("UPDATE LNW SET Abgabe = '2000-01-01' WHERE ID = (SELECT min(ID) FROM LNW)"));

    {
        BulkInsert fa(db, QStringLiteral("Fächer"), {"FachKürzel", "Bezeichnung", "LfdNr"});
        int i = 0;
        for (const SubjectName &f : kFaecher)
            fa.add({QString::fromUtf8(f.code), QString::fromUtf8(f.name), ++i * 10});
        BulkInsert fg(db, QStringLiteral("FächerGym"), {"FachKürzel", "Bezeichnung", "LfdNr"});
        i = 0;
        for (const SubjectName &f : kFaecherGym)
            fg.add({QString::fromUtf8(f.code), QString::fromUtf8(f.name), ++i});
    }

    // monthly totals already transferred for about half of the pupils (months before this one)
    {
        static const char *months[] = {"jan", "feb", "märz", "april", "mai", "juni",
                                       "juli", "aug", "sept", "okt", "nov", "dez"};
        const QDate firstOfMonth(s.today.year(), s.today.month(), 1);
        QHash<QString, QVector<double>> sums;
        for (const Absence &a : s.absences) {
            if (a.day >= firstOfMonth || a.day < s.schoolYearStart || !a.id.at(0).isDigit())
                continue;
            auto &v = sums[a.id];
            v.resize(12);
            v[a.day.month() - 1] += a.zaehlt.isValid() ? a.zaehlt.toString().replace(',', '.').toDouble() : 1.0;
        }
        QStringList cols{QStringLiteral("schülernr")};
        for (const char *m : months)
            cols << QString::fromUtf8(m);
        BulkInsert fe(db, QStringLiteral("fehltage"), cols);
        for (const Pupil &p : s.pupils) {
            const QString id = QString::number(p.nr);
            if (!sums.contains(id) || p.nr % 2)
                continue;
            QVariantList row{p.nr};
            for (double v : sums[id])
                row << (v > 0 ? QVariant(v) : QVariant());
            fe.add(row);
        }
    }

    // report remarks, activities and reprimands for a few pupils
    {
        static const char *remarks[] = {"beteiligt sich rege am Unterricht.", "arbeitet zuverlässig und sorgfältig.",
                                        "sollte sich im mündlichen Bereich mehr einbringen.",
                                        "zeigt großes Interesse an naturwissenschaftlichen Fragen."};
        static const char *activities[] = {"Schulband", "Tutor/in für die 5. Klassen", "Klassensprecher/in",
                                           "Schulsanitätsdienst", "Theatergruppe"};
        BulkInsert z1(db, QStringLiteral("ZD1"), {"SchülerNr", "Bemerkung"});
        BulkInsert z2(db, QStringLiteral("ZD2"), {"SchülerNr", "Aktivitäten"});
        BulkInsert ve(db, QStringLiteral("Verweise"), {"SchülerNr", "Datum", "Art", "Grund", "Lehrkraft"});
        for (const Pupil &p : s.pupils) {
            if (r.chance(10))
                z1.add({p.nr, p.vorname + ' ' + QString::fromUtf8(remarks[r.below(4)])});
            if (r.chance(8))
                z2.add({p.nr, QString::fromUtf8(activities[r.below(5)])});
            if (r.chance(2) && !s.pastSchoolDays.isEmpty() && s.teachers.size() > 2)
                ve.add({p.nr, r.pick(s.pastSchoolDays), r.chance(80) ? QStringLiteral("Verweis")
                                                                    : QStringLiteral("verschärfter Verweis"),
                        QStringLiteral("wiederholtes Stören des Unterrichts"),
                        s.teachers[2 + r.below(int(s.teachers.size()) - 2)].kuerzel});
        }
    }
    tx.commit();
}

} // namespace demo
