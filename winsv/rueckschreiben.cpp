#include "winsv/rueckschreiben.h"

#include "platform/grid/gridstore.h"
#include "platform/textzuschnitt.h"
#include "platform/valuetext.h"
#include "winsv/datenvergleich.h"

#include <QDate>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <memory>

namespace winsv {

namespace {

// Grid column of the WinSV row -> the grade manager's column, in the written order.
struct Ziel {
    int gridSpalte;
    const char *tabelle; // nullptr: the table that holds the column
    const char *spalte;
};
const Ziel ziele[12] = {
    {3, "Schüler", "Name"},    {4, "Schüler", "Vorname"}, {5, "Schüler", "Geschlecht"}, {7, "Schüler", "Geburtsdatum"},
    {8, "Adressen", "Straße"}, {9, "Adressen", "PLZ"},    {10, "Adressen", "Ort"},      {11, "Adressen", "Telefon"},
    {12, "Adressen", "gilt1"}, {13, "Adressen", "gilt2"}, {14, nullptr, "LRS"},         {15, nullptr, "Legasthenie"},
};

QString u(const char *s) { return QString::fromUtf8(s); }

enum class Art { Text, Datum, JaNein, Ganzzahl, Zahl };

Art artVon(const QString &declType)
{
    const QString t = declType.toUpper();
    if (t.contains(QLatin1String("BIT")) || t.contains(QLatin1String("BOOL")) || t.contains(QLatin1String("YESNO"))
        || t.contains(QLatin1String("LOGICAL")))
        return Art::JaNein;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return Art::Datum;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("MEMO"))
        || t.contains(QLatin1String("CLOB")) || t.isEmpty())
        return Art::Text;
    if (t.contains(QLatin1String("INT")) || t.contains(QLatin1String("LONG")) || t.contains(QLatin1String("SHORT"))
        || t.contains(QLatin1String("BYTE")) || t.contains(QLatin1String("COUNTER")))
        return Art::Ganzzahl;
    if (t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA"))
        || t.contains(QLatin1String("SINGLE")) || t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("DEC"))
        || t.contains(QLatin1String("CURRENCY")) || t.contains(QLatin1String("MONEY")))
        return Art::Zahl;
    return Art::Text;
}

int textGroesse(const QString &declType)
{
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = re.match(declType);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool alsZahl(const QVariant &v, double *zahl)
{
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray)
        return idAlsZahl(v.toString(), zahl);
    bool ok = false;
    *zahl = v.toDouble(&ok);
    return ok;
}

} // namespace

QString RueckschreibErgebnis::meldung() const
{
    const QString unlesbar =
        nichtLesbar > 0
            ? QStringLiteral("Bei %1 Schülerinnen oder Schülern konnten Werte der WinSV nicht gelesen werden; "
                             "diese Werte wurden nicht übernommen, der Notenmanager behält seine.")
                  .arg(nichtLesbar)
            : QString();
    if (uebersprungen() == 0)
        return unlesbar;
    QString t = QStringLiteral("Die Daten von %1 Schülerinnen oder Schülern wurden nicht in den Notenmanager übernommen:")
                    .arg(uebersprungen());
    if (mehrdeutig > 0)
        t += QStringLiteral("\r- %1 ohne eindeutige Zuordnung (mehrere Datensätze zur WinSV-Nummer im Notenmanager)")
                 .arg(mehrdeutig);
    if (ungueltigeId > 0)
        t += QStringLiteral("\r- %1 mit leerer oder ungültiger WinSV-Nummer").arg(ungueltigeId);
    if (abgelehnt > 0 && !dateifehler.isEmpty())
        t += QStringLiteral("\r- %1, weil die Datei des Notenmanagers nicht geschrieben werden konnte:\r")
                 .arg(abgelehnt)
            + dateifehler + QLatin1Char('\r');
    else if (abgelehnt > 0)
        t += QStringLiteral("\r- %1, weil der Notenmanager das Schreiben abgelehnt hat (Datensatz gesperrt oder Wert ungültig)")
                 .arg(abgelehnt);
    t += QStringLiteral("\rDiese Daten müssen leider konventionell korrigiert werden.");
    if (!unlesbar.isEmpty())
        t += QLatin1Char('\r') + unlesbar;
    return t;
}

QString RueckschreibErgebnis::abschluss() const
{
    if (geschrieben == 0 && uebersprungen() > 0)
        return QStringLiteral("Es wurden keine Daten aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.");
    return QStringLiteral("Die Daten wurden aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.");
}

