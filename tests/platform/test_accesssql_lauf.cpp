// A typed statement's run can be given up in every phase and never makes or converts a value
// beyond its limits.
#include "platform/accessfuncs.h"
#include "platform/accesssql.h"
#include "platform/accesssql_run.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <sqlite3.h>

using accesssql::ReadResult;
using accesssql::RunPhase;

namespace {

struct Lauf {
    testsupport::Sandbox sb;
    zdb::Db db;
    Lauf()
    {
        db.create(sb.file("f.db"));
        db.exec("CREATE TABLE t (x INTEGER); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                "WHERE i < 60) INSERT INTO t SELECT i FROM n");
    }
    ReadResult lesen(const QString &sql, accesssql::ReadLimits limits = {})
    {
        const accesssql::Translation t = accesssql::translate(sql);
        EXPECT_TRUE(t.ok) << qPrintable(sql);
        return accesssql::readTexts(db, t, limits);
    }
};

} // namespace

// Each phase asks, and a "no" there ends the run with nothing read: the engine's steps (a
// cross join before its first row), a few calls that make large values, the rows, and the
// conversion of one long value.
TEST(TypedRun, GivingUpInAnyPhaseEndsTheRunWithNothingRead)
{
    const struct {
        const char *sql;
        RunPhase phase;
    } faelle[] = {
        {"SELECT count(*) FROM t a, t b, t c", RunPhase::Engine},
        {"SELECT Len(String(100, 'x') & Space(100))", RunPhase::Engine},
        {"SELECT x FROM t", RunPhase::Rows},
        {"SELECT String(3000000, '€') AS lang", RunPhase::Values},
    };
    for (const auto &f : faelle) {
        Lauf l;
        int gefragt = 0;
        accesssql::ReadLimits limits;
        limits.goOn = [&](RunPhase p) { return p != f.phase || ++gefragt < 2; };
        const ReadResult r = l.lesen(f.sql, limits);
        EXPECT_EQ(r.status, ReadResult::Stopped) << f.sql << " phase " << int(f.phase);
        EXPECT_TRUE(r.rows.isEmpty()) << f.sql;
        EXPECT_EQ(gefragt, 2) << f.sql;
        // The connection is as before: no handler, its functions answer again.
        EXPECT_EQ(l.db.scalar("SELECT Len(String(3, 'x'))").toInt(), 3);
    }
}

// Another thread ends a run where the engine stands (a cross join of billions of rows before its
// first row); the connection then runs its next statement as before. Ended before it starts, a
// run reads nothing.
TEST(TypedRun, AnotherThreadInterruptsTheEngine)
{
    Lauf l;
    accesssql::Interrupt halt;
    std::atomic<bool> laeuft{false};
    accesssql::ReadLimits limits;
    limits.interrupt = &halt;
    limits.goOn = [&](RunPhase p) {
        laeuft = laeuft || p == RunPhase::Engine;
        return true;
    };
    std::thread anderer([&] {
        while (!laeuft)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        halt.stop();
    });
    const ReadResult r = l.lesen("SELECT count(*) FROM t a, t b, t c, t d, t e, t f", limits);
    anderer.join();
    EXPECT_EQ(r.status, ReadResult::Stopped);
    EXPECT_TRUE(r.rows.isEmpty());
    EXPECT_EQ(l.db.scalar("SELECT count(*) FROM t a, t b").toInt(), 3600);

    accesssql::Interrupt vorher;
    vorher.stop();
    accesssql::ReadLimits gestoppt;
    gestoppt.interrupt = &vorher;
    const ReadResult nichts = l.lesen("SELECT x FROM t", gestoppt);
    EXPECT_EQ(nichts.status, ReadResult::Stopped);
    EXPECT_TRUE(nichts.rows.isEmpty());
}

// A long value is converted in pieces; characters split between two pieces come out whole.
TEST(TypedRun, LongValueConvertedInPiecesGivesTheWholeText)
{
    Lauf l;
    int gefragt = 0;
    accesssql::ReadLimits limits;
    limits.goOn = [&](RunPhase p) {
        gefragt += p == RunPhase::Values;
        return true;
    };
    // A mark U+FEFF at the start of a piece (1 MiB apart) stays, as reading the whole keeps it.
    const ReadResult r = l.lesen("SELECT String(1000000, '€') & 'ß' & String(1000000, 'x') AS lang, 'kurz', "
                                 "String(349525, '€') & 'a' & String(349526, 65279) & 'b' AS marken",
                                 limits);
    ASSERT_EQ(r.status, ReadResult::Complete);
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][0], QString(1000000, QChar(0x20AC)) + QChar(0xDF) + QString(1000000, 'x'));
    EXPECT_EQ(r.rows[0][1], "kurz");
    EXPECT_EQ(r.rows[0][2], QString(349525, QChar(0x20AC)) + 'a' + QString(349526, QChar(0xFEFF)) + 'b');
    EXPECT_GT(gefragt, 1);
}

