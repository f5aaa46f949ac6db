// The menu handlers of the teacher list and the teaching-assignment file: they open the grade
// manager's database for one piece of work and show what the logic reports.
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "platform/msg.h"
#include "records/lehrerliste.h"
#include "records/wunschzettel.h"

#include <QDate>
#include <QScopedValueRollback>

namespace {

// Reads from the grade manager's database as one piece of work; false (after the message) when it
// could not be opened or read. The connection is closed before anything is written or shown.
template <typename Lesen, typename Fehlertext>
bool ausNotenmanager(Lesen lesen, Fehlertext fehlertext)
{
    QString fehler;
    {
        mdl::NMSitzung nm;
        if (!nm.offen())
            return false;
        try {
            lesen(mdl::dbNM());
        } catch (const zdb::DbError &e) {
            fehler = fehlertext(e);
        }
    }
    if (fehler.isEmpty())
        return true;
    msg::box(fehler);
    return false;
}

} // namespace

namespace wunsch {

void mnuWunschzettel_Click()
{
    // The database wait lets events through: a second click meanwhile does nothing.
    static bool laeuft = false;
    if (laeuft)
        return;
    const QScopedValueRollback<bool> ende(laeuft, true);
    QVector<Kurs> kurse;
    if (ausNotenmanager([&](zdb::Db &db) { kurse = kurseLesen(db); }, lesefehlerText))
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
    QVector<Lehrer> lehrer;
    if (ausNotenmanager([&](zdb::Db &db) { lehrer = lehrerLesen(db); }, lesefehlerText))
        msg::box(arbeitsmappeAnlegen(lehrer, QDate::currentDate()).meldung);
}

} // namespace lehrerliste
