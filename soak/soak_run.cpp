#include "soak_run.h"

#include "app/main_cycle.h"
#include "base/text_file.h"
#include "board/simulated_board.h"
#include "layout/layout_store.h"
#include "lines/step_marker.h"
#include "scan/pins.h"
#include "schedule/cell_writer.h"
#include "schedule/rijschema.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"
#include "timetable/timetable.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <random>

namespace blokpost::soak {

namespace {

class CountingReporter : public Reporter {
public:
    void message(const std::string&) override { ++messages; }
    bool confirm(const std::string&) override { return true; }
    std::int64_t messages = 0;
};

const char* const kKinds[] = {"Pin", "Timer", "Jump", "Sensor", "HSensor", "MemMake", "MemRead", "Green", "Leeg", ""};

// Small stand-in pictures: every icon a white cell in a black frame.
void writePictures(const QString& root) {
    QDir(root).mkpath("VasteData");
    QDir(root).mkpath("Tekeningen");
    QImage icon(68, 68, QImage::Format_RGB32);
    icon.fill(Qt::white);
    QPainter(&icon).drawRect(3, 3, 60, 61);
    for (const char* name : {"PinMake", "Timer", "Jump", "Sensor", "SensorH", "MemMake", "MemRead", "Green",
                             "Blanco", "Wie"})
        icon.save(root + "/VasteData/" + name + ".bmp", "BMP");
    QImage drawing(96, 35, QImage::Format_RGB32);
    drawing.fill(Qt::lightGray);
    for (int n = 1; n <= kPins; ++n) drawing.save(root + QString("/Tekeningen/Tek%1.bmp").arg(n), "BMP");
    drawing.save(root + "/Tekeningen/Blanco.bmp", "BMP");
    for (int s = 1; s <= kSensors; ++s) {
        drawing.save(root + QString("/Tekeningen/Sen%1H.bmp").arg(s), "BMP");
        drawing.save(root + QString("/Tekeningen/Sen%1L.bmp").arg(s), "BMP");
    }
    QImage board(332, 143, QImage::Format_RGB32);
    board.fill(Qt::white);
    board.save(root + "/VasteData/Bord.bmp", "BMP");
}

// Operands mostly in range, now and then what only a hand-edited file brings.
std::int32_t operandFor(const std::string& kind, std::mt19937& random) {
    if (random() % 20 == 0) return static_cast<std::int32_t>(random() % 400) - 100;
    auto pick = [&](int low, int high) { return low + static_cast<std::int32_t>(random() % (high - low + 1)); };
    if (kind == "Pin") return pick(0, kPins - 1);
    if (kind == "Timer") return pick(1, 8);
    if (kind == "Jump") return pick(1, kSteps);
    if (kind == "Sensor" || kind == "HSensor") return pick(1, kSensors);
    if (kind == "MemMake" || kind == "MemRead") return pick(1, kMemories);
    return pick(1, kSensors);
}

void writeSchedules(const ProgramState& s, std::mt19937& random) {
    for (int variant = 1; variant <= 4; ++variant) {
        std::vector<std::string> kinds;
        std::vector<std::int32_t> operands;
        for (int line = 1; line <= kLines; ++line)
            for (int step = 1; step <= kSteps; ++step) {
                // Each line loops back from its last step, so it keeps running.
                const std::string kind = step == kSteps ? "Jump" : kKinds[random() % std::size(kKinds)];
                kinds.push_back(kind);
                operands.push_back(step == kSteps ? 1 : operandFor(kind, random));
            }
        TextFileWriter out(s.paths.forWriting("VasteData/Schema" + std::to_string(variant) + "Data.txt"));
        for (const auto& kind : kinds) out.text(kind);
        for (int block = 0; block < 2; ++block)
            for (std::int32_t operand : operands) out.number(operand);
        out.commit();
    }
}

void writeLayoutStore(const ProgramState& s) {
    TextFileWriter out(s.paths.forWriting("Vastedata/DataOpslag.txt"));
    for (int e = 0; e < kLayoutElements; ++e) out.number(40 + 10 * e);
    for (int e = 0; e < kLayoutElements; ++e) out.number(30 + 5 * e);
    for (int e = 0; e < kLayoutElements; ++e) out.number(e % 2);
    for (int i = 0; i < kLines * (kSteps + 2); ++i) out.text(i % 27 == 5 ? "Sensor" : "");
    for (int i = 0; i < 2 * kLines * (kSteps + 1); ++i) out.number(i % 21);
    out.text("Volt");
    out.text("Amp");
    out.commit();
}

std::string checkInvariants(const ProgramState& s) {
    for (int line = 1; line <= kLines; ++line)
        if (s.model.CurrentStep[line] > kSteps + 1) return "line " + std::to_string(line) + " beyond step 26";
    for (int cell = 1; cell <= kCells; ++cell) {
        if (s.screen.rijschema.cell[cell].pixel(2, 2) != kRed) continue;
        const LineAndStep at = splitCellNumber(cell);
        if (s.model.CurrentStep[at.line] != at.step)
            return "cell " + std::to_string(cell) + " is marked but is not its line's current step";
    }
    if (s.cycle.PinOutput < -1 || s.cycle.PinOutput > 127) return "pin output " + std::to_string(s.cycle.PinOutput);
    if (s.screen.display.logLines.size() > 14) return "logbook longer than 14 lines";
    for (auto flags : {&s.model.HoldFlag[0], &s.model.SensorState[0]})
        for (int i = 0; i <= kSensors; ++i)
            if (flags[i] > 1) return "a sensor flag holds " + std::to_string(flags[i]);
    return {};
}

// One action of the imaginary operator, now and then.
std::int64_t operate(ProgramState& s, SimulatedBoard& board, std::mt19937& random) {
    const std::uint32_t roll = random() % 10000;
    if (roll < 300) {
        const int sensor = 1 + static_cast<int>(random() % kSensors);
        board.setSensor(sensor, !board.sensor(sensor));
    } else if (roll < 320) {
        Plaat(s, 1 + static_cast<int>(random() % kPinDrawings));
    } else if (roll < 335) {
        const std::string kind = kKinds[random() % std::size(kKinds)];
        guarded(s, [&] { CelMaken(s, 1 + static_cast<int>(random() % kCells), operandFor(kind, random), kind); });
    } else if (roll < 345) {
        ToggleLine(s, 1 + static_cast<int>(random() % kLines));
    } else if (roll < 355) {
        switch (random() % 3) {
        case 0: MaakHold(s, 1 + static_cast<int>(random() % kSensors)); break;
        case 1: MaakMem(s, 1 + static_cast<int>(random() % kMemories)); break;
        default: MaakGreen(s, 1 + static_cast<int>(random() % kLines)); break;
        }
    } else if (roll < 357) {
        guarded(s, [&] { MaakSchema(s, 1 + static_cast<int>(random() % 4)); });
    } else if (roll < 358) {
        guarded(s, [&] { Lezen(s); });
    } else if (roll < 359) {
        guarded(s, [&] { Opnieuw(s); });
    } else if (roll < 361) {
        guarded(s, [&] { Maak(s, 1 + static_cast<int>(random() % kCells)); });
    } else {
        return 0;
    }
    return 1;
}

void startTimetable(ProgramState& s) {
    for (int r = 1; r <= kLines; ++r) {
        s.timetableEditor.row[r].Freq = 2 + r;
        s.timetableEditor.row[r].PlusMin = r;
    }
    guarded(s, [&] { MaakLijnen(s); });
}

}  // namespace

SoakResult runSoak(std::int64_t ticks, std::uint32_t seed) {
    QTemporaryDir folder;
    SimulatedBoard board;
    CountingReporter reporter;
    ProgramState state(board, reporter, DataPaths(folder.path()));
    FormCreate(state, 23 * 60 + 30);  // the run passes midnight
    std::mt19937 random(seed);
    writePictures(folder.path());
    writeSchedules(state, random);
    writeLayoutStore(state);
    guarded(state, [&] { MaakSchema(state, 1); });
    for (int line = 1; line <= kLines; ++line) ToggleLine(state, line);
    startTimetable(state);

    SoakResult result;
    std::array<std::uint8_t, kLines + 1> stepBefore{};
    for (result.ticks = 0; result.ticks < ticks; ++result.ticks) {
        result.edits += operate(state, board, random);
        stepBefore = state.model.CurrentStep;
        Hoofdlus(state);
        if (state.cycle.Phase == 8 && state.clock.ClockSeconds == 4)
            for (int line = 1; line <= kLines; ++line)
                if (state.model.CurrentStep[line] == 1 && stepBefore[line] != 1 &&
                    state.timetable.DepartureMinute[line] == state.clock.ClockMinutes)
                    ++result.departures;
        result.breach = checkInvariants(state);
        if (!result.breach.empty()) break;
    }
    result.pinsSwitched = static_cast<std::int64_t>(board.strobeCount());
    return result;
}

}  // namespace blokpost::soak
