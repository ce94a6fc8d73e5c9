#include "board_usb/emulated_k8055.h"

#include <umockdev.h>

#include <dlfcn.h>
#include <climits>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace blokpost::test {

namespace {

constexpr std::uint16_t kVendor = 0x10CF;
constexpr std::uint16_t kFirstProduct = 0x5500;
constexpr std::uint8_t kOutEndpoint = 0x01;
constexpr std::uint8_t kInEndpoint = 0x81;
constexpr std::uint8_t kSetOutputsCommand = 5;
constexpr int kBus = 1;
// Input k (1..5) travels in this bit of an input report's first byte.
constexpr std::array<std::uint8_t, 5> kInputBits = {0x10, 0x20, 0x01, 0x40, 0x80};
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// Device descriptor and the one configuration: interface 0 (HID) with an
// interrupt IN and an interrupt OUT endpoint of 8 bytes. The emulation hands
// a queued report over at once, as an endpoint polled every frame would.
std::vector<std::uint8_t> descriptors(int address, int inInterval) {
    const std::uint16_t product = static_cast<std::uint16_t>(kFirstProduct + address);
    return {
        // device
        18, 0x01, 0x10, 0x01, 0x00, 0x00, 0x00, 8, kVendor & 0xFF, kVendor >> 8,
        static_cast<std::uint8_t>(product & 0xFF), static_cast<std::uint8_t>(product >> 8), 0x00, 0x01, 1, 2, 0, 1,
        // configuration: 41 bytes in all, one interface, bus powered, 100 mA
        9, 0x02, 41, 0, 1, 1, 0, 0x80, 50,
        // interface 0: two endpoints, HID class
        9, 0x04, 0, 0, 2, 0x03, 0x00, 0x00, 0,
        // HID descriptor
        9, 0x21, 0x00, 0x01, 0x00, 1, 0x22, 0x1D, 0x00,
        // endpoint 0x81: interrupt IN, 8 bytes, polled every 1 ms
        7, 0x05, kInEndpoint, 0x03, 8, 0, static_cast<std::uint8_t>(inInterval),
        // endpoint 0x01: interrupt OUT, 8 bytes, polled every 1 ms
        7, 0x05, kOutEndpoint, 0x03, 8, 0, 1,
    };
}

std::string threeDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// The ioctl's argument resolved as a block of `size` bytes in the client; null when it is no pointer.
UMockdevIoctlData* argumentBlock(UMockdevIoctlClient* client, std::size_t size) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    return umockdev_ioctl_data_resolve(arg, 0, size, nullptr);
}

}  // namespace

namespace {

// Every emulated board alive, for poll() to ask.
std::mutex liveMutex;
std::vector<EmulatedK8055*> live;

}  // namespace

UsbTestbedDirectory::UsbTestbedDirectory() : testbed_(umockdev_testbed_new()) {}

UsbTestbedDirectory::~UsbTestbedDirectory() { g_object_unref(testbed_); }

bool UsbTestbedDirectory::active() { return umockdev_in_mock_environment(); }

EmulatedK8055::EmulatedK8055(UMockdevTestbed* testbed, int address, bool plugIn)
    : testbed_(testbed), address_(address) {
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedK8055::onIoctl), this);
    g_signal_connect(handler_, "client-vanished", G_CALLBACK(&EmulatedK8055::onClientVanished), this);
    if (plugIn) this->plugIn();
    std::lock_guard lock(liveMutex);
    live.push_back(this);
}

EmulatedK8055::~EmulatedK8055() {
    {
        std::lock_guard lock(liveMutex);
        std::erase(live, this);
    }
    unplug();
    g_signal_handlers_disconnect_by_data(handler_, this);
    g_object_unref(handler_);
}

// The bus hands out device numbers 2..127 in turn, as the kernel does, and
// starts again at the bottom; number 1 is the root hub's.
int nextDeviceNumber() {
    static int last = 1;
    last = last >= 127 ? 2 : last + 1;
    return last;
}

