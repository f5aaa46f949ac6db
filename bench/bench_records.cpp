// Performance-record overview on a big school: about 9,000 courses, 40,000 tests and 240,000
// pupil grade rows. "Auswahl anzeigen" for one subject and for the whole school, until the grid
// is ready to paint, beside the bare SQLite read of the same rows; on the demo file (with its
// indexes) and on a copy without indexes.
#include "bench/bench.h"

#include "records/frm_lnw.h"
#include "records/lnwabfrage.h"
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "tools/demo/demoschool.h"

#include <QFile>
#include <sqlite3.h>

namespace {

// The generated school, topped up to the figures of the overview's target school.
QString grosseSchule()
{
    demo::Options o;
    o.out = bench::scratchDir() + QStringLiteral("/lnw");
    o.courses = 9000;
    o.pupils = 9000;
    o.classes = 300;
    o.teachers = 300;
    const demo::Result r = demo::generate(o);
    zdb::Db db;
    db.open(r.nmFile);
    zdb::WriteTransaction tx(db);
    // More tests: Extemporalien 3.. of each course until 40,000.
    for (int spalte = 12; spalte <= 17; ++spalte) {
        const qint64 fehlt = 40000 - db.scalar("SELECT COUNT(*) FROM LNW").toLongLong();
        if (fehlt <= 0)
            break;
        db.exec("INSERT INTO LNW (UIndex, Spalte, Notenart, Bemerkung, Zeit, Geschrieben, Abgabe, LfdNr) "
                "SELECT [Index], ?, 'Ex', 'nachgetragen', 20, '2015-03-10', "
                "CASE WHEN [Index] % 3 = 0 THEN '2015-03-20' END, ? FROM Unterricht "
                "WHERE NOT EXISTS (SELECT 1 FROM LNW L WHERE L.UIndex = Unterricht.[Index] AND L.Spalte = ?) "
                "ORDER BY [Index] LIMIT ?",
                {spalte, spalte, spalte, fehlt});
    }
    // More pupil rows: copies of existing ones until 240,000.
    const qint64 noten = db.scalar("SELECT COUNT(*) FROM Noten").toLongLong();
    if (noten < 240000) {
        QStringList felder = db.columnsOf("Noten");
        felder.removeAll("ID");
        QStringList quelle = felder;
        quelle.replace(quelle.indexOf("SchülerNr"), "SchülerNr + 100000");
        db.exec("INSERT INTO Noten (" + felder.join(", ") + ") SELECT " + quelle.join(", ")
                    + " FROM Noten ORDER BY ID LIMIT ?",
                {240000 - noten});
    }
    tx.commit();
    return r.nmFile;
}

QString ohneIndex(const QString &datei)
{
    const QString kopie = bench::scratchDir() + QStringLiteral("/ohne_index.mdb");
    QFile::remove(kopie);
    QFile::copy(datei, kopie);
    zdb::Db db;
    db.open(kopie);
    const zdb::Result idx = db.query("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
    for (const QVariantList &row : idx.rows)
        db.exec("DROP INDEX " + zdb::quoteName(row[0].toString()));
    return kopie;
}

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

void messen(const QString &datei, const QString &name)
{
    mdl::NMDateiParameter = datei;
    frm_LNW w;
    w.resize(1400, 900);
    struct Fall {
        QString was;
        lnw::KursAbfrage abfrage;
    };
    const QVector<Fall> faelle{
        {"Fach M", *lnw::nachFaechern({{"M", true}})},
        {"ganze Schule (X, *)", *lnw::nachLehrern({{"*", true}})},
    };
    for (const Fall &f : faelle) {
        w.LNW_Tabelle_fuellen(f.abfrage); // warm the file cache
        const double ms = bench::timeMs([&] { w.LNW_Tabelle_fuellen(f.abfrage); });
        const int zeilen = w.fg_LNW->rows() - 2;
        zdb::Db db;
        db.open(datei);
        const double roh = bench::timeMs([&] {
            nackt(db, f.abfrage.kursSql(), f.abfrage.params);
            nackt(db, f.abfrage.notenSql(false), f.abfrage.params);
            nackt(db, f.abfrage.gewichteSql(false), f.abfrage.params);
        });
        bench::report(name + ", " + f.was + ": Auswahl anzeigen (" + QString::number(zeilen) + " Zeilen)", ms, "ms");
        bench::report(name + ", " + f.was + ": nacktes Lesen derselben Zeilen", roh, "ms");
        bench::report(name + ", " + f.was + ": Verhältnis", roh > 0 ? ms / roh : 0, "x");
    }
    mdl::NMDateiParameter.clear();
}

} // namespace

ZBENCH("records")
{
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    const QString datei = grosseSchule();
    {
        zdb::Db db;
        db.open(datei);
        bench::report("Unterrichte", db.scalar("SELECT COUNT(*) FROM Unterricht").toDouble(), "");
        bench::report("Leistungsnachweise", db.scalar("SELECT COUNT(*) FROM LNW").toDouble(), "");
        bench::report("Noten-Zeilen", db.scalar("SELECT COUNT(*) FROM Noten").toDouble(), "");
    }
    messen(datei, "Demo-Datei");
    messen(ohneIndex(datei), "Kopie ohne Index");
    bench::report("Speicher (Spitze)", bench::peakMemoryMiB(), "MiB");
    msg::clearHandler();
}
