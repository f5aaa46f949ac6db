#include "calendar/kalenderexcel.h"
#include "calendar/gridexcel.h"
#include "platform/datetexts.h"
#include "platform/settings.h"
#include "platform/speicherdialog.h"
#include "platform/xlsxbook.h"

#include <QFileInfo>

namespace kalender {

namespace {

const QString Abschnitt = QStringLiteral("frm_Kalender");
const QString Schluessel = QStringLiteral("SchA-Kalender");
const QString Vorgabe = QStringLiteral("C:\\");

} // namespace

QString DateinameBereinigen(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('"'), QLatin1Char('\''));
    for (const QChar c : {u'*', u'/', u'\\', u':', u'<', u'>', u'?', u'|'})
        s.replace(c, QLatin1Char('_'));
    s.replace(QLatin1Char('['), QLatin1Char('('));
    s.replace(QLatin1Char(']'), QLatin1Char(')'));
    return s;
}

QString exportOrdner()
{
    return speichern::startOrdnerVonDatei(settings::getSetting(Abschnitt, Schluessel, Vorgabe));
}

QString exportVorschlag(const QDateTime &jetzt)
{
    return DateinameBereinigen(QStringLiteral("SchA-Kalender ") + datetexts::format(jetzt, QStringLiteral("yyyy-mm-dd hh-nn"))
                               + QStringLiteral(".xlsx"));
}

QString exportPfadMerken(const QString &gewaehlt)
{
    QString pfad = gewaehlt;
    // The old binary format cannot be written: "….xls" and a name without extension become ".xlsx".
    if (QFileInfo(pfad).suffix().isEmpty())
        pfad += QStringLiteral(".xlsx");
    pfad = xlsx::xlsxPath(pfad);
    settings::saveSetting(Abschnitt, Schluessel, pfad);
    return pfad;
}

ExportErgebnis excelExportSchreiben(const VSGrid &grid, const QString &pfad, bool ersetzen,
                                    const std::function<void(double, double)> &fortschritt)
{
    if (QFileInfo::exists(pfad) && !ersetzen)
        return {false, QStringLiteral("Die Datei wurde NICHT gespeichert!")};
    // The old workbook is replaced only by a whole new one: a write-protected or locked file, a full
    // disk or a cut-off export leave it as it was.
    QString fehler;
    if (!GridNachExcel(grid, pfad, &fehler, fortschritt))
        return {false, QStringLiteral("Die Excel-Datei konnte nicht erstellt werden.\r") + fehler};
    return {true, QStringLiteral("Die gewünschte Excel-Datei wurde erstellt und gespeichert unter: \r") + pfad
                      + QStringLiteral("\r\rAchtung: Dieser Plan dient nur internen Zwecken! Er enthält auch Termine "
                                       "mit der Option 'nicht Internet'! \rNicht an Schüler oder Eltern weitergeben!")};
}

} // namespace kalender
