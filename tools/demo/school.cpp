#include "tools/demo/school.h"

#include "core/feiertag.h"
#include "platform/ripemd160.h"
#include "tools/demo/names.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

// Subjects of the timetable: code as written in Unterricht.Fach, qualification, weekly hours,
// grades taught, and the tests of a year.
struct Subject {
    const char *fach;
    const char *qual;
    double hours;
    int from, to;
    int sa, ka, ex;
};

const Subject kSubjects[] = {
    {"D", "D", 4, 5, 10, 4, 0, 3},     {"E", "E", 4, 5, 10, 5, 0, 4},    {"M", "M", 4, 5, 10, 4, 0, 3},
    {"F", "F", 3, 7, 10, 3, 0, 2},     {"Ph", "Ph", 2, 7, 10, 2, 1, 2},  {"BwR", "BwR", 3, 7, 10, 3, 0, 2},
    {"Ch", "Ch", 2, 9, 10, 0, 2, 2},   {"B", "B", 2, 5, 10, 0, 2, 2},    {"Ek", "Ek", 2, 5, 10, 0, 1, 2},
    {"G", "G", 2, 6, 10, 0, 1, 2},     {"Sk", "Sk", 1, 10, 10, 0, 0, 2}, {"WiR", "WiR", 1, 9, 10, 0, 0, 1},
    {"IT", "IT", 1.5, 5, 10, 0, 1, 1}, {"Mu", "Mu", 2, 5, 8, 0, 0, 1},   {"Ku", "Ku", 2, 5, 9, 0, 0, 0},
    {"HE", "HE", 2, 7, 8, 0, 0, 1},    {"Rel K", "Rel", 2, 5, 10, 0, 0, 2}, {"Rel Ev", "Rel", 2, 5, 10, 0, 0, 2},
    {"Eth", "Eth", 2, 5, 10, 0, 0, 2}, {"Smd", "S", 2, 5, 10, 0, 0, 0},  {"Swd", "S", 2, 5, 10, 0, 0, 0},
};

const char *const kQualifications[] = {"D", "E", "M", "F", "Ph", "BwR", "Ch", "B", "Ek", "G",
                                       "Sk", "WiR", "IT", "Mu", "Ku", "HE", "Rel", "Eth", "S"};

bool coupled(const QString &fach)
{
    return fach.startsWith(QLatin1String("Rel")) || fach == QLatin1String("Eth") || fach == QLatin1String("Smd") ||
           fach == QLatin1String("Swd");
}

bool takes(const Pupil &p, const QString &fach)
{
    if (fach == QLatin1String("Rel K"))
        return p.bekenntnis.toString() == QLatin1String("RK");
    if (fach == QLatin1String("Rel Ev"))
        return p.bekenntnis.toString() == QLatin1String("EV");
    if (fach == QLatin1String("Eth"))
        return p.bekenntnis.toString() != QLatin1String("RK") && p.bekenntnis.toString() != QLatin1String("EV");
    if (fach == QLatin1String("Smd"))
        return p.geschlecht == QLatin1String("m");
    if (fach == QLatin1String("Swd"))
        return p.geschlecht == QLatin1String("w");
    if (fach == QLatin1String("F"))
        return p.ausbildungsrichtung.toString() == QLatin1String("3a");
    return true;
}

QString className(int stufe, int i)
{
    QString letter(QChar('a' + i % 26));
    return QString::number(stufe) + letter + (i >= 26 ? QString::number(i / 26) : QString());
}

QDate firstSchoolDayOf(int year)
{
    QDate d(year, 9, 1);
    while (d.dayOfWeek() != Qt::Monday)
        d = d.addDays(1);
    return d.addDays(8); // Tuesday of the second week of September
}

// Public holidays, Buß- und Bettag included (no school): the program's own day classification.
bool publicHoliday(const QDate &d) { return !feiertage::festtag(d).Name.isEmpty(); }

