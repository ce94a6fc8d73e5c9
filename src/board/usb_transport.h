#pragma once
// The USB connection to one K8055 board, asynchronous: an input transfer
// always stands submitted on the interrupt IN endpoint and is submitted again
// when it ends, and output reports go out on the interrupt OUT endpoint as
// transfers with a deadline. Nothing here waits for the board: what the bus
// has finished is collected when asked for, each with the moment it ended.
// The board logic sits on this interface, so it can be driven by libusb or
// by a test's fake.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace blokpost {

using UsbReport = std::array<std::uint8_t, 8>;
using UsbClock = std::chrono::steady_clock;

enum class UsbResult {
    Ok,
    Timeout,  // the board did not take the output report before its deadline
    Failed,   // a transfer error that may pass: a stall (cleared for the next try), a report of the wrong size
    Gone,     // the board has been unplugged; the connection is dead
};

// What the driver takes the board to be, and what it does not trust it
// further than: it holds at most this many input reports made earlier (its
// endpoint's and its firmware's) and hands the oldest over at each poll of
// the IN endpoint; a poll it leaves unanswered means it holds none. A report
// it makes carries inputs sampled up to one polling interval before.
inline constexpr int kReportsTheBoardHolds = 4;
// The cycle reads a sensor group one tick after it selects it. In that time
// the board must take the selection (a poll), be seen with nothing held two
// polls after it, and answer at the next: with one poll to spare, five
// polling intervals must fit, so an IN endpoint polled more slowly than this
// cannot serve the cycle.
inline constexpr std::chrono::milliseconds kReadAfterSelection{125};
inline constexpr std::chrono::milliseconds kLongestInputInterval{kReadAfterSelection / 5};

// One transfer the bus has finished.
struct UsbCompletion {
    bool input = false;  // the IN endpoint's transfer, else an output report
    UsbResult result = UsbResult::Ok;
    UsbReport report{};  // an input report of exactly 8 bytes when input and Ok
    // When the transfer was handed over (no earlier than the bus ended it),
    // and (input) when it was submitted and the last moment it was seen still
    // waiting on the bus (its submission when never): a transfer that waited
    // a poll long found the board holding no report.
    UsbClock::time_point endedAt{};
    UsbClock::time_point submittedAt{};
    UsbClock::time_point waitingAt{};
};

class UsbTransport {
public:
    virtual ~UsbTransport() = default;
    // Starts an output report on its way; false while one is still under way
    // or the connection is dead.
    virtual bool send(const UsbReport& report, std::chrono::milliseconds deadline) = 0;
    virtual bool sending() const = 0;
    // Handles what the bus has finished, without waiting, and hands it over
    // in the order it ended. Submits the input transfer again if it ended,
    // and starts clearing a halted endpoint when it is due.
    virtual std::vector<UsbCompletion> collect() = 0;
    // The IN endpoint's polling interval, from its descriptor.
    virtual std::chrono::milliseconds inputInterval() const = 0;
    // True from a failed attempt to clear a halted endpoint until one succeeds.
    virtual bool haltStuck() const = 0;
    virtual UsbClock::time_point now() const { return UsbClock::now(); }
};

// Opens the board with card address 0..3. Returns null when there is none;
// `problem` then says why, for the operator, when the reason is more than
// "not plugged in".
using UsbConnector = std::function<std::unique_ptr<UsbTransport>(int address, std::string& problem)>;

inline constexpr std::uint16_t kK8055VendorId = 0x10CF;
inline constexpr std::uint16_t kK8055FirstProductId = 0x5500;  // + card address
inline constexpr int kK8055Interface = 0;
inline constexpr int kK8055ReportSize = 8;

}  // namespace blokpost
