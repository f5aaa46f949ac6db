#include "platform/docx.h"
#include "platform/docxzip.h"

#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace docx {

namespace {

const QString NsW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString NsR = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString KopfId = QStringLiteral("rIdKopf1");

// XML 1.0 allows no control characters; tab, line break and page break become elements.
QString xmlSauber(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0B && u != 0x0C && u != 0x0D)
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        out.append(c);
    }
    return out;
}

QString ausrichtungWert(Ausrichtung a)
{
    switch (a) {
    case Ausrichtung::Zentriert: return QStringLiteral("center");
    case Ausrichtung::Rechts: return QStringLiteral("right");
    case Ausrichtung::Blocksatz: return QStringLiteral("both");
    case Ausrichtung::Links: break;
    }
    return QStringLiteral("left");
}

} // namespace

int twips(double punkte) { return int(std::lround(punkte * 20.0)); }

// The writer of one part: elements with the "w:" prefix of the main namespace.
class XmlAusgabe {
public:
    explicit XmlAusgabe(QByteArray *ziel) : w(ziel) { w.setAutoFormatting(false); }
    QXmlStreamWriter w;

    void start(const QString &name) { w.writeStartElement(name); }
    void ende() { w.writeEndElement(); }
    void attr(const QString &name, const QString &wert) { w.writeAttribute(name, wert); }
    void attr(const QString &name, int wert) { w.writeAttribute(name, QString::number(wert)); }
    void leer(const QString &name) { w.writeEmptyElement(name); }
    void leer(const QString &name, const QString &a, const QString &wert)
    {
        w.writeEmptyElement(name);
        w.writeAttribute(a, wert);
    }

    void schrift(const Schrift &s)
    {
        if (s == Schrift())
            return;
        start(QStringLiteral("w:rPr"));
        if (!s.name.isEmpty()) {
            leer(QStringLiteral("w:rFonts"));
            attr(QStringLiteral("w:ascii"), s.name);
            attr(QStringLiteral("w:hAnsi"), s.name);
            attr(QStringLiteral("w:cs"), s.name);
        }
        if (s.fett)
            leer(QStringLiteral("w:b"));
        if (s.kursiv)
            leer(QStringLiteral("w:i"));
        if (s.groesse > 0) {
            const QString halbe = QString::number(std::lround(s.groesse * 2));
            leer(QStringLiteral("w:sz"), QStringLiteral("w:val"), halbe);
            leer(QStringLiteral("w:szCs"), QStringLiteral("w:val"), halbe);
        }
        if (s.unterstrichen)
            leer(QStringLiteral("w:u"), QStringLiteral("w:val"), QStringLiteral("single"));
        ende();
    }

