#pragma once
// A grade-manager database and a WinSV file (in a folder with a blank, an umlaut and ";")
// built from the shared schema, with small helpers to add pupils on either side.
#include "platform/db.h"
#include "support/testsupport.h"

#include <QMap>
#include <QString>
#include <functional>

struct WinsvPupil {
    QString id = QStringLiteral("100");
    QString klasse = QStringLiteral("5a");
    QString name = QStringLiteral("Muster");
    QString vorname = QStringLiteral("Max");
    QString geschlecht = QStringLiteral("M");
    QString ar = QStringLiteral("G");
    QString geburt = QStringLiteral("2012-03-04"); // ISO as stored
    QString austritt;                              // ISO, "" = Null
    QString strasse = QStringLiteral("Hauptstr. 1");
    QString plz = QStringLiteral("12345");
    QString ort = QStringLiteral("Neustadt");
    QString tel = QStringLiteral("0123 456");
    QString fuer1 = QStringLiteral("Wahr");
    QString fuer2 = QStringLiteral("Falsch");
    QString lrs = QStringLiteral("Falsch");
    QString leg = QStringLiteral("Falsch");
};

// A pupil with this id and family name, everything else the default.
WinsvPupil schueler(const QString &id, const QString &name = QStringLiteral("Muster"));

class GridStore;
// Colours of the grade-manager rows of the visible pairs by WinSV id (column 0 included); a painted
// WinSV row or a coloured hidden pair fails the test.
QMap<QString, QMap<int, long>> farbenDerPaare(const GridStore &fg);

class WinsvFixture {
public:
    WinsvFixture();
    ~WinsvFixture();

    testsupport::Sandbox box;
    QString nmPfad, winsvPfad;
    zdb::Db nm;

    void addWinsv(const WinsvPupil &p);
    // The same pupil on the grade manager's side (WinSVSnr as a number; a non-numeric id gives Null).
    // Returns the SchülerNr.
    qint64 addNm(const WinsvPupil &p, bool mitAdresse = true, bool hauptansprechpartner = true);
    qint64 addAdresse(qint64 schuelerNr, const WinsvPupil &p, bool hauptansprechpartner);
    void addBoth(const WinsvPupil &p);

    QVariant nmValue(const QString &sql, const QVariantList &params = {});
    // The grade manager's database for the comparison, as the window's session hands it over.
    std::function<bool(const std::function<void(zdb::Db &)> &)> nmArbeit();
};