void addHolidays(QVector<Holiday> &h, int y)
{
    QDate nov(y, 11, 1);
    QDate mon = nov.addDays(1 - nov.dayOfWeek());
    if (nov.dayOfWeek() > 5)
        mon = mon.addDays(7);
    const QDate e = feiertage::ostersonntag(y + 1);
    h << Holiday{mon, mon.addDays(4), QStringLiteral("Herbstferien")}
      << Holiday{QDate(y, 12, 24), QDate(y + 1, 1, 6), QStringLiteral("Weihnachtsferien")}
      << Holiday{e.addDays(-48), e.addDays(-44), QStringLiteral("Frühjahrsferien")}
      << Holiday{e.addDays(-6), e.addDays(5), QStringLiteral("Osterferien")}
      << Holiday{e.addDays(51), e.addDays(61), QStringLiteral("Pfingstferien")}
      << Holiday{QDate(y + 1, 8, 1), firstSchoolDayOf(y + 1).addDays(-1), QStringLiteral("Sommerferien")};
}

QString abbreviationFor(const Teacher &t, const QSet<QString> &taken)
{
    const QString n = t.name;
    QStringList tries{n.left(3), n.left(2) + t.vorname.left(1), n.left(1) + n.mid(2, 2), n.left(1) + t.vorname.left(2)};
    for (QString c : tries) {
        c = c.left(1).toUpper() + c.mid(1).toLower();
        if (c.size() == 3 && !taken.contains(c.toUpper()))
            return c;
    }
    for (int i = 1;; ++i) {
        QString c = n.left(2) + QString::number(i);
        if (!taken.contains(c.toUpper()))
            return c;
    }
}

void buildCalendar(School &s)
{
    const QDate t = s.today;
    int y = t.year();
    if (t < firstSchoolDayOf(y))
        --y; // until the first school day the finished year is the one to show
    s.schoolYearStart = QDate(y, 8, 1);
    s.firstSchoolDay = firstSchoolDayOf(y);
    QDate last(y + 1, 7, 31);
    for (int yy = y - 1; yy <= y + 1; ++yy)
        addHolidays(s.holidays, yy);
    while (!s.isSchoolDay(last))
        last = last.addDays(-1);
    s.lastSchoolDay = last;
    for (QDate d = s.firstSchoolDay; d <= last; d = d.addDays(1))
        if (s.isSchoolDay(d))
            s.yearSchoolDays << d;
    for (const QDate &d : s.yearSchoolDays)
        if (d < t)
            s.pastSchoolDays << d;
    if (s.pastSchoolDays.size() < 40) {
        QVector<QDate> before;
        for (QDate d = firstSchoolDayOf(y - 1); d < s.firstSchoolDay; d = d.addDays(1))
            if (s.isSchoolDay(d) && d < t)
                before << d;
        s.pastSchoolDays = before + s.pastSchoolDays;
    }
}

