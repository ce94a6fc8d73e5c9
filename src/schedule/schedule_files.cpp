#include "schedule/schedule_files.h"

#include "base/text_file.h"
#include "schedule/cell_writer.h"
#include "state/program_state.h"

#include <array>

namespace blokpost {

namespace {

struct Variant {
    const char* file;
    const char* picture;
};
constexpr std::array<Variant, kVariants + 1> kVariantFiles{{
    {"", ""},
    {"VasteData/Schema1Data.txt", "Vastedata/Normaledienst.bmp"},
    {"VasteData/Schema2Data.txt", "Vastedata/Weekenddienst.bmp"},
    {"VasteData/Schema3Data.txt", "Vastedata/Zomerdienst.bmp"},
    {"VasteData/Schema4Data.txt", "Vastedata/Winterdienst.bmp"},
}};

bool isVariant(int k) { return k >= 1 && k <= kVariants; }

// Steps 1..25 of every line, in the file's order: line A first.
template <class Action>
void eachScheduledStep(Action&& action) {
    for (int line = 1; line <= kLines; ++line)
        for (int step = 1; step <= kSteps; ++step) action(line, step);
}

// A Timer step starts its countdown afresh from its operand.
void restartTimers(LineProgramModel& model) {
    eachScheduledStep([&](int line, int step) {
        if (model.StepKind[line][step] == kind::Timer) model.StepCounter[line][step] = model.StepOperand[line][step];
    });
}

constexpr std::array<const char*, kVariants + 1> kVariantNames{"", "Normale dienst", "Weekenddienst", "Zomerdienst",
                                                               "Winterdienst"};

}  // namespace

const char* VariantName(int k) { return isVariant(k) ? kVariantNames[k] : ""; }
const char* VariantFile(int k) { return isVariant(k) ? kVariantFiles[k].file : ""; }

void ReadVariant(LineProgramModel& model, TextFileReader& file) {
    eachScheduledStep([&](int line, int step) { model.StepKind[line][step] = file.readText(); });
    eachScheduledStep([&](int line, int step) { model.StepOperand[line][step] = file.readNumber(); });
    eachScheduledStep([&](int line, int step) { model.StepCounter[line][step] = file.readNumber(); });
    restartTimers(model);
}

void MaakSchema(ProgramState& s, int k) {
    if (!isVariant(k)) return;
    s.editor.CurrentVariant = static_cast<std::uint8_t>(k);
    s.screen.rijschema.saveEnabled = true;
    // A missing variant picture is not worth a message: the previous one stays.
    s.screen.rijschema.cell[kVariantPicture].load(s.paths.find(kVariantFiles[k].picture));
    guarded(s, [&] {
        TextFileReader file = TextFileReader::open(s.paths.find(kVariantFiles[k].file), s.reporter);
        ReadVariant(s.model, file);
        ++s.editor.LoadsDone;
        SchemaTekenen(s);
    });
}

void SchemaOpslaan(ProgramState& s) {
    const int k = s.editor.CurrentVariant;
    if (!isVariant(k)) return;
    guarded(s, [&] {
        TextFileWriter file(s.paths.forWriting(kVariantFiles[k].file));
        eachScheduledStep([&](int line, int step) { file.text(s.model.StepKind[line][step]); });
        eachScheduledStep([&](int line, int step) { file.number(s.model.StepOperand[line][step]); });
        eachScheduledStep([&](int line, int step) { file.number(s.model.StepCounter[line][step]); });
        file.commit();
    });
}

void SchemaTekenen(ProgramState& s) {
    eachScheduledStep([&](int line, int step) { CelTekenen(s, line, step, s.model.StepKind[line][step]); });
}

}  // namespace blokpost