void EmulatedK8055::addDevice() {
    deviceNumber_ = nextDeviceNumber();
    const std::string bus = threeDigits(kBus), device = threeDigits(deviceNumber_);
    devnode_ = "/dev/bus/usb/" + bus + "/" + device;
    const std::string name = "1-" + std::to_string(address_ + 1);
    syspath_ = "/sys/devices/" + name;
    std::string hex;
    for (std::uint8_t byte : descriptors(address_, inInterval_)) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex += pair;
    }
    // A device with a node needs the recorded-device form: add_device makes no /dev entry.
    const std::string description =
        "P: /devices/" + name + "\nN: bus/usb/" + bus + "/" + device + "\nE: SUBSYSTEM=usb\nE: DEVNAME=" + devnode_ +
        "\nE: DEVTYPE=usb_device\nE: BUSNUM=" + bus + "\nE: DEVNUM=" + device + "\nE: PRODUCT=10cf/" +
        std::to_string(5500 + address_) + "/0\nA: idVendor=10cf\nA: idProduct=55" + threeDigits(address_).substr(1) +
        "\nA: busnum=" + std::to_string(kBus) + "\nA: devnum=" + std::to_string(deviceNumber_) +
        "\nA: speed=12\nA: bConfigurationValue=1\nA: bNumConfigurations=1\nA: bNumInterfaces= 1\nA: dev=189:" +
        std::to_string((kBus - 1) * 128 + deviceNumber_ - 1) +
        "\nA: manufacturer=Velleman\nA: product=USB K8055\nH: descriptors=" + hex + "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, description.c_str(), &error) ||
        !umockdev_testbed_attach_ioctl(testbed_, devnode_.c_str(), handler_, &error)) {
        const std::string message = error ? error->message : "the testbed took no USB device";
        g_clear_error(&error);
        throw std::runtime_error(message);
    }
}

void EmulatedK8055::plugIn() {
    if (pluggedIn()) return;
    unplug();
    {
        std::lock_guard lock(mutex_);
        plugged_ = inTestbed_ = true;
        reports_.clear();
        outputs_ = {};
        outHalted_ = inHalted_ = false;
        setClaim(nullptr);
        nextReport_ = std::chrono::steady_clock::now() + reportPeriod_;
    }
    addDevice();
}

void EmulatedK8055::cutCable() {
    plugged_ = false;
    unplugAt_.reset();
    // Transfers in flight end as the kernel ends them when the device goes.
    for (Urb& urb : urbs_)
        if (!urb.done) {
            urb.done = true;
            urb.status = -ESHUTDOWN;
            urb.actualLength = 0;
        }
    setClaim(nullptr);
}

void EmulatedK8055::unplug() {
    {
        std::lock_guard lock(mutex_);
        cutCable();
        if (!inTestbed_) return;
        inTestbed_ = false;
    }
    umockdev_testbed_detach_ioctl(testbed_, devnode_.c_str(), nullptr);
    umockdev_testbed_remove_device(testbed_, syspath_.c_str());
}

void EmulatedK8055::unplugAt(UnplugMoment moment) {
    std::lock_guard lock(mutex_);
    unplugAt_ = moment;
}

bool EmulatedK8055::pluggedIn() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

void EmulatedK8055::setBehaviour(BoardBehaviour behaviour) {
    std::lock_guard lock(mutex_);
    behaviour_ = behaviour;
}

void EmulatedK8055::setTransferTime(std::chrono::milliseconds time) {
    std::lock_guard lock(mutex_);
    transferTime_ = time;
}

void EmulatedK8055::setControlTime(std::chrono::milliseconds time) {
    std::lock_guard lock(mutex_);
    controlTime_ = time;
}

void EmulatedK8055::setInInterval(int milliseconds) {
    std::lock_guard lock(mutex_);
    inInterval_ = milliseconds;
}

void EmulatedK8055::setReportPeriod(std::chrono::milliseconds period) {
    std::lock_guard lock(mutex_);
    makeReports(std::chrono::steady_clock::now());
    reportPeriod_ = std::max(period, std::chrono::milliseconds(1));
}

void EmulatedK8055::setInputReportLength(int length) {
    std::lock_guard lock(mutex_);
    inputLength_ = std::clamp(length, 0, 64);
}

void EmulatedK8055::setAnalogInputs(std::uint8_t analog1, std::uint8_t analog2) {
    std::lock_guard lock(mutex_);
    makeReports(std::chrono::steady_clock::now());
    analog_ = {analog1, analog2};
}

void EmulatedK8055::setCounters(std::uint16_t counter1, std::uint16_t counter2) {
    std::lock_guard lock(mutex_);
    makeReports(std::chrono::steady_clock::now());
    counter_ = {counter1, counter2};
}

