// Class list: rights, order, the persons of a class and the class-has-reported marks.
#include "absence/klassenliste.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"

#include <gtest/gtest.h>

using namespace absence;

namespace {

void schuleMitKlassen(absencetest::Schule &s)
{
    s.lehrer(QStringLiteral("MÜ"), QStringLiteral("Müller"), QStringLiteral("Hans"));
    s.lehrer(QStringLiteral("HU"), QStringLiteral("Huber"), QStringLiteral("Eva"));
    s.lehrer(QStringLiteral("X"), QStringLiteral("Admin"), QString());
    s.lehrer(QStringLiteral("xs"), QStringLiteral("Sekretariat"), QString());
    s.klasse(QStringLiteral("10b"), QStringLiteral("HU"));
    s.klasse(QStringLiteral("5a"), QStringLiteral("mü "));
    s.klasse(QStringLiteral("Musik"), QStringLiteral("HU"));
    s.klasse(QStringLiteral("19a"), QString());
    s.klasse(QStringLiteral("AUS"), QStringLiteral("MÜ"));
    s.klasse(QStringLiteral("5b"), QStringLiteral("ZZ"));
}

QStringList namen(const QVector<KlassenZeile> &z)
{
    QStringList n;
    for (const KlassenZeile &k : z)
        n << k.klasse;
    return n;
}

} // namespace

TEST(Klassenliste, AdministratorSeesEveryClassInGradeOrderAndTheTeachers)
{
    absencetest::Schule s;
    schuleMitKlassen(s);
    const auto z = Klassenliste::laden(s.nm, QStringLiteral("x"));
    EXPECT_EQ(namen(z), QStringList({"5a", "5b", "10b", "19a", "AUS", "Musik", "LK"}));
    EXPECT_EQ(z[0].name, QStringLiteral("Müller, Hans"));
    EXPECT_EQ(z[0].klassenleiter, QStringLiteral("mü"));
    EXPECT_EQ(z[1].name, QStringLiteral(", ")); // unknown class teacher
    EXPECT_EQ(z[4].name, QString());            // "AUS" has no teacher shown
    EXPECT_EQ(z[4].klassenleiter, QString());
    EXPECT_TRUE(z.last().istLK);
    EXPECT_EQ(Klassenliste::stufenwechsel(z), QVector<bool>({true, false, true, true, true, false, false}));
}

TEST(Klassenliste, ClassTeacherSeesOnlyHisClassesAndNoTeachersRow)
{
    absencetest::Schule s;
    schuleMitKlassen(s);
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, QStringLiteral("hu"))), QStringList({"10b", "Musik"}));
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, QStringLiteral("MÜ"))), QStringList({"5a", "AUS"}));
    EXPECT_TRUE(Klassenliste::laden(s.nm, QStringLiteral("KE")).isEmpty());
}

TEST(Klassenliste, OnlyTheOwnClassMayBeOpened)
{
    EXPECT_TRUE(Klassenliste::darfKlasseAufrufen(QStringLiteral("xs"), QStringLiteral("HU")));
    EXPECT_TRUE(Klassenliste::darfKlasseAufrufen(QStringLiteral("hu"), QStringLiteral(" HU ")));
    EXPECT_FALSE(Klassenliste::darfKlasseAufrufen(QStringLiteral("HU"), QStringLiteral("MÜ")));
    EXPECT_FALSE(Klassenliste::darfKlasseAufrufen(QStringLiteral("HU"), QString())); // "AUS" carries no teacher
    // The user as typed counts for the administrator test: " X" is not "X".
    EXPECT_FALSE(Klassenliste::istVerwaltung(QStringLiteral(" X")));
}

namespace {
QStringList personen(absencetest::Schule &s, const QString &klasse)
{
    const Abfrage a = Klassenliste::personenDerKlasse(klasse);
    QStringList out;
    s.nm.forEach(a.sql, a.params, [&](const QVariantList &r) {
        out << r[0].toString() + QLatin1Char(':') + r[2].toString();
        return true;
    });
    return out;
}
} // namespace

