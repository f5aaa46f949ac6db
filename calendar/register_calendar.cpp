#include "calendar/register_calendar.h"
#include "core/windowregistry.h"

void registerCalendarWindows()
{
}
