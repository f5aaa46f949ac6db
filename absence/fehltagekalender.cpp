#include "absence/fehltagekalender.h"
#include "absence/absenzrecord.h"
#include "platform/grid/vsgrid.h"
#include "platform/valuetext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QHash>
#include <algorithm>
#include <vector>

namespace absence {

namespace {

// A value's text as vt::valueText gives it, a stored text read without a QVariant.
QString wertText(const zdb::Row &r, int c) { return r.type(c) == zdb::Row::Text ? r.text(c) : vt::valueText(r.value(c)); }

// The same for a column of few distinct texts (classes, reasons): each made text once and shared.
// With `wenige`, the first so many texts are found by comparing them, quicker than a hash for the
// handful of reason codes.
class GeteilteTexte {
public:
    explicit GeteilteTexte(int wenige = 0) : m_wenige(wenige) {}
    QString text(const zdb::Row &r, int c)
    {
        if (r.type(c) != zdb::Row::Text)
            return wertText(r, c);
        const QByteArrayView u = r.utf8(c);
        for (const auto &[bytes, text] : m_erste)
            if (u == bytes)
                return text;
        if (int(m_erste.size()) < m_wenige) {
            m_erste.push_back({u.toByteArray(), QString::fromUtf8(u)});
            return m_erste.back().second;
        }
        auto it = m_texte.constFind(QByteArray::fromRawData(u.data(), u.size()));
        if (it == m_texte.cend())
            it = m_texte.insert(u.toByteArray(), QString::fromUtf8(u));
        return it.value();
    }

private:
    int m_wenige;
    std::vector<std::pair<QByteArray, QString>> m_erste;
    QHash<QByteArray, QString> m_texte;
};

// The column of a stored day "2026-09-15" read from its digits, -2 for a text of any other form.
int isoTagSpalte(const KalenderTage &tage, QByteArrayView t)
{
    if (t.size() != 10 || t[4] != '-' || t[7] != '-')
        return -2;
    int teil[3] = {0, 0, 0};
    for (int k = 0, i = 0; k < 10; ++k) {
        if (k == 4 || k == 7) {
            ++i;
        } else if (t[k] >= '0' && t[k] <= '9') {
            teil[i] = teil[i] * 10 + (t[k] - '0');
        } else {
            return -2;
        }
    }
    return tage.spalte(QDate(teil[0], teil[1], teil[2]));
}

} // namespace

Fehltagekalender::Fehltagekalender(VSGrid &grid) : m_grid(grid) {}
Fehltagekalender::~Fehltagekalender() = default;

void Fehltagekalender::leeren()
{
    vorbereiten(KopfZeilen, 3);
    m_grid.setRedraw(true);
}

// Empties the grid to `zeilen` rows of `spalten` columns with the headers of the name columns.
// The person rows are dropped whole (clearing each cell costs more); columns already there stay,
// so that the new rows get all their cells at once.
void Fehltagekalender::vorbereiten(int zeilen, int spalten)
{
    m_zeilen.clear();
    m_exaktZeilen.clear();
    m_weitereZeilen.clear();
    m_idListe.clear();
    m_grid.setRedraw(false);
    m_grid.setRows(KopfZeilen);
    if (m_grid.cols() > spalten)
        m_grid.setCols(spalten);
    m_grid.clear();
    m_grid.setRows(zeilen);
    m_grid.setCols(spalten);
    m_grid.setFixedCols(3);
    m_grid.setFixedRows(KopfZeilen);
    m_grid.setTopRow(KopfZeilen);
    m_grid.setRowHeight(3, 0);
    m_grid.setTextMatrix(0, 0, QStringLiteral("Klasse"));
    m_grid.setTextMatrix(0, 1, QStringLiteral("Name"));
    m_grid.setColWidth(2, 0);
}

QVector<PersonZeile> Fehltagekalender::personenLesen(zdb::Db &nm, const Abfrage &abfrage)
{
    QVector<PersonZeile> personen;
    GeteilteTexte klassen;
    nm.forEachRow(abfrage.sql, abfrage.params, [&](const zdb::Row &r) {
        const QString name = vt::trimBlanks(wertText(r, 2)) + QStringLiteral(", ") + vt::trimBlanks(wertText(r, 3));
        personen.push_back({klassen.text(r, 1), name, wertText(r, 0)});
        return true;
    });
    return personen;
}

void Fehltagekalender::personenZeilenSetzen(const QVector<PersonZeile> &personen, const QDate &heute)
{
    // Day columns already there stay: kalenderErstellen sets each of them anew.
    vorbereiten(KopfZeilen + int(personen.size()), std::clamp(m_grid.cols(), 3, int(Spalten)));
    GridStore &s = m_grid.store();
    m_idListe.reserve(int(personen.size()) * 8);
    m_zeilen.reserve(personen.size());
    for (int i = 0; i < personen.size(); ++i) {
        const int r = KopfZeilen + i;
        const PersonZeile &p = personen[i];
        s.setTextMatrix(r, 0, p.klasse);
        s.setTextMatrix(r, 1, p.name);
        s.setTextMatrix(r, 2, p.id);
        m_idListe += QLatin1Char('/') + p.id + QLatin1Char('/');
        const Kennung k = kennung(p.id);
        const QString wert = k.suchwert();
        QHash<QString, int> &zeilen = k.nurExakt ? m_exaktZeilen : m_zeilen;
        if (wert.isEmpty())
            continue;
        if (const auto erste = zeilen.constFind(wert); erste == zeilen.cend())
            zeilen.insert(wert, r);
        else
            m_weitereZeilen[erste.value()] << r;
    }
    if (!personen.isEmpty()) {
        m_grid.autoSize(0, 1);
        m_grid.setColWidth(2, 0);
    }
    kalenderErstellen(heute);
}

const KalenderTage &Fehltagekalender::tageFuer(const QDate &heute)
{
    if (!m_tage || m_tage->heute() != heute)
        m_tage = std::make_unique<KalenderTage>(heute);
    return *m_tage;
}

void Fehltagekalender::kalenderErstellen(const QDate &heute)
{
    const KalenderTage &kt = tageFuer(heute);
    m_grid.setRedraw(false);
    m_grid.setCols(Spalten);
    const int letzte = m_grid.rows() - 1;
    const QVector<KalenderTag> &tage = kt.tage();
    QVector<std::pair<int, long>> farbig; // column, colour
    for (int i = 0; i < tage.size(); ++i) {
        const int c = Schuljahr::ErsteTagSpalte + i;
        const KalenderTag &t = tage[i];
        m_grid.setTextMatrix(0, c, t.monat);
        m_grid.setTextMatrix(1, c, t.tag);
        m_grid.setTextMatrix(2, c, t.wochentag);
        m_grid.setTextMatrix(3, c, t.schluessel);
        m_grid.setColWidth(c, t.breite);
        if (t.farbe != 0)
            farbig.push_back({c, t.farbe});
    }
    // The first person row is coloured, the others share its formats.
    GridStore &s = m_grid.store();
    if (letzte >= KopfZeilen) {
        for (const auto &[c, farbe] : farbig)
            s.setCellBackColor(KopfZeilen, c, farbe);
        s.copyRowFormats(KopfZeilen, KopfZeilen + 1, letzte);
    }
    m_grid.setMergeCells(grid::MergeFree);
    m_grid.setMergeRow(0, true);
    for (int r = KopfZeilen; r <= letzte; r += 5)
        m_grid.cellBorderRange(r, 0, r, Spalten - 1, Gruppenlinie, grid::BorderKeep, 1, grid::BorderKeep,
                               grid::BorderKeep);
    // Today a week from the left edge; early in the year the calendar starts at its first day.
    const int scroll = kt.scrollSpalte();
    m_grid.setLeftCol(scroll >= 0 ? scroll : Schuljahr::ErsteTagSpalte);
    m_grid.setRedraw(true);
}

void Fehltagekalender::absenzenEintragen(zdb::Db &eigen)
{
    if ((m_zeilen.isEmpty() && m_exaktZeilen.isEmpty()) || !m_tage || m_grid.cols() < Spalten)
        return;
    const QDate von = m_tage->beginn();
    const QDate bis = von.addDays(Schuljahr::Tage);
    const zdb::Params tage{zdb::isoDate(von), zdb::isoDate(bis)};
    // With most of the school shown (the search " "), an index probe for every id costs more than
    // reading the year's records in one pass over the table and passing over the others'; a probe
    // costs about as much as reading eight records in order. Read through the days' index instead,
    // the records would be fetched in no order at all. Below a few thousand persons the probes
    // cost less than counting the year's records; the largest rowid bounds their number at once.
    const qint64 personen = m_zeilen.size() + m_exaktZeilen.size();
    auto hoechstens = [&](const QString &sql, const zdb::Params &p) {
        return personen * 8 >= eigen.scalar(sql, p).toLongLong();
    };
    const bool bereich = personen >= 2000
                      && (hoechstens(QStringLiteral("SELECT max(rowid) FROM tbl_Fehltage"), {})
                          || hoechstens(QStringLiteral("SELECT count(*) FROM tbl_Fehltage WHERE Fehltag >= ?1 "
                                                       "AND Fehltag < ?2"),
                                        tage));
    // Columns: Fehltag, Grund, then the stored id (one pass) or the form found and whether exactly.
    QString sql;
    zdb::Params params = tage;
    if (bereich) {
        // As written: of one cell's records the last written stays, unless an earlier one has a
        // later time (see below).
        sql = QStringLiteral("SELECT Fehltag, Grund, S_Id FROM tbl_Fehltage NOT INDEXED WHERE Fehltag >= ?1 "
                             "AND Fehltag < ?2");
    } else {
        QJsonArray formen, exakte;
        bool ascii = true;
        for (auto it = m_zeilen.cbegin(); it != m_zeilen.cend(); ++it) {
            formen.append(it.key());
            ascii = ascii && istAscii(it.key());
        }
        for (auto it = m_exaktZeilen.cbegin(); it != m_exaktZeilen.cend(); ++it)
            exakte.append(it.key());
        auto json = [](const QJsonArray &a) { return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact)); };
        sql = absenzenSql(ascii, !formen.isEmpty(), !exakte.isEmpty());
        params << json(formen) << json(exakte);
    }
    m_grid.setRedraw(false);
    GridStore &s = m_grid.store();
    // A person's records come one after the other: the row is looked up once per form found (per
    // stored id in the one pass: an id of digits alone, a pupil's, by its number and length); a
    // day is read from its digits, any other stored form once; the few codes are shared by their
    // cells.
    QHash<qint64, int> nachZahl;
    QHash<QByteArray, int> nachId;
    auto zeileDerId = [&](QByteArrayView id) {
        qint64 zahl = 0;
        bool ziffern = !id.isEmpty() && id.size() <= 17;
        for (qsizetype i = 0; ziffern && i < id.size(); ++i) {
            ziffern = id[i] >= '0' && id[i] <= '9';
            zahl = zahl * 10 + (id[i] - '0');
        }
        if (ziffern) {
            auto it = nachZahl.constFind(zahl * 32 + id.size());
            if (it == nachZahl.cend())
                it = nachZahl.insert(zahl * 32 + id.size(), zeileVon(QString::fromUtf8(id)));
            return it.value();
        }
        auto it = nachId.constFind(QByteArray::fromRawData(id.data(), id.size()));
        if (it == nachId.cend())
            it = nachId.insert(id.toByteArray(), zeileVon(QString::fromUtf8(id)));
        return it.value();
    };
    QByteArray letzteForm;
    int letzteZeile = -1;
    bool letzteExakt = false;
    QHash<QByteArray, int> spalten;
    GeteilteTexte codes(16);
    // Read as written, a cell ends with the latest record by time, then by writing, as the
    // person's records come otherwise: a day alone sorts before the same day with a time, so the
    // cells that got a time keep it to be compared.
    QHash<qint64, QByteArray> mitZeit;
    eigen.forEachRow(sql, params, [&](const zdb::Row &r) {
        if (bereich) {
            const QByteArrayView id = r.type(2) == zdb::Row::Text ? r.utf8(2) : QByteArrayView();
            if (!id.data()) {
                letzteZeile = zeileVon(wertText(r, 2));
                letzteForm = QByteArray();
            } else if (letzteForm.isNull() || id != letzteForm) {
                letzteZeile = zeileDerId(id);
                letzteForm = id.toByteArray();
            }
        } else {
            const bool exakt = r.value(4).toInt() != 0;
            const QByteArrayView form = r.utf8(3);
            if (letzteZeile < 0 || exakt != letzteExakt || form != letzteForm) {
                letzteZeile = (exakt ? m_exaktZeilen : m_zeilen).value(QString::fromUtf8(form), -1);
                letzteForm = form.toByteArray();
                letzteExakt = exakt;
            }
        }
        if (letzteZeile < 0)
            return true;
        int spalte = -1;
        if (r.type(0) == zdb::Row::Text) {
            const QByteArrayView tag = r.utf8(0);
            spalte = isoTagSpalte(*m_tage, tag);
            if (spalte == -2) {
                auto it = spalten.constFind(QByteArray::fromRawData(tag.data(), tag.size()));
                if (it == spalten.cend())
                    it = spalten.insert(tag.toByteArray(), m_tage->spalte(zdb::dateFromStored(r.value(0))));
                spalte = it.value();
            }
        } else {
            spalte = m_tage->spalte(zdb::dateFromStored(r.value(0)));
        }
        if (spalte < 0)
            return true;
        if (bereich && r.type(0) == zdb::Row::Text) {
            const qint64 zelle = qint64(letzteZeile) * Spalten + spalte;
            const QByteArrayView tag = r.utf8(0);
            auto it = mitZeit.find(zelle);
            if (it != mitZeit.end() && tag < QByteArrayView(*it))
                return true;
            if (tag.size() > 10)
                mitZeit.insert(zelle, tag.toByteArray());
        }
        s.setTextMatrix(letzteZeile, spalte, codes.text(r, 1));
        return true;
    });
    geteilteZeilenFuellen();
    m_grid.setRedraw(true);
}

