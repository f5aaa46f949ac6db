// Class list: rights, order, the persons of a class and the class-has-reported marks.
#include "absence/klassenliste.h"
#include "absence/tagesliste.h"
#include "absence/worddokumente.h"
#include "absencefixture.h"
#include "core/mdl_zandrel.h"

#include <gtest/gtest.h>

using namespace absence;

namespace {

void schuleMitKlassen(absencetest::Schule &s)
{
    s.lehrer("MÜ", "Müller", "Hans");
    s.lehrer("HU", "Huber", "Eva");
    s.lehrer("X", "Admin", QString());
    s.lehrer("xs", "Sekretariat", QString());
    s.klasse("10b", "HU");
    s.klasse("5a", "mü ");
    s.klasse("Musik", "HU");
    s.klasse("19a", QString());
    s.klasse("AUS", "MÜ");
    s.klasse("5b", "ZZ");
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
    const auto z = Klassenliste::laden(s.nm, "x");
    EXPECT_EQ(namen(z), QStringList({"5a", "5b", "10b", "19a", "AUS", "Musik", "LK"}));
    EXPECT_EQ(z[0].name, "Müller, Hans");
    EXPECT_EQ(z[0].klassenleiter, "mü");
    EXPECT_EQ(z[1].name, ", "); // unknown class teacher
    EXPECT_EQ(z[4].name, QString()); // "AUS" has no teacher shown
    EXPECT_EQ(z[4].klassenleiter, QString());
    EXPECT_TRUE(z.last().istLK);
    EXPECT_EQ(Klassenliste::stufenwechsel(z), QVector<bool>({true, false, true, true, true, false, false}));
}

// A class's teacher is the one whose abbreviation equals the stored one exactly, else the one
// teacher it equals without regard to case: "öz" is Özkan's class only, never listed twice.
TEST(Klassenliste, TheClassTeacherIsThePersonTheStoredAbbreviationBelongsTo)
{
    absencetest::Schule s;
    s.lehrer("Öz", "Özer", "Ada");
    s.lehrer("öz", "Özkan", "Ben");
    s.klasse("7c", "öz");
    s.klasse("7d", " Öz ");
    s.klasse("7e", "ÖZ"); // neither of them: no teacher named
    s.klasse("7f", "ZEL");
    s.lehrer("Zel", "Zeller", "Udo");
    const auto z = Klassenliste::laden(s.nm, "x");
    QStringList zeilen;
    for (const KlassenZeile &k : z)
        if (k.klasse.startsWith("7"))
            zeilen << k.klasse + "=" + k.name;
    EXPECT_EQ(zeilen, QStringList({"7c=Özkan, Ben", "7d=Özer, Ada", "7e=, ", "7f=Zeller, Udo"}));
    // Each of the two sees her own class; a spelling of neither sees both, as upper case compares.
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, "öz")), QStringList({"7c"}));
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, "Öz")), QStringList({"7d"}));
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, "ÖZ")), QStringList({"7c", "7d", "7e"}));
    s.lehrer("Maß", "Maßmann", "Eva");
    s.klasse("8a", "Maß");
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, "Maß")), QStringList({"8a"}));
}

// Course groups are ordered by their leading grade, not read as numbers with an exponent ("5e2"
// is grade 5, not 500); the day list keys them the same way.
TEST(Klassenliste, CourseGroupsFollowTheirLeadingGrade)
{
    absencetest::Schule s;
    for (const char *k : {"10e1", "5e2", "10a", "5d1", "6b", "Musik"})
        s.klasse(QString::fromUtf8(k), "HU");
    const auto z = Klassenliste::laden(s.nm, "x");
    EXPECT_EQ(namen(z), QStringList({"5d1", "5e2", "6b", "10a", "10e1", "Musik", "LK"}));
    EXPECT_EQ(Klassenliste::stufenwechsel(z), QVector<bool>({true, false, true, true, false, true, false}));
    EXPECT_EQ(Tagesliste::schluessel("5e2", "Abel, Anna"), "055e2Abel, Anna");
    EXPECT_EQ(Tagesliste::schluessel("10e1", "Abel, Anna"), "1010e1Abel, Anna");
}

