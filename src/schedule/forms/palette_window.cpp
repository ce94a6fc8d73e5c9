#include "schedule/forms/palette_window.h"

#include "base/forms/spin_edit.h"
#include "desk/forms/window_host.h"
#include "schedule/cell_writer.h"
#include "state/program_state.h"

#include <QPushButton>
#include <string_view>

namespace blokpost {

namespace {

struct BoxDesign {
    int x;
    int width;
    int minimum;
    int maximum;
    int start;
};
// SpinEdit1..SpinEdit7: pin, seconds, target step, sensor, hold sensor, memory to set, memory to read.
constexpr std::array<BoxDesign, 7> kBoxes{{{32, 73, 1, 126, 5},
                                           {128, 73, 1, 3600, 10},
                                           {224, 73, 1, 25, 8},
                                           {312, 73, 1, 20, 5},
                                           {400, 73, 1, 20, 5},
                                           {520, 49, 1, 8, 5},
                                           {608, 49, 1, 8, 5}}};
constexpr int kHoldSensorBox = 5;

struct ButtonDesign {
    const char* handler;
    const char* caption;
    int x;
    int box;           // the spin box giving the operand
    const char* kind;  // the kind text handed to the cell writer
};
// "Blanco" and "Green" have no box of their own and take the Hold Sen box's value.
constexpr std::array<ButtonDesign, 9> kButtons{{
    {"PinMaken", "Make Pin", 32, 1, kind::Pin},
    {"TimerMaken", "Timer", 128, 2, kind::Timer},
    {"JumpMaken", "Jump", 224, 3, kind::Jump},
    {"SensorMaken", "Sensor", 312, 4, kind::Sensor},
    {"HoldSensorMaken", "Hold Sen", 400, kHoldSensorBox, kind::HSensor},
    {"MemoryMaken", "Make Mem", 496, 6, kind::MemMake},
    {"LeesMemoryMaken", "Read Mem", 584, 7, kind::MemRead},
    {"BlancoMaken", "Blanco", 672, kHoldSensorBox, kind::Blanco},
    {"GreenMaken", "Green", 760, kHoldSensorBox, kind::Green},
}};

}  // namespace

TForm5::TForm5(WindowHost& app) : Window(app, QStringLiteral("Make Ligics"), 933, 215, Frame::FixedDialog) {
    addPhotograph(this, QStringLiteral(":/photos/train.jpg"), QRect(16, 8, 640, 80));
    for (int n = 1; n <= 7; ++n) {
        const BoxDesign& box = kBoxes[n - 1];
        SpinEdits[n] = new SpinEdit(box.minimum, box.maximum, box.start, this);
        SpinEdits[n]->setGeometry(box.x, 104, box.width, 29);
        SpinEdits[n]->setFont(designedFont(16, true));
        SpinEdits[n]->setObjectName(QStringLiteral("SpinEdit%1").arg(n));
    }
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kButtons[i].caption), this);
        button->setGeometry(kButtons[i].x, 136, 73, 33);
        button->setFont(designedFont(13, true));
        button->setObjectName(QString::fromLatin1(kButtons[i].handler));
        connect(button, &QPushButton::clicked, this, [this, i] { writeInstruction(static_cast<int>(i)); });
        Button[i] = button;
    }
    addCaption(this, QStringLiteral("Sensor must by visible"), 296, 180, designedFont(16, true));
}

void TForm5::writeInstruction(int button) {
    const ButtonDesign& design = kButtons[static_cast<std::size_t>(button)];
    const int value = SpinEdits[design.box]->currentValue();
    // The pin box counts pins from 1; the model keeps the 0-based index.
    const int operand = design.kind == std::string_view(kind::Pin) ? value - 1 : value;
    // A missing icon stops before the palette closes, so the operator sees which cell failed.
    handle([&] {
        CelMaken(state(), state().editor.SelectedCell, operand, design.kind);
        hide();
    });
}

}  // namespace blokpost
