// Final-exam overview without its window: label colours, counting, the sheet's cells per elective
// group, the data file at load and the grade manager's reads.
#include "winsvfixture.h"

#include "core/mdl_zandrel.h"
#include "platform/settings.h"
#include "winsv/ap1blatt.h"
#include "winsv/ap1logik.h"

#include <gtest/gtest.h>

using namespace ap1;

namespace {

QStringList felder(std::initializer_list<std::pair<int, QString>> werte)
{
    QStringList z(91);
    for (const auto &[n, t] : werte)
        z[n] = t;
    return z;
}

const Anzeige *finde(const Zeugnisbild &b, const QString &label)
{
    for (const Anzeige &a : b.anzeigen)
        if (a.label == label)
            return &a;
    return nullptr;
}

QString text(const Zeugnisbild &b, const QString &label)
{
    const Anzeige *a = finde(b, label);
    return a ? a->text : QStringLiteral("<fehlt>");
}

} // namespace

TEST(Ap1Maler, FarbeNachWertMarkenUndFarbe)
{
    const QList<std::pair<QString, long>> faelle{
        {"-", Weiss}, {"", Gelb}, {"0", Gelb}, {"1", Weiss}, {"4", Weiss}, {"4.5", Weiss}, {"5", Hellrot},
        {"5.5", Weiss}, {"6", Hellrot}, {"6.5", Rot}, {"7", Rot}, {"5,0", Hellrot}, {"  3 ", Weiss}, {"j", Gelb}};
    for (const auto &[t, farbe] : faelle)
        EXPECT_EQ(notenFarbe(t), farbe) << t.toStdString();
    // marks and a colour override the value, in this order
    EXPECT_EQ(notenFarbe("2", false, true), Hellrot);
    EXPECT_EQ(notenFarbe("2", true), Hellrot);
    EXPECT_EQ(notenFarbe("5", false, false, true), Gelb);
    EXPECT_EQ(notenFarbe("7", false, false, false, Weiss), Weiss);
    EXPECT_EQ(notenFarbe("5", false, false, false, 0), Hellrot);
    EXPECT_EQ(notenFarbe("Ph", false, false, false, Weiss), Weiss);
}

TEST(Ap1Blatt, JahresnotenMarkenUndEndnoten)
{
    const Zeugnisbild b = zeugnisBild("3b", felder({{1, "5"}, {26, "2"}, {66, "3"}, {2, "4,5"}, {17, "6"}, {18, "5"},
                                                  {3, "2"}, {68, "34"}, {53, ""}}));
    // Rel: annual 5 marked; whole final-grade field. D: second character; an empty two-character
    // field shows "-". Ek has no grades; 3b's fourth column shows zeros.
    const QList<std::pair<QString, QString>> texte{
        {"lbl_JRel", "5"}, {"lbl_MRel", "2"}, {"lbl_NRel", "-"}, {"lbl_GRel", "3"}, {"lbl_GD", "4"}, {"lbl__GD", "4"},
        {"lbl_PD", "3"},   {"lbl_SD", "-"},   {"lbl_MD", "-"},   {"lbl_JEk", "-"},  {"lbl_MEk", "-"}, {"lbl_NEk", "-"},
        {"lbl_GEk", "-"},  {"lbl_FachX", "W"}, {"lbl__JX", "0"}, {"lbl_SX", "0"},  {"lbl_MX", "0"},  {"lbl_PX", "0"},
        {"lbl__GX", "0"}};
    for (const auto &[label, erwartet] : texte)
        EXPECT_EQ(text(b, label), erwartet) << label.toStdString();
    EXPECT_TRUE(finde(b, "lbl_MRel")->markiert);
    for (const char *l : {"lbl_MEth", "lbl_MS", "lbl_MMu"}) // 4,5 reads 4; S and Mu never
        EXPECT_FALSE(finde(b, l)->markiert) << l;
    EXPECT_TRUE(b.fensterfarbe.isEmpty());
    EXPECT_EQ(finde(b, "lbl_FachX")->farbe, Weiss);
    // 26 JFN, 23 mdl., 23 J_n, the head, 20 exam cells, 26 GN
    EXPECT_EQ(b.anzeigen.size(), 26 + 23 + 23 + 1 + 20 + 26);
    EXPECT_EQ(b.anzeigen.first().label, "lbl_JRel");
    EXPECT_EQ(b.anzeigen.last().label, "lbl_GIT");
}