QVector<RueckschreibPaar> sichtbarePaare(const GridStore &fg)
{
    QVector<RueckschreibPaar> out;
    for (int r = 1; r + 1 < fg.rows(); r += 2) {
        if (fg.rowHeight(r) == 0)
            continue;
        RueckschreibPaar p;
        p.id = fg.textMatrix(r, SpalteId);
        for (const Ziel &z : ziele) {
            p.werte << fg.textMatrix(r, z.gridSpalte);
            p.unlesbar << unlesbar(fg, r, z.gridSpalte);
        }
        out.append(p);
    }
    return out;
}

bool spaltenwert(const QString &text, const QString &declType, QVariant *wert)
{
    const QString t = vt::trimBlanks(text);
    if (t.isEmpty()) {
        *wert = QVariant();
        return true;
    }
    switch (artVon(declType)) {
    case Art::Text: {
        const int n = textGroesse(declType);
        *wert = n > 0 ? zuschnitt::kuerzen(t, n) : t;
        return true;
    }
    case Art::Datum: {
        const QDate d = vt::parseDate(t);
        if (!d.isValid())
            return false;
        *wert = zdb::isoDate(d);
        return true;
    }
    case Art::JaNein: {
        if (t.compare(QLatin1String("Wahr"), Qt::CaseInsensitive) == 0 || t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            *wert = 1;
            return true;
        }
        if (t.compare(QLatin1String("Falsch"), Qt::CaseInsensitive) == 0 || t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            *wert = 0;
            return true;
        }
        double d = 0;
        if (!vt::parseNumber(t, &d))
            return false;
        *wert = d != 0 ? 1 : 0;
        return true;
    }
    case Art::Ganzzahl: {
        double d = 0;
        if (!vt::parseNumber(t, &d) || d != double(qint64(d)))
            return false;
        *wert = qint64(d);
        return true;
    }
    case Art::Zahl: {
        double d = 0;
        if (!vt::parseNumber(t, &d))
            return false;
        *wert = d;
        return true;
    }
    }
    return false;
}

Rueckschreiben::Rueckschreiben(zdb::Db &nm, std::function<void()> zwischendurch)
    : m_db(nm), m_zwischendurch(std::move(zwischendurch))
{
}

void Rueckschreiben::spaltenLesen()
{
    m_spalten.clear();
    QMap<QString, zdb::Result> info;
    for (const QString &t : {QStringLiteral("Schüler"), QStringLiteral("Adressen")})
        info.insert(t, m_db.query(QStringLiteral("PRAGMA table_info(%1)").arg(zdb::quoteName(t))));
    for (const Ziel &z : ziele) {
        Spalte s;
        s.name = u(z.spalte);
        s.tabelle = z.tabelle ? u(z.tabelle) : tabelleMitSpalte(m_db, s.name);
        const zdb::Result &r = info.value(s.tabelle);
        for (int i = 0; i < r.rowCount(); ++i) {
            if (r.value(i, QStringLiteral("name")).toString().compare(s.name, Qt::CaseInsensitive) != 0)
                continue;
            s.typ = r.value(i, QStringLiteral("type")).toString();
            s.notNull = r.value(i, QStringLiteral("notnull")).toInt() != 0;
            m_spalten.append(s);
            break;
        }
        if (m_spalten.size() != &z - ziele + 1)
            throw zdb::DbError(zdb::DbError::Other, 0,
                               QStringLiteral("Spalte %1 fehlt im Notenmanager").arg(s.name));
    }
}

void Rueckschreiben::trefferLesen()
{
    // One hit per pupil, with the address row the comparison showed: the last of the pupil's rows
    // in the comparison's order of address rows.
    m_treffer.clear();
    m_db.forEach(QStringLiteral("SELECT Schüler.rowid, Adressen.rowid, Schüler.WinSVSnr, Adressen.SchülerNr "
                                "FROM Schüler INNER JOIN Adressen ON Schüler.SchülerNr = Adressen.SchülerNr "
                                "WHERE Schüler.WinSVSnr IS NOT NULL ORDER BY Schüler.rowid, ")
                     + adressReihenfolge(m_db),
                 {}, [this](const QVariantList &row) {
                     double id = 0;
                     if (!alsZahl(row[2], &id))
                         return true;
                     QVector<Treffer> &t = m_treffer[id];
                     const Treffer neu{row[0].toLongLong(), row[1].toLongLong(), row[2], row[3]};
                     if (!t.isEmpty() && t.last().schuelerRowid == neu.schuelerRowid)
                         t.last() = neu;
                     else
                         t.append(neu);
                     return true;
                 });
}

