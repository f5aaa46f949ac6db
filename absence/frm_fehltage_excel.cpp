// The absence window's Excel buttons: the checks and messages around the lists of excellisten,
// the button disabled and the status line shown while a list is made.
#include "absence/frm_fehltage_excel.h"
#include "core/mdl_zandrel.h"
#include "platform/msg.h"
#include "platform/valuetext.h"
#include "platform/xlsxbook.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace absence::excellisten {

namespace {

// The Excel steps around a list: the button disabled, the status line shown, the workbook handed
// over, the completion reported, the button enabled again.
class ExcelLauf {
public:
    explicit ExcelLauf(const Knopf &k) : m_knopf(k.knopf), m_info(k.lblInfo)
    {
        if (m_knopf)
            m_knopf->setEnabled(false);
        if (m_info) {
            m_info->setText(QStringLiteral("Excel-Datei wird erstellt"));
            m_info->setVisible(true);
        }
        // Paint the status line; no user input while the window's grids are still to be read.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~ExcelLauf()
    {
        if (m_info)
            m_info->setVisible(false);
        if (m_knopf)
            m_knopf->setEnabled(true);
    }
    void uebergeben(const xlsx::Workbook &book, const QString &name)
    {
        QString fehler;
        docs::Handover h = docs::Handover::Failed;
        const QString pfad = book.openUnsaved(name, &fehler, &h);
        if (m_info)
            m_info->setVisible(false);
        if (pfad.isEmpty())
            msg::box(QStringLiteral("Die Excel-Liste konnte nicht erstellt werden.\r") + fehler);
        else
            msg::box(docs::handOverText(h, QStringLiteral("Das Excel-Dokument wurde erstellt."), pfad));
        QCoreApplication::processEvents();
    }

private:
    QPointer<QPushButton> m_knopf;
    QPointer<QLabel> m_info;
};

bool excelDa()
{
    if (mdl::TestForDLL(QStringLiteral("Excel.Application")))
        return true;
    msg::box(QStringLiteral("MS-Excel ist nicht installiert oder kann nicht aufgerufen werden. Daher kann der "
                            "Excel-Export nicht erstellt werden."));
    return false;
}

const QString ZeitraumFalsch =
    QStringLiteral("Der Zeitraum ist nicht gültig.\rBitte Start- und Endetag als Datum (TT.MM.JJJJ) eingeben.");

// The two period lists after their own checks: period read, sheet filled, workbook handed over.
void zeitraumListe(const QString &startTag, const QString &endeTag, const Knopf &k, const QString &name,
                   const std::function<bool(const QDate &, const QDate &, xlsx::Workbook &)> &fuellen)
{
    QDate erster, letzter;
    if (!zeitraumLesen(startTag, endeTag, erster, letzter)) {
        msg::box(ZeitraumFalsch);
        return;
    }
    xlsx::Workbook book;
    if (!fuellen(erster, letzter, book)) {
        msg::box(KeineDaten);
        return;
    }
    ExcelLauf(k).uebergeben(book, name);
}

} // namespace

void cmd_unentschuldigt_Click(zdb::Db &eigen, const QString &startTag, const QString &endeTag,
                              const VSGrid &fgKlassen, const Knopf &k)
{
    if (!excelDa())
        return;
    zeitraumListe(startTag, endeTag, k, QStringLiteral("unentschuldigte Fehltage"),
                  [&](const QDate &erster, const QDate &letzter, xlsx::Workbook &book) {
                      return unentschuldigtFuellen(eigen, erster, letzter, fgKlassen, book);
                  });
}

void cmdVieleFehltage_Click(zdb::Db &eigen, const QString &startTag, const QString &endeTag, const QString &nText,
                            const Knopf &k)
{
    if (!excelDa())
        return;
    int n = 0;
    if (!anzahlLesen(nText, n)) {
        msg::box(QStringLiteral("Die Zahl der Fehltage ist zu groß.\rBitte eine Zahl bis 32767 eingeben."));
        return;
    }
    zeitraumListe(startTag, endeTag, k, QStringLiteral("viele Fehltage"),
                  [&](const QDate &erster, const QDate &letzter, xlsx::Workbook &book) {
                      return vieleFehltageFuellen(eigen, erster, letzter, n, startTag, endeTag, book);
                  });
}

void cmdExcel_Click(const VSGrid &fgKranke, const QString &datum, const TageslistenOptionen &optionen,
                    const Klartext &grundKlartext, const Knopf &k)
{
    if (!excelDa())
        return;
    if (vt::trimBlanks(datum).isEmpty()) {
        msg::box(QStringLiteral("Es ist kein Tag markiert.\rBitte erst eine Klasse und dann einen Tag auswählen!"));
        return;
    }
    ExcelLauf lauf(k);
    xlsx::Workbook book;
    tageslisteFuellen(fgKranke, datum, optionen, grundKlartext, book);
    lauf.uebergeben(book, QStringLiteral("Absenzen"));
}

} // namespace absence::excellisten
