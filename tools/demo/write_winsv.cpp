// WinSV's data file sd.df1: the grade manager's pupils in WinSV's columns, every value in the
// text form the program shows for the grade manager's column, dates as ISO text; with a few
// planted differences for the comparison.
#include "tools/demo/bulkinsert.h"
#include "tools/demo/writers.h"

#include "platform/db.h"
#include "platform/valuetext.h"

namespace demo {

namespace {

QVariant textOrNull(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    if (v.typeId() == QMetaType::QDate)
        return zdb::isoDate(v.toDate());
    return vt::valueText(v);
}

QString shown(const QVariant &v) { return vt::valueText(v); }

} // namespace

void planDifferences(School &s, Result &res)
{
    Rng &r = s.rng;
    QVector<int> cand;
    for (int i = 0; i < s.pupils.size(); ++i)
        if (s.pupils[i].klasse != QLatin1String("AUS") && s.pupils[i].name != QLatin1String("D'Angelo"))
            cand << i;
    // a fixed-order draw without repetition
    for (int i = int(cand.size()) - 1; i > 0; --i)
        std::swap(cand[i], cand[r.below(i + 1)]);
    int next = 0;
    auto take = [&]() { return next < cand.size() ? cand[next++] : -1; };

    auto field = [&](const QString &header, const QString &column, auto nmOf, auto change) {
        const int p = take();
        if (p < 0)
            return;
        Pupil &pu = s.pupils[p];
        const QVariant nm = nmOf(pu);
        const QVariant sv = change(pu, nm);
        // dates stand in WinSV as ISO text, shown as "dd.mm.yyyy" like the grade manager's
        s.winsvChanges[p][column] = sv.typeId() == QMetaType::QDate ? QVariant(zdb::isoDate(sv.toDate())) : sv;
        res.differences << PlantedDifference{QStringLiteral("Feld"), header, pu.nr, QString::number(pu.winsv),
                                             shown(nm), shown(sv)};
    };
    using V = QVariant;
    field("Name", "FAMILIENNAME", [](Pupil &p) { return V(p.name); },
          [](Pupil &, const V &v) { return V(v.toString() + QStringLiteral("-Sommer")); });
    field("Vorname", "RUFNAME", [](Pupil &p) { return V(p.vorname); },
          [](Pupil &p, const V &v) { return V(v.toString() + (p.geschlecht == "w" ? " Marie" : " Josef")); });
    field("G.", "GESCHLECHT", [](Pupil &p) { return V(p.geschlecht); },
          [](Pupil &, const V &v) { return V(v.toString() == "m" ? QStringLiteral("w") : QStringLiteral("m")); });
    field("Geb.Dat.", "GEBURTSDATUM", [](Pupil &p) { return V(p.geburtsdatum); },
          [](Pupil &, const V &v) { return V(v.toDate().addDays(1)); });
    field("Straße", "ANSCHR1_STR", [](Pupil &p) { return V(p.address.strasse); },
          [](Pupil &, const V &v) {
              QString t = v.toString();
              return V(t.contains(QString::fromUtf8("straße")) ? t.replace(QString::fromUtf8("straße"), "str.") : t + 'a');
          });
    field("PLZ", "ANSCHR1_PLZ", [](Pupil &p) { return V(p.address.plz); },
          [](Pupil &, const V &v) { return V(v.toString() == "84036" ? QStringLiteral("84028") : QStringLiteral("84036")); });
    field("Ort", "ANSCHR1_ORT", [](Pupil &p) { return V(p.address.ort); },
          [](Pupil &, const V &v) { return V(v.toString() + QStringLiteral("-Achdorf")); });
    field("Telefon", "ANSCHR1_TEL", [](Pupil &p) { return p.address.telefon = V(QStringLiteral("0871 4711")); },
          [](Pupil &, const V &) { return V(QStringLiteral("0871 9876543")); });
    field("Telefon", "ANSCHR1_TEL", [](Pupil &p) { return p.address.telefon = V(); }, // unknown in the grade manager
          [](Pupil &, const V &) { return V(QStringLiteral("08703 55555")); });
    field("gilt2", "ANSCHR1_FUER2", [](Pupil &p) { return V(p.address.gilt2); },
          [](Pupil &, const V &v) { return V(vt::valueText(!v.toBool())); });
    field("LRS", "LRS_SCHWAECHE", [](Pupil &p) { return V(p.lrs = false); },
          [](Pupil &, const V &) { return V(vt::valueText(true)); });
    field("Leg.", "LRS_STOERUNG", [](Pupil &p) { return V(p.legasthenie = true); },
          [](Pupil &, const V &) { return V(vt::valueText(false)); });
    field("AR", "AUSBILDUNGSR", [](Pupil &p) { return p.ausbildungsrichtung = V(QStringLiteral("2")); },
          [](Pupil &, const V &) { return V(QStringLiteral("3a")); });

    if (int p = take(); p >= 0) { // another class in WinSV
        Pupil &pu = s.pupils[p];
        QString other = pu.klasse;
        for (const Klasse &k : s.klassen)
            if (k.name != pu.klasse && k.name != QLatin1String("AUS")) {
                other = k.name;
                if (k.stufe == s.klassen[0].stufe || k.name.left(1) == pu.klasse.left(1))
                    break;
            }
        s.winsvChanges[p][QStringLiteral("KLASSE")] = other;
        res.differences << PlantedDifference{QStringLiteral("falscheKlasse"), QStringLiteral("Klasse"), pu.nr,
                                             QString::number(pu.winsv), pu.klasse, other};
    }
    if (int p = take(); p >= 0) { // WinSV writes the id with a leading zero
        Pupil &pu = s.pupils[p];
        const QString id = QStringLiteral("0") + QString::number(pu.winsv);
        s.winsvChanges[p][QStringLiteral("_SCHUELER_ID")] = id;
        res.differences << PlantedDifference{QStringLiteral("Id"), QStringLiteral("WinSVSnr"), pu.nr, id,
                                             QString::number(pu.winsv), id};
    }
    if (int p = take(); p >= 0) { // missing in WinSV
        s.notInWinSV << p;
        res.differences << PlantedDifference{QStringLiteral("nurNM"), {}, s.pupils[p].nr, {}, s.pupils[p].name, {}};
    }
    if (int p = take(); p >= 0) { // has left according to WinSV, still in a class in the grade manager
        s.winsvChanges[p][QStringLiteral("AUSTR_DATUM")] = zdb::isoDate(s.today.addDays(-20));
        res.differences << PlantedDifference{QStringLiteral("nurNM"), QStringLiteral("AUSTR_DATUM"), s.pupils[p].nr,
                                             QString::number(s.pupils[p].winsv), s.pupils[p].name, {}};
    }
    if (int p = take(); p >= 0) { // no address row in the grade manager: the comparison cannot pair it
        s.pupils[p].hasAddress = false;
        res.differences << PlantedDifference{QStringLiteral("nurWinSV"), QStringLiteral("Adressen"), s.pupils[p].nr,
                                             QString::number(s.pupils[p].winsv), {}, s.pupils[p].name};
    }
    if (!s.klassen.isEmpty() && s.klassen.size() > 1) { // a new pupil WinSV knows and the grade manager not yet
        QHash<QString, QVariant> row{{"_SCHUELER_ID", QStringLiteral("99001")},
                                     {"KLASSE", s.klassen[0].name},
                                     {"FAMILIENNAME", QString::fromUtf8("Öztürk")},
                                     {"RUFNAME", QStringLiteral("Emre")},
                                     {"GESCHLECHT", QStringLiteral("m")},
                                     {"GEBURTSDATUM", zdb::isoDate(QDate(s.schoolYearStart.year() - 11, 3, 14))},
                                     {"ANSCHR1_STR", QString::fromUtf8("Schloßallee 4")},
                                     {"ANSCHR1_PLZ", QStringLiteral("84028")},
                                     {"ANSCHR1_ORT", QStringLiteral("Landshut")},
                                     {"ANSCHR1_FUER1", vt::valueText(true)},
                                     {"ANSCHR1_FUER2", vt::valueText(true)},
                                     {"LRS_SCHWAECHE", vt::valueText(false)},
                                     {"LRS_STOERUNG", vt::valueText(false)}};
        s.onlyInWinSV << row;
        res.differences << PlantedDifference{QStringLiteral("nurWinSV"), {}, 0, QStringLiteral("99001"), {},
                                             QString::fromUtf8("Öztürk")};
        // one more who has already left: not attending, so listed nowhere
        row[QStringLiteral("_SCHUELER_ID")] = QStringLiteral("99002");
        row[QStringLiteral("RUFNAME")] = QStringLiteral("Elif");
        row[QStringLiteral("GESCHLECHT")] = QStringLiteral("w");
        row[QStringLiteral("AUSTR_DATUM")] = zdb::isoDate(s.today.addDays(-100));
        s.onlyInWinSV << row;
    }
}

void writeWinSV(School &s, zdb::Db &db, Result &)
{
    nmschema::createWinSV(db);
    const QVector<nmschema::Table> tables = nmschema::winsvTables();
    const QStringList cols = nmschema::findTable(tables, QStringLiteral("DSchueler"))->columnNames();
    zdb::WriteTransaction tx(db);
    {
        BulkInsert ins(db, QStringLiteral("DSchueler"), cols);
        for (int i = 0; i < s.pupils.size(); ++i) {
            if (s.notInWinSV.contains(i))
                continue;
            const Pupil &p = s.pupils[i];
            const Address &a = p.address;
            const bool left = p.klasse == QLatin1String("AUS");
            const int stufe = p.klasse.left(p.klasse.size() - 1).toInt();
            QHash<QString, QVariant> v{
                {"_SCHUELER_ID", QString::number(p.winsv)},
                {"KLASSE", left ? QStringLiteral("10a") : p.klasse},
                {"FAMILIENNAME", p.name},
                {"RUFNAME", p.vorname},
                {"GESCHLECHT", p.geschlecht},
                {"AUSBILDUNGSR", textOrNull(p.ausbildungsrichtung)},
                {"GEBURTSDATUM", zdb::isoDate(p.geburtsdatum)},
                {"AUSTR_DATUM", left ? QVariant(zdb::isoDate(s.schoolYearStart.addDays(-10))) : QVariant()},
                {"ANSCHR1_STR", a.strasse},
                {"ANSCHR1_PLZ", a.plz},
                {"ANSCHR1_ORT", a.ort},
                {"ANSCHR1_TEL", textOrNull(a.telefon)},
                {"ANSCHR1_FUER1", vt::valueText(a.gilt1)},
                {"ANSCHR1_FUER2", vt::valueText(a.gilt2)},
                {"LRS_SCHWAECHE", vt::valueText(p.lrs)},
                {"LRS_STOERUNG", vt::valueText(p.legasthenie)},
                {"VORJAHR_KLASSE", stufe > 5 ? QVariant(QString::number(stufe - 1) + p.klasse.right(1)) : QVariant()},
                {"JAHRGANGSSTUFE", stufe ? QVariant(QString::number(stufe)) : QVariant()}};
            if (!a.gilt2) { // the other parent lives elsewhere
                v[QStringLiteral("ANSCHR2_STR")] = QStringLiteral("Am Anger 2");
                v[QStringLiteral("ANSCHR2_PLZ")] = QStringLiteral("84030");
                v[QStringLiteral("ANSCHR2_ORT")] = QStringLiteral("Ergolding");
                v[QStringLiteral("ANSCHR2_FUER1")] = vt::valueText(false);
                v[QStringLiteral("ANSCHR2_FUER2")] = vt::valueText(true);
            }
            for (auto it = s.winsvChanges.value(i).cbegin(); it != s.winsvChanges.value(i).cend(); ++it)
                v[it.key()] = it.value();
            QVariantList row;
            for (const QString &c : cols)
                row << v.value(c);
            ins.add(row);
        }
        for (const auto &extra : s.onlyInWinSV) {
            QVariantList row;
            for (const QString &c : cols)
                row << extra.value(c);
            ins.add(row);
        }
    }
    {
        BulkInsert kl(db, QStringLiteral("DKlassen"), {"K_NAME", "K_LEITER", "K_LEITER_TITEL", "K_LEITER_GESCHL"});
        for (const Klasse &k : s.klassen) {
            const Teacher *t = s.teacher(k.leiter);
            if (k.name == QLatin1String("AUS"))
                continue;
            kl.add({k.name, t ? QVariant(t->name) : QVariant(), t ? QVariant(t->titel) : QVariant(),
                    t ? QVariant(t->geschlecht.toUpper()) : QVariant()});
        }
    }
    {
        // report rows of grade 10: annual grades, oral-exam marks, exam and final grades
        QStringList zcols{QStringLiteral("_Z_SCHUELER_ID")};
        zcols << nmschema::zeugnisFields();
        BulkInsert ze(db, QStringLiteral("DZeugnis"), zcols);
        Rng &r = s.rng;
        for (const Pupil &p : s.pupils) {
            if (!p.klasse.startsWith(QLatin1String("10")))
                continue;
            const QString ar = p.ausbildungsrichtung.toString();
            QVariantList row(91);
            row[0] = QString::number(p.winsv);
            const int base = 1 + r.below(4);
            auto g = [&]() { return QString::number(std::clamp(base + r.between(-1, 2), 1, 6)); };
            // Z_01..Z_25: Rel Eth D E F M Inf Ph Ch B Erz G WiR Sk BwR Sow S Mu Ku We TZ TG HE TvK IT
            const QList<int> taken = {0, 2, 3, 5, 7, 9, 11, 12, 13, 14, 16};
            for (int i : taken)
                row[1 + i] = g();
            if (ar == QLatin1String("3a"))
                row[1 + 4] = g();
            if (p.bekenntnis.toString() != QLatin1String("RK") && p.bekenntnis.toString() != QLatin1String("EV")) {
                row[1 + 1] = row[1 + 0];
                row[1 + 0] = QVariant();
            }
            for (int i : taken) { // early oral examination offered for a grade above 4
                const QString jfn = row[1 + i].toString();
                row[26 + i] = jfn.toInt() > 4 ? QStringLiteral("j ") : QStringLiteral("  ");
            }
            for (int i : {52, 53, 54, 56}) // D, E, M, fourth subject: written and oral part
                row[i] = g() + (r.chance(20) ? g() : QStringLiteral(" "));
            if (ar == QLatin1String("3a"))
                row[55] = g() + ' ';
            if (ar == QLatin1String("1"))
                row[57] = g() + ' ';
            if (ar == QLatin1String("2"))
                row[58] = g() + ' ';
            // final grades: D E F M Ph BwR carry the exam grade first, the others are one grade
            const QList<int> mitPruefung = {2, 3, 4, 5, 7, 14};
            for (int i : taken) {
                const QString pruefung = g(), endnote = g();
                row[66 + i] = mitPruefung.contains(i) ? pruefung + endnote : endnote;
            }
            if (ar == QLatin1String("3a"))
                row[66 + 4] = row[55].toString().left(1) + row[1 + 4].toString();
            ze.add(row);
        }
    }
    tx.commit();
}

} // namespace demo
