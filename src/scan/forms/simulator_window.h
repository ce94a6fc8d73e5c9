#pragma once
// Form21, "Simulator": the board as the program sees it. Eight lamps for the
// digital outputs, the analog outputs with the sensor group they select, the
// last pin the decoder took, and whether a real board or the simulation
// serves the layout. While the simulation runs, the operator plays the trains
// on the 20 sensors (a click: a train passes; a right click: a train stands),
// lets trains drive by themselves ("Automatisch rijden", with their travel
// time), and sets the two analog inputs with sliders.

#include "desk/forms/window.h"
#include "scan/simulator_view.h"

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace blokpost {

class SpinEdit;

class TForm21 : public Window {
public:
    explicit TForm21(WindowHost& app);
    void sync() override;

    std::array<QLabel*, 9> Shape{};          // lamps of digital outputs [1..8]
    std::array<QPushButton*, 21> Button{};   // sensors [1..20]
    std::array<QSlider*, 3> TrackBar{};      // analog inputs [1..2]
    QCheckBox* CheckBox1 = nullptr;          // "Automatisch rijden"
    SpinEdit* SpinEdit1 = nullptr;           // the trains' travel time, seconds

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* addLabel(const QString& text, int x, int y, int width, bool bold = true);
    void buildLamps();
    void buildSensors();
    void buildSliders();
    void buildAutoTrains();
    void showLamp(int channel, bool lit);
    void showSensor(int sensor, bool active, bool standing);

    QLabel* status_;
    QLabel* problem_;
    QLabel* analogOutputs_;
    QLabel* group_;
    QLabel* lastPin_;
    std::array<QLabel*, 3> analogInput_{};
    SimulatorView shown_;
    bool shownOnce_ = false;
};

}  // namespace blokpost
