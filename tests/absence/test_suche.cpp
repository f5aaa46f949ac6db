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
    s.schueler(1, "Özdemir", "Ayla", "5a");
    s.schueler(2, "O'Brien", "Sean", "6b");
    s.schueler(3, "*Stern", "Nova", "7c");
    s.schueler(4, "Ostermann", "Paul", "7c");
    s.schueler(5, "de Vries", "Jan", "8a");
    s.schueler(6, "Müller", "Lena", "8a");
    s.schueler(7, "Zorn", "Oskar", "9d");
    s.adresse(6, "Frau", "Oberhuber", "Eva", true, QString(), "Oberhuber");
    s.adresse(6, "Herrn", "Oberhuber", "Max", false);
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
        {" ", {"*Stern", "de Vries", "Müller", "O'Brien", "Ostermann", "Özdemir", "Zorn"}}, };
    for (const auto &f : faelle)
        EXPECT_EQ(finden(s, QString::fromUtf8(f.text)), f.gefunden) << f.text;
}

// Letters a German keyboard cannot type are found by the keyboard letter they look like, in names
// and guardians' names alike; the letters themselves still find them.
TEST(Personensuche, LettersBeyondTheKeyboardAreFoundByTheirKeyboardLetter)
{
    absencetest::Schule s;
    s.schueler(1, "Yılmaz", "Can", "5a");
    s.schueler(2, "Yilmer", "Ida", "5a");
    s.schueler(3, "Łukasz", "Ola", "6b");
    s.schueler(4, "Ørsted", "Dag", "6b");
    s.schueler(5, "Đukić", "Ana", "7c");
    s.schueler(6, "Berg", "İlkay", "7c");
    s.schueler(7, "Kern", "Tom", "8a");
    s.adresse(7, "Frau", "Yıldız", "Ayşe");
    const struct {
        const char *text;
        QStringList gefunden;
    } faelle[] = {{"Yilm", {"Yilmer", "Yılmaz"}}, {"YILM", {"Yilmer", "Yılmaz"}}, {"yılm", {"Yilmer", "Yılmaz"}},
                  {"Yıld", {"Kern"}},             {"Luka", {"Łukasz"}},           {"Orst", {"Ørsted"}},
                  {"duki", {"Đukić"}},            {"ilka", {"Berg"}},             {"Yilz", {}}};
    for (const auto &f : faelle) {
        QStringList gefunden = finden(s, QString::fromUtf8(f.text));
        gefunden.sort();
        EXPECT_EQ(gefunden, f.gefunden) << f.text;
    }
}

TEST(Kontakt, MainContactRowComesFirst)
{
    absencetest::Schule s;
    schueler(s);
    s.nm.exec(QStringLiteral("UPDATE Adressen SET ErzTelefon1 = '0821 55', gilt1 = 1, ErzArt1 = 'Mutter' "
                             "WHERE Hauptansprechpartner = 1"));
    const Kontaktdaten k = Kontakt::lesen(s.nm, " 6 ");
    EXPECT_EQ(QStringList({k.name, k.name1, k.name2, k.telefon1, k.art1, k.gilt1, k.gilt2, k.plzOrt}),
              QStringList({"- Müller, Lena", "Oberhuber, Eva", "Oberhuber", "0821 55", "Mutter", "Wahr", "Falsch",
                           "86150 Augsburg"}));
}

// Any non-zero flag is Yes: a flag stored as -1 (a file converted from Access) makes the main contact
// too; of two main contacts, and without one, the first written row.
TEST(Kontakt, AnyNonZeroFlagMakesTheMainContact)
{
    absencetest::Schule s;
    const struct {
        qint64 nr;
        QVariantList flaggen;
        QString erz; // ErzName1 of the row shown
    } faelle[] = {{20, {0, -1}, "Erz1"}, {21, {0, 0}, "Erz0"}, {22, {0, -1, 1}, "Erz1"}, {23, {2, 0}, "Erz0"},
                  // a flag stored as text reads as every Yes/No: "Falsch", "Nein", "0" and "" are No
                  {30, {"Falsch", 1}, "Erz1"}, {31, {"", "Wahr"}, "Erz1"}, {32, {" 0", "-1"}, "Erz1"},
                  {33, {"false", "0"}, "Erz0"}, {34, {"Nein", "wahr"}, "Erz1"}};
    for (const auto &f : faelle) {
        s.schueler(f.nr, "Name", "Vor", "5a");
        for (int i = 0; i < f.flaggen.size(); ++i) {
            s.adresse(f.nr, "Frau", QStringLiteral("Erz%1").arg(i), "Eva", false);
            s.nm.exec("UPDATE Adressen SET Hauptansprechpartner = ? WHERE rowid = last_insert_rowid()", {f.flaggen[i]});
        }
        EXPECT_EQ(Kontakt::lesen(s.nm, QString::number(f.nr)).name1, f.erz + ", Eva") << f.nr;
    }
}

TEST(Personentabelle, FindsPupilsAndTeachersTrimmedAndCaseBlindWithoutALimit)
{
    absencetest::Schule s;
    s.nm.exec("BEGIN");
    for (int i = 1; i <= 4500; ++i)
        s.schueler(i, QString("N%1").arg(i), "V", "5a");
    s.nm.exec("COMMIT");
    s.lehrer("Mü", "Müller", "Hans");
    s.lehrer("X", "Admin", QString());
    Personentabelle p;
    p.laden(s.nm);
    EXPECT_EQ(p.anzahl(), 4502);
    EXPECT_EQ(p.suchen("4500").sname, "N4500, V");
    EXPECT_EQ(p.suchen(" mÜ ").sname, "Müller, Hans");
    EXPECT_EQ(p.suchen("MÜ").klasse, "LK");
    EXPECT_EQ(p.suchen("x").sname, "Admin,");
    EXPECT_TRUE(p.suchen("4501").sname.isEmpty());
    EXPECT_TRUE(p.suchen(QString()).klasse.isEmpty());
}
