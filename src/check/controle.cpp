#include "check/controle.h"

#include "check/line_walk.h"
#include "state/timetable_editor.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>

namespace blokpost {

namespace {

using Findings = std::vector<Finding>;
const auto str = [](auto number) { return std::to_string(number); };
std::string letter(int line) { return std::string(1, lineLetter(line)); }

std::string onGrid(const std::string& kind) { return stepKindRule(kind).onGrid; }

// "(1 tot 20)": the operands the kind's executor acts on, numbered from `first`.
std::string rangeOf(const char* kind, const char* what = "", std::int32_t first = 0) {
    const StepKindRule& rule = stepKindRule(kind);
    return "(" + std::string(what) + str(rule.first + first) + " tot " + str(rule.last + first) + ")";
}

// "HOLD 21": the step as its cell shows it.
std::string cell(const std::string& kind, std::int32_t op) { return onGrid(kind) + " " + str(op); }

constexpr const char* kWaitsForever = "de lijn wacht hier voor altijd";

struct OperandRule {
    const char* kind;
    std::string (*problem)(std::int32_t operand);
};

// What is wrong with an operand outside the range its executor acts on (the step kinds' table).
const OperandRule kOperandRules[] = {
    {kind::Pin,
     [](std::int32_t op) {
         return "Pin-" + str(std::int64_t{op} + 1) + " bestaat niet " + rangeOf(kind::Pin, "pinnen ", 1) +
                ": de cyclus slaat de stap over. Klik de cel en kies een pin met \"Make Pin\".";
     }},
    {kind::Timer,
     [](std::int32_t op) {
         return onGrid(kind::Timer) + " van " + str(op) +
                " seconden: een tijd kan niet negatief zijn. Klik de cel en zet een tijd met \"Timer\".";
     }},
    {kind::Jump,
     [](std::int32_t op) {
         return onGrid(kind::Jump) + " naar stap " + str(op) + ": die stap bestaat niet " + rangeOf(kind::Jump) +
                ", de lijn blijft op de sprong staan. Klik de cel en kies een stap met \"Jump\".";
     }},
    {kind::Sensor,
     [](std::int32_t op) {
         return cell(kind::Sensor, op) + " bestaat niet " + rangeOf(kind::Sensor) + ": " + kWaitsForever +
                ". Klik de cel en kies een sensor met \"Sensor\".";
     }},
    {kind::HSensor,
     [](std::int32_t op) {
         return cell(kind::HSensor, op) + " bestaat niet " + rangeOf(kind::HSensor) + ": " + kWaitsForever +
                ". Klik de cel en kies een sensor met \"Hold Sen\".";
     }},
    {kind::MemMake,
     [](std::int32_t op) {
         return cell(kind::MemMake, op) + ": geheugen " + str(op) + " bestaat niet " + rangeOf(kind::MemMake) +
                ". Klik de cel en kies een geheugen met \"Make Mem\".";
     }},
    {kind::MemRead,
     [](std::int32_t op) {
         return cell(kind::MemRead, op) + ": geheugen " + str(op) + " bestaat niet " + rangeOf(kind::MemRead) +
                ", " + kWaitsForever + ". Klik de cel en kies een geheugen met \"Read Mem\".";
     }},
};

const OperandRule* ruleFor(const std::string& kind) {
    for (const OperandRule& rule : kOperandRules)
        if (kind == rule.kind) return &rule;
    return nullptr;
}

class Check {
public:
    explicit Check(const ControleInput& in) : in_(in) {}
    Findings run();

private:
    const std::string& kindAt(int line, int step) const { return in_.programs.StepKind[line][step]; }
    std::int32_t operandAt(int line, int step) const { return in_.programs.StepOperand[line][step]; }
    bool hasKind(int line, int step, const char* kind) const { return kindAt(line, step) == kind; }
    bool operandValid(int line, int step) const;
    int interval(int line) const { return kFreqRange.clamp(in_.book.DepartureInterval[line]); }
    std::string bookText() const { return in_.bookName.empty() ? "het boekje" : "boekje " + in_.bookName; }
    void add(FindingLevel level, int line, int step, std::string text) {
        found_.push_back({level, line, step, std::move(text)});
    }

