#include "calendar/htmlplaene.h"
#include "core/mdl_zandrel.h"
#include "platform/datetexts.h"
#include "platform/db.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "platform/valuetext.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace kalender {

QString HTMLUmlaute(const QString &s)
{
    QString out;
    out.reserve(s.size() + 16);
    for (QChar c : s) {
        switch (c.unicode()) {
        case 0x00C4: out += QLatin1String("&Auml;"); break;
        case 0x00E4: out += QLatin1String("&auml;"); break;
        case 0x00D6: out += QLatin1String("&Ouml;"); break;
        case 0x00F6: out += QLatin1String("&ouml;"); break;
        case 0x00DC: out += QLatin1String("&Uuml;"); break;
        case 0x00FC: out += QLatin1String("&uuml;"); break;
        case 0x00DF: out += QLatin1String("&szlig;"); break;
        default: out += c;
        }
    }
    return out;
}

QString FachLang(const QString &code)
{
    static const QHash<QString, QString> lang = {
        {"KF", "Klassenfahrt"}, {"SO", "sonstiger Termin"}, {"KR", "kath. Religionslehre"},
        {"EVR", "evang. Religionslehre"}, {"ETH", "Ethik"}, {"D", "Deutsch"}, {"E", "Englisch"},
        {"F", QString::fromUtf8("Französisch")}, {"M", "Mathematik"}, {"PH", "Physik"},
        {"WR", "Wirtschaft und Recht"}, {"BWR", "BWR"}, {"W", "Werken"}, {"KU", "Kunsterziehung"},
        {"IT", "Informationstechnologie"}, {"MU", "Musik"}, {"G", "Geschichte"}, {"EK", "Erdkunde"},
        {"CH", "Chemie"}};
    const QString t = code.trimmed();
    return lang.value(t.toUpper(), t);
}

QString LeerZuStandard(const QVariant &wert, const QString &standard)
{
    if (!wert.isValid() || wert.isNull())
        return standard;
    const QString t = vt::valueText(wert);
    return t.trimmed().isEmpty() ? standard : t;
}

QString FarbeHTML(long farbe)
{
    if (farbe == 0)
        return QString();
    const unsigned long v = static_cast<unsigned long>(farbe) & 0xFFFFFFul;
    const QString hex = QStringLiteral("%1").arg(v, 6, 16, QLatin1Char('0')).toUpper(); // BBGGRR
    return QLatin1Char('#') + hex.mid(4, 2) + hex.mid(2, 2) + hex.mid(0, 2);
}

QString htmlWert(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// Ä ä Ö ö Ü ü ß as HTMLUmlaute writes them; nullptr for every other character.
const char *entitaet(char16_t u)
{
    switch (u) {
    case 0x00C4: return "&Auml;";
    case 0x00E4: return "&auml;";
    case 0x00D6: return "&Ouml;";
    case 0x00F6: return "&ouml;";
    case 0x00DC: return "&Uuml;";
    case 0x00FC: return "&uuml;";
    case 0x00DF: return "&szlig;";
    default: return nullptr;
    }
}

// The rest of a text from its first character outside ASCII and Latin-1: code point by code point,
// a character the code page lacks as a numeric character reference.
void seltenKodieren(QByteArray &out, QStringView rest, bool umlaute)
{
    const QString s = umlaute ? HTMLUmlaute(rest.toString()) : rest.toString();
    for (uint p : s.toUcs4()) {
        if (p < 0x10000 && textcodec::isWindows1252(QChar(char16_t(p))))
            out += textcodec::toWindows1252(QString(QChar(char16_t(p))));
        else
            out += "&#" + QByteArray::number(p) + ';';
    }
}

// Appends a text as the plan files hold it: Windows-1252, with `umlaute` the seven characters of
// HTMLUmlaute as entities. Most texts are ASCII and Latin-1 and are copied as they are.
void kodieren(QByteArray &out, QStringView s, bool umlaute = true)
{
    const char16_t *p = s.utf16();
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && (p[j] < 0x80 || (p[j] >= 0xA0 && p[j] <= 0xFF && !(umlaute && entitaet(p[j])))))
            ++j;
        if (j > i) {
            const qsizetype alt = out.size();
            out.resize(alt + (j - i));
            char *d = out.data() + alt;
            for (qsizetype k = i; k < j; ++k)
                *d++ = char(p[k]);
            i = j;
        }
        if (i == n)
            break;
        if (const char *e = umlaute ? entitaet(p[i]) : nullptr) {
            out += e;
            ++i;
            continue;
        }
        seltenKodieren(out, s.mid(i), umlaute);
        break;
    }
}