void EmulatedK8055::setSensor(int sensor, bool on) {
    if (sensor < 1 || sensor > 20) return;
    std::lock_guard lock(mutex_);
    makeReports(std::chrono::steady_clock::now());
    sensors_[static_cast<std::size_t>(sensor)] = on;
}

void EmulatedK8055::setKernelDriver(const std::string& name) {
    std::lock_guard lock(mutex_);
    kernelDriver_ = name;
}

std::string EmulatedK8055::devnode() const {
    std::lock_guard lock(mutex_);
    return devnode_;
}

EmulatedOutputs EmulatedK8055::outputs() const {
    std::lock_guard lock(mutex_);
    return outputs_;
}

UsbTraffic EmulatedK8055::traffic() const {
    std::lock_guard lock(mutex_);
    return traffic_;
}

std::string EmulatedK8055::kernelDriver() const {
    std::lock_guard lock(mutex_);
    return kernelDriver_;
}

bool EmulatedK8055::interfaceClaimed() const {
    std::lock_guard lock(mutex_);
    return claimed();
}

bool EmulatedK8055::reapable() {
    std::lock_guard lock(mutex_);
    if (!plugged_) return true;
    for (Urb& urb : urbs_)
        if (!urb.done) completeReadyUrbs(urb.client);
    return std::any_of(urbs_.begin(), urbs_.end(), [](const Urb& urb) { return urb.done; });
}

std::optional<std::chrono::steady_clock::time_point> EmulatedK8055::nextCompletion() const {
    std::lock_guard lock(mutex_);
    std::optional<std::chrono::steady_clock::time_point> next;
    const auto consider = [&next](std::chrono::steady_clock::time_point at) { next = next ? std::min(*next, at) : at; };
    for (const Urb& urb : urbs_) {
        if (urb.done || behaviour_ == BoardBehaviour::Silent) continue;
        const auto after = urb.submittedAt + transferTime_;
        if (urb.control) {
            if (controlTime_.count() >= 0) consider(urb.submittedAt + controlTime_);
        } else if (urb.endpoint == kOutEndpoint || transferTime_.count() > 0 || inHalted_ ||
                   behaviour_ == BoardBehaviour::StallsInputs || behaviour_ == BoardBehaviour::StallsInputOnce) {
            consider(after);
        } else {
            consider(reports_.empty() ? nextReport_ : urb.submittedAt);
        }
    }
    return next;
}

namespace {

// The emulated board whose device file `fd` is, if any: umockdev opens a
// file at the device node's place in the testbed in its stead.
EmulatedK8055* boardOnFile(int fd) {
    char link[PATH_MAX] = {};
    if (readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), link, sizeof link - 1) <= 0) return nullptr;
    const std::string path(link);
    std::lock_guard lock(liveMutex);
    for (EmulatedK8055* board : live) {
        const std::string node = board->devnode();
        if (path.size() > node.size() && path.compare(path.size() - node.size(), node.size(), node) == 0) return board;
    }
    return nullptr;
}

}  // namespace

}  // namespace blokpost::test

// poll() as the kernel answers it for a usbfs file: writable only once a
// transfer can be reaped, with an error once the device is gone, and woken
// when the emulated board ends a transfer. umockdev's file is always ready,
// which would keep libusb's watch spinning. (Qt's event loop polls here too.)
extern "C" int poll(pollfd* fds, nfds_t count, int timeout) {
    using blokpost::test::EmulatedK8055;
    using Clock = std::chrono::steady_clock;
    static const auto realPoll = reinterpret_cast<int (*)(pollfd*, nfds_t, int)>(dlsym(RTLD_NEXT, "poll"));
    std::vector<std::pair<nfds_t, EmulatedK8055*>> devices;
    for (nfds_t i = 0; i < count; ++i)
        if (fds[i].fd >= 0 && (fds[i].events & POLLOUT))
            if (EmulatedK8055* board = blokpost::test::boardOnFile(fds[i].fd)) devices.emplace_back(i, board);
    if (devices.empty()) return realPoll(fds, count, timeout);
    const auto deadline = timeout < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeout);
    const auto answer = [&] {
        int ready = 0;
        for (auto& [i, board] : devices) {
            fds[i].revents = board->reapable() ? (board->pluggedIn() ? POLLOUT : POLLOUT | POLLERR | POLLHUP) : 0;
            ready += fds[i].revents != 0;
        }
        return ready;
    };
    std::vector<int> files(devices.size());
    while (true) {
        auto until = answer() ? Clock::now() : deadline;
        for (auto& [i, board] : devices)
            if (const auto next = board->nextCompletion()) until = std::min(until, *next);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(std::max(until - Clock::now(), Clock::duration::zero()));
        // The device files sit out the real poll, which sees only the others.
        for (std::size_t k = 0; k < devices.size(); ++k) files[k] = std::exchange(fds[devices[k].first].fd, -1);
        const int others = realPoll(fds, count, until == Clock::time_point::max() ? -1 : static_cast<int>(left.count()));
        for (std::size_t k = 0; k < devices.size(); ++k) fds[devices[k].first].fd = files[k];
        const int devicesReady = others < 0 ? 0 : answer();
        if (others < 0 || devicesReady || others > 0) return others < 0 ? others : others + devicesReady;
        if (Clock::now() >= deadline) return 0;
    }
}

