#pragma once
// The timer that drives the main cycle: a tick every 125 ms on a fixed grid
// (see TickScheduler), on the GUI thread.

#include "app/tick_scheduler.h"

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace blokpost {

class CycleTimer {
public:
    explicit CycleTimer(std::function<void()> tick);

    void start();
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }
    // Milliseconds of backlog dropped since start, when the program fell far behind.
    std::int64_t droppedMilliseconds() const { return dropped_; }

private:
    void fire();

    std::function<void()> tick_;
    QTimer timer_;
    QElapsedTimer clock_;
    TickScheduler schedule_;
    std::int64_t dropped_ = 0;
};

}  // namespace blokpost
