#pragma once
// A K8055 on the other end of a fake USB cable, on a clock of its own: time
// passes only when the test says so, and the board and the bus then do what
// they would have done meanwhile, as the driver takes them to be: the board
// makes an input report every period, sampled one polling interval before,
// holds the last few, and hands the oldest over at each poll of a standing
// input transfer; a slow board holds none and answers each transfer after
// its transfer time. Transfers are handed over when they end, unless the
// program is busy then (busy()), and then when it is free again. Each side
// can work, fail (a stall) or stay silent, and the cable can be pulled.

#include "board/k8055_usb_board.h"

#include <deque>
#include <string>
#include <vector>

namespace blokpost::test {

enum class FakeSide { Works, Fails, Silent };

struct FakeK8055 {
    int address = 0;
    bool plugged = true;
    FakeSide inputs = FakeSide::Works;
    FakeSide outputs = FakeSide::Works;
    std::chrono::milliseconds interval{4};       // the IN endpoint's polling interval
    std::chrono::milliseconds reportPeriod{10};  // a report made this often
    std::chrono::milliseconds transferTime{0};   // a slow board: each transfer takes this long
    UsbClock::time_point quietFrom = UsbClock::time_point::max();  // makes no report from then on
    UsbClock::time_point lateUntil{};  // a report due before then is handed over only then
    bool haltStuck = false;
    int statusOffset = 1;                        // card address + 1 in the status byte: its own reports
    std::array<bool, 21> sensors{};              // the layout behind the selector, [1..20]
    std::array<std::uint8_t, 2> analog{};        // the analog inputs
    std::vector<UsbReport> offered;              // the output reports put on the cable, in order
    std::vector<UsbReport> sent;                 // the output reports the board took, in order
    std::vector<UsbClock::time_point> takenAt;   // and when
    std::deque<UsbReport> raw;                   // reports the board sends next instead of its own
    int connections = 0;
    UsbClock::time_point now{};
    UsbClock::time_point busyFrom{}, busyUntil{};

    UsbConnector connector();
    DriverBoard::Opener opener() { return k8055Opener(connector()); }
    std::unique_ptr<K8055UsbBoard> open();
    // Time passes with the program's event loop running, or with the program busy.
    void advance(std::chrono::milliseconds by) { now += by; }
    void busy(std::chrono::milliseconds by) {
        busyFrom = now;
        busyUntil = now += by;
    }
    // The group 1..4 the board's analog outputs select at `at`.
    int selectedGroup(UsbClock::time_point at) const;
    // The report the board makes at `at` from the sensors of the group it selected an interval before.
    UsbReport reportMadeAt(UsbClock::time_point at) const;
    // An input report with inputs 1..5 as bits 0..4, in the board's own bit order.
    UsbReport inputReport(std::uint8_t inputs, std::uint8_t analog1 = 0, std::uint8_t analog2 = 0) const;
};

}  // namespace blokpost::test
