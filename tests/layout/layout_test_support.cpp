#include "layout/layout_test_support.h"

#include "layout/pin_names.h"

namespace blokpost::test {

LayoutProgram::LayoutProgram() {
    writePicture("Tekeningen/Blanco.bmp", 96, 35, kBlankDrawing);
    for (int s = 1; s <= kSensors; ++s) {
        writePicture("Tekeningen/Sen" + std::to_string(s) + "L.bmp", 96, 35, inactiveSensorColour(s));
        writePicture("Tekeningen/Sen" + std::to_string(s) + "H.bmp", 96, 35, activeSensorColour(s));
    }
    writeFile("Vastedata/AdresData.txt", lines(kPins, [](int i) { return std::to_string(kPins - 1 - i); }));
    writeFile("Vastedata/NaamData.txt", lines(kPins, [](int i) { return "naam" + std::to_string(i); }));
    FillPinGrid(state);
}

std::string LayoutProgram::lines(int count, const std::function<std::string(int)>& value) {
    std::string text;
    for (int i = 0; i < count; ++i) text += value(i) + "\r\n";
    return text;
}

std::string LayoutProgram::storeFile(int visible) {
    std::string text = lines(kLayoutElements, [](int e) { return std::to_string(e); });
    text += lines(kLayoutElements, [](int e) { return std::to_string(1000 + e); });
    text += lines(kLayoutElements, [&](int) { return std::to_string(visible); });
    text += lines(kLines * 27, [](int i) { return i % 27 == 1 ? "Timer" : ""; });
    text += lines(2 * kLines * 26, [](int i) { return std::to_string(i); });
    return text + "V1\r\nV2\r\n";
}

}  // namespace blokpost::test
