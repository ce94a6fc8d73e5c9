#include "board/libusb_transport.h"

#include "board/libusb_event_pump.h"

#include <libusb.h>

#include <linux/usbdevice_fs.h>
#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cstring>

namespace blokpost {

namespace {

// Room for a report longer than the board's, so one is seen as too long.
constexpr int kInBufferSize = 64;
// Completions kept for the board between two collects: a board that floods
// its IN endpoint while the cycle stands still cannot grow them without end.
constexpr std::size_t kMaxKeptCompletions = 64;
// Bounds the wait for cancelled transfers to end when the connection closes.
constexpr int kCloseWaitMs = 200;
// A halt's clear is a control transfer with this deadline; after one that
// fails the next waits twice as long as the last, from 250 ms up to 4 s.
constexpr unsigned kClearDeadlineMs = 200;
constexpr std::chrono::milliseconds kFirstClearBackOff{250};
constexpr std::chrono::milliseconds kLongestClearBackOff{4000};

std::string withReason(const std::string& sentence, const char* step, int error) {
    return sentence + " (" + step + ": " + libusb_strerror(error) + ")";
}

std::string describe(const char* step, int error) {
    switch (error) {
    case LIBUSB_ERROR_ACCESS:
        return withReason("Geen toegang tot de kaart: installeer de udev-regel 50-k8055.rules en sluit de kaart "
                          "opnieuw aan",
                          step, error);
    case LIBUSB_ERROR_BUSY:
        return withReason("Een ander programma houdt de kaart bezet: sluit dat programma en druk opnieuw op K8055n",
                          step, error);
    case LIBUSB_ERROR_NO_DEVICE:
        return withReason("De kaart is weg: ze werd losgekoppeld terwijl ze geopend werd", step, error);
    default: return withReason("De kaart kan niet geopend worden", step, error);
    }
}

// The interrupt endpoints of interface 0, as its descriptors declare them.
struct Endpoints {
    std::uint8_t in = 0, out = 0;
    int inSize = 0, outSize = 0;
    int inIntervalMs = 0;
};

Endpoints readEndpoints(libusb_device* device) {
    Endpoints found;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS) return found;
    if (config->bNumInterfaces > kK8055Interface && config->interface[kK8055Interface].num_altsetting > 0) {
        const libusb_interface_descriptor& setting = config->interface[kK8055Interface].altsetting[0];
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_INTERRUPT) continue;
            if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN && !found.in) {
                found = {endpoint.bEndpointAddress, found.out, endpoint.wMaxPacketSize, found.outSize,
                         endpoint.bInterval};
            } else if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_OUT && !found.out) {
                found.out = endpoint.bEndpointAddress;
                found.outSize = endpoint.wMaxPacketSize;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

// What in the endpoints does not fit the board, in the operator's words; empty when they fit.
std::string misfit(const Endpoints& endpoints) {
    std::vector<std::string> wrong;
    const auto size = [](const char* side, int bytes) {
        return std::string(side) + "-eindpunt van " + std::to_string(bytes) + " bytes (8 nodig)";
    };
    if (!endpoints.in) wrong.emplace_back("geen interrupt-IN-eindpunt");
    else if (endpoints.inSize < kK8055ReportSize) wrong.push_back(size("IN", endpoints.inSize));
    if (!endpoints.out) wrong.emplace_back("geen interrupt-OUT-eindpunt");
    else if (endpoints.outSize < kK8055ReportSize) wrong.push_back(size("OUT", endpoints.outSize));
    if (endpoints.in && (endpoints.inIntervalMs < 1 || endpoints.inIntervalMs > kLongestInputInterval.count()))
        wrong.push_back("IN-eindpunt dat elke " + std::to_string(endpoints.inIntervalMs) +
                        " ms gelezen wil worden (hoogstens " + std::to_string(kLongestInputInterval.count()) +
                        " ms past in een tik van 125 ms)");
    std::string text;
    for (const std::string& part : wrong) text += (text.empty() ? "" : ", ") + part;
    return text;
}

UsbResult resultOf(libusb_transfer_status status) {
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED: return UsbResult::Ok;
    case LIBUSB_TRANSFER_TIMED_OUT: return UsbResult::Timeout;
    case LIBUSB_TRANSFER_NO_DEVICE: return UsbResult::Gone;
    default: return UsbResult::Failed;
    }
}

