#pragma once
// A K8055 on the other end of a fake USB cable: it records the output
// reports it is sent, answers reads from a queue of input reports, can act
// as the wired layout (sensor selector on its analog outputs), and can be
// unplugged and plugged in again.

#include "board/k8055_usb_board.h"

#include <deque>
#include <string>
#include <vector>

namespace blokpost::test {

struct FakeK8055 {
    int address = 0;
    bool plugged = true;
    bool failing = false;  // every transfer fails without the board being gone
    std::deque<UsbReport> queued;
    std::vector<UsbReport> sent;
    // One letter per transfer ('w' write, 'r' read), '|' where the test marks a tick.
    std::string traffic;
    std::array<bool, 21> sensors{};  // the layout behind the selector, [1..20]
    int connections = 0;

    UsbConnector connector();
    DriverBoard::Opener opener() { return k8055Opener(connector()); }
    std::unique_ptr<K8055UsbBoard> open();

    void queueReport(std::uint8_t inputs, std::uint8_t analog1 = 0, std::uint8_t analog2 = 0,
                     std::uint16_t counter1 = 0, std::uint16_t counter2 = 0);
    void queueRaw(const UsbReport& report) { queued.push_back(report); }
    // Queues n reports of what the layout shows on the inputs for the group
    // that the last output report selects.
    void poll(int n);
    void markTick() { traffic += '|'; }
};

}  // namespace blokpost::test
