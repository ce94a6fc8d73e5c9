// The check's rules, each with a program that breaks it and one that does not.

#include "check/controle.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace blokpost::test {
namespace {

struct Step {
    const char* kind;
    int operand;
};

// A small sound layout: line A runs once per departure, line B follows line
// A's memory round and round. Every rule is broken from here by one change.
struct Layout {
    Layout() {
        program(1, {{kind::Pin, 0}, {kind::Sensor, 1}, {kind::MemMake, 1}, {kind::Timer, 5}, {kind::Green, 5}});
        program(2, {{kind::MemRead, 1}, {kind::Pin, 1}, {kind::HSensor, 2}, {kind::Jump, 1}});
        for (int s = 1; s <= kSensors; ++s) layout.LayoutVisible[kFirstSensorElement + s - 1] = 1;
        for (int i = 0; i < kPins; ++i) {
            names[i] = "Sein" + std::to_string(i);
            addresses[i] = static_cast<std::uint8_t>(i);
        }
        book.DepartureInterval[1] = 10;
    }
    void program(int line, const std::vector<Step>& steps) {
        for (int step = 1; step <= kSteps; ++step) {
            const bool given = step <= static_cast<int>(steps.size());
            model.StepKind[line][step] = given ? steps[step - 1].kind : "";
            model.StepOperand[line][step] = given ? steps[step - 1].operand : 0;
        }
    }
    void set(int line, int step, const char* kind, int operand) {
        model.StepKind[line][step] = kind;
        model.StepOperand[line][step] = operand;
    }
    std::vector<Finding> check() const { return Controleer({model, layout, names, addresses, book, "Rood", read}); }

