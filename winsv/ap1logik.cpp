#include "winsv/ap1logik.h"

#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/valuetext.h"
#include "winsv/sddf1wahl.h"

namespace ap1 {

const QStringList &faecher()
{
    static const QStringList f{"Rel", "Eth", "D",   "E",   "F",  "M",  "Inf", "Ph", "Ch", "B",  "Erz", "G",   "Ek",
                               "WiR", "Sk",  "BwR", "Sow", "S",  "Mu", "Ku",  "We", "TZ", "TG", "HE",  "TvK", "IT"};
    return f;
}

double zahlAmAnfang(const QString &text) { return accessfn::accessVal(text); }

long notenFarbe(const QString &text, bool mark1, bool mark2, bool mark3, long farbe)
{
    const QString t = vt::trimBlanks(text);
    long c = Weiss;
    if (t != QLatin1String("-")) {
        const double v = zahlAmAnfang(t);
        if (v > 6)
            c = Rot;
        else if (v < 1)
            c = Gelb;
        else if (v == 5 || v == 6)
            c = Hellrot;
    }
    if (mark1)
        c = Hellrot;
    if (mark2)
        c = Hellrot;
    if (mark3)
        c = Gelb;
    if (farbe > 0)
        c = farbe;
    return c;
}

bool ueberVier(const QString &text) { return zahlAmAnfang(text) > 4; }

QString zaehlerPlusEins(const QString &caption)
{
    return QString::number(qint64(zahlAmAnfang(caption)) + 1);
}

std::optional<int> gridHoehe(int innenHoehe, int gridOben)
{
    const int h = innenHoehe - gridOben - 60;
    if (h > 100)
        return h;
    return std::nullopt;
}

Auszaehlung::Auszaehlung() : m_anzahl(int(faecher().size()), 0) {}

bool Auszaehlung::schueler(const QVector<long> &muendlichFarben, const QStringList &jahresnoten)
{
    int ausfall = 0;
    for (int i = 0; i < m_anzahl.size(); ++i) {
        if (muendlichFarben.value(i) == Hellrot)
            ++m_anzahl[i];
        if (ueberVier(jahresnoten.value(i)))
            ++ausfall;
    }
    return ausfall > 0;
}

QString Auszaehlung::anzahlText(int fach) const
{
    const int n = m_anzahl.value(fach);
    return n > 0 ? QString::number(n) : QString();
}

Datendatei datendateiBestimmen(const QString &registriert, const std::function<QString()> &dialog,
                               const std::function<void(const QString &)> &hinweis)
{
    Datendatei d{registriert, QString()};
    // A registered file whose network folder is gone just now: said so, no other file is asked for.
    d.meldung = winsv::nichtErreichbar(registriert);
    if (!d.meldung.isEmpty())
        return d;
    if (!winsv::pfadVorhanden(d.pfad))
        d.pfad = winsv::alternativerPfad();
    if (!winsv::pfadVorhanden(d.pfad)) {
        if (hinweis)
            hinweis(QStringLiteral("Bitte geben Sie den Pfad zur OMNIS-Datendatei 'sd.df1' der WinSV an."));
        do {
            d.pfad = dialog ? dialog() : QStringLiteral("sd.df1");
        } while (!winsv::pfadVorhanden(d.pfad) && d.pfad.size() >= 7);
    }
    if (!winsv::pfadVorhanden(d.pfad)) {
        d.meldung = QStringLiteral("Die Datendatei der WinSV wurde nicht gefunden.");
        return d;
    }
    winsv::alternativerPfadSpeichern(d.pfad);
    return d;
}

QStringList zehnerKlassen(zdb::Db &nm)
{
    const zdb::Result r = nm.query(
        QStringLiteral("SELECT Klasse AS Kl_ID FROM Klassen WHERE Klasse LIKE '10%' ORDER BY Klasse COLLATE DE"));
    QStringList out;
    for (int i = 0; i < r.rowCount(); ++i)
        out << mdl::NullZuText(r.value(i, 0));
    return out;
}

QVector<Schueler> schuelerDerKlasse(zdb::Db &nm, const QString &klasse)
{
    const zdb::Result r = nm.query(QStringLiteral("SELECT SchülerNr AS S_Id, Name, Vorname, Klasse, WinSVSnr FROM Schüler "
                                                  "WHERE Klasse = ? COLLATE NOCASEU ORDER BY Name COLLATE DEU, Vorname COLLATE DE"),
                                   {klasse});
    QVector<Schueler> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        Schueler s;
        s.anzeige = mdl::NullZuText(r.value(i, 1)) + QStringLiteral(", ") + mdl::NullZuText(r.value(i, 2));
        bool ok = false;
        const qint64 nr = vt::trimBlanks(mdl::NullZuText(r.value(i, 4))).toLongLong(&ok);
        if (ok)
            s.winsvNr = nr;
        out << s;
    }
    return out;
}

} // namespace ap1
