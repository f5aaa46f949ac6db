// Reconciliation with WinSV on the demo school at 1x and 20x: a click on the comparison in the shown
// window through to the paint, beside the program's own ODBC read of WinSV and its read of the grade
// manager (the aim's measure) and a plain SQLite read of the data file; then the click on the
// write-back of about 1,000 differing pupils with the new comparison, on a copy of the files.
#include "bench/bench.h"
#include "bench/nackt.h"

#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/winsvodbc.h"
#include "tools/demo/demoschool.h"
#include "winsv/datenvergleich.h"
#include "winsv/frm_datenabgleich.h"
#include "winsv/rueckschreiben.h"

#include <QDir>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>

namespace {

struct Lesezeiten {
    double odbc = 0, sqlite = 0, nm = 0;
    int winsvZeilen = 0, nmZeilen = 0;
};

// The grade manager's rows of the comparison in plain SQL, without the view's order.
QString nmPlain(const demo::Result &res)
{
    zdb::Db nm;
    nm.open(res.nmFile, zdb::Db::ReadOnly);
    return bench::ohneSortierung(winsv::nmAbfrage(nm));
}

Lesezeiten lesen(const demo::Result &res)
{
    Lesezeiten l;
    const QString plain = nmPlain(res);
    l.odbc = bench::medianMs([&] {
        winsvdb::Connection c(res.winsvFile);
        l.winsvZeilen = c.query(winsv::winsvAbfrage()).rowCount();
    }, 3);
    l.sqlite = bench::medianMs([&] { bench::Nackt(res.winsvFile).lesen(winsv::winsvAbfrage()); }, 3);
    l.nm = bench::medianMs([&] { l.nmZeilen = int(bench::Nackt(res.nmFile).lesen(plain)); }, 3);
    return l;
}

void fensterVorbereiten(frm_Datenabgleich &w, const QString &winsvDatei)
{
    bench::zeigen(w);
    w.optSDDF1_NM->setText(winsvDatei);
    w.optSDDF1_NM->setChecked(true);
}

// The files of a school copied into a folder of their own, so the write-back changes no shared file.
demo::Result kopie(const demo::Result &res, const QString &ordner)
{
    QDir().mkpath(ordner);
    demo::Result k = res;
    for (QString *datei : {&k.nmFile, &k.ownFile, &k.winsvFile}) {
        const QString ziel = QDir(ordner).filePath(QFileInfo(*datei).fileName());
        QFile::remove(ziel);
        QFile::copy(*datei, ziel);
        *datei = ziel;
    }
    return k;
}

int unterschiede(const frm_Datenabgleich &w) { return w.lblUnterschiede->text().section(' ', 3, 3).toInt(); }

} // namespace

ZBENCH("winsv")
{
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (bench::scratchDir() + "/winsv-config").toUtf8());
    msg::setHandler([](const msg::Request &) { return int(msg::Yes); });

    for (int faktor : {1, 20}) {
        const QString x = QStringLiteral(" %1x").arg(faktor);
        const demo::Result &res = bench::school(faktor);
        demo::useFiles(res);
        const Lesezeiten l = lesen(res);
        bench::report("WinSV rows" + x, l.winsvZeilen, "");
        bench::report("grade-manager rows" + x, l.nmZeilen, "");
        bench::report("bare read WinSV through ODBC" + x, l.odbc, "ms");
        bench::report("bare read WinSV, plain SQLite (information)" + x, l.sqlite, "ms");
        bench::report("bare read grade manager" + x, l.nm, "ms");

        frm_Datenabgleich w;
        fensterVorbereiten(w, res.winsvFile);
        // The click in turn with both reads, for the ratio: WinSV through ODBC, as only the ODBC
        // driver reads its file, and the grade manager on a plain connection.
        const QString plain = nmPlain(res);
        const bench::Paar p = bench::paarweise([&] { bench::klicken(w.cmdVergleich); },
                                               [&] {
                                                   winsvdb::Connection c(res.winsvFile);
                                                   c.query(winsv::winsvAbfrage());
                                                   bench::Nackt(res.nmFile).lesen(plain);
                                               },
                                               3);
        const double vergleich = p.ms;
        bench::report("click on the comparison through to the paint" + x, vergleich, "ms");
        bench::report("pairs with differences" + x, unterschiede(w), "");
        bench::report("comparison / (ODBC read + grade-manager read), paired" + x, p.verhaeltnis, "x");
        if (faktor == 20) {
            bench::aimBelow("comparison" + x, vergleich, 2000);
            bench::aimRatio("comparison / (ODBC read + grade-manager read)" + x, p, 2.0);
        }
    }

    // Write-back: 1,000 attending pupils whose town differs in WinSV, on a copy of the 20x files.
    {
        const demo::Result res = kopie(bench::school(20), bench::scratchDir() + "/winsv-rueckschreiben");
        demo::useFiles(res);
        {
            zdb::Db d;
            d.open(res.winsvFile);
            d.exec("UPDATE DSchueler SET ANSCHR1_ORT = ANSCHR1_ORT || ' (neu)' WHERE rowid IN (SELECT rowid FROM "
                   "DSchueler WHERE KLASSE <> 'AUS' AND AUSTR_DATUM IS NULL ORDER BY rowid LIMIT 1000)");
        }
        frm_Datenabgleich w;
        fensterVorbereiten(w, res.winsvFile);
        w.cmdVergleich_Click();
        bench::report("pupils to write back 20x", w.paare().size(), "");
        const double runde = bench::timeMs([&] { bench::klicken(w.cmdAbgleich); });
        bench::report("write-back with the new comparison 20x", runde, "ms");
        bench::report("pairs with differences afterwards 20x", unterschiede(w), "");
        bench::aimBelow("write-back with the new comparison 20x", runde, 3000);
    }
    msg::clearHandler();
    bench::report("peak memory", bench::peakMemoryMiB(), "MiB");
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}
