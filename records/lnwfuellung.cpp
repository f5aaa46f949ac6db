#include "records/lnwfuellung.h"

#include "records/zahlen.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/valuetext.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace lnw {

namespace {

// Course statement columns.
enum { kFach, kKlasse, kLehrkraft, kSpalte, kNotenart, kBemerkung, kSchnitt, kZeit, kGeschrieben,
       kRueckgabe, kAbgabe, kLfdNr };

// Courses are told apart by subject, class and teacher, compared as the engine compares text.
QString kursSchluessel(const QString &fach, const QString &klasse, const QString &lehrer)
{
    return fach.toCaseFolded() + QChar(0x1f) + klasse.toCaseFolded() + QChar(0x1f) + lehrer.toCaseFolded();
}

struct NotenStand {
    qint64 index = 0;   // the course key: the first course row with pupil rows
    bool hatIndex = false;
    std::array<qint64, Bloecke> summe{};
    std::array<qint64, Bloecke> anzahl{};
};

const QDateTime &stichtag()
{
    static const QDateTime d(QDate(2000, 1, 1), QTime(0, 0));
    return d;
}

// A value as the grid shows it; text, the common case, without a QVariant.
QString wertText(const zdb::Row &r, int c)
{
    switch (r.type(c)) {
    case zdb::Row::Null: return QString();
    case zdb::Row::Text: return r.text(c);
    default: return vt::valueText(r.value(c));
    }
}

// The grade in a stored grade value, 0 for none. Read as text first: a grade is a text or a whole
// number, whose digits SQLite writes; only a text that may be a real number asks for the type.
int noteVon(const zdb::Row &r, int c)
{
    const QByteArrayView t = r.utf8(c);
    if (!t.data())
        return 0;
    if ((t.contains('.') || t.contains('e') || t.contains('E')) && r.type(c) != zdb::Row::Text)
        return mdl::NoteAusText(vt::valueText(r.value(c)));
    return mdl::NoteAusUtf8(t);
}

// A stored date later than 1 January 2000, else an invalid date. ISO dates are read directly.
QDate spaeteresDatum(const zdb::Row &r, int c)
{
    if (r.type(c) == zdb::Row::Null)
        return {};
    if (r.type(c) == zdb::Row::Text) {
        const QByteArrayView t = r.utf8(c);
        auto ziffern = [&](int von, int bis) {
            int n = 0;
            for (int i = von; i < bis; ++i) {
                if (t[i] < '0' || t[i] > '9')
                    return -1;
                n = n * 10 + (t[i] - '0');
            }
            return n;
        };
        if (t.size() == 10 && t[4] == '-' && t[7] == '-') {
            const int y = ziffern(0, 4), m = ziffern(5, 7), d = ziffern(8, 10);
            if (y >= 0 && m >= 0 && d >= 0) {
                const QDate datum(y, m, d);
                return datum.isValid() && datum > stichtag().date() ? datum : QDate();
            }
        }
    }
    const QDateTime d = mdl::NullZuDatum(r.value(c));
    return d > stichtag() ? d.date() : QDate();
}

// One record of the course statement, kept until the grades are counted.
struct TestSatz {
    int kurs = 0;      // position in the course list
    int spalte = -1;   // first column of the test's block, -1 for none
    QString art, bemerkung, zeit, lfdNr;
    bool bemerkungNull = true;
    std::array<QDate, 3> daten; // Geschrieben, Rückgabe, Abgabe when later than 1.1.2000
};

struct Kurs {
    QString fach, klasse, lehrer, schluessel;
};

// The Index values of the selected courses as a JSON array, each in its stored type.
QString kursIndizes(zdb::Db &nm, const KursAbfrage &abfrage)
{
    QJsonArray werte;
    nm.forEachRow(abfrage.indexSql(), abfrage.params, [&](const zdb::Row &r) {
        switch (r.type(0)) {
        case zdb::Row::Integer: werte.append(r.int64(0)); break;
        case zdb::Row::Real: werte.append(r.value(0).toDouble()); break;
        case zdb::Row::Null: break;
        default: werte.append(r.text(0));
        }
        return true;
    });
    return QString::fromUtf8(QJsonDocument(werte).toJson(QJsonDocument::Compact));
}

} // namespace

