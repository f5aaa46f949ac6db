#pragma once
// A small grade-manager database and an own database in a sandbox, with the shared state
// of the program pointing at them.
#include "core/guard.h"
#include "support/testsupport.h"

#include <QString>
#include <QStringList>

namespace corefixture {

struct Umgebung {
    explicit Umgebung(testsupport::Sandbox &sb, bool gesperrt = false);
    ~Umgebung();
    QString nmPfad, eigenPfad;
};

// Teachers: "X" (Passwort "admin"), "XS" (pwdh of "büro"), "MÜL" (Passwort "Geheim"),
// "abc" (pwdh of "Grüße1", upper-case hex), "OHN" (no password).
void lehrkraefteEintragen(const QString &nmPfad);

// Leaves the program's shared state as a fresh start finds it: no databases, paths, holidays or user.
void sitzungZuruecksetzen();

// Catches the end of the program while it lives.
struct EndeAbfangen {
    QStringList enden;
    EndeAbfangen() { guard::setEndHandler([this](const QString &t) { enden << t; }); }
    ~EndeAbfangen() { guard::resetEndHandler(); }
};

} // namespace corefixture
