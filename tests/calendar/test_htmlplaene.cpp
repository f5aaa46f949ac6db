// The three HTML plans: byte for byte against golden files, escaping, code page, safe writing.
#include "calendar/htmlplaene.h"
#include "calendar/frm_kalender.h"
#include "calendar/planerstellung.h"
#include "core/frm_warten_db.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

using namespace kalender;

namespace {

QString goldenPfad(const QString &name)
{
    return QStringLiteral(ZANDREL_TESTS_DIR "/calendar/golden/") + name;
}

QByteArray bytes(const QString &pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Compares with the golden file; ZANDREL_GOLDEN_UPDATE=1 rewrites it.
void mitGoldenVergleichen(const QString &pfad, const QString &golden)
{
    const QByteArray ist = bytes(pfad);
    ASSERT_FALSE(ist.isEmpty()) << pfad.toStdString();
    if (qEnvironmentVariableIntValue("ZANDREL_GOLDEN_UPDATE") == 1) {
        QFile f(goldenPfad(golden));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ist);
    }
    const QByteArray soll = bytes(goldenPfad(golden));
    ASSERT_FALSE(soll.isEmpty()) << golden.toStdString();
    if (ist != soll) {
        const QList<QByteArray> a = ist.split('\n'), b = soll.split('\n');
        for (int i = 0; i < std::min(a.size(), b.size()); ++i)
            ASSERT_EQ(a[i].toStdString(), b[i].toStdString()) << golden.toStdString() << " line " << i + 1;
        ASSERT_EQ(a.size(), b.size()) << golden.toStdString();
    }
}

using kalfix::T;

// A small calendar: Saturday 11.09.2010 to Tuesday 21.09.2010, today Thursday 16.09.2010 10:00.
class Plaene : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *k : {"10b", "5a", "5b", "6a", "AUS", "AUS2", "\xc3\x9c" "1"})
            s.klasse(QString::fromUtf8(k));
        const QDateTime gestern = s.uhr.addDays(-1), alt = s.uhr.addDays(-30);
        s.termin({QDate(2010, 9, 13), "5a", "D", "MK", "Test", false, gestern, "MK", {}, ""});
        s.termin({QDate(2010, 9, 13), "5a", "E", "AB", "", true, alt, "AB", {}, ""});
        s.termin({QDate(2010, 9, 14), "5b", "M", "AB", "<b>&", false, alt, "AB", {}, ""});
        s.termin({QDate(2010, 9, 15), "6a", "so", "X", QString::fromUtf8("Größe"), false, alt, "X", {}, ""});
        s.termin({QDate(2010, 9, 15), "6a", "KF", "X", "Geht's", false, alt, "X", {}, ""});
        s.termin({QDate(2010, 9, 14), "6a", "KF", "X", "", false, alt, "X", {}, ""});
        s.termin({QDate(2010, 9, 16), "10b", "Ph", "CD", "", false, alt, "CD", s.uhr.addDays(-2), "CD"});
        s.termin({QDate(2010, 9, 17), "AUS2", "D", "EF", "", false, alt, "EF", {}, ""});
        s.termin({QDate(2010, 9, 17), "AUS", "D", "EF", "", false, alt, "EF", {}, ""});
        s.termin({QDate(2010, 9, 20), "5a", "D", "MK", "", false, alt, "MK", {}, ""});
        s.termin({QDate(2010, 9, 21), QString::fromUtf8("Ü1"), "M", "GH", QString::fromUtf8("Łódź"), false, alt, "GH", {}, ""});
        s.termin({QDate(2010, 9, 21), "5b", "E", "AB", "intern", true, alt, "AB", {}, ""});
        klassen = {"5a", "5b", "6a", "10b", "AUS2", QString::fromUtf8("Ü1")};
    }
    PlanErstellung erstellung()
    {
        const PlanEinstellungen e{mdl::HTML_L, mdl::HTML_S, mdl::HTML_S2, mdl::KalenderEinfaerbenTage,
                                  mdl::KalenderEinfaerbenfarbe};
        return PlanErstellung(mdl::dbEigen, e, klassen, mdl::KalenderErsterTag, mdl::KalenderLetzterTag,
                              [this]() -> std::optional<QStringList> {
                                  zdb::Db nm;
                                  nm.open(s.nmPfad);
                                  return klassenFuerKlassenplan(nm);
                              });
    }
    kalfix::Schule s;
    QStringList klassen;
};

} // namespace

