// A board library whose ReadAllDigital calls a function no library provides.
// Loaded lazily it would end the program at its first read; the program must
// refuse it when loading.
#include <cstdint>
extern "C" {
std::int32_t blokpost_test_function_nobody_provides();
std::int32_t OpenDevice(std::int32_t) { return 0; }
std::int32_t OutputAllAnalog(std::int32_t, std::int32_t) { return 0; }
std::int32_t ReadAllDigital() { return blokpost_test_function_nobody_provides(); }
std::int32_t SetDigitalChannel(std::int32_t) { return 0; }
std::int32_t ClearAllDigital() { return 0; }
std::int32_t ReadAnalogChannel(std::int32_t) { return 0; }
}