class LibusbTransport : public UsbTransport {
public:
    LibusbTransport(libusb_context* context, libusb_device_handle* handle, const Endpoints& endpoints)
        : context_(context), handle_(handle), endpoints_(endpoints), in_(libusb_alloc_transfer(0)),
          out_(libusb_alloc_transfer(0)), clear_(libusb_alloc_transfer(0)),
          pump_(std::make_unique<LibusbEventPump>(context)) {
        pump_->afterEvents = [this] {
            if (inPending_) inWaitingAt_ = UsbClock::now();
        };
        submitInput();
    }
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;
    ~LibusbTransport() override;

    bool send(const UsbReport& report, std::chrono::milliseconds deadline) override;
    bool sending() const override { return outPending_; }
    std::vector<UsbCompletion> collect() override;
    std::chrono::milliseconds inputInterval() const override {
        return std::chrono::milliseconds(endpoints_.inIntervalMs);
    }
    bool haltStuck() const override { return clearFailures_ > 0; }

private:
    static void LIBUSB_CALL inputEnded(libusb_transfer* transfer);
    static void LIBUSB_CALL outputEnded(libusb_transfer* transfer);
    static void LIBUSB_CALL clearEnded(libusb_transfer* transfer);
    void submitInput();
    // Starts clearing the first halted endpoint, when no clear is under way and its back-off has passed.
    void clearHaltWhenDue();
    void resetHostEndpoint(std::uint8_t endpoint);
    void noteSubmitError(bool input, int error);
    // Keeps a completion; past the bound the oldest input report goes, as only the newest counts.
    void keep(const UsbCompletion& ended);

    libusb_context* context_;
    libusb_device_handle* handle_;
    Endpoints endpoints_;
    libusb_transfer* in_;
    libusb_transfer* out_;
    libusb_transfer* clear_;
    std::unique_ptr<LibusbEventPump> pump_;
    std::array<std::uint8_t, kInBufferSize> inBuffer_{};
    UsbReport outBuffer_{};
    std::array<std::uint8_t, LIBUSB_CONTROL_SETUP_SIZE> clearSetup_{};
    bool inPending_ = false, outPending_ = false, clearPending_ = false;
    bool inHalted_ = false, outHalted_ = false;
    bool gone_ = false;
    std::uint8_t clearing_ = 0;  // the endpoint whose halt the clear under way clears
    int clearFailures_ = 0;      // clears failed in a row
    UsbClock::time_point nextClearAt_{};
    UsbClock::time_point inSubmittedAt_{}, inWaitingAt_{};
    std::vector<UsbCompletion> ended_;
};

LibusbTransport::~LibusbTransport() {
    if (inPending_) libusb_cancel_transfer(in_);
    if (outPending_) libusb_cancel_transfer(out_);
    if (clearPending_) libusb_cancel_transfer(clear_);
    // The kernel gives a cancelled transfer back at once, whatever the board does.
    const auto until = UsbClock::now() + std::chrono::milliseconds(kCloseWaitMs);
    while ((inPending_ || outPending_ || clearPending_) && UsbClock::now() < until) {
        timeval wait{0, 10000};
        libusb_handle_events_timeout_completed(context_, &wait, nullptr);
    }
    pump_.reset();
    // A transfer still under way cannot be freed safely; it is left behind.
    if (!inPending_) libusb_free_transfer(in_);
    if (!outPending_) libusb_free_transfer(out_);
    if (!clearPending_) libusb_free_transfer(clear_);
    // On an unplugged board these fail harmlessly; the handle is freed either way.
    libusb_release_interface(handle_, kK8055Interface);
    libusb_close(handle_);
    libusb_exit(context_);
}

void LibusbTransport::submitInput() {
    // A stalled endpoint takes nothing until its halt has been cleared.
    if (gone_ || inPending_ || inHalted_) return;
    libusb_fill_interrupt_transfer(in_, handle_, endpoints_.in, inBuffer_.data(), kInBufferSize, &inputEnded, this, 0);
    inSubmittedAt_ = inWaitingAt_ = UsbClock::now();
    if (const int error = libusb_submit_transfer(in_); error != LIBUSB_SUCCESS) {
        noteSubmitError(true, error);
        return;
    }
    inPending_ = true;
    // A look once the transfer has stood two polls long: still waiting then,
    // it proves the board held no report.
    pump_->lookAfter(2 * inputInterval() + std::chrono::milliseconds(1));
}

