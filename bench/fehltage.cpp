#include "bench/fehltage.h"

#include "absence/frm_fehltage.h"
#include "core/mdl_zandrel.h"

namespace bench {

void fehltageEinrichten(const demo::Result &res)
{
    mdl::NMDatenbankZuruecksetzen();
    demo::useFiles(res);
    mdl::FerienVorbereiten();
    mdl::Benutzer = QStringLiteral("X");
    mdl::dbEigen.close();
    mdl::dbEigen.open(res.ownFile);
    frm_Fehltage::setHeuteFuerTests(res.today);
}

} // namespace bench
