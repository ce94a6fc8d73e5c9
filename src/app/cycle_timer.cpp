#include "app/cycle_timer.h"

namespace blokpost {

CycleTimer::CycleTimer(std::function<void()> tick) : tick_(std::move(tick)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void CycleTimer::start() {
    clock_.start();
    schedule_.start(0);
    timer_.start(static_cast<int>(schedule_.delayUntilNext(0)));
}

void CycleTimer::fire() {
    dropped_ += schedule_.tickStarted(clock_.elapsed());
    tick_();
    timer_.start(static_cast<int>(schedule_.delayUntilNext(clock_.elapsed())));
}

}  // namespace blokpost