TEST_F(Plaene, DreiPlaeneGleichenDenGoldenenDateien)
{
    for (const PlanErgebnis &e : erstellung().allePlaene())
        EXPECT_TRUE(e.geschrieben) << e.meldung.toStdString();
    mitGoldenVergleichen(mdl::HTML_L, "HTML_l.html");
    mitGoldenVergleichen(mdl::HTML_S, "HTML_S.html");
    mitGoldenVergleichen(mdl::HTML_S2, "HTML_S2.html");
}

TEST_F(Plaene, OhneEinfaerbenFehlenDieLegendenzeilen)
{
    mdl::KalenderEinfaerbenTage = 0;
    ASSERT_TRUE(erstellung().lehrerPlan().geschrieben);
    const QString t = kalfix::lesen(mdl::HTML_L);
    EXPECT_FALSE(t.contains("farbig"));
    EXPECT_TRUE(t.contains("- Stand: 16.09.2010 10:00<br>\r\n<br>\r\n<a href='#13.09.'>"));
    EXPECT_FALSE(t.contains("#80FF80"));
}

TEST_F(Plaene, KlassenplanSchreibtAuchBeiGespeicherterUhrzeitNurDasDatum)
{
    // A row that another program wrote with a time of day.
    mdl::dbEigen.exec("INSERT INTO tbl_Termin (Datum, Klasse, Fach, Lehrkraft, nichtInternet) "
                      "VALUES ('2026-11-25 10:00:00', '6a', 'M', 'AB', 0)");
    ASSERT_TRUE(erstellung().klassenPlan().geschrieben);
    const QString t = kalfix::lesen(mdl::HTML_S2);
    EXPECT_TRUE(t.contains("    <td>Mathematik</td>\r\n    <td>25.11.2026</td>\r\n")) << t.toStdString();
    EXPECT_FALSE(t.contains("10:00:00"));
}

TEST_F(Plaene, KlassenfahrtenUndSonstigeTermineFolgenDenFaechern)
{
    // "so" sorts before "Sp" and "KF" before "M" by name; in the plan by class both come last,
    // class trips before other dates, each by date.
    const QDateTime alt = s.uhr.addDays(-30);
    for (const auto &[tag, fach] : {std::pair{13, "so"}, {20, "so"}, {14, "Sp"}, {15, "KF"}, {13, "KF"}, {16, "M"},
                                    {17, "D"}})
        s.termin({QDate(2010, 9, tag), "10b", fach, "X", "", false, alt, "X", {}, ""});
    ASSERT_TRUE(erstellung().klassenPlan().geschrieben);
    const QString t = kalfix::lesen(mdl::HTML_S2);
    const int anfang = t.indexOf("<a name='10b'>");
    ASSERT_GE(anfang, 0);
    QStringList zeilen;
    for (const QString &zeile : t.mid(anfang, t.indexOf("</table>", anfang) - anfang).split("  <tr>\r\n").mid(1)) {
        const QStringList zellen = zeile.split("\r\n");
        zeilen << zellen.value(1).trimmed() + ' ' + zellen.value(2).trimmed();
    }
    EXPECT_EQ(zeilen, QStringList({"<td>Deutsch</td> <td>17.09.2010</td>", "<td>Mathematik</td> <td>16.09.2010</td>",
                                   "<td>Sp</td> <td>14.09.2010</td>", "<td>Klassenfahrt</td> <td>13.09.2010</td>",
                                   "<td>&nbsp;</td> <td>15.09.2010</td>",
                                   "<td>sonstiger Termin</td> <td>13.09.2010</td>",
                                   "<td>&nbsp;</td> <td>20.09.2010</td>"}));
}

