#include "tools/demo/konvertieren.h"

#include "platform/db.h"

#include <QFile>
#include <QRegularExpression>

namespace demo {

namespace {

enum class Art { JaNein, Datum, Text, Memo, Ganzzahl, Zahl };

Art artVon(const QString &typ)
{
    const QString t = typ.toUpper();
    if (zdb::isYesNoColumn(t))
        return Art::JaNein;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return Art::Datum;
    if (t.contains(QLatin1String("CHAR")))
        return Art::Text;
    if (t.contains(QLatin1String("TEXT")) || t.isEmpty())
        return Art::Memo;
    if (t.contains(QLatin1String("INT")) || t.contains(QLatin1String("LONG")) || t.contains(QLatin1String("COUNTER")))
        return Art::Ganzzahl;
    return Art::Zahl;
}

const char *typName(Art a)
{
    switch (a) {
    case Art::JaNein:
    case Art::Ganzzahl:
        return "INTEGER";
    case Art::Datum:
        return "DateTime";
    case Art::Text:
        return "varchar";
    case Art::Memo:
        return "TEXT";
    case Art::Zahl:
        return "REAL";
    }
    return "TEXT";
}

QString backtick(const QString &name) { return QLatin1Char('`') + name + QLatin1Char('`'); }

} // namespace

void wieKonvertiert(const QString &quelle, const QString &ziel, const Konvertierung &k)
{
    zdb::Db von;
    von.open(quelle, zdb::Db::ReadOnly);
    QFile::remove(ziel);
    zdb::Db nach;
    nach.create(ziel);
    zdb::WriteTransaction tx(nach);
    const zdb::Result tabellen = von.query(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid"));
    static const QRegularExpression tag(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    for (const QVariantList &t : tabellen.rows) {
        const QString name = t[0].toString();
        const zdb::Result info = von.query(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {name});
        QStringList spalten, marken;
        QVector<Art> arten;
        QVector<bool> bruch; // a number column that is not whole: a 0 there may be left Null
        for (const QVariantList &c : info.rows) {
            arten << artVon(c[1].toString());
            bruch << (arten.last() == Art::Zahl);
            static const QRegularExpression note(QStringLiteral("^(sa|ka|ex)\\d+$"));
            // Grades kept as numbers, as a school's own Access file may have them.
            const bool noten = name == QLatin1String("Noten") && note.match(c[0].toString()).hasMatch();
            if (k.zahlenAlsReal && (arten.last() == Art::Ganzzahl || noten))
                arten.last() = Art::Zahl;
            spalten << backtick(c[0].toString()) + QLatin1Char(' ') + QLatin1String(typName(arten.last()));
            marken << QStringLiteral("?");
        }
        nach.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(backtick(name), spalten.join(QStringLiteral(", "))));
        const QString einfuegen =
            QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(backtick(name), marken.join(QStringLiteral(", ")));
        von.forEach(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(zdb::quoteName(name)), {},
                    [&](const QVariantList &zeile) {
                        zdb::Params werte;
                        for (int i = 0; i < zeile.size(); ++i) {
                            QVariant v = zeile[i];
                            if (arten[i] == Art::Datum && tag.match(v.toString()).hasMatch())
                                v = v.toString() + QStringLiteral(" 00:00:00");
                            else if (arten[i] == Art::JaNein && !v.isNull())
                                v = zdb::yesNo(v) ? (k.jaAlsMinusEins ? -1 : 1) : 0;
                            else if (arten[i] == Art::Zahl && k.zahlenAlsReal && !v.isNull()) {
                                bool zahl = false;
                                const double d = v.toString().toDouble(&zahl);
                                if (zahl)
                                    v = d;
                            }
                            if (k.leerAlsNull && arten[i] != Art::JaNein &&
                                (v.toString().isEmpty() || (bruch[i] && v.typeId() != QMetaType::QString && v.toDouble() == 0)))
                                v = QVariant();
                            if (k.leerzeichenAmEnde && v.typeId() == QMetaType::QString && !v.toString().isEmpty() &&
                                (arten[i] == Art::Text || arten[i] == Art::Memo))
                                v = v.toString() + QLatin1Char(' ');
                            werte << v;
                        }
                        nach.exec(einfuegen, werte);
                        return true;
                    });
    }
    tx.commit();
}

} // namespace demo
