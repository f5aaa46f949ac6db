#include "tools/demo/befehlszeile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <vector>

namespace demo {

namespace {

struct Option {
    QStringList namen;
    QString wert;      // "" for a switch
    QString text;
    QString standard;  // the default, as the help names it ("" for the help itself)
};

std::vector<Option> optionen()
{
    const Options d;
    const QString n = QStringLiteral("n");
    return {
        {{"h", "help"}, {}, QStringLiteral("Zeigt diese Hilfe an."), {}},
        {{"o", "out"}, QStringLiteral("ordner"), QStringLiteral("Zielordner, wird angelegt, wenn er fehlt."),
         QStringLiteral("keiner, die Angabe ist nötig")},
        {{"seed"}, QStringLiteral("zahl"), QStringLiteral("Startwert des Zufallsgenerators."),
         QString::number(d.seed)},
        {{"pupils"}, n, QStringLiteral("Anzahl der Schüler."), QString::number(d.pupils)},
        {{"teachers"}, n, QStringLiteral("Anzahl der Lehrkräfte ohne X und XS."), QString::number(d.teachers)},
        {{"classes"}, n, QStringLiteral("Anzahl der Klassen ohne AUS."), QString::number(d.classes)},
        {{"courses"}, n, QStringLiteral("Anzahl der Unterrichte."), QStringLiteral("nach Stundentafel")},
        {{"absences"}, n, QStringLiteral("Anzahl der Fehltage."), QStringLiteral("etwa 6 je Schüler")},
        {{"entries"}, n, QStringLiteral("Anzahl der Kalendereinträge."), QStringLiteral("die geplanten Arbeiten")},
        {{"older-layout"}, {}, QStringLiteral("Ältere Notenmanager-Struktur (ohne sa5/sa6, Spalte 0 bis 15)."),
         QStringLiteral("die aktuelle Struktur")},
        {{"no-index"}, {}, QStringLiteral("Ohne Indizes auf Noten.UIndex und LNW.UIndex."),
         QStringLiteral("mit Indizes")},
        {{"today"}, QStringLiteral("datum"), QStringLiteral("Stichtag (JJJJ-MM-TT)."),
         QStringLiteral("das heutige Datum")},
        {{"schulnummer"}, QStringLiteral("nummer"), QStringLiteral("Schulnummer."), d.schulnummer},
    };
}

QString aufruf(const Option &o)
{
    QStringList namen;
    for (const QString &name : o.namen)
        namen << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString t = namen.join(QStringLiteral(", "));
    if (!o.wert.isEmpty())
        t += QStringLiteral(" <") + o.wert + QLatin1Char('>');
    return t;
}

} // namespace

QString hilfeText(const QString &programm)
{
    const std::vector<Option> alle = optionen();
    int breite = 0;
    for (const Option &o : alle)
        breite = qMax(breite, int(aufruf(o).size()));
    QString t = QStringLiteral("Aufruf: ") + programm + QStringLiteral(" --out <ordner> [Optionen]\n") +
                QStringLiteral("Erzeugt die Demo-Schule (Notenmanager-, Zandrel- und WinSV-Datenbank, Ferien-Datei, "
                               "INI-Dateien) in einem Ordner.\n\nOptionen:\n");
    for (const Option &o : alle)
        t += QStringLiteral("  ") + aufruf(o).leftJustified(breite + 2) + o.text +
             (o.standard.isEmpty() ? QString() : QStringLiteral(" Standard: ") + o.standard + QLatin1Char('.')) +
             QLatin1Char('\n');
    return t;
}

Befehlszeile befehlszeileLesen(const QStringList &argumente)
{
    Befehlszeile b;
    QCommandLineParser p;
    std::vector<QCommandLineOption> q;
    for (const Option &o : optionen())
        q.emplace_back(o.namen, o.text, o.wert);
    for (const QCommandLineOption &o : q)
        p.addOption(o);
    const auto opt = [&](const char *name) -> const QCommandLineOption & {
        for (const QCommandLineOption &o : q)
            if (o.names().contains(QLatin1String(name)))
                return o;
        return q.front();
    };
    if (!p.parse(argumente)) {
        if (!p.unknownOptionNames().isEmpty()) {
            for (const QString &n : p.unknownOptionNames())
                b.fehler << QStringLiteral("Unbekannte Option: ") + (n.size() == 1 ? "-" : "--") + n;
        } else {
            b.fehler << QStringLiteral("Einer Option fehlt ihr Wert (siehe --help).");
        }
        return b;
    }
    if (p.isSet(opt("help"))) {
        b.hilfe = true;
        return b;
    }
    if (!p.positionalArguments().isEmpty())
        b.fehler << QStringLiteral("Unerwartete Angabe: ") + p.positionalArguments().join(QLatin1Char(' '));
    Options &o = b.optionen;
    o.out = p.value(opt("out"));
    auto zahl = [&](const char *name, int &ziel) {
        if (!p.isSet(opt(name)))
            return;
        bool gut = false;
        const int v = p.value(opt(name)).toInt(&gut);
        if (!gut || v < 0)
            b.fehler << QStringLiteral("Ungültige Zahl für --%1: %2").arg(QLatin1String(name), p.value(opt(name)));
        else
            ziel = v;
    };
    zahl("pupils", o.pupils);
    zahl("teachers", o.teachers);
    zahl("classes", o.classes);
    zahl("courses", o.courses);
    zahl("absences", o.absences);
    zahl("entries", o.entries);
    if (p.isSet(opt("seed"))) {
        bool gut = false;
        const auto v = p.value(opt("seed")).toULongLong(&gut);
        if (gut)
            o.seed = v;
        else
            b.fehler << QStringLiteral("Ungültiger Startwert: ") + p.value(opt("seed"));
    }
    if (p.isSet(opt("today"))) {
        o.today = QDate::fromString(p.value(opt("today")), Qt::ISODate);
        if (!o.today.isValid())
            b.fehler << QStringLiteral("Ungültiges Datum für --today: ") + p.value(opt("today"));
    }
    if (p.isSet(opt("older-layout")))
        o.layout = nmschema::Layout::Older;
    o.indexes = !p.isSet(opt("no-index"));
    if (p.isSet(opt("schulnummer")))
        o.schulnummer = p.value(opt("schulnummer"));
    if (o.out.isEmpty())
        b.fehler << QStringLiteral("Bitte den Zielordner mit --out angeben.");
    return b;
}

} // namespace demo