Aufbau aufbauErkennen(zdb::Db &nm)
{
    Aufbau a;
    auto ohneSa56 = [&](const QString &table) {
        const QStringList cols = nm.columnsOf(table);
        return !cols.contains(QStringLiteral("sa5"), Qt::CaseInsensitive)
            || !cols.contains(QStringLiteral("sa6"), Qt::CaseInsensitive);
    };
    a.notenAlt = ohneSa56(QStringLiteral("Noten"));
    a.unterrichtAlt = ohneSa56(QStringLiteral("Unterricht"));
    // A file converted from Access may have no index: its rows are then best found in one scan.
    auto mitIndex = [&](const QString &table) {
        return nm.scalar(QStringLiteral("SELECT count(*) FROM pragma_index_list(?1) l, pragma_index_info(l.name) i "
                                        "WHERE i.seqno = 0 AND i.name = 'UIndex' COLLATE NOCASE"),
                         {table})
                   .toInt()
            > 0;
    };
    a.notenIndex = mitIndex(QStringLiteral("Noten"));
    a.lnwIndex = mitIndex(QStringLiteral("LNW"));
    return a;
}

QString schnittText(qint64 summe, qint64 anzahl)
{
    if (anzahl <= 0)
        return QString();
    const bool negativ = summe < 0;
    const qint64 s = negativ ? -summe : summe;
    const qint64 hundertstel = (200 * s + anzahl) / (2 * anzahl);
    return (negativ ? QStringLiteral("-") : QString()) + QString::number(hundertstel / 100) + QLatin1Char(',')
        + QString::number(hundertstel % 100).rightJustified(2, QLatin1Char('0'));
}