TEST_F(Plaene, JedesKuerzelHatSeinenLangnamenInDenPlaenen)
{
    // Every code of the table, typed in small letters and with blanks, each on a day of its own.
    const std::vector<std::pair<const char *, const char *>> namen{
        {"kf", "Klassenfahrt"},
        {"so", "sonstiger Termin"},
        {"kr", "kath. Religionslehre"},
        {"evr", "evang. Religionslehre"},
        {"eth", "Ethik"},
        {"d", "Deutsch"},
        {"e", "Englisch"},
        {"f", "Franz&ouml;sisch"},
        {"m", "Mathematik"},
        {"ph", "Physik"},
        {"wr", "Wirtschaft und Recht"},
        {"bwr", "BWR"},
        {"w", "Werken"},
        {"ku", "Kunsterziehung"},
        {"it", "Informationstechnologie"},
        {"mu", "Musik"},
        {"g", "Geschichte"},
        {"ek", "Erdkunde"},
        {"ch", "Chemie"},
    };
    ASSERT_EQ(namen.size(), 19u);
    mdl::KalenderLetzterTag = QDate(2010, 10, 31);
    QDate tag(2010, 10, 4); // a Monday; weekends show no entries
    for (const auto &[code, lang] : namen) {
        s.termin({tag, "5b", QStringLiteral(" %1 ").arg(code), "AB", "", false, s.uhr.addDays(-30), "AB", {}, ""});
        tag = tag.addDays(tag.dayOfWeek() == 5 ? 3 : 1);
        EXPECT_EQ(HTMLUmlaute(FachLang(QString::fromUtf8(code).toUpper())), QString::fromUtf8(lang)) << code;
    }
    PlanErstellung p = erstellung();
    ASSERT_TRUE(p.klassenPlan().geschrieben);
    ASSERT_TRUE(p.lehrerPlan().geschrieben);
    const QString klassenplan = kalfix::lesen(mdl::HTML_S2), lehrerplan = kalfix::lesen(mdl::HTML_L);
    for (const auto &[code, lang] : namen) {
        EXPECT_TRUE(klassenplan.contains(QStringLiteral("    <td>%1</td>\r\n").arg(QString::fromUtf8(lang)))) << code;
        EXPECT_TRUE(lehrerplan.contains(QStringLiteral(" title='%1 - AB ;  '").arg(QString::fromUtf8(lang)))) << code;
    }
}

TEST_F(Plaene, TabellenplanFindetDieKlasseOhneRuecksichtAufSchreibweise)
{
    // Stored with blanks and in upper case; recently entered and not for the internet.
    s.termin({QDate(2010, 9, 20), " 5B ", "Ku", "AB", "", true, s.uhr.addDays(-1), "AB", {}, ""});
    PlanErstellung p = erstellung();
    ASSERT_TRUE(p.lehrerPlan().geschrieben);
    ASSERT_TRUE(p.schuelerPlan().geschrieben);
    const QString zeile20 = "    <td id='colA'><a name='20.09.'>20.09.</a></td>\r\n"
                            "    <td id='colB' title='Deutsch%1 ;  '>D</td>\r\n"
                            "    <td id='colC'%2 bgcolor='#80FF80'>%3</td>\r\n";
    EXPECT_TRUE(kalfix::lesen(mdl::HTML_L).contains(zeile20.arg(" - MK", " title='Kunsterziehung - AB ;  '", "Ku")));
    // The pupils' plan leaves the entry out but keeps the cell's colour.
    EXPECT_TRUE(kalfix::lesen(mdl::HTML_S).contains(zeile20.arg("", "", "&nbsp;")));
}

