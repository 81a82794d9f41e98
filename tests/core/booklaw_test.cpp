#include "analysis/probability.h"
#include "testsupport.h"
#include "tickets/booklaw.h"
#include "tickets/ticketgrading.h"
#include "tickets/ticketsheets.h"

#include <gtest/gtest.h>

#include <bit>

using namespace loto6;

namespace {

std::uint64_t maskOf(std::initializer_list<int> numbers)
{
    std::uint64_t m = 0;
    for (int n : numbers)
        m |= std::uint64_t{1} << n;
    return m;
}

// The same book on each of `draws` draws.
std::vector<BookDraw> onDraws(const std::vector<BookLine> &lines, int draws)
{
    std::vector<BookDraw> out;
    for (int d = 1; d <= draws; ++d)
        out.push_back({d, lines});
    return out;
}

// Winning ticket-draws of the book against one simulated fair history.
long long fairWins(const std::vector<BookDraw> &book, PortableRandom &random)
{
    long long won = 0;
    for (const BookDraw &d : book) {
        const std::uint64_t mains = randomFairDraw(random).mains;
        for (const BookLine &l : d.lines)
            won += std::popcount(mains & l.mask) >= 3 ? l.tickets : 0;
    }
    return won;
}

struct Rates
{
    double more = 0;
    double fewer = 0;
};

// How often fair histories are called notable at 5% on each side.
Rates notableRates(const std::vector<BookDraw> &book, int histories, const LawBudget &budget)
{
    PortableRandom random(99);
    int more = 0, fewer = 0;
    for (int h = 0; h < histories; ++h) {
        const WinCountLaw law = winCountLaw(book, fairWins(book, random), budget);
        more += law.pAtLeast < 0.05 ? 1 : 0;
        fewer += law.pAtMost < 0.05 ? 1 : 0;
    }
    return {static_cast<double>(more) / histories, static_cast<double>(fewer) / histories};
}

} // namespace

// The law of one draw against lines that share numbers, against the tests' own enumeration
// of every draw.
TEST(BookLaw, OneDrawLawCountsEveryDraw)
{
    const std::vector<BookLine> lines{{maskOf({1, 2, 3, 4, 5, 6}), 2, 2},
        {maskOf({1, 2, 3, 7, 8, 9}), 1, 1}, {maskOf({4, 5, 10, 20, 30, 40}), 1, 5}};
    std::vector<long long> counted(5, 0);
    test::forEachSixOf43([&](const int *c) {
        std::uint64_t draw = 0;
        for (int i = 0; i < 6; ++i)
            draw |= std::uint64_t{1} << c[i];
        long long won = 0;
        for (const BookLine &l : lines)
            won += std::popcount(draw & l.mask) >= 3 ? l.tickets : 0;
        ++counted[static_cast<std::size_t>(won)];
    });
    const std::vector<double> law = oneDrawWinLaw(lines);
    ASSERT_EQ(law.size(), counted.size());
    for (std::size_t w = 0; w < law.size(); ++w)
        EXPECT_NEAR(law[w], static_cast<double>(counted[w]) / 6'096'454.0, 1e-15) << w;
    // One line alone wins with the chance of any prize.
    const std::vector<double> one = oneDrawWinLaw({{maskOf({1, 2, 3, 4, 5, 6}), 1, 1}});
    EXPECT_NEAR(one[1], TicketGrading::anyPrizeChance(), 1e-15);
}

// Five tickets of one line over the whole history: they win together, so the law is that of
// the line's 2,144 draws, not of 10,720 independent tickets.
TEST(BookLaw, RepeatedLinesWinTogether)
{
    const auto book = onDraws({{maskOf({3, 11, 19, 24, 33, 41}), 5, 5}}, 2144);
    const WinCountLaw law = winCountLaw(book, 255);
    EXPECT_FALSE(law.simulated);
    EXPECT_NEAR(law.pAtMost, binomialCdf(2144, TicketGrading::anyPrizeChance(), 51), 1e-9);
    EXPECT_NEAR(law.pAtMost, 0.186, 0.002);
    EXPECT_NEAR(law.pAtLeast, binomialSf(2144, TicketGrading::anyPrizeChance(), 51), 1e-9);
    // The simulation agrees within its stated error.
    const WinCountLaw sim = winCountLaw(book, 255, LawBudget{0, 2e6, 5});
    EXPECT_TRUE(sim.simulated);
    EXPECT_GT(sim.errorAtMost, 0);
    EXPECT_NEAR(sim.pAtMost, law.pAtMost, 4 * sim.errorAtMost + 1.0 / sim.simulations);
}

