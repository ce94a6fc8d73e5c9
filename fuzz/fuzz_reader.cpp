// One file reader fed with arbitrary bytes; FUZZ_READER chooses which
// (each fuzzer is this file built with its own choice).

#include "fuzz_harness.h"
#include "layout/layout_store.h"
#include "layout/pin_names.h"
#include "schedule/schedule_files.h"
#include "timetable/timetable.h"

namespace {

using namespace blokpost;

struct Reader {
    const char* file;
    void (*read)(ProgramState&);
};

constexpr Reader kReaders[] = {
    {"VasteData/Schema1Data.txt", [](ProgramState& s) { MaakSchema(s, 1); }},
    {"VasteData/DataOpslag.txt", [](ProgramState& s) { Lezen(s); }},  // names and addresses follow it
    {"VasteData/NaamData.txt", [](ProgramState& s) { ReadPinNames(s); }},
    {"VasteData/AdresData.txt", [](ProgramState& s) { ReadPinAddresses(s); }},
    {"VasteData/BoekjeRood.txt", [](ProgramState& s) { LeesRood(s); }},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& h = fuzz::harness();
    const Reader& reader = kReaders[FUZZ_READER];
    h.write(reader.file, data, size);
    guarded(h.state, [&] { reader.read(h.state); });
    h.checkInvariants();
    return 0;
}