void Fehltagekalender::geteilteZeilenFuellen()
{
    GridStore &s = m_grid.store();
    for (auto it = m_weitereZeilen.cbegin(); it != m_weitereZeilen.cend(); ++it)
        for (int c = Schuljahr::ErsteTagSpalte; c < m_grid.cols(); ++c) {
            const QString code = m_grid.textMatrix(it.key(), c);
            for (int z : it.value())
                s.setTextMatrix(z, c, code);
        }
}

QString Fehltagekalender::absenzenSql(bool ascii, bool mitRegel, bool mitExakt)
{
    // Unsorted: a person's records of a day come by time and order of writing, so the last one
    // written into a cell is the latest, as in the day's order; sorting the whole year costs more.
    return fehltageSql(QStringLiteral("Fehltag, Grund"),
                       mitRegel ? QStringLiteral("IN (SELECT value FROM json_each(?3))") : QString(),
                       QStringLiteral(" AND Fehltag >= ?1 AND Fehltag < ?2"), QString(), ascii,
                       mitExakt ? QStringLiteral("SELECT value FROM json_each(?4)") : QString());
}

Kennung Fehltagekalender::kennung(const QString &id) const
{
    return Kennung(id, m_zuordnung && m_zuordnung->nurExakt(id));
}

int Fehltagekalender::zeileVon(const QString &id) const
{
    const QString t = vt::trimBlanks(id);
    if (const auto it = m_exaktZeilen.constFind(t); it != m_exaktZeilen.cend())
        return it.value();
    const auto it = m_zeilen.constFind(vt::idSchluessel(t));
    if (it == m_zeilen.cend() || (m_zuordnung && m_zuordnung->nurExakt(t)))
        return -1; // nobody shown, or the rule links it to several persons
    return it.value();
}

QVector<int> Fehltagekalender::zeilenVon(const QString &id) const
{
    const int r = zeileVon(id);
    if (r < 0)
        return {};
    return QVector<int>{r} + m_weitereZeilen.value(r);
}

int Fehltagekalender::spalteVon(const QDate &tag) const { return m_tage ? m_tage->spalte(tag) : -1; }

} // namespace absence
