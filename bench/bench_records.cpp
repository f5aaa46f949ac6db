// Performance-record overview in the shown window: a click on one subject ("M", by subjects) and on
// "*" (by teachers, the whole school) as "X", through to the finished repaint, beside the bare
// SQLite read of the same rows (courses, grades, weights; no sorting), at 1x and 20x.
#include "bench/bench.h"

#include "records/frm_lnw.h"
#include "records/lnwabfrage.h"
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "tools/demo/demoschool.h"

#include <QRadioButton>

#include <sqlite3.h>

namespace {

// Steps through the statement's rows reading every column as text, the least any reader does.
qint64 nackt(zdb::Db &db, const QString &sql, const zdb::Params &params)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    sqlite3_prepare_v2(db.handle(), u.constData(), int(u.size()), &st, nullptr);
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray t = params[i].toString().toUtf8();
        sqlite3_bind_text(st, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    }
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            bytes += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0);
    sqlite3_finalize(st);
    return bytes;
}

// The row of a list entry, -1 when it is not there.
int zeileVon(const VSGrid *liste, const QString &eintrag)
{
    for (int r = 0; r < liste->rows(); ++r)
        if (liste->textMatrix(r, 0) == eintrag)
            return r;
    return -1;
}

void messen(int faktor)
{
    const demo::Result &res = bench::school(faktor);
    const QString datei = res.nmFile;
    const QString x = QStringLiteral("%1x").arg(faktor);
    {
        zdb::Db db;
        db.open(datei, zdb::Db::ReadOnly);
        bench::report(x + ": Unterrichte", db.scalar("SELECT COUNT(*) FROM Unterricht").toDouble(), "");
        bench::report(x + ": Leistungsnachweise", db.scalar("SELECT COUNT(*) FROM LNW").toDouble(), "");
        bench::report(x + ": Noten-Zeilen", db.scalar("SELECT COUNT(*) FROM Noten").toDouble(), "");
    }
    mdl::NMDatenbankZuruecksetzen();
    demo::useFiles(res);
    mdl::Benutzer = QStringLiteral("X");
    mdl::IstAdmin = true;
    mdl::dbEigen.close();
    mdl::dbEigen.open(res.ownFile);
    frm_LNW w;
    bench::zeigen(w);
    w.formActivate();
    bench::bisGemalt(&w, [] {});
    struct Fall {
        QString was;
        lnw::KursAbfrage abfrage; // what the click shows, for the bare read
        int option;               // 0 by subject, 1 by teacher
        QString eintrag;          // the list entry clicked
        bool ganzeSchule;
    };
    const QVector<Fall> faelle{
        {"Fach M", *lnw::nachFaechern({{"M", true}}), 0, "M", false},
        {"ganze Schule (X, *)", *lnw::nachLehrern({{"*", true}}), 1, "*", true},
    };
    for (const Fall &f : faelle) {
        QRadioButton *option = w.optUnterrichtLehrer[size_t(f.option)];
        bench::klicken(option, QPoint(6, option->height() / 2)); // on the round button
        VSGrid *liste = f.option == 0 ? w.lstFach : w.lstLehrer;
        const int r = zeileVon(liste, f.eintrag);
        if (r < 0) {
            bench::report(x + ", " + f.was + ": entry missing in the list", 0, "");
            continue;
        }
        zdb::Db db;
        db.open(datei, zdb::Db::ReadOnly);
        const bench::Paar p = bench::paarweise([&] { bench::klicken(liste, r, 0); },
                                               [&] {
                                                   nackt(db, bench::ohneSortierung(f.abfrage.kursSql()), f.abfrage.params);
                                                   nackt(db, f.abfrage.notenSql(false), f.abfrage.params);
                                                   nackt(db, f.abfrage.gewichteSql(false), f.abfrage.params);
                                               },
                                               5);
        const int zeilen = w.fg_LNW->rows() - 2;
        const QString was = x + ", " + f.was;
        bench::report(was + ": Klick in der Liste bis gemalt (" + QString::number(zeilen) + " Zeilen)", p.ms, "ms");
        bench::report(was + ": nacktes Lesen derselben Zeilen", p.bareMs, "ms");
        if (f.ganzeSchule && faktor == 20) {
            bench::aimBelow(was + ": Klick bis gemalt, ms", p.ms, 2000);
            bench::aimRatio(was + ": Klick bis gemalt zum nackten Lesen", p, 2.0);
        }
    }
    mdl::dbEigen.close();
    mdl::NMDatenbankZuruecksetzen();
}

} // namespace

ZBENCH("records")
{
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    messen(1);
    messen(20);
    bench::report("Speicher (Spitze)", bench::peakMemoryMiB(), "MiB");
    msg::clearHandler();
}
