#pragma once
// Table-driven typed statements: one statement and the rows Access gives for it, run through
// the lists window's own function.
#include "records/listenlogik.h"
#include "test_listen_fixture.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace listentest {

// The lists' school with three more pupils around the turn of 2012: an umlaut, ß, a name in
// capitals and a birth at 10:30.
class JahreswechselFixture : public ListenFixture {
protected:
    void SetUp() override
    {
        ListenFixture::SetUp();
        einfuegen(QStringLiteral(
            "INSERT INTO Schüler (SchülerNr, Name, Vorname, Klasse, Geburtsdatum, LRS) VALUES "
            "(7,'Öztürk','Deniz','7b','2011-12-31',0),(8,'Weiß','Jan','7b','2012-01-01',1),"
            "(9,'MÜLLER','Tom','7b','2012-01-02 10:30:00',0);"));
    }
};

// One typed statement and its rows (cells joined by "|"), or "Fehler" when Access refuses it.
struct Fall {
    const char *sql;
    QStringList zeilen;
};

inline QStringList zeilen(const QString &sql)
{
    const listen::Ergebnis e = listen::ausfuehren(sql);
    if (e.status == listen::Ergebnis::Fehler)
        return {QStringLiteral("Fehler")};
    QStringList out;
    for (const QStringList &z : e.zeilen)
        out << z.join('|');
    return out;
}

inline void pruefen(const std::vector<Fall> &faelle)
{
    for (const Fall &f : faelle)
        EXPECT_EQ(zeilen(QString::fromUtf8(f.sql)), f.zeilen) << f.sql;
}

inline const QStringList fehler{QStringLiteral("Fehler")};

} // namespace listentest