Fuellung lesen(zdb::Db &nm, const KursAbfrage &abfrage, const Schwellen &schwellen,
               const std::function<void(int, int)> &progress)
{
    Fuellung f;
    const Aufbau aufbau = aufbauErkennen(nm);
    f.verschiebung = aufbau.verschiebung();
    // A view of some courses searches the course table once and reads their tests and grade rows
    // through the index on UIndex; every course is read in one pass over each table.
    const bool ueberKurse = !abfrage.alle && aufbau.lnwIndex && aufbau.notenIndex;
    const KursAbfrage auswahl = ueberKurse ? abfrage.nurKurse(kursIndizes(nm, abfrage)) : abfrage;

    // The tests, each pointing at its course; a course's texts are read once per run of records.
    QVector<Kurs> kurse;
    QVector<TestSatz> saetze;
    QByteArray letzteTexte;
    nm.forEachRow(auswahl.kursSql(ueberKurse), auswahl.params, [&](const zdb::Row &r) {
        // Texts are compared as stored; a number is read as a value (reading it as text would convert it).
        bool nurText = true;
        for (int c : {kFach, kKlasse, kLehrkraft})
            nurText = nurText && (r.type(c) == zdb::Row::Text || r.isNull(c));
        QByteArray texte;
        if (nurText)
            for (int c : {kFach, kKlasse, kLehrkraft})
                texte += r.utf8(c).toByteArray() + char(r.isNull(c) ? 1 : 0) + '\0';
        if (kurse.isEmpty() || texte.isEmpty() || texte != letzteTexte) {
            Kurs k{wertText(r, kFach), wertText(r, kKlasse), wertText(r, kLehrkraft), {}};
            k.schluessel = kursSchluessel(k.fach, k.klasse, k.lehrer);
            kurse.append(k);
            letzteTexte = texte;
        }
        TestSatz t;
        t.kurs = int(kurse.size()) - 1;
        qint64 spalte = -1;
        bool ok = true;
        if (r.type(kSpalte) == zdb::Row::Integer)
            spalte = r.int64(kSpalte);
        else if (r.isNull(kSpalte))
            ok = false;
        else
            spalte = r.value(kSpalte).toLongLong(&ok);
        t.spalte = ok ? blockSpalteFuerTest(spalte, f.verschiebung) : -1;
        if (t.spalte >= 0) {
            t.art = wertText(r, kNotenart);
            t.bemerkungNull = r.isNull(kBemerkung);
            t.bemerkung = wertText(r, kBemerkung);
            t.zeit = wertText(r, kZeit);
            t.lfdNr = wertText(r, kLfdNr);
            t.daten = {spaeteresDatum(r, kGeschrieben), spaeteresDatum(r, kRueckgabe), spaeteresDatum(r, kAbgabe)};
        }
        saetze.append(std::move(t));
        return true;
    });
    f.datensaetze = int(saetze.size());
    if (saetze.isEmpty())
        return f;

    // The courses that will get a row; grades of other courses are not kept.
    QHash<QString, NotenStand> stand;
    for (const Kurs &k : std::as_const(kurse))
        stand.insert(k.schluessel, NotenStand());

    // Grades of all pupil rows, grouped by course as a per-course read would collect them. The
    // course of a pupil row is looked up once per course key (Unt.Index) and its texts.
    struct Treffer {
        QByteArray texte;
        NotenStand *stand = nullptr;
    };
    QHash<qint64, Treffer> nachIndex;
    // The rows of one course mostly follow each other: they are known by the last row's course.
    struct Letzter {
        qint64 index = 0;
        std::array<QByteArray, 3> texte;
        NotenStand *stand = nullptr;
        bool gueltig = false;
    } letzter;
    nm.forEachRow(auswahl.notenSql(aufbau.notenAlt, ueberKurse), auswahl.params, [&](const zdb::Row &r) {
        const std::array<QByteArrayView, 3> t3{r.utf8(0), r.utf8(1), r.utf8(2)};
        if (!t3[0].data() || !t3[1].data() || !t3[2].data())
            return true; // a Null never equals a course's text
        const bool mitIndex = r.type(3) == zdb::Row::Integer;
        const qint64 index = mitIndex ? r.int64(3) : r.value(3).toLongLong();
        NotenStand *s = nullptr;
        if (letzter.gueltig && mitIndex && index == letzter.index && t3[0] == letzter.texte[0]
            && t3[1] == letzter.texte[1] && t3[2] == letzter.texte[2]) {
            s = letzter.stand;
            if (!s)
                return true;
        } else {
            QByteArray texte;
            for (const QByteArrayView &v : t3)
                texte += v.toByteArray() + '\0';
            s = nullptr;
            auto t = mitIndex ? nachIndex.find(index) : nachIndex.end();
            if (t != nachIndex.end() && t->texte == texte) {
                s = t->stand;
            } else {
                auto it = stand.find(kursSchluessel(QString::fromUtf8(t3[0]), QString::fromUtf8(t3[1]),
                                                    QString::fromUtf8(t3[2])));
                s = it == stand.end() ? nullptr : &*it;
                if (mitIndex)
                    nachIndex.insert(index, Treffer{texte, s});
            }
            letzter = {index, {t3[0].toByteArray(), t3[1].toByteArray(), t3[2].toByteArray()}, s, mitIndex};
            if (!s)
                return true;
        }
        if (!s->hatIndex || index < s->index) {
            s->index = index;
            s->hatIndex = true;
        }
        for (int b = 0; b < Bloecke; ++b) {
            const int g = noteVon(r, 4 + b);
            if (g != 0) {
                s->summe[size_t(b)] += g;
                ++s->anzahl[size_t(b)];
            }
        }
        return true;
    });

    QHash<qint64, std::array<QString, Bloecke>> gewichte;
    for (const NotenStand &s : std::as_const(stand))
        if (s.hatIndex)
            gewichte.insert(s.index, {});
    nm.forEachRow(auswahl.gewichteSql(aufbau.unterrichtAlt), auswahl.params, [&](const zdb::Row &r) {
        auto it = gewichte.find(r.type(0) == zdb::Row::Integer ? r.int64(0) : r.value(0).toLongLong());
        if (it != gewichte.end())
            for (int b = 0; b < Bloecke; ++b)
                (*it)[size_t(b)] = wertText(r, 1 + b);
        return true;
    });

    const float grenze = mdl::ZahlAusText(schwellen.grenzschnitt);
    const double mindest = accessfn::accessVal(schwellen.mindestanzahl);
    const int total = int(saetze.size());
    f.zeilen.reserve(stand.size());
    QString letzterSchluessel;
    KursZeile *zeile = nullptr;
    for (int n = 1; n <= total; ++n) {
        TestSatz &t = saetze[n - 1];
        const Kurs &k = kurse[t.kurs];
        if (!zeile || k.schluessel != letzterSchluessel) {
            letzterSchluessel = k.schluessel;
            f.zeilen.append(KursZeile());
            zeile = &f.zeilen.last();
            zeile->fach = k.fach;
            zeile->klasse = k.klasse;
            zeile->lehrer = k.lehrer;
            const NotenStand &s = stand[k.schluessel];
            for (int b = 0; b < Bloecke; ++b) {
                const int c = blockStart(b);
                if (s.anzahl[size_t(b)] > 0) {
                    zeile->text(c + Schnitt) = schnittText(s.summe[size_t(b)], s.anzahl[size_t(b)]);
                    zeile->text(c + Anzahl) = QString::number(s.anzahl[size_t(b)]);
                }
            }
            if (s.hatIndex) {
                const auto &w = gewichte[s.index];
                for (int b = 0; b < Bloecke; ++b)
                    zeile->text(blockStart(b) + Wicht) = w[size_t(b)];
            }
        }

        const int c = t.spalte;
        if (c >= 0) {
            zeile->text(c + Art) = std::move(t.art);
            if (!t.bemerkungNull)
                zeile->text(c + Bemerk) = std::move(t.bemerkung);
            zeile->text(c + LfdNr) = std::move(t.lfdNr);
            zeile->farbe(c + Schnitt) = mdl::ZahlAusText(zeile->text(c + Schnitt)) >= grenze ? Hellrot : Weiss;
            zeile->text(c + Zeit) = std::move(t.zeit);
            for (int i = 0; i < 3; ++i)
                if (t.daten[size_t(i)].isValid())
                    zeile->text(c + Geschrieben + i) = t.daten[size_t(i)].toString(QStringLiteral("dd.MM."));
            if (t.daten[2].isValid())
                zeile->farbe(c + Abgegeben) = Hellgruen;
            else if (mindest < accessfn::accessVal(zeile->text(c + Anzahl)))
                zeile->farbe(c + Abgegeben) = Hellrot;
        }
        if (progress && n % 20 == 0)
            progress(n, total);
    }
    return f;
}

} // namespace lnw

namespace lnw {

std::optional<QString> schwellenText(const QString &text)
{
    QString s = text.trimmed();
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    double d = 0;
    if (s.count(QLatin1Char(',')) > 1 || !vt::parseNumber(s, &d))
        return std::nullopt;
    // The tenths are counted exactly up to 2^53; a larger threshold cannot be held.
    if (!(std::fabs(d) * 10.0 < 9007199254740992.0))
        return std::nullopt;
    // One decimal, half away from zero on the typed digits (4,25 -> 4,3).
    const qint64 zehntel = qint64(std::llround(d * 10.0 + (d >= 0 ? 1e-9 : -1e-9)));
    const qint64 a = zehntel < 0 ? -zehntel : zehntel;
    return (zehntel < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 10) + QLatin1Char(',')
        + QString::number(a % 10);
}

} // namespace lnw
