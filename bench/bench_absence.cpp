// The absence window on a big school: 4,000 pupils, 300 teachers, 200,000 absences over ten school years.
// Class click on the largest class, the teachers' row "LK" and the search with a single blank, each
// beside the bare SQLite read of the same rows.
#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "absence/personensuche.h"
#include "bench/bench.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "tools/demo/demoschool.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QRandomGenerator>

namespace {

struct GrosseSchule {
    demo::Result res;
    QString groessteKlasse;
};

GrosseSchule erzeugen()
{
    GrosseSchule g;
    demo::Options o;
    o.out = QDir(bench::scratchDir()).filePath(QStringLiteral("fehltage"));
    o.pupils = 4000;
    o.teachers = 300;
    o.classes = 140;
    o.absences = 0;
    o.entries = 0;
    g.res = demo::generate(o);

    zdb::Db nm;
    nm.open(g.res.nmFile);
    g.groessteKlasse = nm.scalar(QStringLiteral("SELECT Klasse FROM Schüler WHERE Klasse <> 'AUS' GROUP BY Klasse "
                                                "ORDER BY COUNT(*) DESC, Klasse LIMIT 1")).toString();
    QStringList ids;
    nm.forEach(QStringLiteral("SELECT SchülerNr FROM Schüler UNION ALL SELECT Kürzel FROM Lehrkräfte"), {},
               [&](const QVariantList &r) {
                   ids << r[0].toString();
                   return true;
               });
    nm.close();

    // Ten school years back from the current one, 20,000 records each.
    zdb::Db eigen;
    eigen.open(g.res.ownFile);
    eigen.exec(QStringLiteral("DELETE FROM tbl_Fehltage"));
    QRandomGenerator rnd(4711);
    const QDate beginn(QDate::currentDate().month() >= 8 ? QDate::currentDate().year() : QDate::currentDate().year() - 1,
                       8, 1);
    const char *codes[] = {"kr", "kr", "kr", "bf", "ab", "un"};
    zdb::WriteTransaction tx(eigen);
    QSet<QString> benutzt;
    for (int jahr = 0; jahr < 10; ++jahr) {
        const QDate start = beginn.addYears(-jahr);
        int n = 0;
        while (n < 20000) {
            const QString id = ids[int(rnd.bounded(qsizetype(ids.size())))];
            const QDate tag = start.addDays(rnd.bounded(365));
            const QString key = id + tag.toString(Qt::ISODate);
            if (tag.dayOfWeek() > 5 || benutzt.contains(key))
                continue;
            benutzt << key;
            eigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, zaehlt, entschuldigt) "
                                      "VALUES (?, ?, ?, '1,0', 1)"),
                       {id, zdb::isoDate(tag), QString::fromLatin1(codes[rnd.bounded(6)])});
            ++n;
        }
    }
    tx.commit();
    return g;
}

// The same rows through SQLite alone: the persons, then their absences of the shown year.
double bareRead(const absence::Abfrage &personen)
{
    return bench::timeMs([&] {
        zdb::Db nm;
        nm.open(mdl::nmDateiPfad());
        QJsonArray ids;
        nm.forEach(personen.sql, personen.params, [&](const QVariantList &r) {
            ids.append(r[0].toString());
            return true;
        });
        nm.close();
        const QDate von = absence::Schuljahr::beginn(QDate::currentDate());
        int n = 0;
        mdl::dbEigen.forEach(QStringLiteral("SELECT S_Id, Fehltag, Grund FROM tbl_Fehltage WHERE Fehltag >= ? "
                                            "AND Fehltag < ? AND S_Id IN (SELECT value FROM json_each(?))"),
                             {zdb::isoDate(von), zdb::isoDate(von.addDays(376)),
                              QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact))},
                             [&](const QVariantList &) {
                                 ++n;
                                 return true;
                             });
    });
}

void figure(const QString &what, double ms, double bare)
{
    bench::report(what, ms, QStringLiteral("ms"));
    bench::report(what + QStringLiteral(" (bare SQLite read)"), bare, QStringLiteral("ms"));
    bench::report(what + QStringLiteral(" / bare read"), bare > 0 ? ms / bare : 0, QStringLiteral("x"));
}

} // namespace

ZBENCH("absence")
{
    const GrosseSchule g = erzeugen();
    mdl::NMDatenbankZuruecksetzen();
    demo::useFiles(g.res);
    mdl::FerienVorbereiten();
    mdl::Benutzer = QStringLiteral("X");
    mdl::dbEigen.open(g.res.ownFile);

    frm_Fehltage f;
    f.resize(1600, 1000);
    f.show();
    bench::report(QStringLiteral("window load (class list, person table)"), bench::timeMs([&] {
                      f.formLoad();
                      f.formActivate();
                  }),
                  QStringLiteral("ms"));

    auto zeile = [&](const QString &k) {
        for (int r = 1; r < f.fgKlassen->rows(); ++r)
            if (f.fgKlassen->textMatrix(r, 0) == k)
                return r;
        return -1;
    };
    auto klick = [&](const QString &k) {
        return bench::timeMs([&] {
            f.fgKlassen->select(zeile(k), 0);
            emit f.fgKlassen->click();
        });
    };

    klick(g.groessteKlasse); // warm the caches once
    const double klasse = klick(g.groessteKlasse);
    figure(QStringLiteral("class click ") + g.groessteKlasse + QStringLiteral(" (") +
               QString::number(f.fgSchueler->rows() - 4) + QStringLiteral(" persons)"),
           klasse, bareRead(absence::Klassenliste::personenDerKlasse(g.groessteKlasse)));

    const double lk = klick(QStringLiteral("LK"));
    figure(QStringLiteral("class click LK (") + QString::number(f.fgSchueler->rows() - 4) + QStringLiteral(" persons)"), lk,
           bareRead(absence::Klassenliste::personenDerKlasse(QStringLiteral("LK"))));

    const double suche = bench::timeMs([&] { f.txtSuche->setText(QStringLiteral(" ")); });
    figure(QStringLiteral("search \" \" (") + QString::number(f.fgSchueler->rows() - 4) + QStringLiteral(" persons)"),
           suche, bareRead(absence::Personensuche::abfrage(QStringLiteral(" "))));

    const double person = bench::timeMs([&] { f.AbsenzenDerPersonAnzeigen(f.fgSchueler->textMatrix(4, 2)); });
    bench::report(QStringLiteral("absence list of one person"), person, QStringLiteral("ms"));
    bench::report(QStringLiteral("peak memory"), bench::peakMemoryMiB(), QStringLiteral("MiB"));
    mdl::dbEigen.close();
}
