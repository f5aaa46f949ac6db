#include "records/wunschzettel.h"

#include "platform/db.h"
#include "platform/folders.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "platform/valuetext.h"

#include <QDir>

namespace wunsch {

namespace {

const QString Trenner = QStringLiteral("\",\"");

// The subject's first word; the uncoupled group key is empty and sorts first. Abbreviations and
// subjects compare without regard to case, as Access compares them, whatever the columns declare.
const char *const kAbfrage =
    "SELECT   L.Kürzel AS LE, L.Name AS NN, L.Vorname AS VN, L.Dienstbezeichnung AS DB, "
    "         CASE WHEN U.Koppel IS NULL OR U.Koppel = '' THEN '' ELSE L.Kürzel || '-' || U.Koppel END AS MixKoppel, "
    "         U.Klasse AS K, U.AnzStd AS S, "
    "         substr(COALESCE(U.Fach, '') || ' ', 1, instr(COALESCE(U.Fach, '') || ' ', ' ') - 1) AS F "
    "FROM     Lehrkräfte L INNER JOIN Unterricht U ON L.Kürzel = U.Lehrkraft COLLATE NOCASEU "
    "WHERE    length(L.Kürzel) <> 4 AND L.Kürzel COLLATE NOCASEU NOT IN ('X', 'XS') "
    "         AND U.Klasse IS NOT NULL AND U.Klasse <> '' "
    "         AND substr(COALESCE(U.Fach, '') || ' ', 1, instr(COALESCE(U.Fach, '') || ' ', ' ') - 1) "
    "             COLLATE NOCASEU NOT IN ('Smd', 'Swd') "
    "ORDER BY L.Name COLLATE DE, L.Vorname COLLATE DE, MixKoppel COLLATE DE, K COLLATE DE, F COLLATE DE";

struct Gruppe {
    QString fach, klassen, stunden;
};

} // namespace

QVector<Kurs> kurseLesen(zdb::Db &nm)
{
    QVector<Kurs> out;
    nm.forEach(QString::fromUtf8(kAbfrage), {}, [&out](const QVariantList &r) {
        out.append({vt::valueText(r[0]), vt::valueText(r[1]), vt::valueText(r[2]), vt::valueText(r[3]),
                    vt::valueText(r[4]), vt::valueText(r[5]), vt::valueText(r[6]), vt::valueText(r[7])});
        return true;
    });
    return out;
}

QString klassenMischen(const QString &klassenText, const QString &klasse)
{
    if (!klassenText.isEmpty() && klassenText.contains(klasse.left(2), Qt::CaseSensitive))
        return klassenText + vt::trimBlanks(klasse.mid(2));
    return klassenText + klasse;
}

QString kopfzeile()
{
    QStringList felder{QStringLiteral("LE"), QStringLiteral("NN"), QStringLiteral("VN"), QStringLiteral("DB")};
    for (int n = 1; n <= MaxGruppen; ++n)
        felder << QStringLiteral("F%1").arg(n) << QStringLiteral("K%1").arg(n) << QStringLiteral("S%1").arg(n);
    felder << QStringLiteral("X");
    return QLatin1Char('"') + felder.join(Trenner) + QLatin1Char('"');
}

QStringList lehrerZeilen(const QVector<Kurs> &kurse)
{
    QStringList zeilen;
    QString zeile, vorigesKuerzel, vorigerSchluessel;
    int gruppen = 0;
    Gruppe offen;

    auto gruppeSchliessen = [&] {
        // Groups beyond the 30th of a teacher are left out.
        if (++gruppen <= MaxGruppen)
            zeile += offen.fach + Trenner + offen.klassen + Trenner + offen.stunden + Trenner;
        offen = Gruppe();
    };
    auto zeileAbschliessen = [&] {
        for (; gruppen < MaxGruppen; ++gruppen)
            zeile += Trenner + Trenner + Trenner;
        zeilen << zeile + QStringLiteral("X\"");
        gruppen = 0;
    };

    for (int i = 0; i < kurse.size(); ++i) {
        const Kurs &k = kurse[i];
        offen.klassen = klassenMischen(offen.klassen, k.K);
        offen.stunden = k.S;
        offen.fach = k.F;
        if (i == 0 || k.LE != vorigesKuerzel) {
            if (!zeile.isEmpty())
                zeileAbschliessen();
            zeile = QLatin1Char('"') + k.LE + Trenner + k.NN + Trenner + k.VN + Trenner + k.DB + Trenner;
        }
        vorigesKuerzel = k.LE;
        vorigerSchluessel = k.MixKoppel;
        if (i + 1 < kurse.size()) {
            const QString &naechster = kurse[i + 1].MixKoppel;
            if (naechster.isEmpty() || naechster != vorigerSchluessel)
                gruppeSchliessen();
        }
    }
    if (!kurse.isEmpty()) {
        gruppeSchliessen();
        zeileAbschliessen();
    }
    return zeilen;
}

QByteArray dateiInhalt(const QStringList &zeilen)
{
    QByteArray out;
    for (const QString &z : zeilen)
        out += textcodec::toWindows1252(z) + "\r\n";
    return out;
}

QString dateiPfad() { return folders::join(folders::programFolder(), QStringLiteral("Wunsch.txt")); }

bool schreiben(const QString &pfad, const QByteArray &inhalt, QString *fehler)
{
    return safefile::writeFile(pfad, inhalt, fehler);
}

QString lesefehlerText(const zdb::DbError &e)
{
    QString text = QStringLiteral("Die Unterrichtsdaten konnten nicht gelesen werden.\r") + e.germanText();
    if (!text.contains(e.message()))
        text += QStringLiteral("\r(") + e.message() + QLatin1Char(')');
    return text;
}

Ergebnis dateiErstellen(const QVector<Kurs> &kurse, const QString &pfad)
{
    if (kurse.isEmpty())
        return {false, QStringLiteral("Es wurden keine Daten gefunden.")};
    const QString gezeigt = QDir::toNativeSeparators(pfad);
    const QStringList zeilen = QStringList{kopfzeile()} + lehrerZeilen(kurse);
    QString fehler;
    if (!schreiben(pfad, dateiInhalt(zeilen), &fehler))
        return {false, QStringLiteral("Die Datei konnte nicht geschrieben werden.\r\r") + fehler};
    return {true, QStringLiteral("Die Datei wurde unter\r\r") + gezeigt + QStringLiteral("\r\rabgespeichert.\r\r\r\r") +
                      QStringLiteral("Hinweis: Lehrkräfte mit Kürzellänge=4 (Referendare) wurden ausgefiltert.")};
}

} // namespace wunsch
