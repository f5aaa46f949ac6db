// The absence window's Word documents on a big school (4,000 pupils, 300 teachers, 60,000
// absences in the school year): the class report of the largest class and of the teachers'
// row, a day list of 400 persons and the exemption letter from the demo template.
#include "absence/frm_fehltage_word.h"
#include "bench/bench.h"
#include "core/mdl_zandrel.h"
#include "platform/msg.h"
#include "tools/demo/demoschool.h"

#include <QDir>

ZBENCH("word")
{
    demo::Options o;
    o.out = QDir(bench::scratchDir()).filePath(QStringLiteral("word"));
    o.pupils = 4000;
    o.teachers = 300;
    o.classes = 140;
    o.absences = 60000;
    o.entries = 0;
    const demo::Result res = demo::generate(o);
    demo::useFiles(res);
    mdl::dbEigen.open(res.ownFile);
    qputenv("ZANDREL_HOME", res.programFolder.toUtf8());
    qputenv("ZANDREL_NO_OPEN", "1");
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });

    zdb::Db nm;
    nm.open(res.nmFile);
    const QString klasse = nm.scalar(QStringLiteral("SELECT Klasse FROM Schüler WHERE Klasse <> 'AUS' GROUP BY Klasse "
                                                    "ORDER BY COUNT(*) DESC, Klasse LIMIT 1")).toString();
    nm.close();
    const QDate start = res.schoolYearStart, ende = start.addYears(1).addDays(-1);

    for (const QString &k : {klasse, QStringLiteral("LK")}) {
        QVector<absence::BerichtsPerson> personen;
        docx::Dokument d;
        const double ms = bench::timeMs([&] {
            mdl::NMDatenbankOeffnen();
            personen = absence::berichtsPersonen(mdl::dbNM(), k);
            mdl::NMDatenbankSchliessen();
            d = absence::klassenberichtDokument(mdl::dbEigen, {k, QString()}, personen, start, ende, false, res.today);
        });
        bench::report(QStringLiteral("class report ") + k + QStringLiteral(" (") + QString::number(personen.size()) +
                          QStringLiteral(" persons, read and built)"),
                      ms, QStringLiteral("ms"));
        bench::report(QStringLiteral("class report ") + k + QStringLiteral(" saved"),
                      bench::timeMs([&] { absence::wordSpeichern(d, absence::wordPfad(QStringLiteral("bench ") + k)); }),
                      QStringLiteral("ms"));
    }

    QVector<absence::TageslistenZeile> zeilen(400);
    for (int i = 0; i < zeilen.size(); ++i) {
        zeilen[i].klasse = QStringLiteral("%1a").arg(5 + i / 40);
        zeilen[i].name = QStringLiteral("Name %1, Vorname").arg(i);
        zeilen[i].grund = QStringLiteral("kr");
    }
    absence::TageslistenOptionen opt;
    opt.grund = true;
    bench::report(QStringLiteral("day list of 400 persons, built and saved"), bench::timeMs([&] {
                      const docx::Dokument d =
                          absence::tageslisteDokument(QStringLiteral("05.12.2016"), zeilen, opt, nullptr);
                      absence::wordSpeichern(d, absence::wordPfad(QStringLiteral("bench Tagesliste")));
                  }),
                  QStringLiteral("ms"));

    bench::report(QStringLiteral("exemption letter from the template"), bench::timeMs([&] {
                      absence::UnterrichtsbefreiungErstellen({QStringLiteral("Bauer, Eva"), klasse, QString(),
                                                              QStringLiteral("05.12.2016")},
                                                             nullptr);
                  }),
                  QStringLiteral("ms"));
    msg::clearHandler();
    mdl::dbEigen.close();
    qunsetenv("ZANDREL_HOME");
}
