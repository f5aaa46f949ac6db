#pragma once
// A small school for the absence tests: the grade manager's file and the own database in a
// sandbox, with mdl pointing at both.
#include "platform/db.h"
#include "support/testsupport.h"

#include <QDate>
#include <QString>
#include <memory>

namespace absencetest {

class Schule {
public:
    Schule();
    ~Schule();

    testsupport::Sandbox sandbox;
    zdb::Db nm; // a second connection for setting up and checking
    QString nmPfad, eigenPfad;

    void schueler(qint64 nr, const QString &name, const QString &vorname, const QString &klasse);
    void lehrer(const QString &kuerzel, const QString &name, const QString &vorname);
    void klasse(const QString &klasse, const QString &leiter);
    void adresse(qint64 nr, const QString &anrede, const QString &erzName1, const QString &erzRufname1,
                 bool haupt = true, const QString &strasse = QString(), const QString &erzName2 = QString());
    void fehltag(const QString &id, const QDate &tag, const QString &grund);
    // Another workstation's connection to the own database.
    std::unique_ptr<zdb::Db> zweiterArbeitsplatz();
    int anzahl(const QString &sql, const zdb::Params &p = {});
};

} // namespace absencetest