QByteArray kodiert(QStringView s)
{
    QByteArray b;
    kodieren(b, s);
    return b;
}

// The lines of one plan file: Windows-1252, CR LF; every line but the date links with the
// umlauts as entities.
class PlanText {
public:
    void zeile(QStringView s) { kodieren(m_bytes, s); m_bytes += "\r\n"; }
    void roh(QStringView s) { kodieren(m_bytes, s, false); m_bytes += "\r\n"; }
    // Pieces of a line already in the file's form.
    QByteArray &bytes() { return m_bytes; }

private:
    QByteArray m_bytes;
};

// The document type, "<html>", the head's opening and its title.
void dokumentAnfang(PlanText &p)
{
    p.zeile(u"<!DOCTYPE HTML PUBLIC '-//W3C//DTD HTML 4.01//EN'");
    p.zeile(u"    'http://www.w3.org/TR/html4/strict.dtd'>");
    p.zeile(u"<html>");
    p.zeile(u"  <head>");
    p.zeile(u"    <title>Schulaufgabenplan</title>");
}

void stilRegel(PlanText &p, const QString &id, bool schmaleLinie, bool breite, const QString &schluss)
{
    static const char *const kZeilen[] = {
        "font-family:sans-serif;", "font-size:small;", "border-left-width:2px;", "border-left-style:solid;",
        "border-left-color:blue;", "padding-left:1px;", "border-top-width:1px;", "border-top-style:solid;",
        "border-top-color:black;", "padding-top:1px;", "border-bottom-width:1px;", "border-bottom-style:solid;",
        "border-bottom-color:black;", "padding-bottom:1px;", "text-align:justify;", "overflow:hidden;"};
    p.zeile(QStringLiteral("      #") + id + QStringLiteral(" {"));
    for (const char *z : kZeilen) {
        QString t = QLatin1String(z);
        if (schmaleLinie && t == QLatin1String("border-left-width:2px;"))
            t = QStringLiteral("border-left-width:1px;");
        if (schmaleLinie && t == QLatin1String("border-left-color:blue;"))
            t = QStringLiteral("border-left-color:black;");
        p.zeile(QStringLiteral("        ") + t);
    }
    if (breite) {
        p.zeile(u"        min-width:30px;");
        p.zeile(u"        max-width:30px;");
    }
    p.zeile(u"          }");
    p.zeile(schluss);
}

QString standZeit(const QDateTime &jetzt) { return datetexts::format(jetzt, QStringLiteral("dd.mm.yyyy hh:mm")); }

QString wochentag(const QString &label) { return label.left(2).trimmed().toUpper(); }
QString datumsteil(const QString &label) { return label.mid(3).trimmed(); }

// Blank as QString::trimmed() sees it, without making the trimmed copy.
bool leer(const QString &s)
{
    for (QChar c : s)
        if (!c.isSpace())
            return false;
    return true;
}

