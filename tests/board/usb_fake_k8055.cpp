#include "board/usb_fake_k8055.h"

namespace blokpost::test {

namespace {

class FakeTransport : public UsbTransport {
public:
    explicit FakeTransport(FakeK8055& board) : board_(board) {}

    UsbResult write(const UsbReport& report, int) override {
        board_.traffic += 'w';
        if (!board_.plugged) return UsbResult::Gone;
        if (board_.failing) return UsbResult::Failed;
        board_.sent.push_back(report);
        return UsbResult::Ok;
    }

    UsbResult read(UsbReport& report, int) override {
        board_.traffic += 'r';
        if (!board_.plugged) return UsbResult::Gone;
        if (board_.failing) return UsbResult::Failed;
        if (board_.queued.empty()) return UsbResult::Timeout;
        report = board_.queued.front();
        board_.queued.pop_front();
        return UsbResult::Ok;
    }

private:
    FakeK8055& board_;
};

// Input k of the board in the bit the report carries it: inputs 1..5.
constexpr std::uint8_t kWireBits[5] = {0x10, 0x20, 0x01, 0x40, 0x80};

}  // namespace

UsbConnector FakeK8055::connector() {
    return [this](int wanted, std::string&) -> std::unique_ptr<UsbTransport> {
        if (!plugged || wanted != address) return nullptr;
        ++connections;
        // A board plugged in again has nothing queued from before.
        queued.clear();
        return std::make_unique<FakeTransport>(*this);
    };
}

std::unique_ptr<K8055UsbBoard> FakeK8055::open() {
    std::string problem;
    return std::make_unique<K8055UsbBoard>(connector()(address, problem), address);
}

void FakeK8055::queueReport(std::uint8_t inputs, std::uint8_t analog1, std::uint8_t analog2, std::uint16_t counter1,
                            std::uint16_t counter2) {
    std::uint8_t wire = 0;
    for (int k = 0; k < 5; ++k)
        if (inputs & (1 << k)) wire = static_cast<std::uint8_t>(wire | kWireBits[k]);
    queued.push_back({wire, static_cast<std::uint8_t>(address + 1), analog1, analog2,
                      static_cast<std::uint8_t>(counter1 & 0xFF), static_cast<std::uint8_t>(counter1 >> 8),
                      static_cast<std::uint8_t>(counter2 & 0xFF), static_cast<std::uint8_t>(counter2 >> 8)});
}

void FakeK8055::poll(int n) {
    // Group codes: (0,255) = 1, (255,255) = 2, (255,0) = 3, (0,0) = 4.
    int group = 4;
    if (!sent.empty()) {
        const bool a = sent.back()[2] >= 128, b = sent.back()[3] >= 128;
        group = !a && b ? 1 : a && b ? 2 : a ? 3 : 4;
    }
    std::uint8_t inputs = 0;
    for (int k = 0; k < 5; ++k)
        if (sensors[static_cast<std::size_t>(5 * (group - 1) + k + 1)]) inputs = static_cast<std::uint8_t>(inputs | (1 << k));
    for (int i = 0; i < n; ++i) queueReport(inputs);
}

}  // namespace blokpost::test
