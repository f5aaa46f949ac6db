#include "absence/zeitraum.h"
#include "platform/datetexts.h"
#include "platform/valuetext.h"

#include <cmath>

namespace absence {

const QString Zeitraum::Meldung = QStringLiteral("Startdatum oder Endedatum falsch.\rBeide Tage müssen innerhalb des "
                                                 "aktuellen Schuljahres liegen. (01.08. - 31.07.)");

std::optional<std::pair<QDate, QDate>> Zeitraum::pruefen(const QString &start, const QString &ende,
                                                        const QDate &schuljahrBeginn, const QString &schuljahrEnde)
{
    QDate von = vt::parseDate(vt::trimBlanks(start));
    QDate bis = vt::parseDate(vt::trimBlanks(ende));
    const QDate letzter = vt::parseDate(schuljahrEnde);
    if (von.isValid() && von < schuljahrBeginn)
        von = QDate();
    if (bis.isValid() && (!letzter.isValid() || bis > letzter))
        bis = QDate();
    if (von.isValid() && bis.isValid() && (von > bis || von.daysTo(bis) > 370))
        bis = QDate();
    if (!von.isValid() || !bis.isValid())
        return std::nullopt;
    return std::make_pair(von, bis);
}

QVector<Zeitraum::UeberblickSpalte> Zeitraum::ueberblick(const QVector<Spalte> &spalten, const QDate &von,
                                                          const QDate &bis, int verfuegbareBreite)
{
    auto gezaehlt = [&](const Spalte &s) { return s.schultag && s.datum >= von && s.datum <= bis; };
    int n = 1;
    for (const Spalte &s : spalten)
        if (gezaehlt(s))
            ++n;
    const float proTag = float(verfuegbareBreite) / float(n) + 1.0f;
    const int breite = std::max(0, int(std::lround(proTag)));

    QVector<UeberblickSpalte> out;
    out.reserve(spalten.size());
    QString vorher;
    for (const Spalte &s : spalten) {
        UeberblickSpalte u;
        u.monat = datetexts::format(s.datum, QStringLiteral("mmm yy"));
        if (gezaehlt(s)) {
            u.breite = breite;
            u.monatsbeginn = u.monat != vorher;
            if (u.monatsbeginn)
                vorher = u.monat;
        }
        out.push_back(u);
    }
    return out;
}

} // namespace absence
