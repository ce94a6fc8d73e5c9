#include "layout/make_screen.h"

#include "schedule/cell_writer.h"
#include "state/program_state.h"

#include <charconv>

namespace blokpost {

namespace {

constexpr int kPinDrawingRadios = 63;
constexpr int kFirstLineButtonRadio = kFirstLineButtonElement + 1;

struct KeyFamily {
    const char* prefix;
    int firstElement;
    int count;
};
constexpr KeyFamily kKeyFamilies[] = {
    {"A", 0, kFirstSensorElement},
    {"S", kFirstSensorElement, kFirstLineButtonElement - kFirstSensorElement},
    {"Kn", kFirstLineButtonElement, kLayoutElements - kFirstLineButtonElement},
};

const KeyFamily& familyOf(int element) {
    for (const KeyFamily& family : kKeyFamilies)
        if (element < family.firstElement + family.count) return family;
    return kKeyFamilies[2];
}

MakeScreenView& view(ProgramState& s) { return s.layoutWindows.makeScreen; }

int selectedElement(ProgramState& s) { return elementOfKey(view(s).SelectedElement); }

// One edge of the chosen element, on the main window and in the layout table alike.
void moveSelected(ProgramState& s, int ControlPlacement::*edge,
                  std::array<std::int32_t, kLayoutElements> LayoutTable::*table, int value) {
    const int e = selectedElement(s);
    if (e < 0) return;
    s.screen.main.element[e].*edge = value;
    (s.layout.*table)[e] = value;
}

void setVisibleBox(ProgramState& s, bool checked) {
    if (view(s).visibleChecked == checked) return;
    PasAan(s, checked);  // the box fires its handler whenever its value changes
}

void setLeftBox(ProgramState& s, int left) {
    if (view(s).left != left) Horizontaal(s, left);
}

void setTopBox(ProgramState& s, int top) {
    if (view(s).top != top) Vertikaal(s, top);
}

void nameMeter(ProgramState& s, int meter, const std::string& name) {
    (meter == 1 ? s.MeterName1 : s.MeterName2) = name;
    s.screen.main.meterButtonCaption[meter] = name;
    s.screen.main.meterWindowCaption[meter] = name;
}

}  // namespace

MakeScreenView::MakeScreenView() {
    dot.fill(kWhite);
    dot[kFirstLineButtonElement + 1] = kYellow;  // Shape84: line A's button is shown at start
}

std::string ElementKey(int e) {
    if (e < 0 || e >= kLayoutElements) return {};
    const KeyFamily& family = familyOf(e);
    return family.prefix + std::to_string(e - family.firstElement + 1);
}

int elementOfKey(const std::string& key) {
    for (const KeyFamily& family : kKeyFamilies) {
        const std::string_view prefix(family.prefix);
        if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) continue;
        int n = 0;
        const char* first = key.data() + prefix.size();
        const char* last = key.data() + key.size();
        const auto [end, error] = std::from_chars(first, last, n);
        if (error == std::errc() && end == last && n >= 1 && n <= family.count)
            return family.firstElement + n - 1;
    }
    return -1;
}

std::string previewPicture(int e) {
    if (e < 0 || e >= kLayoutElements) return {};
    if (e < kFirstSensorElement) return "Tekeningen/Tek" + std::to_string(2 * e + 1) + ".bmp";
    if (e < kFirstLineButtonElement)
        return "Tekeningen/Sen" + std::to_string(e - kFirstSensorElement + 1) + "H.bmp";
    return "VasteData/Lijn.bmp";
}

std::string radioCaption(int radio) {
    if (radio <= kPinDrawingRadios) return "Pin " + std::to_string(2 * radio - 1) + "/" + std::to_string(2 * radio);
    if (radio < kFirstLineButtonRadio) return "Sensor " + std::to_string(radio - kPinDrawingRadios);
    return std::string("Lijn ") + lineLetter(radio - kFirstLineButtonElement);
}

void Wie(ProgramState& s, int radio) {
    MakeScreenView& v = view(s);
    v.checkedRadio = radio;
    v.SelectedElement.clear();
    v.previewName.clear();
    const int e = radio - 1;
    if (e >= 0 && e < kLayoutElements) {
        v.SelectedElement = ElementKey(e);
        v.previewName = previewPicture(e);
    }
    guarded(s, [&] {
        if (!v.previewName.empty() && !v.preview.load(s.paths.find(v.previewName)))
            throw OperationError(cannotOpenMessage(v.previewName));
        if (e < 0 || e >= kLayoutElements) return;
        setVisibleBox(s, s.layout.LayoutVisible[e] == 1);
        setLeftBox(s, s.layout.LayoutX[e]);
        setTopBox(s, s.layout.LayoutY[e]);
    });
}

void PasAan(ProgramState& s, bool checked) {
    view(s).visibleChecked = checked;
    const int e = selectedElement(s);
    if (e >= 0) {
        s.layout.LayoutVisible[e] = checked ? 1 : 0;
        s.screen.main.element[e].visible = checked;
    }
    RecolourOverview(s);
}

void Horizontaal(ProgramState& s, int left) {
    view(s).left = left;
    moveSelected(s, &ControlPlacement::x, &LayoutTable::LayoutX, left);
}

void Vertikaal(ProgramState& s, int top) {
    view(s).top = top;
    moveSelected(s, &ControlPlacement::y, &LayoutTable::LayoutY, top);
}

void Meter1maken(ProgramState& s, const std::string& name) { nameMeter(s, 1, name); }
void Meter2maken(ProgramState& s, const std::string& name) { nameMeter(s, 2, name); }

void RecolourOverview(ProgramState& s) {
    for (int e = 0; e < kLayoutElements; ++e)
        view(s).dot[e + 1] = s.layout.LayoutVisible[e] != 0 ? kYellow : kGray;
}

}  // namespace blokpost
