#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "platform/grid/vsgrid.h"
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

int Schule::fehltage(const QString &bedingung, const zdb::Params &p)
{
    return anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_Fehltage")
                      + (bedingung.isEmpty() ? QString() : QStringLiteral(" WHERE ") + bedingung), p);
}

void FensterTest::SetUp()
{
    mdl::Ferien.clear();
    frm_Fehltage::setHeuteFuerTests(heute);
    s.lehrer(QStringLiteral("MÜ"), QStringLiteral("Müller"), QStringLiteral("Hans"));
    s.lehrer(QStringLiteral("HU"), QStringLiteral("Huber"), QStringLiteral("Eva"));
    s.lehrer(QStringLiteral("X"), QStringLiteral("Admin"), QString());
    for (const char *k : {"5a", "AUS"})
        s.klasse(QString::fromUtf8(k), QStringLiteral("MÜ"));
    for (const char *k : {"5b", "6b", "10a"})
        s.klasse(QString::fromUtf8(k), QStringLiteral("HU"));
    s.schueler(12, QStringLiteral("Abel"), QStringLiteral("Anna"), QStringLiteral("5a"));
    s.schueler(13, QStringLiteral("Bauer"), QStringLiteral("Ben"), QStringLiteral("5a"));
    for (const int nr : {121, 122, 124, 125})
        s.schueler(nr, QStringLiteral("Name%1").arg(nr), QStringLiteral("V"), QStringLiteral("5a"));
    s.schueler(20, QStringLiteral("Zeller"), QStringLiteral("Zoe"), QStringLiteral("5b"));
    s.schueler(30, QStringLiteral("Maier"), QStringLiteral("Max"), QStringLiteral("10a"));
    s.schueler(123, QStringLiteral("Özdemir"), QStringLiteral("Ayla"), QStringLiteral("6b"));
    s.schueler(300, QStringLiteral("Aus"), QStringLiteral("Tausch"), QStringLiteral("AUS1"));
    s.adresse(123, QStringLiteral("Herrn und Frau"), QStringLiteral("Özdemir"), QStringLiteral("Murat"));
    mdl::dbEigen.exec(QStringLiteral("UPDATE tbl_Fehlgrund SET fuer_Lehrer = 0 WHERE kurz = 'un'"));
}

void FensterTest::TearDown()
{
    f.reset();
    frm_Fehltage::setHeuteFuerTests(QDate());
    mdl::Benutzer = QStringLiteral("X");
}

void FensterTest::oeffnen(const QString &benutzer, const QString &klasse)
{
    mdl::Benutzer = benutzer;
    f = std::make_unique<frm_Fehltage>();
    f->resize(1400, 900);
    f->show();
    f->formLoad();
    f->formActivate();
    if (!klasse.isEmpty())
        klicken(klasse);
}

void FensterTest::klicken(const QString &klasse, int spalte)
{
    const int r = int(klassen().indexOf(klasse)) + 1;
    ASSERT_GT(r, 0) << klasse.toStdString();
    f->fgKlassen->select(r, spalte);
    emit f->fgKlassen->click();
}

QStringList FensterTest::klassen()
{
    QStringList k;
    for (int r = 1; r < f->fgKlassen->rows(); ++r)
        k << f->fgKlassen->textMatrix(r, 0);
    return k;
}

} // namespace absencetest
