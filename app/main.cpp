#include "absence/register_absence.h"
#include "calendar/register_calendar.h"
#include "core/anzeige.h"
#include "core/startup.h"
#include "records/register_records.h"
#include "winsv/register_winsv.h"

#include <cstdio>
#include <optional>

int main(int argc, char **argv)
{
    // Before QApplication: without a display Qt would abort with its own English message.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (const QString fehlt = anzeige::fehlt(args); !fehlt.isEmpty()) {
        std::fprintf(stderr, "%s\n", fehlt.toUtf8().constData());
        return 2;
    }
    // A display variable naming no reachable display: Qt's abort becomes the German message.
    std::optional<anzeige::PlattformWaechter> waechter(std::in_place);
    ZandrelApplication app(argc, argv);
    waechter.reset();
    start::einrichten(app);
    registerAbsenceWindows();
    registerCalendarWindows();
    registerRecordsWindows();
    registerWinsvWindows();
    return start::runZandrel(app);
}