// The clear is the standard CLEAR_FEATURE(ENDPOINT_HALT) request as an
// asynchronous control transfer with a deadline: libusb_clear_halt would
// wait for it on this thread, up to the kernel's 5 s on a hung control pipe.
void LibusbTransport::clearHaltWhenDue() {
    if (gone_ || clearPending_ || (!inHalted_ && !outHalted_) || UsbClock::now() < nextClearAt_) return;
    clearing_ = outHalted_ ? endpoints_.out : endpoints_.in;
    constexpr std::uint8_t kToEndpoint = LIBUSB_RECIPIENT_ENDPOINT;  // host to device, standard
    constexpr std::uint16_t kEndpointHalt = 0;
    libusb_fill_control_setup(clearSetup_.data(), kToEndpoint, LIBUSB_REQUEST_CLEAR_FEATURE, kEndpointHalt, clearing_, 0);
    libusb_fill_control_transfer(clear_, handle_, clearSetup_.data(), &clearEnded, this, kClearDeadlineMs);
    if (const int error = libusb_submit_transfer(clear_); error != LIBUSB_SUCCESS) noteSubmitError(true, error);
    else clearPending_ = true;
}

// The board's side of the halt is cleared; the host's data toggle for the
// endpoint must start over with it, as the kernel does after its own clear.
// USBDEVFS_RESETEP touches no wire and returns at once. Each connection has
// a libusb context of its own, whose one descriptor polled for output is
// the device's.
void LibusbTransport::resetHostEndpoint(std::uint8_t endpoint) {
    const libusb_pollfd** fds = libusb_get_pollfds(context_);
    if (!fds) return;
    for (const libusb_pollfd** fd = fds; *fd; ++fd) {
        unsigned int address = endpoint;
        if ((*fd)->events & POLLOUT) ioctl((*fd)->fd, USBDEVFS_RESETEP, &address);
    }
    libusb_free_pollfds(fds);
}

void LIBUSB_CALL LibusbTransport::clearEnded(libusb_transfer* transfer) {
    auto* self = static_cast<LibusbTransport*>(transfer->user_data);
    self->clearPending_ = false;
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED) return;
    if (transfer->status == LIBUSB_TRANSFER_NO_DEVICE) {
        self->noteSubmitError(true, LIBUSB_ERROR_NO_DEVICE);
        return;
    }
    if (transfer->status != LIBUSB_TRANSFER_COMPLETED) {
        // A board that does not answer the clear is left alone for a while.
        const auto backOff = std::min(kLongestClearBackOff, kFirstClearBackOff * (1 << std::min(self->clearFailures_, 5)));
        ++self->clearFailures_;
        self->nextClearAt_ = UsbClock::now() + backOff;
        return;
    }
    self->clearFailures_ = 0;
    self->resetHostEndpoint(self->clearing_);
    (self->clearing_ == self->endpoints_.out ? self->outHalted_ : self->inHalted_) = false;
}

bool LibusbTransport::send(const UsbReport& report, std::chrono::milliseconds deadline) {
    if (gone_ || outPending_) return false;
    // A report sent to a halted endpoint would only stall again: it fails as the stall did.
    if (outHalted_) {
        keep({false, UsbResult::Failed, {}, UsbClock::now(), UsbClock::now(), UsbClock::now()});
        return false;
    }
    outBuffer_ = report;
    libusb_fill_interrupt_transfer(out_, handle_, endpoints_.out, outBuffer_.data(), kK8055ReportSize, &outputEnded,
                                   this, static_cast<unsigned>(std::max<long>(1, deadline.count())));
    if (const int error = libusb_submit_transfer(out_); error != LIBUSB_SUCCESS) {
        noteSubmitError(false, error);
        return false;
    }
    outPending_ = true;
    return true;
}

void LibusbTransport::noteSubmitError(bool input, int error) {
    UsbCompletion ended;
    ended.input = input;
    ended.result = error == LIBUSB_ERROR_NO_DEVICE ? UsbResult::Gone : UsbResult::Failed;
    ended.endedAt = ended.submittedAt = ended.waitingAt = UsbClock::now();
    if (error == LIBUSB_ERROR_NO_DEVICE) gone_ = true;
    keep(ended);
}