bool Rueckschreiben::schreiben(const Treffer &t, const RueckschreibPaar &p, int *zurueckgehalten)
{
    *zurueckgehalten = 0;
    // A savepoint per pupil: a refused second statement takes the first one back with it.
    m_db.exec(QStringLiteral("SAVEPOINT schueler"));
    bool ok = true;
    try {
        for (const QString &tabelle : {QStringLiteral("Schüler"), QStringLiteral("Adressen")}) {
            QStringList setzen;
            zdb::Params params;
            for (int i = 0; i < m_spalten.size(); ++i) {
                const Spalte &s = m_spalten[i];
                if (s.tabelle != tabelle)
                    continue;
                QVariant v;
                // A value WinSV could not give, or a text that is no value of the column's type,
                // is kept back: the grade manager keeps its own.
                if (p.unlesbar.value(i) || !spaltenwert(p.werte.value(i), s.typ, &v)) {
                    ++*zurueckgehalten;
                    continue;
                }
                if (s.notNull && v.isNull())
                    continue;
                setzen << zdb::quoteName(s.name) + QStringLiteral(" = ?");
                params << v;
            }
            if (setzen.isEmpty())
                continue;
            // The key guard refuses a row that another workstation changed since the start.
            const bool schueler = tabelle == QStringLiteral("Schüler");
            params << (schueler ? t.schuelerRowid : t.adressRowid) << (schueler ? t.winsvSnr : t.schuelerNr);
            const int n = m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ? AND %3 IS ?")
                                        .arg(zdb::quoteName(tabelle), setzen.join(QStringLiteral(", ")),
                                             schueler ? QStringLiteral("WinSVSnr") : QStringLiteral("SchülerNr")),
                                    params);
            if (n != 1) {
                ok = false;
                break;
            }
        }
    } catch (const zdb::DbError &err) {
        merken(err);
        ok = false;
    }
    if (!ok)
        m_db.exec(QStringLiteral("ROLLBACK TO schueler"));
    m_db.exec(QStringLiteral("RELEASE schueler"));
    return ok;
}

void Rueckschreiben::merken(const zdb::DbError &e)
{
    if (m_dateifehler.isEmpty() && e.kind() != zdb::DbError::Busy && e.kind() != zdb::DbError::Other)
        m_dateifehler = e.germanText();
}

RueckschreibErgebnis Rueckschreiben::ausfuehren(const QVector<RueckschreibPaar> &paare)
{
    RueckschreibErgebnis e;
    m_dateifehler.clear();
    spaltenLesen();
    trefferLesen();
    // Pupils are written in short transactions; events are let through only between them,
    // never while this connection holds the write lock.
    std::unique_ptr<zdb::WriteTransaction> tx;
    QElapsedTimer dauer;
    int imBlock = 0, imBlockNichtLesbar = 0;
    bool gesperrt = false;
    auto blockAbschliessen = [&] {
        if (!tx)
            return;
        try {
            tx->commit();
            e.geschrieben += imBlock;
            e.nichtLesbar += imBlockNichtLesbar;
        } catch (const zdb::DbError &err) {
            merken(err);
            e.abgelehnt += imBlock;
        }
        tx.reset();
        imBlock = imBlockNichtLesbar = 0;
    };
    for (const RueckschreibPaar &p : paare) {
        double id = 0;
        if (!idAlsZahl(p.id, &id)) {
            ++e.ungueltigeId;
        } else {
            const QVector<Treffer> treffer = m_treffer.value(id);
            if (treffer.isEmpty()) {
                ++e.ohneTreffer;
            } else if (treffer.size() > 1) {
                ++e.mehrdeutig;
            } else {
                try {
                    if (!tx && !gesperrt) {
                        tx = std::make_unique<zdb::WriteTransaction>(m_db);
                        dauer.start();
                    }
                    int zurueck = 0;
                    if (tx && schreiben(treffer.first(), p, &zurueck)) {
                        ++imBlock;
                        imBlockNichtLesbar += zurueck > 0;
                    } else {
                        ++e.abgelehnt;
                    }
                } catch (const zdb::DbError &err) {
                    // The write lock was not to be had within the time-out (or the file failed): the
                    // others wait no longer.
                    merken(err);
                    gesperrt = true;
                    ++e.abgelehnt;
                }
            }
        }
        if (tx && dauer.elapsed() < BlockMs)
            continue;
        blockAbschliessen();
        if (m_zwischendurch)
            m_zwischendurch();
    }
    if (tx) {
        blockAbschliessen();
        if (m_zwischendurch)
            m_zwischendurch();
    }
    e.dateifehler = m_dateifehler;
    return e;
}

} // namespace winsv