TEST(Klassenliste, AUSLoadsEveryAUSClassAndOtherNamesMatchLiterally)
{
    absencetest::Schule s;
    s.schueler(1, QStringLiteral("Abel"), QStringLiteral("A"), QStringLiteral("AUS"));
    s.schueler(2, QStringLiteral("Bauer"), QStringLiteral("B"), QStringLiteral("AUS2"));
    s.schueler(3, QStringLiteral("Cem"), QStringLiteral("C"), QStringLiteral("aus-x"));
    s.schueler(4, QStringLiteral("Dorn"), QStringLiteral("D"), QStringLiteral("5a"));
    s.schueler(5, QStringLiteral("Ernst"), QStringLiteral("E"), QStringLiteral("5a_"));
    s.schueler(6, QStringLiteral("Fink"), QStringLiteral("F"), QStringLiteral("O'Neil"));
    EXPECT_EQ(personen(s, QStringLiteral("AUS")), QStringList({"1:Abel", "2:Bauer", "3:Cem"}));
    EXPECT_EQ(personen(s, QStringLiteral("AUS2")), QStringList({"2:Bauer"}));
    EXPECT_EQ(personen(s, QStringLiteral("5a")), QStringList({"4:Dorn"}));
    EXPECT_EQ(personen(s, QStringLiteral(" 5A")), QStringList({"4:Dorn"}));
    EXPECT_EQ(personen(s, QStringLiteral("O'Neil")), QStringList({"6:Fink"}));
}

TEST(Klassenliste, TeachersRowLeavesOutXAndXSInGermanNameOrder)
{
    absencetest::Schule s;
    s.lehrer(QStringLiteral("ÖZ"), QStringLiteral("Özdemir"), QStringLiteral("Ali"));
    s.lehrer(QStringLiteral("MÜ"), QStringLiteral("Müller"), QStringLiteral("Hans"));
    s.lehrer(QStringLiteral("DV"), QStringLiteral("de Vries"), QStringLiteral("Jan"));
    s.lehrer(QStringLiteral("ZA"), QStringLiteral("Zander"), QStringLiteral("Ute"));
    s.lehrer(QStringLiteral("X"), QStringLiteral("Admin"), QString());
    s.lehrer(QStringLiteral("xs"), QStringLiteral("Büro"), QString());
    EXPECT_EQ(personen(s, QStringLiteral("LK")), QStringList({"DV:de Vries", "MÜ:Müller", "ÖZ:Özdemir", "ZA:Zander"}));
}

TEST(KlasseGemeldet, TickRoundTripAddsOneRowPerClassAndDay)
{
    absencetest::Schule s;
    const QDate heute = QDate::currentDate();
    KlasseGemeldet::speichern(mdl::dbEigen, QStringLiteral("5a "), QStringLiteral("07:55"), heute);
    auto zweiter = s.zweiterArbeitsplatz();
    KlasseGemeldet::speichern(*zweiter, QStringLiteral("5A"), QStringLiteral("08:10"), heute);
    EXPECT_EQ(s.anzahl(QStringLiteral("SELECT COUNT(*) FROM tbl_KlasseGemeldet")), 1);
    auto m = KlasseGemeldet::desTages(mdl::dbEigen, heute);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].klasse, QStringLiteral("5a"));
    EXPECT_EQ(m[0].zeit, QStringLiteral("08:10"));
    // Taken back: the row stays with an empty time; yesterday's rows are not today's.
    KlasseGemeldet::speichern(mdl::dbEigen, QStringLiteral("5a"), QString(), heute);
    KlasseGemeldet::speichern(mdl::dbEigen, QStringLiteral("6c"), QStringLiteral("07:00"), heute.addDays(-1));
    m = KlasseGemeldet::desTages(*zweiter, heute);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].zeit, QString());
}