    void lauf(const Lauf &l)
    {
        start(QStringLiteral("w:r"));
        schrift(l.schrift);
        QString stueck;
        auto textAus = [&] {
            if (stueck.isEmpty())
                return;
            start(QStringLiteral("w:t"));
            if (stueck.front() == QLatin1Char(' ') || stueck.back() == QLatin1Char(' '))
                attr(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            w.writeCharacters(stueck);
            ende();
            stueck.clear();
        };
        for (QChar c : l.text) {
            if (c == QLatin1Char('\t')) {
                textAus();
                leer(QStringLiteral("w:tab"));
            } else if (c == QChar(11) || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                textAus();
                leer(QStringLiteral("w:br"));
            } else if (c == QChar(12)) {
                textAus();
                leer(QStringLiteral("w:br"), QStringLiteral("w:type"), QStringLiteral("page"));
            } else {
                stueck.append(c);
            }
        }
        textAus();
        ende();
    }

    void absatz(const Absatz &a)
    {
        start(QStringLiteral("w:p"));
        const Absatzformat &f = a.format;
        start(QStringLiteral("w:pPr"));
        if (!f.tabstopps.isEmpty()) {
            start(QStringLiteral("w:tabs"));
            for (const Tabstopp &t : f.tabstopps) {
                leer(QStringLiteral("w:tab"), QStringLiteral("w:val"), ausrichtungWert(t.ausrichtung));
                attr(QStringLiteral("w:pos"), twips(t.position));
            }
            ende();
        }
        leer(QStringLiteral("w:spacing"));
        attr(QStringLiteral("w:before"), twips(f.abstandVor));
        attr(QStringLiteral("w:beforeAutospacing"), f.abstandVorAuto ? 1 : 0);
        attr(QStringLiteral("w:after"), twips(f.abstandNach));
        attr(QStringLiteral("w:afterAutospacing"), f.abstandNachAuto ? 1 : 0);
        if (f.einzugLinks != 0 || f.einzugErsteZeile != 0) {
            leer(QStringLiteral("w:ind"));
            attr(QStringLiteral("w:left"), twips(f.einzugLinks));
            if (f.einzugErsteZeile < 0)
                attr(QStringLiteral("w:hanging"), twips(-f.einzugErsteZeile));
            else if (f.einzugErsteZeile > 0)
                attr(QStringLiteral("w:firstLine"), twips(f.einzugErsteZeile));
        }
        leer(QStringLiteral("w:jc"), QStringLiteral("w:val"), ausrichtungWert(f.ausrichtung));
        schrift(a.markenSchrift);
        ende();
        for (const Lauf &l : a.laeufe)
            lauf(l);
        ende();
    }

    void randElement(const QString &name, int breite)
    {
        if (breite <= 0) {
            leer(name, QStringLiteral("w:val"), QStringLiteral("nil"));
            return;
        }
        leer(name, QStringLiteral("w:val"), QStringLiteral("single"));
        attr(QStringLiteral("w:sz"), breite);
        attr(QStringLiteral("w:space"), 0);
        attr(QStringLiteral("w:color"), QStringLiteral("auto"));
    }
};

// ---- paragraphs --------------------------------------------------------------------------------

void Absatzformat::tabstoppHinzufuegen(double position, Ausrichtung a)
{
    for (Tabstopp &t : tabstopps)
        if (twips(t.position) == twips(position)) {
            t.ausrichtung = a;
            return;
        }
    tabstopps.push_back({position, a});
    std::sort(tabstopps.begin(), tabstopps.end(),
              [](const Tabstopp &x, const Tabstopp &y) { return x.position < y.position; });
}

QString Absatz::text() const
{
    QString s;
    for (const Lauf &l : laeufe)
        s += l.text;
    return s;
}

// ---- tables ------------------------------------------------------------------------------------

Tabelle::Tabelle(int zeilen, int spalten, double breite)
    : m_zeilen(qMax(1, zeilen)), m_spalten(qMax(1, spalten)), m_breiten(m_spalten, breite / qMax(1, spalten)),
      m_kopf(m_zeilen, false), m_zellen(m_zeilen * m_spalten)
{
}

Tabelle::Zelle &Tabelle::zelle(int zeile, int spalte)
{
    Q_ASSERT(zeile >= 1 && zeile <= m_zeilen && spalte >= 1 && spalte <= m_spalten);
    return m_zellen[(zeile - 1) * m_spalten + (spalte - 1)];
}

const Tabelle::Zelle &Tabelle::zelle(int zeile, int spalte) const
{
    return const_cast<Tabelle *>(this)->zelle(zeile, spalte);
}

void Tabelle::setSpaltenbreite(int spalte, double punkte)
{
    if (spalte >= 1 && spalte <= m_spalten)
        m_breiten[spalte - 1] = punkte;
}

double Tabelle::spaltenbreite(int spalte) const { return m_breiten.value(spalte - 1); }

void Tabelle::setText(int zeile, int spalte, const QString &text, const Schrift &schrift)
{
    Absatz &a = zelle(zeile, spalte).absatz;
    const QString sauber = xmlSauber(text);
    if (!a.laeufe.isEmpty() && a.laeufe.back().schrift == schrift)
        a.laeufe.back().text += sauber;
    else
        a.laeufe.push_back({sauber, schrift});
}

QString Tabelle::text(int zeile, int spalte) const { return zelle(zeile, spalte).absatz.text(); }

void Tabelle::setKopfzeile(int zeile, bool an)
{
    if (zeile >= 1 && zeile <= m_zeilen)
        m_kopf[zeile - 1] = an;
}

bool Tabelle::istKopfzeile(int zeile) const { return m_kopf.value(zeile - 1); }

void Tabelle::setZellenRand(int zeile, int spalte, Kante k, int breite)
{
    zelle(zeile, spalte).raender[size_t(k)] = breite;
}

void Tabelle::setSpaltenRand(int spalte, Kante k, int breite)
{
    for (int z = 1; z <= m_zeilen; ++z)
        setZellenRand(z, spalte, k, breite);
}

void Tabelle::setZeilenRand(int zeile, Kante k, int breite)
{
    for (int s = 1; s <= m_spalten; ++s)
        setZellenRand(zeile, s, k, breite);
}

int Tabelle::rand(int zeile, int spalte, Kante k) const { return zelle(zeile, spalte).raender[size_t(k)]; }

void Tabelle::schreiben(XmlAusgabe &x) const
{
    x.start(QStringLiteral("w:tbl"));
    x.start(QStringLiteral("w:tblPr"));
    int gesamt = 0;
    for (double b : m_breiten)
        gesamt += twips(b);
    x.leer(QStringLiteral("w:tblW"));
    x.attr(QStringLiteral("w:w"), gesamt);
    x.attr(QStringLiteral("w:type"), QStringLiteral("dxa"));
    x.leer(QStringLiteral("w:tblLayout"), QStringLiteral("w:type"), QStringLiteral("fixed"));
    x.start(QStringLiteral("w:tblCellMar"));
    for (const QString &seite : {QStringLiteral("w:left"), QStringLiteral("w:right")}) {
        x.leer(seite);
        x.attr(QStringLiteral("w:w"), 70);
        x.attr(QStringLiteral("w:type"), QStringLiteral("dxa"));
    }
    x.ende();
    x.ende();
    x.start(QStringLiteral("w:tblGrid"));
    for (double b : m_breiten)
        x.leer(QStringLiteral("w:gridCol"), QStringLiteral("w:w"), QString::number(twips(b)));
    x.ende();
    for (int z = 1; z <= m_zeilen; ++z) {
        x.start(QStringLiteral("w:tr"));
        if (istKopfzeile(z)) {
            x.start(QStringLiteral("w:trPr"));
            x.leer(QStringLiteral("w:tblHeader"));
            x.ende();
        }
        for (int s = 1; s <= m_spalten; ++s) {
            const Zelle &c = zelle(z, s);
            x.start(QStringLiteral("w:tc"));
            x.start(QStringLiteral("w:tcPr"));
            x.leer(QStringLiteral("w:tcW"));
            x.attr(QStringLiteral("w:w"), twips(m_breiten[s - 1]));
            x.attr(QStringLiteral("w:type"), QStringLiteral("dxa"));
            x.start(QStringLiteral("w:tcBorders"));
            x.randElement(QStringLiteral("w:top"), c.raender[size_t(Kante::Oben)]);
            x.randElement(QStringLiteral("w:left"), c.raender[size_t(Kante::Links)]);
            x.randElement(QStringLiteral("w:bottom"), c.raender[size_t(Kante::Unten)]);
            x.randElement(QStringLiteral("w:right"), c.raender[size_t(Kante::Rechts)]);
            x.ende();
            x.ende();
            x.absatz(c.absatz);
            x.ende();
        }
        x.ende();
    }
    x.ende();
}

// ---- text flows --------------------------------------------------------------------------------

Textfluss::Textfluss() = default;

void Textfluss::laufAnhaengen(const QString &text)
{
    if (text.isEmpty())
        return;
    const QString sauber = xmlSauber(text);
    if (!m_aktuell.laeufe.isEmpty() && m_aktuell.laeufe.back().schrift == schrift)
        m_aktuell.laeufe.back().text += sauber;
    else
        m_aktuell.laeufe.push_back({sauber, schrift});
}

void Textfluss::absatzBeenden()
{
    m_aktuell.markenSchrift = schrift;
    Absatz neu;
    neu.format = m_aktuell.format;
    neu.markenSchrift = schrift;
    m_bloecke.push_back({std::move(m_aktuell)});
    m_aktuell = std::move(neu);
}

void Textfluss::schreiben(const QString &text)
{
    QString stueck;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\n') && i > 0 && text[i - 1] == QLatin1Char('\r'))
                continue;
            laufAnhaengen(stueck);
            stueck.clear();
            absatzBeenden();
        } else {
            stueck.append(c);
        }
    }
    laufAnhaengen(stueck);
    m_aktuell.markenSchrift = schrift;
}

