#include "absence/absenzrecord.h"
#include "platform/textzuschnitt.h"
#include "platform/valuetext.h"

#include <algorithm>
#include <cmath>

namespace absence {

const QString Absenz::KrBemerkung = QStringLiteral("Bei 'kr' darf keine Bemerkung gespeichert werden.");

namespace {

// The person's records of one day, whatever time the day carries.
const QString tagBedingung = QStringLiteral(" AND Fehltag >= ?2 AND Fehltag < ?3");

QString personSql(const Kennung &id, const QString &spalten, const QString &weitere, const QString &ordnung)
{
    if (id.nurExakt)
        return fehltageSql(spalten, QString(), weitere, ordnung, true, QStringLiteral("SELECT ?1 AS value"));
    return fehltageSql(spalten, QStringLiteral("= ?1"), weitere, ordnung, istAscii(id.suchwert()));
}

zdb::Params tagParams(const Kennung &id, const QDate &tag)
{
    return {id.suchwert(), zdb::isoDate(tag), zdb::isoDate(tag.addDays(1))};
}

QString code(const QString &s) { return vt::trimBlanks(s).left(Absenz::MaxCode); }

struct Gefunden {
    QVector<qint64> rowids; // the first one is worked on
    QString zaehlt;         // of the first
};

Gefunden suchen(zdb::Db &eigen, const Kennung &id, const QDate &tag)
{
    Gefunden g;
    eigen.forEach(personSql(id, QStringLiteral("zaehlt"), tagBedingung, QStringLiteral("nr")), tagParams(id, tag),
                  [&](const QVariantList &r) {
                      if (g.rowids.isEmpty())
                          g.zaehlt = vt::valueText(r[0]);
                      g.rowids.push_back(r[1].toLongLong());
                      return true;
                  });
    return g;
}

// Removes every record of the day, so an older duplicate cannot keep the absence alive.
void alleLoeschen(zdb::Db &eigen, const QVector<qint64> &rowids)
{
    for (qint64 r : rowids)
        eigen.exec(QStringLiteral("DELETE FROM tbl_Fehltage WHERE rowid = ?"), {r});
}

} // namespace

bool druckbaresAscii(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar ch) { return ch.unicode() >= 0x20 && ch.unicode() <= 0x7E; });
}

bool istAscii(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar ch) { return ch.unicode() < 0x80; });
}

QString Kennung::suchwert() const { return nurExakt ? vt::trimBlanks(id) : vt::idSchluessel(id); }

QString fehltageSql(const QString &spalten, const QString &vergleich, const QString &weitere, const QString &ordnung,
                    bool formenAscii, const QString &exaktWerte)
{
    // The stored schema may name no function of ours, so the index holds the comparison form as
    // SQLite's own functions make it (vt::idFormSql): exact for every id whose form is ASCII, and
    // for the ids of printable ASCII, letters folding into it and composed umlauts. The few other
    // ids (decomposed, Greek, Cyrillic …) have a small partial index and are compared by their form
    // (IdSchluessel) whenever a form beyond ASCII is sought; the first branch then leaves them to it. An exact id is found through the
    // form's index too, as its form is that of the records stored exactly under it. The indexes
    // are named where the planner, without statistics, may rather take the days' index.
    const QString form = vt::idFormSql(QStringLiteral("S_Id"));
    const QString jenseits = form + QStringLiteral(" GLOB ") + vt::idFormJenseitsGlob();
    const QString kopf = QStringLiteral("SELECT ") + spalten + QStringLiteral(", rowid AS nr, ");
    QStringList teile;
    if (!vergleich.isEmpty()) {
        teile << kopf + form + QStringLiteral(" AS form, 0 AS exakt FROM tbl_Fehltage WHERE ") + form
                     + QLatin1Char(' ') + vergleich
                     + (formenAscii ? QString() : QStringLiteral(" AND NOT (") + jenseits + QLatin1Char(')'))
                     + weitere;
        if (!formenAscii)
            teile << kopf + QStringLiteral("IdSchluessel(S_Id), 0 FROM tbl_Fehltage INDEXED BY idx_Fehltage_IdFormSonstige "
                                           "WHERE ")
                         + jenseits + QStringLiteral(" AND IdSchluessel(S_Id) ") + vergleich + weitere;
    }
    if (!exaktWerte.isEmpty()) {
        const QString getrimmt = QStringLiteral("rtrim(ltrim(S_Id, ' '), ' ')");
        teile << kopf + getrimmt + QStringLiteral(", 1 FROM tbl_Fehltage INDEXED BY idx_Fehltage_IdForm WHERE ") + form
                     + QStringLiteral(" IN (SELECT ") + vt::idFormSql(QStringLiteral("value")) + QStringLiteral(" FROM (")
                     + exaktWerte + QStringLiteral(")) AND ") + getrimmt
                     + QStringLiteral(" COLLATE BINARY IN (SELECT value FROM (") + exaktWerte + QStringLiteral("))")
                     + weitere;
    }
    return QStringLiteral("SELECT * FROM (") + teile.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(")")
           + (ordnung.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + ordnung);
}

