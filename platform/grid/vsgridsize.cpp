// Sizing columns to their contents. Shaping a text is the costly part of it, so each distinct text is
// measured once, and texts whose rough width (the sum of their characters' advances) cannot reach the
// widest text already measured are not shaped at all; numbers are added up from their digits. The
// widths are those of measuring every cell.
#include "platform/grid/vsgrid.h"
#include "platform/grid/vsgridview.h"

#include <QFontMetrics>
#include <QHash>
#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <cmath>
#include <vector>

namespace {

// The rough width of a text from its characters' advances. Kerning moves a Latin text by a pixel or
// two, and the bound allows an eighth more; other scripts, tabs and control characters shape
// differently, so their texts are always measured.
class Schaetzung {
public:
    explicit Schaetzung(const QFont &f) : m_fm(f) { m_breite.fill(-1); }

    // An upper bound of the shaped width, or INT_MAX when the text must be measured.
    int obergrenze(const QString &text)
    {
        qreal summe = 0;
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u < Erstes || u > Letztes || (u >= 0x7F && u < 0xA0))
                return INT_MAX;
            qreal &w = m_breite[u - Erstes];
            if (w < 0)
                w = m_fm.horizontalAdvance(ch);
            summe += w;
        }
        return int(std::min<qreal>(INT_MAX - 1, std::ceil(summe * 1.125) + 2));
    }

private:
    static constexpr char16_t Erstes = 0x20, Letztes = 0x24F; // Basic Latin to Latin Extended-B
    const QFontMetricsF m_fm;
    std::array<qreal, Letztes - Erstes + 1> m_breite;
};

// The shaped width of a digit string from the digits' advances and the kerning of each digit pair,
// counted in 1/64 pixel as the text layout does. Trusted only when every string of three digits
// shapes to exactly that sum (kerning is by pairs); then numbers need no shaping at all, whether
// the font kerns digits or not. Kept per font, as the check costs a thousand shapings.
class Ziffernbreite {
public:
    static const Ziffernbreite &fuer(const QFont &f)
    {
        static QHash<QString, std::shared_ptr<const Ziffernbreite>> schon;
        auto &z = schon[f.key()];
        if (!z)
            z = std::make_shared<const Ziffernbreite>(f);
        return *z;
    }

    explicit Ziffernbreite(const QFont &f)
    {
        const QFontMetricsF fm(f);
        auto mass = [&](std::initializer_list<int> ziffern) {
            QString t;
            for (const int d : ziffern)
                t += QLatin1Char(char('0' + d));
            return qRound64(fm.horizontalAdvance(t) * 64);
        };
        for (int a = 0; a < 10; ++a)
            m_vor[a] = mass({a});
        for (int a = 0; a < 10; ++a)
            for (int b = 0; b < 10; ++b)
                m_paar[a][b] = mass({a, b}) - m_vor[a] - m_vor[b];
        for (int a = 0; a < 10; ++a)
            for (int b = 0; b < 10; ++b)
                for (int c = 0; c < 10; ++c)
                    if (mass({a, b, c}) != m_vor[a] + m_vor[b] + m_vor[c] + m_paar[a][b] + m_paar[b][c])
                        return;
        m_gueltig = true;
    }

    // Pixels as QFontMetrics rounds the shaped width, or -1 when t is not a digit string or the
    // font's digits do not add up by pairs.
    int breite(const QString &t) const
    {
        return breite(t.size(), [&t](qsizetype i) { return t[i].unicode(); });
    }
    int breite(const grid::CellText &t) const
    {
        return breite(t.size(), [&t](qsizetype i) { return t.at(i); });
    }

private:
    template <typename Zeichen> int breite(qsizetype n, Zeichen zeichen) const
    {
        if (!m_gueltig)
            return -1;
        qint64 summe = 0;
        int vorige = -1;
        for (qsizetype i = 0; i < n; ++i) {
            const int d = zeichen(i) - '0';
            if (d < 0 || d > 9)
                return -1;
            summe += m_vor[d] + (vorige >= 0 ? m_paar[vorige][d] : 0);
            vorige = d;
        }
        return summe < 0 ? -1 : int((summe + 32) >> 6);
    }

    bool m_gueltig = false;
    qint64 m_vor[10] = {};
    qint64 m_paar[10][10] = {};
};

struct Text {
    QString text;
    bool fett = false;
    int zusatz = 0; // widest check box and picture in front of it
    int grenze = 0; // upper bound of text and zusatz
};

} // namespace

namespace {

// The texts of one column while the rows are walked.
struct Spalte {
    int widest = 0;
    bool boolCol = false;
    std::vector<Text> texte;
    QHash<QString, int> stelle[2];  // text -> index in texte, per font
    QHash<quint64, int> kurze[2];   // the same for the short texts a cell keeps in its 8 bytes

