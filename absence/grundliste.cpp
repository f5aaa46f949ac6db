#include "absence/grundliste.h"
#include "platform/valuetext.h"

namespace absence {

const QString Grundliste::MeldungDoppelt =
    QStringLiteral("Das bearbeitete Kürzel kommt bereits einmal vor. Bitte änders Sie es ab!");
const QString Grundliste::MeldungRotGelb = QStringLiteral("Rot und Gelb sind reserviert für Ferien und Feiertage!");

QString Grundliste::kurzNormalisieren(const QString &text) { return vt::trimBlanks(text).left(MaxKurz); }
QString Grundliste::langNormalisieren(const QString &text) { return vt::trimBlanks(text).left(MaxLang); }

QString Grundliste::meldungOhneKuerzel(int n)
{
    if (n <= 0)
        return QString();
    if (n == 1)
        return QStringLiteral("1 Absenzgrund hat kein Kürzel. Dieser wurde nicht gespeichert.");
    return QString::number(n) + QStringLiteral(" Absenzgründe haben kein Kürzel. Diese wurden nicht gespeichert.");
}

int Grundliste::speichern(zdb::Db &eigen, const QVector<GrundZeile> &zeilen)
{
    int uebersprungen = 0;
    // One transaction: other workstations never see an empty or half-filled list.
    zdb::WriteTransaction tx(eigen);
    eigen.exec(QStringLiteral("DELETE FROM tbl_Fehlgrund"));
    for (int i = 0; i < zeilen.size(); ++i) {
        const GrundZeile &z = zeilen[i];
        const QString kurz = kurzNormalisieren(z.kurz);
        if (kurz.isEmpty()) {
            ++uebersprungen;
            continue;
        }
        eigen.exec(QStringLiteral("INSERT INTO tbl_Fehlgrund (kurz, lang, fuer_Schueler, fuer_Lehrer, farbe, sort) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"),
                   {kurz, langNormalisieren(z.lang), z.fuerSchueler ? 1 : 0, z.fuerLehrer ? 1 : 0,
                    qlonglong(z.farbe), i + 1});
    }
    tx.commit();
    return uebersprungen;
}

} // namespace absence
