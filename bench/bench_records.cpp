// Performance-record overview: "Auswahl anzeigen" for one subject and for the whole school (X, "*"),
// until the grid is ready to paint, beside the bare SQLite read of the same rows, at 1x and 20x.
#include "bench/bench.h"

#include "records/frm_lnw.h"
#include "records/lnwabfrage.h"
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"

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

void messen(int faktor)
{
    const QString datei = bench::school(faktor).nmFile;
    const QString x = QStringLiteral("%1x").arg(faktor);
    {
        zdb::Db db;
        db.open(datei, zdb::Db::ReadOnly);
        bench::report(x + ": Unterrichte", db.scalar("SELECT COUNT(*) FROM Unterricht").toDouble(), "");
        bench::report(x + ": Leistungsnachweise", db.scalar("SELECT COUNT(*) FROM LNW").toDouble(), "");
        bench::report(x + ": Noten-Zeilen", db.scalar("SELECT COUNT(*) FROM Noten").toDouble(), "");
    }
    mdl::NMDateiParameter = datei;
    frm_LNW w;
    w.resize(1400, 900);
    struct Fall {
        QString was;
        lnw::KursAbfrage abfrage;
        bool ganzeSchule;
    };
    const QVector<Fall> faelle{
        {"Fach M", *lnw::nachFaechern({{"M", true}}), false},
        {"ganze Schule (X, *)", *lnw::nachLehrern({{"*", true}}), true},
    };
    for (const Fall &f : faelle) {
        const double ms = bench::medianMs([&] { w.LNW_Tabelle_fuellen(f.abfrage); }, 3);
        const int zeilen = w.fg_LNW->rows() - 2;
        zdb::Db db;
        db.open(datei, zdb::Db::ReadOnly);
        const double roh = bench::medianMs([&] {
            nackt(db, f.abfrage.kursSql(), f.abfrage.params);
            nackt(db, f.abfrage.notenSql(false), f.abfrage.params);
            nackt(db, f.abfrage.gewichteSql(false), f.abfrage.params);
        }, 3);
        const QString was = x + ", " + f.was;
        bench::report(was + ": Auswahl anzeigen (" + QString::number(zeilen) + " Zeilen)", ms, "ms");
        bench::report(was + ": nacktes Lesen derselben Zeilen", roh, "ms");
        if (f.ganzeSchule && faktor == 20) {
            bench::aimBelow(was + ": Auswahl anzeigen, ms", ms, 2000);
            bench::aimRatio(was + ": Auswahl anzeigen zum nackten Lesen", ms, roh, 2.0);
        }
    }
    mdl::NMDateiParameter.clear();
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
