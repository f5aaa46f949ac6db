#pragma once
// The own copy of all pupils and teachers (tbl_Personen), refilled at the first start of a day,
// and the deletion of all absence records.
#include "platform/db.h"

#include <QDateTime>

namespace absence {

class Personencache {
public:
    enum Ergebnis { Aktuell, Gefuellt, Abgebrochen };

    // Refills tbl_Personen unless its oldest row is from today: all pupils in the grade manager's
    // stored order, then all teachers with class "LK". The grade manager is read before the one short
    // write transaction, which tests the oldest row again. Giving up the wait empties the table.
    static Ergebnis PersonenAktualisieren(zdb::Db &eigen, const QDateTime &jetzt = QDateTime::currentDateTime());
};

// "alle Fehltage löschen": asks (Cancel preset), deletes every absence record, closes an open
// absence window and reports. True when deleted.
bool FehltageLoeschen(zdb::Db &eigen);

} // namespace absence
