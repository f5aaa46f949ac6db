#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "tools/demo/nmschema.h"

namespace absencetest {

Schule::Schule()
{
    nmPfad = sandbox.file(QStringLiteral("nmdaten04.mdb"));
    eigenPfad = sandbox.file(QStringLiteral("Zandrel.mdb"));
    nm.create(nmPfad);
    nmschema::createGradeManager(nm);
    {
        zdb::Db eigen;
        eigen.create(eigenPfad);
        nmschema::createOwnPrepared(eigen);
    }
    mdl::NMDatenbankZuruecksetzen();
    mdl::DatenPfad = sandbox.path() + QLatin1Char('/');
    mdl::NMDatei = QStringLiteral("nmdaten04.mdb");
    mdl::NMDateiParameter.clear();
    mdl::Benutzer = QStringLiteral("X");
    mdl::dbEigen.open(eigenPfad);
    schema::DatenbankAktualisieren(mdl::dbEigen);
}

Schule::~Schule()
{
    mdl::NMDatenbankZuruecksetzen();
    mdl::dbEigen.close();
    nm.close();
}

void Schule::schueler(qint64 nr, const QString &name, const QString &vorname, const QString &klasse)
{
    nm.exec(QStringLiteral("INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse) VALUES (?, ?, ?, ?)"),
            {nr, name, vorname, klasse});
}

void Schule::lehrer(const QString &kuerzel, const QString &name, const QString &vorname)
{
    nm.exec(QStringLiteral("INSERT INTO Lehrkräfte (Kürzel, Name, Vorname) VALUES (?, ?, ?)"), {kuerzel, name, vorname});
}

void Schule::klasse(const QString &k, const QString &leiter)
{
    nm.exec(QStringLiteral("INSERT INTO Klassen (Klasse, Klassenleiter) VALUES (?, ?)"),
            {k, leiter.isNull() ? QVariant() : QVariant(leiter)});
}

void Schule::adresse(qint64 nr, const QString &anrede, const QString &erzName1, const QString &erzRufname1, bool haupt,
                     const QString &strasse, const QString &erzName2)
{
    nm.exec(QStringLiteral("INSERT INTO Adressen (SchülerNr, Anrede, Straße, PLZ, Ort, Telefon, ErzName1, ErzRufname1, "
                           "ErzName2, Hauptansprechpartner) VALUES (?, ?, ?, '86150', 'Augsburg', '0821 1', ?, ?, ?, ?)"),
            {nr, anrede, strasse, erzName1, erzRufname1, erzName2.isNull() ? QVariant() : QVariant(erzName2),
             haupt ? 1 : 0});
}

void Schule::fehltag(const QString &id, const QDate &tag, const QString &grund)
{
    mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund) VALUES (?, ?, ?)"),
                      {id, zdb::isoDate(tag), grund});
}

std::unique_ptr<zdb::Db> Schule::zweiterArbeitsplatz()
{
    auto db = std::make_unique<zdb::Db>();
    db->open(eigenPfad);
    return db;
}

int Schule::anzahl(const QString &sql, const zdb::Params &p) { return mdl::dbEigen.scalar(sql, p).toInt(); }

} // namespace absencetest