    LineProgramModel model;
    LayoutTable layout;
    std::array<std::string, kPins> names;
    std::array<std::uint8_t, kPins> addresses{};
    TimetableTables book;
    bool read = true;
};

struct Rule {
    const char* name;
    std::function<void(Layout&)> fault;
    std::function<void(Layout&)> sound;
    Finding expected;  // the text is a part that only this rule writes
};

using L = Layout&;
const auto lineC = [](std::vector<Step> steps) { return [steps](L l) { l.program(3, steps); }; };
const auto nothing = [](L) {};
// Line C with departures every 10 minutes.
const auto timetabledC = [](std::vector<Step> steps) {
    return [steps](L l) { l.program(3, steps), l.book.DepartureInterval[3] = 10; };
};
constexpr auto fout = FindingLevel::Fout, waarschuwing = FindingLevel::Waarschuwing,
               opmerking = FindingLevel::Opmerking;

const std::vector<Rule> kRules = {
    {"pin outside 1..126",
     lineC({{kind::Pin, 126}, {kind::Timer, 1}, {kind::Jump, 1}}),
     lineC({{kind::Pin, 125}, {kind::Timer, 1}, {kind::Jump, 1}}),
     {fout, 3, 1, "Pin-127 bestaat niet"}},
    {"negative timer", lineC({{kind::Timer, -1}, {kind::Jump, 1}}), lineC({{kind::Timer, 0}, {kind::Jump, 1}}), {fout, 3, 1, "negatief"}},
    {"sensor outside 1..20", lineC({{kind::Sensor, 21}, {kind::Jump, 1}}), lineC({{kind::Sensor, 20}, {kind::Jump, 1}}),
     {fout, 3, 1, "SENSOR 21 bestaat niet (1 tot 20): de lijn wacht hier voor altijd. Klik de cel en kies een sensor met \"Sensor\""}},
    {"hold sensor outside 1..20",
     lineC({{kind::HSensor, 0}, {kind::Jump, 1}}),
     lineC({{kind::HSensor, 20}, {kind::Jump, 1}}),
     {fout, 3, 1, "HOLD 0 bestaat niet (1 tot 20): de lijn wacht hier voor altijd. Klik de cel en kies een sensor met \"Hold Sen\""}},
    {"memory outside 1..8",
     lineC({{kind::MemMake, 9}, {kind::Timer, 1}, {kind::Jump, 1}}),
     lineC({{kind::MemMake, 1}, {kind::Timer, 1}, {kind::Jump, 1}}),
     {fout, 3, 1, "MEM SET 9: geheugen 9 bestaat niet (1 tot 8). Klik de cel en kies een geheugen met \"Make Mem\""}},
    {"memory read outside 1..8",
     lineC({{kind::MemRead, 9}, {kind::Jump, 1}}),
     lineC({{kind::MemRead, 1}, {kind::Jump, 1}}),
     {fout, 3, 1, "MEM ? 9: geheugen 9 bestaat niet (1 tot 8), de lijn wacht hier voor altijd. Klik de cel en kies een geheugen met \"Read Mem\""}},
    {"jump outside 1..25", lineC({{kind::Timer, 1}, {kind::Jump, 26}}), lineC({{kind::Timer, 1}, {kind::Jump, 1}}),
     {fout, 3, 2, "stap 26: die stap bestaat niet"}},
    {"unknown kind", lineC({{"Blanco", 0}, {kind::Timer, 1}}), lineC({{kind::Leeg, 0}}),
     {fout, 3, 1, "Onbekende opdracht \"Blanco\""}},
    {"jump to itself", lineC({{kind::Timer, 1}, {kind::Jump, 2}}), lineC({{kind::Timer, 1}, {kind::Jump, 1}}),
     {fout, 3, 2, "JUMP naar zichzelf"}},
    {"jump to an empty step",
     timetabledC({{kind::Timer, 1}, {kind::Green, 0}, {kind::Jump, 5}}),
     timetabledC({{kind::Timer, 1}, {kind::Green, 0}, {kind::Jump, 1}}),
     {fout, 3, 3, "die leeg is: de lijn blijft daar staan. Vul stap 5 of laat de sprong naar een gevulde stap wijzen"}},
    {"loop that never waits",
     lineC({{kind::Timer, 1}, {kind::Pin, 0}, {kind::MemMake, 1}, {kind::Pin, 1}, {kind::Jump, 2}}),
     lineC({{kind::Pin, 0}, {kind::MemMake, 1}, {kind::Timer, 1}, {kind::Jump, 1}}),
     {fout, 3, 2, "Stappen 2, 3, 4, 5 vormen een lus zonder wachten"}},
    {"empty step before steps never reached",
     timetabledC({{kind::Timer, 1}, {kind::Green, 0}, {kind::Leeg, 0}, {kind::Timer, 2}, {kind::Jump, 1}}),
     timetabledC(
         {{kind::Timer, 1}, {kind::Green, 0}, {kind::Jump, 5}, {kind::Leeg, 0}, {kind::Timer, 2}, {kind::Jump, 1}}),
     {fout, 3, 3, "stap 4 en verder worden nooit bereikt. Vul stap 3 of zet er een JUMP naar stap 4"}},
    {"memory read that no line makes", [](L l) { l.set(1, 3, kind::Timer, 1); }, nothing,
     {fout, 2, 1, "MEM ? 1 wacht op geheugen 1, maar geen lijn in deze dienst zet het (MEM SET 1)"}},
    {"book restarts an empty line",
     [](L l) { l.book.DepartureInterval[3] = 10; },
     [](L l) {
         l.book.DepartureInterval[3] = 10;
         l.program(3, {{kind::Timer, 1}, {kind::Green, 0}});
     },
     {fout, 3, 0, "boekje Rood laat lijn C elke 10 minuten vertrekken, maar lijn C heeft in deze dienst geen stappen"}},
    {"sensor without a drawing",
     [](L l) { l.layout.LayoutVisible[kFirstSensorElement] = 0; },
     [](L l) { l.layout.LayoutVisible[kFirstSensorElement + 1] = 1; },
     {waarschuwing, 1, 2, "SENSOR 1: sensor 1 heeft geen tekening"}},
    {"pin without a name", [](L l) { l.names[0] = "leeg0"; }, [](L l) { l.names[0] = "leegte"; },
     {waarschuwing, 1, 1, "Pin-1 heeft geen naam. Geef hem er een met \"Give the pin a name\""}},
    {"pin with a blank name", [](L l) { l.names[1] = "  "; }, nothing, {waarschuwing, 2, 2, "Pin-2 heeft geen naam"}},
    {"pin without an address", [](L l) { l.addresses[0] = 126; }, [](L l) { l.addresses[0] = 125; },
     {waarschuwing, 1, 1, "Pin-1 heeft geen adres"}},
    {"timetabled line without a Green step", [](L l) { l.book.DepartureInterval[2] = 10; }, nothing,
     {waarschuwing, 2, 0, "geen groen sein (\"Green\"): alleen het eerste vertrek start de lijn. Zet een groen sein"}},
    // Pin, Sensor and MemMake take a second each, the Timer t more, and the
    // Green step comes in the Timer's cycle: t + 3 seconds against 5 minutes.
    {"interval shorter than the shortest round",
     [](L l) {
         l.book.DepartureInterval[1] = 5;
         l.set(1, 4, kind::Timer, 297);
     },
     [](L l) {
         l.book.DepartureInterval[1] = 5;
         l.set(1, 4, kind::Timer, 296);
     },
     {waarschuwing, 1, 0, "minstens 300 seconden"}},
    {"two lines on one hold sensor",
     lineC({{kind::HSensor, 2}, {kind::Jump, 1}}),
     lineC({{kind::HSensor, 3}, {kind::HSensor, 3}, {kind::Jump, 1}}),
     {waarschuwing, 3, 1, "HOLD 2: lijn B wacht ook op deze sensor"}},
    {"memory made and never read",
     lineC({{kind::MemMake, 4}, {kind::Timer, 1}, {kind::Jump, 1}}),
     lineC({{kind::MemMake, 1}, {kind::Timer, 1}, {kind::Jump, 1}}),
     {opmerking, 3, 1, "MEM SET 4 zet geheugen 4, maar geen lijn leest het (MEM ? 4)"}},
    {"Green step without departures",
     lineC({{kind::Timer, 1}, {kind::Green, 0}, {kind::Jump, 1}}),
     lineC({{kind::Timer, 1}, {kind::Jump, 1}}),
     {opmerking, 3, 0, "heeft een groen sein, maar geen vertrektijden in boekje Rood: na het groene sein blijft de lijn staan. Geef hem vertrektijden"}},
    {"line that stops without departures", lineC({{kind::Timer, 1}}), lineC({{kind::Timer, 1}, {kind::Jump, 1}}),
     {opmerking, 3, 2, "stopt op stap 2"}},
    {"layout not read yet: one note instead of a finding per drawing and pin",
     [](L l) {
         l.read = false;
         l.layout.LayoutVisible[kFirstSensorElement] = 0;
         l.names[0] = "leeg0";
     },
     nothing,
     {waarschuwing, 0, 0, "De baan is nog niet gelezen"}},
    {"line that runs off step 25",
     lineC(std::vector<Step>(kSteps, Step{kind::Timer, 1})),
     [](L l) {
         l.program(3, std::vector<Step>(kSteps - 1, Step{kind::Timer, 1}));
         l.set(3, kSteps, kind::Jump, 1);
     },
     {opmerking, 3, 0, "loopt na stap 25"}},
};

// The one finding the fault brings, and no other.
bool onlyReports(const std::vector<Finding>& findings, const Finding& expected) {
    return findings.size() == 1 && findings[0].level == expected.level && findings[0].line == expected.line &&
           findings[0].step == expected.step && findings[0].text.find(expected.text) != std::string::npos;
}

std::string listed(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) text += std::to_string(f.line) + "." + std::to_string(f.step) + " " + f.text + "\n";
    return text.empty() ? "nothing found" : text;
}

