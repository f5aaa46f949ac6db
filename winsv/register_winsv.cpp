#include "winsv/register_winsv.h"
#include "core/windowregistry.h"
#include "winsv/frm_ap1.h"
#include "winsv/frm_datenabgleich.h"

void registerWinsvWindows()
{
    windows::registerWindow(QStringLiteral("frm_Datenabgleich"),
                            [](QWidget *parent) -> QWidget * { return new frm_Datenabgleich(parent); });
    windows::registerWindow(QStringLiteral("frm_AP1"), [](QWidget *parent) -> QWidget * { return new frm_AP1(parent); });
}
