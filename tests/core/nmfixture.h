#pragma once
// A small grade-manager database and an own database in a sandbox, with the shared state
// of the program pointing at them.
#include "support/testsupport.h"

#include <QString>

namespace corefixture {

struct Umgebung {
    explicit Umgebung(testsupport::Sandbox &sb, bool gesperrt = false);
    ~Umgebung();
    QString nmPfad, eigenPfad;
};

// Teachers: "X" (Passwort "admin"), "XS" (pwdh of "büro"), "MÜL" (Passwort "Geheim"),
// "abc" (pwdh of "Grüße1", upper-case hex), "OHN" (no password).
void lehrkraefteEintragen(const QString &nmPfad);

} // namespace corefixture
