#include "records/register_records.h"
#include "core/windowregistry.h"
#include "records/frm_fachbetreuer.h"
#include "records/frm_listen.h"
#include "records/frm_lnw.h"
#include "records/wunschzettel.h"
#include "records/lehrerliste.h"

void registerRecordsWindows()
{
    windows::registerWindow(QStringLiteral("frm_LNW"), [](QWidget *parent) { return new frm_LNW(parent); });
    windows::registerWindow(QStringLiteral("frm_Fachbetreuer"),
                            [](QWidget *parent) { return new frm_Fachbetreuer(parent); });
    windows::registerWindow(QStringLiteral("frm_Listen"), [](QWidget *parent) { return new frm_Listen(parent); });
    windows::registerAction(QStringLiteral("mnuWunschzettel"), [] { wunsch::mnuWunschzettel_Click(); });
    windows::registerAction(QStringLiteral("mnuLehrerliste"), [] { lehrerliste::mnuLehrerliste_Click(); });
}
