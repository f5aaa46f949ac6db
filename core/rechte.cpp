#include "core/rechte.h"
#include "core/schema.h"
#include "platform/valuetext.h"

namespace rechte {

Gruppe gruppe(const QString &benutzer)
{
    const QString b = benutzer.toUpper();
    if (b == QLatin1String("X"))
        return Gruppe::Admin;
    if (b == QLatin1String("XS"))
        return Gruppe::Sekretariat;
    return Gruppe::Lehrkraft;
}

bool istAdmin(const QString &benutzer) { return gruppe(benutzer) != Gruppe::Lehrkraft; }

Spalten spaltenLesen(zdb::Db &eigen)
{
    Spalten out;
    const zdb::Result r = eigen.query(QStringLiteral("SELECT * FROM tbl_Einstellungen"), {}, 1);
    for (const schema::RightsColumn &c : schema::rightsColumns())
        out.insert(c.column, r.isEmpty() ? QString() : vt::valueText(r.value(0, c.column)));
    return out;
}

Menues berechnen(const QString &benutzer, const Spalten &spalten, const QString &schulnummer,
                 const QString &konfigurierteSchulnummer)
{
    Menues m;
    const Gruppe g = gruppe(benutzer);
    const QString marke = g == Gruppe::Sekretariat ? QStringLiteral("XS") : QStringLiteral("LK");
    auto frei = [&](const char *spalte) {
        return g == Gruppe::Admin || spalten.value(QString::fromLatin1(spalte)).toUpper().contains(marke);
    };
    m.fehltage = frei("mnu_Fehltage");
    m.kalender = frei("mnu_Kalender");
    m.leistungsnachweise = frei("mnu_Leistungsnachweise");
    m.listen = frei("mnu_Listen");
    m.datenabgleich = frei("mnu_Datenabgleich");
    m.unterricht = frei("mnu_Unterricht");
    m.verwaltung = g != Gruppe::Lehrkraft;
    m.fehltageLoeschen = g == Gruppe::Admin;
    m.wunschzettel = !konfigurierteSchulnummer.isEmpty() && schulnummer == konfigurierteSchulnummer;
    return m;
}

bool kalenderOffen(const QString &benutzer, const QString &kalenderGesperrt)
{
    return vt::upperTrim(kalenderGesperrt) == QLatin1String("NONE") || istAdmin(benutzer);
}

} // namespace rechte
