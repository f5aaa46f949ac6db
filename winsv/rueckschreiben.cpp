#include "winsv/rueckschreiben.h"

#include "platform/textzuschnitt.h"
#include "platform/valuetext.h"
#include "winsv/datenvergleich.h"

#include <QDate>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <memory>

namespace winsv {

namespace {

// The grade manager's column behind each of GeschriebeneSpalten, in the written order.
struct Ziel {
    const char *tabelle; // nullptr: the table that holds the column
    const char *spalte;
};
const Ziel ziele[12] = {
    {"Schüler", "Name"},    {"Schüler", "Vorname"}, {"Schüler", "Geschlecht"}, {"Schüler", "Geburtsdatum"},
    {"Adressen", "Straße"}, {"Adressen", "PLZ"},    {"Adressen", "Ort"},      {"Adressen", "Telefon"},
    {"Adressen", "gilt1"},  {"Adressen", "gilt2"},  {nullptr, "LRS"},         {nullptr, "Legasthenie"},
};

QString u(const char *s) { return QString::fromUtf8(s); }

enum class Art { Text, Datum, JaNein, Ganzzahl, Zahl };

Art artVon(const QString &declType, bool jaNein)
{
    if (jaNein || zdb::isYesNoColumn(declType))
        return Art::JaNein;
    const QString t = declType.toUpper();
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

// A lock of another workstation, a value the database refused, or a fault of the file itself.
bool istDateifehler(const zdb::DbError &e) { return e.kind() != zdb::DbError::Busy && e.kind() != zdb::DbError::Other; }

} // namespace

QString RueckschreibErgebnis::meldung() const
{
    QStringList saetze;
    if (uebersprungen() > 0) {
        QString t = QStringLiteral("Die Daten von %1 Schülerinnen oder Schülern wurden nicht in den Notenmanager übernommen:")
                        .arg(uebersprungen());
        if (mehrdeutig > 0)
            t += QStringLiteral("\r- %1 ohne eindeutige Zuordnung (mehrere Datensätze zur WinSV-Nummer im Notenmanager)")
                     .arg(mehrdeutig);
        if (ungueltigeId > 0)
            t += QStringLiteral("\r- %1 mit leerer oder ungültiger WinSV-Nummer").arg(ungueltigeId);
        if (gesperrt > 0)
            t += QStringLiteral("\r- %1, weil der Notenmanager gerade an einem anderen Arbeitsplatz geschrieben wurde "
                                "(Datensatz gesperrt)")
                     .arg(gesperrt);
        if (geaendert > 0)
            t += QStringLiteral("\r- %1, weil ihre Daten inzwischen an einem anderen Arbeitsplatz geändert wurden")
                     .arg(geaendert);
        if (wertAbgelehnt > 0)
            t += QStringLiteral("\r- %1, weil der Notenmanager einen Wert nicht angenommen hat (%2)")
                     .arg(wertAbgelehnt)
                     .arg(ablehnung);
        if (dateiFehler > 0)
            t += QStringLiteral("\r- %1, weil die Datei des Notenmanagers nicht geschrieben werden konnte:\r").arg(dateiFehler)
                + dateifehler + QLatin1Char('\r');
        t += QStringLiteral("\rDiese Daten müssen leider konventionell korrigiert werden.");
        saetze << t;
    }
    if (ungeprueft > 0) {
        QString t = QStringLiteral("Bei %1 Schülerinnen oder Schülern konnte nicht geprüft werden, ob ihre Daten in den "
                                   "Notenmanager übernommen wurden, weil die Datei nicht gelesen werden konnte:\r")
                        .arg(ungeprueft);
        if (dateiFehler == 0)
            t += dateifehler + QLatin1Char('\r');
        t += QStringLiteral("Bitte prüfen Sie das Ergebnis des neuen Vergleichs.");
        saetze << t;
    }
    // After a fault of the file, what did get into it is told as well.
    if (!dateifehler.isEmpty() && (dateiFehler > 0 || ungeprueft > 0))
        saetze << (ungeprueft > 0 ? QStringLiteral("Sicher übernommen wurden die Daten von %1 Schülerinnen oder Schülern.")
                                  : QStringLiteral("Die Daten von %1 Schülerinnen oder Schülern wurden in den "
                                                   "Notenmanager übernommen."))
                      .arg(geschrieben);
    if (nichtLesbar > 0)
        saetze << QStringLiteral("Bei %1 Schülerinnen oder Schülern konnten Werte der WinSV nicht gelesen werden; "
                                 "diese Werte wurden nicht übernommen, der Notenmanager behält seine.")
                      .arg(nichtLesbar);
    if (nichtPassend > 0)
        saetze << QStringLiteral("Bei %1 Schülerinnen oder Schülern passt ein Wert der WinSV nicht zur Spalte des "
                                 "Notenmanagers (z. B. %2); diese Werte wurden nicht übernommen, der Notenmanager "
                                 "behält seine.")
                      .arg(nichtPassend)
                      .arg(passendBeispiel);
    return saetze.join(QLatin1Char('\r'));
}

QString RueckschreibErgebnis::abschluss() const
{
    // Whether pupils that could not be checked were written, the new comparison shows.
    if (geschrieben == 0 && ungeprueft > 0)
        return QStringLiteral("Es erfolgt nun automatisch ein neuer Vergleich.");
    if (geschrieben == 0 && uebersprungen() > 0)
        return QStringLiteral("Es wurden keine Daten aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.");
    return QStringLiteral("Die Daten wurden aktualisiert. Es erfolgt nun automatisch ein neuer Vergleich.");
}

bool spaltenwert(const QString &text, const QString &declType, QVariant *wert, bool jaNein)
{
    const QString t = vt::trimBlanks(text);
    if (t.isEmpty()) {
        *wert = QVariant();
        return true;
    }
    switch (artVon(declType, jaNein)) {
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
            s.jaNein = zdb::isYesNoColumn(s.typ, s.tabelle, s.name);
            if (s.jaNein)
                s.ja = zdb::storedYes(m_db, s.tabelle, s.name);
            else if (artVon(s.typ, false) == Art::Datum)
                // A converted file writes every day with its midnight; a new day is written alike.
                s.tagMitZeit = !m_db.scalar(QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIKE '____-__-__ 00:00:00' LIMIT 1")
                                                .arg(zdb::quoteName(s.tabelle), zdb::quoteName(s.name)))
                                    .isNull();
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

Rueckschreiben::Versuch Rueckschreiben::schreiben(const Treffer &t, const RueckschreibPaar &p, RueckschreibErgebnis &e)
{
    Versuch v;
    for (const QString &tabelle : {QStringLiteral("Schüler"), QStringLiteral("Adressen")}) {
        Satz satz{tabelle, tabelle == QStringLiteral("Schüler") ? t.schuelerRowid : t.adressRowid, {}, {}};
        for (int i = 0; i < m_spalten.size(); ++i) {
            const Spalte &s = m_spalten[i];
            if (s.tabelle != tabelle)
                continue;
            // A value WinSV could not give, or a text that is no value of the column's type, is
            // kept back: the grade manager keeps its own.
            if (p.unlesbar.value(i)) {
                v.nichtLesbar = 1;
                continue;
            }
            QVariant w;
            if (!spaltenwert(p.werte.value(i), s.typ, &w, s.jaNein)) {
                if (!v.nichtPassend && e.passendBeispiel.isEmpty())
                    e.passendBeispiel = QStringLiteral("\"%1\" für %2").arg(vt::trimBlanks(p.werte.value(i)), s.name);
                v.nichtPassend = 1;
                continue;
            }
            if (s.notNull && w.isNull())
                continue;
            if (s.jaNein && !w.isNull())
                w = w.toInt() != 0 ? s.ja : 0;
            else if (s.tagMitZeit && !w.isNull())
                w = w.toString() + QStringLiteral(" 00:00:00");
            satz.spalten << s.name;
            satz.werte << w;
        }
        if (!satz.spalten.isEmpty())
            v.saetze << satz;
    }

    auto ausgangVon = [this](const zdb::DbError &err) {
        merken(err);
        return err.kind() == zdb::DbError::Busy    ? Ausgang::Gesperrt
               : err.kind() == zdb::DbError::Other ? Ausgang::WertAbgelehnt
                                                   : Ausgang::Dateifehler;
    };
    // A savepoint per pupil: a refused second statement takes the first one back with it.
    try {
        m_db.exec(QStringLiteral("SAVEPOINT schueler"));
    } catch (const zdb::DbError &err) {
        v.ausgang = ausgangVon(err);
        return v;
    }
    try {
        for (const Satz &satz : v.saetze) {
            QStringList setzen;
            for (const QString &name : satz.spalten)
                setzen << zdb::quoteName(name) + QStringLiteral(" = ?");
            // The key guard refuses a row that another workstation changed since the start.
            const bool schueler = satz.tabelle == QStringLiteral("Schüler");
            const int n = m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ? AND %3 IS ?")
                                        .arg(zdb::quoteName(satz.tabelle), setzen.join(QStringLiteral(", ")),
                                             schueler ? QStringLiteral("WinSVSnr") : QStringLiteral("SchülerNr")),
                                    satz.werte + zdb::Params{satz.rowid, schueler ? t.winsvSnr : t.schuelerNr});
            if (n != 1) {
                v.ausgang = Ausgang::Geaendert;
                break;
            }
        }
    } catch (const zdb::DbError &err) {
        v.ausgang = ausgangVon(err);
    }
    // SQLite may have rolled the whole transaction back by itself after a fault of the file.
    if (m_db.inTransaction()) {
        try {
            if (v.ausgang != Ausgang::Geschrieben)
                m_db.exec(QStringLiteral("ROLLBACK TO schueler"));
            m_db.exec(QStringLiteral("RELEASE schueler"));
        } catch (const zdb::DbError &err) {
            merken(err);
            v.ausgang = Ausgang::Dateifehler; // what is in the file is checked afterwards
        }
    }
    return v;
}

void Rueckschreiben::ausgangZaehlen(Ausgang a, RueckschreibErgebnis &e)
{
    switch (a) {
    case Ausgang::Geschrieben:
        ++e.geschrieben;
        break;
    case Ausgang::Geaendert:
        ++e.geaendert;
        break;
    case Ausgang::Gesperrt:
        ++e.gesperrt;
        break;
    case Ausgang::WertAbgelehnt:
        ++e.wertAbgelehnt;
        break;
    case Ausgang::Dateifehler:
        ++e.dateiFehler;
        break;
    }
}

bool Rueckschreiben::imDatei(const QVector<Satz> &saetze)
{
    for (const Satz &satz : saetze) {
        QStringList gleich;
        for (const QString &name : satz.spalten)
            gleich << zdb::quoteName(name) + QStringLiteral(" IS ? COLLATE BINARY");
        const QVariant n = m_db.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE rowid = ? AND %2")
                                           .arg(zdb::quoteName(satz.tabelle), gleich.join(QStringLiteral(" AND "))),
                                       zdb::Params{satz.rowid} + satz.werte);
        if (n.toLongLong() != 1)
            return false;
    }
    return true;
}

void Rueckschreiben::merken(const zdb::DbError &e)
{
    if (m_dateifehler.isEmpty() && istDateifehler(e))
        m_dateifehler = e.germanText();
    if (m_ablehnung.isEmpty() && e.kind() == zdb::DbError::Other)
        m_ablehnung = e.message();
}

RueckschreibErgebnis Rueckschreiben::ausfuehren(const QVector<RueckschreibPaar> &paare)
{
    RueckschreibErgebnis e;
    m_dateifehler.clear();
    m_ablehnung.clear();
    spaltenLesen();
    trefferLesen();
    // Pupils are written in short transactions; events are let through only between them,
    // never while this connection holds the write lock.
    std::unique_ptr<zdb::WriteTransaction> tx;
    QElapsedTimer dauer;
    QVector<Versuch> block;       // written in the open transaction
    QVector<Versuch> zweifelhaft; // a fault of the file came between them and the file: checked at the end
    bool gesperrt = false;
    auto zaehlen = [&e](const Versuch &v) {
        ++e.geschrieben;
        e.nichtLesbar += v.nichtLesbar;
        e.nichtPassend += v.nichtPassend;
    };
    auto blockAbschliessen = [&] {
        if (!tx)
            return;
        try {
            tx->commit();
            for (const Versuch &v : block)
                zaehlen(v);
        } catch (const zdb::DbError &err) {
            merken(err);
            if (istDateifehler(err)) {
                zweifelhaft += block;
            } else {
                for (const Versuch &v : block)
                    ++(err.kind() == zdb::DbError::Busy ? e.gesperrt : e.wertAbgelehnt);
            }
        }
        block.clear();
        tx.reset();
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
            } else if (gesperrt) {
                ++e.gesperrt; // after one wait for the lock the others wait no longer
            } else {
                if (!tx) {
                    try {
                        tx = std::make_unique<zdb::WriteTransaction>(m_db);
                        dauer.start();
                    } catch (const zdb::DbError &err) {
                        // Nothing of this pupil was written: the lock was not to be had, or the file failed.
                        merken(err);
                        gesperrt = err.kind() == zdb::DbError::Busy;
                        ++(gesperrt ? e.gesperrt : istDateifehler(err) ? e.dateiFehler : e.wertAbgelehnt);
                    }
                }
                if (tx) {
                    Versuch v = schreiben(treffer.first(), p, e);
                    if (v.ausgang == Ausgang::Geschrieben)
                        block << v;
                    else if (v.ausgang == Ausgang::Dateifehler)
                        zweifelhaft << v;
                    else
                        ausgangZaehlen(v.ausgang, e);
                    if (!m_db.inTransaction()) {
                        // The block was rolled back: the next pupils must not run without a transaction.
                        zweifelhaft += block;
                        block.clear();
                        tx.reset();
                    }
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
    // Each pupil a fault came between is counted by what the file holds now.
    for (const Versuch &v : std::as_const(zweifelhaft)) {
        try {
            if (imDatei(v.saetze))
                zaehlen(v);
            else
                ++e.dateiFehler;
        } catch (const zdb::DbError &err) {
            merken(err);
            ++e.ungeprueft;
        }
    }
    e.dateifehler = m_dateifehler;
    e.ablehnung = m_ablehnung;
    return e;
}

} // namespace winsv
