// The search over most of the school reads the year's absences in one pass: each shown pupil's
// cells hold what the class click shows for them, whatever form the stored id has, and of one
// day's several records the latest by time, then by writing.
#include "absencefixture.h"
#include "core/mdl_zandrel.h"
#include "platform/grid/vsgrid.h"

#include <QLineEdit>

namespace {

class SucheSchule : public absencetest::FensterTest {
protected:
    void SetUp() override
    {
        FensterTest::SetUp();
        // Enough pupils that the whole school is more than a few thousand persons.
        s.nm.beginImmediate();
        for (int i = 0; i < 2500; ++i)
            s.schueler(10000 + i, QStringLiteral("Name%1").arg(i), QStringLiteral("Vorname"), QStringLiteral("9z"));
        s.nm.commit();
        mdl::dbEigen.beginImmediate();
        for (int i = 0; i < 2500; i += 7)
            s.fehltag(QString::number(10000 + i), montag.addDays(-(i % 30)), QStringLiteral("kr"));
        // Stored ids with blanks and in other case reach their person; a teacher is not shown.
        s.fehltag(QStringLiteral(" 12 "), montag, QStringLiteral("ab"));
        s.fehltag(QStringLiteral("13"), montag.addDays(-7), QStringLiteral("kr"));
        s.fehltag(QStringLiteral("MÜ"), montag, QStringLiteral("ab"));
        s.fehltag(QStringLiteral("13"), QDate(2023, 10, 7), QStringLiteral("ab")); // an earlier year
        // One day of 13: the record with the later time stays, though written first; a day alone
        // comes before a time of that day; of equal times the one written last.
        auto mitZeit = [](const QDate &d, const char *zeit) { return zdb::isoDate(d) + QLatin1Char(' ') + zeit; };
        const QDate tag = montag.addDays(-1 - 2); // Friday 04.10.
        for (const auto &[fehltag, grund] : std::initializer_list<std::pair<QString, const char *>>{
                 {mitZeit(tag, "10:00:00"), "kr"}, {mitZeit(tag, "08:00:00"), "ab"}, {zdb::isoDate(tag), "un"}})
            mdl::dbEigen.exec(QStringLiteral("INSERT INTO tbl_Fehltage (S_Id, Fehltag, Grund) VALUES ('13', ?, ?)"),
                              {fehltag, QString::fromUtf8(grund)});
        const QDate tag2 = tag.addDays(-1); // Thursday 03.10., both records as written, the last stays
        s.fehltag(QStringLiteral("13"), tag2, QStringLiteral("ab"));
        s.fehltag(QStringLiteral("13"), tag2, QStringLiteral("kr"));
        mdl::dbEigen.commit();
    }

    // Day cells of the person's row that hold a code, as "dd.MM.:code".
    QStringList zellen(const QString &id)
    {
        QStringList out;
        const int r = zeile(id);
        EXPECT_GE(r, 0) << id.toStdString();
        for (int c = 3; r >= 0 && c < f->fgSchueler->cols(); ++c)
            if (!f->fgSchueler->textMatrix(r, c).isEmpty())
                out << f->fgSchueler->textMatrix(1, c) + "." + f->fgSchueler->textMatrix(0, c) + ":"
                           + f->fgSchueler->textMatrix(r, c);
        return out;
    }
};

} // namespace

TEST_F(SucheSchule, EveryShownPupilShowsWhatTheClassClickShows)
{
    oeffnen("X", "5a");
    const QStringList klasse12 = zellen("12"), klasse13 = zellen("13");
    ASSERT_FALSE(klasse12.isEmpty());
    ASSERT_EQ(klasse13.size(), 3);
    f->txtSuche->setText(QStringLiteral(" "));
    EXPECT_GT(f->fgSchueler->rows(), 2500);
    EXPECT_EQ(zellen("12"), klasse12);
    EXPECT_EQ(zellen("13"), klasse13);
    EXPECT_LT(zeile("MÜ"), 0);
    int gezeigt = 0;
    for (int i = 0; i < 2500; i += 7)
        gezeigt += zellen(QString::number(10000 + i)).size();
    EXPECT_EQ(gezeigt, (2500 + 6) / 7);
    // The later time of Friday, the last written of Thursday.
    const int r = zeile("13");
    EXPECT_EQ(f->fgSchueler->textMatrix(r, spalte(montag.addDays(-3))), "kr");
    EXPECT_EQ(f->fgSchueler->textMatrix(r, spalte(montag.addDays(-4))), "kr");
}
