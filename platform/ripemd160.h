#pragma once
#include <QByteArray>
#include <QString>

namespace hashing {

// RIPEMD-160 of the bytes, as 40 lower-case hex digits.
QString ripemd160Hex(const QByteArray &data);
// The login's form: the text's Windows-1252 bytes, no line end.
QString passwordHash(const QString &password);

} // namespace hashing