TEST(HtmlTexte, FachLangUndFarbe)
{
    EXPECT_EQ(FachLang(" m "), "Mathematik");
    EXPECT_EQ(FachLang("Ku"), "Kunsterziehung");
    EXPECT_EQ(FachLang(" kf"), "Klassenfahrt");
    EXPECT_EQ(FachLang("so"), "sonstiger Termin");
    EXPECT_EQ(FachLang(" Sp "), "Sp");
    EXPECT_EQ(FarbeHTML(0), "");
    EXPECT_EQ(FarbeHTML(255 + 150 * 256 + 150 * 65536), "#FF9696");
    EXPECT_EQ(FarbeHTML(65535), "#FFFF00");
    EXPECT_EQ(HTMLUmlaute(QString::fromUtf8("ÄäÖöÜüß<'")), "&Auml;&auml;&Ouml;&ouml;&Uuml;&uuml;&szlig;<'");
    EXPECT_EQ(LeerZuStandard(QVariant(), "&nbsp;"), "&nbsp;");
    EXPECT_EQ(LeerZuStandard(QString("  "), "x"), "x");
    EXPECT_EQ(LeerZuStandard(QString(" a "), "x"), " a ");
}

TEST(HtmlTexte, KlassenplanOhneEintraegeSchliesstMitTabellenende)
{
    const QByteArray b = klassenPlan({}, {}, {}, QDateTime(QDate(2010, 9, 16), QTime(9, 5)));
    EXPECT_TRUE(b.endsWith("<BR>\r\n  </table>\r\n  </body>\r\n</html>\r\n"));
}

TEST_F(Plaene, LeererPfadUndNichtSchreibbarerOrdnerMeldetDasFenster)
{
    auto w = kalfix::fensterOeffnen(s, "X");
    w->Geaendert = true;
    testsupport::MsgRecorder boxes;
    mdl::HTML_L = "  ";
    mdl::HTML_S = s.sandbox.file("fehlt/HTML_S.html");
    w->lblHTML_Click();
    EXPECT_EQ(boxes.texts(), QStringList({"Es wurde kein Name für die HTML-Datei angegeben.",
                                          "Fehler beim Erstellen der HTML-Datei\r\rDatei: " + mdl::HTML_S
                                              + "\rGrund: Der Ordner \"" + s.sandbox.file("fehlt")
                                              + "\" existiert nicht."}));
    EXPECT_TRUE(QFileInfo::exists(mdl::HTML_S2)); // the third plan is still written
    EXPECT_TRUE(w->Geaendert);                    // not all three were published
}

