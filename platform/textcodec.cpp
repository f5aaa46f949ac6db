#include "platform/textcodec.h"

#include <QStringDecoder>

namespace textcodec {

// 0x80..0x9F of Windows-1252; 0 where the code page has no character.
static const char16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

static int toByte(QChar c)
{
    ushort u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] && kHigh[i] == u)
            return 0x80 + i;
    return -1;
}

bool isWindows1252(QChar c) { return toByte(c) >= 0; }

QByteArray toWindows1252(const QString &s, bool *allMapped)
{
    QByteArray out;
    out.reserve(s.size());
    bool all = true;
    for (QChar c : s) {
        int b = toByte(c);
        if (b < 0) {
            all = false;
            out += '?';
        } else
            out += char(b);
    }
    if (allMapped)
        *allMapped = all;
    return out;
}

QString fromWindows1252(const QByteArray &b)
{
    QString out;
    out.reserve(b.size());
    for (char ch : b) {
        unsigned char u = static_cast<unsigned char>(ch);
        if (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80])
            out += QChar(kHigh[u - 0x80]);
        else
            out += QChar(u);
    }
    return out;
}

QString decodeUtf8OrWindows1252(const QByteArray &b)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = dec.decode(b);
    if (!dec.hasError())
        return s;
    return fromWindows1252(b);
}

} // namespace textcodec
