// Person search and contact data read from the grade manager.
#include "absence/personensuche.h"
#include "absence/personentabelle.h"
#include "absencefixture.h"

#include <gtest/gtest.h>

using namespace absence;

namespace {

QStringList finden(absencetest::Schule &s, const QString &text)
{
    const Abfrage a = Personensuche::abfrage(text);
    QStringList out;
    s.nm.forEach(a.sql, a.params, [&](const QVariantList &r) {
        out << r[2].toString();
        return true;
    });
    return out;
}

void schueler(absencetest::Schule &s)
{
    s.schueler(1, QStringLiteral("Özdemir"), QStringLiteral("Ayla"), QStringLiteral("5a"));
    s.schueler(2, QStringLiteral("O'Brien"), QStringLiteral("Sean"), QStringLiteral("6b"));
    s.schueler(3, QStringLiteral("*Stern"), QStringLiteral("Nova"), QStringLiteral("7c"));
    s.schueler(4, QStringLiteral("Ostermann"), QStringLiteral("Paul"), QStringLiteral("7c"));
    s.schueler(5, QStringLiteral("de Vries"), QStringLiteral("Jan"), QStringLiteral("8a"));
    s.schueler(6, QStringLiteral("Müller"), QStringLiteral("Lena"), QStringLiteral("8a"));
    s.schueler(7, QStringLiteral("Zorn"), QStringLiteral("Oskar"), QStringLiteral("9d"));
    s.adresse(6, QStringLiteral("Frau"), QStringLiteral("Oberhuber"), QStringLiteral("Eva"), true, QString(),
              QStringLiteral("Oberhuber"));
    s.adresse(6, QStringLiteral("Herrn"), QStringLiteral("Oberhuber"), QStringLiteral("Max"), false);
}

} // namespace

TEST(Personensuche, StartsAtFourCharactersOrATrailingBlank)
{
    for (const char *t : {"Müll", "Mü ", " "})
        EXPECT_TRUE(Personensuche::startet(QString::fromUtf8(t))) << t;
    for (const char *t : {"Mül", "  Mü", ""})
        EXPECT_FALSE(Personensuche::startet(QString::fromUtf8(t))) << t;
}

TEST(Personensuche, FindsNamesAndGuardiansByLiteralPrefixFoldingUmlauts)
{
    absencetest::Schule s;
    schueler(s);
    const struct {
        const char *text;
        QStringList gefunden;
    } faelle[] = {
        {"öz ", {"Özdemir"}},
        {"O'B", {"O'Brien"}},
        // Surname, first name ("Oskar") and guardians (both "Oberhuber", found once) in German order.
        {"o ", {"Müller", "O'Brien", "Ostermann", "Zorn"}},
        {"Oberh", {"Müller"}},
        // Wildcards match only themselves.
        {"* ", {"*Stern"}},
        {"% ", {}},
        {"_ ", {}},
        {"[O] ", {}},
        {"? ", {}},
        // A single blank lists every pupil in German order.
        {" ", {"*Stern", "de Vries", "Müller", "O'Brien", "Ostermann", "Özdemir", "Zorn"}},
    };
    for (const auto &f : faelle)
        EXPECT_EQ(finden(s, QString::fromUtf8(f.text)), f.gefunden) << f.text;
}

TEST(Kontakt, MainContactRowComesFirst)
{
    absencetest::Schule s;
    schueler(s);
    s.nm.exec(QStringLiteral("UPDATE Adressen SET ErzTelefon1 = '0821 55', gilt1 = 1, ErzArt1 = 'Mutter' "
                             "WHERE Hauptansprechpartner = 1"));
    const Kontaktdaten k = Kontakt::lesen(s.nm, QStringLiteral(" 6 "));
    EXPECT_EQ(k.name, QStringLiteral("- Müller, Lena"));
    EXPECT_EQ(k.name1, QStringLiteral("Oberhuber, Eva"));
    EXPECT_EQ(k.name2, QStringLiteral("Oberhuber"));
    EXPECT_EQ(k.telefon1, QStringLiteral("0821 55"));
    EXPECT_EQ(k.art1, QStringLiteral("Mutter"));
    EXPECT_EQ(k.gilt1, QStringLiteral("Wahr"));
    EXPECT_EQ(k.gilt2, QStringLiteral("Falsch"));
    EXPECT_EQ(k.plzOrt, QStringLiteral("86150 Augsburg"));
}

TEST(Personentabelle, FindsPupilsAndTeachersTrimmedAndCaseBlindWithoutALimit)
{
    absencetest::Schule s;
    s.nm.exec(QStringLiteral("BEGIN"));
    for (int i = 1; i <= 4500; ++i)
        s.schueler(i, QStringLiteral("N%1").arg(i), QStringLiteral("V"), QStringLiteral("5a"));
    s.nm.exec(QStringLiteral("COMMIT"));
    s.lehrer(QStringLiteral("Mü"), QStringLiteral("Müller"), QStringLiteral("Hans"));
    s.lehrer(QStringLiteral("X"), QStringLiteral("Admin"), QString());
    Personentabelle p;
    p.laden(s.nm);
    EXPECT_EQ(p.anzahl(), 4502);
    EXPECT_EQ(p.suchen(QStringLiteral("4500")).sname, QStringLiteral("N4500, V"));
    EXPECT_EQ(p.suchen(QStringLiteral(" mÜ ")).sname, QStringLiteral("Müller, Hans"));
    EXPECT_EQ(p.suchen(QStringLiteral("MÜ")).klasse, QStringLiteral("LK"));
    EXPECT_EQ(p.suchen(QStringLiteral("x")).sname, QStringLiteral("Admin,"));
    EXPECT_TRUE(p.suchen(QStringLiteral("4501")).sname.isEmpty());
    EXPECT_TRUE(p.suchen(QString()).klasse.isEmpty());
}
