// The menu handlers of the teacher list and the teaching-assignment file: they open the grade
// manager's database for one piece of work and show what the logic reports.
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/msg.h"
#include "records/lehrerliste.h"
#include "records/wunschzettel.h"

#include <QDate>

namespace wunsch {

void mnuWunschzettel_Click()
{
    // The database wait lets events through: a second click meanwhile does nothing.
    static bool laeuft = false;
    if (laeuft)
        return;
    laeuft = true;
    struct Ende {
        bool &flag;
        ~Ende() { flag = false; }
    } ende{laeuft};

    if (!mdl::NMDatenbankOeffnen())
        return;
    QVector<Kurs> kurse;
    try {
        kurse = kurseLesen(mdl::dbNM());
    } catch (const zdb::DbError &e) {
        mdl::NMDatenbankSchliessen();
        msg::box(lesefehlerText(e));
        return;
    }
    mdl::NMDatenbankSchliessen();
    msg::box(dateiErstellen(kurse, dateiPfad()).meldung);
}

} // namespace wunsch

namespace lehrerliste {

namespace {
const QString NichtInstalliert = QStringLiteral(
    "MS-Excel ist nicht installiert oder kann nicht aufgerufen werden. Daher kann der Excel-Export nicht erstellt "
    "werden.");
} // namespace

void mnuLehrerliste_Click()
{
    if (!mdl::TestForDLL(QStringLiteral("Excel.Application"))) {
        msg::box(NichtInstalliert);
        return;
    }
    if (!mdl::NMDatenbankOeffnen())
        return;
    QVector<Lehrer> lehrer;
    try {
        lehrer = lehrerLesen(mdl::dbNM());
    } catch (const zdb::DbError &e) {
        mdl::NMDatenbankSchliessen();
        msg::box(lesefehlerText(e));
        return;
    }
    // The connection is never held while the workbook is made.
    mdl::NMDatenbankSchliessen();
    msg::box(arbeitsmappeAnlegen(lehrer, QDate::currentDate()).meldung);
}

} // namespace lehrerliste
