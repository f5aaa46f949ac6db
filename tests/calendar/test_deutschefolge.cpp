// Classes and subjects of the exam calendar in the one German order, as the grid shows them, the
// HTML plans write them and the Excel export copies them: umlauts beside their base letters, case
// ignored, classes by their leading grade number first.
#include "calendar/frm_kalender.h"
#include "core/mdl_zandrel.h"
#include "kalenderfixture.h"
#include "platform/grid/vsgrid.h"
#include "support/testsupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using kalfix::T;

namespace {

const QDate kDi(2010, 9, 14);

// What a plan writes for each match of the pattern's first group, in file order, joined by blanks.
std::string folge(const QString &text, const QString &muster)
{
    QStringList out;
    for (const QRegularExpressionMatch &m : QRegularExpression(muster).globalMatch(text))
        out << m.captured(1);
    return out.join(' ').toStdString();
}

class DeutscheFolge : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *k : {"Oz", "\xc3\x96ko", "Ober", "\xc3\xa4rzte", "Abi", "Zeh", "10\xc3\xa4", "10b", "10a",
                              "5b", "5a", "AUS"})
            s.klasse(QString::fromUtf8(k));
        const QDateTime alt = s.uhr.addDays(-30);
        // One day of the class Öko, entered in no particular order.
        for (const char *f : {"so", "Oz", "\xc3\x96k", "KF", "Ob", "\xc3\xa4" "d", "Ad"})
            s.termin({kDi, QString::fromUtf8("Öko"), QString::fromUtf8(f), "X", "", false, alt, "X", {}, ""});
        s.termin({kDi, "Ober", "M", "X", "", false, alt, "X", {}, ""});
        s.termin({kDi, QString::fromUtf8("ärzte"), "M", "X", "", false, alt, "X", {}, ""});
        s.termin({kDi, "Oz", "M", "X", "", false, alt, "X", {}, ""});
        w = kalfix::fensterOeffnen(s, "X");
    }
    kalfix::Schule s;
    std::unique_ptr<frm_Kalender> w;
};

const std::string kKlassen = "5a 5b 10a 10ä 10b Abi ärzte Ober Öko Oz Zeh";

} // namespace

TEST_F(DeutscheFolge, GitterUndExcelExportZeigenDieKlassenNachStufeUndDeutscherFolge)
{
    QStringList kopf;
    for (int c = 1; c < w->fgKalender->cols(); ++c)
        kopf << w->fgKalender->textMatrix(0, c);
    EXPECT_EQ(kopf.join(' ').toStdString(), kKlassen);

    testsupport::Sandbox sb;
    const QString ziel = sb.file("Plan.xlsx");
    testsupport::MsgRecorder rec;
    ASSERT_EQ(frm_Kalender::excelExport(*w->fgKalender, {}, nullptr,
                                        [&](QWidget *, const QString &, const QString &) { return ziel; }),
              ziel);
    const auto zellen = testsupport::xlsxCells(ziel);
    QStringList kopfExcel;
    for (char spalte = 'B'; spalte <= 'L'; ++spalte)
        kopfExcel << zellen.value(QString(QChar(spalte)) + "4");
    EXPECT_EQ(kopfExcel.join(' ').toStdString(), kKlassen);
}

TEST_F(DeutscheFolge, TabellenplanSchreibtKlassenUndFaecherEinerZelleInDeutscherFolge)
{
    ASSERT_TRUE(w->cmdHTML_L_Click());
    const QString t = kalfix::lesen(mdl::HTML_L);
    const QString ersteKopfzeile = t.section("  <tr>", 1, 1);
    EXPECT_EQ(folge(ersteKopfzeile, "<th id='col[BC]' bgcolor='#C0C0C0'>([^<]*)</th>"),
              "5a 5b 10a 10&auml; 10b Abi &auml;rzte Ober &Ouml;ko Oz Zeh");
    EXPECT_EQ(folge(t, "title='[^']*'[^>]*>([^<]*&Ouml;k[^<]*)</td>"), "Ad &auml;d KF Ob &Ouml;k Oz so");
}

TEST_F(DeutscheFolge, KlassenplanOrdnetKlassenUndFaecherDeutschKlassenfahrtenUndSonstigesZuletzt)
{
    ASSERT_TRUE(w->cmdHTML_S2_Click());
    const QString t = kalfix::lesen(mdl::HTML_S2);
    EXPECT_EQ(folge(t.section("<table", 0, 0), "<a href='#[^']*'>([^<]*)</a>"), "5a 5b 10a 10&auml; 10b Abi &auml;rzte Ober &Ouml;ko Oz Zeh");
    EXPECT_EQ(folge(t, "<a name='([^']*)'>Klasse</a>"), "&auml;rzte Ober &Ouml;ko Oz");
    const QString oeko = t.section("<a name='&Ouml;ko'>", 1, 1).section("</table>", 0, 0);
    EXPECT_EQ(folge(oeko, "<tr>\r\n    <td>[^<]*</td>\r\n    <td>([^<]*)</td>"),
              "Ad &auml;d Ob &Ouml;k Oz Klassenfahrt sonstiger Termin");
}