void buildTeachers(School &s)
{
    Rng &r = s.rng;
    auto fixed = [&](const char *k, const char *name, const char *vorname, const char *titel, const char *g,
                     QVariant pw, QVariant h, QStringList f) {
        Teacher t{QString::fromUtf8(k), QString::fromUtf8(name), QString::fromUtf8(vorname),
                  QString::fromUtf8(titel), QString::fromUtf8(g), pw, h, f};
        s.teachers << t;
    };
    const QVariant none;
    fixed("X", "Administrator", "", "", "m", QStringLiteral("admin"), none, {});
    fixed("XS", "Sekretariat", "", "", "w", QStringLiteral("sekretariat"), none, {});
    fixed("Bra", "Brandt", "Jürgen", "StR", "m", QStringLiteral("klasse5a"), none, {"D", "G"});
    fixed("Hub", "Huber", "Sabine", "StRin", "w", none, hashing::passwordHash(QStringLiteral("mathe")), {"M", "Ph"});
    fixed("Wei", "Weiß", "Dörte", "OStRin", "w", QString::fromUtf8("Grüße"), none, {"E", "Ek"});
    fixed("Ste", "Stein", "Petra", "RLin", "w", none, none, {"B", "Ch"});
    fixed("Lor", "Lorenz", "Björn", "StR", "m", none, hashing::passwordHash(QString::fromUtf8("Käse9")), {"Mu", "Ku"});
    fixed("Kais", "Kaiser", "Lena", "StRefin", "w", QStringLiteral("lehrer"), none, {"D", "E"}); // trainee
    s.teachers[0].vorname.clear();
    s.teachers[1].vorname.clear();

    QSet<QString> taken;
    for (const Teacher &t : s.teachers)
        taken << t.kuerzel.toUpper();
    const int wanted = std::max(s.opt.teachers, int(s.teachers.size()) - 2);
    int q = 0;
    while (s.teachers.size() - 2 < wanted) {
        Teacher t;
        t.geschlecht = r.chance(55) ? QStringLiteral("w") : QStringLiteral("m");
        t.name = r.pick(names::surnames());
        t.vorname = r.pick(t.geschlecht == QLatin1String("w") ? names::parentWomen() : names::parentMen());
        const bool trainee = r.chance(5);
        static const char *titlesM[] = {"StR", "OStR", "RL", "KR", "StD"};
        static const char *titlesW[] = {"StRin", "OStRin", "RLin", "KRin", "StDin"};
        t.titel = trainee ? QStringLiteral("StRef") : QString::fromLatin1((t.geschlecht == QLatin1String("w") ? titlesW : titlesM)[r.below(5)]);
        t.kuerzel = trainee ? t.name.left(3) + t.vorname.left(1) : abbreviationFor(t, taken);
        if (taken.contains(t.kuerzel.toUpper()))
            t.kuerzel = abbreviationFor(t, taken);
        taken << t.kuerzel.toUpper();
        const int form = r.below(100);
        if (form < 85)
            t.passwort = QStringLiteral("lehrer");
        else if (form < 90)
            t.pwdh = hashing::passwordHash(QStringLiteral("lehrer"));
        if (r.chance(8))
            t.titel.clear(); // an empty official title
        const int nq = int(std::size(kQualifications));
        t.faecher << QString::fromLatin1(kQualifications[q++ % nq]);
        QString second;
        do {
            second = QString::fromLatin1(kQualifications[r.below(nq)]);
        } while (second == t.faecher.first());
        t.faecher << second;
        s.teachers << t;
    }
}

void buildClasses(School &s)
{
    const int n = std::max(1, s.opt.classes);
    const int perGrade = (n + 5) / 6;
    for (int i = 0; i < n; ++i) {
        const int stufe = 5 + i / perGrade;
        s.klassen << Klasse{className(stufe, i % perGrade), stufe, {}};
    }
    // class teachers: the demo class teacher takes the first class
    QVector<int> free;
    for (int i = 2; i < s.teachers.size(); ++i)
        if (s.teachers[i].kuerzel.size() != 4 && s.teachers[i].kuerzel != QLatin1String("Hub") &&
            s.teachers[i].kuerzel != QLatin1String("Ste"))
            free << i;
    for (int c = 0; c < s.klassen.size(); ++c) {
        if (free.isEmpty())
            break;
        const int k = c == 0 ? 0 : s.rng.below(int(free.size()));
        s.klassen[c].leiter = s.teachers[free[k]].kuerzel;
        free.remove(k);
    }
    s.klassen << Klasse{QStringLiteral("AUS"), 0, {}};
}

