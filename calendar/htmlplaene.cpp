#include "calendar/htmlplaene.h"
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

// The lines of one plan file: Windows-1252, CR LF; a character the code page lacks becomes a
// numeric character reference.
class PlanText {
public:
    void zeile(const QString &s) { roh(HTMLUmlaute(s)); }
    void roh(const QString &s)
    {
        const QList<uint> punkte = s.toUcs4();
        QString z;
        z.reserve(s.size());
        for (uint p : punkte) {
            if (p < 0x10000 && textcodec::isWindows1252(QChar(char16_t(p))))
                z += QChar(char16_t(p));
            else
                z += QStringLiteral("&#%1;").arg(p);
        }
        m_bytes += textcodec::toWindows1252(z);
        m_bytes += "\r\n";
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// The document type, "<html>", the head's opening and its title.
void dokumentAnfang(PlanText &p)
{
    p.zeile(QStringLiteral("<!DOCTYPE HTML PUBLIC '-//W3C//DTD HTML 4.01//EN'"));
    p.zeile(QStringLiteral("    'http://www.w3.org/TR/html4/strict.dtd'>"));
    p.zeile(QStringLiteral("<html>"));
    p.zeile(QStringLiteral("  <head>"));
    p.zeile(QStringLiteral("    <title>Schulaufgabenplan</title>"));
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
        p.zeile(QStringLiteral("        min-width:30px;"));
        p.zeile(QStringLiteral("        max-width:30px;"));
    }
    p.zeile(QStringLiteral("          }"));
    p.zeile(schluss);
}

QString standZeit(const QDateTime &jetzt) { return datetexts::format(jetzt, QStringLiteral("dd.mm.yyyy hh:mm")); }

QString wochentag(const QString &label) { return label.left(2).trimmed().toUpper(); }
QString datumsteil(const QString &label) { return label.mid(3).trimmed(); }

} // namespace

