#include "records/lnwabfrage.h"

#include "records/lnwspalten.h"
#include "core/mdl_zandrel.h"
#include "platform/valuetext.h"

#include <functional>

namespace lnw {

static const char *const kAuswahl =
    "SELECT   Unt.Fach,        "
    "         Unt.Klasse,      "
    "         Unt.Lehrkraft,   "
    "         LNW.Spalte,      "
    "         LNW.Notenart,    "
    "         LNW.Bemerkung,   "
    "         LNW.Schnitt,     "
    "         LNW.Zeit,        "
    "         LNW.Geschrieben, "
    "         LNW.Rückgabe,    "
    "         LNW.Abgabe,      "
    "         LNW.LfdNr        ";

// SQLite's CROSS JOIN is an inner join that keeps the order written.
static QString verbindung(bool ueberKurse) { return ueberKurse ? QStringLiteral(" CROSS JOIN ") : QStringLiteral(" INNER JOIN "); }

QString KursAbfrage::kursSql(bool ueberKurse) const
{
    QString sql = QString::fromUtf8(kAuswahl);
    sql += QStringLiteral("FROM     Unterricht Unt") + verbindung(ueberKurse) + QStringLiteral("LNW ON Unt.[Index] = LNW.UIndex "
                          "WHERE        (") + bedingung + QStringLiteral(")  "
                          "         AND LNW.Spalte < 18 ");
    // Texts sort in German order without regard to case, as the grade manager's engine sorts them.
    switch (sicht) {
    case Sicht::Lehrer:
        sql += QStringLiteral("ORDER BY Unt.Lehrkraft COLLATE DE, "
                              "         Unt.Klasse COLLATE DE, "
                              "         Unt.Fach COLLATE DE, "
                              "         LNW.Spalte");
        break;
    case Sicht::Fach:
        // Leading grade number first (20 for a class without one); the teacher keeps each course together.
        sql += QStringLiteral("ORDER BY ") + mdl::KlassenOrdnungSql(QStringLiteral("Unt.Klasse")) + QStringLiteral(", "
                              "         Unt.Klasse COLLATE DE, "
                              "         Unt.Fach COLLATE DE, "
                              "         Unt.Lehrkraft COLLATE DE, "
                              "         LNW.Spalte");
        break;
    case Sicht::Eigen:
        sql += QStringLiteral("ORDER BY Unt.Klasse COLLATE DE, "
                              "         Unt.Fach COLLATE DE, "
                              "         Unt.Lehrkraft COLLATE DE, "
                              "         LNW.Spalte");
        break;
    }
    return sql;
}

static QString felderListe(const QString &alias, bool aeltereForm)
{
    QStringList teile;
    for (const QString &f : notenfelder()) {
        if (aeltereForm && (f == QLatin1String("sa5") || f == QLatin1String("sa6")))
            teile << QStringLiteral("NULL AS ") + f;
        else
            teile << alias + QLatin1Char('.') + f;
    }
    return teile.join(QStringLiteral(", "));
}

QString KursAbfrage::notenSql(bool aeltereForm, bool ueberKurse) const
{
    return QStringLiteral("SELECT Unt.Fach, Unt.Klasse, Unt.Lehrkraft, Unt.[Index], ") + felderListe("N", aeltereForm)
        + (ueberKurse ? QStringLiteral(" FROM Unterricht Unt CROSS JOIN Noten N")
                      : QStringLiteral(" FROM Noten N INNER JOIN Unterricht Unt"))
        + QStringLiteral(" ON N.UIndex = Unt.[Index] WHERE (") + bedingung + QStringLiteral(")");
}

QString KursAbfrage::gewichteSql(bool aeltereForm) const
{
    return QStringLiteral("SELECT Unt.[Index], ") + felderListe("Unt", aeltereForm)
        + QStringLiteral(" FROM Unterricht Unt WHERE (") + bedingung + QStringLiteral(")");
}

QString KursAbfrage::indexSql() const
{
    return QStringLiteral("SELECT Unt.[Index] FROM Unterricht Unt WHERE (") + bedingung + QStringLiteral(")");
}

KursAbfrage KursAbfrage::nurKurse(const QString &indexJson) const
{
    KursAbfrage a = *this;
    // The condition stays: a converted file may hold an Index twice.
    // The condition's "?" count first, so the array's number follows them.
    a.bedingung = QStringLiteral("(%1) AND Unt.[Index] IN (SELECT value FROM json_each(?%2))")
                      .arg(bedingung)
                      .arg(params.size() + 1);
    a.params << indexJson;
    return a;
}

QString likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// "*" picked in row 0 selects every course; otherwise one comparison per picked entry, joined by OR.
// muster gives an entry's bound pattern, or nothing to leave the entry out.
static std::optional<KursAbfrage> auswahl(const QVector<ListenEintrag> &liste, Sicht sicht, const QString &alle,
                                          const QString &vergleich,
                                          const std::function<std::optional<QString>(const QString &)> &muster)
{
    KursAbfrage a;
    a.sicht = sicht;
    if (!liste.isEmpty() && liste[0].text == QLatin1String("*") && liste[0].gewaehlt) {
        a.bedingung = alle;
        a.alle = true;
        return a;
    }
    QStringList teile;
    for (const ListenEintrag &e : liste) {
        if (!e.gewaehlt || e.text == QLatin1String("*"))
            continue;
        if (const auto m = muster(e.text)) {
            teile << vergleich;
            a.params << *m;
        }
    }
    if (teile.isEmpty())
        return std::nullopt;
    a.bedingung = teile.join(QStringLiteral(" OR "));
    return a;
}

std::optional<KursAbfrage> nachLehrern(const QVector<ListenEintrag> &liste)
{
    // An abbreviation is compared whole, as a Like with no wildcard compares it: without regard to
    // case, for umlauts too.
    return auswahl(liste, Sicht::Lehrer, QStringLiteral("Unt.Lehrkraft LIKE '%'"),
                   QStringLiteral("Unt.Lehrkraft = ? COLLATE NOCASEU"),
                   [](const QString &t) { return std::optional<QString>(t); });
}

std::optional<KursAbfrage> nachFaechern(const QVector<ListenEintrag> &liste)
{
    return auswahl(liste, Sicht::Fach, QStringLiteral("Unt.Fach || ' 1' LIKE '%'"),
                   QStringLiteral("Unt.Fach || ' 1' LIKE ? ESCAPE '\\'"), [](const QString &t) -> std::optional<QString> {
                       // A blank code would become the pattern "%" and select every course.
                       if (vt::trimBlanks(t).isEmpty())
                           return std::nullopt;
                       // " 1" after the subject lets "M %" match M and "M 1" but not Mu.
                       if (t == QLatin1String("IT"))
                           return QStringLiteral("IT%");
                       return vt::trimBlanks(likeLiteral(t) + QStringLiteral(" %"));
                   });
}

KursAbfrage eigenerUnterricht(const QString &benutzer)
{
    KursAbfrage a;
    a.sicht = Sicht::Eigen;
    a.bedingung = QStringLiteral("Unt.Lehrkraft = ? COLLATE NOCASEU");
    a.params << benutzer;
    return a;
}

} // namespace lnw
