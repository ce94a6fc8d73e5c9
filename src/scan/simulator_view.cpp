#include "scan/simulator_view.h"

#include "board/driver_board.h"
#include "state/program_state.h"

namespace blokpost {

namespace {

std::string statusText(DriverBoard::Mode mode) {
    switch (mode) {
    case DriverBoard::Mode::RealBoardOpen: return "Kaart open: de echte kaart bedient de baan";
    case DriverBoard::Mode::Waiting:
        return "Kaart open, wacht op antwoord: sensoren lezen uit tot de kaart antwoordt";
    case DriverBoard::Mode::BoardTooSlow:
        return "Kaart open, maar te traag: ingangen komen te laat, sensoren lezen uit";
    case DriverBoard::Mode::OutputsRefused:
        return "Kaart open, maar de uitgangen komen niet aan: de kaart weigert ze; druk op K8055n om het opnieuw te proberen";
    case DriverBoard::Mode::InputsSilent:
        return "Kaart open, maar er komen geen ingangen binnen: alle sensoren lezen uit";
    case DriverBoard::Mode::BoardSilent:
        return "Kaart stil: ze zit nog op de USB maar antwoordt niet; sensoren lezen uit, pinnen komen niet aan";
    case DriverBoard::Mode::Unplugged: return "Kaart losgekoppeld: sluit haar aan en druk op K8055n";
    case DriverBoard::Mode::Simulated: break;
    }
    return "Simulatie: geen kaart geopend";
}

std::string groupText(int group) {
    const int first = 5 * (group - 1) + 1;
    return "Groep " + std::to_string(group) + ": sensoren " + std::to_string(first) + ".." +
           std::to_string(first + 4);
}

}  // namespace

std::string decodedPinText(const ProgramState& state, int address) {
    if (address < 0) return "nog geen";
    for (int n = 0; n < kPins; ++n)
        if (state.pins.PinAddress[n] == address)
            return "Pin " + std::to_string(n + 1) + "  " + state.pins.PinName[n] + "  (adres " +
                   std::to_string(address) + ")";
    return "Adres " + std::to_string(address) + ": geen pin";
}

SimulatorView simulatorView(const DriverBoard* driver, const ProgramState& state) {
    SimulatorView view;
    if (!driver) {
        view.status = "Kaartbibliotheek in gebruik: de kaart wordt daar bediend";
        return view;
    }
    const SimulatedBoard& board = driver->simulation();
    view.status = statusText(driver->mode());
    view.problem = driver->openProblem();
    view.outputsKnown = true;
    for (int channel = 1; channel <= 8; ++channel) view.lamp[channel] = board.digitalOutputs() & (1u << (channel - 1));
    for (int channel = 1; channel <= 2; ++channel) view.analogOutput[channel] = board.analogOutput(channel);
    view.selectedGroup = groupText(board.selectedGroup());
    view.lastPin = decodedPinText(state, board.lastDecodedAddress());
    view.simulating = driver->mode() == DriverBoard::Mode::Simulated;
    for (int s = 1; s <= kSensors; ++s) {
        view.sensor[s] = view.simulating ? board.sensor(s) : state.model.SensorState[s] == 1;
        view.standing[s] = view.simulating && board.standing(s);
    }
    for (int channel = 1; channel <= 2; ++channel) view.analogInput[channel] = board.analogInput(channel);
    return view;
}

}  // namespace blokpost
