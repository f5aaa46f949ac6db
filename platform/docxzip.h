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

// Writes the parts (deflated) through safefile: a failed or killed write leaves the old document
// whole. False with the file and a German reason when it cannot.
bool paketSchreiben(const QString &pfad, const QVector<Paketteil> &teile, QString *fehler = nullptr);
// Reads every part of the package. False with a German reason when the file is missing or no zip.
bool paketLesen(const QString &pfad, QVector<Paketteil> &teile, QString *fehler = nullptr);

} // namespace docx
