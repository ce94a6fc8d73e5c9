#include "board/libusb_transport.h"

#include "board/libusb_event_pump.h"

#include <libusb.h>

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

bool fits(const Endpoints& endpoints) {
    return endpoints.in && endpoints.out && endpoints.inSize >= kK8055ReportSize &&
           endpoints.outSize >= kK8055ReportSize && endpoints.inIntervalMs >= 1;
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
          out_(libusb_alloc_transfer(0)), pump_(std::make_unique<LibusbEventPump>(context)) {
        submitInput();
    }
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;
    ~LibusbTransport() override;

    bool send(const UsbReport& report, std::chrono::milliseconds deadline) override;
    bool sending() const override { return outPending_; }
    std::vector<UsbCompletion> collect() override;
    std::chrono::milliseconds sampleTime() const override {
        // One interval for the report the board already holds to go, one for a fresh sample.
        return std::chrono::milliseconds(2 * endpoints_.inIntervalMs);
    }

private:
    static void LIBUSB_CALL inputEnded(libusb_transfer* transfer);
    static void LIBUSB_CALL outputEnded(libusb_transfer* transfer);
    void submitInput();
    void noteSubmitError(bool input, int error);
    // Keeps a completion; past the bound the oldest input report goes, as only the newest counts.
    void keep(const UsbCompletion& ended);

    libusb_context* context_;
    libusb_device_handle* handle_;
    Endpoints endpoints_;
    libusb_transfer* in_;
    libusb_transfer* out_;
    std::unique_ptr<LibusbEventPump> pump_;
    std::array<std::uint8_t, kInBufferSize> inBuffer_{};
    UsbReport outBuffer_{};
    bool inPending_ = false, outPending_ = false;
    bool inHalted_ = false, outHalted_ = false;
    bool gone_ = false;
    UsbClock::time_point inSubmittedAt_{};
    std::vector<UsbCompletion> ended_;
};

LibusbTransport::~LibusbTransport() {
    if (inPending_) libusb_cancel_transfer(in_);
    if (outPending_) libusb_cancel_transfer(out_);
    const auto until = UsbClock::now() + std::chrono::milliseconds(kCloseWaitMs);
    while ((inPending_ || outPending_) && UsbClock::now() < until) {
        timeval wait{0, 10000};
        libusb_handle_events_timeout_completed(context_, &wait, nullptr);
    }
    pump_.reset();
    // A transfer still under way cannot be freed safely; it is left behind.
    if (!inPending_) libusb_free_transfer(in_);
    if (!outPending_) libusb_free_transfer(out_);
    // On an unplugged board these fail harmlessly; the handle is freed either way.
    libusb_release_interface(handle_, kK8055Interface);
    libusb_close(handle_);
    libusb_exit(context_);
}

void LibusbTransport::submitInput() {
    if (gone_ || inPending_) return;
    // A stalled endpoint takes nothing until the host clears the halt.
    if (inHalted_) libusb_clear_halt(handle_, endpoints_.in);
    inHalted_ = false;
    libusb_fill_interrupt_transfer(in_, handle_, endpoints_.in, inBuffer_.data(), kInBufferSize, &inputEnded, this, 0);
    inSubmittedAt_ = UsbClock::now();
    if (const int error = libusb_submit_transfer(in_); error != LIBUSB_SUCCESS) noteSubmitError(true, error);
    else inPending_ = true;
}

bool LibusbTransport::send(const UsbReport& report, std::chrono::milliseconds deadline) {
    if (gone_ || outPending_) return false;
    if (outHalted_) libusb_clear_halt(handle_, endpoints_.out);
    outHalted_ = false;
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
    ended.endedAt = ended.submittedAt = UsbClock::now();
    if (error == LIBUSB_ERROR_NO_DEVICE) gone_ = true;
    keep(ended);
}

void LIBUSB_CALL LibusbTransport::inputEnded(libusb_transfer* transfer) {
    auto* self = static_cast<LibusbTransport*>(transfer->user_data);
    self->inPending_ = false;
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED) return;
    UsbCompletion ended{true, resultOf(transfer->status), {}, UsbClock::now(), self->inSubmittedAt_};
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
    UsbCompletion ended{false, resultOf(transfer->status), {}, UsbClock::now(), {}};
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
        if (!fits(endpoints)) {
            problem = "Dit apparaat draagt de naam van een K8055, maar zijn eindpunten passen niet bij de kaart";
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
