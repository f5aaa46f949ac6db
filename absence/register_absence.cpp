#include "absence/register_absence.h"
#include "absence/frm_fehltage.h"
#include "absence/frm_fehltage_grund.h"
#include "absence/frm_fehltage_uebertragen.h"
#include "core/windowregistry.h"

void registerAbsenceWindows()
{
    windows::registerWindow(QStringLiteral("frm_Fehltage"),
                            [](QWidget *parent) -> QWidget * { return new frm_Fehltage(parent); });
    windows::registerWindow(QStringLiteral("frm_Fehltage_Grund"),
                            [](QWidget *parent) -> QWidget * { return new frm_Fehltage_Grund(parent); });
    windows::registerWindow(QStringLiteral("frm_Fehltage_Uebertragen"),
                            [](QWidget *parent) -> QWidget * { return new frm_Fehltage_Uebertragen(parent); });
    windows::registerAction(QStringLiteral("mnuFehltageLoeschen"), [] { frm_Fehltage::FehltageLoeschen(); });
    windows::registerAction(QStringLiteral("PersonenAktualisieren"), [] { frm_Fehltage::PersonenAktualisieren(); });
}
