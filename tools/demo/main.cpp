// zandrel-demo: writes the demo school into a folder.
#include "tools/demo/befehlszeile.h"

#include <QCoreApplication>
#include <QTextStream>
#include <exception>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zandrel-demo"));
    QTextStream err(stderr), cout(stdout);
    const demo::Befehlszeile b = demo::befehlszeileLesen(QCoreApplication::arguments());
    if (b.hilfe) {
        cout << demo::hilfeText(QStringLiteral("zandrel-demo"));
        return 0;
    }
    if (!b.fehler.isEmpty()) {
        for (const QString &f : b.fehler)
            err << f << "\n";
        err << "Alle Optionen zeigt: zandrel-demo --help\n";
        return 2;
    }
    const demo::Options &o = b.optionen;
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
