#include "winsv/datenvergleich.h"

#include "platform/accessfuncs.h"
#include "platform/grid/gridstore.h"
#include "platform/valuetext.h"
#include "platform/winsvodbc.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <vector>

namespace winsv {

namespace {

const char *const kopfFg[SpaltenFg] = {"", "WinSVSnr", "Klasse", "Name", "Vorname", "G.", "AR", "Geb.Dat.",
                                       "Straße", "PLZ", "Ort", "Telefon", "gilt1", "gilt2", "LRS", "Leg."};
const char *const kopfListe[4] = {"WinSVSnr", "Klasse", "Name", "Vorname"};

// WinSV's column behind each grid column 1..15.
const char *const winsvSpalte[SpaltenFg] = {"", "_SCHUELER_ID", "KLASSE", "FAMILIENNAME", "RUFNAME", "GESCHLECHT",
                                            "AUSBILDUNGSR", "GEBURTSDATUM", "ANSCHR1_STR", "ANSCHR1_PLZ",
                                            "ANSCHR1_ORT", "ANSCHR1_TEL", "ANSCHR1_FUER1", "ANSCHR1_FUER2",
                                            "LRS_SCHWAECHE", "LRS_STOERUNG"};
// The grade manager's column behind each grid column 1..15.
const char *const nmSpalte[SpaltenFg] = {"", "WinSVSnr", "Klasse", "Name", "Vorname", "Geschlecht",
                                         "Ausbildungsrichtung", "Geburtsdatum", "Straße", "PLZ", "Ort",
                                         "Telefon", "gilt1", "gilt2", "LRS", "Legasthenie"};

QString u(const char *s) { return QString::fromUtf8(s); }

void kopfSchreiben(GridStore &g, const char *const *texte, int n, int fixedCols)
{
    g.setCols(n);
    g.setFixedRows(1);
    g.setFixedCols(fixedCols);
    for (int c = 0; c < n; ++c) {
        g.setTextMatrix(0, c, u(texte[c]));
        g.setColDataType(c, grid::TypeDefault);
    }
}

void listeAnhaengen(GridStore &g, const QString &a, const QString &b, const QString &c, const QString &d)
{
    const int r = g.rows();
    g.setRows(r + 1);
    g.setTextMatrix(r, 0, a);
    g.setTextMatrix(r, 1, b);
    g.setTextMatrix(r, 2, c);
    g.setTextMatrix(r, 3, d);
}

int spalteOderFehler(const zdb::Result &r, const char *name)
{
    const int i = r.columnIndex(u(name));
    if (i < 0)
        throw zdb::DbError(zdb::DbError::Other, 0, QStringLiteral("Spalte %1 fehlt").arg(u(name)));
    return i;
}

// WinSV's driver sorts by its own rule (SQLite's by character codes): the rows are put into the one
// German order of the given columns, as every list of the program; equal ones keep the driver's order.
void deutschOrdnen(const zdb::Result &r, QVector<int> &zeilen, const std::array<int, 3> &spalten)
{
    struct Schluessel {
        std::array<QString, 3> texte;
        int zeile;
    };
    std::vector<Schluessel> k;
    k.reserve(size_t(zeilen.size()));
    for (int i : zeilen)
        k.push_back({{zellText(r.value(i, spalten[0])), zellText(r.value(i, spalten[1])),
                      zellText(r.value(i, spalten[2]))},
                     i});
    std::stable_sort(k.begin(), k.end(), [](const Schluessel &a, const Schluessel &b) {
        for (size_t j = 0; j < a.texte.size(); ++j)
            if (a.texte[j] != b.texte[j]) // mostly the same class: no collator needed
                return accessfn::germanCompare(a.texte[j], b.texte[j]) < 0;
        return false;
    });
    for (size_t n = 0; n < k.size(); ++n)
        zeilen[qsizetype(n)] = k[n].zeile;
}

} // namespace

QString zellText(const QVariant &v) { return vt::valueText(v); }

namespace {

QDate alsDatum(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return vt::parseDateTime(v.toString()).date();
}

bool leer(const QVariant &v) { return !v.isValid() || v.isNull() || vt::trimBlanks(v.toString()).isEmpty(); }

const QString UnlesbarMarke = QStringLiteral("unlesbar");

} // namespace

QString datumText(const QVariant &v)
{
    if (leer(v))
        return QString();
    const QDate d = alsDatum(v);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

bool unlesbaresDatum(const QVariant &v) { return !leer(v) && !alsDatum(v).isValid(); }

void alsUnlesbarMarkieren(GridStore &g, int r, int c) { g.setCellData(r, c, UnlesbarMarke); }

bool unlesbar(const GridStore &g, int r, int c) { return g.cellData(r, c).toString() == UnlesbarMarke; }

bool idAlsZahl(const QString &text, double *zahl) { return vt::parseNumber(vt::trimBlanks(text), zahl); }

bool besuchtSchule(const QString &klasse, const QVariant &austrittsdatum)
{
    if (klasse == QLatin1String("AUS"))
        return false;
    const QString d = datumText(austrittsdatum);
    return d.isEmpty() || d == QLatin1String("01.01.2000");
}

QString nmKlasse(const QVariant &klasse) { return vt::trimBlanks(zellText(klasse).left(4)); }

QString winsvAbfrage()
{
    return QStringLiteral("SELECT [_SCHUELER_ID], [KLASSE], [FAMILIENNAME], [RUFNAME], "
                          "[GESCHLECHT], [AUSBILDUNGSR], CAST([GEBURTSDATUM] AS TEXT) AS [GEBURTSDATUM], "
                          "CAST([AUSTR_DATUM] AS TEXT) AS [AUSTR_DATUM], "
                          "[ANSCHR1_PLZ], [ANSCHR1_ORT], [ANSCHR1_STR], [ANSCHR1_TEL], [ANSCHR1_FUER1], [ANSCHR1_FUER2], "
                          "[ANSCHR2_PLZ], [ANSCHR2_ORT], [ANSCHR2_STR], [ANSCHR2_TEL], [ANSCHR2_FUER1], [ANSCHR2_FUER2], "
                          "[LRS_STOERUNG], [LRS_SCHWAECHE] "
                          "FROM DSchueler "
                          "ORDER BY [KLASSE], [FAMILIENNAME], [RUFNAME];");
}

QString tabelleMitSpalte(zdb::Db &nm, const QString &spalte)
{
    for (const QString &t : {QStringLiteral("Schüler"), QStringLiteral("Adressen")})
        if (nm.columnExists(t, spalte))
            return t;
    return QString();
}

QString nmAbfrage(zdb::Db &nm)
{
    auto qualifiziert = [&nm](const QString &spalte) {
        const QString t = tabelleMitSpalte(nm, spalte);
        return t.isEmpty() ? spalte : t + QLatin1Char('.') + spalte;
    };
    // Of several address rows the last one read is shown.
    return QStringLiteral("SELECT Schüler.Klasse, Schüler.Name, Schüler.Vorname, Schüler.Geburtsdatum, "
                          "Schüler.Geschlecht, Schüler.Ausbildungsrichtung, Schüler.Bekenntnis, Schüler.WinSVSnr, "
                          "Adressen.Straße, Adressen.PLZ, Adressen.Ort, Adressen.Telefon, Adressen.gilt1, Adressen.gilt2, "
                          "%1 AS LRS, %2 AS Legasthenie "
                          "FROM Schüler INNER JOIN Adressen ON Schüler.SchülerNr = Adressen.SchülerNr "
                          "ORDER BY Schüler.Klasse COLLATE DE, Schüler.Name COLLATE DE, Schüler.Vorname COLLATE DE, "
                          "Schüler.rowid, %3")
        .arg(qualifiziert(QStringLiteral("LRS")), qualifiziert(QStringLiteral("Legasthenie")), adressReihenfolge(nm));
}

QString adressReihenfolge(zdb::Db &nm)
{
    const QString haupt = nm.columnExists(QStringLiteral("Adressen"), QStringLiteral("Hauptansprechpartner"))
                              ? zdb::yesNoSql(QStringLiteral("Adressen.Hauptansprechpartner")) + QStringLiteral(", ")
                              : QString();
    return haupt + QStringLiteral("Adressen.rowid DESC");
}

Datenvergleich::Datenvergleich(const Grids &grids, Beobachter beobachter) : m_g(grids), m_b(std::move(beobachter)) {}

QString Datenvergleich::ergebnisZeile(int n)
{
    return QStringLiteral("Inkonsistente Daten bei %1 Schülerinnen oder Schülern gefunden.").arg(n);
}

void Datenvergleich::ereignisse()
{
    if (m_b.ereignisse)
        m_b.ereignisse();
    m_takt.gezeigt();
}

void Datenvergleich::fortschritt(double prozentWert)
{
    if (!m_takt.faellig())
        return;
    QString t = QString::number(prozentWert, 'f', 1);
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    t += QLatin1Char('%');
    if (t != m_letzterProzent && m_b.prozent) {
        m_letzterProzent = t;
        m_b.prozent(t);
    }
    ereignisse();
}

void Datenvergleich::leeren()
{
    // Rows first: clearing cells that are dropped anyway would cost a pass over the whole grid.
    for (GridStore *g : {m_g.fg, m_g.nurWinSV, m_g.nurNM, m_g.falscheKlasse}) {
        g->setRows(1);
        g->clear(grid::ClearEverywhere, grid::ClearEverything);
    }
    m_paarZeile.clear();
    m_paare.clear();
    m_letzterProzent.clear();
    m_n = 0;
}

void Datenvergleich::kopfzeilenSchreiben()
{
    kopfSchreiben(*m_g.fg, kopfFg, SpaltenFg, 1);
    for (GridStore *g : {m_g.nurWinSV, m_g.nurNM, m_g.falscheKlasse})
        kopfSchreiben(*g, kopfListe, 4, 0);
}

void Datenvergleich::winsvDurchlauf(const zdb::Result &winsv)
{
    int spalte[SpaltenFg];
    for (int c = 1; c < SpaltenFg; ++c)
        spalte[c] = spalteOderFehler(winsv, winsvSpalte[c]);
    const int austritt = spalteOderFehler(winsv, "AUSTR_DATUM");

    GridStore &fg = *m_g.fg;
    // Grow once: two rows per attending pupil.
    QVector<int> genommen;
    genommen.reserve(winsv.rowCount());
    for (int i = 0; i < winsv.rowCount(); ++i)
        if (besuchtSchule(zellText(winsv.value(i, spalte[SpalteKlasse])), winsv.value(i, austritt)))
            genommen.append(i);
    deutschOrdnen(winsv, genommen, {spalte[SpalteKlasse], spalte[SpalteName], spalte[SpalteVorname]});
    int r = fg.rows();
    fg.setRows(r + 2 * int(genommen.size()));
    for (int i : genommen) {
        fg.setTextMatrix(r, 0, QStringLiteral("WinSV:"));
        for (int c = 1; c < SpaltenFg; ++c) {
            const QVariant &v = winsv.value(i, spalte[c]);
            fg.setTextMatrix(r, c, c == SpalteGebDat ? datumText(v) : zellText(v));
            if (c == SpalteGebDat && unlesbaresDatum(v))
                alsUnlesbarMarkieren(fg, r, c);
        }
        double id = 0;
        if (idAlsZahl(fg.textMatrix(r, SpalteId), &id) && !m_paarZeile.contains(id))
            m_paarZeile.insert(id, r);
        fg.setTextMatrix(r + 1, 0, QStringLiteral("NM:"));
        r += 2;
    }
}

void Datenvergleich::nmDurchlauf(const zdb::Result &nm)
{
    int spalte[SpaltenFg];
    for (int c = 1; c < SpaltenFg; ++c)
        spalte[c] = spalteOderFehler(nm, nmSpalte[c]);

    GridStore &fg = *m_g.fg;
    const double zeilen = fg.rows();
    for (int i = 0; i < nm.rowCount(); ++i) {
        const QVariant idWert = nm.value(i, spalte[SpalteId]);
        const QString idText = zellText(idWert);
        double id = 0;
        const bool zahl = idWert.typeId() == QMetaType::QString ? idAlsZahl(idText, &id)
                                                                 : (idWert.isValid() && !idWert.isNull());
        if (zahl && idWert.typeId() != QMetaType::QString)
            id = idWert.toDouble();
        const auto treffer = zahl ? m_paarZeile.constFind(id) : m_paarZeile.constEnd();
        const QVariant klasse = nm.value(i, spalte[SpalteKlasse]);
        if (treffer != m_paarZeile.constEnd()) {
            const int r = treffer.value() + 1;
            fg.setTextMatrix(r, SpalteId, idText);
            fg.setTextMatrix(r, SpalteKlasse, nmKlasse(klasse));
            for (int c = SpalteName; c < SpaltenFg; ++c) {
                const QVariant v = nm.typedValue(i, spalte[c]);
                fg.setTextMatrix(r, c, c == SpalteGebDat ? datumText(v) : zellText(v));
            }
        } else if (vt::upperTrim(zellText(klasse).left(3)) != QLatin1String("AUS")) {
            listeAnhaengen(*m_g.nurNM, idText, nmKlasse(klasse), zellText(nm.value(i, spalte[SpalteName])),
                           zellText(nm.value(i, spalte[SpalteVorname])));
        }
        fortschritt(zeilen > 0 ? 2.0 * i / zeilen * 100.0 : 0.0);
    }
}

int Datenvergleich::paarDurchlauf()
{
    GridStore &fg = *m_g.fg;
    const double zeilen = fg.rows();
    int n = 0;
    for (int r = 1; r + 1 < fg.rows(); r += 2) {
        const int nmZeile = r + 1;
        double idW = 0, idN = 0;
        const bool gepaart = idAlsZahl(fg.textMatrix(r, SpalteId), &idW)
                             && idAlsZahl(fg.textMatrix(nmZeile, SpalteId), &idN) && idW == idN;
        if (gepaart && vt::upperTrim(fg.textMatrix(r, SpalteKlasse)) != vt::upperTrim(fg.textMatrix(nmZeile, SpalteKlasse)))
            listeAnhaengen(*m_g.falscheKlasse, fg.textMatrix(r, 1), fg.textMatrix(r, 2), fg.textMatrix(r, 3),
                           fg.textMatrix(r, 4));

        RueckschreibPaar paar;
        if (!vt::trimBlanks(fg.textMatrix(r, SpalteId)).isEmpty() && vt::trimBlanks(fg.textMatrix(nmZeile, SpalteId)).isEmpty()) {
            if (vt::upperTrim(fg.textMatrix(r, SpalteKlasse)) != QLatin1String("AUS"))
                listeAnhaengen(*m_g.nurWinSV, fg.textMatrix(r, 1), fg.textMatrix(r, 2), fg.textMatrix(r, 3),
                               fg.textMatrix(r, 4));
        } else {
            for (int c = 1; c < SpaltenFg; ++c) {
                if (fg.textMatrix(r, c) == fg.textMatrix(nmZeile, c))
                    continue;
                const bool vonHand = c == SpalteId || c == SpalteKlasse || c == SpalteAR;
                fg.setCellBackColor(nmZeile, c, vonHand ? Hellrot : Gelb);
                fg.setCellBackColor(nmZeile, 0, Gelb);
                paar.abweichend << c;
            }
        }
        if (!paar.abweichend.isEmpty()) {
            ++n;
            paar.id = fg.textMatrix(r, SpalteId);
            for (int c : GeschriebeneSpalten) {
                paar.werte << fg.textMatrix(r, c);
                paar.unlesbar << unlesbar(fg, r, c);
            }
            m_paare.append(std::move(paar));
        } else {
            fg.setRowHeight(r, 0);
            fg.setRowHeight(nmZeile, 0);
        }
        fortschritt(zeilen > 0 ? r / zeilen * 100.0 : 0.0);
    }
    m_n = n;
    return n;
}

Datenvergleich::Ergebnis Datenvergleich::ausfuehren(const QString &pfad, const NMArbeit &nmArbeit)
{
    // WinSV first: a file that cannot be read leaves the last result standing.
    zdb::Result winsv;
    try {
        winsvdb::Connection verbindung(pfad);
        winsv = verbindung.query(winsvAbfrage());
        for (int c = 1; c < SpaltenFg; ++c)
            if (winsv.columnIndex(u(winsvSpalte[c])) < 0)
                throw winsvdb::WinsvError(winsvdb::WinsvError::Unreadable, pfad,
                                          QStringLiteral("Die Spalte %1 fehlt.").arg(u(winsvSpalte[c])));
        if (winsv.columnIndex(QStringLiteral("AUSTR_DATUM")) < 0)
            throw winsvdb::WinsvError(winsvdb::WinsvError::Unreadable, pfad,
                                      QStringLiteral("Die Spalte AUSTR_DATUM fehlt."));
    } catch (const winsvdb::WinsvError &e) {
        return {Ausgang::NichtBegonnen, e.germanText()};
    }

    if (m_b.prozentSichtbar)
        m_b.prozentSichtbar(true);
    leeren();
    kopfzeilenSchreiben();
    if (m_b.neuZeichnen)
        m_b.neuZeichnen(false);
    winsvDurchlauf(winsv);
    winsv = {};
    if (m_b.hauptgridAnpassen)
        m_b.hauptgridAnpassen();
    if (m_b.neuZeichnen)
        m_b.neuZeichnen(true);
    ereignisse();

    zdb::Result nm;
    try {
        if (!nmArbeit([&nm](zdb::Db &db) { nm = db.query(nmAbfrage(db)); }))
            return {Ausgang::Abgebrochen, QString()};
    } catch (const zdb::DbError &e) {
        return {Ausgang::Abgebrochen, e.germanText()};
    }

    if (m_b.neuZeichnen)
        m_b.neuZeichnen(false);
    nmDurchlauf(nm);
    if (m_b.neuZeichnen)
        m_b.neuZeichnen(true);
    ereignisse();
    if (m_b.neuZeichnen)
        m_b.neuZeichnen(false);
    paarDurchlauf();
    if (m_b.seitenlistenAnpassen)
        m_b.seitenlistenAnpassen();
    if (m_b.neuZeichnen)
        m_b.neuZeichnen(true);
    if (m_b.prozent)
        m_b.prozent(QString());
    if (m_b.prozentSichtbar)
        m_b.prozentSichtbar(false);
    return {Ausgang::Fertig, QString()};
}

} // namespace winsv