// " bgcolor='#RRGGBB'" of a cell colour, "" for a cell without one; the few colours of a plan
// are converted once.
class FarbTeil {
public:
    const QByteArray &operator()(long farbe)
    {
        if (farbe == 0)
            return m_keine;
        auto it = m_teile.constFind(farbe);
        if (it == m_teile.constEnd()) {
            const QString f = FarbeHTML(farbe);
            it = m_teile.insert(farbe, f.trimmed().isEmpty() ? QByteArray()
                                                             : " bgcolor='" + kodiert(f) + '\'');
        }
        return *it;
    }

private:
    const QByteArray m_keine;
    QHash<long, QByteArray> m_teile;
};

} // namespace

QByteArray tabellenPlan(const KalenderTabelle &t, const QVector<Termin> &nachDatumUndFach, bool auchNichtInternet,
                        const QDateTime &jetzt, int einfaerbenTage, long einfaerbenFarbe,
                        const Fortschritt &fortschritt)
{
    PlanText p;
    dokumentAnfang(p);
    p.zeile(u"    <style type='text/css'>");
    stilRegel(p, QStringLiteral("colA"), false, false, QStringLiteral(" "));
    stilRegel(p, QStringLiteral("colB"), false, true, QStringLiteral(" "));
    stilRegel(p, QStringLiteral("colC"), true, true, QStringLiteral("  "));
    p.zeile(u"    </style>");
    p.zeile(u"  </head>");
    p.zeile(u"  <body>");
    p.zeile(u" ");
    p.zeile(QStringLiteral("  <b><span style='font-size:20.0pt'>Schulaufgabenplan</span></b> - Stand: ")
            + standZeit(jetzt) + QStringLiteral("<br>"));
    if (einfaerbenTage > 0) {
        const QDate heute = jetzt.date();
        p.zeile(QStringLiteral("  Termine, die zwischen dem ")
                + datetexts::format(heute.addDays(-einfaerbenTage), QStringLiteral("dd.mm.yyyy"))
                + QStringLiteral(" und dem ") + datetexts::format(heute, QStringLiteral("dd.mm.yyyy")));
        p.zeile(u"  erstellt oder gelöscht wurden, wurden ");
        const QString hex = einfaerbenFarbe == 0 ? QStringLiteral("000000") : FarbeHTML(einfaerbenFarbe).mid(1);
        p.zeile(QStringLiteral("  <span style='background-color: #") + hex
                + QStringLiteral("';>farbig</span> markiert. <br>"));
    }
    p.zeile(u"<br>");

    QString links;
    for (int r = 0; r < t.rows(); ++r) {
        const QString label = t.zelle(r, 0).text;
        if (wochentag(label) == QLatin1String("MO")) {
            const QString d = datumsteil(label);
            links += QStringLiteral("<a href='#") + d + QStringLiteral("'>") + d + QStringLiteral("</a>, ");
        }
    }
    if (links.size() > 5)
        p.roh(links.left(links.size() - 2) + QStringLiteral("<br><br>"));

    p.zeile(u"  <table border='1' cellspacing='0' cellpadding='0'>");

    const int C = t.cols();
    // The columns of each class name (trimmed, upper-cased); a name given twice has two.
    QHash<QString, QVector<int>> spaltenVon;
    for (int c = 1; c < C; ++c)
        spaltenVon[t.zelle(0, c).text.trimmed().toUpper()].append(c);
    // Entries that a cell may show, by cell, in the order read.
    QVector<QVector<int>> proZelle(t.rows() * C);
    {
        QHash<QString, QVector<int>> spaltenDerKlasse; // by the entry's class as stored
        for (int i = 0; i < nachDatumUndFach.size(); ++i) {
            const Termin &e = nachDatumUndFach[i];
            if (e.geloescht || (!auchNichtInternet && e.nichtInternet))
                continue;
            const int r = t.zeileZuDatum(e.tag());
            if (r <= 0)
                continue;
            auto it = spaltenDerKlasse.constFind(e.klasse);
            if (it == spaltenDerKlasse.constEnd())
                it = spaltenDerKlasse.insert(e.klasse, spaltenVon.value(e.klasse.trimmed().toUpper()));
            for (int c : *it)
                proZelle[r * C + c].append(i);
        }
    }

    // Each column's identifier, and the header row, which stands unchanged at every Saturday.
    QVector<QByteArray> zellAnfang(C);
    QByteArray kopfZeile = "  <tr>\r\n";
    for (int c = 0; c < C; ++c)
        zellAnfang[c] = c == 0 ? QByteArray("colA")
            : mdl::KlassenStufe(t.zelle(0, c).text) != mdl::KlassenStufe(t.zelle(0, c - 1).text) ? QByteArray("colB")
                                                                                       : QByteArray("colC");
    for (int pos = 0; pos <= C; ++pos) {
        const int c = pos == C ? 0 : pos;
        const QString text = t.zelle(0, c).text;
        kopfZeile += "    <th id='" + zellAnfang[c] + "' bgcolor='#C0C0C0'>";
        if (text.trimmed().isEmpty())
            kopfZeile += "&nbsp;";
        else
            kodieren(kopfZeile, htmlWert(text));
        kopfZeile += "</th>\r\n";
    }
    kopfZeile += "  </tr>\r\n";
    for (QByteArray &a : zellAnfang)
        a = "    <td id='" + a + '\'';

    FarbTeil farbTeil;
    QByteArray &out = p.bytes();
    QByteArray inhalt, titel, datum;
    for (int r = 0; r < t.rows(); ++r) {
        if (fortschritt)
            fortschritt(r, t.rows() - 1);
        const QString w = wochentag(t.zelle(r, 0).text);
        if (w == QLatin1String("SO") && r > 0)
            continue;
        if (r == 0 || w == QLatin1String("SA")) {
            out += kopfZeile;
            continue;
        }
        out += "  <tr>\r\n";
        datum.clear();
        kodieren(datum, datumsteil(t.zelle(r, 0).text));
        for (int pos = 0; pos <= C; ++pos) {
            const int c = pos == C ? 0 : pos;
            const KalenderZelle &z = t.zelle(r, c);
            out += zellAnfang[c];
            if (c == 0) {
                out += farbTeil(z.farbe);
                out += "><a name='" + datum + "'>" + datum + "</a></td>\r\n";
                continue;
            }
            inhalt.clear();
            titel.clear();
            bool eintraege = false;
            if (!leer(z.text)) {
                for (int i : proZelle[r * C + c]) {
                    const Termin &e = nachDatumUndFach[i];
                    eintraege = true;
                    const QString fach = htmlWert(e.fach.trimmed());
                    if (!fach.isEmpty()) {
                        if (!inhalt.isEmpty())
                            inhalt += ' ';
                        kodieren(inhalt, fach);
                    }
                    kodieren(titel, htmlWert(FachLang(e.fach)));
                    if (auchNichtInternet) {
                        titel += " - ";
                        kodieren(titel, htmlWert(e.lehrkraft.trimmed()));
                    }
                    if (!leer(e.bemerkung)) {
                        titel += " - ";
                        kodieren(titel, htmlWert(e.bemerkung.trimmed()));
                    }
                    titel += " ;  ";
                }
            }
            if (eintraege)
                out += " title='" + titel + '\'';
            out += farbTeil(z.farbe);
            out += '>';
            out += inhalt.isEmpty() ? QByteArray("&nbsp;") : inhalt;
            out += "</td>\r\n";
        }
        out += "  </tr>\r\n";
    }
    p.zeile(u"  </table>");
    p.zeile(u"  </body>");
    p.zeile(u"</html>");
    return p.bytes();
}