namespace blokpost::test {

// --- the board ----------------------------------------------------------

std::uint8_t EmulatedK8055::digitalInputs() const {
    // The selector's group codes: (0,255) = 1, (255,255) = 2, (255,0) = 3, (0,0) = 4.
    const bool high1 = outputs_.analog1 >= 128, high2 = outputs_.analog2 >= 128;
    const int group = !high1 && high2 ? 1 : high1 && high2 ? 2 : high1 ? 3 : 4;
    std::uint8_t bits = 0;
    for (std::size_t k = 0; k < kInputBits.size(); ++k)
        if (sensors_[static_cast<std::size_t>(5 * (group - 1)) + k + 1])
            bits = static_cast<std::uint8_t>(bits | kInputBits[k]);
    return bits;
}

std::array<std::uint8_t, 8> EmulatedK8055::inputReport() const {
    return {digitalInputs(),
            static_cast<std::uint8_t>(address_ + 1),
            analog_[0],
            analog_[1],
            static_cast<std::uint8_t>(counter_[0] & 0xFF),
            static_cast<std::uint8_t>(counter_[0] >> 8),
            static_cast<std::uint8_t>(counter_[1] & 0xFF),
            static_cast<std::uint8_t>(counter_[1] >> 8)};
}

void EmulatedK8055::makeReports(std::chrono::steady_clock::time_point now) {
    const auto period = reportPeriod_;
    if (!plugged_ || behaviour_ == BoardBehaviour::Silent) {
        if (nextReport_ < now) nextReport_ = now + period;
        return;
    }
    // Inputs only change through the setters, which bring the clock up to
    // date first, so every report made here carries the current inputs.
    int made = 0;
    for (; nextReport_ <= now && made <= static_cast<int>(kBufferedReports); nextReport_ += period, ++made) {
        reports_.push_back(inputReport());
        if (reports_.size() > kBufferedReports) reports_.pop_front();
    }
    if (nextReport_ <= now) nextReport_ = now + period;
}

void EmulatedK8055::takeOutputReport(Urb& urb) {
    guint8* bytes = urb.buffer ? urb.buffer->data : nullptr;
    const int length = urb.buffer ? urb.buffer->data_len : 0;
    urb.done = true;
    if (behaviour_ == BoardBehaviour::StallsOutputs || outHalted_) {
        outHalted_ = true;
        urb.status = -EPIPE;
        return;
    }
    urb.status = 0;
    urb.actualLength = length;
    if (length >= 4 && bytes[0] == kSetOutputsCommand) {
        makeReports(std::chrono::steady_clock::now());
        outputs_ = {bytes[1], bytes[2], bytes[3]};
    }
}

// Marks every transfer of `client` that the board can finish now as done.
void EmulatedK8055::completeReadyUrbs(UMockdevIoctlClient* client) {
    const auto now = std::chrono::steady_clock::now();
    makeReports(now);
    for (Urb& urb : urbs_) {
        if (urb.done || urb.client != client) continue;
        if (urb.control) {
            if (controlTime_.count() >= 0 && now >= urb.submittedAt + controlTime_) answerControl(urb);
            continue;
        }
        if (now < urb.submittedAt + transferTime_) continue;
        if (urb.endpoint == kOutEndpoint) {
            if (behaviour_ != BoardBehaviour::Silent)
                takeOutputReport(urb);
        } else {
            answerInput(urb);
        }
    }
}

void EmulatedK8055::answerInput(Urb& urb) {
    if (behaviour_ == BoardBehaviour::Silent) return;
    if (behaviour_ == BoardBehaviour::StallsInputs || behaviour_ == BoardBehaviour::StallsInputOnce || inHalted_) {
        if (behaviour_ == BoardBehaviour::StallsInputOnce) behaviour_ = BoardBehaviour::Normal;
        inHalted_ = true;
        urb.done = true;
        urb.status = -EPIPE;
        urb.actualLength = 0;
        return;
    }
    // A slow board answers with its inputs as they are; a quick one hands
    // over what waits in its buffer.
    std::array<std::uint8_t, 8> report = inputReport();
    if (transferTime_.count() == 0) {
        if (reports_.empty()) return;
        report = reports_.front();
        reports_.pop_front();
    }
    fillInputReport(urb, report);
}

void EmulatedK8055::answerControl(Urb& urb) {
    if (urb.clears == kOutEndpoint) outHalted_ = false;
    if (urb.clears == kInEndpoint) inHalted_ = false;
    urb.done = true;
    urb.status = 0;
    urb.actualLength = 0;
}

void EmulatedK8055::fillInputReport(Urb& urb, const std::array<std::uint8_t, 8>& report) {
    const int room = urb.buffer ? urb.buffer->data_len : 0;
    const int length = std::min(room, inputLength_);
    if (length > 0) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length), 0);
        std::memcpy(bytes.data(), report.data(), std::min<std::size_t>(bytes.size(), report.size()));
        std::memcpy(urb.buffer->data, bytes.data(), bytes.size());
    }
    urb.done = true;
    urb.status = inputLength_ > room ? -EOVERFLOW : 0;
    urb.actualLength = length;
}