TEST(Ap1Blatt, VierteFachspalteNachWahlpflichtgruppe)
{
    const QStringList z = felder({{8, "5"}, {33, "3 "}, {57, "24"}, {73, "35"}, {15, "6"}, {58, "1"}, {80, "42"},
                                  {5, "5"}, {55, "3"}, {52, " 4 "}, {70, "26"}});
    const Zeugnisbild ph = zeugnisBild("1", z);
    EXPECT_EQ(text(ph, "lbl_FachX"), "Ph");
    EXPECT_EQ(QStringList({text(ph, "lbl__JX"), text(ph, "lbl_SX"), text(ph, "lbl_MX"), text(ph, "lbl_PX"),
                           text(ph, "lbl__GX")}),
              QStringList({"5", "2", "4", "3", "5"}));
    EXPECT_FALSE(finde(ph, "lbl_MPh")->markiert);
    EXPECT_TRUE(finde(ph, "lbl_MBwR")->markiert);
    EXPECT_TRUE(finde(ph, "lbl_MF")->markiert);
    EXPECT_EQ(ph.fensterfarbe, QStringList({"lbl_MPh", "lbl_NPh"}));

    EXPECT_FALSE(finde(zeugnisBild("2", z), "lbl_MBwR")->markiert);

    const Zeugnisbild f = zeugnisBild("3a", z);
    EXPECT_EQ(text(f, "lbl_FachX"), "F");
    EXPECT_EQ(text(f, "lbl_MX"), "4"); // the whole field Z_52, trimmed
    EXPECT_EQ(text(f, "lbl_SX"), "3");
    EXPECT_FALSE(finde(f, "lbl_MF")->markiert);
    EXPECT_EQ(f.fensterfarbe, QStringList({"lbl_MF", "lbl_NF"}));

    EXPECT_EQ(text(zeugnisBild("", z), "lbl__JX"), "");
}

TEST(Ap1Datendatei, GespeicherterPfadDannDialog)
{
    WinsvFixture f;
    QStringList hinweise;
    const auto hinweis = [&](const QString &t) { hinweise << t; };
    settings::saveSetting("PFAD", "sd.df1", f.winsvPfad);
    Datendatei d = datendateiBestimmen(f.box.file("fehlt.df1"), nullptr, hinweis);
    EXPECT_EQ(d.pfad, f.winsvPfad);
    EXPECT_TRUE(d.meldung.isEmpty());
    EXPECT_TRUE(hinweise.isEmpty());

    // Neither path: the dialog until a file comes back, which is saved.
    settings::saveSetting("PFAD", "sd.df1", "");
    QStringList antworten{f.box.file("gibtsnicht.df1"), f.winsvPfad};
    d = datendateiBestimmen("", [&] { return antworten.takeFirst(); }, hinweis);
    EXPECT_EQ(d.pfad, f.winsvPfad);
    EXPECT_TRUE(d.meldung.isEmpty());
    EXPECT_EQ(settings::getSetting("PFAD", "sd.df1"), f.winsvPfad);
}

// The registered file's network folder cannot be asked for just now: the message says so with the
// file, and no other file is asked for.
TEST(Ap1Datendatei, EinNichtErreichbarerOrdnerIstKeineFehlendeDatei)
{
    WinsvFixture f;
    bool gefragt = false;
    const testsupport::OrdnerWeg weg(f.winsvPfad, ESTALE);
    const Datendatei d = datendateiBestimmen(f.winsvPfad, [&] { gefragt = true; return QString(); }, nullptr);
    EXPECT_FALSE(gefragt);
    EXPECT_EQ(d.meldung, "Die SD.DF1 - Datei \"" + f.winsvPfad + "\" kann im Moment nicht erreicht werden: Die "
                         "Verbindung zum Netzwerkordner ist unterbrochen.\rSobald der Netzwerkordner wieder "
                         "erreichbar ist, kann der Schritt wiederholt werden.");
}

TEST(Ap1Lesen, ApostrophImKlassennamenUndLeereNummer)
{
    WinsvFixture f;
    for (const char *k : {"9a", "10'c", "11b"})
        f.nm.exec("INSERT INTO Klassen (Klasse) VALUES (?)", {QString::fromUtf8(k)});
    EXPECT_EQ(zehnerKlassen(f.nm), QStringList{"10'c"});
    WinsvPupil p;
    p.klasse = "10'c";
    p.id = "";
    f.addNm(p);
    const QVector<Schueler> s = schuelerDerKlasse(f.nm, "10'c");
    ASSERT_EQ(s.size(), 1);
    EXPECT_EQ(s[0].anzeige, "Muster, Max");
    EXPECT_FALSE(s[0].winsvNr.has_value());
}
