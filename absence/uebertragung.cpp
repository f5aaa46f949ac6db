#include "absence/uebertragung.h"
#include "absence/personentabelle.h"
#include "platform/accessfuncs.h"
#include "platform/valuetext.h"

#include <QDate>
#include <QMap>
#include <cmath>

namespace absence {

QString Uebertragung::spalte(int monat)
{
    static const char *namen[] = {"jan", "feb", "märz", "april", "mai", "juni",
                                  "juli", "aug", "sept", "okt", "nov", "dez"};
    return (monat >= 1 && monat <= 12) ? QString::fromUtf8(namen[monat - 1]) : QString();
}

std::optional<qint64> Uebertragung::schuelerNummer(const QString &sId)
{
    const QString t = vt::trimBlanks(sId);
    if (t.isEmpty() || t.size() > 18)
        return std::nullopt;
    for (const QChar ch : t)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
    const qint64 n = t.toLongLong();
    if (n <= 0)
        return std::nullopt;
    return n;
}

double Uebertragung::zaehltWert(const QString &zaehlt)
{
    QString t = zaehlt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const double d = accessfn::accessVal(t);
    return std::isfinite(d) ? d : 0.0;
}

int Uebertragung::uebertragen(zdb::Db &eigen, zdb::Db &nm, const Monate &monate)
{
    // Sums in thousandths, so that tenths add up without binary remainders.
    using Summen = std::array<qint64, 13>;
    QMap<qint64, Summen> summen;
    Personentabelle personen;
    personen.laden(nm);
    // The pupil number a record counts for, once per stored id (a pupil's records come together).
    QString letzteId;
    std::optional<qint64> letzteNr;
    auto nummer = [&](const QString &sId) {
        if (sId == letzteId && !letzteId.isNull())
            return letzteNr;
        letzteId = sId;
        const QString person = personen.zuordnung().personVon(sId);
        if (person.isEmpty()) {
            const auto nr = schuelerNummer(sId);
            letzteNr = nr && QString::number(*nr) == vt::trimBlanks(sId) ? nr : std::nullopt;
        } else {
            letzteNr = personen.schuelerId(person) ? schuelerNummer(person) : std::nullopt;
        }
        return letzteNr;
    };
    {
        zdb::WriteTransaction tx(eigen);
        QVector<qint64> ohneWert;
        eigen.forEach(QStringLiteral("SELECT rowid, S_Id, Fehltag, zaehlt FROM tbl_Fehltage ORDER BY S_Id, Fehltag"), {},
                      [&](const QVariantList &r) {
                          const auto nr = nummer(vt::valueText(r[1]));
                          if (!nr)
                              return true; // teachers are never transferred
                          Summen &s = summen[*nr]; // a pupil with a record is written even when nothing counts
                          const QString z = vt::valueText(r[3]);
                          double wert = 1.0;
                          if (vt::trimBlanks(z).isEmpty())
                              ohneWert.push_back(r[0].toLongLong());
                          else
                              wert = zaehltWert(z);
                          const QDate tag = zdb::dateFromStored(r[2]);
                          if (wert > 0 && tag.isValid())
                              s[tag.month()] += std::llround(wert * 1000.0);
                          return true;
                      });
        for (qint64 rowid : ohneWert)
            eigen.exec(QStringLiteral("UPDATE tbl_Fehltage SET zaehlt = '1,0' WHERE rowid = ?"), {rowid});
        tx.commit();
    }

    QStringList gesetzt;
    QVector<int> monatsListe;
    for (int m = 1; m <= 12; ++m)
        if (monate[m]) {
            gesetzt << zdb::quoteName(spalte(m)) + QStringLiteral(" = ?");
            monatsListe << m;
        }
    QStringList einfuegeSpalten{zdb::quoteName(QStringLiteral("schülernr"))};
    QStringList platzhalter{QStringLiteral("?")};
    for (int m : monatsListe) {
        einfuegeSpalten << zdb::quoteName(spalte(m));
        platzhalter << QStringLiteral("?");
    }
    const QString update = QStringLiteral("UPDATE fehltage SET ") + gesetzt.join(QStringLiteral(", "))
                           + QStringLiteral(" WHERE schülernr = ?");
    const QString einfuegen = QStringLiteral("INSERT INTO fehltage (") + einfuegeSpalten.join(QStringLiteral(", "))
                              + QStringLiteral(") VALUES (") + platzhalter.join(QStringLiteral(", "))
                              + QStringLiteral(")");

    int geschrieben = 0;
    zdb::WriteTransaction tx(nm);
    for (auto it = summen.cbegin(); it != summen.cend(); ++it) {
        zdb::Params werte;
        for (int m : monatsListe)
            werte << double(it.value()[m]) / 1000.0;
        bool vorhanden;
        if (monatsListe.isEmpty())
            vorhanden = !nm.scalar(QStringLiteral("SELECT 1 FROM fehltage WHERE schülernr = ?"), {it.key()}).isNull();
        else
            vorhanden = nm.exec(update, werte + zdb::Params{it.key()}) > 0;
        if (!vorhanden)
            nm.exec(einfuegen, zdb::Params{it.key()} + werte);
        ++geschrieben;
    }
    tx.commit();
    return geschrieben;
}

} // namespace absence
