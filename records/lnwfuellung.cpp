#include "records/lnwfuellung.h"

#include "records/zahlen.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/valuetext.h"

#include <QHash>
#include <cmath>

namespace lnw {

namespace {

// Course statement columns.
enum { kFach, kKlasse, kLehrkraft, kSpalte, kNotenart, kBemerkung, kSchnitt, kZeit, kGeschrieben,
       kRueckgabe, kAbgabe, kLfdNr };

bool istNull(const QVariant &v) { return !v.isValid() || v.isNull(); }

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

    const zdb::Result kurse = nm.query(abfrage.kursSql(), abfrage.params);
    f.datensaetze = kurse.rowCount();
    if (kurse.isEmpty())
        return f;

    // The courses that will get a row; grades of other courses are not kept.
    QHash<QString, NotenStand> stand;
    for (const QVariantList &r : kurse.rows)
        stand.insert(kursSchluessel(mdl::NullZuText(r[kFach]), mdl::NullZuText(r[kKlasse]),
                                    mdl::NullZuText(r[kLehrkraft])), NotenStand());

    // Grades of all pupil rows, grouped by course as a per-course read would collect them.
    nm.forEach(abfrage.notenSql(aufbau.notenAlt), abfrage.params, [&](const QVariantList &r) {
        if (istNull(r[0]) || istNull(r[1]) || istNull(r[2]))
            return true; // a Null never equals a course's text
        auto it = stand.find(kursSchluessel(r[0].toString(), r[1].toString(), r[2].toString()));
        if (it == stand.end())
            return true;
        const qint64 index = r[3].toLongLong();
        if (!it->hatIndex || index < it->index) {
            it->index = index;
            it->hatIndex = true;
        }
        for (int b = 0; b < Bloecke; ++b) {
            const QVariant &v = r[4 + b];
            if (istNull(v))
                continue;
            const int g = mdl::NoteAusText(vt::valueText(v));
            if (g != 0) {
                it->summe[size_t(b)] += g;
                ++it->anzahl[size_t(b)];
            }
        }
        return true;
    });

    QHash<qint64, std::array<QString, Bloecke>> gewichte;
    for (const NotenStand &s : std::as_const(stand))
        if (s.hatIndex)
            gewichte.insert(s.index, {});
    nm.forEach(abfrage.gewichteSql(aufbau.unterrichtAlt), abfrage.params, [&](const QVariantList &r) {
        auto it = gewichte.find(r[0].toLongLong());
        if (it != gewichte.end())
            for (int b = 0; b < Bloecke; ++b)
                (*it)[size_t(b)] = vt::valueText(r[1 + b]);
        return true;
    });

    const float grenze = mdl::ZahlAusText(schwellen.grenzschnitt);
    const double mindest = accessfn::accessVal(schwellen.mindestanzahl);
    const int total = kurse.rowCount();
    QString letzterSchluessel;
    KursZeile *zeile = nullptr;
    for (int n = 1; n <= total; ++n) {
        const QVariantList &r = kurse.rows[n - 1];
        const QString fach = mdl::NullZuText(r[kFach]), klasse = mdl::NullZuText(r[kKlasse]),
                      lehrer = mdl::NullZuText(r[kLehrkraft]);
        const QString schluessel = kursSchluessel(fach, klasse, lehrer);
        if (!zeile || schluessel != letzterSchluessel) {
            letzterSchluessel = schluessel;
            f.zeilen.append(KursZeile());
            zeile = &f.zeilen.last();
            zeile->fach = fach;
            zeile->klasse = klasse;
            zeile->lehrer = lehrer;
            const NotenStand &s = stand[schluessel];
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

        bool ok = false;
        const qint64 spalte = istNull(r[kSpalte]) ? -1 : r[kSpalte].toLongLong(&ok);
        const int c = ok ? blockSpalteFuerTest(spalte, f.verschiebung) : -1;
        if (c >= 0) {
            zeile->text(c + Art) = vt::valueText(r[kNotenart]);
            if (!istNull(r[kBemerkung]))
                zeile->text(c + Bemerk) = vt::valueText(r[kBemerkung]);
            zeile->text(c + LfdNr) = vt::valueText(r[kLfdNr]);
            zeile->farbe(c + Schnitt) = mdl::ZahlAusText(zeile->text(c + Schnitt)) >= grenze ? Hellrot : Weiss;
            zeile->text(c + Zeit) = vt::valueText(r[kZeit]);
            const int datumsFelder[] = {kGeschrieben, kRueckgabe, kAbgabe};
            for (int i = 0; i < 3; ++i) {
                const QDateTime d = mdl::NullZuDatum(r[datumsFelder[i]]);
                if (d > stichtag())
                    zeile->text(c + Geschrieben + i) = d.date().toString(QStringLiteral("dd.MM."));
            }
            if (mdl::NullZuDatum(r[kAbgabe]) > stichtag())
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
    // One decimal, half away from zero on the typed digits (4,25 -> 4,3).
    const qint64 zehntel = qint64(std::llround(d * 10.0 + (d >= 0 ? 1e-9 : -1e-9)));
    const qint64 a = zehntel < 0 ? -zehntel : zehntel;
    return (zehntel < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 10) + QLatin1Char(',')
        + QString::number(a % 10);
}

} // namespace lnw
