#include "winsvfixture.h"

#include "core/mdl_zandrel.h"
#include "platform/grid/gridstore.h"
#include "tools/demo/nmschema.h"
#include "winsv/datenvergleich.h"

#include <QDir>
#include <gtest/gtest.h>

static QVariant orNull(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }
static int bit(const QString &s) { return s == QLatin1String("Wahr") ? 1 : 0; }

WinsvPupil schueler(const QString &id, const QString &name)
{
    WinsvPupil p;
    p.id = id;
    p.name = name;
    return p;
}

QMap<QString, QMap<int, long>> farbenDerPaare(const GridStore &fg)
{
    QMap<QString, QMap<int, long>> out;
    for (int r = 1; r + 1 < fg.rows(); r += 2) {
        QMap<int, long> farben;
        for (int c = 0; c < winsv::SpaltenFg; ++c) {
            EXPECT_EQ(fg.cellBackColor(r, c), 0) << "WinSV row painted: " << c;
            if (fg.cellBackColor(r + 1, c) != 0)
                farben.insert(c, fg.cellBackColor(r + 1, c));
        }
        if (fg.rowHeight(r) != 0 && fg.rowHeight(r + 1) != 0)
            out.insert(fg.textMatrix(r, 1), farben);
        else
            EXPECT_TRUE(farben.isEmpty()) << "hidden pair coloured: " << fg.textMatrix(r, 1).toStdString();
    }
    return out;
}

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
