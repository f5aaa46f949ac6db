// The absence window on the demo school at 1x and 20x: opening the window, a class click on a class
// of the same size, a click on an absence cell, one person's absence list, the period overview and the
// search with a single blank, each beside the bare SQLite read of the same rows.
#include "absence/frm_fehltage.h"
#include "absence/klassenliste.h"
#include "absence/personensuche.h"
#include "absence/schuljahr.h"
#include "bench/bench.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"
#include "tools/demo/demoschool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <map>

namespace {

constexpr int Klassengroesse = 27;

struct Messung {
    double laden = 0, ladenBar = 0;
    double klasse = 0, klasseBar = 0;
    int klassePersonen = 0;
    double zelle = 0, zelleBar = 0;
    double person = 0, personBar = 0;
    double ueberblick = 0;
    double suche = 0, sucheBar = 0;
    int suchePersonen = 0;
};

// The class whose size is nearest to Klassengroesse (the first of equal ones).
QString klasseDerGroesse(zdb::Db &nm)
{
    return nm.scalar(QStringLiteral("SELECT Klasse FROM Schüler WHERE Klasse NOT LIKE 'AUS%' GROUP BY Klasse "
                                    "ORDER BY abs(COUNT(*) - ?), Klasse LIMIT 1"),
                     {Klassengroesse})
        .toString();
}

// The persons of the query, then their absences of the shown year: SQLite alone.
int bareKlasse(const absence::Abfrage &personen, const QDate &heute)
{
    zdb::Db nm;
    nm.open(mdl::nmDateiPfad());
    QJsonArray ids;
    nm.forEach(personen.sql, personen.params, [&](const QVariantList &r) {
        ids.append(r[0].toString());
        return true;
    });
    nm.close();
    const QDate von = absence::Schuljahr::beginn(heute);
    int n = 0;
    mdl::dbEigen.forEach(QStringLiteral("SELECT S_Id, Fehltag, Grund FROM tbl_Fehltage WHERE S_Id IN "
                                        "(SELECT value FROM json_each(?)) AND Fehltag >= ? AND Fehltag < ?"),
                         {QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact)), zdb::isoDate(von),
                          zdb::isoDate(von.addDays(absence::Schuljahr::Tage))},
                         [&](const QVariantList &) {
                             ++n;
                             return true;
                         });
    return n;
}

int barePerson(const QString &id)
{
    int n = 0;
    mdl::dbEigen.forEach(QStringLiteral("SELECT * FROM tbl_Fehltage WHERE S_Id = ? ORDER BY Fehltag"), {id},
                         [&](const QVariantList &) {
                             ++n;
                             return true;
                         });
    return n;
}

// Classes with their teachers and every person of the school.
void bareLaden()
{
    zdb::Db nm;
    nm.open(mdl::nmDateiPfad());
    int n = 0;
    auto zaehlen = [&](const QVariantList &) {
        ++n;
        return true;
    };
    nm.forEach(QStringLiteral("SELECT Klasse, Klassenleiter FROM Klassen"), {}, zaehlen);
    nm.forEach(QStringLiteral("SELECT Kürzel, Name, Vorname FROM Lehrkräfte"), {}, zaehlen);
    nm.forEach(QStringLiteral("SELECT SchülerNr, Klasse, Name, Vorname FROM Schüler"), {}, zaehlen);
    nm.close();
}

