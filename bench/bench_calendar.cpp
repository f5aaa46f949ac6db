// The exam calendar on a big school: 150 classes, a 400-day period, 40,000 entries.
// Opening the window (grid filled, ready to paint) and writing the three HTML plans, each beside
// the bare SQLite read of the entries.
#include "bench/bench.h"
#include "calendar/frm_kalender.h"
#include "calendar/termine.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "platform/grid/vsgrid.h"
#include "tools/demo/nmschema.h"

#include <QDir>
#include <QRandomGenerator>
#include <algorithm>

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

ZBENCH("calendar")
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
    mdl::HTML_L = ordner + QStringLiteral("/HTML_l.html");
    mdl::HTML_S = ordner + QStringLiteral("/HTML_S.html");
    mdl::HTML_S2 = ordner + QStringLiteral("/HTML_S2.html");

    std::vector<double> roh, laden, plaene;
    for (int i = 0; i < 5; ++i) {
        roh.push_back(bench::timeMs([] {
            int n = 0;
            mdl::dbEigen.forEach(QStringLiteral("SELECT * FROM tbl_Termin"), {}, [&n](const QVariantList &) {
                ++n;
                return true;
            });
        }));
        frm_Kalender w;
        w.resize(1600, 900);
        laden.push_back(bench::timeMs([&w] {
            w.Form_Load();
            w.Form_Resize();
        }));
        if (i == 0)
            bench::report(QStringLiteral("grid rows x columns"), w.fgKalender->rows() * 1000 + w.fgKalender->cols(),
                          QStringLiteral("(rows*1000+cols)"));
        if (i < 3)
            plaene.push_back(bench::timeMs([&w] { w.lblHTML_Click(); }));
    }
    const double r = median(roh), l = median(laden), p = median(plaene);
    bench::report(QStringLiteral("bare read of 40,000 entries"), r, QStringLiteral("ms"));
    bench::report(QStringLiteral("open window, grid filled (limit 300)"), l, QStringLiteral("ms"));
    bench::report(QStringLiteral("open window / bare read"), l / r, QStringLiteral("x"));
    bench::report(QStringLiteral("write three plans (limit 1000)"), p, QStringLiteral("ms"));
    bench::report(QStringLiteral("three plans / bare read"), p / r, QStringLiteral("x"));
    kalender::setUhr(nullptr);
    mdl::dbEigen.close();
}
