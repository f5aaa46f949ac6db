#include "winsv/register_winsv.h"
#include "core/windowregistry.h"

void registerWinsvWindows()
{
}
