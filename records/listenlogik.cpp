#include "records/listenlogik.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/accesssql.h"
#include "platform/accesssql_run.h"
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "platform/valuetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace listen {

Anweisung anweisungAusText(const QString &sqlText)
{
    Anweisung a;
    const int pos = int(sqlText.toUpper().indexOf(QLatin1String("SELECT")));
    if (pos < 0)
        return a;
    a.hatSelect = true;
    QString s = vt::trimBlanks(sqlText.mid(pos));
    // CR LF, CR and LF alike become one blank, so the lines never run together.
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace('\r', ' ');
    s.replace('\n', ' ');
    const int semi = int(s.lastIndexOf(';'));
    if (semi >= 0)
        s = vt::trimBlanks(s.left(semi + 1));
    if (!s.endsWith(';'))
        s += ';';
    a.text = s;
    return a;
}

QString anzahlText(int anzahl) { return QString::number(anzahl) + QStringLiteral(" Datensätze"); }

Verbindung Verbindung::nmNurLesen()
{
    return Verbindung{[] { return mdl::NMDatenbankOeffnenNurLesen(); },
                      []() -> zdb::Db & { return mdl::dbNMNurLesen(); },
                      [] { mdl::NMDatenbankSchliessenNurLesen(); }};
}

Auftrag vorbereiten(const QString &sqlText, const Verbindung &verbindung)
{
    Auftrag a;
    const Anweisung anweisung = anweisungAusText(sqlText);
    if (!anweisung.hatSelect) {
        a.status = Ergebnis::KeinSelect;
        return a;
    }
    // Only a single query gets through; nothing else reaches the database.
    if (!accesssql::translate(anweisung.text, accesssql::LikeDialect::Dao).ok)
        return a;
    a.anweisung = anweisung.text;
    if (!verbindung.oeffnen()) {
        a.status = Ergebnis::Abgebrochen;
        return a;
    }
    a.datei = verbindung.db().path();
    verbindung.schliessen();
    a.status = Ergebnis::Daten;
    return a;
}

Ergebnis lesen(const Auftrag &auftrag, const Grenzen &grenzen, accesssql::Interrupt *abbruch)
{
    Ergebnis e;
    if (auftrag.status != Ergebnis::Daten) {
        e.status = auftrag.status;
        return e;
    }
    try {
        zdb::Db db;
        db.open(auftrag.datei, zdb::Db::ReadOnly);
        // Read again with the columns' types: dates and numbers compare with texts as Access does,
        // and a date column made text shows as a German date.
        const accesssql::Translation typisiert =
            accesssql::translate(auftrag.anweisung, accesssql::LikeDialect::Dao, accesssql::columnTypes(db),
                                 accesssql::nameSpelling(db));
        if (!typisiert.ok)
            throw std::runtime_error("SQL-Ausdruck");
        accesssql::ReadResult r = accesssql::readTexts(
            db, typisiert,
            {grenzen.maxZeilen, grenzen.maxBytes, grenzen.weiter, wertGrenze(grenzen.maxBytes), abbruch});
        e.felder = r.columns;
        switch (r.status) {
        case accesssql::ReadResult::Stopped:
            e.status = Ergebnis::Abgebrochen;
            return e;
        case accesssql::ReadResult::TooBig:
            e.status = Ergebnis::ZuGross;
            return e;
        case accesssql::ReadResult::Cut:
            e.abgeschnitten = true;
            break;
        case accesssql::ReadResult::Complete:
            break;
        }
        e.zeilen = std::move(r.rows);
        e.status = e.zeilen.isEmpty() ? Ergebnis::Leer : Ergebnis::Daten;
    } catch (const std::exception &fehler) {
        e = Ergebnis{};
        e.status = Ergebnis::Fehler;
        const auto *db = dynamic_cast<const zdb::DbError *>(&fehler);
        if (db && db->kind() != zdb::DbError::Other) {
            e.status = Ergebnis::Datenbankfehler;
            e.meldung = db->germanText();
        }
    }
    // Given up, a run shows nothing, also when it ended otherwise meanwhile (a busy file waited for).
    if (abbruch && abbruch->stopped())
        e = Ergebnis{Ergebnis::Abgebrochen};
    return e;
}

Ergebnis ausfuehren(const QString &sqlText, const Verbindung &verbindung, const Grenzen &grenzen)
{
    return lesen(vorbereiten(sqlText, verbindung), grenzen);
}

