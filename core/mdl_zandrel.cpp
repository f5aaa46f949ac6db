#include "core/mdl_zandrel.h"
#include "core/frm_warten_db.h"
#include "platform/docopener.h"
#include "platform/folders.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/units.h"
#include "platform/valuetext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <limits>

namespace mdl {

zdb::Db dbEigen;
zdb::Db &cnEigen = dbEigen;

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
long KalenderEinfaerbenfarbe = units::rgb(128, 255, 128);
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

QString nmWarteHinweis()
{
    QString t = QStringLiteral("Gesucht wird die Notenmanager-Datenbank\n") + QDir::toNativeSeparators(nmDateiPfad());
    if (!vt::trimBlanks(NMDateiParameter).isEmpty())
        return t;
    QStringList fehlend;
    if (DatenPfad.isEmpty())
        fehlend << QStringLiteral("Der Schlüssel \"dbFilePath\" im Abschnitt [nmSV] fehlt oder ist leer; gesucht "
                                  "wird daher im Ordner des Programmstarts.");
    if (registry::nmValue(QStringLiteral("dbFileName")).isEmpty())
        fehlend << QStringLiteral("Der Schlüssel \"dbFileName\" im Abschnitt [nmSV] fehlt oder ist leer; gesucht "
                                  "wird daher \"%1\".")
                       .arg(NMDatei);
    if (fehlend.isEmpty())
        return t;
    QStringList dateien;
    for (const QString &f : registry::nmFiles())
        dateien << QDir::toNativeSeparators(f);
    return t + QLatin1Char('\n') + fehlend.join(QLatin1Char('\n')) + QStringLiteral("\nEinstellungsdateien: ")
        + dateien.join(QStringLiteral(", "));
}

QString eigenDateiPfad() { return folders::join(DatenPfad, QStringLiteral("Zandrel.mdb")); }

// ---- the grade manager's connections and the wait for its file

namespace {

struct NMVerbindung {
    zdb::Db db;
    int offen = 0;
};
NMVerbindung s_nm, s_nmLesen;

int s_wartetiefe = 0;

// Waits while the file is missing. Lets events through, so handlers may start waits of their own
// inside; an abort ends the innermost and every wait it interrupted.
bool aufDateiWarten(const QString &pfad)
{
    if (s_wartetiefe == 0) {
        frm_Warten_DB::zuruecksetzen();
        DBAbbruch.clear();
    }
    ++s_wartetiefe;
    QElapsedTimer uhr;
    uhr.start();
    frm_Warten_DB::zeigen(0.0, nmWarteHinweis());
    bool gefunden = false;
    while (!frm_Warten_DB::abgebrochen()) {
        if (QFileInfo(pfad).isFile()) {
            gefunden = true;
            break;
        }
        // One second's pause that lets pending events through.
        QElapsedTimer pause;
        pause.start();
        while (!frm_Warten_DB::abgebrochen() && pause.elapsed() < 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            if (!frm_Warten_DB::abgebrochen())
                QThread::msleep(15);
        }
        if (!frm_Warten_DB::abgebrochen())
            frm_Warten_DB::zeigen(uhr.elapsed() / 1000.0);
    }
    const bool abgebrochen = frm_Warten_DB::abgebrochen();
    if (abgebrochen)
        DBAbbruch = QStringLiteral("abbruch");
    --s_wartetiefe;
    if (s_wartetiefe == 0)
        frm_Warten_DB::entladen();
    return gefunden && !abgebrochen;
}

bool oeffnen(NMVerbindung &v, zdb::Db::Mode mode)
{
    if (v.offen > 0 && v.db.isOpen()) {
        ++v.offen;
        return true;
    }
    const QString pfad = nmDateiPfad();
    if (!QFileInfo(pfad).isFile() && !aufDateiWarten(pfad))
        return false;
    try {
        v.db.open(pfad, mode);
    } catch (const zdb::DbError &e) {
        // A damaged or foreign file ends the piece of work as an abort does; the program goes on.
        msg::box(e.germanText());
        return false;
    }
    v.offen = 1;
    return true;
}

void schliessen(NMVerbindung &v)
{
    if (v.offen > 1) {
        --v.offen;
        return;
    }
    v.offen = 0;
    v.db.close();
}

} // namespace

zdb::Db &dbNM() { return s_nm.db; }
zdb::Db &dbNMNurLesen() { return s_nmLesen.db; }
bool NMDatenbankOeffnen() { return oeffnen(s_nm, zdb::Db::ReadWrite); }
void NMDatenbankSchliessen() { schliessen(s_nm); }
bool NMDatenbankOeffnenNurLesen() { return oeffnen(s_nmLesen, zdb::Db::ReadOnly); }
void NMDatenbankSchliessenNurLesen() { schliessen(s_nmLesen); }
int nmOeffnungen() { return s_nm.offen; }
void NMDatenbankZuruecksetzen()
{
    s_nm.offen = s_nmLesen.offen = 0;
    s_nm.db.close();
    s_nmLesen.db.close();
}
bool wartetAufDatenbank() { return s_wartetiefe > 0; }

// ---- value helpers

QString GrossGetrimmt(const QVariant &v) { return vt::upperTrim(vt::valueText(v)); }

int KlassenStufe(const QString &klasse)
{
    int i = 0;
    while (i < klasse.size() && klasse[i].isSpace())
        ++i;
    bool minus = false;
    if (i < klasse.size() && (klasse[i] == QLatin1Char('-') || klasse[i] == QLatin1Char('+')))
        minus = klasse[i++] == QLatin1Char('-');
    qint64 n = 0;
    for (; i < klasse.size() && klasse[i] >= QLatin1Char('0') && klasse[i] <= QLatin1Char('9'); ++i)
        n = std::min<qint64>(n * 10 + (klasse[i].unicode() - '0'), std::numeric_limits<int>::max());
    return int(minus ? -n : n);
}

QString KlassenStufeSql(const QString &spalte) { return QStringLiteral("CAST(") + spalte + QStringLiteral(" AS INTEGER)"); }

QString KlassenOrdnungSql(const QString &spalte)
{
    const QString s = KlassenStufeSql(spalte);
    return QStringLiteral("CASE WHEN ") + s + QStringLiteral(" = 0 THEN 20 ELSE ") + s + QStringLiteral(" END");
}

QString KlassenFolgeSql(const QString &spalte)
{
    return KlassenOrdnungSql(spalte) + QStringLiteral(", ") + spalte + QStringLiteral(" COLLATE DE");
}
QVariant Nz(const QVariant &v, const QVariant &ersatz) { return (!v.isValid() || v.isNull()) ? ersatz : v; }
QString NullZuText(const QVariant &v) { return vt::valueText(v); }
QString MitBackslash(const QString &folder) { return folders::withSeparator(folder); }
// The workbook and document writers are built in, so every automation class "exists".
bool TestForDLL(const QString &) { return true; }

int SpalteSuchen(int cols, const std::function<QString(int)> &kopfText, const QString &header)
{
    const QString gesucht = GrossGetrimmt(header);
    for (int c = 0; c < cols; ++c)
        if (GrossGetrimmt(kopfText(c)) == gesucht)
            return c;
    return 10000;
}

// ---- start-up pieces

void RegistryWerteLesen()
{
    const QString pfad = registry::nmValue(QStringLiteral("dbFilePath"));
    const QString datei = registry::nmValue(QStringLiteral("dbFileName"));
    PfadSDDF1 = registry::nmValue(QStringLiteral("WinSDDB"));
    if (pfad.isEmpty()) {
        DatenPfad.clear();
        NMDatei = QStringLiteral("nmdaten04.mdb");
        return;
    }
    DatenPfad = MitBackslash(pfad);
    NMDatei = datei.isEmpty() ? QStringLiteral("nmdaten04.mdb") : datei;
}

static QString textOder(const zdb::Result &r, const QString &spalte, const QString &standard)
{
    if (r.isEmpty())
        return standard;
    const QString t = vt::trimBlanks(NullZuText(r.value(0, spalte)));
    return t.isEmpty() ? standard : t;
}

static QDate datumOder(const zdb::Result &r, const QString &spalte, const QDate &standard)
{
    if (r.isEmpty())
        return standard;
    const QVariant v = r.value(0, spalte);
    QDate d = zdb::dateFromStored(v);
    if (!d.isValid())
        d = vt::parseDate(NullZuText(v));
    return d.isValid() ? d : standard;
}

static qint64 zahlOder(const zdb::Result &r, const QString &spalte, qint64 standard)
{
    if (r.isEmpty())
        return standard;
    double d = 0;
    return vt::parseNumber(NullZuText(r.value(0, spalte)), &d) ? qint64(d) : standard;
}

QString HTMLStandardPfad(const QString &dateiname) { return folders::join(folders::tempFolder(), dateiname); }

void EinstellungenLaden()
{
    const zdb::Result r = dbEigen.query(QStringLiteral("SELECT * FROM tbl_Einstellungen"), {}, 1);
    Zeugnisart = textOder(r, "Zeugnisart", "J");
    HTML_L = textOder(r, "HTML_L", HTMLStandardPfad(QStringLiteral("HTML_l.html")));
    HTML_S = textOder(r, "HTML_S", HTMLStandardPfad(QStringLiteral("HTML_S.html")));
    HTML_S2 = textOder(r, "HTML_S2", HTMLStandardPfad(QStringLiteral("HTML_S2.html")));
    KalenderErsterTag = datumOder(r, "KalenderErsterTag", QDate(2010, 9, 13));
    KalenderLetzterTag = datumOder(r, "KalenderLetzterTag", QDate(2011, 2, 11));
    // No default: an empty value keeps the calendar locked for teachers.
    KalenderGesperrt = textOder(r, "KalenderGesperrt", QString());
    KalenderEinfaerbenTage = int(zahlOder(r, "KalenderEinfaerbenTage", 10));
    KalenderEinfaerbenfarbe = long(zahlOder(r, "KalenderEinfaerbenFarbe", units::rgb(128, 255, 128)));
    KalenderFreigabeSonstigeTermine = textOder(r, "KalenderFreigabeSonstigeTermine", "SL");
    KalenderFreigabeKlassenfahrt = textOder(r, "KalenderFreigabeKlassenfahrt", "SL");

    const zdb::Result f = dbEigen.query(QStringLiteral("SELECT Klassenfilter FROM tbl_SQL_LIKE"), {}, 1);
    Klassenfilter = textOder(f, "Klassenfilter", "*");
}

} // namespace mdl
