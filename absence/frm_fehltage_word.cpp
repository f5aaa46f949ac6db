// The absence window's Word buttons: the checks, the status line and the messages around the
// documents of worddokumente; each document is saved, opened and reported.
#include "absence/frm_fehltage_word.h"
#include "absence/wordstatus.h"
#include "core/mdl_zandrel.h"
#include "platform/docopener.h"
#include "platform/docxvorlage.h"
#include "platform/msg.h"
#include "platform/valuetext.h"

#include <QCoreApplication>
#include <QLabel>

namespace absence {

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

QString wordSpeichern(const docx::Dokument &d, const QString &pfad)
{
    QString fehler;
    if (d.speichern(pfad, &fehler))
        return pfad;
    msg::box(QStringLiteral("Das Word-Dokument kann nicht gespeichert werden.\r") + fehler, msg::OKOnly);
    return {};
}

// The finished document goes to the desktop; the message says whether it opened.
static void wordUebergeben(const QString &pfad)
{
    msg::box(docs::handOverText(docs::handOver(pfad), MeldungWordErstellt, pfad), msg::OKOnly);
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
    wordUebergeben(pfad);
    QCoreApplication::processEvents();
    return pfad;
}

QString TageslisteWordErstellen(const QString &datum, const QVector<TageslistenZeile> &zeilen,
                                const TageslistenOptionen &o, const std::function<QString(const QString &)> &klartext,
                                QLabel *lblInfo, QWidget *knopf)
{
    static bool laeuft = false;
    if (!wordBereit(laeuft))
        return {};
    if (vt::trimBlanks(datum).isEmpty()) {
        msg::box(QStringLiteral("Es ist kein Tag markiert.\rBitte erst eine Klasse und dann einen Tag auswählen!"),
                 msg::OKOnly);
        return {};
    }
    const Wiedereintritt sperre(laeuft);
    QString pfad;
    {
        WordStatus status(lblInfo, knopf);
        const QString gesamt = QString::number(zeilen.size());
        const docx::Dokument d = tageslisteDokument(datum, zeilen, o, klartext, [&](int r) {
            status.zeigen(QStringLiteral("... ") + QString::number(r) + QLatin1Char('/') + gesamt);
        });
        status.zeigen(QStringLiteral("... ") + gesamt + QLatin1Char('/') + gesamt);
        pfad = wordSpeichern(d, wordPfad(QStringLiteral("Absenzen am ") + vt::trimBlanks(datum)));
        if (!pfad.isEmpty())
            wordUebergeben(pfad);
    }
    QCoreApplication::processEvents();
    return pfad;
}

QStringList KlassenberichtWordErstellen(zdb::Db &eigen, const QVector<BerichtsKlasse> &klassen, const QDate &start,
                                        const QDate &ende, bool extraSeite, QLabel *lblInfo, const QDate &heute,
                                        const IdZuordnung *zuordnung)
{
    static bool laeuft = false;
    if (!wordBereit(laeuft))
        return {};
    const Wiedereintritt sperre(laeuft);
    const mdl::NMSitzung nm;
    if (!nm.offen())
        return {};
    QStringList pfade;
    for (const BerichtsKlasse &k : klassen) {
        QString pfad;
        {
            WordStatus status(lblInfo);
            const QVector<BerichtsPerson> personen = berichtsPersonen(mdl::dbNM(), k.klasse, zuordnung);
            const docx::Dokument d =
                klassenberichtDokument(eigen, k, personen, start, ende, extraSeite, heute);
            pfad = wordSpeichern(d, wordPfad(QStringLiteral("Fehltage ") + k.klasse));
            if (!pfad.isEmpty())
                wordUebergeben(pfad);
        }
        if (pfad.isEmpty())
            break; // the next class would fail the same way
        pfade << pfad;
        QCoreApplication::processEvents();
    }
    return pfade;
}

} // namespace absence