void buildPupils(School &s)
{
    Rng &r = s.rng;
    const int n = std::max(0, s.opt.pupils);
    const int aus = n >= 20 ? std::max(1, n / 100) : 0;
    const int regular = n - aus;
    const int nk = int(s.klassen.size()) - 1;
    static const char *bek[] = {"RK", "RK", "RK", "RK", "EV", "EV", "ISL", "OB", "OR"};
    static const char *ar[] = {"1", "2", "2", "3a", "3b"};
    for (int i = 0; i < n; ++i) {
        Pupil p;
        p.nr = 1001 + i;
        p.winsv = 5000 + 3 * i;
        const int k = i < regular ? int(qint64(i) * nk / std::max(1, regular)) : nk;
        const Klasse &kl = s.klassen[k];
        p.klasse = kl.name;
        const int stufe = kl.stufe ? std::min(kl.stufe, 10) : r.between(5, 10);
        p.geschlecht = r.chance(50) ? QStringLiteral("w") : QStringLiteral("m");
        p.name = r.pick(names::surnames());
        p.vorname = r.pick(p.geschlecht == QLatin1String("w") ? names::girls() : names::boys());
        if (i == 5 || (n < 6 && i == n - 1)) {
            p.name = QStringLiteral("D'Angelo");
            p.vorname = QStringLiteral("Luca");
            p.geschlecht = QStringLiteral("m");
        }
        const int born = s.schoolYearStart.year() - stufe - 5 - (r.chance(10) ? 1 : 0);
        p.geburtsdatum = QDate(born, 1, 1).addDays(r.below(365));
        if (stufe >= 7)
            p.ausbildungsrichtung = QString::fromLatin1(ar[r.below(5)]);
        if (!r.chance(3))
            p.bekenntnis = QString::fromLatin1(bek[r.below(9)]);
        p.lrs = r.chance(4);
        p.legasthenie = r.chance(2);
        Address &a = p.address;
        const int anr = r.below(10);
        a.anrede = anr < 7 ? QStringLiteral("Familie") : anr < 9 ? QStringLiteral("Frau") : QStringLiteral("Herrn");
        a.strasse = r.pick(names::streets()) + ' ' + QString::number(r.between(1, 120));
        const names::Town &t = r.pick(names::towns());
        a.plz = QString::fromLatin1(t.plz);
        a.ort = QString::fromUtf8(t.ort);
        if (!r.chance(8))
            a.telefon = QString::fromLatin1(t.vorwahl) + ' ' + QString::number(r.between(10000, 999999));
        a.gilt2 = r.chance(80);
        a.erzName1 = r.chance(90) ? p.name : r.pick(names::surnames());
        a.erzRufname1 = r.pick(names::parentWomen());
        a.erzArt1 = QStringLiteral("Mutter");
        if (r.chance(70))
            a.erzTelefon1 = QStringLiteral("0171 ") + QString::number(r.between(1000000, 9999999));
        if (r.chance(80)) {
            a.erzName2 = p.name;
            a.erzRufname2 = r.pick(names::parentMen());
            a.erzArt2 = QStringLiteral("Vater");
            if (r.chance(50))
                a.erzTelefon2 = QStringLiteral("0160 ") + QString::number(r.between(1000000, 9999999));
        }
        p.secondAddress = r.chance(3);
        s.pupilsOfClass[p.klasse] << int(s.pupils.size());
        s.pupils << p;
    }
}

int chooseTeacher(School &s, const QString &qual)
{
    int best = -1;
    for (int i = 2; i < s.teachers.size(); ++i) {
        const Teacher &t = s.teachers[i];
        if (!t.faecher.contains(qual))
            continue;
        if (best < 0 || t.load < s.teachers[best].load)
            best = i;
    }
    if (best < 0)
        for (int i = 2; i < s.teachers.size(); ++i)
            if (best < 0 || s.teachers[i].load < s.teachers[best].load)
                best = i;
    return best;
}

