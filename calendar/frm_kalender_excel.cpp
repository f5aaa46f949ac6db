// The exam-plan window's "Excel-Export": the save dialog, the question before replacing a file,
// the progress window and the closing message around the export's logic.
#include "calendar/frm_kalender.h"
#include "calendar/kalenderexcel.h"
#include "core/frm_warten.h"
#include "core/mdl_zandrel.h"
#include "platform/msg.h"
#include "platform/speicherdialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

using namespace kalender;

QString frm_Kalender::excelExport(VSGrid &grid, const std::function<void()> &neuAufbauen, QWidget *parent,
                                  const SpeicherDialog &dialog)
{
    if (!mdl::TestForDLL(QStringLiteral("Excel.Application"))) {
        msg::box(QStringLiteral("MS-Excel ist nicht installiert oder kann nicht aufgerufen werden. Daher kann der "
                                "Excel-Export nicht erstellt werden."));
        return QString();
    }
    if (neuAufbauen)
        neuAufbauen();

    const QString ordner = exportOrdner();
    const QString vorschlag = exportVorschlag(QDateTime::currentDateTime());
    const QString gewaehlt = dialog ? dialog(parent, ordner, vorschlag)
                                    : speichern::dateiWaehlen(parent, ordner, vorschlag,
                                                              QStringLiteral("Excel-Dateien (*.xlsx)"),
                                                              QStringLiteral("Excel-Datei speichern"));
    if (gewaehlt.trimmed().isEmpty()) {
        msg::box(QStringLiteral("Sie haben keine Datei ausgewählt! Es wurde NICHTS gespeichert!"));
        return QString();
    }
    const QString pfad = exportPfadMerken(gewaehlt);
    const bool ersetzen = QFileInfo::exists(pfad)
        && msg::box(QStringLiteral("Diese Datei existiert bereits. Soll sie überschrieben werden?"),
                    msg::YesNo | msg::DefaultButton2)
               == msg::Yes;

    // The progress window appears once the workbook is being written, and goes in any case.
    struct Warten {
        bool gezeigt = false;
        ~Warten()
        {
            if (gezeigt)
                frm_Warten::entladen();
        }
    } warten;
    const QString text = QStringLiteral("Die Excel-Datei ") + pfad + QStringLiteral(" wird erstellt.");
    const ExportErgebnis e = excelExportSchreiben(grid, pfad, ersetzen, [&](double x, double xmax) {
        if (!warten.gezeigt) {
            warten.gezeigt = true;
            frm_Warten::zeigen(text);
            // Paint it; no user input while the grid is still to be read.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        frm_Warten::Fortschritt(x, xmax);
    });
    if (warten.gezeigt) {
        frm_Warten::entladen();
        warten.gezeigt = false;
    }
    msg::box(e.meldung);
    return e.gespeichert ? pfad : QString();
}

void frm_Kalender::cmdExcel_Click()
{
    // The export lets events through while it writes: no second export or click meanwhile.
    Sperre sperre(m_beschaeftigt);
    if (!sperre.frei())
        return;
    excelExport(*fgKalender, [this] {
        Form_Load();
        chkMeineKlassen_Click();
    }, this, speicherDialog);
}