// --- usbdevfs -----------------------------------------------------------

int EmulatedK8055::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
    static_cast<EmulatedK8055*>(self)->handle(client);
    return TRUE;
}

void EmulatedK8055::onClientVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
    auto* board = static_cast<EmulatedK8055*>(self);
    std::lock_guard lock(board->mutex_);
    // A closed file releases its interface and kills its transfers.
    if (board->claimedBy_ == client) board->setClaim(nullptr);
    for (Urb& urb : board->urbs_)
        if (urb.client == client) board->dropUrb(urb);
    std::erase_if(board->urbs_, [client](const Urb& urb) { return urb.client == client; });
}

void EmulatedK8055::setClaim(UMockdevIoctlClient* client) {
    if (client) g_object_ref(client);
    if (claimedBy_) g_object_unref(claimedBy_);
    claimedBy_ = client;
}

// A file that was closed holds nothing, whether or not its closing was noticed.
bool EmulatedK8055::claimed() const { return claimedBy_ && umockdev_ioctl_client_get_connected(claimedBy_); }

bool EmulatedK8055::heldByAnother(UMockdevIoctlClient* client) const { return claimedBy_ != client && claimed(); }

void EmulatedK8055::dropUrb(Urb& urb) {
    if (urb.urb) g_object_unref(urb.urb);
    if (urb.buffer) g_object_unref(urb.buffer);
    urb.urb = urb.buffer = nullptr;
}

