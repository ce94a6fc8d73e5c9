#pragma once
// A K8055 board emulated at the kernel's USB interface. It lives in a umockdev
// testbed: a sysfs device with the board's USB descriptors and a device node
// /dev/bus/usb/BBB/DDD whose usbdevfs ioctls (the calls libusb makes) this
// model answers the way the board and the kernel do. The program's own driver
// runs unchanged against it when the test runs under umockdev's preload.
//
// The board: an output report (command 5: digital byte, analog 1, analog 2)
// sets its outputs; every 10 ms (or as often as told) it makes an input report (digital inputs in
// the board's bit order, card address + 1, both analog inputs, both
// counters). The last few reports wait in the USB buffers; when they are
// full the oldest goes. Behind the board, optionally, the wired layout: a
// sensor selector on the analog outputs puts one group of five sensors on the
// five digital inputs.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace blokpost::test {

// A umockdev testbed for the life of the object: /sys and /dev of this
// process point into it while the preload library is loaded.
class UsbTestbedDirectory {
public:
    UsbTestbedDirectory();
    ~UsbTestbedDirectory();
    UsbTestbedDirectory(const UsbTestbedDirectory&) = delete;
    UsbTestbedDirectory& operator=(const UsbTestbedDirectory&) = delete;
    UMockdevTestbed* testbed() const { return testbed_; }
    // False when the process runs without umockdev's preload library (asked while a testbed exists).
    static bool active();

private:
    UMockdevTestbed* testbed_;
};

struct EmulatedOutputs {
    std::uint8_t digital = 0;
    std::uint8_t analog1 = 0;
    std::uint8_t analog2 = 0;
    bool operator==(const EmulatedOutputs&) const = default;
};

// What the board does with the transfers it is sent.
enum class BoardBehaviour {
    Normal,
    Silent,          // takes no report and sends none: every transfer waits for ever
    StallsOutputs,   // the OUT endpoint stalls on every output report; input reports keep coming
    StallsInputs,    // the IN endpoint stalls on every transfer; output reports are taken
    StallsInputOnce, // the IN endpoint stalls on the next transfer, then works again
};

// The moment a cable pulled during "K8055n" comes out.
enum class UnplugMoment {
    AtClaim,                // as the program takes the interface
    AtNextInputTransfer,    // as the program next asks for an input report
    AtNextOutputTransfer,   // as the program next sends an output report
};

// Counts of what reached the emulated device, for tests and measurements.
struct UsbTraffic {
    int ioctls = 0;
    int outputUrbs = 0;      // OUT transfers submitted
    int inputUrbs = 0;       // IN transfers submitted
    int clearHalts = 0;      // CLEAR_FEATURE(ENDPOINT_HALT) requests and USBDEVFS_CLEAR_HALT calls
    int endpointResets = 0;  // USBDEVFS_RESETEP: the host's side of a cleared halt
    int opens = 0;
};

class EmulatedK8055 {
public:
    static constexpr std::chrono::milliseconds kReportPeriod{10};
    static constexpr std::size_t kBufferedReports = 4;

    // A board with card address 0..3 on `testbed`, plugged in at once unless told otherwise.
    EmulatedK8055(UMockdevTestbed* testbed, int address, bool plugIn = true);
    ~EmulatedK8055();
    EmulatedK8055(const EmulatedK8055&) = delete;
    EmulatedK8055& operator=(const EmulatedK8055&) = delete;

    // Adds the device to the bus (with a new device number, as the kernel gives).
    void plugIn();
    // Pulls the cable: transfers in flight end, every further call fails with
    // ENODEV, and the device leaves sysfs and /dev.
    void unplug();
    // Pulls the cable at `moment`; a transfer submitted then is in flight
    // when the device goes. unplug() then clears the device away from sysfs and /dev.
    void unplugAt(UnplugMoment moment);
    bool pluggedIn() const;

