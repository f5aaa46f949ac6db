#include "platform/valuetext.h"

#include <QDateTime>
#include <gtest/gtest.h>

using vt::textValue;
using vt::valueText;

TEST(ValueText, ValuesAsTheProgramShowsThem)
{
    EXPECT_EQ(valueText(4), QString("4"));
    EXPECT_EQ(valueText(4.0), QString("4"));
    EXPECT_EQ(valueText(1.5), QString("1,5"));
    EXPECT_EQ(valueText(-0.25), QString("-0,25"));
    EXPECT_EQ(valueText(QVariant()), QString());
    EXPECT_EQ(valueText(true), QString("Wahr"));
    EXPECT_EQ(valueText(false), QString("Falsch"));
    EXPECT_EQ(valueText(QDate(2024, 3, 5)), QString("05.03.2024"));
    EXPECT_EQ(valueText(QDateTime(QDate(2024, 3, 5), QTime(8, 7, 9))), QString("05.03.2024 08:07:09"));
    EXPECT_EQ(valueText(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), QString("05.03.2024"));
    EXPECT_EQ(valueText(QString("Müller")), QString("Müller"));
}

TEST(ValueText, TextsReadBackIntoValuesSecondsIncluded)
{
    EXPECT_EQ(textValue("4"), QVariant(qlonglong(4)));
    EXPECT_DOUBLE_EQ(textValue("1,5").toDouble(), 1.5);
    EXPECT_EQ(textValue("1,5").typeId(), QMetaType::Double);
    EXPECT_FALSE(textValue("").isValid());
    EXPECT_EQ(textValue("Wahr"), QVariant(true));
    EXPECT_EQ(textValue("Falsch"), QVariant(false));
    EXPECT_EQ(textValue("05.03.2024"), QVariant(QDate(2024, 3, 5)));
    EXPECT_EQ(textValue("05.03.2024 08:07:09"), QVariant(QDateTime(QDate(2024, 3, 5), QTime(8, 7, 9))));
}

TEST(ValueText, EveryTextSurvivesTheWayBack)
{
    // Ids with leading zeros, decimals with trailing zeros and impossible dates stay texts.
    for (const char *t : {"4", "-12", "1,5", "0,25", "Wahr", "Falsch", "05.03.2024", "29.02.2024 23:59:59", "007",
                          "1,50", "31.02.2024", "1.5", "5a", "O'Brien", " 4", "4 ", "+4", "-0"}) {
        const QString s = QString::fromUtf8(t);
        EXPECT_EQ(valueText(textValue(s)), s) << t;
    }
    EXPECT_EQ(textValue("007").typeId(), QMetaType::QString);
    EXPECT_EQ(textValue("31.02.2024").typeId(), QMetaType::QString);
}

TEST(ValueText, NumbersTypedWithPointOrComma)
{
    double d = 0;
    EXPECT_TRUE(vt::parseNumber("1,5", &d));
    EXPECT_DOUBLE_EQ(d, 1.5);
    EXPECT_TRUE(vt::parseNumber(" 2.25 ", &d));
    EXPECT_DOUBLE_EQ(d, 2.25);
    EXPECT_FALSE(vt::parseNumber("1,5a", &d));
    EXPECT_FALSE(vt::parseNumber("", &d));
    EXPECT_EQ(vt::parseDate("5.3.24"), QDate(2024, 3, 5));
    EXPECT_EQ(vt::parseDate("2024-03-05"), QDate(2024, 3, 5));
    EXPECT_FALSE(vt::parseDate("30.02.2024").isValid());
}

TEST(ValueText, DatesWithAndWithoutTime)
{
    // text, expected "yyyy-MM-dd HH:mm:ss.zzz" ("" when no date)
    const QList<std::pair<const char *, QString>> faelle{
        {"2014-02-04", "2014-02-04 00:00:00.000"},       {"04.02.2014", "2014-02-04 00:00:00.000"},
        {" 4.2.2014 ", "2014-02-04 00:00:00.000"},       {"4.2.14", "2014-02-04 00:00:00.000"},
        {"4.2.95", "1995-02-04 00:00:00.000"},           {"2014-02-04 10:30:15", "2014-02-04 10:30:15.000"},
        {"2014-02-04T07:05", "2014-02-04 07:05:00.000"}, {"04.02.2014 10:30", "2014-02-04 10:30:00.000"},
        {"4.2.2014 9:05:01", "2014-02-04 09:05:01.000"}, {"2014-02-04 10:30:15.25", "2014-02-04 10:30:15.250"},
        {"2014-02-04 10:30:15.25678", "2014-02-04 10:30:15.256"}, {"123.4.2014", ""}, {"4.2.201", ""},
        {"31.02.2014", ""}, {"04.02.2014 25:00", ""}, {"04.02.2014 10", ""}, {"Februar 2014", ""},
        {"2014-2-4", ""}, {"", ""}, {"10:30", ""}};
    for (const auto &[text, erwartet] : faelle) {
        const QDateTime dt = vt::parseDateTime(QString::fromUtf8(text));
        EXPECT_EQ(dt.isValid() ? dt.toString("yyyy-MM-dd HH:mm:ss.zzz") : QString(), erwartet) << text;
    }
    // The date reader alone keeps to dates.
    EXPECT_FALSE(vt::parseDate("04.02.2014 10:30").isValid());
}

