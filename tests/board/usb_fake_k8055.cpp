#include "board/usb_fake_k8055.h"

#include <optional>

namespace blokpost::test {

namespace {

using namespace std::chrono_literals;

class FakeTransport : public UsbTransport {
public:
    explicit FakeTransport(FakeK8055& board) : board_(board), nextReportAt_(board.now + board.reportPeriod) {
        if (board.inputs != FakeSide::Silent) buffered_.push_back({board.now, board.reportMadeAt(board.now)});
        submitInput(board.now);
    }

    bool send(const UsbReport& report, std::chrono::milliseconds deadline) override {
        board_.offered.push_back(report);
        if (outgoing_ || !board_.plugged) return false;
        outgoing_ = report;
        const bool silent = board_.outputs == FakeSide::Silent;
        outEndsAt_ = board_.now + (silent ? deadline : std::max(board_.transferTime, 1ms));
        return true;
    }
    bool sending() const override { return outgoing_.has_value(); }
    std::chrono::milliseconds inputInterval() const override { return board_.interval; }
    bool haltStuck() const override { return board_.haltStuck; }
    UsbClock::time_point now() const override { return board_.now; }

    std::vector<UsbCompletion> collect() override {
        if (!board_.plugged) return {{true, UsbResult::Gone, {}, board_.now, board_.now, board_.now}};
        std::vector<UsbCompletion> ended;
        // The two endpoints' events up to now, in the order they happened.
        while (true) {
            const std::optional<UsbClock::time_point> in = inputEnd();
            const bool outDue = outgoing_ && outEndsAt_ <= board_.now;
            if (outDue && (!in || outEndsAt_ <= *in)) ended.push_back(endOutput());
            else if (in) ended.push_back(endInput(*in));
            else break;
        }
        // A silent board answered no poll until now.
        if (board_.inputs == FakeSide::Silent) {
            makeReportsUpTo(board_.now);
            quietUntil_ = board_.now;
        }
        // A failed transfer is submitted again at the collect after it, as the driver's transport does.
        if (!inStanding_) submitInput(board_.now);
        else inWaitingAt_ = board_.now;
        return ended;
    }

private:
    UsbClock::time_point handedOver(UsbClock::time_point at) const {  // when the program sees what ended at `at`
        return at >= board_.busyFrom && at < board_.busyUntil ? board_.busyUntil : at;
    }

    void submitInput(UsbClock::time_point at) {
        inStanding_ = true;
        inSubmittedAt_ = inWaitingAt_ = at;
    }

    void makeReportsUpTo(UsbClock::time_point at) {
        for (; nextReportAt_ <= at; nextReportAt_ += board_.reportPeriod) {
            if (board_.inputs == FakeSide::Silent || nextReportAt_ >= board_.quietFrom) continue;
            buffered_.push_back({nextReportAt_, board_.reportMadeAt(nextReportAt_)});
            if (buffered_.size() > static_cast<std::size_t>(kReportsTheBoardHolds)) buffered_.pop_front();
        }
    }

    // When the standing input transfer ends, if it does by now: at the first
    // poll that finds a report, or after a slow board's transfer time.
    std::optional<UsbClock::time_point> inputEnd() {
        if (!inStanding_ || board_.inputs == FakeSide::Silent) return std::nullopt;
        if (board_.inputs == FakeSide::Fails || board_.transferTime > 0ms) {
            const auto at = inSubmittedAt_ + std::max(board_.transferTime, 1ms);
            return at <= board_.now ? std::optional(at) : std::nullopt;
        }
        // The bus polls the endpoint once every interval, the first time a frame after the submission at the soonest.
        const auto soonest = (std::max(inSubmittedAt_, quietUntil_) + 1ms).time_since_epoch();
        const auto firstPoll = UsbClock::time_point((soonest + board_.interval - 1ms) / board_.interval * board_.interval);
        for (auto poll = firstPoll; poll <= board_.now; poll += board_.interval) {
            makeReportsUpTo(poll);
            if ((!buffered_.empty() && buffered_.front().first <= poll) || !board_.raw.empty())
                return poll >= board_.lateUntil ? std::optional(poll)
                       : board_.lateUntil <= board_.now ? std::optional(board_.lateUntil) : std::nullopt;
        }
        return std::nullopt;
    }

    UsbCompletion endOutput() {
        UsbCompletion done{false, UsbResult::Ok, {}, handedOver(outEndsAt_), {}, {}};
        if (board_.outputs == FakeSide::Works) {
            board_.sent.push_back(*outgoing_);
            board_.takenAt.push_back(outEndsAt_);
        } else {
            done.result = board_.outputs == FakeSide::Fails ? UsbResult::Failed : UsbResult::Timeout;
        }
        outgoing_.reset();
        return done;
    }

    UsbCompletion endInput(UsbClock::time_point at) {
        // The program looks two polls after submitting; the transfer still waits then, or has ended.
        const auto look = handedOver(inSubmittedAt_ + 2 * board_.interval + 1ms);
        if (look < at) inWaitingAt_ = std::max(inWaitingAt_, look);
        UsbCompletion done{true, UsbResult::Ok, {}, handedOver(at), inSubmittedAt_, inWaitingAt_};
        inStanding_ = false;
        if (board_.inputs == FakeSide::Fails) {
            done.result = UsbResult::Failed;
            return done;
        }
        if (!board_.raw.empty()) {
            done.report = board_.raw.front();
            board_.raw.pop_front();
        } else if (board_.transferTime > 0ms) {
            done.report = board_.reportMadeAt(at);
        } else {
            done.report = buffered_.front().second;
            buffered_.pop_front();
        }
        submitInput(done.endedAt);
        return done;
    }

    FakeK8055& board_;
    std::optional<UsbReport> outgoing_;
    UsbClock::time_point outEndsAt_{};
    bool inStanding_ = false;
    UsbClock::time_point inSubmittedAt_{}, inWaitingAt_{};
    UsbClock::time_point nextReportAt_, quietUntil_{};
    std::deque<std::pair<UsbClock::time_point, UsbReport>> buffered_;  // made when, what
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

int FakeK8055::selectedGroup(UsbClock::time_point at) const {
    // Group codes: (0,255) = 1, (255,255) = 2, (255,0) = 3, (0,0) = 4.
    std::size_t n = 0;
    while (n < sent.size() && takenAt[n] <= at) ++n;
    if (n == 0) return 4;
    const bool a = sent[n - 1][2] >= 128, b = sent[n - 1][3] >= 128;
    return !a && b ? 1 : a && b ? 2 : a ? 3 : 4;
}

UsbReport FakeK8055::reportMadeAt(UsbClock::time_point at) const {
    std::uint8_t bits = 0;
    const int first = 5 * (selectedGroup(at - interval) - 1) + 1;
    for (int k = 0; k < 5; ++k)
        if (sensors[static_cast<std::size_t>(first + k)]) bits = static_cast<std::uint8_t>(bits | (1 << k));
    return inputReport(bits, analog[0], analog[1]);
}

UsbReport FakeK8055::inputReport(std::uint8_t inputs, std::uint8_t analog1, std::uint8_t analog2) const {
    std::uint8_t wire = 0;
    for (int k = 0; k < 5; ++k)
        if (inputs & (1 << k)) wire = static_cast<std::uint8_t>(wire | kWireBits[k]);
    return {wire, static_cast<std::uint8_t>(address + statusOffset), analog1, analog2, 0, 0, 0, 0};
}

}  // namespace blokpost::test
