// The demo's pin names and line programs.

#include "demo_content.h"

#include <stdexcept>

namespace blokpost::demo {

namespace {

// The track plan's pictures: pairs 1..32 are points W1..W32 (odd pin straight,
// even pin turned), pairs 33..63 signals S1..S31 (odd pin red, even pin green).
constexpr int kPlanPoints = 10;
constexpr int kPlanSignals = 12;
constexpr int kFirstSignalPair = 33;

// Switched sections and directions, on pairs whose drawings stay hidden.
struct NamedPair {
    int pair;
    const char* odd;
    const char* even;
};
constexpr NamedPair kSections[] = {
    {17, "Blok3U", "Blok3A"},  // Zandhaven branch: power off / on
    {18, "Blok6U", "Blok6A"},  // goods yard: power off / on
    {20, "RichtH", "RichtZ"},  // shuttle towards Hoogveen / Zandhaven
    {21, "RangT", "RangV"},    // shunting loco back / forward
};

// The palette's "Hold Sen" box starts at 5; Green and empty steps store it.
constexpr int kHoldSenBox = 5;

std::array<std::string, kPins> makePinNames() {
    std::array<std::string, kPins> names;
    for (int n = 0; n < kPins; ++n) names[n] = "leeg" + std::to_string(n);
    const auto name = [&](int pair, const std::string& odd, const std::string& even) {
        names[2 * pair - 2] = odd;
        names[2 * pair - 1] = even;
    };
    for (int w = 1; w <= kPlanPoints; ++w) name(w, "Wis" + std::to_string(w) + "A", "Wis" + std::to_string(w) + "B");
    for (int s = 1; s <= kPlanSignals; ++s)
        name(kFirstSignalPair + s - 1, "Sein" + std::to_string(s) + "R", "Sein" + std::to_string(s) + "G");
    for (const NamedPair& section : kSections) name(section.pair, section.odd, section.even);
    return names;
}

Step pin(const std::string& name) { return {kind::Pin, pinIndex(name)}; }
Step timer(int seconds) { return {kind::Timer, seconds}; }
Step jump(int step) { return {kind::Jump, step}; }
Step sensor(int number) { return {kind::Sensor, number}; }
Step holdSensor(int number) { return {kind::HSensor, number}; }
Step memMake(int memory) { return {kind::MemMake, memory}; }
Step memRead(int memory) { return {kind::MemRead, memory}; }
Step green() { return {kind::Green, kHoldSenBox}; }
Step rest() { return {kind::Leeg, kHoldSenBox}; }

// Line A: from Hoogveen track 1 round the loop, stopping at Dijkstad track 1,
// back to Hoogveen track 1; then ready for the next departure. It meets line
// C, the express or the steam train, which overtakes it in Dijkstad and is
// home first: memory 3 tells line C that the stoptrein stands in Dijkstad;
// memory 4 that line C has passed it; memory 5 that line C is home.
LineProgram stoptrein(int dwellSeconds) {
    return {pin("Wis3A"), pin("Sein5G"), holdSensor(14), pin("Sein5R"), pin("Wis1A"),  pin("Sein1G"),
            sensor(3),    pin("Sein1R"), memMake(3),     timer(dwellSeconds), memRead(4), pin("Wis2A"),
            pin("Sein2G"), holdSensor(6), pin("Sein2R"), memRead(5),     pin("Wis7A"),  pin("Sein6G"),
            sensor(11),   pin("Sein6R"), memMake(1),     green(),        rest()};
}

// Line B: waits for the stoptrein's passengers, runs Hoogveen track 3 to
// Zandhaven track 1 and back, then lets the yard shunt; and again.
LineProgram pendel(int turnaroundSeconds) {
    return {memRead(1),     timer(15),          pin("Wis5A"), pin("Wis8A"), pin("RichtZ"),
            pin("Blok3A"),  sensor(17),         pin("Blok3U"), timer(turnaroundSeconds),
            pin("RichtH"),  pin("Sein9G"),      pin("Blok3A"), sensor(13),  pin("Blok3U"),
            pin("Sein9R"),  memMake(2),         jump(1)};
}

// Line C: once the stoptrein stands in Dijkstad, from Hoogveen track 2 round
// the loop through Dijkstad track 2 and back to Hoogveen track 2; then ready
// for the next departure. The express runs through Dijkstad; a train that
// calls there (the steam train of the weekend and the summer) stops for
// `stopSeconds` and leaves first.
LineProgram sneltrein(int stopSeconds) {
    LineProgram steps{memRead(3),  pin("Wis3B"), pin("Sein7G"), holdSensor(14), pin("Sein7R"),
                      pin("Wis3A"), pin("Wis1B"), pin("Wis2B"),  pin("Sein3G")};
    if (stopSeconds > 0)
        steps.insert(steps.end(), {sensor(4), pin("Sein3R"), timer(stopSeconds), pin("Sein4G"), holdSensor(5)});
    else
        steps.insert(steps.end(), {pin("Sein4G"), holdSensor(4), pin("Sein3R"), holdSensor(5)});
    steps.insert(steps.end(), {pin("Sein4R"), pin("Wis2A"), pin("Wis1A"), memMake(4), pin("Wis7B"), pin("Sein8G"),
                               sensor(12), pin("Sein8R"), pin("Wis7A"), memMake(5), green()});
    if (steps.size() < static_cast<std::size_t>(kSteps)) steps.push_back(rest());
    return steps;
}

// Line D: after each shuttle trip, the shunting loco fetches wagons from
// siding 1 and sets them out on siding 2.
LineProgram rangeerloc() {
    return {memRead(2),     pin("Wis10A"), pin("RangV"), pin("Blok6A"), sensor(19),  pin("Blok6U"),
            timer(30),      pin("Wis10B"), pin("RangT"), pin("Blok6A"), sensor(20),  pin("Blok6U"),
            jump(1)};
}

}  // namespace

const std::array<std::string, kPins>& pinNames() {
    static const std::array<std::string, kPins> names = makePinNames();
    return names;
}

int pinIndex(const std::string& name) {
    const auto& names = pinNames();
    for (int n = 0; n < kPins; ++n)
        if (names[n] == name) return n;
    throw std::logic_error("the demo has no pin named " + name);
}

Schedule schedule(int variant) {
    Schedule lines;
    switch (variant) {
    case 1:  // Normale dienst
        lines[1] = stoptrein(20);
        lines[2] = pendel(30);
        lines[3] = sneltrein(0);
        lines[4] = rangeerloc();
        break;
    case 2:  // Weekenddienst: longer stops, the steam train of the weekend book, no shunting
        lines[1] = stoptrein(40);
        lines[2] = pendel(60);
        lines[3] = sneltrein(60);
        break;
    case 3:  // Zomerdienst: the steam train calls at Dijkstad instead of the express
        lines[1] = stoptrein(20);
        lines[2] = pendel(30);
        lines[3] = sneltrein(60);
        lines[4] = rangeerloc();
        break;
    case 4:  // Winterdienst: no shunting, a quick turnaround at Zandhaven
        lines[1] = stoptrein(15);
        lines[2] = pendel(15);
        lines[3] = sneltrein(0);
        break;
    default: break;
    }
    return lines;
}

}  // namespace blokpost::demo