TEST(Controle, EachRuleFindsItsFaultAndOnlyThere) {
    for (const Rule& rule : kRules) {
        SCOPED_TRACE(rule.name);
        Layout faulty, sound;
        rule.fault(faulty);
        rule.sound(sound);
        const std::vector<Finding> found = faulty.check(), soundFound = sound.check();
        EXPECT_TRUE(onlyReports(found, rule.expected)) << listed(found);
        EXPECT_TRUE(soundFound.empty()) << listed(soundFound);
        // In the grid's words, never the file's.
        for (const Finding& f : found)
            for (const char* fileWord : {"HSensor", "MemRead", "MemMake", "Green-stap"})
                EXPECT_EQ(f.text.find(fileWord), std::string::npos) << f.text;
    }
}

TEST(Controle, FindingsComeWorstFirstThenByLineAndStep) {
    Layout l;
    l.book.DepartureInterval[1] = 0;                                          // opmerking on line A
    l.program(3, {{kind::HSensor, 2}, {kind::Sensor, 21}, {kind::Jump, 1}});  // waarschuwing C1, fout C2
    l.set(2, 2, kind::Pin, -1);                                               // fout B2
    const std::vector<Finding> found = l.check();
    ASSERT_GE(found.size(), 4u);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{2, 2}, {3, 2}}),
              (std::vector<std::pair<int, int>>{{found[0].line, found[0].step}, {found[1].line, found[1].step}}));
    for (std::size_t i = 1; i < found.size(); ++i) EXPECT_LE(found[i - 1].level, found[i].level);
    EXPECT_EQ(found.back().level, FindingLevel::Opmerking);
}

}  // namespace
}  // namespace blokpost::test