TEST(ValueText, TrimRemovesBlanksOnlyAndUpperCaseKeepsSharpS)
{
    EXPECT_EQ(vt::trimBlanks("  a b  "), QString("a b"));
    EXPECT_EQ(vt::trimBlanks("\ta\t"), QString("\ta\t"));
    EXPECT_EQ(vt::upperTrim(" straße\t "), QString("STRAßE\t"));
    EXPECT_EQ(vt::upperCase("müller"), QString("MÜLLER"));
}

// The one rule by which a stored person id names a person: blanks trimmed, case ignored as German
// ignores it, canonically equal forms alike; and only that.
TEST(ValueText, IdComparisonFormJoinsEveryCaseFormOfALetterAndNothingElse)
{
    const struct {
        const char *a, *b;
        bool gleich;
    } faelle[] = {
        {" Ab ", "aB", true},        {"12", "123", false},          {"ab\t", "ab", false},
        {"Yıl", "YIL", true},        {"Yıl", "yil", true},          {"İk", "i\u0307K", true},
        {"İk", "Ik", false},         {"ſa", "SA", true},            {"\u212Ao", "ko", true},
        {"\u212Bs", "ÅS", true},     {"\u212Bs", "A\u030As", true}, {"\u212Bs", "As", false},
        {"Maß", "MASS", true},       {"Maẞ", "maß", true},          {"Maß", "Mas", false},
        {"ﬀa", "FFA", true},         {"ﬁb", "Fib", true},           {"ﬂc", "FLc", true},
        {"ﬅd", "STD", true},         {"ﬆe", "ste", true},           {"ﬀa", "fa", false},
        {"Bς", "BΣ", true},          {"Bς", "bσ", true},            {"ǅa", "ǄA", true},
        {"ǅa", "ǆa", true},          {"ǈb", "Ǉb", true},            {"ǋc", "ǌC", true},
        {"ǲd", "Ǳd", true},          {"ǅa", "DŽa", false},          {"Mül", "MÜL", true},
        {"Mül", "Mu\u0308l", true},  {"Mül", "Mul", false},
    };
    for (const auto &f : faelle) {
        const QString a = QString::fromUtf8(f.a), b = QString::fromUtf8(f.b);
        EXPECT_EQ(vt::idSchluessel(a) == vt::idSchluessel(b), f.gleich) << f.a << " / " << f.b;
        EXPECT_EQ(vt::idSchluessel(vt::idSchluessel(a)), vt::idSchluessel(a)) << f.a; // a form is its own form
    }
    EXPECT_EQ(vt::idSchluessel("  Ab C "), QString("ab c"));
}

// The short way for ids of printable ASCII, the letters folding into it and the composed umlauts
// gives what the full rule gives: a letter beyond it ("é") at the end takes the id the full way.
TEST(ValueText, IdComparisonFormTakesTheShortWayWithTheFullRulesResult)
{
    QString zeichen;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        zeichen += QChar(c);
    for (const char16_t c : {0x00DF, 0x1E9E, 0x0131, 0x017F, 0x212A, 0xFB00, 0xFB01, 0xFB02, 0xFB03, 0xFB04, 0xFB05,
                             0xFB06, 0x037E, 0x1FEF, 0x00C4, 0x00D6, 0x00DC, 0x00E4, 0x00F6, 0x00FC})
        zeichen += QChar(c);
    for (const QChar c : zeichen) {
        const QString id = QStringLiteral("Zy") + c + QStringLiteral("Q");
        EXPECT_EQ(vt::idSchluessel(id) + QStringLiteral("\u00E9"), vt::idSchluessel(id + QStringLiteral("\u00C9")))
            << int(c.unicode());
    }
}

TEST(ValueText, TwoDigitYearsUpTo29AreThisCenturyFrom30TheLast)
{
    EXPECT_EQ(vt::parseDate("31.12.29"), QDate(2029, 12, 31));
    EXPECT_EQ(vt::parseDate("1.1.30"), QDate(1930, 1, 1));
    EXPECT_EQ(vt::parseDate("1.1.00"), QDate(2000, 1, 1));
    EXPECT_EQ(vt::parseDate("31.12.99"), QDate(1999, 12, 31));
    EXPECT_EQ(vt::parseDateTime("31.12.29 23:59"), QDateTime(QDate(2029, 12, 31), QTime(23, 59)));
    EXPECT_EQ(vt::parseDateTime("1.1.30 0:01"), QDateTime(QDate(1930, 1, 1), QTime(0, 1)));
}

TEST(ValueText, ScientificNumbersShowAtLeastTwoExponentDigits)
{
    EXPECT_EQ(valueText(1.5e-7), QString("1,5E-07"));
    EXPECT_EQ(valueText(-1.5e-7), QString("-1,5E-07"));
    EXPECT_EQ(valueText(2e-5), QString("2E-05"));
    EXPECT_EQ(valueText(1.25e20), QString("1,25E+20"));
    EXPECT_EQ(valueText(1.5e-100), QString("1,5E-100"));
    EXPECT_EQ(vt::numberText(0.0001), QString("0,0001"));
}

