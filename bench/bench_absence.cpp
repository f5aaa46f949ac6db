// The absence window, shown, on the demo school at 1x and 20x, each through to the finished repaint:
// opening the window, a mouse click on a class of the same size, a click on an absence cell, one
// person's absence list, a click on "Überblick", typing a single blank into the search box and the
// fourth letter of a name, each beside the bare read of the same rows (without the view's sorting)
// on plain SQLite connections; the grade manager's is opened for the read, as the window opens it.
#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "absence/personensuche.h"
#include "absence/schuljahr.h"
#include "bench/bench.h"
#include "bench/fehltage.h"
#include "bench/nackt.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"
#include "tools/demo/demoschool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <map>
#include <sqlite3.h>

namespace {

constexpr int Klassengroesse = 27;

struct Messung {
    double laden = 0, ladenBar = 0;
    double klasse = 0, klasseBar = 0;
    int klassePersonen = 0;
    double zelle = 0, zelleBar = 0;
    double person = 0, personBar = 0;
    double ueberblick = 0;
    bench::Paar suche, name;
    int suchePersonen = 0, namePersonen = 0;
    QString getippt;
};

// The class whose size is nearest to Klassengroesse (the first of equal ones).
QString klasseDerGroesse(zdb::Db &nm)
{
    return nm.scalar(QStringLiteral("SELECT Klasse FROM Schüler WHERE Klasse NOT LIKE 'AUS%' GROUP BY Klasse "
                                    "ORDER BY abs(COUNT(*) - ?), Klasse LIMIT 1"),
                     {Klassengroesse})
        .toString();
}

// The persons of a plain statement over the grade manager, then their absences of the shown year:
// their ids as a list for few of them, the year's records as one range for the whole school; plain
// statements, as SQLite plans them.
int bare(bench::Nackt &eigen, const QString &personenSql, const QVariantList &params, const QDate &heute,
         bool ganzesJahr = false)
{
    QJsonArray ids;
    {
        bench::Nackt nm(mdl::nmDateiPfad());
        nm.lesen(personenSql, params, [&](sqlite3_stmt *st) {
            ids.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))));
        });
    }
    const QDate von = absence::Schuljahr::beginn(heute);
    const QVariantList tage{zdb::isoDate(von), zdb::isoDate(von.addDays(absence::Schuljahr::Tage))};
    if (ganzesJahr)
        return int(eigen.lesen(QStringLiteral("SELECT S_Id, Fehltag, Grund FROM tbl_Fehltage "
                                              "WHERE Fehltag >= ?1 AND Fehltag < ?2"),
                               tage));
    return int(eigen.lesen(QStringLiteral("SELECT S_Id, Fehltag, Grund FROM tbl_Fehltage WHERE S_Id IN "
                                          "(SELECT value FROM json_each(?3)) AND Fehltag >= ?1 AND Fehltag < ?2"),
                           tage + QVariantList{QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact))}));
}

const QString klassenPersonen = QStringLiteral("SELECT SchülerNr, Klasse, Name, Vorname FROM Schüler "
                                               "WHERE trim(Klasse) = ?1 COLLATE NOCASE");

int barePerson(bench::Nackt &eigen, const QString &id)
{
    return int(eigen.lesen(QStringLiteral("SELECT * FROM tbl_Fehltage WHERE S_Id = ?1"), {id}));
}

// Classes with their teachers and every person of the school.
void bareLaden()
{
    bench::Nackt nm(mdl::nmDateiPfad());
    nm.lesen(QStringLiteral("SELECT Klasse, Klassenleiter FROM Klassen"));
    nm.lesen(QStringLiteral("SELECT Kürzel, Name, Vorname FROM Lehrkräfte"));
    nm.lesen(QStringLiteral("SELECT SchülerNr, Klasse, Name, Vorname FROM Schüler"));
}

