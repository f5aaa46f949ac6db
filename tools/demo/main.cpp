// zandrel-demo: writes the demo school into a folder.
#include "tools/demo/demoschool.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <exception>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zandrel-demo"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Erzeugt die Demo-Schule (Notenmanager-, Zandrel- und WinSV-Datenbank, "
                                               "Ferien-Datei, INI-Dateien) in einem Ordner."));
    p.addHelpOption();
    const QCommandLineOption out({"o", "out"}, "Zielordner.", "ordner");
    const QCommandLineOption seed("seed", "Startwert des Zufallsgenerators (Standard 2024).", "zahl");
    const QCommandLineOption pupils("pupils", "Anzahl der Schüler (Standard 800).", "n");
    const QCommandLineOption teachers("teachers", "Anzahl der Lehrkräfte ohne X und XS (Standard 70).", "n");
    const QCommandLineOption classes("classes", "Anzahl der Klassen ohne AUS (Standard 30).", "n");
    const QCommandLineOption courses("courses", "Anzahl der Unterrichte (Standard: nach Stundentafel).", "n");
    const QCommandLineOption absences("absences", "Anzahl der Fehltage (Standard: etwa 6 je Schüler).", "n");
    const QCommandLineOption entries("entries", "Anzahl der Kalendereinträge (Standard: geplante Arbeiten).", "n");
    const QCommandLineOption older("older-layout", "Ältere Notenmanager-Struktur (ohne sa5/sa6, Spalte 0 bis 15).");
    const QCommandLineOption noIndex("no-index", "Ohne Indizes auf Noten.UIndex und LNW.UIndex.");
    const QCommandLineOption today("today", "Stichtag statt des heutigen Datums (JJJJ-MM-TT).", "datum");
    const QCommandLineOption nummer("schulnummer", "Schulnummer (Standard 0815).", "nummer");
    p.addOptions({out, seed, pupils, teachers, classes, courses, absences, entries, older, noIndex, today, nummer});
    p.process(app);

    QTextStream err(stderr), cout(stdout);
    demo::Options o;
    o.out = p.value(out);
    bool ok = true;
    auto number = [&](const QCommandLineOption &opt, int &target) {
        if (!p.isSet(opt))
            return;
        bool good = false;
        const int v = p.value(opt).toInt(&good);
        if (!good || v < 0) {
            err << "Ungültige Zahl für --" << opt.names().constLast() << ": " << p.value(opt) << "\n";
            ok = false;
        } else {
            target = v;
        }
    };
    number(pupils, o.pupils);
    number(teachers, o.teachers);
    number(classes, o.classes);
    number(courses, o.courses);
    number(absences, o.absences);
    number(entries, o.entries);
    if (p.isSet(seed)) {
        bool good = false;
        o.seed = p.value(seed).toULongLong(&good);
        ok = ok && good;
        if (!good)
            err << "Ungültiger Startwert: " << p.value(seed) << "\n";
    }
    if (p.isSet(today)) {
        o.today = QDate::fromString(p.value(today), Qt::ISODate);
        if (!o.today.isValid()) {
            err << "Ungültiges Datum für --today: " << p.value(today) << "\n";
            ok = false;
        }
    }
    if (p.isSet(older))
        o.layout = nmschema::Layout::Older;
    o.indexes = !p.isSet(noIndex);
    if (p.isSet(nummer))
        o.schulnummer = p.value(nummer);
    if (o.out.isEmpty()) {
        err << "Bitte den Zielordner mit --out angeben.\n";
        ok = false;
    }
    if (!ok)
        return 2;
    try {
        const demo::Result r = demo::generate(o);
        cout << "Demo-Schule erzeugt in " << o.out << "\n"
             << "  " << r.pupils << " Schüler, " << r.teachers << " Lehrkräfte, " << r.classes << " Klassen, "
             << r.courses << " Unterrichte, " << r.tests << " Leistungsnachweise, " << r.absences << " Fehltage, "
             << r.entries << " Kalendereinträge\n"
             << "  Notenmanager: " << r.nmFile << "\n  WinSV: " << r.winsvFile << "\n  INI: " << r.iniFile << "\n"
             << "Anmeldung:\n";
        for (const demo::DemoUser &u : r.users)
            cout << "  " << u.kuerzel.leftJustified(5) << " "
                 << (u.password.isEmpty() ? QStringLiteral("(kein Passwort)") : u.password).leftJustified(12) << " "
                 << u.role << "\n";
    } catch (const std::exception &e) {
        err << QString::fromStdString(e.what()) << "\n";
        return 1;
    }
    return 0;
}
