// Pupil-to-course overview, shown: one mouse click on a class (three reads and the grid) through to
// the finished paint at 1x and 20x, where the classes have the same size, beside the bare SQLite read
// of the class's rows.
#include "bench/bench.h"
#include "bench/nackt.h"

#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "records/frm_unterrichtbearbeiten.h"

#include <QCoreApplication>
#include <QListWidget>

namespace {

// Pupils, courses and current grade rows of one class with plain SQLite calls.
void nackt(bench::Nackt &db, const QString &klasse)
{
    for (const char *sql : {
             "SELECT SchülerNr, Name, Vorname, Ausbildungsrichtung, Geschlecht FROM Schüler WHERE Klasse = ?1",
             "SELECT \"Index\", Fach, Lehrkraft, AnzStd FROM Unterricht WHERE Klasse = ?1",
             "SELECT SchülerNr, UIndex FROM Noten WHERE UIndex IN (SELECT \"Index\" FROM Unterricht WHERE Klasse = ?1) "
             "AND Archiv = 0"})
        db.lesen(QString::fromUtf8(sql), {klasse});
}

// Mean milliseconds of one class click over up to 30 classes spread over the list.
double messen(int faktor)
{
    const demo::Result &schule = bench::school(faktor);
    const QString x = QStringLiteral("%1x").arg(faktor);
    mdl::NMDateiParameter = schule.nmFile;
    frm_UnterrichtBearbeiten w;
    bench::zeigen(w);
    bench::bisGemalt(&w, [&] { w.Form_Load(); });
    QVector<int> reihen;
    const int n = w.lstKlassen->count();
    for (int i = 0; i < qMin(n, 30); ++i)
        reihen << i * n / qMin(n, 30);
    int schueler = 0;
    const double ms = bench::medianMs([&] {
        schueler = 0;
        for (int i : reihen) {
            QListWidgetItem *item = w.lstKlassen->item(i);
            w.lstKlassen->scrollToItem(item);
            QCoreApplication::processEvents();
            bench::klicken(w.lstKlassen->viewport(), w.lstKlassen->visualItemRect(item).center());
            schueler += w.fg->rows() - 4;
        }
    }, 5) / qMax(1, int(reihen.size()));
    const double roh = bench::medianMs([&] {
        for (int i : reihen) {
            bench::Nackt db(schule.nmFile); // opened for each click, as the window opens it
            nackt(db, w.lstKlassen->item(i)->text());
        }
    }, 5) / qMax(1, int(reihen.size()));
    bench::report(x + QStringLiteral(": ein Klassenklick, Mittel über %1 Klassen (im Mittel %2 Schüler)")
                          .arg(reihen.size()).arg(double(schueler) / qMax(1, int(reihen.size())), 0, 'f', 1),
                  ms, "ms");
    bench::report(x + ": nacktes Lesen derselben Zeilen", roh, "ms");
    mdl::NMDatenbankZuruecksetzen();
    mdl::NMDateiParameter.clear();
    return ms;
}

} // namespace

ZBENCH("zuordnungen")
{
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    const double ms1 = messen(1);
    const double ms20 = messen(20);
    bench::aimRatio("20x-Klassenklick zum 1x-Klassenklick (gleiche Klassengröße)", ms20, ms1, 3.0);
    msg::clearHandler();
}