Messung messen(int faktor)
{
    const demo::Result &res = bench::school(faktor);
    mdl::NMDatenbankZuruecksetzen();
    demo::useFiles(res);
    mdl::FerienVorbereiten();
    mdl::Benutzer = QStringLiteral("X");
    mdl::dbEigen.close();
    mdl::dbEigen.open(res.ownFile);
    frm_Fehltage::setHeuteFuerTests(res.today);
    const QDate heute = frm_Fehltage::heute();

    Messung m;
    QString klasse;
    {
        zdb::Db nm;
        nm.open(res.nmFile);
        klasse = klasseDerGroesse(nm);
    }
    const int runs = faktor == 1 ? 9 : 5;

    auto f = std::make_unique<frm_Fehltage>();
    f->resize(1600, 1000);
    f->show();
    m.laden = bench::medianMs(
        [&] {
            f.reset();
            f = std::make_unique<frm_Fehltage>();
            f->resize(1600, 1000);
            f->show();
            f->formLoad();
            f->formActivate();
        },
        3);
    m.ladenBar = bench::medianMs(bareLaden, runs);

    auto zeile = [&](const QString &k) {
        for (int r = 1; r < f->fgKlassen->rows(); ++r)
            if (f->fgKlassen->textMatrix(r, 0) == k)
                return r;
        return -1;
    };
    auto klick = [&] {
        f->fgKlassen->select(zeile(klasse), 0);
        emit f->fgKlassen->click();
    };
    m.klasse = bench::medianMs(klick, runs);
    m.klassePersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;
    m.klasseBar = bench::medianMs([&] { bareKlasse(absence::Klassenliste::personenDerKlasse(klasse), heute); }, runs);

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
    m.zelle = bench::medianMs(
        [&] {
            f->fgSchueler_MouseDown(1, zr, zc);
            f->fgSchueler_MouseUp(1, zr, zc);
        },
        runs);
    const QDate tag = vt::parseDate(f->fgSchueler->textMatrix(3, zc));
    m.zelleBar = bench::medianMs(
        [&] {
            barePerson(id);
            zdb::Db nm;
            nm.open(mdl::nmDateiPfad());
            nm.query(QStringLiteral("SELECT * FROM Adressen WHERE SchülerNr = ?"), {id});
            nm.close();
            mdl::dbEigen.query(QStringLiteral("SELECT S_Id, Grund, Bemerkung FROM tbl_Fehltage WHERE Fehltag >= ? "
                                              "AND Fehltag < ?"),
                               {zdb::isoDate(tag), zdb::isoDate(tag.addDays(1))});
        },
        runs);
    m.person = bench::medianMs([&] { f->AbsenzenDerPersonAnzeigen(id); }, runs);
    m.personBar = bench::medianMs([&] { barePerson(id); }, runs);

    klick();
    m.ueberblick = bench::medianMs([&] { f->cmdUeberblick_Click(); }, runs);

    m.suche = bench::medianMs(
        [&] {
            f->txtSuche->setText(QString());
            f->txtSuche->setText(QStringLiteral(" "));
        },
        3);
    m.suchePersonen = f->fgSchueler->rows() - absence::Fehltagekalender::KopfZeilen;
    m.sucheBar = bench::medianMs([&] { bareKlasse(absence::Personensuche::abfrage(QStringLiteral(" ")), heute); }, 3);
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
        zeigen(QStringLiteral("search \" \", %1 persons").arg(x.suchePersonen), faktor, x.suche, x.sucheBar);
    }
    const Messung &a = m[1], &b = m[20];
    bench::aimBelow(QStringLiteral("opening the window 20x (ms)"), b.laden, 300);
    bench::aimBelow(QStringLiteral("class click 20x (ms)"), b.klasse, 150);
    bench::aimRatio(QStringLiteral("class click 20x / 1x, same class size"), b.klasse, a.klasse, 3);
    bench::aimBelow(QStringLiteral("click on an absence cell 20x (ms)"), b.zelle, 150);
    bench::aimRatio(QStringLiteral("absence list of one person 20x / 1x"), b.person, a.person, 3);
    bench::aimRatio(QStringLiteral("period overview 20x / 1x"), b.ueberblick, std::max(1.0, a.ueberblick), 3);
    bench::aimRatio(QStringLiteral("search \" \" 20x / bare read"), b.suche, b.sucheBar, 2);
    bench::report(QStringLiteral("peak memory"), bench::peakMemoryMiB(), QStringLiteral("MiB"));
}
