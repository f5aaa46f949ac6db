#include "core/anmeldung.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/mdl_zandrel.h"
#include "core/windowregistry.h"
#include "nmfixture.h"
#include "platform/ripemd160.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using anmeldung::passwortPasst;

TEST(Passwort, HashIsRipemd160OfTheWindows1252Bytes)
{
    EXPECT_EQ(hashing::ripemd160Hex("abc"), QString("8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"));
    EXPECT_EQ(hashing::passwordHash("abc"), QString("8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"));
    EXPECT_EQ(hashing::passwordHash(QStringLiteral("Grüße1")), QString("18c9b91fb2fc688552c44a79b02bcb532cf14449"));
}

TEST(Passwort, StoredFormIsExactAndHashFormIgnoresCase)
{
    EXPECT_TRUE(passwortPasst("Geheim", "Geheim", ""));
    EXPECT_FALSE(passwortPasst("geheim", "Geheim", ""));
    EXPECT_FALSE(passwortPasst("Geheim ", "Geheim", ""));
    EXPECT_TRUE(passwortPasst("abc", "", "8EB208F7E05D987A9B044A8E98C6B087F15A0BFC"));
    EXPECT_TRUE(passwortPasst("abc", "", " 8eb208f7e05d987a9b044a8e98c6b087f15a0bfc "));
    EXPECT_FALSE(passwortPasst("ABC", "", "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"));
    // A blank stored form never lets an empty password in.
    EXPECT_FALSE(passwortPasst("", "", ""));
    EXPECT_FALSE(passwortPasst("  ", "  ", " "));
}

// Abbreviations with umlauts stand beside their base letter, as Access sorts them.
TEST(Anmeldung, ListSortsAbbreviationsInGermanOrder)
{
    testsupport::Sandbox sb;
    corefixture::Umgebung u(sb);
    zdb::Db nm;
    nm.open(u.nmPfad);
    nm.exec("DELETE FROM Lehrkräfte");
    for (const char *k : {"Bzz", "Abr", "Bäu", "Abä", "Öz", "Pa"})
        nm.exec("INSERT INTO Lehrkräfte (Kürzel, Passwort) VALUES (?, 'x')", {QString::fromUtf8(k)});
    EXPECT_EQ(anmeldung::kuerzelListe(nm), QStringList({"Abä", "Abr", "Bäu", "Bzz", "Öz", "Pa"}));
}

// The lock flag: AnmeldeFenster.LockedDatabaseShowsAMessage.
TEST(Anmeldung, ListHoldsTeachersWithAPasswordFoundWithoutRegardToCase)
{
    testsupport::Sandbox sb;
    corefixture::Umgebung u(sb);
    zdb::Db nm;
    nm.open(u.nmPfad);
    EXPECT_EQ(anmeldung::kuerzelListe(nm), QStringList({"abc", "MÜL", "X", "XS"}));
    EXPECT_EQ(anmeldung::pruefen(nm, "x", "admin"), anmeldung::Ergebnis::Angemeldet);
    EXPECT_EQ(anmeldung::pruefen(nm, "mül", "Geheim"), anmeldung::Ergebnis::Angemeldet);
    EXPECT_EQ(anmeldung::pruefen(nm, "ABC", QStringLiteral("Grüße1")), anmeldung::Ergebnis::Angemeldet);
    EXPECT_EQ(anmeldung::pruefen(nm, "XS", QStringLiteral("büro")), anmeldung::Ergebnis::Angemeldet);
    EXPECT_EQ(anmeldung::pruefen(nm, "XS", QStringLiteral("Büro")), anmeldung::Ergebnis::Abgelehnt);
    EXPECT_EQ(anmeldung::pruefen(nm, "OHN", ""), anmeldung::Ergebnis::Abgelehnt);
    EXPECT_EQ(anmeldung::pruefen(nm, "O'Brien", "x"), anmeldung::Ergebnis::Abgelehnt);
}

TEST(Anmeldung, TitlesWordForWord)
{
    const QString v = QStringLiteral(ZANDREL_VERSION);
    EXPECT_EQ(anmeldung::startTitel(), "Noten für Mitarbeit, Verhalten usw. (Version: " + v + ")");
    EXPECT_EQ(anmeldung::titel("0815", "Gymnasium Lindenhof", "x", false),
              "Zandrel - Version: " + v + "     0815 Gymnasium Lindenhof     Angemeldeter Benutzer: x");
    EXPECT_EQ(anmeldung::titel("0815", "Gymnasium Lindenhof", "x", true),
              "Zandrel - Version: " + v +
                  "     0815 Gymnasium Lindenhof     Angemeldeter Benutzer: x     KOPIE der Notenmanager-Datenbank !!!");
}

namespace {
struct LoginWindow {
    frm_Main haupt;
    frm_Anmeldung *a = nullptr;
    LoginWindow()
    {
        a = new frm_Anmeldung(&haupt);
        a->show();
    }
    void versuchen(const QString &kuerzel, const QString &pw)
    {
        a->cmb_Kuerzel->setEditText(kuerzel);
        a->txtPasswort->clear();
        QTest::keyClicks(a->txtPasswort, pw);
        a->cmdAnmelden->click();
    }
};
} // namespace

