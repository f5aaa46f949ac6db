#include "absence/register_absence.h"
#include "core/windowregistry.h"

void registerAbsenceWindows()
{
}
