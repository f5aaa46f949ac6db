#pragma once
// A grade-manager file for the lists window, opened through the core's connections
// (NMDateiParameter points at it), with the user "X" logged in.
#include "core/mdl_zandrel.h"
#include "records/frm_listen.h"
#include "platform/db.h"
#include "support/testsupport.h"
#include "tools/demo/nmschema.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace listentest {

class ListenFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        zdb::Db db;
        db.create(sb.file("nmdaten04.mdb"));
        nmschema::createGradeManager(db);
        db.exec(QStringLiteral(
            "INSERT INTO Klassen VALUES ('5a','BAU'),('10a','SCH'),('10B','BAU');"
            "INSERT INTO Lehrkräfte (Kürzel, Name, Vorname) VALUES ('SCH','Schulz','Eva'),('BAU','Bauer','Tom');"
            "INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse, Geburtsdatum, LRS) VALUES "
            "(1,'Müller','Anna','10a','2009-03-04',1),(2,'Maier','Ömer','10a','2008-12-24',0),"
            "(3,'Özdemir','Ayşe','5a','2013-07-01',0),(4,'Schmidt','Max','10B',NULL,0),"
            "(5,'meier','Lena','5a','2013-01-15',1),(6,'Mayer','Paul','5A',NULL,0);"
            "INSERT INTO LNW (ID, UIndex, Spalte, Schnitt, Geschrieben) VALUES "
            "(1, 1, 0, 2.5, '2024-03-01 08:15:00'), (2, 1, 1, 3, '2024-03-08');"));
        db.close();
        pfad = sb.file("nmdaten04.mdb");
        mdl::NMDateiParameter = pfad;
        mdl::Benutzer = QStringLiteral("X");
    }
    void TearDown() override
    {
        mdl::NMDatenbankZuruecksetzen();
        mdl::NMDateiParameter.clear();
        mdl::Benutzer.clear();
    }
    // More rows for a test, written from outside the window.
    void einfuegen(const QString &sql)
    {
        zdb::Db db;
        db.open(pfad);
        db.exec(sql);
    }
    // A look at the file from outside the window.
    QVariant wert(const QString &sql)
    {
        zdb::Db db;
        db.open(pfad, zdb::Db::ReadOnly);
        return db.scalar(sql);
    }

    testsupport::Sandbox sb;
    QString pfad;
};

// The lists window over that file; its save dialogs answer antwort (the preset name when empty).
class ListenFensterFixture : public ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        w = new frm_Listen;
        w->speichernDialog = [this](const QString &start, const QString &name, const QString &) {
            dialogStart = start;
            return antwort.isEmpty() ? name : antwort;
        };
    }
    void TearDown() override
    {
        delete w;
        ListenFixture::TearDown();
    }
    void ausfuehren(const QString &text)
    {
        w->rtfSQL->setPlainText(text);
        w->cmd_SQL_ausfuehren_Click();
    }

    frm_Listen *w = nullptr;
    QString antwort, dialogStart;
};

} // namespace listentest
