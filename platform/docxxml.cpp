#include "platform/docxxml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace docx::xml {

QString Knoten::attribut(const QString &qname) const
{
    for (const auto &a : attribute)
        if (a.first == qname)
            return a.second;
    return {};
}

void Knoten::setAttribut(const QString &qname, const QString &wert)
{
    for (auto &a : attribute)
        if (a.first == qname) {
            a.second = wert;
            return;
        }
    attribute.push_back({qname, wert});
}

bool lesen(const QByteArray &daten, Knoten &wurzel, QString *fehler)
{
    QXmlStreamReader r(daten);
    r.setNamespaceProcessing(false);
    std::vector<Knoten *> stapel;
    wurzel = Knoten();
    bool gefunden = false;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
            if (fehler)
                *fehler = QStringLiteral("Das Dokument enthält eine DTD.");
            return false;
        case QXmlStreamReader::StartElement: {
            Knoten k;
            k.name = r.qualifiedName().toString();
            for (const QXmlStreamAttribute &a : r.attributes())
                k.attribute.push_back({a.qualifiedName().toString(), a.value().toString()});
            if (stapel.empty()) {
                if (gefunden)
                    break; // reported by the reader
                wurzel = std::move(k);
                gefunden = true;
                stapel.push_back(&wurzel);
            } else {
                stapel.back()->kinder.push_back(std::move(k));
                stapel.push_back(&stapel.back()->kinder.back());
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!stapel.empty())
                stapel.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!stapel.empty()) {
                Knoten t;
                t.istText = true;
                t.text = r.text().toString();
                stapel.back()->kinder.push_back(std::move(t));
            }
            break;
        default: // declaration, comments, processing instructions
            break;
        }
    }
    if (r.hasError() || !gefunden) {
        if (fehler)
            *fehler = r.hasError() ? r.errorString() : QStringLiteral("Das Dokument ist leer.");
        return false;
    }
    return true;
}

namespace {

void schreibeKnoten(QXmlStreamWriter &w, const Knoten &k)
{
    if (k.istText) {
        w.writeCharacters(k.text);
        return;
    }
    w.writeStartElement(k.name);
    for (const auto &a : k.attribute)
        w.writeAttribute(a.first, a.second);
    for (const Knoten &c : k.kinder)
        schreibeKnoten(w, c);
    w.writeEndElement();
}

} // namespace

QByteArray schreiben(const Knoten &wurzel)
{
    QByteArray inhalt;
    {
        QXmlStreamWriter w(&inhalt);
        w.setAutoFormatting(false);
        schreibeKnoten(w, wurzel);
    }
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n") + inhalt;
}

} // namespace docx::xml
