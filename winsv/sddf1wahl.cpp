#include "winsv/sddf1wahl.h"

#include "platform/safefile.h"
#include "platform/settings.h"
#include "platform/valuetext.h"

#include <QDir>
#include <QFileInfo>

namespace winsv {

namespace {
const QString Abschnitt = QStringLiteral("PFAD");
const QString Fehlt = QStringLiteral(" (nicht vorhanden)");
} // namespace

bool pfadVorhanden(const QString &pfad)
{
    const QString p = vt::trimBlanks(pfad);
    return !p.isEmpty() && !p.endsWith(Fehlt) && QFileInfo(p).isFile();
}

QString nichtErreichbar(const QString &pfad)
{
    const QString p = vt::trimBlanks(pfad);
    int err = 0;
    if (!p.isEmpty())
        safefile::missing(p, &err);
    if (!err)
        return QString();
    return QStringLiteral("Die SD.DF1 - Datei \"%1\" kann im Moment nicht erreicht werden: %2\r"
                          "Sobald der Netzwerkordner wieder erreichbar ist, kann der Schritt wiederholt werden.")
        .arg(QDir::toNativeSeparators(p), safefile::reason(err));
}

QString optionText(const QString &pfad) { return pfadVorhanden(pfad) ? pfad : pfad + Fehlt; }

Wahl wahlBeiAktivierung(const QString &nmPfad, const QString &altPfad, const QString &gespeichert)
{
    const bool nm = pfadVorhanden(nmPfad), alt = pfadVorhanden(altPfad);
    if (nm && alt)
        return gespeichert == QLatin1String("Zandrel") ? Wahl::Alternativ : Wahl::NM;
    if (nm)
        return Wahl::NM;
    if (alt)
        return Wahl::Alternativ;
    return Wahl::Keine;
}

QString gespeicherteWahl() { return settings::getSetting(Abschnitt, QStringLiteral("SDDF1-Einstellung"), QString()); }

void wahlSpeichern(Wahl wahl)
{
    if (wahl != Wahl::Keine)
        settings::saveSetting(Abschnitt, QStringLiteral("SDDF1-Einstellung"),
                              wahl == Wahl::NM ? QStringLiteral("NM") : QStringLiteral("Zandrel"));
}

QString alternativerPfad() { return settings::getSetting(Abschnitt, QStringLiteral("sd.df1"), QString()); }
void alternativerPfadSpeichern(const QString &pfad) { settings::saveSetting(Abschnitt, QStringLiteral("sd.df1"), pfad); }

Aufloesung datendateiAufloesen(Wahl wahl, const QString &nmCaption, const QString &altCaption)
{
    if (wahl == Wahl::Keine)
        return {QString(), QStringLiteral("Bitte wählen Sie aus, welche SD.DF1 - Datei verwendet werden soll.")};
    const QString pfad = vt::trimBlanks(wahl == Wahl::NM ? nmCaption : altCaption);
    wahlSpeichern(wahl);
    if (const QString weg = nichtErreichbar(pfad.endsWith(Fehlt) ? pfad.chopped(Fehlt.size()) : pfad);
        !weg.isEmpty())
        return {QString(), weg};
    if (!pfadVorhanden(pfad)) {
        QString meldung = QStringLiteral("Die angegebene SD.DF1 - Datei wurde nicht gefunden.");
        // The grade manager's registration names no file at all: say where it is looked up.
        const QString nmPfad = nmCaption.endsWith(Fehlt) ? nmCaption.chopped(Fehlt.size()) : nmCaption;
        if (wahl == Wahl::NM && vt::trimBlanks(nmPfad).isEmpty()) {
            meldung += QStringLiteral("\rDer Schlüssel \"WinSDDB\" im Abschnitt [nmSV] fehlt oder ist leer in");
            for (const QString &f : registry::nmFiles())
                meldung += QLatin1Char('\r') + QDir::toNativeSeparators(f);
        }
        return {QString(), meldung};
    }
    return {pfad, QString()};
}

} // namespace winsv