// The memory stop counts a value by its size before converting it; the value limit refuses one
// before the engine makes it, and the connection keeps its own limit afterwards.
TEST(TypedRun, ValuesBeyondTheLimitsAreRefusedBeforeTheyAreConvertedOrMade)
{
    Lauf l;
    bool umgewandelt = false;
    accesssql::ReadLimits limits;
    limits.maxBytes = 3000000;
    limits.goOn = [&](RunPhase p) {
        umgewandelt = umgewandelt || p == RunPhase::Values;
        return true;
    };
    ReadResult r = l.lesen("SELECT String(2000000, 'x')", limits);
    EXPECT_EQ(r.status, ReadResult::TooBig);
    EXPECT_TRUE(r.rows.isEmpty());
    EXPECT_FALSE(umgewandelt);
    EXPECT_EQ(l.lesen("SELECT String(1000000, 'x')", limits).status, ReadResult::Complete);
    // Many rows of medium values add up.
    EXPECT_EQ(l.lesen("SELECT String(100000, 'x') FROM t", limits).status, ReadResult::TooBig);
    // Sorting by huge values fills the engine's memory, not the result: that counts too.
    const QString sortiert = "SELECT x FROM t ORDER BY String(200000, 'x') & x";
    EXPECT_EQ(l.lesen(sortiert).status, ReadResult::Complete);
    EXPECT_EQ(l.lesen(sortiert, limits).status, ReadResult::TooBig);

    accesssql::ReadLimits wert;
    wert.maxValueBytes = 1000;
    for (const char *sql : {"SELECT String(1001, 'x')", "SELECT String(334, '€')", "SELECT Space(600) & Space(600)",
                            "SELECT 'a' & String(1000, 'x')", "SELECT String(300000000, 'x')",
                            "SELECT Len(String(2000, 'x'))"})
        EXPECT_EQ(l.lesen(sql, wert).status, ReadResult::TooBig) << sql;
    r = l.lesen("SELECT String(1000, 'x'), String(333, '€'), Space(500) & Space(500)", wert);
    ASSERT_EQ(r.status, ReadResult::Complete);
    EXPECT_EQ(r.rows[0][0].size(), 1000);
    EXPECT_EQ(r.rows[0][1].size(), 333);
    EXPECT_EQ(r.rows[0][2].size(), 1000);
    EXPECT_EQ(l.db.scalar("SELECT Len(String(10000000, 'x'))").toInt(), 10000000);
}

// A function that works through a long value asks the run's go-on check as it goes, not only when
// it is called: a "no" ends the run in the middle of one call.
TEST(TypedRun, FunctionsWorkingThroughALongValueAskAsTheyGo)
{
    const auto gefragt = [](const char *sql, int stopp) {
        Lauf l;
        int n = 0;
        accesssql::ReadLimits limits;
        limits.goOn = [&](RunPhase p) { return p != RunPhase::Engine || ++n < stopp; };
        return l.lesen(QString::fromUtf8(sql), limits).status;
    };
    // Made at once, asked once: the check of the calls alone does not reach the sixth question.
    EXPECT_EQ(gefragt("SELECT String(8000000, 'a') IS NULL", 6), ReadResult::Complete);
    for (const char *sql : {"SELECT Replace(String(8000000, 'a'), 'a', 'b') IS NULL",
                            "SELECT Replace(String(8000000, 'a'), 'A', 'b', 1, -1, 1) IS NULL",
                            "SELECT StrReverse(String(8000000, 'a')) IS NULL",
                            "SELECT StrConv(String(8000000, 'a'), 3) IS NULL", "SELECT UCase(String(8000000, 'ä')) IS NULL",
                            "SELECT LCase(String(8000000, 'a')) IS NULL", "SELECT Mid(String(8000000, 'a'), 7000000) IS NULL",
                            "SELECT Left(String(8000000, 'a'), 7000000) IS NULL",
                            "SELECT Right(String(8000000, 'a'), 7000000) IS NULL", "SELECT Len(String(8000000, 'a')) IS NULL"})
        EXPECT_EQ(gefragt(sql, 6), ReadResult::Stopped) << sql;
}

