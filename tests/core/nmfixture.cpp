#include "nmfixture.h"
#include "ownfixture.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "platform/ripemd160.h"
#include "tools/demo/nmschema.h"

namespace corefixture {

void lehrkraefteEintragen(const QString &nmPfad)
{
    zdb::Db db;
    db.open(nmPfad);
    const QString ins = "INSERT INTO \"Lehrkräfte\" (\"Kürzel\", Name, Vorname, Passwort, pwdh) VALUES (?, ?, ?, ?, ?)";
    db.exec(ins, {"X", "Admin", "A", "admin", QVariant()});
    db.exec(ins, {"XS", "Sekretariat", "S", QVariant(), hashing::passwordHash("büro")});
    db.exec(ins, {"MÜL", "Müller", "Jörg", "Geheim", QVariant()});
    db.exec(ins, {"abc", "Abel", "Bea", "  ", hashing::passwordHash("Grüße1").toUpper()});
    db.exec(ins, {"OHN", "Ohne", "Otto", QVariant(), " "});
}

Umgebung::Umgebung(testsupport::Sandbox &sb, bool gesperrt)
{
    nmPfad = sb.file("nmdaten04.mdb");
    eigenPfad = sb.file("Zandrel.mdb");
    {
        zdb::Db nm;
        nm.create(nmPfad);
        nmschema::createGradeManager(nm);
        nm.exec("INSERT INTO SYS_Settings (Schulnummer, Schulname, SchulnameSub, Gesperrt) VALUES (?, ?, ?, ?)",
                {"0815", "Gymnasium Lindenhof", "Musterstadt", gesperrt ? 1 : 0});
    }
    lehrkraefteEintragen(nmPfad);
    createPreparedOwnDb(eigenPfad);
    mdl::DatenPfad = mdl::MitBackslash(sb.path());
    mdl::NMDatei = "nmdaten04.mdb";
    mdl::NMDateiParameter.clear();
    mdl::dbEigen.open(eigenPfad);
    schema::DatenbankAktualisieren(mdl::dbEigen);
}

Umgebung::~Umgebung() { sitzungZuruecksetzen(); }

void sitzungZuruecksetzen()
{
    mdl::NMDatenbankZuruecksetzen();
    mdl::dbEigen.close();
    mdl::DatenPfad.clear();
    mdl::NMDateiParameter.clear();
    mdl::PfadSDDF1.clear();
    mdl::Ferien.clear();
    mdl::Benutzer.clear();
    mdl::IstAdmin = false;
}

} // namespace corefixture