QByteArray tabellenPlan(const KalenderTabelle &t, const QVector<Termin> &nachDatumUndFach, bool auchNichtInternet,
                        const QDateTime &jetzt, int einfaerbenTage, long einfaerbenFarbe,
                        const Fortschritt &fortschritt)
{
    PlanText p;
    dokumentAnfang(p);
    p.zeile(QStringLiteral("    <style type='text/css'>"));
    stilRegel(p, QStringLiteral("colA"), false, false, QStringLiteral(" "));
    stilRegel(p, QStringLiteral("colB"), false, true, QStringLiteral(" "));
    stilRegel(p, QStringLiteral("colC"), true, true, QStringLiteral("  "));
    p.zeile(QStringLiteral("    </style>"));
    p.zeile(QStringLiteral("  </head>"));
    p.zeile(QStringLiteral("  <body>"));
    p.zeile(QStringLiteral(" "));
    p.zeile(QStringLiteral("  <b><span style='font-size:20.0pt'>Schulaufgabenplan</span></b> - Stand: ")
            + standZeit(jetzt) + QStringLiteral("<br>"));
    if (einfaerbenTage > 0) {
        const QDate heute = jetzt.date();
        p.zeile(QStringLiteral("  Termine, die zwischen dem ")
                + datetexts::format(heute.addDays(-einfaerbenTage), QStringLiteral("dd.mm.yyyy"))
                + QStringLiteral(" und dem ") + datetexts::format(heute, QStringLiteral("dd.mm.yyyy")));
        p.zeile(QStringLiteral("  erstellt oder gelöscht wurden, wurden "));
        const QString hex = einfaerbenFarbe == 0 ? QStringLiteral("000000") : FarbeHTML(einfaerbenFarbe).mid(1);
        p.zeile(QStringLiteral("  <span style='background-color: #") + hex
                + QStringLiteral("';>farbig</span> markiert. <br>"));
    }
    p.zeile(QStringLiteral("<br>"));

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

    p.zeile(QStringLiteral("  <table border='1' cellspacing='0' cellpadding='0'>"));

    // Entries that a cell may show, by day and class, in the order read.
    QHash<QPair<QDate, QString>, QVector<int>> proZelle;
    for (int i = 0; i < nachDatumUndFach.size(); ++i) {
        const Termin &e = nachDatumUndFach[i];
        if (e.geloescht || (!auchNichtInternet && e.nichtInternet))
            continue;
        const QDate tag = e.tag();
        if (tag.isValid())
            proZelle[qMakePair(tag, e.klasse.trimmed().toUpper())].append(i);
    }

    const int C = t.cols();
    QVector<QString> ids(C);
    QVector<QString> schluessel(C);
    for (int c = 0; c < C; ++c) {
        if (c == 0)
            ids[c] = QStringLiteral("colA");
        else
            ids[c] = klassenStufe(t.zelle(0, c).text) != klassenStufe(t.zelle(0, c - 1).text)
                ? QStringLiteral("colB")
                : QStringLiteral("colC");
        schluessel[c] = t.zelle(0, c).text.trimmed().toUpper();
    }

    for (int r = 0; r < t.rows(); ++r) {
        if (fortschritt)
            fortschritt(r, t.rows() - 1);
        const QString w = wochentag(t.zelle(r, 0).text);
        if (w == QLatin1String("SO") && r > 0)
            continue;
        p.zeile(QStringLiteral("  <tr>"));
        const bool kopf = r == 0 || w == QLatin1String("SA");
        for (int pos = 0; pos <= C; ++pos) {
            const int c = pos == C ? 0 : pos;
            if (kopf) {
                const QString text = t.zelle(0, c).text;
                p.zeile(QStringLiteral("    <th id='") + ids[c] + QStringLiteral("' bgcolor='#C0C0C0'>")
                        + (text.trimmed().isEmpty() ? QStringLiteral("&nbsp;") : htmlWert(text))
                        + QStringLiteral("</th>"));
                continue;
            }
            QString inhalt, titel;
            if (c == 0) {
                const QString d = datumsteil(t.zelle(r, 0).text);
                inhalt = QStringLiteral("<a name='") + d + QStringLiteral("'>") + d + QStringLiteral("</a>");
            } else if (!t.zelle(r, c).text.trimmed().isEmpty()) {
                const auto it = proZelle.constFind(qMakePair(t.datum(r), schluessel[c]));
                if (it != proZelle.constEnd()) {
                    for (int i : *it) {
                        const Termin &e = nachDatumUndFach[i];
                        inhalt = (inhalt + QLatin1Char(' ') + htmlWert(e.fach.trimmed())).trimmed();
                        titel += htmlWert(FachLang(e.fach));
                        if (auchNichtInternet)
                            titel += QStringLiteral(" - ") + htmlWert(e.lehrkraft.trimmed());
                        if (!e.bemerkung.trimmed().isEmpty())
                            titel += QStringLiteral(" - ") + htmlWert(e.bemerkung.trimmed());
                        titel += QStringLiteral(" ;  ");
                    }
                }
            }
            if (inhalt.isEmpty())
                inhalt = QStringLiteral("&nbsp;");
            QString zeile = QStringLiteral("    <td id='") + ids[c] + QLatin1Char('\'');
            if (!titel.trimmed().isEmpty())
                zeile += QStringLiteral(" title='") + titel + QLatin1Char('\'');
            const QString farbe = FarbeHTML(t.zelle(r, c).farbe);
            if (!farbe.trimmed().isEmpty())
                zeile += QStringLiteral(" bgcolor='") + farbe + QLatin1Char('\'');
            p.zeile(zeile + QLatin1Char('>') + inhalt + QStringLiteral("</td>"));
        }
        p.zeile(QStringLiteral("  </tr>"));
    }
    p.zeile(QStringLiteral("  </table>"));
    p.zeile(QStringLiteral("  </body>"));
    p.zeile(QStringLiteral("</html>"));
    return p.bytes();
}

QStringList klassenFuerKlassenplan(zdb::Db &nm)
{
    QStringList out;
    nm.forEach(QStringLiteral("SELECT Klasse FROM Klassen WHERE NOT (Klasse LIKE 'AUS%') "
                              "ORDER BY IIf(Val(Klasse)=0,20,Val(Klasse)), Klasse COLLATE NOCASE"),
               {}, [&out](const QVariantList &r) {
                   out << (r[0].isNull() ? QString() : r[0].toString());
                   return true;
               });
    return out;
}

