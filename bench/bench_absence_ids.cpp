// The absence window on a school with many exotic ids, at 1x and 20x: a third of the teachers carry
// an abbreviation with ı, ß, ſ, the Kelvin sign or a ligature, and their records, stored in several
// spellings, make up 30 % of all absence records. Timed: a click on class 5a (pupils only) and on the
// teachers' class "LK", each through to the finished repaint, and the filling of the year's two
// Excel lists. The files are copies of the demo
// school's, so the other figures keep theirs.
#include "absence/excellisten.h"
#include "absence/frm_fehltage.h"
#include "bench/bench.h"
#include "bench/fehltage.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/xlsxbook.h"
#include "tools/demo/demoschool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <map>

namespace {

const char16_t Exotisch[] = {u'\u0131', u'\u00DF', u'\u017F', u'\u212A', u'\uFB01'};

// Copies of the school's files in a folder of their own, with the teachers and records made exotic.
demo::Result exotischeSchule(int faktor)
{
    demo::Result res = bench::school(faktor);
    const QString ordner = bench::scratchDir() + QStringLiteral("/exotisch%1").arg(faktor);
    QDir().mkpath(ordner);
    auto kopie = [&](QString &pfad) {
        if (pfad.isEmpty() || !QFile::exists(pfad))
            return;
        const QString ziel = ordner + QLatin1Char('/') + QFileInfo(pfad).fileName();
        QFile::remove(ziel);
        QFile::copy(pfad, ziel);
        pfad = ziel;
    };
    kopie(res.nmFile);
    kopie(res.ownFile);
    kopie(res.holidayFile);

    zdb::Db nm, eigen;
    nm.open(res.nmFile);
    eigen.open(res.ownFile);
    QStringList neu;
    {
        zdb::WriteTransaction tx(nm);
        const zdb::Result r = nm.query(QStringLiteral("SELECT rowid, Kürzel FROM Lehrkräfte ORDER BY rowid"));
        for (int i = 0; i < r.rowCount(); ++i) {
            if (i % 3 != 0 || r.value(i, 1).toString().size() < 2)
                continue;
            const QString k = r.value(i, 1).toString().left(2) + QChar(Exotisch[(i / 3) % 5]) + QString::number(i);
            nm.exec(QStringLiteral("UPDATE Lehrkräfte SET Kürzel = ? WHERE rowid = ?"), {k, r.value(i, 0)});
            neu << k;
        }
        tx.commit();
    }
    // Records of the exotic teachers in several spellings until they are 30 % of all records.
    const qint64 vorher = eigen.scalar(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")).toLongLong();
    const qint64 dazu = vorher * 3 / 7;
    zdb::WriteTransaction tx(eigen);
    for (qint64 n = 0; n < dazu && !neu.isEmpty(); ++n) {
        const QString &k = neu[int(n % neu.size())];
        const QString formen[] = {k, k.toUpper(), k.toLower(), QLatin1Char(' ') + k};
        const QDate tag = res.schoolYearStart.addDays(int((n / neu.size()) % 300));
        eigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, zaehlt, entschuldigt) "
                                  "VALUES (?, ?, 'kr', '1,0', 0)"),
                   {formen[n % 4], zdb::isoDate(tag)});
    }
    tx.commit();
    return res;
}

struct Messung {
    double klasse = 0, lk = 0, listen = 0;
    int klassePersonen = 0, lkPersonen = 0;
};

Messung messen(int faktor)
{
    const demo::Result res = exotischeSchule(faktor);
    bench::fehltageEinrichten(res);

    Messung m;
    auto f = std::make_unique<frm_Fehltage>();
    f->resize(1600, 1000);
    f->show();
    f->formLoad();
    f->formActivate();
    (void)QTest::qWaitForWindowExposed(f.get());
    auto zeile = [&](const QString &k) {
        for (int r = 1; r < f->fgKlassen->rows(); ++r)
            if (f->fgKlassen->textMatrix(r, 0) == k)
                return r;
        return -1;
    };
    const int runs = faktor == 1 ? 9 : 5;
    m.klasse = bench::medianMs([&] { bench::klicken(f->fgKlassen, zeile(QStringLiteral("5a")), 0); }, runs);
    m.klassePersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;
    m.lk = bench::medianMs([&] { bench::klicken(f->fgKlassen, zeile(QStringLiteral("LK")), 0); }, runs);
    m.lkPersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;
    // Both Excel lists of the school year, filled (not saved).
    frm_Fehltage::PersonenAktualisieren();
    const QDate von = res.schoolYearStart, bis = von.addYears(1).addDays(-1);
    m.listen = bench::medianMs(
        [&] {
            xlsx::Workbook a, b;
            absence::excellisten::unentschuldigtFuellen(mdl::dbEigen, von, bis, *f->fgKlassen, a);
            absence::excellisten::vieleFehltageFuellen(mdl::dbEigen, von, bis, 5, QString(), QString(), b);
        },
        3);
    f.reset();
    frm_Fehltage::setHeuteFuerTests({});
    mdl::dbEigen.close();
    return m;
}

} // namespace

ZBENCH("absence-ids")
{
    std::map<int, Messung> m;
    for (int faktor : {1, 20}) {
        const Messung &x = m[faktor] = messen(faktor);
        const QString f = QStringLiteral(" %1x, exotic ids").arg(faktor);
        bench::report(QStringLiteral("class click 5a, %1 persons").arg(x.klassePersonen) + f, x.klasse,
                      QStringLiteral("ms"));
        bench::report(QStringLiteral("class click LK, %1 persons").arg(x.lkPersonen) + f, x.lk, QStringLiteral("ms"));
        bench::report(QStringLiteral("the year's two Excel lists filled") + f, x.listen, QStringLiteral("ms"));
    }
    bench::aimRatio(QStringLiteral("class click 5a 20x / 1x, exotic ids"), m[20].klasse, m[1].klasse, 3);
    bench::aimBelow(QStringLiteral("class click LK 20x, exotic ids (ms)"), m[20].lk, 150);
}