// A result that grows beyond its arguments is counted before it is made: beyond the value limit
// it is refused, within it complete.
TEST(TypedRun, GrowingResultsAreCountedBeforeTheyAreMade)
{
    Lauf l;
    accesssql::ReadLimits wert;
    wert.maxValueBytes = 1000;
    for (const char *sql : {"SELECT Replace(String(200, 'a'), 'a', 'aaaaaa')", "SELECT Replace(String(500, 'a'), 'A', 'ää', 1, -1, 1)",
                            "SELECT UCase(String(400, 592))", "SELECT StrConv(String(400, 592), 1)"})
        EXPECT_EQ(l.lesen(sql, wert).status, ReadResult::TooBig) << sql;
    const ReadResult r = l.lesen("SELECT Replace(String(100, 'a'), 'a', 'aa'), Replace('xAxa', 'a', 'ä', 2, -1, 1), "
                                 "StrReverse('Ärger😀'), StrConv('der gROßE weg', 3), Mid('a😀b', 2, 2), Right('😀b', 1)",
                                 wert);
    ASSERT_EQ(r.status, ReadResult::Complete);
    EXPECT_EQ(r.rows[0], QStringList({QString(200, 'a'), "äxä", "😀regrÄ", "Der Große Weg", "😀", "b"}));
}

// String and Space outside a run: a negative count is Access's invalid argument, a count beyond
// the connection's length limit the engine's "too big", never an allocation of that size.
TEST(TypedRun, RepeatCountsAreCheckedBeforeAnythingIsMade)
{
    Lauf l;
    const auto code = [&](const char *sql) {
        try {
            l.db.scalar(sql);
        } catch (const zdb::DbError &e) {
            return e.code();
        }
        return SQLITE_OK;
    };
    EXPECT_EQ(code("SELECT String(-1, 'x')"), SQLITE_ERROR);
    EXPECT_EQ(code("SELECT Space(-3)"), SQLITE_ERROR);
    EXPECT_EQ(code("SELECT String(1e300, 'x')"), SQLITE_TOOBIG);
    sqlite3_limit(l.db.handle(), SQLITE_LIMIT_LENGTH, 50);
    EXPECT_EQ(code("SELECT Space(51)"), SQLITE_TOOBIG);
    EXPECT_EQ(code("SELECT AccConcat(Space(30), Space(30))"), SQLITE_TOOBIG);
    EXPECT_EQ(l.db.scalar("SELECT String(16, 'ä') || Space(18)").toString(), QString(16, QChar(0xE4)) + QString(18, ' '));
    EXPECT_EQ(l.db.scalar("SELECT AccConcat(1.5, NULL, Space(2), 'ü')").toString(), "1,5  ü");
}

// Values that repeat share their texts, yet every cell shows its own value: numbers far apart,
// negative ones, short texts that differ only in length or in a later byte, dates and Yes/No
// beside them, each met again in later rows.
TEST(TypedRun, RepeatedNumbersAndShortTextsEachShowTheirOwnValue)
{
    Lauf l;
    l.db.exec("CREATE TABLE w (n INTEGER, s TEXT, d DATE, b BIT)");
    const QList<qint64> zahlen = {5, 4101, -5, 5 + 4096 * 1000, 0, -4091, 9007199254740993LL};
    const QStringList texte = {"ab", "ab ", "abc", "abd", "", "ä", "aä", "12345678", "123456789", "a\tb"};
    for (int runde = 0; runde < 3; ++runde)
        for (int i = 0; i < 30; ++i)
            l.db.exec("INSERT INTO w VALUES (?, ?, ?, ?)",
                      {zahlen[i % zahlen.size()], texte[i % texte.size()], "2024-02-0" + QString::number(1 + i % 3),
                       i % 2});
    const ReadResult r = l.lesen("SELECT n, s, d, b FROM w");
    ASSERT_EQ(r.status, ReadResult::Complete);
    ASSERT_EQ(r.rows.size(), 90);
    for (int k = 0; k < 90; ++k) {
        const int i = k % 30;
        EXPECT_EQ(r.rows[k][0], QString::number(zahlen[i % zahlen.size()])) << k;
        EXPECT_EQ(r.rows[k][1], texte[i % texte.size()]) << k;
        EXPECT_EQ(r.rows[k][2], QString("0%1.02.2024").arg(1 + i % 3)) << k;
        EXPECT_EQ(r.rows[k][3], i % 2 ? "Wahr" : "Falsch") << k;
    }
}
