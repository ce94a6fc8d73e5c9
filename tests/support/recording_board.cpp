#include "support/recording_board.h"

namespace blokpost::test {

namespace {
std::string call(const char* name, std::initializer_list<int> args) {
    std::string text = std::string(name) + "(";
    bool first = true;
    for (int a : args) {
        text += (first ? "" : ",") + std::to_string(a);
        first = false;
    }
    return text + ")";
}
}  // namespace

std::int32_t RecordingBoard::OpenDevice(std::int32_t address) {
    calls.push_back(call("OpenDevice", {address}));
    return openResult;
}

void RecordingBoard::OutputAllAnalog(std::int32_t value1, std::int32_t value2) {
    calls.push_back(call("OutputAllAnalog", {value1, value2}));
    SimulatedBoard::OutputAllAnalog(value1, value2);
}

std::int32_t RecordingBoard::ReadAllDigital() {
    calls.push_back(call("ReadAllDigital", {}));
    const std::int32_t simulated = SimulatedBoard::ReadAllDigital();
    if (digitalReads.empty()) return simulated;
    const std::int32_t value = digitalReads.front();
    digitalReads.pop_front();
    return value;
}

void RecordingBoard::SetDigitalChannel(std::int32_t channel) {
    calls.push_back(call("SetDigitalChannel", {channel}));
    SimulatedBoard::SetDigitalChannel(channel);
}

void RecordingBoard::ClearAllDigital() {
    calls.push_back(call("ClearAllDigital", {}));
    SimulatedBoard::ClearAllDigital();
}

std::int32_t RecordingBoard::ReadAnalogChannel(std::int32_t channel) {
    calls.push_back(call("ReadAnalogChannel", {channel}));
    return SimulatedBoard::ReadAnalogChannel(channel);
}

std::vector<std::string> RecordingBoard::takeCalls() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

}  // namespace blokpost::test
