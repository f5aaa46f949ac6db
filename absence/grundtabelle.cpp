#include "absence/grundtabelle.h"
#include "platform/valuetext.h"

namespace absence {

void GrundTabelle::laden(zdb::Db &eigen)
{
    m_gruende.clear();
    eigen.forEach(QStringLiteral("SELECT kurz, lang, farbe, fuer_Schueler, fuer_Lehrer FROM tbl_Fehlgrund ORDER BY sort"),
                  {}, [this](const QVariantList &r) {
                      Grund g;
                      g.kurz = vt::valueText(r[0]);
                      g.lang = vt::valueText(r[1]);
                      if (!r[2].isNull())
                          g.farbe = long(r[2].toLongLong());
                      g.fuerSchueler = r[3];
                      g.fuerLehrer = r[4];
                      m_gruende.push_back(g);
                      return true;
                  });
}

long GrundTabelle::farbeDesGrundes(const QString &code) const
{
    const QString key = vt::upperTrim(code);
    if (key.isEmpty())
        return Standardfarbe;
    for (const Grund &g : m_gruende) {
        const QString k = vt::upperTrim(g.kurz);
        if (k.isEmpty())
            break;
        if (k == key)
            return g.farbe;
    }
    return Standardfarbe;
}

QString GrundTabelle::grundKlartext(const QString &code) const
{
    const QString key = vt::upperTrim(code);
    if (key.isEmpty())
        return QString();
    for (const Grund &g : m_gruende) {
        if (vt::upperTrim(g.kurz) == key) {
            const QString t = vt::trimBlanks(g.lang);
            return t.isEmpty() ? vt::trimBlanks(code) : t;
        }
    }
    return vt::trimBlanks(code);
}

} // namespace absence
