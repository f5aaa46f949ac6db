#include "calendar/terminrechte.h"
#include "core/mdl_zandrel.h"

#include <cmath>

namespace kalender {

bool istSchulleitung(const QString &benutzer)
{
    const QString b = mdl::GrossGetrimmt(benutzer);
    return b == QLatin1String("X") || b == QLatin1String("XS");
}

bool darfSonstigeTermine(const QString &benutzer, const QString &freigabe)
{
    return istSchulleitung(benutzer) || mdl::GrossGetrimmt(freigabe) == QLatin1String("ALL");
}

bool darfKlassenfahrt(const QString &benutzer, const QString &freigabe)
{
    return istSchulleitung(benutzer) || mdl::GrossGetrimmt(freigabe) == QLatin1String("ALL");
}

bool darfAendern(const QString &benutzer, const QString &lehrkraft, const QString &eingetragenVon)
{
    const QString b = mdl::GrossGetrimmt(benutzer);
    return istSchulleitung(benutzer) || mdl::GrossGetrimmt(lehrkraft) == b || mdl::GrossGetrimmt(eingetragenVon) == b;
}

bool innerhalbEinerMinute(const QDateTime &eingetragen, const QDateTime &jetzt)
{
    if (!eingetragen.isValid() || !jetzt.isValid())
        return false;
    return std::llabs(eingetragen.msecsTo(jetzt)) < 60 * 1000;
}

QString meldungAendernVerboten(const QString &lehrkraft)
{
    return QStringLiteral("Dieser Eintrag kann nur von '") + lehrkraft.trimmed()
        + QStringLiteral("' oder der Schulleitung (X oder XS) verändert werden!");
}

QString meldungLoeschenVerboten(const QString &lehrkraft)
{
    return QStringLiteral("Dieser Eintrag kann nur von '") + lehrkraft.trimmed()
        + QStringLiteral("' oder der Schulleitung (X oder XS) gelöscht werden!");
}

QString meldungBereitsEingetragen()
{
    return QStringLiteral("Sie haben \r  - dieses Fach \r  - an diesem Tag \r  - in dieser Klasse\rbereits eingetragen.");
}

QString fachKuerzel(const QString &fach)
{
    const QString t = fach.trimmed();
    const int blank = t.indexOf(QLatin1Char(' '));
    return (blank < 0 ? t : t.left(blank)).trimmed();
}

SchAAngebot angebotErstellen(const QString &benutzer, const QString &freigabeSonstige,
                             const QString &freigabeKlassenfahrt, const QVector<Kurs> &kurse)
{
    SchAAngebot a;
    const bool admin = istSchulleitung(benutzer);
    if (admin) {
        a.zeilen.append({QStringLiteral("KF"), QString(), QString()});
        a.zeilen.append({QStringLiteral("so"), QString(), QString()});
    } else {
        if (darfSonstigeTermine(benutzer, freigabeSonstige))
            a.zeilen.append({QStringLiteral("so"), QString(), QString()});
        if (darfKlassenfahrt(benutzer, freigabeKlassenfahrt))
            a.zeilen.append({QStringLiteral("KF"), QString(), QString()});
    }
    a.keineKurse = kurse.isEmpty();
    const QString ich = mdl::GrossGetrimmt(benutzer);
    for (const Kurs &k : kurse) {
        const QString code = fachKuerzel(k.fach);
        if (admin || mdl::GrossGetrimmt(k.lehrkraft) == ich) {
            a.zeilen.append({code, k.lehrkraft, k.fach.trimmed()});
            a.eigenerKurs = true;
        }
        a.kursFaecher.append(code);
    }
    return a;
}

QString bemerkungFuerEintrag(const SchAAngebot &angebot, const Angebot &gewaehlt)
{
    const QString code = fachKuerzel(gewaehlt.fach).toUpper();
    if (code.isEmpty())
        return QString();
    int n = 0;
    for (const QString &f : angebot.kursFaecher)
        if (f.toUpper() == code)
            ++n;
    return n >= 2 ? gewaehlt.fachVoll.trimmed() : QString();
}

} // namespace kalender