void EmulatedK8055::handle(UMockdevIoctlClient* client) {
    const gulong request = umockdev_ioctl_client_get_request(client);
    std::unique_lock lock(mutex_);
    ++traffic_.ioctls;
    int error = 0;
    long result = 0;
    if (!plugged_ && request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_REAPURB) {
        result = -1;
        error = ENODEV;
    } else {
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* caps = argumentBlock(client, sizeof(std::uint32_t));
            if (caps) {
                std::memcpy(caps->data, &kCapabilities, sizeof kCapabilities);
                g_object_unref(caps);
            }
            ++traffic_.opens;
            break;
        }
        case USBDEVFS_CLAIMINTERFACE: result = claim(client, error); break;
        case USBDEVFS_RELEASEINTERFACE:
            if (claimedBy_ == client) {
                setClaim(nullptr);
            } else {
                result = -1;
                error = EINVAL;
            }
            break;
        case USBDEVFS_GETDRIVER: {
            UMockdevIoctlData* block = argumentBlock(client, sizeof(usbdevfs_getdriver));
            auto* query = block ? reinterpret_cast<usbdevfs_getdriver*>(block->data) : nullptr;
            if (!query || query->interface != 0 || kernelDriver_.empty()) {
                result = -1;
                error = ENODATA;
            } else {
                std::snprintf(query->driver, sizeof query->driver, "%s", kernelDriver_.c_str());
            }
            if (block) g_object_unref(block);
            break;
        }
        case USBDEVFS_IOCTL: result = usbfsIoctl(client, error); break;
        case USBDEVFS_DISCONNECT_CLAIM: result = disconnectAndClaim(client, error); break;
        case USBDEVFS_CLEAR_HALT: {
            UMockdevIoctlData* block = argumentBlock(client, sizeof(unsigned int));
            const unsigned int endpoint = block ? *reinterpret_cast<unsigned int*>(block->data) : 0;
            if (block) g_object_unref(block);
            ++traffic_.clearHalts;
            // The kernel waits for the control pipe's answer, up to its 5 s.
            const bool hangs = controlTime_.count() < 0;
            lock.unlock();
            std::this_thread::sleep_for(hangs ? std::chrono::milliseconds(5000) : controlTime_);
            lock.lock();
            if (hangs) {
                result = -1;
                error = ETIMEDOUT;
                break;
            }
            if (endpoint == kOutEndpoint) outHalted_ = false;
            if (endpoint == kInEndpoint) inHalted_ = false;
            break;
        }
        case USBDEVFS_RESETEP: ++traffic_.endpointResets; break;
        case USBDEVFS_SUBMITURB: result = submitUrb(client, error); break;
        case USBDEVFS_DISCARDURB: result = discardUrb(client, error); break;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY: result = reapUrb(client, error); break;
        default:
            result = -1;
            error = ENOTTY;
        }
    }
    lock.unlock();
    umockdev_ioctl_client_complete(client, result, error);
}

long EmulatedK8055::claim(UMockdevIoctlClient* client, int& error) {
    if (pullCableAt(UnplugMoment::AtClaim, error)) return -1;
    UMockdevIoctlData* block = argumentBlock(client, sizeof(unsigned int));
    const unsigned int interface = block ? *reinterpret_cast<unsigned int*>(block->data) : 99;
    if (block) g_object_unref(block);
    if (interface != 0) {
        error = ENOENT;
        return -1;
    }
    if (!kernelDriver_.empty() || heldByAnother(client)) {
        error = EBUSY;
        return -1;
    }
    setClaim(client);
    return 0;
}

long EmulatedK8055::disconnectAndClaim(UMockdevIoctlClient* client, int& error) {
    if (pullCableAt(UnplugMoment::AtClaim, error)) return -1;
    UMockdevIoctlData* block = argumentBlock(client, sizeof(usbdevfs_disconnect_claim));
    if (!block) {
        error = EFAULT;
        return -1;
    }
    const auto* request = reinterpret_cast<const usbdevfs_disconnect_claim*>(block->data);
    const std::string named(request->driver, strnlen(request->driver, sizeof request->driver));
    const bool onlyThatDriver = request->flags & USBDEVFS_DISCONNECT_CLAIM_IF_DRIVER;
    const bool exceptThatDriver = request->flags & USBDEVFS_DISCONNECT_CLAIM_EXCEPT_DRIVER;
    const unsigned int interface = request->interface;
    g_object_unref(block);
    if (interface != 0) {
        error = EINVAL;
        return -1;
    }
    const bool detach = !kernelDriver_.empty() && !(onlyThatDriver && kernelDriver_ != named) &&
                        !(exceptThatDriver && kernelDriver_ == named);
    if (detach) {
        detachedDriver_ = kernelDriver_;
        kernelDriver_.clear();
    }
    if (!kernelDriver_.empty() || heldByAnother(client)) {
        error = EBUSY;
        return -1;
    }
    setClaim(client);
    return 0;
}

long EmulatedK8055::usbfsIoctl(UMockdevIoctlClient* client, int& error) {
    UMockdevIoctlData* block = argumentBlock(client, sizeof(usbdevfs_ioctl));
    if (!block) {
        error = EFAULT;
        return -1;
    }
    const usbdevfs_ioctl command = *reinterpret_cast<usbdevfs_ioctl*>(block->data);
    g_object_unref(block);
    if (command.ifno != 0) {
        error = EINVAL;
        return -1;
    }
    switch (command.ioctl_code) {
    case USBDEVFS_CONNECT:
        if (claimed()) {
            error = EBUSY;
            return -1;
        }
        if (!detachedDriver_.empty()) kernelDriver_ = detachedDriver_;
        return 0;
    default: error = ENOTTY; return -1;
    }
}

