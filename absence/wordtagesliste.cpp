// The day list of the chosen day in Word: a header with the day, two text columns and a table
// of class, person and, on request, reason.
#include "absence/worddokumente.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"


namespace absence {

namespace {

bool wirdGedruckt(const TageslistenZeile &z, const TageslistenOptionen &o)
{
    return vt::trimBlanks(z.klasse) != QLatin1String("LK") || o.lk;
}

} // namespace

QVector<TageslistenZeile> tageslisteAusGrid(const VSGrid &fgKranke)
{
    QVector<TageslistenZeile> zeilen;
    for (int r = 1; r < fgKranke.rows(); ++r) {
        TageslistenZeile z;
        z.klasse = fgKranke.textMatrix(r, 1);
        z.name = fgKranke.textMatrix(r, 2);
        z.grund = fgKranke.textMatrix(r, 3);
        zeilen.push_back(z);
    }
    return zeilen;
}

docx::Dokument tageslisteDokument(const QString &datum, const QVector<TageslistenZeile> &zeilen,
                                  const TageslistenOptionen &o, const std::function<QString(const QString &)> &klartext,
                                  const std::function<void(int r)> &fortschritt)
{
    docx::Dokument d;
    d.seite.quer = false;
    d.seite.randOben = d.seite.randUnten = d.seite.randLinks = d.seite.randRechts = docx::cm(1.5);

    docx::Textfluss &kopf = d.kopfzeile();
    kopf.schrift.groesse = 20;
    kopf.schreiben(QStringLiteral("Absenzen am ") + vt::trimBlanks(datum));
    kopf.schrift.groesse = 12;
    kopf.absatz();

    // One column over the text width, then a second of 8.5 cm, 1 cm apart.
    const double rest = d.seite.textbreite() - docx::cm(8.5) - docx::cm(1);
    d.seite.spalten = {{rest, docx::cm(1)}, {docx::cm(8.5), 0}};
    d.seite.trennlinie = false;

    int anzahl = 0;
    for (const TageslistenZeile &z : zeilen)
        anzahl += wirdGedruckt(z, o) ? 1 : 0;
    const int spalten = o.grund ? 3 : 2;
    docx::Tabelle &t = d.text().tabelleEinfuegen(anzahl + 1, spalten);
    if (o.grund) {
        t.setSpaltenbreite(1, docx::cm(1.5));
        t.setSpaltenbreite(2, docx::cm(5.0));
        t.setSpaltenbreite(3, docx::cm(1.5));
    } else {
        t.setSpaltenbreite(1, docx::cm(1.5));
        t.setSpaltenbreite(2, docx::cm(6.5));
    }
    t.setText(1, 1, QStringLiteral("Klasse"));
    t.setText(1, 2, QStringLiteral("Schüler"));
    if (o.grund)
        t.setText(1, 3, QStringLiteral("Grund"));
    t.setKopfzeile(1);

    using docx::Kante;
    namespace linie = docx::linie;
    t.setSpaltenRand(1, Kante::Links, linie::Viertel);
    for (int s = 1; s <= t.spalten(); ++s)
        t.setSpaltenRand(s, Kante::Rechts, linie::Viertel);
    t.setZeilenRand(1, Kante::Oben, linie::Viertel);
    t.setZeilenRand(1, Kante::Unten, linie::EinUndHalb);
    for (int k = 2; k <= t.zeilen(); ++k)
        t.setZeilenRand(k, Kante::Unten, linie::Viertel);

    int k = 1;
    QString klasseVorher;
    for (int i = 0; i < zeilen.size(); ++i) {
        const int r = i + 1; // the row of the day list
        const TageslistenZeile &z = zeilen[i];
        if (wirdGedruckt(z, o)) {
            ++k;
            const QString klasse = vt::trimBlanks(z.klasse);
            t.setText(k, 1, klasse);
            t.setText(k, 2, vt::trimBlanks(z.name));
            if (o.grund) {
                const QString code = vt::trimBlanks(z.grund);
                t.setText(k, 3, o.klartext && klartext ? vt::trimBlanks(klartext(code)) : code);
            }
            if (klasse != klasseVorher) {
                t.setZeilenRand(k, Kante::Oben, linie::EinUndHalb);
                klasseVorher = klasse;
            }
        }
        if (r % 10 == 0 && fortschritt)
            fortschritt(r);
    }
    return d;
}

} // namespace absence
