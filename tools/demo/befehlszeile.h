#pragma once
// zandrel-demo's command line: its options, the German help with every option's default, and
// the reading of the arguments into the generator's options.
#include "tools/demo/demoschool.h"

#include <QString>
#include <QStringList>

namespace demo {

// The help text: call, purpose, every option with its value and its default.
QString hilfeText(const QString &programm);

struct Befehlszeile {
    Options optionen;
    bool hilfe = false;   // --help / -h: show hilfeText and stop
    QStringList fehler;   // German, one line each; empty when the arguments are usable
};

// Reads the arguments (with the program name first, as main() gets them).
Befehlszeile befehlszeileLesen(const QStringList &argumente);

} // namespace demo
