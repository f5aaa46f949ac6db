#include "platform/docxvorlage.h"

namespace docx {

namespace {

using xml::Knoten;

// The main document part named by the package relationships ("word/document.xml" as a rule).
QString hauptteilName(const QVector<Paketteil> &teile)
{
    for (const Paketteil &t : teile) {
        if (t.name != QLatin1String("_rels/.rels"))
            continue;
        Knoten rels;
        if (!xml::lesen(t.daten, rels))
            break;
        for (const Knoten &r : rels.kinder)
            if (!r.istText && r.attribut(QStringLiteral("Type")).endsWith(QLatin1String("/officeDocument"))) {
                QString ziel = r.attribut(QStringLiteral("Target"));
                while (ziel.startsWith(QLatin1Char('/')))
                    ziel.remove(0, 1);
                return ziel;
            }
    }
    return QStringLiteral("word/document.xml");
}

// The text elements of one paragraph in reading order; nested paragraphs (text boxes) are their own.
void textStellen(Knoten &k, const QString &w, std::vector<Knoten *> &aus)
{
    for (Knoten &c : k.kinder) {
        if (c.istText || c.name == w + QLatin1String("p"))
            continue;
        if (c.name == w + QLatin1String("t"))
            aus.push_back(&c);
        else
            textStellen(c, w, aus);
    }
}

QString elementText(const Knoten &t)
{
    QString s;
    for (const Knoten &c : t.kinder)
        if (c.istText)
            s += c.text;
    return s;
}

void setElementText(Knoten &t, const QString &text)
{
    Knoten n;
    n.istText = true;
    n.text = text;
    t.kinder.clear();
    if (!text.isEmpty())
        t.kinder.push_back(std::move(n));
    t.setAttribut(QStringLiteral("xml:space"), QStringLiteral("preserve"));
}

int ersetzenImAbsatz(Knoten &p, const QString &w, const QString &suchen, const QString &durch, Qt::CaseSensitivity cs)
{
    std::vector<Knoten *> stellen;
    textStellen(p, w, stellen);
    if (stellen.empty())
        return 0;
    QVector<QString> texte;
    for (Knoten *t : stellen)
        texte.push_back(elementText(*t));
    int anzahl = 0;
    qsizetype ab = 0;
    for (;;) {
        QString ganz;
        for (const QString &t : texte)
            ganz += t;
        const qsizetype i = ganz.indexOf(suchen, ab, cs);
        if (i < 0)
            break;
        const qsizetype ende = i + suchen.size();
        qsizetype start = 0;
        bool ersetzt = false;
        for (qsizetype k = 0; k < texte.size(); ++k) {
            const qsizetype laenge = texte[k].size();
            const qsizetype von = qMax(i, start), bis = qMin(ende, start + laenge);
            if (von < bis) {
                const QString vorher = texte[k].left(von - start), nachher = texte[k].mid(bis - start);
                texte[k] = vorher + (ersetzt ? QString() : durch) + nachher;
                ersetzt = true;
                setElementText(*stellen[size_t(k)], texte[k]);
            }
            start += laenge;
        }
        ++anzahl;
        ab = i + durch.size();
    }
    return anzahl;
}

template <class Fn> void absaetzeBesuchen(Knoten &k, const QString &w, const Fn &fn)
{
    for (Knoten &c : k.kinder) {
        if (c.istText)
            continue;
        if (c.name == w + QLatin1String("p"))
            fn(c);
        absaetzeBesuchen(c, w, fn);
    }
}

void absatzTextSammeln(const Knoten &k, const QString &w, QString &s)
{
    for (const Knoten &c : k.kinder) {
        if (c.istText || c.name == w + QLatin1String("p"))
            continue;
        const QString n = c.name.mid(w.size());
        if (!c.name.startsWith(w))
            absatzTextSammeln(c, w, s);
        else if (n == QLatin1String("t"))
            s += elementText(c);
        else if (n == QLatin1String("tab"))
            s += QLatin1Char('\t');
        else if (n == QLatin1String("br"))
            s += c.attribut(w + QLatin1String("type")) == QLatin1String("page") ? QChar(12) : QChar(11);
        else if (n == QLatin1String("cr"))
            s += QChar(11);
        else if (n != QLatin1String("pPr") && n != QLatin1String("rPr") && n != QLatin1String("delText") &&
                 n != QLatin1String("instrText"))
            absatzTextSammeln(c, w, s);
    }
}

QStringList texteDesBaums(Knoten &wurzel)
{
    const QString w = wurzel.prefix().isEmpty() ? QString() : wurzel.prefix() + QLatin1Char(':');
    QStringList aus;
    absaetzeBesuchen(wurzel, w, [&](Knoten &p) {
        QString s;
        absatzTextSammeln(p, w, s);
        aus << s;
    });
    return aus;
}

} // namespace

bool Vorlage::laden(const QString &pfad, QString *fehler)
{
    m_teile.clear();
    m_hauptteil = -1;
    QVector<Paketteil> teile;
    if (!paketLesen(pfad, teile, fehler))
        return false;
    const QString name = hauptteilName(teile);
    for (qsizetype i = 0; i < teile.size(); ++i)
        if (teile[i].name == name) {
            QString grund;
            if (!xml::lesen(teile[i].daten, m_dokument, &grund)) {
                if (fehler)
                    *fehler = QStringLiteral("Die Datei \"%1\" ist beschädigt (%2).").arg(pfad, grund);
                return false;
            }
            m_teile = std::move(teile);
            m_hauptteil = int(i);
            return true;
        }
    if (fehler)
        *fehler = QStringLiteral("Die Datei \"%1\" ist kein Word-Dokument (.docx).").arg(pfad);
    return false;
}

int Vorlage::ersetzen(const QString &suchen, const QString &durch, bool grossKleinBeachten)
{
    if (m_hauptteil < 0 || suchen.isEmpty())
        return 0;
    const QString w = m_dokument.prefix().isEmpty() ? QString() : m_dokument.prefix() + QLatin1Char(':');
    const Qt::CaseSensitivity cs = grossKleinBeachten ? Qt::CaseSensitive : Qt::CaseInsensitive;
    int anzahl = 0;
    absaetzeBesuchen(m_dokument, w, [&](Knoten &p) { anzahl += ersetzenImAbsatz(p, w, suchen, durch, cs); });
    return anzahl;
}

QStringList Vorlage::absaetze() const
{
    if (m_hauptteil < 0)
        return {};
    Knoten kopie = m_dokument;
    return texteDesBaums(kopie);
}

bool Vorlage::speichern(const QString &pfad, QString *fehler) const
{
    if (m_hauptteil < 0) {
        if (fehler)
            *fehler = QStringLiteral("Es ist keine Vorlage geladen.");
        return false;
    }
    QVector<Paketteil> teile = m_teile;
    teile[m_hauptteil].daten = xml::schreiben(m_dokument);
    return paketSchreiben(pfad, teile, fehler);
}

QStringList absatzTexte(const QByteArray &teilXml)
{
    Knoten wurzel;
    if (!xml::lesen(teilXml, wurzel))
        return {};
    return texteDesBaums(wurzel);
}

} // namespace docx