void LIBUSB_CALL LibusbTransport::inputEnded(libusb_transfer* transfer) {
    auto* self = static_cast<LibusbTransport*>(transfer->user_data);
    self->inPending_ = false;
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED) return;
    UsbCompletion ended{true, resultOf(transfer->status), {}, UsbClock::now(), self->inSubmittedAt_,
                        self->inWaitingAt_};
    // The board's reports are exactly 8 bytes; a shorter or longer one is not its report.
    if (ended.result == UsbResult::Ok && transfer->actual_length != kK8055ReportSize) ended.result = UsbResult::Failed;
    if (ended.result == UsbResult::Ok) std::memcpy(ended.report.data(), transfer->buffer, kK8055ReportSize);
    if (transfer->status == LIBUSB_TRANSFER_STALL) self->inHalted_ = true;
    if (ended.result == UsbResult::Gone) self->gone_ = true;
    self->keep(ended);
    // A report is asked for again at once; after a failure only at the next
    // collect, so a failing endpoint cannot keep the event loop spinning.
    if (ended.result == UsbResult::Ok) self->submitInput();
}

void LIBUSB_CALL LibusbTransport::outputEnded(libusb_transfer* transfer) {
    auto* self = static_cast<LibusbTransport*>(transfer->user_data);
    self->outPending_ = false;
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED) return;
    UsbCompletion ended{false, resultOf(transfer->status), {}, UsbClock::now(), {}, {}};
    if (ended.result == UsbResult::Ok && transfer->actual_length != kK8055ReportSize) ended.result = UsbResult::Failed;
    if (transfer->status == LIBUSB_TRANSFER_STALL) self->outHalted_ = true;
    if (ended.result == UsbResult::Gone) self->gone_ = true;
    self->keep(ended);
}

void LibusbTransport::keep(const UsbCompletion& ended) {
    if (ended_.size() >= kMaxKeptCompletions) {
        const auto oldestInput = std::find_if(ended_.begin(), ended_.end(), [](const UsbCompletion& c) { return c.input; });
        if (oldestInput != ended_.end()) ended_.erase(oldestInput);
    }
    ended_.push_back(ended);
}

std::vector<UsbCompletion> LibusbTransport::collect() {
    pump_->handleReadyEvents();
    clearHaltWhenDue();
    submitInput();
    return std::exchange(ended_, {});
}

// Takes the interface from whatever kernel driver holds it; libusb gives it
// back to that driver when the interface is released.
int claim(libusb_device_handle* handle) {
    if (libusb_set_auto_detach_kernel_driver(handle, 1) == LIBUSB_ERROR_NOT_SUPPORTED &&
        libusb_kernel_driver_active(handle, kK8055Interface) == 1)
        libusb_detach_kernel_driver(handle, kK8055Interface);
    return libusb_claim_interface(handle, kK8055Interface);
}

// Opens the board's device among `devices`; null with `problem` set when it is there but unusable.
libusb_device_handle* openBoard(libusb_device** devices, ssize_t count, std::uint16_t productId, Endpoints& endpoints,
                                std::string& problem) {
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS) continue;
        if (descriptor.idVendor != kK8055VendorId || descriptor.idProduct != productId) continue;
        endpoints = readEndpoints(devices[i]);
        if (const std::string wrong = misfit(endpoints); !wrong.empty()) {
            problem = "Dit apparaat draagt de naam van een K8055, maar zijn eindpunten passen niet bij de kaart: " + wrong;
            return nullptr;
        }
        libusb_device_handle* handle = nullptr;
        if (const int error = libusb_open(devices[i], &handle); error != LIBUSB_SUCCESS) {
            problem = describe("Open", error);
            return nullptr;
        }
        if (const int error = claim(handle); error != LIBUSB_SUCCESS) {
            problem = describe("Claim", error);
            libusb_close(handle);
            return nullptr;
        }
        return handle;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<UsbTransport> openLibusbTransport(int address, std::string& problem) {
    problem.clear();
    if (address < 0 || address > 3) return nullptr;
    libusb_context* context = nullptr;
    if (const int error = libusb_init(&context); error != LIBUSB_SUCCESS) {
        problem = withReason("USB is op deze computer niet te gebruiken", "USB", error);
        return nullptr;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    Endpoints endpoints;
    libusb_device_handle* handle =
        openBoard(devices, count, static_cast<std::uint16_t>(kK8055FirstProductId + address), endpoints, problem);
    if (count >= 0) libusb_free_device_list(devices, 1);
    if (!handle) {
        libusb_exit(context);
        return nullptr;
    }
    return std::make_unique<LibusbTransport>(context, handle, endpoints);
}

}  // namespace blokpost
