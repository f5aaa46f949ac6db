#pragma once
// A Word document read from a .docx file (a template), changed by find and replace in its main
// text and saved under another name. Placeholders may be split over several runs (Word splits
// text where formatting, spell checking or editing history changes); the replacement takes the
// formatting of the run where the placeholder begins.
#include "platform/docxxml.h"
#include "platform/docxzip.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace docx {

class Vorlage {
public:
    // False with a German reason when the file is missing, no .docx or has no main document.
    bool laden(const QString &pfad, QString *fehler = nullptr);
    // Replaces every occurrence in the main document's paragraphs (tables included, page headers
    // not); case-blind unless asked, as Word's find is by default. Returns the number replaced.
    int ersetzen(const QString &suchen, const QString &durch, bool grossKleinBeachten = false);
    // The main document's paragraphs as plain text ("\t" tab, "\v" line break, "\f" page break).
    QStringList absaetze() const;
    bool speichern(const QString &pfad, QString *fehler = nullptr) const;

private:
    QVector<Paketteil> m_teile;
    int m_hauptteil = -1;
    xml::Knoten m_dokument;
};

// The paragraphs of a document part (document.xml, header1.xml) as plain text, as above.
QStringList absatzTexte(const QByteArray &teilXml);

} // namespace docx
