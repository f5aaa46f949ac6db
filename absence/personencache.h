#pragma once
// The own copy of all pupils and teachers (tbl_Personen), refilled at the first start of a day,
// and the deletion of all absence records.
#include "platform/db.h"

#include <QDateTime>
#include <functional>

namespace absence {

class Personencache {
public:
    enum Ergebnis { Aktuell, Gefuellt, Abgebrochen };

    // Is the oldest row of tbl_Personen from `heute`?
    static bool aktuell(zdb::Db &eigen, const QDate &heute);
    // Refills tbl_Personen from the grade manager `nm`: all pupils in its stored order, then all
    // teachers with class "LK". The grade manager is read before the one short write transaction,
    // which tests the oldest row again (Aktuell when another workstation has just refilled it).
    // Without `nm` (the wait for it was given up) the table is emptied. `durchlassen` lets pending
    // events through between the reads.
    static Ergebnis fuellen(zdb::Db &eigen, zdb::Db *nm, const QDateTime &jetzt,
                            const std::function<void()> &durchlassen = {});
};

// Deletes every absence record in one transaction.
void alleFehltageLoeschen(zdb::Db &eigen);

} // namespace absence
