#pragma once
// libusb's event handling inside Qt's event loop: each file descriptor libusb
// watches gets a QSocketNotifier, and libusb's next timeout a timer, so that
// transfers end (and the standing input transfer is submitted again) while
// the program waits between ticks, with no thread of its own.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

struct libusb_context;
class QSocketNotifier;

namespace blokpost {

class LibusbEventPump : public QObject {
public:
    // Does nothing without a Qt application (a test or benchmark that pumps by hand).
    explicit LibusbEventPump(libusb_context* context);
    ~LibusbEventPump() override;
    LibusbEventPump(const LibusbEventPump&) = delete;
    LibusbEventPump& operator=(const LibusbEventPump&) = delete;

    // Handles what is ready, without waiting, then calls afterEvents.
    void handleReadyEvents();
    // Handles events once more after `delay`, whether or not anything is ready then.
    void lookAfter(std::chrono::milliseconds delay);
    std::function<void()> afterEvents;

private:
    void watch(int fd, short events);
    void unwatch(int fd);
    void armTimer();

    libusb_context* context_;
    std::map<int, std::unique_ptr<QSocketNotifier>> readers_, writers_;
    QTimer timeout_;
    QTimer look_;
    bool active_ = false;
};

}  // namespace blokpost
