#pragma once
// A small XML tree for the parts of an Office package: read as written (prefixes and
// namespace declarations kept as plain names and attributes) and written back unchanged
// apart from what the caller edits.
#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>
#include <vector>

namespace docx::xml {

struct Knoten {
    bool istText = false;
    QString name;                                 // qualified name of an element ("w:p")
    QVector<QPair<QString, QString>> attribute;   // qualified names, xmlns declarations included
    QString text;                                 // of a text node
    std::vector<Knoten> kinder;

    QString lokalerName() const { return name.mid(name.indexOf(QLatin1Char(':')) + 1); }
    QString prefix() const { return name.left(qMax(0, int(name.indexOf(QLatin1Char(':'))))); }
    QString attribut(const QString &qname) const;
    void setAttribut(const QString &qname, const QString &wert);
};

// The document element with everything below it. False with a reason for a text that is no XML
// (or declares a DTD: package parts never do).
bool lesen(const QByteArray &daten, Knoten &wurzel, QString *fehler = nullptr);
// UTF-8 with the declaration Office writes.
QByteArray schreiben(const Knoten &wurzel);

} // namespace docx::xml
