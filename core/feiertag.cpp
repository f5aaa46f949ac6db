#include "core/feiertag.h"
#include "platform/folders.h"
#include "platform/msg.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cerrno>

namespace feiertage {

QDate ostersonntag(int jahr)
{
    // Gregorian computus (anonymous algorithm).
    const int a = jahr % 19, b = jahr / 100, c = jahr % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7, m = (a + 11 * h + 22 * l) / 451;
    const int monat = (h + l - 7 * m + 114) / 31, tag = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(jahr, monat, tag);
}

static mdl::typFeiertag rot(const char *name) { return {QString::fromUtf8(name), units::Red}; }
static mdl::typFeiertag gelb(const char *name) { return {QString::fromUtf8(name), units::Yellow}; }

mdl::typFeiertag festtag(const QDate &d)
{
    if (!d.isValid())
        return {};
    const int j = d.year();
    const QDate ostern = ostersonntag(j);
    const struct { QDate tag; const char *name; } rote[] = {
        {QDate(j, 1, 1), "Neujahr"},
        {QDate(j, 1, 6), "Heilige Drei Könige"},
        {ostern.addDays(-2), "Karfreitag"},
        {ostern, "Ostersonntag"},
        {ostern.addDays(1), "Ostermontag"},
        {QDate(j, 5, 1), "Tag der Arbeit"},
        {ostern.addDays(39), "Christi Himmelfahrt"},
        {ostern.addDays(49), "Pfingstsonntag"},
        {ostern.addDays(50), "Pfingstmontag"},
        {ostern.addDays(60), "Fronleichnam"},
        {QDate(j, 8, 15), "Mariä Himmelfahrt"},
        {QDate(j, 10, 3), "Tag der Deutschen Einheit"},
        {QDate(j, 11, 1), "Allerheiligen"},
        {QDate(j, 12, 25), "1. Weihnachtstag"},
        {QDate(j, 12, 26), "2. Weihnachtstag"},
    };
    for (const auto &r : rote)
        if (r.tag == d)
            return rot(r.name);

    // 4. Advent: the last Sunday before 25 December.
    QDate vierter(j, 12, 24);
    while (vierter.dayOfWeek() != 7)
        vierter = vierter.addDays(-1);
    static const char *const advent[] = {"4. Advent", "3. Advent", "2. Advent", "1. Advent"};
    for (int n = 0; n < 4; ++n)
        if (vierter.addDays(-7 * n) == d)
            return gelb(advent[n]);
    // Buß- und Bettag: the last Wednesday before 23 November.
    QDate buss(j, 11, 22);
    while (buss.dayOfWeek() != 3)
        buss = buss.addDays(-1);
    if (buss == d)
        return gelb("Buß- und Bettag");
    return {};
}

static QDate ferienDatum(const QString &t) { return vt::parseDate(t); }

namespace {

// The calendars classify every day of a school year: the feast days of a year are worked out
// once, and the period texts are parsed once for as long as the table stays the same.
const mdl::typFeiertag &festtagImJahr(const QDate &d)
{
    static QHash<int, QHash<QDate, mdl::typFeiertag>> jahre;
    static const mdl::typFeiertag keiner;
    auto it = jahre.find(d.year());
    if (it == jahre.end()) {
        QHash<QDate, mdl::typFeiertag> tage;
        for (QDate t(d.year(), 1, 1); t.year() == d.year(); t = t.addDays(1)) {
            const mdl::typFeiertag f = festtag(t);
            if (!f.Name.isEmpty())
                tage.insert(t, f);
        }
        it = jahre.insert(d.year(), tage);
    }
    const auto f = it->constFind(d);
    return f == it->constEnd() ? keiner : *f;
}

struct Zeitraum {
    QDate von, bis;
    QString name;
};

const QVector<Zeitraum> &zeitraeume(const QVector<mdl::Ferienzeit> &ferien)
{
    static QVector<mdl::Ferienzeit> gelesen;
    static QVector<Zeitraum> out;
    static bool erstes = true;
    if (erstes || ferien.constData() != gelesen.constData() || ferien.size() != gelesen.size()) {
        erstes = false;
        gelesen = ferien;
        out.clear();
        for (const mdl::Ferienzeit &z : ferien) {
            if (z.von.isEmpty())
                break;
            const QDate von = ferienDatum(z.von), bis = ferienDatum(z.bis);
            if (von.isValid() && bis.isValid())
                out.push_back({von, bis, z.name});
        }
    }
    return out;
}

} // namespace

mdl::typFeiertag klassifizieren(const QDate &d, const QVector<mdl::Ferienzeit> &ferien)
{
    if (!d.isValid())
        return {};
    const mdl::typFeiertag &f = festtagImJahr(d);
    if (!f.Name.isEmpty())
        return f;
    if (d.dayOfWeek() == 7)
        return rot("Sonntag");
    for (const Zeitraum &z : zeitraeume(ferien))
        if (d >= z.von && d <= z.bis)
            return {z.name, units::Yellow};
    if (d.dayOfWeek() == 6)
        return gelb("Samstag");
    return {};
}

QString dateiName() { return QStringLiteral("Zandrel Ferien.txt"); }

QString standardText()
{
    return QStringLiteral(
        "# Ferien und unterrichtsfreie Zeiten für Zandrel\n"
        "#\n"
        "# Eine Zeit je Zeile: erster Tag;letzter Tag;Name\n"
        "# Die Tage werden als TT.MM.JJJJ geschrieben, beide Tage gehören zur Zeit.\n"
        "# Beispiel (ohne das Zeichen # am Anfang):\n"
        "#   TT.MM.JJJJ;TT.MM.JJJJ;Herbstferien\n"
        "#\n"
        "# Zeilen, die mit # beginnen, sind Bemerkungen. Zeilen, die nicht diesem Aufbau\n"
        "# folgen, werden übergangen. Gesetzliche Feiertage, Samstage und Sonntage\n"
        "# erkennt das Programm selbst; sie müssen hier nicht eingetragen werden.\n");
}

QVector<mdl::Ferienzeit> lesen(const QByteArray &inhalt)
{
    QVector<mdl::Ferienzeit> out;
    const QString text = textcodec::decodeUtf8OrWindows1252(inhalt);
    for (QString zeile : text.split('\n')) {
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        const QString t = zeile.trimmed();
        if (t.isEmpty() || t.startsWith('#'))
            continue;
        const QStringList teile = t.split(';');
        if (teile.size() < 3)
            continue;
        static const QRegularExpression form(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4}$"));
        const QString von = teile[0].trimmed(), bis = teile[1].trimmed();
        const QString name = teile.mid(2).join(';').trimmed();
        if (!form.match(von).hasMatch() || !form.match(bis).hasMatch() || name.isEmpty())
            continue;
        const QDate v = ferienDatum(von), b = ferienDatum(bis);
        if (!v.isValid() || !b.isValid() || b < v)
            continue;
        out.push_back({von, bis, name});
        if (out.size() >= 1000) // the holiday table holds at most 1,000 periods
            break;
    }
    return out;
}

} // namespace feiertage

