// A stand-in board library with the six exported functions. It appends each
// call to the file named by FAKE_K8055D_LOG, so a test can read the order.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void record(const char* text, int a = -1, int b = -1) {
    const char* path = std::getenv("FAKE_K8055D_LOG");
    if (!path) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        if (b >= 0) std::fprintf(f, "%s(%d,%d)\n", text, a, b);
        else if (a >= 0) std::fprintf(f, "%s(%d)\n", text, a);
        else std::fprintf(f, "%s()\n", text);
        std::fclose(f);
    }
}
}  // namespace

extern "C" {
std::int32_t OpenDevice(std::int32_t address) { record("OpenDevice", address); return address == 0 ? 0 : -1; }
std::int32_t OutputAllAnalog(std::int32_t a, std::int32_t b) { record("OutputAllAnalog", a, b); return 0; }
std::int32_t ReadAllDigital() { record("ReadAllDigital"); return 5; }
std::int32_t SetDigitalChannel(std::int32_t channel) { record("SetDigitalChannel", channel); return 0; }
std::int32_t ClearAllDigital() { record("ClearAllDigital"); return 0; }
std::int32_t ReadAnalogChannel(std::int32_t channel) { record("ReadAnalogChannel", channel); return 100 + channel; }
}
