#pragma once
// The zip container of an Office document: all parts in memory, read and written in one go.
#include <QByteArray>
#include <QString>
#include <QVector>

namespace docx {

struct Paketteil {
    QString name;    // path inside the package, "word/document.xml"
    QByteArray daten;
};

// Writes the parts (deflated) into a new file beside `pfad` and moves it over `pfad`, so a
// failed write never leaves half a document. False with a German reason when it cannot.
bool paketSchreiben(const QString &pfad, const QVector<Paketteil> &teile, QString *fehler = nullptr);
// Reads every part of the package. False with a German reason when the file is missing or no zip.
bool paketLesen(const QString &pfad, QVector<Paketteil> &teile, QString *fehler = nullptr);

} // namespace docx
