#pragma once
// Windows-1252 and UTF-8 text files as the program reads and writes them.
#include <QByteArray>
#include <QString>

namespace textcodec {

// Characters outside Windows-1252 become '?' unless a replacement function is given.
QByteArray toWindows1252(const QString &s, bool *allMapped = nullptr);
bool isWindows1252(QChar c);
QString fromWindows1252(const QByteArray &b);
// UTF-8 when the bytes are valid UTF-8, else Windows-1252 (older files).
QString decodeUtf8OrWindows1252(const QByteArray &b);

} // namespace textcodec
