#include "calendar/kalendereinstellungen.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/db.h"

#include <cmath>

namespace kalender {

KalenderWerte werteLesen()
{
    KalenderWerte w;
    w.ersterTag = mdl::KalenderErsterTag;
    w.letzterTag = mdl::KalenderLetzterTag;
    w.freigegeben = mdl::GrossGetrimmt(mdl::KalenderGesperrt) == QLatin1String("NONE");
    w.sonstigeTermine = mdl::GrossGetrimmt(mdl::KalenderFreigabeSonstigeTermine) == QLatin1String("ALL");
    w.klassenfahrt = mdl::GrossGetrimmt(mdl::KalenderFreigabeKlassenfahrt) == QLatin1String("ALL");
    w.einfaerbenTage = mdl::KalenderEinfaerbenTage;
    w.einfaerbenFarbe = mdl::KalenderEinfaerbenfarbe;
    w.htmlL = mdl::HTML_L.trimmed();
    w.htmlS = mdl::HTML_S.trimmed();
    w.htmlS2 = mdl::HTML_S2.trimmed();
    return w;
}

int tageAusText(const QString &text)
{
    const double v = std::fabs(std::trunc(accessfn::accessVal(text)));
    return v > 32767 ? 32767 : int(v); // the column is a smallint
}

static QString oderStandard(const QString &pfad, const QString &standard)
{
    return pfad.trimmed().isEmpty() ? standard : pfad.trimmed();
}

bool werteSpeichern(zdb::Db &db, const KalenderWerte &w)
{
    const QString gesperrt = w.freigegeben ? QStringLiteral("none") : QStringLiteral("all");
    const QString sonstige = w.sonstigeTermine ? QStringLiteral("all") : QStringLiteral("SL");
    const QString fahrt = w.klassenfahrt ? QStringLiteral("all") : QStringLiteral("SL");
    bool geschrieben = false;
    {
        zdb::WriteTransaction tx(db);
        const QVariant zeile = db.scalar(QStringLiteral("SELECT rowid FROM tbl_Einstellungen ORDER BY rowid LIMIT 1"));
        if (!zeile.isNull()) {
            db.exec(QStringLiteral("UPDATE tbl_Einstellungen SET KalenderErsterTag = ?, KalenderLetzterTag = ?, "
                                   "HTML_S = ?, HTML_L = ?, HTML_S2 = ?, KalenderGesperrt = ?, "
                                   "KalenderFreigabeSonstigeTermine = ?, KalenderEinfaerbenTage = ?, "
                                   "KalenderEinfaerbenFarbe = ?, KalenderFreigabeKlassenfahrt = ? WHERE rowid = ?"),
                    {zdb::isoDate(w.ersterTag), zdb::isoDate(w.letzterTag), w.htmlS.trimmed(), w.htmlL.trimmed(),
                     w.htmlS2.trimmed(), gesperrt, sonstige, w.einfaerbenTage, qint64(w.einfaerbenFarbe), fahrt,
                     zeile});
            tx.commit();
            geschrieben = true;
        }
    }
    if (geschrieben) {
        mdl::KalenderGesperrt = gesperrt;
        mdl::KalenderFreigabeSonstigeTermine = sonstige;
        mdl::KalenderFreigabeKlassenfahrt = fahrt;
    }
    mdl::KalenderErsterTag = w.ersterTag;
    mdl::KalenderLetzterTag = w.letzterTag;
    mdl::KalenderEinfaerbenTage = w.einfaerbenTage;
    mdl::KalenderEinfaerbenfarbe = w.einfaerbenFarbe;
    // As at start-up: an empty path means the temporary folder.
    mdl::HTML_S = oderStandard(w.htmlS, mdl::HTMLStandardPfad(QStringLiteral("HTML_S.html")));
    mdl::HTML_L = oderStandard(w.htmlL, mdl::HTMLStandardPfad(QStringLiteral("HTML_l.html")));
    mdl::HTML_S2 = oderStandard(w.htmlS2, mdl::HTMLStandardPfad(QStringLiteral("HTML_S2.html")));
    return geschrieben;
}

int termineDavorLoeschen(zdb::Db &db, const QDate &ersterTag)
{
    if (!ersterTag.isValid())
        return 0;
    zdb::WriteTransaction tx(db);
    const int n = db.exec(QStringLiteral("DELETE FROM tbl_Termin WHERE Datum IS NOT NULL AND trim(Datum) <> '' "
                                         "AND substr(Datum, 1, 10) < ?"),
                          {zdb::isoDate(ersterTag)});
    tx.commit();
    return n;
}

} // namespace kalender