// The first four letters of the most frequent surname that begins with four ASCII letters.
QString haeufigerName(const QString &datei)
{
    QString name;
    bench::Nackt(datei).lesen(QStringLiteral("SELECT substr(Name, 1, 4) FROM Schüler WHERE Name GLOB "
                                             "'[A-Za-z][a-z][a-z][a-z]*' GROUP BY 1 ORDER BY count(*) DESC, 1 LIMIT 1"),
                              {}, [&](sqlite3_stmt *st) {
                                  name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
                              });
    return name;
}

Messung messen(int faktor)
{
    const demo::Result &res = bench::school(faktor);
    bench::fehltageEinrichten(res);
    const QDate heute = frm_Fehltage::heute();

    Messung m;
    QString klasse;
    {
        zdb::Db nm;
        nm.open(res.nmFile);
        klasse = klasseDerGroesse(nm);
    }
    const int runs = faktor == 1 ? 9 : 5;
    bench::Nackt eigen(res.ownFile); // open all the time, as the window's own database is

    std::unique_ptr<frm_Fehltage> f;
    // From the new window to the painted class list, as the menu opens it.
    std::vector<double> laden;
    for (int i = 0; i < 4; ++i) {
        f.reset();
        QCoreApplication::processEvents();
        laden.push_back(bench::timeMs([&] {
            f = std::make_unique<frm_Fehltage>();
            f->resize(1600, 1000);
            bench::bisGemalt(f.get(), [&] {
                f->show();
                f->formLoad();
                f->formActivate();
            });
        }));
    }
    std::sort(laden.begin() + 1, laden.end()); // the first is the warm-up
    m.laden = laden[2];
    (void)QTest::qWaitForWindowExposed(f.get()); // only settles the window before the clicks
    m.ladenBar = bench::medianMs(bareLaden, runs);

    auto zeile = [&](const QString &k) {
        for (int r = 1; r < f->fgKlassen->rows(); ++r)
            if (f->fgKlassen->textMatrix(r, 0) == k)
                return r;
        return -1;
    };
    auto klick = [&] { bench::klicken(f->fgKlassen, zeile(klasse), 0); };
    m.klasse = bench::medianMs(klick, runs);
    m.klassePersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;
    m.klasseBar = bench::medianMs([&] { bare(eigen, klassenPersonen, {klasse}, heute); }, runs);

    // The person of the shown class with the most absences, on the day of one of them.
    int zr = -1, zc = -1, meiste = -1;
    for (int r = absence::Fehltagekalender::KopfZeilen; r < f->fgSchueler->rows(); ++r) {
        int n = 0, c1 = -1;
        for (int c = absence::Schuljahr::ErsteTagSpalte; c < f->fgSchueler->cols(); ++c)
            if (!f->fgSchueler->textMatrix(r, c).isEmpty()) {
                ++n;
                c1 = c;
            }
        if (n > meiste) {
            meiste = n;
            zr = r;
            zc = c1;
        }
    }
    const QString id = f->fgSchueler->textMatrix(zr, 2);
    m.zelle = bench::medianMs([&] { bench::klicken(f->fgSchueler, zr, zc); }, runs);
    const QDate tag = vt::parseDate(f->fgSchueler->textMatrix(3, zc));
    m.zelleBar = bench::medianMs(
        [&] {
            barePerson(eigen, id);
            bench::Nackt(mdl::nmDateiPfad()).lesen(QStringLiteral("SELECT * FROM Adressen WHERE SchülerNr = ?1"), {id});
            eigen.lesen(QStringLiteral("SELECT S_Id, Grund, Bemerkung FROM tbl_Fehltage WHERE Fehltag >= ?1 "
                                       "AND Fehltag < ?2"),
                        {zdb::isoDate(tag), zdb::isoDate(tag.addDays(1))});
        },
        runs);
    m.person = bench::medianMs([&] { bench::bisGemalt(f.get(), [&] { f->AbsenzenDerPersonAnzeigen(id); }); }, runs);
    m.personBar = bench::medianMs([&] { barePerson(eigen, id); }, runs);

    klick();
    m.ueberblick = bench::medianMs([&] { bench::klicken(f->cmdUeberblick); }, runs);

    // Typing the blank into the emptied search box; the search's statement is plain SQL.
    const QString suchSql = bench::ohneSortierung(absence::Personensuche::abfrage(QStringLiteral(" ")).sql);
    auto suchParams = [](const QString &t) { return absence::Personensuche::abfrage(t).params; };
    m.suche = bench::paarweise(
        [&] {
            f->txtSuche->setText(QString());
            bench::bisGemalt(f.get(), [&] { QTest::keyClick(f->txtSuche, Qt::Key_Space); });
        },
        [&] { bare(eigen, suchSql, suchParams(QStringLiteral(" ")), heute, true); }, 5);
    m.suchePersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;

    // The fourth letter of a name typed: the first three start nothing.
    m.getippt = haeufigerName(res.nmFile);
    m.name = bench::paarweise(
        [&] {
            f->txtSuche->setText(m.getippt.left(3));
            bench::bisGemalt(f.get(), [&] { QTest::keyClicks(f->txtSuche, m.getippt.mid(3, 1)); });
        },
        [&] { bare(eigen, suchSql, suchParams(m.getippt), heute); }, runs);
    m.namePersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;
    f.reset();
    frm_Fehltage::setHeuteFuerTests({});
    mdl::dbEigen.close();
    return m;
}

