// A schedule variant, read from arbitrary bytes.

#include "fuzz_harness.h"
#include "schedule/schedule_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& h = blokpost::fuzz::harness();
    h.write("VasteData/Schema1Data.txt", data, size);
    using namespace blokpost;
    guarded(h.state, [&] { MaakSchema(h.state, 1); });
    h.checkInvariants();
    return 0;
}
