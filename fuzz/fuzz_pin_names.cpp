// The pin names, read from arbitrary bytes.

#include "fuzz_harness.h"
#include "layout/pin_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& h = blokpost::fuzz::harness();
    h.write("VasteData/NaamData.txt", data, size);
    using namespace blokpost;
    guarded(h.state, [&] { ReadPinNames(h.state); });
    h.checkInvariants();
    return 0;
}
