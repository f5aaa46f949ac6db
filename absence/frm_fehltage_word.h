#pragma once
// The absence window's Word buttons: each checks, shows its progress in the status label
// (lblInfo, may be null; pending events are let through), saves the document into the temporary
// folder, opens it and reports.
#include "absence/worddokumente.h"

class QLabel;
class QWidget;

namespace absence {

// Fills the template and saves it as Befreiung.docx (replacing the last letter), then opens it.
// Returns the letter's path, "" when nothing was written (the reason was shown).
QString UnterrichtsbefreiungErstellen(const Befreiung &b, QLabel *lblInfo);

// The day list: checks the day, disables `knopf` meanwhile, saves "Absenzen am <Tag>.docx" and opens it.
// datum is the caption of lblDatum; klartext is the window's GrundKlartext. Returns the path or "".
QString TageslisteWordErstellen(const QString &datum, const QVector<TageslistenZeile> &zeilen,
                                const TageslistenOptionen &o, const std::function<QString(const QString &)> &klartext,
                                QLabel *lblInfo, QWidget *knopf);

// The class report after the period check: one document per class ("Fehltage <Klasse>.docx"), each
// saved, opened and reported. Returns the written paths (empty when the user gave up waiting).
// heute: the day of the "Stand:" line (the window's clock).
// zuordnung: the grade manager's persons, so that a person gets only her own records.
QStringList KlassenberichtWordErstellen(zdb::Db &eigen, const QVector<BerichtsKlasse> &klassen, const QDate &start,
                                        const QDate &ende, bool extraSeite, QLabel *lblInfo,
                                        const QDate &heute = QDate::currentDate(),
                                        const IdZuordnung *zuordnung = nullptr);

// Saves the document; on failure the reason is shown and "" returned.
QString wordSpeichern(const docx::Dokument &d, const QString &pfad);

} // namespace absence