// A plan that cannot be written names its file and why, whatever stands in the way; the old plan
// stays and nothing is left beside it.
TEST_F(Plaene, EinNichtSchreibbarerPlanNenntDateiUndGrund)
{
    QFile alt(mdl::HTML_L);
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("alter Plan");
    alt.close();
    const QString kopf = "Fehler beim Erstellen der HTML-Datei\r\rDatei: " + mdl::HTML_L + "\rGrund: ";
    ASSERT_TRUE(alt.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(erstellung().lehrerPlan().meldung, kopf + "Die Datei ist schreibgeschützt.");
    ASSERT_TRUE(alt.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    {
        testsupport::FremdeSperre sperre(mdl::HTML_L, testsupport::FremdeSperre::PosixLesen);
        ASSERT_TRUE(sperre.haelt());
        EXPECT_EQ(erstellung().lehrerPlan().meldung, kopf + "Die Datei ist in einem anderen Programm geöffnet.");
    }
    EXPECT_EQ(bytes(mdl::HTML_L), QByteArray("alter Plan"));
    EXPECT_EQ(QDir(s.sandbox.path()).entryList(QDir::Files | QDir::Hidden).filter("HTML_l").size(), 1);
}

TEST_F(Plaene, FehlgeschlagenesSchreibenLaesstDenAltenPlan)
{
    QFile alt(mdl::HTML_L);
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("alter Plan");
    alt.close();
    // A file size limit makes the write fail after the check has passed.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit vorher{};
    getrlimit(RLIMIT_FSIZE, &vorher);
    rlimit klein = vorher;
    klein.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &klein);
    const PlanErgebnis e = erstellung().lehrerPlan();
    setrlimit(RLIMIT_FSIZE, &vorher);
    EXPECT_FALSE(e.geschrieben);
    EXPECT_EQ(e.meldung, "Fehler beim Erstellen der HTML-Datei\r\rDatei: " + mdl::HTML_L
                             + "\rGrund: Der Datenträger ist voll oder die Datei wird zu groß.");
    EXPECT_EQ(bytes(mdl::HTML_L), QByteArray("alter Plan"));
    EXPECT_EQ(QDir(s.sandbox.path()).entryList(QDir::Files).filter("HTML_l").size(), 1); // no temporary file left
}

TEST_F(Plaene, AufgegebenesWartenAufDenNotenmanagerLaesstDenKlassenplan)
{
    QFile alt(mdl::HTML_S2);
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("alter Plan");
    alt.close();
    auto w = kalfix::fensterOeffnen(s, "X");
    mdl::NMDatei = "fehlt.mdb";
    testsupport::MsgRecorder boxes;
    QTimer::singleShot(200, [] { frm_Warten_DB::abbrechen(); });
    EXPECT_FALSE(w->cmdHTML_S2_Click());
    EXPECT_TRUE(boxes.boxes.isEmpty());
    EXPECT_EQ(bytes(mdl::HTML_S2), QByteArray("alter Plan"));
}

TEST_F(Plaene, BeideReihenfolgenGleichenDenenDerDatenbank)
{
    // Values that the database sorts in its own way: Null, numbers, case, "so"/"KF" in any case,
    // a subject that sorts like a class trip, umlauts and ß beside their base letters, dates with
    // and without a time.
    const QVariantList klassen = {"5a", "5A", " 5a", "10b", "Info", "", QVariant(), QString::fromUtf8("ü1"),
                                  QString::fromUtf8("Ü1"), "7.5a", 6, QString::fromUtf8("Öko"), "Oz", "5d1"};
    const QVariantList faecher = {"D", "d", "so", "SO", "Kf", "KF", "ZZso", QVariant(), QString::fromUtf8("Ä"), "E",
                                  "a", QString::fromUtf8("Maß"), "Masse", 3};
    const QVariantList tage = {"2010-09-13", "2010-09-13 00:00:00", "2010-09-13 08:00:00", QVariant(), 40000,
                               "2010-09-12"};
    int n = 0;
    for (const QVariant &k : klassen)
        for (const QVariant &f : faecher)
            mdl::dbEigen.exec("INSERT INTO tbl_Termin (Datum, Klasse, Fach, nichtInternet) VALUES (?, ?, ?, ?)",
                              {tage[n % tage.size()], k, f, (n++ % 7) == 0 ? 1 : 0});
    auto ids = [](const QString &sql) {
        QVector<qint64> out;
        mdl::dbEigen.forEach(sql, {}, [&out](const QVariantList &r) {
            out << r[0].toLongLong();
            return true;
        });
        return out;
    };
    const PlanTermine p = termineFuerPlaene(mdl::dbEigen);
    QVector<qint64> tabelle, klassenplan;
    for (const Termin &t : p.termine)
        tabelle << t.id;
    for (int i : p.klassenplan)
        klassenplan << p.termine[i].id;
    EXPECT_EQ(tabelle, ids("SELECT Id FROM tbl_Termin ORDER BY Datum, Fach COLLATE DE, Id"));
    EXPECT_EQ(klassenplan, ids("SELECT Id FROM tbl_Termin WHERE nichtInternet = 0 ORDER BY "
                               + mdl::KlassenFolgeSql("Klasse")
                               + ", IIf(Fach = 'so' COLLATE NOCASE OR Fach = 'KF' COLLATE NOCASE, 'ZZ' || Fach, Fach) "
                                 "COLLATE DE, Datum, Id"));
}
