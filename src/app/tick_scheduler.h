#pragma once
// When the next 125 ms tick is due. Ticks keep to a fixed grid, so the model
// clock does not drift when single ticks come late. A late tick is caught up
// gently: two ticks never start closer than kMinimumGap, so the address and
// strobe outputs keep enough of their time for the pin decoder. When the
// program has fallen far behind (the machine was suspended, a message box
// stood open), the backlog is dropped instead of being run in a burst.

#include <cstdint>

namespace blokpost {

class TickScheduler {
public:
    static constexpr std::int64_t kPeriod = 125;        // milliseconds
    static constexpr std::int64_t kMinimumGap = 100;    // milliseconds between two tick starts
    static constexpr std::int64_t kMaximumBacklog = 1000;

    // The first tick is due one period after `now`.
    void start(std::int64_t now);
    // Call when a tick starts; returns how many milliseconds of backlog were dropped.
    std::int64_t tickStarted(std::int64_t now);
    // Milliseconds from `now` until the next tick should start.
    std::int64_t delayUntilNext(std::int64_t now) const;

    std::int64_t nominalNext() const { return nominalNext_; }

private:
    std::int64_t nominalNext_ = 0;
    std::int64_t lastStart_ = 0;
};

}  // namespace blokpost
