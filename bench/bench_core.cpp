#include "absence/register_absence.h"
#include "bench/bench.h"
#include "bench/nackt.h"

#include <QPushButton>
#include "core/feiertag.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "core/startup.h"
#include "platform/msg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <algorithm>

// The absence and exam calendars classify every day of the school year, per class column.
ZBENCH("core: Feiertag")
{
    QVector<mdl::Ferienzeit> ferien;
    for (int i = 0; i < 12; ++i)
        ferien.push_back({QDate(2024, 9, 1).addDays(30 * i).toString("dd.MM.yyyy"),
                          QDate(2024, 9, 5).addDays(30 * i).toString("dd.MM.yyyy"), "Ferien"});
    mdl::Ferien = ferien;
    int farbig = 0;
    const double ms = bench::timeMs([&] {
        for (int klasse = 0; klasse < 30; ++klasse)
            for (QDate d(2024, 8, 1); d <= QDate(2025, 7, 31); d = d.addDays(1))
                farbig += mdl::Feiertag(d).Name.isEmpty() ? 0 : 1;
    });
    mdl::Ferien.clear();
    bench::report("30 Klassen x 365 Tage", ms, "ms");
    (void)farbig;
}

// Start-up to the main window, login included: the main window shown, the INI values, the
// holiday file, the own database and its upgrade, the login window's list, the click that logs
// "X" in, the person cache and the settings row, through to the painted main window. The first
// start of a day refills the person cache from the grade manager; every later start of that day
// finds it current.
ZBENCH("core: Start")
{
    registerAbsenceWindows(); // the person cache is the absence area's action
    const QByteArray alteDirs = qgetenv("XDG_CONFIG_DIRS"), altesHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (bench::scratchDir() + "/start-config").toUtf8());
    msg::setHandler([](const msg::Request &r) {
        std::printf("  Meldung: %s\n", qPrintable(r.text));
        return int(msg::OK);
    });
    for (int faktor : {1, 20}) {
        const demo::Result &schule = bench::school(faktor);
        qputenv("XDG_CONFIG_DIRS", QFileInfo(QFileInfo(schule.iniFile).absolutePath()).absolutePath().toUtf8());
        auto starten = [] {
            frm_Main haupt;
            haupt.showMaximized();
            if (!start::vorbereiten({}))
                return;
            frm_Anmeldung anmeldung(&haupt);
            anmeldung.show();
            anmeldung.cmb_Kuerzel->setEditText(QStringLiteral("X"));
            anmeldung.txtPasswort->setText(QStringLiteral("admin"));
            bench::klicken(anmeldung.cmdAnmelden);
            bench::bisGemalt(&haupt, [] { start::nachAnmeldung(); });
            mdl::NMDatenbankZuruecksetzen();
            mdl::dbEigen.close();
        };
        auto cacheLeeren = [&] {
            zdb::Db eigen;
            eigen.open(schule.ownFile);
            eigen.exec(QStringLiteral("DELETE FROM tbl_Personen"));
        };
        std::vector<double> erste;
        for (int i = 0; i < 3; ++i) {
            cacheLeeren();
            erste.push_back(bench::timeMs(starten));
        }
        std::sort(erste.begin(), erste.end());
        double personen = 0;
        {
            zdb::Db eigen;
            eigen.open(schule.ownFile);
            personen = eigen.scalar(QStringLiteral("SELECT count(*) FROM tbl_Personen")).toDouble();
        }
        const bool angemeldet = mdl::Benutzer == QLatin1String("X");
        const double weitere = bench::medianMs(starten, 5);

        // Bare: the same rows read with plain SQLite calls.
        const double roh = bench::medianMs([&] {
            bench::Nackt eigen(schule.ownFile), nm(schule.nmFile);
            for (const char *sql : {"SELECT * FROM tbl_Einstellungen", "SELECT * FROM tbl_SQL_LIKE", "SELECT * FROM tbl_Personen"})
                eigen.lesen(QString::fromUtf8(sql));
            for (const char *sql : {"SELECT * FROM SYS_Settings", "SELECT Kürzel, Passwort, pwdh FROM Lehrkräfte",
                                    "SELECT SchülerNr, Name, Vorname, Klasse FROM Schüler",
                                    "SELECT Kürzel, Name, Vorname FROM Lehrkräfte"})
                nm.lesen(QString::fromUtf8(sql));
        });
        const QString x = QStringLiteral(" %1x").arg(faktor);
        bench::report("Start bis Hauptfenster, erster Start des Tages" + x, erste[erste.size() / 2], "ms");
        bench::report("Start bis Hauptfenster, weitere Starts" + x, weitere, "ms");
        bench::report("bare Lesen derselben Zeilen" + x, roh, "ms");
        bench::report("Personen im Cache nach dem ersten Start" + x, personen, angemeldet ? "Zeilen" : "Zeilen (Anmeldung fehlgeschlagen)");
        if (faktor == 20)
            bench::aimBelow("Start bis Hauptfenster, erster Start des Tages" + x, erste[erste.size() / 2], 2000);
    }
    msg::clearHandler();
    qputenv("XDG_CONFIG_DIRS", alteDirs);
    qputenv("XDG_CONFIG_HOME", altesHome);
}
