#pragma once
// A small grade-manager file for the performance-record tests.
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
        QStringList cols{"Fach", "Klasse", "Lehrkraft"};
        zdb::Params p{fach, klasse, lehrer};
        for (auto it = gewichte.begin(); it != gewichte.end(); ++it) {
            cols << it.key();
            p << it.value();
        }
        QStringList q;
        for (int i = 0; i < p.size(); ++i)
            q << "?";
        db.exec("INSERT INTO Unterricht (" + cols.join(", ") + ") VALUES (" + q.join(", ") + ")", p);
        return db.lastInsertId();
    }
    // One pupil row of a course with grades (field -> text).
    void noten(qint64 uindex, const QMap<QString, QVariant> &noten, int schueler = 1)
    {
        QStringList cols{"SchülerNr", "UIndex"};
        zdb::Params p{schueler, uindex};
        for (auto it = noten.begin(); it != noten.end(); ++it) {
            cols << it.key();
            p << it.value();
        }
        QStringList q;
        for (int i = 0; i < p.size(); ++i)
            q << "?";
        db.exec("INSERT INTO Noten (" + cols.join(", ") + ") VALUES (" + q.join(", ") + ")", p);
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
};

} // namespace lnwtest
