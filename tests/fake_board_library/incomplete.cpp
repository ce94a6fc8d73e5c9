// A board library that lacks ReadAnalogChannel: the program must refuse it.
#include <cstdint>
extern "C" {
std::int32_t OpenDevice(std::int32_t) { return 0; }
std::int32_t OutputAllAnalog(std::int32_t, std::int32_t) { return 0; }
std::int32_t ReadAllDigital() { return 0; }
std::int32_t SetDigitalChannel(std::int32_t) { return 0; }
std::int32_t ClearAllDigital() { return 0; }
}