TEST(Klassenliste, ClassTeacherSeesAndOpensOnlyHisClassesAndNoTeachersRow)
{
    absencetest::Schule s;
    schuleMitKlassen(s);
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, "hu")), QStringList({"10b", "Musik"}));
    EXPECT_EQ(namen(Klassenliste::laden(s.nm, "MÜ")), QStringList({"5a", "AUS"}));
    EXPECT_TRUE(Klassenliste::laden(s.nm, "KE").isEmpty());

    EXPECT_TRUE(Klassenliste::darfKlasseAufrufen("xs", "HU"));
    EXPECT_TRUE(Klassenliste::darfKlasseAufrufen("hu", " HU "));
    EXPECT_FALSE(Klassenliste::darfKlasseAufrufen("HU", "MÜ"));
    EXPECT_FALSE(Klassenliste::darfKlasseAufrufen("HU", QString())); // "AUS" carries no teacher
    EXPECT_FALSE(Klassenliste::istVerwaltung(" X")); // the user as typed: " X" is not "X"
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
    s.schueler(1, "Abel", "A", "AUS");
    s.schueler(2, "Bauer", "B", "AUS2");
    s.schueler(3, "Cem", "C", "aus-x");
    s.schueler(4, "Dorn", "D", "5a");
    s.schueler(5, "Ernst", "E", "5a_");
    s.schueler(6, "Fink", "F", "O'Neil");
    EXPECT_EQ(personen(s, "AUS"), QStringList({"1:Abel", "2:Bauer", "3:Cem"}));
    EXPECT_EQ(personen(s, "AUS2"), QStringList({"2:Bauer"}));
    EXPECT_EQ(personen(s, "5a"), QStringList({"4:Dorn"}));
    EXPECT_EQ(personen(s, " 5A"), QStringList({"4:Dorn"}));
    EXPECT_EQ(personen(s, "O'Neil"), QStringList({"6:Fink"}));
    // Letters beyond ASCII compare without regard to case too, also where they fold into ASCII.
    s.schueler(7, "Gül", "G", "5ä");
    s.schueler(8, "Hahn", "H", "\u017F1");
    EXPECT_EQ(personen(s, "5Ä "), QStringList({"7:Gül"}));
    EXPECT_EQ(personen(s, "S1"), QStringList({"8:Hahn"}));
    // Pattern characters in a class name are plain letters of it; padding and case still do not count.
    s.schueler(10, "Jung", "J", "\u212A2");
    s.schueler(11, "Kern", "K", "  7*b ");
    s.schueler(12, "Lutz", "L", "7?B");
    s.schueler(13, "Maas", "M", "[7]c");
    s.schueler(14, "Nolte", "N", "7xb");
    EXPECT_EQ(personen(s, "k2"), QStringList({"10:Jung"}));
    EXPECT_EQ(personen(s, "7*B"), QStringList({"11:Kern"}));
    EXPECT_EQ(personen(s, "7?b"), QStringList({"12:Lutz"}));
    EXPECT_EQ(personen(s, "[7]C"), QStringList({"13:Maas"}));
    EXPECT_EQ(personen(s, "2"), QStringList());

    // The class report takes the class "AUS" alone (its name trimmed, in any case).
    s.schueler(9, "Ida", "I", " aus ");
    QStringList bericht;
    for (const BerichtsPerson &p : berichtsPersonen(s.nm, "AUS"))
        bericht << p.id + QLatin1Char(':') + p.name;
    EXPECT_EQ(bericht, QStringList({"1:Abel", "9:Ida"}));
}

TEST(Klassenliste, TeachersRowLeavesOutXAndXSInGermanNameOrder)
{
    absencetest::Schule s;
    s.lehrer("ÖZ", "Özdemir", "Ali");
    s.lehrer("MÜ", "Müller", "Hans");
    s.lehrer("DV", "de Vries", "Jan");
    s.lehrer("ZA", "Zander", "Ute");
    s.lehrer("X", "Admin", QString());
    s.lehrer("xs", "Büro", QString());
    EXPECT_EQ(personen(s, "LK"), QStringList({"DV:de Vries", "MÜ:Müller", "ÖZ:Özdemir", "ZA:Zander"}));
}

TEST(KlasseGemeldet, TickRoundTripAddsOneRowPerClassAndDay)
{
    absencetest::Schule s;
    const QDate heute = QDate::currentDate();
    KlasseGemeldet::speichern(mdl::dbEigen, "5a ", "07:55", heute);
    auto zweiter = s.zweiterArbeitsplatz();
    KlasseGemeldet::speichern(*zweiter, "5A", "08:10", heute);
    EXPECT_EQ(s.anzahl("SELECT COUNT(*) FROM tbl_KlasseGemeldet"), 1);
    auto m = KlasseGemeldet::desTages(mdl::dbEigen, heute);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].klasse, "5a");
    EXPECT_EQ(m[0].zeit, "08:10");
    // Taken back: the row stays with an empty time; yesterday's rows are not today's.
    KlasseGemeldet::speichern(mdl::dbEigen, "5a", QString(), heute);
    KlasseGemeldet::speichern(mdl::dbEigen, "6c", "07:00", heute.addDays(-1));
    m = KlasseGemeldet::desTages(*zweiter, heute);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].zeit, QString());
}
