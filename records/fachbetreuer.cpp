#include "records/fachbetreuer.h"

#include "core/mdl_zandrel.h"
#include "platform/valuetext.h"

namespace fachbetreuer {

QVector<Eintrag> laden(zdb::Db &eigen)
{
    QVector<Eintrag> out;
    const zdb::Result r = eigen.query(QStringLiteral("SELECT   Fachkürzel, "
                                                     "         Fachbetreuer "
                                                     "FROM     tbl_Fachbetreuer "
                                                     "ORDER BY FachKürzel COLLATE DE"));
    out.reserve(r.rowCount());
    for (const QVariantList &row : r.rows)
        out.append({row[0], row[1]});
    return out;
}

void schreiben(zdb::Db &eigen, const QString &fach, const QString &betreuer)
{
    zdb::WriteTransaction tx(eigen);
    const int n = eigen.exec(QStringLiteral("UPDATE tbl_Fachbetreuer SET Fachbetreuer = ? "
                                            "WHERE Fachkürzel = ? COLLATE BINARY"),
                             {betreuer, fach});
    if (n == 0)
        eigen.exec(QStringLiteral("INSERT INTO tbl_Fachbetreuer (Fachkürzel, Fachbetreuer) VALUES (?, ?)"),
                   {fach, betreuer});
    tx.commit();
}

int loeschen(zdb::Db &eigen, const QString &fach)
{
    zdb::WriteTransaction tx(eigen);
    const int n = eigen.exec(QStringLiteral("DELETE FROM tbl_Fachbetreuer WHERE Fachkürzel = ? COLLATE BINARY"), {fach});
    tx.commit();
    return n;
}

bool betreut(const QVariant &betreuerText, const QString &benutzer)
{
    const QString liste = QLatin1Char(' ') + mdl::GrossGetrimmt(mdl::NullZuText(betreuerText)) + QLatin1Char(' ');
    return liste.contains(QLatin1Char(' ') + mdl::GrossGetrimmt(benutzer) + QLatin1Char(' '), Qt::CaseSensitive);
}

QStringList faecherFuer(const QVector<Eintrag> &eintraege, const QString &benutzer, bool istAdmin)
{
    QStringList out;
    if (istAdmin)
        out << QStringLiteral("*");
    // A blank abbreviation would match every double blank of a supervisor text.
    if (!istAdmin && vt::trimBlanks(benutzer).isEmpty())
        return out;
    for (const Eintrag &e : eintraege) {
        const QString fach = mdl::NullZuText(e.fach);
        if (vt::trimBlanks(fach).isEmpty())
            continue;
        if (istAdmin || betreut(e.betreuer, benutzer))
            out << fach;
    }
    return out;
}

} // namespace fachbetreuer