Tabelle &Textfluss::tabelleEinfuegen(int zeilen, int spalten)
{
    auto t = std::make_shared<Tabelle>(zeilen, spalten);
    m_bloecke.push_back({t});
    return *t;
}

int Textfluss::absatzAnzahl() const
{
    int n = 1;
    for (const Block &b : m_bloecke)
        n += std::holds_alternative<Absatz>(b.inhalt) ? 1 : 0;
    return n;
}

void Textfluss::schreiben(XmlAusgabe &x) const
{
    for (const Block &b : m_bloecke) {
        if (const Absatz *a = std::get_if<Absatz>(&b.inhalt))
            x.absatz(*a);
        else
            std::get<std::shared_ptr<Tabelle>>(b.inhalt)->schreiben(x);
    }
    x.absatz(m_aktuell);
}

// ---- the document ------------------------------------------------------------------------------

double Seite::textbreite() const { return (quer ? hoehe : breite) - randLinks - randRechts; }

Dokument::Dokument() = default;

Textfluss &Dokument::kopfzeile()
{
    if (!m_kopf)
        m_kopf = std::make_unique<Textfluss>();
    return *m_kopf;
}

namespace {

QByteArray mitKopf(const QByteArray &inhalt)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n") + inhalt;
}

} // namespace

QByteArray Dokument::documentXml() const
{
    QByteArray aus;
    {
        XmlAusgabe x(&aus);
        x.start(QStringLiteral("w:document"));
        x.attr(QStringLiteral("xmlns:w"), NsW);
        x.attr(QStringLiteral("xmlns:r"), NsR);
        x.start(QStringLiteral("w:body"));
        m_text.schreiben(x);
        x.start(QStringLiteral("w:sectPr"));
        if (m_kopf) {
            x.leer(QStringLiteral("w:headerReference"), QStringLiteral("w:type"), QStringLiteral("default"));
            x.attr(QStringLiteral("r:id"), KopfId);
        }
        x.leer(QStringLiteral("w:pgSz"));
        x.attr(QStringLiteral("w:w"), twips(seite.quer ? seite.hoehe : seite.breite));
        x.attr(QStringLiteral("w:h"), twips(seite.quer ? seite.breite : seite.hoehe));
        if (seite.quer)
            x.attr(QStringLiteral("w:orient"), QStringLiteral("landscape"));
        x.leer(QStringLiteral("w:pgMar"));
        x.attr(QStringLiteral("w:top"), twips(seite.randOben));
        x.attr(QStringLiteral("w:right"), twips(seite.randRechts));
        x.attr(QStringLiteral("w:bottom"), twips(seite.randUnten));
        x.attr(QStringLiteral("w:left"), twips(seite.randLinks));
        x.attr(QStringLiteral("w:header"), 708);
        x.attr(QStringLiteral("w:footer"), 708);
        x.attr(QStringLiteral("w:gutter"), 0);
        if (seite.spalten.size() <= 1) {
            x.leer(QStringLiteral("w:cols"), QStringLiteral("w:space"), QStringLiteral("708"));
        } else {
            x.start(QStringLiteral("w:cols"));
            x.attr(QStringLiteral("w:num"), int(seite.spalten.size()));
            x.attr(QStringLiteral("w:space"), twips(seite.spalten.front().abstand));
            x.attr(QStringLiteral("w:equalWidth"), 0);
            x.attr(QStringLiteral("w:sep"), seite.trennlinie ? 1 : 0);
            for (qsizetype i = 0; i < seite.spalten.size(); ++i) {
                x.leer(QStringLiteral("w:col"), QStringLiteral("w:w"), QString::number(twips(seite.spalten[i].breite)));
                if (i + 1 < seite.spalten.size())
                    x.attr(QStringLiteral("w:space"), twips(seite.spalten[i].abstand));
            }
            x.ende();
        }
        x.ende();
        x.ende();
        x.ende();
    }
    return mitKopf(aus);
}

