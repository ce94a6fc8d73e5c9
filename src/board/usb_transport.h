#pragma once
// The USB connection to one K8055 board: 8-byte reports out on the interrupt
// OUT endpoint and in on the interrupt IN endpoint. The board logic sits on
// this interface, so it can be driven by libusb or by a test's fake.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace blokpost {

using UsbReport = std::array<std::uint8_t, 8>;

enum class UsbResult {
    Ok,
    Timeout,  // nothing arrived (read) or the board did not take the report (write) in time
    Failed,   // a transfer error that may pass (a stalled endpoint has been cleared for the next try)
    Gone,     // the board has been unplugged; the connection is dead
};

class UsbTransport {
public:
    virtual ~UsbTransport() = default;
    // Waits at most `timeoutMs` (at least 1) for the board to take the report.
    virtual UsbResult write(const UsbReport& report, int timeoutMs) = 0;
    // Waits at most `timeoutMs` (at least 1) for the next report.
    virtual UsbResult read(UsbReport& report, int timeoutMs) = 0;
};

// Opens the board with card address 0..3. Returns null when there is none;
// `problem` then says why when the reason is more than "not plugged in".
using UsbConnector = std::function<std::unique_ptr<UsbTransport>(int address, std::string& problem)>;

inline constexpr std::uint16_t kK8055VendorId = 0x10CF;
inline constexpr std::uint16_t kK8055FirstProductId = 0x5500;  // + card address
inline constexpr int kK8055Interface = 0;
inline constexpr std::uint8_t kK8055OutEndpoint = 0x01;
inline constexpr std::uint8_t kK8055InEndpoint = 0x81;

}  // namespace blokpost
