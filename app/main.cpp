#include "absence/register_absence.h"
#include "calendar/register_calendar.h"
#include "core/startup.h"
#include "records/register_records.h"
#include "winsv/register_winsv.h"

int main(int argc, char **argv)
{
    ZandrelApplication app(argc, argv);
    start::einrichten(app);
    registerAbsenceWindows();
    registerCalendarWindows();
    registerRecordsWindows();
    registerWinsvWindows();
    return start::runZandrel(app);
}
