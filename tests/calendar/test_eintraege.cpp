// Entry rights, the subject pop-up's offer, and entering, changing and deleting entries.
#include "calendar/terminrechte.h"
#include "calendar/termine.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"

#include <gtest/gtest.h>

using namespace kalender;

namespace {

QStringList faecher(const SchAAngebot &a)
{
    QStringList out;
    for (const Angebot &z : a.zeilen)
        out << z.fach + '/' + z.lehrer;
    return out;
}

const QVector<Kurs> kKurse = {{"D", "MK"}, {"E", "ab"}, {"Sp 1", "MK"}, {"Sp 2", "CD"}};

} // namespace

TEST(Eintragsrechte, SonstigeTermineUndKlassenfahrtJeNachFreigabe)
{
    for (const QString &f : {QString("SL"), QString("sl"), QString("none"), QString()}) {
        EXPECT_FALSE(darfSonstigeTermine("MK", f)) << f.toStdString();
        EXPECT_FALSE(darfKlassenfahrt("MK", f)) << f.toStdString();
        EXPECT_TRUE(darfSonstigeTermine(" xs ", f));
        EXPECT_TRUE(darfKlassenfahrt("x", f));
    }
    EXPECT_TRUE(darfSonstigeTermine("MK", " All "));
    EXPECT_TRUE(darfKlassenfahrt("MK", "all"));
    EXPECT_FALSE(darfKlassenfahrt("MK", "alle"));
}

TEST(Eintragsrechte, AendernDarfLehrkraftEintragenderUndSchulleitung)
{
    EXPECT_TRUE(darfAendern(" mk", "MK ", "ZZ"));
    EXPECT_TRUE(darfAendern("AB", "MK", " ab"));
    EXPECT_TRUE(darfAendern("XS", "MK", "MK"));
    EXPECT_FALSE(darfAendern("AB", "MK", "MK"));
    EXPECT_FALSE(darfAendern("XY", "MK", "MK"));
}

TEST(Eintragsrechte, LehrerSiehtEigeneKurseUndFreigegebeneArten)
{
    SchAAngebot a = angebotErstellen("mk", "SL", "SL", kKurse);
    EXPECT_EQ(faecher(a), QStringList({"D/MK", "Sp/MK"}));
    EXPECT_TRUE(a.eigenerKurs);
    a = angebotErstellen("MK", "all", "ALL", kKurse);
    EXPECT_EQ(faecher(a), QStringList({"so/", "KF/", "D/MK", "Sp/MK"}));
    a = angebotErstellen("ZZ", "all", "SL", kKurse);
    EXPECT_EQ(faecher(a), QStringList({"so/"}));
    EXPECT_FALSE(a.eigenerKurs); // red frame
    EXPECT_FALSE(a.keineKurse);
    // A class without any current course shows no list at all.
    EXPECT_TRUE(angebotErstellen("MK", "all", "all", {}).keineKurse);
}

TEST(Eintragsrechte, SchulleitungSiehtKlassenfahrtSonstigesUndAlleKurse)
{
    const SchAAngebot a = angebotErstellen("X", "SL", "SL", kKurse);
    EXPECT_EQ(faecher(a), QStringList({"KF/", "so/", "D/MK", "E/ab", "Sp/MK", "Sp/CD"}));
    EXPECT_TRUE(a.eigenerKurs);
}

TEST(Eintragsrechte, GeteiltesFachBekommtDenVollenKurstextAlsBemerkung)
{
    const SchAAngebot a = angebotErstellen("X", "SL", "SL", kKurse);
    EXPECT_EQ(bemerkungFuerEintrag(a, {"Sp", "CD", "Sp 2"}), "Sp 2");
    EXPECT_EQ(bemerkungFuerEintrag(a, {"D", "MK", "D"}), "");
    EXPECT_EQ(bemerkungFuerEintrag(a, {"KF", "", ""}), "");
}