    void setBehaviour(BoardBehaviour behaviour);
    // Every transfer takes this long from submission to its end. A board this
    // slow answers each input transfer with its inputs at that moment.
    void setTransferTime(std::chrono::milliseconds time);
    // How often the board makes an input report; 1 ms floods the IN endpoint
    // as fast as its 1 ms polling interval lets the bus carry reports.
    void setReportPeriod(std::chrono::milliseconds period);
    // How long the control pipe takes to answer a request; negative: it never answers (hung firmware).
    void setControlTime(std::chrono::milliseconds time);
    // The IN endpoint's polling interval in its descriptor, from the next plugIn() on.
    void setInInterval(int milliseconds);
    // The length of the input reports it sends from now on (8 is the board's own).
    void setInputReportLength(int length);
    void setAnalogInputs(std::uint8_t analog1, std::uint8_t analog2);
    void setCounters(std::uint16_t counter1, std::uint16_t counter2);
    // Sensor 1..20 of the wired layout.
    void setSensor(int sensor, bool on);
    // The interface is held by a kernel driver until a program takes it.
    void setKernelDriver(const std::string& name);

    std::string devnode() const;
    // What poll() sees on a file of the device: ready when a transfer can be
    // reaped or the device is gone, and if not, when the next one ends.
    bool reapable();
    std::optional<std::chrono::steady_clock::time_point> nextCompletion() const;
    EmulatedOutputs outputs() const;
    UsbTraffic traffic() const;
    std::string kernelDriver() const;
    bool interfaceClaimed() const;

private:
    struct Urb {
        UMockdevIoctlClient* client = nullptr;
        UMockdevIoctlData* urb = nullptr;     // the client's usbdevfs_urb
        UMockdevIoctlData* buffer = nullptr;  // its data buffer
        std::uint8_t endpoint = 0;
        std::chrono::steady_clock::time_point submittedAt{};
        bool control = false;  // a CLEAR_FEATURE(ENDPOINT_HALT) for `clears`
        std::uint8_t clears = 0;
        bool done = false;
        int status = 0;
        int actualLength = 0;
    };

    static int onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    static void onClientVanished(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    void handle(UMockdevIoctlClient* client);
    // Each returns the ioctl's result and sets `error` on failure.
    long submitUrb(UMockdevIoctlClient* client, int& error);
    long reapUrb(UMockdevIoctlClient* client, int& error);
    long discardUrb(UMockdevIoctlClient* client, int& error);
    long usbfsIoctl(UMockdevIoctlClient* client, int& error);
    long claim(UMockdevIoctlClient* client, int& error);
    long disconnectAndClaim(UMockdevIoctlClient* client, int& error);
    void takeOutputReport(Urb& urb);
    void answerInput(Urb& urb);
    void answerControl(Urb& urb);
    void fillInputReport(Urb& urb, const std::array<std::uint8_t, 8>& report);
    // Pulls the cable when it is to come out at `moment`; true (with ENODEV) if it did.
    bool pullCableAt(UnplugMoment moment, int& error);
    void completeReadyUrbs(UMockdevIoctlClient* client);
    // Brings the report clock up to now: one report per elapsed period.
    void makeReports(std::chrono::steady_clock::time_point now);
    std::array<std::uint8_t, 8> inputReport() const;
    std::uint8_t digitalInputs() const;
    void dropUrb(Urb& urb);
    void cutCable();
    void setClaim(UMockdevIoctlClient* client);
    bool claimed() const;
    bool heldByAnother(UMockdevIoctlClient* client) const;
    void addDevice();

    UMockdevTestbed* testbed_;
    UMockdevIoctlBase* handler_ = nullptr;
    const int address_;
    int deviceNumber_ = 1;
    std::string syspath_;
    std::string devnode_;

    mutable std::mutex mutex_;
    std::condition_variable reportMade_;
    bool plugged_ = false;
    bool inTestbed_ = false;
    std::optional<UnplugMoment> unplugAt_;
    BoardBehaviour behaviour_ = BoardBehaviour::Normal;
    std::array<std::uint8_t, 2> analog_{};
    std::array<std::uint16_t, 2> counter_{};
    std::array<bool, 21> sensors_{};
    EmulatedOutputs outputs_;
    bool outHalted_ = false;
    bool inHalted_ = false;
    std::chrono::milliseconds transferTime_{0};
    std::chrono::milliseconds controlTime_{0};
    int inInterval_ = 1;
    std::chrono::milliseconds reportPeriod_ = kReportPeriod;
    int inputLength_ = 8;
    std::deque<std::array<std::uint8_t, 8>> reports_;
    std::chrono::steady_clock::time_point nextReport_;
    std::deque<Urb> urbs_;
    std::string kernelDriver_;
    std::string detachedDriver_;  // the driver a program took the interface from
    UMockdevIoctlClient* claimedBy_ = nullptr;  // held with a reference
    UsbTraffic traffic_;
};

}  // namespace blokpost::test
