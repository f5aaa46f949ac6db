#include "absence/register_absence.h"
#include "calendar/register_calendar.h"
#include "core/startup.h"
#include "records/register_records.h"
#include "winsv/register_winsv.h"

#include <QFont>

int main(int argc, char **argv)
{
    ZandrelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandrel"));
    QApplication::setOrganizationName(QStringLiteral("Zandrel"));
    // The windows are laid out in twips for an 8-point dialog font of Arial's widths.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    QApplication::setFont(f);
    registerAbsenceWindows();
    registerCalendarWindows();
    registerRecordsWindows();
    registerWinsvWindows();
    return start::runZandrel(app);
}
