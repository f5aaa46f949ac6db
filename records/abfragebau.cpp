#include "records/abfragebau.h"
#include "platform/valuetext.h"

#include <QRegularExpression>
#include <functional>

namespace abfragebau {

namespace {

bool istWortzeichen(QChar ch) { return ch.isLetterOrNumber() || ch == QLatin1Char('_'); }

// Passes every word outside quoted values through fn; the rest of the text stays as it is.
QString woerterAbbilden(const QString &s, const std::function<QString(const QString &)> &fn)
{
    QString out;
    out.reserve(s.size());
    QChar quote;
    for (int i = 0; i < s.size();) {
        const QChar ch = s[i];
        if (!quote.isNull()) {
            out += ch;
            if (ch == quote)
                quote = QChar();
            ++i;
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
            out += ch;
            ++i;
        } else if (istWortzeichen(ch)) {
            int j = i;
            while (j < s.size() && istWortzeichen(s[j]))
                ++j;
            out += fn(s.mid(i, j - i));
            i = j;
        } else {
            out += ch;
            ++i;
        }
    }
    return out;
}

bool hatWort(const QString &s, const QString &wort, Qt::CaseSensitivity cs)
{
    bool gefunden = false;
    woerterAbbilden(s, [&](const QString &w) {
        if (w.compare(wort, cs) == 0)
            gefunden = true;
        return w;
    });
    return gefunden;
}

bool hatAnfuehrungszeichen(const QString &s) { return s.contains(QLatin1Char('\'')) || s.contains(QLatin1Char('"')); }

// A value in double quotes, unless the criterion quotes itself or the value is a #date#.
QString inAnfuehrung(const QString &kriterium, const QString &wert)
{
    if (hatAnfuehrungszeichen(kriterium))
        return wert;
    if (wert.size() > 1 && wert.startsWith(QLatin1Char('#')) && wert.endsWith(QLatin1Char('#')))
        return wert;
    return QLatin1Char('"') + wert + QLatin1Char('"');
}

// k beginning with the operator: "op " + the rest, trimmed and quoted.
QString mitOperator(const QString &k, const QString &op)
{
    return op + QLatin1Char(' ') + inAnfuehrung(k, vt::trimBlanks(k.mid(op.size())));
}

QString name(const QString &n)
{
    for (const QChar ch : n)
        if (!istWortzeichen(ch))
            return QLatin1Char('[') + n + QLatin1Char(']');
    return n;
}

} // namespace

QStringList tabellen()
{
    return {QStringLiteral("Schüler"), QStringLiteral("Adressen"), QStringLiteral("Noten"),
            QStringLiteral("Unterricht"), QStringLiteral("Klassen"), QStringLiteral("Lehrkräfte"),
            QStringLiteral("Fächer")};
}

QString betaHinweis()
{
    return QStringLiteral("Achtung! Dieser Teil von 'Zandrel' befindet sich noch in der Beta-Phase.\r\r"
                          "Die FROM Klausel kann noch nicht automatisch erstellt werden. \r"
                          "Sie können daher noch keine Datenfelder aus mehreren Tabellen mischen.");
}

QString naechsteSortierung(const QString &aktuell)
{
    const QString s = vt::trimBlanks(aktuell);
    if (s.isEmpty())
        return QLatin1String(Aufsteigend);
    if (s == QLatin1String(Aufsteigend))
        return QLatin1String(Absteigend);
    return QString();
}

QString kriteriumNormalisieren(const QString &kriterium)
{
    QString k = vt::trimBlanks(kriterium);
    // "M*" is a Like pattern unless it already carries WIE or compares.
    if (k.contains(QLatin1Char('*')) && !hatWort(k, QStringLiteral("WIE"), Qt::CaseInsensitive)
        && !k.contains(QLatin1Char('<')) && !k.contains(QLatin1Char('>')))
        k = QStringLiteral("WIE ") + inAnfuehrung(k, k);
    if (k.startsWith(QLatin1String("<>")))
        k = mitOperator(k, QStringLiteral("<>"));
    if (k.startsWith(QLatin1Char('=')))
        k = mitOperator(k, QStringLiteral("="));
    if (k.startsWith(QLatin1String(">=")))
        k = mitOperator(k, QStringLiteral(">="));
    else if (k.startsWith(QLatin1Char('>')) && !k.contains(QLatin1String("<>")))
        k = mitOperator(k, QStringLiteral(">"));
    if (k.startsWith(QLatin1String("<=")))
        k = mitOperator(k, QStringLiteral("<="));
    else if (k.startsWith(QLatin1Char('<')) && !k.contains(QLatin1String("<>")))
        k = mitOperator(k, QStringLiteral("<"));
    return k;
}

QString woerterErsetzen(const QString &kriterium)
{
    return woerterAbbilden(kriterium, [](const QString &w) -> QString {
        const QString g = w.toUpper();
        if (g == QLatin1String("FALSCH"))
            return QStringLiteral("false");
        if (g == QLatin1String("WAHR"))
            return QStringLiteral("true");
        if (g == QLatin1String("NICHT"))
            return QStringLiteral("NOT");
        if (g == QLatin1String("NULL"))
            return QStringLiteral("NULL");
        if (g == QLatin1String("WIE"))
            return QStringLiteral("LIKE");
        return w;
    });
}

QString spaltenName(const QString &tabelle, const QString &feld)
{
    return name(vt::trimBlanks(tabelle)) + QLatin1Char('.') + name(vt::trimBlanks(feld));
}

QString bedingung(const QString &tabelle, const QString &feld, const QString &kriterium)
{
    const QString spalte = QStringLiteral("((") + spaltenName(tabelle, feld) + QLatin1Char(')');
    const QString k = woerterErsetzen(kriterium);
    if (hatWort(k, QStringLiteral("NULL"), Qt::CaseSensitive))
        return spalte + QStringLiteral(" IS ") + k + QLatin1Char(')');
    if (hatWort(k, QStringLiteral("LIKE"), Qt::CaseSensitive) || k.contains(QLatin1Char('='))
        || k.contains(QLatin1Char('>')) || k.contains(QLatin1Char('<')))
        return spalte + QLatin1Char(' ') + k + QLatin1Char(')');
    // WAHR / NICHT FALSCH test the stored Yes/No value, not the text "true".
    static const QRegularExpression jaNein(QStringLiteral("^(NOT\\s+)?(true|false)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = jaNein.match(k);
    if (m.hasMatch()) {
        const bool wert = (m.captured(2).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                          != !m.captured(1).isEmpty();
        return spalte + QStringLiteral("= ") + (wert ? QStringLiteral("True") : QStringLiteral("False")) +
               QLatin1Char(')');
    }
    QString wert = k;
    wert.replace(QLatin1Char('\''), QLatin1String("''"));
    return spalte + QStringLiteral("= '") + wert + QStringLiteral("')");
}

QString anweisungErstellen(QVector<Zeile> &zeilen)
{
    const QString zeilenende = QStringLiteral("\r\n");
    for (Zeile &z : zeilen)
        z.kriterium = kriteriumNormalisieren(z.kriterium);

    QStringList auswahl, von;
    QString wo, ordnung;
    for (const Zeile &z : zeilen) {
        const QString feld = vt::trimBlanks(z.feld), tabelle = vt::trimBlanks(z.tabelle);
        if (!feld.isEmpty() && z.anzeigen)
            auswahl << spaltenName(tabelle, feld);
        if (!tabelle.isEmpty() && !von.contains(name(tabelle)))
            von << name(tabelle);
        if (!tabelle.isEmpty() && !z.kriterium.isEmpty())
            wo += bedingung(tabelle, feld, z.kriterium) + QStringLiteral(" AND ");
        const QString sortierung = vt::trimBlanks(z.sortierung);
        if (sortierung == QLatin1String(Aufsteigend))
            ordnung += spaltenName(tabelle, feld) + QStringLiteral(", ");
        else if (sortierung == QLatin1String(Absteigend))
            ordnung += spaltenName(tabelle, feld) + QStringLiteral(" DESC , ");
    }
    QString sql = QStringLiteral("SELECT ") + auswahl.join(QStringLiteral(", ")) + zeilenende;
    sql += QStringLiteral("FROM ") + von.join(QStringLiteral(", ")) + zeilenende;
    if (wo.endsWith(QLatin1String("AND ")))
        wo.chop(4);
    if (!wo.isEmpty())
        sql += QStringLiteral("WHERE (") + wo + QLatin1Char(')') + zeilenende;
    if (ordnung.endsWith(QLatin1String(", ")))
        ordnung.chop(2);
    sql += QStringLiteral("ORDER BY ") + ordnung + QLatin1Char(';');
    return sql;
}

bool hatSortierung(const QVector<Zeile> &zeilen)
{
    for (const Zeile &z : zeilen)
        if (!vt::trimBlanks(z.sortierung).isEmpty())
            return true;
    return false;
}

QStringList felderLesen(zdb::Db &db, const QString &tabelle)
{
    const zdb::Result r = db.query(QStringLiteral("SELECT * FROM ") + zdb::quoteName(tabelle), {}, 1);
    QStringList felder;
    if (r.rowCount() < 1)
        return felder;
    for (const QString &f : r.columns)
        if (!vt::upperCase(f).contains(QLatin1String("PASSWOR")))
            felder << f;
    return felder;
}

} // namespace abfragebau
