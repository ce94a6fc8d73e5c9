#pragma once
// A K8055 on the other end of a fake USB cable, on a clock of its own: time
// passes only when the test says so, and the board then does what it would
// have done meanwhile (take the output report under way, make an input report
// every period from the sensor group its analog outputs select). Each side
// can work, fail (a stall) or stay silent, and the cable can be pulled.

#include "board/k8055_usb_board.h"

#include <deque>
#include <string>
#include <vector>

namespace blokpost::test {

enum class FakeSide { Works, Fails, Silent };

struct FakeK8055 {
    static constexpr std::chrono::milliseconds kReportPeriod{10};

    int address = 0;
    bool plugged = true;
    FakeSide inputs = FakeSide::Works;
    FakeSide outputs = FakeSide::Works;
    std::chrono::milliseconds transferTime{1};  // from submission to the end of every transfer
    std::array<bool, 21> sensors{};             // the layout behind the selector, [1..20]
    std::vector<UsbReport> sent;                // the output reports the board took, in order
    std::deque<UsbReport> raw;                  // reports the board sends next instead of its own
    int connections = 0;
    UsbClock::time_point now{};

    UsbConnector connector();
    DriverBoard::Opener opener() { return k8055Opener(connector()); }
    std::unique_ptr<K8055UsbBoard> open();
    void advance(std::chrono::milliseconds by) { now += by; }
    // The group 1..4 the board's analog outputs select.
    int selectedGroup() const;
    // An input report with inputs 1..5 as bits 0..4, in the board's own bit order.
    UsbReport inputReport(std::uint8_t inputs, std::uint8_t analog1 = 0, std::uint8_t analog2 = 0) const;
};

}  // namespace blokpost::test
