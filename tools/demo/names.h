#pragma once
// Name and place lists of the demo school.
#include <QStringList>

namespace demo::names {

const QStringList &surnames();      // real German surnames, umlauts and ß among them
const QStringList &boys();
const QStringList &girls();
const QStringList &parentMen();
const QStringList &parentWomen();
const QStringList &streets();       // without house number

struct Town {
    const char *plz;
    const char *ort;
    const char *vorwahl;
};
const QVector<Town> &towns();

} // namespace demo::names