    // A short text by its 8 bytes: made a string only when it is new.
    void merken(const grid::CellText &zelle, bool b, int w)
    {
        auto it = kurze[b].find(zelle.shortKey());
        if (it == kurze[b].end())
            it = kurze[b].insert(zelle.shortKey(), -1);
        merkenAn(it.value(), [&] { return zelle.toString(); }, b, w);
    }
    // t may share its characters with the cell: it is copied only when it is new.
    void merken(const QString &t, bool b, int w)
    {
        auto it = stelle[b].find(t);
        if (it == stelle[b].end())
            it = stelle[b].insert(QString(t.constData(), t.size()), -1);
        merkenAn(it.value(), [&] { return QString(t.constData(), t.size()); }, b, w);
    }
    template <typename Text> void merkenAn(int &i, Text text, bool b, int w)
    {
        if (i < 0) {
            i = int(texte.size());
            texte.push_back({text(), b, w, 0});
        } else {
            texte[size_t(i)].zusatz = std::max(texte[size_t(i)].zusatz, w);
        }
    }
};

} // namespace

bool VSGrid::autoSize(int c1, int c2, const std::function<bool()> &weiter)
{
    if (c2 < 0)
        c2 = c1;
    if (c1 > c2)
        std::swap(c1, c2);
    c1 = std::max(c1, 0);
    c2 = std::min(c2, cols() - 1);
    if (c1 > c2) {
        layoutChanged();
        return true;
    }
    // weiter is asked after about 4096 units of work: a cell read is one, shaping a text one a
    // character, its rough width one for 16 characters.
    qint64 arbeit = 0, naechste = 4096;
    const auto gestoppt = [&](qint64 einheiten) {
        arbeit += einheiten;
        if (!weiter || arbeit < naechste)
            return false;
        naechste = arbeit + 4096;
        return !weiter();
    };
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics fm(font()), fmBold(boldFont);
    Schaetzung normal(font()), fett(boldFont);
    const Ziffernbreite *ziffern[2] = {&Ziffernbreite::fuer(font()), &Ziffernbreite::fuer(boldFont)};
    const int pad = int(4 * m_dpiX / 96.0 + 0.5) + 2;
    const int box = int(13 * m_dpiX / 96.0 + 0.5) + int(2 * m_dpiX / 96.0 + 0.5);
    std::vector<Spalte> spalten(size_t(c2 - c1 + 1));
    for (int c = c1; c <= c2; ++c)
        spalten[size_t(c - c1)].boolCol = m_store.colDataType(c) == grid::TypeBoolean;
    const bool verbunden = m_store.mergeCells() != grid::MergeNever;
    // Row by row, so that the cells of one row are read together.
    for (int r = 0; r < rows(); ++r) {
        // A row without formats has no check box, picture or bold cell (a Yes/No column's values aside).
        const bool formatiert = m_store.rowHasFormats(r);
        for (int c = c1; c <= c2; ++c) {
            if (gestoppt(1))
                return false;
            Spalte &sp = spalten[size_t(c - c1)];
            if (verbunden) {
                int s1, s2;
                m_store.mergedSpan(r, c, s1, s2);
                if (s1 != s2)
                    continue; // a merged caption spans its columns
            }
            int w = 0;
            if ((formatiert || sp.boolCol) && m_store.cellChecked(r, c) != grid::NoCheckbox)
                w += box;
            if (formatiert && !m_pictures.empty())
                if (const int pic = m_store.cellPicture(r, c); pic > 0 && size_t(pic) <= m_pictures.size())
                    w += m_pictures[size_t(pic - 1)].width() + 2;
            static const grid::CellText keiner;
            const grid::CellText &zelle = sp.boolCol && r >= fixedRows() ? keiner : m_store.cellText(r, c);
            if (zelle.isEmpty()) {
                sp.widest = std::max(sp.widest, w);
                continue;
            }
            const bool b = formatiert && m_store.cellFontBold(r, c);
            if (const int z = ziffern[b]->breite(zelle); z >= 0) {
                sp.widest = std::max(sp.widest, w + z);
                continue;
            }
            if (zelle.shortKey()) {
                sp.merken(zelle, b, w);
                continue;
            }
            // A long text is read in place; only a huge one is cut to the part that is shaped at all.
            const QStringView lang = zelle.longText();
            const QString roh = QString::fromRawData(reinterpret_cast<const QChar *>(lang.utf16()), lang.size());
            sp.merken(roh.size() > grid::ShapedChars ? grid::shapedPart(roh) : roh, b, w);
        }
    }
    for (int c = c1; c <= c2; ++c) {
        Spalte &sp = spalten[size_t(c - c1)];
        for (Text &t : sp.texte) {
            if (gestoppt(1 + t.text.size() / 16))
                return false;
            const int g = (t.fett ? fett : normal).obergrenze(t.text);
            t.grenze = g == INT_MAX ? INT_MAX : g + t.zusatz;
        }
        std::sort(sp.texte.begin(), sp.texte.end(), [](const Text &a, const Text &b) { return a.grenze > b.grenze; });
        for (const Text &t : sp.texte) {
            if (t.grenze <= sp.widest)
                break; // neither this text nor any after it can be wider
            if (gestoppt(1 + t.text.size()))
                return false;
            sp.widest = std::max(sp.widest, t.zusatz + (t.fett ? fmBold : fm).horizontalAdvance(t.text));
        }
    }
    for (int c = c1; c <= c2; ++c)
        m_store.setColWidth(c, int((spalten[size_t(c - c1)].widest + pad) * 1440.0 / m_dpiX + 0.5));
    layoutChanged();
    return true;
}
