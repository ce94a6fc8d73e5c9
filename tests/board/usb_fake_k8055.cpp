#include "board/usb_fake_k8055.h"

namespace blokpost::test {

namespace {

class FakeTransport : public UsbTransport {
public:
    explicit FakeTransport(FakeK8055& board) : board_(board), inSubmittedAt_(board.now) {}

    bool send(const UsbReport& report, std::chrono::milliseconds deadline) override {
        if (outgoing_ || !board_.plugged) return false;
        outgoing_ = report;
        const bool silent = board_.outputs == FakeSide::Silent;
        outEndsAt_ = board_.now + (silent ? deadline : board_.transferTime);
        return true;
    }
    bool sending() const override { return outgoing_.has_value(); }
    std::chrono::milliseconds sampleTime() const override { return std::chrono::milliseconds(2); }
    UsbClock::time_point now() const override { return board_.now; }

    std::vector<UsbCompletion> collect() override {
        std::vector<UsbCompletion> ended;
        if (!board_.plugged) {
            ended.push_back({true, UsbResult::Gone, {}, board_.now, inSubmittedAt_});
            return ended;
        }
        // The two endpoints' events up to now, in the order they happened.
        while (true) {
            const bool inputDue = board_.inputs != FakeSide::Silent && nextInputAt() <= board_.now;
            const bool outDue = outgoing_ && outEndsAt_ <= board_.now;
            if (outDue && (!inputDue || outEndsAt_ <= nextInputAt())) {
                ended.push_back(endOutput());
            } else if (inputDue) {
                ended.push_back(endInput(nextInputAt()));
                // A failed transfer is submitted again at the next collect.
                if (ended.back().result != UsbResult::Ok) inSubmittedAt_ = board_.now;
            } else {
                break;
            }
        }
        // A silent board answers a transfer that stands no earlier than when it speaks again.
        if (board_.inputs == FakeSide::Silent) quietUntil_ = board_.now;
        return ended;
    }

private:
    UsbClock::time_point nextInputAt() const {
        return std::max(inSubmittedAt_ + std::max(board_.transferTime, FakeK8055::kReportPeriod),
                        quietUntil_ + std::chrono::milliseconds(1));
    }

    UsbCompletion endOutput() {
        UsbCompletion done{false, UsbResult::Ok, {}, outEndsAt_, {}};
        if (board_.outputs == FakeSide::Works) board_.sent.push_back(*outgoing_);
        else done.result = board_.outputs == FakeSide::Fails ? UsbResult::Failed : UsbResult::Timeout;
        outgoing_.reset();
        return done;
    }

    UsbCompletion endInput(UsbClock::time_point at) {
        UsbCompletion done{true, UsbResult::Ok, {}, at, inSubmittedAt_};
        inSubmittedAt_ = at;
        if (board_.inputs == FakeSide::Fails) {
            done.result = UsbResult::Failed;
        } else if (!board_.raw.empty()) {
            done.report = board_.raw.front();
            board_.raw.pop_front();
        } else {
            std::uint8_t bits = 0;
            const int first = 5 * (board_.selectedGroup() - 1) + 1;
            for (int k = 0; k < 5; ++k)
                if (board_.sensors[static_cast<std::size_t>(first + k)]) bits = static_cast<std::uint8_t>(bits | (1 << k));
            done.report = board_.inputReport(bits);
        }
        return done;
    }

    FakeK8055& board_;
    std::optional<UsbReport> outgoing_;
    UsbClock::time_point outEndsAt_{};
    UsbClock::time_point inSubmittedAt_;
    UsbClock::time_point quietUntil_{};
};

// Input k of the board in the bit the report carries it: inputs 1..5.
constexpr std::uint8_t kWireBits[5] = {0x10, 0x20, 0x01, 0x40, 0x80};

}  // namespace

UsbConnector FakeK8055::connector() {
    return [this](int wanted, std::string&) -> std::unique_ptr<UsbTransport> {
        if (!plugged || wanted != address) return nullptr;
        ++connections;
        return std::make_unique<FakeTransport>(*this);
    };
}

std::unique_ptr<K8055UsbBoard> FakeK8055::open() {
    std::string problem;
    return std::make_unique<K8055UsbBoard>(connector()(address, problem), address);
}

int FakeK8055::selectedGroup() const {
    // Group codes: (0,255) = 1, (255,255) = 2, (255,0) = 3, (0,0) = 4.
    if (sent.empty()) return 4;
    const bool a = sent.back()[2] >= 128, b = sent.back()[3] >= 128;
    return !a && b ? 1 : a && b ? 2 : a ? 3 : 4;
}

UsbReport FakeK8055::inputReport(std::uint8_t inputs, std::uint8_t analog1, std::uint8_t analog2) const {
    std::uint8_t wire = 0;
    for (int k = 0; k < 5; ++k)
        if (inputs & (1 << k)) wire = static_cast<std::uint8_t>(wire | kWireBits[k]);
    return {wire, static_cast<std::uint8_t>(address + 1), analog1, analog2, 0, 0, 0, 0};
}

}  // namespace blokpost::test
