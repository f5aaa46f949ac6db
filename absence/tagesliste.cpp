#include "absence/tagesliste.h"
#include "absence/klassenliste.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/valuetext.h"

#include <cmath>

namespace absence {

namespace {
// Records of the day, whatever time the stored day carries.
const QString tagBedingung = QStringLiteral(" FROM tbl_Fehltage WHERE Fehltag >= ?1 AND Fehltag < ?2");
const QString ohnePerson = QStringLiteral(" AND (S_Id IS NULL OR rtrim(ltrim(S_Id)) = '')");
} // namespace

QString Tagesliste::schluessel(const QString &klasse, const QString &name)
{
    if (vt::upperTrim(klasse) == QLatin1String("LK"))
        return QStringLiteral("LK");
    const int n = mdl::KlassenStufe(klasse);
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) + vt::trimBlanks(klasse) + vt::trimBlanks(name);
}

QVector<bool> Tagesliste::gruppenwechsel(const QStringList &gruppen)
{
    QVector<bool> w;
    w.reserve(gruppen.size());
    QString vorher;
    for (const QString &g : gruppen) {
        w.push_back(g != vorher);
        vorher = g;
    }
    return w;
}

QVector<TageslistenZeile> Tagesliste::lesen(zdb::Db &eigen, const QDate &tag, const Personentabelle &personen,
                                            const QString &gewaehlteKlasse, const QString &benutzer)
{
    const zdb::Params tagParams{zdb::isoDate(tag), zdb::isoDate(tag.addDays(1))};
    // A record without a person is removed whenever its day is listed; the write lock is taken
    // only when there is one.
    if (!eigen.scalar(QStringLiteral("SELECT 1") + tagBedingung + ohnePerson + QStringLiteral(" LIMIT 1"), tagParams)
             .isNull())
        eigen.exec(QStringLiteral("DELETE") + tagBedingung + ohnePerson, tagParams);

    const bool alle = Klassenliste::istVerwaltung(vt::trimBlanks(benutzer));
    const QString klasse = vt::upperTrim(gewaehlteKlasse);
    QVector<TageslistenZeile> zeilen;
    // Teachers share one sort key and keep this order: their abbreviations in German order.
    eigen.forEach(QStringLiteral("SELECT S_Id, Grund, Bemerkung") + tagBedingung + QStringLiteral(" ORDER BY S_Id COLLATE DE"),
                  tagParams, [&](const QVariantList &r) {
                      const QString id = vt::valueText(r[0]);
                      if (vt::trimBlanks(id).isEmpty())
                          return true;
                      const Personentabelle::Person p = personen.suchen(id);
                      const QString k = vt::upperTrim(p.klasse);
                      if (!alle && k != klasse)
                          return true;
                      TageslistenZeile z;
                      const QString person = personen.zuordnung().personVon(id);
                      z.id = person.isEmpty() ? id : person; // a click shows the person the record belongs to
                      z.klasse = k == QLatin1String("LK") ? QStringLiteral("LK") : p.klasse;
                      z.name = p.sname;
                      z.grund = vt::valueText(r[1]);
                      z.schluessel = schluessel(z.klasse, z.name);
                      z.bemerkung = vt::valueText(r[2]);
                      zeilen.push_back(z);
                      return true;
                  });
    return zeilen;
}

} // namespace absence
