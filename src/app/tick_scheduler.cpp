#include "app/tick_scheduler.h"

#include <algorithm>

namespace blokpost {

void TickScheduler::start(std::int64_t now) {
    nominalNext_ = now + kPeriod;
    lastStart_ = now - kPeriod;
}

std::int64_t TickScheduler::tickStarted(std::int64_t now) {
    std::int64_t dropped = 0;
    if (now - nominalNext_ > kMaximumBacklog) {
        dropped = now - nominalNext_;
        nominalNext_ = now;
    }
    lastStart_ = now;
    nominalNext_ += kPeriod;
    return dropped;
}

std::int64_t TickScheduler::delayUntilNext(std::int64_t now) const {
    const std::int64_t due = std::max(nominalNext_, lastStart_ + kMinimumGap);
    return std::max<std::int64_t>(0, due - now);
}

}  // namespace blokpost
