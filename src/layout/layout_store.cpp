#include "layout/layout_store.h"

#include "base/stored_file.h"
#include "base/text_file.h"
#include "layout/pin_names.h"
#include "schedule/cell_writer.h"
#include "state/program_state.h"

#include <QImage>
#include <optional>
#include <type_traits>

namespace blokpost {

namespace {

// Each block of the store, read and written in the same order by one function,
// so the two directions cannot drift apart.
template <class Numbers, class Texts>
void eachStoreValue(const LayoutStoreTables& t, Numbers&& number, Texts&& text) {
    for (auto& x : t.layout.LayoutX) number(x);
    for (auto& y : t.layout.LayoutY) number(y);
    for (auto& visible : t.layout.LayoutVisible) number(visible);
    for (int line = 1; line <= kLines; ++line)
        for (auto& kind : t.model.StepKind[line]) text(kind);
    for (int line = 1; line <= kLines; ++line)
        for (auto& operand : t.model.StepOperand[line]) number(operand);
    for (int line = 1; line <= kLines; ++line)
        for (auto& counter : t.model.StepCounter[line]) number(counter);
    text(t.meterName1);
    text(t.meterName2);
}

LayoutStoreTables storeTables(ProgramState& s) { return {s.layout, s.model, s.MeterName1, s.MeterName2}; }

void readStore(ProgramState& s) {
    TextFileReader file = TextFileReader::open(s.paths.find(kLayoutStoreFile), s.reporter);
    ReadLayoutStore(storeTables(s), file);
}

void applyLayout(ProgramState& s) {
    for (int e = 0; e < kLayoutElements; ++e) {
        const bool shown = s.layout.LayoutVisible[e] == 1;
        s.screen.main.element[e] = {s.layout.LayoutX[e], s.layout.LayoutY[e], shown};
        s.layoutWindows.makeScreen.dot[e + 1] = shown ? kYellow : kGray;
    }
}

void applyMeterNames(ProgramState& s) {
    MainWindowView& main = s.screen.main;
    main.meterWindowCaption[1] = main.meterButtonCaption[1] = s.MeterName1;
    main.meterWindowCaption[2] = main.meterButtonCaption[2] = s.MeterName2;
}

QImage loadPicture(ProgramState& s, const std::string& relative) {
    QImage picture;
    const QString file = s.paths.find(relative);
    if (!isRegularFile(file) || !picture.load(file)) throw OperationError(cannotOpenMessage(relative));
    return picture;
}

// A visible drawing shows its resting picture: blank for a pin drawing, the
// inactive picture for a sensor. Hidden drawings keep what they show.
void resetVisibleDrawings(ProgramState& s) {
    std::optional<QImage> blank;  // one picture for every pin drawing, read once
    for (int k = 1; k <= kPinDrawings + kSensors; ++k) {
        if (!s.screen.main.element[k - 1].visible) continue;
        if (k <= kPinDrawings) {
            if (!blank) blank = loadPicture(s, "Tekeningen/Blanco.bmp");
            s.screen.main.drawing[k].assign(*blank);
        } else {
            const int sensor = k - kPinDrawings;
            s.screen.main.drawing[k].assign(loadPicture(s, "Tekeningen/Sen" + std::to_string(sensor) + "L.bmp"));
        }
    }
}

}  // namespace

void ReadLayoutStore(const LayoutStoreTables& into, TextFileReader& file) {
    eachStoreValue(
        into, [&](auto& value) { value = static_cast<std::remove_reference_t<decltype(value)>>(file.readNumber()); },
        [&](std::string& value) { value = file.readText(); });
}

void Lezen(ProgramState& s) {
    guarded(s, [&] {
        readStore(s);
        s.layoutWindows.readSave.enableEnabled = true;
        applyLayout(s);
        applyMeterNames(s);
        resetVisibleDrawings(s);
        ReadPinAddresses(s);
        ReadPinNames(s);
        s.layoutWindows.readSave.closeRequested = true;
        Sluiten(s);
    });
}

void Opslaan(ProgramState& s) {
    guarded(s, [&] {
        TextFileWriter file(s.paths.forWriting(kLayoutStoreFile));
        eachStoreValue(
            storeTables(s), [&](const auto& value) { file.number(value); }, [&](const std::string& value) { file.text(value); });
        file.commit();
        s.layoutWindows.readSave.closeRequested = true;
        Sluiten(s);
    });
}

void Vrijmaken(ProgramState& s) { s.layoutWindows.readSave.saveEnabled = true; }

void Sluiten(ProgramState& s) { s.layoutWindows.readSave.saveEnabled = false; }

}  // namespace blokpost
