// The layout store (with names and addresses read after it), read from arbitrary bytes.

#include "fuzz_harness.h"
#include "layout/layout_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& h = blokpost::fuzz::harness();
    h.write("VasteData/DataOpslag.txt", data, size);
    using namespace blokpost;
    guarded(h.state, [&] { Lezen(h.state); });
    h.checkInvariants();
    return 0;
}