long EmulatedK8055::submitUrb(UMockdevIoctlClient* client, int& error) {
    UMockdevIoctlData* urbData = argumentBlock(client, sizeof(usbdevfs_urb));
    if (!urbData) {
        error = EFAULT;
        return -1;
    }
    auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
    const bool knownEndpoint = urb->endpoint == kOutEndpoint || urb->endpoint == kInEndpoint;
    const bool control = urb->type == USBDEVFS_URB_TYPE_CONTROL && urb->endpoint == 0 && urb->buffer_length == 8;
    if (!control && (urb->type != USBDEVFS_URB_TYPE_INTERRUPT || !knownEndpoint || urb->buffer_length < 0 ||
                     urb->buffer_length > 64)) {
        g_object_unref(urbData);
        error = EINVAL;
        return -1;
    }
    // The kernel claims the interface for a file that submits without claiming,
    // unless another one holds it.
    if (claimedBy_ != client) {
        if (heldByAnother(client) || !kernelDriver_.empty()) {
            g_object_unref(urbData);
            error = EBUSY;
            return -1;
        }
        setClaim(client);
    }
    Urb pending;
    pending.client = client;
    pending.urb = urbData;
    pending.endpoint = urb->endpoint;
    pending.submittedAt = std::chrono::steady_clock::now();
    const std::size_t bufferOffset = offsetof(usbdevfs_urb, buffer);
    const auto length = static_cast<std::size_t>(urb->buffer_length);
    pending.buffer = length ? umockdev_ioctl_data_resolve(urbData, bufferOffset, length, nullptr) : nullptr;
    if (control) {
        // The one request the driver makes: CLEAR_FEATURE(ENDPOINT_HALT) to an endpoint.
        const guint8* setup = pending.buffer ? pending.buffer->data : nullptr;
        if (!setup || setup[0] != 0x02 || setup[1] != 0x01 || setup[2] != 0 || setup[3] != 0) {
            dropUrb(pending);
            error = EPIPE;
            return -1;
        }
        pending.control = true;
        pending.clears = setup[4];
        ++traffic_.clearHalts;
    } else if (pending.endpoint == kOutEndpoint) {
        ++traffic_.outputUrbs;
    } else {
        ++traffic_.inputUrbs;
    }
    urbs_.push_back(pending);
    int ignored = 0;
    pullCableAt(pending.endpoint == kInEndpoint ? UnplugMoment::AtNextInputTransfer : UnplugMoment::AtNextOutputTransfer,
                ignored);
    return 0;
}

bool EmulatedK8055::pullCableAt(UnplugMoment moment, int& error) {
    if (unplugAt_ != moment) return false;
    cutCable();
    error = ENODEV;
    return true;
}

long EmulatedK8055::discardUrb(UMockdevIoctlClient* client, int& error) {
    const gulong address = *reinterpret_cast<gulong*>(umockdev_ioctl_client_get_arg(client)->data);
    for (Urb& urb : urbs_) {
        if (urb.client != client || urb.urb->client_addr != address) continue;
        if (urb.done) break;  // finished already: the kernel says EINVAL too
        urb.done = true;
        urb.status = -ENOENT;
        urb.actualLength = 0;
        return 0;
    }
    error = EINVAL;
    return -1;
}

long EmulatedK8055::reapUrb(UMockdevIoctlClient* client, int& error) {
    if (plugged_) completeReadyUrbs(client);
    auto found = std::find_if(urbs_.begin(), urbs_.end(),
                              [client](const Urb& urb) { return urb.client == client && urb.done; });
    if (found == urbs_.end()) {
        error = plugged_ ? EAGAIN : ENODEV;
        return -1;
    }
    UMockdevIoctlData* slot = argumentBlock(client, sizeof(void*));
    if (!slot) {
        error = EFAULT;
        return -1;
    }
    auto* urb = reinterpret_cast<usbdevfs_urb*>(found->urb->data);
    urb->status = found->status;
    urb->actual_length = found->actualLength;
    umockdev_ioctl_data_set_ptr(slot, 0, found->urb);
    g_object_unref(slot);
    dropUrb(*found);
    urbs_.erase(found);
    return 0;
}

}  // namespace blokpost::test
