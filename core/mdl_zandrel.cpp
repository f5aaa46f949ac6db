#include "core/mdl_zandrel.h"
#include "platform/docopener.h"
#include "platform/folders.h"
#include "platform/valuetext.h"

#include <QFileInfo>

namespace mdl {

zdb::Db dbEigen;
static zdb::Db s_dbNM;
static int s_nmOpenCount = 0;
zdb::Db &dbNM() { return s_dbNM; }

QString DatenPfad;
QString NMDatei = QStringLiteral("nmdaten04.mdb");
QString NMDateiParameter;
QString PfadSDDF1;
QString DBAbbruch;
QString Benutzer;
bool IstAdmin = false;
QString Schulnummer, Schulname, SchulnameSub;
bool BetaHinweisGezeigt = false;
QString Zeugnisart = QStringLiteral("J");
QString HTML_L, HTML_S, HTML_S2;
QDate KalenderErsterTag(2010, 9, 13), KalenderLetzterTag(2011, 2, 11);
QString KalenderGesperrt;
int KalenderEinfaerbenTage = 10;
long KalenderEinfaerbenfarbe = 128 + 255 * 256 + 128 * 65536;
QString KalenderFreigabeSonstigeTermine = QStringLiteral("SL"), KalenderFreigabeKlassenfahrt = QStringLiteral("SL");
QString Klassenfilter = QStringLiteral("*");
const QString Fehlerkontakt = QStringLiteral("dem Administrator");
QVector<Ferienzeit> Ferien;

QString nmDateiPfad()
{
    QString p = vt::trimBlanks(NMDateiParameter);
    if (!p.isEmpty())
        return p;
    return folders::join(DatenPfad, NMDatei);
}

// Minimal form; the waiting with the wait window lives in the core's window code.
bool NMDatenbankOeffnen()
{
    if (s_nmOpenCount > 0 && s_dbNM.isOpen()) {
        ++s_nmOpenCount;
        return true;
    }
    const QString path = nmDateiPfad();
    if (!QFileInfo(path).isFile())
        return false;
    s_dbNM.open(path);
    s_nmOpenCount = 1;
    return true;
}

bool NMDatenbankOeffnenNurLesen() { return NMDatenbankOeffnen(); }

void NMDatenbankSchliessen()
{
    if (s_nmOpenCount > 1) {
        --s_nmOpenCount;
        return;
    }
    s_nmOpenCount = 0;
    s_dbNM.close();
}

QString GrossGetrimmt(const QVariant &v) { return vt::upperTrim(vt::valueText(v)); }
QVariant Nz(const QVariant &v, const QVariant &ersatz) { return (!v.isValid() || v.isNull()) ? ersatz : v; }
QString NullZuText(const QVariant &v) { return vt::valueText(v); }
QString MitBackslash(const QString &folder) { return folders::withSeparator(folder); }
bool TestForDLL(const QString &progId) { return docs::TestForDLL(progId); }

} // namespace mdl