    void checkOperands(int line);
    void checkJumps(int line);
    void checkRun(int line, const LineWalk& walk);
    void checkUnreachedAfterEmpty(int line, const LineWalk& walk);
    void checkDrawingsAndPins(int line);
    void checkDepartures(int line, const LineWalk& walk);
    void checkMemories();
    void checkSharedHoldSensors();
    std::int64_t shortestRoundSeconds(int line, const LineWalk& walk) const;

    const ControleInput& in_;
    Findings found_;
};

bool Check::operandValid(int line, int step) const {
    return operandInRange(stepKindRule(kindAt(line, step)), operandAt(line, step));
}

void Check::checkOperands(int line) {
    for (int step = 1; step <= kSteps; ++step) {
        if (roleOf(kindAt(line, step)) == StepRole::Unknown)
            add(FindingLevel::Fout, line, step,
                "Onbekende opdracht \"" + kindAt(line, step) +
                    "\": geen stap voert die uit, de lijn blijft hier staan. Klik de cel en kies een opdracht.");
        if (const OperandRule* rule = ruleFor(kindAt(line, step)); rule && !operandValid(line, step))
            add(FindingLevel::Fout, line, step, rule->problem(operandAt(line, step)));
    }
}

void Check::checkJumps(int line) {
    for (int step = 1; step <= kSteps; ++step) {
        if (!hasKind(line, step, kind::Jump) || !operandValid(line, step)) continue;
        const int target = operandAt(line, step);
        if (target == step)
            add(FindingLevel::Fout, line, step,
                "JUMP naar zichzelf: de lijn blijft op deze stap staan. Laat de sprong naar een andere stap wijzen.");
        else if (isEmptyStep(kindAt(line, target)))
            add(FindingLevel::Fout, line, step,
                "JUMP naar stap " + str(target) + ", die leeg is: de lijn blijft daar staan. Vul stap " +
                    str(target) + " of laat de sprong naar een gevulde stap wijzen.");
    }
}

// A run that comes back to a step without a single waiting step in its loop
// never gives the layout a second: it switches pins and sets memories on and on.
void Check::checkRun(int line, const LineWalk& walk) {
    if (walk.loopStart == 0) return;
    const auto loop = std::find(walk.path.begin(), walk.path.end(), walk.loopStart);
    const bool waits =
        std::any_of(loop, walk.path.end(), [&](int step) { return roleOf(kindAt(line, step)) == StepRole::Waiting; });
    const bool selfJump = walk.path.end() - loop == 1 && hasKind(line, walk.loopStart, kind::Jump);
    if (waits || selfJump) return;
    std::string steps;
    for (auto step = loop; step != walk.path.end(); ++step) steps += (steps.empty() ? "" : ", ") + str(*step);
    add(FindingLevel::Fout, line, walk.loopStart,
        "Stappen " + steps +
            " vormen een lus zonder wachten (alleen JUMP, MEM SET, PIN en groen sein): "
            "de lijn draait rond zonder ooit op iets te wachten. Zet een TIMER, SENSOR, HOLD of MEM ? in de lus.");
}

void Check::checkUnreachedAfterEmpty(int line, const LineWalk& walk) {
    for (int step = 1; step <= kSteps; ++step) {
        if (!isEmptyStep(kindAt(line, step)) || (step > 1 && isEmptyStep(kindAt(line, step - 1)))) continue;
        int next = step + 1;
        while (next <= kSteps && isEmptyStep(kindAt(line, next))) ++next;
        if (next <= kSteps && !walk.reached[next])
            add(FindingLevel::Fout, line, step,
                "Stap " + str(step) + " is leeg: de lijn stopt hier en stap " + str(next) +
                    " en verder worden nooit bereikt. Vul stap " + str(step) + " of zet er een JUMP naar stap " +
                    str(next) + ".");
    }
}

// A pin with the placeholder name it got at start or reset counts as unnamed.
bool hasNoName(const std::string& name) {
    if (name.find_first_not_of(' ') == std::string::npos) return true;
    if (name.size() <= 4 || (name.rfind("leeg", 0) != 0 && name.rfind("Leeg", 0) != 0)) return false;
    return name.find_first_not_of("0123456789", 4) == std::string::npos;
}

void Check::checkDrawingsAndPins(int line) {
    for (int step = 1; step <= kSteps; ++step) {
        if (!operandValid(line, step)) continue;
        const std::int32_t op = operandAt(line, step);
        if ((hasKind(line, step, kind::Sensor) || hasKind(line, step, kind::HSensor)) &&
            in_.layout.LayoutVisible[kFirstSensorElement + op - 1] != 1)
            add(FindingLevel::Waarschuwing, line, step,
                cell(kindAt(line, step), op) + ": sensor " + str(op) +
                    " heeft geen tekening op de baantekening, dus niemand ziet hem bezet. Maak hem zichtbaar met "
                    "\"Scherm\".");
        if (!hasKind(line, step, kind::Pin)) continue;
        if (hasNoName(in_.pinNames[op]))
            add(FindingLevel::Waarschuwing, line, step,
                "Pin-" + str(op + 1) + " heeft geen naam. Geef hem er een met \"Give the pin a name\".");
        if (in_.pinAddresses[op] >= kPins)
            add(FindingLevel::Waarschuwing, line, step,
                "Pin-" + str(op + 1) + " heeft geen adres (" + str(int{in_.pinAddresses[op]}) +
                    " ligt buiten 0 tot 125). Geef hem er een met \"Give the pin a name\", \"Take it\".");
    }
}

// The shortest time in seconds (cycles) from a departure to the Green step
// that makes the line ready again. Each step is taken at its executor's next
// call in the cycle, so steps whose executors come later in the cycle pass
// in the same second; a Timer holds the line for its seconds on top, and a
// waiting step passes at once. 0 when the run never reaches a Green step.
std::int64_t Check::shortestRoundSeconds(int line, const LineWalk& walk) const {
    std::int64_t at = kDeparturePlace;
    for (int step : walk.path) {
        const StepKindRule& rule = stepKindRule(kindAt(line, step));
        at = nextCallAfter(at, rule);
        if (at < 0) return 0;
        if (rule.wait == StepWait::Counter) at += std::int64_t{std::max(operandAt(line, step), 0)} * kCyclePlaces;
        if (rule.id == StepKindId::Green) return (at - kDeparturePlace) / kCyclePlaces;
    }
    return 0;
}

void Check::checkDepartures(int line, const LineWalk& walk) {
    const bool empty = lineIsEmpty(in_.programs, line);
    const int minutes = interval(line);
    bool green = false;
    for (int step = 1; step <= kSteps; ++step) green = green || hasKind(line, step, kind::Green);
    if (minutes > 0 && empty)
        add(FindingLevel::Fout, line, 0,
            bookText() + " laat lijn " + letter(line) + " elke " + str(minutes) + " minuten vertrekken, maar lijn " +
                letter(line) + " heeft in deze dienst geen stappen. Geef lijn " + letter(line) +
                " stappen of zet zijn vertrektijden op 0 in \"Maak spoorboekje\".");
    if (empty) return;
    if (minutes > 0 && !green)
        add(FindingLevel::Waarschuwing, line, 0,
            "Lijn " + letter(line) + " vertrekt volgens " + bookText() +
                ", maar heeft geen groen sein (\"Green\"): alleen het eerste vertrek start de lijn. Zet een groen "
                "sein aan het eind van de rit.");
    const std::int64_t round = shortestRoundSeconds(line, walk);
    // Ready by the next departure's own second, or that departure is lost.
    if (minutes > 0 && round >= std::int64_t{minutes} * 60)
        add(FindingLevel::Waarschuwing, line, 0,
            "Lijn " + letter(line) + " vertrekt elke " + str(minutes) +
                " minuten, maar een rit tot het groene sein duurt minstens " + str(round) +
                " seconden: vertrekken vallen weg. Kort de TIMERs in of laat de lijn minder vaak vertrekken.");
    if (minutes == 0 && green)
        add(FindingLevel::Opmerking, line, 0,
            "Lijn " + letter(line) + " heeft een groen sein, maar geen vertrektijden in " + bookText() +
                ": na het groene sein blijft de lijn staan. Geef hem vertrektijden in \"Maak spoorboekje\".");
    if (minutes == 0 && walk.loopStart == 0 && walk.stopsAt > kSteps)
        add(FindingLevel::Opmerking, line, 0,
            "Lijn " + letter(line) +
                " loopt na stap 25 van zijn schema af: geen sprong terug en geen vertrektijden. Zet een JUMP terug "
                "in stap 25.");
    else if (minutes == 0 && walk.loopStart == 0 && isEmptyStep(kindAt(line, walk.stopsAt)))
        add(FindingLevel::Opmerking, line, walk.stopsAt,
            "Lijn " + letter(line) + " stopt op stap " + str(walk.stopsAt) +
                ": geen sprong terug en geen vertrektijden, de lijn rijdt maar een keer. Zet daar een JUMP terug "
                "als hij rond moet blijven rijden.");
}

void Check::checkMemories() {
    std::set<std::int32_t> made, read;
    for (int line = 1; line <= kLines; ++line)
        for (int step = 1; step <= kSteps; ++step) {
            if (!operandValid(line, step)) continue;
            if (hasKind(line, step, kind::MemMake)) made.insert(operandAt(line, step));
            if (hasKind(line, step, kind::MemRead)) read.insert(operandAt(line, step));
        }
    for (int line = 1; line <= kLines; ++line)
        for (int step = 1; step <= kSteps; ++step) {
            if (!operandValid(line, step)) continue;
            const std::int32_t m = operandAt(line, step);
            if (hasKind(line, step, kind::MemRead) && !made.contains(m))
                add(FindingLevel::Fout, line, step,
                    "MEM ? " + str(m) + " wacht op geheugen " + str(m) + ", maar geen lijn in deze dienst zet het (MEM SET " +
                        str(m) + "): de lijn wacht hier voor altijd. Zet MEM SET " + str(m) +
                        " in de lijn die deze lijn laat vertrekken.");
            if (hasKind(line, step, kind::MemMake) && !read.contains(m))
                add(FindingLevel::Opmerking, line, step,
                    "MEM SET " + str(m) + " zet geheugen " + str(m) + ", maar geen lijn leest het (MEM ? " + str(m) +
                        "). Goed zo als dat de bedoeling is.");
        }
}

// Lines waiting on one hold sensor at the same time: the executor goes
// through the lines from A and the first one consumes the event.
void Check::checkSharedHoldSensors() {
    std::map<std::int32_t, int> firstLine;
    for (int line = 1; line <= kLines; ++line) {
        std::set<std::int32_t> toldForLine;
        for (int step = 1; step <= kSteps; ++step) {
            if (!hasKind(line, step, kind::HSensor) || !operandValid(line, step)) continue;
            const std::int32_t sensor = operandAt(line, step);
            const auto [first, isNew] = firstLine.emplace(sensor, line);
            if (isNew || first->second == line || !toldForLine.insert(sensor).second) continue;
            add(FindingLevel::Waarschuwing, line, step,
                "HOLD " + str(sensor) + ": lijn " + letter(first->second) +
                    " wacht ook op deze sensor; wachten ze tegelijk, dan neemt lijn " + letter(first->second) +
                    " de melding. Houd ze uit elkaar met een geheugen (MEM SET, MEM ?) of geef elk een eigen sensor.");
        }
    }
}

Findings Check::run() {
    for (int line = 1; line <= kLines; ++line) {
        const LineWalk walk = walkLine(in_.programs, line);
        checkOperands(line);
        checkJumps(line);
        checkRun(line, walk);
        checkUnreachedAfterEmpty(line, walk);
        if (in_.layoutRead) checkDrawingsAndPins(line);
        checkDepartures(line, walk);
    }
    // Without the layout every sensor lacks its drawing and every pin its
    // name: one note says so instead of one per step.
    if (!in_.layoutRead)
        add(FindingLevel::Waarschuwing, 0, 0,
            "De baan is nog niet gelezen: tekeningen, pinnamen en adressen zijn nog niet gecontroleerd. Druk op "
            "\"Read/save\" en \"Read\", en dan weer op \"Controle\".");
    checkMemories();
    checkSharedHoldSensors();
    std::stable_sort(found_.begin(), found_.end(), [](const Finding& a, const Finding& b) {
        return std::tie(a.level, a.line, a.step) < std::tie(b.level, b.line, b.step);
    });
    return found_;
}

}  // namespace

std::vector<Finding> Controleer(const ControleInput& input) { return Check(input).run(); }

const char* levelName(FindingLevel level) {
    switch (level) {
        case FindingLevel::Fout: return "fout";
        case FindingLevel::Waarschuwing: return "waarschuwing";
        case FindingLevel::Opmerking: return "opmerking";
    }
    return "";
}

}  // namespace blokpost
