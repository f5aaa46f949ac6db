#pragma once
// Twips and the blue-green-red colour values the program stores and compares.
#include <QColor>
#include <cmath>

namespace units {

// 1440 twips an inch: 15 twips a pixel at 96 dpi.
inline int twipsToPixels(int twips, double dpi = 96.0) { return int(std::lround(twips * dpi / 1440.0)); }
inline int pixelsToTwips(int px, double dpi = 96.0) { return int(std::lround(px * 1440.0 / dpi)); }

// Colour values as the program keeps them: red + green*256 + blue*65536.
inline long rgb(int r, int g, int b) { return long(r & 0xff) | (long(g & 0xff) << 8) | (long(b & 0xff) << 16); }
inline QColor toQColor(long bgr) { return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff)); }
inline long fromQColor(const QColor &c) { return rgb(c.red(), c.green(), c.blue()); }

constexpr long Red = 255;        // &HFF
constexpr long Yellow = 65535;   // &HFFFF
constexpr long Blue = 0xFF0000;  // &HFF0000
constexpr long White = 0xFFFFFF;
constexpr long Black = 0;

} // namespace units
