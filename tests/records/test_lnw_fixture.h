#pragma once
// A small grade-manager file for the performance-record tests.
#include "core/mdl_zandrel.h"
#include "platform/db.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <QMap>

namespace lnwtest {

struct NM {
    testsupport::Sandbox box;
    zdb::Db db;
    nmschema::Layout layout;

    explicit NM(nmschema::Layout l = nmschema::Layout::Current, bool indexes = true) : layout(l)
    {
        db.create(box.file("nmdaten04.mdb"));
        nmschema::createGradeManager(db, l, indexes);
    }
    QString path() const { return db.path(); }

    // A course with weights (field -> value); returns its Index.
    qint64 kurs(const QVariant &fach, const QVariant &klasse, const QVariant &lehrer,
                const QMap<QString, QVariant> &gewichte = {})
    {
        return einfuegen("Unterricht", {"Fach", "Klasse", "Lehrkraft"}, {fach, klasse, lehrer}, gewichte);
    }
    // One pupil row of a course with grades (field -> text).
    void noten(qint64 uindex, const QMap<QString, QVariant> &noten, int schueler = 1)
    {
        einfuegen("Noten", {"SchülerNr", "UIndex"}, {schueler, uindex}, noten);
    }
    // The same grade for n pupils in one field.
    void gleicheNoten(qint64 uindex, const QString &feld, const QString &note, int n)
    {
        for (int i = 0; i < n; ++i)
            noten(uindex, {{feld, note}}, 100 + i);
    }
    void lnw(qint64 uindex, int spalte, const QString &art = "SA", const QVariant &abgabe = QVariant(),
             const QVariant &bemerkung = QVariant(), const QVariant &geschrieben = QVariant(),
             const QVariant &rueckgabe = QVariant(), int lfdNr = 1, int zeit = 45)
    {
        db.exec("INSERT INTO LNW (UIndex, Spalte, Notenart, Bemerkung, Zeit, Geschrieben, Rückgabe, Abgabe, LfdNr) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {uindex, spalte, art, bemerkung, zeit, geschrieben, rueckgabe, abgabe, lfdNr});
    }

private:
    qint64 einfuegen(const QString &tabelle, QStringList cols, zdb::Params p, const QMap<QString, QVariant> &mehr)
    {
        for (auto it = mehr.begin(); it != mehr.end(); ++it) {
            cols << it.key();
            p << it.value();
        }
        const QStringList q(p.size(), QStringLiteral("?"));
        db.exec("INSERT INTO " + tabelle + " (" + cols.join(", ") + ") VALUES (" + q.join(", ") + ")", p);
        return db.lastInsertId();
    }
};

// A grade-manager file and an own database as the window finds them after a login.
struct Anmeldung {
    NM nm;
    testsupport::Sandbox eigenBox;

    Anmeldung(const QString &benutzer, bool admin, nmschema::Layout l = nmschema::Layout::Current,
              const QString &fachbetreuer = {})
        : nm(l)
    {
        zdb::Db eigen;
        eigen.create(eigenBox.file("Zandrel.mdb"));
        nmschema::createOwnPrepared(eigen);
        if (!fachbetreuer.isEmpty())
            eigen.exec("INSERT INTO tbl_Fachbetreuer (Fachkürzel, Fachbetreuer) VALUES " + fachbetreuer);
        eigen.close();
        mdl::dbEigen.open(eigenBox.file("Zandrel.mdb"));
        mdl::NMDateiParameter = nm.path();
        mdl::Benutzer = benutzer;
        mdl::IstAdmin = admin;
    }
    ~Anmeldung()
    {
        mdl::dbEigen.close();
        mdl::NMDatenbankZuruecksetzen();
        mdl::NMDateiParameter.clear();
        mdl::Benutzer.clear();
        mdl::IstAdmin = false;
    }
};

} // namespace lnwtest
