#include "board/libusb_transport.h"

#include <libusb.h>

namespace blokpost {

namespace {

UsbResult resultOf(int error) {
    switch (error) {
    case LIBUSB_SUCCESS: return UsbResult::Ok;
    case LIBUSB_ERROR_TIMEOUT: return UsbResult::Timeout;
    case LIBUSB_ERROR_NO_DEVICE: return UsbResult::Gone;
    default: return UsbResult::Failed;
    }
}

std::string describe(const char* step, int error) {
    std::string text = std::string(step) + ": " + libusb_strerror(error);
    if (error == LIBUSB_ERROR_ACCESS)
        text += " (install the udev rule 50-k8055.rules, then plug the board in again)";
    return text;
}

class LibusbTransport : public UsbTransport {
public:
    LibusbTransport(libusb_context* context, libusb_device_handle* handle) : context_(context), handle_(handle) {}
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    ~LibusbTransport() override {
        // On an unplugged board these fail harmlessly; the handle is freed either way.
        libusb_release_interface(handle_, kK8055Interface);
        libusb_close(handle_);
        libusb_exit(context_);
    }

    UsbResult write(const UsbReport& report, int timeoutMs) override {
        UsbReport copy = report;  // libusb takes a non-const buffer
        int sent = 0;
        const int error = libusb_interrupt_transfer(handle_, kK8055OutEndpoint, copy.data(),
                                                    static_cast<int>(copy.size()), &sent, timeoutOf(timeoutMs));
        if (error == LIBUSB_ERROR_PIPE) clearHalt(kK8055OutEndpoint);
        if (error == LIBUSB_SUCCESS && sent != static_cast<int>(copy.size())) return UsbResult::Failed;
        return resultOf(error);
    }

    UsbResult read(UsbReport& report, int timeoutMs) override {
        UsbReport incoming{};
        int received = 0;
        const int error = libusb_interrupt_transfer(handle_, kK8055InEndpoint, incoming.data(),
                                                    static_cast<int>(incoming.size()), &received, timeoutOf(timeoutMs));
        if (error == LIBUSB_ERROR_PIPE) clearHalt(kK8055InEndpoint);
        if (error != LIBUSB_SUCCESS) return resultOf(error);
        if (received != static_cast<int>(incoming.size())) return UsbResult::Failed;
        report = incoming;
        return UsbResult::Ok;
    }

private:
    // A timeout of 0 would mean "wait for ever" to libusb.
    static unsigned timeoutOf(int timeoutMs) { return static_cast<unsigned>(timeoutMs < 1 ? 1 : timeoutMs); }

    // A stalled endpoint takes nothing until the host clears the halt; the
    // transfer that met the stall still counts as failed.
    void clearHalt(std::uint8_t endpoint) { libusb_clear_halt(handle_, endpoint); }

    libusb_context* context_;
    libusb_device_handle* handle_;
};

// Takes the interface from whatever kernel driver holds it; libusb gives it
// back to that driver when the interface is released.
int claim(libusb_device_handle* handle) {
    if (libusb_set_auto_detach_kernel_driver(handle, 1) == LIBUSB_ERROR_NOT_SUPPORTED &&
        libusb_kernel_driver_active(handle, kK8055Interface) == 1)
        libusb_detach_kernel_driver(handle, kK8055Interface);
    return libusb_claim_interface(handle, kK8055Interface);
}

}  // namespace

std::unique_ptr<UsbTransport> openLibusbTransport(int address, std::string& problem) {
    problem.clear();
    if (address < 0 || address > 3) return nullptr;
    libusb_context* context = nullptr;
    if (const int error = libusb_init(&context); error != LIBUSB_SUCCESS) {
        problem = describe("USB", error);
        return nullptr;
    }
    const auto productId = static_cast<std::uint16_t>(kK8055FirstProductId + address);
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    libusb_device_handle* handle = nullptr;
    for (ssize_t i = 0; i < count && !handle && problem.empty(); ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS) continue;
        if (descriptor.idVendor != kK8055VendorId || descriptor.idProduct != productId) continue;
        if (const int error = libusb_open(devices[i], &handle); error != LIBUSB_SUCCESS) {
            handle = nullptr;
            problem = describe("Open", error);
        }
    }
    if (count >= 0) libusb_free_device_list(devices, 1);
    if (handle) {
        if (const int error = claim(handle); error != LIBUSB_SUCCESS) {
            problem = describe("Claim", error);
            libusb_close(handle);
            handle = nullptr;
        }
    }
    if (!handle) {
        libusb_exit(context);
        return nullptr;
    }
    return std::make_unique<LibusbTransport>(context, handle);
}

}  // namespace blokpost
