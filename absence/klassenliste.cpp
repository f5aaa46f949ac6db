#include "absence/klassenliste.h"
#include "absence/absenzrecord.h"
#include "core/mdl_zandrel.h"
#include "platform/valuetext.h"

#include <algorithm>

namespace absence {

const QString Klassenliste::MeldungNurEigeneKlasse =
    QStringLiteral("Sie können nur Ihre eigene Klasse, in der Sie Klassenleiter sind, aufrufen!");

bool Klassenliste::istVerwaltung(const QString &benutzer)
{
    const QString b = benutzer.toUpper();
    return b == QLatin1String("X") || b == QLatin1String("XS");
}

bool Klassenliste::darfKlasseAufrufen(const QString &benutzer, const QString &klassenleiter)
{
    return istVerwaltung(benutzer) || vt::upperTrim(klassenleiter) == vt::upperTrim(benutzer);
}

QVector<KlassenZeile> Klassenliste::laden(zdb::Db &nm, const QString &benutzer)
{
    // The teachers are read once. A class's leader is the teacher whose trimmed abbreviation equals
    // the stored one exactly (each of them when the grade manager holds it twice, as a join gives),
    // else the one teacher it equals by the id rule; when several do, nobody.
    struct Lehrer {
        QString form, kuerzel, name, vorname;
    };
    QVector<Lehrer> lehrer;
    nm.forEach(QStringLiteral("SELECT Trim(Kürzel), Name, Vorname FROM Lehrkräfte WHERE Kürzel IS NOT NULL"), {},
               [&](const QVariantList &r) {
                   const QString k = vt::valueText(r[0]);
                   lehrer.push_back({vt::idSchluessel(k), k, vt::valueText(r[1]), vt::valueText(r[2])});
                   return true;
               });
    const auto kleiner = [](const Lehrer &a, const Lehrer &b) { return a.form < b.form; };
    std::stable_sort(lehrer.begin(), lehrer.end(), kleiner);
    const auto leiterVon = [&](const QString &kuerzel) {
        QVector<const Lehrer *> gefunden;
        const auto [von, bis] = std::equal_range(lehrer.cbegin(), lehrer.cend(),
                                                 Lehrer{vt::idSchluessel(kuerzel), {}, {}, {}}, kleiner);
        for (auto it = von; it != bis; ++it)
            if (vt::trimBlanks(it->kuerzel) == kuerzel)
                gefunden << &*it;
        if (gefunden.isEmpty() && bis - von == 1)
            gefunden << &*von;
        return gefunden;
    };

    static const QString sql = QStringLiteral("SELECT Klasse, Klassenleiter FROM Klassen WHERE Klasse IS NOT NULL "
                                              "ORDER BY ")
                               + mdl::KlassenOrdnungSql(QStringLiteral("Klasse")) + QStringLiteral(", Klasse COLLATE DE");
    const bool alle = istVerwaltung(benutzer);
    const QString ich = vt::upperTrim(benutzer);
    // The user as a person: when her abbreviation and the class's name two different teachers whom
    // upper case cannot tell apart ("Öz" and "öz"), the class is not hers.
    const QVector<const Lehrer *> ichSelbst = alle ? QVector<const Lehrer *>() : leiterVon(vt::trimBlanks(benutzer));
    QVector<KlassenZeile> zeilen;
    nm.forEach(sql, {}, [&](const QVariantList &r) {
        const QString leiter = vt::trimBlanks(vt::valueText(r[1]));
        if (!alle && vt::upperCase(leiter) != ich)
            return true;
        QVector<const Lehrer *> leiterListe = r[1].isNull() ? QVector<const Lehrer *>() : leiterVon(leiter);
        if (!alle && ichSelbst.size() == 1 && !leiterListe.contains(ichSelbst.first()))
            return true;
        KlassenZeile z;
        z.klasse = vt::valueText(r[0]);
        const bool aus = vt::upperTrim(z.klasse) == QLatin1String("AUS");
        if (!aus)
            z.klassenleiter = leiter;
        if (leiterListe.isEmpty())
            leiterListe << nullptr; // no known class teacher
        for (const Lehrer *l : leiterListe) {
            if (!aus)
                z.name = vt::trimBlanks(l ? l->name : QString()) + QStringLiteral(", ")
                    + vt::trimBlanks(l ? l->vorname : QString());
            zeilen.push_back(z);
        }
        return true;
    });
    if (alle) {
        KlassenZeile lk;
        lk.klasse = QStringLiteral("LK");
        lk.istLK = true;
        zeilen.push_back(lk);
    }
    return zeilen;
}

int Klassenliste::stufe(const QString &klasse) { return mdl::KlassenStufe(klasse); }

QVector<bool> Klassenliste::stufenwechsel(const QVector<KlassenZeile> &zeilen)
{
    QVector<bool> w;
    int vorher = 0;
    for (const KlassenZeile &z : zeilen) {
        const int s = stufe(z.klasse);
        w.push_back(s != vorher);
        vorher = s;
    }
    return w;
}

Abfrage Klassenliste::personenDerKlasse(const QString &klasse, AusAuswahl aus)
{
    // The condition stands in both parts of the union: SQLite does not carry it into a union of
    // distinct rows and would gather the whole school first.
    auto abfrage = [](const QString &bedingung) {
        return QStringLiteral("SELECT SchülerNr, Klasse, Name, Vorname FROM ("
                              " SELECT SchülerNr, Klasse, Name, Vorname FROM Schüler WHERE ")
            + bedingung
            + QStringLiteral(" UNION"
                             " SELECT * FROM (SELECT Kürzel AS SchülerNr, 'LK' AS Klasse, Name, Vorname FROM Lehrkräfte"
                             "  WHERE NOT (UCase(Trim(Kürzel)) IN ('X', 'XS'))) WHERE ")
            + bedingung + QStringLiteral(") ORDER BY Name COLLATE DEU, Vorname COLLATE DE");
    };
    const QString k = vt::trimBlanks(klasse);
    if (aus == AusMitUnterklassen && k.toUpper() == QLatin1String("AUS"))
        return {abfrage(QStringLiteral("Trim(Klasse) LIKE 'AUS%'")), {}};
    // SQLite's own NOCASE is far quicker than the comparison of every letter; it decides alone
    // unless a class name holds the long s or the Kelvin sign, which fold into s and k: only a
    // class with an s or a k can meet those. The pupils have no index on the class: a pattern of
    // the class's letters in either case passes over the others before any text is trimmed.
    if (druckbaresAscii(k)) {
        QString muster = QStringLiteral("*");
        for (const QChar c : k) {
            if (c.isLetter())
                muster += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('['))
                muster += QLatin1Char('[') + c + QLatin1Char(']');
            else
                muster += c;
        }
        muster += QLatin1Char('*');
        const bool sOderK = k.contains(QLatin1Char('s'), Qt::CaseInsensitive)
                            || k.contains(QLatin1Char('k'), Qt::CaseInsensitive);
        return {abfrage(QStringLiteral("((Klasse GLOB ?2 AND rtrim(ltrim(Klasse)) = ?1 COLLATE NOCASE)")
                        + (sOderK ? QStringLiteral(" OR (Klasse GLOB '*[\u017F\u212A]*' AND Trim(Klasse) = ?1 "
                                                   "COLLATE NOCASEU))")
                                  : QStringLiteral(")"))),
                {k, muster}};
    }
    return {abfrage(QStringLiteral("Trim(Klasse) = ?1 COLLATE NOCASEU")), {k}};
}

