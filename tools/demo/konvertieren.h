#pragma once
// A copy of an SQLite file in the shape that mdbtools 1.0 gives a file converted from Access
// (mdb-schema <file> sqlite, then mdb-export -I sqlite per table, read in with sqlite3): Yes/No
// declared INTEGER with 0/1, Date/Time declared "DateTime" with every day written
// "yyyy-MM-dd 00:00:00", text declared "varchar" without size and collation, memo "TEXT", numbers
// INTEGER or REAL, AutoNumber a plain INTEGER; no primary key, no NOT NULL, no default, no index.
// Tests run the program on such a twin beside the untouched file.
#include <QString>

namespace demo {

struct Konvertierung {
    bool jaAlsMinusEins = false; // Yes written as -1, as some converters write it
    bool leerAlsNull = false;       // an empty text, and a 0 of a number that is not whole, left Null
    bool zahlenAlsReal = false;     // whole numbers declared REAL and stored 5.0, grades in Noten as numbers
    bool leerzeichenAmEnde = false; // every text with a blank at its end, as fixed-width fields leave them
};

// Writes the converted copy of `quelle` to `ziel` (replaced when present).
void wieKonvertiert(const QString &quelle, const QString &ziel, const Konvertierung &k = {});

} // namespace demo
