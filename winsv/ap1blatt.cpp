#include "winsv/ap1blatt.h"

#include "platform/valuetext.h"
#include "platform/winsvodbc.h"
#include "winsv/ap1logik.h"

namespace ap1 {

namespace {

const QStringList Pruefungsfaecher{"D", "E", "M"};
// Final-grade fields whose second character is the final grade.
const QStringList EndnoteZweitesZeichen{"D", "E", "F", "M", "Ph", "BwR", "Sow", "Ku", "We", "HE"};
const QStringList PruefungsZeilen{"lbl__J", "lbl_S", "lbl_M", "lbl_P", "lbl__G"};

// Position of a subject in the report's blocks of 25 (Ek has none: -1).
int block(const QString &fach)
{
    const int i = int(faecher().indexOf(fach));
    const int ek = int(faecher().indexOf(QStringLiteral("Ek")));
    return i == ek ? -1 : (i < ek ? i : i - 1);
}

bool mitMuendlich(const QString &fach) { return !Pruefungsfaecher.contains(fach); }

} // namespace

Zeugnisbild zeugnisBild(const QString &ar, const QStringList &z)
{
    auto feld = [&](int n) { return z.value(n); };
    auto zeichen = [&](int n, int pos) { return (feld(n) + QStringLiteral("--")).mid(pos, 1); };

    struct Fach {
        QString jfn, m1, m2, gn;
        bool markiert = false;
    };
    QVector<Fach> f;
    for (const QString &s : faecher()) {
        Fach x;
        const int k = block(s);
        if (k < 0) {
            x.jfn = x.m1 = x.m2 = x.gn = QStringLiteral("-");
        } else {
            x.jfn = feld(1 + k);
            x.m1 = zeichen(26 + k, 0);
            x.m2 = zeichen(26 + k, 1);
            x.gn = EndnoteZweitesZeichen.contains(s) ? zeichen(66 + k, 1) : feld(66 + k);
            const bool ausgenommen = s == QLatin1String("S") || s == QLatin1String("Mu")
                                     || (s == QLatin1String("F") && ar == QLatin1String("3a"))
                                     || (s == QLatin1String("Ph") && ar == QLatin1String("1"))
                                     || (s == QLatin1String("BwR") && ar == QLatin1String("2"));
            x.markiert = !ausgenommen && ueberVier(x.jfn);
        }
        f << x;
    }

    // The exam table, column by column: JFN, written, oral, exam grade, overall grade.
    auto pruefung = [&](int jfn, int teile, int noten) {
        return QStringList{feld(jfn), zeichen(teile, 0), zeichen(teile, 1), zeichen(noten, 0), zeichen(noten, 1)};
    };
    QVector<QStringList> spalten{pruefung(3, 53, 68), pruefung(4, 54, 69), pruefung(6, 56, 71)};
    QString kopfX;
    QStringList fensterfarbe;
    if (ar == QLatin1String("1")) {
        kopfX = QStringLiteral("Ph");
        spalten << pruefung(8, 57, 73);
        fensterfarbe = QStringList{"lbl_MPh", "lbl_NPh"};
    } else if (ar == QLatin1String("2")) {
        kopfX = QStringLiteral("BwR");
        spalten << pruefung(15, 58, 80);
        fensterfarbe = QStringList{"lbl_MBwR", "lbl_NBwR"};
    } else if (ar == QLatin1String("3a")) {
        kopfX = QStringLiteral("F");
        QStringList x = pruefung(5, 55, 70);
        x[2] = vt::trimBlanks(feld(52));
        spalten << x;
        fensterfarbe = QStringList{"lbl_MF", "lbl_NF"};
    } else if (ar == QLatin1String("3b")) {
        kopfX = QStringLiteral("W");
        spalten << QStringList(5, QStringLiteral("0"));
    } else {
        spalten << QStringList(5, QString());
    }

    Zeugnisbild b;
    const QStringList &fa = faecher();
    for (int i = 0; i < fa.size(); ++i)
        b.anzeigen << Anzeige{"lbl_J" + fa[i], f[i].jfn};
    for (int i = 0; i < fa.size(); ++i)
        if (mitMuendlich(fa[i]))
            b.anzeigen << Anzeige{"lbl_M" + fa[i], f[i].m1, f[i].markiert};
    for (int i = 0; i < fa.size(); ++i)
        if (mitMuendlich(fa[i]))
            b.anzeigen << Anzeige{"lbl_N" + fa[i], f[i].m2};
    b.anzeigen << Anzeige{QStringLiteral("lbl_FachX"), kopfX, false, Weiss};
    const QStringList spaltenNamen{"D", "E", "M", "X"};
    for (int zeile = 0; zeile < PruefungsZeilen.size(); ++zeile)
        for (int s = 0; s < spaltenNamen.size(); ++s)
            b.anzeigen << Anzeige{PruefungsZeilen[zeile] + spaltenNamen[s], spalten[s][zeile]};
    for (int i = 0; i < fa.size(); ++i)
        b.anzeigen << Anzeige{"lbl_G" + fa[i], f[i].gn};
    b.fensterfarbe = fensterfarbe;
    return b;
}

QStringList wertLabels()
{
    QStringList out;
    for (const Anzeige &a : zeugnisBild(QString(), {}).anzeigen)
        out << a.label;
    return out;
}

QString klassenleiterText(const QString &geschlecht, const QString &titel, const QString &leiter)
{
    const bool herr = vt::upperCase(geschlecht) == QLatin1String("M");
    return (herr ? QStringLiteral("Herr ") : QStringLiteral("Frau ")) + titel + QLatin1Char(' ') + leiter;
}

Blatt blattLesen(winsvdb::Connection &winsv, qint64 id)
{
    const QString idText = QString::number(id);
    auto text = [](const zdb::Result &r, int row, const char *col) { return vt::valueText(r.value(row, QLatin1String(col))); };

    Blatt b;
    const zdb::Result schueler = winsv.query(
        QStringLiteral("SELECT [_SCHUELER_ID], [KLASSE], [FAMILIENNAME], [RUFNAME], [GESCHLECHT], [AUSBILDUNGSR], "
                       "[KLASSE], [VORJAHR_KLASSE], DSchueler.[JAHRGANGSSTUFE] FROM DSchueler "
                       "WHERE ((([_SCHUELER_ID]) = ? )); "),
        {idText});
    if (schueler.isEmpty())
        return b;
    b.schueler = true;
    b.name = text(schueler, 0, "FAMILIENNAME") + QStringLiteral(", ") + text(schueler, 0, "RUFNAME");
    b.wpfg = QStringLiteral("WPfG: ") + text(schueler, 0, "AUSBILDUNGSR");

    // Several rows for one id: the class line and the grades follow the last one.
    const int letzte = schueler.rowCount() - 1;
    const QString ar = text(schueler, letzte, "AUSBILDUNGSR");
    const QString klasse = vt::trimBlanks(text(schueler, letzte, "KLASSE"));
    const zdb::Result kl = winsv.query(
        QStringLiteral("SELECT [K_LEITER], [K_LEITER_TITEL], [K_LEITER_GESCHL], [K_NAME] FROM DKlassen "
                       "WHERE ((([K_NAME]) = ?)); "),
        {klasse});
    if (!kl.isEmpty()) {
        b.klasseGefunden = true;
        b.klasse = text(kl, 0, "K_NAME");
        b.klassenleiter = klassenleiterText(text(kl, 0, "K_LEITER_GESCHL"), text(kl, 0, "K_LEITER_TITEL"),
                                            text(kl, 0, "K_LEITER"));
    } else {
        b.klasse = klasse;
    }

    QStringList spalten;
    for (int i = 1; i <= 90; ++i)
        spalten << QStringLiteral("[Z_%1]").arg(i, 2, 10, QLatin1Char('0'));
    const zdb::Result zeugnis = winsv.query(QStringLiteral("SELECT ") + spalten.join(QStringLiteral(", "))
                                                + QStringLiteral(" FROM DZeugnis WHERE ((([_Z_SCHUELER_ID]) = ? )); "),
                                            {idText});
    if (zeugnis.isEmpty())
        return b;
    b.zeugnis = true;
    QStringList z{QString()};
    const int r = zeugnis.rowCount() - 1; // the last report row stays
    for (int i = 0; i < 90; ++i)
        z << vt::valueText(zeugnis.value(r, i));
    b.bild = zeugnisBild(ar, z);
    return b;
}

} // namespace ap1
