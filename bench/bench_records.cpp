// Performance-record overview in the shown window, as "X": a click on one subject ("M", by
// subjects), on one teacher of six courses with a test each and on "*" (by teachers, the whole school), through to
// the finished repaint, beside the bare read of the same rows (courses with their tests, grade
// rows, weights; no sorting) on a plain SQLite connection; at 1x and 20x, the teacher at 39x too.
#include "bench/bench.h"
#include "bench/nackt.h"

#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "records/frm_lnw.h"
#include "tools/demo/demoschool.h"

#include <QRadioButton>
#include <QSet>
#include <map>
#include <sqlite3.h>

namespace {

constexpr int KurseDesLehrers = 6;

const char *const kTests = "SELECT Unt.Fach, Unt.Klasse, Unt.Lehrkraft, LNW.Spalte, LNW.Notenart, LNW.Bemerkung, "
                           "LNW.Schnitt, LNW.Zeit, LNW.Geschrieben, LNW.Rückgabe, LNW.Abgabe, LNW.LfdNr "
                           "FROM Unterricht Unt JOIN LNW ON Unt.\"Index\" = LNW.UIndex WHERE (%W) AND LNW.Spalte < 18";
const char *const kNoten = "SELECT Unt.Fach, Unt.Klasse, Unt.Lehrkraft, Unt.\"Index\", N.sa1, N.sa2, N.sa3, N.sa4, "
                           "N.sa5, N.sa6, N.ka1, N.ka2, N.ka3, N.ka4, N.ex1, N.ex2, N.ex3, N.ex4, N.ex5, N.ex6, N.ex7, "
                           "N.ex8 FROM Unterricht Unt JOIN Noten N ON N.UIndex = Unt.\"Index\" WHERE (%W)";
const char *const kGewichte = "SELECT \"Index\", sa1, sa2, sa3, sa4, sa5, sa6, ka1, ka2, ka3, ka4, ex1, ex2, ex3, ex4, "
                              "ex5, ex6, ex7, ex8 FROM Unterricht Unt WHERE (%W)";

struct Fall {
    QString was;
    int option;           // 0 by subject, 1 by teacher
    QString eintrag;      // the list entry clicked
    QString bedingung;    // the plain condition over Unt with ?1
};

// The teacher in the list whose shown courses (those with a test) and tests are nearest to
// KurseDesLehrers each, so that every size shows the same amount.
QString lehrerMitKursen(const QString &datei, const VSGrid *liste)
{
    QSet<QString> inListe;
    for (int r = 0; r < liste->rows(); ++r)
        inListe.insert(liste->textMatrix(r, 0));
    QString gefunden;
    bench::Nackt(datei).lesen(
        QStringLiteral("SELECT Lehrkraft, count(DISTINCT Fach || '|' || Klasse) AS k, count(*) AS t FROM Unterricht U "
                       "JOIN LNW ON LNW.UIndex = U.\"Index\" AND LNW.Spalte < 18 WHERE Lehrkraft <> '' "
                       "GROUP BY Lehrkraft ORDER BY abs(k - ?1), abs(t - ?1), Lehrkraft"),
        {KurseDesLehrers}, [&](sqlite3_stmt *st) {
            const QString l = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            if (gefunden.isEmpty() && inListe.contains(l))
                gefunden = l;
        });
    return gefunden;
}

int zeileVon(const VSGrid *liste, const QString &eintrag)
{
    for (int r = 0; r < liste->rows(); ++r)
        if (liste->textMatrix(r, 0) == eintrag)
            return r;
    return -1;
}

// The pairs of every case at one size; the teacher alone at 39x.
std::map<QString, bench::Paar> messen(int faktor)
{
    std::map<QString, bench::Paar> out;
    const demo::Result &res = bench::school(faktor);
    const QString x = QStringLiteral("%1x").arg(faktor);
    {
        bench::Nackt db(res.nmFile);
        auto zahl = [&](const char *sql) {
            qint64 n = 0;
            db.lesen(QString::fromUtf8(sql), {}, [&](sqlite3_stmt *st) { n = sqlite3_column_int64(st, 0); });
            return double(n);
        };
        bench::report(x + ": Unterrichte", zahl("SELECT COUNT(*) FROM Unterricht"), "");
        bench::report(x + ": Leistungsnachweise", zahl("SELECT COUNT(*) FROM LNW"), "");
        bench::report(x + ": Noten-Zeilen", zahl("SELECT COUNT(*) FROM Noten"), "");
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
    const QString lehrer = lehrerMitKursen(res.nmFile, w.lstLehrer);
    QVector<Fall> faelle{{QStringLiteral("Lehrer %1").arg(lehrer), 1, lehrer, QStringLiteral("Unt.Lehrkraft = ?1 COLLATE NOCASE")}};
    if (faktor != 39) {
        faelle.prepend({QStringLiteral("Fach M"), 0, QStringLiteral("M"), QStringLiteral("Unt.Fach || ' 1' LIKE 'M %'")});
        faelle.append({QStringLiteral("ganze Schule (X, *)"), 1, QStringLiteral("*"), QStringLiteral("1")});
    }
    for (const Fall &f : faelle) {
        QRadioButton *option = w.optUnterrichtLehrer[size_t(f.option)];
        bench::klicken(option, QPoint(6, option->height() / 2)); // on the round button
        VSGrid *liste = f.option == 0 ? w.lstFach : w.lstLehrer;
        const int r = zeileVon(liste, f.eintrag);
        if (r < 0) {
            bench::report(x + ", " + f.was + ": entry missing in the list", 0, "");
            continue;
        }
        const QVariantList params{f.eintrag};
        const bench::Paar p = bench::paarweise([&] { bench::klicken(liste, r, 0); },
                                               [&] {
                                                   // Opened for the read, as the view opens it for each click.
                                                   bench::Nackt nm(res.nmFile);
                                                   for (const char *sql : {kTests, kNoten, kGewichte})
                                                       nm.lesen(QString::fromUtf8(sql).replace("%W", f.bedingung),
                                                                f.option == 1 && f.eintrag != "*" ? params : QVariantList());
                                               },
                                               faktor == 20 ? 5 : 9);
        const int zeilen = w.fg_LNW->rows() - 2;
        const QString was = x + ", " + f.was;
        bench::report(was + ": Klick in der Liste bis gemalt (" + QString::number(zeilen) + " Zeilen)", p.ms, "ms");
        bench::report(was + ": nacktes Lesen derselben Zeilen", p.bareMs, "ms");
        out[f.option == 0 ? QStringLiteral("fach") : f.eintrag == "*" ? QStringLiteral("schule") : QStringLiteral("lehrer")] = p;
    }
    mdl::dbEigen.close();
    mdl::NMDatenbankZuruecksetzen();
    return out;
}

} // namespace

ZBENCH("records")
{
    msg::setHandler([](const msg::Request &) { return int(msg::OK); });
    const auto a = messen(1);
    auto b = messen(20);
    const auto c = messen(39);
    const QString x = QStringLiteral("20x, ");
    bench::aimRatio(x + "Fach M: Klick bis gemalt zum nackten Lesen", b["fach"], 2.0);
    bench::aimRatio(x + "ein Lehrer: Klick bis gemalt zum nackten Lesen", b["lehrer"], 2.0);
    bench::aimBelow(x + "ganze Schule (X, *): Klick bis gemalt, ms", b["schule"].ms, 2000);
    bench::aimRatio(x + "ganze Schule (X, *): Klick bis gemalt zum nackten Lesen", b["schule"], 2.0);
    bench::aimRatio("ein Lehrer mit sechs Unterrichten: 39x zu 1x", c.at("lehrer").ms, a.at("lehrer").ms, 1.5);
    bench::report("Speicher (Spitze)", bench::peakMemoryMiB(), "MiB");
    msg::clearHandler();
}