void KlasseGemeldet::speichern(zdb::Db &eigen, const QString &klasse, const QString &zeit, const QDate &tag)
{
    const QString k = vt::trimBlanks(klasse);
    zdb::WriteTransaction tx(eigen);
    const QVariant rowid = eigen.scalar(
        QStringLiteral("SELECT rowid FROM tbl_KlasseGemeldet WHERE substr(meldetag, 1, 10) = ? "
                       "AND Trim(klasse) = ? COLLATE NOCASEU ORDER BY rowid LIMIT 1"),
        {zdb::isoDate(tag), k});
    if (rowid.isNull())
        eigen.exec(QStringLiteral("INSERT INTO tbl_KlasseGemeldet (klasse, meldetag, meldezeit) VALUES (?, ?, ?)"),
                   {k, zdb::isoDate(tag), zeit});
    else
        eigen.exec(QStringLiteral("UPDATE tbl_KlasseGemeldet SET meldezeit = ? WHERE rowid = ?"), {zeit, rowid});
    tx.commit();
}

QVector<KlasseGemeldet::Meldung> KlasseGemeldet::desTages(zdb::Db &eigen, const QDate &tag)
{
    QVector<Meldung> m;
    eigen.forEach(QStringLiteral("SELECT klasse, meldezeit FROM tbl_KlasseGemeldet WHERE substr(meldetag, 1, 10) = ? "
                                 "ORDER BY klasse"),
                  {zdb::isoDate(tag)}, [&](const QVariantList &r) {
                      m.push_back({vt::trimBlanks(vt::valueText(r[0])), vt::trimBlanks(vt::valueText(r[1]))});
                      return true;
                  });
    return m;
}

} // namespace absence