namespace mdl {

typFeiertag Feiertag(const QDate &d) { return feiertage::klassifizieren(d, Ferien); }

void FerienVorbereiten()
{
    Ferien.clear();
    if (DatenPfad.isEmpty())
        return;
    const QString pfad = folders::join(DatenPfad, feiertage::dateiName());
    const auto nichtGelesen = [&](int err) {
        msg::box(QStringLiteral("Die Ferien-Datei \"%1\" konnte nicht gelesen werden; die Kalender zeigen keine "
                                "Ferien.\r\r")
                     .arg(feiertage::dateiName())
                 + safefile::failureText(pfad, safefile::reason(err)));
    };
    // Made anew only when it is really missing: a network folder that cannot be asked for just now
    // still holds the school's periods.
    int unerreichbar = 0;
    const bool fehlt = safefile::missing(pfad, &unerreichbar);
    if (unerreichbar) {
        nichtGelesen(unerreichbar);
        return;
    }
    if (fehlt) {
        // Written whole or not at all, so a start that is cut short leaves no half file behind.
        QString fehler;
        if (!safefile::writeFile(pfad, feiertage::standardText().toUtf8(), &fehler))
            msg::box(QStringLiteral("Die Ferien-Datei \"%1\" konnte nicht angelegt werden.\r\r")
                         .arg(feiertage::dateiName())
                     + fehler);
        return; // the default text holds no periods
    }
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        nichtGelesen(QFileInfo(pfad).isDir() ? EISDIR : errno);
        return;
    }
    errno = 0;
    const QByteArray inhalt = f.readAll();
    if (f.error() != QFileDevice::NoError) { // a read cut off half-way gives no periods at all
        nichtGelesen(errno ? errno : EIO);
        return;
    }
    Ferien = feiertage::lesen(inhalt);
}

} // namespace mdl
