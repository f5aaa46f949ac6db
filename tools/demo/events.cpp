#include "tools/demo/school.h"

#include <algorithm>

namespace demo {

namespace {

const QString kKrBemerkung = QStringLiteral("Bei 'kr' darf keine Bemerkung gespeichert werden.");

QDateTime at(const QDate &d, int minutes) { return QDateTime(d, QTime(7, 0).addSecs(minutes * 60)); }

} // namespace

void buildAbsences(School &s)
{
    Rng &r = s.rng;
    const auto &days = s.pastSchoolDays;
    QVector<int> pupils;
    for (int i = 0; i < s.pupils.size(); ++i)
        if (s.pupils[i].klasse != QLatin1String("AUS"))
            pupils << i;
    QVector<int> teachers;
    for (int i = 2; i < s.teachers.size(); ++i)
        teachers << i;
    if (days.isEmpty() || (pupils.isEmpty() && teachers.isEmpty()))
        return;
    const qint64 capacity = qint64(days.size()) * (pupils.size() + teachers.size());
    qint64 wanted = s.opt.absences >= 0 ? s.opt.absences : qint64(pupils.size()) * 6 + qint64(teachers.size()) * 3;
    wanted = std::min(wanted, capacity * 9 / 10);
    QSet<QString> used; // "id|day"
    s.absences.reserve(int(wanted));
    while (s.absences.size() < wanted) {
        const bool teacher = teachers.size() && (pupils.isEmpty() || r.chance(6));
        const QString id = teacher ? s.teachers[r.pick(teachers)].kuerzel : QString::number(s.pupils[r.pick(pupils)].nr);
        const int kind = r.below(100);
        QString grund;
        int streak = 1;
        if (kind < 60) {
            grund = QStringLiteral("kr");
            streak = r.between(1, 4);
        } else if (kind < 75) {
            grund = QStringLiteral("bf");
        } else if (kind < 83) {
            grund = QStringLiteral("ab");
        } else if (kind < 88) {
            grund = QStringLiteral("bu");
        } else if (kind < 92) {
            grund = QStringLiteral("vs");
        } else {
            grund = teacher ? QStringLiteral("bf") : QStringLiteral("un");
        }
        int start = r.below(int(days.size()));
        for (int k = 0; k < streak && start + k < days.size() && s.absences.size() < wanted; ++k) {
            const QDate day = days[start + k];
            const QString key = id + '|' + day.toString(Qt::ISODate);
            if (used.contains(key))
                continue;
            used << key;
            Absence a;
            a.id = id;
            a.day = day;
            a.grund = grund;
            for (int l = 0; l < 10; ++l)
                a.lessons << QString();
            a.entschuldigt = r.chance(80);
            if (grund == QLatin1String("kr")) {
                a.bemerkung = kKrBemerkung;
                if (!r.chance(20))
                    a.zaehlt = QStringLiteral("1,0");
            } else if (grund == QLatin1String("bf")) {
                const int from = r.between(0, 6);
                a.lessons[from] = a.lessons[from + 1] = grund;
                a.bemerkung = teacher ? QStringLiteral("Fortbildung") : QStringLiteral("Arzttermin");
                a.zaehlt = QStringLiteral("0,0");
                a.entschuldigt = true;
            } else if (grund == QLatin1String("ab")) {
                for (int l = r.between(2, 4); l < 6; ++l)
                    a.lessons[l] = grund;
                a.zaehlt = QStringLiteral("0,5");
            } else if (grund == QLatin1String("bu") || grund == QLatin1String("vs")) {
                a.lessons[0] = grund;
                a.zaehlt = QStringLiteral("0,0");
            } else {
                a.zaehlt = QStringLiteral("1,0");
                a.entschuldigt = false;
                a.bemerkung = QStringLiteral("Eltern informiert");
            }
            a.eintrag = at(day, r.between(30, 120));
            a.edit = r.chance(20) ? at(day.addDays(r.between(1, 3)), r.between(0, 400)) : a.eintrag;
            s.absences << a;
        }
    }
}

void buildEntries(School &s)
{
    Rng &r = s.rng;
    const QDate horizon = s.today.addDays(60);
    QVector<Entry> list;
    for (const Test &t : s.tests) {
        if (t.art == QLatin1String("Ex") || t.datum > horizon)
            continue;
        const Course &c = s.courses[t.course];
        Entry e;
        e.datum = t.datum;
        e.klasse = c.klasse;
        e.fach = c.fach.section(' ', 0, 0);
        e.lehrkraft = c.lehrkraft;
        e.eingetragenPerson = c.lehrkraft.isEmpty() ? QStringLiteral("XS") : c.lehrkraft;
        e.eingetragen = at(std::min(s.today, t.datum.addDays(-r.between(10, 40))), r.between(0, 600));
        if (t.art == QLatin1String("KA"))
            e.bemerkung = QStringLiteral("Kurzarbeit");
        e.nichtInternet = r.chance(3);
        list << e;
    }
    // class trips of grades 6 and 10, one hiking day for every class
    QVector<QDate> upcoming;
    for (const QDate &d : s.yearSchoolDays)
        if (d <= horizon)
            upcoming << d;
    if (!upcoming.isEmpty()) {
        const QDate wandertag = upcoming[std::min(int(upcoming.size()) - 1, 15)];
        for (const Klasse &k : s.klassen) {
            if (k.name == QLatin1String("AUS"))
                continue;
            const QString who = k.leiter.isEmpty() ? QStringLiteral("X") : k.leiter;
            Entry e{wandertag, k.name, QStringLiteral("so"), who, false, QStringLiteral("Wandertag"),
                    at(wandertag.addDays(-20), 200), QStringLiteral("X"), {}, {}};
            list << e;
            if (k.stufe == 6 || k.stufe == 10) {
                const int start = r.below(int(upcoming.size()));
                for (int d = 0; d < 3 && start + d < upcoming.size(); ++d)
                    list << Entry{upcoming[start + d], k.name, QStringLiteral("KF"), who, false,
                                  QStringLiteral("Klassenfahrt"), at(upcoming[start].addDays(-30), 100), who, {}, {}};
            }
        }
    }
    // asked-for count: trim or pad with further announced tests
    const int wanted = s.opt.entries;
    if (wanted >= 0 && list.size() > wanted)
        list.resize(wanted);
    while (wanted >= 0 && list.size() < wanted && !s.courses.isEmpty() && !s.yearSchoolDays.isEmpty()) {
        const Course &c = s.courses[r.below(int(s.courses.size()))];
        const QDate d = s.yearSchoolDays[r.below(int(s.yearSchoolDays.size()))];
        list << Entry{d, c.klasse, c.fach.section(' ', 0, 0), c.lehrkraft, false, {}, at(std::min(d, s.today), 60),
                      c.lehrkraft.isEmpty() ? QStringLiteral("XS") : c.lehrkraft, {}, {}};
    }
    // a few withdrawn entries
    for (Entry &e : list)
        if (r.chance(3)) {
            e.geloescht = e.eingetragen.addDays(2);
            e.geloeschtPerson = e.eingetragenPerson;
        }
    std::stable_sort(list.begin(), list.end(), [](const Entry &a, const Entry &b) { return a.datum < b.datum; });
    s.entries = list;
}

} // namespace demo