bool Absenz::istKr(const QString &grund) { return vt::upperTrim(grund) == QLatin1String("KR"); }

std::optional<QString> Absenz::zaehltNormalisieren(const QString &text)
{
    QString t = text + QLatin1Char('0');
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    double d = 0;
    if (!vt::parseNumber(t, &d) || !std::isfinite(d))
        return std::nullopt;
    d = std::round(d * 10.0) / 10.0;
    d = std::clamp(d, 0.0, 1.0) + 0.0; // no "-0,0"
    return QString::number(d, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString Absenz::bemerkungKuerzen(const QString &text) { return zuschnitt::kuerzen(text, MaxBemerkung); }

std::optional<AbsenzDaten> Absenz::laden(zdb::Db &eigen, const Kennung &id, const QDate &tag)
{
    const zdb::Result r = eigen.query(
        personSql(id, QStringLiteral("Grund, s01, s02, s03, s04, s05, s06, s07, s08, s09, s10, Bemerkung, zaehlt, "
                                    "entschuldigt"),
                     tagBedingung, QStringLiteral("nr LIMIT 1")),
        tagParams(id, tag));
    if (r.isEmpty())
        return std::nullopt;
    AbsenzDaten d;
    d.grund = vt::valueText(r.value(0, 0));
    for (int i = 0; i < 10; ++i)
        d.std[i] = vt::valueText(r.value(0, 1 + i));
    d.bemerkung = vt::valueText(r.value(0, 11));
    d.zaehlt = vt::valueText(r.value(0, 12));
    d.entschuldigt = zdb::yesNo(r.value(0, 13));
    return d;
}

Schreibergebnis Absenz::speichern(zdb::Db &eigen, const Kennung &id, const QDate &tag, const AbsenzDaten &panel,
                                  const QDateTime &jetzt)
{
    const QString R = code(panel.grund);
    if (vt::trimBlanks(id.id).isEmpty() || !tag.isValid())
        return Schreibergebnis::Nichts; // no person or day chosen
    zdb::WriteTransaction tx(eigen);
    const Gefunden g = suchen(eigen, id, tag);
    if (g.rowids.isEmpty() && R.isEmpty())
        return Schreibergebnis::Nichts;
    if (R.isEmpty()) {
        alleLoeschen(eigen, g.rowids);
        tx.commit();
        return Schreibergebnis::Geloescht;
    }

    QString zaehlt = vt::trimBlanks(panel.zaehlt);
    if (!zaehlt.isEmpty()) {
        const auto z = zaehltNormalisieren(zaehlt);
        zaehlt = z ? *z : g.zaehlt; // no number: the stored value stays
    }
    const QString bemerkung = istKr(R) ? KrBemerkung : bemerkungKuerzen(vt::trimBlanks(panel.bemerkung));
    zdb::Params felder{R};
    for (const QString &s : panel.std)
        felder << code(s);
    felder << bemerkung << zaehlt << (panel.entschuldigt ? 1 : 0);
    const QString stempel = zdb::isoDateTime(jetzt);

    if (g.rowids.isEmpty()) {
        eigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (Grund, s01, s02, s03, s04, s05, s06, s07, s08, s09, s10, "
                                  "Bemerkung, zaehlt, entschuldigt, S_Id, Fehltag, Eintrag, Edit) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   felder + zdb::Params{id.id, zdb::isoDate(tag), stempel, stempel});
        tx.commit();
        return Schreibergebnis::Hinzugefuegt;
    }
    eigen.exec(QStringLiteral("UPDATE tbl_Fehltage SET Grund = ?, s01 = ?, s02 = ?, s03 = ?, s04 = ?, s05 = ?, s06 = ?, "
                              "s07 = ?, s08 = ?, s09 = ?, s10 = ?, Bemerkung = ?, zaehlt = ?, entschuldigt = ?, "
                              "Edit = ? WHERE rowid = ?"),
               felder + zdb::Params{stempel, g.rowids.first()});
    tx.commit();
    return Schreibergebnis::Geaendert;
}

Schreibergebnis Absenz::ganztagSpeichern(zdb::Db &eigen, const Kennung &id, const QDate &tag, const QString &grund,
                                         const QDateTime &jetzt)
{
    const QString G = code(grund);
    const QString stempel = zdb::isoDateTime(jetzt);
    if (vt::trimBlanks(id.id).isEmpty() || !tag.isValid())
        return Schreibergebnis::Nichts;
    zdb::WriteTransaction tx(eigen);
    const Gefunden g = suchen(eigen, id, tag);
    if (g.rowids.isEmpty()) {
        if (G.isEmpty())
            return Schreibergebnis::Nichts;
        eigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund, Eintrag, Edit, zaehlt, entschuldigt) "
                                  "VALUES (?, ?, ?, ?, ?, '1,0', 0)"),
                   {id.id, zdb::isoDate(tag), G, stempel, stempel});
        tx.commit();
        return Schreibergebnis::Hinzugefuegt;
    }
    if (G.isEmpty()) {
        alleLoeschen(eigen, g.rowids);
        tx.commit();
        return Schreibergebnis::Geloescht;
    }
    if (istKr(G)) // a "kr" day keeps no remark of the user's
        eigen.exec(QStringLiteral("UPDATE tbl_Fehltage SET Edit = ?, Grund = ?, Bemerkung = ? WHERE rowid = ?"),
                   {stempel, G, KrBemerkung, g.rowids.first()});
    else
        eigen.exec(QStringLiteral("UPDATE tbl_Fehltage SET Edit = ?, Grund = ? WHERE rowid = ?"),
                   {stempel, G, g.rowids.first()});
    tx.commit();
    return Schreibergebnis::Geaendert;
}

QString Absenz::derPersonSql(const Kennung &id)
{
    return personSql(id, QStringLiteral("Fehltag, Grund, s01, s02, s03, s04, s05, s06, s07, s08, s09, "
                                                    "s10, entschuldigt, zaehlt, Bemerkung"),
                                 QString(), QStringLiteral("Fehltag, nr"));
}

QVector<Absenz::Zeile> Absenz::derPerson(zdb::Db &eigen, const Kennung &id)
{
    QVector<Zeile> zeilen;
    eigen.forEach(Absenz::derPersonSql(id),
                  {id.suchwert()}, [&](const QVariantList &r) {
                      Zeile z;
                      z.fehltag = zdb::dateFromStored(r[0]);
                      z.grund = vt::valueText(r[1]);
                      for (int i = 0; i < 10; ++i)
                          z.std[i] = vt::valueText(r[2 + i]);
                      z.entschuldigt = zdb::yesNo(r[12]);
                      z.zaehlt = vt::valueText(r[13]);
                      z.bemerkung = vt::valueText(r[14]);
                      zeilen.push_back(z);
                      return true;
                  });
    return zeilen;
}

} // namespace absence
