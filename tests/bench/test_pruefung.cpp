// The bench's verdicts: which figures pass their aims, and the exit code of --check.
#include "bench/pruefung.h"

#include <gtest/gtest.h>
#include <limits>
#include <thread>

namespace {

struct Pruefung : ::testing::Test {
    void SetUp() override
    {
        bench::vergessen();
        bench::setFigur("test");
    }
    void TearDown() override { bench::vergessen(); }
};

} // namespace

TEST_F(Pruefung, LimitsAndRatiosPassOnlyWithinTheirAims)
{
    bench::aimBelow("unter der Grenze", 149.9, 150);
    bench::aimRatio("genau das Doppelte", 20, 10, 2.0);
    EXPECT_TRUE(bench::verfehlt().empty());
    EXPECT_EQ(bench::auswerten(true), 0);

    bench::aimBelow("an der Grenze", 150, 150);
    bench::aimRatio("mehr als das Doppelte", 20.1, 10, 2.0);
    ASSERT_EQ(bench::verfehlt().size(), 2u);
    EXPECT_TRUE(bench::verfehlt()[0].startsWith("test: an der Grenze"));
    EXPECT_TRUE(bench::verfehlt()[1].contains("2.01x, aim <= 2x"));
    EXPECT_EQ(bench::auswerten(true), 1);
    EXPECT_EQ(bench::auswerten(false), 0); // without --check the figures are information only
}

// A figure that never ran or a bare read that read nothing must not pass by its zero.
TEST_F(Pruefung, NothingMeasuredIsNeverAPass)
{
    const double nichts = std::numeric_limits<double>::quiet_NaN();
    bench::aimBelow("keine Zahl", nichts, 150);
    bench::aimRatio("Basis null", 5, 0, 3.0);
    bench::aimRatio("keine Zahl im Verhältnis", nichts, 10, 3.0);
    bench::aimRatio("Paar ohne bare", bench::Paar{5, 0, 0}, 2.0);
    EXPECT_EQ(bench::verfehlt().size(), 4u);
    EXPECT_EQ(bench::auswerten(true), 1);
}

TEST_F(Pruefung, PairsAreJudgedByTheMedianOfTheirRatios)
{
    // The view takes about three times the bare read on every pair.
    auto warten = [](int us) { return [us] { std::this_thread::sleep_for(std::chrono::microseconds(us)); }; };
    const bench::Paar p = bench::paarweise(warten(6000), warten(2000), 5);
    EXPECT_GT(p.verhaeltnis, 2.0);
    EXPECT_LT(p.verhaeltnis, 4.5);
    bench::aimRatio("dreifach", p, 2.0);
    EXPECT_EQ(bench::auswerten(true), 1);

    // A bare read too quick to be timed never lets its pairs pass.
    const bench::Paar leer = bench::paarweise(warten(1000), [] {}, 3);
    EXPECT_GT(leer.verhaeltnis, 1000.0);
}
