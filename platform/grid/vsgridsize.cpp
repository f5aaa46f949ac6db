// Sizing columns to their contents. Shaping a text is the costly part of it, so each distinct text is
// measured once, and texts whose rough width (the sum of their characters' advances) cannot reach the
// widest text already measured are not shaped at all. The widths are those of measuring every cell.
#include "platform/grid/vsgrid.h"
#include "platform/grid/vsgridview.h"

#include <QFontMetrics>
#include <QHash>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <climits>
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

    // True when every digit has one advance and no two digits kern: then all digit strings of one
    // length shape to one width, so a column of numbers is measured once per length.
    bool ziffernEinheitlich() const
    {
        const qreal w = m_fm.horizontalAdvance(QLatin1Char('0'));
        for (char a = '0'; a <= '9'; ++a) {
            if (m_fm.horizontalAdvance(QLatin1Char(a)) != w)
                return false;
            for (char b = '0'; b <= '9'; ++b) {
                const char paar[] = {a, b, 0};
                if (std::abs(m_fm.horizontalAdvance(QLatin1String(paar)) - 2 * w) > 1e-6)
                    return false;
            }
        }
        return true;
    }

private:
    static constexpr char16_t Erstes = 0x20, Letztes = 0x24F; // Basic Latin to Latin Extended-B
    const QFontMetricsF m_fm;
    std::array<qreal, Letztes - Erstes + 1> m_breite;
};

struct Text {
    QString text;
    bool fett = false;
    int zusatz = 0; // widest check box and picture in front of it
    int grenze = 0; // upper bound of text and zusatz
};

bool nurZiffern(const QString &t)
{
    for (const QChar ch : t)
        if (ch.unicode() < '0' || ch.unicode() > '9')
            return false;
    return true;
}

} // namespace

namespace {

// The texts of one column while the rows are walked.
struct Spalte {
    int widest = 0;
    bool boolCol = false;
    std::vector<Text> texte;
    QHash<QString, int> stelle[2];             // text -> index in texte, per font
    QVarLengthArray<int, 24> ziffernStelle[2]; // length of a digit string -> index in texte, per font

    void merken(const QString &t, bool b, int w, bool ziffern)
    {
        int *i = nullptr;
        if (ziffern) {
            auto &st = ziffernStelle[b];
            if (st.size() <= t.size())
                st.resize(t.size() + 1, -1);
            i = &st[t.size()];
        } else {
            auto it = stelle[b].find(t);
            if (it == stelle[b].end())
                it = stelle[b].insert(t, -1);
            i = &it.value();
        }
        if (*i < 0) {
            *i = int(texte.size());
            texte.push_back({t, b, w, 0});
        } else {
            texte[size_t(*i)].zusatz = std::max(texte[size_t(*i)].zusatz, w);
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
    const bool ziffern[2] = {normal.ziffernEinheitlich(), fett.ziffernEinheitlich()};
    const int pad = int(4 * m_dpiX / 96.0 + 0.5) + 2;
    const int box = int(13 * m_dpiX / 96.0 + 0.5) + int(2 * m_dpiX / 96.0 + 0.5);
    std::vector<Spalte> spalten(size_t(c2 - c1 + 1));
    for (int c = c1; c <= c2; ++c)
        spalten[size_t(c - c1)].boolCol = m_store.colDataType(c) == grid::TypeBoolean;
    // Row by row, so that the cells of one row are read together.
    for (int r = 0; r < rows(); ++r) {
        for (int c = c1; c <= c2; ++c) {
            if (gestoppt(1))
                return false;
            Spalte &sp = spalten[size_t(c - c1)];
            int s1, s2;
            m_store.mergedSpan(r, c, s1, s2);
            if (s1 != s2)
                continue; // a merged caption spans its columns
            int w = 0;
            if (m_store.cellChecked(r, c) != grid::NoCheckbox)
                w += box;
            if (!m_pictures.empty())
                if (const int pic = m_store.cellPicture(r, c); pic > 0 && size_t(pic) <= m_pictures.size())
                    w += m_pictures[size_t(pic - 1)].width() + 2;
            const QString t = sp.boolCol && r >= fixedRows() ? QString() : grid::shapedPart(m_store.textMatrix(r, c));
            if (t.isEmpty()) {
                sp.widest = std::max(sp.widest, w);
                continue;
            }
            const bool b = m_store.cellFontBold(r, c);
            sp.merken(t, b, w, ziffern[b] && nurZiffern(t));
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
