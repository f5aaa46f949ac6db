#pragma once
// A small school for the absence tests: the grade manager's file and the own database in a
// sandbox, with mdl pointing at both.
#include "absence/frm_fehltage.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <QDate>
#include <QString>
#include <gtest/gtest.h>
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
    // Records in tbl_Fehltage, all or those meeting the condition.
    int fehltage(const QString &bedingung = QString(), const zdb::Params &p = {});
};

// The absence window offscreen, today Tuesday 08.10.2024 (03.10. a holiday, 05.10. a Saturday).
// Teachers MÜ, HU and X; 5a (MÜ) with 12 "Abel, Anna", 13 "Bauer, Ben" and four more; 5b, 6b and 10a (HU)
// with 20 "Zeller", 123 "Özdemir" (with address) and 30 "Maier"; "AUS" (MÜ) and a pupil of "AUS1".
// "un" is not offered for teachers.
class FensterTest : public ::testing::Test {
protected:
    static inline const QDate heute{2024, 10, 8};
    static inline const QDate montag{2024, 10, 7};
    void SetUp() override;
    void TearDown() override;
    // Opens the window as the user, shown, and clicks the class when one is given.
    void oeffnen(const QString &benutzer, const QString &klasse = QString());
    void klicken(const QString &klasse, int spalte = 0);
    QStringList klassen();
    int zeile(const QString &id) { return f->kalender().zeileVon(id); }
    int spalte(const QDate &d) { return f->kalender().spalteVon(d); }

    Schule s;
    std::unique_ptr<frm_Fehltage> f;
};

} // namespace absencetest
