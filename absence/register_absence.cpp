#include "absence/register_absence.h"
#include "absence/frm_fehltage.h"
#include "absence/frm_fehltage_grund.h"
#include "absence/frm_fehltage_uebertragen.h"
#include "absence/personencache.h"
#include "core/mdl_zandrel.h"
#include "core/windowregistry.h"
#include "platform/msg.h"

void registerAbsenceWindows()
{
    windows::registerWindow(QStringLiteral("frm_Fehltage"),
                            [](QWidget *parent) -> QWidget * { return new frm_Fehltage(parent); });
    windows::registerWindow(QStringLiteral("frm_Fehltage_Grund"),
                            [](QWidget *parent) -> QWidget * { return new frm_Fehltage_Grund(parent); });
    windows::registerWindow(QStringLiteral("frm_Fehltage_Uebertragen"),
                            [](QWidget *parent) -> QWidget * { return new frm_Fehltage_Uebertragen(parent); });
    windows::registerAction(QStringLiteral("mnuFehltageLoeschen"), [] {
        try {
            absence::FehltageLoeschen(mdl::dbEigen);
        } catch (const zdb::DbError &e) {
            msg::box(QStringLiteral("Die Fehltage wurden nicht gelöscht.\r") + e.germanText());
        }
    });
    windows::registerAction(QStringLiteral("PersonenAktualisieren"), [] {
        try {
            absence::Personencache::PersonenAktualisieren(mdl::dbEigen);
        } catch (const zdb::DbError &e) {
            msg::box(QStringLiteral("Die Personenliste konnte nicht aktualisiert werden.\r") + e.germanText());
        }
    });
}
