#include "winsvfixture.h"

#include "core/mdl_zandrel.h"
#include "tools/demo/nmschema.h"

#include <QDir>

static QVariant orNull(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }
static int bit(const QString &s) { return s == QLatin1String("Wahr") ? 1 : 0; }

WinsvFixture::WinsvFixture()
{
    nmPfad = box.file(QStringLiteral("nmdaten04.mdb"));
    nm.create(nmPfad);
    nmschema::createGradeManager(nm);

    const QString ordner = box.path() + QStringLiteral("/WinSV Daten Ü;1");
    QDir().mkpath(ordner);
    winsvPfad = ordner + QStringLiteral("/sd.df1");
    zdb::Db w;
    w.create(winsvPfad);
    nmschema::createWinSV(w);
    w.close();

    mdl::DatenPfad = box.path() + QLatin1Char('/');
    mdl::NMDatei = QStringLiteral("nmdaten04.mdb");
    mdl::NMDateiParameter.clear();
    mdl::PfadSDDF1 = winsvPfad;
}

WinsvFixture::~WinsvFixture()
{
    nm.close();
    mdl::PfadSDDF1.clear();
}

void WinsvFixture::addWinsv(const WinsvPupil &p)
{
    zdb::Db w;
    w.open(winsvPfad);
    w.exec(QStringLiteral("INSERT INTO DSchueler (_SCHUELER_ID, KLASSE, FAMILIENNAME, RUFNAME, GESCHLECHT, AUSBILDUNGSR, "
                          "GEBURTSDATUM, AUSTR_DATUM, ANSCHR1_STR, ANSCHR1_PLZ, ANSCHR1_ORT, ANSCHR1_TEL, ANSCHR1_FUER1, "
                          "ANSCHR1_FUER2, LRS_SCHWAECHE, LRS_STOERUNG) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
           {orNull(p.id), orNull(p.klasse), orNull(p.name), orNull(p.vorname), orNull(p.geschlecht), orNull(p.ar),
            orNull(p.geburt), orNull(p.austritt), orNull(p.strasse), orNull(p.plz), orNull(p.ort), orNull(p.tel),
            orNull(p.fuer1), orNull(p.fuer2), orNull(p.lrs), orNull(p.leg)});
}

qint64 WinsvFixture::addNm(const WinsvPupil &p, bool mitAdresse, bool haupt)
{
    bool ok = false;
    const qint64 id = p.id.trimmed().toLongLong(&ok);
    nm.exec(QStringLiteral("INSERT INTO Schüler (Name, Vorname, Klasse, Geschlecht, Geburtsdatum, Ausbildungsrichtung, "
                           "Bekenntnis, WinSVSnr, LRS, Legasthenie) VALUES (?,?,?,?,?,?,?,?,?,?)"),
            {orNull(p.name), orNull(p.vorname), orNull(p.klasse), orNull(p.geschlecht), orNull(p.geburt), orNull(p.ar),
             QStringLiteral("rk"), ok ? QVariant(id) : QVariant(), bit(p.lrs), bit(p.leg)});
    const qint64 nr = nm.lastInsertId();
    if (mitAdresse)
        addAdresse(nr, p, haupt);
    return nr;
}

qint64 WinsvFixture::addAdresse(qint64 nr, const WinsvPupil &p, bool haupt)
{
    nm.exec(QStringLiteral("INSERT INTO Adressen (SchülerNr, Anrede, Straße, PLZ, Ort, Telefon, gilt1, gilt2, ErzName1, "
                           "Hauptansprechpartner) VALUES (?,?,?,?,?,?,?,?,?,?)"),
            {nr, QStringLiteral("Familie"), orNull(p.strasse), orNull(p.plz), orNull(p.ort), orNull(p.tel), bit(p.fuer1),
             bit(p.fuer2), QStringLiteral("Erz"), haupt ? 1 : 0});
    return nm.lastInsertId();
}

void WinsvFixture::addBoth(const WinsvPupil &p)
{
    addWinsv(p);
    addNm(p);
}

QVariant WinsvFixture::nmValue(const QString &sql, const QVariantList &params) { return nm.scalar(sql, params); }

std::function<bool(const std::function<void(zdb::Db &)> &)> WinsvFixture::nmArbeit()
{
    return [this](const std::function<void(zdb::Db &)> &arbeit) {
        arbeit(nm);
        return true;
    };
}
