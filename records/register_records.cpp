#include "records/register_records.h"
#include "core/windowregistry.h"
#include "records/frm_listen.h"

void registerRecordsWindows()
{
    windows::registerWindow(QStringLiteral("frm_Listen"), [](QWidget *parent) { return new frm_Listen(parent); });
}
