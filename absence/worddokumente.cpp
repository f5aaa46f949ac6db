// The exemption letter and what the three Word documents share.
#include "absence/worddokumente.h"
#include "platform/datetexts.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"


namespace absence {

const QString MeldungWordFehlt = QStringLiteral("MS-Word ist nicht installiert oder kann nicht aufgerufen werden.");
const QString MeldungWordErstellt = QStringLiteral("Das Word-Dokument wurde erstellt.");

// ---- shared ------------------------------------------------------------------------------------

QString wordPfad(const QString &titel)
{
    QString name = vt::trimBlanks(titel);
    for (QChar &c : name)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return folders::join(folders::tempFolder(), name + QStringLiteral(".docx"));
}

// ---- exemption letter --------------------------------------------------------------------------

QString befreiungVorlagePfad()
{
    return folders::join(folders::programFolder(), QStringLiteral("Unterrichtsbefreiung Vorlage.docx"));
}

QString befreiungPfad() { return folders::join(folders::tempFolder(), QStringLiteral("Befreiung.docx")); }

QString klassenleiterDerKlasse(const VSGrid &fgKlassen, const QString &klasse)
{
    const QString gesucht = vt::upperTrim(klasse);
    QString leiter;
    for (int r = 1; r < fgKlassen.rows(); ++r)
        if (vt::upperTrim(fgKlassen.textMatrix(r, 0)) == gesucht)
            leiter = fgKlassen.textMatrix(r, 1);
    return leiter;
}

QVector<QPair<QString, QString>> befreiungPlatzhalter(const Befreiung &b)
{
    const QDate tag = vt::parseDate(vt::trimBlanks(b.tag));
    const QString datum = tag.isValid() ? datetexts::format(tag, QStringLiteral("dddd, dd. mmmm yyyy")) : QString();
    return {{QStringLiteral("[Name]"), vt::trimBlanks(b.name)},
            {QStringLiteral("[Klasse]"), vt::trimBlanks(b.klasse)},
            {QStringLiteral("[Klassenleiter]"), vt::trimBlanks(b.klassenleiter)},
            {QStringLiteral("[Datum]"), vt::trimBlanks(datum)},
            {QStringLiteral("[Zeit ab]"), QString()},
            {QStringLiteral("[Grund]"), QString()}};
}

} // namespace absence