class Eintraege : public ::testing::Test {
protected:
    kalfix::Schule s;
    int anzahl() { return mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin").toInt(); }
};

TEST_F(Eintraege, KlassenfahrtOhneLehrerWirdXUndDarfMehrfachStehen)
{
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(terminEintragen(mdl::dbEigen, {QDate(2010, 9, 14), "5a", "KF", "", ""}, "X"), Eintragen::Eingetragen);
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin WHERE Lehrkraft = 'X'").toInt(), 2);
}

TEST_F(Eintraege, DoppelterEintragWirdGefundenWieImmerKlasseUndFachGespeichertSind)
{
    // Stored (also by another workstation) and new values are trimmed by the same rule, tabs and
    // line breaks included; a deleted entry, another subject, class or teacher does not block.
    struct Fall {
        const char *gespeichertKlasse, *gespeichertFach, *gespeichertLehrkraft;
        bool geloescht;
        const char *neuKlasse, *neuFach, *neuLehrkraft = "MK";
        Eintragen erwartet = Eintragen::Eingetragen;
    };
    const Fall faelle[] = {
        {"5a\t", "D\n", "MK", false, "5a", "D", "MK", Eintragen::BereitsEingetragen},
        {" 5A\t", "d \r\n", " mk\t", false, "5a", "D", "MK", Eintragen::BereitsEingetragen},
        {"5a", "D", "MK", false, "5a\t", "\tD\r\n", "MK", Eintragen::BereitsEingetragen},
        {"5a\t", "D\n", "MK", true, "5a", "D"},
        {"5a\t", "D\n", "MK", false, "5a", "E"},
        {"5a\n", "D\t", "MK", false, "5b", "D"},
        {"5a", "D", "MK", false, "5a", "D", "AB"},
    };
    int tag = 0;
    for (const Fall &f : faelle) {
        const QDate d = QDate(2010, 9, 13).addDays(tag++);
        s.termin({d, f.gespeichertKlasse, f.gespeichertFach, f.gespeichertLehrkraft, "", false, s.uhr.addDays(-1), "MK",
                  f.geloescht ? QVariant(s.uhr) : QVariant(), f.geloescht ? "MK" : ""});
        EXPECT_EQ(terminEintragen(mdl::dbEigen, {d, f.neuKlasse, f.neuFach, f.neuLehrkraft, ""}, "MK"), f.erwartet)
            << QString(f.gespeichertKlasse).toStdString() << "/" << QString(f.neuKlasse).toStdString();
        const int neu = f.erwartet == Eintragen::Eingetragen ? 1 : 0;
        EXPECT_EQ(mdl::dbEigen.scalar("SELECT COUNT(*) FROM tbl_Termin WHERE Datum = ?", {zdb::isoDate(d)}).toInt(),
                  1 + neu);
    }
}

TEST_F(Eintraege, EinMinutenRegelMitFesterUhr)
{
    struct Fall {
        QVariant eingetragen; // entry time, Null counts as old
        int sekundenSpaeter;
        Loeschung erwartet;
        const char *geloeschtDatum;
    };
    const Fall faelle[] = {
        {s.uhr, 59, Loeschung::Entfernt, nullptr},
        {s.uhr, 60, Loeschung::AlsGeloeschtMarkiert, "2010-09-16 10:01:00"},
        {QVariant(), 0, Loeschung::AlsGeloeschtMarkiert, "2010-09-16 10:00:00"},
    };
    const QDateTime start = s.uhr;
    for (const Fall &f : faelle) {
        s.uhr = start;
        const qint64 id = s.termin({QDate(2010, 9, 14), "5a", "D", "MK", "", false, f.eingetragen, "MK", {}, ""});
        s.uhr = start.addSecs(f.sekundenSpaeter);
        EXPECT_EQ(terminLoeschen(mdl::dbEigen, id, " mk "), f.erwartet) << f.sekundenSpaeter;
        const zdb::Result r = mdl::dbEigen.query("SELECT geloeschtDatum, geloeschtPerson FROM tbl_Termin WHERE Id = ?", {id});
        if (!f.geloeschtDatum) {
            EXPECT_EQ(r.rowCount(), 0);
            continue;
        }
        ASSERT_EQ(r.rowCount(), 1);
        EXPECT_EQ(r.value(0, 0).toString(), f.geloeschtDatum);
        EXPECT_EQ(r.value(0, 1).toString(), "mk");
    }
}

TEST_F(Eintraege, VonAnderemArbeitsplatzGeloeschtBehaeltErstenLoescher)
{
    const qint64 id = s.termin({QDate(2010, 9, 14), "5a", "D", "MK", "", false, s.uhr.addDays(-1), "MK",
                                s.uhr.addSecs(-5), "AB"});
    EXPECT_EQ(terminLoeschen(mdl::dbEigen, id, "X"), Loeschung::NichtAktiv);
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT geloeschtPerson FROM tbl_Termin WHERE Id = ?", {id}).toString(), "AB");
    EXPECT_EQ(terminLoeschen(mdl::dbEigen, id + 100, "X"), Loeschung::NichtAktiv);
}

TEST_F(Eintraege, FremderLehrerDarfWederLoeschenNochAendern)
{
    const qint64 id = s.termin({QDate(2010, 9, 14), "5a", "D", "MK", "alt", false, s.uhr, "AB", {}, ""});
    QString lk;
    EXPECT_EQ(terminLoeschen(mdl::dbEigen, id, "CD", &lk), Loeschung::KeinRecht);
    EXPECT_EQ(lk, "MK");
    EXPECT_EQ(terminAendern(mdl::dbEigen, id, true, "neu", "CD"), Aenderung::KeinRecht);
    EXPECT_EQ(mdl::dbEigen.scalar("SELECT Bemerkung FROM tbl_Termin WHERE Id = ?", {id}).toString(), "alt");
    // The one who entered it may.
    EXPECT_EQ(terminAendern(mdl::dbEigen, id, true, "neu", "ab"), Aenderung::Gespeichert);
}

TEST_F(Eintraege, BemerkungWirdGetrimmtUndAufFuenfzigZeichenBegrenzt)
{
    const qint64 id = s.termin({QDate(2010, 9, 14), "5a", "D", "MK", "", false, s.uhr, "MK", {}, ""});
    ASSERT_EQ(terminAendern(mdl::dbEigen, id, true, "  " + QString(60, QChar(0x00E4)), "MK"), Aenderung::Gespeichert);
    const zdb::Result r = mdl::dbEigen.query("SELECT nichtInternet, Bemerkung FROM tbl_Termin WHERE Id = ?", {id});
    EXPECT_EQ(r.value(0, 0).toInt(), 1);
    EXPECT_EQ(r.value(0, 1).toString(), QString(50, QChar(0x00E4)));
    EXPECT_EQ(terminAendern(mdl::dbEigen, id + 1, true, "", "X"), Aenderung::NichtGefunden);
}

TEST_F(Eintraege, TageseintraegeAktiveZuerstGeloeschteNachLoeschzeit)
{
    s.termin({QDate(2010, 9, 14), "5a", "E", "AB", "", false, s.uhr, "AB", s.uhr.addDays(-1), "AB"});
    s.termin({QDate(2010, 9, 14), "5a", "M", "AB", "", false, s.uhr, "AB", s.uhr.addDays(-2), "AB"});
    s.termin({QDate(2010, 9, 14), " 5A", "D", "MK", "", false, s.uhr, "MK", {}, ""});
    s.termin({QDate(2010, 9, 15), "5a", "Ph", "MK", "", false, s.uhr, "MK", {}, ""});
    const QVector<Termin> t = termineVonTag(mdl::dbEigen, " 5a ", QDate(2010, 9, 14));
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].fach, "D");
    EXPECT_EQ(t[1].fach, "M");
    EXPECT_EQ(t[2].fach, "E");
}