void buildCourses(School &s)
{
    Rng &r = s.rng;
    const bool older = s.opt.layout == nmschema::Layout::Older;
    QVector<QVector<Course>> perClass;
    QHash<QString, int> coupledTeacher; // "grade/pair/subject" -> teacher
    for (int k = 0; k + 1 < s.klassen.size(); ++k) {
        const Klasse &kl = s.klassen[k];
        const int stufe = std::min(kl.stufe, 10);
        QVector<Course> list;
        for (const Subject &sub : kSubjects) {
            if (stufe < sub.from || stufe > sub.to)
                continue;
            Course c;
            c.klasse = kl.name;
            c.fach = QString::fromUtf8(sub.fach);
            c.anzStd = (c.fach == QLatin1String("D") || c.fach == QLatin1String("E")) && stufe <= 6 ? 5 : sub.hours;
            c.schulaufgaben = std::min(sub.sa, older ? 4 : 6);
            c.kurzarbeiten = sub.ka;
            c.exen = sub.ex;
            const QString qual = QString::fromLatin1(sub.qual);
            int t = -1;
            if (coupled(c.fach)) {
                const QString key = QStringLiteral("%1/%2/%3").arg(kl.stufe).arg(k / 2).arg(c.fach);
                c.koppel = QStringLiteral("K%1%2").arg(kl.stufe).arg(k / 2 % 10);
                t = coupledTeacher.value(key, -1);
                if (t < 0)
                    coupledTeacher[key] = t = chooseTeacher(s, qual);
            } else {
                t = chooseTeacher(s, qual);
            }
            if (t >= 0 && !r.chance(1)) {
                c.lehrkraft = s.teachers[t].kuerzel;
                s.teachers[t].load++;
            }
            list << c;
        }
        perClass << list;
    }
    // natural courses, round-robin over the classes when fewer are asked for
    const int wanted = s.opt.courses;
    QVector<Course> all;
    for (int round = 0;; ++round) {
        bool any = false;
        for (const auto &list : perClass) {
            if (round < list.size()) {
                any = true;
                if (wanted < 0 || all.size() < wanted)
                    all << list[round];
            }
        }
        if (!any)
            break;
    }
    // more than the timetables give: support courses ("D F1", "M F2" …) for parts of classes
    for (int i = 0; wanted > 0 && all.size() < wanted && !perClass.isEmpty(); ++i) {
        const auto &list = perClass[i % perClass.size()];
        if (list.isEmpty())
            continue;
        Course c = list[(i / perClass.size()) % std::min<int>(3, int(list.size()))];
        c.fach += QStringLiteral(" F%1").arg(i / perClass.size() / 3 + 1);
        c.koppel.clear();
        c.anzStd = 1;
        c.schulaufgaben = c.kurzarbeiten = 0;
        c.exen = 1;
        all << c;
    }
    // the timetable shown in Unterricht sorts by class, then as generated
    QHash<QString, int> order;
    for (int k = 0; k < s.klassen.size(); ++k)
        order[s.klassen[k].name] = k;
    std::stable_sort(all.begin(), all.end(),
                     [&](const Course &a, const Course &b) { return order[a.klasse] < order[b.klasse]; });
    // last year's courses, archived, with archived grade rows
    const int archived = wanted < 0 ? std::max(1, int(perClass.size()) / 10) : 0;
    for (int i = 0; i < archived && !all.isEmpty(); ++i) {
        Course c = all[r.below(int(all.size()))];
        c.archiv = true;
        c.schulaufgaben = c.kurzarbeiten = c.exen = 0;
        all << c;
    }
    qint64 index = 1;
    for (Course &c : all) {
        c.index = index++;
        const bool support = c.fach.contains(QLatin1String(" F"));
        for (int p : s.pupilsOfClass.value(c.klasse))
            if (takes(s.pupils[p], c.fach) && (!support || r.chance(30)))
                c.pupils << p;
    }
    s.courses = all;
}

void buildTests(School &s)
{
    Rng &r = s.rng;
    const auto &days = s.yearSchoolDays;
    if (days.isEmpty())
        return;
    for (int ci = 0; ci < s.courses.size(); ++ci) {
        const Course &c = s.courses[ci];
        if (c.archiv)
            continue;
        auto plan = [&](const QString &art, int count) {
            for (int k = 1; k <= count; ++k) {
                const double at = (k - 0.5 + (r.below(60) - 30) / 100.0) / count;
                int idx = std::clamp(int(at * days.size()), 5, int(days.size()) - 1);
                s.tests << Test{ci, art, k, days[std::min(idx, int(days.size()) - 1)]};
            }
        };
        plan(QStringLiteral("SchA"), c.schulaufgaben);
        plan(QStringLiteral("KA"), c.kurzarbeiten);
        plan(QStringLiteral("Ex"), c.exen);
    }
}

} // namespace

QString gradeText(Rng &rng, int mean)
{
    const int g = std::clamp(mean + rng.between(-1, 1), 1, 6);
    QString t = QString::number(g);
    const int tend = rng.below(10);
    if (tend == 0 && g > 1)
        t += '+';
    else if (tend == 1 && g < 6)
        t += '-';
    return t;
}

bool School::isSchoolDay(const QDate &d) const
{
    if (d.dayOfWeek() > 5 || publicHoliday(d))
        return false;
    for (const Holiday &h : holidays)
        if (d >= h.von && d <= h.bis)
            return false;
    return true;
}

const Teacher *School::teacher(const QString &kuerzel) const
{
    for (const Teacher &t : teachers)
        if (t.kuerzel.compare(kuerzel, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

void buildSchool(School &s, const Options &opt)
{
    s.opt = opt;
    s.rng = Rng(opt.seed);
    s.today = opt.today.isValid() ? opt.today : QDate::currentDate();
    buildCalendar(s);
    buildTeachers(s);
    buildClasses(s);
    buildPupils(s);
    buildCourses(s);
    buildTests(s);
}

} // namespace demo
