#include "kalenderfixture.h"
#include "calendar/frm_kalender.h"
#include "calendar/termine.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "platform/textcodec.h"
#include "tools/demo/nmschema.h"

#include <QFile>

namespace kalfix {

Schule::Schule()
{
    eigenPfad = sandbox.file("Zandrel.mdb");
    nmPfad = sandbox.file("nmdaten04.mdb");
    {
        zdb::Db eigen;
        eigen.create(eigenPfad);
        nmschema::createOwnPrepared(eigen);
        schema::DatenbankAktualisieren(eigen, uhr.date());
        zdb::Db nm;
        nm.create(nmPfad);
        nmschema::createGradeManager(nm);
    }
    mdl::dbEigen.close();
    mdl::dbEigen.open(eigenPfad);
    mdl::DatenPfad = sandbox.path() + '/';
    mdl::NMDatei = QStringLiteral("nmdaten04.mdb");
    mdl::NMDateiParameter.clear();
    mdl::Ferien.clear();
    mdl::KalenderErsterTag = QDate(2010, 9, 11);
    mdl::KalenderLetzterTag = QDate(2010, 9, 21);
    mdl::KalenderEinfaerbenTage = 10;
    mdl::KalenderEinfaerbenfarbe = 128 + 255 * 256 + 128 * 65536;
    mdl::KalenderFreigabeSonstigeTermine = QStringLiteral("SL");
    mdl::KalenderFreigabeKlassenfahrt = QStringLiteral("SL");
    mdl::HTML_L = sandbox.file("HTML_l.html");
    mdl::HTML_S = sandbox.file("HTML_S.html");
    mdl::HTML_S2 = sandbox.file("HTML_S2.html");
    anmelden(QStringLiteral("X"));
    kalender::setUhr([this] { return uhr; });
}

Schule::~Schule()
{
    kalender::setUhr(nullptr);
    mdl::dbEigen.close();
}

void Schule::anmelden(const QString &benutzer)
{
    mdl::Benutzer = benutzer;
    const QString b = benutzer.trimmed().toUpper();
    mdl::IstAdmin = b == QLatin1String("X") || b == QLatin1String("XS");
}

void Schule::klasse(const QString &k)
{
    zdb::Db nm;
    nm.open(nmPfad);
    nm.exec("INSERT INTO Klassen (Klasse) VALUES (?)", {k});
}

void Schule::kurs(const QString &klasse, const QString &fach, const QVariant &lehrkraft, bool archiv)
{
    zdb::Db nm;
    nm.open(nmPfad);
    nm.exec("INSERT INTO Unterricht (Klasse, Fach, Lehrkraft, Archiv) VALUES (?, ?, ?, ?)",
            {klasse, fach, lehrkraft, archiv ? 1 : 0});
}

qint64 Schule::termin(const T &t)
{
    mdl::dbEigen.exec("INSERT INTO tbl_Termin (Datum, Klasse, Fach, Lehrkraft, nichtInternet, Bemerkung, "
                      "eingetragenDatum, eingetragenPerson, geloeschtDatum, geloeschtPerson) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {zdb::isoDate(t.datum), t.klasse, t.fach, t.lehrkraft, t.nichtInternet ? 1 : 0,
                       t.bemerkung.isNull() ? QVariant() : QVariant(t.bemerkung), zdb::toStored(t.eingetragen),
                       t.eingetragenVon.isEmpty() ? QVariant() : QVariant(t.eingetragenVon), zdb::toStored(t.geloescht),
                       t.geloeschtVon.isEmpty() ? QVariant() : QVariant(t.geloeschtVon)});
    return mdl::dbEigen.lastInsertId();
}

std::unique_ptr<frm_Kalender> fensterOeffnen(Schule &s, const QString &benutzer)
{
    s.anmelden(benutzer);
    auto w = std::make_unique<frm_Kalender>();
    w->resize(1200, 700);
    w->Form_Load();
    w->Form_Resize();
    return w;
}

QString lesen(const QString &pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return textcodec::fromWindows1252(f.readAll());
}

} // namespace kalfix
