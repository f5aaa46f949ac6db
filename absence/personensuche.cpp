#include "absence/personensuche.h"
#include "platform/valuetext.h"

namespace absence {

bool Personensuche::startet(const QString &text)
{
    return vt::trimBlanks(text).size() >= 4 || text.endsWith(QLatin1Char(' '));
}

Abfrage Personensuche::abfrage(const QString &text)
{
    QString muster = vt::trimBlanks(text);
    muster.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    muster.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    muster.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    muster += QLatin1Char('%');
    static const QString sql = QStringLiteral(
        "SELECT s.SchülerNr, s.Klasse, s.Name, s.Vorname FROM Schüler s "
        "WHERE s.Name LIKE ?1 ESCAPE '\\' OR s.Vorname LIKE ?1 ESCAPE '\\' "
        "OR s.SchülerNr IN (SELECT a.SchülerNr FROM Adressen a "
        "WHERE a.ErzName1 LIKE ?1 ESCAPE '\\' OR a.ErzName2 LIKE ?1 ESCAPE '\\') "
        "ORDER BY s.Name COLLATE DE, s.Vorname COLLATE DE");
    return {sql, {muster}};
}

QString Kontakt::nameBereinigen(const QString &anrede, const QString &name)
{
    QString a = anrede;
    a.remove(QStringLiteral("Herrn"));
    a.remove(QStringLiteral("Frau"));
    QString t = vt::trimBlanks(vt::trimBlanks(a) + QStringLiteral(" - ") + vt::trimBlanks(name));
    t.remove(QLatin1Char('\r'));
    t = vt::trimBlanks(t);
    t.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    t = vt::trimBlanks(t);
    while (t.contains(QStringLiteral("  ")))
        t.replace(QStringLiteral("  "), QStringLiteral(" "));
    return vt::trimBlanks(t);
}

QString Kontakt::erzName(const QString &name, const QString &rufname)
{
    return vt::trimBlanks(rufname).isEmpty() ? name : name + QStringLiteral(", ") + rufname;
}

Kontaktdaten Kontakt::lesen(zdb::Db &nm, const QString &schuelerNr)
{
    static const QString sql = QStringLiteral(
        "SELECT ad.Anrede, sc.Name || ', ' || sc.Vorname AS Name, ad.\"Straße\", ad.PLZ, ad.Ort, ad.Telefon, "
        "ad.gilt1, ad.gilt2, ad.ErzName1, ad.ErzRufname1, ad.ErzTelefon1, ad.ErzArt1, "
        "ad.ErzName2, ad.ErzRufname2, ad.ErzTelefon2, ad.ErzArt2 "
        "FROM Adressen ad LEFT JOIN Schüler sc ON sc.SchülerNr = ad.SchülerNr "
        "WHERE ad.SchülerNr = ? ORDER BY ")
        + zdb::yesNoSql(QStringLiteral("ad.Hauptansprechpartner")) + QStringLiteral(" DESC, ad.rowid LIMIT 1");
    Kontaktdaten k;
    const QString nr = vt::trimBlanks(schuelerNr);
    if (nr.isEmpty())
        return k;
    const zdb::Result r = nm.query(sql, {nr});
    if (r.isEmpty())
        return k;
    auto t = [&](int c) { return vt::valueText(r.typedValue(0, c)); };
    k.name = nameBereinigen(t(0), t(1));
    k.strasse = t(2);
    k.plzOrt = t(3) + QLatin1Char(' ') + t(4);
    k.telefon = t(5);
    k.gilt1 = t(6);
    k.gilt2 = t(7);
    k.name1 = erzName(t(8), t(9));
    k.telefon1 = t(10);
    k.art1 = t(11);
    k.name2 = erzName(t(12), t(13));
    k.telefon2 = t(14);
    k.art2 = t(15);
    return k;
}

} // namespace absence