void zeigen(const QString &was, int faktor, double ms, double bar)
{
    const QString x = QStringLiteral(" %1x").arg(faktor);
    bench::report(was + x, ms, QStringLiteral("ms"));
    bench::report(was + x + QStringLiteral(" (bare SQLite read)"), bar, QStringLiteral("ms"));
}

} // namespace

ZBENCH("absence")
{
    std::map<int, Messung> m;
    for (int faktor : {1, 20}) {
        const Messung &x = m[faktor] = messen(faktor);
        zeigen(QStringLiteral("opening the window"), faktor, x.laden, x.ladenBar);
        zeigen(QStringLiteral("class click, %1 persons").arg(x.klassePersonen), faktor, x.klasse, x.klasseBar);
        zeigen(QStringLiteral("click on an absence cell"), faktor, x.zelle, x.zelleBar);
        zeigen(QStringLiteral("absence list of one person"), faktor, x.person, x.personBar);
        zeigen(QStringLiteral("period overview of the class"), faktor, x.ueberblick, x.klasseBar);
        zeigen(QStringLiteral("search \" \", %1 persons").arg(x.suchePersonen), faktor, x.suche.ms, x.suche.bareMs);
        zeigen(QStringLiteral("search \"%1\" typed, %2 persons").arg(x.getippt).arg(x.namePersonen), faktor, x.name.ms,
               x.name.bareMs);
    }
    const Messung &a = m[1], &b = m[20];
    bench::aimBelow(QStringLiteral("opening the window 20x (ms)"), b.laden, 300);
    bench::aimBelow(QStringLiteral("class click 20x (ms)"), b.klasse, 150);
    bench::aimRatio(QStringLiteral("class click 20x / 1x, same class size"), b.klasse, a.klasse, 3);
    bench::aimBelow(QStringLiteral("click on an absence cell 20x (ms)"), b.zelle, 150);
    bench::aimRatio(QStringLiteral("absence list of one person 20x / 1x"), b.person, a.person, 3);
    bench::aimRatio(QStringLiteral("period overview 20x / 1x"), b.ueberblick, std::max(1.0, a.ueberblick), 3);
    bench::aimRatio(QStringLiteral("search \" \" 20x / bare read"), b.suche, 2);
    bench::aimRatio(QStringLiteral("typed name 20x / bare read"), b.name, 2);
    bench::report(QStringLiteral("peak memory"), bench::peakMemoryMiB(), QStringLiteral("MiB"));
}
