// The exam calendar on a big school (150 classes, a 400-day period, 40,000 entries) and on the demo
// school at 1x and 20x, in the shown window: loading it through to the paint and a click on the
// corner that writes the three HTML plans, each beside the bare SQLite read of the entries.
#include "bench/bench.h"
#include "bench/nackt.h"
#include "calendar/frm_kalender.h"
#include "calendar/termine.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "platform/grid/vsgrid.h"
#include "tools/demo/demoschool.h"
#include "tools/demo/nmschema.h"

#include <QDir>
#include <QLabel>
#include <QRandomGenerator>

namespace {

void schuleAnlegen(const QString &ordner)
{
    QDir().mkpath(ordner);
    const QDate erster(2024, 9, 9);
    {
        zdb::Db nm;
        nm.create(ordner + QStringLiteral("/nmdaten04.mdb"));
        nmschema::createGradeManager(nm);
        zdb::WriteTransaction tx(nm);
        for (int i = 0; i < 150; ++i) {
            const QString k = QStringLiteral("%1%2").arg(5 + i / 15).arg(QChar('a' + i % 15));
            nm.exec(QStringLiteral("INSERT INTO Klassen (Klasse) VALUES (?)"), {k});
            for (const char *f : {"D", "M", "E", "Ph", "Sp 1", "Sp 2"})
                nm.exec(QStringLiteral("INSERT INTO Unterricht (Klasse, Fach, Lehrkraft, Archiv) VALUES (?, ?, ?, 0)"),
                        {k, QString::fromLatin1(f), QStringLiteral("L%1").arg(i % 60)});
        }
        nm.exec(QStringLiteral("INSERT INTO Klassen (Klasse) VALUES ('AUS')"));
        tx.commit();
    }
    zdb::Db eigen;
    eigen.create(ordner + QStringLiteral("/Zandrel.mdb"));
    nmschema::createOwnPrepared(eigen);
    schema::DatenbankAktualisieren(eigen, erster);
    QRandomGenerator rnd(4711);
    const char *faecher[] = {"D", "M", "E", "Ph", "Sp", "KF", "so"};
    const QDateTime jetzt(erster.addDays(200), QTime(10, 0));
    zdb::WriteTransaction tx(eigen);
    for (int i = 0; i < 40000; ++i) {
        const int k = int(rnd.bounded(150));
        const QString klasse = QStringLiteral("%1%2").arg(5 + k / 15).arg(QChar('a' + k % 15));
        const QDateTime ein = jetzt.addSecs(-qint64(rnd.bounded(60 * 86400)));
        const bool weg = rnd.bounded(5) == 0;
        eigen.exec(QStringLiteral("INSERT INTO tbl_Termin (Datum, Klasse, Fach, Lehrkraft, nichtInternet, Bemerkung, "
                                  "eingetragenDatum, eingetragenPerson, geloeschtDatum, geloeschtPerson) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {zdb::isoDate(erster.addDays(rnd.bounded(400))), klasse, QString::fromLatin1(faecher[rnd.bounded(7)]),
                    QStringLiteral("L%1").arg(k % 60), rnd.bounded(10) == 0 ? 1 : 0,
                    rnd.bounded(3) == 0 ? QVariant(QStringLiteral("Kapitel %1 Größe").arg(i % 9)) : QVariant(),
                    zdb::isoDateTime(ein), QStringLiteral("L%1").arg(k % 60),
                    weg ? QVariant(zdb::isoDateTime(ein.addSecs(3600))) : QVariant(),
                    weg ? QVariant(QStringLiteral("X")) : QVariant()});
    }
    tx.commit();
    mdl::KalenderErsterTag = erster;
    mdl::KalenderLetzterTag = erster.addDays(399);
    kalender::setUhr([jetzt] { return jetzt; });
}

// The same rows through SQLite alone, on a plain connection kept open as the own database is.
double roheLesung()
{
    bench::Nackt eigen(mdl::dbEigen.path());
    return bench::medianMs([&] { eigen.lesen(QStringLiteral("SELECT * FROM tbl_Termin")); });
}

void planPfade(const QString &ordner)
{
    mdl::HTML_L = ordner + QStringLiteral("/HTML_l.html");
    mdl::HTML_S = ordner + QStringLiteral("/HTML_S.html");
    mdl::HTML_S2 = ordner + QStringLiteral("/HTML_S2.html");
}

// Opening the window (grid filled, ready to paint) and the three plans ("lblHTML"), each a median.
struct Zeiten {
    double laden = 0, plaene = 0;
};
Zeiten fensterUndPlaene()
{
    frm_Kalender w;
    bench::zeigen(w, QSize(1600, 900));
    Zeiten z;
    z.laden = bench::medianMs([&w] {
        bench::bisGemalt(&w, [&w] {
            w.Form_Load();
            w.Form_Resize();
        });
    }, 3);
    z.plaene = bench::medianMs([&w] { bench::klicken(w.lblHTML); }, 3);
    return z;
}

} // namespace

ZBENCH("calendar")
{
    // The big calendar: 150 classes, 400 days, 40,000 entries.
    {
        const QString ordner = QDir(bench::scratchDir()).filePath(QStringLiteral("kalender"));
        schuleAnlegen(ordner);
        mdl::dbEigen.close();
        mdl::dbEigen.open(ordner + QStringLiteral("/Zandrel.mdb"));
        mdl::DatenPfad = ordner + QLatin1Char('/');
        mdl::NMDatei = QStringLiteral("nmdaten04.mdb");
        mdl::NMDateiParameter.clear();
        mdl::Benutzer = QStringLiteral("L7");
        mdl::IstAdmin = false;
        planPfade(ordner);
        const double roh = roheLesung();
        const Zeiten z = fensterUndPlaene();
        bench::report(QStringLiteral("150 classes, 40,000 entries: bare read"), roh, QStringLiteral("ms"));
        bench::report(QStringLiteral("150 classes, 40,000 entries: open window, grid filled"), z.laden,
                      QStringLiteral("ms"));
        bench::report(QStringLiteral("150 classes, 40,000 entries: three plans"), z.plaene, QStringLiteral("ms"));
        bench::aimBelow(QStringLiteral("150 classes, 40,000 entries: three plans (ms)"), z.plaene, 500);
        kalender::setUhr(nullptr);
        mdl::dbEigen.close();
    }
    // The demo school at 1x and 20x (600 classes, 8,000 entries, the school year's days).
    for (const int faktor : {1, 20}) {
        const demo::Result &res = bench::school(faktor);
        const QString was = QStringLiteral("%1x").arg(faktor);
        demo::useFiles(res);
        mdl::dbEigen.close();
        mdl::dbEigen.open(res.ownFile);
        mdl::EinstellungenLaden();
        mdl::Benutzer = QStringLiteral("X");
        mdl::IstAdmin = true;
        planPfade(QDir(bench::scratchDir()).filePath(QStringLiteral("plaene-") + was));
        QDir().mkpath(QDir(bench::scratchDir()).filePath(QStringLiteral("plaene-") + was));
        const double roh = roheLesung();
        const Zeiten z = fensterUndPlaene();
        bench::report(was + QStringLiteral(": bare read of %1 entries").arg(res.entries), roh, QStringLiteral("ms"));
        bench::report(was + QStringLiteral(": open window, grid filled"), z.laden, QStringLiteral("ms"));
        bench::report(was + QStringLiteral(": three plans"), z.plaene, QStringLiteral("ms"));
        mdl::dbEigen.close();
    }
}
