#include "absence/personensuche.h"
#include "platform/valuetext.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace absence {

bool Personensuche::startet(const QString &text)
{
    return vt::trimBlanks(text).size() >= 4 || text.endsWith(QLatin1Char(' '));
}

namespace {

// Letters a German keyboard cannot type, each with the keyboard letter it looks like.
constexpr std::pair<char16_t, char16_t> Tastatur[] = {{u'\u0131', u'i'}, {u'\u0130', u'I'}, {u'\u0142', u'l'},
                                                      {u'\u0141', u'L'}, {u'\u00F8', u'o'}, {u'\u00D8', u'O'},
                                                      {u'\u0111', u'd'}, {u'\u0110', u'D'}};

QString tastaturForm(QString t)
{
    for (QChar &c : t)
        for (const auto &[fremd, taste] : Tastatur)
            if (c.unicode() == fremd)
                c = QChar(taste);
    return t;
}

// The first n characters of the column with those letters as their keyboard letters.
QString tastaturSql(const QString &spalte, qsizetype n)
{
    QString e = QStringLiteral("substr(") + spalte + QStringLiteral(", 1, ") + QString::number(n) + QLatin1Char(')');
    for (const auto &[fremd, taste] : Tastatur)
        e = QStringLiteral("replace(") + e + QStringLiteral(", '") + QChar(fremd) + QStringLiteral("', '") + QChar(taste)
            + QStringLiteral("')");
    return e;
}

} // namespace

Abfrage Personensuche::abfrage(const QString &text)
{
    const QString getrimmt = tastaturForm(vt::trimBlanks(text));
    QString muster = getrimmt;
    muster.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    muster.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    muster.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    muster += QLatin1Char('%');
    // A name can hold a letter beyond the keyboard only where the text holds its keyboard letter;
    // only then are the names' first characters read in their keyboard form.
    const bool tastatur = std::any_of(getrimmt.begin(), getrimmt.end(), [](QChar c) {
        return std::any_of(std::begin(Tastatur), std::end(Tastatur),
                           [c](const auto &p) { return c.toLower().unicode() == QChar(p.second).toLower().unicode(); });
    });
    auto spalte = [&](const QString &s) { return tastatur ? tastaturSql(s, getrimmt.size()) : s; };
    const QString sql = QStringLiteral("SELECT s.SchülerNr, s.Klasse, s.Name, s.Vorname FROM Schüler s WHERE ")
                        + spalte(QStringLiteral("s.Name")) + QStringLiteral(" LIKE ?1 ESCAPE '\\' OR ")
                        + spalte(QStringLiteral("s.Vorname"))
                        + QStringLiteral(" LIKE ?1 ESCAPE '\\' OR s.SchülerNr IN (SELECT a.SchülerNr FROM Adressen a "
                                         "WHERE ")
                        + spalte(QStringLiteral("a.ErzName1")) + QStringLiteral(" LIKE ?1 ESCAPE '\\' OR ")
                        + spalte(QStringLiteral("a.ErzName2"))
                        + QStringLiteral(" LIKE ?1 ESCAPE '\\') ORDER BY s.Name COLLATE DEU, s.Vorname COLLATE DE");
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