QByteArray Dokument::kopfzeileXml() const
{
    if (!m_kopf)
        return {};
    QByteArray aus;
    {
        XmlAusgabe x(&aus);
        x.start(QStringLiteral("w:hdr"));
        x.attr(QStringLiteral("xmlns:w"), NsW);
        x.attr(QStringLiteral("xmlns:r"), NsR);
        m_kopf->schreiben(x);
        x.ende();
    }
    return mitKopf(aus);
}

bool Dokument::speichern(const QString &pfad, QString *fehler) const
{
    QByteArray styles;
    {
        XmlAusgabe x(&styles);
        x.start(QStringLiteral("w:styles"));
        x.attr(QStringLiteral("xmlns:w"), NsW);
        x.start(QStringLiteral("w:docDefaults"));
        x.start(QStringLiteral("w:rPrDefault"));
        x.start(QStringLiteral("w:rPr"));
        x.leer(QStringLiteral("w:rFonts"));
        x.attr(QStringLiteral("w:ascii"), standardSchriftart);
        x.attr(QStringLiteral("w:hAnsi"), standardSchriftart);
        x.attr(QStringLiteral("w:cs"), standardSchriftart);
        x.attr(QStringLiteral("w:eastAsia"), standardSchriftart);
        const QString halbe = QString::number(std::lround(standardGroesse * 2));
        x.leer(QStringLiteral("w:sz"), QStringLiteral("w:val"), halbe);
        x.leer(QStringLiteral("w:szCs"), QStringLiteral("w:val"), halbe);
        x.leer(QStringLiteral("w:lang"), QStringLiteral("w:val"), QStringLiteral("de-DE"));
        x.ende();
        x.ende();
        x.start(QStringLiteral("w:pPrDefault"));
        x.start(QStringLiteral("w:pPr"));
        x.leer(QStringLiteral("w:spacing"));
        x.attr(QStringLiteral("w:after"), 0);
        x.attr(QStringLiteral("w:line"), 240);
        x.attr(QStringLiteral("w:lineRule"), QStringLiteral("auto"));
        x.ende();
        x.ende();
        x.ende();
        x.start(QStringLiteral("w:style"));
        x.attr(QStringLiteral("w:type"), QStringLiteral("paragraph"));
        x.attr(QStringLiteral("w:default"), 1);
        x.attr(QStringLiteral("w:styleId"), QStringLiteral("Standard"));
        x.leer(QStringLiteral("w:name"), QStringLiteral("w:val"), QStringLiteral("Normal"));
        x.leer(QStringLiteral("w:qFormat"));
        x.ende();
        x.ende();
    }
    const QByteArray settings = QByteArrayLiteral(
        "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:defaultTabStop w:val=\"708\"/><w:hyphenationZone w:val=\"425\"/>"
        "<w:characterSpacingControl w:val=\"doNotCompress\"/></w:settings>");

    QByteArray typen = QByteArrayLiteral(
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
        "<Override PartName=\"/word/settings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>");
    QByteArray beziehungen = QByteArrayLiteral(
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rIdStile1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
        "<Relationship Id=\"rIdEinst1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" Target=\"settings.xml\"/>");
    if (m_kopf) {
        typen += QByteArrayLiteral("<Override PartName=\"/word/header1.xml\" "
                                   "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml."
                                   "header+xml\"/>");
        beziehungen += QByteArrayLiteral(
            "<Relationship Id=\"rIdKopf1\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header1.xml\"/>");
    }
    typen += QByteArrayLiteral("</Types>");
    beziehungen += QByteArrayLiteral("</Relationships>");
    const QByteArray paket = QByteArrayLiteral(
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>");

    QVector<Paketteil> teile = {
        {QStringLiteral("[Content_Types].xml"), mitKopf(typen)},
        {QStringLiteral("_rels/.rels"), mitKopf(paket)},
        {QStringLiteral("word/document.xml"), documentXml()},
        {QStringLiteral("word/_rels/document.xml.rels"), mitKopf(beziehungen)},
        {QStringLiteral("word/styles.xml"), mitKopf(styles)},
        {QStringLiteral("word/settings.xml"), mitKopf(settings)},
    };
    if (m_kopf)
        teile.push_back({QStringLiteral("word/header1.xml"), kopfzeileXml()});
    return paketSchreiben(pfad, teile, fehler);
}

} // namespace docx
