#include "board/libusb_event_pump.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <libusb.h>
#include <poll.h>

namespace blokpost {

LibusbEventPump::LibusbEventPump(libusb_context* context) : context_(context) {
    if (!QCoreApplication::instance()) return;
    active_ = true;
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { handleReadyEvents(); });
    look_.setSingleShot(true);
    look_.setTimerType(Qt::PreciseTimer);
    connect(&look_, &QTimer::timeout, this, [this] { handleReadyEvents(); });
    if (const libusb_pollfd** fds = libusb_get_pollfds(context_)) {
        for (const libusb_pollfd** fd = fds; *fd; ++fd) watch((*fd)->fd, (*fd)->events);
        libusb_free_pollfds(fds);
    }
    libusb_set_pollfd_notifiers(
        context_, [](int fd, short events, void* pump) { static_cast<LibusbEventPump*>(pump)->watch(fd, events); },
        [](int fd, void* pump) { static_cast<LibusbEventPump*>(pump)->unwatch(fd); }, this);
    armTimer();
}

LibusbEventPump::~LibusbEventPump() {
    if (active_) libusb_set_pollfd_notifiers(context_, nullptr, nullptr, nullptr);
}

void LibusbEventPump::watch(int fd, short events) {
    unwatch(fd);
    const auto notify = [this] { handleReadyEvents(); };
    if (events & POLLIN) {
        auto& reader = readers_[fd] = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(reader.get(), &QSocketNotifier::activated, this, notify);
    }
    if (events & POLLOUT) {
        auto& writer = writers_[fd] = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        connect(writer.get(), &QSocketNotifier::activated, this, notify);
    }
}

void LibusbEventPump::unwatch(int fd) {
    readers_.erase(fd);
    writers_.erase(fd);
}

void LibusbEventPump::handleReadyEvents() {
    timeval now{0, 0};
    libusb_handle_events_timeout_completed(context_, &now, nullptr);
    if (afterEvents) afterEvents();
    if (active_) armTimer();
}

void LibusbEventPump::lookAfter(std::chrono::milliseconds delay) {
    if (active_) look_.start(delay);
}

void LibusbEventPump::armTimer() {
    // Where libusb keeps its timeouts in a descriptor of its own, the notifiers see them.
    if (libusb_pollfds_handle_timeouts(context_)) return;
    timeval next{};
    if (libusb_get_next_timeout(context_, &next) == 1)
        timeout_.start(static_cast<int>(next.tv_sec * 1000 + next.tv_usec / 1000) + 1);
}

}  // namespace blokpost
