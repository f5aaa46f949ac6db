#pragma once
// The absence window's three Word documents: the exemption letter from the school's template,
// the day list of the chosen day and the absence report of the chosen classes. Each is written
// with the platform's .docx writer; the window passes what it shows, and its buttons
// (frm_fehltage_word.h) save, open and report the documents.
#include "absence/absenzrecord.h"
#include "absence/idzuordnung.h"
#include "absence/tagesliste.h"
#include "platform/docx.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

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

// ---- day list ----------------------------------------------------------------------------------

// Rows 1 to the last of the day list fgKranke (columns 1, 2 and 3: class, name, reason).
QVector<TageslistenZeile> tageslisteAusGrid(const VSGrid &fgKranke);
// The document; fortschritt(r) is called after every tenth list row r.
docx::Dokument tageslisteDokument(const QString &datum, const QVector<TageslistenZeile> &zeilen,
                                  const TageslistenOptionen &o, const std::function<QString(const QString &)> &klartext,
                                  const std::function<void(int r)> &fortschritt = {});

// ---- class report ------------------------------------------------------------------------------

struct BerichtsKlasse {
    QString klasse, klassenleiter; // columns 0 and 1 of a chosen class-list row, trimmed
};
struct BerichtsPerson {
    QString id, name, vorname;
    bool nurExakt = false; // Kennung::nurExakt
};

// The chosen rows of the class list (the selected range and picked rows), in row order.
QVector<BerichtsKlasse> gewaehlteKlassen(const VSGrid &fgKlassen);
// The persons of the class from the open grade manager's database, in the calendar's order: for
// "AUS" only that class, not the classes beginning with "AUS" that the calendar shows with it.
// With the grade manager's persons (`zuordnung`), a person whose id the rule makes equal to another's
// gets only the records stored exactly under hers.
QVector<BerichtsPerson> berichtsPersonen(zdb::Db &nm, const QString &klasse, const IdZuordnung *zuordnung = nullptr);
// One person's day entries in the period, four to a line, ready to type; *anzahl = the reported days.
QString fehltageText(const QVector<Absenz::Zeile> &zeilen, const QDate &start, const QDate &ende, int *anzahl);
// The document of one class; the absences come from the own database.
docx::Dokument klassenberichtDokument(zdb::Db &eigen, const BerichtsKlasse &k, const QVector<BerichtsPerson> &personen,
                                      const QDate &start, const QDate &ende, bool extraSeite, const QDate &heute);

// ---- shared by the three -----------------------------------------------------------------------

// A file name in the temporary folder for a document title (characters no file name takes become "_").
QString wordPfad(const QString &titel);

} // namespace absence
