// The school's exemption-letter template in the program folder, with the placeholders the
// absence window fills in.
#include "platform/docx.h"
#include "tools/demo/writers.h"

#include <QDir>
#include <stdexcept>

namespace demo {

void writeExemptionTemplate(const School &s, const QString &programFolder)
{
    docx::Dokument d;
    d.standardSchriftart = QStringLiteral("Arial");
    d.standardGroesse = 11;
    d.seite.randOben = docx::cm(2);
    docx::Textfluss &t = d.text();

    t.schrift.fett = true;
    t.schrift.groesse = 14;
    t.schreiben(s.schulname + QStringLiteral("\r"));
    t.schrift = docx::Schrift();
    t.schrift.groesse = 10;
    t.schreiben(s.schulnameSub + QStringLiteral("\r\r\r"));

    t.schrift = docx::Schrift();
    t.schrift.fett = true;
    t.schrift.groesse = 16;
    t.absatzformat().ausrichtung = docx::Ausrichtung::Zentriert;
    t.schreiben(QStringLiteral("Unterrichtsbefreiung\r"));
    t.schrift = docx::Schrift();
    t.absatzformat().ausrichtung = docx::Ausrichtung::Links;
    t.absatz();

    t.absatzformat().tabstoppHinzufuegen(docx::cm(4));
    t.absatzformat().abstandNach = 6;
    t.schreiben(QStringLiteral("Name:\t"));
    // Word keeps a placeholder in pieces where formatting changes inside it.
    t.schrift.fett = true;
    t.schreiben(QStringLiteral("[Na"));
    t.schrift.groesse = 11;
    t.schreiben(QStringLiteral("me]\r"));
    t.schrift = docx::Schrift();
    t.schreiben(QStringLiteral("Klasse:\t[Klasse]\r"));
    t.schreiben(QStringLiteral("Klassenleitung:\t[Klassenleiter]\r\r"));
    t.schreiben(QStringLiteral("wird am [Datum] ab [Zeit ab]________ Uhr vom Unterricht befreit.\r"));
    t.schreiben(QStringLiteral("Grund: [Grund]__________________________________________________\r\r"));
    t.schreiben(QStringLiteral("Die Befreiung gilt nur für den genannten Tag. Versäumter Unterrichtsstoff ist "
                               "selbständig nachzuholen.\r\r\r"));
    t.absatzformat().tabstoppHinzufuegen(docx::cm(9));
    t.schreiben(QStringLiteral("____________________\t______________________________\r"));
    t.schrift.groesse = 9;
    t.schreiben(QStringLiteral("Ort, Datum\tUnterschrift der Schulleitung"));

    QString fehler;
    if (!d.speichern(QDir(programFolder).filePath(QStringLiteral("Unterrichtsbefreiung Vorlage.docx")), &fehler))
        throw std::runtime_error(fehler.toStdString());
}

} // namespace demo
