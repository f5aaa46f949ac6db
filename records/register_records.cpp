#include "records/register_records.h"
#include "core/windowregistry.h"

void registerRecordsWindows()
{
}
