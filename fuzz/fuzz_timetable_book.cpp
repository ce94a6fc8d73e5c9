// A timetable book, read from arbitrary bytes.

#include "fuzz_harness.h"
#include "timetable/timetable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& h = blokpost::fuzz::harness();
    h.write("VasteData/BoekjeRood.txt", data, size);
    using namespace blokpost;
    guarded(h.state, [&] { LeesRood(h.state); });
    h.checkInvariants();
    return 0;
}
