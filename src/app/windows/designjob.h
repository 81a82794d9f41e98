#pragma once

#include "design/filters.h"
#include "design/odds.h"
#include "design/wheel.h"
#include "store/result.h"

#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace loto6 {

class JobProgress;

// One pick or wheel of the designer with its odds, run on the worker; the window reads the
// results once the worker has finished.
struct DesignJob
{
    bool wheel = false;
    design::DesignFilter filter;
    design::FilterContext context;
    int count = 0;
    std::uint64_t seed = 0;
    design::WheelRequest request;
    std::shared_ptr<const design::PrizeModel> prizes;

    std::atomic<int> bestSize{0};
    std::atomic<bool> weighing{false};

    Status status;
    std::uint64_t combinations = 0;
    design::Wheel made;
    std::vector<design::Combination> tickets;
    std::optional<design::TicketOdds> odds;
    std::string memo;
    // A wheel's tickets that miss the ticked conditions (the wheel does not use them).
    int missingConditions = 0;
    std::optional<design::Combination> missedExample;

    // Progress in thousandths.
    void run(JobProgress &progress);
    // The Japanese line for the finished job: what was made, or why nothing was.
    QString resultText(bool cancelled) const;
    // What a wheel's tickets make of the ticked conditions, which a wheel does not use; empty
    // when none is ticked.
    QString conditionsText() const;

private:
    void checkConditions();
};

// Why the designer refused, in Japanese, as a sentence of the status line.
QString designRefusalText(const Status &status);

} // namespace loto6