Hintergrundlauf::Hintergrundlauf(Auftrag auftrag, Grenzen grenzen, std::function<void()> fertig)
{
    // The German collator is made on its first use: made here, two threads never make it at once.
    accessfn::germanEqualCompare(QStringLiteral("a"), QStringLiteral("b"));
    grenzen.weiter = [this, gefragt = std::move(grenzen.weiter)](accesssql::RunPhase p) {
        m_phase.store(p, std::memory_order_relaxed);
        return !gefragt || gefragt(p);
    };
    m_faden = std::thread([this, auftrag = std::move(auftrag), grenzen = std::move(grenzen),
                           fertig = std::move(fertig)] {
        m_ergebnis = lesen(auftrag, grenzen, &m_abbruch);
        m_fertig.store(true);
        if (fertig)
            fertig();
    });
}

Hintergrundlauf::~Hintergrundlauf()
{
    abbrechen();
    if (m_faden.joinable())
        m_faden.join();
}

Ergebnis Hintergrundlauf::ergebnis()
{
    if (m_faden.joinable())
        m_faden.join();
    return std::move(m_ergebnis);
}

QString abgeschnittenText(int zeilen)
{
    return QStringLiteral("Das Ergebnis hat mehr Datensätze, als eine Excel-Tabelle aufnehmen kann.\r"
                          "Die Liste wurde nach %1 Datensätzen abgeschnitten.")
        .arg(QLocale(QLocale::German).toString(zeilen));
}

QString zuGrossText()
{
    return QStringLiteral("Das Ergebnis ist zu groß, um es anzuzeigen (mehr als etwa 1 GB Speicher).\r"
                          "Bitte schränken Sie die Abfrage ein, z. B. mit WHERE oder mit weniger Feldern.");
}

bool istZugelassen(const QString &benutzer)
{
    const QString b = benutzer.toUpper();
    return b == QLatin1String("X") || b == QLatin1String("XS");
}

QString anfuehrungszeichenErsetzen(const QString &text)
{
    QString s = text;
    s.replace('"', '\'');
    return s;
}

bool abfrageSpeichern(const QString &pfad, const QString &text, QString *fehler)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace('\r', '\n');
    s.replace('\n', QLatin1String("\r\n"));
    return safefile::writeFile(pfad, s.toUtf8(), fehler);
}

bool abfrageLaden(const QString &pfad, QString *text, QString *fehler)
{
    auto scheitern = [&](const QString &grund) {
        if (fehler)
            *fehler = safefile::failureText(pfad, grund);
        return false;
    };
    // Asked first, so that a network folder gone away is told as such and not as a missing file.
    int err = 0;
    if (safefile::missing(pfad, &err))
        return scheitern(safefile::readReason(ENOENT));
    if (err)
        return scheitern(safefile::readReason(err));
    QFile f(pfad);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly))
        return scheitern(safefile::readReason(errno ? errno : EACCES));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return scheitern(safefile::readReason(errno ? errno : EIO));
    QString s;
    const auto kodierung = QStringConverter::encodingForData(bytes);
    if (kodierung && *kodierung != QStringConverter::Utf8) {
        QStringDecoder lesen(*kodierung);
        s = lesen(bytes);
    } else if (bytes.contains('\0')) {
        return scheitern(QStringLiteral("Die Datei ist keine Textdatei."));
    } else {
        s = textcodec::decodeUtf8OrWindows1252(bytes);
    }
    if (s.startsWith(QChar(0xFEFF)))
        s.remove(0, 1);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace('\r', '\n');
    *text = s;
    return true;
}

// File and folder names as every list of the program sorts texts: in German order.
static QStringList deutschSortiert(QStringList namen)
{
    std::stable_sort(namen.begin(), namen.end(),
                     [](const QString &a, const QString &b) { return accessfn::germanCompare(a, b) < 0; });
    return namen;
}

QStringList abfrageDateien(const QString &ordner)
{
    QDir d(ordner);
    d.setNameFilters({QStringLiteral("*.sql")});
    d.setFilter(QDir::Files); // name filters ignore case: "x.SQL" and "y.sql" alike
    d.setSorting(QDir::Unsorted);
    QStringList out;
    for (const QString &n : d.entryList())
        if (n.endsWith(QLatin1String(".sql"), Qt::CaseInsensitive))
            out << n;
    return deutschSortiert(out);
}

QStringList unterordner(const QString &ordner)
{
    return deutschSortiert(QDir(ordner).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted));
}

QString excelDateiname(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return name;
    if (suffix == QLatin1String("xls"))
        return name + 'x';
    return name + QStringLiteral(".xlsx");
}

QString ordnerVon(const QString &dateiname)
{
    const int p = int(qMax(dateiname.lastIndexOf('/'), dateiname.lastIndexOf('\\')));
    return p < 0 ? QString() : dateiname.left(p);
}

} // namespace listen