QByteArray klassenPlan(const QStringList &klassen, const QVector<Termin> &termine, const QDateTime &jetzt,
                       const Fortschritt &fortschritt)
{
    PlanText p;
    dokumentAnfang(p);
    p.zeile(QStringLiteral("  </head>"));
    p.zeile(QStringLiteral("  <body>"));
    p.zeile(QStringLiteral(" "));
    p.zeile(QStringLiteral("  <b><span style='font-size:20.0pt'><a name='oben'>Schulaufgabenplan</a></span></b> - Stand: ")
            + standZeit(jetzt) + QStringLiteral("<br><br>"));

    QString links;
    for (const QString &k : klassen)
        links += QStringLiteral("<a href='#") + htmlWert(k) + QStringLiteral("'>") + htmlWert(k) + QStringLiteral("</a>, ");
    if (links.size() > 5)
        links = links.left(links.size() - 2).trimmed();
    p.zeile(links + QStringLiteral("<BR>"));

    QString klasseVorher, fachVorher;
    bool erste = true;
    const int n = termine.size();
    for (int i = 0; i < n; ++i) {
        if (fortschritt)
            fortschritt(i + 1, n);
        const Termin &e = termine[i];
        if (e.geloescht)
            continue;
        const QString klasse = e.klasse.trimmed(), fach = e.fach.trimmed();
        if (klasse != klasseVorher) {
            if (!erste) {
                p.zeile(QStringLiteral("  </table>"));
                p.zeile(QStringLiteral("  <br><a href='#oben'>nach oben</a><br>"));
            }
            p.zeile(QStringLiteral("  <br><table border='1' cellspacing='0' cellpadding='2'>"));
            p.zeile(QStringLiteral("  <colgroup><col width='60'><col width='150'><col width='100'><col width='500'></colgroup>"));
            p.zeile(QStringLiteral("  <tr><th align='left'><a name='") + htmlWert(klasse)
                    + QStringLiteral("'>Klasse</a></th><th align='left'>Fach</th><th align='left'>Datum</th>"
                                     "<th align='left'>Bemerkung</th></tr>"));
            p.zeile(QStringLiteral("  <tr>"));
            p.zeile(QStringLiteral("    <td>") + htmlWert(klasse) + QStringLiteral("</td>"));
            fachVorher.clear();
        } else {
            p.zeile(QStringLiteral("  <tr>"));
            p.zeile(QStringLiteral("    <td>&nbsp;</td>"));
        }
        if (fach != fachVorher)
            p.zeile(QStringLiteral("    <td>") + htmlWert(FachLang(e.fach)) + QStringLiteral("</td>"));
        else
            p.zeile(QStringLiteral("    <td>&nbsp;</td>"));
        p.zeile(QStringLiteral("    <td>") + (e.datum.isValid() ? vt::valueText(e.datum) : QString())
                + QStringLiteral("</td>"));
        const QString bem = LeerZuStandard(e.bemerkung, QString());
        p.zeile(QStringLiteral("    <td>") + (bem.isEmpty() ? QStringLiteral("&nbsp;") : htmlWert(bem))
                + QStringLiteral("</td>"));
        p.zeile(QStringLiteral("  </tr>"));
        klasseVorher = klasse;
        fachVorher = fach;
        erste = false;
    }
    p.zeile(QStringLiteral("  </table>"));
    p.zeile(QStringLiteral("  </body>"));
    p.zeile(QStringLiteral("</html>"));
    return p.bytes();
}

bool planSchreibbar(const QString &pfad)
{
    const QFileInfo datei(pfad);
    if (pfad.trimmed().isEmpty() || datei.isDir())
        return false;
    const QFileInfo ordner(datei.absolutePath());
    if (ordner.isDir() && ordner.isWritable())
        return true;
    return datei.isFile() && datei.isWritable();
}

bool planSpeichern(const QString &pfad, const QByteArray &inhalt, QString *fehler)
{
    return safefile::writeFile(pfad, inhalt, fehler);
}

} // namespace kalender
