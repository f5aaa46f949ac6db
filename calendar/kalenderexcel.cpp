#include "calendar/kalenderexcel.h"
#include "calendar/gridexcel.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/speicherdialog.h"
#include "platform/xlsxbook.h"

#include <QDateTime>
#include <QFile>
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

QString ExcelExport(VSGrid &fgKalender, const std::function<void()> &neuAufbauen, QWidget *parent,
                    const SpeicherDialog &dialog)
{
    if (!mdl::TestForDLL(QStringLiteral("Excel.Application"))) {
        msg::box(QStringLiteral("MS-Excel ist nicht installiert oder kann nicht aufgerufen werden. Daher kann der "
                                "Excel-Export nicht erstellt werden."));
        return QString();
    }
    if (neuAufbauen)
        neuAufbauen();

    const QString ordner = speichern::startOrdnerVonDatei(settings::getSetting(Abschnitt, Schluessel, Vorgabe));
    const QString vorschlag = DateinameBereinigen(
        QStringLiteral("SchA-Kalender ") + datetexts::format(QDateTime::currentDateTime(), QStringLiteral("yyyy-mm-dd hh-nn"))
        + QStringLiteral(".xlsx"));
    QString gewaehlt = dialog ? dialog(parent, ordner, vorschlag)
                               : speichern::dateiWaehlen(parent, ordner, vorschlag,
                                                         QStringLiteral("Excel-Dateien (*.xlsx)"),
                                                         QStringLiteral("Excel-Datei speichern"));
    if (gewaehlt.trimmed().isEmpty()) {
        msg::box(QStringLiteral("Sie haben keine Datei ausgewählt! Es wurde NICHTS gespeichert!"));
        return QString();
    }
    // The old binary format cannot be written: "….xls" and a name without extension become ".xlsx".
    if (QFileInfo(gewaehlt).suffix().isEmpty())
        gewaehlt += QStringLiteral(".xlsx");
    const QString pfad = xlsx::xlsxPath(gewaehlt);
    settings::saveSetting(Abschnitt, Schluessel, pfad);

    if (QFileInfo::exists(pfad)
        && msg::box(QStringLiteral("Diese Datei existiert bereits. Soll sie überschrieben werden?"),
                    msg::YesNo | msg::DefaultButton2)
               == msg::Yes
        && !QFile::remove(pfad)) {
        msg::box(QStringLiteral("Die Datei kann nicht überschrieben werden (schreibgeschützt oder geöffnet):\r") + pfad
                 + QStringLiteral("\rDie Datei wurde NICHT gespeichert!"));
        return QString();
    }
    if (QFileInfo::exists(pfad)) {
        msg::box(QStringLiteral("Die Datei wurde NICHT gespeichert!"));
        return QString();
    }
    QString fehler;
    if (!GridNachExcel(fgKalender, pfad, &fehler)) {
        msg::box(QStringLiteral("Die Excel-Datei konnte nicht erstellt werden.\r") + fehler);
        return QString();
    }
    msg::box(QStringLiteral("Die gewünschte Excel-Datei wurde erstellt und gespeichert unter: \r") + pfad
             + QStringLiteral("\r\rAchtung: Dieser Plan dient nur internen Zwecken! Er enthält auch Termine mit der "
                              "Option 'nicht Internet'! \rNicht an Schüler oder Eltern weitergeben!"));
    return pfad;
}

} // namespace kalender
