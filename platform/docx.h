#pragma once
// The Word document writer (.docx): a document is typed the way a user types into Word.
// A text flow (the body or the page header) has a current paragraph and a current font;
// typed text goes into the current paragraph in the current font, "\r" ends the paragraph
// (the next one takes over its format), "\t" is a tab, "\v" (code 11) a manual line break and
// "\f" a page break. Tables are put in before the current paragraph. Sizes are points.
//
//   docx::Dokument d;
//   d.seite.randOben = docx::cm(1.5);
//   d.text().schrift.groesse = 14;
//   d.text().schreiben(QStringLiteral("Titel\r"));
//   docx::Tabelle &t = d.text().tabelleEinfuegen(3, 2);   // rows and columns count from 1, as in Word
//   t.setText(1, 1, QStringLiteral("Klasse"));
//   d.speichern(pfad, &fehler);
#include <QByteArray>
#include <QString>
#include <QVector>
#include <array>
#include <memory>
#include <variant>

namespace docx {

class XmlAusgabe;

constexpr double PunkteProCm = 28.34646;
inline double cm(double zentimeter) { return zentimeter * PunkteProCm; }
// Points to twentieths of a point, the unit of the package.
int twips(double punkte);

struct Schrift {
    QString name;        // "" : the document's font
    double groesse = 0;  // points; 0: the document's size
    bool fett = false;
    bool kursiv = false;
    bool unterstrichen = false;
    bool operator==(const Schrift &o) const = default;
};

enum class Ausrichtung { Links, Zentriert, Rechts, Blocksatz };

struct Tabstopp {
    double position = 0; // points from the left margin
    Ausrichtung ausrichtung = Ausrichtung::Links;
    bool operator==(const Tabstopp &o) const = default;
};

struct Absatzformat {
    Ausrichtung ausrichtung = Ausrichtung::Links;
    double einzugLinks = 0;       // points
    double einzugErsteZeile = 0;  // points; negative: the first line starts left of the others
    double abstandVor = 0, abstandNach = 0;  // points
    bool abstandVorAuto = false, abstandNachAuto = false;
    QVector<Tabstopp> tabstopps;  // kept sorted by position
    void tabstoppHinzufuegen(double position, Ausrichtung a = Ausrichtung::Links);
    bool operator==(const Absatzformat &o) const = default;
};

// Text in one font; a run holds no paragraph mark.
struct Lauf {
    QString text;
    Schrift schrift;
};

struct Absatz {
    Absatzformat format;
    QVector<Lauf> laeufe;
    Schrift markenSchrift; // the font of the paragraph mark (size of an empty line)
    QString text() const;  // the runs' texts joined
};

enum class Kante { Oben, Links, Unten, Rechts };

// Line widths in eighths of a point, as Word counts them (2 = 1/4 pt, 12 = 1 1/2 pt); 0 no line.
namespace linie {
constexpr int Keine = 0, Viertel = 2, Halb = 4, EinUndHalb = 12;
}

class Tabelle {
public:
    // Columns of equal width over `breite` until widths are set.
    Tabelle(int zeilen, int spalten, double breite = cm(16));
    int zeilen() const { return m_zeilen; }
    int spalten() const { return m_spalten; }

    void setSpaltenbreite(int spalte, double punkte);
    double spaltenbreite(int spalte) const;
    // Appends the text to the cell's paragraph (Word's InsertAfter on the cell's range).
    void setText(int zeile, int spalte, const QString &text, const Schrift &schrift = {});
    QString text(int zeile, int spalte) const;
    // Repeated at the top of every page.
    void setKopfzeile(int zeile, bool an = true);
    bool istKopfzeile(int zeile) const;
    // One edge of every cell of a column, of a row, or of one cell.
    void setSpaltenRand(int spalte, Kante k, int breite);
    void setZeilenRand(int zeile, Kante k, int breite);
    void setZellenRand(int zeile, int spalte, Kante k, int breite);
    int rand(int zeile, int spalte, Kante k) const;

    void schreiben(XmlAusgabe &x) const;

private:
    struct Zelle {
        Absatz absatz;
        std::array<int, 4> raender{};
    };
    Zelle &zelle(int zeile, int spalte);
    const Zelle &zelle(int zeile, int spalte) const;
    int m_zeilen, m_spalten;
    QVector<double> m_breiten;
    QVector<bool> m_kopf;
    QVector<Zelle> m_zellen;
};

// The body or a page header: paragraphs and tables, and where typing goes on.
class Textfluss {
public:
    Textfluss();
    // The font of what is typed next (Word's Selection.Font).
    Schrift schrift;
    // Types text; "\r" (also "\n" or "\r\n") ends the paragraph, "\t" tab, "\v" line break, "\f" page break.
    void schreiben(const QString &text);
    void absatz() { schreiben(QStringLiteral("\r")); }
    void seitenumbruch() { schreiben(QStringLiteral("\f")); }
    // Format of the current paragraph; paragraphs begun later take it over.
    Absatzformat &absatzformat() { return m_aktuell.format; }
    // A table before the current paragraph.
    Tabelle &tabelleEinfuegen(int zeilen, int spalten);

    int absatzAnzahl() const; // paragraphs outside tables, the current one included
    const Absatz &aktuellerAbsatz() const { return m_aktuell; }
    void schreiben(XmlAusgabe &x) const;

private:
    void laufAnhaengen(const QString &text);
    void absatzBeenden();
    struct Block {
        std::variant<Absatz, std::shared_ptr<Tabelle>> inhalt;
    };
    QVector<Block> m_bloecke;
    Absatz m_aktuell;
};

struct Seite {
    bool quer = false;
    double breite = cm(21.0), hoehe = cm(29.7); // A4, given portrait
    double randOben = cm(2.5), randUnten = cm(2.0), randLinks = cm(2.5), randRechts = cm(2.5);
    struct Spalte {
        double breite = 0;
        double abstand = 0; // to the next column
    };
    QVector<Spalte> spalten; // empty: one column over the text width
    bool trennlinie = false;
    double textbreite() const;
};

class Dokument {
public:
    Dokument();
    Seite seite;
    QString standardSchriftart = QStringLiteral("Times New Roman");
    double standardGroesse = 12;

    Textfluss &text() { return m_text; }
    const Textfluss &text() const { return m_text; }
    // The page header (made on first use; repeated on every page).
    Textfluss &kopfzeile();
    bool hatKopfzeile() const { return bool(m_kopf); }

    QByteArray documentXml() const;
    QByteArray kopfzeileXml() const;
    // Writes the package; false with a German reason.
    bool speichern(const QString &pfad, QString *fehler = nullptr) const;

private:
    Textfluss m_text;
    std::unique_ptr<Textfluss> m_kopf;
};

} // namespace docx
