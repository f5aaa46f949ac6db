#include "records/register_records.h"
#include "core/windowregistry.h"
#include "records/frm_fachbetreuer.h"
#include "records/frm_listen.h"
#include "records/frm_lnw.h"
#include "records/lehrerliste.h"
#include "records/wunschzettel.h"
#include "records/frm_sql.h"
#include "records/frm_unterrichtbearbeiten.h"

void registerRecordsWindows()
{
    windows::registerWindow(QStringLiteral("frm_LNW"), [](QWidget *parent) { return new frm_LNW(parent); });
    windows::registerWindow(QStringLiteral("frm_Fachbetreuer"),
                            [](QWidget *parent) { return new frm_Fachbetreuer(parent); });
    windows::registerWindow(QStringLiteral("frm_Listen"), [](QWidget *parent) { return new frm_Listen(parent); });
    windows::registerAction(QStringLiteral("mnuWunschzettel"), [] { wunsch::mnuWunschzettel_Click(); });
    windows::registerWindow(QStringLiteral("frm_SQL"), [](QWidget *parent) { return new frm_SQL(parent); });
    frm_Listen::abfrageeditorZeigen = &frm_SQL::ausListenZeigen;
    windows::registerWindow(QStringLiteral("frm_UnterrichtBearbeiten"),
                            [](QWidget *parent) { return new frm_UnterrichtBearbeiten(parent); });
    windows::registerAction(QStringLiteral("mnuLehrerliste"), [] { lehrerliste::mnuLehrerliste_Click(); });
}
