#pragma once
// The absence window's three Word documents: the exemption letter from the school's template,
// the day list of the chosen day and the absence report of the chosen classes. Each is written
// with the platform's .docx writer into the temporary folder and handed to the desktop; the
// window passes what it shows. While a document is made, the window's status label (lblInfo,
// may be null) shows the progress and pending events are let through.
#include "absence/absenzrecord.h"
#include "absence/tagesliste.h"
#include "platform/docx.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QLabel;
class QWidget;
class VSGrid;

namespace absence {

extern const QString MeldungWordFehlt;      // "MS-Word ist nicht installiert …"
extern const QString MeldungWordErstellt;   // "Das Word-Dokument wurde erstellt."

// ---- exemption letter --------------------------------------------------------------------------

struct Befreiung {
    QString name;          // caption of lblSName ("Name, Vorname")
    QString klasse;        // caption of lblSKlasse
    QString klassenleiter; // klassenleiterDerKlasse(fgKlassen, klasse)
    QString tag;           // caption of lblTag ("dd.mm.yyyy", "" when no day is chosen)
};

QString befreiungVorlagePfad(); // program folder + "Unterrichtsbefreiung Vorlage.docx"
QString befreiungPfad();        // temporary folder + "Befreiung.docx"
// The placeholders in the order they are replaced, with their texts for the letter.
QVector<QPair<QString, QString>> befreiungPlatzhalter(const Befreiung &b);
// Column 1 of the last class-list row whose column 0 equals the class (trimmed, case-blind); "" when none.
QString klassenleiterDerKlasse(const VSGrid &fgKlassen, const QString &klasse);
// Fills the template and saves it as Befreiung.docx (replacing the last letter), then opens it.
// Returns the letter's path, "" when nothing was written (the reason was shown).
QString UnterrichtsbefreiungErstellen(const Befreiung &b, QLabel *lblInfo);

// ---- day list ----------------------------------------------------------------------------------

// Rows 1 to the last of the day list fgKranke (columns 1, 2 and 3: class, name, reason).
QVector<TageslistenZeile> tageslisteAusGrid(const VSGrid &fgKranke);
// The document; fortschritt(r) is called after every tenth list row r.
docx::Dokument tageslisteDokument(const QString &datum, const QVector<TageslistenZeile> &zeilen,
                                  const TageslistenOptionen &o, const std::function<QString(const QString &)> &klartext,
                                  const std::function<void(int r)> &fortschritt = {});
// The whole button: checks the day, disables `knopf` meanwhile, saves "Absenzen am <Tag>.docx" and opens it.
// datum is the caption of lblDatum; klartext is the window's GrundKlartext. Returns the path or "".
QString TageslisteWordErstellen(const QString &datum, const QVector<TageslistenZeile> &zeilen,
                                const TageslistenOptionen &o, const std::function<QString(const QString &)> &klartext,
                                QLabel *lblInfo, QWidget *knopf);

// ---- class report ------------------------------------------------------------------------------

struct BerichtsKlasse {
    QString klasse, klassenleiter; // columns 0 and 1 of a chosen class-list row, trimmed
};
struct BerichtsPerson {
    QString id, name, vorname;
};

// The chosen rows of the class list (the selected range and picked rows), in row order.
QVector<BerichtsKlasse> gewaehlteKlassen(const VSGrid &fgKlassen);
// The persons of a class from the open grade manager's database, as the calendar shows them.
QVector<BerichtsPerson> berichtsPersonen(zdb::Db &nm, const QString &klasse);
// One person's day entries in the period, four to a line, ready to type; *anzahl = the reported days.
QString fehltageText(const QVector<Absenz::Zeile> &zeilen, const QDate &start, const QDate &ende, int *anzahl);
// The document of one class; the absences come from the own database.
docx::Dokument klassenberichtDokument(zdb::Db &eigen, const BerichtsKlasse &k, const QVector<BerichtsPerson> &personen,
                                      const QDate &start, const QDate &ende, bool extraSeite, const QDate &heute);
// The whole button after the period check: one document per class ("Fehltage <Klasse>.docx"), each
// saved, opened and reported. Returns the written paths (empty when the user gave up waiting).
// heute: the day of the "Stand:" line (the window's clock).
QStringList KlassenberichtWordErstellen(zdb::Db &eigen, const QVector<BerichtsKlasse> &klassen, const QDate &start,
                                        const QDate &ende, bool extraSeite, QLabel *lblInfo,
                                        const QDate &heute = QDate::currentDate());

// ---- shared by the three -----------------------------------------------------------------------

// A file name in the temporary folder for a document title (characters no file name takes become "_").
QString wordPfad(const QString &titel);
// Saves the document; on failure the reason is shown and "" returned.
QString wordSpeichern(const docx::Dokument &d, const QString &pfad);

} // namespace absence