QStringList klassenFuerKlassenplan(zdb::Db &nm)
{
    QStringList out;
    nm.forEach(QStringLiteral("SELECT Klasse FROM Klassen WHERE NOT (Klasse LIKE 'AUS%') ORDER BY ")
                   + mdl::KlassenFolgeSql(QStringLiteral("Klasse")),
               {}, [&out](const QVariantList &r) {
                   out << (r[0].isNull() ? QString() : r[0].toString());
                   return true;
               });
    return out;
}

QByteArray klassenPlan(const QStringList &klassen, const QVector<Termin> &termine, const QVector<int> &folge,
                       const QDateTime &jetzt, const Fortschritt &fortschritt)
{
    PlanText p;
    dokumentAnfang(p);
    p.zeile(u"  </head>");
    p.zeile(u"  <body>");
    p.zeile(u" ");
    p.zeile(QStringLiteral("  <b><span style='font-size:20.0pt'><a name='oben'>Schulaufgabenplan</a></span></b> - Stand: ")
            + standZeit(jetzt) + QStringLiteral("<br><br>"));

    QString links;
    for (const QString &k : klassen)
        links += QStringLiteral("<a href='#") + htmlWert(k) + QStringLiteral("'>") + htmlWert(k) + QStringLiteral("</a>, ");
    if (links.size() > 5)
        links = links.left(links.size() - 2).trimmed();
    p.zeile(links + QStringLiteral("<BR>"));

    QByteArray &out = p.bytes();
    // Long subject names in the file's form, once per stored code.
    QHash<QString, QByteArray> fachLang;
    QHash<QDate, QByteArray> tage;
    QString klasseVorher, fachVorher;
    bool erste = true;
    const int n = folge.size();
    for (int i = 0; i < n; ++i) {
        if (fortschritt)
            fortschritt(i + 1, n);
        const Termin &e = termine[folge[i]];
        if (e.geloescht)
            continue;
        const QString klasse = e.klasse.trimmed(), fach = e.fach.trimmed();
        if (klasse != klasseVorher) {
            if (!erste)
                out += "  </table>\r\n  <br><a href='#oben'>nach oben</a><br>\r\n";
            const QByteArray k = kodiert(htmlWert(klasse));
            out += "  <br><table border='1' cellspacing='0' cellpadding='2'>\r\n"
                   "  <colgroup><col width='60'><col width='150'><col width='100'><col width='500'></colgroup>\r\n"
                   "  <tr><th align='left'><a name='";
            out += k;
            out += "'>Klasse</a></th><th align='left'>Fach</th><th align='left'>Datum</th>"
                   "<th align='left'>Bemerkung</th></tr>\r\n"
                   "  <tr>\r\n    <td>";
            out += k;
            out += "</td>\r\n";
            fachVorher.clear();
        } else {
            out += "  <tr>\r\n    <td>&nbsp;</td>\r\n";
        }
        if (fach != fachVorher) {
            auto it = fachLang.constFind(e.fach);
            if (it == fachLang.constEnd())
                it = fachLang.insert(e.fach, kodiert(htmlWert(FachLang(e.fach))));
            out += "    <td>" + *it + "</td>\r\n";
        } else {
            out += "    <td>&nbsp;</td>\r\n";
        }
        out += "    <td>";
        if (e.datum.isValid()) {
            // The day only, also for a row another program wrote with a time.
            auto it = tage.constFind(e.datum.date());
            if (it == tage.constEnd())
                it = tage.insert(e.datum.date(), kodiert(datetexts::format(e.datum.date(), QStringLiteral("dd.mm.yyyy"))));
            out += *it;
        }
        out += "</td>\r\n    <td>";
        if (leer(e.bemerkung))
            out += "&nbsp;";
        else
            kodieren(out, htmlWert(e.bemerkung));
        out += "</td>\r\n  </tr>\r\n";
        klasseVorher = klasse;
        fachVorher = fach;
        erste = false;
    }
    p.zeile(u"  </table>");
    p.zeile(u"  </body>");
    p.zeile(u"</html>");
    return p.bytes();
}

bool planSchreibbar(const QString &pfad, QString *fehler) { return safefile::check(pfad, fehler); }

bool planSpeichern(const QString &pfad, const QByteArray &inhalt, QString *fehler)
{
    return safefile::writeFile(pfad, inhalt, fehler);
}

} // namespace kalender