// "meine Termine": by the class's leading grade (course groups such as "10e1" by theirs), class,
// subject, then date, whatever order the entries were made in.
TEST_F(Eintraege, MeineTermineNachStufeKlasseFachUndDatum)
{
    const struct {
        QDate datum;
        const char *klasse, *fach;
    } eintraege[] = {{QDate(2010, 12, 10), "5a", "M"}, {QDate(2010, 12, 17), "5a", "M"}, {QDate(2010, 12, 3), "5a", "M"},
                     {QDate(2010, 11, 5), "10e1", "D"}, {QDate(2010, 11, 4), "5e2", "D"}, {QDate(2010, 11, 3), "5a", "D"}};
    for (const auto &e : eintraege)
        s.termin({e.datum, e.klasse, e.fach, "MK", "", false, s.uhr, "MK", {}, ""});
    QStringList l;
    for (const Termin &t : termineVonLehrkraft(mdl::dbEigen, "MK"))
        l << t.klasse + " " + t.fach + " " + t.datum.date().toString("dd.MM.");
    EXPECT_EQ(l, QStringList({"5a D 03.11.", "5a M 03.12.", "5a M 10.12.", "5a M 17.12.", "5e2 D 04.11.",
                              "10e1 D 05.11."}));
}

// A teacher's entries whatever case the abbreviation was stored in, umlauts included.
TEST_F(Eintraege, MeineTermineOhneRuecksichtAufGrossUndKleinschreibung)
{
    s.termin({QDate(2010, 12, 10), "5a", "M", "GÜM", "", false, s.uhr, "GÜM", {}, ""});
    s.termin({QDate(2010, 12, 11), "5a", "D", " güm", "", false, s.uhr, "güm", {}, ""});
    s.termin({QDate(2010, 12, 12), "5a", "E", "GUM", "", false, s.uhr, "GUM", {}, ""});
    QStringList l;
    for (const Termin &t : termineVonLehrkraft(mdl::dbEigen, "Güm"))
        l << t.fach;
    EXPECT_EQ(l, QStringList({"D", "M"}));
}
