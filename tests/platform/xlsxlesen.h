#pragma once
// Reading a written .xlsx back as Excel sees it: each cell's type with its text ("s:007" a text,
// "n:7" a number), so that the number 7 and the text "007" never count as equal.
#include "support/testsupport.h"

#include <QMap>
#include <QStringList>
#include <QXmlStreamReader>

namespace xlsxlesen {

inline QMap<QString, QString> zellen(const QString &path) { return testsupport::xlsxCells(path, 1, true); }

// The look of one cell as styles.xml gives it: number format, font, fill, borders, alignment.
struct Aussehen {
    QString format;                // "General", "0", "0.00" or the custom code
    bool fett = false;
    QString schriftfarbe, fuellung; // "FFRRGGBB", "" for none
    QString schrift;               // font name and size, "Calibri 11"
    QString rahmen;                // "links:thin:FF0000FF oben:… " for each edge with a line
    QString ausrichtung;           // "center/top", "" for none
};

inline Aussehen aussehen(const QString &path, const QString &ref)
{
    QString stil;
    {
        QXmlStreamReader x(testsupport::zipEntry(path, QStringLiteral("xl/worksheets/sheet1.xml")));
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("c")
                && x.attributes().value(QLatin1String("r")) == ref)
                stil = x.attributes().value(QLatin1String("s")).toString();
    }
    QMap<int, QString> formate = {{0, QStringLiteral("General")}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")}};
    QList<Aussehen> fonts, fills, borders, xfs;
    QString teil;
    QXmlStreamReader x(testsupport::zipEntry(path, QStringLiteral("xl/styles.xml")));
    while (!x.atEnd()) {
        x.readNext();
        const auto a = x.attributes();
        if (x.isEndElement() && (x.name() == QLatin1String("cellXfs") || x.name() == QLatin1String("cellStyleXfs")))
            teil.clear();
        if (!x.isStartElement())
            continue;
        const QStringView n = x.name();
        if (n == QLatin1String("fonts") || n == QLatin1String("fills") || n == QLatin1String("borders")
            || n == QLatin1String("cellXfs") || n == QLatin1String("cellStyleXfs"))
            teil = n.toString();
        else if (n == QLatin1String("numFmt"))
            formate[a.value(QLatin1String("numFmtId")).toInt()] = a.value(QLatin1String("formatCode")).toString();
        else if (n == QLatin1String("font") && teil == QLatin1String("fonts"))
            fonts << Aussehen();
        else if (n == QLatin1String("b") && teil == QLatin1String("fonts"))
            fonts.last().fett = true;
        else if (n == QLatin1String("sz") && teil == QLatin1String("fonts"))
            fonts.last().schrift += a.value(QLatin1String("val")).toString();
        else if (n == QLatin1String("name") && teil == QLatin1String("fonts"))
            fonts.last().schrift.prepend(a.value(QLatin1String("val")).toString() + QLatin1Char(' '));
        else if (n == QLatin1String("color") && teil == QLatin1String("fonts"))
            fonts.last().schriftfarbe = a.value(QLatin1String("rgb")).toString();
        else if (n == QLatin1String("fill"))
            fills << Aussehen();
        else if (n == QLatin1String("fgColor"))
            fills.last().fuellung = a.value(QLatin1String("rgb")).toString();
        else if (n == QLatin1String("border"))
            borders << Aussehen();
        else if (teil == QLatin1String("borders") && a.hasAttribute(QLatin1String("style")))
            borders.last().rahmen += n.toString() + QLatin1Char(':') + a.value(QLatin1String("style")).toString();
        else if (teil == QLatin1String("borders") && n == QLatin1String("color") && !borders.last().rahmen.isEmpty())
            borders.last().rahmen += QLatin1Char(':') + a.value(QLatin1String("rgb")).toString() + QLatin1Char(' ');
        else if (n == QLatin1String("xf") && teil == QLatin1String("cellXfs")) {
            Aussehen z = fonts.value(a.value(QLatin1String("fontId")).toInt());
            z.format = formate.value(a.value(QLatin1String("numFmtId")).toInt());
            z.fuellung = fills.value(a.value(QLatin1String("fillId")).toInt()).fuellung;
            z.rahmen = borders.value(a.value(QLatin1String("borderId")).toInt()).rahmen.trimmed();
            xfs << z;
        } else if (n == QLatin1String("alignment") && teil == QLatin1String("cellXfs"))
            xfs.last().ausrichtung = a.value(QLatin1String("horizontal")).toString() + QLatin1Char('/')
                                     + a.value(QLatin1String("vertical")).toString();
    }
    return xfs.value(stil.toInt());
}

} // namespace xlsxlesen
