#include "schedule/cell_writer.h"

#include "scan/pins.h"
#include "state/program_state.h"

#include <array>
#include <string_view>

namespace blokpost {

namespace {

struct KindLook {
    std::string_view kind;
    CellAppearance look;
};

// Texts stand at (x, 24) and (x, y2); the icons keep that area free for them.
const std::array<KindLook, 8> kLooks{{
    {kind::Pin, {"VasteData/PinMake.bmp", 10, kMaroon, true, 8, 40}},
    {kind::Timer, {"VasteData/Timer.bmp", 11, kBlue, true, 8, 40}},
    {kind::Jump, {"VasteData/Jump.bmp", 18, kGray, false, 16, 25}},
    {kind::Sensor, {"VasteData/Sensor.bmp", 18, kGreen, false, 16, 25}},
    {kind::HSensor, {"VasteData/SensorH.bmp", 18, kTeal, false, 16, 25}},
    {kind::MemMake, {"VasteData/MemMake.bmp", 18, kRed, false, 16, 30}},
    {kind::MemRead, {"VasteData/MemRead.bmp", 18, kRed, false, 16, 30}},
    {kind::Green, {"VasteData/Green.bmp"}},
}};
const CellAppearance kBlank{"VasteData/Blanco.bmp"};

void drawCell(ProgramState& s, int cell, const std::string& kindText, std::int32_t operand) {
    const CellAppearance& look = cellAppearance(kindText);
    Canvas& picture = s.screen.rijschema.cell[cell];
    if (!picture.load(s.paths.find(look.icon))) throw OperationError(cannotOpenMessage(look.icon));
    if (look.fontSize == 0) return;
    // These settings stay with the picture: a running Timer step writes its
    // countdown with them later.
    picture.setBrush(kWhite);
    picture.setFontColour(look.colour);
    picture.setFontSize(look.fontSize);
    const CellTexts texts = cellTexts(s, kindText, operand);
    if (look.hasText1) picture.text(look.x, 24, texts.text1);
    picture.text(look.x, look.y2, texts.text2);
}

}  // namespace

const CellAppearance& cellAppearance(const std::string& kindText) {
    for (const KindLook& entry : kLooks)
        if (entry.kind == kindText) return entry.look;
    return kBlank;
}

CellTexts cellTexts(const ProgramState& s, const std::string& kindText, std::int32_t operand) {
    const std::string number = std::to_string(operand);
    if (kindText == kind::Pin) {
        // Only an edited schedule file can hold a pin outside the tables; it has no name.
        const std::string name = isPinIndex(operand) ? s.pins.PinName[static_cast<std::size_t>(operand)] : "?";
        return {"Pin-" + std::to_string(static_cast<std::int64_t>(operand) + 1), name};
    }
    if (kindText == kind::Timer) return {number + "s ", number + "s "};
    if (cellAppearance(kindText).fontSize == 0) return {};
    return {"", number};
}

void CelMaken(ProgramState& s, int cell, std::int32_t operand, const std::string& kindText) {
    if (cell < 1 || cell > kCells) return;  // no cell selected yet
    const auto [line, step] = splitCellNumber(cell);
    s.model.StepOperand[line][step] = operand;
    s.model.StepCounter[line][step] = operand;
    s.model.StepKind[line][step] = kindText == kind::Blanco ? std::string(kind::Leeg) : kindText;
    drawCell(s, cell, kindText, operand);
}

void CelTekenen(ProgramState& s, int line, int step, const std::string& kindText) {
    if (line < 1 || line > kLines || step < 1 || step > kSteps) return;
    drawCell(s, cellNumber(line, step), kindText, s.model.StepOperand[line][step]);
}

std::string cannotOpenMessage(const std::string& file) {
    return "Cannot open file \"" + file + "\". No such file or directory.";
}

}  // namespace blokpost