TEST(AnmeldeFenster, WrongPasswordDisablesTheButtonUntilThePasswordIsEdited)
{
    testsupport::Sandbox sb;
    corefixture::Umgebung u(sb);
    testsupport::MsgRecorder boxes;
    LoginWindow w;
    EXPECT_EQ(w.a->cmb_Kuerzel->count(), 4);
    w.versuchen("MÜL", "falsch");
    EXPECT_FALSE(w.a->cmdAnmelden->isEnabled());
    EXPECT_TRUE(boxes.boxes.isEmpty());
    EXPECT_TRUE(mdl::Benutzer.isEmpty());
    EXPECT_EQ(w.haupt.windowTitle(), anmeldung::titel("0815", "Gymnasium Lindenhof", "", false));
    w.a->cmb_Kuerzel->setEditText("X");
    EXPECT_FALSE(w.a->cmdAnmelden->isEnabled());
    QTest::keyClicks(w.a->txtPasswort, "x");
    EXPECT_TRUE(w.a->cmdAnmelden->isEnabled());
}

namespace {
// The administrator logged in as "x" through the login window.
struct AlsAdminAngemeldet {
    testsupport::Sandbox sb;
    corefixture::Umgebung u{sb};
    testsupport::MsgRecorder boxes;
    LoginWindow w;
    AlsAdminAngemeldet()
    {
        windows::registerWindow("frm_Fehltage", [](QWidget *p) { return new QWidget(p); });
        windows::registerWindow("frm_Fehltage_Grund", [](QWidget *p) { return new QWidget(p); });
        w.versuchen("x", "admin");
    }
};
} // namespace

TEST(AnmeldeFenster, SuccessKeepsTheTypedAbbreviationAndSetsTitleAndMenus)
{
    AlsAdminAngemeldet angemeldet;
    LoginWindow &w = angemeldet.w;
    EXPECT_EQ(mdl::Benutzer, QString("x"));
    EXPECT_TRUE(mdl::IstAdmin);
    EXPECT_EQ(mdl::Schulnummer, QString("0815"));
    EXPECT_EQ(w.a->result(), int(QDialog::Accepted));
    EXPECT_EQ(w.haupt.windowTitle(), anmeldung::titel("0815", "Gymnasium Lindenhof", "x", false));
    EXPECT_TRUE(w.haupt.menu("mnu0Fehltage")->menuAction()->isVisible());
    EXPECT_TRUE(w.haupt.menuAktion("mnuFehlGrund")->isVisible());
}

TEST(AnmeldeFenster, AfterLogOffARefusedAttemptShowsNobodyAsLoggedIn)
{
    AlsAdminAngemeldet angemeldet;
    LoginWindow &w = angemeldet.w;
    ASSERT_EQ(mdl::Benutzer, QString("x"));
    w.haupt.Abmelden();
    EXPECT_TRUE(mdl::Benutzer.isEmpty());
    EXPECT_FALSE(mdl::IstAdmin);
    frm_Anmeldung *neu = nullptr; // the login window the log-off opened
    for (frm_Anmeldung *a : w.haupt.findChildren<frm_Anmeldung *>())
        if (a != w.a)
            neu = a;
    ASSERT_NE(neu, nullptr);
    w.a = neu;
    w.versuchen("MÜL", "falsch");
    EXPECT_TRUE(mdl::Benutzer.isEmpty());
    EXPECT_EQ(w.haupt.windowTitle(), anmeldung::titel("0815", "Gymnasium Lindenhof", "", false));
    EXPECT_FALSE(w.haupt.windowTitle().contains("Benutzer: x"));
}

TEST(AnmeldeFenster, LockedDatabaseShowsAMessage)
{
    testsupport::Sandbox sb;
    corefixture::Umgebung u(sb, true);
    testsupport::MsgRecorder boxes;
    LoginWindow w;
    w.versuchen("X", "admin");
    EXPECT_EQ(boxes.texts(), QStringList{"Die Notenmanager-Datenbank ist zurzeit gesperrt.\r"
                                         "Eine Anmeldung ist erst wieder möglich, wenn die Sperre aufgehoben ist."});
    EXPECT_TRUE(mdl::Benutzer.isEmpty());
}

TEST(AnmeldeFenster, CopyOfTheDatabaseIsNamedInTheTitle)
{
    testsupport::Sandbox sb;
    corefixture::Umgebung u(sb);
    QFile::copy(u.nmPfad, sb.file("kopie.mdb"));
    mdl::NMDateiParameter = sb.file("kopie.mdb");
    testsupport::MsgRecorder boxes;
    LoginWindow w;
    w.versuchen("MÜL", "Geheim");
    EXPECT_TRUE(w.haupt.windowTitle().endsWith("     KOPIE der Notenmanager-Datenbank !!!"));
    mdl::NMDateiParameter.clear();
}
