#include "calendar/register_calendar.h"
#include "calendar/frm_kalender.h"
#include "calendar/frm_kalendereinstellungen.h"
#include "core/windowregistry.h"

void registerCalendarWindows()
{
    // The menu item "Schulaufgabenplan" checks KalenderGesperrt before it opens the window.
    windows::registerWindow(QStringLiteral("frm_Kalender"), [](QWidget *parent) { return new frm_Kalender(parent); });
    windows::registerWindow(QStringLiteral("frm_KalenderEinstellungen"),
                            [](QWidget *parent) { return new frm_KalenderEinstellungen(parent); });
}
