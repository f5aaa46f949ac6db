// The exemption letter and what the three Word documents share.
#include "absence/worddokumente.h"
#include "absence/wordstatus.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/docopener.h"
#include "platform/docxvorlage.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/valuetext.h"

#include <QCoreApplication>
#include <QLabel>

namespace absence {

const QString MeldungWordFehlt = QStringLiteral("MS-Word ist nicht installiert oder kann nicht aufgerufen werden.");
const QString MeldungWordErstellt = QStringLiteral("Das Word-Dokument wurde erstellt.");

// ---- shared ------------------------------------------------------------------------------------

WordStatus::WordStatus(QLabel *lblInfo, QWidget *knopf) : m_lbl(lblInfo), m_knopf(knopf)
{
    if (m_knopf)
        m_knopf->setEnabled(false);
    zeigen(QStringLiteral("Word-Dokument wird erstellt"));
}

WordStatus::~WordStatus()
{
    verbergen();
    if (m_knopf)
        m_knopf->setEnabled(true);
}

void WordStatus::zeigen(const QString &text)
{
    if (m_lbl) {
        m_lbl->setText(text);
        m_lbl->show();
    }
    QCoreApplication::processEvents();
}

void WordStatus::verbergen()
{
    if (m_lbl)
        m_lbl->hide();
}

bool wordBereit(bool laeuft)
{
    if (laeuft)
        return false;
    if (!mdl::TestForDLL(QStringLiteral("Word.Application"))) {
        msg::box(MeldungWordFehlt, msg::OKOnly);
        return false;
    }
    return true;
}

QString wordPfad(const QString &titel)
{
    QString name = vt::trimBlanks(titel);
    for (QChar &c : name)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return folders::join(folders::tempFolder(), name + QStringLiteral(".docx"));
}

QString wordSpeichern(const docx::Dokument &d, const QString &pfad)
{
    QString fehler;
    if (d.speichern(pfad, &fehler))
        return pfad;
    msg::box(QStringLiteral("Das Word-Dokument kann nicht gespeichert werden.\r") + fehler, msg::OKOnly);
    return {};
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

QString UnterrichtsbefreiungErstellen(const Befreiung &b, QLabel *lblInfo)
{
    static bool laeuft = false;
    if (!wordBereit(laeuft))
        return {};
    const Wiedereintritt sperre(laeuft);
    QString pfad;
    {
        WordStatus status(lblInfo);
        docx::Vorlage vorlage;
        QString fehler;
        if (!vorlage.laden(befreiungVorlagePfad(), &fehler)) {
            status.verbergen();
            msg::box(QStringLiteral("Die Vorlage für die Unterrichtsbefreiung kann nicht gelesen werden.\r") + fehler,
                     msg::OKOnly);
            return {};
        }
        for (const auto &p : befreiungPlatzhalter(b))
            vorlage.ersetzen(p.first, p.second);
        status.verbergen();
        // The template itself is never written: the letter always goes to its own file.
        if (!vorlage.speichern(befreiungPfad(), &fehler)) {
            msg::box(QStringLiteral("Das Word-Dokument kann nicht gespeichert werden.\r") + fehler, msg::OKOnly);
            return {};
        }
        pfad = befreiungPfad();
    }
    docs::openDocument(pfad);
    msg::box(MeldungWordErstellt, msg::OKOnly);
    QCoreApplication::processEvents();
    return pfad;
}

} // namespace absence