// Under fair draws a wheel book and a repeated line are called notable at 5% on either side
// no more than 5% of the time (within the error of 400 histories), exactly and by simulation;
// taking their lines as independent (the binomial law of every ticket-draw) would not be.
TEST(BookLaw, NullCalibrationOfWheelsAndRepeatedLines)
{
    std::vector<BookLine> wheel; // every six of seven numbers: seven lines sharing five each
    for (int out = 1; out <= 7; ++out) {
        std::uint64_t m = 0;
        for (int n = 1; n <= 7; ++n)
            m |= n == out ? 0 : std::uint64_t{1} << n;
        wheel.push_back({m, 1, 1});
    }
    const auto wheelBook = onDraws(wheel, 40);
    const auto repeated = onDraws({{maskOf({3, 11, 19, 24, 33, 41}), 5, 5}}, 40);
    const double slack = 2 * std::sqrt(0.05 * 0.95 / 400);
    for (const auto *book : {&wheelBook, &repeated}) {
        const Rates exact = notableRates(*book, 400, LawBudget{});
        EXPECT_LE(exact.more, 0.05 + slack);
        EXPECT_LE(exact.fewer, 0.05 + slack);
        const Rates simulated = notableRates(*book, 150, LawBudget{0, 1, 7});
        EXPECT_LE(simulated.more, 0.05 + 2 * std::sqrt(0.05 * 0.95 / 150));
        EXPECT_LE(simulated.fewer, 0.05 + 2 * std::sqrt(0.05 * 0.95 / 150));
    }
    // The fault this guards against: the repeated line as 200 independent ticket-draws.
    PortableRandom random(99);
    int notable = 0;
    for (int h = 0; h < 400; ++h) {
        const long long won = fairWins(repeated, random);
        notable += binomialSf(200, TicketGrading::anyPrizeChance(), won) < 0.05 ? 1 : 0;
    }
    EXPECT_GT(notable / 400.0, 0.05 + slack);
}

// The verdict of the ticket book reads the book's own law and says how it was found.
TEST(BookLaw, GradingUsesTheBookAsItIs)
{
    std::vector<DrawRecord> draws = test::makeDraws(30, 11);
    const DrawHistory h = test::history(draws);
    Ticket t;
    t.numbers = {3, 11, 19, 24, 33, 41};
    t.draws = 30;
    const TicketGrading g({t, t, t}, h, {});
    ASSERT_EQ(g.bookDraws().size(), 30u);
    EXPECT_EQ(g.bookDraws()[0].lines.size(), 1u);
    EXPECT_EQ(g.bookDraws()[0].lines[0].tickets, 3);
    const long long lineWins = g.summary().winningLines / 3;
    EXPECT_NEAR(
        g.summary().pAtLeast, binomialSf(30, TicketGrading::anyPrizeChance(), lineWins), 1e-12);
    EXPECT_NE(g.summary().sentence.find("厳密"), std::string::npos);
    // A book of 400 different lines is past the exact counting: simulated, its error stated.
    std::vector<Ticket> many;
    PortableRandom random(3);
    for (int i = 0; i < 400; ++i) {
        t.numbers = {};
        const std::uint64_t mains = randomFairDraw(random).mains;
        for (std::size_t k = 0, n = 1; n <= 43; ++n)
            if (mains >> n & 1)
                t.numbers[k++] = static_cast<int>(n);
        many.push_back(t);
    }
    const TicketGrading big(many, h, {});
    EXPECT_TRUE(big.summary().law.simulated);
    EXPECT_GE(big.summary().law.simulations, MinSimulations);
    EXPECT_NE(big.summary().sentence.find("回の模擬抽選による推定、誤差±"), std::string::npos);
    EXPECT_NE(ticketSummarySheet(big).text(3, 14).find("誤差±"), std::string::npos);
}
