#include "bench/bench.h"
#include "core/feiertag.h"
#include "core/mdl_zandrel.h"

// The absence and exam calendars classify every day of the school year, per class column.
ZBENCH("core: Feiertag")
{
    QVector<mdl::Ferienzeit> ferien;
    for (int i = 0; i < 12; ++i)
        ferien.push_back({QDate(2024, 9, 1).addDays(30 * i).toString("dd.MM.yyyy"),
                          QDate(2024, 9, 5).addDays(30 * i).toString("dd.MM.yyyy"), "Ferien"});
    mdl::Ferien = ferien;
    int farbig = 0;
    const double ms = bench::timeMs([&] {
        for (int klasse = 0; klasse < 30; ++klasse)
            for (QDate d(2024, 8, 1); d <= QDate(2025, 7, 31); d = d.addDays(1))
                farbig += mdl::Feiertag(d).Name.isEmpty() ? 0 : 1;
    });
    mdl::Ferien.clear();
    bench::report("30 Klassen x 365 Tage", ms, "ms");
    (void)farbig;
}
